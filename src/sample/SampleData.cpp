#include "sample/SampleData.h"
#include "convert/SketchConvert.h"
#include "convert/TerrainFix.h"
#include "files/SafeFile.h"
#include "map/MapFile.h"
#include "tools/Roads.h"

#include "pictures/Bitmap.h"
#include "sample/TilePainter.h"
#include <QBuffer>

#include <QFileInfo>
#include <cmath>
#include <functional>

namespace zem::sample {

std::vector<QString> SetNames() {
    return {"Clear",     "Sea",   "CoastA", "CoastB", "Forest", "Hills",
            "Mountains", "Swamp", "Desert", "Towns",  "Rivers", "Roads"};
}

std::vector<QString> TT1Names() {
    return {"None",  "Clear",  "Sea",  "Coast", "Forest", "Hills", "Mountain",
            "Swamp", "Desert", "Town", "River", "Road",   "Rough", "Fields"};
}

std::vector<QString> TT2Names() {
    return {"None", "Road", "River", "Rail"};
}

int CoastTile(int pattern) {
    return pattern <= 32 ? 19 + pattern : 60 + pattern - 33;
}

QString PatternWord(int pattern) {
    QString w;
    for (int i = 0; i < 6; ++i)
        w += (pattern & (1 << i)) ? QLatin1Char('X') : QLatin1Char('O');
    return w;
}

// Direction bits of rivers and roads follow the hex edges: upper-left,
// above, upper-right, lower-right, below, lower-left.
static std::vector<int> EdgePairs() {
    std::vector<int> v;
    for (int i = 0; i < 6; ++i)
        for (int j = i + 1; j < 6; ++j)
            v.push_back((1 << i) | (1 << j));
    return v;
}

std::vector<SampleTile> Tiles() {
    std::vector<SampleTile> t;
    auto add = [&t](int n, int set, Look look, int variant, int tt1, int tt2, int pl, int e2) {
        t.push_back({n, set, look, variant, tt1, tt2, tt1, pl, e2, 0});
    };
    for (int i = 0; i < 4; ++i)
        add(1 + i, 1, Look::Clear, i, 1, 0, 1, 0);
    for (int i = 0; i < 3; ++i)
        add(5 + i, 1, Look::Rough, i, 12, 0, 2, 0);
    for (int i = 0; i < 3; ++i)
        add(8 + i, 1, Look::Fields, i, 13, 0, 1, 0);
    for (int i = 0; i < 3; ++i)
        add(11 + i, 2, Look::Sea, i, 2, 0, 0, 0);
    for (int p = 1; p <= 63; ++p)
        add(CoastTile(p), p <= 32 ? 3 : 4, Look::Coast, p, 3, 0, 0, 0);
    for (int i = 0; i < 6; ++i)
        add(100 + i, 5, Look::Forest, i, 4, 0, 2, 0);
    for (int i = 0; i < 6; ++i)
        add(110 + i, 6, Look::Hills, i, 5, 0, 2, 0);
    for (int i = 0; i < 6; ++i)
        add(120 + i, 7, Look::Mountains, i, 6, 0, 3, 0);
    for (int i = 0; i < 5; ++i)
        add(130 + i, 8, Look::Swamp, i, 7, 0, 3, 0);
    for (int i = 0; i < 6; ++i)
        add(140 + i, 9, Look::Desert, i, 8, 0, 1, 0);
    for (int i = 0; i < 8; ++i)
        add(150 + i, 10, Look::Town, i, 9, 0, 1, 1);
    std::vector<int> rivers = EdgePairs();
    rivers.insert(rivers.end(), {0x2A, 0x15, 0x3F});
    for (size_t i = 0; i < rivers.size(); ++i)
        add(160 + int(i), 11, Look::River, rivers[i], 10, 2, 2, 0);
    std::vector<int> roads = EdgePairs();
    roads.insert(roads.end(), {0x2A, 0x15, 0x02, 0x10, 0x3F});
    for (size_t i = 0; i < roads.size(); ++i)
        add(180 + int(i), 12, Look::Road, roads[i], 11, 1, 1, 0);
    return t;
}

QByteArray MapsetText() {
    QByteArray out;
    out += ";Tile catalogue of the ZEM Map sample workspace\n";
    out += ";Tile width\n60\n;Column step\n45\n;Tile height\n50\n;Tile sets\n12\n";
    for (const QString& n : SetNames())
        out += n.toLatin1() + '\n';
    out += ";Terrain type 1 names\n" + QByteArray::number(int(TT1Names().size())) + '\n';
    for (const QString& n : TT1Names())
        out += n.toLatin1() + '\n';
    out += ";Terrain type 2 names: 1 marks road hexes\n" +
           QByteArray::number(int(TT2Names().size())) + '\n';
    for (const QString& n : TT2Names())
        out += n.toLatin1() + '\n';
    out += ";tile set pos TT1 TT2 TT3 PL E2 E3\n";
    std::vector<int> pos(13, 0);
    for (const SampleTile& t : Tiles())
        out += QString::asprintf("%d %d %d %d %d %d %d %d %d\n", t.number, t.set,
                                 ++pos[size_t(t.set)], t.TT1, t.TT2, t.TT3, t.PL, t.E2, t.E3)
                   .toLatin1();
    return out;
}

// Sea, clear, forest, hills and roads: the sketch's five colours.
static const int SketchColours[5][3] = {
    {0, 0, 255}, {128, 255, 128}, {0, 128, 0}, {160, 120, 60}, {128, 128, 128}};

QByteArray GmapText() {
    return ";Colour table of the sample sketch\n"
           "5\n"
           ";red green blue: sea, clear, forest, hills, roads\n"
           "0 0 255\n128 255 128\n0 128 0\n160 120 60\n128 128 128\n"
           ";three tiles for each colour, in the same order\n"
           "11 12 13\n1 2 3\n100 101 102\n110 111 112\n199 199 199\n";
}

QByteArray CoastTemplateText() {
    QByteArray out;
    out += ";Coast template: sea hexes become the coast that fits their land neighbours\n";
    out += ";fixable tiles (the sea)\n11 12 13 11 11 11 11 11\n";
    out += ";tile sets that count as land (X)\n1 5 6\n";
    out += ";neighbours: upper left, above, upper right, lower right, below, lower left\n";
    for (int p = 1; p <= 63; ++p) {
        const int t = CoastTile(p);
        out += QString::asprintf("%s %d %d %d\n", qPrintable(PatternWord(p)), t, t, t).toLatin1();
    }
    return out;
}

// 0 sea, 1 clear, 2 forest, 3 hills, 4 road for hex (x, y) of the 44 by 39
// sketch. The roads cross the main island inland, away from the coast.
static int SketchTerrain(int x, int y) {
    if ((y == 20 && x >= 10 && x <= 32) || (x == 22 && y >= 11 && y <= 29)) return 4;
    auto inside = [](double x, double y, double cx, double cy, double rx, double ry) {
        const double dx = (x - cx) / rx, dy = (y - cy) / ry;
        return dx * dx + dy * dy <= 1.0;
    };
    const double wobble = 0.12 * std::sin(x * 0.9) * std::cos(y * 0.7);
    const bool land = inside(x, y, 22, 20, 15 + 15 * wobble, 12) || inside(x, y, 9, 8, 4.5, 3.5) ||
                      inside(x, y, 35, 7, 4, 3);
    const bool bay = inside(x, y, 30, 30, 4, 3);
    if (!land || bay) return 0;
    if (inside(x, y, 16, 16, 5, 4) || inside(x, y, 9, 8, 2, 1.5)) return 2;
    if (inside(x, y, 28, 22, 5, 4)) return 3;
    return 1;
}

QImage Sketch() {
    QImage img(440, 390, QImage::Format_RGB32);
    for (int y = 0; y < 39; ++y)
        for (int x = 0; x < 44; ++x) {
            const int* c = SketchColours[SketchTerrain(x, y)];
            for (int j = 0; j < 10; ++j)
                for (int i = 0; i < 10; ++i)
                    img.setPixel(10 * x + i, 10 * y + j, qRgb(c[0], c[1], c[2]));
        }
    return img;
}

// Writes a sample file where nothing lies yet: a file already there, the
// user's own edit or not, is never touched.
static QString Put(const QString& path, const std::function<QByteArray()>& bytes) {
    const QFileInfo there(path);
    if (there.exists() || there.isSymLink()) return {};
    const Status written = WriteFileSafely(path, bytes());
    return written ? QString() : written.Message();
}

static QString PutImage(const QString& path, const std::function<QImage()>& img) {
    return Put(path, [&] { return EncodeImage(img(), "BMP"); });
}

QString WriteWorkspace(const QDir& dir) {
    // The pictures go below the workspace, never through a link to a folder
    // elsewhere.
    if (QFileInfo(dir.filePath("tilbmp")).isSymLink())
        return QStringLiteral("%1 is a symbolic link; the sample pictures are not written "
                              "through it")
            .arg(dir.filePath("tilbmp"));
    if (!dir.mkpath(QStringLiteral("tilbmp")))
        return QStringLiteral("cannot make %1").arg(dir.path());
    QStringList errors;
    errors << Put(dir.filePath("Mapset.txt"), MapsetText);
    errors << Put(dir.filePath("Gmap.txt"), GmapText);
    errors << Put(dir.filePath("coast.txt"), CoastTemplateText);
    errors << PutImage(dir.filePath("sketch.bmp"), Sketch);
    const QDir tiles(dir.filePath("tilbmp"));
    for (const SampleTile& t : Tiles())
        errors << PutImage(tiles.filePath(QString::asprintf("til%04d.bmp", t.number)),
                           [&t] { return PaintTile(t); });
    errors << PutImage(tiles.filePath("til0000.bmp"), PaintFrame);
    errors << PutImage(tiles.filePath("tilmark.bmp"), PaintMark);
    for (int t = 1; t < int(TT1Names().size()); ++t)
        errors << PutImage(tiles.filePath(QString::asprintf("str%03d.bmp", t)),
                           [t] { return PaintStratTile(t); });
    errors << Put(dir.filePath("sample.zep"), [&dir] { return SampleMapText(dir); });
    errors.removeAll(QString());
    return errors.isEmpty() ? QString() : errors.first();
}

// The sample island: the sketch converted at 10 pixels per hex with the
// colour table, the coasts fixed with the template, the roads connected; a
// fixed seed makes the same map every time.
QByteArray SampleMapText(const QDir& dir) {
    TileCatalogue cat;
    QByteArray mapset = MapsetText();
    QBuffer catBuf(&mapset);
    catBuf.open(QIODevice::ReadOnly);
    if (!LoadMapset(catBuf, cat)) return {};
    QByteArray gmap = GmapText(), coast = CoastTemplateText();
    QBuffer gmapBuf(&gmap), coastBuf(&coast);
    gmapBuf.open(QIODevice::ReadOnly);
    coastBuf.open(QIODevice::ReadOnly);
    const Result<ColourTable> table = LoadColourTable(gmapBuf, dir.filePath("Gmap.txt"));
    const Result<TerrainTemplate> tmpl = LoadTerrainTemplate(coastBuf, dir.filePath("coast.txt"));
    if (!table || !tmpl) return {};
    const QImage sketch = Sketch();
    Random rng(7);
    HexMap map;
    const QSize size = SketchMapSize(sketch.size(), 10);
    map.MapWidth = size.width();
    map.MapHeight = size.height();
    ConvertSketch(map, cat, rng, table.Value(), sketch, 10);
    FixTerrain(map, cat, tmpl.Value(), rng);
    MakeRoadConnections(map);
    return MapFileText(map);
}

} // namespace zem::sample
