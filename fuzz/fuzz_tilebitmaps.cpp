// The tile picture loader. The input is the picture of tile 1 in a
// workspace whose other pictures are sound: when the loader accepts it, every
// list holds pictures of the catalogue's tile size; when it refuses, the
// message names the file.

#include "FuzzSupport.h"
#include "render/TileImages.h"

#include <QFile>
#include <QImageReader>
#include <QTemporaryDir>

using namespace zem;

namespace {

QTemporaryDir* workspace = nullptr;
TileCatalogue* catalogue = nullptr;

void WritePicture(const QString& name, QRgb colour) {
    QImage img(HexLayout::TileWidth, HexLayout::TileHeight, QImage::Format_RGB32);
    img.fill(colour);
    img.save(workspace->filePath(name), "BMP");
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    QImageReader::setAllocationLimit(16); // as for the sketch
    workspace = new QTemporaryDir;
    QDir(workspace->path()).mkpath(QStringLiteral("tilbmp"));
    WritePicture(QStringLiteral("tilbmp/til0000.bmp"), qRgb(255, 0, 255));
    WritePicture(QStringLiteral("tilbmp/tilmark.bmp"), qRgb(255, 0, 255));
    catalogue = new TileCatalogue;
    catalogue->records[1] = {1, 1, 0, 0, 0, 0, 0, 0};
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (!workspace) LLVMFuzzerInitialize(nullptr, nullptr);
    {
        QFile f(workspace->filePath(QStringLiteral("tilbmp/til0001.bmp")));
        FUZZ_CHECK(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
        FUZZ_CHECK(f.write(reinterpret_cast<const char*>(data), qint64(size)) == qint64(size));
    }
    TileImages images;
    const Status loaded = LoadTileBitmaps(*catalogue, images, QDir(workspace->path()));
    if (!loaded) {
        FUZZ_CHECK(loaded.Message().contains(QStringLiteral("til0001.bmp")));
        FUZZ_CHECK(images[1].Count() == 0 && images[0].Count() == 0);
        return 0;
    }
    FUZZ_CHECK(images[1].Count() == 1 && images[0].Count() == 2);
    for (const ImageList& list : images)
        for (int i = 0; i < list.Count(); ++i)
            FUZZ_CHECK(list.Image(i)->size() == QSize(catalogue->TileWidth, catalogue->TileHeight));
    return 0;
}
