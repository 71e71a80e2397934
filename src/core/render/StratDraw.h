#pragma once
// The strategic overview: every hex as an 8 by 8 picture chosen by its TT1.

#include "files/Result.h"
#include "map/HexMap.h"
#include "pictures/ImageList.h"

#include <QDir>
#include <QSize>

namespace zem {

QSize StratPictureSize(const HexMap& map);
// Loads "TilBmp\str%03d.bmp" for t = 1 .. tt1Count - 1 into the list
// (unmasked). Stops at the first file that cannot be loaded; the tiles
// loaded before it stay.
Status LoadStratTiles(ImageList& list, int tt1Count, const QDir& dir);
// Draws every hex over what the picture holds; TT1 0, or a TT1 without a
// picture, leaves the pixels as they were.
void DrawStratHexes(QImage& picture, const HexMap& map, const ImageList& list);
// The whole overview on green.
QImage RenderStratMap(const HexMap& map, const ImageList& list);
// The view origin for a click at (X, Y) of the overview: five hexes up and
// left of the clicked one, x even, kept within 0..W-8 and 0..H-8.
HexPos StratClickOrigin(int X, int Y, const HexMap& map);

} // namespace zem
