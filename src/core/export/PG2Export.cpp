#include "export/PG2Export.h"
#include "files/SafeFile.h"
#include "map/HexLayout.h"
#include "map/MapFile.h"
#include "pictures/RowEncoders.h"

#include <QPainter>

namespace zem {

QString PG2PieceName(int number, int strip, int piece) {
    return QString::asprintf("map%02d%d%d.bmp", number, strip, piece);
}

QString PG2MapName(int number) {
    return QString::asprintf("Map%d.map", number);
}

QStringList PG2FileNames(int number) {
    QStringList names;
    for (int s = 0; s < 3; ++s)
        for (int b = 0; b < 4; ++b)
            names << PG2PieceName(number, s, b);
    names << PG2MapName(number);
    return names;
}

QByteArray PG2MapBytes(const HexMap& map, int number) {
    QByteArray out;
    out.reserve(PG2MapFileSize);
    auto put16 = [&out](int v) {
        out += char(v & 0xFF);
        out += char((v >> 8) & 0xFF);
    };
    put16(number);
    put16(map.MapWidth);
    put16(map.MapHeight);
    out += QByteArray(4, '\0');
    const int rows = std::clamp(map.MapHeight, 0, MaxMapSize);
    for (int y = 0; y < rows; ++y)
        for (int x = 0; x <= PG2Width; ++x) {
            // Column 44 lies beyond the map; it comes from the grid.
            const MapCell& c = map.Cell(x, y);
            const char rec[7] = {char(c.TT3), 0, char(c.RC & 0xFF), 0, 0, 0, 0};
            out.append(rec, 7);
        }
    if (out.size() < 12610) out += QByteArray(12610 - out.size(), '\0');
    static const char marker[8] = {0x01, 0x55, 0x01, 0x0C, 0x04, 0x01, 0x00, 0x0E};
    out.append(marker, 8);
    out += QByteArray(1943, '\0');
    return out;
}

namespace {

QImage StripCanvas() {
    QImage canvas(PG2CanvasWidth, PG2CanvasHeight, QImage::Format_RGB32);
    canvas.fill(PG2Green); // once: later strips draw over earlier ones
    return canvas;
}

void DrawStrip(const PixelRows& canvas, const PG2Strip& s, const HexMap& map,
               const TileCatalogue& cat, const TileImages& images) {
    for (int y = 0; y < PG2Height; ++y)
        for (int c = s.firstCol; c <= s.lastCol; ++c)
            DrawTile(canvas, cat, images, map.Cell(c, y).bmp, HexLayout::Left(c - s.firstCol),
                     HexLayout::Top(y, c));
}

QRect PieceRect(const PG2Strip& s, int b) {
    return {s.srcX, PG2PieceTop + PG2PieceHeight * b, PG2PieceWidth, PG2PieceHeight};
}

} // namespace

std::vector<QImage> PG2Pieces(const HexMap& map, const TileCatalogue& cat,
                              const TileImages& images) {
    QImage canvas = StripCanvas();
    std::vector<QImage> pieces;
    for (const PG2Strip& s : PG2Strips) {
        DrawStrip(PixelRows::Of(canvas), s, map, cat, images);
        for (int b = 0; b < 4; ++b)
            pieces.push_back(canvas.copy(PieceRect(s, b)));
    }
    return pieces;
}

Status ExportPG2(const HexMap& map, const TileCatalogue& cat, const TileImages& images, int number,
                 const QDir& dir) {
    const QStringList names = PG2FileNames(number);
    // Each piece's file bytes come straight from the canvas rows. All
    // thirteen go to temporary names first and replace the old set only
    // together: a game folder never holds half of one map and half of another.
    QImage canvas = StripCanvas();
    const PixelRows rows = PixelRows::Of(canvas);
    QByteArray bytes;
    FileSet files;
    for (int s = 0; s < 3; ++s) {
        DrawStrip(rows, PG2Strips[s], map, cat, images);
        for (int b = 0; b < 4; ++b) {
            EncodeBmp(rows, PieceRect(PG2Strips[s], b), bytes);
            if (Status st = files.Stage(dir.filePath(names[s * 4 + b]), bytes); !st) return st;
        }
    }
    if (Status st = files.Stage(dir.filePath(names[12]), PG2MapBytes(map, number)); !st) return st;
    return files.Commit();
}

} // namespace zem
