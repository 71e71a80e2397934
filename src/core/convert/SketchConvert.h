#pragma once
// Drafting a map from a sketch bitmap: each colour of the colour table
// "Gmap.txt" stands for a terrain with three tiles to choose from.

#include "files/Result.h"
#include "map/HexMap.h"
#include "map/TileCatalogue.h"
#include "pictures/Bitmap.h"
#include "runtime/Random.h"

#include <QDir>
#include <QIODevice>
#include <array>

namespace zem {

constexpr int MaxColours = 32;

struct ColourEntry {
    Colour colour = 0;
    std::array<int, 3> tiles{};
};

struct ColourTable {
    int N = 0;
    std::array<ColourEntry, MaxColours> entries{};
};

// Reads a colour table. A count outside 1..32, a missing line, a line
// without three numbers, a colour outside 0..255 or a tile number outside
// the catalogue is refused, the message naming the file and the line.
Result<ColourTable> LoadColourTable(QIODevice& file, const QString& name);
// "Gmap.txt" of the folder; a missing file is an Unopened failure.
Result<ColourTable> LoadColourTable(const QDir& dir);

// The first table colour with the smallest Manhattan distance.
int NearestColour(const ColourTable& table, Colour c);

// The map size a sketch gives at `pixelsPerHex`, each side at most 80.
QSize SketchMapSize(QSize sketch, int pixelsPerHex);

// Writes every hex of the map from the vote of the 3 x 3 pixels at the
// top-left of its block. A sample outside the sketch has no vote; a hex
// without votes keeps its contents.
void ConvertSketch(HexMap& map, const TileCatalogue& cat, Random& rng, const ColourTable& table,
                   const QImage& sketch, int pixelsPerHex);

} // namespace zem
