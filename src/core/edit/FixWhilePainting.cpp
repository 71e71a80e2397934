#include "edit/FixWhilePainting.h"

#include <algorithm>

namespace zem {

bool ChangesTiles(const EditOutcome& out) {
    return std::any_of(out.cells.begin(), out.cells.end(),
                       [](const CellChange& c) { return c.before.bmp != c.after.bmp; });
}

FixRegion AroundChanges(const EditOutcome& out) {
    FixRegion r{MaxMapSize, MaxMapSize, -1, -1};
    for (const CellChange& c : out.cells) {
        r.x0 = std::min(r.x0, c.at.x);
        r.y0 = std::min(r.y0, c.at.y);
        r.x1 = std::max(r.x1, c.at.x);
        r.y1 = std::max(r.y1, c.at.y);
    }
    if (r.Empty()) return r;
    return {r.x0 - 2, r.y0 - 2, r.x1 + 2, r.y1 + 2};
}

namespace edit {

EditOutcome FixAround(EditTarget t, const TerrainTemplate& tmpl, const EditOutcome& done) {
    EditOutcome out;
    out.name = done.name;
    out.shapeBefore = out.shapeAfter = done.shapeAfter;
    out.selBefore = out.selAfter = done.selAfter;
    out.merge = done.merge;
    out.redraw = Redraw::Cells;
    const FixRegion r = Examined(t.map, AroundChanges(done));
    if (r.Empty()) return out;
    // Only the region can change: keep it alone rather than the whole map.
    std::vector<MapCell> before;
    for (int y = r.y0; y <= r.y1; ++y)
        for (int x = r.x0; x <= r.x1; ++x)
            before.push_back(t.map.Cell(x, y));
    FixTerrain(t.map, t.cat, tmpl, t.rng, r);
    auto was = before.begin();
    for (int y = r.y0; y <= r.y1; ++y)
        for (int x = r.x0; x <= r.x1; ++x, ++was)
            if (!(*was == t.map.Cell(x, y))) out.cells.push_back({{x, y}, *was, t.map.Cell(x, y)});
    return out;
}

} // namespace edit
} // namespace zem
