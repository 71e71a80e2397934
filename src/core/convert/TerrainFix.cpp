#include "convert/TerrainFix.h"
#include "map/DataLine.h"

#include <QFile>

namespace zem {

Result<TerrainTemplate> LoadTerrainTemplate(QIODevice& f, const QString& name) {
    TerrainTemplate t;
    DataLineReader r(f);
    const std::vector<int> fix = ScanInts(r.Next(), 8);
    if (fix.size() < 8)
        return FileFault(name,
                         QStringLiteral("line %1: the first line must hold eight tile numbers")
                             .arg(std::max(r.Line(), 1)));
    const std::vector<int> xs = ScanInts(r.Next(), 3);
    if (xs.size() < 3)
        return FileFault(name,
                         QStringLiteral("line %1: the second line must hold three tile set numbers")
                             .arg(r.Line()));
    std::copy(fix.begin(), fix.end(), t.fixable.begin());
    std::copy(xs.begin(), xs.end(), t.xsets.begin());
    while (int(t.patterns.size()) < MaxPatterns) {
        const QByteArray line = r.Next();
        if (line.isEmpty()) break;
        PatternEntry e;
        // "%s %d %d %d": the word runs to the first white space.
        const QByteArray trimmed = line.trimmed();
        int end = 0;
        while (end < trimmed.size() && static_cast<unsigned char>(trimmed[end]) > ' ')
            ++end;
        e.word = trimmed.left(end);
        const std::vector<int> v = ScanInts(trimmed.mid(end), 3);
        std::copy(v.begin(), v.end(), e.tiles.begin());
        t.patterns.push_back(e);
    }
    return t;
}

Result<TerrainTemplate> LoadTerrainTemplate(const QString& path) {
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly)) return FileFault(path, f.errorString(), true);
    return LoadTerrainTemplate(f, path);
}

bool IsFixableTile(const HexMap& map, const TerrainTemplate& tmpl, int x, int y) {
    const int bmp = map.Cell(x, y).bmp;
    return std::find(tmpl.fixable.begin(), tmpl.fixable.end(), bmp) != tmpl.fixable.end();
}

QByteArray NeighbourPattern(const HexMap& map, const TileCatalogue& cat,
                            const TerrainTemplate& tmpl, int x, int y) {
    const bool odd = x & 1;
    const HexPos order[6] = {{x - 1, odd ? y : y - 1}, {x, y - 1}, {x + 1, odd ? y : y - 1},
                             {x + 1, odd ? y + 1 : y}, {x, y + 1}, {x - 1, odd ? y + 1 : y}};
    QByteArray word(6, 'O');
    for (int i = 0; i < 6; ++i) {
        const HexPos n = order[i];
        if (!HexMap::InGrid(n.x, n.y)) continue;
        const int set = cat.Record(map.Cell(n.x, n.y).bmp).set;
        if (std::find(tmpl.xsets.begin(), tmpl.xsets.end(), set) != tmpl.xsets.end()) word[i] = 'X';
    }
    return word;
}

int FindPatternTile(const TerrainTemplate& tmpl, const QByteArray& word, Random& rng) {
    for (const PatternEntry& e : tmpl.patterns) {
        // The word slot holds seven letters: a longer word never matches.
        if (e.word.size() <= 7 && e.word == word) return e.tiles[size_t(rng.Next() % 3)];
        if (e.word.isEmpty()) return 0;
    }
    return 0;
}

FixRegion Examined(const HexMap& map, FixRegion r) {
    const int h = std::min(map.MapHeight, MaxMapSize), w = std::min(map.MapWidth, MaxMapSize);
    return {std::max(r.x0, 1), std::max(r.y0, 1), std::min(r.x1, w - 2), std::min(r.y1, h - 2)};
}

void FixTerrain(HexMap& map, const TileCatalogue& cat, const TerrainTemplate& tmpl, Random& rng) {
    FixTerrain(map, cat, tmpl, rng, {0, 0, MaxMapSize - 1, MaxMapSize - 1});
}

void FixTerrain(HexMap& map, const TileCatalogue& cat, const TerrainTemplate& tmpl, Random& rng,
                FixRegion region) {
    const FixRegion in = Examined(map, region);
    for (int y = in.y0; y <= in.y1; ++y)
        for (int x = in.x0; x <= in.x1; ++x) {
            if (!IsFixableTile(map, tmpl, x, y)) continue;
            const int t = FindPatternTile(tmpl, NeighbourPattern(map, cat, tmpl, x, y), rng);
            // 0 means no replacement; a number outside the catalogue is
            // never looked up.
            if (t == 0 || !TileCatalogue::IsTileNumber(t)) continue;
            const TileRecord& r = cat.records[size_t(t)];
            MapCell& c = map.Cell(x, y);
            SetCellTile(c, t, r);
            c.E2 = std::int16_t(r.E2);
            c.E3 = std::int16_t(r.E3);
        }
}

} // namespace zem
