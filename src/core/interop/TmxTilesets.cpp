#include "interop/TmxTilesets.h"
#include "interop/TmxFormat.h"
#include "map/HexLayout.h"
#include "render/DrawMap.h"

#include <QColor>

namespace zem::tmx {

namespace {

constexpr int SheetColumns = 16;

QImage NewSheet(int tileWidth, int tileHeight, int count, int columns) {
    const int rows = std::max(1, (count + columns - 1) / columns);
    QImage img(tileWidth * columns, tileHeight * rows, QImage::Format_ARGB32);
    img.fill(Qt::transparent);
    return img;
}

void Put(QImage& sheet, const Sheet& s, int id, const QImage& tile) {
    const int x0 = (id % s.columns) * s.tileWidth, y0 = (id / s.columns) * s.tileHeight;
    const QImage src = tile.convertToFormat(QImage::Format_ARGB32);
    for (int y = 0; y < std::min(src.height(), s.tileHeight); ++y)
        for (int x = 0; x < std::min(src.width(), s.tileWidth); ++x)
            sheet.setPixel(x0 + x, y0 + y, src.pixel(x, y));
}

// Digits 0..9 in a 3 x 5 pixel font, one row per three bits, top row first.
constexpr unsigned short Glyphs[10] = {075557, 022222, 071747, 071717, 055711,
                                       074717, 074757, 071111, 075757, 075717};

void DrawNumber(QImage& img, int n, QRgb colour) {
    const QString text = QString::number(n);
    const int scale = 2, advance = 4 * scale;
    const int width = int(text.size()) * advance - scale;
    const int left = (img.width() - width) / 2, top = (img.height() - 5 * scale) / 2;
    for (int i = 0; i < text.size(); ++i) {
        const unsigned g = Glyphs[text[i].digitValue()];
        for (int row = 0; row < 5; ++row)
            for (int col = 0; col < 3; ++col) {
                if (!(g >> ((4 - row) * 3 + (2 - col)) & 1)) continue;
                for (int dy = 0; dy < scale; ++dy)
                    for (int dx = 0; dx < scale; ++dx)
                        img.setPixel(left + i * advance + col * scale + dx, top + row * scale + dy,
                                     colour);
            }
    }
}

// Inside the tile's hex, whose slanted sides reach in by the part of the
// tile width that the next column overlaps.
bool InHex(int x, int y) {
    constexpr int W = HexLayout::TileWidth, H = HexLayout::TileHeight;
    constexpr int slant = W - HexLayout::ColumnStep;
    const int dy = std::abs(2 * y - (H - 1)); // twice the distance from the middle row
    return x >= slant * dy / H && x <= W - 1 - slant * dy / H;
}

} // namespace

Sheet TileSheet(const TileCatalogue& cat, const TileImages& images) {
    Sheet s;
    s.name = QStringLiteral("tiles");
    s.tileWidth = cat.TileWidth;
    s.tileHeight = cat.TileHeight;
    s.columns = SheetColumns;
    // Tiled puts a tile's bottom-left corner on the cell's; the editor puts
    // the picture's top-left corner on the hex's.
    s.offsetY = cat.TileHeight - CellHeight;
    s.property = TileNumber;
    std::vector<const QImage*> pictures;
    for (int n = 0; n < MaxTiles; ++n) {
        const TileRecord& r = cat.Record(n);
        if (r.set < 1 || r.set > MaxSets) continue;
        if (const QImage* img = images[size_t(r.set)].Image(r.image - 1)) {
            s.values.push_back(n);
            pictures.push_back(img);
        }
    }
    s.image = NewSheet(s.tileWidth, s.tileHeight, s.Count(), s.columns);
    for (int id = 0; id < s.Count(); ++id)
        Put(s.image, s, id, *pictures[size_t(id)]);
    return s;
}

Sheet FrameSheet(const HexMap& map, const TileCatalogue& cat, const TileImages& images,
                 std::vector<int>& frameIds) {
    Sheet s;
    s.name = QStringLiteral("frame");
    s.tileWidth = cat.TileWidth;
    s.tileHeight = cat.TileHeight;
    s.offsetY = cat.TileHeight - CellHeight;
    QImage frame(s.tileWidth, s.tileHeight, QImage::Format_ARGB32);
    frame.fill(Qt::transparent);
    if (const QImage* f = images[0].Image(0)) frame = f->convertToFormat(QImage::Format_ARGB32);

    const int W = map.MapWidth, H = map.MapHeight;
    struct Hex {
        int c, r, left, top;
        const QImage* tile;
    };
    std::vector<Hex> hexes;
    for (int r = 0; r < H; ++r)
        for (int c = 0; c < W; ++c) {
            const TileRecord& rec = cat.Record(map.Cell(c, r).bmp);
            const QImage* tile = rec.set >= 0 && rec.set <= MaxSets
                                     ? images[size_t(rec.set)].Image(rec.image - 1)
                                     : nullptr;
            hexes.push_back({c, r, HexLayout::Left(c), HexLayout::Top(r, c), tile});
        }
    auto opaque = [](const QImage* img, int x, int y) {
        return img && x >= 0 && y >= 0 && x < img->width() && y < img->height() &&
               qAlpha(reinterpret_cast<const QRgb*>(img->constScanLine(y))[x]) != 0;
    };
    // The map view draws rows top to bottom, each left to right; Tiled
    // draws the even columns of a row, then its odd columns.
    auto viewLater = [](const Hex* a, const Hex* b) {
        return a->r != b->r ? a->r > b->r : a->c > b->c;
    };
    auto tiledLater = [](const Hex* a, const Hex* b) {
        const int ka = a->r * 2 + (a->c & 1), kb = b->r * 2 + (b->c & 1);
        return ka != kb ? ka > kb : a->c > b->c;
    };
    const int reachCols = (s.tileWidth + HexLayout::ColumnStep - 1) / HexLayout::ColumnStep;
    const int reachRows =
        (s.tileHeight + HexLayout::OddShift + HexLayout::RowStep - 1) / HexLayout::RowStep;
    const QSize picture = HexLayout::WholeMapSize(W, H);
    const int pictureW = picture.width(), pictureH = picture.height();

    std::vector<QImage> variants{frame};
    frameIds.assign(size_t(W * H), 0);
    for (const Hex& X : hexes) {
        // The hexes whose pictures reach into this one's, latest first.
        std::vector<const Hex*> view;
        for (int r = std::max(0, X.r - reachRows); r <= std::min(H - 1, X.r + reachRows); ++r)
            for (int c = std::max(0, X.c - reachCols); c <= std::min(W - 1, X.c + reachCols); ++c)
                if (const Hex& h = hexes[size_t(r * W + c)];
                    std::abs(h.left - X.left) < s.tileWidth &&
                    std::abs(h.top - X.top) < s.tileHeight)
                    view.push_back(&h);
        std::vector<const Hex*> tiled = view;
        std::sort(view.begin(), view.end(), viewLater);
        std::sort(tiled.begin(), tiled.end(), tiledLater);
        QImage v(frame.size(), QImage::Format_ARGB32);
        v.fill(Qt::transparent);
        for (int y = 0; y < v.height(); ++y)
            for (int x = 0; x < v.width(); ++x) {
                const int px = X.left + x, py = X.top + y;
                if (px >= pictureW || py >= pictureH) continue;
                // What the map view shows here, and whose picture it is.
                const Hex* owner = nullptr;
                bool isFrame = false;
                for (const Hex* h : view) {
                    isFrame = opaque(&frame, px - h->left, py - h->top);
                    if (isFrame || opaque(h->tile, px - h->left, py - h->top)) {
                        owner = h;
                        break;
                    }
                }
                if (owner != &X) continue;
                const QRgb shown = (isFrame ? frame : *X.tile).pixel(x, y);
                if (!isFrame) {
                    // This hex's tile shows here; Tiled's tiles layer may
                    // show another hex's tile instead.
                    const Hex* below = nullptr;
                    for (const Hex* h : tiled)
                        if (opaque(h->tile, px - h->left, py - h->top)) {
                            below = h;
                            break;
                        }
                    if (below == &X ||
                        below->tile->pixel(px - below->left, py - below->top) == shown)
                        continue;
                }
                v.setPixel(x, y, shown);
            }
        auto same = std::find(variants.begin(), variants.end(), v);
        frameIds[size_t(X.r * W + X.c)] = int(same - variants.begin());
        if (same == variants.end()) variants.push_back(std::move(v));
    }
    s.columns = std::min<int>(SheetColumns, int(variants.size()));
    s.values.assign(variants.size(), 0);
    s.image = NewSheet(s.tileWidth, s.tileHeight, s.Count(), s.columns);
    for (int id = 0; id < s.Count(); ++id)
        Put(s.image, s, id, variants[size_t(id)]);
    return s;
}

Sheet TerrainSheet() {
    Sheet s;
    s.name = QStringLiteral("terrain");
    s.columns = SheetColumns;
    s.property = TerrainCode;
    s.image = NewSheet(s.tileWidth, s.tileHeight, 256, s.columns);
    for (int code = 0; code < 256; ++code) {
        s.values.push_back(code);
        QImage tile(s.tileWidth, s.tileHeight, QImage::Format_ARGB32);
        tile.fill(Qt::transparent);
        // Neighbouring codes get clearly different colours.
        const QRgb fill = QColor::fromHsv((code * 47) % 360, 120, 240, 200).rgba();
        for (int y = 0; y < tile.height(); ++y)
            for (int x = 0; x < tile.width(); ++x)
                if (InHex(x, y)) tile.setPixel(x, y, fill);
        DrawNumber(tile, code, qRgb(0, 0, 0));
        Put(s.image, s, code, tile);
    }
    return s;
}

Sheet RoadSheet() {
    Sheet s;
    s.name = QStringLiteral("roads");
    s.columns = 8;
    // The lines reach one pixel above the hex and two below it (the 3-pixel
    // pen around the end points): the tiles are 53 pixels high, from one
    // pixel above the hex on, and sit 2 pixels lower than the cell's bottom.
    s.tileHeight = CellHeight + 3;
    s.offsetY = 2;
    s.property = RoadBits;
    s.image = NewSheet(s.tileWidth, s.tileHeight, 64, s.columns);
    for (int id = 0; id < 64; ++id) {
        int rc = 0;
        for (int b = 0; b < 6; ++b)
            if (id & (1 << b)) rc |= RoadTileBits[b];
        s.values.push_back(rc);
        QImage tile(s.tileWidth, s.tileHeight, QImage::Format_ARGB32_Premultiplied);
        tile.fill(Qt::transparent);
        DrawRoadLines(tile, rc, 0, 1);
        Put(s.image, s, id, tile);
    }
    return s;
}

} // namespace zem::tmx
