// The Tiled map reader. The input is a map named m.tmx in a folder holding
// the pictures an export writes beside it, an external tileset m-roads.tsx
// and a pipe fifo.tsx. A map the reader accepts has a size within 1..80,
// writes to a map file that reads back to the same cells, and holds no
// tile number outside the catalogue but those listed as having no picture.

#include "FuzzSupport.h"
#include "interop/TmxFormat.h"
#include "interop/TmxImport.h"

#include <QImage>
#include <QTemporaryDir>
#include <sys/stat.h>

using namespace zem;

namespace {

QTemporaryDir* folder = nullptr;
TileCatalogue* catalogue = nullptr;

// The roads tileset of an export, as Tiled writes it to a file of its own.
QByteArray RoadTileset() {
    QByteArray t = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
                   "<tileset version=\"1.8\" name=\"roads\" tilewidth=\"60\" tileheight=\"53\" "
                   "tilecount=\"64\" columns=\"8\">\n"
                   " <image source=\"m-roads.png\" width=\"480\" height=\"424\"/>\n";
    for (int id = 0; id < 64; ++id) {
        int rc = 0;
        for (int b = 0; b < 6; ++b)
            if (id & (1 << b)) rc |= tmx::RoadTileBits[b];
        t += " <tile id=\"" + QByteArray::number(id) +
             "\"><properties><property name=\"roads\" type=\"int\" value=\"" +
             QByteArray::number(rc) + "\"/></properties></tile>\n";
    }
    return t + "</tileset>\n";
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    folder = new QTemporaryDir;
    const QDir dir(folder->path());
    for (const char* sheet : {"tiles", "frame", "terrain", "roads"}) {
        QImage img(60, 50, QImage::Format_ARGB32);
        img.fill(Qt::transparent);
        img.save(dir.filePath(QStringLiteral("m-%1.png").arg(sheet)), "PNG");
    }
    QFile tsx(dir.filePath(QStringLiteral("m-roads.tsx")));
    if (tsx.open(QIODevice::WriteOnly)) tsx.write(RoadTileset());
    // A tileset that is a pipe must be refused, never waited on.
    ::mkfifo(QFile::encodeName(dir.filePath(QStringLiteral("fifo.tsx"))).constData(), 0600);
    catalogue = new TileCatalogue;
    for (int t = 0; t < MaxTiles; ++t)
        catalogue->records[size_t(t)] = {1 + t % 12, 1 + t / 12, t % 14, t % 4,
                                         t % 256,    t % 5,      -t % 7, t % 3};
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (!folder) LLVMFuzzerInitialize(nullptr, nullptr);
    fuzz::Input in(data, size);
    TmxMap tmx;
    if (!ReadTmx(in.Device(), QDir(folder->path()), *catalogue, tmx).isEmpty()) return 0;
    const MapFileData& d = tmx.data;
    FUZZ_CHECK(d.width >= 1 && d.width <= MaxMapSize && d.height >= 1 && d.height <= MaxMapSize);
    FUZZ_CHECK(d.cells.size() == size_t(d.width * d.height));
    const bool listed = in.Bytes().contains(tmx::PropUnpictured.toLatin1());
    for (const MapCell& c : d.cells)
        FUZZ_CHECK(TileCatalogue::IsTileNumber(c.bmp) || listed);
    for (const auto& [at, cell] : tmx.outside)
        FUZZ_CHECK(HexMap::InGrid(at.x, at.y) && (at.x >= d.width || at.y >= d.height));

    static HexMap map; // made once: clearing 80 x 80 cells costs more than reading
    ApplyTmxMap(tmx, map);
    QByteArray text = MapFileText(map);
    QBuffer again(&text);
    again.open(QIODevice::ReadOnly);
    const Result<MapFileData> reread = ReadMapFile(again, QStringLiteral("again.zep"));
    FUZZ_CHECK(reread.Ok());
    FUZZ_CHECK(reread->width == d.width && reread->height == d.height);
    FUZZ_CHECK(reread->cells == d.cells);
    for (const auto& [at, cell] : tmx.outside)
        FUZZ_CHECK(map.Cell(at.x, at.y) == cell);
    return 0;
}
