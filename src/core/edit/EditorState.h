#pragma once
// The editing state of the main map picture: mode, the clicks of two-click
// operations, the selected tile and the last button press.

#include "map/HexMap.h"
#include "map/TileCatalogue.h"

#include "runtime/Random.h"

#include <cstdint>
#include <vector>

namespace zem {

enum EditMode : std::uint8_t {
    ModeTiles = 0,
    ModeCopySection = 1,
    ModePaste = 2,
    ModePaintTT1 = 3,
    ModePaintTT2 = 4,
    ModeSpray = 5,
};

enum MouseButton : std::uint8_t { mbLeft = 0, mbRight = 1, mbMiddle = 2 };

struct EditorState {
    std::uint8_t Mode = ModeTiles;
    int ClickCount = 0;
    HexPos RoadHex1, RoadHex2;
    HexPos SectionCorner1, SectionCorner2;
    HexPos PasteAt;
    int CurrentSet = 2;
    int CurrentImage = 1;
    int ReplacedTile = 1;
    int DownX = 0, DownY = 0;
    bool DownShift = false;
    std::uint8_t DownButton = mbLeft;
    int StatusX = 0, StatusY = 0;
    // Tiles chosen together in the palette (Ctrl+click): each placement
    // takes one of them at random. Fewer than two: the selected tile alone.
    std::vector<int> Mix;
};

// SetTiles[CurrentSet][CurrentImage]; 0 when nothing is selected.
int CurrentTile(const EditorState& ed, const TileCatalogue& cat);
// The tile a placement puts on a hex: the selected one, or one of the mix
// drawn from the program's random numbers.
int TileToPlace(const EditorState& ed, const TileCatalogue& cat, Random& rng);

// Puts tile t into cell (x, y) with the tile's default terrain types and
// values; RC and the 24 further values stay. A hex outside the grid, or a
// number that is no tile of the catalogue, changes nothing.
void PlaceTile(HexMap& map, const TileCatalogue& cat, int x, int y, int t);

// The status text of a hex: "TT1name(TT2name)".
QString TerrainText(const MapCell& cell, const TileCatalogue& cat);
// The status bar's line of a hex: "12,7  tile 20 (set 3)  Forest / None",
// or "90,3 off the map".
QString HexInfoText(const HexMap& map, const TileCatalogue& cat, HexPos hex);

} // namespace zem
