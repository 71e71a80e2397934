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
    for (const char* bad : {"1,2,3", "1,2,3,x", "1.5,2,3,4", "", "1,2,3,4,5", "1, 2,3,4",
                            "9999999999,1,2,3", "+1,2,3,4"}) {
        const Ran r = RunProgram(ZEMTOOL, fix + QStringList{"--region", bad});
        EXPECT_TRUE(r.code == 1 && r.err.count('\n') == 1 && r.out.isEmpty() &&
                    !QFile::exists(l.ws.Path("out.zep")))
            << bad << r.err.toStdString();
    }
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

// Every tool that changes tiles has the coasts fixed in its one step, as the
// pass over the rectangle of its change grown by two fixes them, and shows
// them; one undo takes back both. Terrain codes, an edit that is no tool's
// and a stroke that edit ends are not followed up.
TEST(LiveFix, EveryToolsTilesFixedInItsOneStep) {
    struct Painter {
        Loaded l;
        HexMap& m = l.st.map;
        MapDocument doc{l.st};
        ToolManager tools{doc,
                          {[] { return 2; },
                           [] {
                               return SpraySettings{1, 100, {10, 10, 10}};
                           }}};
        TerrainTemplate coast = Coast(l.ws);
        std::vector<EditOutcome> shown;
        explicit Painter(bool fix) {
            m = Island(l.st.cat, 20, 16, {});
            for (int k = 0; k < 320; ++k) { // lone sea; blocks of tile 2, of 11 and 12, of code 3
                const int x = k % 20, y = k / 20, in = y >= 2 && y <= 4 ? x / 3 : 0;
                PlaceTile(m, l.st.cat, x, y, in == 1 ? 2 : in == 3 ? 11 + k % 2 : k % 7 ? 1 : 10);
                m.Cell(x, y).TT1 = std::uint8_t(in == 5 ? 3 : 0);
            }
            l.st.ed.CurrentSet = 2, l.st.ed.CurrentImage = 1; // the sea
            l.st.rng = std::make_unique<Random>(6);
            if (fix)
                doc.AfterToolEdit = [this](const EditOutcome& o) {
                    return edit::FixAround(doc.Target(), coast, o);
                };
            QObject::connect(&doc, &MapDocument::applied,
                             [this](const EditOutcome& o) { shown.push_back(o); });
        }
        void Drag(const std::vector<HexPos>& path, bool shift = false, bool release = true) {
            l.st.ed.DownX = Pixel(path[0]).x(), l.st.ed.DownY = Pixel(path[0]).y();
            l.st.ed.DownShift = shift, l.st.ed.DownButton = mbLeft;
            tools.Press({mbLeft, shift, Pixel(path[0])});
            for (size_t i = 1; i < path.size(); ++i)
                tools.Move({mbLeft, shift, Pixel(path[i])}, true, QRect(0, 0, 2000, 2000));
            if (release) tools.Click(), tools.Release(mbLeft);
        }
    };
    using Setup = std::function<void(Painter&)>;
    auto with = [](ToolKind kind, ToolOptions o, Setup more = {}) -> Setup {
        return [=](Painter& p) {
            p.tools.SetOptions(o), p.tools.Choose(kind);
            if (more) more(p);
        };
    };
    const ToolOptions one, three{.BrushSize = 3};
    const std::vector<HexPos> line{{6, 9}, {7, 9}, {8, 9}, {9, 10}, {10, 10}};
    const struct {
        const char* name;
        Setup setup;
        std::vector<HexPos> path;
        bool shift = false, tiles = true;
    } cases[] = {
        {"place", with(ToolKind::Place, one), {{6, 9}}},
        {"place, a drag", with(ToolKind::Place, one), line},
        {"place, brush 3", with(ToolKind::Place, three), line},
        {"fill by tile", with(ToolKind::Fill, one), {{4, 3}}},
        {"fill by tile set", with(ToolKind::Fill, {.Fill = edit::FillBy::TileSet}), {{10, 3}}},
        {"fill by terrain", with(ToolKind::Fill, {.Fill = edit::FillBy::Terrain1}), {{16, 3}}},
        {"fill the selection",
         with(ToolKind::Fill, one,
              [](Painter& p) {
                  p.doc.Select(HexSet::Rectangle({5, 8}, {9, 11}));
              }),
         {{1, 1}},
         true},
        {"rectangle", with(ToolKind::Shape, one), {{5, 8}, {9, 12}}},
        {"ellipse", with(ToolKind::Shape, {.Shape = ShapeKind::Ellipse}), {{6, 8}, {12, 13}}},
        {"paste",
         with(ToolKind::Place, one,
              [](Painter& p) {
                  p.tools.StartPaste({3, 2, std::vector(6, p.m.Cell(0, 0))});
              }),
         {{7, 9}}},
        {"a mix, brush 3",
         with(ToolKind::Place, three,
              [](Painter& p) {
                  p.doc.SetMix({10, 11});
              }),
         line},
        {"spray can", [](Painter& p) { p.tools.SprayCan(); }, line},
        {"terrain type, brush 3",
         with(ToolKind::Place, three, [](Painter& p) { p.tools.TerrainType(1); }), line, false,
         false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        Painter p(true), twin(false);
        const HexMap start = p.m;
        for (Painter* q : {&p, &twin})
            c.setup(*q), q->Drag(c.path, c.shift);
        // The twin's change, then the pass over its rectangle grown by two.
        const HexMap painted = twin.m;
        FixRegion r{99, 99, -1, -1};
        for (int k = 0; k < 320; ++k)
            if (const int x = k % 20, y = k / 20; !(start.Cell(x, y) == painted.Cell(x, y)))
                r = {std::min(r.x0, x - 2), std::min(r.y0, y - 2), std::max(r.x1, x + 2),
                     std::max(r.y1, y + 2)};
        if (c.tiles) FixTerrain(twin.m, twin.l.st.cat, twin.coast, *twin.l.st.rng, r);
        const QByteArray fixed = MapFileText(p.m);
        EXPECT_EQ(fixed, MapFileText(twin.m));
        EXPECT_EQ(fixed != MapFileText(painted), c.tiles);
        EXPECT_NE(p.shown.back().redraw, Redraw::Hex); // the fixed hexes drawn too
        EXPECT_EQ(p.doc.Steps().Steps(), 1);
        p.doc.Undo();
        EXPECT_EQ(MapFileText(p.m), MapFileText(start));
        p.doc.Redo();
        EXPECT_EQ(MapFileText(p.m), fixed);
    }
    Painter p(true);
    p.Drag(line, false, false);
    p.doc.Apply(edit::PasteHere(p.m, {1, 1, {p.m.Cell(0, 0)}}, {13, 12}));
    EXPECT_EQ(p.m.Cell(13, 12).bmp, 10);
    EXPECT_EQ(p.m.Cell(9, 10).bmp, 10);
}
