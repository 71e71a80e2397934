#pragma once
// The names a Tiled map of ours uses for its layers, tilesets and
// properties, shared by the writer and the reader.

#include "map/HexLayout.h"

#include <QString>

namespace zem::tmx {

// The editor's hex layout in Tiled's terms: 60 by 50 cells, a 30-pixel top
// edge, so columns stand 45 pixels apart and odd columns half a cell lower.
constexpr int CellWidth = HexLayout::TileWidth;
constexpr int CellHeight = HexLayout::TileHeight;
// Tiled's column step is (width + side) / 2.
constexpr int HexSideLength = 2 * HexLayout::ColumnStep - HexLayout::TileWidth;

inline const QString LayerTiles = QStringLiteral("tiles");
inline const QString LayerFrame = QStringLiteral("frame");
inline const QString LayerTerrain[3] = {QStringLiteral("terrain 1"), QStringLiteral("terrain 2"),
                                        QStringLiteral("terrain 3")};
inline const QString LayerRoads = QStringLiteral("roads");

// Tile properties: what a tile of each tileset stands for.
inline const QString TileNumber = QStringLiteral("tile");
inline const QString TerrainCode = QStringLiteral("code");
inline const QString RoadBits = QStringLiteral("roads");

// Map properties for the values no layer shows, one number per hex, rows
// top to bottom; a missing property means every value is 0.
inline const QString PropPL = QStringLiteral("PL");
inline const QString PropE2 = QStringLiteral("E2");
inline const QString PropE3 = QStringLiteral("E3");
// RC without the six neighbour bits of the roads layer: the east and west
// bits and the high byte.
inline const QString PropRCRest = QStringLiteral("RC other bits");
inline QString PropExtra(int i) {
    return QStringLiteral("extra %1").arg(i + 1);
}
// Lines "x y n" for the hexes whose tile number has no picture (the tiles
// layer leaves them empty).
inline const QString PropUnpictured = QStringLiteral("tile numbers without a picture");
// Lines "x y" and the 32 numbers of a map-file cell line, for the cells of
// the 80 x 80 grid outside the map that hold anything.
inline const QString PropOutside = QStringLiteral("cells outside the map");

// For each hex, a row of hexes to a line, the tile number and the terrain
// codes TT1, TT2, TT3 it had when exported: the import tells by them which
// hexes were painted over in Tiled.
inline const QString PropExported = QStringLiteral("exported tile and terrain codes");

// The six neighbour bits of RC in the order of the road tileset's tile ids.
constexpr int RoadTileBits[6] = {0x01, 0x02, 0x08, 0x10, 0x20, 0x80};
constexpr int RoadMask = 0x01 | 0x02 | 0x08 | 0x10 | 0x20 | 0x80;

} // namespace zem::tmx
