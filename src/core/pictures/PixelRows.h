#pragma once
// The rows of a 32-bit picture reached through one base pointer and the
// distance between rows. Drawing hundreds of pictures asks for a row at
// every run of pixels; QImage::scanLine checks and detaches at every call.

#include <QImage>
#include <algorithm>

namespace zem {

struct PixelRows {
    uchar* bits = nullptr;
    qsizetype stride = 0;
    int width = 0, height = 0; // the drawable part: every draw is clipped to it

    QRgb* Row(int y) const { return reinterpret_cast<QRgb*>(bits + y * stride); }

    // The top-left width x height part of a Format_RGB32 or
    // Format_ARGB32_Premultiplied picture (detaches it once); clipped to the
    // picture. Any other format gives no rows.
    static PixelRows Of(QImage& image, int width, int height) {
        const auto f = image.format();
        if (f != QImage::Format_RGB32 && f != QImage::Format_ARGB32_Premultiplied) return {};
        return {image.bits(), image.bytesPerLine(), std::clamp(width, 0, image.width()),
                std::clamp(height, 0, image.height())};
    }
    static PixelRows Of(QImage& image) { return Of(image, image.width(), image.height()); }
    bool IsNull() const { return bits == nullptr; }

    void Fill(QRgb colour) const {
        for (int y = 0; y < height; ++y)
            std::fill_n(Row(y), width, colour);
    }
};

} // namespace zem
