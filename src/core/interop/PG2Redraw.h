#pragma once
// The export's canvas drawn again, strip by strip, from the tiles chosen
// for the hexes, with the hex whose picture each pixel shows.

#include "export/PG2Export.h"
#include "pictures/PixelRows.h"

#include <cstdint>
#include <functional>

namespace zem {

// For every strip in turn: the canvas once the strip is drawn, and per
// canvas pixel the index y * 44 + x of the hex it shows (-1: the green).
using PG2Owner = std::int16_t;
// `tileOf` gives the tile of a hex, column 44 included.
using PG2StripSink = std::function<void(int strip, const PixelRows& canvas, const PG2Owner* owner)>;
void RedrawPG2(const std::function<int(HexPos)>& tileOf, const TileCatalogue& cat,
               const TileImages& images, const PG2StripSink& sink);

// The canvas pixel that pixel (x, y) of piece b of `strip` shows.
inline int PG2CanvasOffset(int strip, int b, int x, int y) {
    return (PG2PieceTop + PG2PieceHeight * b + y) * PG2CanvasWidth + PG2Strips[strip].srcX + x;
}

} // namespace zem
