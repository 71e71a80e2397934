#include "pictures/Bitmap.h"
#include "pictures/PictureRead.h"
#include "runtime/Errors.h"

#include <QBuffer>
#include <QFile>

namespace zem {

Bitmap::Bitmap(int width, int height)
    : image_(std::max(width, 0), std::max(height, 0), QImage::Format_RGB32) {
    image_.fill(Qt::white);
}

Bitmap::Bitmap(QImage image) : image_(std::move(image)) {}

Result<Bitmap> Bitmap::Load(const QString& path) {
    Result<QImage> read = ReadPicture(path);
    if (!read) return read.Fault();
    const QImage& loaded = read.Value();
    Bitmap b;
    b.monoSource_ =
        loaded.format() == QImage::Format_Mono || loaded.format() == QImage::Format_MonoLSB;
    b.image_ = loaded.convertToFormat(QImage::Format_RGB32);
    return b;
}

void Bitmap::LoadFromFile(const QString& path) {
    Result<Bitmap> b = Load(path);
    if (!b) throw FileError(b.Message());
    *this = std::move(b.Value());
}

QByteArray EncodeImage(const QImage& image, const char* format, bool alpha) {
    QImage img = image.convertToFormat(alpha ? QImage::Format_ARGB32 : QImage::Format_RGB888);
    img.setDotsPerMeterX(3780);
    img.setDotsPerMeterY(3780);
    QByteArray bytes;
    QBuffer buf(&bytes);
    buf.open(QIODevice::WriteOnly);
    if (!img.save(&buf, format)) return {};
    return bytes;
}

Colour Bitmap::TransparentColour() const {
    if (monoSource_) return clWhite;
    if (image_.isNull()) return clWhite;
    return Pixel(0, Height() - 1);
}

Colour Bitmap::Pixel(int x, int y) const {
    if (x < 0 || y < 0 || x >= Width() || y >= Height()) return 0;
    return FromQRgb(image_.pixel(x, y));
}

} // namespace zem
