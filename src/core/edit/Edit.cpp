#include "edit/Edit.h"
#include "edit/ZemState.h"
#include "map/HexLayout.h"
#include "map/Sections.h"
#include "tools/Roads.h"

#include <algorithm>

namespace zem {

EditTarget Target(ZemState& st) {
    return {st.map, st.ed, st.cat, st.Rng()};
}

static MapShape ShapeOf(const HexMap& map) {
    return {map.MapWidth, map.MapHeight};
}

Selection SelectionOf(const EditorState& ed) {
    return {ed.ReplacedTile, ed.CurrentSet, ed.CurrentImage};
}

MapRecorder::MapRecorder(const HexMap& map) : before_(std::make_unique<HexMap>(map)) {}

EditOutcome MapRecorder::Finish(const HexMap& map, const QString& name) const {
    EditOutcome out;
    out.name = name;
    out.shapeBefore = ShapeOf(*before_);
    out.shapeAfter = ShapeOf(map);
    for (int x = 0; x < MaxMapSize; ++x)
        for (int y = 0; y < MaxMapSize; ++y)
            if (!(before_->Cell(x, y) == map.Cell(x, y)))
                out.cells.push_back({{x, y}, before_->Cell(x, y), map.Cell(x, y)});
    return out;
}

// The cells of `later` joined to `first`'s: a cell changed again keeps its
// first before and takes the later after.
static void JoinCells(EditOutcome& first, const EditOutcome& later) {
    std::vector<int> index(MaxMapSize * MaxMapSize, -1);
    for (size_t i = 0; i < first.cells.size(); ++i)
        index[size_t(first.cells[i].at.x * MaxMapSize + first.cells[i].at.y)] = int(i);
    for (const CellChange& c : later.cells) {
        int& i = index[size_t(c.at.x * MaxMapSize + c.at.y)];
        if (i < 0) {
            i = int(first.cells.size());
            first.cells.push_back(c);
        } else {
            first.cells[size_t(i)].after = c.after;
        }
    }
}

void JoinOutcome(EditOutcome& first, const EditOutcome& later) {
    if (later.cells.size() <= 2) { // a stroke's hex: looked up from the latest change back
        for (const CellChange& c : later.cells) {
            const auto same = std::find_if(first.cells.rbegin(), first.cells.rend(),
                                           [&c](const CellChange& f) { return f.at == c.at; });
            if (same == first.cells.rend())
                first.cells.push_back(c);
            else
                same->after = c.after;
        }
    } else {
        JoinCells(first, later);
    }
    first.shapeAfter = later.shapeAfter;
    first.selAfter = later.selAfter;
    first.name = later.name;
    first.merge = later.merge;
    first.newMap = first.newMap || later.newMap;
}

// A single cell's change, without copying the map.
template <class F>
static EditOutcome CellEdit(HexMap& map, HexPos at, const QString& name, F&& action) {
    EditOutcome out;
    out.name = name;
    out.shapeBefore = out.shapeAfter = ShapeOf(map);
    const MapCell before = map.Cell(at.x, at.y);
    action(map.Cell(at.x, at.y));
    if (!(before == map.Cell(at.x, at.y))) out.cells.push_back({at, before, map.Cell(at.x, at.y)});
    return out;
}

namespace edit {

namespace {

// A section copy or paste ends in tile mode whatever it did.
void BackToTiles(EditorState& ed, EditOutcome& out) {
    ed.ClickCount = 0;
    ed.Mode = ModeTiles;
    out.hint = QString();
}

EditOutcome RoadClick(EditTarget t, HexPos hex) {
    EditorState& ed = t.ed;
    EditOutcome out;
    ++ed.ClickCount;
    if (ed.ClickCount == 1) {
        ed.RoadHex1 = hex;
        out.hint = QStringLiteral("Click on tile 2");
    } else if (ed.ClickCount == 2) {
        ed.RoadHex2 = hex;
        out = Recorded(t.map, QStringLiteral("Toggle Road"),
                       [&] { ToggleRoadPair(t.map, ed.RoadHex1, ed.RoadHex2); });
        out.hint = QStringLiteral("Click on tile 1");
        out.redraw = Redraw::View;
        ed.ClickCount = 0;
    }
    return out;
}

EditOutcome TileClick(EditTarget t, HexPos hex) {
    EditorState& ed = t.ed;
    EditOutcome out;
    if (ed.DownButton == mbRight) {
        out = CellEdit(t.map, hex, QStringLiteral("Restore Tile"),
                       [&](MapCell&) { PlaceTile(t.map, t.cat, hex.x, hex.y, ed.ReplacedTile); });
        out.what = TerrainText(t.map.Cell(hex.x, hex.y), t.cat);
        out.redraw = Redraw::View;
    } else if (ed.DownButton == mbLeft && ed.DownShift) {
        const TileRecord& r = t.cat.Record(t.map.Cell(hex.x, hex.y).bmp);
        ed.CurrentSet = std::int16_t(r.set);
        ed.CurrentImage = std::int16_t(r.image);
        out.picked = true;
    } else if (ed.DownButton == mbLeft) {
        // The most frequent edit draws only the one hex; the rest of the
        // picture, road lines included, waits for the next full redraw.
        const int tile = TileToPlace(ed, t.cat, t.rng);
        out = CellEdit(t.map, hex, QStringLiteral("Place Tile"), [&](MapCell& cell) {
            ed.ReplacedTile = cell.bmp;
            PlaceTile(t.map, t.cat, hex.x, hex.y, tile);
        });
        out.what = TerrainText(t.map.Cell(hex.x, hex.y), t.cat);
        // One of a mix is not the palette's picture: its hex is composed.
        out.redraw = ed.Mix.size() < 2 ? Redraw::Hex : Redraw::Cells;
        out.hex = hex;
    }
    return out;
}

} // namespace

static EditOutcome ClickIn(EditTarget t, const ClickInputs& in) {
    EditorState& ed = t.ed;
    const HexPos hex = HexLayout::PixelToHex(ed.DownX, ed.DownY, t.map.ViewOrigin);
    EditOutcome out;
    switch (ed.Mode) {
    case ModeSpray: {
        const SpraySettings s = in.spray ? in.spray() : SpraySettings{};
        out = Recorded(t.map, QStringLiteral("Spray"),
                       [&] { SprayAround(t.map, t.cat, t.rng, s, hex.x, hex.y); });
        out.redraw = Redraw::View;
        return out;
    }
    case ModePaintTT1:
    case ModePaintTT2: {
        const int code = in.terrainCode;
        if (code < 1 || !HexMap::InGrid(hex.x, hex.y)) return out;
        const bool first = ed.Mode == ModePaintTT1;
        out = CellEdit(t.map, hex,
                       first ? QStringLiteral("Paint Terrain Type 1")
                             : QStringLiteral("Paint Terrain Type 2"),
                       [&](MapCell& c) { (first ? c.TT1 : c.TT2) = std::uint8_t(code); });
        return out; // nothing is redrawn and no label changes
    }
    case ModePaste:
        ed.PasteAt = hex;
        out.section = SectionRequest::Paste;
        BackToTiles(ed, out);
        return out;
    case ModeCopySection:
        if (++ed.ClickCount == 1) {
            out.hint = QStringLiteral("Click on Bottom-Right Tile");
            ed.SectionCorner1 = hex;
            return out;
        }
        ed.SectionCorner2 = hex;
        out.section = SectionRequest::Write;
        BackToTiles(ed, out);
        return out;
    default:
        break;
    }
    if (in.toggleRoads) return RoadClick(t, hex);
    // A hex beyond the grid (a large map scrolled to its end) takes no edit.
    if (!HexMap::InGrid(hex.x, hex.y)) return out;
    return TileClick(t, hex);
}

EditOutcome Click(EditTarget t, const ClickInputs& in) {
    const Selection before = SelectionOf(t.ed);
    EditOutcome out = ClickIn(t, in);
    out.selBefore = before;
    out.selAfter = SelectionOf(t.ed);
    return out;
}

EditOutcome NewMap(EditTarget t, const MapRecorder& before, bool accepted,
                   const std::function<SpraySettings()>& spray) {
    const Selection sel = SelectionOf(t.ed);
    std::exception_ptr failure;
    if (accepted) {
        EditorState& ed = t.ed;
        if (ed.CurrentImage < 1) {
            ed.CurrentSet = 1;
            ed.CurrentImage = 1;
        }
        HexMap& map = t.map;
        map.ViewOrigin = {0, 0};
        const int tile = CurrentTile(ed, t.cat);
        for (int k = 0; k < map.MapWidth * map.MapHeight; ++k)
            PlaceTile(map, t.cat, k % map.MapWidth, k / map.MapWidth, tile);
        // Settings the spray window refuses end the command after the map
        // was filled: that much is still the new map, and one step.
        try {
            if (spray) SprayWholeMap(map, t.cat, t.rng, spray());
        } catch (...) {
            failure = std::current_exception();
        }
    }
    EditOutcome out = before.Finish(t.map, QStringLiteral("New Map"));
    out.selBefore = sel;
    out.selAfter = SelectionOf(t.ed);
    // Also a width left by a refused height is a map half made: no file's.
    out.newMap = true;
    out.failure = failure;
    // A failed spray leaves the picture as it was.
    if (accepted && !failure) out.redraw = Redraw::View;
    return out;
}

EditOutcome LoadMap(HexMap& map, const MapFileData& data) {
    EditOutcome out = Recorded(map, QStringLiteral("Load Map"), [&] { ApplyMapFile(data, map); });
    out.redraw = Redraw::View;
    return out;
}

EditOutcome PasteSection(HexMap& map, const MapFileData& section, HexPos at) {
    EditOutcome out =
        Recorded(map, QStringLiteral("Paste Section"), [&] { PasteCells(section, at, map); });
    out.redraw = Redraw::View;
    return out;
}

EditOutcome SetMapSize(HexMap& map, int width, int height) {
    EditOutcome out = Recorded(map, QStringLiteral("Map Size"), [&] {
        map.MapWidth = width;
        map.MapHeight = height;
    });
    out.merge = Merge::SketchSize;
    out.newMap = true; // the start of a converted map, which no file holds
    return out;
}

EditOutcome Convert(EditTarget t, const ColourTable& table, const QImage& sketch,
                    int pixelsPerHex) {
    EditOutcome out = Recorded(t.map, QStringLiteral("Convert"), [&] {
        ConvertSketch(t.map, t.cat, t.rng, table, sketch, pixelsPerHex);
    });
    out.merge = Merge::Convert;
    out.newMap = true;
    return out;
}

EditOutcome FixTerrain(EditTarget t, const TerrainTemplate& tmpl) {
    EditOutcome out = Recorded(t.map, QStringLiteral("Fix Terrain"),
                               [&] { zem::FixTerrain(t.map, t.cat, tmpl, t.rng); });
    out.redraw = Redraw::View;
    return out;
}

// The road lines on screen follow the new bits at once, so cleared roads
// never stay drawn.
EditOutcome MakeRoads(HexMap& map) {
    EditOutcome out =
        Recorded(map, QStringLiteral("Make Road Connections"), [&] { MakeRoadConnections(map); });
    out.redraw = Redraw::View;
    out.news = QStringLiteral("The map has %1 road connections").arg(CountRoadConnections(map));
    return out;
}

EditOutcome ClearRoads(HexMap& map) {
    EditOutcome out =
        Recorded(map, QStringLiteral("Clear Road Connections"), [&] { ClearRoadConnections(map); });
    out.redraw = Redraw::View;
    out.news = QStringLiteral("Road connections cleared");
    return out;
}

HexSet Region(const HexMap& map, const TileCatalogue& cat, HexPos at, FillBy by) {
    HexSet found;
    if (!map.OnMap(at.x, at.y) || !HexMap::InGrid(at.x, at.y)) return found;
    const auto key = [&](HexPos p) {
        const MapCell& c = map.Cell(p.x, p.y);
        return by == FillBy::Tile ? c.bmp : by == FillBy::TileSet ? cat.Record(c.bmp).set : c.TT1;
    };
    const int want = key(at);
    std::vector<HexPos> queue{at};
    found.Add(at);
    for (size_t i = 0; i < queue.size(); ++i)
        for (const Neighbour& n : Neighbours(queue[i].x, queue[i].y)) {
            const HexPos p = n.at;
            if (!map.OnMap(p.x, p.y) || !HexMap::InGrid(p.x, p.y)) continue;
            if (found.Has(p) || key(p) != want) continue;
            found.Add(p);
            queue.push_back(p);
        }
    return found;
}

HexSet SameTile(const HexMap& map, HexPos at) {
    HexSet found;
    if (!map.OnMap(at.x, at.y) || !HexMap::InGrid(at.x, at.y)) return found;
    const int tile = map.Cell(at.x, at.y).bmp;
    for (int y = 0; y < map.MapHeight && y < MaxMapSize; ++y)
        for (int x = 0; x < map.MapWidth && x < MaxMapSize; ++x)
            if (map.Cell(x, y).bmp == tile) found.Add({x, y});
    return found;
}

// Places the selected tile (or the mix) on every hex, each as a placement
// does: the last tile replaced is the one the right button puts back.
static EditOutcome PlaceAll(EditTarget t, const std::vector<HexPos>& hexes, const QString& name) {
    const Selection sel = SelectionOf(t.ed);
    EditOutcome out;
    out.name = name;
    out.shapeBefore = out.shapeAfter = ShapeOf(t.map);
    for (const HexPos p : hexes) {
        MapCell& cell = t.map.Cell(p.x, p.y);
        const MapCell before = cell;
        t.ed.ReplacedTile = cell.bmp;
        PlaceTile(t.map, t.cat, p.x, p.y, TileToPlace(t.ed, t.cat, t.rng));
        if (!(before == cell)) out.cells.push_back({p, before, cell});
    }
    out.selBefore = sel;
    out.selAfter = SelectionOf(t.ed);
    out.redraw = Redraw::Cells;
    return out;
}

EditOutcome Fill(EditTarget t, HexPos at, FillBy by) {
    return FillHexes(t, Region(t.map, t.cat, at, by));
}

EditOutcome FillHexes(EditTarget t, const HexSet& hexes, const QString& name) {
    return PlaceAll(t, hexes.OnMap(t.map).Hexes(), name);
}

EditOutcome PaintTerrain(EditTarget t, const HexSet& hexes, int which, int code) {
    EditOutcome out;
    out.name = which == 1 ? QStringLiteral("Paint Terrain Type 1")
                          : QStringLiteral("Paint Terrain Type 2");
    out.shapeBefore = out.shapeAfter = ShapeOf(t.map);
    out.selBefore = out.selAfter = SelectionOf(t.ed);
    if (code < 1) return out;
    for (const HexPos p : hexes.OnMap(t.map).Hexes()) {
        MapCell& cell = t.map.Cell(p.x, p.y);
        const MapCell before = cell;
        (which == 1 ? cell.TT1 : cell.TT2) = std::uint8_t(code);
        if (!(before == cell)) out.cells.push_back({p, before, cell});
    }
    return out;
}

EditOutcome SetRoad(HexMap& map, HexPos a, HexPos b, bool on) {
    EditOutcome out;
    out.name = QStringLiteral("Draw Road");
    out.shapeBefore = out.shapeAfter = ShapeOf(map);
    if (!map.OnMap(a.x, a.y) || !map.OnMap(b.x, b.y) || !HexMap::InGrid(a.x, a.y) ||
        !HexMap::InGrid(b.x, b.y))
        return out;
    for (const Neighbour& n : Neighbours(a.x, a.y)) {
        if (!(n.at == b)) continue;
        for (const auto& [at, bit] : {std::pair{a, n.bit}, std::pair{b, n.opposite}}) {
            MapCell& cell = map.Cell(at.x, at.y);
            const MapCell before = cell;
            cell.RC = std::int16_t(on ? cell.RC | bit : cell.RC & ~bit);
            if (!(before == cell)) out.cells.push_back({at, before, cell});
        }
    }
    out.redraw = Redraw::View;
    return out;
}

EditOutcome PasteHere(HexMap& map, const MapFileData& section, HexPos at) {
    EditOutcome out =
        Recorded(map, QStringLiteral("Paste"), [&] { PasteCellsHere(section, at, map); });
    out.redraw = Redraw::View;
    out.news = QStringLiteral("Pasted %1 x %2 hexes at %3,%4")
                   .arg(section.width)
                   .arg(section.height)
                   .arg(at.x)
                   .arg(at.y);
    return out;
}

} // namespace edit
} // namespace zem
