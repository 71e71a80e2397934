#pragma once
// The tile pictures: image list 0 holds the hex frame (0) and the palette
// mark (1); lists 1..12 hold the pictures of sets 1..12.

#include "files/Result.h"
#include "map/TileCatalogue.h"
#include "pictures/ImageList.h"

#include <QDir>
#include <array>

namespace zem {

using TileImages = std::array<ImageList, MaxSets + 1>;

// Sizes the lists and loads "tilbmp\til%04d.bmp" for every tile with a set,
// then the frame and the mark. Stops at the first bitmap that cannot be
// loaded or is not TileWidth by TileHeight pixels; the lists keep what was
// added before it.
Status LoadTileBitmaps(const TileCatalogue& cat, TileImages& images, const QDir& dir);

// Tile t's picture; null for a tile without one.
const QImage* TilePicture(const TileCatalogue& cat, const TileImages& images, int t);

// Draws tile t's picture at (x, y); a tile without a picture draws nothing.
void DrawTile(QPainter& p, const TileCatalogue& cat, const TileImages& images, int t, int x, int y);
void DrawTile(QImage& target, const TileCatalogue& cat, const TileImages& images, int t, int x,
              int y);
void DrawTile(const PixelRows& target, const TileCatalogue& cat, const TileImages& images, int t,
              int x, int y);

} // namespace zem
