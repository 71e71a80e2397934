// The map view, the whole-map picture and the export's pieces against the
// pixels and bytes the editor has always produced: tiles with hex-shaped
// masks, a frame of two runs a row, every road direction.

#include "TestSupport.h"
#include "export/PG2Export.h"
#include "map/HexLayout.h"
#include "render/DrawMap.h"

#include <QCryptographicHash>

using namespace zem;
using namespace zem::test;

namespace {

// Inside the hex of a 60 x 50 tile: the six corners (15, 0), (45, 0),
// (60, 25), (45, 50), (15, 50), (0, 25).
bool InHex(int x, int y) {
    const int dy = std::abs(2 * y + 1 - 50);
    return 2 * (x < 30 ? 30 - x : x - 29) <= 60 - 15 * dy / 25 + 1;
}

// Tiles 1..40 in sets 1..4 with patterned, hex-masked pictures, tile 41 with
// an image number its set has no picture for; a frame whose rows are two runs.
struct HexWorkspace {
    Workspace ws;
    ZemState st;
    HexWorkspace() {
        QByteArray lines;
        ws.Dir().mkpath("tilbmp");
        for (int t = 1; t <= 40; ++t) {
            lines += QByteArray::number(t) + " " + QByteArray::number(1 + (t - 1) / 10) +
                     " 0 1 0 " + QByteArray::number(t) + " 0 0 0\n";
            QImage img(60, 50, QImage::Format_RGB32);
            for (int y = 0; y < 50; ++y)
                for (int x = 0; x < 60; ++x)
                    img.setPixel(x, y,
                                 InHex(x, y) ? qRgb(t * 6, (x * 4 + t) & 255, (y * 5 + x) & 255)
                                             : MaskColour);
            img.setPixel(0, 49, MaskColour);
            img.save(ws.Path(QString::asprintf("tilbmp/til%04d.bmp", t)), "BMP");
        }
        lines += "41 2 0 1 0 0 0 0 0\n";
        QImage copy(ws.Path("tilbmp/til0001.bmp"));
        copy.save(ws.Path("tilbmp/til0041.bmp"), "BMP");
        ws.WriteMapset(lines);
        QImage frame(60, 50, QImage::Format_RGB32);
        for (int y = 0; y < 50; ++y)
            for (int x = 0; x < 60; ++x)
                frame.setPixel(x, y,
                               InHex(x, y) &&
                                       !(InHex(x - 2, y) && InHex(x + 2, y) && y > 0 && y < 49)
                                   ? qRgb(20, 20, 20)
                                   : MaskColour);
        frame.save(ws.Path("tilbmp/til0000.bmp"), "BMP");
        frame.save(ws.Path("tilbmp/tilmark.bmp"), "BMP");
        st.workDir = ws.Dir();
        EXPECT_TRUE(LoadMapset(st.workDir, st.cat));
        EXPECT_TRUE(LoadTileBitmaps(st.cat, st.images, st.workDir));
        // Tile numbers without a line (0, 42), the one without a picture
        // (41), numbers outside the catalogue, and every road byte.
        HexMap& m = st.map;
        m.MapWidth = m.MapHeight = 80;
        for (int y = 0; y < 80; ++y)
            for (int x = 0; x < 80; ++x) {
                const int k = x * 7 + y * 13;
                m.Cell(x, y).bmp = std::int16_t(k % 47 == 46 ? -3 : k % 47 == 45 ? 900 : k % 45);
                m.Cell(x, y).RC = std::int16_t((x * 31 + y * 17) % 256 | (y & 1) << 9);
            }
    }
};

QByteArray Digest(const QImage& img) {
    QCryptographicHash h(QCryptographicHash::Sha1);
    for (int y = 0; y < img.height(); ++y)
        h.addData(
            QByteArrayView(reinterpret_cast<const char*>(img.constScanLine(y)), img.width() * 4));
    return h.result().toHex();
}

} // namespace

TEST(Pictures, MapViewPixelsStayAsTheyWere) {
    HexWorkspace w;
    HexMap& m = w.st.map;
    struct View {
        HexPos origin;
        int width, height; // of the map picture; the picture itself is 900 x 800
        bool roads;
    };
    const View views[] = {{{0, 0}, 900, 800, true},   {{0, 0}, 900, 800, false},
                          {{2, 1}, 433, 457, true},   {{30, 31}, 690, 775, true},
                          {{66, 67}, 900, 800, true}, {{78, 79}, 1000, 900, true}};
    QCryptographicHash all(QCryptographicHash::Sha1);
    for (const View& v : views) {
        m.ViewOrigin = v.origin;
        QImage pic(900, 800, QImage::Format_RGB32);
        pic.fill(qRgb(255, 255, 255));
        DrawMap(m, w.st.cat, w.st.images, v.roads, v.width, v.height, pic);
        all.addData(Digest(pic));
    }
    // An empty view (a window too small for its map picture) draws nothing.
    QImage untouched(900, 800, QImage::Format_RGB32);
    untouched.fill(qRgb(255, 255, 255));
    DrawMap(m, w.st.cat, w.st.images, true, 0, 0, untouched);
    EXPECT_EQ(Digest(untouched), Digest([] {
                  QImage white(900, 800, QImage::Format_RGB32);
                  white.fill(qRgb(255, 255, 255));
                  return white;
              }()));
    // A map smaller than the view.
    m.MapWidth = 7;
    m.MapHeight = 5;
    m.ViewOrigin = {0, 0};
    QImage pic(900, 800, QImage::Format_RGB32);
    DrawMap(m, w.st.cat, w.st.images, true, 900, 800, pic);
    all.addData(Digest(pic));
    EXPECT_EQ(all.result().toHex().toStdString(), "512f87efa5729130dcb0778fcf2f16c851e9428e");
}

TEST(Pictures, ExportPiecesStayAsTheyWere) {
    HexWorkspace w;
    w.st.map.MapWidth = PG2Width;
    w.st.map.MapHeight = PG2Height;
    Workspace out;
    ASSERT_TRUE(ExportPG2(w.st.map, w.st.cat, w.st.images, 67, out.Dir()));
    const std::vector<QImage> pieces = PG2Pieces(w.st.map, w.st.cat, w.st.images);
    QCryptographicHash all(QCryptographicHash::Sha1);
    for (int i = 0; i < 12; ++i) {
        const QByteArray bytes = out.Read(PG2FileNames(67)[i]);
        EXPECT_EQ(bytes, EncodeImage(pieces[size_t(i)], "BMP")) << "piece " << i;
        all.addData(bytes);
    }
    EXPECT_EQ(all.result().toHex().toStdString(), "14ef3b5e7de141d40e1785ac8ee7db790df7e844");
}
