#pragma once
// Picture files written a band of rows at a time, from 32-bit rows, so a
// picture larger than memory needs never exists whole. The bytes are those
// EncodeImage gives for the same pixels: a 24-bit bottom-up Windows bitmap
// at 96 dots per inch, or a PNG of the same pixels.

#include "pictures/PixelRows.h"

#include <QByteArray>
#include <QIODevice>
#include <QString>
#include <memory>

namespace zem {

// 54 bytes: the file header and the 40-byte information header of a 24-bit
// bitmap of width x height, rows stored bottom-up.
QByteArray BmpHeader(int width, int height);
// Bytes of one stored row: three a pixel, padded with zeros to four.
int BmpRowBytes(int width);
// Writes pixels x .. x + width - 1 of `src` as one stored row (blue, green,
// red, then the zero padding) at `out`, which holds BmpRowBytes(width).
void PackBmpRow(const QRgb* src, int width, char* out);
// The bitmap file of the rectangle `r` of `rows` (inside them), written
// into `out`, which keeps its storage from one call to the next.
void EncodeBmp(const PixelRows& rows, QRect r, QByteArray& out);

// A PNG file written row by row into a device: 8-bit RGB, 96 dots per inch,
// zlib level 3 and the "up" filter (about a third larger than the toolkit's
// default file and about four times faster to write).
class PngRowWriter {
  public:
    PngRowWriter(QIODevice& out, int width, int height);
    ~PngRowWriter();
    PngRowWriter(const PngRowWriter&) = delete;
    PngRowWriter& operator=(const PngRowWriter&) = delete;

    // Rows top to bottom; after the last row the file is complete.
    // False once anything failed; Error() says what.
    bool WriteRows(const PixelRows& rows, int first, int count);
    bool Finish();
    const QString& Error() const { return error_; }

    struct Png; // libpng's state, known to the encoder's file alone

  private:
    std::unique_ptr<Png> png_;
    QString error_;
};

} // namespace zem
