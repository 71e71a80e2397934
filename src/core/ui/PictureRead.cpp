#include "ui/PictureRead.h"

#include <QFile>
#include <QImageReader>

namespace zem {

namespace {

// The toolkit's warnings while a picture is read ("libpng error: Read
// Error"): collected for the message, never printed. Reading happens on the
// one user-interface thread.
QStringList* collected = nullptr;

void Collect(QtMsgType, const QMessageLogContext&, const QString& text) {
    if (collected) collected->append(text);
}

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

} // namespace

QString BitmapTruncation(const QByteArray& head, qint64 size) {
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
    // Run-length coded rows have no fixed length; plain and bit-field rows
    // are padded to four bytes.
    if (compression != 0 && compression != 3) return {};
    if (width <= 0 || height == 0 || bpp == 0 || bpp > 32) return {};
    const qint64 rows = height < 0 ? -height : height;
    const qint64 stride = (width * bpp + 31) / 32 * 4;
    const qint64 need = offBits + stride * rows;
    if (size >= need) return {};
    return QStringLiteral("The file is cut short: %1 of %2 bytes").arg(size).arg(need);
}

Result<QImage> ReadPicture(QIODevice& device, const QString& name) {
    const QString cut = BitmapTruncation(device.peek(34), device.size());
    if (!cut.isEmpty()) return CannotOpen(name, cut);
    CollectWarnings warnings;
    QImageReader reader(&device);
    QImage image = reader.read();
    if (image.isNull()) {
        QString reason = reader.errorString();
        if (!warnings.texts.isEmpty())
            reason += QStringLiteral(" (%1)").arg(warnings.texts.join(QStringLiteral("; ")));
        return CannotOpen(name, reason);
    }
    return image;
}

Result<QImage> ReadPicture(const QString& path) {
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly)) return CannotOpen(path, f.errorString());
    return ReadPicture(f, path);
}

} // namespace zem
