#include "map/DataLine.h"

namespace zem {

QByteArray ReadDataLine(QIODevice& file) {
    for (;;) {
        if (file.atEnd()) return {};
        QByteArray line = file.readLine(DataLineMax + 1);
        if (line.isEmpty()) return {};
        // A CR before the LF is part of the line break, not of the text: it
        // must not count against the length, even when only the CR fitted.
        if (line.endsWith("\r\n")) {
            line.chop(2);
            line += '\n';
        } else if (line.endsWith('\r')) {
            char next = 0;
            if (file.peek(&next, 1) == 1 && next == '\n') {
                file.getChar(&next);
                line.back() = '\n';
            }
        }
        if (line[0] != ';') return line;
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
