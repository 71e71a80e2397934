#pragma once
// The whole map as a picture file, drawn a band of rows at a time into one
// reused buffer and written band by band: the picture never exists whole.
// The file holds the same pixels as RenderWholeMap's picture; a bitmap has
// the same bytes as EncodeImage of it.

#include "files/Result.h"
#include "render/DrawMap.h"

#include <QIODevice>

namespace zem {

enum class PictureFormat { Bmp, Png };

// Rows enough to draw a band with few hexes drawn twice, few enough that
// the band of an 80x80 map stays in the processor's cache.
constexpr int WholeMapBandRows = 64;

// Rows y0 .. y0 + rows.height - 1 of the whole map picture into `rows`.
void DrawWholeMapBand(const PixelRows& rows, int y0, const HexMap& map, const TileCatalogue& cat,
                      const TileImages& images, bool roads);

// Writes the picture file to `out`; returns the fault, empty when all went
// well. A bitmap's bands are drawn from the bottom, as it stores its rows.
QString WriteWholeMap(QIODevice& out, PictureFormat format, const HexMap& map,
                      const TileCatalogue& cat, const TileImages& images, bool roads,
                      int bandRows = WholeMapBandRows);

// The same into `path` through a temporary file renamed at the end.
Status SaveWholeMap(const QString& path, PictureFormat format, const HexMap& map,
                    const TileCatalogue& cat, const TileImages& images, bool roads);

} // namespace zem
