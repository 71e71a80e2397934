#pragma once
// The spray can: a random mix of three tiles over a square of hexes.

#include "map/HexMap.h"
#include "map/TileCatalogue.h"
#include "runtime/Random.h"

#include <array>

namespace zem {

struct SpraySettings {
    int size = 3;
    int density = 25;
    std::array<int, 3> picks{1, 2, 3};
};

// One hex: a first draw modulo 100 against the density; only a hit takes a
// second draw, whose value modulo 3 chooses the pick. A pick that is no tile
// number of the catalogue leaves the hex as it was.
void SprayHex(HexMap& map, const TileCatalogue& cat, Random& rng, const SpraySettings& s, int x,
              int y);
// The square around (x, y) cut to the map, column by column, each column
// top to bottom.
void SprayAround(HexMap& map, const TileCatalogue& cat, Random& rng, const SpraySettings& s, int x,
                 int y);
// Every hex of the map, row by row.
void SprayWholeMap(HexMap& map, const TileCatalogue& cat, Random& rng, const SpraySettings& s);

} // namespace zem
