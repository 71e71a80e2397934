#pragma once
// The export's canvas drawn again, strip by strip, from the tiles chosen
// for the hexes, with the hex whose picture each pixel shows.

#include "export/PG2Export.h"
#include "pictures/PixelRows.h"

#include <QRect>
#include <array>
#include <cstdint>
#include <functional>
#include <vector>

namespace zem {

namespace pg2 {
inline int FloorDiv(int a, int b) {
    return a >= 0 ? a / b : -((-a + b - 1) / b);
}
// A hex's index y * 44 + x.
inline int Index(HexPos h) {
    return h.y * PG2Width + h.x;
}
} // namespace pg2

// The hexes of `strip` whose pictures, w x h, reach into `area` of the
// canvas, in the order the export draws them.
void PG2HexesIn(int strip, QRect area, int w, int h, std::vector<HexPos>& out);

// For every strip in turn: the canvas once the strip is drawn, and per
// canvas pixel the index y * 44 + x of the hex it shows (-1: the green).
using PG2Owner = std::int16_t;
using PG2TileOf = std::function<int(HexPos)>;
using PG2StripSink = std::function<void(int strip, const PixelRows& canvas, const PG2Owner* owner)>;
void RedrawPG2(const PG2TileOf& tileOf, const TileCatalogue& cat, const TileImages& images,
               const PG2StripSink& sink);

// The canvas once each strip is drawn, kept for a choice of tiles as the
// hex each pixel shows, its colour that of the hex's picture there: drawn
// whole the first time, then again only where a hex's tile changed.
class PG2Canvas {
  public:
    PG2Canvas(const TileCatalogue& cat, const TileImages& images);
    // The hexes drawn with the tiles `tileOf` gives.
    void Draw(const PG2TileOf& tileOf);
    // Pixels x0 <= x < x1 of canvas row y once `strip` is drawn: their
    // colours, and unless null the hexes they show.
    void Row(int strip, int y, int x0, int x1, QRgb* colours, PG2Owner* owners) const;
    // The same pixels by runs that show one hex or the green:
    // visit(x, n, hex, colours) with the run's n colours, null for the green
    // (hex -1).
    template <class Visit> void Runs(int strip, int y, int x0, int x1, Visit&& visit) const {
        for (int x = x0; x < x1;) {
            const Run run = RunAt(strip, y, x, x1);
            visit(x, run.n, run.hex, run.colours);
            x += run.n;
        }
    }
    // Counts the draws that changed a tile.
    int Version() const { return version_; }

  private:
    struct Run {
        int n, hex;
        const QRgb* colours;
    };
    Run RunAt(int strip, int y, int x, int x1) const;
    void DrawStrip(int strip, QRect area);
    void DrawHex(int strip, HexPos h, QRect area);
    std::vector<HexPos> hexes_; // drawn by DrawStrip

    const TileCatalogue& cat_;
    const TileImages& images_;
    int W = 0, H = 0; // the largest picture
    // Per strip and canvas pixel: the hex shown, with the strip that drew
    // it above the index (Drawn bits); -1: the green.
    static constexpr int Drawn = 11;
    std::array<std::vector<PG2Owner>, 3> shown_;
    std::vector<int> tiles_; // per hex the tile drawn; empty before the first draw
    std::vector<const QImage*> pictures_;
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
