// Coasts fixed around what a tool changed and by `zemtool fix --region`;
// terrain codes at every zoom; the view drawn again around changed hexes.

#include "TestSupport.h"
#include "edit/FixWhilePainting.h"
#include "map/MapFile.h"
#include "render/ViewDraw.h"
#include "tools/ToolManager.h"

#include <QFile>
#include <array>
#include <random>

using namespace zem;
using namespace zem::test;

namespace {
// Sea (tile 10) is fixable, land (set 1) is X: sea beside land becomes tile
// 11 or 12 at random.
TerrainTemplate Coast(const Workspace& ws) {
    QByteArray text = "10 0 0 0 0 0 0 0\n1 1 1\n";
    for (int p = 1; p < 64; ++p) {
        QByteArray w;
        for (int i = 0; i < 6; ++i)
            w += (p & (1 << i)) ? 'X' : 'O';
        text += w + " 11 12 11\n";
    }
    ws.Write("coast.txt", text);
    return LoadTerrainTemplate(ws.Path("coast.txt")).Value();
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

// A region's pass is the whole pass there where nothing else is fixable, no
// more; zemtool's --region runs it, or refuses in one line what is no region.
TEST(LiveFix, RegionPassIsTheWholePassThereAndNothingElse) {
    Loaded l;
    const TileCatalogue& cat = l.st.cat;
    const TerrainTemplate coast = Coast(l.ws);
    struct Case {
        const char* text;
        FixRegion region, examined;
        std::vector<HexPos> sea;
        HexPos beyond; // sea after the region, which the whole pass would fix
    };
    const Case cases[] = {
        {"3,2,7,6", {3, 2, 7, 6}, {3, 2, 7, 6}, {{3, 2}, {4, 4}, {5, 4}, {7, 6}}, {8, 6}},
        {"0,4,11,4", {0, 4, 11, 4}, {1, 4, 10, 4}, {{0, 4}, {6, 4}, {11, 4}}, {6, 5}},
        {"-3,-3,20,20", {-3, -3, 20, 20}, {1, 1, 10, 8}, {{0, 0}, {1, 1}, {10, 8}, {11, 9}}, {}},
    };
    QStringList fix{"--workspace", l.ws.Dir().path(), "fix", l.ws.Path("m.zep")};
    fix += QStringList{l.ws.Path("coast.txt"), "-o", l.ws.Path("out.zep"), "--seed", "9"};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        HexMap local = Island(cat, 12, 10, c.sea), whole = local;
        if (c.beyond != HexPos{}) PlaceTile(local, cat, c.beyond.x, c.beyond.y, 10);
        l.ws.Write("m.zep", MapFileText(local));
        EXPECT_EQ(Examined(local, c.region), c.examined);
        Random a(9), b(9);
        FixTerrain(whole, cat, coast, a);
        FixTerrain(local, cat, coast, b, c.region);
        if (c.beyond != HexPos{}) PlaceTile(whole, cat, c.beyond.x, c.beyond.y, 10);
        EXPECT_EQ(MapFileText(local), MapFileText(whole));
        ASSERT_EQ(RunProgram(ZEMTOOL, fix + QStringList{"--region", c.text}).code, 0);
        EXPECT_EQ(l.ws.Read("out.zep"), MapFileText(local));
    }
    QFile::remove(l.ws.Path("out.zep"));
    for (const char* bad :
         {"1,2,3", "1,2,3,x", "1.5,2,3,4", "", "1,2,3,4,5", "1, 2,3,4", "9999999999,1,2,3"}) {
        const Ran r = RunProgram(ZEMTOOL, fix + QStringList{"--region", bad});
        EXPECT_TRUE(r.code == 1 && r.err.count('\n') == 1 && r.out.isEmpty() &&
                    !QFile::exists(l.ws.Path("out.zep")))
            << bad << r.err.toStdString();
    }
}

// A stroke and a click fix the coasts two hexes around them in their step,
// and show it; an edit that is no tool's, and a stroke it ends, do not.
TEST(LiveFix, ToolEditsFixTheirCoastsInTheSameStep) {
    Loaded l;
    ZemState& st = l.st;
    st.map = Island(st.cat, 14, 12, {{9, 6}, {10, 9}, {11, 4}}); // 2 and 3 beyond the stroke
    MapDocument doc{st};
    ToolManager tools{doc, {}};
    const TerrainTemplate coast = Coast(l.ws);
    doc.AfterToolEdit = [&](const EditOutcome& o) {
        return edit::FixAround(doc.Target(), coast, o);
    };
    std::vector<EditOutcome> shown;
    QObject::connect(&doc, &MapDocument::applied,
                     [&](const EditOutcome& o) { shown.push_back(o); });
    st.ed.CurrentSet = 2, st.ed.CurrentImage = 1; // the sea
    st.rng = std::make_unique<Random>(4);
    Random rng(4);
    auto drag = [&](const std::vector<HexPos>& path, bool release = true) {
        st.ed.DownX = Pixel(path[0]).x(), st.ed.DownY = Pixel(path[0]).y();
        tools.Press({mbLeft, false, Pixel(path[0])});
        for (size_t i = 1; i < path.size(); ++i)
            tools.Move({mbLeft, false, Pixel(path[i])}, true, QRect(0, 0, 2000, 2000));
        if (release) tools.Click(), tools.Release(mbLeft);
    };
    const QByteArray start = MapFileText(st.map);
    HexMap twin = Island(st.cat, 14, 12, {{5, 5}, {6, 5}, {6, 6}, {6, 7}, {7, 7}, {9, 6}});
    FixTerrain(twin, st.cat, coast, rng);
    PlaceTile(twin, st.cat, 10, 9, 10);
    PlaceTile(twin, st.cat, 11, 4, 10);
    drag({{5, 5}, {6, 5}, {6, 6}, {6, 7}, {7, 7}});
    EXPECT_EQ(MapFileText(st.map), MapFileText(twin));
    EXPECT_EQ(shown.back().redraw, Redraw::Cells);
    EXPECT_EQ(shown.back().cells.size(), 6u); // the stroke's hexes fixed, and (9, 6)
    doc.Undo();
    EXPECT_EQ(MapFileText(st.map), start);
    doc.Redo();
    EXPECT_EQ(MapFileText(st.map), MapFileText(twin));

    PlaceTile(twin, st.cat, 11, 2, 10);
    FixTerrain(twin, st.cat, coast, rng, {9, 0, 13, 4});
    drag({{11, 2}});
    EXPECT_EQ(MapFileText(st.map), MapFileText(twin));
    EXPECT_EQ(shown.back().redraw, Redraw::Cells);
    EXPECT_EQ(shown.back().cells.size(), 2u); // (11, 2) and (11, 4)

    drag({{3, 9}, {4, 9}}, false);
    doc.Apply(edit::PasteHere(st.map, {1, 1, {st.map.Cell(4, 9)}}, {2, 2}));
    EXPECT_EQ(st.map.Cell(2, 2).bmp, 10);
    EXPECT_EQ(st.map.Cell(4, 9).bmp, 10);
}

// Codes are colours below 67 %, digits from 67 % up; a hex drawn again gives
// the whole view's pixels, from odd and even origins, only around the hex.
TEST(LiveFix, TerrainCodesAndHexesDrawnAgain) {
    Loaded l;
    HexMap& m = l.st.map;
    m = Island(l.st.cat, 40, 40, {});
    std::mt19937 gen(3);
    auto scramble = [&](HexPos h) {
        MapCell& c = m.Cell(h.x, h.y);
        c.bmp = std::int16_t(std::array{0, 1, 2, 5, 10, 11, 20}[gen() % 7]);
        c.RC = std::int16_t((gen() & 0xFF) | rbN | rbS), c.TT1 = std::uint8_t(gen() % 5);
    };
    for (int k = 0; k < 1600; ++k)
        scramble({k % 40, k / 40});
    ZoomedTiles zoomed;
    for (const int zoom : {25, 33, 50, 67, 100})
        for (const HexPos o : {HexPos{0, 0}, HexPos{3, 1}, HexPos{4, 2}}) {
            SCOPED_TRACE(testing::Message() << zoom << "% from " << o.x << "," << o.y);
            const MapView view{m.ViewOrigin = o, zoom, 700, 560};
            m.Cell(o.x + 2, o.y + 2) = MapCell{.bmp = 1, .TT1 = 3};
            m.Cell(o.x + 5, o.y + 5) = MapCell{.bmp = 1}; // code 0: none shown
            auto full = [&] {
                QImage p(view.width, view.height, QImage::Format_RGB32);
                DrawView(m, l.st.cat, l.st.images, zoomed, true, view, p);
                DrawTerrainLabels(p, m, view, 1);
                return p;
            };
            QImage picture = full();
            const QPoint mid(view.Scaled(30), view.Scaled(25));
            const QRgb coded = picture.pixel(view.Corner(o.x + 2, o.y + 2) + mid);
            EXPECT_EQ(coded == TerrainColour(3), zoom < 67);
            EXPECT_NE(coded, TileColour(1));
            EXPECT_EQ(picture.pixel(view.Corner(o.x + 5, o.y + 5) + mid), TileColour(1));
            for (const HexPos h :
                 {HexPos{std::max(o.x - 1, 0), o.y}, o, HexPos{o.x + 3, o.y + 2},
                  HexPos{o.x + 4, o.y + 2}, HexPos{o.x + 4, o.y + 3},
                  HexPos{std::min(o.x + view.Columns(), 39), o.y + 1}, HexPos{39, 39}}) {
                scramble(h);
                const QRect part =
                    RedrawHexes(m, l.st.cat, l.st.images, zoomed, {true, 1}, view, {h}, picture);
                // Two pixels each side, and one of the zoomed tiles' rounding.
                EXPECT_LE(part.width() + part.height(), view.Scaled(110) + 10);
            }
            EXPECT_EQ(picture, full());
        }
}
