#include "render/DrawMap.h"
#include "map/HexLayout.h"

#include <QPainter>

namespace zem {

// A road line 3 pixels wide: a 3 x 3 square at every step of the line from
// the centre to the end point, written straight into the 32-bit rows
// (a wide painter pen costs more than all the tiles of the view together).
static void RoadLine(const PixelRows& img, int x0, int y0, int x1, int y1) {
    const QRgb yellow = 0xFFFFFF00;
    auto dot = [&](int cx, int cy) {
        const int left = std::max(cx - 1, 0), right = std::min(cx + 1, img.width - 1);
        for (int y = std::max(cy - 1, 0); y <= std::min(cy + 1, img.height - 1); ++y) {
            QRgb* line = img.Row(y);
            for (int x = left; x <= right; ++x)
                line[x] = yellow;
        }
    };
    const int dx = std::abs(x1 - x0), dy = -std::abs(y1 - y0);
    const int sx = x0 < x1 ? 1 : -1, sy = y0 < y1 ? 1 : -1;
    for (int err = dx + dy;;) {
        dot(x0, y0);
        if (x0 == x1 && y0 == y1) break;
        const int e2 = 2 * err;
        if (e2 >= dy) err += dy, x0 += sx;
        if (e2 <= dx) err += dx, y0 += sy;
    }
}

void DrawRoadLines(const PixelRows& img, int rc, int left, int top, int percent) {
    auto scaled = [percent](int v) {
        return v >= 0 ? (v * percent + 50) / 100 : -((-v * percent + 50) / 100);
    };
    const QPoint c(left + scaled(HexLayout::TileWidth / 2),
                   top + scaled(HexLayout::TileHeight / 2));
    for (const auto& e : HexLayout::RoadEnds)
        if (rc & e.bit) RoadLine(img, c.x(), c.y(), c.x() + scaled(e.dx), c.y() + scaled(e.dy));
}

void DrawRoadLines(QImage& img, int rc, int left, int top) {
    if (const PixelRows rows = PixelRows::Of(img); !rows.IsNull())
        DrawRoadLines(rows, rc, left, top);
}

void DrawHexes(const PixelRows& target, QPoint offset, const HexMap& map, const TileCatalogue& cat,
               const TileImages& images, HexRange range, DrawOptions opt) {
    range.firstCol = std::max(range.firstCol, 0);
    range.firstRow = std::max(range.firstRow, 0);
    range.lastCol = std::min(range.lastCol, MaxMapSize - 1);
    range.lastRow = std::min(range.lastRow, MaxMapSize - 1);
    for (int r = range.firstRow; r <= range.lastRow; ++r)
        for (int c = range.firstCol; c <= range.lastCol; ++c) {
            const int left = offset.x() + HexLayout::Left(c - range.firstCol),
                      top = offset.y() + HexLayout::Top(r - range.firstRow, c);
            DrawTile(target, cat, images, map.Cell(c, r).bmp, left, top);
            if (opt.frames) images[0].Draw(target, left, top, 0);
        }
    if (!opt.roads) return;
    for (int r = range.firstRow; r <= range.lastRow; ++r)
        for (int c = range.firstCol; c <= range.lastCol; ++c)
            if (const int rc = map.Cell(c, r).RC & 0xFF)
                DrawRoadLines(target, rc, offset.x() + HexLayout::Left(c - range.firstCol),
                              offset.y() + HexLayout::Top(r - range.firstRow, c));
}

void DrawHexes(QImage& target, const HexMap& map, const TileCatalogue& cat,
               const TileImages& images, HexRange range, DrawOptions opt) {
    if (target.format() != QImage::Format_RGB32 &&
        target.format() != QImage::Format_ARGB32_Premultiplied)
        target = target.convertToFormat(QImage::Format_RGB32);
    DrawHexes(PixelRows::Of(target), {0, 0}, map, cat, images, range, opt);
}

void DrawPlacedHex(QImage& picture, const TileImages& images, int set, int image, int viewCol,
                   int viewRow, int mapCol) {
    QPainter p(&picture);
    const int left = HexLayout::Left(viewCol), top = HexLayout::Top(viewRow, mapCol);
    if (set >= 0 && set <= MaxSets) images[size_t(set)].Draw(p, left, top, image - 1);
    images[0].Draw(p, left, top, 0);
}

void DrawMap(const HexMap& map, const TileCatalogue& cat, const TileImages& images, bool showRoads,
             int imageW, int imageH, QImage& picture, int lastCol, int lastRow) {
    if (picture.format() != QImage::Format_RGB32 &&
        picture.format() != QImage::Format_ARGB32_Premultiplied)
        picture = picture.convertToFormat(QImage::Format_RGB32);
    // Straight into the picture: the hexes before the origin are drawn
    // shifted up and left by the margins, and the picture clips them.
    const PixelRows rows = PixelRows::Of(picture, imageW, imageH);
    rows.Fill(ToQColor(clGreen).rgb());
    const HexPos o = map.ViewOrigin;
    HexRange range;
    range.lastRow = std::min(lastRow < 0 ? o.y + 14 : lastRow, map.MapHeight - 1);
    range.lastCol = std::min(lastCol < 0 ? o.x + 14 : lastCol, map.MapWidth - 1);
    const int marginY = o.y >= 1 ? HexLayout::RowStep : 0;
    const int marginX = o.x >= 1 ? HexLayout::ColumnStep : 0;
    range.firstRow = o.y >= 1 ? o.y - 1 : 0;
    range.firstCol = o.x >= 1 ? o.x - 1 : 0;
    DrawHexes(rows, {-marginX, -marginY}, map, cat, images, range, {true, showRoads});
}

QImage RenderWholeMap(const HexMap& map, const TileCatalogue& cat, const TileImages& images,
                      bool roads) {
    const int w = std::clamp(map.MapWidth, 0, MaxMapSize),
              h = std::clamp(map.MapHeight, 0, MaxMapSize);
    QImage img(HexLayout::WholeMapSize(w, h), QImage::Format_RGB32);
    img.fill(ToQColor(clGreen));
    DrawHexes(img, map, cat, images, {0, w - 1, 0, h - 1}, {true, roads});
    return img;
}

} // namespace zem
