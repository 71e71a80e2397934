#pragma once

#include "ui/DialogService.h"

class QWidget;

namespace zem {

// Real dialogs: QFileDialog in the open style (a new name may be typed, as
// the program also saves through it) and QMessageBox.
class QtDialogs : public DialogService {
  public:
    bool Execute(OpenDialog& d) override;
    void MessageBox(const QString& text, const QString& title) override;
};

} // namespace zem
