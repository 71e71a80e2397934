// Changes of every colour weighed over the whole map. Where the catalogue
// holds tiles that are other tiles in other tones (a copy made brighter,
// through another gamma), a hex alone cannot tell a tile seen through a
// change of the pieces' colours from its twin seen as it is: only the map
// as a whole can. A change is weighed on a sample of hexes, each taking
// the nearest of its tile and that tile's tone twins with the pieces'
// colours taken back by the change, against the curves in use. A change
// that brings the sample clearly nearer is taken back, and the tone curves
// measured after it finish the work. Pieces that went through a palette
// take no change: its few levels fit some change better than none whatever
// the colours were, and leave every hex whose tile has twins unsure.

#include "interop/PG2Matcher.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <utility>

namespace zem::pg2 {

namespace {

// About this many hexes are weighed, in this many rounds.
constexpr int Sampled = 160;
constexpr size_t Rounds = 4;
// Hexes seen on fewer pixels (at the pieces' edges) weigh little.
constexpr int MinSeen = 300;
// A change is clearly nearer or further when the sum of the hexes'
// differences is this many times their spread (root of the sum of their
// squares): the differences of a change that fits as well as the curves in
// use go either way.
constexpr double Clearly = 3;
// Pieces that show no more levels a channel than a palette of 216 or 256
// colours, and fewer than their tiles draw, went through a palette: its few
// levels fit some change better than none, whatever the colours were, so
// no change is taken from them.
constexpr int PaletteLevels = 8;
// A dither makes neighbouring pixels differ this many times as often.
constexpr double DitherEdges = 2;

// `raw` with the pieces' colours taken back by `c`.
void TakenBack(const std::vector<Obs>& raw, const ToneCurves& c, std::vector<Obs>& out) {
    out = raw;
    if (c.identity) return;
    for (Obs& o : out) {
        o.target = c.Undo(o.target) | 0xFF000000;
        o.hole = HoleCost(o.below, o.target);
    }
}

} // namespace

// Whether the pieces went through a palette of few levels a channel: they
// show no more than a palette's levels in each channel, and fewer than the
// tiles chosen draw. And whether it was dithered: neighbouring pixels
// differ far more often than in the tiles.
void Matcher::FindPalette() {
    std::array<std::array<bool, 256>, 3> seen{}, drawn{};
    std::array<int, 3> levels{};
    auto note = [](std::array<std::array<bool, 256>, 3>& in, QRgb c) {
        in[0][size_t(qRed(c))] = in[1][size_t(qGreen(c))] = in[2][size_t(qBlue(c))] = true;
    };
    palette_ = dithered_ = false;
    // Pieces that show more levels than a palette's in any channel went
    // through none: no need to read on.
    for (const QImage& piece : rgb_)
        for (int y = 0; y < piece.height(); ++y) {
            const auto* line = reinterpret_cast<const QRgb*>(piece.constScanLine(y));
            for (int x = 0; x < piece.width(); ++x) {
                const int v[3] = {qRed(line[x]), qGreen(line[x]), qBlue(line[x])};
                for (size_t ch = 0; ch < 3; ++ch)
                    levels[ch] += !std::exchange(seen[ch][size_t(v[ch])], true);
            }
            if (*std::max_element(levels.begin(), levels.end()) > PaletteLevels) return;
        }
    qint64 seenEdges = 0, seenPairs = 0, drawnEdges = 0, drawnPairs = 0;
    for (const QImage& piece : rgb_)
        for (int y = 0; y < piece.height(); ++y) {
            const auto* line = reinterpret_cast<const QRgb*>(piece.constScanLine(y));
            for (int x = 1; x < piece.width(); ++x)
                seenEdges += ((line[x] ^ line[x - 1]) & 0xFFFFFF) != 0;
            seenPairs += piece.width() - 1;
        }
    std::vector<char> used(size_t(cand_.Count()), 0);
    for (int g : assign_)
        if (g >= 0 && !std::exchange(used[size_t(g)], 1) && cand_.Pixels(g))
            for (int p = 0; p < W * H; ++p)
                if (const QRgb c = cand_.Pixels(g)[p]) {
                    note(drawn, c);
                    if (p % W > 0 && cand_.Pixels(g)[p - 1]) {
                        drawnEdges += ((c ^ cand_.Pixels(g)[p - 1]) & 0xFFFFFF) != 0;
                        ++drawnPairs;
                    }
                }
    palette_ = true;
    for (size_t ch = 0; ch < 3; ++ch) {
        const auto d = std::count(drawn[ch].begin(), drawn[ch].end(), true);
        palette_ = palette_ && levels[ch] < d;
    }
    dithered_ = palette_ && drawnPairs > 0 && seenPairs > 0 &&
                double(seenEdges) / double(seenPairs) >
                    DitherEdges * double(drawnEdges) / double(drawnPairs);
}

qint64 Matcher::TotalCost() const {
    qint64 sum = 0;
    for (const PG2HexMatch& m : result_.hexes)
        sum += m.cost;
    return sum;
}

bool Matcher::HasTwins() {
    cand_.FindToneTwins();
    return std::any_of(assign_.begin(), assign_.end(),
                       [&](int g) { return g >= 0 && !cand_.ToneTwins(g).empty(); });
}

// The hex's window with the pieces' own colours.
void Matcher::ObserveRaw(HexPos h, std::vector<Obs>& raw) {
    const ToneCurves kept = curves_;
    curves_ = ToneCurves{};
    Observe(h, true, raw);
    curves_ = kept;
}

// The cost of the nearest of candidate g and its tone twins.
qint64 Matcher::FamilyCost(int g, const std::vector<Obs>& obs) {
    qint64 best = Cost(g, obs, false, Never);
    for (int t : cand_.ToneTwins(g))
        best = std::min(best, Cost(t, obs, false, best));
    return best;
}

// Per change, the sum of the sampled hexes' costs under it less their
// costs under changes[0], and the root of the sum of the squares.
bool Matcher::Weigh(const std::vector<ToneCurves>& changes, std::vector<double>& sum,
                    std::vector<double>& spread) {
    std::vector<int> hexes;
    for (int i = 0; i < PG2Hexes; ++i)
        if (result_.hexes[size_t(i)].seen >= MinSeen) hexes.push_back(i);
    const size_t step = std::max<size_t>(1, hexes.size() / Sampled);
    // The sample in Rounds interleaved rounds, each spread over the map: a
    // change clearly further after the first is weighed no more.
    std::vector<int> sample;
    for (size_t r = 0; r < Rounds; ++r)
        for (size_t j = r * step; j < hexes.size(); j += Rounds * step)
            sample.push_back(hexes[j]);
    const size_t first = (hexes.size() + Rounds * step - 1) / (Rounds * step);
    Announce(int(sample.size()));
    sum.assign(changes.size(), 0);
    spread.assign(changes.size(), 0);
    std::vector<char> weighed(changes.size(), 1);
    std::vector<Obs> raw, obs;
    qint64 none = 0;
    for (size_t n = 0; n < sample.size(); ++n) {
        const int i = sample[n];
        ObserveRaw(At(i), raw);
        for (size_t k = 0; k < changes.size(); ++k) {
            if (!weighed[k]) continue;
            TakenBack(raw, changes[k], obs);
            const qint64 cost = FamilyCost(assign_[size_t(i)], obs);
            if (k == 0) none = cost;
            const double d = double(cost - none);
            sum[k] += d;
            spread[k] += d * d;
        }
        if (n + 1 == first)
            for (size_t k = 1; k < changes.size(); ++k)
                weighed[k] = sum[k] <= Clearly * std::sqrt(spread[k]);
        if (!Tick()) return false;
    }
    for (double& s : spread)
        s = std::sqrt(s);
    return true;
}

// A paint program's change that brings the map clearly nearer than the
// pieces' own colours: tried as the tone curves are.
bool Matcher::Retone() {
    if (palette_ || !HasTwins()) return true;
    std::vector<ToneCurves> changes{curves_};
    for (const ToneCurves& c : PaintChanges())
        changes.push_back(c);
    std::vector<double> sum, spread;
    if (!Weigh(changes, sum, spread)) return false;
    size_t best = 0;
    for (size_t k = 1; k < changes.size(); ++k)
        if (sum[k] < -Clearly * spread[k] && sum[k] < sum[best]) best = k;
    return best == 0 || TryCurves(changes[best]).has_value();
}

// After a palette, every hex whose tile has tone twins is unsure: the
// palette's levels lie further apart than a twin's. Its next best is the
// nearest twin.
bool Matcher::PaletteTwins() {
    if (!palette_ || !HasTwins()) return true;
    Announce(PG2Hexes);
    std::vector<Obs> obs;
    for (int i = 0; i < PG2Hexes; ++i) {
        PG2HexMatch& m = result_.hexes[size_t(i)];
        const int g = assign_[size_t(i)];
        if (g >= 0 && !cand_.ToneTwins(g).empty()) {
            Observe(At(i), true, obs);
            const qint64 chosen = Cost(g, obs, false, Never);
            for (int t : cand_.ToneTwins(g)) {
                const int apart = Apart(t, g, obs);
                if (apart == 0) continue;
                m.doubtful = true;
                OfferNext(i, t, std::max<qint64>(0, Cost(t, obs, false, Never) - chosen), apart);
            }
        }
        if (!Tick()) return false;
    }
    return true;
}

} // namespace zem::pg2
