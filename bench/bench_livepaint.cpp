// Painting as the window runs it on the sample's 80x80 map: a terrain
// stroke at 25 % with the codes shown, and a tile stroke with the coasts
// fixed while painting. Each times the press, the pointer over 100 hexes,
// the release, and the view drawn after every edit as the map canvas draws
// it; the way the view was drawn before is measured in the same run.

#include "convert/SketchConvert.h"
#include "convert/TerrainFix.h"
#include "edit/FixWhilePainting.h"
#include "edit/ZemState.h"
#include "render/ViewDraw.h"
#include "sample/SampleData.h"
#include "tools/Roads.h"
#include "tools/ToolManager.h"

#include <QTemporaryDir>
#include <benchmark/benchmark.h>

using namespace zem;

namespace {

[[noreturn]] void Fail(const QString& why) {
    std::fprintf(stderr, "bench: %s\n", qPrintable(why));
    std::abort();
}

// The sample sketch stretched to 400x400 pixels, converted at 5 pixels a
// hex, its coasts fixed and its roads connected.
struct Sample {
    QTemporaryDir dir;
    TileCatalogue cat;
    TileImages images;
    TerrainTemplate coast;
    HexMap map;
    Sample() {
        const QDir d(dir.path());
        if (const QString err = sample::WriteWorkspace(d); !err.isEmpty()) Fail(err);
        if (Status st = LoadMapset(d, cat); !st) Fail(st.Message());
        if (Status st = LoadTileBitmaps(cat, images, d); !st) Fail(st.Message());
        Result<ColourTable> colours = LoadColourTable(d);
        Result<TerrainTemplate> tmpl = LoadTerrainTemplate(d.filePath("coast.txt"));
        if (!colours || !tmpl) Fail("no colour table or template");
        coast = tmpl.Value();
        map.MapWidth = map.MapHeight = 80;
        Random rng(1);
        ConvertSketch(map, cat, rng, colours.Value(), sample::Sketch().scaled(400, 400), 5);
        FixTerrain(map, cat, coast, rng);
        MakeRoadConnections(map);
    }
};

Sample& TheSample() {
    static Sample s;
    return s;
}

// The editor over the sample with a view picture that follows every edit:
// `partial`, as the canvas draws now (the changed hexes and what overlaps
// them); else the whole view after every change, as before.
struct Editor {
    ZemState st;
    MapDocument doc{st};
    int code = 7;
    ToolManager tools{doc, {[this] { return code; }, {}}};
    MapView view;
    QImage picture;
    ZoomedTiles zoomed;
    int codes = 0; // the terrain type whose codes the view shows

    Editor(const Sample& s, MapView v, bool partial)
        : view(v), picture(v.width, v.height, QImage::Format_RGB32) {
        st.cat = s.cat;
        st.images = s.images;
        st.map = s.map;
        st.map.ViewOrigin = view.origin;
        st.rng = std::make_unique<Random>(1);
        zoomed.At(st.images, view.zoom);
        QObject::connect(&doc, &MapDocument::applied, [this, partial](const EditOutcome& out) {
            if (out.redraw == Redraw::View || !partial) {
                if (!out.Changed() && out.redraw != Redraw::View) return;
                DrawView(st.map, st.cat, st.images, zoomed, true, view, picture);
                if (codes) DrawTerrainLabels(picture, st.map, view, codes);
            } else if (out.redraw == Redraw::Hex && view.zoom == 100 && !codes) {
                DrawPlacedHex(picture, st.images, st.ed.CurrentSet, st.ed.CurrentImage, out.hex.x,
                              out.hex.y, out.hex.x);
            } else {
                std::vector<HexPos> hexes;
                for (const CellChange& c : out.cells)
                    hexes.push_back(c.at);
                if (out.redraw == Redraw::Hex) hexes.push_back(out.hex);
                RedrawHexes(st.map, st.cat, st.images, zoomed, {true, codes}, view, hexes, picture);
            }
        });
    }
    static QPoint At(HexPos h) { return {45 * h.x + 20, 50 * h.y + (h.x & 1 ? 25 : 0) + 20}; }
    // A press on the first hex, the pointer over the others, the release.
    void Stroke(const std::vector<HexPos>& path) {
        st.ed.DownX = At(path[0]).x();
        st.ed.DownY = At(path[0]).y();
        st.ed.DownButton = mbLeft;
        st.ed.DownShift = false;
        tools.Press({mbLeft, false, At(path[0])});
        const QRect area(0, 0, 4000, 4000);
        for (size_t i = 1; i < path.size(); ++i)
            tools.Move({mbLeft, false, At(path[i])}, true, area);
        tools.Click();
        tools.Release(mbLeft);
    }
    // Back to the sample, the history empty.
    void Reset(const Sample& s) {
        st.map = s.map;
        st.map.ViewOrigin = view.origin;
        doc.Steps().Reset();
    }
};

int CellsChanged(const HexMap& a, const HexMap& b) {
    int n = 0;
    for (int x = 0; x < MaxMapSize; ++x)
        for (int y = 0; y < MaxMapSize; ++y)
            n += !(a.Cell(x, y) == b.Cell(x, y));
    return n;
}

// Along rows 2 and 3, back along 4 and 5, each hex beside the last.
std::vector<HexPos> Path100(int top) {
    std::vector<HexPos> path;
    for (int i = 0; i < 100; ++i)
        path.push_back({i < 50 ? i : 99 - i, top + 2 * (i / 50) + (i % 2)});
    return path;
}

// Terrain type 1 painted over 100 hexes at 25 %, the whole map in view and
// every hex's code shown: 0, the whole view and its codes drawn after every
// hex (as before); 1, only the hex that changed and what overlaps it.
void BM_TerrainStroke25(benchmark::State& state) {
    Sample& s = TheSample();
    Editor e(s, {{0, 0}, 25, 904, 1007}, state.range(0) == 1);
    e.tools.TerrainType(1);
    e.codes = 1;
    const std::vector<HexPos> path = Path100(2);
    for (auto _ : state) {
        state.PauseTiming();
        e.Reset(s);
        DrawView(e.st.map, e.st.cat, e.st.images, e.zoomed, true, e.view, e.picture);
        DrawTerrainLabels(e.picture, e.st.map, e.view, 1);
        state.ResumeTiming();
        e.Stroke(path);
        benchmark::DoNotOptimize(e.picture.constBits());
    }
    state.counters["cells"] = CellsChanged(e.st.map, s.map);
    state.SetLabel(state.range(0) ? "hexes redrawn" : "whole view redrawn (before)");
}
BENCHMARK(BM_TerrainStroke25)
    ->Arg(0)
    ->Arg(1)
    ->Unit(benchmark::kMillisecond)
    ->Repetitions(9)
    ->ReportAggregatesOnly();

// Land placed over 100 hexes along the sea at the map's top, in a view of
// 1530 x 925 at 100 %: 0 without fixing; 1 with the coasts fixed when the
// stroke ends, and the hexes fixed drawn.
void BM_StrokeWithFix(benchmark::State& state) {
    Sample& s = TheSample();
    Editor e(s, {{0, 0}, 100, 1530, 925}, true);
    const bool fix = state.range(0) == 1;
    if (fix)
        e.doc.AfterToolEdit = [&e, &s](const EditOutcome& out) {
            return edit::FixAround(e.doc.Target(), s.coast, out);
        };
    e.st.ed.CurrentSet = 1; // clear land
    e.st.ed.CurrentImage = 1;
    const std::vector<HexPos> path = Path100(2);
    for (auto _ : state) {
        state.PauseTiming();
        e.Reset(s);
        DrawView(e.st.map, e.st.cat, e.st.images, e.zoomed, true, e.view, e.picture);
        state.ResumeTiming();
        e.Stroke(path);
        benchmark::DoNotOptimize(e.picture.constBits());
    }
    state.counters["cells"] = CellsChanged(e.st.map, s.map);
    state.SetLabel(fix ? "fixing while painting" : "without fixing");
}
BENCHMARK(BM_StrokeWithFix)
    ->Arg(0)
    ->Arg(1)
    ->Unit(benchmark::kMillisecond)
    ->Repetitions(9)
    ->ReportAggregatesOnly();

} // namespace
