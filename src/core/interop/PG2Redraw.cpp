#include "interop/PG2Redraw.h"
#include "interop/PG2Match.h"
#include "map/HexLayout.h"

#include <algorithm>
#include <cstring>
#include <utility>

namespace zem {

namespace {

constexpr int Area = PG2CanvasWidth * PG2CanvasHeight;

int Index(HexPos h) {
    return h.y * PG2Width + h.x;
}

} // namespace

void RedrawPG2(const PG2TileOf& tileOf, const TileCatalogue& cat, const TileImages& images,
               const PG2StripSink& sink) {
    PG2Canvas canvas(cat, images);
    canvas.Draw(tileOf);
    for (int strip = 0; strip < 3; ++strip)
        sink(strip, canvas.Rows(strip), canvas.Owner(strip));
}

PG2Canvas::PG2Canvas(const TileCatalogue& cat, const TileImages& images)
    : cat_(cat), images_(images), spans_(MaxTiles), spanned_(MaxTiles, 0) {
    for (const ImageList& list : images) {
        W = std::max(W, list.Width());
        H = std::max(H, list.Height());
    }
}

void PG2Canvas::Draw(const PG2TileOf& tileOf) {
    const QRect whole(0, 0, PG2CanvasWidth, PG2CanvasHeight);
    if (!tiles_.empty()) {
        int changed = 0;
        for (int i = 0; i < PG2Hexes; ++i)
            changed += tileOf({i % PG2Width, i / PG2Width}) != tiles_[size_t(i)];
        if (changed == 0) return;
        if (changed > PG2Hexes / 4) tiles_.clear(); // sooner drawn whole
    }
    if (tiles_.empty()) {
        tiles_.resize(PG2Hexes);
        for (int i = 0; i < PG2Hexes; ++i)
            tiles_[size_t(i)] = tileOf({i % PG2Width, i / PG2Width});
        for (int s = 0; s < 3; ++s) {
            QImage& canvas = canvas_[size_t(s)];
            if (canvas.isNull())
                canvas = QImage(PG2CanvasWidth, PG2CanvasHeight, QImage::Format_RGB32);
            rows_[size_t(s)] = PixelRows::Of(canvas);
            if (s == 0) {
                canvas.fill(PG2Green); // once, as the export does
                owner_[0].assign(Area, PG2Owner(-1));
            } else {
                // Each strip draws over what the ones before it left.
                std::memcpy(canvas.bits(), canvas_[size_t(s - 1)].constBits(),
                            size_t(canvas.sizeInBytes()));
                owner_[size_t(s)] = owner_[size_t(s - 1)];
            }
            DrawStrip(s, whole);
        }
        ++version_;
        return;
    }
    // The places of the hexes whose tile changed, in the strips that draw
    // them: the canvas of that strip and of every later one changes there.
    std::array<std::vector<QRect>, 3> areas;
    for (int i = 0; i < PG2Hexes; ++i) {
        const HexPos h{i % PG2Width, i / PG2Width};
        const int tile = tileOf(h);
        if (tile == tiles_[size_t(i)]) continue;
        tiles_[size_t(i)] = tile;
        for (int s = 0; s < 3; ++s) {
            const PG2Strip& strip = PG2Strips[s];
            if (h.x < strip.firstCol || h.x > strip.lastCol) continue;
            const QRect at =
                QRect(HexLayout::Left(h.x - strip.firstCol), HexLayout::Top(h.y, h.x), W, H) &
                whole;
            for (int t = s; t < 3 && !at.isEmpty(); ++t)
                areas[size_t(t)].push_back(at);
        }
    }
    ++version_;
    for (int s = 0; s < 3; ++s)
        for (const QRect& at : areas[size_t(s)]) {
            // What the earlier strips left there, then this strip's hexes.
            const size_t row = size_t(at.width());
            for (int y = at.top(); y <= at.bottom(); ++y) {
                QRgb* to = rows_[size_t(s)].Row(y) + at.left();
                PG2Owner* by = owner_[size_t(s)].data() + size_t(y) * PG2CanvasWidth + at.left();
                if (s == 0) {
                    std::fill_n(to, row, PG2Green);
                    std::fill_n(by, row, PG2Owner(-1));
                } else {
                    std::memcpy(to, rows_[size_t(s - 1)].Row(y) + at.left(), row * sizeof(QRgb));
                    std::memcpy(
                        by, owner_[size_t(s - 1)].data() + size_t(y) * PG2CanvasWidth + at.left(),
                        row * sizeof(PG2Owner));
                }
            }
            DrawStrip(s, at);
        }
}

// The hexes of `strip` whose pictures reach into `area`, in the order the
// export draws them, drawn clipped to it.
void PG2Canvas::DrawStrip(int strip, QRect area) {
    const PG2Strip& s = PG2Strips[strip];
    const int kLo = std::max((area.left() - W) / HexLayout::ColumnStep, 0);
    const int kHi = std::min(area.right() / HexLayout::ColumnStep, s.lastCol - s.firstCol);
    const int yLo = std::max((area.top() - H - HexLayout::OddShift) / HexLayout::RowStep, 0);
    const int yHi = std::min(area.bottom() / HexLayout::RowStep, PG2Height - 1);
    for (int y = yLo; y <= yHi; ++y)
        for (int k = kLo; k <= kHi; ++k) {
            const int c = s.firstCol + k;
            if (QRect(HexLayout::Left(k), HexLayout::Top(y, c), W, H).intersects(area))
                DrawHex(strip, {c, y}, area);
        }
}

void PG2Canvas::DrawHex(int strip, HexPos h, QRect area) {
    const int tile = tiles_[size_t(Index(h))];
    const QImage* img = TilePicture(cat_, images_, tile);
    if (!img) return;
    const int left = HexLayout::Left(h.x - PG2Strips[strip].firstCol),
              top = HexLayout::Top(h.y, h.x);
    const PixelRows& rows = rows_[size_t(strip)];
    const PixelRows clip{rows.bits + area.top() * rows.stride +
                             area.left() * qsizetype(sizeof(QRgb)),
                         rows.stride, area.width(), area.height()};
    DrawTile(clip, cat_, images_, tile, left - area.left(), top - area.top());
    // The hex owns the pixels its picture covers.
    std::vector<Span> scratch;
    const bool kept = TileCatalogue::IsTileNumber(tile);
    std::vector<Span>& spans = kept ? spans_[size_t(tile)] : scratch;
    if (!kept || !std::exchange(spanned_[size_t(tile)], 1))
        for (int y = 0; y < img->height(); ++y) {
            const auto* line = reinterpret_cast<const QRgb*>(img->constScanLine(y));
            for (int x = 0; x < img->width();) {
                if (!qAlpha(line[x])) {
                    ++x;
                    continue;
                }
                const int from = x;
                while (x < img->width() && qAlpha(line[x]))
                    ++x;
                spans.push_back({y, from, x - from});
            }
        }
    const PG2Owner index = PG2Owner(Index(h));
    PG2Owner* owner = owner_[size_t(strip)].data();
    for (const Span& sp : spans) {
        const int y = top + sp.y;
        if (y < area.top() || y > area.bottom()) continue;
        const int from = std::max(left + sp.x, area.left()),
                  to = std::min(left + sp.x + sp.length, area.right() + 1);
        if (from < to) std::fill_n(owner + size_t(y) * PG2CanvasWidth + from, to - from, index);
    }
}

} // namespace zem
