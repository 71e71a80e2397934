#include "TestSupport.h"
#include "map/TileCatalogue.h"
#include "runtime/Errors.h"

#include <QBuffer>

using namespace zem;
using namespace zem::test;

namespace {
TileCatalogue Parse(const QByteArray& text) {
    QByteArray bytes = text;
    QBuffer buf(&bytes);
    buf.open(QIODevice::ReadOnly);
    TileCatalogue cat;
    (void)LoadMapset(buf, cat); // the parts read stay in `cat` even when refused
    return cat;
}
} // namespace

TEST(Catalogue, HeaderDefaultsNamesAndComments) {
    const TileCatalogue cat =
        Parse(";only comments and header\nxx\n;c\n\n\n3\n;between names\n"
              "Land and more\nSea\n;c\nHills\n2\nClear\nSea\n1\nRoad\n;end\n");
    EXPECT_EQ(cat.TileWidth, 60); // lines without a number keep the defaults
    EXPECT_EQ(cat.ColumnStep, 45);
    EXPECT_EQ(cat.TileHeight, 50);
    EXPECT_EQ(cat.SetCount, 3);
    EXPECT_EQ(cat.SetNames[1], "Land"); // a name ends at the first blank
    EXPECT_EQ(cat.SetNames[3], "Hills");
    EXPECT_EQ(cat.TT1Count, 2);
    EXPECT_EQ(cat.TT1Names[1], "Sea");
    EXPECT_EQ(cat.TT2Names[0], "Road");
    for (int s = 0; s <= 12; ++s)
        EXPECT_EQ(cat.SetSize[size_t(s)], 0);
}

TEST(Catalogue, TilesAreNumberedInLineOrderAndThirdIntegerIgnored) {
    const TileCatalogue cat = Parse("60\n45\n50\n2\nA\nB\n0\n0\n"
                                    "5 1 9 1 2 3 4 5 6\n;c\n6 1 9 7 8 9 10 11 12\n"
                                    "7 0 1 0 0 0 0 0 0\n9 2 1 300 0 0 70000 0 0\n");
    EXPECT_EQ(cat.Record(5).image, 1);
    EXPECT_EQ(cat.Record(6).image, 2);
    EXPECT_EQ(cat.SetTiles[1][1], 5);
    EXPECT_EQ(cat.SetTiles[1][2], 6);
    EXPECT_EQ(cat.Record(6).TT1, 7);
    EXPECT_EQ(cat.Record(6).E3, 12);
    // Set 0 is counted like any other set.
    EXPECT_EQ(cat.SetSize[0], 1);
    EXPECT_EQ(cat.SetTiles[0][1], 7);
    EXPECT_EQ(cat.Record(9).TT1, 300); // truncated only when placed
    EXPECT_EQ(cat.Record(100).set, 0);
}

TEST(Catalogue, OutOfRangeLinesAreSkippedWholeAndCountsClamped) {
    QByteArray text = "60\n45\n50\n15\n";
    for (int i = 1; i <= 15; ++i)
        text += "N" + QByteArray::number(i) + "\n";
    text += "40\n";
    for (int i = 0; i < 40; ++i)
        text += "T" + QByteArray::number(i) + "\n";
    text += "1\nRoad\n";
    text += "648 1 0 0 0 0 0 0 0\n-1 1 0 0 0 0 0 0 0\n3 13 0 0 0 0 0 0 0\n4 -1 0 0 0 0 0 0 0\n";
    text += "   \nabc\n";
    for (int t = 100; t < 156; ++t)
        text += QByteArray::number(t) + " 4 0 1 0 0 0 0 0\n";
    const TileCatalogue cat = Parse(text);
    EXPECT_EQ(cat.SetCount, 12);
    EXPECT_EQ(cat.SetNames[12], "N12");
    EXPECT_EQ(cat.TT1Count, 32);
    EXPECT_EQ(cat.TT1Names[31], "T31");
    EXPECT_EQ(cat.TT2Count, 1); // the file stayed in step past the extra names
    EXPECT_EQ(cat.TT2Names[0], "Road");
    EXPECT_EQ(cat.Record(3).set, 0);
    EXPECT_EQ(cat.Record(4).set, 0);
    EXPECT_EQ(cat.SetSize[4], 54); // the 55th and 56th tiles of a set are dropped
    EXPECT_EQ(cat.Record(153).image, 54);
    EXPECT_EQ(cat.Record(154).set, 0);
    EXPECT_EQ(cat.TileAt(4, 55), 0);
    EXPECT_EQ(cat.TT1Name(40), "40");

    const TileCatalogue none = Parse("60\n45\n50\n0\n0\n0\n");
    EXPECT_EQ(none.SetCount, 1);
}

TEST(Catalogue, LoadsBitmapsWithMaskAndStopsAtMissingFile) {
    Workspace ws;
    ws.WriteMapset("1 1 0 1 0 0 0 0 0\n2 1 0 1 0 0 0 0 0\n3 2 0 1 0 0 0 0 0\n7 0 0 0 0 0 0 0 0\n");
    ws.WriteTileBitmaps({1, 2, 3});
    TileCatalogue cat;
    ASSERT_TRUE(LoadMapset(ws.Dir(), cat));
    TileImages images;
    ASSERT_TRUE(LoadTileBitmaps(cat, images, ws.Dir()));
    EXPECT_EQ(images[1].Count(), 2);
    EXPECT_EQ(images[2].Count(), 1);
    EXPECT_EQ(images[0].Count(), 2);
    EXPECT_EQ(qAlpha(images[1].Image(0)->pixel(0, 49)), 0);
    EXPECT_EQ(images[1].Image(0)->pixel(1, 49), TileColour(1));

    QFile::remove(ws.Path("tilbmp/til0002.bmp"));
    TileImages partial;
    const Status failed = LoadTileBitmaps(cat, partial, ws.Dir());
    EXPECT_FALSE(failed);
    EXPECT_TRUE(failed.Message().contains("til0002.bmp")) << failed.Message().toStdString();
    EXPECT_EQ(partial[1].Count(), 1);
    EXPECT_EQ(partial[0].Count(), 0);

    TileCatalogue missing;
    const Status none = LoadMapset(QDir(ws.Path("nowhere")), missing);
    EXPECT_FALSE(none);
    EXPECT_TRUE(none.Unopened());
    EXPECT_TRUE(none.Message().contains("Mapset.txt"));
}
