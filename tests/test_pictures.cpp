// The map view, the whole-map picture and the export's pieces against the
// pixels and bytes the editor has always produced: tiles with hex-shaped
// masks, a frame of two runs a row, every road direction.

#include "TestSupport.h"
#include "export/PG2Export.h"
#include "map/HexLayout.h"
#include "pictures/PictureRead.h"
#include "render/DrawMap.h"
#include "render/WholeMapPicture.h"

#include <QBuffer>
#include <QCryptographicHash>
#include <QDataStream>

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

namespace {
QByteArray Banded(PictureFormat format, const HexWorkspace& w, bool roads, int band) {
    QByteArray bytes;
    QBuffer buf(&bytes);
    buf.open(QIODevice::WriteOnly);
    const QString err = WriteWholeMap(buf, format, w.st.map, w.st.cat, w.st.images, roads, band);
    EXPECT_TRUE(err.isEmpty()) << err.toStdString();
    return bytes;
}
} // namespace

// The banded file against the one-piece picture: every map size here has a
// height that is no multiple of the bands, and bands of one row, of a few,
// and of more rows than the picture has.
TEST(Pictures, BandedFilesMatchTheOnePiecePicture) {
    HexWorkspace w;
    const QSize sizes[] = {{5, 5}, {13, 7}, {6, 31}};
    const int bands[] = {1, 37, WholeMapBandRows, 5000};
    for (const QSize& size : sizes) {
        w.st.map.MapWidth = size.width();
        w.st.map.MapHeight = size.height();
        for (bool roads : {false, true}) {
            const QImage whole = RenderWholeMap(w.st.map, w.st.cat, w.st.images, roads);
            const QByteArray bmp = EncodeImage(whole, "BMP");
            for (int band : bands) {
                SCOPED_TRACE(testing::Message() << size.width() << "x" << size.height() << " band "
                                                << band << (roads ? " roads" : ""));
                EXPECT_EQ(Banded(PictureFormat::Bmp, w, roads, band), bmp);
                QImage png = QImage::fromData(Banded(PictureFormat::Png, w, roads, band), "PNG");
                ASSERT_EQ(png.size(), whole.size());
                EXPECT_EQ(png.convertToFormat(QImage::Format_RGB32), whole);
                EXPECT_EQ(png.dotsPerMeterX(), 3780);
            }
        }
    }
}

TEST(Pictures, SavedWholeMapOrTheFault) {
    HexWorkspace w;
    w.st.map.MapWidth = 9;
    w.st.map.MapHeight = 6;
    Workspace out;
    ASSERT_TRUE(
        SaveWholeMap(out.Path("m.bmp"), PictureFormat::Bmp, w.st.map, w.st.cat, w.st.images, true));
    EXPECT_EQ(out.Read("m.bmp"),
              EncodeImage(RenderWholeMap(w.st.map, w.st.cat, w.st.images, true), "BMP"));
    ASSERT_TRUE(SaveWholeMap(out.Path("m.png"), PictureFormat::Png, w.st.map, w.st.cat, w.st.images,
                             false));
    EXPECT_EQ(QImage(out.Path("m.png")).convertToFormat(QImage::Format_RGB32),
              RenderWholeMap(w.st.map, w.st.cat, w.st.images, false));
    // A folder that is a file: the fault names the picture, nothing is left.
    out.Write("file", "x");
    const Status st = SaveWholeMap(out.Path("file/m.png"), PictureFormat::Png, w.st.map, w.st.cat,
                                   w.st.images, false);
    EXPECT_FALSE(st);
    EXPECT_TRUE(st.Message().startsWith(out.Path("file/m.png") + ": "))
        << st.Message().toStdString();
    EXPECT_EQ(out.Dir().entryList(QDir::Files).size(), 3);
}

// A device that refuses every write after its first n bytes.
class ShortDevice : public QIODevice {
  public:
    explicit ShortDevice(qint64 room) : room_(room) { open(WriteOnly); }

  protected:
    qint64 readData(char*, qint64) override { return -1; }
    qint64 writeData(const char*, qint64 len) override {
        if (len > room_) {
            setErrorString("disk full");
            return -1;
        }
        room_ -= len;
        return len;
    }

  private:
    qint64 room_;
};

TEST(Pictures, AFailedWriteIsReported) {
    HexWorkspace w;
    w.st.map.MapWidth = w.st.map.MapHeight = 8;
    for (qint64 room : {0, 100, 30000}) {
        ShortDevice bmp(room), png(room);
        EXPECT_EQ(WriteWholeMap(bmp, PictureFormat::Bmp, w.st.map, w.st.cat, w.st.images, true, 16),
                  "disk full");
        EXPECT_EQ(WriteWholeMap(png, PictureFormat::Png, w.st.map, w.st.cat, w.st.images, true, 16),
                  "disk full");
    }
}

// A 4x2 bitmap of red (0) and blue (1) coded in runs of 8 or 4 bits a
// pixel: the bottom row one run; the top row three pixels as they are (0 1
// 0), then a run; each row with its end code, the picture with its own.
static QByteArray RunLengthBitmap(bool four) {
    const QByteArray runs = QByteArray::fromHex(four ? "04110000000301000111"
                                                       "00000001"
                                                     : "040100000003000100000101"
                                                       "00000001");
    QByteArray file;
    QDataStream s(&file, QIODevice::WriteOnly);
    s.setByteOrder(QDataStream::LittleEndian);
    s << quint16(0x4D42) << quint32(62 + runs.size()) << quint32(0) << quint32(62) << quint32(40)
      << qint32(4) << qint32(2) << quint16(1) << quint16(four ? 4 : 8) << quint32(four ? 2 : 1)
      << quint32(runs.size()) << quint64(0) << quint32(2) << quint32(0) << quint32(0xFF0000)
      << quint32(0xFF);
    return file + runs;
}

// Read whole, also without the final end code; cut short anywhere else,
// refused, never filled up with black.
TEST(Pictures, RunLengthBitmapsCutShortAreRefused) {
    for (const bool four : {false, true})
        for (const int cut : {0, 2, 4, 9}) {
            QByteArray bytes = RunLengthBitmap(four);
            bytes.chop(cut);
            QBuffer buf(&bytes);
            buf.open(QIODevice::ReadOnly);
            const Result<QImage> read = ReadPicture(buf, "r.bmp");
            ASSERT_EQ(read.Ok(), cut <= 2) << four << cut << read.Message().toStdString();
            if (!read) {
                EXPECT_TRUE(read.Message().contains("cut short"));
                continue;
            }
            for (int x = 0; x < 4; ++x)
                EXPECT_EQ(std::pair(read->pixel(x, 0), read->pixel(x, 1)),
                          std::pair(x == 0 || x == 2 ? qRgb(255, 0, 0) : qRgb(0, 0, 255),
                                    qRgb(0, 0, 255)));
        }
}
