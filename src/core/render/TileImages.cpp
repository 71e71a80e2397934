#include "render/TileImages.h"
#include "ui/DataPath.h"

namespace zem {

static Status AddBitmap(ImageList& list, const QString& name, const QDir& dir) {
    Result<Bitmap> bmp = Bitmap::Load(DataPath(name, dir));
    if (!bmp) return bmp.Fault();
    list.AddMasked(bmp.Value());
    return {};
}

Status LoadTileBitmaps(const TileCatalogue& cat, TileImages& images, const QDir& dir) {
    for (auto& list : images)
        list.SetSize(cat.TileWidth, cat.TileHeight);
    for (int n = 0; n < MaxTiles; ++n) {
        const int s = cat.records[size_t(n)].set;
        if (s > 0 && s <= MaxSets)
            if (Status st =
                    AddBitmap(images[size_t(s)], QString::asprintf("tilbmp\\til%04d.bmp", n), dir);
                !st)
                return st;
    }
    if (Status st = AddBitmap(images[0], QStringLiteral("tilbmp\\til0000.bmp"), dir); !st)
        return st;
    return AddBitmap(images[0], QStringLiteral("tilbmp\\tilmark.bmp"), dir);
}

void DrawTile(QPainter& p, const TileCatalogue& cat, const TileImages& images, int t, int x,
              int y) {
    const TileRecord& r = cat.Record(t);
    if (r.set < 0 || r.set > MaxSets) return;
    images[size_t(r.set)].Draw(p, x, y, r.image - 1);
}

void DrawTile(QImage& target, const TileCatalogue& cat, const TileImages& images, int t, int x,
              int y) {
    const TileRecord& r = cat.Record(t);
    if (r.set < 0 || r.set > MaxSets) return;
    images[size_t(r.set)].Draw(target, x, y, r.image - 1);
}

void DrawTile(const PixelRows& target, const TileCatalogue& cat, const TileImages& images, int t,
              int x, int y) {
    const TileRecord& r = cat.Record(t);
    if (r.set < 0 || r.set > MaxSets) return;
    images[size_t(r.set)].Draw(target, x, y, r.image - 1);
}

} // namespace zem
