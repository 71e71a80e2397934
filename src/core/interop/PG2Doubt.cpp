// The unsure rule: a hex's choice is doubtful where the map's own noise,
// or a change of its tones, could have made another tile look nearer.

#include "interop/PG2Matcher.h"

#include <algorithm>
#include <cmath>

namespace zem::pg2 {

namespace {

// The unsure rule. A hex is unsure when the next best tile lies within what
// the map's own noise could make of a difference: over the n pixels where
// the two differ, a sum of n noises of the map's size, a few pixels
// together (a JPEG's 8x8 blocks, a dither's patterns) going the same way,
// strays about sqrt(n * NoiseArea) noises; NoiseMargin times that, and
// never less than UnsureMargin (a JPEG at quality 90 that blurred away a few
// dozen pixels of a picture's detail stays below it). Or when the chosen
// tile lies further from the pieces than the clear hexes do by far, or than
// a paint program's colours stray: then no tile of the catalogue looks like
// the hex. After pieces were moved back, a hex that other tiles give
// exactly too may differ from them where the move lost pixels.
constexpr qint64 UnsureMargin = 2000;
constexpr double NoiseMargin = 2.0;
constexpr double NoiseArea = 16;
constexpr double NoiseStray = 3.0;
// A tone twin is doubtful within ToneCost (pixel and block distance) per
// level of tone change and pixel where it differs; the change is measured,
// plus MinToneRange levels that no measure rules out.
constexpr double ToneCost = 6;
constexpr double MinToneRange = 2;
constexpr double MinToneMove = 1;
constexpr int MeanStray = 96;
// Hexes seen on fewer pixels (at the pieces' edges) say little of the noise.
constexpr int NoiseSeen = 300;
// Where the next best is looked for beyond what the rule needs, so that a
// noise measured again after a pass rarely asks for a second look.
constexpr qint64 ReachSlack = 1;

} // namespace

// The noise: the colour distance per seen pixel below which three in four
// of the hexes not given exactly lie.
void Matcher::Measure() {
    std::vector<double> perPixel;
    for (const PG2HexMatch& m : result_.hexes)
        if (m.differing > 0 && m.seen >= NoiseSeen) perPixel.push_back(double(m.cost) / m.seen);
    if (perPixel.empty()) {
        result_.noise = 0;
        return;
    }
    const auto q = perPixel.begin() + ptrdiff_t(perPixel.size() * 3 / 4);
    std::nth_element(perPixel.begin(), q, perPixel.end());
    result_.noise = *q;
}

// Whether enough hexes have tiles without tone twins to tell how the
// pieces' tones moved: a tenth of the map.
bool Matcher::Anchored() const {
    int free = 0;
    for (int i = 0; i < PG2Hexes; ++i)
        free += !state_.twin[size_t(i)] && !result_.hexes[size_t(i)].doubtful;
    return free * 10 >= PG2Hexes;
}

// How far beyond the best a sweep looks for the next best of a hex seen on
// `seen` pixels.
qint64 Matcher::Reach(int seen) const {
    return ReachSlack * Doubt(seen, seen);
}

// How near the next best may lie for a hex to be unsure, when the two show
// other colours at `apart` of its `seen` pixels.
qint64 Matcher::Doubt(int seen, int apart, double local) const {
    (void)seen;
    // An undithered palette's error is no noise that evens out: each pixel
    // may keep it.
    const double stray = palette_ && !dithered_ ? apart : std::sqrt(NoiseArea * apart);
    return std::max(UnsureMargin, qint64(NoiseMargin * stray * std::max(result_.noise, local)));
}

// The unsure hexes, each with the next best tile when another one lies
// within reach; false once cancelled.
bool Matcher::Judge() {
    std::vector<Obs> obs;
    if (!curves_.identity) MergedLevels();
    Announce(PG2Hexes);
    for (int i = 0; i < PG2Hexes; ++i) {
        if (i > 0 && !Tick()) return false;
        PG2HexMatch& m = result_.hexes[size_t(i)];
        if (m.differing == 0) {
            m.doubtful = tied_[size_t(i)] && InMovedPiece(At(i));
            if (curves_.identity) continue;
            // Given exactly only in the colours the curves take back: a tile
            // whose levels the change merged with the chosen one's looks the
            // same.
            Observe(At(i), true, obs);
            m.doubtful = m.doubtful || Merged(i, obs) || state_.twin[size_t(i)] == 2;
            continue;
        }
        const double stray = std::max(double(MeanStray), NoiseStray * result_.noise);
        const bool far = double(m.cost) > stray * m.seen;
        // The next best lies beyond where the search looked for it, and that
        // may be nearer than the rule asks: look again, further.
        const qint64 doubt = Doubt(m.seen, m.seen);
        if (m.next < 0 && reach_[size_t(i)] < (far ? Never : doubt)) {
            Observe(At(i), true, obs);
            const Choice c = Evaluate(At(i), obs, false, far ? Never : doubt);
            m = c.match;
            reach_[size_t(i)] = c.reach;
            state_.next[size_t(i)] = c.nextGroup;
        }
        m.doubtful = far || (m.next >= 0 && m.margin < Doubt(m.seen, m.apart)) ||
                     state_.twin[size_t(i)] == 2;
        // The noise is most where tiles show detail, and that is where two
        // tiles differ: measured there too.
        if (!m.doubtful && m.next >= 0) {
            Observe(At(i), true, obs);
            m.doubtful = m.margin < Doubt(m.seen, m.apart, NoiseApart(i, obs));
        }
    }
    return Tick();
}

// Per channel and level the curves take pieces' levels back to, how many
// levels below and above it a level drawn may have lain and been seen as
// the same: the levels between it and the next ones taken back to, and
// one more for a paint program's rounding.
void Matcher::MergedLevels() {
    for (int c = 0; c < 3; ++c) {
        std::array<bool, 256> back{};
        for (std::uint8_t d : curves_.back[size_t(c)])
            back[d] = true;
        int below = -1;
        for (int d = 0; d < 256; ++d) {
            if (!back[size_t(d)]) continue;
            int above = d + 1;
            while (above < 256 && !back[size_t(above)])
                ++above;
            merged_[size_t(c)][size_t(d)] = {std::uint8_t(std::min(d - below, 255)),
                                             std::uint8_t(std::min(above - d, 255))};
            below = d;
        }
    }
}

// Whether the hex, given exactly in the colours the curves take back, may
// show the next best tile: one that differs from the chosen only by levels
// the change may have merged. Its cost is then at most twice those levels
// (pixel and block), which bounds the search.
bool Matcher::Merged(int i, const std::vector<Obs>& obs) {
    PG2HexMatch& m = result_.hexes[size_t(i)];
    qint64 reach = 0;
    auto span = [&](int c, int level) {
        const auto [down, up] = merged_[size_t(c)][size_t(level)];
        return std::max(int(down), int(up));
    };
    for (const Obs& o : obs)
        reach +=
            2 * (span(0, qRed(o.target)) + span(1, qGreen(o.target)) + span(2, qBlue(o.target)));
    const Choice c = Evaluate(At(i), obs, false, reach, Given::Exactly);
    m.next = c.match.next;
    m.margin = c.match.margin;
    m.apart = c.match.apart;
    state_.next[size_t(i)] = c.nextGroup;
    if (c.nextGroup < 0) return false;
    auto within = [&](int shown, int target, int c) {
        const auto [down, up] = merged_[size_t(c)][size_t(target)];
        return shown >= target - down && shown <= target + up;
    };
    const QRgb* next = cand_.Pixels(c.nextGroup);
    for (const Obs& o : obs) {
        const QRgb b = Shown(next, o);
        if (!within(qRed(b), qRed(o.target), 0) || !within(qGreen(b), qGreen(o.target), 1) ||
            !within(qBlue(b), qBlue(o.target), 2))
            return false;
    }
    return true;
}

// The hexes whose tile has tone twins in the catalogue. Those without
// tell how far the pieces' tones moved, beyond what the tone curves take
// back already;
// a twin that lies within what a change of the pieces' tones by that much,
// and a level or two more, could make of the difference leaves its hex
// unsure: a change of every colour may have made the twin look nearer.
bool Matcher::Twins() {
    cand_.FindToneTwins();
    std::vector<char> anchor(PG2Hexes, 0);
    for (int i = 0; i < PG2Hexes; ++i) {
        const PG2HexMatch& m = result_.hexes[size_t(i)];
        state_.twin[size_t(i)] = !cand_.ToneTwins(assign_[size_t(i)]).empty();
        anchor[size_t(i)] = !state_.twin[size_t(i)] && !m.doubtful;
    }
    if (std::none_of(state_.twin.begin(), state_.twin.end(), [](char t) { return t; }) ||
        !Anchored())
        return true;
    LevelPairs pairs;
    Pairs(anchor, pairs, true);
    const ToneCurves curves = pairs.Curves();
    // Tones that did not move leave twins to the pictures' own difference.
    if (curves.identity || curves.moved < MinToneMove) return true;
    toneRange_ = MinToneRange + 2 * curves.moved;
    std::vector<Obs> obs;
    Announce(PG2Hexes);
    for (int i = 0; i < PG2Hexes; ++i) {
        if (i > 0 && !Tick()) return false;
        PG2HexMatch& m = result_.hexes[size_t(i)];
        if (!state_.twin[size_t(i)] || m.differing == 0) continue;
        Observe(At(i), true, obs);
        for (int t : cand_.ToneTwins(assign_[size_t(i)])) {
            const int apart = Apart(t, assign_[size_t(i)], obs);
            const qint64 doubt = qint64(ToneCost * toneRange_ * apart);
            const qint64 c = Cost(t, obs, false, m.cost + doubt);
            if (apart == 0 || c - m.cost >= doubt) continue;
            state_.twin[size_t(i)] = 2;
            OfferNext(i, t, c - m.cost, apart);
        }
        m.doubtful = m.doubtful || state_.twin[size_t(i)] == 2;
    }
    return Tick();
}

// How many of the hex's pixels candidates a and b show in other colours.
int Matcher::Apart(int a, int b, const std::vector<Obs>& obs) const {
    const QRgb *pa = cand_.Pixels(a), *pb = cand_.Pixels(b);
    int apart = 0;
    for (const Obs& o : obs)
        apart += ((Shown(pa, o) ^ Shown(pb, o)) & 0xFFFFFF) != 0;
    return apart;
}

// The colour distance per pixel of hex i's chosen tile where its next best
// shows other colours.
double Matcher::NoiseApart(int i, const std::vector<Obs>& obs) const {
    const QRgb *a = cand_.Pixels(assign_[size_t(i)]), *b = cand_.Pixels(state_.next[size_t(i)]);
    qint64 sum = 0;
    int apart = 0;
    for (const Obs& o : obs)
        if (((Shown(a, o) ^ Shown(b, o)) & 0xFFFFFF) != 0) {
            sum += PixelCost(a, o, false);
            ++apart;
        }
    return apart ? double(sum) / apart : 0;
}

// Candidate t, `margin` further than the tile chosen for hex i and showing
// other colours at `apart` of its pixels, as its next best if none nearer is.
void Matcher::OfferNext(int i, int t, qint64 margin, int apart) {
    PG2HexMatch& m = result_.hexes[size_t(i)];
    if (m.next >= 0 && margin >= m.margin) return;
    m.next = cand_.Preferred(t, tt3_[size_t(i)]);
    state_.next[size_t(i)] = t;
    m.margin = margin;
    m.apart = apart;
}

// Whether a piece that was moved back shows some of the hex.
bool Matcher::InMovedPiece(HexPos h) const {
    for (int s = 0; s < 3; ++s) {
        if (h.x < PG2Strips[s].firstCol || h.x > PG2Strips[s].lastCol) continue;
        const int y0 = HexLayout::Top(h.y, h.x) - PG2PieceTop;
        for (int b = std::max(0, FloorDiv(y0, PG2PieceHeight));
             b <= std::min(3, FloorDiv(y0 + H - 1, PG2PieceHeight)); ++b)
            if (!result_.shifts[size_t(s * 4 + b)].isNull()) return true;
    }
    return false;
}

} // namespace zem::pg2
