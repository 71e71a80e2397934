// Maps that travel to Tiled and back: the files zemtool writes, Tiled's own
// re-saving and rendering of them, and the files that must be refused.

#include "TestSupport.h"
#include "edit/EditorState.h"
#include "interop/TmxExport.h"
#include "interop/TmxImport.h"
#include "map/MapFile.h"
#include "windows/TMapForm.h"

#include <QBuffer>
#include <QFile>
#include <QProcess>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QXmlStreamReader>
#include <QXmlStreamWriter>
#include <random>
#include <sys/stat.h>
#include <zlib.h>

using namespace zem;
using namespace zem::test;

namespace {

Ran Tool(const QStringList& args) {
    return RunProgram(ZEMTOOL, args);
}

QString Sample() {
    return SampleWorkspace(ZEMSAMPLE);
}

QStringList Ws() {
    return {"--workspace", Sample()};
}

// Tiled's programs, when installed: the checks against them run only then.
bool HaveTiled() {
    return !QStandardPaths::findExecutable("tiled").isEmpty() &&
           !QStandardPaths::findExecutable("tmxrasterizer").isEmpty();
}

const TileCatalogue& SampleCatalogue() {
    static TileCatalogue cat;
    static bool read = LoadMapset(QDir(Sample()), cat).Ok();
    EXPECT_TRUE(read);
    return cat;
}

std::vector<int> PicturedTiles() {
    std::vector<int> tiles;
    for (int n = 0; n < MaxTiles; ++n)
        if (SampleCatalogue().Record(n).set > 0) tiles.push_back(n);
    return tiles;
}

// Tile numbers without a picture: none, one without a catalogue line, one
// beyond the catalogue, negative ones.
std::vector<int> UnpicturedTiles() {
    std::vector<int> tiles{0, 700, -5, 32767, -32768};
    for (int n = 1; n < MaxTiles; ++n)
        if (SampleCatalogue().Record(n).set == 0) return tiles.push_back(n), tiles;
    return tiles;
}

// A map whose cells use every field; `plain` keeps to pictured tiles (one
// in 20 without) and leaves the values no picture shows at 0.
HexMap RandomMap(int w, int h, unsigned seed, bool plain) {
    std::mt19937 rng(seed);
    auto pick = [&](const std::vector<int>& v) { return v[rng() % v.size()]; };
    const std::vector<int> pictured = PicturedTiles(), unpictured = UnpicturedTiles();
    HexMap map;
    map.MapWidth = w;
    map.MapHeight = h;
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            MapCell& c = map.Cell(x, y);
            c.bmp = std::int16_t(rng() % 20 == 0 ? pick(unpictured) : pick(pictured));
            c.RC = std::int16_t(rng() & 0xBB);
            if (plain) continue;
            c.bmp = std::int16_t(rng() % 2 == 0 ? pick(unpictured) : pick(pictured));
            c.TT1 = std::uint8_t(rng());
            c.TT2 = std::uint8_t(rng());
            c.TT3 = std::uint8_t(rng());
            c.RC = std::int16_t(rng());
            c.PL = std::int16_t(rng());
            c.E2 = std::int16_t(rng() % 2 ? -32768 : 32767);
            c.E3 = std::int16_t(rng());
            for (auto& e : c.extra)
                e = std::int16_t(rng() % 4 ? 0 : rng());
        }
    return map;
}

// The same map with its layer data in base64 (compressed or not) and its
// properties as value attributes, every attribute in reverse order.
QByteArray Recode(const QByteArray& tmx, const QString& compression) {
    QXmlStreamReader in(tmx);
    QByteArray bytes;
    QXmlStreamWriter out(&bytes);
    while (!in.atEnd()) {
        in.readNext();
        if (!in.isStartElement()) {
            out.writeCurrentToken(in);
            continue;
        }
        const QString name = in.name().toString();
        QXmlStreamAttributes attrs = in.attributes();
        std::reverse(attrs.begin(), attrs.end());
        if (name == "data") {
            QByteArray raw;
            for (const QString& f : in.readElementText().split(',')) {
                const quint32 gid = f.trimmed().toUInt();
                for (int b = 0; b < 4; ++b)
                    raw += char(gid >> (8 * b));
            }
            if (!compression.isEmpty()) {
                QByteArray packed(int(compressBound(uLong(raw.size())) + 32), 0);
                z_stream zs{};
                deflateInit2(&zs, 9, Z_DEFLATED, compression == "gzip" ? 31 : 15, 8,
                             Z_DEFAULT_STRATEGY);
                zs.next_in = reinterpret_cast<Bytef*>(raw.data());
                zs.avail_in = uInt(raw.size());
                zs.next_out = reinterpret_cast<Bytef*>(packed.data());
                zs.avail_out = uInt(packed.size());
                EXPECT_EQ(deflate(&zs, Z_FINISH), Z_STREAM_END);
                packed.resize(qsizetype(zs.total_out));
                deflateEnd(&zs);
                raw = packed;
            }
            out.writeStartElement("data");
            out.writeAttribute("encoding", "base64");
            if (!compression.isEmpty()) out.writeAttribute("compression", compression);
            out.writeCharacters("\n   " + QString::fromLatin1(raw.toBase64()) + "\n  ");
            out.writeEndElement();
        } else if (name == "property" && !attrs.hasAttribute("value")) {
            out.writeEmptyElement("property");
            out.writeAttribute("value", in.readElementText());
            out.writeAttributes(attrs);
        } else {
            out.writeStartElement(name);
            out.writeAttributes(attrs);
        }
    }
    EXPECT_FALSE(in.hasError()) << in.errorString().toStdString();
    return bytes;
}

QImage OnGreen(const QImage& img) {
    QImage g(img.size(), QImage::Format_RGB32);
    g.fill(QColor(0, 128, 0));
    QPainter p(&g);
    p.drawImage(0, 0, img);
    return g;
}

} // namespace

TEST(Tmx, ExportThenImportGivesBackTheMapFile) {
    Workspace out;
    for (const QSize size : {QSize(13, 7), QSize(1, 3)}) {
        HexMap map = RandomMap(size.width(), size.height(), 11, false);
        // The ends of the terrain codes and of the road bits.
        for (int y = 0; y < 3; ++y) {
            MapCell& c = map.Cell(0, y);
            c.TT1 = c.TT2 = c.TT3 = std::uint8_t(y == 0 ? 255 : y == 1 ? 1 : 254);
            c.RC = std::int16_t(y == 0 ? 0xBB : y == 1 ? 0x80 : 0x01);
        }
        out.Write("in.zep", MapFileText(map));
        const Ran e = Tool(Ws() << "export-tmx" << out.Path("in.zep") << "-o" << out.Path("m.tmx"));
        ASSERT_EQ(e.code, 0) << e.err.toStdString();
        const QByteArray tmx = out.Read("m.tmx");
        EXPECT_FALSE(tmx.contains('\r'));
        ASSERT_EQ(
            Tool(Ws() << "import-tmx" << out.Path("m.tmx") << "-o" << out.Path("back.zep")).code,
            0);
        EXPECT_EQ(out.Read("back.zep"), out.Read("in.zep")) << size.width();

        // Layer data in any of the encodings Tiled writes, properties as
        // attributes, attributes in another order.
        for (const QString compression : {"", "zlib", "gzip"}) {
            out.Write("r.tmx", Recode(tmx, compression));
            QFile::remove(out.Path("r.zep"));
            const Ran i =
                Tool(Ws() << "import-tmx" << out.Path("r.tmx") << "-o" << out.Path("r.zep"));
            EXPECT_EQ(i.code, 0) << compression.toStdString() << i.err.toStdString();
            EXPECT_EQ(out.Read("r.zep"), out.Read("in.zep")) << compression.toStdString();
        }
    }

    // The layers, bottom to top, and which of them show.
    QXmlStreamReader xml(out.Read("m.tmx"));
    QStringList layers;
    while (xml.readNextStartElement()) {
        if (xml.name() == QLatin1String("map")) continue;
        if (xml.name() == QLatin1String("layer"))
            layers << xml.attributes().value("name").toString() +
                          (xml.attributes().value("visible") == QLatin1String("0") ? "/hidden"
                                                                                   : "");
        xml.skipCurrentElement();
    }
    EXPECT_EQ(layers, QStringList({"tiles", "frame", "terrain 1/hidden", "terrain 2/hidden",
                                   "terrain 3/hidden", "roads/hidden"}));
    // The tile pictures keep their transparency as alpha: the bottom-left
    // pixel of the first tile is clear, its middle is not.
    const QImage sheet(out.Path("m-tiles.png"));
    EXPECT_EQ(qAlpha(sheet.pixel(0, 49)), 0);
    EXPECT_EQ(qAlpha(sheet.pixel(30, 25)), 255);

    // Through a link to a map in another folder the pictures go beside that
    // map, where it looks for them.
    out.Dir().mkpath("sub");
    QFile::link(out.Path("sub/real.tmx"), out.Path("link.tmx"));
    ASSERT_EQ(Tool(Ws() << "export-tmx" << out.Path("in.zep") << "-o" << out.Path("link.tmx")).code,
              0);
    EXPECT_FALSE(QFile::exists(out.Path("link-tiles.png")));
    EXPECT_EQ(
        Tool(Ws() << "import-tmx" << out.Path("sub/real.tmx") << "-o" << out.Path("l.zep")).code,
        0);
    EXPECT_EQ(out.Read("l.zep"), out.Read("in.zep"));
}

// From the editor's menu: the map out and back, and a Tiled file is never
// offered to Save Map to write over.
TEST(Tmx, TheEditorsMenuWritesAndReadsTiledMaps) {
    App a;
    TMapForm& f = a.main();
    a.st.map.Cell(2, 3).bmp = 7;
    const MapCell cell = a.st.map.Cell(2, 3);
    a.dialogs.Answer(a.ws.Path("m.tmx"));
    f.ExportTmx1Click();
    a.st.map.Cell(2, 3).bmp = 1;
    a.dialogs.Answer(a.ws.Path("m.tmx"));
    f.ImportTmx1Click();
    EXPECT_EQ(a.st.map.Cell(2, 3), cell);
    a.dialogs.Cancel();
    f.SaveMap1Click();
    EXPECT_FALSE(a.dialogs.dialogs.back().FileName.endsWith(".tmx"));
}

TEST(Tmx, CellsOutsideTheMapComeBack) {
    TileImages images;
    ASSERT_TRUE(LoadTileBitmaps(SampleCatalogue(), images, QDir(Sample())));
    HexMap map = RandomMap(6, 5, 3, false);
    const HexMap wide = RandomMap(MaxMapSize, MaxMapSize, 4, false);
    for (const HexPos p : {HexPos{70, 3}, HexPos{2, 60}, HexPos{79, 79}, HexPos{6, 0}})
        map.Cell(p.x, p.y) = wide.Cell(p.x, p.y);
    Workspace out;
    ASSERT_TRUE(ExportTmx(map, SampleCatalogue(), images, out.Path("o.tmx")));
    const Result<TmxMap> tmx = ImportTmx(out.Path("o.tmx"), SampleCatalogue());
    ASSERT_TRUE(tmx) << tmx.Message().toStdString();
    HexMap back;
    ApplyTmxMap(tmx.Value(), back);
    EXPECT_EQ(back.MapWidth, 6);
    EXPECT_EQ(back.MapHeight, 5);
    for (int y = 0; y < MaxMapSize; ++y)
        for (int x = 0; x < MaxMapSize; ++x)
            ASSERT_EQ(back.Cell(x, y), map.Cell(x, y)) << x << "," << y;
}

TEST(Tmx, ATilePaintedInTiledBringsItsTerrainUnlessThatWasPaintedToo) {
    TileImages images;
    ASSERT_TRUE(LoadTileBitmaps(SampleCatalogue(), images, QDir(Sample())));
    HexMap map = RandomMap(3, 2, 8, false);
    for (int x = 0; x < 3; ++x)
        map.Cell(x, 0).bmp = std::int16_t(PicturedTiles()[size_t(x * 40)]);
    Workspace out;
    ASSERT_TRUE(ExportTmx(map, SampleCatalogue(), images, out.Path("p.tmx")));
    // As Tiled's brush would: hexes 0,0 and 1,0 get the tile of 2,0, and
    // 1,0 the terrain 1 code of 0,0.
    QByteArray tmx = out.Read("p.tmx");
    auto paint = [&](const char* layer, auto change) {
        const qsizetype at = tmx.indexOf("\n", tmx.indexOf("<data", tmx.indexOf(layer))) + 1;
        QList<QByteArray> row = tmx.mid(at, tmx.indexOf('\n', at) - at).split(',');
        const qsizetype size = row.join(',').size();
        change(row);
        tmx.replace(at, size, row.join(','));
    };
    paint("name=\"tiles\"", [](QList<QByteArray>& r) { r[0] = r[1] = r[2]; });
    paint("name=\"terrain 1\"", [](QList<QByteArray>& r) { r[1] = r[0]; });
    out.Write("p.tmx", tmx);
    const Result<TmxMap> back = ImportTmx(out.Path("p.tmx"), SampleCatalogue());
    ASSERT_TRUE(back) << back.Message().toStdString();
    HexMap want = map;
    const TileRecord& r = SampleCatalogue().Record(map.Cell(2, 0).bmp);
    PlaceTile(want, SampleCatalogue(), 0, 0, map.Cell(2, 0).bmp);
    PlaceTile(want, SampleCatalogue(), 1, 0, map.Cell(2, 0).bmp);
    want.Cell(1, 0).TT1 = map.Cell(0, 0).TT1;
    ASSERT_NE(r.TT1, map.Cell(0, 0).TT1);
    ASSERT_NE(map.Cell(1, 0).TT1, map.Cell(0, 0).TT1);
    HexMap got;
    ApplyTmxMap(back.Value(), got);
    EXPECT_EQ(MapFileText(got), MapFileText(want));
}

TEST(Tmx, TiledSavesItAndItStillComesBack) {
    if (!HaveTiled()) GTEST_SKIP() << "Tiled is not installed";
    Workspace out;
    out.Write("in.zep", MapFileText(RandomMap(9, 6, 5, false)));
    ASSERT_EQ(Tool(Ws() << "export-tmx" << out.Path("in.zep") << "-o" << out.Path("m.tmx")).code,
              0);
    out.Write("z.tmx", Recode(out.Read("m.tmx"), "zlib"));
    out.Write("g.tmx", Recode(out.Read("m.tmx"), "gzip"));
    // Tiled keeps a map's layer format when it saves it again.
    const QStringList chains[] = {{"m.tmx", "t.tmx"},
                                  {"m.tmx", "j.json", "jt.tmx"},
                                  {"z.tmx", "zt.tmx"},
                                  {"g.tmx", "gt.tmx"}};
    for (const QStringList& chain : chains) {
        for (int i = 1; i < chain.size(); ++i) {
            const QString format = chain[i].endsWith("json") ? "json" : "tmx";
            const Ran t = RunProgram(
                "tiled", {"--export-map", format, out.Path(chain[i - 1]), out.Path(chain[i])});
            ASSERT_EQ(t.code, 0) << t.err.toStdString();
        }
        const QString last = chain.last();
        const Ran i = Tool(Ws() << "import-tmx" << out.Path(last) << "-o" << out.Path("b.zep"));
        EXPECT_EQ(i.code, 0) << last.toStdString() << ": " << i.err.toStdString();
        EXPECT_EQ(out.Read("b.zep"), out.Read("in.zep")) << last.toStdString();
    }
    EXPECT_TRUE(out.Read("zt.tmx").contains("compression=\"zlib\""));
    EXPECT_TRUE(out.Read("gt.tmx").contains("compression=\"gzip\""));
}

TEST(Tmx, TiledDrawsTheMapAsTheEditorDoes) {
    if (!HaveTiled()) GTEST_SKIP() << "Tiled is not installed";
    Workspace out;
    // The sample island: coasts whose land reaches over the hex edges.
    const QString draft = out.Path("draft.zep"), coast = out.Path("coast.zep");
    ASSERT_EQ(Tool(Ws() << "convert" << Sample() + "/sketch.bmp"
                        << "-o" << draft << "--scale"
                        << "10"
                        << "--seed"
                        << "7")
                  .code,
              0);
    ASSERT_EQ(Tool(Ws() << "fix" << draft << Sample() + "/coast.txt"
                        << "-o" << coast << "--seed"
                        << "7")
                  .code,
              0);
    ASSERT_EQ(Tool(Ws() << "roads" << coast << "-o" << out.Path("island.zep")).code, 0);
    QStringList maps{"island"};
    int seed = 20;
    for (const QSize size : {QSize(2, 2), QSize(7, 5), QSize(8, 6), QSize(15, 3), QSize(80, 4)}) {
        const QString name = QString("m%1x%2").arg(size.width()).arg(size.height());
        out.Write(name + ".zep", MapFileText(RandomMap(size.width(), size.height(), ++seed, true)));
        maps << name;
    }
    for (const QString& m : maps) {
        const QString zep = out.Path(m + ".zep"), tmx = out.Path(m + ".tmx");
        ASSERT_EQ(Tool(Ws() << "export-tmx" << zep << "-o" << tmx).code, 0);
        for (const bool roads : {false, true}) {
            QStringList render = Ws() << "render" << zep << "-o" << out.Path("ref.png");
            QStringList raster{tmx, out.Path("tiled.png")};
            if (roads) {
                render << "--roads";
                raster =
                    QStringList{"--ignore-visibility", "--hide-layer", "terrain 1", "--hide-layer",
                                "terrain 2",           "--hide-layer", "terrain 3"} +
                    raster;
            }
            ASSERT_EQ(Tool(render).code, 0);
            const Ran r = RunProgram("tmxrasterizer", raster);
            ASSERT_EQ(r.code, 0) << r.err.toStdString();
            const QImage ref = QImage(out.Path("ref.png")).convertToFormat(QImage::Format_RGB32);
            const QImage tiled = OnGreen(QImage(out.Path("tiled.png")));
            ASSERT_EQ(tiled.size(), ref.size()) << m.toStdString();
            int differ = 0;
            QString first;
            for (int y = 0; y < ref.height(); ++y)
                for (int x = 0; x < ref.width(); ++x)
                    if (ref.pixel(x, y) != tiled.pixel(x, y) && differ++ < 8)
                        first += QString(" %1,%2: %3 not %4")
                                     .arg(x)
                                     .arg(y)
                                     .arg(tiled.pixel(x, y), 0, 16)
                                     .arg(ref.pixel(x, y), 0, 16);
            EXPECT_EQ(differ, 0) << m.toStdString() << (roads ? " with roads" : "")
                                 << first.toStdString();
        }
    }
}

TEST(Tmx, BadFilesAreRefusedWithOneLineAndNoOutput) {
    Workspace out;
    out.Write("in.zep", MapFileText(RandomMap(5, 4, 9, true)));
    ASSERT_EQ(Tool(Ws() << "export-tmx" << out.Path("in.zep") << "-o" << out.Path("good.tmx")).code,
              0);
    const QByteArray good = out.Read("good.tmx");
    // The first cell of the tiles layer, the first layer of the file.
    const qsizetype data = good.indexOf("<data encoding=\"csv\">\n") + 22;
    const QByteArray first = good.mid(data, good.indexOf(',', data) - data);
    auto withFirstCell = [&](const QByteArray& gid) {
        return QByteArray(good).replace(data, first.size(), gid);
    };
    auto replaced = [&](const QByteArray& from, const QByteArray& to) {
        EXPECT_TRUE(good.contains(from)) << from.constData();
        return QByteArray(good).replace(from, to);
    };
    auto withProperty = [&](const char* name, const QString& value) {
        return replaced("nextobjectid=\"1\">",
                        "nextobjectid=\"1\">\n <properties>\n  <property name=\"" +
                            QByteArray(name) + "\" value=\"" + value.toUtf8() +
                            "\"/>\n </properties>");
    };
    auto roadsTileset = [&](const char* source) {
        return QString(good)
            .replace(QRegularExpression("(<tileset firstgid=\"\\d+\") name=\"roads\".*"
                                        "</tileset>",
                                        QRegularExpression::DotMatchesEverythingOption),
                     QString("\\1 source=\"%1\"/>").arg(source))
            .toUtf8();
    };
    const qsizetype layerAt = good.indexOf(" <layer id=\"1\"");
    const QByteArray tilesLayer = good.mid(layerAt, good.indexOf(" <layer id=\"2\"") - layerAt);
    ASSERT_EQ(::mkfifo(QFile::encodeName(out.Path("fifo.tsx")).constData(), 0600), 0);
    const struct {
        const char* name;
        QByteArray text;
        const char* fault;
    } cases[] = {
        {"truncated", good.left(good.size() / 2), "ends early"},
        {"orthogonal", replaced("orientation=\"hexagonal\"", "orientation=\"orthogonal\""),
         "orthogonal, not hexagonal"},
        {"even", replaced("staggerindex=\"odd\"", "staggerindex=\"even\""), "odd columns"},
        {"tilesize",
         replaced("tilewidth=\"60\" tileheight=\"50\" infinite",
                  "tilewidth=\"64\" tileheight=\"50\" infinite"),
         "64x50"},
        {"unknown-gid", withFirstCell("99999"), "belongs to no tileset"},
        {"spaced-gid", withFirstCell("1 2"), "holds \"1 2\", which is not a tile id"},
        {"flipped", withFirstCell(QByteArray::number(0x80000000u + first.toUInt())),
         "flipped or rotated"},
        {"size", replaced("name=\"terrain 1\" width=\"5\"", "name=\"terrain 1\" width=\"6\""),
         "is 6x4, the map 5x4"},
        {"short-layer",
         replaced("<data encoding=\"csv\">\n" + first + ",", "<data encoding=\"csv\">\n"),
         "holds 19 cells, not 20"},
        {"no-image", replaced("good-tiles.png", "gone-tiles.png"), "is missing"},
        {"not-xml", "This is not a map.\n", "not an XML file"},
        {"empty", "", "is empty"},
        {"svg", "<svg xmlns=\"http://www.w3.org/2000/svg\"/>", "not a Tiled map"},
        {"no-roads", replaced("name=\"roads\"", "name=\"paths\""), "no layer \"roads\""},
        {"few-values", withProperty("PL", "1 2 3"), "holds 3 numbers, not 20"},
        // Read a token at a time, refused at the first one too many.
        {"many-values", withProperty("PL", QString("0 ").repeated(21)),
         "\"PL\" holds more than 20 numbers"},
        {"many-cells",
         replaced("<data encoding=\"csv\">\n" + first + ",", "<data encoding=\"csv\">\n0,0,"),
         "holds more than 20 cells"},
        {"long-text",
         replaced("<data encoding=\"csv\">\n",
                  "<data encoding=\"csv\">" + QByteArray(5 << 20, ' ') + "\n"),
         "holds a tag or text of over 4 MB"},
        // Only regular files are opened: a pipe is never waited on.
        {"fifo-tileset", roadsTileset("fifo.tsx"), "fifo.tsx: is a pipe, not a regular file"},
        {"stdin-tileset", roadsTileset("/dev/stdin"), "/dev/stdin: is a "},
        // What Tiled would draw or keep otherwise.
        {"tiles-twice", replaced("<layer id=\"2\"", tilesLayer + " <layer id=\"2\""),
         "the layer \"tiles\" is there twice"},
        {"data-twice", replaced("</data>\n </layer>", "</data>\n<data/></layer>"),
         "holds a second <data>"},
        {"property-twice", withProperty("PL", "0\"/><property name=\"PL\" value=\"0"),
         "the map property \"PL\" is there twice"},
        {"tile-70000",
         replaced("name=\"tile\" type=\"int\" value=\"", "name=\"tile\" value=\"7000"),
         "standing for 7000"},
        {"tile-property-twice",
         replaced("<property name=\"tile\" type",
                  "<property name=\"tile\" value=\"1\"/><property name=\"tile\" type"),
         "has the property \"tile\" twice"},
        {"tile-negative",
         replaced("name=\"tile\" type=\"int\" value=\"", "name=\"tile\" value=\"-"),
         "standing for -"},
        {"outside-on-map",
         withProperty("cells outside the map", "1 1" + QString(" 7").repeated(32)),
         "lies on the map"},
    };
    auto refused = [&](const QString& file, const char* fault) {
        const QString zep = out.Path("out.zep");
        const Ran r = Tool(Ws() << "import-tmx" << file << "-o" << zep);
        EXPECT_EQ(r.code, 2) << file.toStdString();
        EXPECT_EQ(r.err.count('\n'), 1) << r.err.toStdString();
        EXPECT_TRUE(r.err.contains(file.toUtf8())) << r.err.toStdString();
        EXPECT_TRUE(r.err.contains(fault)) << fault << ": " << r.err.toStdString();
        EXPECT_FALSE(QFile::exists(zep));
    };
    for (const auto& c : cases) {
        out.Write(QString(c.name) + ".tmx", c.text);
        refused(out.Path(QString(c.name) + ".tmx"), c.fault);
    }
    // A 100 MB file is refused unread.
    QFile big(out.Path("big.tmx"));
    ASSERT_TRUE(big.open(QIODevice::WriteOnly));
    big.write(good.left(100));
    ASSERT_TRUE(big.resize(100 * 1024 * 1024));
    big.close();
    refused(out.Path("big.tmx"), "larger than 32 MB");
    out.Write("big-tileset.tmx", roadsTileset("big.tmx"));
    refused(out.Path("big-tileset.tmx"), "takes the map and its tilesets over 32 MB");
    refused(out.Path("none.tmx"), "No such file or directory");
    // A tileset picture missing from beside the map.
    QFile::remove(out.Path("good-roads.png"));
    refused(out.Path("good.tmx"), "good-roads.png\" of the tileset \"roads\" is missing");
}

TEST(Tmx, ExportFailuresLeaveNoFiles) {
    Workspace out;
    out.Write("in.zep", MapFileText(RandomMap(5, 4, 9, true)));
    out.Write("plain", "x");
    const QStringList before = out.Dir().entryList(QDir::AllEntries | QDir::NoDotAndDotDot);
    const Ran r =
        Tool(Ws() << "export-tmx" << out.Path("in.zep") << "-o" << out.Path("plain/m.tmx"));
    EXPECT_EQ(r.code, 2);
    EXPECT_EQ(r.err.count('\n'), 1);
    EXPECT_TRUE(r.err.contains("plain/m-")) << r.err.toStdString();
    EXPECT_EQ(Tool(Ws() << "export-tmx" << out.Path("none.zep") << "-o" << out.Path("m.tmx")).code,
              2);
    EXPECT_EQ(Tool(Ws() << "export-tmx" << out.Path("in.zep")).code, 1);
    EXPECT_EQ(out.Dir().entryList(QDir::AllEntries | QDir::NoDotAndDotDot), before);
}

// A little under each of the reader's limits a map is read, a little over
// it is refused: texts of 3 MB, a map of exactly 32 MB holding almost a
// million tags and texts, a map and its tileset file of 32 MB together.
TEST(Tmx, MapsJustWithinTheLimitsAreReadAndJustBeyondRefused) {
    Workspace out;
    out.Write("in.zep", MapFileText(RandomMap(5, 4, 9, true)));
    ASSERT_EQ(Tool(Ws() << "export-tmx" << out.Path("in.zep") << "-o" << out.Path("good.tmx")).code,
              0);
    const QByteArray good = out.Read("good.tmx");
    constexpr qint64 Limit = 32 << 20;
    // `text` with comments before its last tag: `small` empty ones, then
    // ones of 3 MB at most that fill it to `size` bytes.
    auto padded = [](const QByteArray& text, qint64 size, int small) {
        const qsizetype end = text.lastIndexOf("</");
        QByteArray out = text.left(end) + QByteArray("<!---->").repeated(small);
        for (qint64 left = size - out.size() - (text.size() - end); left > 0;) {
            const qint64 n = std::min<qint64>(left, 3 << 20);
            out += "<!--" + QByteArray(n - 7, 'x') + "-->";
            left -= n;
        }
        return out + text.mid(end);
    };
    auto read = [&](const QString& name, const QByteArray& text) {
        out.Write(name, text);
        return ImportTmx(out.Path(name), SampleCatalogue());
    };
    const Result<TmxMap> full = read("full.tmx", padded(good, Limit, 990'000));
    ASSERT_TRUE(full) << full.Message().toStdString();
    HexMap back;
    ApplyTmxMap(full.Value(), back);
    EXPECT_EQ(MapFileText(back), out.Read("in.zep"));
    EXPECT_TRUE(read("over.tmx", padded(good, Limit + 1, 0)).Message().contains("larger than 32"));
    EXPECT_TRUE(read("many.tmx", padded(good, 0, 1'010'000)).Message().contains("over 1000000"));
    // The roads tileset in a file of its own.
    const QRegularExpression roads("<tileset (firstgid=\"\\d+\") (name=\"roads\".*</tileset>)",
                                   QRegularExpression::DotMatchesEverythingOption);
    const QByteArray map = QString(good).replace(roads, "<tileset \\1 source=\"r.tsx\"/>").toUtf8();
    const QByteArray tsx = "<?xml version=\"1.0\"?>\n<tileset " +
                           roads.match(QString(good)).captured(2).toUtf8() + "\n";
    for (const qint64 size : {Limit, Limit + 1}) {
        out.Write("r.tsx", padded(tsx, size - map.size(), 0));
        const Result<TmxMap> r = read("ext.tmx", map);
        EXPECT_EQ(r.Ok(), size == Limit) << r.Message().toStdString();
    }
}
