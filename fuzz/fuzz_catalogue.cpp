// The catalogue reader. A catalogue it accepts holds only values its tables
// can hold: sizes within 1..256, 1..12 sets, at most 32 names per list, at
// most 54 tiles per set, every listed tile a tile number whose record points
// back at its slot, and at least one tile.

#include "FuzzSupport.h"
#include "map/TileCatalogue.h"

using namespace zem;

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    return 0;
}

static bool PlainName(const QString& name) {
    for (QChar c : name)
        if (c.unicode() <= 32 || c.unicode() >= 128) return false;
    return true;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    fuzz::Input in(data, size);
    TileCatalogue cat;
    const Status read = LoadMapset(in.Device(), cat, QStringLiteral("Mapset.txt"));
    if (!read) {
        FUZZ_CHECK(fuzz::Names(read.Message(), QStringLiteral("Mapset.txt")));
        return 0;
    }
    for (int side : {cat.TileWidth, cat.ColumnStep, cat.TileHeight})
        FUZZ_CHECK(side >= 1 && side <= MaxTileSide);
    FUZZ_CHECK(cat.SetCount >= 1 && cat.SetCount <= MaxSets);
    FUZZ_CHECK(cat.TT1Count >= 0 && cat.TT1Count <= MaxNames);
    FUZZ_CHECK(cat.TT2Count >= 0 && cat.TT2Count <= MaxNames);
    for (const QString& n : cat.SetNames)
        FUZZ_CHECK(PlainName(n));
    for (int i = 0; i < MaxNames; ++i)
        FUZZ_CHECK(PlainName(cat.TT1Names[size_t(i)]) && PlainName(cat.TT2Names[size_t(i)]));

    int tiles = 0;
    for (int s = 0; s <= MaxSets; ++s) {
        const int count = cat.SetSize[size_t(s)];
        FUZZ_CHECK(count >= 0 && count <= MaxSetTiles);
        tiles += count;
        FUZZ_CHECK(cat.SetTiles[size_t(s)][0] == 0);
        for (int n = 1; n <= MaxSetTiles; ++n) {
            const int t = cat.TileAt(s, n);
            if (n > count) {
                FUZZ_CHECK(t == 0);
                continue;
            }
            FUZZ_CHECK(TileCatalogue::IsTileNumber(t));
        }
    }
    FUZZ_CHECK(tiles >= 1);
    for (int t = 0; t < MaxTiles; ++t) {
        const TileRecord& r = cat.Record(t);
        FUZZ_CHECK(r.set >= 0 && r.set <= MaxSets);
        FUZZ_CHECK(r.image >= 0 && r.image <= cat.SetSize[size_t(r.set)]);
        // The slot a tile was given holds it, unless a later line for the
        // same tile number gave it another.
        if (r.image > 0) FUZZ_CHECK(cat.TileAt(r.set, r.image) == t);
    }
    FUZZ_CHECK(cat.Record(-1).set == 0 && cat.Record(MaxTiles).set == 0);
    return 0;
}
