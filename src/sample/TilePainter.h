#pragma once

#include "sample/SampleData.h"

#include <QImage>

namespace zem::sample {

// The key colour outside the hex: every tile's bottom-left pixel.
extern const QRgb TileKey;

QImage PaintTile(const SampleTile& t);
QImage PaintFrame();
QImage PaintMark();
QImage PaintStratTile(int tt1);

} // namespace zem::sample
