#pragma once
// A list of equally sized pictures, drawn with their mask colour left out.

#include "pictures/Bitmap.h"
#include "pictures/PixelRows.h"

#include <vector>

namespace zem {

class ImageList {
  public:
    int Width() const { return width_; }
    int Height() const { return height_; }
    // Setting the size empties the list.
    void SetSize(int width, int height);
    void Clear() { images_.clear(); }

    // Adds the bitmap; pixels of its transparent colour become fully
    // transparent, so drawing leaves what lies beneath them.
    int AddMasked(const Bitmap& bitmap);
    int AddMasked(const Bitmap& bitmap, Colour mask);
    // Adds the bitmap as it is, every pixel opaque.
    int Add(const Bitmap& bitmap);
    int Count() const { return int(images_.size()); }

    // Any index outside the list, -1 included, draws nothing.
    void Draw(QPainter& painter, int x, int y, int index) const;
    // The same straight into a 32-bit picture, row by row, without a painter:
    // the map view draws hundreds of pictures at a time this way.
    void Draw(QImage& target, int x, int y, int index) const;
    // The same into rows the caller holds, clipped to them.
    void Draw(const PixelRows& target, int x, int y, int index) const;
    const QImage* Image(int index) const;
    // Every picture scaled to `percent`, each pixel opaque or transparent as
    // the list draws them: smooth scaling keeps the colours of tiles, the
    // nearest pixel keeps thin lines (the hex frame) visible.
    ImageList Scaled(int percent, bool smooth) const;

  private:
    // A run of opaque pixels of one row.
    struct Span {
        int y, x, length;
    };
    struct Entry {
        QImage image;
        std::vector<Span> spans;
    };
    int Push(QImage image);
    QImage Fit(const Bitmap& bitmap) const;
    int width_ = 16, height_ = 16;
    std::vector<Entry> images_;
};

} // namespace zem
