// What a step of the history holds and what the windows show around it.

#include "TestSupport.h"
#include "map/MapFile.h"
#include "runtime/Errors.h"
#include "windows/MapStatusBar.h"
#include "windows/Messages.h"
#include "windows/Panels.h"
#include "windows/TMapConvert.h"
#include "windows/TMapForm.h"
#include "windows/TSprayForm.h"
#include "windows/TStratMapForm.h"
#include "windows/TTerrainForm.h"
#include "windows/TTilForm.h"

#include <QRegularExpression>
#include <QSettings>
#include <QTest>
#include <random>

using namespace zem;
using namespace zem::test;

namespace {
QPoint At(int x, int y) {
    return {45 * x + 20, 50 * y + ((x & 1) ? 25 : 0) + 20};
}
void Click(TMapForm& f, QPoint at) {
    QTest::mouseClick(f.MapImage, Qt::LeftButton, Qt::NoModifier, at);
}
// Every field of the whole grid, and the size.
QByteArray Grid(const HexMap& m) {
    return QByteArray(reinterpret_cast<const char*>(&m.Cell(0, 0)),
                      qsizetype(sizeof(MapCell)) * MaxMapSize * MaxMapSize) +
           QByteArray::number(m.MapWidth * 100 + m.MapHeight);
}
} // namespace

// A loaded map edited, converted from a sketch, replaced by a New Map that
// fails half-way, and scrolled: each step undoes whole, the questions save
// the work as it was, and nothing is saved over the loaded file.
TEST(Steps, UndoQuestionsAndNamesAroundEveryKindOfStep) {
    App a;
    TMapForm& f = a.main();
    HexMap& m = a.st.map;
    a.ws.Write("a.zep", MapFileText(m));
    ASSERT_TRUE(f.OpenMapFile(a.ws.Path("a.zep")));
    m.Cell(3, 3).bmp = 7;
    a.st.ed.CurrentImage = 2;
    Click(f, At(3, 3));
    f.Undo1->trigger(); // the right button's tile comes back too
    EXPECT_EQ(a.st.ed.ReplacedTile, 1);
    f.Redo1->trigger();
    EXPECT_EQ(a.st.ed.ReplacedTile, 7);
    const QByteArray work = Grid(m), workFile = MapFileText(m);

    QImage sketch(100, 50, QImage::Format_RGB32);
    sketch.fill(qRgb(0, 0, 255));
    ASSERT_TRUE(sketch.save(a.ws.Path("s.bmp"), "BMP"));
    a.ws.Write("Gmap.txt", "1\n0 0 255\n11 11 11\n");
    TMapConvert& c = *a.w.MapConvert;
    a.dialogs.AnswerSave(SaveAnswer::Cancel); // the scale goes back with the map
    c.UpDown1->SetPosition(10);
    EXPECT_EQ(c.ScaleEdit->text(), "5");
    for (SaveAnswer answer : {SaveAnswer::Cancel, SaveAnswer::Save}) {
        a.dialogs.AnswerSave(answer); // asked before the sketch sizes the map
        a.dialogs.Answer(a.ws.Path("s.bmp"));
        c.LoadBtnClick();
    }
    EXPECT_EQ(a.ws.Read("a.zep"), workFile);
    EXPECT_EQ(f.windowTitle(), "ZEM Map - untitled*"); // never saved over a.zep half made
    c.ConvertBtnClick();                               // asked already
    EXPECT_EQ(a.dialogs.questions.size(), 3u);
    EXPECT_EQ(m.Cell(19, 9).bmp, 11);
    EXPECT_EQ(f.windowTitle(), "ZEM Map - untitled*");
    f.Undo1->trigger(); // size and conversion in one step, back to the file saved
    EXPECT_EQ(Grid(m), work);
    EXPECT_EQ(f.windowTitle(), "ZEM Map - a.zep");
    EXPECT_EQ(f.Undo1->text(), "Undo Place Tile");

    a.st.ed.CurrentImage = 0; // New Map selects image 1 of set 1, then fails
    a.w.SprayForm->SizeEdit->setText("x");
    f.SprayCan1Click();
    AnswerNewMap(a, "80", "80");
    EXPECT_THROW(f.NewMap1Click(), ConvertError);
    EXPECT_EQ(m.Cell(79, 79).bmp, 1);
    EXPECT_EQ(f.windowTitle(), "ZEM Map - untitled*");
    a.dialogs.Cancel();
    f.Save1->trigger(); // asks for a name
    EXPECT_EQ(a.dialogs.dialogs.back().Title, "Save Map File");
    m.ViewOrigin = {20, 20};
    f.Undo1->trigger(); // the view stays on what is left of the map
    EXPECT_EQ(Grid(m), work);
    EXPECT_EQ(a.st.ed.CurrentImage, 0);
    const HexPos o = m.ViewOrigin;
    EXPECT_EQ(o, (HexPos{std::max(0, 20 - f.View().Columns()), std::max(0, 20 - f.View().Rows())}));

    a.ws.Write("sec.zep", MapFileText(m, o.x, o.y, o.x + 3, o.y + 3)); // pasted where it came from
    f.PasteFromFile1Click();
    a.dialogs.Answer(a.ws.Path("sec.zep"));
    Click(f, At(0, 0)); // the same cells again: the view moves, nothing changes
    EXPECT_EQ(f.Undo1->text(), "Undo Place Tile");
    m.ViewOrigin = {4, 4};
    f.Undo1->trigger();
    EXPECT_EQ(m.ViewOrigin, (HexPos{4, 4}));
}

// Described labels keep their texts; the editor's news, road lines, terrain
// codes, the overview and the keys follow what the user did.
TEST(Feedback, LabelsStatusBarRedrawsAndKeys) {
    App a;
    TMapForm& f = a.main();
    HexMap& m = a.st.map;
    f.SprayCan1Click();
    a.dialogs.Answer(a.ws.Path("s.zep"));
    f.SaveMap1Click();
    EXPECT_EQ(f.HintLbl->text(), "Sprayer is ON");
    EXPECT_EQ(f.StatusText(), "Saved s.zep");
    f.SprayCan1Click();

    m.Cell(2, 2).TT2 = m.Cell(2, 3).TT2 = 1;
    f.ShowRoadConnections1Click();
    const QImage plain = f.MapImage->Picture().copy();
    f.MakeRoadConnections1Click();
    EXPECT_NE(f.MapImage->Picture(), plain);
    f.ClearRoadConnections1Click();
    EXPECT_EQ(f.MapImage->Picture(), plain);

    f.ShowStrategicMap1Click(); // the open overview follows every change
    const QImage& overview = a.w.StratMapForm->StratMapImage->Picture();
    f.TerrainCodes1->trigger(); // off: painting changes no label and no pixel
    EXPECT_FALSE(QSettings().value("terrainCodesWhilePainting").toBool());
    f.TerrainType11Click();
    QListWidget& names = *a.w.TerrainForm->TerrainLB;
    names.setCurrentRow(3);
    QTest::keyClicks(&names, "c"); // "Clear"
    EXPECT_EQ(names.currentRow(), 3) << "letters typed into the list leave the terrain painted";
    const QString what = f.WhatLbl->text();
    Click(f, At(1, 1));
    EXPECT_EQ(m.Cell(1, 1).TT1, 3);
    EXPECT_EQ(overview.pixel(11, 15), TileColour(103));
    EXPECT_EQ(f.WhatLbl->text(), what);
    f.DrawMap();
    EXPECT_EQ(f.MapImage->Picture(), plain);
    f.SetHint("x"); // a click on the name already selected
    QTest::mouseClick(names.viewport(), Qt::LeftButton, {},
                      names.visualItemRect(names.item(3)).center());
    EXPECT_EQ(f.HintLbl->text(), "Click on tiles to change");
    f.TerrainCodes1->trigger();
    EXPECT_NE(f.MapImage->Picture(), plain);
    f.TerrainType11Click();

    TTilForm& p = *a.w.TilForm;
    p.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&p));
    QTest::keyClick(&p, Qt::Key_Z, Qt::ControlModifier); // keys from the Tile Window
    EXPECT_EQ(m.Cell(1, 1).TT1, 0);
    QTest::keyClick(&p, Qt::Key_Y, Qt::ControlModifier);
    EXPECT_EQ(m.Cell(1, 1).TT1, 3);
}

// The palette marks the tile a click places from the start; news stays in
// the status bar until the next, shortened to its width with the whole in
// the tooltip, and goes to the Messages panel with message boxes' texts; a
// New Map tells of the road connections it keeps; a closed panel comes back.
TEST(Feedback, MessagesStayAndPanelsComeBack) {
    App a;
    TMapForm& f = a.main();
    const QPoint first = QPoint(30, 25); // palette position 1, where the mark's row runs
    EXPECT_EQ(a.w.TilForm->TilImage->Picture().pixel(first), qRgb(255, 0, 0));

    a.st.map.Cell(2, 2).RC = rbS;
    a.st.map.Cell(2, 3).RC = rbN;
    a.st.map.Cell(9, 9).RC = rbNE; // beyond the new map
    AnswerNewMap(a, "8", "8");
    f.NewMap1Click();
    EXPECT_EQ(f.StatusText(), "The new map keeps 1 road connections of the last one; "
                              "Tools > Clear Road Connections removes them");
    f.resize(300, f.height());
    QCoreApplication::processEvents();
    const QString shown = f.StatusBar->StatusLbl->text();
    EXPECT_TRUE(shown.endsWith("...") && shown.size() < 40) << shown.toStdString();
    EXPECT_EQ(f.StatusBar->StatusLbl->toolTip(), f.StatusText());
    f.About1Click();
    const QStringList log = a.w.messages->toPlainText().split('\n');
    ASSERT_EQ(log.size(), 2);
    EXPECT_TRUE(
        QRegularExpression("^\\d\\d:\\d\\d:\\d\\d  The new map keeps 1 ").match(log[0]).hasMatch())
        << log[0].toStdString();
    EXPECT_TRUE(log[1].contains("About ZEM Map: This is version 0.04 of ZEM Map | "))
        << log[1].toStdString();

    a.w.panels->Of(a.w.TilForm.get())->close();
    EXPECT_FALSE(a.w.TilForm->isVisible());
    QAction* entry = a.w.panels->Menu()->actions().at(0);
    EXPECT_EQ(entry->text(), "Tile Window");
    entry->trigger();
    EXPECT_TRUE(a.w.TilForm->isVisible());
    f.TerrainType21Click(); // the picker's entry and caption follow the kind painted
    EXPECT_EQ(a.w.panels->Menu()->actions().at(2)->text(), "Terrain Type 2");
    EXPECT_EQ(a.w.panels->Of(a.w.TerrainForm.get())->windowTitle(), "Terrain Type 2");
}

// Random clicks in every mode, menu commands, picks, undos and redos on a
// small map: after each the map is the one recorded for the history's place.
TEST(Steps, ThousandsOfRandomActionsAlwaysMatchTheirPlaceInTheHistory) {
    App a;
    TMapForm& f = a.main();
    HexMap& m = a.st.map;
    m.MapWidth = m.MapHeight = 9;
    a.w.SprayForm->SizeEdit->setText("1");
    a.w.SprayForm->DensityUpDown->SetPosition(60);
    std::mt19937 gen(7);
    auto pick = [&](int n) { return int(gen() % unsigned(n)); };
    std::vector<QByteArray> at{Grid(m)};
    for (int i = 0; i < 2000; ++i) {
        const int index = a.w.doc.Steps().Stack().index(), what = pick(16);
        if (what < 8) {
            const QPoint p = At(pick(8), pick(8));
            const int button = pick(4) ? mbLeft : mbRight; // the right one acts on its press
            f.MapImageMouseDown(button, pick(5) == 0, p.x(), p.y());
            if (button == mbLeft) f.MapImageClick();
        } else if (what == 8) {
            (pick(2) ? f.SprayCan1 : f.ToggleRoadConnections1)->trigger();
        } else if (what == 9) {
            f.TerrainType21->trigger();
            a.w.TerrainForm->TerrainLB->setCurrentRow(pick(2));
        } else if (what == 10) {
            (pick(2) ? f.MakeRoadConnections1 : f.ClearRoadConnections1)->trigger();
        } else if (what == 11) {
            AnswerNewMap(a, QString::number(5 + pick(5)), QString::number(5 + pick(5)));
            f.NewMap1->trigger();
        } else if (what == 12) {
            a.w.TilForm->TilImageMouseDown(pick(280), pick(150));
        } else {
            (what < 15 ? f.Undo1 : f.Redo1)->trigger();
        }
        const int now = a.w.doc.Steps().Stack().index();
        if (what < 13 && now != index) { // a new step
            ASSERT_EQ(now, index + 1) << i;
            at.resize(size_t(now));
            at.push_back(Grid(m));
        }
        ASSERT_EQ(Grid(m), at[size_t(now)]) << i;
    }
    while (a.w.doc.Steps().CanUndo())
        f.Undo1->trigger();
    EXPECT_EQ(Grid(m), at[0]);
}

// The converter's two map sizes, from Load Bitmap and the scale, are one
// step with the conversion after them; a save keeps what came before apart,
// and a size after the conversion is a step of its own.
TEST(Steps, TheConvertersSizesUndoAndRedoAsOneStepWithTheConversion) {
    App a;
    TMapForm& f = a.main();
    HexMap& m = a.st.map;
    m.Cell(3, 3).bmp = 7;
    a.ws.Write("a.zep", MapFileText(m));
    ASSERT_TRUE(f.OpenMapFile(a.ws.Path("a.zep")));
    QImage sketch(100, 50, QImage::Format_RGB32);
    sketch.fill(qRgb(0, 0, 255));
    ASSERT_TRUE(sketch.save(a.ws.Path("s.bmp"), "BMP"));
    a.ws.Write("Gmap.txt", "1\n0 0 255\n11 11 11\n");
    TMapConvert& c = *a.w.MapConvert;
    std::vector<QByteArray> at{Grid(m)};
    a.dialogs.Answer(a.ws.Path("s.bmp"));
    c.LoadBtnClick();           // 20x10
    c.UpDown1->SetPosition(10); // 10x5
    at.push_back(Grid(m));
    f.Undo1->trigger();
    EXPECT_EQ(Grid(m), at[0]);
    EXPECT_EQ(f.windowTitle(), "ZEM Map - a.zep");
    f.Redo1->trigger();
    EXPECT_EQ(Grid(m), at[1]);
    a.dialogs.Answer(a.ws.Path("b.zep"));
    f.SaveMap1Click();
    c.UpDown1->SetPosition(5);
    c.ConvertBtnClick();
    EXPECT_EQ(f.Undo1->text(), "Undo Convert");
    at.push_back(Grid(m));
    c.UpDown1->SetPosition(8); // asked, and Discard answered
    f.Undo1->trigger();
    EXPECT_EQ(Grid(m), at[2]);
    f.Undo1->trigger();
    EXPECT_EQ(Grid(m), at[1]);
    EXPECT_EQ(f.windowTitle(), "ZEM Map - b.zep");
    f.Redo1->trigger();
    EXPECT_EQ(Grid(m), at[2]);
    EXPECT_EQ(m.MapWidth * 100 + m.MapHeight, 2010);
}
