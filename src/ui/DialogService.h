#pragma once
// File dialogs and message boxes go through this service: the editor opens
// real ones, tests install a scripted one that never blocks.

#include <QString>
#include <deque>
#include <optional>
#include <utility>
#include <vector>

namespace zem {

// The settings of a file dialog; one per window, kept between commands
// unless a command sets them again.
struct OpenDialog {
    QString DefaultExt;
    QString Filter; // "Description|pattern|Description|pattern"
    QString Title;
    QString FileName;
};

class DialogService {
  public:
    virtual ~DialogService() = default;
    // True when the user chose a file; its name is then in d.FileName.
    virtual bool Execute(OpenDialog& d) = 0;
    virtual void MessageBox(const QString& text, const QString& title) = 0;
};

// Answers file dialogs from a script and records everything shown.
class ScriptedDialogs : public DialogService {
  public:
    void Answer(const QString& fileName) { answers_.push_back(fileName); }
    void Cancel() { answers_.push_back(std::nullopt); }

    bool Execute(OpenDialog& d) override;
    void MessageBox(const QString& text, const QString& title) override {
        messages.emplace_back(text, title);
    }

    std::vector<OpenDialog> dialogs;                   // as each was run
    std::vector<std::pair<QString, QString>> messages; // text, title

  private:
    std::deque<std::optional<QString>> answers_;
};

// The Qt form of a filter: "ZEM map files (*.zep);;All files (*.*)".
QString QtFilter(const QString& filter);

} // namespace zem
