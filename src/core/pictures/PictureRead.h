#pragma once
// Reading a picture file with the toolkit's decoders, strictly: a file the
// decoders cut short is refused, and their complaints (Qt's warnings and
// what their libraries print) become the message instead of lines on stderr.

#include "files/Result.h"

#include <QIODevice>
#include <QImage>
#include <QString>

namespace zem {

// The picture of the device, or "Cannot open file "NAME". REASON" with the
// toolkit's reason. A Windows bitmap shorter than its header says, or whose
// run-length codes end before its last row, is refused; the toolkit would
// fill the missing rows with black.
Result<QImage> ReadPicture(QIODevice& device, const QString& name);
Result<QImage> ReadPicture(const QString& path);

// Why the Windows bitmap on the device is cut short; empty when it is whole
// or not a bitmap. The device stays where it was.
QString BitmapTruncation(QIODevice& device);

} // namespace zem
