#pragma once
// The matcher behind MatchPG2Pieces: the export's canvas emulated around
// each hex and the passes over the map (PG2Match.cpp), the search for a
// hex's tile (PG2Search.cpp), the unsure rule (PG2Doubt.cpp), changes of
// every colour weighed over the map (PG2Tones.cpp).

#include "interop/PG2Calibrate.h"
#include "interop/PG2Candidates.h"
#include "interop/PG2Match.h"
#include "interop/PG2Redraw.h"
#include "map/HexLayout.h"

#include <algorithm>
#include <cstdlib>
#include <limits>
#include <optional>

namespace zem::pg2 {

constexpr qint64 Never = std::numeric_limits<qint64>::max();

// A hex from its index (Index gives it).
inline HexPos At(int i) {
    return {i % PG2Width, i / PG2Width};
}
// Whether the export draws hex a of a strip before hex b.
inline bool Before(HexPos a, HexPos b) {
    return a.y < b.y || (a.y == b.y && a.x < b.x);
}

// A piece pixel that shows a hex, or what lies under the hex's holes.
struct Obs {
    Obs() {}     // left unset: laid out by the thousand, each written once
    int at;      // offset in the tile picture
    QRgb target; // the piece's pixel
    QRgb below;  // what the canvas holds there when the hex is drawn
    int hole;    // the cost of showing `below` there
    int block;   // the few neighbouring pixels of the same strip it is summed with
    int segment; // which strip's pieces show it, counted per hex
};

// What showing `below` costs where the piece shows `target`: their colour
// distance, capped.
inline int HoleCost(QRgb below, QRgb target) {
    return std::min(std::abs(qRed(below) - qRed(target)) +
                        std::abs(qGreen(below) - qGreen(target)) +
                        std::abs(qBlue(below) - qBlue(target)),
                    255);
}

struct Scored;

struct Choice {
    int group = -1;
    bool exact = false;
    bool tied = false; // other candidates give the hex exactly too
    int nextGroup = -1;
    qint64 reach = Never; // how far beyond the best the search looked for the next
    PG2HexMatch match;
};

class Matcher {
  public:
    Matcher(const std::vector<QImage>& pieces, const std::array<std::uint8_t, PG2Hexes>& tt3,
            const TileCatalogue& cat, const TileImages& images, const PG2MatchControl& control);
    std::optional<PG2Matching> Run();

  private:
    // The canvas around a hex (PG2Match.cpp).
    void HexesIn(int strip, int x0, int y0, std::vector<HexPos>& out) const;
    void Draw(const PixelRows& rows, int strip, HexPos h, int x0, int y0) const;
    void Context(HexPos h, int strip, bool later, std::vector<Obs>& obs);
    void Collect(int strip, int x0, int y0, std::vector<Obs>& obs);
    void Fetch(HexPos h) const;
    void Observe(HexPos h, bool later, std::vector<Obs>& obs);
    int MarkAround(HexPos h, std::vector<char>& dirty, int below = 0);

    // The search for one hex's tile (PG2Search.cpp).
    // What a candidate with these pixels (null: none) shows at o.
    static QRgb Shown(const QRgb* pixels, const Obs& o) {
        const QRgb p = pixels ? pixels[o.at] : 0;
        return p ? p : o.below;
    }
    int PixelCost(const QRgb* pixels, const Obs& o, bool guess) const;
    qint64 Cost(int g, const std::vector<Obs>& obs, bool guess, qint64 stop);
    int Exactly(int g, const std::vector<Obs>& obs, bool guess) const;
    bool ToneTwins(int a, int b, const std::vector<Obs>& obs) const;
    bool ExactChoice(HexPos h, const std::vector<Obs>& obs, bool guess, Choice& out);
    template <class KeyColour, class Exact>
    bool ExactAmong(HexPos h, bool guess, int seen, KeyColour keyColour, Exact exactly,
                    Choice& out);
    // Whether a candidate gives a hex exactly, when that is quickly known.
    enum class Given { Exactly, Not, Unknown };
    Given QuickExact(HexPos h, bool guess, bool later, Choice& out);
    void LowerBounds(const std::vector<Obs>& obs);
    qint64 FineBound(int g) const;
    qint64 Compare(int g, bool guess, qint64 stop);
    Choice Evaluate(HexPos h, const std::vector<Obs>& obs, bool guess, qint64 reach,
                    Given given = Given::Unknown);
    Choice Finish(const std::vector<Obs>& obs, const Scored* scored, size_t n) const;

    // The passes (PG2Match.cpp).
    struct TargetRow {
        const QRgb* line = nullptr;
        int offset = 0, lo = 0, hi = 0;
    };
    TargetRow Target(int strip, int cy) const;
    QRgb Seen(QRgb raw) const { return curves_.identity ? raw : curves_.Undo(raw) | 0xFF000000; }
    bool Tick();
    bool FirstPass(std::vector<char>& exact);
    std::vector<char> Unsettled(const std::vector<char>& exact);
    void Redraw();
    struct Differ;
    void Differing(Differ& out) const;
    void Verify();
    bool Sweeps(std::vector<char> dirty = std::vector<char>(PG2Hexes, 1));
    void Measure();
    qint64 Doubt(int seen, int apart, double local = 0) const;
    double NoiseApart(int i, const std::vector<Obs>& obs) const;
    qint64 Reach(int seen) const;
    bool InMovedPiece(HexPos h) const;
    int Apart(int a, int b, const std::vector<Obs>& obs) const;
    void OfferNext(int i, int t, qint64 margin, int apart);
    bool Judge();
    void MergedLevels();
    bool Merged(int i, const std::vector<Obs>& obs);
    bool Twins();
    bool Anchored() const;
    bool Shifts();
    bool Calibrate();
    std::optional<bool> TryCurves(const ToneCurves& curves);
    void Pairs(const std::vector<char>& clear, LevelPairs& pairs, bool takenBack);
    qint64 TotalCost() const;

    // Changes of every colour weighed over the map (PG2Tones.cpp).
    bool HasTwins();
    void ObserveRaw(HexPos h, std::vector<Obs>& raw);
    qint64 FamilyCost(int g, const std::vector<Obs>& obs);
    bool Weigh(const std::vector<ToneCurves>& changes, std::vector<double>& sum,
               std::vector<double>& spread);
    void FindPalette();
    bool Retone();
    bool PaletteTwins();

    const TileCatalogue& cat_;
    const TileImages& images_;
    const std::array<std::uint8_t, PG2Hexes>& tt3_;
    const PG2MatchControl& control_;
    int W, H;
    std::vector<QImage> rgb_; // the pieces as 32-bit pictures
    PG2Candidates cand_;
    PG2Matching result_;
    ToneCurves curves_;
    // Per hex: the candidate chosen and the next best; how far beyond the
    // best the next was looked for; whether others give it exactly too;
    // whether the next is the chosen one in other tones.
    struct Hexes {
        std::vector<int> assign, next;
        std::vector<qint64> reach;
        std::vector<char> tied, twin;
    } state_;
    std::vector<int>& assign_ = state_.assign;
    std::vector<qint64>& reach_ = state_.reach;
    std::vector<char>& tied_ = state_.tied;
    // Per channel and level taken back to by the curves, the levels below
    // and above that the change may have merged with it.
    std::array<std::array<std::pair<std::uint8_t, std::uint8_t>, 256>, 3> merged_{};
    double toneRange_ = 0;  // how many levels the pieces' tones may have moved
    bool palette_ = false;  // the pieces went through a palette of few levels
    bool dithered_ = false; // that palette was dithered
    QImage colour_, cover_;
    // Per row of each window of a hex, for QuickExact: where the pieces'
    // row shows it, the pixels covered, those seen, and of them those where
    // the colour below is not the piece's.
    struct QuickRow {
        const QRgb* line;
        std::uint64_t cover, free, belowDiff;
    };
    std::vector<QuickRow> quick_;
    std::array<QImage, 3> colours_;
    PG2Canvas canvas_;
    // The pixels of the pieces as read that differ from the canvas, in all
    // and per piece, and the hexes that show them; kept for the canvas
    // drawn for the first guess.
    struct Differ {
        int version = -1;
        qint64 pixels = 0;
        std::array<qint64, 12> pieces{};
        std::vector<char> shows;
    } first_;
    int blocksAcross_, blocksDown_, segment_ = -1;
    std::vector<int> seenAt_, blockSum_, order_;
    std::vector<QRgb> seenColours_;
    std::vector<std::uint32_t> belowSame_; // all ones where the colour below is the piece's
    struct Stretch {
        int first, at, length; // observations first.. show pixels at.. of the picture
    };
    std::vector<Stretch> runs_;
    std::vector<std::int32_t> targetBlocks_, targetQuarters_, blockBound_;
    std::vector<qint64> bound_;
    struct FullBlock {
        int block; // among the candidates' whole 4x4 blocks
        int at;    // its left top pixel
        std::array<std::int16_t, PG2Candidates::FineFields> sums; // as the candidates' FineSums
    };
    std::vector<FullBlock> fullBlocks_; // the 4x4 blocks the hex shows whole, with their sums
    // The hex's observations laid out by LowerBounds for Compare.
    std::vector<int> fullIndex_, restBlock_, quarters_;
    std::vector<Obs> blockObs_, rest_;
    std::vector<QRgb> fullTargets_;
    int blocksLaidOut_ = 0;
    // Per pixel of a picture: its whole 4x4 block, 2x2 quarter and place in
    // the block, row by row (-1: in no whole block).
    struct Cell {
        int block, quarter, slot;
    };
    std::vector<Cell> cells_;
    std::vector<std::uint64_t> survivors_;
    std::vector<HexPos> hexes_;
    // Hexes matched, those the passes begun so far will match, and those
    // the passes still to come are expected to: the progress told is
    // done_ of total_ + ahead_.
    int done_ = 0, total_ = 0, ahead_ = 0;
    void Announce(int hexes);
};

} // namespace zem::pg2
