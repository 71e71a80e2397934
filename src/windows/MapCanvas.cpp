#include "windows/MapCanvas.h"
#include "edit/ZemState.h"
#include "map/HexLayout.h"
#include "render/DrawMap.h"

#include <QPainter>
#include <QWheelEvent>

namespace zem {

static constexpr QRgb UnsureMarkColour = 0xFFFFE600;

MapCanvas::MapCanvas(ZemState& st, MapDocument& doc, ToolManager& tools, QWidget* parent)
    : ImageControl(parent), st_(st), doc_(doc), tools_(tools) {
    setFocusPolicy(Qt::ClickFocus);
    HScroll = new QScrollBar(Qt::Horizontal);
    VScroll = new QScrollBar(Qt::Vertical);
    for (QScrollBar* bar : {HScroll, VScroll}) {
        bar->setFocusPolicy(Qt::NoFocus); // the arrow keys belong to the map
        connect(bar, &QScrollBar::valueChanged, this, [this] {
            ScrollTo({HScroll->value(), VScroll->value()});
        });
    }
    OnMouseDown = [this](int b, bool s, int x, int y) { Down(b, s, x, y); };
    OnMouseMove = [this](bool, int x, int y) { Moved(x, y); };
    OnClick = [this] {
        if (Clicked) Clicked();
    };
    OnMouseUp = [this](int b, int, int) { Up(b); };
    OnWheel = [this](QWheelEvent* e) { Wheel(e); };
    OnLeave = [this] {
        pointer_.reset();
        update();
        emit pointerChanged();
    };
    OnPaintOver = [this](QPainter& p) { PaintOver(p); };
    connect(&doc_, &MapDocument::applied, this, [this](const EditOutcome& out) { Show(out); });
    connect(&doc_, &MapDocument::undone, this, [this](const EditOutcome& out) {
        // An undo that shrinks the map keeps the view on what is left of it.
        if (!(out.shapeBefore == out.shapeAfter)) ShowOrigin(st_.map.ViewOrigin);
        DrawMap();
    });
    for (auto signal :
         {&MapDocument::selectionChanged, &MapDocument::pasteChanged, &MapDocument::unsureChanged})
        connect(&doc_, signal, this, [this] { update(); });
    connect(&tools_, &ToolManager::activeChanged, this, [this] {
        // Terrain codes come with a terrain mode and go with it; road lines
        // with the road tools.
        if (PaintingTerrain() != codesDrawn_ || RoadsShown() != roadsDrawn_) DrawMap();
        update();
    });
}

// The road lines while they are switched on, or while roads are drawn.
bool MapCanvas::RoadsShown() const {
    return ShowRoads || tools_.Active() == ToolKind::Road || tools_.Active() == ToolKind::RoadPair;
}

bool MapCanvas::PaintingTerrain() const {
    const int mode = st_.ed.Mode;
    return TerrainCodes && (mode == ModePaintTT1 || mode == ModePaintTT2);
}

MapView MapCanvas::View() const {
    return {st_.map.ViewOrigin, zoom_, width(), height()};
}

void MapCanvas::Fit(int w, int h) {
    SetPictureSize(std::max(900, w), std::max(800, h));
    if (zoom_ < 100) ShowOrigin(st_.map.ViewOrigin); // a grown window zoomed out: more map
}

void MapCanvas::DrawMap() {
    const MapView view = View();
    roadsDrawn_ = RoadsShown();
    DrawView(st_.map, st_.cat, st_.images, zoomed_, roadsDrawn_, view, Picture());
    // While a terrain type is painted, every hex shows its code.
    codesDrawn_ = PaintingTerrain();
    if (codesDrawn_)
        DrawTerrainLabels(Picture(), st_.map, view, st_.ed.Mode == ModePaintTT1 ? 1 : 2);
    Repaint();
    UpdateScrollBars();
    emit drawn();
}

// What an edit asks to be drawn. A failed edit leaves the picture as it was.
void MapCanvas::Show(const EditOutcome& out) {
    if (out.failure) return;
    const bool codes = out.Changed() && PaintingTerrain(); // the codes follow every change
    if (out.redraw == Redraw::View || (codes && !(out.shapeBefore == out.shapeAfter)))
        return DrawMap();
    std::vector<HexPos> hexes;
    if (codes || out.redraw == Redraw::Cells)
        for (const CellChange& c : out.cells)
            hexes.push_back(c.at);
    if (out.redraw == Redraw::Hex && zoom_ == 100 && hexes.empty()) {
        // The most frequent edit draws only the one hex, as it always did.
        const HexPos o = st_.map.ViewOrigin;
        DrawPlacedHex(Picture(), st_.images, st_.ed.CurrentSet, st_.ed.CurrentImage,
                      out.hex.x - o.x, out.hex.y - o.y, out.hex.x);
        return Repaint();
    }
    if (out.redraw == Redraw::Hex) hexes.push_back(out.hex);
    if (hexes.empty()) return;
    // Only the changed hexes and what overlaps them are composed again,
    // with the layers the picture shows.
    const int which = st_.ed.Mode == ModePaintTT1 ? 1 : 2;
    const QRect part =
        RedrawHexes(st_.map, st_.cat, st_.images, zoomed_,
                    {roadsDrawn_, codesDrawn_ ? which : 0}, View(), hexes, Picture());
    if (!part.isEmpty()) repaint(part);
}

// The scroll bars reach as far as the map needs at this zoom, and at least
// to where edge scrolling or the strategic map put the view.
void MapCanvas::UpdateScrollBars() {
    const MapView view = View();
    const HexPos o = view.origin;
    const QSignalBlocker h(HScroll), v(VScroll);
    HScroll->setRange(0, std::max({0, st_.map.MapWidth - view.Columns(), o.x}));
    VScroll->setRange(0, std::max({0, st_.map.MapHeight - view.Rows(), o.y}));
    HScroll->setPageStep(std::max(1, view.Columns()));
    VScroll->setPageStep(std::max(1, view.Rows()));
    HScroll->setValue(o.x);
    VScroll->setValue(o.y);
}

void MapCanvas::ScrollTo(HexPos origin) {
    const MapView view = View();
    origin.x =
        std::clamp(origin.x, 0, std::max({0, st_.map.MapWidth - view.Columns(), view.origin.x}));
    origin.y =
        std::clamp(origin.y, 0, std::max({0, st_.map.MapHeight - view.Rows(), view.origin.y}));
    if (origin == st_.map.ViewOrigin) return;
    st_.map.ViewOrigin = origin;
    DrawMap();
    if (pointer_) TrackPointer(pointerAt_.x(), pointerAt_.y()); // another hex is under it now
}

void MapCanvas::SetZoom(int percent, QPoint around) {
    percent = std::clamp(percent, MapView::Zooms.front(), MapView::Zooms.back());
    if (percent == zoom_) return;
    const QPoint before = View().Unzoomed(around.x(), around.y());
    const HexPos o = st_.map.ViewOrigin;
    const int wx = HexLayout::Left(o.x) + before.x(), wy = HexLayout::RowStep * o.y + before.y();
    zoom_ = percent;
    const QPoint after = View().Unzoomed(around.x(), around.y());
    const int x = (wx - after.x() + HexLayout::ColumnStep / 2) / HexLayout::ColumnStep;
    const int y = (wy - after.y() + HexLayout::RowStep / 2) / HexLayout::RowStep;
    ShowOrigin({x, y});
    DrawMap();
    if (pointer_) TrackPointer(pointerAt_.x(), pointerAt_.y());
    emit zoomChanged();
}

// The view shows as much of the map as it can hold rather than green beyond
// its edge.
void MapCanvas::ShowOrigin(HexPos origin) {
    const MapView view = View();
    st_.map.ViewOrigin = {std::clamp(origin.x, 0, std::max(0, st_.map.MapWidth - view.Columns())),
                          std::clamp(origin.y, 0, std::max(0, st_.map.MapHeight - view.Rows()))};
}

// The middle of the part of the picture the window shows.
QPoint MapCanvas::ViewCentre() const {
    const QRect shown = rect() & parentWidget()->rect().translated(-pos());
    return shown.isEmpty() ? QPoint(0, 0) : shown.center();
}

static int NextZoom(int zoom, int step) {
    const auto& z = MapView::Zooms;
    const auto at = std::find(z.begin(), z.end(), zoom);
    const long i = std::clamp(long(at - z.begin()) + step, 0L, long(z.size()) - 1);
    return z[size_t(i)];
}

void MapCanvas::ZoomStep(int step) {
    SetZoom(NextZoom(zoom_, step), ViewCentre());
}

void MapCanvas::ActualSize() {
    SetZoom(100, ViewCentre());
}

void MapCanvas::ScrollKey(int key) {
    const HexPos o = st_.map.ViewOrigin;
    const int page = std::max(1, View().Rows());
    switch (key) {
    case Qt::Key_Left:
        return ScrollTo({o.x - 1, o.y});
    case Qt::Key_Right:
        return ScrollTo({o.x + 1, o.y});
    case Qt::Key_Up:
        return ScrollTo({o.x, o.y - 1});
    case Qt::Key_Down:
        return ScrollTo({o.x, o.y + 1});
    case Qt::Key_PageUp:
        return ScrollTo({o.x, o.y - page});
    case Qt::Key_PageDown:
        return ScrollTo({o.x, o.y + page});
    }
}

void MapCanvas::Wheel(QWheelEvent* e) {
    // With a button down the view stays, so a press and its release fall on
    // the same hex.
    if (Buttons() != Qt::NoButton) return;
    // A fine-grained wheel or touchpad turns in parts of a notch; they add up.
    wheelRest_ += e->angleDelta().y();
    const int notches = wheelRest_ / 120;
    wheelRest_ -= notches * 120;
    if (notches == 0) return;
    const HexPos o = st_.map.ViewOrigin;
    if (e->modifiers() & Qt::ControlModifier)
        SetZoom(NextZoom(zoom_, notches > 0 ? 1 : -1), e->position().toPoint());
    else if (e->modifiers() & Qt::ShiftModifier)
        ScrollTo({o.x - 2 * notches, o.y});
    else
        ScrollTo({o.x, o.y - 2 * notches});
}

void MapCanvas::Down(int button, bool shift, int X, int Y) {
    if (button == mbMiddle) { // a drag pans the view
        panning_ = true;
        panFrom_ = {X, Y};
        panOrigin_ = st_.map.ViewOrigin;
    }
    if (button != mbMiddle) {
        pressAt_ = {X, Y};
        moved_ = false;
    }
    const QPoint at = View().Unzoomed(X, Y);
    if (MouseDown) MouseDown(button, shift, at.x(), at.y());
}

void MapCanvas::Moved(int X, int Y) {
    const MapView view = View();
    if (panning_ && (Buttons() & Qt::MiddleButton)) {
        const QPoint d = view.Unzoomed(X - panFrom_.x(), Y - panFrom_.y());
        ScrollTo({panOrigin_.x - d.x() / HexLayout::ColumnStep,
                  panOrigin_.y - d.y() / HexLayout::RowStep});
    }
    const QPoint at = View().Unzoomed(X, Y);
    if (Buttons() & (Qt::LeftButton | Qt::RightButton)) {
        // A slip of a pixel or two over a border is still a click.
        moved_ = moved_ || (QPoint(X, Y) - pressAt_).manhattanLength() >= 4;
        const QPoint end = View().Unzoomed(width(), height());
        tools_.Move({Buttons() & Qt::LeftButton ? mbLeft : mbRight, false, at}, moved_,
                    QRect(QPoint(0, 0), QPoint(end.x() - 1, end.y() - 1)));
    }
    TrackPointer(X, Y);
    if (MouseMoved) MouseMoved(at.x(), at.y());
}

void MapCanvas::Up(int button) {
    if (button == mbMiddle) panning_ = false;
    tools_.Release(button);
}

// The brush and a waiting paste follow the hex under the pointer.
void MapCanvas::TrackPointer(int X, int Y) {
    const HexPos hex = View().HexAt(X, Y);
    pointerAt_ = {X, Y};
    if (pointer_ != hex) {
        pointer_ = hex;
        update();
    }
    emit pointerChanged();
}

// Over the picture on screen, never in it: the selection, the marks and
// the active tool's preview, see-through.
void MapCanvas::PaintOver(QPainter& p) {
    const MapView view = View();
    PaintSelection(p, view);
    PaintUnsureMarks(p, view);
    if (!pointer_) return;
    const ToolPreview preview = tools_.ActiveTool().Preview(*pointer_);
    const TileImages& tiles = zoom_ == 100 ? st_.images : zoomed_.At(st_.images, zoom_);
    p.setOpacity(0.55);
    for (const auto& [at, tile] : preview.tiles)
        if (st_.map.OnMap(at.x, at.y))
            if (const QImage* img = TilePicture(st_.cat, tiles, tile))
                p.drawImage(view.Corner(at.x, at.y), *img);
    p.setOpacity(1);
    p.setPen(QPen(Qt::yellow, 1));
    p.setBrush(Qt::NoBrush);
    PaintHexes(p, view, preview.outline.OnMap(st_.map));
}

void MapCanvas::PaintSelection(QPainter& p, const MapView& view) {
    if (doc_.Selection().Empty()) return;
    p.setPen(QPen(Qt::white, 1, Qt::DashLine));
    p.setBrush(QColor(255, 255, 255, 60));
    PaintHexes(p, view, doc_.Selection());
}

// Each hex as a hexagon in the pen and brush set.
void MapCanvas::PaintHexes(QPainter& p, const MapView& view, const HexSet& hexes) {
    const QSize size(view.Scaled(HexLayout::TileWidth), view.Scaled(HexLayout::TileHeight));
    for (const HexPos h : hexes.Hexes()) {
        const QRect r(view.Corner(h.x, h.y), size);
        if (!r.intersects(p.window())) continue;
        const int q = r.width() / 4;
        p.drawPolygon(QPolygon({r.topLeft() + QPoint(q, 0), r.topRight() - QPoint(q, 0),
                                QPoint(r.right(), r.center().y()), r.bottomRight() - QPoint(q, 0),
                                r.bottomLeft() + QPoint(q, 0), QPoint(r.left(), r.center().y())}));
    }
}

// A question mark on each hex whose imported tile is unsure, until the next
// change of the map.
void MapCanvas::PaintUnsureMarks(QPainter& p, const MapView& view) {
    if (doc_.Unsure().empty()) return;
    QFont font = p.font();
    font.setPixelSize(13);
    font.setBold(true);
    p.setFont(font);
    const QSize tile(view.Scaled(HexLayout::TileWidth), view.Scaled(HexLayout::TileHeight));
    for (const HexPos h : doc_.Unsure()) {
        const QPoint centre = QRect(view.Corner(h.x, h.y), tile).center();
        const QRect box(centre.x() - 7, centre.y() - 7, 16, 16);
        if (!box.intersects(p.window())) continue;
        p.fillRect(box, QColor(UnsureMarkColour));
        p.setPen(Qt::black);
        p.drawRect(box.adjusted(0, 0, -1, -1));
        p.drawText(box, Qt::AlignCenter, QStringLiteral("?"));
    }
}

} // namespace zem
