#pragma once
// The pictures a Tiled map of ours refers to: the catalogue's tile pictures
// and the hex frame with their transparency as real alpha, and generated
// sheets for the terrain codes and the road bits.

#include "interop/TmxFormat.h"
#include "map/TileCatalogue.h"
#include "render/TileImages.h"

#include <QImage>
#include <vector>

namespace zem::tmx {

// One tileset: a sheet of equally sized tiles, left to right and top to
// bottom, each tile carrying one whole-number property.
struct Sheet {
    QString name;
    int tileWidth = CellWidth, tileHeight = CellHeight;
    int columns = 1;
    int offsetX = 0, offsetY = 0; // Tiled's tile offset from the cell's bottom-left
    QImage image;                 // ARGB32, transparent where nothing is drawn
    QString property;             // empty: the tiles carry no property
    std::vector<int> values;      // the property of tile id 0, 1, ...
    int Count() const { return int(values.size()); }
};

// Every catalogue tile that has a picture, in ascending tile number; the
// property is the tile number.
Sheet TileSheet(const TileCatalogue& cat, const TileImages& images);
// The hex frame layer. Tiled draws it above all tiles, and draws the tiles
// of a row in another order than the map view (even columns, then odd), so
// each hex gets the pixels of its own frame and tile that the map view shows
// and Tiled's tiles layer would not: its frame where no later picture covers
// it, and its tile where Tiled would show a neighbour's instead. Tile 0 is
// the whole frame, for hexes painted in Tiled. `frameIds` gets the tile of
// each hex of the map, row by row.
Sheet FrameSheet(const HexMap& map, const TileCatalogue& cat, const TileImages& images,
                 std::vector<int>& frameIds);
// Codes 0..255 as coloured hexes labelled with their number.
Sheet TerrainSheet();
// The 64 combinations of the six neighbour bits, drawn as the map view's
// road lines; the property is the RC bits.
Sheet RoadSheet();

} // namespace zem::tmx
