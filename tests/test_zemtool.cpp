// zemtool as a user runs it: a process on a workspace, its files and its
// exit codes.

#include "TestSupport.h"
#include "convert/TerrainFix.h"
#include "export/PG2Export.h"
#include "map/MapFile.h"
#include "render/DrawMap.h"

#include <QBuffer>
#include <QFile>
#include <QProcess>

using namespace zem;
using namespace zem::test;

namespace {
Ran Tool(const QStringList& args, const QString& cwd = QString()) {
    return RunProgram(ZEMTOOL, args, cwd);
}

// The sample workspace, written once for all tests here.
QString Sample() {
    return SampleWorkspace(ZEMSAMPLE);
}

QStringList Ws() {
    return {"--workspace", Sample()};
}
} // namespace

TEST(Zemtool, SamplePipelineIsRepeatableAndMatchesTheEditorsExport) {
    Workspace out;
    const QString sketch = Sample() + "/sketch.bmp";
    ASSERT_EQ(Tool(Ws() << "convert" << sketch << "-o" << out.Path("a.zep") << "--scale"
                        << "10"
                        << "--seed"
                        << "4")
                  .code,
              0);
    ASSERT_EQ(Tool(Ws() << "convert" << sketch << "-o" << out.Path("a2.zep") << "--scale"
                        << "10"
                        << "--seed"
                        << "4")
                  .code,
              0);
    EXPECT_EQ(out.Read("a.zep"), out.Read("a2.zep"));
    ASSERT_EQ(Tool(Ws() << "fix" << out.Path("a.zep") << Sample() + "/coast.txt"
                        << "-o" << out.Path("b.zep") << "--seed"
                        << "4")
                  .code,
              0);
    ASSERT_EQ(Tool(Ws() << "roads" << out.Path("b.zep") << "-o" << out.Path("c.zep")).code, 0);
    const Ran info = Tool(Ws() << "info" << out.Path("c.zep"));
    EXPECT_EQ(info.code, 0);
    EXPECT_TRUE(info.out.startsWith("size 44x39\n")) << info.out.toStdString();
    EXPECT_TRUE(info.out.contains("road hexes 41\nhexes with road connections 41\n"));

    // The file is a map file the editor reads back unchanged.
    const QByteArray bytes = out.Read("c.zep");
    Result<MapFileData> data = ReadMapFile(out.Path("c.zep"));
    ASSERT_TRUE(data) << data.Message().toStdString();
    HexMap map;
    ApplyMapFile(data.Value(), map);
    EXPECT_EQ(MapFileText(map), bytes);

    // The coasts fit: no sea hex inside the outer ring has land beside it.
    TileCatalogue cat;
    ASSERT_TRUE(LoadMapset(QDir(Sample()), cat));
    Result<TerrainTemplate> read = LoadTerrainTemplate(Sample() + "/coast.txt");
    ASSERT_TRUE(read);
    const TerrainTemplate& coast = read.Value();
    int coastHexes = 0;
    for (int y = 1; y < 38; ++y)
        for (int x = 1; x < 43; ++x) {
            const QByteArray word = NeighbourPattern(map, cat, coast, x, y);
            if (IsFixableTile(map, coast, x, y)) {
                EXPECT_EQ(word, "OOOOOO") << x << "," << y;
            }
            coastHexes += cat.Record(map.Cell(x, y).bmp).TT1 == 3;
        }
    EXPECT_GT(coastHexes, 50);

    out.Dir().mkpath("pg");
    const Ran e = Tool(Ws() << "export-pg2" << out.Path("c.zep") << "--number"
                            << "67"
                            << "--out" << out.Path("pg"));
    ASSERT_EQ(e.code, 0) << e.err.toStdString();
    EXPECT_EQ(e.out.count('\n'), 13);
    // The editor's export of the same map gives the same thirteen files.
    ZemState st;
    ASSERT_TRUE(LoadMapset(QDir(Sample()), st.cat));
    ASSERT_TRUE(LoadTileBitmaps(st.cat, st.images, QDir(Sample())));
    Workspace mine;
    ASSERT_TRUE(ExportPG2(map, st.cat, st.images, 67, mine.Dir()));
    for (const QString& name : PG2FileNames(67))
        EXPECT_EQ(out.Read("pg/" + name), mine.Read(name)) << name.toStdString();

    ASSERT_EQ(
        Tool(Ws() << "render" << out.Path("c.zep") << "-o" << out.Path("c.png") << "--roads").code,
        0);
    const QImage png(out.Path("c.png"));
    EXPECT_EQ(png.size(), QSize(45 * 44 + 15, 50 * 39 + 25));
    EXPECT_EQ(png.convertToFormat(QImage::Format_RGB32),
              RenderWholeMap(map, st.cat, st.images, true));
    ASSERT_EQ(Tool(Ws() << "strat" << out.Path("c.zep") << "-o" << out.Path("s.bmp")).code, 0);
    EXPECT_EQ(QImage(out.Path("s.bmp")).size(), QSize(352, 316));
}

TEST(Zemtool, NewMapRenderPixelsOnASmallWorkspace) {
    App a; // the standard test workspace, tiles of plain colours
    const QStringList ws{"--workspace", a.ws.Dir().path()};
    ASSERT_EQ(Tool(ws + QStringList{"new", "3x100", "--tile", "2", "-o", a.ws.Path("n.zep")}).code,
              0);
    const QByteArray text = a.ws.Read("n.zep");
    EXPECT_TRUE(text.startsWith(
        ";This is a map file for the ZEM system\n;Hexes across (x)\n5\n;Hexes up/down (y)\n80\n"));
    EXPECT_TRUE(text.contains("\n  2   1   0   2   0   5   6   7   0 "));
    ASSERT_EQ(Tool(ws + QStringList{"render", a.ws.Path("n.zep"), "-o", a.ws.Path("n.bmp")}).code,
              0);
    const QImage img(a.ws.Path("n.bmp"));
    ASSERT_EQ(img.size(), QSize(45 * 5 + 15, 50 * 80 + 25));
    EXPECT_EQ(img.pixel(45 * 3 + 5, 50 * 7 + 25 + 5), TileColour(2)); // hex (3, 7)
    EXPECT_EQ(img.pixel(45 * 3 + 20, 50 * 7 + 25), FrameColour);
    EXPECT_EQ(img.pixel(45 * 1 + 30, 10), Green);       // above odd column 1
    EXPECT_EQ(img.pixel(45 * 4 + 5, 5), TileColour(2)); // even column 4 starts at the top
}

TEST(Zemtool, ExitCodesAndNoPartialFiles) {
    Workspace out;
    EXPECT_EQ(Tool({}).code, 1);
    EXPECT_EQ(Tool({"--help"}).code, 0);
    EXPECT_EQ(Tool({"frobnicate"}).code, 1);
    EXPECT_EQ(Tool({"render", "--help"}).code, 0);
    EXPECT_EQ(Tool(Ws() << "new"
                        << "44by39"
                        << "--tile"
                        << "1"
                        << "-o" << out.Path("x.zep"))
                  .code,
              1);
    EXPECT_EQ(Tool(Ws() << "new"
                        << "44x39"
                        << "-o" << out.Path("x.zep"))
                  .code,
              1);
    EXPECT_EQ(Tool(Ws() << "new"
                        << "44x39"
                        << "--tile"
                        << "700"
                        << "-o" << out.Path("x.zep"))
                  .code,
              2);
    EXPECT_EQ(Tool(Ws() << "convert"
                        << "s.bmp"
                        << "-o" << out.Path("x.zep") << "--scale"
                        << "2")
                  .code,
              1);
    EXPECT_EQ(Tool(Ws() << "roads" << out.Path("x.zep")).code, 1);
    EXPECT_EQ(Tool(Ws() << "info"
                        << "--bogus"
                        << "m.zep")
                  .code,
              1);

    out.Write("bad.zep", "100\n3\n");
    const Ran bad = Tool(Ws() << "info" << out.Path("bad.zep"));
    EXPECT_EQ(bad.code, 2);
    EXPECT_TRUE(bad.err.contains("bad.zep")) << bad.err.toStdString();
    EXPECT_EQ(bad.err.count('\n'), 1);
    EXPECT_EQ(Tool(Ws() << "info" << out.Path("none.zep")).code, 2);
    EXPECT_EQ(Tool({"--workspace", out.Path("nowhere"), "info", out.Path("bad.zep")}).code, 2);
    EXPECT_EQ(Tool(Ws() << "convert" << out.Path("bad.zep") << "-o" << out.Path("x.zep")).code, 2);

    ASSERT_EQ(Tool(Ws() << "new"
                        << "20x20"
                        << "--tile"
                        << "1"
                        << "-o" << out.Path("m.zep"))
                  .code,
              0);
    const Ran size = Tool(Ws() << "export-pg2" << out.Path("m.zep") << "--number"
                               << "5"
                               << "--out" << out.Path("pg"));
    EXPECT_EQ(size.code, 2);
    EXPECT_TRUE(size.err.contains("Map must be 44x39"));

    // An output under a regular file cannot be written: exit 2, nothing left.
    out.Write("plain", "x");
    const QStringList before =
        out.Dir().entryList(QDir::AllEntries | QDir::NoDotAndDotDot, QDir::Name);
    EXPECT_EQ(Tool(Ws() << "roads" << out.Path("m.zep") << "-o" << out.Path("plain/r.zep")).code,
              2);
    EXPECT_EQ(Tool(Ws() << "render" << out.Path("m.zep") << "-o" << out.Path("plain/r.png")).code,
              2);
    EXPECT_EQ(Tool(Ws() << "render" << out.Path("m.zep") << "-o" << out.Path("r.gif")).code, 1);
    ASSERT_EQ(Tool(Ws() << "new"
                        << "44x39"
                        << "--tile"
                        << "1"
                        << "-o" << out.Path("pg.zep"))
                  .code,
              0);
    EXPECT_EQ(Tool(Ws() << "export-pg2" << out.Path("pg.zep") << "--number"
                        << "5"
                        << "--out" << out.Path("plain"))
                  .code,
              2);
    QStringList after = before + QStringList{"pg.zep"};
    after.sort();
    EXPECT_EQ(out.Dir().entryList(QDir::AllEntries | QDir::NoDotAndDotDot, QDir::Name), after);
}

// info counts the hexes of the map alone, at the ends of every range: the
// last terrain name and a code past the names, a road connection only in
// RC's high byte, tile numbers negative and the largest.
TEST(Zemtool, InfoCountsEveryHexOfTheMapOnce) {
    TileCatalogue cat;
    ASSERT_TRUE(LoadMapset(QDir(Sample()), cat));
    const int last = cat.TT1Count - 1;
    HexMap m;
    m.MapWidth = 3;
    m.MapHeight = 2;
    const int cells[6][4] = {{11, last, 1, 0x01}, {11, last + 1, 1, 0x100}, {12, 0, 0, 0},
                             {-1, 255, 1, 0x80},  {11, last, 0, 0},         {647, 0, 0, 0}};
    for (int i = 0; i < 6; ++i) {
        MapCell& c = m.Cell(i % 3, i / 3);
        c.bmp = std::int16_t(cells[i][0]);
        c.TT1 = std::uint8_t(cells[i][1]);
        c.TT2 = std::uint8_t(cells[i][2]);
        c.RC = std::int16_t(cells[i][3]);
    }
    Workspace out;
    out.Write("m.zep", MapFileText(m));
    const Ran r = Tool(Ws() << "info" << out.Path("m.zep"));
    EXPECT_EQ(r.out, QString("size 3x2\ntiles:\n  -1 1\n  11 3\n  12 1\n  647 1\nterrain type 1:\n"
                             "  %1 2\n  %2 2\n  %3 1\n  255 1\nroad hexes 3\n"
                             "hexes with road connections 2\n")
                         .arg(cat.TT1Names[0], cat.TT1Names[size_t(last)])
                         .arg(last + 1)
                         .toUtf8());
}
