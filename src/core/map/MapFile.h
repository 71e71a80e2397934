#pragma once
// The ".zep" map file: text, the size, then one line of 32 numbers per hex,
// row by row. Section files are map files of a rectangle of hexes.

#include "files/Result.h"
#include "map/HexMap.h"

#include <QByteArray>
#include <QIODevice>
#include <QString>
#include <functional>
#include <vector>

namespace zem {

// The text of the rectangle x1..x2, y1..y2 (inclusive) of the grid, with
// the ";Row" and ";x=" comments carrying the grid's own coordinates. The
// caller keeps the rectangle inside the grid.
QByteArray MapFileText(const HexMap& map, int x1, int y1, int x2, int y2);
QByteArray MapFileText(const HexMap& map);
QByteArray CellLine(const MapCell& c);
// Reads one cell line; false when it holds fewer than 32 fields. A field
// that is not a number gives 0; values keep their low 8 or 16 bits.
bool ParseCellLine(const QByteArray& line, MapCell& cell);

// The cells of a map file, row by row.
struct MapFileData {
    int width = 0;
    int height = 0;
    std::vector<MapCell> cells;
    const MapCell& At(int x, int y) const { return cells[size_t(y * width + x)]; }
};

// Reads the whole file, or says what is wrong with it: a size outside
// minSize..80, too few cell lines, a cell line with too few numbers. `name`
// is the file's name for the message.
Result<MapFileData> ReadMapFile(QIODevice& file, const QString& name, int minSize = 1);
// The same from a file; one that cannot be opened is an Unopened failure
// with the system's reason, and a pipe is refused, never waited on. A set
// of files a killed run left in the file's folder is put right first.
Result<MapFileData> ReadMapFile(const QString& path, int minSize = 1);

// Sets the map's size and cells from the data and the view back to (0, 0).
void ApplyMapFile(const MapFileData& data, HexMap& map);

// Writes the file all or nothing, by the rules of WriteFileSafely: a
// failed save leaves the old file byte for byte; a target that is not a
// regular file, or that the user may not write, is refused unopened (an
// Unopened failure); a write that fails carries the system's words ("No
// space left on device").
Status SaveFileSafely(const QString& path, const QByteArray& bytes);
// The same with the file's bytes written by `write` into the open file; it
// returns the fault, empty when all went well, and a fault leaves no file.
Status SaveFileSafely(const QString& path, const std::function<QString(QIODevice&)>& write);

} // namespace zem
