#pragma once
// The text data files share one style: lines beginning with ';' are comments
// anywhere, numbers are read "%d"-style from the start of a line.

#include <QByteArray>
#include <QIODevice>
#include <vector>

namespace zem {

constexpr int DataLineMax = 254;

// The next line that does not begin with ';', at most 254 characters (the
// line break stays when it fits; a longer line comes in pieces). Empty at
// the end of the file, also when only comment lines are left.
QByteArray ReadDataLine(QIODevice& file);

// "%d" at `pos`: optional white space, optional sign, digits. Returns false
// when there are no digits. Overlong numbers keep their low 32 bits.
bool ScanInt(const QByteArray& line, int& pos, int& value);
// The integer at the start of a line, 0 when there is none.
int LeadingInt(const QByteArray& line);
// Up to `count` integers scanned from the start of a line, as sscanf with
// "%d %d ..." does: it stops at the first field that is not a number.
std::vector<int> ScanInts(const QByteArray& line, int count);

// Steps over the current token (codes 33 to 127) and the separators after it.
int NextField(const QByteArray& line, int pos);
// The position of the first character with a code from 33 to 127.
int FirstField(const QByteArray& line);

} // namespace zem
