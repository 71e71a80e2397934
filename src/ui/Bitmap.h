#pragma once
// Bitmaps and their canvases: the drawing surface every picture of the
// editor is composed on. Pixels are exact: no antialiasing, no scaling.

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
QByteArray EncodeImage(const QImage& image, const char* format);

class Bitmap {
  public:
    Bitmap() = default;
    Bitmap(int width, int height);
    explicit Bitmap(QImage image);

    int Width() const { return image_.width(); }
    int Height() const { return image_.height(); }
    // Resizes, keeping the pixels that still fit; new pixels are white.
    void SetSize(int width, int height);

    // Throws FileError when the file cannot be read as a bitmap.
    void LoadFromFile(const QString& path);
    // Returns false when the file cannot be written.
    bool SaveToFile(const QString& path) const;

    // The colour of the bottom-left pixel; white for a monochrome bitmap.
    Colour TransparentColour() const;
    Colour Pixel(int x, int y) const;

    QImage& Image() { return image_; }
    const QImage& Image() const { return image_; }

  private:
    QImage image_;
    bool monoSource_ = false;
};

// Drawing on a bitmap. The painter stays open while the canvas lives, so a
// picture of many tiles is drawn without reopening it for every tile.
class Canvas {
  public:
    explicit Canvas(Bitmap& bitmap);
    explicit Canvas(QImage& image);
    ~Canvas();
    Canvas(const Canvas&) = delete;
    Canvas& operator=(const Canvas&) = delete;

    struct {
        Colour Color = clWhite;
    } Brush;
    struct {
        Colour Color = 0;
        int Width = 1;
    } Pen;

    // Fills left <= x < right, top <= y < bottom.
    void FillRect(int left, int top, int right, int bottom);
    void MoveTo(int x, int y);
    void LineTo(int x, int y);
    // Copies src's rectangle (sx, sy, w, h) one to one to (dx, dy).
    void CopyRect(int dx, int dy, const QImage& src, int sx, int sy, int w, int h);
    void DrawImage(int x, int y, const QImage& image);
    Colour Pixels(int x, int y) const;

    QPainter& Painter() { return painter_; }

  private:
    QImage* image_;
    QPainter painter_;
    int penX_ = 0, penY_ = 0;
};

} // namespace zem
