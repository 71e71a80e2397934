// The whole game map import against a catalogue of five tiles. The input
// is split into a map file and one piece; the other eleven pieces are those
// of a sound export. Byte 0 names the piece replaced, bytes 1 and 2 the
// length of the map file, byte 3 after how many reports of progress the
// import is cancelled (0: never). An import accepted counts every hex once,
// lists each unsure hex in its report, gives every hex a tile of the
// catalogue, and when it finds every hex exact its export gives the pieces;
// a cancelled one gives no map; a refusal names its file.

#include "FuzzPG2.h"
#include "pictures/PictureRead.h"

#include <QFile>
#include <QImageReader>

using namespace zem;

namespace {

fuzz::PG2Game* game = nullptr;

QByteArray Encoded(const QImage& img, const char* format, int quality = -1) {
    QByteArray bytes;
    QBuffer buf(&bytes);
    buf.open(QIODevice::WriteOnly);
    img.save(&buf, format, quality);
    return bytes;
}

// The seeds, from the export of the harness's map: each piece once as it
// is (as PNG, small enough to mutate), saved as JPEG, moved by a pixel,
// darker; an import cancelled; and for the readers the map file and pieces
// of the kinds a paint program writes.
void WriteSeeds(const QDir& dir) {
    auto put = [&](const QString& name, int slot, const QByteArray& piece, int cancelAfter = 0) {
        QByteArray head(4, '\0');
        head[0] = char(slot);
        head[1] = char(game->mapFile.size() & 0xFF);
        head[2] = char(game->mapFile.size() >> 8);
        head[3] = char(cancelAfter);
        QFile f(dir.filePath(QStringLiteral("pg2import/") + name));
        if (f.open(QIODevice::WriteOnly)) f.write(head + game->mapFile + piece);
    };
    dir.mkpath(QStringLiteral("pg2import"));
    dir.mkpath(QStringLiteral("pg2readers"));
    put(QStringLiteral("clean"), 0, Encoded(game->pieces[0], "PNG"));
    put(QStringLiteral("jpeg"), 5, Encoded(game->pieces[5], "JPEG", 75));
    QImage moved = game->pieces[9].copy(-1, 0, PG2PieceWidth, PG2PieceHeight);
    put(QStringLiteral("moved"), 9, Encoded(moved, "PNG"));
    QImage dark = game->pieces[3].convertToFormat(QImage::Format_RGB32);
    for (int y = 0; y < dark.height(); ++y)
        for (int x = 0; x < dark.width(); ++x)
            dark.setPixel(x, y, QColor(dark.pixel(x, y)).darker(110).rgb());
    put(QStringLiteral("darker"), 3, Encoded(dark, "PNG"));
    put(QStringLiteral("cancelled"), 11, Encoded(game->pieces[11], "PNG"), 3);
    auto reader = [&](const QString& name, char kind, const QByteArray& bytes) {
        QFile f(dir.filePath(QStringLiteral("pg2readers/") + name));
        if (f.open(QIODevice::WriteOnly)) f.write(QByteArray(1, kind) + bytes);
    };
    reader(QStringLiteral("map"), 0, game->mapFile);
    reader(QStringLiteral("piece-png"), 1, Encoded(game->pieces[1], "PNG"));
    reader(QStringLiteral("piece-small-bmp"), 1,
           Encoded(game->pieces[1].copy(0, 0, 64, 48), "BMP"));
    reader(QStringLiteral("piece-cut-bmp"), 1,
           Encoded(game->pieces[1].copy(0, 0, 64, 48), "BMP").left(900));
    reader(QStringLiteral("piece-mono-bmp"), 1,
           Encoded(game->pieces[1].convertToFormat(QImage::Format_Mono), "BMP"));
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    QImageReader::setAllocationLimit(16);
    game = new fuzz::PG2Game;
    if (qEnvironmentVariableIsSet("ZEM_PG2_SEEDS"))
        WriteSeeds(QDir(qEnvironmentVariable("ZEM_PG2_SEEDS")));
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (!game) LLVMFuzzerInitialize(nullptr, nullptr);
    if (size < 4) return 0;
    const int slot = data[0] % 12, cancelAfter = data[3];
    const size_t length = std::min(size - 4, size_t(data[1] | data[2] << 8));
    const QByteArray mapFile(reinterpret_cast<const char*>(data + 4), qsizetype(length));
    fuzz::Input in(data + 4 + length, size - 4 - length);
    const QString piece = PG2PieceName(67, slot / 4, slot % 4);
    std::vector<QImage> pieces = game->pieces;
    if (in.Bytes().size() > 0) {
        const Result<QImage> read = ReadPicture(in.Device(), piece);
        if (!read) {
            FUZZ_CHECK(fuzz::Names(read.Message(), piece));
            return 0;
        }
        pieces[size_t(slot)] = read.Value();
    }
    std::atomic<bool> cancel = false;
    int reports = 0;
    PG2ImportOptions opt;
    opt.control.cancel = &cancel;
    opt.control.progress = [&](int done, int total) {
        FUZZ_CHECK(done >= 0 && done <= total);
        if (++reports == cancelAfter) cancel = true;
    };
    const Result<PG2Import> imp =
        ImportPG2(QStringLiteral("Map67.map"), mapFile, pieces, game->cat, game->images, opt);
    if (!imp) {
        FUZZ_CHECK(PG2Cancelled(imp.Fault())
                       ? cancel.load()
                       : fuzz::Names(imp.Message(), QStringLiteral("Map67.map")) ||
                             fuzz::Names(imp.Message(), piece));
        return 0;
    }
    FUZZ_CHECK(!cancel);
    FUZZ_CHECK(imp->Count(HexFit::Exact) + imp->Count(HexFit::Nearest) +
                   imp->Count(HexFit::Unsure) ==
               PG2Hexes);
    FUZZ_CHECK(imp->Report().count('\n') == 2 + imp->Count(HexFit::Unsure));
    for (int y = 0; y < PG2Height; ++y)
        for (int x = 0; x < PG2Width; ++x)
            FUZZ_CHECK(imp->map.Cell(x, y).bmp >= 0 && imp->map.Cell(x, y).bmp < MaxTiles);
    const bool moved =
        std::any_of(imp->shifts.begin(), imp->shifts.end(), [](QPoint d) { return !d.isNull(); });
    if (imp->Count(HexFit::Exact) == PG2Hexes && !moved) FUZZ_CHECK(imp->differingPixels == 0);
    return 0;
}
