#include "pictures/ImageList.h"

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
    const PixelRows rows = PixelRows::Of(target);
    if (rows.IsNull()) {
        QPainter p(&target);
        Draw(p, x, y, index);
        return;
    }
    Draw(rows, x, y, index);
}

void ImageList::Draw(const PixelRows& target, int x, int y, int index) const {
    if (index < 0 || index >= Count() || target.IsNull()) return;
    const Entry& e = images_[size_t(index)];
    const int w = e.image.width(), h = e.image.height();
    if (x >= target.width || y >= target.height || x + w <= 0 || y + h <= 0) return;
    const uchar* bits = e.image.constBits();
    const qsizetype bpl = e.image.bytesPerLine();
    auto source = [&](const Span& s) {
        return reinterpret_cast<const QRgb*>(bits + s.y * bpl) + s.x;
    };
    if (x >= 0 && y >= 0 && x + w <= target.width && y + h <= target.height) {
        for (const Span& s : e.spans)
            std::copy_n(source(s), s.length, target.Row(y + s.y) + x + s.x);
        return;
    }
    for (const Span& s : e.spans) {
        const int ty = y + s.y;
        if (ty < 0 || ty >= target.height) continue;
        const int from = std::max(x + s.x, 0), to = std::min(x + s.x + s.length, target.width);
        if (to <= from) continue;
        std::copy_n(source(s) + (from - x - s.x), to - from, target.Row(ty) + from);
    }
}

ImageList ImageList::Scaled(int percent, bool smooth) const {
    ImageList out;
    out.SetSize(std::max(1, (width_ * percent + 50) / 100),
                std::max(1, (height_ * percent + 50) / 100));
    for (const Entry& e : images_) {
        QImage img = e.image
                         .scaled(out.width_, out.height_, Qt::IgnoreAspectRatio,
                                 smooth ? Qt::SmoothTransformation : Qt::FastTransformation)
                         .convertToFormat(QImage::Format_ARGB32);
        for (int y = 0; y < img.height(); ++y) {
            auto* line = reinterpret_cast<QRgb*>(img.scanLine(y));
            for (int x = 0; x < img.width(); ++x)
                line[x] = qAlpha(line[x]) >= 128 ? (line[x] | 0xFF000000) : 0;
        }
        out.Push(img.convertToFormat(QImage::Format_ARGB32_Premultiplied));
    }
    return out;
}

void ImageList::Draw(QPainter& painter, int x, int y, int index) const {
    if (const QImage* img = Image(index)) painter.drawImage(x, y, *img);
}

} // namespace zem
