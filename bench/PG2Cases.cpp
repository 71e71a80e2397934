#include "PG2Cases.h"

#include "edit/EditorState.h"
#include "interop/PG2Redraw.h"
#include "map/MapFile.h"
#include "sample/SampleData.h"
#include "sample/TilePainter.h"
#include <cstdio>

#include <QBuffer>
#include <QElapsedTimer>
#include <QImageWriter>
#include <QTemporaryDir>
#include <cmath>
#include <map>
#include <random>

namespace zem::cases {

namespace {

// One tile altered as a paint program might: every pixel but the key
// colour brighter, darker, through another gamma or contrast, one channel
// moved, or a few pixels repainted.
QImage Altered(QImage img, int n) {
    img = img.convertToFormat(QImage::Format_RGB32);
    const QRgb key = img.pixel(0, img.height() - 1);
    std::mt19937 rng{unsigned(n)};
    const int kind = n % 6, step = 4 + n % 13;
    const double gamma = n % 2 ? 0.9 : 1.1, contrast = n % 2 ? 0.92 : 1.08;
    auto level = [&](int v, int ch) {
        switch (kind) {
        case 0:
            return v + step;
        case 1:
            return v - step;
        case 2:
            return int(std::lround(255 * std::pow(v / 255.0, gamma)));
        case 3:
            return int(std::lround(128 + (v - 128) * contrast));
        case 4:
            return ch == n % 3 ? v + step : v;
        default:
            return v;
        }
    };
    for (int y = 0; y < img.height(); ++y)
        for (int x = 0; x < img.width(); ++x) {
            const QRgb c = img.pixel(x, y);
            if (c == key) continue;
            QRgb a =
                qRgb(std::clamp(level(qRed(c), 0), 0, 255), std::clamp(level(qGreen(c), 1), 0, 255),
                     std::clamp(level(qBlue(c), 2), 0, 255));
            if (kind == 5 && rng() % 100 < 3) a = qRgb(int(rng() % 256), int(rng() % 200), 0);
            img.setPixel(x, y, a == key ? a ^ 1 : a);
        }
    return img;
}

void Fail(const QString& why) {
    std::fprintf(stderr, "cases: %s\n", qPrintable(why));
    std::abort();
}

QImage Jpeg(const QImage& p, int quality) {
    QByteArray bytes;
    QBuffer buf(&bytes);
    buf.open(QIODevice::WriteOnly);
    QImageWriter w(&buf, "jpeg");
    w.setQuality(quality); // libjpeg's default sampling: chroma halved both ways (4:2:0)
    if (!w.write(p)) Fail("no JPEG writer");
    return QImage::fromData(bytes, "jpeg").convertToFormat(QImage::Format_RGB32);
}

// The 216 colours of six levels a channel, nearest without dither or with
// Floyd-Steinberg's error diffusion.
QImage WebPalette(const QImage& p, bool dither) {
    QImage out = p.convertToFormat(QImage::Format_RGB32);
    std::vector<std::array<int, 3>> err(size_t(out.width() + 2) * 2);
    for (int y = 0; y < out.height(); ++y) {
        auto* line = reinterpret_cast<QRgb*>(out.scanLine(y));
        auto* cur = err.data() + size_t(y % 2) * size_t(out.width() + 2) + 1;
        auto* next = err.data() + size_t((y + 1) % 2) * size_t(out.width() + 2) + 1;
        std::fill(next - 1, next + out.width() + 1, std::array<int, 3>{});
        for (int x = 0; x < out.width(); ++x) {
            int c[3] = {qRed(line[x]), qGreen(line[x]), qBlue(line[x])}, q[3];
            for (int ch = 0; ch < 3; ++ch) {
                const int v = std::clamp(c[ch] + (dither ? cur[x][size_t(ch)] / 16 : 0), 0, 255);
                q[ch] = (v + 25) / 51 * 51;
                const int e = v - q[ch];
                if (!dither) continue;
                cur[x + 1][size_t(ch)] += 7 * e;
                next[x - 1][size_t(ch)] += 3 * e;
                next[x][size_t(ch)] += 5 * e;
                next[x + 1][size_t(ch)] += e;
            }
            line[x] = qRgb(q[0], q[1], q[2]);
        }
    }
    return out;
}

Change Levels(std::function<int(int)> f) {
    return [f](std::vector<QImage>& pieces) {
        std::array<int, 256> lut{};
        for (int v = 0; v < 256; ++v)
            lut[size_t(v)] = std::clamp(f(v), 0, 255);
        for (QImage& p : pieces) {
            p = p.convertToFormat(QImage::Format_RGB32);
            for (int y = 0; y < p.height(); ++y) {
                auto* line = reinterpret_cast<QRgb*>(p.scanLine(y));
                for (int x = 0; x < p.width(); ++x)
                    line[x] = qRgb(lut[size_t(qRed(line[x]))], lut[size_t(qGreen(line[x]))],
                                   lut[size_t(qBlue(line[x]))]);
            }
        }
    };
}

// Piece i moved by (dx, dy); what comes in at the edge is black.
Change Move(int only, int dx, int dy) {
    return [=](std::vector<QImage>& pieces) {
        for (int i = 0; i < 12; ++i) {
            if (only >= 0 && i != only) continue;
            QImage moved(pieces[size_t(i)].size(), QImage::Format_RGB32);
            moved.fill(Qt::black);
            const QImage from = pieces[size_t(i)].convertToFormat(QImage::Format_RGB32);
            for (int y = 0; y < moved.height(); ++y)
                for (int x = 0; x < moved.width(); ++x)
                    if (QRect(QPoint(), from.size()).contains(x - dx, y - dy))
                        moved.setPixel(x, y, from.pixel(x - dx, y - dy));
            pieces[size_t(i)] = moved;
        }
    };
}

} // namespace

std::unique_ptr<Catalogue> SampleCatalogue(bool altered) {
    auto c = std::make_unique<Catalogue>();
    c->name = altered ? QStringLiteral("648 altered") : QStringLiteral("sample");
    std::vector<sample::SampleTile> tiles = sample::Tiles();
    std::map<int, QImage>& pictures = c->pictures;
    for (const sample::SampleTile& t : tiles)
        pictures[t.number] = sample::PaintTile(t);
    QByteArray text = sample::MapsetText();
    if (altered) {
        std::vector<int> count(13, 0), last(13, 0);
        for (const sample::SampleTile& t : tiles) {
            ++count[size_t(t.set)];
            last[size_t(t.set)] = std::max(last[size_t(t.set)], t.number);
        }
        const std::vector<sample::SampleTile> originals = tiles;
        for (int n = 1; n < MaxTiles; ++n) {
            if (pictures.count(n)) continue;
            int set = 1;
            while (set <= MaxSets && (count[size_t(set)] >= MaxSetTiles || last[size_t(set)] > n))
                ++set;
            if (set > MaxSets) continue;
            ++count[size_t(set)];
            last[size_t(set)] = n;
            sample::SampleTile copy = originals[size_t(n) % originals.size()];
            pictures[n] = Altered(sample::PaintTile(copy), n);
            copy.number = n;
            copy.set = set;
            text += QString::asprintf("%d %d 0 %d %d %d %d %d %d\n", n, set, copy.TT1, copy.TT2,
                                      copy.TT3, copy.PL, copy.E2, copy.E3)
                        .toLatin1();
        }
    }
    c->mapset = text;
    QBuffer buf(&text);
    buf.open(QIODevice::ReadOnly);
    if (Status st = LoadMapset(buf, c->cat); !st) Fail(st.Message());
    for (auto& list : c->images)
        list.SetSize(c->cat.TileWidth, c->cat.TileHeight);
    for (const auto& [n, img] : pictures)
        if (c->cat.records[size_t(n)].set > 0)
            c->images[size_t(c->cat.records[size_t(n)].set)].AddMasked(Bitmap(img));
    c->images[0].AddMasked(Bitmap(sample::PaintFrame()));
    c->images[0].AddMasked(Bitmap(sample::PaintMark()));
    return c;
}

HexMap Island(const Catalogue&) {
    QTemporaryDir dir;
    const QByteArray text = sample::SampleMapText(QDir(dir.path()));
    QBuffer buf(const_cast<QByteArray*>(&text));
    buf.open(QIODevice::ReadOnly);
    Result<MapFileData> read = ReadMapFile(buf, QStringLiteral("sample.zep"));
    if (!read) Fail(read.Message());
    HexMap map;
    ApplyMapFile(read.Value(), map);
    return map;
}

HexMap RandomMap(const TileCatalogue& cat, unsigned seed) {
    std::vector<int> tiles;
    for (int t = 0; t < MaxTiles; ++t)
        if (cat.records[size_t(t)].set > 0) tiles.push_back(t);
    std::mt19937 rng(seed);
    HexMap map;
    map.MapWidth = PG2Width;
    map.MapHeight = PG2Height;
    for (int y = 0; y < PG2Height; ++y)
        for (int x = 0; x < PG2Width; ++x) {
            PlaceTile(map, cat, x, y, tiles[rng() % tiles.size()]);
            map.Cell(x, y).TT3 = std::uint8_t(rng());
            map.Cell(x, y).RC = std::int16_t(rng() & 0xBB);
        }
    return map;
}

std::vector<Degradation> Degradations() {
    auto each = [](std::function<QImage(const QImage&)> f) -> Change {
        return [f](std::vector<QImage>& pieces) {
            for (QImage& p : pieces)
                p = f(p);
        };
    };
    return {
        {"clean", [](std::vector<QImage>&) {}},
        {"jpeg q90", each([](const QImage& p) { return Jpeg(p, 90); })},
        {"jpeg q75", each([](const QImage& p) { return Jpeg(p, 75); })},
        {"216 colours", each([](const QImage& p) { return WebPalette(p, false); })},
        {"216 dithered", each([](const QImage& p) { return WebPalette(p, true); })},
        {"brightness +8", Levels([](int v) { return v + 8; })},
        {"brightness -8", Levels([](int v) { return v - 8; })},
        {"gamma 0.8",
         Levels([](int v) { return int(std::lround(255 * std::pow(v / 255.0, 1 / 0.8))); })},
        {"gamma 0.9",
         Levels([](int v) { return int(std::lround(255 * std::pow(v / 255.0, 1 / 0.9))); })},
        {"gamma 1.1",
         Levels([](int v) { return int(std::lround(255 * std::pow(v / 255.0, 1 / 1.1))); })},
        {"gamma 1.25",
         Levels([](int v) { return int(std::lround(255 * std::pow(v / 255.0, 1 / 1.25))); })},
        {"contrast +10%", Levels([](int v) { return int(std::lround(128 + (v - 128) * 1.1)); })},
        {"contrast -10%", Levels([](int v) { return int(std::lround(128 + (v - 128) * 0.9)); })},
        {"one piece 1 px down", Move(5, 0, 1)},
        {"all pieces 1 px right", Move(-1, 1, 0)},
        {"one piece 2 px left, 2 up", Move(6, -2, -2)},
        {"all pieces 2 px down, 1 left", Move(-1, -1, 2)},
        {"gamma 1.1 + jpeg q90",
         [](std::vector<QImage>& pieces) {
             Levels([](int v) { return int(std::lround(255 * std::pow(v / 255.0, 1 / 1.1))); })(
                 pieces);
             for (QImage& p : pieces)
                 p = Jpeg(p, 90);
         }},
    };
}

Degradation Find(const char* name) {
    for (const Degradation& d : Degradations())
        if (QLatin1String(d.name) == QLatin1String(name)) return d;
    Fail(QStringLiteral("no case ") + name);
    return {};
}

Outcome Measure(const Catalogue& c, const HexMap& map, const Degradation& d) {
    const std::vector<QImage> clean = PG2Pieces(map, c.cat, c.images);
    std::vector<QImage> pieces = clean;
    d.change(pieces);
    QElapsedTimer timer;
    timer.start();
    const Result<PG2Import> imp =
        ImportPG2(QStringLiteral("Map67.map"), PG2MapBytes(map, 67), pieces, c.cat, c.images);
    Outcome out;
    out.ms = double(timer.nsecsElapsed()) / 1e6;
    if (!imp) Fail(imp.Message());
    out.summary = imp->Summary();
    out.exact = imp->Count(HexFit::Exact);
    out.nearest = imp->Count(HexFit::Nearest);
    out.unsure = imp->Count(HexFit::Unsure);
    // The exported canvas and its owners, then the imported one against it:
    // a hex is wrong when its tile differs and a pixel it shows in either
    // drawing differs.
    const size_t area = size_t(PG2CanvasWidth) * PG2CanvasHeight;
    std::vector<QRgb> first(area * 3);
    std::vector<int> firstOwner(area * 3);
    RedrawPG2([&](HexPos h) { return int(map.Cell(h.x, h.y).bmp); }, c.cat, c.images,
              [&](int s, const PixelRows& canvas, const PG2Owner* owner) {
                  std::copy(canvas.Row(0), canvas.Row(0) + area,
                            first.begin() + ptrdiff_t(s * area));
                  std::copy(owner, owner + area, firstOwner.begin() + ptrdiff_t(s * area));
              });
    std::vector<char> blamed(PG2Hexes, 0);
    RedrawPG2([&](HexPos h) { return int(imp->map.Cell(h.x, h.y).bmp); }, c.cat, c.images,
              [&](int s, const PixelRows& canvas, const PG2Owner* owner) {
                  for (int b = 0; b < 4; ++b)
                      for (int y = 0; y < PG2PieceHeight; ++y)
                          for (int x = 0; x < PG2PieceWidth; ++x) {
                              const size_t at = size_t(PG2CanvasOffset(s, b, x, y));
                              if (((canvas.Row(0)[at] ^ first[s * area + at]) & 0xFFFFFF) == 0)
                                  continue;
                              ++out.differing;
                              for (int o : {int(owner[at]), firstOwner[s * area + at]})
                                  if (o >= 0) blamed[size_t(o)] = 1;
                          }
              });
    for (int i = 0; i < PG2Hexes; ++i) {
        const int x = i % PG2Width, y = i / PG2Width;
        if (!blamed[size_t(i)] || imp->map.Cell(x, y).bmp == map.Cell(x, y).bmp) continue;
        ++out.wrong;
        out.wrongUnlisted += imp->fits[size_t(i)] != HexFit::Unsure;
        if (imp->fits[size_t(i)] != HexFit::Unsure && qEnvironmentVariableIsSet("ZEM_CASES_DEBUG"))
            std::fprintf(stderr, "unlisted %d,%d: drawn %d, chosen %d\n", x, y,
                         int(map.Cell(x, y).bmp), int(imp->map.Cell(x, y).bmp));
    }
    return out;
}

} // namespace zem::cases
