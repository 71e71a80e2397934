#include "TestSupport.h"
#include "map/HexLayout.h"
#include "render/DrawMap.h"
#include "render/ViewDraw.h"

using namespace zem;
using namespace zem::test;

namespace {
QImage Compose(Loaded& l, bool roads, int w = 900, int h = 800) {
    QImage pic(900, 800, QImage::Format_RGB32);
    pic.fill(Qt::white);
    DrawMap(l.st.map, l.st.cat, l.st.images, roads, w, h, pic);
    return pic;
}
} // namespace

TEST(DrawMap, HexesStandWhereTheGeometrySays) {
    Loaded l;
    HexMap& m = l.st.map;
    m.Cell(0, 0).bmp = 1;
    m.Cell(1, 0).bmp = 2;
    m.Cell(0, 1).bmp = 3;
    m.Cell(2, 0).bmp = 4;
    const QImage pic = Compose(l, false);
    EXPECT_EQ(pic.pixel(5, 5), TileColour(1));
    EXPECT_EQ(pic.pixel(15, 0), FrameColour);    // frame drawn over the tile
    EXPECT_EQ(pic.pixel(0, 49), Green);          // masked corner shows background
    EXPECT_EQ(pic.pixel(50, 30), TileColour(2)); // hex (1, 0) at (45, 25)
    EXPECT_EQ(pic.pixel(50, 20), TileColour(1)); // above it, still hex (0, 0)
    EXPECT_EQ(pic.pixel(5, 55), TileColour(3));  // hex (0, 1) at (0, 50)
    EXPECT_EQ(pic.pixel(95, 5), TileColour(4));  // hex (2, 0) at (90, 0)
    // Tile 0 has no line: only background and frame.
    EXPECT_EQ(pic.pixel(5, 105), Green);
    EXPECT_EQ(pic.pixel(20, 100), FrameColour);
    // The 20 x 20 map ends at 19 * 45 + 60 = 915 across, 20 * 50 + 25 down:
    // within the picture, nothing of rows past 19 is drawn.
    EXPECT_EQ(pic.pixel(400, 799), Green);
}

TEST(DrawMap, MarginsShowTheNeighboursBeforeTheOrigin) {
    Loaded l;
    HexMap& m = l.st.map;
    for (int x = 0; x < 20; ++x)
        for (int y = 0; y < 20; ++y)
            m.Cell(x, y).bmp = std::int16_t(1 + (3 * x + y) % 8);
    m.ViewOrigin = {2, 1};
    const QImage pic = Compose(l, false, 433, 457);
    // Column 2, row 1 at the top-left corner.
    auto colourOf = [](int x, int y) { return TileColour(1 + (3 * x + y) % 8); };
    EXPECT_EQ(pic.pixel(10, 10), colourOf(2, 1));
    // Hex (3, 1) at (45, 25); above it the lower part of (3, 0).
    EXPECT_EQ(pic.pixel(50, 30), colourOf(3, 1));
    EXPECT_EQ(pic.pixel(65, 10), colourOf(3, 0));
    // Only the imageW x imageH rectangle is copied; the rest stays.
    EXPECT_EQ(pic.pixel(433, 10), qRgb(255, 255, 255));
    EXPECT_EQ(pic.pixel(10, 457), qRgb(255, 255, 255));
}

TEST(DrawMap, SmallMapAndRoadLines) {
    Loaded l;
    HexMap& m = l.st.map;
    m.MapWidth = 2;
    m.MapHeight = 2;
    m.Cell(0, 0).bmp = 1;
    m.Cell(0, 0).RC = 0x10 | 0x02 | 0x04 | 0x100; // S, NE, E (never drawn), a high bit
    m.Cell(5, 5).bmp = 2;                         // outside the map: not drawn
    const QImage off = Compose(l, false);
    EXPECT_EQ(off.pixel(30, 45), TileColour(1));
    EXPECT_EQ(off.pixel(5 * 45 + 10, 5 * 50 + 35), Green);
    const QImage on = Compose(l, true);
    const QRgb yellow = qRgb(255, 255, 0);
    EXPECT_EQ(on.pixel(30, 40), yellow); // S line from (30, 25) to (30, 50)
    EXPECT_EQ(on.pixel(41, 19), yellow); // NE towards (52, 13)
    EXPECT_NE(on.pixel(45, 25), yellow); // no E line
    EXPECT_EQ(on.pixel(20, 25), TileColour(1));
}

TEST(PixelToHex, BandBorders) {
    const HexPos o{0, 0};
    EXPECT_EQ(HexLayout::PixelToHex(52, 10, o).x, 0);
    EXPECT_EQ(HexLayout::PixelToHex(53, 10, o).x, 1);
    EXPECT_EQ(HexLayout::PixelToHex(60, 74, o), (HexPos{1, 0}));
    EXPECT_EQ(HexLayout::PixelToHex(60, 75, o), (HexPos{1, 1}));
    EXPECT_EQ(HexLayout::PixelToHex(10, 49, o), (HexPos{0, 0}));
    EXPECT_EQ(HexLayout::PixelToHex(10, 50, o), (HexPos{0, 1}));
    EXPECT_EQ(HexLayout::PixelToHex(0, 0, o), (HexPos{0, 0}));
    EXPECT_EQ(HexLayout::PixelToHex(60, 10, o), (HexPos{1, 0})); // above an odd column's first hex
    EXPECT_EQ(HexLayout::PixelToHex(100, 120, HexPos{4, 3}), (HexPos{6, 5}));
}

// Any view is the matching part of the whole map drawn from its corner, at
// every zoom and from odd columns too: the same hexes, frames and roads at
// the same rounded places, and every hex that reaches into the view drawn.
TEST(ViewDraw, EveryViewIsAPartOfTheWholeMapAtEveryZoom) {
    Loaded l;
    HexMap& m = l.st.map;
    m.MapWidth = 40; // wider than 15 hexes even at 200 %
    m.MapHeight = 30;
    const int tiles[] = {1, 2, 3, 4, 5, 10, 11, 20, 0};
    for (int x = 0; x < 40; ++x)
        for (int y = 0; y < 30; ++y) {
            m.Cell(x, y).bmp = std::int16_t(tiles[(x * 5 + y * 3) % 9]);
            m.Cell(x, y).RC = std::int16_t((x + 2 * y) & 0xBB);
        }
    ZoomedTiles zoomed;
    for (int zoom : MapView::Zooms)
        for (HexPos o : {HexPos{0, 0}, HexPos{3, 2}, HexPos{4, 5}}) {
            const MapView whole{{0, 0}, zoom, 1200, 1300}, part{o, zoom, 310, 230};
            QImage all(whole.width, whole.height, QImage::Format_RGB32),
                pic(310, 230, QImage::Format_RGB32);
            m.ViewOrigin = whole.origin;
            DrawView(m, l.st.cat, l.st.images, zoomed, true, whole, all);
            m.ViewOrigin = o;
            DrawView(m, l.st.cat, l.st.images, zoomed, true, part, pic);
            const QPoint corner(part.Scaled(HexLayout::Left(o.x)),
                                part.Scaled(HexLayout::Top(o.y, 0)));
            EXPECT_EQ(pic, all.copy(QRect(corner, pic.size())))
                << zoom << "% from " << o.x << "," << o.y;
            if (zoom >= 100) { // the frame's one-pixel top row, over the tile
                EXPECT_EQ(all.pixel(whole.Scaled(22), 0), FrameColour) << zoom;
            }
        }
}
