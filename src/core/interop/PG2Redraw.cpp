#include "interop/PG2Redraw.h"
#include "interop/PG2Match.h"
#include "map/HexLayout.h"

#include <algorithm>
#include <bit>
#include <utility>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace zem {

using pg2::FloorDiv;
using pg2::Index;

namespace {

constexpr int Area = PG2CanvasWidth * PG2CanvasHeight;

} // namespace

void PG2HexesIn(int strip, QRect area, int w, int h, std::vector<HexPos>& out) {
    out.clear();
    const PG2Strip& s = PG2Strips[strip];
    const int kLo = std::max(FloorDiv(area.left() - w, HexLayout::ColumnStep) + 1, 0);
    const int kHi = std::min(FloorDiv(area.right(), HexLayout::ColumnStep), s.lastCol - s.firstCol);
    const int yLo =
        std::max(FloorDiv(area.top() - h - HexLayout::OddShift, HexLayout::RowStep) + 1, 0);
    const int yHi = std::min(FloorDiv(area.bottom(), HexLayout::RowStep), PG2Height - 1);
    for (int y = yLo; y <= yHi; ++y)
        for (int k = kLo; k <= kHi; ++k) {
            const int c = s.firstCol + k, top = HexLayout::Top(y, c);
            if (top <= area.bottom() && top + h > area.top()) out.push_back({c, y});
        }
}

void RedrawPG2(const PG2TileOf& tileOf, const TileCatalogue& cat, const TileImages& images,
               const PG2StripSink& sink) {
    PG2Canvas canvas(cat, images);
    canvas.Draw(tileOf);
    QImage image(PG2CanvasWidth, PG2CanvasHeight, QImage::Format_RGB32);
    const PixelRows rows = PixelRows::Of(image);
    std::vector<PG2Owner> owner(Area);
    for (int strip = 0; strip < 3; ++strip) {
        for (int y = 0; y < PG2CanvasHeight; ++y)
            canvas.Row(strip, y, 0, PG2CanvasWidth, rows.Row(y),
                       owner.data() + size_t(y) * PG2CanvasWidth);
        sink(strip, rows, owner.data());
    }
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
        pictures_.resize(PG2Hexes);
        for (int i = 0; i < PG2Hexes; ++i) {
            tiles_[size_t(i)] = tileOf({i % PG2Width, i / PG2Width});
            pictures_[size_t(i)] = TilePicture(cat_, images_, tiles_[size_t(i)]);
        }
        for (int s = 0; s < 3; ++s) {
            // Green once, as the export fills it; each strip draws over what
            // the ones before it left.
            if (s == 0)
                shown_[0].assign(Area, PG2Owner(-1));
            else
                shown_[size_t(s)] = shown_[size_t(s - 1)];
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
        pictures_[size_t(i)] = TilePicture(cat_, images_, tile);
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
            for (int y = at.top(); y <= at.bottom(); ++y) {
                const size_t from = size_t(y) * PG2CanvasWidth + size_t(at.left());
                PG2Owner* to = shown_[size_t(s)].data() + from;
                if (s == 0)
                    std::fill_n(to, at.width(), PG2Owner(-1));
                else
                    std::copy_n(shown_[size_t(s - 1)].data() + from, at.width(), to);
            }
            DrawStrip(s, at);
        }
}

// The hexes of `strip` whose pictures reach into `area`, in the order the
// export draws them, drawn clipped to it.
void PG2Canvas::DrawStrip(int strip, QRect area) {
    PG2HexesIn(strip, area, W, H, hexes_);
    for (const HexPos h : hexes_)
        DrawHex(strip, h, area);
}

void PG2Canvas::DrawHex(int strip, HexPos h, QRect area) {
    const int tile = tiles_[size_t(Index(h))];
    const QImage* img = pictures_[size_t(Index(h))];
    if (!img) return;
    const int left = HexLayout::Left(h.x - PG2Strips[strip].firstCol),
              top = HexLayout::Top(h.y, h.x);
    // The pixels its picture covers, as the export draws it: its opaque
    // pixels, each drawn over what lies below.
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
    static_assert(PG2Hexes <= 1 << Drawn && 2 << Drawn < 1 << 15, "a hex and its strip fit");
    const PG2Owner shown = PG2Owner(strip << Drawn | Index(h));
    PG2Owner* to = shown_[size_t(strip)].data();
    for (const Span& sp : spans) {
        const int y = top + sp.y;
        if (y < area.top() || y > area.bottom()) continue;
        const int from = std::max(left + sp.x, area.left()),
                  end = std::min(left + sp.x + sp.length, area.right() + 1);
        if (from < end) std::fill_n(to + size_t(y) * PG2CanvasWidth + from, end - from, shown);
    }
}

void PG2Canvas::Row(int strip, int y, int x0, int x1, QRgb* colours, PG2Owner* owners) const {
    Runs(strip, y, x0, x1, [&](int x, int n, int hex, const QRgb* from) {
        if (owners) std::fill_n(owners + (x - x0), n, PG2Owner(hex));
        if (from)
            std::copy_n(from, n, colours + (x - x0));
        else
            std::fill_n(colours + (x - x0), n, PG2Green);
    });
}

// The run from pixel x of canvas row y on, up to x1.
PG2Canvas::Run PG2Canvas::RunAt(int strip, int y, int x, int x1) const {
    const PG2Owner* row = shown_[size_t(strip)].data() + size_t(y) * PG2CanvasWidth;
    const PG2Owner k = row[x];
    int end = x + 1;
#if defined(__SSE2__)
    // Eight at a time along the run.
    for (const __m128i same = _mm_set1_epi16(k); end + 8 <= x1; end += 8) {
        const int m = _mm_movemask_epi8(
            _mm_cmpeq_epi16(_mm_loadu_si128(reinterpret_cast<const __m128i*>(row + end)), same));
        if (m != 0xFFFF) {
            end += std::countr_one(unsigned(m)) / 2;
            break;
        }
    }
#endif
    while (end < x1 && row[end] == k)
        ++end;
    if (k < 0) return {end - x, -1, nullptr};
    // The hex's picture where the strip that drew it put it.
    const int hex = k & ((1 << Drawn) - 1), c = hex % PG2Width;
    const auto* line = reinterpret_cast<const QRgb*>(
        pictures_[size_t(hex)]->constScanLine(y - HexLayout::Top(hex / PG2Width, c)));
    return {end - x, hex, line + x - HexLayout::Left(c - PG2Strips[k >> Drawn].firstCol)};
}

} // namespace zem
