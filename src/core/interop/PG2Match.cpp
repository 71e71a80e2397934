#include "interop/PG2Matcher.h"
#include "interop/PG2Redraw.h"

#include <QElapsedTimer>
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <utility>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace zem {
namespace pg2 {

namespace {

constexpr int Block = 4;
constexpr int MaxSweeps = 12;
constexpr int MaxCalibrations = 3;

} // namespace

Matcher::Matcher(const std::vector<QImage>& pieces, const std::array<std::uint8_t, PG2Hexes>& tt3,
                 const TileCatalogue& cat, const TileImages& images, const PG2MatchControl& control)
    : cat_(cat), images_(images), tt3_(tt3), control_(control), W(images[0].Width()),
      H(images[0].Height()), cand_(cat, images), colour_(W, H, QImage::Format_RGB32),
      cover_(W, H, QImage::Format_ARGB32_Premultiplied), canvas_(cat, images),
      blocksAcross_((W + Block - 1) / Block), blocksDown_((H + Block - 1) / Block) {
    for (QImage& colour : colours_)
        colour = QImage(W, H, QImage::Format_RGB32);
    result_.hexes.resize(PG2Hexes);
    state_ = {std::vector<int>(PG2Hexes, -1), std::vector<int>(PG2Hexes, -1),
              std::vector<qint64>(PG2Hexes, Never), std::vector<char>(PG2Hexes, 0),
              std::vector<char>(PG2Hexes, 0)};
    for (const QImage& piece : pieces)
        rgb_.push_back(piece.convertToFormat(QImage::Format_RGB32));
}

// Where the pieces of `strip` show canvas row `cy`, each piece moved back by
// its shift: canvas pixel cx is line[cx + offset], for lo <= cx < hi.
Matcher::TargetRow Matcher::Target(int strip, int cy) const {
    const int b = FloorDiv(cy - PG2PieceTop, PG2PieceHeight);
    if (b < 0 || b > 3) return {};
    const QPoint move = result_.shifts[size_t(strip * 4 + b)];
    const int from = cy - PG2PieceTop - b * PG2PieceHeight + move.y();
    if (from < 0 || from >= PG2PieceHeight) return {};
    const int srcX = PG2Strips[strip].srcX;
    return {reinterpret_cast<const QRgb*>(rgb_[size_t(strip * 4 + b)].constScanLine(from)),
            move.x() - srcX, srcX + std::max(0, -move.x()),
            srcX + std::min(PG2PieceWidth, PG2PieceWidth - move.x())};
}

// The hexes of a strip whose pictures reach into the tile-sized window at
// canvas (x0, y0), in the order the export draws them.
void Matcher::HexesIn(int strip, int x0, int y0, std::vector<HexPos>& out) const {
    PG2HexesIn(strip, QRect(x0, y0, W, H), W, H, out);
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
    const int segment = ++segment_, across = blocksAcross_, first = segment * blocksDown_;
    const bool identity = curves_.identity;
    size_t n = obs.size();
    obs.resize(n + size_t(W) * size_t(H));
    Obs* out = obs.data();
    for (int by = 0; by < H; ++by) {
        const TargetRow row = Target(strip, y0 + by);
        const int lo = std::max(0, row.lo - x0), hi = std::min(W, row.hi - x0);
        if (lo >= hi) continue;
        const auto* cover = reinterpret_cast<const QRgb*>(cover_.constScanLine(by));
        const auto* colour = reinterpret_cast<const QRgb*>(colour_.constScanLine(by));
        const int rowBlock = (first + by / Block) * across;
        const QRgb* line = row.line + x0 + row.offset;
        for (int bx = lo; bx < hi; ++bx) {
#if defined(__SSE2__)
            // Past four covered pixels at a time.
            if ((bx - lo) % 4 == 0 && bx + 4 <= hi &&
                !_mm_movemask_ps(_mm_castsi128_ps(_mm_cmpeq_epi32(
                    _mm_and_si128(_mm_loadu_si128(reinterpret_cast<const __m128i*>(cover + bx)),
                                  _mm_set1_epi32(int(0xFF000000))),
                    _mm_setzero_si128())))) {
                bx += 3;
                continue;
            }
#endif
            if (qAlpha(cover[bx])) continue;
            const QRgb raw = line[bx] | 0xFF000000;
            const QRgb t = identity ? raw : curves_.Undo(raw) | 0xFF000000;
            const QRgb below = colour[bx] | 0xFF000000;
            Obs& o = out[n++];
            o.at = by * W + bx;
            o.target = t;
            o.below = below;
            o.hole = HoleCost(below, t);
            o.block = rowBlock + bx / Block;
            o.segment = segment;
        }
    }
    obs.resize(n);
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

// The pieces' rows that show hex h, asked of memory ahead of their use.
void Matcher::Fetch(HexPos h) const {
    for (int s = 0; s < 3; ++s) {
        if (h.x < PG2Strips[s].firstCol || h.x > PG2Strips[s].lastCol) continue;
        const int x0 = HexLayout::Left(h.x - PG2Strips[s].firstCol), y0 = HexLayout::Top(h.y, h.x);
        for (int by = 0; by < H; ++by)
            if (const TargetRow row = Target(s, y0 + by); row.line)
                for (int x = std::max(x0, row.lo); x < std::min(x0 + W, row.hi); x += 16)
                    __builtin_prefetch(row.line + x + row.offset);
    }
}

void Matcher::Observe(HexPos h, bool later, std::vector<Obs>& obs) {
    obs.clear();
    segment_ = -1;
    for (int s = 0; s < 3; ++s)
        if (h.x >= PG2Strips[s].firstCol && h.x <= PG2Strips[s].lastCol) Context(h, s, later, obs);
}

// Every hex whose window shares canvas pixels with one of h's.
// Returns how many of them below index `below` were not marked yet.
int Matcher::MarkAround(HexPos h, std::vector<char>& dirty, int below) {
    int added = 0;
    for (int s = 0; s < 3; ++s) {
        if (h.x < PG2Strips[s].firstCol || h.x > PG2Strips[s].lastCol) continue;
        const int x0 = HexLayout::Left(h.x - PG2Strips[s].firstCol), y0 = HexLayout::Top(h.y, h.x);
        for (int t = 0; t < 3; ++t) {
            HexesIn(t, x0, y0, hexes_);
            for (HexPos o : hexes_)
                added += !std::exchange(dirty[size_t(Index(o))], 1) && Index(o) < below;
        }
    }
    return added;
}

// A pass that will match `hexes` begins: they come out of what was
// expected of the passes to come, and when that is all of it, another
// pass as long may follow.
void Matcher::Announce(int hexes) {
    total_ += hexes;
    ahead_ = ahead_ > hexes ? ahead_ - hexes : hexes;
}

// One hex matched: tells the progress now and then; false once cancelled.
bool Matcher::Tick() {
    ++done_;
    if (done_ % 32 == 0 && control_.progress)
        control_.progress(done_, std::max(done_, total_ + ahead_));
    return !(control_.cancel && control_.cancel->load(std::memory_order_relaxed));
}

// A first guess from the last hex drawn to the first: each on what the
// hexes drawn after it leave of it in its own strips.
bool Matcher::FirstPass(std::vector<char>& exact) {
    std::vector<Obs> obs;
    Announce(PG2Hexes);
    for (int i = PG2Hexes - 1; i >= 0; --i) {
        if (i > 0) Fetch(At(i - 1));
        Choice c;
        if (const Given given = QuickExact(At(i), true, false, c); given != Given::Exactly) {
            Observe(At(i), false, obs);
            c = Evaluate(At(i), obs, true, 0, given);
            ahead_ += 2; // matched again, and judged
        }
        assign_[size_t(i)] = c.group;
        exact[size_t(i)] = c.exact;
        tied_[size_t(i)] = c.tied;
        result_.hexes[size_t(i)] = c.match;
        if (!Tick()) return false;
    }
    return true;
}

// The hexes the first guess leaves to be judged against the exact canvas:
// those not given exactly, those other candidates give exactly too, and
// those whose window shows a pixel that the guess does not draw, and the
// hexes around each. A hex given exactly by one candidate alone amid
// pixels the guess draws has no cheaper candidate: it is settled.
std::vector<char> Matcher::Unsettled(const std::vector<char>& exact) {
    std::vector<char> dirty(PG2Hexes, 0);
    for (int i = 0; i < PG2Hexes; ++i)
        if (!exact[size_t(i)] || tied_[size_t(i)]) MarkAround(At(i), dirty);
    Redraw();
    // No piece is moved back nor its colours taken back yet: kept for the
    // count at the end while the canvas stays as it is.
    first_.version = canvas_.Version();
    Differing(first_);
    for (int i = 0; i < PG2Hexes; ++i)
        if (first_.shows[size_t(i)]) MarkAround(At(i), dirty);
    return dirty;
}

// The canvas drawn for the tiles chosen.
void Matcher::Redraw() {
    canvas_.Draw([&](HexPos h) { return cand_.Tile(assign_[size_t(Index(h))]); });
}

// The pixels of the pieces as read that differ from the canvas, counted,
// and the hexes that show them marked.
void Matcher::Differing(Differ& out) const {
    out.shows.assign(PG2Hexes, 0);
    out.pieces.fill(0);
    for (int s = 0; s < 3; ++s)
        for (int b = 0; b < 4; ++b)
            for (int y = 0; y < PG2PieceHeight; ++y) {
                const int srcX = PG2Strips[s].srcX;
                const auto* piece =
                    reinterpret_cast<const QRgb*>(rgb_[size_t(s * 4 + b)].constScanLine(y));
                canvas_.Runs(
                    s, PG2PieceTop + b * PG2PieceHeight + y, srcX, srcX + PG2PieceWidth,
                    [&](int x0, int n, int hex, const QRgb* drawn) {
                        const QRgb* a = piece + (x0 - srcX);
                        qint64 apart = 0;
                        int x = 0;
#if defined(__SSE2__)
                        // Past four that are the same at a time.
                        const __m128i colour = _mm_set1_epi32(0xFFFFFF),
                                      green = _mm_set1_epi32(int(PG2Green));
                        for (; x + 4 <= n; x += 4) {
                            const __m128i c =
                                drawn ? _mm_loadu_si128(reinterpret_cast<const __m128i*>(drawn + x))
                                      : green;
                            const __m128i same = _mm_cmpeq_epi32(
                                _mm_and_si128(
                                    _mm_xor_si128(
                                        _mm_loadu_si128(reinterpret_cast<const __m128i*>(a + x)),
                                        c),
                                    colour),
                                _mm_setzero_si128());
                            constexpr int Apart[16] = {4, 3, 3, 2, 3, 2, 2, 1,
                                                       3, 2, 2, 1, 2, 1, 1, 0};
                            apart += Apart[_mm_movemask_ps(_mm_castsi128_ps(same))];
                        }
#endif
                        for (; x < n; ++x)
                            apart += ((a[x] ^ (drawn ? drawn[x] : PG2Green)) & 0xFFFFFF) != 0;
                        out.pieces[size_t(s * 4 + b)] += apart;
                        if (apart && hex >= 0) out.shows[size_t(hex)] = 1;
                    });
            }
    out.pixels = 0;
    for (const qint64 n : out.pieces)
        out.pixels += n;
}

// The pixels of the pieces as read that the tiles chosen, drawn as the
// export draws them, do not give, and the hexes that show them.
void Matcher::Verify() {
    canvas_.Draw(
        [&](HexPos h) { return cand_.Tile(cand_.Of(result_.hexes[size_t(Index(h))].tile)); });
    Differ now;
    const Differ* counted = &first_;
    if (canvas_.Version() != first_.version) {
        Differing(now);
        counted = &now;
    }
    result_.differingPixels = counted->pixels;
    for (int i = 0; i < PG2Hexes; ++i)
        if (counted->shows[size_t(i)]) result_.differingHexes.push_back(At(i));
}

// Every hex against the exact canvas the others make, again for the hexes
// around each one that changed, until none changes.
bool Matcher::Sweeps(std::vector<char> dirty) {
    std::vector<Obs> obs;
    for (int sweep = 0; sweep <= MaxSweeps; ++sweep) {
        Announce(int(std::count(dirty.begin(), dirty.end(), 1)));
        bool changed = false;
        for (int i = PG2Hexes - 1; i >= 0; --i) {
            if (!dirty[size_t(i)]) continue;
            dirty[size_t(i)] = 0;
            Choice c;
            if (const Given given = QuickExact(At(i), false, true, c); given != Given::Exactly) {
                Observe(At(i), true, obs);
                const int seen = std::max(result_.hexes[size_t(i)].seen, int(obs.size()));
                c = Evaluate(At(i), obs, false, Reach(seen), given);
            }
            result_.hexes[size_t(i)] = c.match;
            reach_[size_t(i)] = c.reach;
            tied_[size_t(i)] = c.tied;
            state_.next[size_t(i)] = c.nextGroup;
            if (c.group != assign_[size_t(i)]) {
                assign_[size_t(i)] = c.group;
                // Those still ahead in this sweep are matched in it.
                Announce(MarkAround(At(i), dirty, i));
                changed = true;
            }
            if (!Tick()) return false;
        }
        if (!changed) break;
    }
    Measure();
    return true;
}

// The pairs of levels drawn and seen at every fourth pixel (every second of
// every second row) of the clear hexes, which tells the curves well; with
// `takenBack`, the levels seen as the tone curves take them back.
void Matcher::Pairs(const std::vector<char>& clear, LevelPairs& pairs, bool takenBack) {
    Redraw();
    const bool undo = takenBack && !curves_.identity;
    for (int s = 0; s < 3; ++s)
        for (int b = 0; b < 4; ++b) {
            const QImage& piece = rgb_[size_t(s * 4 + b)];
            const QPoint move = result_.shifts[size_t(s * 4 + b)];
            const int srcX = PG2Strips[s].srcX, start = std::max(0, -move.x()),
                      stop = std::min(PG2PieceWidth, PG2PieceWidth - move.x());
            for (int y = 0; y < PG2PieceHeight; y += 2) {
                const int from = y + move.y();
                if (from < 0 || from >= PG2PieceHeight) continue;
                const auto* line = reinterpret_cast<const QRgb*>(piece.constScanLine(from));
                canvas_.Runs(s, PG2PieceTop + b * PG2PieceHeight + y, srcX, srcX + PG2PieceWidth,
                             [&](int x0, int n, int hex, const QRgb* drawn) {
                                 if (hex >= 0 && !clear[size_t(hex)]) return;
                                 const int first = x0 - srcX;
                                 int x = std::max(start, first);
                                 for (x += (x - start) & 1; x < std::min(first + n, stop); x += 2)
                                     pairs.Add(drawn ? drawn[x - first] : PG2Green,
                                               undo ? curves_.Undo(line[x + move.x()])
                                                    : line[x + move.x()]);
                             });
            }
        }
}

// Pieces moved against the export's layout: measured against what the
// tiles chosen draw, moved back, and the map matched again.
bool Matcher::Shifts() {
    bool moved = false;
    Redraw();
    // One piece of the canvas at a time; a piece that the canvas gives
    // pixel for pixel has not moved.
    const bool first = canvas_.Version() == first_.version;
    std::vector<QRgb> drawn(size_t(PG2PieceWidth) * PG2PieceHeight);
    for (int s = 0; s < 3; ++s)
        for (int b = 0; b < 4; ++b) {
            if (first && first_.pieces[size_t(s * 4 + b)] == 0) continue;
            for (int y = 0; y < PG2PieceHeight; ++y)
                canvas_.Row(s, PG2PieceTop + b * PG2PieceHeight + y, PG2Strips[s].srcX,
                            PG2Strips[s].srcX + PG2PieceWidth,
                            drawn.data() + size_t(y) * PG2PieceWidth, nullptr);
            const QPoint move = PieceShift(rgb_[size_t(s * 4 + b)], drawn.data(), PG2PieceWidth);
            result_.shifts[size_t(s * 4 + b)] = move;
            moved = moved || !move.isNull();
        }
    return !moved || Sweeps();
}

// Tone curves from the hexes whose tile is clear, the pieces' colours taken
// back by them and the map matched again, as long as that brings the
// pieces nearer. Only the hexes whose tile has no tone twin tell the
// curves: a twin may have been chosen for the change itself. Every hex is
// judged when it ends.
bool Matcher::Calibrate() {
    for (int round = 0; round < MaxCalibrations; ++round) {
        if (!Judge() || !Twins()) return false;
        // In a catalogue where most tiles have twins, the clear hexes.
        std::vector<char> clear(PG2Hexes);
        const bool anchored = Anchored();
        for (int i = 0; i < PG2Hexes; ++i)
            clear[size_t(i)] =
                !result_.hexes[size_t(i)].doubtful && (!anchored || !state_.twin[size_t(i)]);
        LevelPairs pairs;
        Pairs(clear, pairs, false);
        const ToneCurves curves = pairs.Curves();
        if (curves.identity) return true;
        const std::optional<bool> taken = TryCurves(curves);
        if (!taken) return false;
        if (!*taken) return true;
    }
    return Judge() && Twins();
}

// The map matched again with the pieces' colours taken back by `curves`,
// kept when that brings the pieces nearer by a twentieth, else the match
// before put back; nothing once cancelled.
std::optional<bool> Matcher::TryCurves(const ToneCurves& curves) {
    const qint64 before = TotalCost();
    const PG2Matching kept = result_;
    const Hexes keptState = state_;
    const ToneCurves keptCurves = curves_;
    curves_ = curves;
    ahead_ += 2 * PG2Hexes; // matched again, and judged again
    if (!Sweeps()) return std::nullopt;
    if (TotalCost() < before - before / 20) {
        result_.calibrated = true;
        return true;
    }
    result_ = kept;
    state_ = keptState;
    curves_ = keptCurves;
    return false;
}

std::optional<PG2Matching> Matcher::Run() {
    std::vector<char> exact(PG2Hexes);
    if (!FirstPass(exact)) return std::nullopt;
    for (int i = 0; i < PG2Hexes; ++i)
        if (exact[size_t(i)]) result_.hexes[size_t(i)].cost = 0;
    const std::vector<char> dirty = Unsettled(exact);
    if (std::none_of(dirty.begin(), dirty.end(), [](char d) { return d; })) {
        Verify();
        return result_;
    }
    // Expected: a sweep of those, and the hexes judged once.
    ahead_ = std::max(ahead_, int(std::count(dirty.begin(), dirty.end(), 1)) + PG2Hexes);
    Measure();
    if (!Sweeps(dirty)) return std::nullopt;
    // Every pixel given by the tiles chosen (others give some hexes exactly
    // too): nothing moved, no colour changed.
    const bool given = std::all_of(result_.hexes.begin(), result_.hexes.end(),
                                   [](const PG2HexMatch& m) { return m.differing == 0; });
    if (!given) {
        if (!Shifts()) return std::nullopt;
        FindPalette();
        if (!Retone() || !Calibrate() || !PaletteTwins()) return std::nullopt;
    }
    if (control_.progress) control_.progress(total_, total_);
    Verify();
    return result_;
}

} // namespace pg2

std::optional<PG2Matching> MatchPG2Pieces(const std::vector<QImage>& pieces,
                                          const std::array<std::uint8_t, PG2Hexes>& tt3,
                                          const TileCatalogue& cat, const TileImages& images,
                                          const PG2MatchControl& control) {
    return pg2::Matcher(pieces, tt3, cat, images, control).Run();
}

} // namespace zem
