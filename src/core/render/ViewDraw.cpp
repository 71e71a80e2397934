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

namespace {

// The hexes of `range` whose pictures reach into `clip`: their columns and
// rows, each in drawing order.
struct HexesIn {
    std::vector<int> cols, rows;
};

// What a hex's drawing may cover, from its corner: its tile and frame, and
// the road lines, whose 3-pixel dots reach past the tile's edges (the line
// south ends on the row below the tile's last).
QRect Footprint(const MapView& view, const TileImages& tiles, int x, int y) {
    int w = view.Scaled(HexLayout::TileWidth), h = view.Scaled(HexLayout::TileHeight);
    for (const ImageList& list : tiles)
        if (list.Count() > 0) w = std::max(w, list.Width()), h = std::max(h, list.Height());
    return QRect(view.Corner(x, y), QSize(w, h)).adjusted(-2, -2, 2, 2);
}

HexesIn Reaching(const HexRange& range, const MapView& view, const TileImages& tiles, QRect clip) {
    HexesIn in;
    for (int c = range.firstCol; c <= range.lastCol; ++c) {
        const QRect f = Footprint(view, tiles, c, 0);
        if (f.right() >= clip.left() && f.left() <= clip.right()) in.cols.push_back(c);
    }
    // A row's odd columns stand half a hex lower: both parities count.
    for (int r = range.firstRow; r <= range.lastRow; ++r) {
        const QRect even = Footprint(view, tiles, 0, r), odd = Footprint(view, tiles, 1, r);
        if (odd.bottom() >= clip.top() && even.top() <= clip.bottom()) in.rows.push_back(r);
    }
    return in;
}

// The codes of the hexes from the origin on, as digits or colour patches,
// drawn only inside `clip`.
void DrawCodes(QImage& picture, const HexMap& map, const MapView& view, int which, QRect clip,
               const HexesIn& hexes) {
    const bool digits = view.zoom >= TerrainDigitsZoom;
    const PixelRows rows = digits ? PixelRows{} : PixelRows::Of(picture);
    QPainter p;
    if (digits) {
        p.begin(&picture);
        p.setClipRect(clip);
        QFont font = p.font();
        font.setPixelSize(std::max(7, view.Scaled(11)));
        font.setBold(true);
        p.setFont(font);
    }
    const int w = view.Scaled(20), h = view.Scaled(14);
    for (const int y : hexes.rows)
        for (const int x : hexes.cols) {
            if (x < view.origin.x || y < view.origin.y) continue;
            const MapCell& cell = map.Cell(x, y);
            const int code = which == 1 ? cell.TT1 : cell.TT2;
            if (code == 0) continue;
            const QPoint at = view.Corner(x, y);
            if (!digits) { // the hex's middle in its code's colour, the tile's edges around it
                const QRect patch = QRect(at + QPoint(view.Scaled(10), view.Scaled(8)),
                                          at + QPoint(view.Scaled(50) - 1, view.Scaled(42) - 1)) &
                                    clip;
                const QRgb colour = TerrainColour(code);
                for (int py = patch.top(); py <= patch.bottom(); ++py)
                    std::fill_n(rows.Row(py) + patch.left(), patch.width(), colour);
                continue;
            }
            const QPoint centre(at.x() + view.Scaled(HexLayout::TileWidth / 2),
                                at.y() + view.Scaled(HexLayout::TileHeight / 2));
            const QRect box(centre.x() - w / 2, centre.y() - h / 2, w, h);
            p.fillRect(box, QColor(0, 0, 0, 170));
            p.setPen(which == 1 ? QColor(255, 255, 160) : QColor(160, 220, 255));
            p.drawText(box, Qt::AlignCenter, QString::number(code));
        }
}

} // namespace

QRgb TerrainColour(int code) {
    // Twenty colours told apart at a glance, then hues around the circle.
    static constexpr QRgb Distinct[20] = {
        0xFFFFE119, 0xFF0082C8, 0xFFF58230, 0xFF3CB44B, 0xFF911EB4, 0xFF808080, 0xFF46F0F0,
        0xFFF032E6, 0xFFE6194B, 0xFFAA6E28, 0xFFFFFAC8, 0xFF008080, 0xFFD2F53C, 0xFF800000,
        0xFFFABED4, 0xFF000080, 0xFFAAFFC3, 0xFF808000, 0xFFDCBEFF, 0xFFFFD7B4};
    if (code >= 1 && code <= 20) return Distinct[code - 1];
    return QColor::fromHsv((code * 137) % 360, 160 + (code % 3) * 40, 150 + (code % 2) * 90).rgb();
}

void DrawTerrainLabels(QImage& picture, const HexMap& map, const MapView& view, int which) {
    if (picture.format() != QImage::Format_RGB32 &&
        picture.format() != QImage::Format_ARGB32_Premultiplied)
        picture = picture.convertToFormat(QImage::Format_RGB32);
    const HexRange range = ViewRange(map, view);
    HexesIn all;
    for (int c = range.firstCol; c <= range.lastCol; ++c)
        all.cols.push_back(c);
    for (int r = range.firstRow; r <= range.lastRow; ++r)
        all.rows.push_back(r);
    DrawCodes(picture, map, view, which, picture.rect(), all);
}

QRect RedrawHexes(const HexMap& map, const TileCatalogue& cat, const TileImages& images,
                  ZoomedTiles& zoomed, ViewLayers layers, const MapView& view,
                  const std::vector<HexPos>& hexes, QImage& picture) {
    if (picture.format() != QImage::Format_RGB32 &&
        picture.format() != QImage::Format_ARGB32_Premultiplied)
        picture = picture.convertToFormat(QImage::Format_RGB32);
    const TileImages& tiles = view.zoom == 100 ? images : zoomed.At(images, view.zoom);
    QRect part;
    for (const HexPos h : hexes)
        part |= Footprint(view, tiles, h.x, h.y);
    part &= QRect(0, 0, view.width, view.height) & picture.rect();
    if (part.isEmpty()) return {};
    const HexesIn in = Reaching(ViewRange(map, view), view, tiles, part);
    // The part's own rows: every hex drawn at its place in the view, moved
    // to the part's corner and clipped to it, as the whole view clips.
    const PixelRows all = PixelRows::Of(picture);
    const PixelRows rows{all.bits + part.top() * all.stride + part.left() * 4, all.stride,
                         part.width(), part.height()};
    rows.Fill(ToQColor(clGreen).rgb());
    const QPoint shift = -part.topLeft();
    for (const int r : in.rows)
        for (const int c : in.cols) {
            const QPoint at = view.Corner(c, r) + shift;
            DrawTile(rows, cat, tiles, map.Cell(c, r).bmp, at.x(), at.y());
            tiles[0].Draw(rows, at.x(), at.y(), 0);
        }
    if (layers.roads)
        for (const int r : in.rows)
            for (const int c : in.cols)
                if (const int rc = map.Cell(c, r).RC & 0xFF) {
                    const QPoint at = view.Corner(c, r) + shift;
                    DrawRoadLines(rows, rc, at.x(), at.y(), view.zoom);
                }
    if (layers.codes != 0) DrawCodes(picture, map, view, layers.codes, part, in);
    return part;
}

} // namespace zem
