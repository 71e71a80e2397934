#include "TestSupport.h"
#include "convert/SketchConvert.h"
#include "convert/TerrainFix.h"

#include <QBuffer>

using namespace zem;
using namespace zem::test;

namespace {
struct Text {
    QByteArray bytes;
    QBuffer buf;
    explicit Text(const QByteArray& b) : bytes(b), buf(&bytes) { buf.open(QIODevice::ReadOnly); }
};

ColourTable Table(const QByteArray& text) {
    Text t(text);
    Result<ColourTable> table = LoadColourTable(t.buf, "Gmap.txt");
    EXPECT_TRUE(table) << table.Message().toStdString();
    return table ? table.Value() : ColourTable{};
}

TerrainTemplate Template(const QByteArray& text) {
    Text t(text);
    Result<TerrainTemplate> tmpl = LoadTerrainTemplate(t.buf, "coast.txt");
    EXPECT_TRUE(tmpl) << tmpl.Message().toStdString();
    return tmpl ? tmpl.Value() : TerrainTemplate{};
}
} // namespace

TEST(Convert, ColourTableAndNearestColour) {
    const ColourTable t = Table(";c\n2\n0 0 255\n;c\n0 128 0\n5 6 7\n12 12 13\n");
    EXPECT_EQ(t.N, 2);
    EXPECT_EQ(t.entries[1].colour, RGBColour(0, 128, 0));
    EXPECT_EQ(t.entries[1].tiles[2], 13);

    const ColourTable bw = Table("2\n255 255 255\n0 0 0\n1 1 1\n2 2 2\n");
    EXPECT_EQ(NearestColour(bw, RGBColour(100, 100, 100)), 1); // 300 against 465
    const ColourTable same = Table("3\n9 9 9\n9 9 9\n1 2 3\n1 1 1\n2 2 2\n3 3 3\n");
    EXPECT_EQ(NearestColour(same, RGBColour(9, 9, 9)), 0); // the first wins a tie
    EXPECT_EQ(NearestColour(same, RGBColour(1, 2, 3)), 2);

    for (const char* bad : {"0\n", "33\n", "x\n", "1\n0 0\n1 1 1\n", "1\n0 0 256\n1 1 1\n",
                            "1\n0 0 0\n", "1\n0 0 0\n1 1 648\n"}) {
        Text b(bad);
        const Result<ColourTable> refused = LoadColourTable(b.buf, "Gmap.txt");
        EXPECT_FALSE(refused) << bad;
        EXPECT_TRUE(refused.Message().startsWith("Gmap.txt: line "))
            << refused.Message().toStdString();
    }
}

TEST(Convert, SketchSizesAndSampling) {
    EXPECT_EQ(SketchMapSize({440, 390}, 10), QSize(44, 39));
    EXPECT_EQ(SketchMapSize({1000, 300}, 5), QSize(80, 60));
    EXPECT_EQ(SketchMapSize({400, 400}, 5), QSize(80, 80));
    EXPECT_EQ(SketchMapSize({400, 400}, 10), QSize(40, 40));
    EXPECT_EQ(SketchMapSize({4, 40}, 5), QSize(0, 8));

    Loaded l;
    // Colours 0..5; block (1, 0) votes 4 for colour 2, 4 for colour 5, 1 for 0.
    const ColourTable t = Table("6\n0 0 0\n10 0 0\n20 0 0\n30 0 0\n40 0 0\n50 0 0\n"
                                "1 1 1\n2 2 2\n3 3 3\n4 4 4\n5 5 5\n6 6 6\n");
    QImage sketch(10, 5, QImage::Format_RGB32);
    sketch.fill(qRgb(30, 0, 0));
    const int votes[9] = {20, 20, 20, 20, 50, 50, 50, 50, 0};
    for (int k = 0; k < 9; ++k)
        sketch.setPixel(5 + k % 3, k / 3, qRgb(votes[k], 0, 0));
    sketch.setPixel(4, 4, qRgb(0, 0, 0)); // outside the 3 x 3 samples: no effect
    HexMap& m = l.st.map;
    m.MapWidth = 2;
    m.MapHeight = 1;
    m.Cell(1, 0) = MapCell{.bmp = 9, .spare = 3, .RC = 4, .PL = 1, .E2 = 2, .E3 = 3};
    m.Cell(1, 0).extra[0] = 77;
    Random rng(1);
    ConvertSketch(m, l.st.cat, rng, t, sketch, 5);
    EXPECT_EQ(m.Cell(0, 0).bmp, 4);
    const MapCell& c = m.Cell(1, 0);
    EXPECT_EQ(c.bmp, 3);
    EXPECT_EQ(c.TT1, 1);
    EXPECT_EQ(c.TT3, 3);
    EXPECT_EQ(c.RC, 0);
    EXPECT_EQ(c.PL, 0); // zero, not the tile's default 5
    EXPECT_EQ(c.E2, 0);
    EXPECT_EQ(c.spare, 3);
    EXPECT_EQ(c.extra[0], 77);

    // Samples outside the sketch have no vote; a hex with none keeps its cell.
    m.MapWidth = 3;
    m.Cell(2, 0).bmp = 99;
    ConvertSketch(m, l.st.cat, rng, t, sketch, 5);
    EXPECT_EQ(m.Cell(2, 0).bmp, 99);
}

TEST(Convert, RandomChoiceAmongTheThreeTiles) {
    Loaded l;
    const ColourTable t = Table("2\n0 0 255\n0 255 0\n1 2 3\n6 6 6\n");
    QImage sketch(50, 50, QImage::Format_RGB32);
    sketch.fill(qRgb(0, 0, 250));
    for (int y = 0; y < 50; ++y)
        for (int x = 25; x < 50; ++x)
            sketch.setPixel(x, y, qRgb(0, 250, 0));
    l.st.map.MapWidth = 10;
    l.st.map.MapHeight = 10;
    Random rng(7);
    ConvertSketch(l.st.map, l.st.cat, rng, t, sketch, 5);
    std::set<int> left;
    for (int y = 0; y < 10; ++y) {
        for (int x = 0; x < 5; ++x)
            left.insert(l.st.map.Cell(x, y).bmp);
        for (int x = 5; x < 10; ++x)
            EXPECT_EQ(l.st.map.Cell(x, y).bmp, 6);
    }
    EXPECT_EQ(left, (std::set<int>{1, 2, 3}));
}

TEST(TerrainFix, TemplateReadingAndLookup) {
    const TerrainTemplate t =
        Template(";fix\n11 12 0 0 0 0 0 0\n2 2 2\nXXXOOO 41 41 42\n"
                 ";c\nxxxooo 5 5 5\nXXOOOOO 6 6 6\nXXXOOO 7 7 7\nOXOXOX 8 8 8\n"
                 "\nOOOOOO 9 9 9\n");
    EXPECT_EQ(t.fixable[1], 12);
    EXPECT_EQ(t.xsets[0], 2);
    ScriptedRandom rng{2, 0, 1};
    EXPECT_EQ(FindPatternTile(t, "XXXOOO", rng), 42); // first entry wins
    EXPECT_EQ(FindPatternTile(t, "XXXOOO", rng), 41);
    EXPECT_EQ(FindPatternTile(t, "OXOXOX", rng), 8);
    EXPECT_EQ(FindPatternTile(t, "OOOOOO", rng), 0); // after the blank line: never consulted
    EXPECT_EQ(FindPatternTile(t, "xxxooo", rng), 5);
    EXPECT_EQ(FindPatternTile(t, "XXOOOOO", rng), 6); // words are compared exactly

    QByteArray many = "1 2 3 4 5 6 7 8\n1 1 1\n";
    for (int i = 0; i < 70; ++i)
        many += "W" + QByteArray::number(i) + " 1 1 1\n";
    EXPECT_EQ(Template(many).patterns.size(), 64u);
    EXPECT_EQ(Template("1 2 3 4 5 6 7 8\n1 1 1\nLONGERWORD 3 3 3\n").patterns[0].word,
              "LONGERWORD");
    EXPECT_EQ(
        FindPatternTile(Template("1 2 3 4 5 6 7 8\n1 1 1\nLONGERWO 3 3 3\n"), "LONGERWO", rng), 0);

    Text shortFirst("1 2 3\n1 1 1\n");
    EXPECT_TRUE(LoadTerrainTemplate(shortFirst.buf, "t.txt").Message().contains("first line"));
    Text shortSecond("1 2 3 4 5 6 7 8\n1 1\n");
    EXPECT_TRUE(LoadTerrainTemplate(shortSecond.buf, "t.txt").Message().contains("second line"));
}

TEST(TerrainFix, ScanSkipsTheRingAndSeesEarlierReplacements) {
    Loaded l; // tiles 1..8 set 1, 10..12 set 2, 20 set 3
    HexMap& m = l.st.map;
    m.MapWidth = 6;
    m.MapHeight = 5;
    for (int x = 0; x < 6; ++x)
        for (int y = 0; y < 5; ++y)
            m.Cell(x, y).bmp = 1;
    // Sea tile 1 is fixable; a hex of set 2 counts as X. Any hex whose
    // upper-left or lower-left neighbour is X becomes tile 10 (set 2).
    QByteArray text = "1 0 0 0 0 0 0 0\n2 2 2\n";
    for (int p = 0; p < 64; ++p) {
        QByteArray w;
        for (int i = 0; i < 6; ++i)
            w += (p & (1 << i)) ? 'X' : 'O';
        if ((p & 1) || (p & 32)) text += w + " 10 10 10\n";
    }
    const TerrainTemplate t = Template(text);
    m.Cell(0, 2).bmp = 10;
    m.Cell(2, 2).RC = 0x11;
    m.Cell(2, 2).PL = 9;
    Random rng(3);
    FixTerrain(m, l.st.cat, t, rng);
    // (1, 2) is odd: its lower-left is (0, 3), its upper-left (0, 2) is X.
    EXPECT_EQ(m.Cell(1, 2).bmp, 10);
    // (2, 2) is even: its lower-left (1, 2) was just replaced: X.
    EXPECT_EQ(m.Cell(2, 2).bmp, 10);
    EXPECT_EQ(m.Cell(2, 2).RC, 0x11); // road bits and PL stay
    EXPECT_EQ(m.Cell(2, 2).PL, 9);
    EXPECT_EQ(m.Cell(2, 2).TT1, 2);
    EXPECT_EQ(m.Cell(2, 2).TT2, 1);
    EXPECT_EQ(m.Cell(4, 2).bmp, 10); // the run goes on along the row
    EXPECT_EQ(m.Cell(5, 2).bmp, 1);  // last column: never examined
    EXPECT_EQ(m.Cell(0, 1).bmp, 1);
    // (1, 1) is odd: its lower-left (0, 2) is X.
    EXPECT_EQ(m.Cell(1, 1).bmp, 10);

    // A second pass changes hexes again: (1, 1) looks at (2, 2) only after
    // the first pass has made it X.
    HexMap twice;
    twice.MapWidth = twice.MapHeight = 5;
    for (int x = 0; x < 5; ++x)
        for (int y = 0; y < 5; ++y)
            twice.Cell(x, y).bmp = 1;
    twice.Cell(3, 2).bmp = 10; // (2, 2)'s lower right
    const TerrainTemplate chain = Template("1 0 0 0 0 0 0 0\n2 2 2\nOOOXOO 10 10 10\n");
    FixTerrain(twice, l.st.cat, chain, rng);
    EXPECT_EQ(twice.Cell(2, 2).bmp, 10);
    EXPECT_EQ(twice.Cell(1, 1).bmp, 1);
    FixTerrain(twice, l.st.cat, chain, rng);
    EXPECT_EQ(twice.Cell(1, 1).bmp, 10);

    HexMap small;
    small.MapWidth = 2;
    small.MapHeight = 10;
    for (int y = 0; y < 10; ++y)
        small.Cell(0, y).bmp = 10, small.Cell(1, y).bmp = 1;
    FixTerrain(small, l.st.cat, t, rng);
    EXPECT_EQ(small.Cell(1, 5).bmp, 1);
}
