#pragma once
// The tile catalogue "Mapset.txt": picture size, set names, terrain names,
// and for every tile number its set and the defaults a hex takes from it.

#include "files/Result.h"
#include "map/HexLayout.h"
#include "map/HexMap.h"

#include <QDir>
#include <QIODevice>
#include <QString>
#include <array>

namespace zem {

constexpr int MaxTiles = 648;
constexpr int MaxSets = 12;
constexpr int MaxSetTiles = 54;
constexpr int MaxNames = 32;
// The map places tiles 45 and 50 pixels apart whatever the catalogue says,
// so a picture much larger than a hex only covers its neighbours. 256 pixels
// a side keeps all 648 pictures under 170 MB.
constexpr int MaxTileSide = 256;

struct TileRecord {
    int set = 0;   // image list of the picture, 1..12; 0: no picture
    int image = 0; // 1-based position in the set
    int TT1 = 0, TT2 = 0, TT3 = 0;
    int PL = 0, E2 = 0, E3 = 0;
};

struct TileCatalogue {
    int TileWidth = HexLayout::TileWidth;
    int ColumnStep = HexLayout::ColumnStep;
    int TileHeight = HexLayout::TileHeight;
    int SetCount = 12;
    std::array<QString, MaxSets + 1> SetNames; // 1..12
    int TT1Count = 0;
    std::array<QString, MaxNames> TT1Names;
    int TT2Count = 0;
    std::array<QString, MaxNames> TT2Names;
    std::array<TileRecord, MaxTiles> records{};
    std::array<int, MaxSets + 1> SetSize{};
    std::array<std::array<int, MaxSetTiles + 1>, MaxSets + 1> SetTiles{};

    // The record of tile t; a number outside the catalogue has the empty
    // record (no picture, all defaults 0).
    const TileRecord& Record(int t) const;
    static bool IsTileNumber(int t) { return t >= 0 && t < MaxTiles; }
    // SetTiles[set][n], 0 for a slot outside the table.
    int TileAt(int set, int n) const;
    QString TT1Name(int code) const;
    QString TT2Name(int code) const;
};

// Reads a catalogue. Values the tables cannot hold are skipped or clamped as
// each comment in the reader says; nothing is written outside an array. A
// file without a single header number, one that ends inside its name lists,
// a tile size outside 1..256 or one without a tile line is refused, the
// message naming `name` and the file's line; `cat` then holds what was read
// before the fault.
Status LoadMapset(QIODevice& file, TileCatalogue& cat,
                  const QString& name = QStringLiteral("Mapset.txt"));
// "Mapset.txt" of the folder; Unopened when the file cannot be opened.
Status LoadMapset(const QDir& dir, TileCatalogue& cat);

// Shows tile t in a cell with the tile's terrain types (their low 8 bits);
// the callers decide what happens to the cell's values.
void SetCellTile(MapCell& cell, int t, const TileRecord& r);

} // namespace zem
