#include "render/ViewDraw.h"

#include <QPainter>

namespace zem {

const TileImages& ZoomedTiles::At(const TileImages& base, int zoom) {
    std::array<int, MaxSets + 1> counts{};
    for (size_t s = 0; s < base.size(); ++s)
        counts[s] = base[s].Count();
    if (zoom != zoom_ || counts != counts_) {
        zoom_ = zoom;
        counts_ = counts;
        // The overlays are thin lines: the nearest pixel keeps them.
        for (size_t s = 0; s < base.size(); ++s)
            lists_[s] = base[s].Scaled(zoom, s != 0);
    }
    return lists_;
}

HexRange ViewRange(const HexMap& map, const MapView& view) {
    const HexPos o = view.origin;
    HexRange r;
    r.firstCol = std::max(o.x - 1, 0);
    r.firstRow = std::max(o.y - 1, 0);
    r.lastCol = o.x + view.Columns() + 1;
    r.lastRow = o.y + view.Rows() + 1;
    if (view.zoom == 100) {
        r.lastCol = std::max(r.lastCol, o.x + 14);
        r.lastRow = std::max(r.lastRow, o.y + 14);
    }
    r.lastCol = std::min({r.lastCol, map.MapWidth - 1, MaxMapSize - 1});
    r.lastRow = std::min({r.lastRow, map.MapHeight - 1, MaxMapSize - 1});
    return r;
}

void DrawView(const HexMap& map, const TileCatalogue& cat, const TileImages& images,
              ZoomedTiles& zoomed, bool showRoads, const MapView& view, QImage& picture) {
    const HexRange range = ViewRange(map, view);
    if (view.zoom == 100) {
        DrawMap(map, cat, images, showRoads, view.width, view.height, picture, range.lastCol,
                range.lastRow);
        return;
    }
    if (picture.format() != QImage::Format_RGB32 &&
        picture.format() != QImage::Format_ARGB32_Premultiplied)
        picture = picture.convertToFormat(QImage::Format_RGB32);
    const PixelRows rows = PixelRows::Of(picture, view.width, view.height);
    rows.Fill(ToQColor(clGreen).rgb());
    const TileImages& tiles = zoomed.At(images, view.zoom);
    // Rows top to bottom, columns left to right, each tile before its frame:
    // later hexes cover earlier ones where they are opaque, as at 100 %.
    for (int r = range.firstRow; r <= range.lastRow; ++r)
        for (int c = range.firstCol; c <= range.lastCol; ++c) {
            const QPoint at = view.Corner(c, r);
            DrawTile(rows, cat, tiles, map.Cell(c, r).bmp, at.x(), at.y());
            tiles[0].Draw(rows, at.x(), at.y(), 0);
        }
    if (!showRoads) return;
    for (int r = range.firstRow; r <= range.lastRow; ++r)
        for (int c = range.firstCol; c <= range.lastCol; ++c)
            if (const int rc = map.Cell(c, r).RC & 0xFF) {
                const QPoint at = view.Corner(c, r);
                DrawRoadLines(rows, rc, at.x(), at.y(), view.zoom);
            }
}

void DrawTerrainLabels(QImage& picture, const HexMap& map, const MapView& view, int which) {
    QPainter p(&picture);
    QFont font = p.font();
    font.setPixelSize(std::max(7, view.Scaled(11)));
    font.setBold(true);
    p.setFont(font);
    const HexRange range = ViewRange(map, view);
    const int w = view.Scaled(20), h = view.Scaled(14);
    for (int y = std::max(range.firstRow, view.origin.y); y <= range.lastRow; ++y)
        for (int x = std::max(range.firstCol, view.origin.x); x <= range.lastCol; ++x) {
            const MapCell& cell = map.Cell(x, y);
            const int code = which == 1 ? cell.TT1 : cell.TT2;
            if (code == 0) continue;
            const QPoint at = view.Corner(x, y);
            const QPoint centre(at.x() + view.Scaled(HexLayout::TileWidth / 2),
                                at.y() + view.Scaled(HexLayout::TileHeight / 2));
            const QRect box(centre.x() - w / 2, centre.y() - h / 2, w, h);
            p.fillRect(box, QColor(0, 0, 0, 170));
            p.setPen(which == 1 ? QColor(255, 255, 160) : QColor(160, 220, 255));
            p.drawText(box, Qt::AlignCenter, QString::number(code));
        }
}

} // namespace zem
