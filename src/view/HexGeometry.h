#pragma once
// Where hexes stand in the main map picture: columns 45 pixels apart, rows
// 50 apart, odd columns 25 pixels lower.

#include "map/HexMap.h"

namespace zem {

constexpr int HexColumnStep = 45;
constexpr int HexRowStep = 50;
constexpr int HexOddShift = 25;
constexpr int ViewHexes = 15;

// Top-left pixel of a hex `col` columns and `row` rows from the picture's
// first drawn hex, for a hex of map column `mapCol`.
inline int HexLeft(int col) {
    return col * HexColumnStep;
}
inline int HexTop(int row, int mapCol) {
    return row * HexRowStep + ((mapCol & 1) ? HexOddShift : 0);
}

// The absolute hex under pixel (X, Y) of the map picture; not tested
// against the map size.
HexPos PixelToHex(int X, int Y, HexPos origin);

} // namespace zem
