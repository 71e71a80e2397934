#include "ui/ImageList.h"

namespace zem {

void ImageList::SetSize(int width, int height) {
    width_ = std::max(width, 1);
    height_ = std::max(height, 1);
    images_.clear();
}

// Every picture of a list has the list's size: a larger bitmap is cut at the
// right and bottom, a smaller one leaves the rest transparent.
QImage ImageList::Fit(const Bitmap& bitmap) const {
    const QImage& src = bitmap.Image();
    if (src.width() == width_ && src.height() == height_)
        return src.convertToFormat(QImage::Format_ARGB32_Premultiplied);
    QImage out(width_, height_, QImage::Format_ARGB32_Premultiplied);
    out.fill(Qt::transparent);
    QPainter p(&out);
    p.setCompositionMode(QPainter::CompositionMode_Source);
    p.drawImage(0, 0, src);
    return out;
}

int ImageList::AddMasked(const Bitmap& bitmap) { return AddMasked(bitmap, bitmap.TransparentColour()); }

int ImageList::AddMasked(const Bitmap& bitmap, Colour mask) {
    QImage img = Fit(bitmap);
    const QRgb key = qRgb(mask & 255, (mask >> 8) & 255, (mask >> 16) & 255);
    for (int y = 0; y < img.height(); ++y) {
        auto* line = reinterpret_cast<QRgb*>(img.scanLine(y));
        for (int x = 0; x < img.width(); ++x)
            if (qAlpha(line[x]) == 255 && (line[x] & 0xFFFFFF) == (key & 0xFFFFFF)) line[x] = 0;
    }
    images_.push_back(std::move(img));
    return Count() - 1;
}

int ImageList::Add(const Bitmap& bitmap) {
    QImage img = Fit(bitmap);
    images_.push_back(std::move(img));
    return Count() - 1;
}

const QImage* ImageList::Image(int index) const {
    if (index < 0 || index >= Count()) return nullptr;
    return &images_[size_t(index)];
}

void ImageList::Draw(Canvas& canvas, int x, int y, int index) const { Draw(canvas.Painter(), x, y, index); }

void ImageList::Draw(QPainter& painter, int x, int y, int index) const {
    if (const QImage* img = Image(index)) painter.drawImage(x, y, *img);
}

} // namespace zem
