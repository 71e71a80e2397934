// Speed of the operations a user waits for. Run: build/bench/zem_bench
// (reports the median of repeated runs).

#include "convert/SketchConvert.h"
#include "convert/TerrainFix.h"
#include "export/PG2Export.h"
#include "map/MapFile.h"
#include "map/TileCatalogue.h"
#include "render/DrawMap.h"

#include <QBuffer>
#include <QFile>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>
#include <cstdlib>

using namespace zem;

namespace {

// A workspace of 648 tiles in 12 sets, written once.
struct BigWorkspace {
    QTemporaryDir dir;
    TileCatalogue cat;
    TileImages images;
    BigWorkspace() {
        QDir d(dir.path());
        d.mkpath("tilbmp");
        QByteArray text = "60\n45\n50\n12\nA\nB\nC\nD\nE\nF\nG\nH\nI\nJ\nK\nL\n2\nN\nM\n2\nN\nR\n";
        for (int t = 1; t < 648; ++t) {
            text += QByteArray::number(t) + " " + QByteArray::number(1 + (t - 1) / 54) + " 0 1 " +
                    QByteArray::number(t % 2) + " 3 0 0 0\n";
            QImage img(60, 50, QImage::Format_RGB32);
            img.fill(qRgb(t & 255, 100, 50));
            img.setPixel(0, 49, qRgb(255, 0, 255));
            img.save(d.filePath(QString::asprintf("tilbmp/til%04d.bmp", t)), "BMP");
        }
        QImage frame(60, 50, QImage::Format_RGB32);
        frame.fill(qRgb(255, 0, 255));
        for (int x = 15; x < 45; ++x)
            frame.setPixel(x, 0, 0);
        frame.save(d.filePath("tilbmp/til0000.bmp"), "BMP");
        frame.save(d.filePath("tilbmp/tilmark.bmp"), "BMP");
        QFile f(d.filePath("Mapset.txt"));
        f.open(QIODevice::WriteOnly);
        f.write(text);
        f.close();
        if (!LoadMapset(d, cat) || !LoadTileBitmaps(cat, images, d)) std::abort();
    }
};

BigWorkspace& Big() {
    static BigWorkspace w;
    return w;
}

HexMap FullMap(int w, int h) {
    HexMap m;
    m.MapWidth = w;
    m.MapHeight = h;
    for (int x = 0; x < 80; ++x)
        for (int y = 0; y < 80; ++y) {
            m.Cell(x, y).bmp = std::int16_t(1 + (x * 7 + y * 3) % 647);
            m.Cell(x, y).RC = std::int16_t((x + y) & 0xBB);
            m.Cell(x, y).TT2 = std::uint8_t((x + y) % 2);
        }
    return m;
}

void BM_DrawMap(benchmark::State& state) {
    BigWorkspace& w = Big();
    HexMap m = FullMap(80, 80);
    m.ViewOrigin = {30, 30};
    QImage picture(900, 800, QImage::Format_RGB32);
    // A 15 x 15 hex view: 14 * 45 + 60 by 14 * 50 + 75 pixels.
    for (auto _ : state)
        DrawMap(m, w.cat, w.images, state.range(0), 690, 775, picture);
}
BENCHMARK(BM_DrawMap)
    ->Arg(1)
    ->Arg(0)
    ->Unit(benchmark::kMillisecond)
    ->Repetitions(9)
    ->ReportAggregatesOnly();

void BM_LoadCatalogue(benchmark::State& state) {
    BigWorkspace& w = Big();
    const QDir d(w.dir.path());
    for (auto _ : state) {
        TileCatalogue cat;
        TileImages images;
        if (!LoadMapset(d, cat) || !LoadTileBitmaps(cat, images, d)) std::abort();
        benchmark::DoNotOptimize(images[12].Count());
    }
}
BENCHMARK(BM_LoadCatalogue)->Unit(benchmark::kMillisecond)->Repetitions(5)->ReportAggregatesOnly();

// The editor's start up to its first painted map: the catalogue, the 648
// tile bitmaps and the first composition of the default view.
void BM_StartUp(benchmark::State& state) {
    BigWorkspace& w = Big();
    const QDir d(w.dir.path());
    const HexMap m = FullMap(20, 20);
    for (auto _ : state) {
        TileCatalogue cat;
        TileImages images;
        if (!LoadMapset(d, cat) || !LoadTileBitmaps(cat, images, d)) std::abort();
        QImage picture(900, 800, QImage::Format_RGB32);
        picture.fill(Qt::white);
        DrawMap(m, cat, images, false, 459, 502, picture);
        benchmark::DoNotOptimize(picture.constBits());
    }
}
BENCHMARK(BM_StartUp)->Unit(benchmark::kMillisecond)->Repetitions(5)->ReportAggregatesOnly();

void BM_SaveMap(benchmark::State& state) {
    const HexMap m = FullMap(80, 80);
    QTemporaryDir dir;
    for (auto _ : state)
        if (!SaveFileSafely(dir.filePath("m.zep"), MapFileText(m))) std::abort();
}
BENCHMARK(BM_SaveMap)->Unit(benchmark::kMillisecond)->Repetitions(9)->ReportAggregatesOnly();

void BM_LoadMap(benchmark::State& state) {
    const HexMap m = FullMap(80, 80);
    QTemporaryDir dir;
    if (!SaveFileSafely(dir.filePath("m.zep"), MapFileText(m))) std::abort();
    for (auto _ : state) {
        Result<MapFileData> data = ReadMapFile(dir.filePath("m.zep"));
        if (!data) std::abort();
        HexMap back;
        ApplyMapFile(data.Value(), back);
        benchmark::DoNotOptimize(back.Cell(79, 79).bmp);
    }
}
BENCHMARK(BM_LoadMap)->Unit(benchmark::kMillisecond)->Repetitions(9)->ReportAggregatesOnly();

void BM_ConvertSketch(benchmark::State& state) {
    BigWorkspace& w = Big();
    ColourTable t;
    t.N = 4;
    for (int i = 0; i < 4; ++i)
        t.entries[size_t(i)] = {RGBColour(i * 60, 255 - i * 60, i * 30), {1, 2, 3}};
    QImage sketch(400, 400, QImage::Format_RGB32);
    for (int y = 0; y < 400; ++y)
        for (int x = 0; x < 400; ++x)
            sketch.setPixel(x, y, qRgb((x * y) & 255, x & 255, y & 255));
    Random rng(1);
    for (auto _ : state) {
        HexMap m;
        m.MapWidth = m.MapHeight = 80;
        ConvertSketch(m, w.cat, rng, t, sketch, 5);
        benchmark::DoNotOptimize(m.Cell(79, 79).bmp);
    }
}
BENCHMARK(BM_ConvertSketch)->Unit(benchmark::kMillisecond)->Repetitions(9)->ReportAggregatesOnly();

void BM_FixTerrain(benchmark::State& state) {
    BigWorkspace& w = Big();
    TerrainTemplate t;
    t.fixable = {1, 2, 3, 4, 5, 6, 7, 8};
    t.xsets = {1, 2, 3};
    for (int p = 1; p < 64; ++p) {
        QByteArray word;
        for (int i = 0; i < 6; ++i)
            word += (p & (1 << i)) ? 'X' : 'O';
        t.patterns.push_back({word, {9, 9, 9}});
    }
    Random rng(1);
    for (auto _ : state) {
        HexMap m = FullMap(80, 80);
        FixTerrain(m, w.cat, t, rng);
        benchmark::DoNotOptimize(m.Cell(40, 40).bmp);
    }
}
BENCHMARK(BM_FixTerrain)->Unit(benchmark::kMillisecond)->Repetitions(9)->ReportAggregatesOnly();

void BM_ExportPG2(benchmark::State& state) {
    BigWorkspace& w = Big();
    const HexMap m = FullMap(44, 39);
    QTemporaryDir dir;
    for (auto _ : state)
        if (!ExportPG2(m, w.cat, w.images, 67, QDir(dir.path()))) std::abort();
}
BENCHMARK(BM_ExportPG2)->Unit(benchmark::kMillisecond)->Repetitions(5)->ReportAggregatesOnly();

} // namespace

BENCHMARK_MAIN();
