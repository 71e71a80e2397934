#include "render/StratDraw.h"
#include "files/DataPath.h"
#include "map/HexLayout.h"

namespace zem {

QSize StratPictureSize(const HexMap& map) {
    constexpr int step = HexLayout::StratStep;
    return {step * map.MapWidth, step * map.MapHeight + step / 2};
}

Status LoadStratTiles(ImageList& list, int tt1Count, const QDir& dir) {
    list.SetSize(HexLayout::StratStep, HexLayout::StratStep);
    for (int t = 1; t <= tt1Count - 1; ++t) {
        Result<Bitmap> bmp =
            Bitmap::Load(DataPath(QString::asprintf("TilBmp\\str%03d.bmp", t), dir));
        if (!bmp) return bmp.Fault();
        list.Add(bmp.Value());
    }
    return {};
}

void DrawStratHexes(QImage& picture, const HexMap& map, const ImageList& list) {
    QPainter p(&picture);
    const int h = std::min(map.MapHeight, MaxMapSize), w = std::min(map.MapWidth, MaxMapSize);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            const int tt1 = map.Cell(x, y).TT1;
            if (tt1 > 0) {
                const QPoint at = HexLayout::StratPlace(x, y);
                list.Draw(p, at.x(), at.y(), tt1 - 1);
            }
        }
}

QImage RenderStratMap(const HexMap& map, const ImageList& list) {
    const QSize size = StratPictureSize(map);
    QImage img(std::max(size.width(), 1), std::max(size.height(), 1), QImage::Format_RGB32);
    img.fill(ToQColor(clGreen));
    DrawStratHexes(img, map, list);
    return img;
}

HexPos StratClickOrigin(int X, int Y, const HexMap& map) {
    const HexPos at = HexLayout::StratHexAt(X, Y);
    const int c = at.x, r = at.y;
    int x = c - 5, y = r - 5;
    // A click beyond the drawn picture would put the view past the map;
    // keep it where edge scrolling can take it.
    const QSize drawn = StratPictureSize(map);
    if (X >= drawn.width() || Y >= drawn.height()) {
        x = std::min(x, map.MapWidth - 8);
        y = std::min(y, map.MapHeight - 8);
    }
    if (x < 0) x = 0;
    if (y < 0) y = 0;
    if (x & 1) --x;
    return {x, y};
}

} // namespace zem
