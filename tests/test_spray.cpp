#include "TestSupport.h"
#include "tools/Spray.h"

using namespace zem;
using namespace zem::test;

namespace {
// A generator that counts draws: every draw hits (0 % 100 < density).
struct Counting : Random {
    int draws = 0;
    int Next() override {
        ++draws;
        return 0;
    }
};
} // namespace

TEST(Spray, AreaIsTheSquareCutToTheMap) {
    Loaded l;
    SpraySettings s{3, 100, {5, 5, 5}};
    Counting rng;
    SprayAround(l.st.map, l.st.cat, rng, s, 1, 2);
    EXPECT_EQ(rng.draws, 2 * 30); // columns 0..4, rows 0..5
    int sprayed = 0;
    for (int x = 0; x < 20; ++x)
        for (int y = 0; y < 20; ++y)
            sprayed += l.st.map.Cell(x, y).bmp == 5;
    EXPECT_EQ(sprayed, 30);
    EXPECT_EQ(l.st.map.Cell(4, 5).bmp, 5);
    EXPECT_EQ(l.st.map.Cell(5, 5).bmp, 0);

    Counting edge;
    SprayAround(l.st.map, l.st.cat, edge, s, 18, 19);
    EXPECT_EQ(edge.draws, 2 * 5 * 4); // columns 15..19, rows 16..19

    Counting zero, negative;
    SprayAround(l.st.map, l.st.cat, zero, {0, 100, {1, 1, 1}}, 7, 7);
    EXPECT_EQ(zero.draws, 2);
    SprayAround(l.st.map, l.st.cat, negative, {-1, 100, {1, 1, 1}}, 7, 7);
    EXPECT_EQ(negative.draws, 0);
}

TEST(Spray, DrawOrderAndPicks) {
    Loaded l;
    HexMap& m = l.st.map;
    m.Cell(0, 0).RC = 0x11;
    // Size 1 around (0, 0): hexes (0,0) (0,1) (1,0) (1,1), column by column.
    ScriptedRandom rng{10,  3, // (0,0): 10 < 25 hit, 3 % 3 = 0: pick 1
                       99,     // (0,1): miss, no second draw
                       124, 4, // (1,0): 24 < 25 hit, pick 2
                       25};    // (1,1): miss
    SprayAround(m, l.st.cat, rng, {1, 25, {2, 3, 4}}, 0, 0);
    EXPECT_TRUE(rng.Empty());
    EXPECT_EQ(rng.Taken(), 6);
    EXPECT_EQ(m.Cell(0, 0).bmp, 2);
    EXPECT_EQ(m.Cell(0, 0).RC, 0x11); // road bits stay
    EXPECT_EQ(m.Cell(0, 0).PL, 5);    // the tile's defaults come with it
    EXPECT_EQ(m.Cell(0, 1).bmp, 0);
    EXPECT_EQ(m.Cell(1, 0).bmp, 3);
    EXPECT_EQ(m.Cell(1, 1).bmp, 0);

    ScriptedRandom third{0, 5};
    SprayAround(m, l.st.cat, third, {0, 1, {2, 3, 4}}, 6, 6);
    EXPECT_EQ(m.Cell(6, 6).bmp, 4);

    // A pick that is no tile number leaves the hex alone.
    m.Cell(8, 8).bmp = 7;
    ScriptedRandom bad{0, 0, 0, 1};
    SprayAround(m, l.st.cat, bad, {0, 100, {-1, 648, 1}}, 8, 8);
    EXPECT_EQ(m.Cell(8, 8).bmp, 7);
    SprayAround(m, l.st.cat, bad, {0, 100, {-1, 648, 1}}, 8, 8);
    EXPECT_EQ(m.Cell(8, 8).bmp, 7);
}

TEST(Spray, WholeMapRowByRowWithDensity100) {
    Loaded l;
    l.st.map.MapWidth = 5;
    l.st.map.MapHeight = 5;
    Random rng(42);
    SprayWholeMap(l.st.map, l.st.cat, rng, {3, 100, {1, 2, 3}});
    for (int x = 0; x < 5; ++x)
        for (int y = 0; y < 5; ++y) {
            const int b = l.st.map.Cell(x, y).bmp;
            EXPECT_TRUE(b >= 1 && b <= 3);
        }
    EXPECT_EQ(l.st.map.Cell(5, 0).bmp, 0);
}
