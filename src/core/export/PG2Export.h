#pragma once
// The Panzer General 2 export of a 44 by 39 map: twelve 640 by 480 bitmap
// pieces of the map picture and the binary map file.

#include "files/Result.h"
#include "map/HexMap.h"
#include "map/TileCatalogue.h"
#include "render/TileImages.h"

#include <QByteArray>
#include <QColor>
#include <QDir>
#include <QStringList>

namespace zem {

constexpr int PG2Width = 44;
constexpr int PG2Height = 39;
constexpr int PG2MapFileSize = 14561;
// Every row of the map file carries one record more than the map is wide.
constexpr int PG2RowRecords = PG2Width + 1;
constexpr int PG2RecordSize = 7;
constexpr int PG2HeaderSize = 10;

// The pieces are cut from three strips drawn one after the other on one
// canvas that is filled green once: each strip draws its columns with the
// first at the canvas's left edge, over whatever the earlier strips left,
// and is cut from srcX.
struct PG2Strip {
    int firstCol, lastCol, srcX;
};
constexpr PG2Strip PG2Strips[3] = {{0, 15, 45}, {14, 29, 55}, {29, PG2Width - 1, 19}};
constexpr int PG2PieceWidth = 640, PG2PieceHeight = 480, PG2PieceTop = 23;
constexpr int PG2CanvasWidth = 700, PG2CanvasHeight = 1980;
constexpr QRgb PG2Green = 0xFF008000;

// "map%02d%d%d.bmp" for strip s and piece b.
QString PG2PieceName(int number, int strip, int piece);
QString PG2MapName(int number);
// The thirteen file names in the order they are written.
QStringList PG2FileNames(int number);

// The bytes of "Map%d.map".
QByteArray PG2MapBytes(const HexMap& map, int number);
// The twelve pieces, strip by strip, each top to bottom.
std::vector<QImage> PG2Pieces(const HexMap& map, const TileCatalogue& cat,
                              const TileImages& images);

// Writes the thirteen files into `dir`: all to temporary names, then, when
// every target is absent or a regular file, renamed into place. The map must
// be 44 by 39. A failure names the file and leaves the folder as it was.
Status ExportPG2(const HexMap& map, const TileCatalogue& cat, const TileImages& images, int number,
                 const QDir& dir);

} // namespace zem
