#pragma once
// Bitmaps and their canvases: the drawing surface every picture of the
// editor is composed on. Pixels are exact: no antialiasing, no scaling.

#include "files/Result.h"

#include <QImage>
#include <QPainter>
#include <QString>
#include <cstdint>
#include <memory>

namespace zem {

// A colour value with red in the low byte, then green, then blue.
using Colour = std::uint32_t;
constexpr Colour RGBColour(int r, int g, int b) {
    return Colour(r & 255) | Colour(g & 255) << 8 | Colour(b & 255) << 16;
}
constexpr Colour clGreen = RGBColour(0, 128, 0);
constexpr Colour clMaroon = RGBColour(128, 0, 0);
constexpr Colour clGrey = RGBColour(128, 128, 128);
constexpr Colour clYellow = RGBColour(255, 255, 0);
constexpr Colour clWhite = RGBColour(255, 255, 255);

inline QColor ToQColor(Colour c) {
    return QColor(c & 255, (c >> 8) & 255, (c >> 16) & 255);
}
inline Colour FromQRgb(QRgb p) {
    return RGBColour(qRed(p), qGreen(p), qBlue(p));
}

// The bytes of a picture file ("BMP" or "PNG"). The resolution is fixed at
// 96 dots per inch, so the same picture gives the same bytes whatever
// screen the program runs on.
// With `alpha` the picture keeps its transparency (PNG).
QByteArray EncodeImage(const QImage& image, const char* format, bool alpha = false);

class Bitmap {
  public:
    Bitmap() = default;
    Bitmap(int width, int height);
    explicit Bitmap(QImage image);

    int Width() const { return image_.width(); }
    int Height() const { return image_.height(); }
    // The picture of a file, or why it cannot be read as one.
    static Result<Bitmap> Load(const QString& path);
    // The toolkit's load: throws FileError when the file cannot be read.
    void LoadFromFile(const QString& path);

    // The colour of the bottom-left pixel; white for a monochrome bitmap.
    Colour TransparentColour() const;
    Colour Pixel(int x, int y) const;

    QImage& Image() { return image_; }
    const QImage& Image() const { return image_; }

  private:
    QImage image_;
    bool monoSource_ = false;
};

} // namespace zem
