#pragma once
// The map as a Tiled map (TMX): a staggered hexagonal map whose visible
// layers show the tiles and the hex frames as the map view draws them, and
// whose hidden layers and properties hold every other value of the map.

#include "files/Result.h"
#include "map/HexMap.h"
#include "map/TileCatalogue.h"
#include "render/TileImages.h"

#include <QByteArray>
#include <QString>
#include <utility>
#include <vector>

namespace zem {

struct TmxFiles {
    QByteArray tmx;
    // The pictures, by their names relative to the map file.
    std::vector<std::pair<QString, QByteArray>> pictures;
};

// The map file and its pictures for a map file named `baseName`.tmx.
TmxFiles MakeTmx(const HexMap& map, const TileCatalogue& cat, const TileImages& images,
                 const QString& baseName);

// Writes the map to `path` and its pictures beside it (NAME-tiles.png,
// NAME-frame.png, NAME-terrain.png, NAME-roads.png) as one set: all five
// replace what was there, or on a failure none is touched. Through a link
// the pictures go beside the file the link names.
Status ExportTmx(const HexMap& map, const TileCatalogue& cat, const TileImages& images,
                 const QString& path);

} // namespace zem
