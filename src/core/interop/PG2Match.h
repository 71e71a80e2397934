#pragma once
// Finding every hex's tile from the twelve pieces of a Panzer General 2
// export: the tiles whose drawing, strip by strip on the one canvas the
// export draws on, gives the pieces' pixels, or comes nearest to them.

#include "export/PG2Export.h"

#include <QImage>
#include <array>
#include <cstdint>
#include <vector>

namespace zem {

constexpr int PG2Hexes = PG2Width * PG2Height;

struct PG2HexMatch {
    int tile = 0;       // the tile chosen
    int next = -1;      // the best tile that shows other pixels than it; -1: none
    qint64 cost = 0;    // colour distance of the chosen tile over the hex's seen pixels
    qint64 margin = -1; // how much further the next one lies; -1: no other candidate
    int seen = 0;       // piece pixels that show the hex or what lies under its holes
    int differing = 0;  // of them, the pixels the chosen tile does not give exactly
};

// `pieces`: the twelve 640x480 pieces in the export's order. `tt3`: every
// hex's terrain byte, index y * 44 + x, which decides between tiles that
// show the same pixels. The result is indexed the same way.
std::vector<PG2HexMatch> MatchPG2Pieces(const std::vector<QImage>& pieces,
                                        const std::array<std::uint8_t, PG2Hexes>& tt3,
                                        const TileCatalogue& cat, const TileImages& images);

} // namespace zem
