#include "interop/PG2Calibrate.h"

#include <algorithm>
#include <cmath>
#include <functional>
#include <limits>

namespace zem {

namespace {

// A level drawn fewer times than this says too little of its curve.
constexpr std::uint32_t MinPairs = 8;
// The curves are taken when the levels seen stray from those drawn by more
// than MeanStray on average and the curves take back at least MinGain of
// that: a JPEG's or a palette's noise moves single levels either way, which
// no curve takes back.
constexpr double MeanStray = 1.5;
constexpr double MinGain = 0.5;
// A move is taken when it brings the pieces this much nearer.
constexpr double ShiftGain = 0.75;
constexpr int MaxShift = 2;

// The median of the levels seen for one level drawn.
int Median(const std::uint32_t* seen, std::uint32_t n) {
    std::uint32_t below = 0;
    for (int u = 0; u < 256; ++u)
        if ((below += seen[u]) * 2 >= n) return u;
    return 255;
}

// Monotone (non-decreasing) curve nearest to the medians, weighted by how
// often each level was drawn: adjacent levels that go down are pooled.
std::array<double, 256> Forward(const std::uint32_t* counts) {
    struct Pool {
        double sum, weight;
        int from, to;
    };
    std::vector<Pool> pools;
    for (int v = 0; v < 256; ++v) {
        const std::uint32_t* seen = counts + size_t(v) * 256;
        std::uint32_t n = 0;
        for (int u = 0; u < 256; ++u)
            n += seen[u];
        if (n < MinPairs) continue;
        pools.push_back({double(Median(seen, n)) * n, double(n), v, v});
        while (pools.size() > 1 && pools[pools.size() - 2].sum / pools[pools.size() - 2].weight >
                                       pools.back().sum / pools.back().weight) {
            Pool last = pools.back();
            pools.pop_back();
            pools.back().sum += last.sum;
            pools.back().weight += last.weight;
            pools.back().to = last.to;
        }
    }
    std::array<double, 256> f{};
    for (int v = 0; v < 256; ++v)
        f[size_t(v)] = v;
    if (pools.empty()) return f;
    // Known levels take their pool's value; between them the curve runs
    // straight, beyond them at the slope of no change.
    std::vector<std::pair<int, double>> known;
    for (const Pool& p : pools)
        for (int v = p.from; v <= p.to; ++v)
            known.emplace_back(v, p.sum / p.weight);
    // Levels inside a pool without pairs of their own are not known.
    std::erase_if(known, [&](const auto& k) {
        std::uint32_t n = 0;
        for (int u = 0; u < 256; ++u)
            n += counts[size_t(k.first) * 256 + size_t(u)];
        return n < MinPairs;
    });
    size_t k = 0;
    for (int v = 0; v < 256; ++v) {
        while (k + 1 < known.size() && known[k + 1].first <= v)
            ++k;
        const auto [v0, f0] = known[k];
        if (v <= known.front().first) {
            f[size_t(v)] = std::max(0.0, known.front().second - (known.front().first - v));
        } else if (k + 1 >= known.size()) {
            f[size_t(v)] = std::min(255.0, f0 + (v - v0));
        } else {
            const auto [v1, f1] = known[k + 1];
            f[size_t(v)] = f0 + (f1 - f0) * (v - v0) / (v1 - v0);
        }
    }
    return f;
}

} // namespace

std::array<std::uint8_t, 256> Inverse(const std::array<double, 256>& f) {
    // For each level seen, the middle of the levels drawn that come nearest.
    std::array<std::uint8_t, 256> back{};
    for (int u = 0; u < 256; ++u) {
        double nearest = std::numeric_limits<double>::max();
        int first = 0, last = 0;
        for (int v = 0; v < 256; ++v) {
            const double d = std::abs(f[size_t(v)] - u);
            if (d < nearest - 1e-9) {
                nearest = d;
                first = last = v;
            } else if (d <= nearest + 1e-9) {
                last = v;
            }
        }
        back[size_t(u)] = std::uint8_t((first + last + 1) / 2);
    }
    return back;
}

std::vector<ToneCurves> PaintChanges() {
    std::vector<std::function<double(double)>> changes;
    for (int step : {4, 8, 12, 16})
        for (int sign : {1, -1})
            changes.push_back([=](double v) { return v + sign * step; });
    for (double gamma : {0.8, 0.9, 1.1, 1.25})
        changes.push_back([=](double v) { return 255 * std::pow(v / 255, 1 / gamma); });
    for (double contrast : {0.9, 0.95, 1.05, 1.1})
        changes.push_back([=](double v) { return 128 + (v - 128) * contrast; });
    std::vector<ToneCurves> out;
    for (const auto& change : changes) {
        std::array<double, 256> f{};
        for (int v = 0; v < 256; ++v)
            f[size_t(v)] = std::clamp(std::round(change(v)), 0.0, 255.0);
        ToneCurves c;
        c.back[0] = c.back[1] = c.back[2] = Inverse(f);
        c.identity = false;
        out.push_back(c);
    }
    return out;
}

ToneCurves LevelPairs::Curves() const {
    ToneCurves curves;
    double strays = 0, left = 0, moved = 0, pairs = 0;
    for (int ch = 0; ch < 3; ++ch) {
        const std::uint32_t* counts = counts_.data() + size_t(ch) * 65536;
        curves.back[size_t(ch)] = Inverse(Forward(counts));
        for (int v = 0; v < 256; ++v)
            for (int u = 0; u < 256; ++u) {
                const double n = counts[size_t(v) * 256 + size_t(u)];
                strays += n * std::abs(u - v);
                left += n * std::abs(curves.back[size_t(ch)][size_t(u)] - v);
                moved += n * std::abs(curves.back[size_t(ch)][size_t(u)] - u);
                pairs += n;
            }
    }
    curves.identity = strays < MeanStray * pairs || left > (1 - MinGain) * strays;
    curves.moved = pairs > 0 ? moved / pairs : 0;
    return curves;
}

QPoint PieceShift(const QImage& seen, const QRgb* drawn, int stride) {
    // Every third pixel of every third row, away from the edges a move
    // brings in, is enough to tell; a sum that reaches `stop` is not read
    // on.
    auto distance = [&](int dx, int dy, qint64 stop) {
        qint64 sum = 0;
        for (int y = MaxShift; y < seen.height() - MaxShift && sum < stop; y += 3) {
            const auto* s = reinterpret_cast<const QRgb*>(seen.constScanLine(y));
            const QRgb* d = drawn + qsizetype(y - dy) * stride - dx;
            for (int x = MaxShift; x < seen.width() - MaxShift; x += 3) {
                const QRgb a = s[x], b = d[x];
                sum += std::min(std::abs(qRed(a) - qRed(b)) + std::abs(qGreen(a) - qGreen(b)) +
                                    std::abs(qBlue(a) - qBlue(b)),
                                255);
            }
        }
        return sum;
    };
    const qint64 none = distance(0, 0, std::numeric_limits<qint64>::max());
    if (none == 0) return {}; // no move comes nearer than the very pixels
    qint64 best = none;
    QPoint move;
    for (int dy = -MaxShift; dy <= MaxShift; ++dy)
        for (int dx = -MaxShift; dx <= MaxShift; ++dx)
            if (const qint64 d = (dx || dy) ? distance(dx, dy, best) : none; d < best) {
                best = d;
                move = {dx, dy};
            }
    return double(best) < ShiftGain * double(none) ? move : QPoint();
}

} // namespace zem
