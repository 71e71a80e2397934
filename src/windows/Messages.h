#pragma once
// What the editor tells the user: the latest message in the status bar until
// the next one replaces it (shortened with "..." when the bar is too narrow,
// whole in its tooltip), and every message of the run, with its time, in the
// Messages panel, where it can be selected and copied. Message boxes are
// written there too.

#include "runtime/DialogService.h"

#include <QLabel>
#include <QPlainTextEdit>
#include <functional>

namespace zem {

class StatusMessage : public QLabel {
  public:
    explicit StatusMessage(QWidget* parent = nullptr);
    void Show(const QString& text);
    QString Text() const { return text_; }

  protected:
    void resizeEvent(QResizeEvent* e) override;

  private:
    void Fit();
    QString text_;
};

class MessageLog : public QPlainTextEdit {
  public:
    MessageLog();
    void Add(const QString& text);

  protected:
    // Ctrl+C copies the messages selected here, not the map's hexes.
    bool event(QEvent* e) override;
};

// Passes every dialog on, and tells `shown` the text of each message box.
class LoggedDialogs : public DialogService {
  public:
    explicit LoggedDialogs(DialogService& inner) : inner_(inner) {}
    SaveAnswer AskSave(const QString& text) override { return inner_.AskSave(text); }
    bool Execute(OpenDialog& d) override { return inner_.Execute(d); }
    void MessageBox(const QString& text, const QString& title) override {
        if (shown) shown(title + QStringLiteral(": ") + text);
        inner_.MessageBox(text, title);
    }
    bool Confirm(const QString& text) override { return inner_.Confirm(text); }
    bool ChooseExportTarget(ExportTarget& target) override {
        return inner_.ChooseExportTarget(target);
    }
    std::function<void(const QString&)> shown;

  private:
    DialogService& inner_;
};

} // namespace zem
