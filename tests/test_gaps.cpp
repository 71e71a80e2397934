// Whole-map passes on maps that are not square, checked to the last column
// and the bottom row; refusals where only one of two conditions is wrong;
// every field a terrain fix writes; sampling decided by the third row or
// column.

#include "TestSupport.h"
#include "convert/SketchConvert.h"
#include "convert/TerrainFix.h"
#include "tools/Roads.h"
#include "tools/Spray.h"
#include "windows/TMapConvert.h"
#include "windows/TMapForm.h"
#include "windows/TTilForm.h"

#include <QRadioButton>

using namespace zem;
using namespace zem::test;

namespace {
const QSize Shapes[] = {{7, 5}, {44, 39}};

// Every grid cell, on the map and beyond it, starts as `c`.
void FillGrid(HexMap& m, QSize size, const MapCell& c) {
    m.MapWidth = size.width();
    m.MapHeight = size.height();
    for (int x = 0; x < MaxMapSize; ++x)
        for (int y = 0; y < MaxMapSize; ++y)
            m.Cell(x, y) = c;
}
} // namespace

TEST(WholeMap, SprayReachesTheLastColumnAndBottomRowOnly) {
    Loaded l;
    for (QSize s : Shapes) {
        SCOPED_TRACE(s.width());
        HexMap& m = l.st.map;
        FillGrid(m, s, MapCell{.bmp = 99});
        Random rng(3);
        SprayWholeMap(m, l.st.cat, rng, {3, 100, {1, 2, 3}});
        for (int x = 0; x <= s.width(); ++x)
            for (int y = 0; y <= s.height(); ++y) {
                const int b = m.Cell(x, y).bmp;
                if (m.OnMap(x, y))
                    EXPECT_TRUE(b >= 1 && b <= 3) << x << "," << y;
                else
                    EXPECT_EQ(b, 99) << x << "," << y;
            }
    }
}

TEST(WholeMap, TerrainFixingReplacesTheInsideUpToTheRing) {
    Loaded l; // tile 1 and 5 in set 1
    TerrainTemplate t;
    t.fixable = {1, 1, 1, 1, 1, 1, 1, 1};
    t.xsets = {9, 9, 9}; // no neighbour counts as X
    t.patterns = {{"OOOOOO", {5, 5, 5}}};
    for (QSize s : Shapes) {
        SCOPED_TRACE(s.width());
        HexMap& m = l.st.map;
        FillGrid(m, s, MapCell{.bmp = 1});
        Random rng(3);
        FixTerrain(m, l.st.cat, t, rng);
        for (int x = 0; x <= s.width(); ++x)
            for (int y = 0; y <= s.height(); ++y) {
                const bool inside = x >= 1 && y >= 1 && x <= s.width() - 2 && y <= s.height() - 2;
                EXPECT_EQ(m.Cell(x, y).bmp, inside ? 5 : 1) << x << "," << y;
            }
    }
}

TEST(WholeMap, ClearingRoadsEmptiesEveryRowAndKeepsTheGridBeyond) {
    for (QSize s : Shapes) {
        SCOPED_TRACE(s.width());
        HexMap m;
        FillGrid(m, s, MapCell{.RC = 0xFF});
        ClearRoadConnections(m);
        for (int x = 0; x <= s.width(); ++x)
            for (int y = 0; y <= s.height(); ++y)
                EXPECT_EQ(m.Cell(x, y).RC, m.OnMap(x, y) ? 0 : 0xFF) << x << "," << y;
    }
}

TEST(TerrainFix, AReplacedHexTakesTileTypesAndE2E3AndKeepsTheRest) {
    Loaded l; // tile 5: set 1, TT1 1, TT2 0, TT3 5, PL 5, E2 6, E3 7
    HexMap& m = l.st.map;
    FillGrid(m, {3, 3}, MapCell{.bmp = 20});
    MapCell before{.bmp = 1,
                   .TT1 = 9,
                   .TT2 = 8,
                   .TT3 = 7,
                   .spare = 4,
                   .RC = 0x11,
                   .PL = 33,
                   .E2 = 44,
                   .E3 = 55};
    for (int k = 0; k < 24; ++k)
        before.extra[size_t(k)] = std::int16_t(k + 100);
    m.Cell(1, 1) = before;
    TerrainTemplate t;
    t.fixable = {1, 0, 0, 0, 0, 0, 0, 0};
    t.xsets = {3, 3, 3}; // tile 20's set: every neighbour is X
    t.patterns = {{"XXXXXX", {5, 5, 5}}};
    Random rng(1);
    FixTerrain(m, l.st.cat, t, rng);
    MapCell want = before;
    want.bmp = 5;
    want.TT1 = 1;
    want.TT2 = 0;
    want.TT3 = 5;
    want.E2 = 6;
    want.E3 = 7; // RC, PL (not the tile's 5), the spare byte and the extras stay
    EXPECT_EQ(m.Cell(1, 1), want);
}

TEST(Convert, TheThirdColumnOrRowOfSamplesDecides) {
    const Colour A = RGBColour(0, 0, 255), B = RGBColour(0, 128, 0);
    ColourTable table;
    table.N = 2;
    table.entries[0] = {A, {5, 5, 5}};
    table.entries[1] = {B, {10, 10, 10}};
    // Two hexes at scale 3. In each the first two columns (left hex) or rows
    // (right hex) tie, A against B, which A would win as the lower index;
    // the third column or row gives B two votes more.
    const char* rows[3] = {"ABB"
                           "AAA", //
                           "ABB"
                           "BBB", //
                           "ABA"
                           "BBA"};
    QImage sketch(6, 3, QImage::Format_RGB32);
    for (int y = 0; y < 3; ++y)
        for (int x = 0; x < 6; ++x)
            sketch.setPixel(x, y, ToQColor(rows[y][x] == 'A' ? A : B).rgb());
    Loaded l;
    HexMap& m = l.st.map;
    m.MapWidth = 2;
    m.MapHeight = 1;
    Random rng(1);
    ConvertSketch(m, l.st.cat, rng, table, sketch, 3);
    EXPECT_EQ(m.Cell(0, 0).bmp, 10);
    EXPECT_EQ(m.Cell(1, 0).bmp, 10);
}

TEST(Export, EachWrongSideAloneIsRefusedAndWritesNothing) {
    App a;
    a.ws.Dir().mkpath("out");
    a.st.workDir = QDir(a.ws.Path("out"));
    for (QSize s : {QSize(44, 40), QSize(45, 39), QSize(43, 39), QSize(44, 38)}) {
        const size_t shown = a.dialogs.messages.size();
        a.st.map.MapWidth = s.width();
        a.st.map.MapHeight = s.height();
        a.main().PanzerGeneral21Click();
        ASSERT_EQ(a.dialogs.messages.size(), shown + 1) << s.width() << "x" << s.height();
        EXPECT_EQ(a.dialogs.messages.back().first, "Map must be 44x39");
        EXPECT_TRUE(a.st.workDir.entryList(QDir::Files | QDir::Hidden).isEmpty());
    }
    a.st.map.MapWidth = 44;
    a.st.map.MapHeight = 39;
    const size_t shown = a.dialogs.messages.size();
    a.main().PanzerGeneral21Click();
    EXPECT_EQ(a.dialogs.messages.size(), shown);
    EXPECT_EQ(a.st.workDir.entryList(QDir::Files | QDir::Hidden).size(), 13);
}

TEST(Catalogue, AllTwelveSetsAreKeptAndLabelled) {
    App a; // the standard workspace lists twelve sets, S1 .. S12
    EXPECT_EQ(a.st.cat.SetCount, 12);
    EXPECT_EQ(a.st.cat.SetNames[12], "S12");
    EXPECT_TRUE(a.w.TilForm->SetButtons[11]->isVisibleTo(a.w.TilForm.get()));
    EXPECT_EQ(a.w.TilForm->SetButtons[11]->text(), "S12");
}
