#pragma once

#include "runtime/DialogService.h"

class QWidget;

namespace zem {

// Real dialogs: QFileDialog, in the save style for OpenDialog::Save, and
// QMessageBox.
class QtDialogs : public DialogService {
  public:
    bool Execute(OpenDialog& d) override;
    void MessageBox(const QString& text, const QString& title) override;
    SaveAnswer AskSave(const QString& text) override;
    bool Confirm(const QString& text) override;
    bool ChooseExportTarget(ExportTarget& target) override;
};

} // namespace zem
