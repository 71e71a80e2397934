#include "map/DataLine.h"

#include <QBuffer>
#include <gtest/gtest.h>

using namespace zem;

namespace {
struct Text {
    QByteArray bytes;
    QBuffer buf;
    explicit Text(const QByteArray& b) : bytes(b), buf(&bytes) { buf.open(QIODevice::ReadOnly); }
};
} // namespace

TEST(ReadDataLine, SkipsCommentsAnywhereAndEndsEmpty) {
    Text t(";head\n12\n;between\n;more\nabc\n;trailing comment\n;and another\n");
    EXPECT_EQ(ReadDataLine(t.buf), "12\n");
    EXPECT_EQ(ReadDataLine(t.buf), "abc\n");
    EXPECT_EQ(ReadDataLine(t.buf), "");
    EXPECT_EQ(ReadDataLine(t.buf), "");

    Text last("7"); // no line break at the very end
    EXPECT_EQ(ReadDataLine(last.buf), "7");
    EXPECT_EQ(ReadDataLine(last.buf), "");
}

TEST(ReadDataLine, LongLinesComeInPiecesOf254) {
    const QByteArray longLine = QByteArray(300, 'a') + '\n';
    Text t(longLine + "next\n");
    const QByteArray first = ReadDataLine(t.buf);
    EXPECT_EQ(first.size(), 254);
    EXPECT_EQ(ReadDataLine(t.buf), QByteArray(46, 'a') + '\n');
    EXPECT_EQ(ReadDataLine(t.buf), "next\n");

    // Exactly 253 characters leave room for the line break.
    Text fits(QByteArray(253, 'b') + "\nz\n");
    EXPECT_EQ(ReadDataLine(fits.buf), QByteArray(253, 'b') + '\n');
    EXPECT_EQ(ReadDataLine(fits.buf), "z\n");
}

TEST(ScanInt, ReadsLikePercentD) {
    EXPECT_EQ(LeadingInt("  -12abc"), -12);
    EXPECT_EQ(LeadingInt("+7"), 7);
    EXPECT_EQ(LeadingInt("abc"), 0);
    EXPECT_EQ(LeadingInt(""), 0);
    EXPECT_EQ(LeadingInt("\t 44\n"), 44);
    EXPECT_EQ(ScanInts("1 2  3\t4 x 5", 9), (std::vector<int>{1, 2, 3, 4}));
    // An overlong number keeps its low 32 bits instead of failing.
    EXPECT_EQ(LeadingInt("4294967297"), 1);
}

TEST(NextField, StepsOverTokenAndSeparators) {
    const QByteArray line = "  12\t\t-3   x7 \n";
    int pos = FirstField(line);
    EXPECT_EQ(pos, 2);
    pos = NextField(line, pos);
    EXPECT_EQ(line[pos], '-');
    pos = NextField(line, pos);
    EXPECT_EQ(line[pos], 'x');
    pos = NextField(line, pos);
    EXPECT_EQ(pos, line.size());
    // Characters of code 128 and above separate like blanks.
    const QByteArray high = QByteArray("1") + char(0xA0) + "2";
    EXPECT_EQ(NextField(high, 0), 2);
}
