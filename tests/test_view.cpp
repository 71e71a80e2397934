// The map view beside the described one: scrolling, zoom, the hex under the
// pointer, drag strokes, selection with the clipboard, fill.

#include "TestSupport.h"
#include "map/MapFile.h"
#include "windows/TMapForm.h"
#include "windows/TSprayForm.h"

#include <QApplication>
#include <QClipboard>
#include <QTest>
#include <QWheelEvent>

using namespace zem;
using namespace zem::test;

namespace {
// The pixel of hex (x, y) in the view from (0, 0) at `zoom` percent.
QPoint At(int x, int y, int zoom = 100) {
    return QPoint(45 * x + 20, 50 * y + ((x & 1) ? 25 : 0) + 20) * zoom / 100;
}
void Wheel(TMapForm& f, double notches, Qt::KeyboardModifiers mods, QPoint at = {100, 100}) {
    QWheelEvent e(at, f.MapImage->mapToGlobal(at), {}, {0, int(120 * notches)}, Qt::NoButton, mods,
                  Qt::NoScrollPhase, false);
    QCoreApplication::sendEvent(f.MapImage, &e);
}
} // namespace

TEST(View, ScrollZoomAndTheHexUnderThePointer) {
    App a;
    TMapForm& f = a.main();
    HexMap& m = a.st.map;
    AnswerNewMap(a, "80", "80");
    f.NewMap1Click();
    EXPECT_EQ(f.MapImage->Picture().size(), QSize(900, 800)); // as described at the start
    Wheel(f, -1, Qt::NoModifier);
    Wheel(f, -2, Qt::ShiftModifier);
    EXPECT_EQ(m.ViewOrigin, (HexPos{4, 2}));
    QTest::keyClick(&f, Qt::Key_Right);
    QTest::keyClick(&f, Qt::Key_PageDown);
    EXPECT_EQ(m.ViewOrigin, (HexPos{5, 2 + f.View().Rows()}));
    a.st.ed.CurrentImage = 2; // from an odd column, rows follow the map's columns
    QTest::mouseClick(f.MapImage, Qt::LeftButton, {}, {65, 60});
    EXPECT_EQ(m.Cell(6, m.ViewOrigin.y + 1).bmp, 11);
    f.MapImage->VScroll->setValue(30);
    f.MapImage->HScroll->setValue(6);
    EXPECT_EQ(m.ViewOrigin, (HexPos{6, 30}));
    QTest::mousePress(f.MapImage, Qt::MiddleButton, {}, {200, 200});
    QTest::mouseMove(f.MapImage, {110, 100});
    QTest::mouseRelease(f.MapImage, Qt::MiddleButton, {}, {110, 100});
    EXPECT_EQ(m.ViewOrigin, (HexPos{8, 32}));

    // Ctrl+wheel zooms around the pointer; a click follows the zoom.
    Wheel(f, -1, Qt::ControlModifier, At(4, 4));
    EXPECT_EQ(f.MapImage->Zoom(), 67);
    EXPECT_EQ(m.ViewOrigin, (HexPos{6, 30})); // the point under the pointer stays
    f.ZoomOut1->trigger();
    EXPECT_EQ(f.ZoomLbl->text(), "50%");
    f.MapImage->ScrollTo({0, 0});
    QTest::mouseMove(f.MapImage, At(7, 5, 50));
    EXPECT_TRUE(f.HexInfoLbl->text().startsWith("7,5  tile 10 (set 2)"));
    QTest::mouseClick(f.MapImage, Qt::LeftButton, {}, At(7, 5, 50));
    EXPECT_EQ(m.Cell(7, 5).bmp, 11);
    f.ActualSize1->trigger();
    EXPECT_EQ(f.MapImage->Zoom(), 100);
}

TEST(Tools, DragStrokesSelectionClipboardAndFill) {
    App a;
    TMapForm& f = a.main();
    HexMap& m = a.st.map;
    const QByteArray start = MapFileText(m);
    a.st.ed.CurrentImage = 3;
    QTest::mousePress(f.MapImage, Qt::LeftButton, {}, At(1, 2));
    for (int x = 2; x <= 5; ++x)
        QTest::mouseMove(f.MapImage, At(x, 2));
    QTest::mouseRelease(f.MapImage, Qt::LeftButton, {}, At(5, 2));
    for (int x = 1; x <= 5; ++x)
        EXPECT_EQ(m.Cell(x, 2).bmp, 12) << x;
    EXPECT_EQ(f.Undo1->text(), "Undo Place Tiles");
    f.Undo1->trigger();
    EXPECT_EQ(MapFileText(m), start);
    f.Redo1->trigger();
    a.w.SprayForm->DensityUpDown->SetPosition(100);
    a.w.SprayForm->SizeEdit->setText("1");
    f.SprayCan1Click();
    const QByteArray unsprayed = MapFileText(m);
    QTest::mousePress(f.MapImage, Qt::LeftButton, {}, At(6, 6));
    QTest::mouseMove(f.MapImage, At(7, 6));
    QTest::mouseRelease(f.MapImage, Qt::LeftButton, {}, At(7, 6));
    f.Undo1->trigger(); // hexes sprayed twice come back whole
    EXPECT_EQ(MapFileText(m), unsprayed);
    f.SprayCan1Click();

    a.w.tools.Choose(ToolKind::Select);
    QTest::mousePress(f.MapImage, Qt::LeftButton, {}, At(1, 1));
    QTest::mouseMove(f.MapImage, At(3, 2));
    QTest::mouseRelease(f.MapImage, Qt::LeftButton, {}, At(3, 2));
    f.Copy1->trigger();
    QByteArray clip = MapFileText(m, 1, 1, 3, 2);
    clip.insert(clip.indexOf('\n') + 1, ";Copied from hex 1,1\n");
    EXPECT_EQ(QApplication::clipboard()->text().toLatin1(), clip);
    m.ViewOrigin = {2, 0};
    f.Paste1->trigger();
    QTest::mouseMove(f.MapImage, At(8, 6));
    // Hex (10, 6); the copy's column was odd, so the paste keeps its shape
    // from column 9.
    QTest::mouseClick(f.MapImage, Qt::LeftButton, {}, At(8, 6));
    for (int x = 1; x <= 3; ++x)
        for (int y = 1; y <= 2; ++y)
            EXPECT_EQ(m.Cell(x + 8, y + 5), m.Cell(x, y)) << x << "," << y;
    EXPECT_EQ(m.ViewOrigin, (HexPos{2, 0}));
    EXPECT_EQ(f.Undo1->text(), "Undo Paste");
    EXPECT_TRUE(f.HexInfoLbl->text().startsWith(QString("10,6  tile %1 ").arg(m.Cell(2, 1).bmp)));

    // Fill: exactly the hexes joined to the clicked one that hold its tile.
    m.ViewOrigin = {0, 0};
    const HexMap before = m;
    a.w.tools.Choose(ToolKind::Fill);
    a.st.ed.CurrentImage = 1;
    QTest::mouseClick(f.MapImage, Qt::LeftButton, {}, At(3, 2));
    for (int x = 0; x < 20; ++x)
        for (int y = 0; y < 20; ++y)
            EXPECT_EQ(m.Cell(x, y).bmp, y == 2 && x >= 1 && x <= 5 ? 10 : before.Cell(x, y).bmp)
                << x << "," << y;
    QTest::mouseClick(f.MapImage, Qt::LeftButton, Qt::ShiftModifier, At(9, 9));
    EXPECT_EQ(m.Cell(3, 2).bmp, 10); // the selection (1,1)-(3,2), filled
    EXPECT_EQ(m.Cell(2, 1).bmp, 10);
    EXPECT_EQ(m.Cell(4, 1).bmp, 0);
}

// Whatever comes in the middle of a drag or of a waiting paste ends it
// cleanly; small slips and moves beyond the picture edit nothing extra.
TEST(Tools, DragsAndPastesGiveWayToCommands) {
    App a;
    TMapForm& f = a.main();
    HexMap& m = a.st.map;
    a.st.ed.CurrentImage = 3;
    const QByteArray unedited = MapFileText(m);
    QTest::mousePress(f.MapImage, Qt::LeftButton, {}, At(1, 2));
    QTest::mouseMove(f.MapImage, At(3, 2));
    a.dialogs.AnswerSave(SaveAnswer::Cancel);
    EXPECT_FALSE(f.MaybeSave()); // the stroke so far is unsaved work, and ends there
    QTest::mouseMove(f.MapImage, At(5, 2));
    QTest::mouseRelease(f.MapImage, Qt::LeftButton, {}, At(5, 2));
    EXPECT_EQ(m.Cell(5, 2).bmp, 0);
    f.Undo1->trigger();
    EXPECT_EQ(MapFileText(m), unedited);
    QTest::mouseClick(f.MapImage, Qt::LeftButton, {}, At(7, 7));
    const QByteArray start = MapFileText(m);
    QTest::mousePress(f.MapImage, Qt::LeftButton, {}, At(1, 2));
    QTest::mouseMove(f.MapImage, At(3, 2));
    f.Undo1->trigger(); // the stroke so far is one step, and it is undone
    QTest::mouseMove(f.MapImage, At(5, 2));
    QTest::mouseRelease(f.MapImage, Qt::LeftButton, {}, At(5, 2));
    EXPECT_EQ(MapFileText(m), start);
    EXPECT_EQ(f.Redo1->text(), "Redo Place Tiles");

    QTest::mousePress(f.MapImage, Qt::LeftButton, {}, {96, 130}); // hex (1, 2) by its border
    QTest::mouseMove(f.MapImage, {99, 130});                      // into (2, 2) by a slip
    QTest::mouseRelease(f.MapImage, Qt::LeftButton, {}, {99, 130});
    EXPECT_EQ(m.Cell(1, 2).bmp, 12);
    EXPECT_EQ(m.Cell(2, 2).bmp, 0);
    const int below = f.MapImage->height() / 50 + 2;
    ASSERT_LT(below, m.MapHeight);
    QTest::mousePress(f.MapImage, Qt::LeftButton, {}, At(4, 1));
    QTest::mouseMove(f.MapImage, {At(4, 1).x(), f.MapImage->height() + 400});
    QTest::mouseRelease(f.MapImage, Qt::LeftButton, {}, {At(4, 1).x(), f.MapImage->height() + 400});
    EXPECT_EQ(m.Cell(4, 2).bmp, 12);
    EXPECT_EQ(m.Cell(4, below).bmp, 0);
    const QByteArray drawn = MapFileText(m);
    QTest::mousePress(f.MapImage, Qt::LeftButton, {}, At(1, 5));
    QTest::mouseMove(f.MapImage, At(2, 5));
    QTest::mouseClick(f.MapImage, Qt::RightButton, {}, At(2, 5)); // a step of its own
    QTest::mouseMove(f.MapImage, At(3, 5));
    QTest::mouseRelease(f.MapImage, Qt::LeftButton, {}, At(3, 5));
    f.Undo1->trigger();
    f.Undo1->trigger();
    EXPECT_EQ(MapFileText(m), drawn);
    m.ViewOrigin = {14, 0}; // as edge scrolling leaves it, the map's edge in view
    QTest::mousePress(f.MapImage, Qt::LeftButton, {}, At(4, 3));
    QTest::mouseMove(f.MapImage, At(7, 3));
    QTest::mouseRelease(f.MapImage, Qt::LeftButton, {}, At(7, 3));
    EXPECT_EQ(m.Cell(19, 3).bmp, 12);
    EXPECT_EQ(m.Cell(20, 3).bmp, 0);
    m.ViewOrigin = {0, 0};

    // A waiting paste gives way to a described mode and to a tool.
    a.w.tools.Choose(ToolKind::Select);
    QTest::mouseClick(f.MapImage, Qt::LeftButton, {}, At(1, 2));
    f.Copy1->trigger();
    f.Paste1->trigger();
    f.SprayCan1Click();
    QTest::mouseClick(f.MapImage, Qt::LeftButton, {}, At(6, 6));
    EXPECT_NE(f.Undo1->text(), "Undo Paste");
    f.SprayCan1Click();
    f.Paste1->trigger();
    f.CopyMapToFile1Click();
    const QByteArray copied = MapFileText(m);
    QTest::mouseClick(f.MapImage, Qt::LeftButton, {}, At(6, 6));
    EXPECT_EQ(MapFileText(m), copied);
    EXPECT_EQ(a.st.ed.ClickCount, 1);
    a.w.tools.Choose(ToolKind::Place);
    EXPECT_EQ(a.st.ed.Mode, ModeTiles);
    EXPECT_EQ(f.HintLbl->text(), "");

    // Half notches add up; zoomed out, the view shows map rather than green;
    // the status bar names the hex that the view brought under the pointer.
    Wheel(f, -0.5, Qt::ControlModifier);
    EXPECT_EQ(f.MapImage->Zoom(), 100);
    Wheel(f, -0.5, Qt::NoModifier);
    Wheel(f, -0.5, Qt::NoModifier);
    EXPECT_EQ(m.ViewOrigin, (HexPos{0, 2}));
    QTest::mouseMove(f.MapImage, At(2, 2));
    QTest::keyClick(&f, Qt::Key_Right);
    EXPECT_TRUE(f.HexInfoLbl->text().startsWith("3,3 ")) << f.HexInfoLbl->text().toStdString();
    m.ViewOrigin = {12, 12};
    f.ZoomOut1->trigger();
    EXPECT_EQ(m.ViewOrigin,
              (HexPos{std::max(0, 20 - f.View().Columns()), std::max(0, 20 - f.View().Rows())}));
}
