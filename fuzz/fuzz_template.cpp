// The terrain template reader. A template it accepts holds at most 64
// patterns, and a fixing pass with it leaves the map's outer ring alone and
// changes only fixable hexes, each to a nonzero tile one of its patterns
// lists.

#include "FuzzSupport.h"
#include "convert/TerrainFix.h"

#include <set>

using namespace zem;

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    return 0;
}

// Tiles 0..47 in sets 0..3 by turns.
static const TileCatalogue& Catalogue() {
    static const TileCatalogue cat = [] {
        TileCatalogue c;
        for (int t = 0; t < 48; ++t)
            c.records[size_t(t)].set = t % 4;
        return c;
    }();
    return cat;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    fuzz::Input in(data, size);
    Result<TerrainTemplate> read = LoadTerrainTemplate(in.Device(), QStringLiteral("coast.txt"));
    if (!read) {
        FUZZ_CHECK(fuzz::Names(read.Message(), QStringLiteral("coast.txt")));
        return 0;
    }
    const TerrainTemplate& t = read.Value();
    FUZZ_CHECK(t.patterns.size() <= size_t(MaxPatterns));
    std::set<int> replacements;
    for (const PatternEntry& e : t.patterns)
        for (int tile : e.tiles)
            replacements.insert(tile);

    // An 11 x 7 map of tiles 0..15 in a pattern the fixable tiles meet often,
    // in a grid filled the same way one hex beyond it. The maps are made once:
    // clearing 80 x 80 cells each run would cost more than the reading.
    static HexMap map;
    static const HexMap before = [] {
        HexMap m;
        m.MapWidth = 11;
        m.MapHeight = 7;
        for (int x = 0; x <= m.MapWidth; ++x)
            for (int y = 0; y <= m.MapHeight; ++y)
                m.Cell(x, y).bmp = std::int16_t((x * 3 + y * 5) % 16);
        return m;
    }();
    for (int x = 0; x <= before.MapWidth; ++x)
        for (int y = 0; y <= before.MapHeight; ++y)
            map.Cell(x, y) = before.Cell(x, y);
    map.MapWidth = before.MapWidth;
    map.MapHeight = before.MapHeight;
    Random rng{std::uint32_t(size)};
    FixTerrain(map, Catalogue(), t, rng);
    for (int x = 0; x <= map.MapWidth; ++x)
        for (int y = 0; y <= map.MapHeight; ++y) {
            const MapCell &now = map.Cell(x, y), &was = before.Cell(x, y);
            if (now == was) continue;
            FUZZ_CHECK(x >= 1 && y >= 1 && x <= map.MapWidth - 2 && y <= map.MapHeight - 2);
            FUZZ_CHECK(std::count(t.fixable.begin(), t.fixable.end(), was.bmp) > 0);
            FUZZ_CHECK(now.bmp != 0 && replacements.count(now.bmp) == 1);
            FUZZ_CHECK(now.RC == was.RC && now.PL == was.PL && now.extra == was.extra);
        }
    return 0;
}
