#include "convert/SketchConvert.h"
#include "files/DataPath.h"
#include "map/DataLine.h"

#include <QFile>
#include <QSize>

namespace zem {

static Failure LineError(const QString& name, int line, const QString& what) {
    return FileFault(name, QStringLiteral("line %1: %2").arg(line).arg(what));
}

Result<ColourTable> LoadColourTable(QIODevice& f, const QString& name) {
    ColourTable t;
    DataLineReader r(f);
    int pos = 0;
    // The count bounds the loop below: at most 64 more lines are read.
    if (!ScanInt(r.Next(), pos, t.N) || t.N < 1 || t.N > MaxColours)
        return LineError(name, std::max(r.Line(), 1),
                         QStringLiteral("the colour count must be a number from 1 to 32"));
    for (int i = 0; i < 2 * t.N; ++i) {
        const QByteArray text = r.Next();
        if (text.isEmpty())
            return LineError(name, r.Line(),
                             QStringLiteral("the file ends before the %1 lines the count asks for")
                                 .arg(2 * t.N));
        const std::vector<int> v = ScanInts(text, 3);
        const int line = r.Line();
        if (v.size() < 3) return LineError(name, line, QStringLiteral("three numbers expected"));
        ColourEntry& e = t.entries[size_t(i % t.N)];
        if (i < t.N) {
            for (int k : v)
                if (k < 0 || k > 255)
                    return LineError(name, line, QStringLiteral("colour values lie from 0 to 255"));
            e.colour = RGBColour(v[0], v[1], v[2]);
        } else {
            for (int k = 0; k < 3; ++k) {
                if (!TileCatalogue::IsTileNumber(v[size_t(k)]))
                    return LineError(name, line, QStringLiteral("tile numbers lie from 0 to 647"));
                e.tiles[size_t(k)] = v[size_t(k)];
            }
        }
    }
    return t;
}

Result<ColourTable> LoadColourTable(const QDir& dir) {
    const QString path = DataPath(QStringLiteral("Gmap.txt"), dir);
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly)) return FileFault(path, f.errorString(), true);
    return LoadColourTable(f, path);
}

int NearestColour(const ColourTable& table, Colour c) {
    const int r = c & 255, g = (c >> 8) & 255, b = (c >> 16) & 255;
    int best = 0, bestDist = 10000;
    for (int i = 0; i < table.N; ++i) {
        const Colour t = table.entries[size_t(i)].colour;
        const int d = std::abs(r - int(t & 255)) + std::abs(g - int((t >> 8) & 255)) +
                      std::abs(b - int((t >> 16) & 255));
        if (d < bestDist) {
            bestDist = d;
            best = i;
        }
    }
    return best;
}

QSize SketchMapSize(QSize sketch, int s) {
    if (s < 1) s = 1;
    return {std::min(sketch.width() / s, MaxMapSize), std::min(sketch.height() / s, MaxMapSize)};
}

void ConvertSketch(HexMap& map, const TileCatalogue& cat, Random& rng, const ColourTable& table,
                   const QImage& sketch, int s) {
    const int h = std::min(map.MapHeight, MaxMapSize), w = std::min(map.MapWidth, MaxMapSize);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            std::array<int, MaxColours> votes{};
            int total = 0;
            for (int i = 0; i < 3; ++i)
                for (int j = 0; j < 3; ++j) {
                    const int px = x * s + i, py = y * s + j;
                    if (px < 0 || py < 0 || px >= sketch.width() || py >= sketch.height()) continue;
                    ++votes[size_t(NearestColour(table, FromQRgb(sketch.pixel(px, py))))];
                    ++total;
                }
            if (total == 0 || table.N < 1) continue;
            int win = 0;
            for (int i = 1; i < table.N; ++i)
                if (votes[size_t(i)] > votes[size_t(win)]) win = i;
            const int t = table.entries[size_t(win)].tiles[size_t(rng.Next() % 3)];
            const TileRecord& r = cat.Record(t);
            MapCell& c = map.Cell(x, y);
            SetCellTile(c, t, r);
            c.RC = c.PL = c.E2 = c.E3 = 0;
        }
}

} // namespace zem
