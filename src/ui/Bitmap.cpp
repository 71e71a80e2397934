#include "ui/Bitmap.h"
#include "ui/Errors.h"

#include <QBuffer>
#include <QFile>
#include <QImageReader>

namespace zem {

Bitmap::Bitmap(int width, int height)
    : image_(std::max(width, 0), std::max(height, 0), QImage::Format_RGB32) {
    image_.fill(Qt::white);
}

Bitmap::Bitmap(QImage image) : image_(std::move(image)) {}

void Bitmap::SetSize(int width, int height) {
    width = std::max(width, 0);
    height = std::max(height, 0);
    if (width == Width() && height == Height() && !image_.isNull()) return;
    QImage next(width, height, QImage::Format_RGB32);
    next.fill(Qt::white);
    if (!image_.isNull() && width > 0 && height > 0) {
        QPainter p(&next);
        p.setCompositionMode(QPainter::CompositionMode_Source);
        p.drawImage(0, 0, image_);
    }
    image_ = std::move(next);
}

void Bitmap::LoadFromFile(const QString& path) {
    QImageReader reader(path);
    QImage loaded = reader.read();
    if (loaded.isNull())
        throw FileError(
            QStringLiteral("Cannot open file \"%1\". %2").arg(path, reader.errorString()));
    bool mono = loaded.format() == QImage::Format_Mono || loaded.format() == QImage::Format_MonoLSB;
    image_ = loaded.convertToFormat(QImage::Format_RGB32);
    monoSource_ = mono;
}

QByteArray EncodeImage(const QImage& image, const char* format) {
    QImage img = image.convertToFormat(QImage::Format_RGB888);
    img.setDotsPerMeterX(3780);
    img.setDotsPerMeterY(3780);
    QByteArray bytes;
    QBuffer buf(&bytes);
    buf.open(QIODevice::WriteOnly);
    if (!img.save(&buf, format)) return {};
    return bytes;
}

bool Bitmap::SaveToFile(const QString& path) const {
    QFile f(path);
    const QByteArray bytes = EncodeImage(image_, "BMP");
    return !bytes.isEmpty() && f.open(QIODevice::WriteOnly) && f.write(bytes) == bytes.size();
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

Canvas::Canvas(Bitmap& bitmap) : Canvas(bitmap.Image()) {}

Canvas::Canvas(QImage& image) : image_(&image), painter_(&image) {
    painter_.setRenderHint(QPainter::Antialiasing, false);
}

Canvas::~Canvas() = default;

void Canvas::FillRect(int left, int top, int right, int bottom) {
    if (right <= left || bottom <= top) return;
    painter_.fillRect(left, top, right - left, bottom - top, ToQColor(Brush.Color));
}

void Canvas::MoveTo(int x, int y) {
    penX_ = x;
    penY_ = y;
}

void Canvas::LineTo(int x, int y) {
    QPen pen(ToQColor(Pen.Color));
    pen.setWidth(Pen.Width);
    pen.setCapStyle(Qt::RoundCap);
    painter_.setPen(pen);
    painter_.drawLine(penX_, penY_, x, y);
    penX_ = x;
    penY_ = y;
}

void Canvas::CopyRect(int dx, int dy, const QImage& src, int sx, int sy, int w, int h) {
    auto mode = painter_.compositionMode();
    painter_.setCompositionMode(QPainter::CompositionMode_Source);
    painter_.drawImage(QRect(dx, dy, w, h), src, QRect(sx, sy, w, h));
    painter_.setCompositionMode(mode);
}

void Canvas::DrawImage(int x, int y, const QImage& image) {
    painter_.drawImage(x, y, image);
}

Colour Canvas::Pixels(int x, int y) const {
    if (x < 0 || y < 0 || x >= image_->width() || y >= image_->height()) return 0;
    return FromQRgb(image_->pixel(x, y));
}

} // namespace zem
