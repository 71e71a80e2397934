#include "windows/Messages.h"

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

void StatusMessage::Fit() {
    setText(fontMetrics().elidedText(text_, Qt::ElideRight, std::max(0, contentsRect().width())));
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
void MessageLog::Add(const QString& text) {
    appendPlainText(QTime::currentTime().toString(QStringLiteral("HH:mm:ss")) +
                    QStringLiteral("  ") + QString(text).replace('\n', QStringLiteral(" | ")));
}

} // namespace zem
