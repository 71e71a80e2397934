// Importing a Panzer General 2 map: Map67.map and its twelve pieces read
// from files and every hex matched, for a 44x39 map of random tiles from
// all sets with random terrain and road bytes. Once on the sample
// workspace's tiles, once on 648 tiles (as many as a full game set) drawn
// by the sample's own painter, each with its own scattered dots, so that many
// pictures look alike. Then the sample island, on the sample's tiles and on
// 648 where most are altered copies of them, from clean pieces and from
// pieces saved as JPEG at quality 75. The time per hex is the "hex" counter.

#include "PG2Cases.h"
#include "edit/EditorState.h"
#include "interop/PG2Import.h"
#include "sample/SampleData.h"
#include "sample/TilePainter.h"

#include <QBuffer>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>
#include <random>

using namespace zem;

namespace {

[[noreturn]] void Fail(const QString& why) {
    std::fprintf(stderr, "bench: %s\n", qPrintable(why));
    std::abort();
}

struct Catalogue {
    TileCatalogue cat;
    TileImages images;
};

Catalogue Load(const QByteArray& mapset, const std::vector<sample::SampleTile>& tiles) {
    Catalogue c;
    QByteArray text = mapset;
    QBuffer buf(&text);
    buf.open(QIODevice::ReadOnly);
    if (Status st = LoadMapset(buf, c.cat); !st) Fail(st.Message());
    for (auto& list : c.images)
        list.SetSize(c.cat.TileWidth, c.cat.TileHeight);
    std::vector<const sample::SampleTile*> byNumber(MaxTiles, nullptr);
    for (const sample::SampleTile& t : tiles)
        byNumber[size_t(t.number)] = &t;
    for (const sample::SampleTile* t : byNumber)
        if (t) c.images[size_t(t->set)].AddMasked(Bitmap(sample::PaintTile(*t)));
    c.images[0].AddMasked(Bitmap(sample::PaintFrame()));
    c.images[0].AddMasked(Bitmap(sample::PaintMark()));
    return c;
}

// Tiles 1..647, 54 to a set, going round the sample's looks with variants.
std::vector<sample::SampleTile> GameSizedTiles() {
    std::vector<sample::SampleTile> tiles;
    for (int n = 1; n < MaxTiles; ++n) {
        const auto look = sample::Look(n % 13);
        tiles.push_back({n, 1 + (n - 1) / MaxSetTiles, look, 1 + (n / 13) % 63, n % 14, n % 3,
                         n % 256, 1, 0, 0});
    }
    return tiles;
}

QByteArray GameSizedMapset(const std::vector<sample::SampleTile>& tiles) {
    QByteArray text = "60\n45\n50\n12\nA\nB\nC\nD\nE\nF\nG\nH\nI\nJ\nK\nL\n2\nN\nM\n2\nN\nR\n";
    for (const sample::SampleTile& t : tiles)
        text += QString::asprintf("%d %d 0 %d %d %d %d %d %d\n", t.number, t.set, t.TT1, t.TT2,
                                  t.TT3, t.PL, t.E2, t.E3)
                    .toLatin1();
    return text;
}

// An export of random tiles, written once into a folder of its own.
struct Exported {
    Catalogue c;
    QTemporaryDir dir;
    explicit Exported(Catalogue cat) : c(std::move(cat)) {
        const HexMap map = cases::RandomMap(c.cat, 5);
        if (Status st = ExportPG2(map, c.cat, c.images, 67, QDir(dir.path())); !st)
            Fail(st.Message());
    }
};

Exported& Sample151() {
    static Exported e(Load(sample::MapsetText(), sample::Tiles()));
    return e;
}

Exported& Game648() {
    static Exported e(Load(GameSizedMapset(GameSizedTiles()), GameSizedTiles()));
    return e;
}

// The island's export, its pieces changed as a paint program would.
struct Island {
    std::unique_ptr<cases::Catalogue> c;
    QTemporaryDir dir;
    Island(bool altered, const char* change) : c(cases::SampleCatalogue(altered)) {
        const HexMap map = cases::Island(*c);
        if (Status st = ExportPG2(map, c->cat, c->images, 67, QDir(dir.path())); !st)
            Fail(st.Message());
        std::vector<QImage> pieces = PG2Pieces(map, c->cat, c->images);
        cases::Find(change).change(pieces);
        for (int i = 0; i < 12; ++i)
            if (!pieces[size_t(i)].save(QDir(dir.path()).filePath(PG2PieceName(67, i / 4, i % 4)),
                                        "BMP"))
                Fail("cannot save a piece");
    }
};

void ImportIsland(benchmark::State& state, Island& e) {
    const QString path = QDir(e.dir.path()).filePath("Map67.map");
    for (auto _ : state) {
        const Result<PG2Import> imp = ImportPG2(path, e.c->cat, e.c->images);
        if (!imp) Fail(imp.Message());
        benchmark::DoNotOptimize(imp->map.Cell(43, 38).bmp);
    }
}

void BM_ImportPG2IslandSample(benchmark::State& state) {
    static Island e(false, "clean");
    ImportIsland(state, e);
}
BENCHMARK(BM_ImportPG2IslandSample)
    ->Unit(benchmark::kMillisecond)
    ->Repetitions(5)
    ->ReportAggregatesOnly();

void BM_ImportPG2Island648(benchmark::State& state) {
    static Island e(true, "clean");
    ImportIsland(state, e);
}
BENCHMARK(BM_ImportPG2Island648)
    ->Unit(benchmark::kMillisecond)
    ->Repetitions(5)
    ->ReportAggregatesOnly();

void BM_ImportPG2Island648Jpeg75(benchmark::State& state) {
    static Island e(true, "jpeg q75");
    ImportIsland(state, e);
}
BENCHMARK(BM_ImportPG2Island648Jpeg75)
    ->Unit(benchmark::kMillisecond)
    ->Repetitions(3)
    ->ReportAggregatesOnly();

void Import(benchmark::State& state, Exported& e) {
    const QString path = QDir(e.dir.path()).filePath("Map67.map");
    for (auto _ : state) {
        const Result<PG2Import> imp = ImportPG2(path, e.c.cat, e.c.images);
        if (!imp) Fail(imp.Message());
        if (imp->differingPixels != 0) Fail("the import does not give the pieces again");
        benchmark::DoNotOptimize(imp->map.Cell(43, 38).bmp);
    }
    state.counters["hex"] = benchmark::Counter(
        PG2Hexes, benchmark::Counter::kIsIterationInvariantRate | benchmark::Counter::kInvert);
}

void BM_ImportPG2Sample151(benchmark::State& state) {
    Import(state, Sample151());
}
BENCHMARK(BM_ImportPG2Sample151)
    ->Unit(benchmark::kMillisecond)
    ->Repetitions(5)
    ->ReportAggregatesOnly();

void BM_ImportPG2Game648(benchmark::State& state) {
    Import(state, Game648());
}
BENCHMARK(BM_ImportPG2Game648)
    ->Unit(benchmark::kMillisecond)
    ->Repetitions(5)
    ->ReportAggregatesOnly();

} // namespace
