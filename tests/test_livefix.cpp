// Coasts fixed around what a tool changed, in the same step, and by
// `zemtool fix --region`; terrain codes at every zoom, and the view drawn
// again only around the hexes that changed.

#include "TestSupport.h"
#include "edit/FixWhilePainting.h"
#include "map/MapFile.h"
#include "render/ViewDraw.h"
#include "tools/ToolManager.h"

#include <QBuffer>
#include <QFile>
#include <random>

using namespace zem;
using namespace zem::test;

namespace {
// Sea (tile 10) is fixable; land (set 1) is X; sea with land beside it
// becomes tile 11 or 12 at random.
const QByteArray CoastText = [] {
    QByteArray text = "10 0 0 0 0 0 0 0\n1 1 1\n";
    for (int p = 1; p < 64; ++p) {
        QByteArray w;
        for (int i = 0; i < 6; ++i)
            w += (p & (1 << i)) ? 'X' : 'O';
        text += w + " 11 12 11\n";
    }
    return text;
}();
TerrainTemplate Coast() {
    QByteArray bytes = CoastText;
    QBuffer buf(&bytes);
    buf.open(QIODevice::ReadOnly);
    return LoadTerrainTemplate(buf, "coast.txt").Value();
}
// Land (tile 1) with sea on the given hexes.
HexMap Island(const TileCatalogue& cat, int w, int h, const std::vector<HexPos>& sea) {
    HexMap m;
    m.MapWidth = w, m.MapHeight = h;
    for (int k = 0; k < w * h; ++k)
        PlaceTile(m, cat, k % w, k / w, 1);
    for (const HexPos s : sea)
        PlaceTile(m, cat, s.x, s.y, 10);
    return m;
}
QPoint Pixel(HexPos h) {
    return {45 * h.x + 20, 50 * h.y + ((h.x & 1) ? 25 : 0) + 20};
}
} // namespace

// The pass over a region is the whole pass where nothing else is fixable,
// and never reaches beyond the region or into the outer ring; zemtool's
// --region runs it, or refuses in one line what is no region.
TEST(LiveFix, RegionPassIsTheWholePassThereAndNothingElse) {
    Loaded l;
    const TileCatalogue& cat = l.st.cat;
    const TerrainTemplate coast = Coast();
    struct Case {
        const char* text;
        FixRegion region, examined;
        std::vector<HexPos> sea;
        HexPos beyond; // sea the whole pass fixes, outside the region
    };
    const Case cases[] = {
        {"3,2,7,6", {3, 2, 7, 6}, {3, 2, 7, 6}, {{3, 2}, {4, 4}, {5, 4}, {7, 6}}, {8, 2}},
        {"0,4,11,4", {0, 4, 11, 4}, {1, 4, 10, 4}, {{0, 4}, {6, 4}, {11, 4}}, {6, 5}},
        {"-3,-3,20,20", {-3, -3, 20, 20}, {1, 1, 10, 8}, {{0, 0}, {1, 1}, {10, 8}, {11, 9}}, {}},
    };
    l.ws.Write("coast.txt", CoastText);
    const QStringList fix{"--workspace",
                          l.ws.Dir().path(),
                          "fix",
                          l.ws.Path("m.zep"),
                          l.ws.Path("coast.txt"),
                          "-o",
                          l.ws.Path("out.zep"),
                          "--seed",
                          "9"};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        const HexMap m = Island(cat, 12, 10, c.sea);
        EXPECT_EQ(Examined(m, c.region), c.examined);
        HexMap whole = m, local = m;
        Random a(9), b(9);
        FixTerrain(whole, cat, coast, a);
        FixTerrain(local, cat, coast, b, c.region);
        EXPECT_EQ(MapFileText(local), MapFileText(whole));
        l.ws.Write("m.zep", MapFileText(m));
        ASSERT_EQ(RunProgram(ZEMTOOL, fix + QStringList{"--region", c.text}).code, 0);
        EXPECT_EQ(l.ws.Read("out.zep"), MapFileText(local));

        if (c.beyond == HexPos{}) continue;
        HexMap more = Island(cat, 12, 10, c.sea);
        PlaceTile(more, cat, c.beyond.x, c.beyond.y, 10);
        FixTerrain(more, cat, coast, b, c.region);
        EXPECT_EQ(more.Cell(c.beyond.x, c.beyond.y).bmp, 10);
    }
    QFile::remove(l.ws.Path("out.zep"));
    for (const char* bad : {"1,2,3", "1,2,3,x", "1.5,2,3,4", "", "1,2,3,4,5", "1, 2,3,4",
                            "9999999999,1,2,3", "+1,2,3,4"}) {
        const Ran r = RunProgram(ZEMTOOL, fix + QStringList{"--region", bad});
        EXPECT_EQ(r.code, 1) << bad;
        EXPECT_EQ(r.err.count('\n'), 1) << r.err.toStdString();
        EXPECT_TRUE(r.out.isEmpty());
        EXPECT_FALSE(QFile::exists(l.ws.Path("out.zep"))) << bad;
    }
}

// With fixing while painting, a stroke and a click fix the coasts around
// what they changed as the whole pass would where nothing else is fixable,
// each in its own one step; an edit that is no tool's is left alone.
TEST(LiveFix, ToolEditsFixTheirCoastsInTheSameStep) {
    Loaded l;
    ZemState& st = l.st;
    st.map = Island(st.cat, 14, 12, {});
    MapDocument doc{st};
    ToolManager tools{doc, {}};
    const TerrainTemplate coast = Coast();
    doc.AfterToolEdit = [&](const EditOutcome& out) {
        return edit::FixAround(doc.Target(), coast, out);
    };
    st.ed.CurrentSet = 2, st.ed.CurrentImage = 1; // the sea
    st.rng = std::make_unique<Random>(4);
    Random rng(4);
    auto drag = [&](const std::vector<HexPos>& path) {
        st.ed.DownX = Pixel(path[0]).x(), st.ed.DownY = Pixel(path[0]).y();
        tools.Press({mbLeft, false, Pixel(path[0])});
        for (size_t i = 1; i < path.size(); ++i)
            tools.Move({mbLeft, false, Pixel(path[i])}, true, QRect(0, 0, 2000, 2000));
        tools.Click();
        tools.Release(mbLeft);
    };
    const QByteArray start = MapFileText(st.map);
    const std::vector<HexPos> stroke{{5, 5}, {6, 5}, {6, 6}, {6, 7}, {7, 7}};
    HexMap twin = Island(st.cat, 14, 12, stroke);
    FixTerrain(twin, st.cat, coast, rng);
    drag(stroke);
    EXPECT_EQ(MapFileText(st.map), MapFileText(twin));
    EXPECT_EQ(doc.Steps().Steps(), 1);
    EXPECT_EQ(doc.Steps().UndoText(), "Place Tiles");
    doc.Undo();
    EXPECT_EQ(MapFileText(st.map), start);
    doc.Redo();
    EXPECT_EQ(MapFileText(st.map), MapFileText(twin));

    PlaceTile(twin, st.cat, 11, 2, 10);
    FixTerrain(twin, st.cat, coast, rng);
    drag({{11, 2}});
    EXPECT_EQ(MapFileText(st.map), MapFileText(twin));
    EXPECT_EQ(doc.Steps().Steps(), 2);
    doc.Undo();
    EXPECT_EQ(st.map.Cell(11, 2).bmp, 1);

    MapCell sea = st.map.Cell(1, 1);
    sea.bmp = 10;
    doc.Apply(edit::PasteHere(st.map, {1, 1, {sea}}, {2, 2}));
    EXPECT_EQ(st.map.Cell(2, 2).bmp, 10);
}

// Terrain codes show as colours below 67 % and as digits from 67 % up; a
// hex drawn again gives the pixels the whole view gives, at 25 % and 100 %,
// from odd and even origins, and only around the hex.
TEST(LiveFix, TerrainCodesAndHexesDrawnAgain) {
    Loaded l;
    HexMap& m = l.st.map;
    m = Island(l.st.cat, 40, 40, {});
    m.Cell(2, 2).TT1 = 3;
    m.Cell(4, 4).TT1 = 0;
    ZoomedTiles zoomed;
    auto full = [&](const MapView& view) {
        QImage p(view.width, view.height, QImage::Format_RGB32);
        DrawView(m, l.st.cat, l.st.images, zoomed, true, view, p);
        DrawTerrainLabels(p, m, view, 1);
        return p;
    };
    for (const int zoom : {25, 33, 50, 67, 100}) {
        const MapView view{{0, 0}, zoom, 400, 300};
        const QImage p = full(view);
        const QPoint centre = view.Corner(2, 2) + QPoint(view.Scaled(30), view.Scaled(25));
        EXPECT_EQ(p.pixel(centre) == TerrainColour(3), zoom < 67) << zoom;
        EXPECT_NE(p.pixel(centre), TileColour(1)) << zoom;
        EXPECT_EQ(p.pixel(view.Corner(4, 4) + QPoint(view.Scaled(30), view.Scaled(25))),
                  TileColour(1)); // code 0: no label, no colour
    }

    std::mt19937 gen(3);
    const int tiles[] = {0, 1, 2, 5, 10, 11, 20};
    auto scramble = [&](int x, int y) {
        MapCell& c = m.Cell(x, y);
        c.bmp = std::int16_t(tiles[gen() % 7]), c.RC = std::int16_t((gen() & 0xFF) | rbN | rbS);
        c.TT1 = std::uint8_t(gen() % 5);
    };
    for (int k = 0; k < 1600; ++k)
        scramble(k % 40, k / 40);
    for (const int zoom : {25, 100})
        for (const HexPos origin : {HexPos{0, 0}, HexPos{3, 1}, HexPos{4, 2}}) {
            SCOPED_TRACE(testing::Message() << zoom << "% from " << origin.x << "," << origin.y);
            m.ViewOrigin = origin;
            const MapView view{origin, zoom, 700, 560};
            QImage picture = full(view);
            const HexPos o = origin;
            for (const HexPos h :
                 {HexPos{std::max(o.x - 1, 0), o.y}, o, HexPos{o.x + 3, o.y + 2},
                  HexPos{o.x + 4, o.y + 2}, HexPos{o.x + 4, o.y + 3},
                  HexPos{std::min(o.x + view.Columns(), 39), o.y + 1}, HexPos{39, 39}}) {
                scramble(h.x, h.y);
                const QRect part =
                    RedrawHexes(m, l.st.cat, l.st.images, zoomed, {true, 1}, view, {h}, picture);
                EXPECT_LE(part.width(), view.Scaled(60) + 4);
                EXPECT_LE(part.height(), view.Scaled(50) + 4);
            }
            EXPECT_EQ(picture, full(view));
        }
}
