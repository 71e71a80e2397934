#include "TestSupport.h"
#include "export/PG2Export.h"
#include "render/DrawMap.h"

using namespace zem;
using namespace zem::test;

namespace {
void MakePG2Map(Loaded& l) {
    HexMap& m = l.st.map;
    m.MapWidth = 44;
    m.MapHeight = 39;
    for (int x = 0; x < 44; ++x)
        for (int y = 0; y < 39; ++y)
            m.Cell(x, y).bmp = std::int16_t(1 + (x * 5 + y * 3) % 8);
}
} // namespace

TEST(PG2Export, MapFileBytes) {
    HexMap m;
    m.MapWidth = 44;
    m.MapHeight = 39;
    m.Cell(3, 2).TT3 = 7;
    m.Cell(3, 2).RC = 0x0111;
    m.Cell(43, 38).TT3 = 9;
    m.Cell(44, 5).TT3 = 4; // column 44 comes from the grid
    m.Cell(44, 5).RC = 0x20;
    const QByteArray b = PG2MapBytes(m, 67);
    ASSERT_EQ(b.size(), PG2MapFileSize);
    EXPECT_EQ(b.left(10), QByteArray::fromHex("43002c00270000000000"));
    EXPECT_EQ(b.mid(10 + (45 * 2 + 3) * 7, 7), QByteArray::fromHex("07001100000000"));
    EXPECT_EQ(12281, 10 + (45 * 38 + 43) * 7);
    EXPECT_EQ(b[12281], 9);
    EXPECT_EQ(b.mid(10 + (45 * 5 + 44) * 7, 7), QByteArray::fromHex("04002000000000"));
    EXPECT_EQ(b.mid(12295, 315), QByteArray(315, '\0'));
    EXPECT_EQ(b.mid(12610, 8), QByteArray::fromHex("0155010c0401000e"));
    EXPECT_EQ(b.mid(12618), QByteArray(1943, '\0'));
    EXPECT_EQ(PG2MapBytes(m, 70000).left(2), QByteArray::fromHex("7011")); // low 16 bits
}

TEST(PG2Export, FileNamesInOrder) {
    const QStringList n67 = PG2FileNames(67);
    EXPECT_EQ(
        n67, (QStringList{"map6700.bmp", "map6701.bmp", "map6702.bmp", "map6703.bmp", "map6710.bmp",
                          "map6711.bmp", "map6712.bmp", "map6713.bmp", "map6720.bmp", "map6721.bmp",
                          "map6722.bmp", "map6723.bmp", "Map67.map"}));
    EXPECT_EQ(PG2FileNames(5).first(), "map0500.bmp");
    EXPECT_EQ(PG2FileNames(5).last(), "Map5.map");
    EXPECT_EQ(PG2FileNames(100).first(), "map10000.bmp");
    EXPECT_EQ(PG2FileNames(100).last(), "Map100.map");
}

TEST(PG2Export, PiecesMatchTheWholeMapPicture) {
    Loaded l;
    MakePG2Map(l);
    l.st.map.Cell(20, 10).RC = 0xFF;
    const std::vector<QImage> pieces = PG2Pieces(l.st.map, l.st.cat, l.st.images);
    ASSERT_EQ(pieces.size(), 12u);
    // The whole map of tiles only, column c at 45c.
    const QImage whole = [&] {
        QImage img(45 * 44 + 15, 50 * 39 + 25, QImage::Format_RGB32);
        img.fill(Green);
        DrawHexes(img, l.st.map, l.st.cat, l.st.images, {0, 43, 0, 38}, {false, false});
        return img;
    }();
    const int left[3] = {45, 685, 1324};
    for (int s = 0; s < 3; ++s)
        for (int b = 0; b < 4; ++b) {
            const QImage& piece = pieces[size_t(s * 4 + b)];
            ASSERT_EQ(piece.size(), QSize(640, 480));
            for (int y = 0; y < 480; y += 7)
                for (int x = 0; x < 640; x += 5) {
                    const int wx = left[s] + x, wy = 23 + 480 * b + y;
                    // Above row 1 the odd columns leave gaps that show what
                    // the canvas held before this strip (checked below).
                    if (wy < 50) continue;
                    ASSERT_EQ(piece.pixel(x, y), whole.pixel(wx, wy))
                        << "strip " << s << " piece " << b << " at " << x << "," << y;
                }
        }
    // The canvas is filled once: a gap of strip 2 shows column 14 of strip 1
    // (canvas x 24, y 23), a gap of strip 0 (canvas x 70) the green fill.
    EXPECT_EQ(pieces[8].pixel(5, 0), TileColour(l.st.map.Cell(14, 0).bmp));
    EXPECT_EQ(pieces[0].pixel(25, 0), Green);
    // No frames or road lines: the frame's black row never shows.
    for (const QImage& piece : pieces)
        for (int y = 0; y < 480; ++y)
            for (int x = 0; x < 640; ++x)
                ASSERT_NE(piece.pixel(x, y), FrameColour);
}

TEST(PG2Export, WritesThirteenFilesOrReportsTheFailure) {
    Loaded l;
    MakePG2Map(l);
    Workspace out;
    EXPECT_TRUE(ExportPG2(l.st.map, l.st.cat, l.st.images, 67, out.Dir()));
    QStringList files = out.Dir().entryList(QDir::Files, QDir::Name);
    EXPECT_EQ(files.size(), 13);
    EXPECT_EQ(out.Read("Map67.map").size(), PG2MapFileSize);
    QImage piece(out.Path("map6712.bmp"));
    EXPECT_EQ(piece.size(), QSize(640, 480));

    out.Write("file", "x");
    const QString err =
        ExportPG2(l.st.map, l.st.cat, l.st.images, 67, QDir(out.Path("file"))).Message();
    EXPECT_TRUE(err.contains("map6700.bmp")) << err.toStdString();
    EXPECT_EQ(out.Dir().entryList(QDir::Files).size(), 14);
}
