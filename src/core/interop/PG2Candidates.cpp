#include "interop/PG2Candidates.h"

#include <QHash>
#include <algorithm>
#include <array>
#include <numeric>
#include <unordered_map>

namespace zem {

namespace {
// Enough key positions that a hex at the edge of the pieces still shows
// some of them.
constexpr int KeyCount = 512;
} // namespace

PG2Candidates::PG2Candidates(const TileCatalogue& cat, const TileImages& images)
    : cat_(cat), W(images[0].Width()), H(images[0].Height()) {
    Group(cat, images);
    Masks();
    Rank();
    Index();
    SumQuarters();
    SumBlocks();
}

void PG2Candidates::Group(const TileCatalogue& cat, const TileImages& images) {
    std::unordered_multimap<size_t, int> byHash;
    const size_t area = size_t(W) * size_t(H);
    std::vector<QRgb> pixels(area);
    pool_.reserve(area * MaxTiles); // pages only taken as pictures fill them
    int nothing = -1;
    for (int t = 0; t < MaxTiles; ++t) {
        const QImage* img = TilePicture(cat, images, t);
        int opaque = 0;
        if (img)
            for (int y = 0; y < H; ++y) {
                const auto* line = reinterpret_cast<const QRgb*>(img->constScanLine(y));
                for (int x = 0; x < W; ++x) {
                    const bool o = qAlpha(line[x]) != 0;
                    pixels[size_t(y * W + x)] = o ? (line[x] | 0xFF000000) : 0;
                    opaque += o;
                }
            }
        if (!opaque) {
            if (nothing < 0) {
                nothing = int(groups_.size());
                groups_.push_back({});
                sparse_.push_back(nothing);
            }
            groups_[size_t(nothing)].tiles.push_back(t);
            of_[size_t(t)] = nothing;
            continue;
        }
        const size_t h = qHashBits(pixels.data(), area * sizeof(QRgb));
        int found = -1;
        for (auto [it, end] = byHash.equal_range(h); it != end && found < 0; ++it)
            if (std::equal(pixels.begin(), pixels.end(),
                           pool_.begin() + groups_[size_t(it->second)].first))
                found = it->second;
        if (found < 0) {
            found = int(groups_.size());
            groups_.push_back({{}, qsizetype(pool_.size())});
            pool_.insert(pool_.end(), pixels.begin(), pixels.end());
            byHash.emplace(h, found);
            if (2 * size_t(opaque) < area) sparse_.push_back(found);
        }
        groups_[size_t(found)].tiles.push_back(t);
        of_[size_t(t)] = found;
    }
}

void PG2Candidates::Masks() {
    if (W > 64) return;
    masks_.assign(groups_.size() * size_t(H), 0);
    for (size_t g = 0; g < groups_.size(); ++g)
        if (const QRgb* p = Pixels(int(g)))
            for (int y = 0; y < H; ++y)
                for (int x = 0; x < W; ++x)
                    if (p[y * W + x]) masks_[g * size_t(H) + size_t(y)] |= std::uint64_t(1) << x;
}

void PG2Candidates::Rank() {
    const int area = W * H, G = int(groups_.size());
    // Counted a block of positions at a time, each picture read in runs.
    constexpr int Run = 64;
    std::vector<QRgb> block(size_t(Run) * size_t(G));
    size_t buckets = 1;
    while (buckets < 2 * size_t(G))
        buckets <<= 1;
    std::vector<QRgb> values(buckets);
    std::vector<int> stamp(buckets, -1);
    std::vector<int> distinct(static_cast<size_t>(area), 0);
    for (int at0 = 0; at0 < area; at0 += Run) {
        const int n = std::min(Run, area - at0);
        for (int g = 0; g < G; ++g)
            for (int i = 0; i < n; ++i)
                block[size_t(i) * size_t(G) + size_t(g)] = Pixels(g) ? Pixels(g)[at0 + i] : 0;
        for (int i = 0; i < n; ++i)
            for (int g = 0; g < G; ++g) {
                const QRgb v = block[size_t(i) * size_t(G) + size_t(g)];
                size_t h = (v * 2654435761u) & (buckets - 1);
                while (stamp[h] == at0 + i && values[h] != v)
                    h = (h + 1) & (buckets - 1);
                if (stamp[h] == at0 + i) continue;
                stamp[h] = at0 + i;
                values[h] = v;
                ++distinct[size_t(at0 + i)];
            }
    }
    std::vector<int> positions(static_cast<size_t>(area));
    std::iota(positions.begin(), positions.end(), 0);
    // Among equally telling positions a scattered order keeps the key from
    // bunching in one corner.
    std::sort(positions.begin(), positions.end(), [&](int a, int b) {
        return std::pair(-distinct[size_t(a)], unsigned(a) * 2654435761u) <
               std::pair(-distinct[size_t(b)], unsigned(b) * 2654435761u);
    });
    positions.resize(std::min(size_t(KeyCount), positions.size()));
    keyTable_.resize(positions.size() * size_t(G));
    keySlot_.assign(size_t(area), -1);
    for (size_t k = 0; k < positions.size(); ++k) {
        keySlot_[size_t(positions[k])] = int(k);
        for (int g = 0; g < G; ++g)
            keyTable_[k * size_t(G) + size_t(g)] = Pixels(g) ? Pixels(g)[positions[k]] : 0;
    }
    keyPositions_ = std::move(positions);
}

void PG2Candidates::Index() {
    const int G = Count();
    words_ = (G + 63) / 64;
    const int n = std::min(IndexedPositions, int(keyPositions_.size()));
    index_.resize(size_t(n));
    auto fresh = [this] {
        bits_.resize(bits_.size() + size_t(words_), 0);
        return int(bits_.size()) - words_;
    };
    for (int r = 0; r < n; ++r) {
        Colours& at = index_[size_t(r)];
        at.holes = fresh();
        const QRgb* colours = KeyColours(keyPositions_[size_t(r)]);
        for (int g = 0; g < G; ++g)
            if (colours[g]) at.byColour.emplace_back(colours[g], 0);
        std::sort(at.byColour.begin(), at.byColour.end());
        at.byColour.erase(std::unique(at.byColour.begin(), at.byColour.end()), at.byColour.end());
        for (auto& [colour, bits] : at.byColour)
            bits = fresh();
        for (int g = 0; g < G; ++g) {
            int slot = at.holes;
            if (colours[g])
                slot = std::lower_bound(at.byColour.begin(), at.byColour.end(),
                                        std::pair(colours[g], 0))
                           ->second;
            bits_[size_t(slot + g / 64)] |= std::uint64_t(1) << (g % 64);
        }
        // A colour's candidates include those with a hole there.
        for (auto& [colour, bits] : at.byColour)
            for (int w = 0; w < words_; ++w)
                bits_[size_t(bits + w)] |= bits_[size_t(at.holes + w)];
    }
}

const std::uint64_t* PG2Candidates::WithColour(int rank, QRgb colour) const {
    const Colours& at = index_[size_t(rank)];
    const auto it =
        std::lower_bound(at.byColour.begin(), at.byColour.end(), std::pair(colour, 0),
                         [](const auto& a, const auto& b) { return a.first < b.first; });
    const int slot = it != at.byColour.end() && it->first == colour ? it->second : at.holes;
    return bits_.data() + slot;
}

// The 8x8 sums from the quarters' 4x4 ones.
void PG2Candidates::SumBlocks() {
    const int across = BlocksAcross(), coarseAcross = CoarseAcross();
    const size_t CB = size_t(CoarseBlocks()), G = groups_.size();
    coarseSums_.assign(4 * CB * G, 0);
    for (size_t g = 0; g < G; ++g) {
        const std::int16_t* fine = FineSums(int(g));
        for (size_t cb = 0; cb < CB; ++cb) {
            const size_t b0 =
                (cb / size_t(coarseAcross)) * 2 * size_t(across) + (cb % size_t(coarseAcross)) * 2;
            std::int32_t sum[3] = {}, opaque = -1;
            for (const size_t b : {b0, b0 + 1, b0 + size_t(across), b0 + size_t(across) + 1}) {
                for (size_t ch = 0; ch < 3; ++ch)
                    sum[ch] += fine[b * FineFields + ch];
                opaque &= fine[b * FineFields + 3];
            }
            for (size_t ch = 0; ch < 3; ++ch)
                coarseSums_[(ch * CB + cb) * G + g] = sum[ch];
            coarseSums_[(3 * CB + cb) * G + g] = opaque;
        }
    }
}

void PG2Candidates::SumQuarters() {
    const int across = BlocksAcross();
    const size_t B = size_t(Blocks()), G = groups_.size();
    fine_.assign(G * B * FineFields, 0);
    for (size_t g = 0; g < G; ++g) {
        const QRgb* p = Pixels(int(g));
        std::int16_t* out = fine_.data() + g * B * FineFields;
        for (size_t b = 0; b < B && p; ++b, out += FineFields) {
            const int x0 = int(b % size_t(across)) * Block4, y0 = int(b / size_t(across)) * Block4;
            std::int16_t opaque = -1;
            for (int q = 0; q < 4; ++q)
                for (int y = y0 + q / 2 * 2; y < y0 + q / 2 * 2 + 2; ++y)
                    for (int x = x0 + q % 2 * 2; x < x0 + q % 2 * 2 + 2; ++x) {
                        const QRgb c = p[y * W + x];
                        opaque = c ? opaque : 0;
                        out[4 + q] = std::int16_t(out[4 + q] + qRed(c));
                        out[8 + q] = std::int16_t(out[8 + q] + qGreen(c));
                        out[12 + q] = std::int16_t(out[12 + q] + qBlue(c));
                    }
            for (int ch = 0; ch < 3; ++ch)
                out[ch] = std::int16_t(out[4 + 4 * ch] + out[5 + 4 * ch] + out[6 + 4 * ch] +
                                       out[7 + 4 * ch]);
            out[3] = opaque;
        }
    }
}

// Whether one rising curve per channel takes picture h to picture g, pixel
// for pixel, within a level or two.
bool PG2Candidates::OneCurve(size_t g, size_t h) const {
    constexpr int Slack = 2;
    const QRgb *a = Pixels(int(g)), *b = Pixels(int(h));
    std::array<std::array<int, 256>, 3> low, high;
    for (auto& l : low)
        l.fill(256);
    for (auto& l : high)
        l.fill(-1);
    for (int i = 0; i < W * H; ++i) {
        if (!a[i] != !b[i]) return false;
        if (!a[i]) continue;
        const int va[3] = {qRed(a[i]), qGreen(a[i]), qBlue(a[i])},
                  vb[3] = {qRed(b[i]), qGreen(b[i]), qBlue(b[i])};
        for (size_t ch = 0; ch < 3; ++ch) {
            int& lo = low[ch][size_t(vb[ch])];
            int& hi = high[ch][size_t(vb[ch])];
            lo = std::min(lo, va[ch]);
            hi = std::max(hi, va[ch]);
            if (hi - lo > 2 * Slack) return false;
        }
    }
    // Rising: a higher level of h never maps lower than a lower one does.
    for (size_t ch = 0; ch < 3; ++ch) {
        int floor = -1;
        for (size_t v = 0; v < 256; ++v) {
            if (high[ch][v] < 0) continue;
            if (high[ch][v] < floor - Slack) return false;
            floor = std::max(floor, low[ch][v]);
        }
    }
    return true;
}

void PG2Candidates::FindToneTwins() {
    if (!twins_.empty()) return;
    // A tone curve moves no level further than MaxShift; the blocks' ranks
    // in brightness, from 0 to 255, keep within RankSlack on average.
    constexpr int MaxShift = 48, RankSlack = 8;
    const size_t B = size_t(Blocks()), G = groups_.size();
    twins_.assign(G, {});
    std::vector<std::int32_t> rank(3 * B * G, -1);
    std::vector<std::pair<std::int32_t, size_t>> order;
    // Candidate g's sum of channel ch in 4x4 block b (3: whether opaque).
    auto sum = [this, B](size_t ch, size_t b, size_t g) {
        return std::int32_t(fine_[(g * B + b) * FineFields + ch]);
    };
    for (size_t g = 0; g < G; ++g)
        for (size_t ch = 0; ch < 3; ++ch) {
            order.clear();
            for (size_t b = 0; b < B; ++b)
                if (sum(3, b, g)) order.emplace_back(sum(ch, b, g), b);
            std::sort(order.begin(), order.end());
            for (size_t i = 0, j = 0; i < order.size(); i = j) {
                while (j < order.size() && order[j].first == order[i].first)
                    ++j;
                const std::int32_t r =
                    order.size() > 1 ? std::int32_t((i + j - 1) * 255 / (2 * (order.size() - 1)))
                                     : 0;
                for (size_t k = i; k < j; ++k)
                    rank[(ch * B + order[k].second) * G + g] = r;
            }
        }
    for (size_t g = 0; g < G; ++g)
        for (size_t h = g + 1; h < G; ++h) {
            bool twin = Pixels(int(g)) && Pixels(int(h));
            qint64 apart = 0, blocks = 0;
            for (size_t b = 0; b < B && twin; ++b) {
                const bool og = sum(3, b, g), oh = sum(3, b, h);
                if (og != oh) twin = false;
                if (!og || !twin) continue;
                ++blocks;
                for (size_t ch = 0; ch < 3 && twin; ++ch) {
                    const size_t at = (ch * B + b) * G;
                    twin = std::abs(sum(ch, b, g) - sum(ch, b, h)) <= MaxShift * Block4 * Block4;
                    apart += std::abs(rank[at + g] - rank[at + h]);
                }
            }
            if (twin && blocks > 0 && apart <= RankSlack * 3 * blocks && OneCurve(g, h)) {
                twins_[g].push_back(int(h));
                twins_[h].push_back(int(g));
            }
        }
}

int PG2Candidates::Preferred(int c, int tt3) const {
    for (int t : groups_[size_t(c)].tiles)
        if ((cat_.Record(t).TT3 & 0xFF) == tt3) return t;
    return Tile(c);
}

} // namespace zem
