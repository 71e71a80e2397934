#include "render/TileImages.h"
#include "files/DataPath.h"

namespace zem {

static Status AddBitmap(ImageList& list, const QString& name, const QDir& dir) {
    const QString path = DataPath(name, dir);
    Result<Bitmap> bmp = Bitmap::Load(path);
    if (!bmp) return bmp.Fault();
    // Every picture of a list has the catalogue's tile size; a picture of
    // another size is a different catalogue's.
    if (bmp->Width() != list.Width() || bmp->Height() != list.Height())
        return FileFault(path,
                         QStringLiteral("the picture is %1x%2 pixels, the catalogue's tiles %3x%4")
                             .arg(bmp->Width())
                             .arg(bmp->Height())
                             .arg(list.Width())
                             .arg(list.Height()));
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

const QImage* TilePicture(const TileCatalogue& cat, const TileImages& images, int t) {
    const TileRecord& r = cat.Record(t);
    if (r.set < 0 || r.set > MaxSets) return nullptr;
    return images[size_t(r.set)].Image(r.image - 1);
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
