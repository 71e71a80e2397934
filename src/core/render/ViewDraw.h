#pragma once
// The main view at any zoom and size: at 100 % exactly the map picture the
// view has always shown, grown to the picture's size; at other zooms the
// same hexes from tile pictures scaled once a zoom.

#include "render/DrawMap.h"
#include "render/MapView.h"

namespace zem {

// The tile pictures at one zoom, made when the zoom or the pictures change.
class ZoomedTiles {
  public:
    const TileImages& At(const TileImages& base, int zoom);

  private:
    int zoom_ = 0;
    std::array<int, MaxSets + 1> counts_{};
    TileImages lists_;
};

// The hexes that reach into the view: from the column and row before the
// origin (whose parts reach in) to the last that starts inside it. At 100 %
// at least the 15 columns and rows the view has always drawn.
HexRange ViewRange(const HexMap& map, const MapView& view);

// Composes the view into the top-left view.width x view.height part of
// `picture`; `zoomed` are the tile pictures at view.zoom (unused at 100 %).
void DrawView(const HexMap& map, const TileCatalogue& cat, const TileImages& images,
              ZoomedTiles& zoomed, bool showRoads, const MapView& view, QImage& picture);

// Every hex's terrain type 1 or 2 (`which`) at its centre: from
// TerrainDigitsZoom up as a small label of digits, below it as a patch of
// the code's colour; a code of 0 gets none.
constexpr int TerrainDigitsZoom = 67;
void DrawTerrainLabels(QImage& picture, const HexMap& map, const MapView& view, int which);
// One colour for each terrain type code, the same in the picker's legend.
QRgb TerrainColour(int code);

// What the view shows over its tiles: the road lines, and the terrain codes
// of type 1 or 2 (0: none).
struct ViewLayers {
    bool roads = false;
    int codes = 0;
};

// Composes again the part of the view that the hexes cover, and every hex
// that overlaps it, pixel for pixel as DrawView with DrawTerrainLabels
// gives it; the rest of the picture stays. Returns the part drawn (empty
// when no hex is in the view).
QRect RedrawHexes(const HexMap& map, const TileCatalogue& cat, const TileImages& images,
                  ZoomedTiles& zoomed, ViewLayers layers, const MapView& view,
                  const std::vector<HexPos>& hexes, QImage& picture);

} // namespace zem
