#pragma once
// The tile palette shows a set as six columns of hexes, odd columns half a
// hex lower; position p (1-based) holds image p - 1 of the set.

#include <QPoint>

namespace zem {

constexpr int PaletteColumns = 6;

// Top-left corner of palette position p.
QPoint PalettePlace(int p);
// The 0-based palette position under pixel (X, Y).
int PaletteIndexAt(int X, int Y);

} // namespace zem
