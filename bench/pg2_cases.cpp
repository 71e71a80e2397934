// The import of game maps whose pieces a paint program changed, case by
// case: prints one line per catalogue, map and change with the hexes found
// exact, nearest and unsure, the wrong ones and those of them not listed as
// unsure, the pixels where the import's export differs from the first
// export, and the time. usage: pg2_cases [CASE...]

#include "PG2Cases.h"

#include "sample/TilePainter.h"

#include <QFile>
#include <QGuiApplication>
#include <cstdio>

using namespace zem;

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    QStringList only = app.arguments().mid(1);
    // --write DIR CASE: the 648-tile workspace and the island's export with
    // that change in DIR/pieces, for a run of zemtool.
    if (only.size() == 3 && only[0] == "--write") {
        const QDir dir(only[1]);
        const auto c = cases::SampleCatalogue(true);
        dir.mkpath("tilbmp");
        dir.mkpath("pieces");
        QFile mapset(dir.filePath("Mapset.txt"));
        if (!mapset.open(QIODevice::WriteOnly) || mapset.write(c->mapset) != c->mapset.size())
            return 1;
        for (const auto& [n, img] : c->pictures)
            img.save(dir.filePath(QString::asprintf("tilbmp/til%04d.bmp", n)), "BMP");
        sample::PaintFrame().save(dir.filePath("tilbmp/til0000.bmp"), "BMP");
        sample::PaintMark().save(dir.filePath("tilbmp/tilmark.bmp"), "BMP");
        const HexMap map = cases::Island(*c);
        if (!ExportPG2(map, c->cat, c->images, 67, QDir(dir.filePath("pieces")))) return 1;
        std::vector<QImage> pieces = PG2Pieces(map, c->cat, c->images);
        cases::Find(qPrintable(only[2])).change(pieces);
        for (int i = 0; i < 12; ++i)
            pieces[size_t(i)].save(dir.filePath("pieces/" + PG2PieceName(67, i / 4, i % 4)), "BMP");
        return 0;
    }
    std::printf("%-12s %-8s %-30s %6s %7s %6s %6s %9s %10s %8s\n", "catalogue", "map", "case",
                "exact", "nearest", "unsure", "wrong", "unlisted", "differing", "ms");
    for (bool altered : {false, true}) {
        if (qEnvironmentVariableIsSet("ZEM_CASES_ALTERED") && !altered) continue;
        const auto c = cases::SampleCatalogue(altered);
        const std::pair<const char*, HexMap> maps[] = {{"island", cases::Island(*c)},
                                                       {"random", cases::RandomMap(c->cat, 1)}};
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
