#include "windows/TInputForm.h"
#include "map/HexMap.h"
#include "runtime/StrToInt.h"

namespace zem {

TInputForm::TInputForm(HexMap& map) : map_(map) {
    setWindowTitle(QStringLiteral("New Map"));
    resize(250, 170);
    TitleLbl = new QLabel(QStringLiteral("New Map Size"), this);
    TitleLbl->setGeometry(16, 8, 200, 20);
    MapxLbl = new QLabel(QStringLiteral("Hexes Across (80 Max)"), this);
    MapxLbl->setGeometry(16, 40, 150, 20);
    MapxEdit = new QLineEdit(QStringLiteral("44"), this);
    MapxEdit->setGeometry(176, 40, 50, 22);
    MapyLbl = new QLabel(QStringLiteral("Hexes UP/Down (80 Max)"), this);
    MapyLbl->setGeometry(16, 72, 150, 20);
    MapyEdit = new QLineEdit(QStringLiteral("39"), this);
    MapyEdit->setGeometry(176, 72, 50, 22);
    OKBtn = new QPushButton(QStringLiteral("OK"), this);
    OKBtn->setGeometry(32, 120, 75, 25);
    CancelBtn = new QPushButton(QStringLiteral("Cancel"), this);
    CancelBtn->setGeometry(136, 120, 75, 25);
    connect(OKBtn, &QPushButton::clicked, this, [this] { OKBtnClick(); });
    connect(CancelBtn, &QPushButton::clicked, this, [this] { CancelBtnClick(); });
}

int TInputForm::ShowModal() {
    setResult(0);
    if (ModalScript) {
        ModalScript(*this);
        return result();
    }
    return exec() == 1 ? 1 : 0;
}

void TInputForm::OKBtnClick() {
    // The width is stored before the height is read: a bad height text
    // leaves the new width behind, and the dialog stays open.
    map_.MapWidth = std::clamp(StrToInt(MapxEdit->text()), 5, MaxMapSize);
    map_.MapHeight = std::clamp(StrToInt(MapyEdit->text()), 5, MaxMapSize);
    done(1);
}

void TInputForm::CancelBtnClick() {
    done(0);
}

} // namespace zem
