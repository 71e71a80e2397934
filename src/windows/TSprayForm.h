#pragma once
// "Sprayer Setup": the spray can's size, density and three tiles. The
// settings live in these controls and are read at every use.

#include "tools/Spray.h"
#include "windows/ImageControl.h"
#include "windows/UpDown.h"

#include <QLineEdit>
#include <QPushButton>
#include <array>

namespace zem {

struct ZemState;

class TSprayForm : public QWidget {
    Q_OBJECT
  public:
    explicit TSprayForm(ZemState& st);

    void FormActivate();
    void SetBtnClick(int k); // k = 0, 1, 2 for "Set 1".."Set 3"
    void Set1BtnClick() { SetBtnClick(0); }
    void Set2BtnClick() { SetBtnClick(1); }
    void Set3BtnClick() { SetBtnClick(2); }

    // Throws ConvertError for a size or pick text that is not a whole
    // number, before anything is changed.
    SpraySettings ReadSettings() const;

    QLineEdit* SizeEdit;
    QLineEdit* DensityEdit;
    UpDown* DensityUpDown;
    std::array<QLineEdit*, 3> PickEdits;
    std::array<QPushButton*, 3> SetBtns;
    std::array<ImageControl*, 3> Images;
    QLineEdit *&Pick1Edit = PickEdits[0], *&Pick2Edit = PickEdits[1], *&Pick3Edit = PickEdits[2];

  protected:
    bool event(QEvent* e) override;

  private:
    void ShowPick(int k, int set, int image);
    ZemState& st;
};

} // namespace zem
