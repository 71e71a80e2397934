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
// the end of the file, also when only comment lines are left. A line may end
// in LF, CR LF or a lone CR; each comes back as one '\n'. A UTF-8 byte order
// mark at the start of the file is skipped. Files are opened without
// QIODevice::Text, which would drop every CR.
QByteArray ReadDataLine(QIODevice& file);

// ReadDataLine that also knows the file's line number of what it returned,
// for messages.
class DataLineReader {
  public:
    explicit DataLineReader(QIODevice& file) : file_(file) {}
    QByteArray Next();
    // The file line (from 1) of the last data line read; 0 before the first.
    int Line() const { return line_; }

  private:
    QIODevice& file_;
    int line_ = 0;
    int next_ = 1;
};

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
