// The tools of the tool bar beside the described modes, and the described
// modes themselves, whose clicks are the described clicks.

#include "map/HexLayout.h"
#include "tools/MapTool.h"
#include "tools/ToolManager.h"

namespace zem {

namespace {

// The tile each hex of `hexes` would get: the selected one (the mix shows
// its first tile).
ToolPreview TilesOver(const HexSet& hexes, const EditorState& ed, const TileCatalogue& cat) {
    ToolPreview p;
    const int tile = ed.Mix.size() >= 2 ? ed.Mix.front() : CurrentTile(ed, cat);
    for (const HexPos h : hexes.Hexes())
        p.tiles.push_back({h, tile});
    p.outline = hexes;
    return p;
}

// Placing: the described left, right and Shift clicks; a drag paints, with
// a brush one, two or three hexes across.
class PlaceTool : public StrokeTool {
  public:
    explicit PlaceTool(ToolManager& t) : StrokeTool(t, ToolKind::Place) {}
    ToolPreview Preview(HexPos pointer) const override {
        if (tools_.Options().BrushSize <= 1)
            return {{{pointer, CurrentTile(Doc().Ed(), Doc().Cat())}}, {}};
        return TilesOver(BrushHexes(pointer), Doc().Ed(), Doc().Cat());
    }
};

// Terrain painting: the described clicks; the brush's hexes outlined.
class TerrainTool : public StrokeTool {
  public:
    using StrokeTool::StrokeTool;
    ToolPreview Preview(HexPos pointer) const override {
        ToolPreview p;
        if (tools_.Options().BrushSize > 1) p.outline = BrushHexes(pointer);
        return p;
    }
};

// A left drag connects every pair of neighbouring hexes it passes in turn;
// the right button or Shift takes those connections away. One step.
class RoadTool : public MapTool {
  public:
    explicit RoadTool(ToolManager& t) : MapTool(t, ToolKind::Road) {}
    void Press(const PointerEvent& e) override {
        if (e.button == mbMiddle) return;
        drawing_ = true;
        on_ = e.button == mbLeft && !e.shift;
        last_ = PressedHex();
    }
    void Drag(const PointerEvent& e, bool) override {
        const HexPos hex = HexAt(e.at);
        if (!drawing_ || hex == last_) return;
        EditOutcome part = edit::SetRoad(Doc().Map(), last_, hex, on_);
        last_ = hex;
        if (stroke_)
            JoinOutcome(*stroke_, part);
        else
            stroke_ = part;
        Doc().ShowPart(part);
    }
    void Click() override { Finish(); }
    void Finish() override {
        drawing_ = false;
        if (!stroke_) return;
        EditOutcome out = std::move(*stroke_);
        stroke_.reset();
        Doc().RecordStroke(std::move(out));
    }
    bool Busy() const override { return stroke_.has_value(); }

  private:
    bool drawing_ = false, on_ = true;
    HexPos last_;
    std::optional<EditOutcome> stroke_;
};

// A drag spans a rectangle or an ellipse of hexes from the press to the
// pointer; the release fills it with the selected tile or the mix.
class ShapeTool : public MapTool {
  public:
    explicit ShapeTool(ToolManager& t) : MapTool(t, ToolKind::Shape) {}
    void Press(const PointerEvent& e) override {
        if (e.button == mbLeft) {
            shaping_ = true;
            anchor_ = corner_ = PressedHex();
        }
        MapTool::Press(e);
    }
    void Drag(const PointerEvent& e, bool) override {
        if (shaping_) corner_ = HexAt(e.at);
    }
    void Click() override { Finish(); }
    void Finish() override {
        if (!shaping_) return;
        shaping_ = false;
        Doc().Apply(edit::FillHexes(Doc().Target(), Hexes(), QStringLiteral("Draw Shape")));
    }
    ToolPreview Preview(HexPos pointer) const override {
        return TilesOver(shaping_ ? Hexes() : HexSet::Disc(pointer, 0), Doc().Ed(), Doc().Cat());
    }

  private:
    HexSet Hexes() const {
        return tools_.Options().Shape == ShapeKind::Ellipse ? HexSet::Ellipse(anchor_, corner_)
                                                            : HexSet::Rectangle(anchor_, corner_);
    }
    bool shaping_ = false;
    HexPos anchor_, corner_;
};

// The left button picks up the hex's tile, as Shift does while placing.
class PickTool : public MapTool {
  public:
    explicit PickTool(ToolManager& t) : MapTool(t, ToolKind::Pick) {}
    void Press(const PointerEvent& e) override {
        if (e.button == mbLeft) Doc().Ed().DownShift = true;
        MapTool::Press(e);
    }
};

// A drag selects the rectangle of hexes from the press to the pointer; the
// magic wand the hexes joined to the clicked one that share its tile set;
// Select Same Tile every hex of the map holding the clicked tile.
class SelectTool : public MapTool {
  public:
    explicit SelectTool(ToolManager& t) : MapTool(t, ToolKind::Select) {}
    void Press(const PointerEvent& e) override {
        if (e.button == mbLeft) {
            MapDocument& doc = Doc();
            anchor_ = PressedHex();
            switch (tools_.Options().Select) {
            case SelectBy::Rectangle:
                selecting_ = true;
                doc.Select(HexSet::Rectangle(anchor_, anchor_));
                break;
            case SelectBy::TileSet:
                doc.Select(edit::Region(doc.Map(), doc.Cat(), anchor_, edit::FillBy::TileSet));
                break;
            case SelectBy::SameTile:
                doc.Select(edit::SameTile(doc.Map(), anchor_));
                break;
            }
        }
        MapTool::Press(e);
    }
    void Drag(const PointerEvent& e, bool) override {
        if (!selecting_) return;
        const HexPos hex = HexLayout::PixelToHex(e.at.x(), e.at.y(), Doc().Map().ViewOrigin);
        Doc().Select(HexSet::Rectangle(anchor_, hex));
    }
    void Click() override {} // the drag chose the hexes
    void Finish() override { selecting_ = false; }

  private:
    HexPos anchor_;
    bool selecting_ = false;
};

// The hexes joined to the clicked one that hold its tile; with Shift, the
// selected hexes.
class FillTool : public MapTool {
  public:
    explicit FillTool(ToolManager& t) : MapTool(t, ToolKind::Fill) {}
    void Click() override {
        MapDocument& doc = Doc();
        if (doc.Ed().DownShift && !doc.Selection().Empty())
            doc.Apply(edit::FillHexes(doc.Target(), doc.Selection()));
        else
            doc.Apply(edit::Fill(doc.Target(), PressedHex(), tools_.Options().Fill));
    }
};

// A section waiting for the click that places its top-left hex.
class PasteTool : public MapTool {
  public:
    explicit PasteTool(ToolManager& t) : MapTool(t, ToolKind::Paste) {}
    void Click() override {
        MapDocument& doc = Doc();
        const HexPos hex = doc.PasteAt(PressedHex());
        if (!doc.PendingPaste()) return;
        if (!doc.Map().OnMap(hex.x, hex.y)) {
            doc.Tell(QStringLiteral("Click on the map to paste there (Escape cancels)"));
            return;
        }
        const MapFileData section = *doc.PendingPaste();
        doc.DropPaste();
        doc.Apply(edit::PasteHere(doc.Map(), section, hex));
    }
    ToolPreview Preview(HexPos pointer) const override {
        ToolPreview p;
        const HexPos at = Doc().PasteAt(pointer);
        if (const auto& s = Doc().PendingPaste())
            for (int i = 0; i < s->height; ++i)
                for (int j = 0; j < s->width; ++j)
                    p.tiles.push_back({{at.x + j, at.y + i}, s->At(j, i).bmp});
        return p;
    }
};

} // namespace

std::unique_ptr<MapTool> MakeTool(ToolManager& tools, ToolKind kind) {
    switch (kind) {
    case ToolKind::Place:
        return std::make_unique<PlaceTool>(tools);
    case ToolKind::Pick:
        return std::make_unique<PickTool>(tools);
    case ToolKind::Select:
        return std::make_unique<SelectTool>(tools);
    case ToolKind::Fill:
        return std::make_unique<FillTool>(tools);
    case ToolKind::Paste:
        return std::make_unique<PasteTool>(tools);
    case ToolKind::Spray:
        return std::make_unique<StrokeTool>(tools, kind);
    case ToolKind::Terrain1:
    case ToolKind::Terrain2:
        return std::make_unique<TerrainTool>(tools, kind);
    case ToolKind::Road:
        return std::make_unique<RoadTool>(tools);
    case ToolKind::Shape:
        return std::make_unique<ShapeTool>(tools);
    case ToolKind::RoadPair:
    case ToolKind::SectionCopy:
    case ToolKind::SectionPaste:
        break;
    }
    return std::make_unique<MapTool>(tools, kind);
}

} // namespace zem
