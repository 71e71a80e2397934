#pragma once
// Reading back a Tiled map written by the TMX export, also after Tiled has
// opened and saved it: any layer data encoding Tiled writes, tilesets
// renumbered, properties reordered; other layers and properties are left
// aside. A hex painted over with another tile in Tiled gets the tile's
// terrain codes and values from the catalogue, as placing it in the editor
// does, but for the terrain codes painted in Tiled too.

#include "files/Result.h"
#include "map/HexMap.h"
#include "map/MapFile.h"
#include "map/TileCatalogue.h"

#include <QDir>
#include <QIODevice>
#include <QString>
#include <utility>
#include <vector>

namespace zem {

struct TmxMap {
    MapFileData data;
    // The cells of the grid outside the map that the file carries.
    std::vector<std::pair<HexPos, MapCell>> outside;
};

// Files larger than this are refused unread.
constexpr qint64 MaxTmxFileSize = 32 * 1024 * 1024;

// Reads the map at `path`: the map, or one line naming the file and the
// fault.
Result<TmxMap> ImportTmx(const QString& path, const TileCatalogue& cat);
// The same from an open device; tileset pictures and external tilesets are
// looked for in `dir`. The fault is returned without a file name.
QString ReadTmx(QIODevice& file, const QDir& dir, const TileCatalogue& cat, TmxMap& out);

// Sets the map's size, its cells and the cells outside it that the file
// carries, and the view back to (0, 0).
void ApplyTmxMap(const TmxMap& tmx, HexMap& map);

} // namespace zem
