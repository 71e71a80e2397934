// The map file reader. A map it accepts is written back by the writer, and
// that text reads back to the same cells and writes to the same bytes.

#include "FuzzSupport.h"
#include "map/MapFile.h"

using namespace zem;

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    fuzz::Input in(data, size);
    Result<MapFileData> read = ReadMapFile(in.Device(), QStringLiteral("fuzz.zep"));
    if (!read) {
        FUZZ_CHECK(fuzz::Names(read.Message(), QStringLiteral("fuzz.zep")));
        return 0;
    }
    const MapFileData& d = read.Value();
    FUZZ_CHECK(d.width >= 1 && d.width <= MaxMapSize && d.height >= 1 && d.height <= MaxMapSize);
    FUZZ_CHECK(d.cells.size() == size_t(d.width * d.height));

    static HexMap map, second; // made once: clearing 80 x 80 cells costs more than reading
    ApplyMapFile(d, map);
    QByteArray text = MapFileText(map);
    QBuffer again(&text);
    again.open(QIODevice::ReadOnly);
    Result<MapFileData> reread = ReadMapFile(again, QStringLiteral("again.zep"));
    FUZZ_CHECK(reread.Ok());
    FUZZ_CHECK(reread->width == d.width && reread->height == d.height);
    FUZZ_CHECK(reread->cells == d.cells);
    ApplyMapFile(reread.Value(), second);
    FUZZ_CHECK(MapFileText(second) == text);
    return 0;
}
