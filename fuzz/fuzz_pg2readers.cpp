// The game map's readers. The first byte chooses: even, the rest is a map
// file, read with its tiles taken from the terrain byte; odd, the rest is a
// piece. A map file accepted is 14561 bytes with a 44x39 header, and the
// export writes it again but for the bytes the import says it does not
// keep; a piece accepted but not 640x480 is refused by the import naming
// it; every refusal names its file.

#include "FuzzPG2.h"
#include "pictures/PictureRead.h"

#include <QImageReader>

using namespace zem;

namespace {
fuzz::PG2Game* game = nullptr;
const QString MapName = QStringLiteral("Map67.map"), PieceName = QStringLiteral("map6700.bmp");
} // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    QImageReader::setAllocationLimit(16); // as for the sketch
    game = new fuzz::PG2Game;
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (!game) LLVMFuzzerInitialize(nullptr, nullptr);
    if (size < 1) return 0;
    fuzz::Input in(data + 1, size - 1);
    if (data[0] % 2 == 0) {
        PG2ImportOptions opt;
        opt.noPieces = true;
        const Result<PG2Import> imp =
            ImportPG2(MapName, in.Bytes(), {}, game->cat, game->images, opt);
        if (!imp) {
            FUZZ_CHECK(fuzz::Names(imp.Message(), MapName));
            return 0;
        }
        const QByteArray& bytes = in.Bytes();
        FUZZ_CHECK(bytes.size() == PG2MapFileSize && bytes[2] == PG2Width && bytes[4] == PG2Height);
        FUZZ_CHECK(imp->map.MapWidth == PG2Width && imp->map.MapHeight == PG2Height);
        const QByteArray again = PG2MapBytes(imp->map, imp->mapNumber);
        int differ = 0;
        for (int i = 0; i < PG2MapFileSize; ++i)
            differ += again[i] != bytes[i];
        FUZZ_CHECK(differ == imp->unkeptBytes);
        FUZZ_CHECK(imp->Count(HexFit::Terrain) + imp->Count(HexFit::Unsure) == PG2Hexes);
        return 0;
    }
    const Result<QImage> piece = ReadPicture(in.Device(), PieceName);
    if (!piece) {
        FUZZ_CHECK(fuzz::Names(piece.Message(), PieceName));
        return 0;
    }
    if (piece->size() == QSize(PG2PieceWidth, PG2PieceHeight)) return 0; // matched elsewhere
    std::vector<QImage> pieces = game->pieces;
    pieces[0] = piece.Value();
    const Result<PG2Import> imp =
        ImportPG2(MapName, game->mapFile, pieces, game->cat, game->images);
    FUZZ_CHECK(!imp && imp.Message().startsWith(PieceName + QStringLiteral(": the piece is ")));
    return 0;
}
