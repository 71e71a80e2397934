#pragma once
// "Map Converter": drafts the map from a sketch bitmap, fixes its terrain,
// and holds the Panzer General 2 map number.

#include "runtime/DialogService.h"
#include "windows/ImageControl.h"
#include "windows/UpDown.h"

#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>

namespace zem {

struct ZemState;
struct Windows;

class TMapConvert : public QWidget {
    Q_OBJECT
  public:
    TMapConvert(ZemState& st, Windows& w);

    void LoadBtnClick();
    void ScaleEditChange();
    void ConvertBtnClick();
    void CoastBtnClick();
    void ReturnBtnClick();
    void SetMemo(const QString& text);
    // The "Map #" box: the Panzer General 2 map number (throws ConvertError
    // for a box that holds no number).
    int MapNumber() const;

    ImageControl* CvtImage;
    QPushButton *LoadBtn, *ConvertBtn, *CoastBtn, *ReturnBtn;
    QLineEdit* MapNumEdit;
    UpDown* UpDown2;
    QLabel *Label2, *SizeLbl, *Label1;
    QLineEdit* ScaleEdit;
    UpDown* UpDown1;
    QPlainTextEdit* Memo1;
    OpenDialog OpenDialog1;
    int PixelsPerHex = 5;

  private:
    bool AskBeforeResize(QSize sketch);
    void Resize();

    ZemState& st;
    Windows& w;
};

} // namespace zem
