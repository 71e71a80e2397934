#pragma once
// What the game map harnesses share: a catalogue of five tiles drawn here
// (three hexes of their own colours, one with a hole, one the same picture
// under another number), a 44x39 map of them and its export.

#include "FuzzSupport.h"
#include "edit/EditorState.h"
#include "interop/PG2Import.h"

#include <QPainter>

namespace zem::fuzz {

struct PG2Game {
    TileCatalogue cat;
    TileImages images;
    HexMap map;
    QByteArray mapFile;
    std::vector<QImage> pieces;

    PG2Game() {
        const QRgb key = qRgb(255, 0, 255);
        const QRgb colours[] = {qRgb(40, 90, 200), qRgb(120, 200, 90), qRgb(150, 110, 60),
                                qRgb(200, 200, 200), qRgb(40, 90, 200)};
        for (auto& list : images)
            list.SetSize(cat.TileWidth, cat.TileHeight);
        for (int t = 1; t <= 5; ++t) {
            cat.records[size_t(t)] = {1, t, t, 0, t % 3, 0, 0, 0};
            cat.SetTiles[1][size_t(t)] = t;
            QImage img(cat.TileWidth, cat.TileHeight, QImage::Format_RGB32);
            img.fill(key);
            QPainter p(&img);
            p.setPen(Qt::NoPen);
            p.setBrush(QColor(colours[t - 1]));
            p.drawPolygon(QPolygon({{0, 25}, {15, 0}, {44, 0}, {59, 25}, {44, 49}, {15, 49}}));
            p.setBrush(QColor(key));
            if (t == 4) p.drawEllipse(20, 15, 20, 20); // a hole showing what lies below
            p.setPen(QColor(20 * t, 0, 0));
            p.drawLine(10, 10 + t, 50, 40 - t);
            p.end();
            images[1].AddMasked(Bitmap(img));
        }
        cat.SetSize[1] = 5;
        QImage frame(cat.TileWidth, cat.TileHeight, QImage::Format_RGB32);
        frame.fill(key);
        images[0].AddMasked(Bitmap(frame));
        images[0].AddMasked(Bitmap(frame));
        map.MapWidth = PG2Width;
        map.MapHeight = PG2Height;
        for (int y = 0; y < PG2Height; ++y)
            for (int x = 0; x < PG2Width; ++x) {
                PlaceTile(map, cat, x, y, 1 + (x * 7 + y * 3 + x * y) % 5);
                map.Cell(x, y).RC = std::int16_t((x + y) & 0xBB);
            }
        mapFile = PG2MapBytes(map, 67);
        pieces = PG2Pieces(map, cat, images);
    }
};

} // namespace zem::fuzz
