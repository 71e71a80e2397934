// The undo history of whole-map edits: the time of one undo and redo of an
// 80 by 80 map whose every cell changed, and the memory each such step holds.

#include "edit/Edit.h"
#include "edit/History.h"

#include <benchmark/benchmark.h>

using namespace zem;

namespace {

// An 80 by 80 map and an edit that changes every one of its cells.
struct FullMapEdit {
    HexMap map;
    EditorState ed;
    EditOutcome out;
    FullMapEdit() {
        map.MapWidth = map.MapHeight = MaxMapSize;
        out = Recorded(map, QStringLiteral("New Map"), [&] {
            for (int x = 0; x < MaxMapSize; ++x)
                for (int y = 0; y < MaxMapSize; ++y) {
                    MapCell& c = map.Cell(x, y);
                    c.bmp = std::int16_t(1 + (x + y) % 40);
                    c.TT1 = std::uint8_t(x % 7);
                    c.extra[3] = std::int16_t(y);
                }
        });
    }
};

void BM_UndoRedoFullMap(benchmark::State& state) {
    FullMapEdit e;
    History h(e.map, e.ed, {});
    h.Record(e.out);
    for (auto _ : state) {
        h.Undo();
        h.Redo();
        benchmark::DoNotOptimize(e.map.Cell(79, 79).bmp);
    }
    state.counters["bytes_per_step"] = double(h.Bytes());
}
BENCHMARK(BM_UndoRedoFullMap)
    ->Unit(benchmark::kMillisecond)
    ->Repetitions(5)
    ->ReportAggregatesOnly();

// Recording whole-map steps until the memory bound forgets the oldest.
void BM_HistoryOfFullMapSteps(benchmark::State& state) {
    FullMapEdit e;
    for (auto _ : state) {
        History h(e.map, e.ed, {});
        for (int i = 0; i < 200; ++i)
            h.Record(e.out);
        state.counters["bytes_kept"] = double(h.Bytes());
        state.counters["steps"] = double(h.Steps());
    }
}
BENCHMARK(BM_HistoryOfFullMapSteps)->Unit(benchmark::kMillisecond)->Iterations(3);

} // namespace
