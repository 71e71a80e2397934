#include "map/MapFile.h"
#include "files/SafeFile.h"
#include "files/SetJournal.h"
#include "map/DataLine.h"

#include <QFile>

namespace zem {

// "%3d ": right-aligned in at least three characters, then a blank. Written
// by hand: a whole 80 by 80 map is 204,800 numbers.
static void PutField(QByteArray& line, int v) {
    char digits[12];
    int n = 0;
    unsigned u = v < 0 ? 0u - unsigned(v) : unsigned(v);
    do {
        digits[n++] = char('0' + u % 10);
        u /= 10;
    } while (u);
    if (v < 0) digits[n++] = '-';
    for (int pad = n; pad < 3; ++pad)
        line += ' ';
    while (n)
        line += digits[--n];
    line += ' ';
}

static void AppendCellLine(QByteArray& line, const MapCell& c) {
    PutField(line, c.bmp);
    PutField(line, c.TT1);
    PutField(line, c.TT2);
    PutField(line, c.TT3);
    PutField(line, c.RC);
    PutField(line, c.PL);
    PutField(line, c.E2);
    PutField(line, c.E3);
    for (auto v : c.extra)
        PutField(line, v);
    line += '\n';
}

QByteArray CellLine(const MapCell& c) {
    QByteArray line;
    line.reserve(160);
    AppendCellLine(line, c);
    return line;
}

QByteArray MapFileText(const HexMap& map, int x1, int y1, int x2, int y2) {
    QByteArray out;
    out.reserve(std::max(0, (x2 - x1 + 1) * (y2 - y1 + 1)) * 130 + 4096);
    out += ";This is a map file for the ZEM system\n";
    out += ";Hexes across (x)\n";
    out += QByteArray::number(x2 - x1 + 1) + '\n';
    out += ";Hexes up/down (y)\n";
    out += QByteArray::number(y2 - y1 + 1) + '\n';
    out += ";bmp TT1 TT2 TT3  RC  PL  E2  E3\n";
    for (int y = y1; y <= y2; ++y) {
        out += ";Row " + QByteArray::number(y) + '\n';
        for (int x = x1; x <= x2; ++x) {
            if (x % 10 == 0) out += ";x=" + QByteArray::number(x) + '\n';
            AppendCellLine(out, map.Cell(x, y));
        }
    }
    return out;
}

QByteArray MapFileText(const HexMap& map) {
    return MapFileText(map, 0, 0, map.MapWidth - 1, map.MapHeight - 1);
}

bool ParseCellLine(const QByteArray& line, MapCell& cell) {
    int values[32];
    int pos = FirstField(line);
    for (int i = 0; i < 32; ++i) {
        if (pos >= line.size()) return false;
        int p = pos, v = 0;
        values[i] = ScanInt(line, p, v) ? v : 0;
        pos = NextField(line, pos);
    }
    cell.bmp = std::int16_t(values[0]);
    cell.TT1 = std::uint8_t(values[1]);
    cell.TT2 = std::uint8_t(values[2]);
    cell.TT3 = std::uint8_t(values[3]);
    cell.RC = std::int16_t(values[4]);
    cell.PL = std::int16_t(values[5]);
    cell.E2 = std::int16_t(values[6]);
    cell.E3 = std::int16_t(values[7]);
    for (int i = 0; i < 24; ++i)
        cell.extra[size_t(i)] = std::int16_t(values[8 + i]);
    return true;
}

Result<MapFileData> ReadMapFile(QIODevice& file, const QString& name, int minSize) {
    DataLineReader r(file);
    const int w = LeadingInt(r.Next());
    const int h = LeadingInt(r.Next());
    // The size bounds every loop below: at most 80 x 80 cell lines are read.
    if (w < minSize || w > MaxMapSize || h < minSize || h > MaxMapSize)
        return FileFault(
            name,
            QStringLiteral("the map size %1x%2 lies outside %3..80").arg(w).arg(h).arg(minSize));
    MapFileData data;
    data.width = w;
    data.height = h;
    data.cells.resize(size_t(w * h));
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            const QByteArray line = r.Next();
            if (line.isEmpty())
                return FileFault(
                    name,
                    QStringLiteral("the file ends before the cell of hex %1,%2").arg(x).arg(y));
            if (!ParseCellLine(line, data.cells[size_t(y * w + x)]))
                return FileFault(
                    name,
                    QStringLiteral("line %1: the line of hex %2,%3 holds fewer than 32 numbers")
                        .arg(r.Line())
                        .arg(x)
                        .arg(y));
        }
    return data;
}

Result<MapFileData> ReadMapFile(const QString& path, int minSize) {
    RecoverFileSetsBeside(path); // a set of files a killed run left beside it is put right
    QFile f;
    if (Status opened = OpenRegularFile(f, path); !opened) return opened.Fault();
    return ReadMapFile(f, path, minSize);
}

void ApplyMapFile(const MapFileData& data, HexMap& map) {
    map.MapWidth = data.width;
    map.MapHeight = data.height;
    for (int y = 0; y < data.height; ++y)
        for (int x = 0; x < data.width; ++x)
            map.Cell(x, y) = data.At(x, y);
    map.ViewOrigin = {0, 0};
}

Status SaveFileSafely(const QString& path, const QByteArray& bytes) {
    return WriteFileSafely(path, bytes);
}

Status SaveFileSafely(const QString& path, const std::function<QString(QIODevice&)>& write) {
    return WriteFileSafely(path, write);
}

} // namespace zem
