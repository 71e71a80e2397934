#include "view/HexGeometry.h"

namespace zem {

HexPos PixelToHex(int X, int Y, HexPos origin) {
    int c = (X - 8) / HexColumnStep;
    if (c < 0) c = 0;
    const int r = (c & 1) ? (Y - HexOddShift) / HexRowStep : Y / HexRowStep;
    return {c + origin.x, r + origin.y};
}

} // namespace zem
