#pragma once
// What the Panzer General 2 export can draw for a hex: for every tile number
// its picture (the frame or the mark for the first two lines of set 0,
// nothing for a number without a picture), the numbers whose pictures are
// the same pixels taken together as one candidate.

#include "render/TileImages.h"

#include <QRgb>
#include <cstdint>
#include <vector>

namespace zem {

class PG2Candidates {
  public:
    PG2Candidates(const TileCatalogue& cat, const TileImages& images);

    int Count() const { return int(groups_.size()); }
    int Width() const { return W; }
    int Height() const { return H; }
    // The picture, row by row, opaque pixels with full alpha and holes 0;
    // null for the candidate that draws nothing.
    const QRgb* Pixels(int c) const {
        const qsizetype first = groups_[size_t(c)].first;
        return first < 0 ? nullptr : pool_.data() + first;
    }
    // A number that draws it.
    int Tile(int c) const { return groups_[size_t(c)].tiles.front(); }
    // The candidate that tile number t draws.
    int Of(int t) const { return of_[size_t(t)]; }
    // Its opaque pixels, a word a row (bit x for pixel x); null for
    // pictures wider than 64 pixels.
    const std::uint64_t* Mask(int c) const {
        return masks_.empty() ? nullptr : masks_.data() + size_t(c) * size_t(H);
    }
    // The number it stands for in a hex with this terrain byte: the lowest
    // whose catalogue terrain byte is the hex's, else the lowest.
    int Preferred(int c, int tt3) const;
    // The candidates less than half opaque, drawing nothing included.
    const std::vector<int>& Sparse() const { return sparse_; }

    // The positions of a picture where the candidates take the most
    // different colours, first the most telling; their colours there are
    // kept side by side, so a first comparison reads them in one sweep.
    const std::vector<int>& KeyPositions() const { return keyPositions_; }
    // The candidates' colours at picture offset `at`; null when it is no
    // key position.
    const QRgb* KeyColours(int at) const {
        const int slot = keySlot_[size_t(at)];
        return slot < 0 ? nullptr : keyTable_.data() + size_t(slot) * groups_.size();
    }

    // The candidates that show `colour` at the `rank`-th key position, or
    // have a hole there: one bit per candidate, Words() words. A hex whose
    // pixels one of them gives exactly is among them at every position.
    static constexpr int IndexedPositions = 32;
    int Words() const { return words_; }
    const std::uint64_t* WithColour(int rank, QRgb colour) const;

    // The whole 4x4 blocks of the picture, BlocksAcross() x BlocksDown().
    static constexpr int Block4 = 4;
    int BlocksAcross() const { return W / Block4; }
    int BlocksDown() const { return H / Block4; }
    int Blocks() const { return BlocksAcross() * BlocksDown(); }
    // Per candidate, its 4x4 blocks one after the other, FineFields numbers
    // each: the sums of red, green and blue, -1 when the candidate is opaque
    // throughout the block (else 0), then the sums of the block's four 2x2
    // quarters (left top, right top, left bottom, right bottom), red of the
    // four, then green, then blue.
    static constexpr int FineFields = 16;
    const std::int16_t* FineSums(int c) const {
        return fine_.data() + size_t(c) * size_t(Blocks()) * FineFields;
    }
    // Per 8x8 block and candidate, for a first, coarser bound: the sums of
    // red, green and blue, and -1 when the candidate is opaque throughout
    // the block, else 0. Each kept for all candidates side by side, a
    // block's row at b * Count().
    static constexpr int Block8 = 8;
    int CoarseAcross() const { return W / Block8; }
    int CoarseDown() const { return H / Block8; }
    int CoarseBlocks() const { return CoarseAcross() * CoarseDown(); }
    const std::int32_t* CoarseSums(int channel) const {
        return coarseSums_.data() + size_t(channel) * size_t(CoarseBlocks()) * groups_.size();
    }

    // The candidates that are this one in other tones: the same shape, and
    // per channel their 4x4 blocks in the same order of brightness, none
    // moved far. Found once asked for.
    void FindToneTwins();
    const std::vector<int>& ToneTwins(int c) const { return twins_[size_t(c)]; }

  private:
    void Group(const TileCatalogue& cat, const TileImages& images);
    void Masks();
    void Rank();
    void Index();
    void SumQuarters();
    void SumBlocks();
    bool OneCurve(size_t g, size_t h) const;

    struct Numbers {
        std::vector<int> tiles; // ascending
        qsizetype first = -1;   // offset of the picture in the pool; -1: draws nothing
    };
    const TileCatalogue& cat_;
    int W, H;
    std::vector<Numbers> groups_;
    std::vector<QRgb> pool_;
    std::vector<int> of_ = std::vector<int>(MaxTiles, 0);
    std::vector<std::uint64_t> masks_;
    std::vector<int> sparse_;
    std::vector<int> keyPositions_, keySlot_;
    std::vector<QRgb> keyTable_;
    // Per indexed position: its colours, sorted, each with its bits in
    // bits_; then the bits of the candidates with a hole there.
    struct Colours {
        std::vector<std::pair<QRgb, int>> byColour;
        int holes = 0;
    };
    std::vector<Colours> index_;
    std::vector<std::uint64_t> bits_;
    int words_ = 0;
    std::vector<std::int32_t> coarseSums_;
    std::vector<std::int16_t> fine_;
    std::vector<std::vector<int>> twins_;
};

} // namespace zem
