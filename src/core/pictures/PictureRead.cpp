#include "pictures/PictureRead.h"
#include "files/RegularFile.h"

#include <QFile>
#include <QImageReader>

#include <cstdio>
#include <unistd.h>

namespace zem {

namespace {

// The toolkit's warnings while a picture is read ("libpng error: Read
// Error"): collected for the message, never printed. Reading happens on the
// one user-interface thread.
QStringList* collected = nullptr;

void Collect(QtMsgType, const QMessageLogContext&, const QString& text) {
    if (collected) collected->append(text);
}

// The decoders' libraries write some complaints straight to the standard
// error stream ("libpng error: Read Error"): while a picture is read, that
// stream goes to a scratch file, and what arrives there joins the message.
class CaptureStderr {
  public:
    CaptureStderr() {
        std::fflush(stderr);
        scratch_ = std::tmpfile();
        if (scratch_) saved_ = ::dup(2);
        if (saved_ >= 0) ::dup2(::fileno(scratch_), 2);
    }
    ~CaptureStderr() { Restore(); }
    QString Text() {
        Restore();
        if (!scratch_) return {};
        std::rewind(scratch_);
        QByteArray text;
        char buf[512];
        size_t n;
        while ((n = std::fread(buf, 1, sizeof buf, scratch_)) > 0 && text.size() < 4096)
            text.append(buf, qsizetype(n));
        std::fclose(scratch_);
        scratch_ = nullptr;
        return QString::fromLocal8Bit(text).trimmed().replace(QLatin1Char('\n'),
                                                              QLatin1String("; "));
    }

  private:
    void Restore() {
        if (saved_ < 0) return;
        std::fflush(stderr);
        ::dup2(saved_, 2);
        ::close(saved_);
        saved_ = -1;
    }
    std::FILE* scratch_ = nullptr;
    int saved_ = -1;
};

class CollectWarnings {
  public:
    CollectWarnings() : previous_(qInstallMessageHandler(Collect)) { collected = &texts; }
    ~CollectWarnings() {
        collected = nullptr;
        qInstallMessageHandler(previous_);
    }
    QStringList texts;

  private:
    QtMessageHandler previous_;
};

quint32 U32(const QByteArray& b, int at) {
    return quint32(quint8(b[at])) | quint32(quint8(b[at + 1])) << 8 |
           quint32(quint8(b[at + 2])) << 16 | quint32(quint8(b[at + 3])) << 24;
}
quint16 U16(const QByteArray& b, int at) {
    return quint16(quint8(b[at]) | quint8(b[at + 1]) << 8);
}

Failure CannotOpen(const QString& name, const QString& reason) {
    return {QStringLiteral("Cannot open file \"%1\". %2").arg(name, reason)};
}

// Whether run-length codes starting at `at` reach the end of the picture,
// its end code or the end of its last row, before the bytes run out.
bool RunsWhole(const QByteArray& b, qint64 at, qint64 rows, bool four) {
    const qint64 n = b.size();
    for (qint64 y = 0; y < rows;) {
        if (at + 2 > n) return false;
        const int count = quint8(b[at]), code = quint8(b[at + 1]);
        at += 2;
        if (count > 0 || code == 0) { // a run of one colour, or the end of a row
            y += count == 0;
        } else if (code == 1) { // the end of the picture
            return true;
        } else if (code == 2) { // a jump right and down
            if (at + 2 > n) return false;
            y += quint8(b[at + 1]);
            at += 2;
        } else { // `code` pixels as they are, padded to two bytes
            const qint64 bytes = four ? (code + 1) / 2 : code;
            if (at + bytes > n) return false;
            at += bytes + (bytes & 1);
        }
    }
    return true;
}

} // namespace

QString BitmapTruncation(QIODevice& device) {
    const QByteArray head = device.peek(34);
    const qint64 size = device.size();
    if (head.size() < 30 || !head.startsWith("BM")) return {};
    const qint64 offBits = U32(head, 10);
    const quint32 dib = U32(head, 14);
    qint64 width, height;
    quint32 bpp, compression = 0;
    if (dib == 12) { // the old OS/2 header
        width = U16(head, 18);
        height = U16(head, 20);
        bpp = U16(head, 24);
    } else {
        if (head.size() < 34) return {};
        width = qint32(U32(head, 18));
        height = qint32(U32(head, 22));
        bpp = U16(head, 28);
        compression = U32(head, 30);
    }
    if (width <= 0 || height == 0 || bpp == 0 || bpp > 32) return {};
    const qint64 rows = height < 0 ? -height : height;
    // Run-length coded rows have no fixed length: their codes are followed.
    if ((compression == 1 && bpp == 8) || (compression == 2 && bpp == 4)) {
        if (size >= offBits && RunsWhole(device.peek(size), offBits, rows, compression == 2))
            return {};
        return QStringLiteral("The file is cut short: %1 bytes, fewer than the run-length codes "
                              "of its %2 x %3 pixels need")
            .arg(size)
            .arg(width)
            .arg(rows);
    }
    // Plain and bit-field rows are padded to four bytes.
    if (compression != 0 && compression != 3 && compression != 6) return {};
    const qint64 stride = (width * bpp + 31) / 32 * 4; // below 2^38: no overflow
    // Whole when the rows fit in what follows the header; checked by
    // division, as a header may claim more than 64 bits can count.
    if (size >= offBits && stride <= (size - offBits) / rows) return {};
    return QStringLiteral("The file is cut short: %1 bytes, fewer than its header of %2 x %3 "
                          "pixels needs")
        .arg(size)
        .arg(width)
        .arg(rows);
}

Result<QImage> ReadPicture(QIODevice& device, const QString& name) {
    const QString cut = BitmapTruncation(device);
    if (!cut.isEmpty()) return CannotOpen(name, cut);
    CollectWarnings warnings;
    CaptureStderr printed;
    QImageReader reader(&device);
    QImage image = reader.read();
    const QString complaints = printed.Text();
    if (!complaints.isEmpty()) warnings.texts.append(complaints);
    if (image.isNull()) {
        QString reason = reader.errorString();
        if (!warnings.texts.isEmpty())
            reason += QStringLiteral(" (%1)").arg(warnings.texts.join(QStringLiteral("; ")));
        return CannotOpen(name, reason);
    }
    return image;
}

Result<QImage> ReadPicture(const QString& path) {
    QFile f;
    if (const QString fault = OpenRegular(f, path); !fault.isEmpty())
        return CannotOpen(path, fault);
    return ReadPicture(f, path);
}

} // namespace zem
