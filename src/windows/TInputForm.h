#pragma once
// The modal "New Map" dialog: the size of a new map.

#include <QDialog>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <functional>

namespace zem {

class HexMap;

class TInputForm : public QDialog {
    Q_OBJECT
  public:
    explicit TInputForm(HexMap& map);

    // 1 after OK, 0 after Cancel or closing by the window frame.
    int ShowModal();
    void OKBtnClick();
    void CancelBtnClick();

    QLabel *TitleLbl, *MapxLbl, *MapyLbl;
    QLineEdit *MapxEdit, *MapyEdit;
    QPushButton *OKBtn, *CancelBtn;

    // Tests answer the dialog here instead of running it modally.
    std::function<void(TInputForm&)> ModalScript;

  private:
    HexMap& map_;
};

} // namespace zem
