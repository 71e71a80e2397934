#include "TestSupport.h"
#include "map/HexLayout.h"
#include "windows/TMapForm.h"
#include "windows/TTilForm.h"

#include <QTest>

using namespace zem;
using namespace zem::test;

namespace {
void Click(TMapForm& f, Qt::MouseButton b, QPoint at, Qt::KeyboardModifiers mods = Qt::NoModifier) {
    QTest::mouseClick(f.MapImage, b, mods, at);
}
void PickInPalette(App& a, int set, QPoint at) {
    a.w.TilForm->SetButtons[size_t(set - 1)]->click();
    QTest::mouseClick(a.w.TilForm->TilImage, Qt::LeftButton, Qt::NoModifier, at);
}
} // namespace

TEST(MouseEditing, LeftPlacesRightPutsTheOldTileBack) {
    App a;
    TMapForm& f = a.main();
    HexMap& m = a.st.map;
    m.Cell(1, 1).bmp = 7;
    m.Cell(1, 1).RC = 0x21;
    m.Cell(1, 1).extra[5] = -9;
    PickInPalette(a, 1, {60, 10}); // set 1, position 2: tile 2
    EXPECT_EQ(a.st.ed.CurrentImage, 2);
    Click(f, Qt::LeftButton, {60, 80}); // screen column 1, row (80 - 25) / 50 = 1
    const MapCell& c = m.Cell(1, 1);
    EXPECT_EQ(c.bmp, 2);
    EXPECT_EQ(c.TT1, 1);
    EXPECT_EQ(c.TT3, 2);
    EXPECT_EQ(c.PL, 5);
    EXPECT_EQ(c.RC, 0x21); // road bits and the further values survive
    EXPECT_EQ(c.extra[5], -9);
    EXPECT_EQ(a.st.ed.ReplacedTile, 7);
    EXPECT_EQ(f.WhatLbl->text(), "Clear(None)");

    Click(f, Qt::RightButton, {60, 80});
    EXPECT_EQ(c.bmp, 7);
    Click(f, Qt::RightButton, {60, 80});
    EXPECT_EQ(c.bmp, 7);
    // Shift matters only for the left button.
    Click(f, Qt::RightButton, {10, 10}, Qt::ShiftModifier);
    EXPECT_EQ(m.Cell(0, 0).bmp, 7);
}

TEST(MouseEditing, RightClickBeforeAnyPlacementPlacesTile1) {
    App a;
    Click(a.main(), Qt::RightButton, {100, 110}); // column 2, row 2
    EXPECT_EQ(a.st.map.Cell(2, 2).bmp, 1);
    EXPECT_EQ(a.st.ed.ReplacedTile, 1);
}

TEST(MouseEditing, ShiftLeftPicksUpWithoutChangingAnything) {
    App a;
    HexMap& m = a.st.map;
    m.Cell(0, 0).bmp = 11; // set 2, image 2
    const QImage before = a.w.TilForm->TilImage->Picture();
    Click(a.main(), Qt::LeftButton, {10, 10}, Qt::ShiftModifier);
    EXPECT_EQ(a.st.ed.CurrentSet, 2);
    EXPECT_EQ(a.st.ed.CurrentImage, 2);
    EXPECT_EQ(m.Cell(0, 0).bmp, 11);
    EXPECT_NE(a.w.TilForm->TilImage->Picture(), before); // the palette marks the pick
    EXPECT_EQ(a.main().WhatLbl->text(), "??");

    // A tile without a set picks up set 0, image 0: nothing is selected.
    m.Cell(0, 0).bmp = 300;
    Click(a.main(), Qt::LeftButton, {10, 10}, Qt::ShiftModifier);
    EXPECT_EQ(a.st.ed.CurrentSet, 0);
    EXPECT_EQ(a.st.ed.CurrentImage, 0);
    Click(a.main(), Qt::LeftButton, {100, 10});
    EXPECT_EQ(m.Cell(2, 0).bmp, 0);
}

TEST(MouseEditing, PlacementDrawsOnlyTheOneHex) {
    App a;
    TMapForm& f = a.main();
    HexMap& m = a.st.map;
    m.Cell(2, 2).RC = 0x11;
    f.ShowRoadConnections1Click();
    const QImage& pic = f.MapImage->Picture();
    const QRgb yellow = qRgb(255, 255, 0);
    EXPECT_EQ(pic.pixel(120, 110), yellow);
    PickInPalette(a, 1, {30, 10}); // tile 1
    Click(f, Qt::LeftButton, {100, 110});
    EXPECT_EQ(pic.pixel(120, 110), TileColour(1)); // no road line until the next full redraw
    EXPECT_EQ(pic.pixel(105, 100), FrameColour);
    EXPECT_EQ(pic.pixel(95, 105), TileColour(1));
    f.DrawMap();
    EXPECT_EQ(pic.pixel(120, 110), yellow);

    // With no tile selected a left click places tile 0: only the frame.
    a.w.TilForm->SetButtons[2]->click(); // another set clears the selection
    EXPECT_EQ(a.st.ed.CurrentImage, 0);
    Click(f, Qt::LeftButton, {10, 10});
    EXPECT_EQ(m.Cell(0, 0).bmp, 0);
    EXPECT_EQ(pic.pixel(20, 0), FrameColour);
}

TEST(MouseEditing, StatusLabelsRefreshAfterMoreThan10Pixels) {
    App a;
    TMapForm& f = a.main();
    a.st.map.Cell(0, 0).TT1 = 2;
    a.st.map.Cell(0, 0).TT2 = 40; // no name: shown as its number
    f.MapImageMouseMove(10, 10);
    EXPECT_EQ(f.WhereLbl->text(), "??");
    f.MapImageMouseMove(11, 0);
    EXPECT_EQ(f.WhereLbl->text(), "0,0");
    EXPECT_EQ(f.WhatLbl->text(), "Forest(40)");
    f.MapImageMouseMove(21, 10);
    EXPECT_EQ(a.st.ed.StatusX, 11);
    f.MapImageMouseMove(60, 80);
    EXPECT_EQ(f.WhereLbl->text(), "1,1");
    // Beyond the grid: the hex numbers show, the terrain text stays.
    a.st.map.ViewOrigin = {72, 72};
    f.MapImageMouseMove(14 * 45 + 20, 14 * 50 + 10);
    EXPECT_EQ(f.WhereLbl->text(), "86,86");
    EXPECT_EQ(f.WhatLbl->text(), "None(None)");
    Click(f, Qt::LeftButton, {14 * 45 + 20, 14 * 50 + 10});
    Click(f, Qt::RightButton, {14 * 45 + 20, 14 * 50 + 10});
}

TEST(Palette, PositionsSelectionAndLabels) {
    App a;
    TTilForm& t = *a.w.TilForm;
    EXPECT_EQ(HexLayout::PaletteIndexAt(30, 10) + 1, 1);
    EXPECT_EQ(HexLayout::PaletteIndexAt(60, 10) + 1, 2);
    EXPECT_EQ(HexLayout::PaletteIndexAt(60, 80) + 1, 8);
    EXPECT_EQ(HexLayout::PaletteIndexAt(280, 60) + 1, 6);

    t.SetButtons[0]->click();
    EXPECT_EQ(a.st.ed.CurrentSet, 1);
    EXPECT_EQ(a.st.ed.CurrentImage, 0);
    QTest::mouseClick(t.TilImage, Qt::LeftButton, Qt::NoModifier, {60, 80}); // position 8
    EXPECT_EQ(a.st.ed.CurrentImage, 8);
    EXPECT_EQ(t.TilImage->Picture().pixel(45 + 30, 75 + 25), qRgb(255, 0, 0)); // the mark
    QTest::mouseClick(t.TilImage, Qt::RightButton, Qt::ShiftModifier, {30, 10});
    EXPECT_EQ(a.st.ed.CurrentImage, 1);
    EXPECT_EQ(t.TilImage->Picture().pixel(75, 100), TileColour(8)); // old mark removed
    t.SetButtons[0]->click(); // the set already shown: nothing changes
    EXPECT_EQ(a.st.ed.CurrentImage, 1);
    QTest::mouseClick(t.TilImage, Qt::LeftButton, Qt::NoModifier, {280, 60}); // position 6
    QTest::mouseClick(t.TilImage, Qt::LeftButton, Qt::NoModifier, {60, 130}); // position 14: none
    EXPECT_EQ(a.st.ed.CurrentImage, 0);
    EXPECT_EQ(t.TilImage->Picture().pixel(5 * 45 + 30, 25 + 25), TileColour(6));

    t.TilImageMouseMove(5, 5);
    EXPECT_EQ(t.WhereLbl->text(), "?"); // within 10 pixels of (0, 0)
    t.TilImageMouseMove(100, 10);       // position 3 of set 1: tile 3
    EXPECT_EQ(t.WhereLbl->text(), "#3 bmp3 Clear(None)");
    t.TilImageMouseMove(100, 200);
    EXPECT_EQ(t.WhereLbl->text(), "No Tile");
    t.SetButtons[1]->click();
    EXPECT_EQ(t.TilImage->Picture().pixel(30, 25), TileColour(10));
    EXPECT_EQ(t.TilImage->Picture().pixel(200, 25), qRgb(128, 128, 128));
}

TEST(Palette, SevenSetsLeaveSevenButtons) {
    Workspace ws;
    ws.Write("Mapset.txt",
             "60\n45\n50\n7\nA\nB\nC\nD\nE\nF\nG\n1\nNone\n1\nNone\n1 1 0 0 0 0 0 0 0\n");
    ws.WriteTileBitmaps({1});
    ZemState st;
    st.workDir = ws.Dir();
    ScriptedDialogs d;
    Windows w(st, d);
    w.MapForm->show();
    w.MapForm->FormActivate();
    int shown = 0;
    for (auto* b : w.TilForm->SetButtons)
        shown += b->isVisible();
    EXPECT_EQ(shown, 7);
    EXPECT_EQ(w.TilForm->SetButtons[6]->text(), "G");
    EXPECT_EQ(w.TilForm->TilSetButtons->buttons().size(), 7);
}
