// The search for one hex's tile. A hex that one candidate gives exactly is
// found through the candidates' index of colours, compared with nothing
// else. Otherwise every candidate is ranked by a lower bound of its cost and
// compared in that order, until the bound passes the best cost found plus
// the reach within which the next best counts: the choice, and the next
// best within the reach, are those of a comparison with every candidate.

#include "interop/PG2Matcher.h"

#include <algorithm>
#include <array>
#include <bit>
#include <numeric>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace zem::pg2 {

namespace {

// A pixel's colour distance is capped: a pixel a paint program changed
// beyond recognition weighs no more than any other that differs.
constexpr int Cap = 255;
// Before the hexes drawn earlier are chosen, what shows through a hex's
// holes is unknown; it costs at most this much.
constexpr int UnknownBelow = Cap / 2;
// Index positions looked up before the few candidates left are compared.
constexpr int Probes = 6;
// A tone curve of a paint program moves no level further than this; two
// pictures one curve apart differ by no more than TwinSlack a pixel else.
constexpr int MaxToneShift = 48;
constexpr int TwinSlack = 6;
// The first guess, made before what shows through the holes is known,
// compares only the candidates nearest by their bounds; the passes that
// follow compare every one.
constexpr int GuessCompared = 4, GuessRanked = 16;

inline int Distance(QRgb a, QRgb b) {
    if (((a ^ b) & 0xFFFFFF) == 0) return 0;
    const int d = std::abs(qRed(a) - qRed(b)) + std::abs(qGreen(a) - qGreen(b)) +
                  std::abs(qBlue(a) - qBlue(b));
    return std::min(d, Cap);
}

bool SameColour(QRgb a, QRgb b) {
    return ((a ^ b) & 0xFFFFFF) == 0;
}

} // namespace

struct Scored {
    qint64 cost;
    int mismatch, tile, group;
    bool operator<(const Scored& o) const {
        return std::tie(cost, mismatch, tile) < std::tie(o.cost, o.mismatch, o.tile);
    }
};

int Matcher::PixelCost(const QRgb* pixels, const Obs& o, bool guess) const {
    if (const QRgb p = pixels ? pixels[o.at] : 0) return Distance(p, o.target);
    return guess ? std::min(o.hole, UnknownBelow) : o.hole;
}

namespace {

// The pixel terms of the observations [o, end) added to `sum`, and what is
// shown there less the piece's colour added to the sums of their blocks
// (three a block); false once past `stop`, looked at every 32 pixels.
bool Terms(const QRgb* pixels, const Obs* o, const Obs* end, bool guess, int* blocks, qint64& sum,
           qint64 stop) {
    for (size_t i = 0; o != end; ++o, ++i) {
        const QRgb p = pixels ? pixels[o->at] : 0;
        if (!p && guess) { // what shows there is not known yet
            sum += std::min(o->hole, UnknownBelow);
            continue;
        }
        sum += p ? Distance(p, o->target) : o->hole;
        if ((i & 31) == 0 && sum > stop) return false;
        const QRgb shown = p ? p : o->below;
        int* b = blocks + size_t(o->block) * 3;
        b[0] += qRed(shown) - qRed(o->target);
        b[1] += qGreen(shown) - qGreen(o->target);
        b[2] += qBlue(shown) - qBlue(o->target);
    }
    return true;
}

// The capped distances of a 4x4 block of a picture `w` pixels wide, from
// its left top pixel on, to the 16 colours `target` (row by row).
int BlockDistances(const QRgb* picture, int w, const QRgb* target) {
#if defined(__SSE2__)
    const __m128i zero = _mm_setzero_si128(), ones = _mm_set1_epi16(1),
                  colour = _mm_set1_epi32(0xFFFFFF), cap = _mm_set1_epi32(Cap);
    __m128i sum = zero;
    for (int y = 0; y < 4; ++y) {
        const __m128i a = _mm_loadu_si128(reinterpret_cast<const __m128i*>(picture + y * w));
        const __m128i b = _mm_loadu_si128(reinterpret_cast<const __m128i*>(target + 4 * y));
        const __m128i apart =
            _mm_and_si128(_mm_or_si128(_mm_subs_epu8(a, b), _mm_subs_epu8(b, a)), colour);
        // Per pixel the sums of two channels each, then of the two sums.
        const __m128i lo = _mm_madd_epi16(_mm_unpacklo_epi8(apart, zero), ones);
        const __m128i hi = _mm_madd_epi16(_mm_unpackhi_epi8(apart, zero), ones);
        const __m128i even = _mm_castps_si128(
            _mm_shuffle_ps(_mm_castsi128_ps(lo), _mm_castsi128_ps(hi), _MM_SHUFFLE(2, 0, 2, 0)));
        const __m128i odd = _mm_castps_si128(
            _mm_shuffle_ps(_mm_castsi128_ps(lo), _mm_castsi128_ps(hi), _MM_SHUFFLE(3, 1, 3, 1)));
        // At most 765: the upper half of each lane is 0, so a 16-bit
        // minimum caps it.
        sum = _mm_add_epi32(sum, _mm_min_epi16(_mm_add_epi32(even, odd), cap));
    }
    sum = _mm_add_epi32(sum, _mm_shuffle_epi32(sum, _MM_SHUFFLE(1, 0, 3, 2)));
    sum = _mm_add_epi32(sum, _mm_shuffle_epi32(sum, _MM_SHUFFLE(2, 3, 0, 1)));
    return _mm_cvtsi128_si32(sum);
#else
    int sum = 0;
    for (int y = 0; y < 4; ++y)
        for (int x = 0; x < 4; ++x)
            sum += Distance(picture[y * w + x], target[4 * y + x]);
    return sum;
#endif
}

// For a whole 4x4 block, candidate sums `c` and the piece's `t` (as
// FineSums): its block term, and in `quarters` what its capped pixel
// distances add up to at least. A quarter's four pixels whose sums lie d
// apart are apart by d at least; spread over as few pixels as hold it, 765
// (three channels 255 apart) each, d makes 255 for each whole 765 and the
// rest up to 255; a third of d is never more.
int BlockBound(const std::int16_t* c, const std::int16_t* t, int& quarters) {
#if defined(__SSE2__)
    const __m128i c0 = _mm_loadu_si128(reinterpret_cast<const __m128i*>(c)),
                  c1 = _mm_loadu_si128(reinterpret_cast<const __m128i*>(c + 8)),
                  t0 = _mm_loadu_si128(reinterpret_cast<const __m128i*>(t)),
                  t1 = _mm_loadu_si128(reinterpret_cast<const __m128i*>(t + 8));
    const __m128i a0 = _mm_sub_epi16(_mm_max_epi16(c0, t0), _mm_min_epi16(c0, t0)),
                  a1 = _mm_sub_epi16(_mm_max_epi16(c1, t1), _mm_min_epi16(c1, t1));
    // Per quarter (lanes 0 to 3) d, at most 3060; `whole` minus how many
    // whole 765s it holds.
    const __m128i d =
        _mm_add_epi16(_mm_add_epi16(_mm_unpackhi_epi64(a0, a0), a1), _mm_unpackhi_epi64(a1, a1));
    const __m128i whole =
        _mm_add_epi16(_mm_add_epi16(_mm_cmpgt_epi16(d, _mm_set1_epi16(3 * Cap - 1)),
                                    _mm_cmpgt_epi16(d, _mm_set1_epi16(6 * Cap - 1))),
                      _mm_add_epi16(_mm_cmpgt_epi16(d, _mm_set1_epi16(9 * Cap - 1)),
                                    _mm_cmpgt_epi16(d, _mm_set1_epi16(12 * Cap - 1))));
    const __m128i pixels = _mm_sub_epi16(
        _mm_min_epi16(_mm_add_epi16(d, _mm_mullo_epi16(whole, _mm_set1_epi16(3 * Cap))),
                      _mm_set1_epi16(Cap)),
        _mm_mullo_epi16(whole, _mm_set1_epi16(Cap)));
    // The quarters' in lanes 0 to 3, the block's three channels in 4 to 6.
    const __m128i block = _mm_and_si128(a0, _mm_set_epi16(0, 0, 0, 0, 0, -1, -1, -1));
    const __m128i pairs = _mm_madd_epi16(_mm_unpacklo_epi64(pixels, block), _mm_set1_epi16(1));
    const __m128i sums = _mm_add_epi32(pairs, _mm_shuffle_epi32(pairs, _MM_SHUFFLE(2, 3, 0, 1)));
    quarters = _mm_cvtsi128_si32(sums);
    return quarters + _mm_cvtsi128_si32(_mm_unpackhi_epi64(sums, sums));
#else
    quarters = 0;
    for (size_t k = 0; k < 4; ++k) {
        const int d = std::abs(c[4 + k] - t[4 + k]) + std::abs(c[8 + k] - t[8 + k]) +
                      std::abs(c[12 + k] - t[12 + k]);
        quarters += d / (3 * Cap) * Cap + std::min(d % (3 * Cap), Cap);
    }
    return std::abs(c[0] - t[0]) + std::abs(c[1] - t[1]) + std::abs(c[2] - t[2]) + quarters;
#endif
}

} // namespace

// Pixel by pixel, and block by block: a paint program's dithering and a
// JPEG's colour blur move single pixels far but keep the colour of a few
// neighbours together, where a picture that differs shows. Past `stop` the
// sum so far is returned.
qint64 Matcher::Cost(int g, const std::vector<Obs>& obs, bool guess, qint64 stop) {
    blockSum_.assign(size_t(segment_ + 1) * size_t(blocksDown_ * blocksAcross_) * 3, 0);
    qint64 sum = 0;
    if (!Terms(cand_.Pixels(g), obs.data(), obs.data() + obs.size(), guess, blockSum_.data(), sum,
               stop))
        return sum;
    for (int b : blockSum_)
        sum += std::abs(b);
    return sum;
}

// The same cost of the hex that LowerBounds laid out, sooner known to pass
// `stop`: first each whole 4x4 block the candidate covers by its bound (its
// block term exactly, its pixels' by the quarters' sums), then those
// blocks pixel by pixel, each bound replaced by what it bounds, then the
// other pixels.
qint64 Matcher::Compare(int g, bool guess, qint64 stop) {
    const QRgb* pixels = cand_.Pixels(g);
    const std::int16_t* sums = cand_.FineSums(g);
    const size_t F = fullBlocks_.size();
    quarters_.resize(F);
    qint64 sum = 0;
    for (size_t i = 0; i < F; ++i) {
        const FullBlock& f = fullBlocks_[i];
        const std::int16_t* c = sums + size_t(f.block) * PG2Candidates::FineFields;
        quarters_[i] = -1;
        if (!c[3]) continue;
        sum += BlockBound(c, f.sums.data(), quarters_[i]);
        if (sum > stop) return sum;
    }
    for (size_t i = 0; i < F; ++i) {
        if (quarters_[i] < 0) continue;
        sum += BlockDistances(pixels + fullBlocks_[i].at, W, fullTargets_.data() + 16 * i) -
               quarters_[i];
        if (sum > stop) return sum;
    }
    blockSum_.assign(size_t(blocksLaidOut_) * 3, 0);
    for (size_t i = 0; i < F; ++i)
        if (quarters_[i] < 0 &&
            !Terms(pixels, blockObs_.data() + 16 * i, blockObs_.data() + 16 * (i + 1), guess,
                   blockSum_.data(), sum, stop))
            return sum;
    if (!Terms(pixels, rest_.data(), rest_.data() + rest_.size(), guess, blockSum_.data(), sum,
               stop))
        return sum;
    for (int b : blockSum_)
        sum += std::abs(b);
    return sum;
}

// Whether every seen pixel the candidate shows is the piece's (with
// `guess` its holes are not judged yet): 0 no; 1 yes, but with `guess` it
// shows under half of the pixels itself, which says little; 2 yes.
int Matcher::Exactly(int g, const std::vector<Obs>& obs, bool guess) const {
    const QRgb* pixels = cand_.Pixels(g);
    const std::uint32_t* belowSame = belowSame_.data();
    if (!pixels)
        return guess                                                                      ? 1
               : std::all_of(belowSame, belowSame + obs.size(), [](auto s) { return s; }) ? 2
                                                                                          : 0;
    size_t shown = 0;
    for (const Stretch& r : runs_) {
        const QRgb *p = pixels + r.at, *t = seenColours_.data() + r.first;
        const std::uint32_t* below = belowSame + r.first;
        int k = 0;
#if defined(__SSE2__)
        // Four at a time: a pixel the candidate shows must be the piece's; a
        // hole, once judged, must show the piece's colour below.
        const __m128i zero = _mm_setzero_si128(), colour = _mm_set1_epi32(0xFFFFFF),
                      judged = guess ? _mm_set1_epi32(-1) : zero;
        for (; k + 4 <= r.length; k += 4) {
            const __m128i a = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p + k));
            const __m128i b = _mm_loadu_si128(reinterpret_cast<const __m128i*>(t + k));
            const __m128i hole = _mm_cmpeq_epi32(a, zero);
            const __m128i same = _mm_cmpeq_epi32(_mm_and_si128(_mm_xor_si128(a, b), colour), zero);
            const __m128i shownBelow =
                _mm_or_si128(_mm_loadu_si128(reinterpret_cast<const __m128i*>(below + k)), judged);
            const __m128i ok =
                _mm_or_si128(_mm_andnot_si128(hole, same), _mm_and_si128(hole, shownBelow));
            if (_mm_movemask_epi8(ok) != 0xFFFF) return 0;
            constexpr int Holes[16] = {0, 1, 1, 2, 1, 2, 2, 3, 1, 2, 2, 3, 2, 3, 3, 4};
            shown += size_t(4 - Holes[_mm_movemask_ps(_mm_castsi128_ps(hole))]);
        }
#endif
        for (; k < r.length; ++k) {
            if (p[k] ? !SameColour(p[k], t[k]) : !guess && !below[k]) return 0;
            shown += p[k] != 0;
        }
    }
    return !guess || 2 * shown > obs.size() ? 2 : 1;
}

// Whether candidate b shows, where both cover the hex, candidate a's
// pixels through one tone curve per channel that a paint program could
// have applied (rising, and moving no level far): then a colour change of
// the whole map decides between them, not their pictures.
bool Matcher::ToneTwins(int a, int b, const std::vector<Obs>& obs) const {
    const QRgb *pa = cand_.Pixels(a), *pb = cand_.Pixels(b);
    if (!pa || !pb) return false;
    std::array<std::array<int, 256>, 3> sum{}, count{};
    int n = 0;
    for (const Obs& o : obs)
        if (pa[o.at] && pb[o.at]) {
            const int va[3] = {qRed(pa[o.at]), qGreen(pa[o.at]), qBlue(pa[o.at])},
                      vb[3] = {qRed(pb[o.at]), qGreen(pb[o.at]), qBlue(pb[o.at])};
            for (size_t ch = 0; ch < 3; ++ch) {
                sum[ch][size_t(vb[ch])] += va[ch];
                ++count[ch][size_t(vb[ch])];
            }
            ++n;
        }
    if (n == 0) return false;
    std::array<std::array<int, 256>, 3> mean{};
    for (size_t ch = 0; ch < 3; ++ch) {
        int last = -1;
        for (size_t v = 0; v < 256; ++v) {
            if (!count[ch][v]) continue;
            mean[ch][v] = (sum[ch][v] + count[ch][v] / 2) / count[ch][v];
            if (std::abs(mean[ch][v] - int(v)) > MaxToneShift || mean[ch][v] < last - 2)
                return false;
            last = std::max(last, mean[ch][v]);
        }
    }
    qint64 off = 0;
    for (const Obs& o : obs)
        if (pa[o.at] && pb[o.at])
            off += std::abs(qRed(pa[o.at]) - mean[0][size_t(qRed(pb[o.at]))]) +
                   std::abs(qGreen(pa[o.at]) - mean[1][size_t(qGreen(pb[o.at]))]) +
                   std::abs(qBlue(pa[o.at]) - mean[2][size_t(qBlue(pb[o.at]))]);
    return off <= TwinSlack * n;
}

// The candidates that give the hex exactly, found through the index by
// the colours `keyColour` gives at key positions (0: not seen there) and
// judged by `exactly` (as Exactly) over `seen` pixels; false when none
// does.
template <class KeyColour, class Exact>
bool Matcher::ExactAmong(HexPos h, bool guess, int seen, KeyColour keyColour, Exact exactly,
                         Choice& out) {
    const int G = cand_.Count(), words = cand_.Words();
    survivors_.assign(size_t(words), ~std::uint64_t(0));
    int probes = 0;
    for (int r = 0; r < PG2Candidates::IndexedPositions && probes < Probes &&
                    r < int(cand_.KeyPositions().size());
         ++r) {
        const QRgb colour = keyColour(cand_.KeyPositions()[size_t(r)]);
        if (!colour) continue;
        const std::uint64_t* bits = cand_.WithColour(r, colour);
        for (int w = 0; w < words; ++w)
            survivors_[size_t(w)] &= bits[w];
        ++probes;
    }
    const int tt3 = tt3_[size_t(h.y * PG2Width + h.x)];
    std::vector<Scored> exact;
    int others = 0;
    for (int w = 0; w < words; ++w)
        for (std::uint64_t bits = survivors_[size_t(w)]; bits; bits &= bits - 1) {
            const int g = w * 64 + std::countr_zero(bits);
            // Before the holes are judged, a candidate that draws nothing
            // says nothing of the hex.
            if (g >= G || (guess && !cand_.Pixels(g))) continue;
            const int how = exactly(g);
            others += how > 1 || (how == 1 && cand_.Pixels(g));
            if (how < 2) continue;
            const int tile = cand_.Preferred(g, tt3);
            exact.push_back({0, (cat_.Record(tile).TT3 & 0xFF) == tt3 ? 0 : 1, tile, g});
        }
    if (exact.empty()) return false;
    std::sort(exact.begin(), exact.end());
    out = {};
    out.group = exact.front().group;
    out.exact = true;
    out.tied = others > 1;
    out.match.tile = exact.front().tile;
    out.match.seen = seen; // and costs nothing
    return true;
}

bool Matcher::ExactChoice(HexPos h, const std::vector<Obs>& obs, bool guess, Choice& out) {
    // Where each picture pixel is seen; the pieces' colours in runs of
    // pixels side by side in the picture, for Exactly.
    seenAt_.assign(size_t(W * H), -1);
    seenColours_.resize(obs.size());
    belowSame_.resize(obs.size());
    runs_.clear();
    Stretch run{0, 0, 0};
    int* seenAt = seenAt_.data();
    QRgb* colours = seenColours_.data();
    std::uint32_t* belowSame = belowSame_.data();
    for (int i = 0; i < int(obs.size()); ++i) {
        const Obs& o = obs[size_t(i)];
        seenAt[o.at] = i;
        colours[i] = o.target;
        belowSame[i] = SameColour(o.below, o.target) ? ~std::uint32_t(0) : 0;
        if (run.at + run.length == o.at) {
            ++run.length;
            continue;
        }
        if (run.length) runs_.push_back(run);
        run = {i, o.at, 1};
    }
    if (run.length) runs_.push_back(run);
    return ExactAmong(
        h, guess, int(obs.size()),
        [&](int at) {
            const int i = seenAt_[size_t(at)];
            return i < 0 ? QRgb(0) : obs[size_t(i)].target;
        },
        [&](int g) { return Exactly(g, obs, guess); }, out);
}

namespace {

// Bit x set where a[x] and b[x] differ in colour, for lo <= x < hi.
std::uint64_t Unlike(const QRgb* a, const QRgb* b, int lo, int hi) {
    std::uint64_t bits = 0;
    int x = lo;
#if defined(__SSE2__)
    const __m128i colour = _mm_set1_epi32(0xFFFFFF), zero = _mm_setzero_si128();
    for (; x + 4 <= hi; x += 4) {
        const __m128i apart =
            _mm_and_si128(_mm_xor_si128(_mm_loadu_si128(reinterpret_cast<const __m128i*>(a + x)),
                                        _mm_loadu_si128(reinterpret_cast<const __m128i*>(b + x))),
                          colour);
        bits |=
            std::uint64_t(~_mm_movemask_ps(_mm_castsi128_ps(_mm_cmpeq_epi32(apart, zero))) & 0xF)
            << x;
    }
#endif
    for (; x < hi; ++x)
        bits |= std::uint64_t(!SameColour(a[x], b[x])) << x;
    return bits;
}

} // namespace

// The choice of a hex that a candidate gives exactly, as Evaluate makes it
// from what Observe lays out, read straight from the pieces where the
// hexes drawn after it leave them, without laying out its pixels; false
// when no candidate gives it; unknown when the pieces' colours are taken
// back, or the pictures are wider than a row of bits.
Matcher::Given Matcher::QuickExact(HexPos h, bool guess, bool later, Choice& out) {
    if (!curves_.identity || !cand_.Mask(0)) return Given::Unknown;
    const std::uint64_t full = W == 64 ? ~std::uint64_t(0) : (std::uint64_t(1) << W) - 1;
    // The opaque pixels of hex o of strip t added to the rows of a window.
    auto cover = [&](QuickRow* rows, int t, HexPos o, int x0, int y0) {
        const int g = assign_[size_t(Index(o))];
        if (g < 0) return;
        const std::uint64_t* mask = cand_.Mask(g);
        const int dx = HexLayout::Left(o.x - PG2Strips[t].firstCol) - x0,
                  dy = HexLayout::Top(o.y, o.x) - y0;
        for (int by = std::max(0, dy); by < std::min(H, dy + H); ++by)
            rows[by].cover |= (dx >= 0 ? mask[by - dy] << dx : mask[by - dy] >> -dx) & full;
    };
    // The windows in the order Observe reads them: per strip of the hex its
    // own, then with `later` those of the later strips at the same place,
    // each covered by more hexes.
    quick_.resize(size_t(6) * size_t(H));
    int n = 0, contexts = 0;
    for (int s = 0; s < 3; ++s) {
        if (h.x < PG2Strips[s].firstCol || h.x > PG2Strips[s].lastCol) continue;
        const int x0 = HexLayout::Left(h.x - PG2Strips[s].firstCol), y0 = HexLayout::Top(h.y, h.x);
        QImage& below = colours_[size_t(contexts++)];
        if (!guess) below.fill(PG2Green); // what shows through the holes
        const PixelRows colour = PixelRows::Of(below);
        for (int t = s; t < 3 && (t == s || later); ++t) {
            QuickRow* rows = quick_.data() + size_t(n) * size_t(H);
            for (int by = 0; by < H; ++by) // the window before's, and more
                rows[by].cover = t == s ? 0 : (rows - H)[by].cover;
            for (int u = t == s ? 0 : t; u <= t; ++u) {
                HexesIn(u, x0, y0, hexes_);
                for (HexPos o : hexes_)
                    if (u < s || (t == s && Before(o, h))) {
                        if (!guess) Draw(colour, u, o, x0, y0);
                    } else if (t > s || Before(h, o)) {
                        cover(rows, u, o, x0, y0);
                    }
            }
            for (int by = 0; by < H; ++by) {
                const TargetRow row = Target(t, y0 + by);
                const int lo = std::max(0, row.lo - x0), hi = std::min(W, row.hi - x0);
                QuickRow& q = rows[by];
                q.free = 0;
                if (!row.line || lo >= hi) continue;
                q.line = row.line + x0 + row.offset;
                q.free = (hi == 64 ? ~std::uint64_t(0) : (std::uint64_t(1) << hi) - 1) &
                         ~((std::uint64_t(1) << lo) - 1) & ~q.cover;
                if (!guess && q.free)
                    q.belowDiff = Unlike(colour.Row(by), q.line, std::countr_zero(q.free),
                                         64 - std::countl_zero(q.free));
            }
            ++n;
        }
    }
    const QuickRow* rows = quick_.data();
    const size_t count = size_t(n) * size_t(H);
    int seen = 0;
    for (size_t k = 0; k < count; ++k)
        seen += std::popcount(rows[k].free);
    // The colour the hex shows at a picture pixel: the last window's that
    // shows it, as the layout of its pixels keeps it.
    auto keyColour = [&](int at) {
        for (int k = n - 1; k >= 0; --k) {
            const QuickRow& q = rows[size_t(k) * size_t(H) + size_t(at / W)];
            if (q.free >> (at % W) & 1) return q.line[at % W] | 0xFF000000;
        }
        return QRgb(0);
    };
    // As Exactly: every pixel nothing covers is the piece's where the
    // candidate shows one, and, once the holes are judged, where it shows
    // what lies under it.
    auto exactly = [&](int g) {
        const QRgb* pixels = cand_.Pixels(g);
        const std::uint64_t* mask = pixels ? cand_.Mask(g) : nullptr;
        int shown = 0;
        for (size_t k = 0; k < count; ++k) {
            const QuickRow& q = rows[k];
            const int by = int(k % size_t(H));
            const std::uint64_t opaque = mask ? mask[by] & q.free : 0;
            if (!guess && (q.free & ~opaque & q.belowDiff)) return 0;
            if (!opaque) continue;
            if (Unlike(pixels + by * W, q.line, std::countr_zero(opaque),
                       64 - std::countl_zero(opaque)) &
                opaque)
                return 0;
            shown += std::popcount(opaque);
        }
        return !guess || 2 * shown > seen ? 2 : 1;
    };
    return ExactAmong(h, guess, seen, keyColour, exactly, out) ? Given::Exactly : Given::Not;
}

// Per candidate, a cost it cannot go under: for each 4x4 block that the
// hex shows whole in one strip and the candidate covers, the difference of
// the colour sums is that block's part of the cost's block sum, and a third
// of it no more than the block's capped pixel distances add up to. The
// same from 8x8 blocks is lower still (four 4x4 differences add up to no
// less than their sum's), and quick for every candidate: bound_ holds it;
// FineBound the 4x4 one of a candidate.
void Matcher::LowerBounds(const std::vector<Obs>& obs) {
    const int G = cand_.Count(), B = cand_.Blocks(), across = cand_.BlocksAcross();
    const int quartersAcross = 2 * across, Q = 4 * B;
    if (cells_.empty()) {
        cells_.resize(size_t(W * H));
        for (int y = 0; y < H; ++y)
            for (int x = 0; x < W; ++x) {
                const int bx = x / PG2Candidates::Block4, by = y / PG2Candidates::Block4;
                cells_[size_t(y * W + x)] =
                    bx < across && by < cand_.BlocksDown()
                        ? Cell{by * across + bx, y / 2 * quartersAcross + x / 2, y % 4 * 4 + x % 4}
                        : Cell{-1, -1, -1};
            }
    }
    targetBlocks_.assign(size_t(segment_ + 1) * size_t(B) * 4, 0);
    targetQuarters_.assign(size_t(segment_ + 1) * size_t(Q) * 3, 0);
    for (const Obs& o : obs) {
        const Cell c = cells_[size_t(o.at)];
        if (c.block < 0) continue;
        std::int32_t* t = targetBlocks_.data() + (size_t(o.segment) * B + size_t(c.block)) * 4;
        t[0] += qRed(o.target);
        t[1] += qGreen(o.target);
        t[2] += qBlue(o.target);
        ++t[3];
        std::int32_t* q = targetQuarters_.data() + (size_t(o.segment) * Q + size_t(c.quarter)) * 3;
        q[0] += qRed(o.target);
        q[1] += qGreen(o.target);
        q[2] += qBlue(o.target);
    }
    constexpr int Whole = PG2Candidates::Block4 * PG2Candidates::Block4;
    fullBlocks_.clear();
    fullIndex_.assign(size_t(segment_ + 1) * size_t(B), -1);
    for (int s = 0; s <= segment_; ++s)
        for (int b = 0; b < B; ++b) {
            const std::int32_t* t = targetBlocks_.data() + (size_t(s) * B + b) * 4;
            if (t[3] != Whole) continue;
            fullIndex_[size_t(s) * B + b] = int(fullBlocks_.size());
            FullBlock f{b,
                        (b / across) * PG2Candidates::Block4 * W +
                            (b % across) * PG2Candidates::Block4,
                        {}};
            const int q0 = (b / across) * 2 * quartersAcross + (b % across) * 2;
            const int quarters[4] = {q0, q0 + 1, q0 + quartersAcross, q0 + quartersAcross + 1};
            for (int ch = 0; ch < 3; ++ch) {
                f.sums[size_t(ch)] = std::int16_t(t[ch]);
                for (int k = 0; k < 4; ++k)
                    f.sums[size_t(4 + 4 * ch + k)] = std::int16_t(
                        targetQuarters_[(size_t(s) * Q + size_t(quarters[k])) * 3 + size_t(ch)]);
            }
            fullBlocks_.push_back(f);
        }
    // The observations laid out for Compare: those of the whole blocks 16
    // to a block, row by row, their pieces' colours beside them; the others
    // in a row. Their blocks numbered anew from 0, the whole ones first.
    const size_t F = fullBlocks_.size();
    blockObs_.resize(16 * F);
    fullTargets_.resize(16 * F);
    rest_.clear();
    restBlock_.assign(size_t(segment_ + 1) * size_t(blocksDown_ * blocksAcross_), -1);
    blocksLaidOut_ = int(F);
    for (const Obs& o : obs) {
        const Cell c = cells_[size_t(o.at)];
        const int full = c.block >= 0 ? fullIndex_[size_t(o.segment) * B + size_t(c.block)] : -1;
        if (full >= 0) {
            const size_t at = 16 * size_t(full) + size_t(c.slot);
            blockObs_[at] = o;
            blockObs_[at].block = full;
            fullTargets_[at] = o.target;
            continue;
        }
        int& laid = restBlock_[size_t(o.block)];
        if (laid < 0) laid = blocksLaidOut_++;
        rest_.push_back(o);
        rest_.back().block = laid;
    }
    const int CB = cand_.CoarseBlocks(), coarseAcross = cand_.CoarseAcross();
    const std::int32_t *red = cand_.CoarseSums(0), *green = cand_.CoarseSums(1),
                       *blue = cand_.CoarseSums(2), *opaque = cand_.CoarseSums(3);
    blockBound_.assign(size_t(G), 0);
    std::int32_t* sum = blockBound_.data();
    for (int s = 0; s <= segment_; ++s)
        for (int cb = 0; cb < CB; ++cb) {
            // The four 4x4 blocks of the 8x8 one, all whole.
            const int b0 = (cb / coarseAcross) * 2 * across + (cb % coarseAcross) * 2;
            std::int32_t tr = 0, tg = 0, tb = 0;
            bool whole = true;
            for (int b : {b0, b0 + 1, b0 + across, b0 + across + 1}) {
                const std::int32_t* t = targetBlocks_.data() + (size_t(s) * B + b) * 4;
                whole = whole && t[3] == Whole;
                tr += t[0];
                tg += t[1];
                tb += t[2];
            }
            if (!whole) continue;
            const size_t row = size_t(cb) * size_t(G);
            for (int g = 0; g < G; ++g)
                sum[g] +=
                    opaque[row + g] & (std::abs(red[row + g] - tr) + std::abs(green[row + g] - tg) +
                                       std::abs(blue[row + g] - tb));
        }
    bound_.resize(size_t(G));
    for (int g = 0; g < G; ++g)
        bound_[size_t(g)] = qint64(sum[g]) + sum[g] / 3;
}

qint64 Matcher::FineBound(int g) const {
    const std::int16_t* sums = cand_.FineSums(g);
    qint64 sum = 0;
    for (const FullBlock& f : fullBlocks_) {
        const std::int16_t* c = sums + size_t(f.block) * PG2Candidates::FineFields;
        sum += c[3] & (std::abs(c[0] - f.sums[0]) + std::abs(c[1] - f.sums[1]) +
                       std::abs(c[2] - f.sums[2]));
    }
    return sum + sum / 3;
}

// `given`: whether a candidate gives the hex exactly, when known already;
// then every candidate is compared (past one that gives it, for the next best).
Choice Matcher::Evaluate(HexPos h, const std::vector<Obs>& obs, bool guess, qint64 reach,
                         Given given) {
    const int G = cand_.Count();
    if (Choice exact; given == Given::Unknown && ExactChoice(h, obs, guess, exact)) return exact;

    LowerBounds(obs);
    order_.resize(size_t(G));
    std::iota(order_.begin(), order_.end(), 0);
    auto byBound = [&](int a, int b) {
        return std::pair(bound_[size_t(a)], a) < std::pair(bound_[size_t(b)], b);
    };
    if (guess) {
        // The few nearest by the coarse bound, ranked by the fine one.
        const int few = std::min(G, GuessRanked);
        std::partial_sort(order_.begin(), order_.begin() + few, order_.end(), byBound);
        order_.resize(size_t(few));
        for (int g : order_)
            bound_[size_t(g)] = FineBound(g);
        std::sort(order_.begin(), order_.end(), byBound);
    }
    // Otherwise sorted as far as it is read, a few dozen at a time: the
    // search seldom goes far.
    size_t sorted = guess ? order_.size() : 0;

    // In the order of the bounds; each compared up to the cut, which is the
    // next best's cost once that lies within the reach. With `guess` only
    // the best counts.
    const int tt3 = tt3_[size_t(h.y * PG2Width + h.x)];
    std::vector<Scored> scored;
    qint64 best = Never, second = Never, cut = Never;
    int compared = 0;
    for (size_t k = 0; k < order_.size(); ++k) {
        if (k == sorted) {
            const size_t more = std::min(order_.size(), std::max(2 * sorted, size_t(32)));
            std::partial_sort(order_.begin() + ptrdiff_t(sorted), order_.begin() + ptrdiff_t(more),
                              order_.end(), byBound);
            sorted = more;
        }
        const int g = order_[k];
        if (bound_[size_t(g)] > cut || (guess && compared++ == GuessCompared)) break;
        const qint64 c = Compare(g, guess, cut);
        if (c > cut) continue;
        const int tile = cand_.Preferred(g, tt3);
        scored.push_back({c, (cat_.Record(tile).TT3 & 0xFF) == tt3 ? 0 : 1, tile, g});
        if (c < best) {
            if (best != Never) second = best;
            best = c;
        } else if (c > best) {
            second = std::min(second, c);
        }
        cut = guess ? best : std::min(second, best > Never - reach ? Never : best + reach);
    }
    std::sort(scored.begin(), scored.end());
    Choice out = Finish(obs, scored.data(), scored.size());
    out.reach = guess ? 0 : cut == Never ? Never : cut - best;
    return out;
}

// The best of the candidates scored, and the first after it that shows
// other pixels.
Choice Matcher::Finish(const std::vector<Obs>& obs, const Scored* scored, size_t n) const {
    const Scored& top = scored[0];
    Choice out;
    out.group = top.group;
    out.match.tile = top.tile;
    out.match.cost = top.cost;
    out.match.seen = int(obs.size());
    const QRgb* best = cand_.Pixels(top.group);
    for (const Obs& o : obs)
        out.match.differing += !SameColour(Shown(best, o), o.target);
    for (size_t i = 1; i < n; ++i) {
        const Scored& s = scored[i];
        const QRgb* other = cand_.Pixels(s.group);
        const bool same =
            s.cost == top.cost && std::all_of(obs.begin(), obs.end(), [&](const Obs& o) {
                return SameColour(Shown(other, o), Shown(best, o));
            });
        if (same) continue;
        out.match.next = s.tile;
        out.nextGroup = s.group;
        out.match.margin = s.cost - top.cost;
        for (const Obs& o : obs)
            out.match.apart += !SameColour(Shown(other, o), Shown(best, o));
        break;
    }
    return out;
}

} // namespace zem::pg2
