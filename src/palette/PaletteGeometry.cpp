#include "palette/PaletteGeometry.h"

#include <algorithm>

namespace zem {

QPoint PalettePlace(int p) {
    const int i = p - 1;
    const int col = i % PaletteColumns, row = i / PaletteColumns;
    return {col * 45, row * 50 + ((col & 1) ? 25 : 0)};
}

int PaletteIndexAt(int X, int Y) {
    const int col = std::clamp((X - 6) / 45, 0, PaletteColumns - 1);
    const int row = (col & 1) ? (Y - 25) / 50 : Y / 50;
    return col + PaletteColumns * row;
}

} // namespace zem
