#include "windows/Messages.h"

#include <QKeyEvent>
#include <QTime>

namespace zem {

StatusMessage::StatusMessage(QWidget* parent) : QLabel(parent) {
    // The bar gives the message whatever room the permanent labels leave.
    setMinimumWidth(1);
    setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
}

void StatusMessage::Show(const QString& text) {
    text_ = text;
    setToolTip(text);
    Fit();
}

// Too long for the bar: as much as fits, then "...".
void StatusMessage::Fit() {
    const QFontMetrics m = fontMetrics();
    const int room = contentsRect().width();
    if (m.horizontalAdvance(text_) <= room) return setText(text_);
    const QString dots = QStringLiteral("...");
    int fits = 0, past = int(text_.size());
    while (past - fits > 1) { // the longest start that fits with the dots
        const int mid = (fits + past) / 2;
        (m.horizontalAdvance(text_.left(mid) + dots) <= room ? fits : past) = mid;
    }
    setText(text_.left(fits) + dots);
}

void StatusMessage::resizeEvent(QResizeEvent* e) {
    QLabel::resizeEvent(e);
    Fit();
}

MessageLog::MessageLog() {
    setWindowTitle(QStringLiteral("Messages"));
    setReadOnly(true);
    setLineWrapMode(QPlainTextEdit::WidgetWidth);
    resize(520, 200);
}

// One line a message, the lines of a message box joined.
bool MessageLog::event(QEvent* e) {
    if (e->type() == QEvent::ShortcutOverride && static_cast<QKeyEvent*>(e) == QKeySequence::Copy &&
        textCursor().hasSelection()) {
        e->accept();
        return true;
    }
    return QPlainTextEdit::event(e);
}

void MessageLog::Add(const QString& text) {
    appendPlainText(QTime::currentTime().toString(QStringLiteral("HH:mm:ss")) +
                    QStringLiteral("  ") + QString(text).replace('\n', QStringLiteral(" | ")));
}

} // namespace zem
