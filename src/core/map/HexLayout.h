#pragma once
// Where hexes stand in every picture of the program: the map view, the
// whole-map picture, the export's strips, the tile palette and the
// strategic overview. Columns stand 45 pixels apart and rows 50, odd columns
// half a hex (25 pixels) lower; a tile picture is 60 by 50. This is the one
// place that knows these numbers.

#include "map/HexMap.h"

#include <QPoint>
#include <QRect>
#include <QSize>
#include <algorithm>

namespace zem {

struct HexLayout {
    static constexpr int TileWidth = 60;
    static constexpr int TileHeight = 50;
    static constexpr int ColumnStep = 45;
    static constexpr int RowStep = 50;
    static constexpr int OddShift = 25;

    // Top-left pixel of the hex `col` columns and `row` rows from the first
    // drawn hex; `mapCol` (the absolute column) decides the odd shift.
    static constexpr int Left(int col) { return col * ColumnStep; }
    static constexpr int Top(int row, int mapCol) {
        return row * RowStep + ((mapCol & 1) ? OddShift : 0);
    }
    static constexpr QPoint Centre(int left, int top) {
        return {left + TileWidth / 2, top + TileHeight / 2};
    }

    // The whole map as one picture: the last column's tile reaches 15
    // pixels past its step, the odd columns half a hex below the last row.
    static constexpr QSize WholeMapSize(int width, int height) {
        return {ColumnStep * width + (TileWidth - ColumnStep), RowStep * height + OddShift};
    }

    // The absolute hex under pixel (X, Y) of the map view whose first drawn
    // hex is `origin`; not tested against the map size. The half-hex shift
    // follows the map column, so a view may also start at an odd column.
    static HexPos PixelToHex(int X, int Y, HexPos origin) {
        int c = (X - PickLeft) / ColumnStep;
        if (c < 0) c = 0;
        const int r = ((c + origin.x) & 1) ? (Y - OddShift) / RowStep : Y / RowStep;
        return {c + origin.x, r + origin.y};
    }
    // Pixels that PixelToHex gives `hex` for (all of them but those before
    // the view's first column and row): a point inside needs no division.
    static QRect PickedPixels(HexPos hex, HexPos origin) {
        const int top = RowStep * (hex.y - origin.y) + ((hex.x & 1) ? OddShift : 0);
        return {PickLeft + ColumnStep * (hex.x - origin.x), top, ColumnStep, RowStep};
    }
    static constexpr int PickLeft = 8;

    // The road line from a hex's centre towards neighbour `bit`.
    struct RoadEnd {
        int bit, dx, dy;
    };
    static constexpr RoadEnd RoadEnds[6] = {{rbN, 0, -OddShift}, {rbNE, 22, -12}, {rbSW, -22, 12},
                                            {rbS, 0, OddShift},  {rbSE, 22, 12},  {rbNW, -22, -12}};

    // The tile palette: six columns of hexes, odd columns half a hex lower;
    // position p (1-based) holds image p - 1 of the set.
    static constexpr int PaletteColumns = 6;
    static constexpr QPoint PalettePlace(int p) {
        const int i = p - 1;
        const int col = i % PaletteColumns, row = i / PaletteColumns;
        return {Left(col), Top(row, col)};
    }
    // The 0-based palette position under pixel (X, Y).
    static int PaletteIndexAt(int X, int Y) {
        const int col = std::clamp((X - 6) / ColumnStep, 0, PaletteColumns - 1);
        const int row = (col & 1) ? (Y - OddShift) / RowStep : Y / RowStep;
        return col + PaletteColumns * row;
    }
    // The palette picture for a catalogue's tile size: six columns, nine
    // and a half rows.
    static constexpr QSize PaletteSize(int tileWidth, int columnStep, int tileHeight) {
        return {tileWidth + (PaletteColumns - 1) * columnStep, 9 * tileHeight + tileHeight / 2};
    }

    // The strategic overview: 8 by 8 pixels a hex, odd columns 4 lower.
    static constexpr int StratStep = 8;
    static constexpr QPoint StratPlace(int x, int y) {
        return {StratStep * x, StratStep * y + ((x & 1) ? StratStep / 2 : 0)};
    }
    static constexpr HexPos StratHexAt(int X, int Y) {
        const int c = X / StratStep;
        return {c, (c & 1) ? (Y - StratStep / 2) / StratStep : Y / StratStep};
    }
};

} // namespace zem
