#include "windows/TSprayForm.h"

#include "edit/ZemState.h"
#include "map/HexLayout.h"
#include "runtime/StrToInt.h"
#include <QMainWindow>

#include <QEvent>
#include <QLabel>
#include <QPainter>

namespace zem {

TSprayForm::TSprayForm(ZemState& state) : st(state) {
    setWindowTitle(QStringLiteral("Sprayer Setup"));
    resize(317, 296);
    (new QLabel(QStringLiteral("Size"), this))->setGeometry(16, 16, 60, 20);
    SizeEdit = new QLineEdit(QStringLiteral("3"), this);
    SizeEdit->setGeometry(80, 16, 50, 22);
    (new QLabel(QStringLiteral("Density"), this))->setGeometry(16, 48, 60, 20);
    DensityEdit = new QLineEdit(this);
    DensityEdit->setGeometry(80, 48, 50, 22);
    DensityUpDown = new UpDown(DensityEdit, 1, 100, 25, this);
    DensityUpDown->setGeometry(130, 48, 17, 22);
    for (int k = 0; k < 3; ++k) {
        const int x = 16 + 100 * k;
        PickEdits[size_t(k)] = new QLineEdit(QString::number(k + 1), this);
        PickEdits[size_t(k)]->setGeometry(x, 96, 60, 22);
        SetBtns[size_t(k)] = new QPushButton(QStringLiteral("Set %1").arg(k + 1), this);
        SetBtns[size_t(k)]->setGeometry(x, 128, 60, 25);
        connect(SetBtns[size_t(k)], &QPushButton::clicked, this, [this, k] { SetBtnClick(k); });
        Images[size_t(k)] = new ImageControl(this);
        Images[size_t(k)]->setGeometry(x, 168, HexLayout::TileWidth, HexLayout::TileHeight);
        Images[size_t(k)]->SetPictureSize(HexLayout::TileWidth, HexLayout::TileHeight);
        Images[size_t(k)]->Picture().fill(QColor(255, 160, 160)); // placeholder
    }
}

bool TSprayForm::event(QEvent* e) {
    const bool r = QWidget::event(e);
    // Docked in the main window it has no activation of its own: the main
    // window's is none of its business (its pictures follow its showing).
    if (e->type() == QEvent::WindowActivate && !qobject_cast<QMainWindow*>(window()))
        FormActivate();
    return r;
}

SpraySettings TSprayForm::ReadSettings() const {
    SpraySettings s;
    s.density = DensityUpDown->Position();
    s.size = StrToInt(SizeEdit->text());
    for (int k = 0; k < 3; ++k)
        s.picks[size_t(k)] = StrToInt(PickEdits[size_t(k)]->text());
    return s;
}

// A pick that is no tile of the catalogue shows nothing over the old preview.
void TSprayForm::ShowPick(int k, int set, int image) {
    ImageControl* img = Images[size_t(k)];
    if (set >= 0 && set <= MaxSets && st.images[size_t(set)].Image(image - 1)) {
        // The tile's transparent parts show the window, not an older tile.
        img->Picture().fill(palette().color(QPalette::Window));
        QPainter p(&img->Picture());
        st.images[size_t(set)].Draw(p, 0, 0, image - 1);
    }
    img->Repaint();
}

void TSprayForm::SetBtnClick(int k) {
    const int t = CurrentTile(st.ed, st.cat);
    PickEdits[size_t(k)]->setText(QString::number(t));
    ShowPick(k, st.ed.CurrentSet, st.ed.CurrentImage);
}

void TSprayForm::FormActivate() {
    for (int k = 0; k < 3; ++k) {
        const int t = StrToInt(PickEdits[size_t(k)]->text());
        const TileRecord& r = st.cat.Record(t);
        ShowPick(k, r.set, r.image);
    }
}

} // namespace zem
