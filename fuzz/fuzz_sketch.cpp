// The sketch loader. A picture it accepts converts, through a three-colour
// table, to a map holding only the table's tiles; a refusal names the file
// and prints nothing.

#include "FuzzSupport.h"
#include "convert/SketchConvert.h"
#include "pictures/PictureRead.h"

#include <QImageReader>

using namespace zem;

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    // Decoding a picture of the toolkit's full 256 MB takes a good part of a
    // second; the fuzzer learns nothing from the size, only from the parsing.
    QImageReader::setAllocationLimit(16);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    fuzz::Input in(data, size);
    Result<QImage> read = ReadPicture(in.Device(), QStringLiteral("sketch.bmp"));
    if (!read) {
        FUZZ_CHECK(fuzz::Names(read.Message(), QStringLiteral("sketch.bmp")));
        return 0;
    }
    const QImage& sketch = read.Value();
    FUZZ_CHECK(!sketch.isNull());

    static const ColourTable table = [] {
        ColourTable t;
        t.N = 3;
        t.entries[0] = {RGBColour(0, 0, 255), {5, 6, 7}};
        t.entries[1] = {RGBColour(0, 128, 0), {12, 12, 13}};
        t.entries[2] = {RGBColour(255, 255, 255), {20, 21, 22}};
        return t;
    }();
    static const TileCatalogue cat;
    static HexMap map; // made once: clearing 80 x 80 cells costs more than decoding
    const QSize hexes = SketchMapSize(sketch.size(), 3);
    FUZZ_CHECK(hexes.width() <= MaxMapSize && hexes.height() <= MaxMapSize);
    map.MapWidth = hexes.width();
    map.MapHeight = hexes.height();
    Random rng{std::uint32_t(size)};
    ConvertSketch(map, cat, rng, table, sketch, 3);
    for (int x = 0; x < map.MapWidth; ++x)
        for (int y = 0; y < map.MapHeight; ++y) {
            const int bmp = map.Cell(x, y).bmp;
            FUZZ_CHECK((bmp >= 5 && bmp <= 7) || bmp == 12 || bmp == 13 ||
                       (bmp >= 20 && bmp <= 22));
            map.Cell(x, y) = MapCell{};
        }
    return 0;
}
