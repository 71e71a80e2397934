#include "interop/PG2Import.h"
#include "edit/EditorState.h"
#include "files/DataPath.h"
#include "files/RegularFile.h"
#include "files/SetJournal.h"
#include "map/HexLayout.h"
#include "pictures/PictureRead.h"

#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <algorithm>
#include <optional>

namespace zem {

namespace {

int U16(const QByteArray& b, int at) {
    return quint8(b[at]) | quint8(b[at + 1]) << 8;
}

// N of "MapN.map", as the export names the file (a negative number too).
std::optional<int> FileNumber(const QString& path) {
    static const QRegularExpression re(QStringLiteral("^map(-?\\d{1,9})\\.map$"),
                                       QRegularExpression::CaseInsensitiveOption);
    const QRegularExpressionMatch m = re.match(QFileInfo(path).fileName());
    if (!m.hasMatch()) return std::nullopt;
    return m.captured(1).toInt();
}

// The pieces carry N of the file's name; a file named otherwise, the
// header's number.
std::optional<int> PieceNumber(const QString& path, const QByteArray& head) {
    if (const std::optional<int> n = FileNumber(path)) return n;
    if (head.size() < 2) return std::nullopt;
    return U16(head, 0);
}

Failure SizeFault(const QString& name, qint64 size) {
    return FileFault(name, QStringLiteral("a Panzer General 2 map file is %1 bytes, this one is %2")
                               .arg(PG2MapFileSize)
                               .arg(size));
}

Failure PieceFault(const QString& name, QSize size) {
    return FileFault(name, QStringLiteral("the piece is %1x%2 pixels, not 640x480")
                               .arg(size.width())
                               .arg(size.height()));
}

// A map file of the export's size whose header gives 44x39 hexes.
Status CheckMapFile(const QString& name, const QByteArray& bytes) {
    if (bytes.size() != PG2MapFileSize) return SizeFault(name, bytes.size());
    if (U16(bytes, 2) != PG2Width || U16(bytes, 4) != PG2Height)
        return FileFault(name, QStringLiteral("the map is %1x%2 hexes; only 44x39 maps are read")
                                   .arg(U16(bytes, 2))
                                   .arg(U16(bytes, 4)));
    return {};
}

// The twelve pieces of map `number`: from the folder named, else beside the
// map file.
QStringList PiecePaths(const QString& path, const PG2ImportOptions& opt, int number) {
    if (!opt.pieces.isEmpty()) return opt.pieces;
    const QDir dir = opt.piecesDir.isEmpty() ? QFileInfo(path).dir() : QDir(opt.piecesDir);
    QStringList names;
    for (int i = 0; i < 12; ++i)
        names << PG2PieceName(number, i / 4, i % 4);
    return DataPaths(names, dir);
}

// The first bytes of a map file, empty when it cannot be read.
QByteArray Head(const QString& path) {
    QFile f;
    return OpenRegular(f, path).isEmpty() ? f.read(2) : QByteArray();
}

// For each terrain byte the first tile of the catalogue with it; -1: none.
// A number without a catalogue line is no tile.
std::array<int, 256> TerrainTiles(const TileCatalogue& cat) {
    std::array<int, 256> first;
    first.fill(-1);
    for (int t = MaxTiles - 1; t >= 0; --t) {
        const TileRecord& r = cat.records[size_t(t)];
        if (r.image > 0) first[size_t(r.TT3 & 0xFF)] = t;
    }
    return first;
}

// The first tile of the catalogue; -1: none.
int FirstTile(const TileCatalogue& cat) {
    for (int t = 0; t < MaxTiles; ++t)
        if (cat.records[size_t(t)].image > 0) return t;
    return -1;
}

// Exact only where the pieces' own colours are given: after a calibration
// every hex is at best the nearest.
HexFit Fit(const PG2HexMatch& m, bool calibrated) {
    if (m.doubtful) return HexFit::Unsure;
    return m.differing == 0 && !calibrated ? HexFit::Exact : HexFit::Nearest;
}

// "1 px right, 2 px up"
QString Moved(QPoint d) {
    QStringList parts;
    if (d.x())
        parts << QStringLiteral("%1 px %2").arg(std::abs(d.x())).arg(d.x() > 0 ? "right" : "left");
    if (d.y())
        parts << QStringLiteral("%1 px %2").arg(std::abs(d.y())).arg(d.y() > 0 ? "down" : "up");
    return parts.join(QStringLiteral(", "));
}

const QString CancelledText = QStringLiteral("the import was cancelled");

} // namespace

bool PG2Cancelled(const Failure& f) {
    return f.message.endsWith(CancelledText);
}

int PG2Import::Count(HexFit f) const {
    return int(std::count(fits.begin(), fits.end(), f));
}

std::vector<HexPos> PG2Import::Unsure() const {
    std::vector<HexPos> out;
    for (int i = 0; i < int(fits.size()); ++i)
        if (fits[size_t(i)] == HexFit::Unsure) out.push_back({i % PG2Width, i / PG2Width});
    return out;
}

QString PG2Import::Summary() const {
    QString text;
    if (!withPieces) {
        text = QStringLiteral("%1: %2 hexes, tiles from the terrain byte alone (no pieces read); "
                              "%3 unsure (no tile has their terrain byte)")
                   .arg(name)
                   .arg(PG2Hexes)
                   .arg(Count(HexFit::Unsure));
    } else {
        text = QStringLiteral("%1: %2 hexes, %3 exact, %4 nearest, %5 unsure; ")
                   .arg(name)
                   .arg(PG2Hexes)
                   .arg(Count(HexFit::Exact))
                   .arg(Count(HexFit::Nearest))
                   .arg(Count(HexFit::Unsure));
        text += differingPixels == 0
                    ? QStringLiteral("its export gives the same pieces")
                    : QStringLiteral("its export differs from the pieces in %1 pixels of %2 hexes")
                          .arg(differingPixels)
                          .arg(differingHexes.size());
        if (calibrated) text += QStringLiteral("; the pieces' colours were calibrated");
        QStringList moved;
        for (int i = 0; i < 12; ++i)
            if (const QPoint d = shifts[size_t(i)]; !d.isNull())
                moved << QStringLiteral("%1 %2").arg(PG2PieceName(pieceNumber, i / 4, i % 4),
                                                     Moved(d));
        if (!moved.isEmpty())
            text +=
                QStringLiteral("; moved pieces, taken back: ") + moved.join(QStringLiteral(", "));
    }
    if (unkeptBytes > 0)
        text += QStringLiteral("; %1 bytes of the map file are not kept").arg(unkeptBytes);
    return text;
}

QByteArray PG2Import::Report() const {
    QByteArray out = ";Unsure hexes of " + name.toUtf8() + "\n;column row tile next margin\n";
    for (const HexPos h : Unsure()) {
        const PG2HexMatch& m = matches[size_t(h.y * PG2Width + h.x)];
        out += QString::asprintf("%d %d %d %d %lld\n", h.x, h.y, int(map.Cell(h.x, h.y).bmp),
                                 m.next, m.margin)
                   .toLatin1();
    }
    return out;
}

Result<PG2Import> ImportPG2(const QString& name, const QByteArray& bytes,
                            const std::vector<QImage>& pieces, const TileCatalogue& cat,
                            const TileImages& images, const PG2ImportOptions& opt) {
    if (Status st = CheckMapFile(name, bytes); !st) return st.Fault();
    const int firstTile = FirstTile(cat);
    if (firstTile < 0)
        return FileFault(opt.catalogueName, QStringLiteral("the catalogue has no tiles"));
    const bool withPieces = !opt.noPieces && !pieces.empty();
    const int number = *PieceNumber(name, bytes); // the header was read
    if (withPieces)
        for (int i = 0; i < 12; ++i) {
            const QString piece = PG2PieceName(number, i / 4, i % 4);
            if (i >= int(pieces.size()))
                return FileFault(piece, QStringLiteral("the piece is missing"));
            if (pieces[size_t(i)].size() != QSize(PG2PieceWidth, PG2PieceHeight))
                return PieceFault(piece, pieces[size_t(i)].size());
        }

    PG2Import imp;
    imp.name = QFileInfo(name).fileName();
    imp.mapNumber = U16(bytes, 0);
    imp.pieceNumber = number;
    imp.withPieces = withPieces;
    imp.map.MapWidth = PG2Width;
    imp.map.MapHeight = PG2Height;
    std::array<std::uint8_t, PG2Hexes> tt3{};
    for (int y = 0; y < PG2Height; ++y)
        for (int x = 0; x < PG2RowRecords; ++x) {
            const int at = PG2HeaderSize + (PG2RowRecords * y + x) * PG2RecordSize;
            if (x < PG2Width) tt3[size_t(y * PG2Width + x)] = quint8(bytes[at]);
            imp.map.Cell(x, y).RC = quint8(bytes[at + 2]);
            imp.map.Cell(x, y).TT3 = quint8(bytes[at]);
        }
    imp.matches.resize(PG2Hexes);
    if (withPieces) {
        std::optional<PG2Matching> matched = MatchPG2Pieces(pieces, tt3, cat, images, opt.control);
        if (!matched) return FileFault(imp.name, CancelledText);
        imp.matches = std::move(matched->hexes);
        imp.shifts = matched->shifts;
        imp.calibrated = matched->calibrated;
        // The pieces drawn again from the tiles chosen, as the export draws
        // them: the pixels that differ.
        imp.differingPixels = matched->differingPixels;
        imp.differingHexes = std::move(matched->differingHexes);
    }
    const std::array<int, 256> byTerrain = withPieces ? std::array<int, 256>{} : TerrainTiles(cat);
    for (int i = 0; i < PG2Hexes; ++i) {
        PG2HexMatch& m = imp.matches[size_t(i)];
        HexFit fit = Fit(m, imp.calibrated);
        if (!withPieces) {
            const int t = byTerrain[tt3[size_t(i)]];
            m.tile = t >= 0 ? t : firstTile;
            fit = t >= 0 ? HexFit::Terrain : HexFit::Unsure;
        }
        const int x = i % PG2Width, y = i / PG2Width;
        PlaceTile(imp.map, cat, x, y, m.tile);
        imp.map.Cell(x, y).TT3 = tt3[size_t(i)]; // the map file's, not the tile's
        imp.fits.push_back(fit);
    }
    const QByteArray again = PG2MapBytes(imp.map, imp.mapNumber);
    for (int i = 0; i < PG2MapFileSize; ++i)
        imp.unkeptBytes += again[i] != bytes[i];
    return imp;
}

Result<PG2Import> ImportPG2(const QString& path, const TileCatalogue& cat, const TileImages& images,
                            const PG2ImportOptions& opt) {
    RecoverFileSetsBeside(path); // an export killed part-way beside it is put right
    QFile f;
    if (Status opened = OpenRegularFile(f, path); !opened) return opened.Fault();
    if (f.size() != PG2MapFileSize) return SizeFault(path, f.size());
    const QByteArray bytes = f.read(PG2MapFileSize + 1);
    if (Status st = CheckMapFile(path, bytes); !st) return st.Fault();
    std::vector<QImage> pieces;
    if (!opt.noPieces)
        for (const QString& piece : PiecePaths(path, opt, *PieceNumber(path, bytes))) {
            bool missing = false;
            if (const QString fault = ReadFault(piece, &missing); !fault.isEmpty())
                return FileFault(piece, missing ? QStringLiteral("the piece is missing") : fault,
                                 true);
            Result<QImage> read = ReadPicture(piece);
            if (!read) return read.Fault();
            if (read->size() != QSize(PG2PieceWidth, PG2PieceHeight))
                return PieceFault(piece, read->size());
            pieces.push_back(std::move(read.Value()));
        }
    return ImportPG2(path, bytes, pieces, cat, images, opt);
}

QStringList PG2ImportInputs(const QString& path, const PG2ImportOptions& opt) {
    const std::optional<int> number = PieceNumber(path, Head(path));
    return QStringList{path} + (number ? PiecePaths(path, opt, *number) : QStringList());
}

QString MissingPG2Piece(const QString& path, const PG2ImportOptions& opt) {
    const QStringList files = PG2ImportInputs(path, opt);
    for (qsizetype i = 1; i < files.size(); ++i) {
        bool missing = false;
        ReadFault(files[i], &missing);
        if (missing) return files[i];
    }
    return {};
}

void ApplyPG2Import(const PG2Import& imp, HexMap& map) {
    map.MapWidth = PG2Width;
    map.MapHeight = PG2Height;
    for (int y = 0; y < PG2Height; ++y)
        for (int x = 0; x < PG2RowRecords; ++x)
            map.Cell(x, y) = imp.map.Cell(x, y);
    map.ViewOrigin = {0, 0};
}

} // namespace zem
