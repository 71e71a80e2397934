// The tools and the document without a window: what a press, the points of
// a drag and a release do, which tool holds the pointer, and what undo gives
// back of the editing state.

#include "TestSupport.h"
#include "edit/MapDocument.h"
#include "map/HexLayout.h"
#include "map/MapFile.h"
#include "tools/Roads.h"
#include "tools/ToolManager.h"

#include <functional>
#include <random>
#include <set>

using namespace zem;
using namespace zem::test;

namespace {

QPoint Pixel(HexPos h) {
    return {45 * h.x + 20, 50 * h.y + ((h.x & 1) ? 25 : 0) + 20};
}

// A document and its tools over the standard workspace; the terrain picker
// and the sprayer are stood in for.
struct Editor {
    Loaded l;
    ZemState& st = l.st;
    MapDocument doc{st};
    int code = 2;
    SpraySettings spray{1, 100, {1, 2, 3}};
    ToolManager tools{doc, {[this] { return code; }, [this] { return spray; }}};
    std::vector<EditOutcome> shown;
    Editor() {
        QObject::connect(&doc, &MapDocument::applied,
                         [this](const EditOutcome& out) { shown.push_back(out); });
    }

    void Press(HexPos h, int button = mbLeft, bool shift = false) {
        const QPoint p = Pixel(h);
        st.ed.DownX = p.x();
        st.ed.DownY = p.y();
        st.ed.DownShift = shift;
        st.ed.DownButton = std::uint8_t(button);
        tools.Press({button, shift, p});
    }
    // A press on the first hex, the pointer over the others (or crawling a
    // pixel at a time from each to the next), the release.
    bool crawl = false;
    void Drag(const std::vector<HexPos>& path, int button = mbLeft, bool shift = false) {
        Press(path.front(), button, shift);
        for (size_t i = 1; i < path.size(); ++i) {
            const QPoint a = Pixel(path[i - 1]), b = Pixel(path[i]);
            const int n = crawl ? std::max(std::abs(b.x() - a.x()), std::abs(b.y() - a.y())) : 1;
            for (int k = 1; k <= n; ++k)
                tools.Move({button, shift, a + QPoint((b - a).x() * k / n, (b - a).y() * k / n)},
                           true, QRect(0, 0, 2000, 2000));
        }
        if (button == mbLeft) tools.Click();
        tools.Release(button);
    }
};

QByteArray Cells(const HexMap& m) {
    return MapFileText(m);
}

} // namespace

// Each tool through the pointer gives the map the described clicks give, on
// the same hexes with the same random draws; a drag is one step.
TEST(Tools, PressMovesAndReleaseGiveTheDescribedClicks) {
    struct Case {
        const char* name;
        std::function<void(Editor&)> choose;
        std::vector<HexPos> path; // a drag, or two clicks for the road pair
        int button;
        bool shift;
        const char* step; // the undo step it makes, "" for none
    };
    // Neighbours whose centres the pointer joins without crossing another hex.
    const std::vector<HexPos> five{{1, 1}, {2, 1}, {2, 2}, {2, 3}, {3, 3}};
    const Case cases[] = {
        {"place, a drag", [](Editor&) {}, five, mbLeft, false, "Place Tiles"},
        {"place, the right button", [](Editor&) {}, {{4, 4}}, mbRight, false, "Restore Tile"},
        {"place, Shift picks", [](Editor&) {}, {{4, 4}}, mbLeft, true, ""},
        {"pick up", [](Editor& e) { e.tools.Choose(ToolKind::Pick); }, {{4, 4}}, mbLeft, false, ""},
        {"spray, a drag", [](Editor& e) { e.tools.SprayCan(); }, five, mbLeft, false, "Spray"},
        {"terrain 1, a drag", [](Editor& e) { e.tools.TerrainType(1); }, five, mbLeft, false,
         "Paint Terrain Type 1"},
        {"terrain 2, a drag", [](Editor& e) { e.tools.TerrainType(2); }, five, mbLeft, false,
         "Paint Terrain Type 2"},
        {"road pair",
         [](Editor& e) { e.tools.ToggleRoadConnections(); },
         {{2, 5}, {3, 4}},
         mbLeft,
         false,
         "Toggle Road"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Editor e, twin;
        for (Editor* ed : {&e, &twin}) {
            ed->st.map.Cell(4, 4).bmp = 20;
            ed->st.ed.ReplacedTile = 3;
            ed->st.rng = std::make_unique<Random>(5);
            c.choose(*ed);
        }
        const QByteArray start = Cells(e.st.map);
        e.crawl = (&c - cases) % 2;
        if (c.step == std::string("Toggle Road")) {
            e.Drag({c.path[0]});
            e.Drag({c.path[1]});
        } else {
            e.Drag(c.path, c.button, c.shift);
        }
        // The same hexes clicked one by one, as the described clicks.
        ClickInputs in;
        in.toggleRoads = twin.tools.Marks().ToggleRoads;
        in.terrainCode = twin.code;
        in.spray = [&] { return twin.spray; };
        for (const HexPos h : c.path) {
            twin.st.ed.DownX = Pixel(h).x();
            twin.st.ed.DownY = Pixel(h).y();
            twin.st.ed.DownButton = std::uint8_t(c.button);
            twin.st.ed.DownShift = c.shift || c.name == std::string("pick up");
            edit::Click(Target(twin.st), in);
        }
        EXPECT_EQ(Cells(e.st.map), Cells(twin.st.map));
        EXPECT_EQ(SelectionOf(e.st.ed), SelectionOf(twin.st.ed));
        EXPECT_EQ(e.doc.Steps().Steps(), *c.step ? 1 : 0);
        EXPECT_EQ(e.doc.Steps().UndoText(), c.step);
        e.doc.Undo();
        EXPECT_EQ(Cells(e.st.map), start) << "one undo takes the whole drag back";
    }
    // The pixels a drag's path skips the lookup for are the hex's own.
    for (const HexPos origin : {HexPos{0, 0}, HexPos{3, 2}})
        for (const HexPos h : {HexPos{3, 2}, HexPos{4, 2}, HexPos{6, 5}, HexPos{7, 4}}) {
            const QRect r = HexLayout::PickedPixels(h, origin);
            for (const QPoint p : {r.topLeft(), r.bottomRight(), r.topRight(), r.bottomLeft()})
                EXPECT_EQ(HexLayout::PixelToHex(p.x(), p.y(), origin), h) << h.x << "," << h.y;
        }
}

// One tool holds the pointer: a described mode while it is on, a waiting
// paste, else the tool chosen; switching a mode off leaves placing tiles.
TEST(Tools, ModesPastesAndChosenToolsTakeTurns) {
    Editor e;
    ToolManager& t = e.tools;
    t.Choose(ToolKind::Fill);
    t.SprayCan();
    EXPECT_EQ(t.Active(), ToolKind::Spray);
    t.SprayCan();
    EXPECT_EQ(t.Active(), ToolKind::Place);
    e.Drag({{3, 3}}); // one tile, not a fill of the whole map
    EXPECT_EQ(e.doc.Steps().UndoText(), "Place Tile");

    // A section copy's corners while the spray can stays checked: after the
    // second corner the clicks place tiles again and the mark stays.
    t.SprayCan();
    t.CopySection();
    EXPECT_EQ(t.Active(), ToolKind::SectionCopy);
    EXPECT_EQ(e.doc.Hint(), "Click on Top-Left corner");
    e.Drag({{1, 1}});
    EXPECT_EQ(e.doc.Hint(), "Click on Bottom-Right Tile");
    e.Drag({{3, 3}});
    EXPECT_EQ(e.shown.back().section, SectionRequest::Write);
    EXPECT_EQ(t.Active(), ToolKind::Place);
    EXPECT_TRUE(t.Marks().SprayCan);
    EXPECT_EQ(e.doc.Hint(), "");
    t.ToggleRoadConnections(); // the road pair takes over at once after a paste point
    EXPECT_FALSE(t.Marks().SprayCan);
    e.Drag({{2, 5}});
    t.PasteFromFile();
    e.Drag({{4, 4}});
    EXPECT_EQ(t.Active(), ToolKind::RoadPair);
    EXPECT_EQ(e.st.ed.ClickCount, 0);

    // A paste waits through a click beyond the map and ends with Escape or
    // another tool; placed, it is one step and the tool chosen comes back.
    MapFileData section{2, 1, {e.st.map.Cell(0, 0), e.st.map.Cell(0, 0)}};
    section.cells[0].bmp = section.cells[1].bmp = 12;
    t.Choose(ToolKind::Select);
    for (int end = 0; end < 3; ++end) {
        t.StartPaste(section);
        EXPECT_EQ(t.Active(), ToolKind::Paste);
        if (end == 0) t.Escape();
        if (end == 1) t.TerrainType(2);
        if (end == 2) {
            e.Drag({{30, 3}});
            EXPECT_EQ(t.Active(), ToolKind::Paste);
            e.Drag({{5, 6}});
            EXPECT_EQ(e.st.map.Cell(6, 6).bmp, 12);
            EXPECT_EQ(e.doc.Steps().UndoText(), "Paste");
        }
        EXPECT_FALSE(e.doc.PendingPaste());
    }
    EXPECT_EQ(t.Active(), ToolKind::Place); // the terrain mode switched off left placing

    // A command in the middle of a drag ends the stroke as its own step; the
    // release is then no click.
    t.Choose(ToolKind::Place);
    const int steps = e.doc.Steps().Steps();
    e.Press({1, 8});
    t.Move({mbLeft, false, Pixel({2, 8})}, true, QRect(0, 0, 2000, 2000));
    e.doc.Apply(edit::ClearRoads(e.st.map));
    EXPECT_EQ(e.doc.Steps().Steps(), steps + 1);
    EXPECT_EQ(e.doc.Steps().UndoText(), "Place Tiles");
    t.Move({mbLeft, false, Pixel({3, 8})}, true, QRect(0, 0, 2000, 2000));
    t.Click();
    t.Release(mbLeft);
    EXPECT_EQ(e.st.map.Cell(2, 8).bmp, 10);
    EXPECT_EQ(e.st.map.Cell(3, 8).bmp, 0);
    EXPECT_EQ(e.doc.Steps().Steps(), steps + 1);

    // Select drags a rectangle; Fill with Shift fills it.
    t.Choose(ToolKind::Select);
    e.Drag({{10, 10}, {11, 11}, {12, 12}});
    EXPECT_EQ(e.doc.Selection().Count(), 9);
    t.Choose(ToolKind::Fill);
    e.Drag({{10, 10}}, mbLeft, true);
    EXPECT_EQ(e.st.map.Cell(12, 12).bmp, CurrentTile(e.st.ed, e.st.cat));
    t.Escape();
    EXPECT_TRUE(e.doc.Selection().Empty());

    // A new map taken back gives back the file the map was before it, also
    // with changes not saved; repeated, the map is untitled again.
    e.doc.Load({20, 20, std::vector<MapCell>(400)}, "/maps/x.zep");
    e.Drag({{1, 1}});
    e.doc.Import("Import Tiled Map", [&] { e.st.map.MapWidth = 10; });
    EXPECT_EQ(e.doc.Title(), "ZEM Map - untitled*");
    e.doc.Undo();
    EXPECT_EQ(e.doc.Title(), "ZEM Map - x.zep*");
    e.doc.Redo();
    EXPECT_EQ(e.doc.Title(), "ZEM Map - untitled*");
}

// Random edits, picks, palette choices, clicks that change no cell, undos
// and redos: an undo or redo gives back a field of the editing state only
// while it is still as the step left it.
TEST(Tools, UndoLeavesWhatWasChosenSince) {
    Editor e;
    EditorState& ed = e.st.ed;
    e.st.map.MapWidth = e.st.map.MapHeight = 6;
    std::mt19937 gen(11);
    auto pick = [&](int n) { return int(gen() % unsigned(n)); };
    struct Step {
        Selection before, after;
    };
    std::vector<Step> steps;
    size_t at = 0; // steps done
    Selection model = SelectionOf(ed);
    const auto back = [](Selection now, const Selection& from, const Selection& to) {
        if (from.ReplacedTile != to.ReplacedTile && now.ReplacedTile == from.ReplacedTile)
            now.ReplacedTile = to.ReplacedTile;
        const bool tile = from.CurrentSet != to.CurrentSet || from.CurrentImage != to.CurrentImage;
        if (tile && now.CurrentSet == from.CurrentSet && now.CurrentImage == from.CurrentImage) {
            now.CurrentSet = to.CurrentSet;
            now.CurrentImage = to.CurrentImage;
        }
        return now;
    };
    for (int i = 0; i < 1500; ++i) {
        const int what = pick(10);
        const HexPos h{pick(6), pick(6)};
        if (what < 4) { // a placement, maybe of the tile the hex holds already
            const int old = e.st.map.Cell(h.x, h.y).bmp;
            const Selection was = model;
            e.Drag({h});
            model.ReplacedTile = old;
            if (e.doc.Steps().Stack().index() == int(at) + 1) {
                steps.resize(at);
                steps.push_back({was, model});
                at = steps.size();
            }
        } else if (what == 4) { // Shift picks the hex's tile up
            e.Drag({h}, mbLeft, true);
            const TileRecord& r = e.st.cat.Record(e.st.map.Cell(h.x, h.y).bmp);
            model.CurrentSet = r.set;
            model.CurrentImage = r.image;
        } else if (what == 5) { // a choice in the palette
            ed.CurrentSet = model.CurrentSet = 1 + pick(2);
            ed.CurrentImage = model.CurrentImage = pick(4);
        } else if (what < 8 && at > 0) {
            e.doc.Undo();
            --at;
            model = back(model, steps[at].after, steps[at].before);
        } else if (what >= 8 && at < steps.size()) {
            e.doc.Redo();
            model = back(model, steps[at].before, steps[at].after);
            ++at;
        }
        ASSERT_EQ(e.doc.Steps().Stack().index(), int(at)) << i;
        ASSERT_EQ(SelectionOf(ed), model) << i << " after action " << what;
    }
}

// An import's marks: a hex keeps its mark while it shows the tile the
// import chose; another map, even of the same tiles, takes them all, and
// undo or redo back to the import's map brings them back.
TEST(Tools, UnsureMarksFollowTheTilesTheImportChose) {
    Editor e;
    HexMap& m = e.st.map;
    m.MapWidth = m.MapHeight = 6;
    // The import chooses tiles 3 and 4 where it is unsure.
    const auto import = [&](const std::vector<HexPos>& unsure) {
        e.doc.Import(
            "Import", [&] { m.Cell(1, 2).bmp = 3, m.Cell(3, 1).bmp = 4; }, unsure);
    };
    const std::vector<HexPos> both{{1, 2}, {3, 1}}, one{{1, 2}}, none;
    // Each step and the marks after it: an import unsure of both hexes (i),
    // of none (I), of one on the very map shown (o: no step), a drag over
    // (3, 1) (d), undo (u), redo (r), a file of the map shown loaded (l).
    const std::pair<char, std::vector<HexPos>> steps[] = {
        {'i', both}, {'d', one},  {'u', both}, {'r', one},  {'u', both}, {'u', none}, {'r', both},
        {'d', one},  {'I', none}, {'u', one},  {'u', both}, {'o', one},  {'l', none}};
    for (const auto& [step, marks] : steps) {
        if (step == 'i' || step == 'I' || step == 'o')
            import(step == 'i' ? both : step == 'o' ? one : none);
        if (step == 'd') {
            e.Drag({{3, 1}});
            ASSERT_NE(m.Cell(3, 1).bmp, 4);
        }
        if (step == 'u') e.doc.Undo();
        if (step == 'r') e.doc.Redo();
        if (step == 'l') {
            MapFileData same{6, 6, {}};
            for (int y = 0; y < 6; ++y)
                for (int x = 0; x < 6; ++x)
                    same.cells.push_back(m.Cell(x, y));
            e.doc.Load(same, "/maps/x.zep");
        }
        EXPECT_EQ(e.doc.Unsure(), marks) << step;
    }
}

// The painting tools beside the described ones: a road drawn and taken away
// in one drag each, brushes, fills by tile, set and terrain, shapes, and a
// random mix of tiles.
TEST(Tools, RoadsBrushesFillsShapesAndMixes) {
    Editor e;
    HexMap& m = e.st.map;
    ToolManager& t = e.tools;
    // A drag through five hexes sets what four described toggles set.
    const std::vector<HexPos> road{{2, 2}, {3, 2}, {3, 3}, {4, 3}, {5, 3}};
    HexMap toggled = m;
    for (size_t i = 1; i < road.size(); ++i)
        ToggleRoadPair(toggled, road[i - 1], road[i]);
    t.Choose(ToolKind::Road);
    e.Drag(road);
    EXPECT_EQ(Cells(m), Cells(toggled));
    EXPECT_EQ(e.doc.Steps().UndoText(), "Draw Road");
    e.Drag(road); // drawn again: set, not flipped
    EXPECT_EQ(Cells(m), Cells(toggled));
    e.Drag({road[1], road[2], road[3]}, mbRight);
    EXPECT_EQ(m.Cell(3, 3).RC, 0);
    EXPECT_EQ(m.Cell(2, 2).RC, toggled.Cell(2, 2).RC);
    e.doc.Undo();
    EXPECT_EQ(Cells(m), Cells(toggled));

    // Brushes: the hexes within the radius, on the map only.
    struct Brush {
        int size;
        HexPos at;
        int hexes;
    };
    for (const Brush b : {Brush{3, {8, 8}, 19}, Brush{3, {9, 8}, 19}, Brush{2, {8, 8}, 7},
                          Brush{3, {0, 0}, 7}, Brush{3, {19, 19}, 7}, Brush{1, {5, 5}, 1}}) {
        ToolOptions o = t.Options();
        o.BrushSize = b.size;
        t.SetOptions(o);
        t.Choose(ToolKind::Place);
        e.st.ed.CurrentSet = 3; // tile 20
        e.st.ed.CurrentImage = 1;
        const HexMap before = m;
        e.Drag({b.at});
        int placed = 0;
        for (int x = 0; x < MaxMapSize; ++x)
            for (int y = 0; y < MaxMapSize; ++y)
                if (!(m.Cell(x, y) == before.Cell(x, y))) {
                    ++placed;
                    EXPECT_LE(HexDistance(b.at, {x, y}), b.size - 1);
                    EXPECT_TRUE(m.OnMap(x, y));
                }
        EXPECT_EQ(placed, b.hexes) << b.size << " at " << b.at.x << "," << b.at.y;
        e.doc.Undo();
    }

    // Fill by tile, tile set or terrain type 1 on a crafted map: a row of
    // tiles 10, 11, 12 (one set, one TT1 but for 12's painted code), then 20.
    for (int x = 0; x < 6; ++x)
        PlaceTile(m, e.st.cat, x, 10, std::array{10, 11, 10, 12, 20, 10}[size_t(x)]);
    m.Cell(3, 10).TT1 = 3;
    const std::pair<edit::FillBy, int> fills[] = {
        {edit::FillBy::Tile, 1}, {edit::FillBy::TileSet, 4}, {edit::FillBy::Terrain1, 3}};
    for (const auto& [by, count] : fills)
        EXPECT_EQ(edit::Region(m, e.st.cat, {0, 10}, by).Count(), count) << int(by);

    // Shapes from an even and an odd column; the ellipse within the rectangle.
    EXPECT_EQ(HexSet::Rectangle({2, 3}, {5, 6}).Count(), 16);
    const HexSet oval = HexSet::Ellipse({2, 3}, {6, 7}), odd = HexSet::Ellipse({3, 3}, {7, 7});
    for (const HexSet* s : {&oval, &odd}) {
        EXPECT_TRUE(s->Count() > 12 && s->Count() < 25) << s->Count();
        HexPos a, b;
        ASSERT_TRUE(s->Bounds(a, b));
        EXPECT_GE(a.y, 2);
        EXPECT_LE(b.y, 8);
    }
    EXPECT_TRUE(oval.Has({4, 5}) && !oval.Has({2, 3}) && !oval.Has({6, 7}));
    EXPECT_EQ(HexSet::Ellipse({4, 4}, {4, 4}).Hexes(), (std::vector<HexPos>{{4, 4}}));

    // A mix places only its tiles, and the same ones again from the same seed.
    t.Choose(ToolKind::Shape);
    e.doc.SetMix({1, 2, 20});
    std::vector<int> first;
    for (int run = 0; run < 2; ++run) {
        e.st.rng = std::make_unique<Random>(9);
        e.Drag({{1, 12}, {7, 16}});
        std::vector<int> tiles;
        for (const HexPos h : HexSet::Rectangle({1, 12}, {7, 16}).Hexes()) {
            tiles.push_back(m.Cell(h.x, h.y).bmp);
            EXPECT_TRUE(tiles.back() == 1 || tiles.back() == 2 || tiles.back() == 20);
        }
        EXPECT_EQ(std::set<int>(tiles.begin(), tiles.end()).size(), 3u);
        if (run == 0) first = tiles;
        EXPECT_EQ(tiles, first);
        e.doc.Undo();
    }
    t.Escape();
    EXPECT_TRUE(e.st.ed.Mix.empty());
}
