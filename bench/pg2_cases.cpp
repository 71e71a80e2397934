// The import of game maps whose pieces a paint program changed, case by
// case: prints one line per catalogue, map and change with the hexes found
// exact, nearest and unsure, the wrong ones and those of them not listed as
// unsure, the pixels where the import's export differs from the first
// export, and the time. usage: pg2_cases [CASE...]

#include "PG2Cases.h"

#include <QGuiApplication>
#include <cstdio>

using namespace zem;

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    const QStringList only = app.arguments().mid(1);
    std::printf("%-12s %-8s %-30s %6s %7s %6s %6s %9s %10s %8s\n", "catalogue", "map", "case",
                "exact", "nearest", "unsure", "wrong", "unlisted", "differing", "ms");
    for (bool altered : {false, true}) {
        const auto c = cases::SampleCatalogue(altered);
        const std::pair<const char*, HexMap> maps[] = {{"island", cases::Island(*c)},
                                                       {"random", cases::RandomMap(*c, 1)}};
        for (const auto& [mapName, map] : maps)
            for (const cases::Degradation& d : cases::Degradations()) {
                if (!only.isEmpty() && !only.contains(QLatin1String(d.name))) continue;
                const cases::Outcome o = cases::Measure(*c, map, d);
                std::printf("%-12s %-8s %-30s %6d %7d %6d %6d %9d %10lld %8.0f\n",
                            qPrintable(c->name), mapName, d.name, o.exact, o.nearest, o.unsure,
                            o.wrong, o.wrongUnlisted, o.differing, o.ms);
                std::fflush(stdout);
            }
    }
    return 0;
}
