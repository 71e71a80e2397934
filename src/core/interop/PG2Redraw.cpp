#include "interop/PG2Redraw.h"
#include "map/HexLayout.h"

#include <algorithm>

namespace zem {

void RedrawPG2(const std::function<int(HexPos)>& tileOf, const TileCatalogue& cat,
               const TileImages& images, const PG2StripSink& sink) {
    QImage canvas(PG2CanvasWidth, PG2CanvasHeight, QImage::Format_RGB32);
    canvas.fill(PG2Green); // once, as the export does
    const PixelRows rows = PixelRows::Of(canvas);
    std::vector<PG2Owner> owner(size_t(PG2CanvasWidth) * PG2CanvasHeight, -1);
    for (int strip = 0; strip < 3; ++strip) {
        const PG2Strip& s = PG2Strips[strip];
        for (int y = 0; y < PG2Height; ++y)
            for (int c = s.firstCol; c <= s.lastCol; ++c) {
                const int tile = tileOf({c, y});
                const QImage* img = TilePicture(cat, images, tile);
                const int left = HexLayout::Left(c - s.firstCol), top = HexLayout::Top(y, c);
                DrawTile(rows, cat, images, tile, left, top);
                if (!img) continue;
                const int w = std::min(img->width(), PG2CanvasWidth - left),
                          h = std::min(img->height(), PG2CanvasHeight - top);
                for (int py = 0; py < h; ++py) {
                    const auto* line = reinterpret_cast<const QRgb*>(img->constScanLine(py));
                    PG2Owner* to = owner.data() + size_t(top + py) * PG2CanvasWidth + left;
                    for (int px = 0; px < w; ++px)
                        if (qAlpha(line[px])) to[px] = PG2Owner(y * PG2Width + c);
                }
            }
        sink(strip, rows, owner.data());
    }
}

} // namespace zem
