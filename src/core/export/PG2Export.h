#pragma once
// The Panzer General 2 export of a 44 by 39 map: twelve 640 by 480 bitmap
// pieces of the map picture and the binary map file.

#include "files/Result.h"
#include "map/HexMap.h"
#include "map/TileCatalogue.h"
#include "render/TileImages.h"

#include <QByteArray>
#include <QDir>
#include <QStringList>

namespace zem {

constexpr int PG2Width = 44;
constexpr int PG2Height = 39;
constexpr int PG2MapFileSize = 14561;

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
