#include "map/TileCatalogue.h"
#include "files/DataPath.h"
#include "map/DataLine.h"

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

// True when the line held a number.
static bool ReadHeaderValue(DataLineReader& r, int& value) {
    int pos = 0, v;
    if (!ScanInt(r.Next(), pos, v)) return false;
    value = v;
    return true;
}

static Failure LineFault(const QString& name, int line, const QString& what) {
    return FileFault(name, QStringLiteral("line %1: %2").arg(line).arg(what));
}

// Reads the `count` name lines counted on line `countLine`, keeping the
// first `keep`: the file stays in step even when it lists more names than the
// table holds. The loop stops at the end of the file, so it runs at most once
// per line of the file however large the count: a count of two billion in a
// short file ends at once with a refusal.
template <class Keep>
static Status ReadNameLines(DataLineReader& r, const QString& name, int count, int countLine,
                            Keep keep) {
    for (int i = 0; i < count; ++i) {
        const QByteArray line = r.Next();
        if (line.isEmpty())
            return LineFault(
                name, countLine,
                QStringLiteral("the file ends before the %1 names counted here").arg(count));
        keep(i, NameText(line));
    }
    return {};
}

static Status ReadTerrainNames(DataLineReader& r, const QString& name,
                               std::array<QString, MaxNames>& names, int& count) {
    count = 0;
    ReadHeaderValue(r, count);
    const Status read = ReadNameLines(r, name, count, r.Line(), [&](int i, const QString& text) {
        if (i < MaxNames) names[size_t(i)] = text;
    });
    count = std::clamp(count, 0, MaxNames);
    return read;
}

static Status CheckSide(const QString& name, int line, const char* what, int value) {
    if (value >= 1 && value <= MaxTileSide) return {};
    return LineFault(name, line,
                     QStringLiteral("the %1 %2 lies outside 1..%3")
                         .arg(QLatin1String(what))
                         .arg(value)
                         .arg(MaxTileSide));
}

Status LoadMapset(QIODevice& f, TileCatalogue& cat, const QString& name) {
    DataLineReader r(f);
    int numbers = 0, lines[3] = {};
    int* header[3] = {&cat.TileWidth, &cat.ColumnStep, &cat.TileHeight};
    for (int i = 0; i < 3; ++i) {
        numbers += ReadHeaderValue(r, *header[i]);
        lines[i] = r.Line();
    }
    numbers += ReadHeaderValue(r, cat.SetCount);
    if (numbers == 0)
        return FileFault(name,
                         QStringLiteral("not a tile catalogue: no header line holds a number"));
    if (Status s = CheckSide(name, lines[0], "tile width", cat.TileWidth); !s) return s;
    if (Status s = CheckSide(name, lines[1], "column step", cat.ColumnStep); !s) return s;
    if (Status s = CheckSide(name, lines[2], "tile height", cat.TileHeight); !s) return s;
    // A set count outside 1..12 is clamped after its name lines are read;
    // names past 12 are dropped.
    Status names = ReadNameLines(r, name, cat.SetCount, r.Line(), [&](int i, const QString& text) {
        if (i < MaxSets) cat.SetNames[size_t(i + 1)] = text;
    });
    cat.SetCount = std::clamp(cat.SetCount, 1, MaxSets);
    if (!names) return names;
    if (Status s = ReadTerrainNames(r, name, cat.TT1Names, cat.TT1Count); !s) return s;
    if (Status s = ReadTerrainNames(r, name, cat.TT2Names, cat.TT2Count); !s) return s;

    int tileLines = 0;
    for (;;) {
        const QByteArray line = r.Next();
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
        ++tileLines;
    }
    if (tileLines == 0) return FileFault(name, QStringLiteral("no tile line could be read"));
    return {};
}

Status LoadMapset(const QDir& dir, TileCatalogue& cat) {
    const QString path = DataPath(QStringLiteral("Mapset.txt"), dir);
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly)) return FileFault(path, f.errorString(), true);
    return LoadMapset(f, cat, path);
}

void SetCellTile(MapCell& cell, int t, const TileRecord& r) {
    cell.bmp = std::int16_t(t);
    cell.TT1 = std::uint8_t(r.TT1);
    cell.TT2 = std::uint8_t(r.TT2);
    cell.TT3 = std::uint8_t(r.TT3);
}

} // namespace zem
