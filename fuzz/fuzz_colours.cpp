// The colour table reader. A table it accepts holds 1..32 colours of 0..255
// per channel and tile numbers of the catalogue, and converting a sketch
// with it gives a map holding only tiles of the table.

#include "FuzzSupport.h"
#include "convert/SketchConvert.h"

#include <set>

using namespace zem;

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    return 0;
}

// A 27 x 24 sketch of many colours: nine hexes across, eight down at scale 3.
static const QImage& Sketch() {
    static const QImage img = [] {
        QImage i(27, 24, QImage::Format_RGB32);
        for (int y = 0; y < i.height(); ++y)
            for (int x = 0; x < i.width(); ++x)
                i.setPixel(x, y, qRgb((x * 37) & 255, (y * 53) & 255, ((x + y) * 91) & 255));
        return i;
    }();
    return img;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    fuzz::Input in(data, size);
    Result<ColourTable> read = LoadColourTable(in.Device(), QStringLiteral("Gmap.txt"));
    if (!read) {
        FUZZ_CHECK(fuzz::Names(read.Message(), QStringLiteral("Gmap.txt")));
        return 0;
    }
    const ColourTable& t = read.Value();
    FUZZ_CHECK(t.N >= 1 && t.N <= MaxColours);
    std::set<int> tiles;
    for (int i = 0; i < t.N; ++i) {
        FUZZ_CHECK(t.entries[size_t(i)].colour <= 0xFFFFFFu);
        for (int tile : t.entries[size_t(i)].tiles) {
            FUZZ_CHECK(TileCatalogue::IsTileNumber(tile));
            tiles.insert(tile);
        }
    }

    static const TileCatalogue cat;
    static HexMap map;
    map.MapWidth = 9;
    map.MapHeight = 8;
    for (int x = 0; x <= map.MapWidth; ++x)
        for (int y = 0; y <= map.MapHeight; ++y)
            map.Cell(x, y) = MapCell{.bmp = -1};
    Random rng{std::uint32_t(size)};
    ConvertSketch(map, cat, rng, t, Sketch(), 3);
    for (int x = 0; x <= map.MapWidth; ++x)
        for (int y = 0; y <= map.MapHeight; ++y) {
            const MapCell& c = map.Cell(x, y);
            if (!map.OnMap(x, y)) {
                FUZZ_CHECK(c.bmp == -1);
                continue;
            }
            FUZZ_CHECK(tiles.count(c.bmp) == 1);
            FUZZ_CHECK(c.RC == 0 && c.PL == 0 && c.E2 == 0 && c.E3 == 0);
        }
    return 0;
}
