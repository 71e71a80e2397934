#pragma once
// The export's canvas drawn again, strip by strip, from the tiles chosen
// for the hexes, with the hex whose picture each pixel shows.

#include "export/PG2Export.h"
#include "pictures/PixelRows.h"

#include <QRect>
#include <array>
#include <cstdint>
#include <functional>

namespace zem {

// For every strip in turn: the canvas once the strip is drawn, and per
// canvas pixel the index y * 44 + x of the hex it shows (-1: the green).
using PG2Owner = std::int16_t;
using PG2TileOf = std::function<int(HexPos)>;
using PG2StripSink = std::function<void(int strip, const PixelRows& canvas, const PG2Owner* owner)>;
void RedrawPG2(const PG2TileOf& tileOf, const TileCatalogue& cat, const TileImages& images,
               const PG2StripSink& sink);

// The canvas once each strip is drawn, kept for a choice of tiles: drawn
// whole the first time, then again only where a hex's tile changed.
class PG2Canvas {
  public:
    PG2Canvas(const TileCatalogue& cat, const TileImages& images);
    // The hexes drawn with the tiles `tileOf` gives.
    void Draw(const PG2TileOf& tileOf);
    const PixelRows& Rows(int strip) const { return rows_[size_t(strip)]; }
    const PG2Owner* Owner(int strip) const { return owner_[size_t(strip)].data(); }
    // Counts the draws that changed a tile.
    int Version() const { return version_; }

  private:
    void DrawStrip(int strip, QRect area);
    void DrawHex(int strip, HexPos h, QRect area);

    const TileCatalogue& cat_;
    const TileImages& images_;
    int W = 0, H = 0; // the largest picture
    std::array<QImage, 3> canvas_;
    std::array<PixelRows, 3> rows_;
    std::array<std::vector<PG2Owner>, 3> owner_;
    std::vector<int> tiles_; // per hex the tile drawn; empty before the first draw
    // Per tile number its rows of opaque pixels, found at its first draw.
    struct Span {
        int y, x, length;
    };
    std::vector<std::vector<Span>> spans_;
    std::vector<char> spanned_;
    int version_ = 0;
};

// The canvas pixel that pixel (x, y) of piece b of `strip` shows.
inline int PG2CanvasOffset(int strip, int b, int x, int y) {
    return (PG2PieceTop + PG2PieceHeight * b + y) * PG2CanvasWidth + PG2Strips[strip].srcX + x;
}

} // namespace zem
