// The main window's map picture: composing it at the view's zoom, the
// described clicks and status labels, and moving the view by scroll bars,
// the wheel, the keys, a middle-button drag and the zoom.

#include "edit/ZemState.h"
#include "map/HexLayout.h"
#include "windows/TMapForm.h"
#include "windows/TSprayForm.h"
#include "windows/TTerrainForm.h"
#include "windows/Windows.h"

#include <QGridLayout>
#include <QKeyEvent>
#include <QWheelEvent>

namespace zem {

void TMapForm::BuildViewControls() {
    auto* frame = new QWidget(this);
    auto* grid = new QGridLayout(frame);
    grid->setContentsMargins(0, 0, 0, 0);
    grid->setSpacing(0);
    grid->addWidget(client_, 0, 0);
    HScroll = new QScrollBar(Qt::Horizontal, frame);
    VScroll = new QScrollBar(Qt::Vertical, frame);
    grid->addWidget(VScroll, 0, 1);
    grid->addWidget(HScroll, 1, 0);
    setCentralWidget(frame);
    for (QScrollBar* bar : {HScroll, VScroll}) {
        bar->setFocusPolicy(Qt::NoFocus); // the arrow keys belong to the map
        connect(bar, &QScrollBar::valueChanged, this, [this] {
            ScrollTo({HScroll->value(), VScroll->value()});
        });
    }
    StatusBar = statusBar();
    HexInfoLbl = new QLabel(StatusBar);
    ZoomLbl = new QLabel(QStringLiteral("100%"), StatusBar);
    StatusBar->addPermanentWidget(HexInfoLbl);
    StatusBar->addPermanentWidget(ZoomLbl);

    MapImage->setFocusPolicy(Qt::ClickFocus);
    MapImage->OnMouseDown = [this](int b, bool s, int x, int y) { PictureDown(b, s, x, y); };
    MapImage->OnMouseMove = [this](bool, int x, int y) { PictureMove(x, y); };
    MapImage->OnClick = [this] { MapImageClick(); };
    MapImage->OnMouseUp = [this](int b, int, int) { PictureUp(b); };
    MapImage->OnWheel = [this](QWheelEvent* e) { PictureWheel(e); };
    MapImage->OnLeave = [this] {
        pointer_.reset();
        HexInfoLbl->clear();
        MapImage->update();
    };
    MapImage->OnPaintOver = [this](QPainter& p) { PaintOverPicture(p); };
}

MapView TMapForm::View() const {
    return {st.map.ViewOrigin, Zoom, MapImage->width(), MapImage->height()};
}

void TMapForm::DrawMap() {
    const MapView view = View();
    DrawView(st.map, st.cat, st.images, zoomed_, ShowRoadConnections1->isChecked(), view,
             MapImage->Picture());
    // While a terrain type is painted, every hex shows its code.
    if ((st.ed.Mode == ModePaintTT1 || st.ed.Mode == ModePaintTT2) && TerrainCodesShown())
        DrawTerrainLabels(MapImage->Picture(), st.map, view, st.ed.Mode == ModePaintTT1 ? 1 : 2);
    MapImage->Repaint();
    UpdateScrollBars();
    w.MapShown();
}

// The scroll bars reach as far as the map needs at this zoom, and at least
// to where edge scrolling or the strategic map put the view.
void TMapForm::UpdateScrollBars() {
    const MapView view = View();
    const HexPos o = view.origin;
    const QSignalBlocker h(HScroll), v(VScroll);
    HScroll->setRange(0, std::max({0, st.map.MapWidth - view.Columns(), o.x}));
    VScroll->setRange(0, std::max({0, st.map.MapHeight - view.Rows(), o.y}));
    HScroll->setPageStep(std::max(1, view.Columns()));
    VScroll->setPageStep(std::max(1, view.Rows()));
    HScroll->setValue(o.x);
    VScroll->setValue(o.y);
    ZoomLbl->setText(QStringLiteral("%1%").arg(Zoom));
}

void TMapForm::ScrollTo(HexPos origin) {
    const MapView view = View();
    origin.x =
        std::clamp(origin.x, 0, std::max({0, st.map.MapWidth - view.Columns(), view.origin.x}));
    origin.y =
        std::clamp(origin.y, 0, std::max({0, st.map.MapHeight - view.Rows(), view.origin.y}));
    if (origin == st.map.ViewOrigin) return;
    st.map.ViewOrigin = origin;
    DrawMap();
    if (pointer_) ShowPointerHex(pointerAt_.x(), pointerAt_.y()); // another hex is under it now
}

// The point under `around` (in pixels of the picture) stays where it is.
void TMapForm::SetZoom(int percent, QPoint around) {
    percent = std::clamp(percent, MapView::Zooms.front(), MapView::Zooms.back());
    if (percent == Zoom) return;
    const QPoint before = View().Unzoomed(around.x(), around.y());
    const HexPos o = st.map.ViewOrigin;
    const int wx = HexLayout::Left(o.x) + before.x(), wy = HexLayout::RowStep * o.y + before.y();
    Zoom = percent;
    const QPoint after = View().Unzoomed(around.x(), around.y());
    const int x = (wx - after.x() + HexLayout::ColumnStep / 2) / HexLayout::ColumnStep;
    const int y = (wy - after.y() + HexLayout::RowStep / 2) / HexLayout::RowStep;
    ShowOrigin({x, y});
    DrawMap();
    if (pointer_) ShowPointerHex(pointerAt_.x(), pointerAt_.y());
    ZoomIn1->setEnabled(Zoom < MapView::Zooms.back());
    ZoomOut1->setEnabled(Zoom > MapView::Zooms.front());
}

// The view shows as much of the map as it can hold rather than green beyond
// its edge.
void TMapForm::ShowOrigin(HexPos origin) {
    const MapView view = View();
    st.map.ViewOrigin = {std::clamp(origin.x, 0, std::max(0, st.map.MapWidth - view.Columns())),
                         std::clamp(origin.y, 0, std::max(0, st.map.MapHeight - view.Rows()))};
}

QPoint TMapForm::ViewCentre() const {
    const QRect shown = MapImage->rect() & client_->rect().translated(-MapImage->pos());
    return shown.isEmpty() ? QPoint(0, 0) : shown.center();
}

static int NextZoom(int zoom, int step) {
    const auto& z = MapView::Zooms;
    const auto at = std::find(z.begin(), z.end(), zoom);
    const long i = std::clamp(long(at - z.begin()) + step, 0L, long(z.size()) - 1);
    return z[size_t(i)];
}

void TMapForm::ZoomIn1Click() {
    SetZoom(NextZoom(Zoom, 1), ViewCentre());
}
void TMapForm::ZoomOut1Click() {
    SetZoom(NextZoom(Zoom, -1), ViewCentre());
}
void TMapForm::ActualSize1Click() {
    SetZoom(100, ViewCentre());
}

void TMapForm::keyPressEvent(QKeyEvent* e) {
    const HexPos o = st.map.ViewOrigin;
    const MapView view = View();
    switch (e->key()) {
    case Qt::Key_Left:
        return ScrollTo({o.x - 1, o.y});
    case Qt::Key_Right:
        return ScrollTo({o.x + 1, o.y});
    case Qt::Key_Up:
        return ScrollTo({o.x, o.y - 1});
    case Qt::Key_Down:
        return ScrollTo({o.x, o.y + 1});
    case Qt::Key_PageUp:
        return ScrollTo({o.x, o.y - std::max(1, view.Rows())});
    case Qt::Key_PageDown:
        return ScrollTo({o.x, o.y + std::max(1, view.Rows())});
    case Qt::Key_Escape:
        if (pasting_ || selection_) {
            DropPaste();
            selection_.reset();
            MapImage->update();
            return;
        }
        break;
    }
    QMainWindow::keyPressEvent(e);
}

void TMapForm::PictureWheel(QWheelEvent* e) {
    // With a button down the view stays, so a press and its release fall on
    // the same hex.
    if (MapImage->Buttons() != Qt::NoButton) return;
    // A fine-grained wheel or touchpad turns in parts of a notch; they add up.
    wheelRest_ += e->angleDelta().y();
    const int notches = wheelRest_ / 120;
    wheelRest_ -= notches * 120;
    if (notches == 0) return;
    const HexPos o = st.map.ViewOrigin;
    if (e->modifiers() & Qt::ControlModifier)
        SetZoom(NextZoom(Zoom, notches > 0 ? 1 : -1), e->position().toPoint());
    else if (e->modifiers() & Qt::ShiftModifier)
        ScrollTo({o.x - 2 * notches, o.y});
    else
        ScrollTo({o.x, o.y - 2 * notches});
}

void TMapForm::PictureDown(int button, bool shift, int X, int Y) {
    if (button == mbMiddle) { // a drag pans the view
        panning_ = true;
        panFrom_ = {X, Y};
        panOrigin_ = st.map.ViewOrigin;
    }
    const QPoint at = View().Unzoomed(X, Y);
    // The pick-up tool picks with the left button as Shift does.
    if (button == mbLeft && tool_ == Tool::Pick && ToolsApply()) shift = true;
    strokeArmed_ = button == mbLeft && !shift && StrokeFits();
    strokeLast_ = View().HexAt(X, Y);
    strokePoint_ = strokeFrom_ = {X, Y};
    strokeCut_ = false;
    if (button == mbLeft && tool_ == Tool::Select && ToolsApply()) {
        selecting_ = true;
        selection_ = std::make_pair(strokeLast_, strokeLast_);
        MapImage->update();
    }
    MapImageMouseDown(button, shift, at.x(), at.y());
}

void TMapForm::PictureMove(int X, int Y) {
    const MapView view = View();
    const HexPos hex = view.HexAt(X, Y);
    if (panning_ && (MapImage->Buttons() & Qt::MiddleButton)) {
        const QPoint d = view.Unzoomed(X - panFrom_.x(), Y - panFrom_.y());
        ScrollTo({panOrigin_.x - d.x() / HexLayout::ColumnStep,
                  panOrigin_.y - d.y() / HexLayout::RowStep});
    }
    if (MapImage->Buttons() & Qt::LeftButton) {
        if (selecting_ && selection_) selection_->second = hex;
        // A slip of a pixel or two over a border is still a click.
        const bool moved = stroke_ || (QPoint(X, Y) - strokeFrom_).manhattanLength() >= 4;
        if (strokeArmed_ && moved) StrokeAlong({X, Y});
    }
    ShowPointerHex(X, Y);
    const QPoint at = view.Unzoomed(X, Y);
    MapImageMouseMove(at.x(), at.y());
}

// A quick drag moves the pointer over several hexes between two of its
// events: every hex on the line from the last position is entered in turn.
void TMapForm::StrokeAlong(QPoint to) {
    const MapView view = View();
    const QPoint a = view.Unzoomed(strokePoint_.x(), strokePoint_.y());
    const QPoint b = view.Unzoomed(to.x(), to.y());
    strokePoint_ = to;
    const QPoint end = view.Unzoomed(MapImage->width(), MapImage->height());
    const int steps = std::max({1, std::abs(b.x() - a.x()), std::abs(b.y() - a.y())});
    for (int i = 1; i <= steps; ++i) {
        const QPoint p(a.x() + (b.x() - a.x()) * i / steps, a.y() + (b.y() - a.y()) * i / steps);
        // Beyond the picture the pointer enters no hex, and a stroke edits
        // none beyond the map.
        if (p.x() < 0 || p.y() < 0 || p.x() >= end.x() || p.y() >= end.y()) continue;
        const HexPos hex = HexLayout::PixelToHex(p.x(), p.y(), view.origin);
        if (!(hex == strokeLast_) && st.map.OnMap(hex.x, hex.y)) StrokeTo(p);
    }
}

void TMapForm::PictureUp(int button) {
    if (button == mbMiddle) panning_ = false;
    if (button != mbLeft) return;
    selecting_ = false;
    strokeArmed_ = false;
    FinishStroke(); // released outside the picture: no click came
}

// The status bar names the hex under the pointer; the brush and a waiting
// paste follow it.
void TMapForm::ShowPointerHex(int X, int Y) {
    const HexPos hex = View().HexAt(X, Y);
    pointerAt_ = {X, Y};
    if (pointer_ != hex) {
        pointer_ = hex;
        MapImage->update();
    }
    ShowHexInfo();
}

void TMapForm::ShowHexInfo() {
    if (!pointer_) return;
    const HexPos hex = *pointer_;
    if (!st.map.OnMap(hex.x, hex.y) || !HexMap::InGrid(hex.x, hex.y)) {
        HexInfoLbl->setText(QStringLiteral("%1,%2 off the map").arg(hex.x).arg(hex.y));
        return;
    }
    const MapCell& c = st.map.Cell(hex.x, hex.y);
    HexInfoLbl->setText(QStringLiteral("%1,%2  tile %3 (set %4)  %5 / %6")
                            .arg(hex.x)
                            .arg(hex.y)
                            .arg(c.bmp)
                            .arg(st.cat.Record(c.bmp).set)
                            .arg(st.cat.TT1Name(c.TT1), st.cat.TT2Name(c.TT2)));
}

void TMapForm::MapImageMouseDown(int button, bool shift, int X, int Y) {
    EditorState& ed = st.ed;
    ed.DownX = X;
    ed.DownY = Y;
    ed.DownShift = shift;
    ed.DownButton = std::uint8_t(button);
    // The right button acts at once and always redraws the view.
    if (button == mbRight) ApplyOutcome(edit::Click(Target(st), ClickState()), true);
}

void TMapForm::MapImageClick() {
    if (stroke_) { // a drag over several hexes ends as one step, not a click
        FinishStroke();
        return;
    }
    if (strokeCut_) return;
    if (ToolClick()) return;
    ApplyOutcome(edit::Click(Target(st), ClickState()));
}

void TMapForm::MapImageMouseMove(int X, int Y) {
    Timer1.SetEnabled(false);
    EditorState& ed = st.ed;
    if (std::abs(X - ed.StatusX) <= 10 && std::abs(Y - ed.StatusY) <= 10) return;
    ed.StatusX = X;
    ed.StatusY = Y;
    const HexPos hex = HexLayout::PixelToHex(X, Y, st.map.ViewOrigin);
    WhereLbl->setText(QStringLiteral("%1,%2").arg(hex.x).arg(hex.y));
    // Beyond the grid there is no cell to name: the terrain text stays.
    if (HexMap::InGrid(hex.x, hex.y))
        WhatLbl->setText(TerrainText(st.map.Cell(hex.x, hex.y), st.cat));
}

} // namespace zem
