#pragma once
// File dialogs and message boxes go through this service: the editor opens
// real ones, tests install a scripted one that never blocks.

#include <QString>

namespace zem {

// The settings of a file dialog; one per window, kept between commands
// unless a command sets them again.
struct OpenDialog {
    QString DefaultExt;
    QString Filter; // "Description|pattern|Description|pattern"
    QString Title;
    QString FileName;
    bool Save = false; // a save dialog: a "Save" button and a question before replacing
};

enum class SaveAnswer { Save, Discard, Cancel };

// Where a game map export goes: the folder and the map number, which name
// its files.
struct ExportTarget {
    QString folder;
    int number = 0;
};

class DialogService {
  public:
    virtual ~DialogService() = default;
    // The question before unsaved changes would be lost: Save, Discard or
    // Cancel (Escape).
    virtual SaveAnswer AskSave(const QString& text) = 0;
    // True when the user chose a file; its name is then in d.FileName.
    virtual bool Execute(OpenDialog& d) = 0;
    virtual void MessageBox(const QString& text, const QString& title) = 0;
    // A question answered Yes (true) or No (false, also Escape).
    virtual bool Confirm(const QString& text) = 0;
    // The folder and map number of a game map export, showing the files
    // they name; false when cancelled.
    virtual bool ChooseExportTarget(ExportTarget& target) = 0;
};

// Runs `d` for a file of another program: it offers `name`, which takes the
// file chosen, and leaves d's own file name as it was.
bool ExecuteFor(DialogService& dialogs, OpenDialog& d, QString& name);

// The Qt form of a filter: "ZEM map files (*.zep);;All files (*.*)".
QString QtFilter(const QString& filter);

} // namespace zem
