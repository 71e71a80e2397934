#include "interop/PG2Match.h"
#include "interop/PG2Candidates.h"
#include "map/HexLayout.h"

#include <algorithm>
#include <limits>
#include <numeric>

namespace zem {

namespace {

constexpr int CanvasW = PG2CanvasWidth, CanvasH = PG2CanvasHeight;
// A pixel's colour distance is capped: a pixel a paint program changed
// beyond recognition weighs no more than any other that differs.
constexpr int Cap = 255;
// Before the hexes drawn earlier are chosen, what shows through a hex's
// holes is unknown; it costs at most this much.
constexpr int UnknownBelow = Cap / 2;
// Candidates are first compared on a few pixels where the pictures differ
// most; the nearest of them, and all that tie with the nearest, in full.
constexpr int KeyPixels = 24;
constexpr int Block = 4;
constexpr int Shortlist = 8;
constexpr int MaxSweeps = 12;
constexpr qint64 Never = std::numeric_limits<qint64>::max();

int Distance(QRgb a, QRgb b) {
    if (((a ^ b) & 0xFFFFFF) == 0) return 0;
    const int d = std::abs(qRed(a) - qRed(b)) + std::abs(qGreen(a) - qGreen(b)) +
                  std::abs(qBlue(a) - qBlue(b));
    return std::min(d, Cap);
}

bool SameColour(QRgb a, QRgb b) {
    return ((a ^ b) & 0xFFFFFF) == 0;
}

int FloorDiv(int a, int b) {
    return a >= 0 ? a / b : -((-a + b - 1) / b);
}

int Index(HexPos h) {
    return h.y * PG2Width + h.x;
}

bool Before(HexPos a, HexPos b) {
    return a.y < b.y || (a.y == b.y && a.x < b.x);
}

// A piece pixel that shows a hex, or what lies under the hex's holes.
struct Obs {
    int at;      // offset in the tile picture
    QRgb target; // the piece's pixel
    QRgb below;  // what the canvas holds there when the hex is drawn
    int hole;    // the cost of showing `below` there
    int block;   // the few neighbouring pixels of the same strip it is summed with
};

struct Choice {
    int group = -1;
    PG2HexMatch match;
};

class Matcher {
  public:
    Matcher(const std::vector<QImage>& pieces, const std::array<std::uint8_t, PG2Hexes>& tt3,
            const TileCatalogue& cat, const TileImages& images);
    std::vector<PG2HexMatch> Run();

  private:
    void HexesIn(int strip, int x0, int y0, std::vector<HexPos>& out) const;
    void Draw(const PixelRows& rows, int strip, HexPos h, int x0, int y0) const;
    void Context(HexPos h, int strip, bool later, std::vector<Obs>& obs);
    void Collect(int strip, int x0, int y0, std::vector<Obs>& obs);
    void Observe(HexPos h, bool later, std::vector<Obs>& obs);
    void MarkAround(HexPos h, std::vector<char>& dirty);
    QRgb Shown(int g, const Obs& o) const {
        const QRgb p = cand_.Pixels(g) ? cand_.Pixels(g)[o.at] : 0;
        return p ? p : o.below;
    }
    int PixelCost(const QRgb* pixels, const Obs& o, bool guess) const;
    qint64 Cost(int g, const std::vector<Obs>& obs, bool guess, qint64 stop);
    Choice Evaluate(HexPos h, const std::vector<Obs>& obs, bool guess, bool wide);

    const TileCatalogue& cat_;
    const TileImages& images_;
    const std::array<std::uint8_t, PG2Hexes>& tt3_;
    int W, H;
    std::array<std::vector<QRgb>, 3> target_; // canvas-sized; 0 outside the cut
    PG2Candidates cand_;
    std::vector<int> seenAt_; // per picture offset: an observation there, or -1
    std::vector<int> assign_;
    QImage colour_, cover_;
    int blocksAcross_, blocksDown_, segment_ = -1;
    std::vector<int> blockSum_;
    std::vector<HexPos> hexes_;
    std::vector<qint64> keyCost_;
    std::vector<int> order_, key_;
};

Matcher::Matcher(const std::vector<QImage>& pieces, const std::array<std::uint8_t, PG2Hexes>& tt3,
                 const TileCatalogue& cat, const TileImages& images)
    : cat_(cat), images_(images), tt3_(tt3), W(images[0].Width()), H(images[0].Height()),
      cand_(cat, images), assign_(PG2Hexes, -1), colour_(W, H, QImage::Format_RGB32),
      cover_(W, H, QImage::Format_ARGB32_Premultiplied), blocksAcross_((W + Block - 1) / Block),
      blocksDown_((H + Block - 1) / Block) {
    for (int s = 0; s < 3; ++s) {
        std::vector<QRgb>& t = target_[size_t(s)];
        t.assign(size_t(CanvasW) * CanvasH, 0);
        for (int b = 0; b < 4; ++b) {
            const QImage piece = pieces[size_t(s * 4 + b)].convertToFormat(QImage::Format_RGB32);
            for (int y = 0; y < PG2PieceHeight; ++y) {
                const auto* line = reinterpret_cast<const QRgb*>(piece.constScanLine(y));
                QRgb* to = t.data() + size_t(PG2PieceTop + PG2PieceHeight * b + y) * CanvasW +
                           PG2Strips[s].srcX;
                for (int x = 0; x < PG2PieceWidth; ++x)
                    to[x] = line[x] | 0xFF000000;
            }
        }
    }
}

// The hexes of a strip whose pictures reach into the tile-sized window at
// canvas (x0, y0), in the order the export draws them.
void Matcher::HexesIn(int strip, int x0, int y0, std::vector<HexPos>& out) const {
    out.clear();
    const PG2Strip& s = PG2Strips[strip];
    const int kLo = std::max(FloorDiv(x0 - W, HexLayout::ColumnStep) + 1, 0);
    const int kHi = std::min(FloorDiv(x0 + W - 1, HexLayout::ColumnStep), s.lastCol - s.firstCol);
    const int yLo = std::max(FloorDiv(y0 - H - HexLayout::OddShift, HexLayout::RowStep) + 1, 0);
    const int yHi = std::min(FloorDiv(y0 + H - 1, HexLayout::RowStep), PG2Height - 1);
    for (int y = yLo; y <= yHi; ++y)
        for (int k = kLo; k <= kHi; ++k) {
            const int c = s.firstCol + k, top = HexLayout::Top(y, c);
            if (top < y0 + H && top + H > y0) out.push_back({c, y});
        }
}

void Matcher::Draw(const PixelRows& rows, int strip, HexPos h, int x0, int y0) const {
    const int g = assign_[size_t(Index(h))];
    if (g < 0) return;
    DrawTile(rows, cat_, images_, cand_.Tile(g),
             HexLayout::Left(h.x - PG2Strips[strip].firstCol) - x0, HexLayout::Top(h.y, h.x) - y0);
}

// The pixels of the pieces of `strip` inside the window that nothing drawn
// over the hex covers.
void Matcher::Collect(int strip, int x0, int y0, std::vector<Obs>& obs) {
    ++segment_;
    const std::vector<QRgb>& target = target_[size_t(strip)];
    for (int by = 0; by < H; ++by) {
        const int cy = y0 + by;
        if (cy < 0 || cy >= CanvasH) continue;
        const auto* cover = reinterpret_cast<const QRgb*>(cover_.constScanLine(by));
        const auto* colour = reinterpret_cast<const QRgb*>(colour_.constScanLine(by));
        for (int bx = std::max(0, -x0); bx < W && x0 + bx < CanvasW; ++bx) {
            const QRgb t = target[size_t(cy) * CanvasW + size_t(x0 + bx)];
            if (t && !qAlpha(cover[bx])) {
                const QRgb below = colour[bx] | 0xFF000000;
                const int block =
                    (segment_ * blocksDown_ + by / Block) * blocksAcross_ + bx / Block;
                obs.push_back({by * W + bx, t, below, Distance(below, t), block});
            }
        }
    }
}

// The hex's window of the canvas as its strip is drawn: the earlier strips
// and the hexes drawn before it make what shows through its holes; the
// hexes drawn after it, and with `later` the later strips, cover it.
void Matcher::Context(HexPos h, int strip, bool later, std::vector<Obs>& obs) {
    const int x0 = HexLayout::Left(h.x - PG2Strips[strip].firstCol), y0 = HexLayout::Top(h.y, h.x);
    colour_.fill(PG2Green);
    cover_.fill(0);
    const PixelRows colour = PixelRows::Of(colour_), cover = PixelRows::Of(cover_);
    for (int t = 0; t <= strip; ++t) {
        HexesIn(t, x0, y0, hexes_);
        for (HexPos o : hexes_)
            if (t < strip || Before(o, h))
                Draw(colour, t, o, x0, y0);
            else if (Before(h, o))
                Draw(cover, t, o, x0, y0);
    }
    Collect(strip, x0, y0, obs);
    for (int t = strip + 1; later && t < 3; ++t) {
        HexesIn(t, x0, y0, hexes_);
        for (HexPos o : hexes_)
            Draw(cover, t, o, x0, y0);
        Collect(t, x0, y0, obs);
    }
}

void Matcher::Observe(HexPos h, bool later, std::vector<Obs>& obs) {
    obs.clear();
    segment_ = -1;
    for (int s = 0; s < 3; ++s)
        if (h.x >= PG2Strips[s].firstCol && h.x <= PG2Strips[s].lastCol) Context(h, s, later, obs);
}

// Every hex whose window shares canvas pixels with one of h's.
void Matcher::MarkAround(HexPos h, std::vector<char>& dirty) {
    for (int s = 0; s < 3; ++s) {
        if (h.x < PG2Strips[s].firstCol || h.x > PG2Strips[s].lastCol) continue;
        const int x0 = HexLayout::Left(h.x - PG2Strips[s].firstCol), y0 = HexLayout::Top(h.y, h.x);
        for (int t = 0; t < 3; ++t) {
            HexesIn(t, x0, y0, hexes_);
            for (HexPos o : hexes_)
                dirty[size_t(Index(o))] = 1;
        }
    }
}

int Matcher::PixelCost(const QRgb* pixels, const Obs& o, bool guess) const {
    if (const QRgb p = pixels ? pixels[o.at] : 0) return Distance(p, o.target);
    return guess ? std::min(o.hole, UnknownBelow) : o.hole;
}

// Pixel by pixel, and block by block: a paint program's dithering and a
// JPEG's colour blur move single pixels far but keep the colour of a few
// neighbours together, where a picture that differs shows.
qint64 Matcher::Cost(int g, const std::vector<Obs>& obs, bool guess, qint64 stop) {
    const QRgb* pixels = cand_.Pixels(g);
    blockSum_.assign(size_t(segment_ + 1) * size_t(blocksDown_ * blocksAcross_) * 3, 0);
    qint64 sum = 0;
    for (const Obs& o : obs) {
        const QRgb p = pixels ? pixels[o.at] : 0;
        if ((sum += PixelCost(pixels, o, guess)) > stop) return sum;
        if (!p && guess) continue; // what shows there is not known yet
        const QRgb shown = p ? p : o.below;
        int* b = blockSum_.data() + size_t(o.block) * 3;
        b[0] += qRed(shown) - qRed(o.target);
        b[1] += qGreen(shown) - qGreen(o.target);
        b[2] += qBlue(shown) - qBlue(o.target);
    }
    for (int b : blockSum_)
        sum += std::abs(b);
    return sum;
}

Choice Matcher::Evaluate(HexPos h, const std::vector<Obs>& obs, bool guess, bool wide) {
    const int G = cand_.Count();
    const int tt3 = tt3_[size_t(Index(h))];
    // The key: the observations at the most telling positions.
    seenAt_.assign(size_t(W * H), -1);
    for (int i = 0; i < int(obs.size()); ++i)
        seenAt_[size_t(obs[size_t(i)].at)] = i;
    key_.clear();
    for (size_t r = 0; r < cand_.KeyPositions().size() && key_.size() < size_t(KeyPixels); ++r)
        if (const int i = seenAt_[size_t(cand_.KeyPositions()[r])]; i >= 0) key_.push_back(i);
    keyCost_.assign(size_t(G), 0);
    for (int i : key_) {
        const Obs& o = obs[size_t(i)];
        const QRgb* row = cand_.KeyColours(o.at);
        const int hole = guess ? std::min(o.hole, UnknownBelow) : o.hole;
        for (int g = 0; g < G; ++g)
            keyCost_[size_t(g)] += row[g] ? Distance(row[g], o.target) : hole;
    }
    const qint64 least = *std::min_element(keyCost_.begin(), keyCost_.end());
    order_.resize(size_t(G));
    std::iota(order_.begin(), order_.end(), 0);
    auto byKey = [&](int a, int b) { return keyCost_[size_t(a)] < keyCost_[size_t(b)]; };
    const int take = std::min(Shortlist, G);
    std::nth_element(order_.begin(), order_.begin() + (take - 1), order_.end(), byKey);
    std::vector<int> candidates(order_.begin(), order_.begin() + take);
    for (int g = 0; g < G; ++g)
        if (keyCost_[size_t(g)] == least) candidates.push_back(g);
    if (const int current = assign_[size_t(Index(h))]; current >= 0) candidates.push_back(current);
    // Pictures with many holes show what lies beneath them: the key judges
    // them by a canvas that may still be wrong, so where the hex is not yet
    // exact they are all compared in full.
    if (wide) candidates.insert(candidates.end(), cand_.Sparse().begin(), cand_.Sparse().end());
    std::sort(candidates.begin(), candidates.end());
    candidates.erase(std::unique(candidates.begin(), candidates.end()), candidates.end());
    // The nearest on the key first: the best and the second are found early
    // and the others stop soon.
    std::stable_sort(candidates.begin(), candidates.end(), byKey);

    // Full costs, stopping a candidate once it lies beyond the second best.
    struct Scored {
        qint64 cost;
        int mismatch, tile, group;
        bool operator<(const Scored& o) const {
            return std::tie(cost, mismatch, tile) < std::tie(o.cost, o.mismatch, o.tile);
        }
    };
    std::vector<Scored> scored;
    qint64 best = Never, second = Never;
    for (int g : candidates) {
        const qint64 c = Cost(g, obs, guess, second);
        if (c > second) continue;
        const int tile = cand_.Preferred(g, tt3);
        scored.push_back({c, (cat_.Record(tile).TT3 & 0xFF) == tt3 ? 0 : 1, tile, g});
        if (c < best) {
            if (best != Never) second = best;
            best = c;
        } else if (c > best) {
            second = std::min(second, c);
        }
    }
    std::sort(scored.begin(), scored.end());
    const Scored& top = scored.front();
    Choice out;
    out.group = top.group;
    out.match.tile = top.tile;
    out.match.cost = top.cost;
    out.match.seen = int(obs.size());
    for (const Obs& o : obs)
        out.match.differing += !SameColour(Shown(top.group, o), o.target);
    for (size_t i = 1; i < scored.size(); ++i) {
        const Scored& s = scored[i];
        const bool same =
            s.cost == top.cost && std::all_of(obs.begin(), obs.end(), [&](const Obs& o) {
                return SameColour(Shown(s.group, o), Shown(top.group, o));
            });
        if (same) continue;
        out.match.next = s.tile;
        out.match.margin = s.cost - top.cost;
        break;
    }
    return out;
}

std::vector<PG2HexMatch> Matcher::Run() {
    std::vector<PG2HexMatch> out(PG2Hexes);
    std::vector<Obs> obs;
    // A first guess from the last hex drawn to the first: each on what the
    // hexes drawn after it leave of it in its own strips.
    for (int i = PG2Hexes - 1; i >= 0; --i) {
        const HexPos h{i % PG2Width, i / PG2Width};
        Observe(h, false, obs);
        assign_[size_t(i)] = Evaluate(h, obs, true, false).group;
    }
    // Then every hex against the exact canvas the others make, again for
    // the hexes around each one that changed, until none changes.
    std::vector<char> dirty(PG2Hexes, 1);
    for (int sweep = 0; sweep <= MaxSweeps; ++sweep) {
        bool changed = false;
        for (int i = PG2Hexes - 1; i >= 0; --i) {
            if (!dirty[size_t(i)]) continue;
            dirty[size_t(i)] = 0;
            const HexPos h{i % PG2Width, i / PG2Width};
            Observe(h, true, obs);
            const Choice c = Evaluate(h, obs, false, sweep == 0 || out[size_t(i)].differing > 0);
            out[size_t(i)] = c.match;
            if (c.group != assign_[size_t(i)]) {
                assign_[size_t(i)] = c.group;
                MarkAround(h, dirty);
                changed = true;
            }
        }
        if (!changed) break;
    }
    return out;
}

} // namespace

std::vector<PG2HexMatch> MatchPG2Pieces(const std::vector<QImage>& pieces,
                                        const std::array<std::uint8_t, PG2Hexes>& tt3,
                                        const TileCatalogue& cat, const TileImages& images) {
    return Matcher(pieces, tt3, cat, images).Run();
}

} // namespace zem
