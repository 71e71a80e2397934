#pragma once
// Every change the user makes to the map goes through here: each action is
// a function over the editing state, the map, the catalogue and the inputs
// it needs, and returns what it did, so the windows only translate events
// and redraw, and every change can be recorded and taken back.

#include "convert/SketchConvert.h"
#include "convert/TerrainFix.h"
#include "edit/EditorState.h"
#include "map/HexSet.h"
#include "map/MapFile.h"
#include "tools/Spray.h"

#include <QString>
#include <exception>
#include <functional>
#include <memory>
#include <optional>
#include <vector>

namespace zem {

struct ZemState;

// Cells: the hexes of the change's cells, and what overlaps them.
enum class Redraw : std::uint8_t { Nothing, Hex, View, Cells };
enum class SectionRequest : std::uint8_t { None, Write, Paste };

struct CellChange {
    HexPos at;
    MapCell before, after;
};

// The map's size. The view origin is not part of a change: undo and redo
// leave the view where the user put it.
struct MapShape {
    int width = 0, height = 0;
    bool operator==(const MapShape&) const = default;
};

// What later clicks read of the editing state and an edit may change: the
// tile the right button puts back and the selected tile.
struct Selection {
    int ReplacedTile = 1;
    int CurrentSet = 2;
    int CurrentImage = 1;
    bool operator==(const Selection&) const = default;
};
Selection SelectionOf(const EditorState& ed);

// Steps that join the step before them.
enum class Merge : std::uint8_t {
    None,
    SketchSize, // the converter's map size, kept with the conversion that follows
    Convert,
};

struct EditOutcome {
    QString name; // what the change is called ("Place Tile")
    std::vector<CellChange> cells;
    MapShape shapeBefore, shapeAfter;
    Selection selBefore, selAfter;
    Merge merge = Merge::None;
    bool newMap = false; // a new map that no file holds (New Map, a conversion, an import)
    QString fileBefore;  // of a new map: the file the map was before it, for its undo
    // Of an imported map: the hexes whose tile the import was unsure of,
    // with the tiles it chose there.
    std::vector<std::pair<HexPos, int>> unsure;
    // An error the action raised after it had changed the map: the change
    // is recorded as a step, then the error is shown.
    std::exception_ptr failure;
    Redraw redraw = Redraw::Nothing;
    HexPos hex;                  // the hex of Redraw::Hex
    std::optional<QString> hint; // the hint label's new text
    std::optional<QString> what; // the terrain label's new text
    SectionRequest section = SectionRequest::None;
    bool picked = false;         // Shift + left click chose the hex's tile
    std::optional<QString> news; // for the status bar

    // Only a change of the map's cells or size is a step; the selection
    // rides along with it.
    bool Changed() const { return !cells.empty() || shapeBefore != shapeAfter; }
    // The edit chose another tile for the palette to show.
    bool Reselected() const {
        return selBefore.CurrentSet != selAfter.CurrentSet ||
               selBefore.CurrentImage != selAfter.CurrentImage;
    }
};

// Everything an action may read or change.
struct EditTarget {
    HexMap& map;
    EditorState& ed;
    const TileCatalogue& cat;
    Random& rng;
};
EditTarget Target(ZemState& st);

// Keeps the map as it was and tells, later, what changed in it.
class MapRecorder {
  public:
    explicit MapRecorder(const HexMap& map);
    EditOutcome Finish(const HexMap& map, const QString& name) const;

  private:
    std::unique_ptr<HexMap> before_;
};

// `later` happened right after `first`: one change from before the first to
// after the later, under the later's name.
void JoinOutcome(EditOutcome& first, const EditOutcome& later);

// Runs `action` on the map and returns what it changed.
template <class F> EditOutcome Recorded(HexMap& map, const QString& name, F&& action) {
    const MapRecorder rec(map);
    action();
    return rec.Finish(map, name);
}

// What a click on the map picture reads besides the state.
struct ClickInputs {
    bool toggleRoads = false; // "Toggle Road Connections" is checked
    int terrainCode = -1;     // the terrain picker's selected code, -1: none
    // The spray can's settings, read only when a click sprays (the settings
    // window may refuse its text).
    std::function<SpraySettings()> spray;
};

namespace edit {

// A click on the map picture at the last press (ed.DownX, ed.DownY) with the
// last button, in the current mode.
EditOutcome Click(EditTarget t, const ClickInputs& in);

// New Map after its dialog (whose OK sets the size) ran; `before` was taken
// before the dialog. `spray`: the spray can is on, sprinkle the new map.
EditOutcome NewMap(EditTarget t, const MapRecorder& before, bool accepted,
                   const std::function<SpraySettings()>& spray);

EditOutcome LoadMap(HexMap& map, const MapFileData& data);
EditOutcome PasteSection(HexMap& map, const MapFileData& section, HexPos at);
// The converter's map size follows the sketch and the pixels per hex.
EditOutcome SetMapSize(HexMap& map, int width, int height);
EditOutcome Convert(EditTarget t, const ColourTable& table, const QImage& sketch, int pixelsPerHex);
EditOutcome FixTerrain(EditTarget t, const TerrainTemplate& tmpl);
EditOutcome MakeRoads(HexMap& map);
EditOutcome ClearRoads(HexMap& map);

// What the hexes of a fill share with the clicked one.
enum class FillBy : std::uint8_t { Tile, TileSet, Terrain1 };
// The hexes connected to `at` through their six neighbours that share its
// tile, its tile set or its terrain type 1, `at` included; all on the map.
HexSet Region(const HexMap& map, const TileCatalogue& cat, HexPos at, FillBy by);
// Every hex of the map holding the tile of `at`.
HexSet SameTile(const HexMap& map, HexPos at);

// The selected tile (or one of the mix for each hex) placed on `at` and on
// every hex of its region.
EditOutcome Fill(EditTarget t, HexPos at, FillBy by = FillBy::Tile);
// The selected tile (or the mix) placed on every hex of the set that lies on
// the map, each as a placement does, as one step called `name`.
EditOutcome FillHexes(EditTarget t, const HexSet& hexes,
                      const QString& name = QStringLiteral("Fill"));
// Terrain type 1 or 2 (`which`) set to `code` on every hex of the set on the
// map; a code below 1 changes nothing, as a click does.
EditOutcome PaintTerrain(EditTarget t, const HexSet& hexes, int which, int code);
// The road between two neighbouring hexes set (both bits) or taken away.
EditOutcome SetRoad(HexMap& map, HexPos a, HexPos b, bool on);
// A section pasted with its top-left at `at`, the view left where it is.
EditOutcome PasteHere(HexMap& map, const MapFileData& section, HexPos at);

} // namespace edit
} // namespace zem
