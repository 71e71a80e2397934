#pragma once
// Finding every hex's tile from the twelve pieces of a Panzer General 2
// export: the tiles whose drawing, strip by strip on the one canvas the
// export draws on, gives the pieces' pixels, or comes nearest to them.

#include "export/PG2Export.h"

#include <QImage>
#include <QPoint>
#include <array>
#include <atomic>
#include <cstdint>
#include <functional>
#include <optional>
#include <vector>

namespace zem {

constexpr int PG2Hexes = PG2Width * PG2Height;

struct PG2HexMatch {
    int tile = 0;          // the tile chosen
    int next = -1;         // the best tile that shows other pixels than it; -1: none within reach
    qint64 cost = 0;       // colour distance of the chosen tile over the hex's seen pixels
    qint64 margin = -1;    // how much further the next one lies; -1: no other candidate near
    int seen = 0;          // piece pixels that show the hex or what lies under its holes
    int differing = 0;     // of them, the pixels the chosen tile does not give exactly
    int apart = 0;         // of them, the pixels where the next one shows other colours
    bool doubtful = false; // the next one lies within the map's noise, or none looks like it
};

struct PG2Matching {
    std::vector<PG2HexMatch> hexes; // index y * 44 + x
    // Per piece in the export's order, how far it had moved (undone).
    std::array<QPoint, 12> shifts{};
    bool calibrated = false; // the pieces' colours were taken back by tone curves
    double noise = 0;        // the colour distance per seen pixel that the map's clear hexes reach
    // The pixels of the pieces that the tiles chosen, drawn as the export
    // draws them, do not give, and the hexes that show them (in the
    // export's order).
    qint64 differingPixels = 0;
    std::vector<HexPos> differingHexes;
};

// Told how many hexes were matched of how many, from the thread that
// matches; `cancel` set stops the matching without a result.
struct PG2MatchControl {
    std::function<void(int done, int total)> progress;
    const std::atomic<bool>* cancel = nullptr;
};

// `pieces`: the twelve 640x480 pieces in the export's order. `tt3`: every
// hex's terrain byte, index y * 44 + x, which decides between tiles that
// show the same pixels. Nothing when cancelled.
std::optional<PG2Matching> MatchPG2Pieces(const std::vector<QImage>& pieces,
                                          const std::array<std::uint8_t, PG2Hexes>& tt3,
                                          const TileCatalogue& cat, const TileImages& images,
                                          const PG2MatchControl& control = {});

} // namespace zem
