// The pictures a user waits for, on the sample workspace's own tiles and
// hex frame: the map view, the whole-map picture, terrain fixing and the
// Panzer General 2 export. The 80x80 map is the sample sketch stretched to
// 400x400 pixels, converted at 5 pixels a hex, its coasts fixed with the
// sample template and its roads connected, as bench/compare_tiled.sh does.

#include "convert/SketchConvert.h"
#include "convert/TerrainFix.h"
#include "edit/Edit.h"
#include "edit/MapDocument.h"
#include "edit/ZemState.h"
#include "export/PG2Export.h"
#include "map/MapFile.h"
#include "render/DrawMap.h"
#include "render/ViewDraw.h"
#include "render/WholeMapPicture.h"
#include "sample/SampleData.h"
#include "tools/Roads.h"
#include "tools/ToolManager.h"

#include <QBuffer>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>
#include <cstdlib>

using namespace zem;

namespace {

[[noreturn]] void Fail(const QString& why) {
    std::fprintf(stderr, "bench: %s\n", qPrintable(why));
    std::abort();
}

struct Sample {
    QTemporaryDir dir;
    TileCatalogue cat;
    TileImages images;
    TerrainTemplate coast;
    HexMap draft80, map80, map44;

    Sample() {
        const QDir d(dir.path());
        if (const QString err = sample::WriteWorkspace(d); !err.isEmpty()) Fail(err);
        if (Status st = LoadMapset(d, cat); !st) Fail(st.Message());
        if (Status st = LoadTileBitmaps(cat, images, d); !st) Fail(st.Message());
        Result<ColourTable> colours = LoadColourTable(d);
        if (!colours) Fail(colours.Message());
        Result<TerrainTemplate> tmpl = LoadTerrainTemplate(d.filePath("coast.txt"));
        if (!tmpl) Fail(tmpl.Message());
        coast = tmpl.Value();
        const QImage sketch = sample::Sketch();
        draft80 = Draft(colours.Value(), sketch.scaled(400, 400), 5);
        map80 = Finish(draft80);
        map44 = Finish(Draft(colours.Value(), sketch, 10));
    }
    HexMap Draft(const ColourTable& colours, const QImage& sketch, int scale) const {
        HexMap m;
        const QSize size = SketchMapSize(sketch.size(), scale);
        m.MapWidth = size.width();
        m.MapHeight = size.height();
        Random rng(1);
        ConvertSketch(m, cat, rng, colours, sketch, scale);
        return m;
    }
    HexMap Finish(HexMap m) const {
        Random rng(1);
        FixTerrain(m, cat, coast, rng);
        MakeRoadConnections(m);
        return m;
    }
    int Fixable(const HexMap& m) const {
        int n = 0;
        for (int y = 0; y < m.MapHeight; ++y)
            for (int x = 0; x < m.MapWidth; ++x)
                n += std::count(coast.fixable.begin(), coast.fixable.end(), m.Cell(x, y).bmp) > 0;
        return n;
    }
};

Sample& TheSample() {
    static Sample s;
    return s;
}

// The editor's default view (the main window at its first size: a map
// picture of 459 x 502) and a full view of 16 x 16 hexes (the origin's
// neighbours before it and 15 x 15 from it: 690 x 775 pixels), with the
// road overlay on.
void BM_SampleDrawMap(benchmark::State& state) {
    Sample& s = TheSample();
    HexMap m = s.map80;
    m.ViewOrigin = {30, 30};
    QImage picture(900, 800, QImage::Format_RGB32);
    picture.fill(Qt::white);
    const int w = int(state.range(0)), h = int(state.range(1));
    for (auto _ : state) {
        DrawMap(m, s.cat, s.images, true, w, h, picture);
        benchmark::ClobberMemory();
    }
}
BENCHMARK(BM_SampleDrawMap)
    ->Args({459, 502})
    ->Args({690, 775})
    ->Unit(benchmark::kMicrosecond)
    ->Repetitions(9)
    ->ReportAggregatesOnly();

void BM_SampleFixTerrain(benchmark::State& state) {
    Sample& s = TheSample();
    state.counters["fixable"] = s.Fixable(s.draft80);
    Random rng(1);
    for (auto _ : state) {
        HexMap m = s.draft80;
        FixTerrain(m, s.cat, s.coast, rng);
        benchmark::DoNotOptimize(m.Cell(40, 40).bmp);
    }
}
BENCHMARK(BM_SampleFixTerrain)
    ->Unit(benchmark::kMillisecond)
    ->Repetitions(9)
    ->ReportAggregatesOnly();

// The one-piece way: the whole 80x80 picture in memory, then encoded.
void BM_WholeMapOnePiece(benchmark::State& state) {
    Sample& s = TheSample();
    const char* format = state.range(0) ? "PNG" : "BMP";
    for (auto _ : state) {
        const QByteArray bytes =
            EncodeImage(RenderWholeMap(s.map80, s.cat, s.images, true), format);
        if (bytes.isEmpty()) Fail("cannot encode");
        benchmark::DoNotOptimize(bytes.data());
    }
    state.SetLabel(format);
}
BENCHMARK(BM_WholeMapOnePiece)
    ->Arg(0)
    ->Arg(1)
    ->Unit(benchmark::kMillisecond)
    ->Repetitions(5)
    ->ReportAggregatesOnly();

// Band by band into memory: format (0 BMP, 1 PNG) and rows a band.
void BM_WholeMapBanded(benchmark::State& state) {
    Sample& s = TheSample();
    const auto format = state.range(0) ? PictureFormat::Png : PictureFormat::Bmp;
    for (auto _ : state) {
        QByteArray bytes;
        QBuffer buf(&bytes);
        buf.open(QIODevice::WriteOnly);
        const QString err =
            WriteWholeMap(buf, format, s.map80, s.cat, s.images, true, int(state.range(1)));
        if (!err.isEmpty()) Fail(err);
        state.counters["bytes"] = double(bytes.size());
    }
    state.SetLabel(state.range(0) ? "PNG" : "BMP");
}
BENCHMARK(BM_WholeMapBanded)
    ->Args({0, WholeMapBandRows})
    ->Args({1, WholeMapBandRows})
    ->Args({0, 16})
    ->Args({0, 256})
    ->Unit(benchmark::kMillisecond)
    ->Repetitions(5)
    ->ReportAggregatesOnly();

// What `zemtool render` does after loading: into a file through a
// temporary one, synced and renamed.
void BM_WholeMapToFile(benchmark::State& state) {
    Sample& s = TheSample();
    QTemporaryDir dir;
    const bool png = state.range(0);
    const QString path = dir.filePath(png ? "map.png" : "map.bmp");
    for (auto _ : state)
        if (Status st = SaveWholeMap(path, png ? PictureFormat::Png : PictureFormat::Bmp, s.map80,
                                     s.cat, s.images, true);
            !st)
            Fail(st.Message());
    state.SetLabel(png ? "PNG" : "BMP");
}
BENCHMARK(BM_WholeMapToFile)
    ->Arg(0)
    ->Arg(1)
    ->Unit(benchmark::kMillisecond)
    ->Repetitions(5)
    ->ReportAggregatesOnly();

void BM_SampleExportPG2(benchmark::State& state) {
    Sample& s = TheSample();
    QTemporaryDir dir;
    for (auto _ : state)
        if (Status st = ExportPG2(s.map44, s.cat, s.images, 67, QDir(dir.path())); !st)
            Fail(st.Message());
}
BENCHMARK(BM_SampleExportPG2)
    ->Unit(benchmark::kMillisecond)
    ->Repetitions(9)
    ->ReportAggregatesOnly();

// The zoomed and grown map view: the whole 80x80 map at 25 % (904 x 1007
// pixels), and 100 % in a 1600 x 1000 window (a map picture of 1530 x 925),
// the road overlay on; the zoomed tiles are made once, before the timing.
void BM_ViewDraw(benchmark::State& state) {
    Sample& s = TheSample();
    HexMap m = s.map80;
    const int zoom = int(state.range(0));
    const MapView view{{zoom == 100 ? 20 : 0, zoom == 100 ? 20 : 0},
                       zoom,
                       int(state.range(1)),
                       int(state.range(2))};
    QImage picture(view.width, view.height, QImage::Format_RGB32);
    ZoomedTiles zoomed;
    zoomed.At(s.images, zoom);
    for (auto _ : state) {
        DrawView(m, s.cat, s.images, zoomed, true, view, picture);
        benchmark::ClobberMemory();
    }
}
BENCHMARK(BM_ViewDraw)
    ->Args({25, 904, 1007})
    ->Args({100, 1530, 925})
    ->Unit(benchmark::kMillisecond)
    ->Repetitions(9)
    ->ReportAggregatesOnly();

// The editor's state over the sample: the document, its tools and a view
// picture that follows what each edit asks to be drawn, as the map canvas
// does (a placement draws its hex, changed cells those hexes, anything else
// the whole view).
struct Editor {
    ZemState st;
    MapDocument doc{st};
    ToolManager tools{doc, {}};
    QImage picture{1530, 925, QImage::Format_RGB32};
    ZoomedTiles zoomed;
    explicit Editor(const Sample& s) {
        st.cat = s.cat;
        st.images = s.images;
        st.map = s.map80;
        st.rng = std::make_unique<Random>(1);
        QObject::connect(&doc, &MapDocument::applied, [this](const EditOutcome& out) {
            if (out.redraw == Redraw::Hex)
                DrawPlacedHex(picture, st.images, st.ed.CurrentSet, st.ed.CurrentImage, out.hex.x,
                              out.hex.y, out.hex.x);
            else if (out.redraw == Redraw::View)
                DrawView(st.map, st.cat, st.images, zoomed, true, {{0, 0}, 100, 1530, 925},
                         picture);
            else if (out.redraw == Redraw::Cells) {
                std::vector<HexPos> hexes;
                for (const CellChange& c : out.cells)
                    hexes.push_back(c.at);
                RedrawHexes(st.map, st.cat, st.images, zoomed, {true, 0}, {{0, 0}, 100, 1530, 925},
                            hexes, picture);
            }
        });
    }
    void Reset(const Sample& s) {
        st.map = s.map80;
        doc.Steps().Reset();
    }
    static QPoint At(HexPos h) { return {45 * h.x + 20, 50 * h.y + (h.x & 1 ? 25 : 0) + 20}; }
    // A press on the first hex, the pointer over the others, the release.
    void Stroke(const std::vector<HexPos>& path, const QRect& area) {
        Press(path[0]);
        for (size_t i = 1; i < path.size(); ++i)
            tools.Move({mbLeft, false, At(path[i])}, true, area);
        tools.Click();
        tools.Release(mbLeft);
    }
    void Press(HexPos h) {
        st.ed.DownX = At(h).x();
        st.ed.DownY = At(h).y();
        st.ed.DownButton = mbLeft;
        st.ed.DownShift = false;
        tools.Press({mbLeft, false, At(h)});
    }
};

// A drag stroke over 100 hexes as the window runs it: the press, the
// pointer over each hex in turn through the active tool, each hex entered a
// click there joined to the stroke and drawn as a placement draws it, and
// the release that records the stroke as one step.
void BM_Stroke100Hexes(benchmark::State& state) {
    Sample& s = TheSample();
    Editor e(s);
    std::vector<HexPos> path; // along rows 2 and 3, back along 4 and 5, each hex beside the last
    for (int i = 0; i < 100; ++i)
        path.push_back({i < 50 ? i : 99 - i, 2 + 2 * (i / 50) + (i % 2)});
    const QRect area(0, 0, 4000, 4000);
    for (auto _ : state) {
        state.PauseTiming();
        e.Reset(s);
        state.ResumeTiming();
        e.Stroke(path, area);
        benchmark::DoNotOptimize(e.doc.Steps().Steps());
    }
    state.SetItemsProcessed(state.iterations() * 100);
}
BENCHMARK(BM_Stroke100Hexes)->Unit(benchmark::kMillisecond)->Repetitions(9)->ReportAggregatesOnly();

// A stroke of 100 hexes with the brush three hexes across (19 hexes a step)
// on the 80x80 map, as the window runs it, the view drawn after each step.
void BM_BrushStroke3(benchmark::State& state) {
    Sample& s = TheSample();
    Editor e(s);
    ToolOptions o;
    o.BrushSize = 3;
    e.tools.SetOptions(o);
    std::vector<HexPos> path;
    for (int i = 0; i < 100; ++i)
        path.push_back({i < 50 ? i + 10 : 109 - i, 10 + 2 * (i / 50) + (i % 2)});
    const QRect area(0, 0, 5000, 5000);
    for (auto _ : state) {
        state.PauseTiming();
        e.Reset(s);
        state.ResumeTiming();
        e.Stroke(path, area);
        benchmark::DoNotOptimize(e.doc.Steps().Steps());
    }
}
BENCHMARK(BM_BrushStroke3)->Unit(benchmark::kMillisecond)->Repetitions(5)->ReportAggregatesOnly();

// Fill over the whole 80x80 map of one tile: the region found, every hex
// placed, the step recorded, the view drawn.
void BM_FillWholeMap(benchmark::State& state) {
    Sample& s = TheSample();
    Editor e(s);
    e.tools.Choose(ToolKind::Fill);
    for (auto _ : state) {
        state.PauseTiming();
        e.Reset(s);
        for (int x = 0; x < 80; ++x)
            for (int y = 0; y < 80; ++y)
                PlaceTile(e.st.map, e.st.cat, x, y, 1);
        state.ResumeTiming();
        e.Press({40, 40});
        e.tools.Click();
        e.tools.Release(mbLeft);
        benchmark::DoNotOptimize(e.doc.Steps().Steps());
    }
}
BENCHMARK(BM_FillWholeMap)->Unit(benchmark::kMillisecond)->Repetitions(9)->ReportAggregatesOnly();

// A 40 x 40 section pasted from the clipboard into the 80x80 map as the
// window runs it: the paste tool waiting, the click that places it, the
// step recorded and the 1600 x 1000 view drawn again.
void BM_Paste40x40(benchmark::State& state) {
    Sample& s = TheSample();
    MapFileData section;
    section.width = section.height = 40;
    for (int y = 0; y < 40; ++y)
        for (int x = 0; x < 40; ++x)
            section.cells.push_back(s.map80.Cell(x + 40, y + 40));
    Editor e(s);
    for (auto _ : state) {
        state.PauseTiming();
        e.Reset(s);
        state.ResumeTiming();
        e.tools.StartPaste(section);
        e.Press({5, 5});
        e.tools.Click();
        e.tools.Release(mbLeft);
        benchmark::DoNotOptimize(e.doc.Steps().Steps());
    }
}
BENCHMARK(BM_Paste40x40)->Unit(benchmark::kMillisecond)->Repetitions(9)->ReportAggregatesOnly();

} // namespace
