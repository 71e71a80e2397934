// Panzer General 2 maps read back: round trips of sample maps, pieces saved
// again with a palette and as JPEG, the refusals, the editor's menu item.

#include "TestSupport.h"
#include "edit/EditorState.h"
#include "interop/PG2Import.h"
#include "map/HexLayout.h"
#include "map/MapFile.h"
#include "windows/TMapForm.h"

#include <QBuffer>
#include <QFile>
#include <QImageWriter>
#include <QPainter>
#include <QProgressDialog>
#include <QPushButton>
#include <QTimer>
#include <cstring>
#include <functional>
#include <random>
#include <sys/stat.h>
#include <tuple>

using namespace zem;
using namespace zem::test;

namespace {

struct Tiles {
    TileCatalogue cat;
    TileImages images;
    explicit Tiles(const QDir& d) {
        EXPECT_TRUE(LoadMapset(d, cat) && LoadTileBitmaps(cat, images, d));
    }
};

const auto Sample = [] { return SampleWorkspace(ZEMSAMPLE); };

// The sample workspace with pictures that repeat under other terrain bytes,
// a picture of one thin line, an empty one and the three kinds of set-0
// line (frame, mark, nothing).
const Tiles& HardTiles() {
    static QTemporaryDir dir;
    static const Tiles tiles = [] {
        const QDir from(Sample()), to(dir.path());
        to.mkpath("tilbmp");
        for (const QString& f : QDir(from.filePath("tilbmp")).entryList(QDir::Files))
            QFile::copy(from.filePath("tilbmp/" + f), to.filePath("tilbmp/" + f));
        QFile mapset(from.filePath("Mapset.txt"));
        mapset.open(QIODevice::ReadOnly);
        QByteArray text = mapset.readAll() + "300 12 0 2 0 77 0 0 0\n301 12 0 1 0 78 0 0 0\n"
                                             "302 12 0 3 0 79 0 0 0\n303 12 0 4 0 80 0 0 0\n"
                                             "304 12 0 1 0 81 0 0 0\n305 0 0 0 0 82 0 0 0\n"
                                             "306 0 0 0 0 83 0 0 0\n307 0 0 0 0 84 0 0 0\n"
                                             "308 12 0 1 0 85 0 0 0\n";
        for (auto [n, same] : {std::pair{300, 11}, {301, 1}})
            QFile::copy(from.filePath(QString::asprintf("tilbmp/til%04d.bmp", same)),
                        to.filePath(QString::asprintf("tilbmp/til%04d.bmp", n)));
        QImage line(60, 50, QImage::Format_RGB32), empty = line;
        line.fill(qRgb(255, 0, 255));
        empty.fill(qRgb(255, 0, 255));
        QPainter(&line).drawLine(10, 25, 50, 20);
        line.save(to.filePath("tilbmp/til0302.bmp"));
        empty.save(to.filePath("tilbmp/til0303.bmp"));
        QImage(from.filePath("tilbmp/til0180.bmp")).save(to.filePath("tilbmp/til0304.bmp"));
        QImage left(from.filePath("tilbmp/til0011.bmp"));  // differs only where column 0 is cut
        QPainter(&left).fillRect(0, 0, 40, 40, Qt::black); // (0, 49) stays the mask
        left.save(to.filePath("tilbmp/til0308.bmp"));
        QFile f(to.filePath("Mapset.txt"));
        f.open(QIODevice::WriteOnly);
        f.write(text);
        f.close();
        return Tiles(to);
    }();
    return tiles;
}

HexMap RandomMap(const TileCatalogue& cat, unsigned seed, const std::vector<int>& extra) {
    std::vector<int> tiles = extra;
    for (int t = 0; t < MaxTiles; ++t)
        if (cat.records[size_t(t)].set > 0) tiles.push_back(t);
    std::mt19937 rng(seed);
    HexMap map;
    map.MapWidth = PG2Width;
    map.MapHeight = PG2Height;
    for (int y = 0; y < PG2Height; ++y)
        for (int x = 0; x <= PG2Width; ++x) {
            // The extra tiles often, at the strips' seams and edges always.
            const bool seam = x < 2 || (x >= 13 && x <= 16) || (x >= 28 && x <= 31) || x > 41;
            const auto& from = (seam || rng() % 3 == 0) && !extra.empty() ? extra : tiles;
            PlaceTile(map, cat, x, y, from[rng() % from.size()]);
            map.Cell(x, y).TT3 = std::uint8_t(rng());
            map.Cell(x, y).RC = std::int16_t(rng() & 0x3FF);
        }
    return map;
}

// Pixels of the pieces that differ.
qint64 Differing(const std::vector<QImage>& a, const std::vector<QImage>& b) {
    qint64 n = 0;
    for (size_t i = 0; i < a.size(); ++i) {
        const QImage p = a[i].convertToFormat(QImage::Format_RGB32),
                     q = b[i].convertToFormat(QImage::Format_RGB32);
        for (int y = 0; y < p.height(); ++y) {
            const auto* u = reinterpret_cast<const QRgb*>(p.constScanLine(y));
            const auto* v = reinterpret_cast<const QRgb*>(q.constScanLine(y));
            if (std::memcmp(u, v, size_t(p.bytesPerLine())) != 0)
                for (int x = 0; x < p.width(); ++x)
                    n += ((u[x] ^ v[x]) & 0xFFFFFF) != 0;
        }
    }
    return n;
}

} // namespace

TEST(PG2Import, ExportsOfSampleMapsComeBackAsMapsThatExportTheSameFiles) {
    const Tiles sample{QDir(Sample())};
    HexMap island;
    ApplyMapFile(ReadMapFile(QDir(Sample()).filePath("sample.zep")).Value(), island);
    island.Cell(44, 3).TT3 = 9; // the 45th record of a row
    island.Cell(44, 3).RC = 0x21;
    island.Cell(5, 5).RC = 0x1111;
    const HexMap hard =
        RandomMap(HardTiles().cat, 2, {0, 250, 300, 301, 302, 303, 304, 305, 306, 307, 11, 1, 180});
    struct Case {
        const char* name;
        const Tiles& tiles;
        HexMap map;
    } cases[] = {{"island", sample, island},
                 {"random", sample, RandomMap(sample.cat, 1, {})},
                 {"repeats and holes", HardTiles(), hard}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const QByteArray file = PG2MapBytes(c.map, 67);
        const std::vector<QImage> pieces = PG2Pieces(c.map, c.tiles.cat, c.tiles.images);
        int counted = 0; // hexes matched, by the progress's last word: one pass, but around ties
        PG2ImportOptions opt;
        opt.control.progress = [&](int, int total) { counted = total; };
        const Result<PG2Import> imp =
            ImportPG2("Map67.map", file, pieces, c.tiles.cat, c.tiles.images, opt);
        ASSERT_TRUE(imp) << imp.Message().toStdString();
        EXPECT_TRUE(counted < PG2Hexes * 3 / 2 || &c.tiles != &sample) << counted;
        EXPECT_EQ(imp->Summary(), "Map67.map: 1716 hexes, 1716 exact, 0 nearest, 0 unsure; its "
                                  "export gives the same pieces");
        EXPECT_EQ(Differing(PG2Pieces(imp->map, c.tiles.cat, c.tiles.images), pieces), 0);
        EXPECT_EQ(PG2MapBytes(imp->map, imp->mapNumber), file);
        int same = 0;
        for (int i = 0; i < PG2Hexes; ++i) {
            const MapCell& cell = imp->map.Cell(i % PG2Width, i / PG2Width);
            same += cell.bmp == c.map.Cell(i % PG2Width, i / PG2Width).bmp;
            const TileRecord& r = c.tiles.cat.Record(cell.bmp);
            ASSERT_EQ(std::tie(cell.TT1, cell.TT2, cell.PL, cell.E2, cell.E3),
                      std::make_tuple(std::uint8_t(r.TT1), std::uint8_t(r.TT2), std::int16_t(r.PL),
                                      std::int16_t(r.E2), std::int16_t(r.E3)));
        }
        EXPECT_GT(same, &c.tiles == &sample ? PG2Hexes * 9 / 10 : 0);
    }
    // Pictures that repeat, or differ only where the hex is not seen: the
    // tile whose catalogue terrain byte is the hex's, else the lowest number.
    HexMap twins = island;
    PlaceTile(twins, HardTiles().cat, 0, 0, 308);
    PlaceTile(twins, HardTiles().cat, 20, 20, 300);
    PlaceTile(twins, HardTiles().cat, 22, 20, 300);
    twins.Cell(22, 20).TT3 = 5;
    std::vector<QImage> pieces = PG2Pieces(twins, HardTiles().cat, HardTiles().images);
    Result<PG2Import> imp =
        ImportPG2("Map67.map", PG2MapBytes(twins, 67), pieces, HardTiles().cat, HardTiles().images);
    EXPECT_EQ(imp->map.Cell(20, 20).bmp, 300);
    EXPECT_EQ(imp->map.Cell(22, 20).bmp, 11);
    EXPECT_EQ(imp->map.Cell(0, 0).bmp, 308);
    // One pixel changed in its red alone: that hex is no longer exact.
    pieces[6].setPixel(245, 42, pieces[6].pixel(245, 42) ^ 0x10000);
    imp =
        ImportPG2("Map67.map", PG2MapBytes(twins, 67), pieces, HardTiles().cat, HardTiles().images);
    EXPECT_EQ(imp->fits[20 * PG2Width + 20], HexFit::Nearest);
    EXPECT_TRUE(imp->Summary().endsWith("in 1 pixels of 1 hexes")) << imp->Summary().toStdString();
}

TEST(PG2Import, PiecesSavedAgainByAPaintProgram) {
    const Tiles sample{QDir(Sample())};
    const HexMap map = RandomMap(sample.cat, 3, {});
    const std::vector<QImage> pieces = PG2Pieces(map, sample.cat, sample.images);
    auto palette = [](const QImage& p) {
        return p.convertToFormat(QImage::Format_Indexed8).convertToFormat(QImage::Format_RGB32);
    };
    auto jpeg = [](const QImage& p) {
        QByteArray bytes;
        QBuffer buf(&bytes);
        buf.open(QIODevice::WriteOnly);
        QImageWriter w(&buf, "jpeg");
        w.setQuality(90);
        EXPECT_TRUE(w.write(p));
        return QImage::fromData(bytes, "jpeg").convertToFormat(QImage::Format_RGB32);
    };
    for (auto degrade : {+palette, +jpeg}) {
        std::vector<QImage> saved;
        for (const QImage& p : pieces)
            saved.push_back(degrade(p));
        const Result<PG2Import> imp =
            ImportPG2("Map67.map", PG2MapBytes(map, 67), saved, sample.cat, sample.images);
        ASSERT_TRUE(imp);
        const std::vector<QImage> again = PG2Pieces(imp->map, sample.cat, sample.images);
        EXPECT_LE(Differing(again, pieces), 12 * 640 * 480 / 100);
        // A hex whose tile was not given exactly is unsure, or its tile
        // exports the same pixels as the tile it had.
        for (int i = 0; i < PG2Hexes; ++i) {
            const HexPos h{i % PG2Width, i / PG2Width};
            if (imp->fits[size_t(i)] == HexFit::Exact || imp->fits[size_t(i)] == HexFit::Unsure ||
                imp->map.Cell(h.x, h.y).bmp == map.Cell(h.x, h.y).bmp)
                continue;
            HexMap back = imp->map;
            back.Cell(h.x, h.y).bmp = map.Cell(h.x, h.y).bmp;
            EXPECT_EQ(Differing(PG2Pieces(back, sample.cat, sample.images), again), 0)
                << "hex " << h.x << "," << h.y;
        }
    }
}

TEST(PG2Import, ZemtoolWritesTheMapAndItsReportOrRefusesWithOneLine) {
    Workspace out;
    out.Dir().mkpath("a");
    out.Dir().mkpath("b");
    out.Dir().mkpath("n");
    auto tool = [](const QStringList& args) {
        return RunProgram(ZEMTOOL, QStringList{"--workspace", Sample()} + args);
    };
    ASSERT_EQ(
        tool({"export-pg2", Sample() + "/sample.zep", "--number", "67", "--out", out.Path("a")})
            .code,
        0);
    const Ran imp = tool({"import-pg2", out.Path("a/Map67.map"), "-o", out.Path("back.zep"),
                          "--report", out.Path("unsure.txt")});
    EXPECT_EQ(imp.code, 0) << imp.err.toStdString();
    EXPECT_EQ(imp.out, "Map67.map: 1716 hexes, 1716 exact, 0 nearest, 0 unsure; its export gives "
                       "the same pieces\n");
    EXPECT_EQ(out.Read("unsure.txt"), ";Unsure hexes of Map67.map\n;column row tile next margin\n");
    ASSERT_EQ(
        tool({"export-pg2", out.Path("back.zep"), "--number", "67", "--out", out.Path("b")}).code,
        0);
    for (const QString& name : PG2FileNames(67))
        EXPECT_EQ(out.Read("a/" + name), out.Read("b/" + name)) << name.toStdString();

    // Without pieces the tiles follow the terrain byte; the roads come in.
    QFile::copy(out.Path("a/Map67.map"), out.Path("Map67.map"));
    const Ran terrain =
        tool({"import-pg2", out.Path("Map67.map"), "-o", out.Path("t.zep"), "--no-pieces"});
    EXPECT_TRUE(terrain.out.contains("tiles from the terrain byte alone")) << terrain.out.data();
    const MapFileData t = ReadMapFile(out.Path("t.zep")).Value();
    const MapFileData island = ReadMapFile(Sample() + "/sample.zep").Value();
    for (size_t i = 0; i < t.cells.size(); ++i)
        ASSERT_EQ(std::pair(t.cells[i].TT3, t.cells[i].RC & 0xFF),
                  std::pair(island.cells[i].TT3, island.cells[i].RC & 0xFF));
    EXPECT_EQ(tool({"import-pg2", out.Path("Map67.map"), "-o", out.Path("p.zep"), "--pieces",
                    out.Path("a")})
                  .code,
              0);

    const QByteArray file = out.Read("Map67.map");
    QByteArray wide = file, tall = file;
    wide[2] = 45;
    tall[4] = 40;
    QImage shortPiece(640, 479, QImage::Format_RGB32);
    shortPiece.fill(Qt::red);
    struct Refusal {
        QString name;
        std::function<void()> make;
        QString fault;
    } refusals[] = {
        {"Map5.map", [&] { out.Write("Map5.map", file.left(100)); },
         "Map5.map: a Panzer General 2 map file is 14561 bytes, this one is 100"},
        {"Map6.map", [&] { out.Write("Map6.map", wide); },
         "Map6.map: the map is 45x39 hexes; only 44x39 maps are read"},
        {"Map8.map", [&] { out.Write("Map8.map", tall); }, "Map8.map: the map is 44x40"},
        {"Map7.map", [&] { out.Write("Map7.map", file); }, "map0700.bmp: the piece is missing"},
        {"Map67.map", [&] { shortPiece.save(out.Path("map6712.bmp")); },
         "map6712.bmp: the piece is 640x479 pixels, not 640x480"},
        {"Map67.map", [&] { out.Write("map6712.bmp", "BM garbage"); }, "map6712.bmp"},
    };
    for (const QString& piece : PG2FileNames(67))
        QFile::copy(out.Path("a/" + piece), out.Path(piece));
    for (const Refusal& r : refusals) {
        r.make();
        const Ran ran = tool({"import-pg2", out.Path(r.name), "-o", out.Path("no.zep")});
        EXPECT_EQ(ran.code, 2);
        EXPECT_TRUE(ran.err.contains(r.fault.toUtf8())) << ran.err.toStdString();
        EXPECT_EQ(ran.err.count('\n'), 1);
        EXPECT_FALSE(QFile::exists(out.Path("no.zep")));
    }
    const Ran twice = tool({"import-pg2", out.Path("a/Map67.map"), "-o", out.Path("no.zep"),
                            "--report", out.Path("./no.zep")});
    EXPECT_TRUE(twice.code == 2 && twice.err.contains("two files")) << twice.err.toStdString();
    EXPECT_FALSE(QFile::exists(out.Path("no.zep")));
    EXPECT_EQ(tool({"import-pg2", out.Path("a/Map67.map"), "-o", out.Path("a/map6700.bmp")}).code,
              2);
    EXPECT_EQ(tool({"import-pg2", out.Path("a/Map67.map"), "-o", out.Path("x.zep"), "--report",
                    out.Path("a/./Map67.map")})
                  .code,
              2);
    EXPECT_EQ(out.Read("a/map6700.bmp"), out.Read("b/map6700.bmp")); // the inputs stay
    EXPECT_EQ(out.Read("a/Map67.map"), out.Read("b/Map67.map"));
    // A negative number, as the export writes it, names the pieces too.
    tool({"export-pg2", Sample() + "/sample.zep", "--number", "-3", "--out", out.Path("n")});
    EXPECT_EQ(tool({"import-pg2", out.Path("n/Map-3.map"), "-o", out.Path("n.zep")}).code, 0);
    out.Write("Mapset.txt", "60\n45\n50\n1\nA\n0\n0\n");
    const Ran empty = RunProgram(
        ZEMTOOL, {"--workspace", out.Path(""), "import-pg2", out.Path("Map67.map"), "-o", "x.zep"});
    EXPECT_EQ(empty.code, 2);
    EXPECT_TRUE(empty.err.contains("Mapset.txt")) << empty.err.toStdString();
}

// Without pieces a hex takes the first tile with its terrain byte; a byte
// no tile has (a line without a picture is no tile), the first tile, unsure.
TEST(PG2Import, WithoutPiecesTheFirstTileWithTheTerrainByte) {
    TileCatalogue cat;
    for (const auto& [tile, image, tt3] :
         {std::tuple(2, 0, 8), {3, 1, 7 + 256}, {4, 1, 7}, {MaxTiles - 1, 1, 200}})
        cat.records[size_t(tile)] = {1, image, 0, 0, tt3, 0, 0, 0};
    HexMap map;
    map.MapWidth = PG2Width;
    map.MapHeight = PG2Height;
    QByteArray bytes = PG2MapBytes(map, 67);
    const int terrain[] = {7, 8, 200, 9}, tiles[] = {3, 3, MaxTiles - 1, 3};
    for (int x = 0; x < 4; ++x)
        bytes[PG2HeaderSize + x * PG2RecordSize] = char(terrain[x]);
    PG2ImportOptions opt;
    opt.noPieces = true;
    const Result<PG2Import> imp = ImportPG2("Map67.map", bytes, {}, cat, TileImages{}, opt);
    ASSERT_TRUE(imp);
    for (int x = 0; x < 4; ++x)
        EXPECT_EQ(imp->map.Cell(x, 0).bmp, tiles[x]) << x;
    EXPECT_EQ(imp->Unsure().size(), size_t(PG2Hexes - 2)); // all but hexes 0 and 2
}

// An output reaching a game file through a link, a linked folder or another
// spelling is refused with both paths; a game file that is no regular file
// is refused with the system's reason, a piece so too, not as missing.
TEST(PG2Import, OutputsThroughLinksAndInputsThatAreNoFiles) {
    Workspace out;
    const QString g = out.Path("g");
    out.Dir().mkpath("g");
    ASSERT_EQ(RunProgram(ZEMTOOL, {"--workspace", Sample(), "export-pg2", Sample() + "/sample.zep",
                                   "--number", "5", "--out", g})
                  .code,
              0);
    QFile::link(g + "/Map5.map", out.Path("out.zep"));
    QFile::link(".", g + "/self");
    QFile::link(g + "/map0500.bmp", out.Path("rep.txt"));
    QFile::link(g, out.Path("p"));
    const auto before = Snapshot(g);
    const QString map = g + "/Map5.map";
    const std::pair<QStringList, QString> refused[] = {
        {{"-o", out.Path("out.zep")}, out.Path("out.zep") + ": is " + map},
        {{"-o", g + "/self/Map5.map"}, g + "/self/Map5.map: is " + map},
        {{"-o", out.Path("x.zep"), "--report", out.Path("rep.txt")},
         out.Path("rep.txt") + ": is " + g + "/map0500.bmp"},
        {{"-o", g + "/map0503.bmp", "--pieces", out.Path("p")},
         g + "/map0503.bmp: is " + out.Path("p") + "/map0503.bmp"}};
    for (const auto& [args, line] : refused) {
        const Ran r =
            RunProgram(ZEMTOOL, QStringList{"--workspace", Sample(), "import-pg2", map} + args);
        EXPECT_EQ(r.code, 2);
        EXPECT_EQ(r.err, "zemtool: " + line.toUtf8() + ", a file the import reads\n");
    }
    EXPECT_EQ(Snapshot(g), before);
    EXPECT_FALSE(QFile::exists(out.Path("x.zep")));

    out.Dir().mkpath("h/Map7.map");
    ASSERT_EQ(::mkfifo(QFile::encodeName(out.Path("h/Map8.map")).constData(), 0644), 0);
    QFile::link("Map9.map", out.Path("h/Map9.map"));
    QFile::copy(map, out.Path("h/Map5.map"));
    out.Dir().mkpath("h/map0500.bmp");
    const std::pair<QString, QString> faults[] = {
        {"h/Map7.map", "h/Map7.map: is a folder, not a file"},
        {"h/Map8.map", "h/Map8.map: is a pipe, not a regular file"},
        {"h/Map9.map", "h/Map9.map: Too many levels of symbolic links"},
        {"h/Map5.map", "h/map0500.bmp: is a folder, not a file"}};
    for (const auto& [file, fault] : faults) {
        const Ran r = RunProgram(ZEMTOOL, {"--workspace", Sample(), "import-pg2", out.Path(file),
                                           "-o", out.Path("x.zep")});
        EXPECT_EQ(r.code, 2);
        EXPECT_TRUE(r.err.endsWith(fault.toUtf8() + "\n")) << r.err.toStdString();
    }
    // The map and its report arrive together or not at all: where either is
    // refused (a folder in its place), neither is written.
    out.Dir().mkpath("r/map.zep");
    out.Dir().mkpath("r/report.txt");
    for (const auto& [zep, report] : {std::pair{"map.zep", "u.txt"}, {"m.zep", "report.txt"}}) {
        const Ran r =
            RunProgram(ZEMTOOL, {"--workspace", Sample(), "import-pg2", map, "-o",
                                 out.Path("r/") + zep, "--report", out.Path("r/") + report});
        EXPECT_EQ(r.code, 2);
    }
    EXPECT_EQ(QDir(out.Path("r")).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot),
              (QStringList{"map.zep", "report.txt"}));
}

TEST(PG2Import, TheEditorImportsOneUntitledStepAndMarksTheUnsureHexes) {
    App app;
    TMapForm& f = app.main();
    HexMap map;
    map.MapWidth = PG2Width;
    map.MapHeight = PG2Height;
    for (int y = 0; y < PG2Height; ++y)
        for (int x = 0; x < PG2Width; ++x)
            PlaceTile(map, app.st.cat, x, y, 1 + (x + 2 * y) % 8);
    for (int y = 0; y < PG2Height; y += 5) { // the 45th record of every fifth row
        map.Cell(PG2Width, y).TT3 = 9;
        map.Cell(PG2Width, y).RC = 0x21;
    }
    Workspace game;
    ASSERT_TRUE(ExportPG2(map, app.st.cat, app.st.images, 12, game.Dir()));
    // Half way between two tiles' colours: the hexes painted over are unsure.
    QImage piece(game.Path("map1200.bmp"));
    QPainter(&piece).fillRect(200, 200, 150, 150, QColor(55, 56, 200));
    piece.save(game.Path("map1200.bmp"));

    f.MapImageMouseDown(mbLeft, false, 100, 100);
    f.MapImageClick();
    const HexMap before = app.st.map;
    app.dialogs.Answer(game.Path("Map12.map"));
    f.ImportPG21Click();
    EXPECT_EQ(app.dialogs.questions.size(), 1u); // the unsaved placement
    EXPECT_EQ(app.st.map.MapWidth, PG2Width);
    EXPECT_EQ(app.st.map.Cell(30, 30).bmp, map.Cell(30, 30).bmp);
    EXPECT_TRUE(app.w.doc.FileName().isEmpty());
    EXPECT_EQ(f.windowTitle(), "ZEM Map - untitled*");
    EXPECT_TRUE(f.StatusText().startsWith("Map12.map: 1716 hexes, "))
        << f.StatusText().toStdString();
    // zemtool makes the same map of the same files, in every column but the
    // 45th, which the editor keeps and a map file cannot.
    const Ran tool = RunProgram(ZEMTOOL, {"--workspace", app.ws.Path(""), "import-pg2",
                                          game.Path("Map12.map"), "-o", game.Path("t.zep")});
    EXPECT_TRUE(tool.out.endsWith("the 45th record of 8 rows (column 44) is not kept\n"))
        << tool.out.toStdString();
    const MapFileData t = ReadMapFile(game.Path("t.zep")).Value();
    for (int y = 0; y < PG2Height; ++y) {
        for (int x = 0; x < PG2Width; ++x)
            ASSERT_EQ(app.st.map.Cell(x, y), t.At(x, y)) << x << "," << y;
        EXPECT_EQ(app.st.map.Cell(PG2Width, y), map.Cell(PG2Width, y)) << y;
    }
    ASSERT_FALSE(app.w.doc.Unsure().empty());
    const HexPos u = app.w.doc.Unsure().front();
    const QPoint mark =
        QRect(f.View().Corner(u.x, u.y), QSize(HexLayout::TileWidth, HexLayout::TileHeight))
            .center();
    EXPECT_EQ(f.MapImage->grab().toImage().pixel(mark + QPoint(-5, 6)), 0xFFFFE600u);
    // A change of a marked hex's tile takes its mark away and its undo
    // brings it back; the import is one step, its undo takes them all and
    // its redo brings them back, as it does the summary on the status bar.
    const std::vector<HexPos> marked = app.w.doc.Unsure();
    const int chosen = app.st.map.Cell(u.x, u.y).bmp;
    f.MapImageMouseDown(mbLeft, false, mark.x(), mark.y());
    f.MapImageClick();
    ASSERT_NE(app.st.map.Cell(u.x, u.y).bmp, chosen);
    EXPECT_EQ(app.w.doc.Unsure(), std::vector<HexPos>(marked.begin() + 1, marked.end()));
    f.Undo1Click();
    EXPECT_EQ(app.w.doc.Unsure(), marked);
    f.Undo1Click();
    EXPECT_TRUE(app.w.doc.Unsure().empty());
    EXPECT_FALSE(f.StatusText().startsWith("Map12.map: 1716 hexes, "));
    EXPECT_EQ(app.st.map.MapWidth, before.MapWidth);
    EXPECT_EQ(app.st.map.Cell(2, 2).bmp, before.Cell(2, 2).bmp);
    f.Redo1Click();
    EXPECT_EQ(app.st.map.Cell(30, 30).bmp, map.Cell(30, 30).bmp);
    EXPECT_EQ(app.w.doc.Unsure(), marked);
    EXPECT_TRUE(f.StatusText().startsWith("Map12.map: 1716 hexes, "));
    // Save Map offers no game file to write over.
    app.dialogs.Cancel();
    f.SaveMap1Click();
    EXPECT_FALSE(app.dialogs.dialogs.back().FileName.endsWith(".map"));

    // A missing piece: the terrain and roads alone, when the user says so.
    QFile::remove(game.Path("map1223.bmp"));
    app.dialogs.AnswerSave(SaveAnswer::Discard);
    app.dialogs.Answer(game.Path("Map12.map"));
    f.ImportPG21Click();
    EXPECT_TRUE(app.dialogs.questions.back().contains("map1223.bmp is missing"));
    EXPECT_EQ(app.st.map.Cell(30, 30).bmp, map.Cell(30, 30).bmp); // answered No
    app.dialogs.AnswerSave(SaveAnswer::Discard);
    app.dialogs.Answer(game.Path("Map12.map"));
    app.dialogs.AnswerConfirm(true);
    app.st.map.Cell(30, 30).bmp = 20;
    f.ImportPG21Click();
    EXPECT_TRUE(f.StatusText().contains("terrain byte alone"));
    EXPECT_EQ(app.st.map.Cell(30, 30).bmp, map.Cell(30, 30).bmp); // tile t has terrain byte t
    const size_t asked = app.dialogs.questions.size();            // a refused file asks nothing
    game.Write("Map9.map", "short");
    app.dialogs.AnswerSave(SaveAnswer::Discard);
    app.dialogs.Answer(game.Path("Map9.map"));
    f.ImportPG21Click();
    EXPECT_EQ(app.dialogs.questions.size(), asked + 1); // only the unsaved work
    EXPECT_TRUE(app.dialogs.messages.back().first.contains("14561 bytes"));

    // Cancelled in the progress dialog: the map as it was, and the status says so.
    ASSERT_TRUE(ExportPG2(map, app.st.cat, app.st.images, 12, game.Dir()));
    const HexMap kept = app.st.map;
    const QString title = f.windowTitle();
    QTimer press;
    QObject::connect(&press, &QTimer::timeout, [&] {
        if (auto* d = f.findChild<QProgressDialog*>()) d->findChild<QPushButton*>()->click();
    });
    press.start(0);
    app.dialogs.AnswerSave(SaveAnswer::Discard);
    app.dialogs.Answer(game.Path("Map12.map"));
    f.ImportPG21Click();
    EXPECT_EQ(f.StatusText(), "Import cancelled; the map is unchanged.");
    EXPECT_EQ(app.st.map.Cell(30, 30), kept.Cell(30, 30));
    EXPECT_EQ(f.windowTitle(), title);
}
