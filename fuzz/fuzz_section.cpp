// The section reader and paste: a section the editor accepts (any size up
// to 80 by 80, empty included) is pasted at a point taken from the input,
// changing exactly the hexes it covers on the map, and a section written
// from that place reads back to the same cells.

#include "FuzzSupport.h"
#include "map/Sections.h"

using namespace zem;

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    return 0;
}

static MapCell Marker(int x, int y) {
    MapCell c;
    c.bmp = std::int16_t(1000 + x * 80 + y);
    c.E3 = -7;
    return c;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    fuzz::Input in(data, size);
    Result<MapFileData> read = ReadMapFile(in.Device(), QStringLiteral("fuzz.sec"), 0);
    if (!read) {
        FUZZ_CHECK(fuzz::Names(read.Message(), QStringLiteral("fuzz.sec")));
        return 0;
    }
    const MapFileData& s = read.Value();
    FUZZ_CHECK(s.width >= 0 && s.width <= MaxMapSize && s.height >= 0 && s.height <= MaxMapSize);
    FUZZ_CHECK(s.cells.size() == size_t(s.width * s.height));

    // A 30 by 25 map in a grid marked one hex beyond it; made once, as
    // clearing 80 x 80 cells each run would cost more than the reading.
    static const HexMap marked = [] {
        HexMap m;
        m.MapWidth = 30;
        m.MapHeight = 25;
        for (int x = 0; x <= m.MapWidth; ++x)
            for (int y = 0; y <= m.MapHeight; ++y)
                m.Cell(x, y) = Marker(x, y);
        return m;
    }();
    static HexMap map;
    for (int x = 0; x <= marked.MapWidth; ++x)
        for (int y = 0; y <= marked.MapHeight; ++y)
            map.Cell(x, y) = marked.Cell(x, y);
    map.MapWidth = marked.MapWidth;
    map.MapHeight = marked.MapHeight;
    // A paste point anywhere from 10 hexes before the map to beyond it.
    const HexPos at{int(size % 50) - 10, int((size / 50) % 45) - 10};
    PasteCells(s, at, map);
    FUZZ_CHECK(map.ViewOrigin == (HexPos{0, 0}));
    for (int x = 0; x <= map.MapWidth; ++x)
        for (int y = 0; y <= map.MapHeight; ++y) {
            const int j = x - at.x, i = y - at.y;
            const bool covered = map.OnMap(x, y) && j >= 0 && i >= 0 && j < s.width && i < s.height;
            FUZZ_CHECK(map.Cell(x, y) == (covered ? s.At(j, i) : Marker(x, y)));
        }

    if (s.width >= 2 && s.height >= 2 && at.x >= 0 && at.y >= 0 && at.x + s.width <= map.MapWidth &&
        at.y + s.height <= map.MapHeight) {
        QByteArray text;
        FUZZ_CHECK(SectionText(map, at, {at.x + s.width - 1, at.y + s.height - 1}, text));
        QBuffer again(&text);
        again.open(QIODevice::ReadOnly);
        Result<MapFileData> reread = ReadMapFile(again, QStringLiteral("again.sec"), 2);
        FUZZ_CHECK(reread.Ok() && reread->cells == s.cells);
    }
    return 0;
}
