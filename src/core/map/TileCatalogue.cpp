#include "map/TileCatalogue.h"
#include "map/DataLine.h"
#include "ui/DataPath.h"

#include <QFile>

namespace zem {

const TileRecord& TileCatalogue::Record(int t) const {
    static const TileRecord empty{};
    return IsTileNumber(t) ? records[size_t(t)] : empty;
}

int TileCatalogue::TileAt(int set, int n) const {
    if (set < 0 || set > MaxSets || n < 0 || n > MaxSetTiles) return 0;
    return SetTiles[size_t(set)][size_t(n)];
}

// A code without a name shows as its number, so the status line never
// shows text from outside the lists.
static QString NameOf(const std::array<QString, MaxNames>& names, int count, int code) {
    if (code >= 0 && code < count && code < MaxNames) return names[size_t(code)];
    return QString::number(code);
}
QString TileCatalogue::TT1Name(int code) const {
    return NameOf(TT1Names, TT1Count, code);
}
QString TileCatalogue::TT2Name(int code) const {
    return NameOf(TT2Names, TT2Count, code);
}

// A name runs up to the first blank, control or non-ASCII character.
static QString NameText(const QByteArray& line) {
    int n = 0;
    while (n < line.size() && static_cast<unsigned char>(line[n]) > 32 &&
           static_cast<unsigned char>(line[n]) < 128)
        ++n;
    return QString::fromLatin1(line.left(n));
}

static void ReadHeaderValue(QIODevice& f, int& value) {
    int pos = 0, v;
    if (ScanInt(ReadDataLine(f), pos, v)) value = v;
}

// Reads `count` name lines, keeping the first 32: the file stays in step
// even when it lists more names than the table holds.
static int ReadNames(QIODevice& f, std::array<QString, MaxNames>& names) {
    int count = 0;
    ReadHeaderValue(f, count);
    for (int i = 0; i < count; ++i) {
        QString name = NameText(ReadDataLine(f));
        if (i < MaxNames) names[size_t(i)] = name;
    }
    return std::clamp(count, 0, MaxNames);
}

void LoadMapset(QIODevice& f, TileCatalogue& cat) {
    ReadHeaderValue(f, cat.TileWidth);
    ReadHeaderValue(f, cat.ColumnStep);
    ReadHeaderValue(f, cat.TileHeight);
    ReadHeaderValue(f, cat.SetCount);
    // Picture sizes must make real bitmaps; a set count outside 1..12 is
    // clamped after its name lines are read, names past 12 are dropped.
    cat.TileWidth = std::clamp(cat.TileWidth, 1, 1000);
    cat.TileHeight = std::clamp(cat.TileHeight, 1, 1000);
    cat.ColumnStep = std::clamp(cat.ColumnStep, 1, 1000);
    for (int k = 1; k <= cat.SetCount; ++k) {
        QString name = NameText(ReadDataLine(f));
        if (k <= MaxSets) cat.SetNames[size_t(k)] = name;
    }
    cat.SetCount = std::clamp(cat.SetCount, 1, MaxSets);
    cat.TT1Count = ReadNames(f, cat.TT1Names);
    cat.TT2Count = ReadNames(f, cat.TT2Names);

    for (;;) {
        const QByteArray line = ReadDataLine(f);
        if (line.isEmpty()) break;
        const std::vector<int> v = ScanInts(line, 9);
        // A line that does not begin with a number (blank, text) is skipped,
        // as is one whose tile number or set the tables cannot hold, and a
        // 55th tile of a set: such a line changes nothing at all.
        if (v.empty()) continue;
        const int n = v[0];
        if (!TileCatalogue::IsTileNumber(n)) continue;
        TileRecord rec = cat.records[size_t(n)];
        int* fields[] = {nullptr,  &rec.set, &rec.image, &rec.TT1, &rec.TT2,
                         &rec.TT3, &rec.PL,  &rec.E2,    &rec.E3};
        for (size_t i = 1; i < v.size(); ++i)
            *fields[i] = v[i];
        const int s = rec.set;
        if (s < 0 || s > MaxSets || cat.SetSize[size_t(s)] >= MaxSetTiles) continue;
        const int pos = ++cat.SetSize[size_t(s)];
        rec.image = pos; // the third integer is not used: a set numbers its own tiles
        cat.SetTiles[size_t(s)][size_t(pos)] = n;
        cat.records[size_t(n)] = rec;
    }
}

Status LoadMapset(const QDir& dir, TileCatalogue& cat) {
    const QString path = DataPath(QStringLiteral("Mapset.txt"), dir);
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly | QIODevice::Text))
        return FileFault(path, f.errorString(), true);
    LoadMapset(f, cat);
    return {};
}

void SetCellTile(MapCell& cell, int t, const TileRecord& r) {
    cell.bmp = std::int16_t(t);
    cell.TT1 = std::uint8_t(r.TT1);
    cell.TT2 = std::uint8_t(r.TT2);
    cell.TT3 = std::uint8_t(r.TT3);
}

} // namespace zem
