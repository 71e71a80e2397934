#include "windows/TStratMapForm.h"
#include "edit/ZemState.h"
#include "render/StratDraw.h"
#include "ui/Errors.h"
#include "windows/Windows.h"

#include <QEvent>
#include <QPainter>
#include <QShowEvent>

namespace zem {

TStratMapForm::TStratMapForm(ZemState& state, Windows& windows) : st(state), w(windows) {
    setWindowTitle(QStringLiteral("Strategic Map"));
    resize(523, 452);
    ScrollBox1 = new QScrollArea(this);
    ScrollBox1->setWidgetResizable(true);
    StratMapImage = new ImageControl;
    ScrollBox1->setWidget(StratMapImage);
    StratMapImage->OnMouseDown = [this](int, bool, int x, int y) { StratMapImageMouseDown(x, y); };
    StratMapImage->OnClick = [this] { StratMapImageClick(); };
}

bool TStratMapForm::event(QEvent* e) {
    const bool r = QWidget::event(e);
    if (e->type() == QEvent::WindowActivate) FormActivate();
    return r;
}

void TStratMapForm::showEvent(QShowEvent* e) {
    QWidget::showEvent(e);
    if (!e->spontaneous()) FormShow();
}

void TStratMapForm::resizeEvent(QResizeEvent*) {
    ScrollBox1->setGeometry(rect());
}

void TStratMapForm::FormShow() {
    if (st.StratTilesPending) {
        st.StratTilesPending = false;
        st.StratIL.Clear();
        // A missing tile is the toolkit's file error.
        if (Status loaded = LoadStratTiles(st.StratIL, st.cat.TT1Count, st.workDir); !loaded)
            throw FileError(loaded.Message());
    }
    const QSize size = StratPictureSize(st.map);
    StratMapImage->SetPictureSize(size.width(), size.height());
    StratMapImage->Picture().fill(ToQColor(clGreen));
    DrawStratHexes(StratMapImage->Picture(), st.map, st.StratIL);
    StratMapImage->Repaint();
}

void TStratMapForm::FormActivate() {
    DrawStratHexes(StratMapImage->Picture(), st.map, st.StratIL);
    StratMapImage->Repaint();
}

void TStratMapForm::StratMapImageMouseDown(int X, int Y) {
    StratDownX = X;
    StratDownY = Y;
}

void TStratMapForm::StratMapImageClick() {
    st.map.ViewOrigin = StratClickOrigin(StratDownX, StratDownY, st.map);
    w.RedrawMap();
}

} // namespace zem
