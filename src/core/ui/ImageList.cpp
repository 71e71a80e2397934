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

int ImageList::AddMasked(const Bitmap& bitmap) {
    return AddMasked(bitmap, bitmap.TransparentColour());
}

int ImageList::AddMasked(const Bitmap& bitmap, Colour mask) {
    QImage img = Fit(bitmap);
    const QRgb key = qRgb(mask & 255, (mask >> 8) & 255, (mask >> 16) & 255);
    for (int y = 0; y < img.height(); ++y) {
        auto* line = reinterpret_cast<QRgb*>(img.scanLine(y));
        for (int x = 0; x < img.width(); ++x)
            if (qAlpha(line[x]) == 255 && (line[x] & 0xFFFFFF) == (key & 0xFFFFFF)) line[x] = 0;
    }
    return Push(std::move(img));
}

int ImageList::Add(const Bitmap& bitmap) {
    return Push(Fit(bitmap));
}

int ImageList::Push(QImage image) {
    Entry e{std::move(image), {}};
    for (int y = 0; y < e.image.height(); ++y) {
        const auto* line = reinterpret_cast<const QRgb*>(e.image.constScanLine(y));
        for (int x = 0; x < e.image.width();) {
            if (qAlpha(line[x]) == 0) {
                ++x;
                continue;
            }
            const int start = x;
            while (x < e.image.width() && qAlpha(line[x]) != 0)
                ++x;
            e.spans.push_back({y, start, x - start});
        }
    }
    images_.push_back(std::move(e));
    return Count() - 1;
}

const QImage* ImageList::Image(int index) const {
    if (index < 0 || index >= Count()) return nullptr;
    return &images_[size_t(index)].image;
}

void ImageList::Draw(QImage& target, int x, int y, int index) const {
    if (index < 0 || index >= Count()) return;
    const auto f = target.format();
    if (f != QImage::Format_RGB32 && f != QImage::Format_ARGB32_Premultiplied) {
        QPainter p(&target);
        Draw(p, x, y, index);
        return;
    }
    const Entry& e = images_[size_t(index)];
    const int tw = target.width(), th = target.height();
    for (const Span& s : e.spans) {
        const int ty = y + s.y;
        if (ty < 0 || ty >= th) continue;
        int from = x + s.x, to = from + s.length;
        const int skip = from < 0 ? -from : 0;
        from = std::max(from, 0);
        to = std::min(to, tw);
        if (to <= from) continue;
        const auto* src = reinterpret_cast<const QRgb*>(e.image.constScanLine(s.y)) + s.x + skip;
        auto* dst = reinterpret_cast<QRgb*>(target.scanLine(ty)) + from;
        std::copy(src, src + (to - from), dst);
    }
}

void ImageList::Draw(QPainter& painter, int x, int y, int index) const {
    if (const QImage* img = Image(index)) painter.drawImage(x, y, *img);
}

} // namespace zem
