#pragma once
// What the reader of a Tiled map gathers before it makes the map's cells.

#include "interop/TmxImport.h"
#include "map/TileCatalogue.h"

#include <QHash>
#include <array>
#include <map>
#include <optional>

namespace zem::tmx {

// The whole-number tile properties a layer of ours reads, by kind.
enum TileProperty { PropTile, PropCode, PropRoads, TilePropertyCount };
const QString& TilePropertyName(int kind);

struct TmxTileset {
    int firstGid = 0;
    QString name;
    int tileCount = 0;
    // Each tile id's properties of ours; nothing where a value is no number.
    QHash<int, std::array<std::optional<int>, TilePropertyCount>> tiles;
};

struct TmxParts {
    int width = 0, height = 0;
    std::map<int, TmxTileset> tilesets; // by firstgid
    std::map<QString, std::vector<std::uint32_t>> layers;
    std::map<QString, std::vector<int>> numbers; // the map properties of ours
};

// How many numbers the map property `name` may hold at most on a map of
// `cells` hexes; -1 for a property that is none of ours.
int PropertyCapacity(const QString& name, int cells);

// The map's cells from what was read: the layers, the properties, and for
// each hex whose tile was changed since the export, the catalogue's
// defaults for the new tile.
void BuildTmxMap(const TmxParts& parts, const TileCatalogue& cat, TmxMap& out);

} // namespace zem::tmx
