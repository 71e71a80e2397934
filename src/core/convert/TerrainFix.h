#pragma once
// Terrain fixing: tiles that must fit their surroundings (coasts above all)
// are replaced by the variant that fits the pattern of their six neighbours.

#include "files/Result.h"
#include "map/HexMap.h"
#include "map/TileCatalogue.h"
#include "runtime/Random.h"

#include <QByteArray>
#include <QIODevice>
#include <array>
#include <vector>

namespace zem {

constexpr int MaxPatterns = 64;

struct PatternEntry {
    QByteArray word; // an empty word ends the list
    std::array<int, 3> tiles{};
};

struct TerrainTemplate {
    std::array<int, 8> fixable{};
    std::array<int, 3> xsets{};
    std::vector<PatternEntry> patterns;
};

// Reads a template; a first or second line with too few numbers is
// refused, the message naming the file and the line.
Result<TerrainTemplate> LoadTerrainTemplate(QIODevice& file, const QString& name);
// The same from a file; one that cannot be opened is an Unopened failure.
Result<TerrainTemplate> LoadTerrainTemplate(const QString& path);

bool IsFixableTile(const HexMap& map, const TerrainTemplate& tmpl, int x, int y);
// Six letters, X or O, for the neighbours upper left, above, upper right,
// lower right, below, lower left. The hex must have all six on the grid.
QByteArray NeighbourPattern(const HexMap& map, const TileCatalogue& cat,
                            const TerrainTemplate& tmpl, int x, int y);
// One of the first matching entry's three tiles at random; 0 when no entry
// matches before the list ends.
int FindPatternTile(const TerrainTemplate& tmpl, const QByteArray& word, Random& rng);

// Columns x0..x1 and rows y0..y1 of the map, corners included; empty when
// x0 > x1 or y0 > y1.
struct FixRegion {
    int x0 = 0, y0 = 0, x1 = -1, y1 = -1;
    bool Empty() const { return x0 > x1 || y0 > y1; }
    bool operator==(const FixRegion&) const = default;
};
// The part of `r` that a pass over the whole map examines: every hex but
// the outer ring, so each has all six neighbours on the map.
FixRegion Examined(const HexMap& map, FixRegion r);

// One pass over the map, skipping its outer ring; replacements take effect
// at once for the hexes after them.
void FixTerrain(HexMap& map, const TileCatalogue& cat, const TerrainTemplate& tmpl, Random& rng);
// The same pass over the examined hexes of `region` only: rows from the
// top, each from the left, in place, with the same random picks.
void FixTerrain(HexMap& map, const TileCatalogue& cat, const TerrainTemplate& tmpl, Random& rng,
                FixRegion region);

} // namespace zem
