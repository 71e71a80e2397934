#include "tools/MapTool.h"
#include "map/HexLayout.h"
#include "tools/ToolManager.h"

namespace zem {

MapTool::MapTool(ToolManager& tools, ToolKind kind) : tools_(tools), kind_(kind) {}

MapDocument& MapTool::Doc() const {
    return tools_.Doc();
}

HexPos MapTool::HexAt(QPoint at) const {
    return HexLayout::PixelToHex(at.x(), at.y(), Doc().Map().ViewOrigin);
}

HexSet MapTool::BrushHexes(HexPos centre) const {
    const int size = tools_.Options().BrushSize;
    HexSet hexes = HexSet::Disc(centre, size - 1);
    const HexSet& selected = Doc().Selection();
    if (size > 1 && !selected.Empty())
        for (const HexPos h : hexes.Hexes())
            if (!selected.Has(h)) hexes.Remove(h);
    return hexes;
}

HexPos MapTool::PressedHex() const {
    const EditorState& ed = Doc().Ed();
    return HexLayout::PixelToHex(ed.DownX, ed.DownY, Doc().Map().ViewOrigin);
}

EditOutcome MapTool::DescribedClick() {
    ClickInputs in;
    in.toggleRoads = tools_.Marks().ToggleRoads;
    in.terrainCode = tools_.Inputs().terrainCode ? tools_.Inputs().terrainCode() : -1;
    in.spray = tools_.Inputs().spray;
    return edit::Click(Doc().Target(), in);
}

void MapTool::Press(const PointerEvent& e) {
    if (e.button != mbRight) return;
    // The right button acts at once and always redraws the view.
    EditOutcome out = DescribedClick();
    out.redraw = Redraw::View;
    Doc().Apply(out);
}

void MapTool::Drag(const PointerEvent&, bool) {}

void MapTool::Click() {
    Doc().Apply(DescribedClick());
}

ToolPreview MapTool::Preview(HexPos) const {
    return {};
}

void StrokeTool::Press(const PointerEvent& e) {
    armed_ = e.button == mbLeft && !e.shift;
    last_ = PressedHex();
    MapTool::Press(e);
}

// Every hex the pointer enters is edited as a click there would; the hex of
// the press first, once the pointer left it.
void StrokeTool::Drag(const PointerEvent& e, bool moved) {
    if (!armed_ || !(stroke_ || moved)) return;
    MapDocument& doc = Doc();
    const HexPos hex = HexLayout::PixelToHex(e.at.x(), e.at.y(), doc.Map().ViewOrigin);
    if (hex == last_ || !doc.Map().OnMap(hex.x, hex.y)) return;
    if (!stroke_) {
        EditOutcome first = HexEdit();
        stroke_ = first;
        doc.ShowPart(first);
    }
    EditorState& ed = doc.Ed();
    ed.DownX = e.at.x();
    ed.DownY = e.at.y();
    last_ = hex;
    const EditOutcome next = HexEdit();
    JoinOutcome(*stroke_, next);
    doc.ShowPart(next);
}

void StrokeTool::Click() {
    if (stroke_) // a drag over several hexes ends as one step, not a click
        Finish();
    else
        Doc().Apply(HexEdit());
}

// A brush wider than a hex places tiles or paints terrain on every hex it
// covers; Shift and the right button keep their described clicks.
EditOutcome StrokeTool::HexEdit() {
    const EditorState& ed = Doc().Ed();
    if (tools_.Options().BrushSize <= 1 || ed.DownShift || ed.DownButton != mbLeft)
        return DescribedClick();
    const HexSet hexes = BrushHexes(PressedHex());
    switch (Kind()) {
    case ToolKind::Place:
        return edit::FillHexes(Doc().Target(), hexes, QStringLiteral("Place Tiles"));
    case ToolKind::Terrain1:
    case ToolKind::Terrain2: {
        const int code = tools_.Inputs().terrainCode ? tools_.Inputs().terrainCode() : -1;
        return edit::PaintTerrain(Doc().Target(), hexes, Kind() == ToolKind::Terrain1 ? 1 : 2,
                                  code);
    }
    default:
        return DescribedClick();
    }
}

void StrokeTool::Finish() {
    armed_ = false;
    if (!stroke_) return;
    EditOutcome out = std::move(*stroke_);
    stroke_.reset();
    out.name = StrokeName(out.name);
    Doc().RecordStroke(std::move(out));
}

QString StrokeTool::StrokeName(const QString& last) const {
    return last == QStringLiteral("Place Tile") ? QStringLiteral("Place Tiles") : last;
}

} // namespace zem
