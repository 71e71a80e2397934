#pragma once
// Composing the map picture: tiles, hex frames and the road overlay.

#include "map/HexMap.h"
#include "map/TileCatalogue.h"
#include "pictures/Bitmap.h"
#include "render/TileImages.h"

namespace zem {

struct HexRange {
    int firstCol, lastCol, firstRow, lastRow;
};

struct DrawOptions {
    bool frames = true; // the hex frame over every tile
    bool roads = false; // the road lines of RC
};

// Draws the hexes of `range` with column firstCol at x = 0 and row firstRow
// at y = 0: rows top to bottom, columns left to right, each hex's tile
// before its frame; then, with roads, the road lines in the same order.
void DrawHexes(QImage& target, const HexMap& map, const TileCatalogue& cat,
               const TileImages& images, HexRange range, DrawOptions opt);
// The same into rows, with the first hex's corner at `offset` (which may lie
// outside them: every picture is clipped to the rows).
void DrawHexes(const PixelRows& target, QPoint offset, const HexMap& map, const TileCatalogue& cat,
               const TileImages& images, HexRange range, DrawOptions opt);

// Draws the road lines of one hex whose top-left corner is (left, top), at
// `percent` of their size (the lines stay 3 pixels wide).
void DrawRoadLines(QImage& target, int rc, int left, int top);
void DrawRoadLines(const PixelRows& target, int rc, int left, int top, int percent = 100);

// Draws image `image` (1-based) of set `set` and the hex frame at the hex
// `viewCol` columns and `viewRow` rows from the view's first hex, map column
// `mapCol`: what a placement shows before the next full redraw.
void DrawPlacedHex(QImage& picture, const TileImages& images, int set, int image, int viewCol,
                   int viewRow, int mapCol);

// Composes the view from the map's origin into the top-left imageW x imageH
// part of `picture` (the rest stays): the origin hex at the corner, with the
// parts of its left and upper neighbours that reach into the view, up to
// `lastCol` and `lastRow` (-1: the 15 columns and rows from the origin).
void DrawMap(const HexMap& map, const TileCatalogue& cat, const TileImages& images, bool showRoads,
             int imageW, int imageH, QImage& picture, int lastCol = -1, int lastRow = -1);

// The whole map as one picture (HexLayout::WholeMapSize) on green.
QImage RenderWholeMap(const HexMap& map, const TileCatalogue& cat, const TileImages& images,
                      bool roads);

} // namespace zem
