// The tools of the tool bar beside the described modes, and the described
// modes themselves, whose clicks are the described clicks.

#include "map/HexLayout.h"
#include "tools/MapTool.h"
#include "tools/ToolManager.h"

namespace zem {

namespace {

// Placing: the described left, right and Shift clicks; a drag paints.
class PlaceTool : public StrokeTool {
  public:
    explicit PlaceTool(ToolManager& t) : StrokeTool(t, ToolKind::Place) {}
    ToolPreview Preview(HexPos pointer) const override {
        return {{{pointer, CurrentTile(Doc().Ed(), Doc().Cat())}}};
    }
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

// A drag selects the rectangle of hexes from the press to the pointer.
class SelectTool : public MapTool {
  public:
    explicit SelectTool(ToolManager& t) : MapTool(t, ToolKind::Select) {}
    void Press(const PointerEvent& e) override {
        if (e.button == mbLeft) {
            anchor_ = PressedHex();
            selecting_ = true;
            Doc().Select(HexSet::Rectangle(anchor_, anchor_));
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
            doc.Apply(edit::Fill(doc.Target(), PressedHex()));
    }
};

// A section waiting for the click that places its top-left hex.
class PasteTool : public MapTool {
  public:
    explicit PasteTool(ToolManager& t) : MapTool(t, ToolKind::Paste) {}
    void Click() override {
        MapDocument& doc = Doc();
        const HexPos hex = PressedHex();
        if (!doc.PendingPaste()) return;
        if (!doc.Map().OnMap(hex.x, hex.y)) {
            doc.Tell(QStringLiteral("Click on the map to paste there (Escape cancels)"));
            return;
        }
        const MapFileData section = *doc.PendingPaste();
        doc.DropPaste();
        doc.Apply(edit::PasteHere(doc.Map(), section, hex));
    }
    ToolPreview Preview(HexPos at) const override {
        ToolPreview p;
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
    case ToolKind::Terrain1:
    case ToolKind::Terrain2:
        return std::make_unique<StrokeTool>(tools, kind);
    case ToolKind::RoadPair:
    case ToolKind::SectionCopy:
    case ToolKind::SectionPaste:
        break;
    }
    return std::make_unique<MapTool>(tools, kind);
}

} // namespace zem
