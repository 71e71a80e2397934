#pragma once
// The tools that turn the pointer on the map into edits of the document.
// Exactly one is active at a time (ToolManager says which); the view hands
// it the presses, the points a held left button passes and the clicks, and
// draws the preview it asks for. Positions are pixels of the view at 100 %,
// so no tool sees the zoom.

#include "edit/MapDocument.h"

#include <QPoint>
#include <functional>
#include <memory>
#include <utility>
#include <vector>

namespace zem {

class ToolManager;

enum class ToolKind {
    Place,    // the described left, right and Shift clicks, and strokes
    Pick,     // the left button picks up a hex's tile
    Select,   // a drag selects a rectangle of hexes
    Fill,     // the hexes joined to the clicked one holding its tile
    Paste,    // a section from the clipboard waits for the click that places it
    Spray,    // the described spray can
    Terrain1, // the described terrain type painting
    Terrain2,
    RoadPair,     // the described two clicks of Toggle Road Connections
    SectionCopy,  // the two corners of Copy Map Section To File
    SectionPaste, // the point of Paste From File
    Road,         // a drag connects the hexes it passes; the right button takes roads away
    Shape,        // a drag spans a rectangle or an ellipse of hexes, filled on release
};
constexpr int ToolKinds = int(ToolKind::Shape) + 1;

enum class ShapeKind : std::uint8_t { Rectangle, Ellipse };
enum class SelectBy : std::uint8_t { Rectangle, TileSet, SameTile };

// The choices the tool bar offers beside the tools.
struct ToolOptions {
    int BrushSize = 1; // hexes across: 1, 2 or 3 (radius 0, 1, 2)
    edit::FillBy Fill = edit::FillBy::Tile;
    ShapeKind Shape = ShapeKind::Rectangle;
    SelectBy Select = SelectBy::Rectangle;
    bool operator==(const ToolOptions&) const = default;
};

struct PointerEvent {
    int button = mbLeft;
    bool shift = false;
    QPoint at; // in pixels of the view at 100 %
};

// What a tool shows over the map under the pointer: tiles see-through, and
// the outline of the hexes a brush covers.
struct ToolPreview {
    std::vector<std::pair<HexPos, int>> tiles;
    HexSet outline;
};

// What clicks read of the other windows at the moment they apply.
struct ToolInputs {
    std::function<int()> terrainCode;     // the picker's selected code, -1: none
    std::function<SpraySettings()> spray; // may throw for a text that is no number
};

class MapTool {
  public:
    MapTool(ToolManager& tools, ToolKind kind);
    virtual ~MapTool() = default;
    ToolKind Kind() const { return kind_; }

    // A button went down; the press is in the editing state already. The
    // right button is a click at once in every tool, as it always was.
    virtual void Press(const PointerEvent& e);
    // The left button is held and the pointer reached `e.at`; `moved`: it
    // left the press by more than a slip.
    virtual void Drag(const PointerEvent& e, bool moved);
    // The left button came up over the map after its press: the described
    // click of the press, unless a drag made it something else.
    virtual void Click();
    // Ends what a held button has under way, as its release would.
    virtual void Finish() {}
    virtual bool Busy() const { return false; }
    virtual ToolPreview Preview(HexPos pointer) const;

  protected:
    // The described click at the last press, in the current mode.
    EditOutcome DescribedClick();
    HexPos PressedHex() const;
    HexPos HexAt(QPoint at) const;
    MapDocument& Doc() const;
    // The hexes the brush covers around `centre`: within the selection, when
    // hexes are selected and the brush is wider than a hex.
    HexSet BrushHexes(HexPos centre) const;

    ToolManager& tools_;

  private:
    ToolKind kind_;
};

// A tool whose left drag edits every hex it enters, as a click there would,
// and is one step.
class StrokeTool : public MapTool {
  public:
    using MapTool::MapTool;
    void Press(const PointerEvent& e) override;
    void Drag(const PointerEvent& e, bool moved) override;
    void Click() override;
    void Finish() override;
    bool Busy() const override { return stroke_.has_value(); }

  protected:
    // The edit of one hex of the stroke (the press recorded where it is):
    // the described click, or the brush when it is wider than a hex.
    virtual EditOutcome HexEdit();
    virtual QString StrokeName(const QString& last) const;

  private:
    bool armed_ = false;
    HexPos last_;
    std::optional<EditOutcome> stroke_;
};

} // namespace zem

namespace zem {
// The tool of each kind.
std::unique_ptr<MapTool> MakeTool(ToolManager& tools, ToolKind kind);
} // namespace zem
