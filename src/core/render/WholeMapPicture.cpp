#include "render/WholeMapPicture.h"
#include "map/HexLayout.h"
#include "map/MapFile.h"
#include "pictures/RowEncoders.h"

namespace zem {

void DrawWholeMapBand(const PixelRows& rows, int y0, const HexMap& map, const TileCatalogue& cat,
                      const TileImages& images, bool roads) {
    rows.Fill(ToQColor(clGreen).rgb());
    const int w = std::clamp(map.MapWidth, 0, MaxMapSize),
              h = std::clamp(map.MapHeight, 0, MaxMapSize);
    // How far below its row's top a hex can draw: its pictures, an odd
    // column's shift, a road line's end and its width.
    int reach = HexLayout::TileHeight + 2;
    for (const ImageList& list : images)
        reach = std::max(reach, list.Height() + 1);
    reach += HexLayout::OddShift;
    // Only the hex rows that reach into the band: drawn in the same order,
    // they leave its pixels as the whole picture has them.
    const int first = std::max(0, (y0 - reach) / HexLayout::RowStep);
    const int last = std::min(h - 1, (y0 + rows.height + 1) / HexLayout::RowStep);
    if (first > last || w == 0) return;
    DrawHexes(rows, {0, HexLayout::RowStep * first - y0}, map, cat, images, {0, w - 1, first, last},
              {true, roads});
}

QString WriteWholeMap(QIODevice& out, PictureFormat format, const HexMap& map,
                      const TileCatalogue& cat, const TileImages& images, bool roads,
                      int bandRows) {
    const QSize size = HexLayout::WholeMapSize(std::clamp(map.MapWidth, 0, MaxMapSize),
                                               std::clamp(map.MapHeight, 0, MaxMapSize));
    const int width = size.width(), height = size.height();
    bandRows = std::clamp(bandRows, 1, height);
    QImage buffer(width, bandRows, QImage::Format_RGB32);
    if (buffer.isNull()) return QStringLiteral("not enough memory for the picture");
    const PixelRows all = PixelRows::Of(buffer);
    auto band = [&](int top, int rows) {
        PixelRows part = all;
        part.height = rows;
        DrawWholeMapBand(part, top, map, cat, images, roads);
        return part;
    };
    auto writeFault = [&out] {
        return out.errorString().isEmpty() ? QStringLiteral("cannot write the file")
                                           : out.errorString();
    };

    if (format == PictureFormat::Bmp) {
        const QByteArray header = BmpHeader(width, height);
        if (out.write(header) != header.size()) return writeFault();
        const int rowBytes = BmpRowBytes(width);
        QByteArray packed(qsizetype(rowBytes) * bandRows, '\0');
        for (int bottom = height; bottom > 0; bottom -= bandRows) {
            const int top = std::max(0, bottom - bandRows);
            const PixelRows part = band(top, bottom - top);
            char* d = packed.data();
            for (int y = part.height - 1; y >= 0; --y, d += rowBytes)
                PackBmpRow(part.Row(y), width, d);
            const qint64 n = qint64(rowBytes) * part.height;
            if (out.write(packed.constData(), n) != n) return writeFault();
        }
        return {};
    }
    PngRowWriter png(out, width, height);
    for (int top = 0; top < height; top += bandRows) {
        const PixelRows part = band(top, std::min(bandRows, height - top));
        if (!png.WriteRows(part, 0, part.height)) return png.Error();
    }
    return png.Finish() ? QString() : png.Error();
}

Status SaveWholeMap(const QString& path, PictureFormat format, const HexMap& map,
                    const TileCatalogue& cat, const TileImages& images, bool roads) {
    return SaveFileSafely(
        path, [&](QIODevice& out) { return WriteWholeMap(out, format, map, cat, images, roads); });
}

} // namespace zem
