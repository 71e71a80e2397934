#include "TestSupport.h"
#include "map/DataLine.h"
#include "map/MapFile.h"
#include "map/Sections.h"

#include <QBuffer>
#include <QFile>

using namespace zem;
using namespace zem::test;

namespace {
QByteArray Golden(const char* name) {
    QFile f(QStringLiteral(ZEM_TEST_DATA "/") + name);
    EXPECT_TRUE(f.open(QIODevice::ReadOnly)) << name;
    return f.readAll();
}

QString Read(const QByteArray& text, MapFileData& out, int minSize = 1) {
    QByteArray bytes = text;
    QBuffer buf(&bytes);
    buf.open(QIODevice::ReadOnly);
    Result<MapFileData> read = ReadMapFile(buf, "m.zep", minSize);
    if (!read) return read.Message();
    out = read.Value();
    return {};
}

void Fill(HexMap& m) {
    for (int x = 0; x < MaxMapSize; ++x)
        for (int y = 0; y < MaxMapSize; ++y) {
            MapCell& c = m.Cell(x, y);
            c.bmp = std::int16_t(x * 100 + y);
            c.TT1 = std::uint8_t(x + y);
            c.TT2 = std::uint8_t(200);
            c.RC = std::int16_t(-x);
            c.extra[23] = std::int16_t(y * 7 - 300);
        }
}
} // namespace

TEST(MapFile, TwoHexExampleByteForByte) {
    HexMap m;
    m.MapWidth = 2;
    m.MapHeight = 1;
    m.Cell(0, 0) = MapCell{.bmp = 12, .TT1 = 3, .TT2 = 1, .TT3 = 7, .RC = 17};
    m.Cell(1, 0) = MapCell{.bmp = 40, .TT1 = 2, .TT3 = 1, .E2 = 5};
    EXPECT_EQ(MapFileText(m), Golden("two_hexes.zep"));
}

TEST(MapFile, LineCountsAndCommentsOfA20By20Map) {
    HexMap m;
    const QList<QByteArray> lines = MapFileText(m).split('\n');
    int rows = 0, xs = 0, cells = 0;
    for (const QByteArray& l : lines) {
        if (l.startsWith(";Row "))
            ++rows;
        else if (l.startsWith(";x="))
            ++xs;
        else if (!l.startsWith(';') && l.size() > 10)
            ++cells;
    }
    EXPECT_EQ(rows, 20);
    EXPECT_EQ(xs, 40);
    EXPECT_EQ(cells, 400);
    EXPECT_EQ(lines.size(), 6 + 20 + 40 + 400 + 1); // the last line break ends the text

    MapCell wide;
    wide.bmp = -32768;
    wide.RC = -32768;
    wide.extra.fill(-32768);
    const QByteArray line = CellLine(wide);
    EXPECT_LE(line.size(), 254);
    MapCell back;
    ASSERT_TRUE(ParseCellLine(line, back));
    EXPECT_EQ(back, wide);
}

TEST(MapFile, SaveThenLoadGivesBackEveryField) {
    HexMap m;
    Fill(m);
    m.MapWidth = 80;
    m.MapHeight = 80;
    MapFileData data;
    ASSERT_EQ(Read(MapFileText(m), data), "");
    HexMap back;
    back.ViewOrigin = {4, 4};
    ApplyMapFile(data, back);
    EXPECT_EQ(back.ViewOrigin, (HexPos{0, 0}));
    for (int x = 0; x < 80; ++x)
        for (int y = 0; y < 80; ++y)
            ASSERT_EQ(back.Cell(x, y), m.Cell(x, y)) << x << "," << y;
}

TEST(MapFile, TolerantReading) {
    const QByteArray text =
        ";c\n  2\t\n;hand comment\n1\n;Row 0\n"
        "5\t\t200   1 7  -1 x 70000 0 0 0 0 0 0 0 0 0 0 0 0 0 0 0 0 0 0 0 0 0 0 0 0 9\n"
        ";added by hand\n"
        "  6 456 0 0 0 0 0 0 0 0 0 0 0 0 0 0 0 0 0 0 0 0 0 0 0 0 0 0 0 0 0 0\n";
    MapFileData d;
    ASSERT_EQ(Read(text, d), "");
    EXPECT_EQ(d.At(0, 0).TT1, 200);
    EXPECT_EQ(d.At(0, 0).RC, -1);
    EXPECT_EQ(d.At(0, 0).PL, 0);                   // not a number
    EXPECT_EQ(d.At(0, 0).E2, std::int16_t(70000)); // low 16 bits
    EXPECT_EQ(d.At(0, 0).extra[23], 9);
    EXPECT_EQ(d.At(1, 0).TT1, 456 & 255); // low 8 bits
}

TEST(MapFile, BadFilesAreRefusedWhole) {
    const QByteArray cell = QByteArray("1 ").repeated(32) + "\n";
    MapFileData d;
    EXPECT_NE(Read("0\n5\n", d), "");
    EXPECT_NE(Read("81\n5\n", d), "");
    EXPECT_NE(Read("2\n-1\n", d), "");
    EXPECT_NE(Read("", d), "");
    EXPECT_NE(Read("2\n1\n" + cell, d), "");                                 // one cell short
    EXPECT_NE(Read("1\n1\n" + QByteArray("1 ").repeated(31) + "\n", d), ""); // 31 numbers
    EXPECT_EQ(d.width, 0);
    EXPECT_EQ(Read("2\n1\n" + cell + cell, d), "");
    EXPECT_EQ(Read("0\n0\n", d, 0), ""); // an empty section may be pasted
}

TEST(Sections, TenByThreeAndTwoByTwoExamples) {
    HexMap m;
    Fill(m);
    QByteArray text;
    ASSERT_TRUE(SectionText(m, {3, 4}, {12, 6}, text));
    QList<QByteArray> lines = text.split('\n');
    EXPECT_EQ(lines[2], "10");
    EXPECT_EQ(lines[4], "3");
    EXPECT_EQ(lines[6], ";Row 4");
    EXPECT_EQ(lines[7], CellLine(m.Cell(3, 4)).chopped(1));
    EXPECT_EQ(lines[14], ";x=10");
    EXPECT_EQ(lines[15], CellLine(m.Cell(10, 4)).chopped(1));
    EXPECT_EQ(text.count(";x="), 3);
    EXPECT_EQ(text.count(";Row "), 3);

    ASSERT_TRUE(SectionText(m, {9, 4}, {10, 5}, text));
    const QByteArray expected =
        ";This is a map file for the ZEM system\n;Hexes across (x)\n2\n"
        ";Hexes up/down (y)\n2\n;bmp TT1 TT2 TT3  RC  PL  E2  E3\n;Row 4\n" +
        CellLine(m.Cell(9, 4)) + ";x=10\n" + CellLine(m.Cell(10, 4)) + ";Row 5\n" +
        CellLine(m.Cell(9, 5)) + ";x=10\n" + CellLine(m.Cell(10, 5));
    EXPECT_EQ(text, expected);

    EXPECT_FALSE(SectionText(m, {5, 5}, {5, 9}, text));
    EXPECT_FALSE(SectionText(m, {5, 5}, {4, 9}, text));
    EXPECT_FALSE(SectionText(m, {5, 5}, {9, 5}, text));
    // Corners beyond the grid are clipped to it.
    ASSERT_TRUE(SectionText(m, {78, 78}, {95, 120}, text));
    EXPECT_TRUE(text.startsWith(";This is a map file for the ZEM system\n;Hexes across (x)\n2\n"));
}

TEST(Sections, PasteClipsAtTheMapEdges) {
    HexMap src;
    Fill(src);
    QByteArray text;
    ASSERT_TRUE(SectionText(src, {0, 0}, {9, 9}, text));
    MapFileData section;
    ASSERT_EQ(Read(text, section, 0), "");
    HexMap m;
    m.MapWidth = 80;
    m.MapHeight = 80;
    m.ViewOrigin = {10, 10};
    PasteCells(section, {75, 0}, m);
    EXPECT_EQ(m.Cell(75, 0), src.Cell(0, 0));
    EXPECT_EQ(m.Cell(79, 9), src.Cell(4, 9));
    EXPECT_EQ(m.Cell(74, 0), MapCell{});
    EXPECT_EQ(m.Cell(75, 10), MapCell{});
    EXPECT_EQ(m.ViewOrigin, (HexPos{0, 0}));

    HexMap small; // a section larger than the map fills it, size unchanged
    small.MapWidth = 5;
    small.MapHeight = 4;
    PasteCells(section, {0, 0}, small);
    EXPECT_EQ(small.MapWidth, 5);
    EXPECT_EQ(small.Cell(4, 3), src.Cell(4, 3));
    EXPECT_EQ(small.Cell(5, 3), MapCell{});
}

TEST(MapFile, SafeSaveLeavesNoPartialFile) {
    Workspace ws;
    ws.Write("old.zep", "old contents");
    EXPECT_TRUE(SaveFileSafely(ws.Path("old.zep"), "new"));
    EXPECT_EQ(ws.Read("old.zep"), "new");
    ws.Write("plain", "x");
    const Status failed = SaveFileSafely(ws.Path("plain/map.zep"), "new");
    EXPECT_FALSE(failed);
    EXPECT_TRUE(failed.Unopened());
    EXPECT_EQ(ws.Dir().entryList(QDir::Files).size(), 2);
}
