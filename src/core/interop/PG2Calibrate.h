#pragma once
// What a paint program does to a piece as a whole, measured against the
// pieces the chosen tiles draw: a change of every colour (one monotone tone
// curve per channel) and a move by a pixel or two.

#include <QImage>
#include <QPoint>
#include <array>
#include <cstdint>
#include <vector>

namespace zem {

// Per channel (red, green, blue) and level seen in the pieces: the level
// the export drew.
struct ToneCurves {
    std::array<std::array<std::uint8_t, 256>, 3> back{};
    bool identity = true;
    double moved = 0; // how far the curves move a level seen, on average
    QRgb Undo(QRgb c) const {
        return qRgb(back[0][qRed(c)], back[1][qGreen(c)], back[2][qBlue(c)]);
    }
};

// Pairs of levels, drawn and seen, counted per channel.
class LevelPairs {
  public:
    LevelPairs() : counts_(size_t(3) * 256 * 256, 0) {}
    void Add(QRgb drawn, QRgb seen) {
        ++counts_[size_t(qRed(drawn)) * 256 + size_t(qRed(seen))];
        ++counts_[size_t(65536 + qGreen(drawn) * 256 + qGreen(seen))];
        ++counts_[size_t(131072 + qBlue(drawn) * 256 + qBlue(seen))];
    }
    // Per channel the median level seen for each level drawn, made
    // monotone, and its inverse. Identity when the levels seen hardly stray
    // or the curves take back little of it.
    ToneCurves Curves() const;

  private:
    std::vector<std::uint32_t> counts_;
};

// The inverse of a rising curve f (level drawn to level seen): for each
// level seen, the middle of the levels drawn that f brings nearest to it.
std::array<std::uint8_t, 256> Inverse(const std::array<double, 256>& f);

// The changes of every colour a paint program offers, as curves that take
// them back: brightness up and down by 4 to 16 levels, gamma 0.8 to 1.25,
// contrast 10 % less to 10 % more.
std::vector<ToneCurves> PaintChanges();

// How far the picture `seen` (640x480, RGB32) has moved against `drawn`
// (same size; `stride` pixels a row): the (dx, dy) within 2 pixels for
// which seen(x, y) is nearest to drawn(x - dx, y - dy), or (0, 0) unless
// that move is clearly nearer than none.
QPoint PieceShift(const QImage& seen, const QRgb* drawn, int stride);

} // namespace zem
