#include "TestSupport.h"
#include "tools/Roads.h"

using namespace zem;

namespace {
HexMap RoadMap(std::initializer_list<HexPos> roads) {
    HexMap m;
    for (HexPos p : roads)
        m.Cell(p.x, p.y).TT2 = 1;
    return m;
}
} // namespace

TEST(Roads, MakeConnectsNeighbourRoadHexesOnBothEnds) {
    HexMap m = RoadMap({{2, 5}, {3, 4}, {3, 5 + 10}, {4, 5 + 10}, {10, 10}});
    MakeRoadConnections(m);
    EXPECT_EQ(m.Cell(2, 5).RC, rbNE); // column 2 even: (3, 4) is NE
    EXPECT_EQ(m.Cell(3, 4).RC, rbSW);
    EXPECT_EQ(m.Cell(3, 15).RC, rbNE); // column 3 odd: (4, 15) is NE
    EXPECT_EQ(m.Cell(4, 15).RC, rbSW);
    EXPECT_EQ(m.Cell(10, 10).RC, 0); // a lone road hex

    const HexMap once = m;
    MakeRoadConnections(m);
    for (int x = 0; x < 20; ++x)
        for (int y = 0; y < 20; ++y)
            EXPECT_EQ(m.Cell(x, y).RC, once.Cell(x, y).RC);

    // Never removes: a hex no longer a road keeps its bits.
    m.Cell(3, 4).TT2 = 0;
    MakeRoadConnections(m);
    EXPECT_EQ(m.Cell(2, 5).RC, rbNE);
}

TEST(Roads, MapEdgesCutConnectionsWhateverTheGridHolds) {
    HexMap m;
    m.MapWidth = 10;
    m.MapHeight = 6;
    for (int x = 0; x < 12; ++x)
        for (int y = 0; y < 8; ++y)
            m.Cell(x, y).TT2 = 1;
    MakeRoadConnections(m);
    EXPECT_EQ(m.Cell(9, 2).RC & (rbNE | rbSE), 0); // last column
    EXPECT_EQ(m.Cell(4, 0).RC & rbN, 0);           // row 0
    EXPECT_EQ(m.Cell(4, 5).RC & rbS, 0);           // last row
    EXPECT_EQ(m.Cell(4, 2).RC, rbN | rbNE | rbSE | rbS | rbSW | rbNW);
    EXPECT_EQ(m.Cell(10, 2).RC, 0); // outside the map: untouched

    m.Cell(10, 2).RC = 5;
    ClearRoadConnections(m);
    EXPECT_EQ(m.Cell(4, 2).RC, 0);
    EXPECT_EQ(m.Cell(10, 2).RC, 5);
}

TEST(Roads, ToggleFollowsTheParityTable) {
    HexMap m;
    ToggleRoadPair(m, {2, 5}, {3, 4});
    EXPECT_EQ(m.Cell(2, 5).RC, rbNE);
    EXPECT_EQ(m.Cell(3, 4).RC, rbSW);
    ToggleRoadPair(m, {2, 5}, {3, 4});
    EXPECT_EQ(m.Cell(2, 5).RC, 0);
    EXPECT_EQ(m.Cell(3, 4).RC, 0);

    struct Case {
        HexPos a, b;
        int bitA, bitB;
    } cases[] = {
        {{4, 4}, {4, 3}, rbN, rbS},   {{4, 4}, {4, 5}, rbS, rbN},   {{3, 4}, {2, 4}, rbNW, rbSE},
        {{3, 4}, {4, 4}, rbNE, rbSW}, {{3, 4}, {2, 5}, rbSW, rbNE}, {{3, 4}, {4, 5}, rbSE, rbNW},
        {{4, 4}, {3, 3}, rbNW, rbSE}, {{4, 4}, {5, 3}, rbNE, rbSW}, {{4, 4}, {5, 4}, rbSE, rbNW},
        {{4, 4}, {3, 4}, rbSW, rbNE},
    };
    for (const Case& c : cases) {
        HexMap t;
        t.Cell(c.a.x, c.a.y).RC = 0x100; // bits outside the six stay
        ToggleRoadPair(t, c.a, c.b);
        EXPECT_EQ(t.Cell(c.a.x, c.a.y).RC, 0x100 | c.bitA) << c.a.x << "," << c.a.y;
        EXPECT_EQ(t.Cell(c.b.x, c.b.y).RC, c.bitB);
    }

    HexMap n;
    ToggleRoadPair(n, {3, 5}, {4, 4}); // odd column, right and up: not neighbours
    ToggleRoadPair(n, {4, 4}, {4, 4});
    ToggleRoadPair(n, {4, 4}, {6, 4});
    ToggleRoadPair(n, {79, 5}, {80, 5}); // beyond the grid: ignored
    for (int x = 0; x < 80; ++x)
        for (int y = 0; y < 80; ++y)
            ASSERT_EQ(n.Cell(x, y).RC, 0);
}
