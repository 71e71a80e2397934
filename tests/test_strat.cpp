#include "TestSupport.h"
#include "render/StratDraw.h"
#include "runtime/Errors.h"

using namespace zem;
using namespace zem::test;

TEST(StratMap, PictureSizesAndTiles) {
    HexMap m;
    EXPECT_EQ(StratPictureSize(m), QSize(160, 164));
    m.MapWidth = m.MapHeight = 80;
    EXPECT_EQ(StratPictureSize(m), QSize(640, 644));

    Workspace ws;
    ws.WriteStratTiles(3);
    ImageList list;
    ASSERT_TRUE(LoadStratTiles(list, 1, ws.Dir()));
    EXPECT_EQ(list.Count(), 0);
    m.Cell(0, 0).TT1 = 1;
    QImage plain = RenderStratMap(m, list);
    EXPECT_EQ(plain.pixel(3, 3), Green);

    ASSERT_TRUE(LoadStratTiles(list, 4, ws.Dir()));
    EXPECT_EQ(list.Count(), 3);
    m.MapWidth = m.MapHeight = 4;
    m.Cell(1, 0).TT1 = 3;
    m.Cell(2, 2).TT1 = 9; // no picture: nothing drawn
    const QImage pic = RenderStratMap(m, list);
    EXPECT_EQ(pic.pixel(3, 3), TileColour(101));
    EXPECT_EQ(pic.pixel(10, 3), Green); // odd column: 4 pixels lower
    EXPECT_EQ(pic.pixel(10, 5), TileColour(103));
    EXPECT_EQ(pic.pixel(18, 18), Green);

    EXPECT_TRUE(LoadStratTiles(list, 6, ws.Dir()).Message().contains("str004.bmp"));
    EXPECT_EQ(list.Count(), 3);
}

TEST(StratMap, ClickOrigins) {
    HexMap m; // 20 x 20
    EXPECT_EQ(StratClickOrigin(100, 60, m), (HexPos{6, 2}));
    EXPECT_EQ(StratClickOrigin(39, 300, m).x, 0);
    EXPECT_EQ(StratClickOrigin(16, 47, m).y, 0);
    EXPECT_EQ(StratClickOrigin(8, 51, m).y, 0);
    // (44, 4) and (44, 3): column 5, row 0.
    EXPECT_EQ(StratClickOrigin(44, 4, m), (HexPos{0, 0}));
    EXPECT_EQ(StratClickOrigin(44, 3, m), (HexPos{0, 0}));
    EXPECT_EQ(StratClickOrigin(8, 58, m), (HexPos{0, 1}));  // column 1 (odd): row 6
    EXPECT_EQ(StratClickOrigin(16, 58, m), (HexPos{0, 2})); // column 2 (even): row 7
    // Inside the picture the origin is the click's hex less five, near the
    // map's end too: column 19, row 19 gives (14, 14), not (12, 12).
    EXPECT_EQ(StratClickOrigin(8 * 19 + 1, 8 * 19 + 5, m), (HexPos{14, 14}));
    m.MapWidth = m.MapHeight = 80;
    EXPECT_EQ(StratClickOrigin(8 * 12, 58 + 8 * 10, m), (HexPos{6, 12})); // even: 138 / 8 = 17
    EXPECT_EQ(StratClickOrigin(8 * 13, 58 + 8 * 10, m), (HexPos{8, 11})); // odd: 134 / 8 = 16
    // Beyond the picture: kept where scrolling can take the view.
    EXPECT_EQ(StratClickOrigin(5000, 5000, m), (HexPos{72, 72}));
    m.MapWidth = 21;
    m.MapHeight = 5;
    EXPECT_EQ(StratClickOrigin(5000, 5000, m), (HexPos{12, 0}));
}
