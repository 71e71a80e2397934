#include "map/DataLine.h"

#include <algorithm>
#include <limits>

namespace zem {

// One piece of a line: up to 254 characters, with its line break when that
// fits. `broke` tells whether the piece ended a line of the file.
static QByteArray ReadPiece(QIODevice& file, bool& broke) {
    broke = false;
    if (!file.isSequential() && file.pos() == 0) {
        char bom[3];
        if (file.peek(bom, 3) == 3 && bom[0] == '\xEF' && bom[1] == '\xBB' && bom[2] == '\xBF')
            file.skip(3);
    }
    // Two more than a piece: a CR LF after 253 characters still ends it.
    char buf[DataLineMax + 2];
    const qint64 n = file.peek(buf, sizeof buf);
    if (n <= 0) return {};
    const qint64 limit = std::min<qint64>(n, DataLineMax);
    qint64 end = 0;
    while (end < limit && buf[end] != '\n' && buf[end] != '\r')
        ++end;
    QByteArray line(buf, end);
    qint64 used = end;
    if (end < limit) {
        // A CR before the LF is part of the line break, not of the text: it
        // must not count against the length.
        used = end + 1;
        if (buf[end] == '\r' && used < n && buf[used] == '\n') ++used;
        line += '\n';
        broke = true;
    }
    file.skip(used);
    return line;
}

QByteArray ReadDataLine(QIODevice& file) {
    bool broke;
    for (;;) {
        const QByteArray line = ReadPiece(file, broke);
        if (line.isEmpty() || line[0] != ';') return line;
    }
}

QByteArray DataLineReader::Next() {
    bool broke;
    for (;;) {
        line_ = next_;
        const QByteArray line = ReadPiece(file_, broke);
        if (broke && next_ < std::numeric_limits<int>::max()) ++next_;
        if (line.isEmpty() || line[0] != ';') return line;
    }
}

static bool IsSpace(char c) {
    return c == ' ' || (c >= '\t' && c <= '\r');
}

bool ScanInt(const QByteArray& line, int& pos, int& value) {
    int p = pos;
    const int n = line.size();
    while (p < n && IsSpace(line[p]))
        ++p;
    bool neg = false;
    if (p < n && (line[p] == '+' || line[p] == '-')) neg = line[p++] == '-';
    if (p >= n || line[p] < '0' || line[p] > '9') return false;
    std::uint32_t v = 0;
    while (p < n && line[p] >= '0' && line[p] <= '9')
        v = v * 10u + std::uint32_t(line[p++] - '0');
    value = int(neg ? 0u - v : v);
    pos = p;
    return true;
}

int LeadingInt(const QByteArray& line) {
    int pos = 0, v = 0;
    return ScanInt(line, pos, v) ? v : 0;
}

std::vector<int> ScanInts(const QByteArray& line, int count) {
    std::vector<int> out;
    int pos = 0;
    for (int i = 0; i < count; ++i) {
        int v;
        if (!ScanInt(line, pos, v)) break;
        out.push_back(v);
    }
    return out;
}

static bool IsToken(unsigned char c) {
    return c >= 33 && c <= 127;
}

int NextField(const QByteArray& line, int pos) {
    const int n = line.size();
    while (pos < n && IsToken(static_cast<unsigned char>(line[pos])))
        ++pos;
    while (pos < n && !IsToken(static_cast<unsigned char>(line[pos])))
        ++pos;
    return pos;
}

int FirstField(const QByteArray& line) {
    int pos = 0;
    while (pos < line.size() && !IsToken(static_cast<unsigned char>(line[pos])))
        ++pos;
    return pos;
}

} // namespace zem
