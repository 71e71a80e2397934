#include "windows/TStratMapForm.h"
#include "edit/ZemState.h"
#include "map/HexLayout.h"
#include "render/StratDraw.h"
#include "runtime/Errors.h"
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
    // Dragging pans: the view follows the pointer as a click there would
    // move it, and the release is no click.
    StratMapImage->OnMouseMove = [this](bool, int x, int y) {
        if (!(StratMapImage->Buttons() & Qt::LeftButton)) return;
        if (std::abs(x - StratDownX) + std::abs(y - StratDownY) < 4 && !dragged_) return;
        dragged_ = true;
        st.map.ViewOrigin = StratClickOrigin(x, y, st.map);
        w.RedrawMap();
    };
    StratMapImage->OnPaintOver = [this](QPainter& p) {
        if (view_.isEmpty()) return;
        p.setPen(QPen(Qt::white, 1));
        p.setBrush(Qt::NoBrush);
        p.drawRect(view_.adjusted(0, 0, -1, -1));
    };
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
    w.MapShown();
}

void TStratMapForm::FormActivate() {
    DrawStratHexes(StratMapImage->Picture(), st.map, st.StratIL);
    StratMapImage->Repaint();
}

void TStratMapForm::StratMapImageMouseDown(int X, int Y) {
    dragged_ = false;
    StratDownX = X;
    StratDownY = Y;
}

void TStratMapForm::ShowView(HexPos origin, int cols, int rows) {
    const QPoint from = HexLayout::StratPlace(origin.x, origin.y);
    constexpr int step = HexLayout::StratStep;
    const int w = std::min(cols, st.map.MapWidth - origin.x),
              h = std::min(rows, st.map.MapHeight - origin.y);
    view_ = QRect(from.x(), from.y() - (origin.x & 1 ? step / 2 : 0), std::max(w, 0) * step,
                  std::max(h, 0) * step + step / 2);
    StratMapImage->update();
}

void TStratMapForm::StratMapImageClick() {
    if (dragged_) return;
    st.map.ViewOrigin = StratClickOrigin(StratDownX, StratDownY, st.map);
    w.RedrawMap();
}

} // namespace zem
