// Edits as the core makes them, without a window: what each click does in
// each mode, and the undo history that records them.

#include "TestSupport.h"
#include "edit/Edit.h"
#include "edit/History.h"
#include "map/MapFile.h"
#include "map/Sections.h"

#include <random>

using namespace zem;
using namespace zem::test;

namespace {
// A press and release at the pixel of hex (x, y), the view at the origin.
EditOutcome ClickAt(ZemState& st, int x, int y, int button = mbLeft, bool shift = false,
                    const ClickInputs& in = {}) {
    st.ed.DownX = 45 * x + 20;
    st.ed.DownY = 50 * y + ((x & 1) ? 25 : 0) + 20;
    st.ed.DownButton = std::uint8_t(button);
    st.ed.DownShift = shift;
    return edit::Click(Target(st), in);
}

// Every field of every cell differs from its neighbour's.
void Scramble(HexMap& m, int seed) {
    std::mt19937 gen{std::uint32_t(seed)};
    for (int x = 0; x < MaxMapSize; ++x)
        for (int y = 0; y < MaxMapSize; ++y) {
            MapCell& c = m.Cell(x, y);
            c.bmp = std::int16_t(gen() % 30);
            c.TT1 = std::uint8_t(gen());
            c.TT2 = std::uint8_t(gen() % 2);
            c.TT3 = std::uint8_t(gen());
            c.RC = std::int16_t(gen());
            c.PL = std::int16_t(gen());
            c.E2 = std::int16_t(gen());
            c.E3 = std::int16_t(gen());
            for (auto& v : c.extra)
                v = std::int16_t(gen());
        }
}
} // namespace

TEST(Edit, ClicksInEveryModeReportTheirCells) {
    Loaded l;
    ZemState& st = l.st;
    st.map.MapWidth = st.map.MapHeight = 10;
    st.ed.CurrentSet = 1;
    st.ed.CurrentImage = 3;

    // Place: one cell, the hex to draw, the terrain text.
    st.map.Cell(2, 1).extra[5] = 9;
    const MapCell before = st.map.Cell(2, 1);
    EditOutcome out = ClickAt(st, 2, 1);
    ASSERT_EQ(out.cells.size(), 1u);
    EXPECT_EQ(out.cells[0].at, (HexPos{2, 1}));
    EXPECT_EQ(out.cells[0].before, before);
    EXPECT_EQ(out.cells[0].after.bmp, 3);
    EXPECT_EQ(out.cells[0].after.extra[5], 9);
    EXPECT_EQ(out.redraw, Redraw::Hex);
    EXPECT_EQ(out.name, "Place Tile");
    ASSERT_TRUE(out.what);

    // Shift + left picks up: no cell changes, the pick is reported.
    st.map.Cell(4, 4).bmp = 20;
    out = ClickAt(st, 4, 4, mbLeft, true);
    EXPECT_FALSE(out.Changed());
    EXPECT_TRUE(out.picked);
    EXPECT_EQ(st.ed.CurrentSet, 3);

    // Terrain painting needs a chosen code of 1 or more.
    st.ed.Mode = ModePaintTT2;
    EXPECT_FALSE(ClickAt(st, 5, 5).Changed());
    ClickInputs code;
    code.terrainCode = 1;
    out = ClickAt(st, 5, 5, mbLeft, false, code);
    ASSERT_EQ(out.cells.size(), 1u);
    EXPECT_EQ(out.cells[0].after.TT2, 1);

    // A section copy: two clicks, then the write is asked for and the mode ends.
    st.ed.Mode = ModeCopySection;
    out = ClickAt(st, 1, 1);
    EXPECT_EQ(out.hint, QString("Click on Bottom-Right Tile"));
    out = ClickAt(st, 3, 4);
    EXPECT_EQ(out.section, SectionRequest::Write);
    EXPECT_EQ(st.ed.Mode, ModeTiles);
    EXPECT_EQ(st.ed.SectionCorner2, (HexPos{3, 4}));

    // A road pair: the second click toggles both cells and redraws the view.
    ClickInputs roads;
    roads.toggleRoads = true;
    EXPECT_FALSE(ClickAt(st, 2, 2, mbLeft, false, roads).Changed());
    out = ClickAt(st, 2, 3, mbLeft, false, roads);
    EXPECT_EQ(out.cells.size(), 2u);
    EXPECT_EQ(out.redraw, Redraw::View);
    EXPECT_EQ(st.map.Cell(2, 2).RC, rbS);
}

TEST(History, EveryKindOfEditUndoesAndRedoesExactly) {
    Loaded l;
    ZemState& st = l.st;
    Scramble(st.map, 1);
    st.map.MapWidth = 12;
    st.map.MapHeight = 9;
    int shown = 0;
    History h(st.map, st.ed, [&](const EditOutcome&) { ++shown; });
    st.ed.CurrentSet = 1;
    st.ed.CurrentImage = 2;

    SpraySettings spray;
    spray.density = 100;
    spray.picks = {3, 4, 5};
    MapFileData section;
    section.width = section.height = 2;
    section.cells.assign(4, MapCell{.bmp = 7, .TT2 = 1, .TT3 = 4, .E2 = -3});
    TerrainTemplate tmpl;
    tmpl.fixable = {1, 2, 3, 4, 5, 6, 7, 8};
    tmpl.xsets = {1, 3, 1};
    tmpl.patterns.push_back({"XXXXXX", {20, 20, 20}});
    tmpl.patterns.push_back({"", {}});

    const std::vector<std::function<EditOutcome()>> edits = {
        [&] { return ClickAt(st, 3, 3); },
        [&] { return ClickAt(st, 3, 3, mbRight); },
        [&] {
            st.ed.Mode = ModeSpray;
            ClickInputs in;
            in.spray = [&] { return spray; };
            EditOutcome o = ClickAt(st, 6, 4, mbLeft, false, in);
            st.ed.Mode = ModeTiles;
            return o;
        },
        [&] {
            const MapRecorder before(st.map);
            st.map.MapWidth = 7; // as the New Map dialog's OK does
            st.map.MapHeight = 5;
            return edit::NewMap(Target(st), before, true, {});
        },
        [&] { return edit::FixTerrain(Target(st), tmpl); },
        [&] {
            return edit::PasteSection(st.map, section, {2, 2});
        },
        [&] { return edit::MakeRoads(st.map); },
        [&] { return edit::ClearRoads(st.map); },
        [&] { return edit::SetMapSize(st.map, 30, 20); },
    };
    for (size_t i = 0; i < edits.size(); ++i) {
        const HexMap before = st.map;
        EditOutcome out = edits[i]();
        ASSERT_TRUE(out.Changed()) << i;
        const HexMap after = st.map;
        h.Record(out);
        h.Undo();
        EXPECT_EQ(MapFileText(st.map, 0, 0, 79, 79), MapFileText(before, 0, 0, 79, 79)) << i;
        EXPECT_EQ(st.map.MapWidth, before.MapWidth) << i;
        EXPECT_EQ(st.map.ViewOrigin, before.ViewOrigin) << i;
        h.Redo();
        EXPECT_EQ(MapFileText(st.map, 0, 0, 79, 79), MapFileText(after, 0, 0, 79, 79)) << i;
        EXPECT_EQ(st.map.MapHeight, after.MapHeight) << i;
        EXPECT_EQ(h.UndoText(), out.name);
    }
    EXPECT_EQ(shown, 2 * int(edits.size()));
}

TEST(History, HundredsOfRandomEditsUndoToTheStartAndTheCleanStateFollows) {
    Loaded l;
    ZemState& st = l.st;
    Scramble(st.map, 3);
    st.map.MapWidth = st.map.MapHeight = 20;
    History h(st.map, st.ed, {});
    const QByteArray start = MapFileText(st.map);
    std::mt19937 gen(11);
    QByteArray saved;
    EXPECT_TRUE(h.IsClean());
    for (int i = 0; i < 400; ++i) {
        st.ed.CurrentSet = 1;
        st.ed.CurrentImage = 1 + int(gen() % 8);
        if (gen() % 7 == 0)
            h.Record(edit::MakeRoads(st.map));
        else
            h.Record(ClickAt(st, int(gen() % 9), int(gen() % 9), gen() % 4 ? mbLeft : mbRight));
        if (i == 160) {
            h.SetClean();
            saved = MapFileText(st.map);
        }
    }
    EXPECT_FALSE(h.IsClean());
    while (!h.IsClean())
        h.Undo();
    EXPECT_EQ(MapFileText(st.map), saved);
    while (h.CanUndo())
        h.Undo();
    EXPECT_EQ(MapFileText(st.map), start);
    EXPECT_FALSE(h.IsClean());
    h.Reset(); // a load starts afresh
    EXPECT_TRUE(h.IsClean());
    EXPECT_FALSE(h.CanUndo());
}

TEST(History, TheMemoryBoundForgetsTheOldestSteps) {
    Loaded l;
    ZemState& st = l.st;
    st.map.MapWidth = st.map.MapHeight = 80;
    History h(st.map, st.ed, {});
    for (int i = 0; i < 120; ++i) {
        Scramble(st.map, 100 + i); // every cell of the grid changes
        EditOutcome out;
        out.name = "Scramble";
        out.shapeBefore = out.shapeAfter = {80, 80};
        for (int x = 0; x < 80; ++x)
            for (int y = 0; y < 80; ++y)
                out.cells.push_back({{x, y}, MapCell{}, st.map.Cell(x, y)});
        h.Record(std::move(out));
        EXPECT_LE(h.Bytes(), History::MaxBytes);
    }
    int undone = 0;
    while (h.CanUndo()) {
        h.Undo();
        ++undone;
    }
    EXPECT_GT(undone, 10);
    EXPECT_LT(undone, 120);
}
