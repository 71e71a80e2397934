// What a step of the history holds and what the windows show around it:
// the selection comes back with undo, a failed or new map is one untitled
// step, the converter asks before its first change, the view is no change,
// described labels keep their own texts, every window takes the keys.

#include "TestSupport.h"
#include "map/MapFile.h"
#include "map/Sections.h"
#include "runtime/Errors.h"
#include "windows/TMapConvert.h"
#include "windows/TMapForm.h"
#include "windows/TSprayForm.h"
#include "windows/TStratMapForm.h"
#include "windows/TTerrainForm.h"
#include "windows/TTilForm.h"

#include <QSettings>
#include <QTest>
#include <random>

using namespace zem;
using namespace zem::test;

namespace {
QPoint At(int x, int y) {
    return {45 * x + 20, 50 * y + ((x & 1) ? 25 : 0) + 20};
}
void Click(TMapForm& f, QPoint at, Qt::MouseButton b = Qt::LeftButton) {
    QTest::mouseClick(f.MapImage, b, Qt::NoModifier, at);
}
// Every field of the whole grid and the size.
QByteArray Grid(const HexMap& m) {
    QByteArray all(reinterpret_cast<const char*>(&m.Cell(0, 0)),
                   qsizetype(sizeof(MapCell)) * MaxMapSize * MaxMapSize);
    return all + QByteArray::number(m.MapWidth * 100 + m.MapHeight);
}
} // namespace

TEST(Steps, UndoGivesBackTheSelectionAndAFailedNewMapIsOneUntitledStep) {
    App a;
    TMapForm& f = a.main();
    HexMap& m = a.st.map;
    a.ws.Write("a.zep", MapFileText(m));
    ASSERT_TRUE(f.OpenMapFile(a.ws.Path("a.zep")));
    m.Cell(3, 3).bmp = 7;
    a.st.ed.CurrentSet = 1;
    a.st.ed.CurrentImage = 2;
    Click(f, At(3, 3));
    EXPECT_EQ(a.st.ed.ReplacedTile, 7);
    f.Undo1->trigger(); // the right button puts back what it did before
    EXPECT_EQ(a.st.ed.ReplacedTile, 1);
    f.Redo1->trigger();
    EXPECT_EQ(a.st.ed.ReplacedTile, 7);

    // Spray settings refused after the map was filled: filled, one step.
    const QByteArray before = Grid(m);
    a.st.ed.CurrentSet = 3;
    a.st.ed.CurrentImage = 0;
    a.w.SprayForm->SizeEdit->setText("x");
    f.SprayCan1Click();
    AnswerNewMap(a, "6", "5");
    EXPECT_THROW(f.NewMap1Click(), ConvertError);
    EXPECT_EQ(m.Cell(5, 4).bmp, 1);
    EXPECT_EQ(f.windowTitle(), "ZEM Map - untitled*");
    a.dialogs.Cancel();
    f.Save1->trigger(); // a new map asks for its name; a.zep stays
    EXPECT_EQ(a.dialogs.dialogs.back().Title, "Save Map File");
    f.Undo1->trigger();
    EXPECT_EQ(Grid(m), before);
    EXPECT_EQ(a.st.ed.CurrentSet, 3);
    EXPECT_EQ(a.st.ed.CurrentImage, 0);
}

TEST(Steps, TheConverterAsksBeforeItsFirstChangeAndConvertsInOneStep) {
    App a;
    TMapForm& f = a.main();
    TMapConvert& c = *a.w.MapConvert;
    HexMap& m = a.st.map;
    a.ws.Write("a.zep", MapFileText(m));
    ASSERT_TRUE(f.OpenMapFile(a.ws.Path("a.zep")));
    Click(f, At(2, 2));
    const QByteArray work = Grid(m), workFile = MapFileText(m);
    QImage sketch(100, 50, QImage::Format_RGB32);
    sketch.fill(qRgb(0, 0, 255));
    ASSERT_TRUE(sketch.save(a.ws.Path("s.bmp"), "BMP"));
    a.ws.Write("Gmap.txt", "1\n0 0 255\n11 11 11\n");

    a.dialogs.AnswerSave(SaveAnswer::Cancel); // nothing changes, the sketch stays out
    a.dialogs.Answer(a.ws.Path("s.bmp"));
    c.LoadBtnClick();
    EXPECT_EQ(Grid(m), work);
    EXPECT_EQ(c.CvtImage->size(), QSize(400, 400));

    a.dialogs.AnswerSave(SaveAnswer::Save); // saves the work as it was
    a.dialogs.Answer(a.ws.Path("s.bmp"));
    c.LoadBtnClick();
    EXPECT_EQ(a.ws.Read("a.zep"), workFile);
    c.ConvertBtnClick(); // asked already
    EXPECT_EQ(a.dialogs.questions.size(), 2u);
    EXPECT_EQ(m.MapHeight, 10);
    EXPECT_EQ(m.Cell(19, 9).bmp, 11);
    EXPECT_EQ(f.windowTitle(), "ZEM Map - untitled*");
    f.Undo1->trigger(); // size and conversion together
    EXPECT_EQ(Grid(m), work);
    EXPECT_EQ(f.Undo1->text(), "Undo Place Tile");
}

TEST(Steps, TheViewIsNoPartOfAStep) {
    App a;
    TMapForm& f = a.main();
    HexMap& m = a.st.map;
    a.ws.Write("sec.zep", MapFileText(m, 0, 0, 3, 3));
    m.ViewOrigin = {4, 6};
    f.PasteFromFile1Click();
    a.dialogs.Answer(a.ws.Path("sec.zep"));
    Click(f, At(0, 0)); // the same cells: a view move, not a change
    EXPECT_EQ(m.ViewOrigin, (HexPos{0, 0}));
    EXPECT_TRUE(f.history.IsClean());
    EXPECT_EQ(f.windowTitle(), "ZEM Map");

    AnswerNewMap(a, "80", "80");
    f.NewMap1Click();
    a.st.ed.CurrentImage = 2;
    Click(f, At(3, 3));
    m.ViewOrigin = {40, 40};
    f.Undo1->trigger(); // the view stays where the user put it
    EXPECT_EQ(m.ViewOrigin, (HexPos{40, 40}));
    f.Undo1->trigger(); // unless the map no longer reaches it
    EXPECT_EQ(m.ViewOrigin, (HexPos{12, 12}));
}

TEST(Feedback, DescribedLabelsKeepTheirOwnTextsAndTerrainCodesAreAViewItem) {
    App a;
    TMapForm& f = a.main();
    f.SprayCan1Click();
    a.dialogs.Answer(a.ws.Path("s.zep"));
    f.SaveMap1Click();
    EXPECT_EQ(f.HintLbl->text(), "Sprayer is ON");
    EXPECT_EQ(f.StatusBar->currentMessage(), "Saved s.zep");
    f.SprayCan1Click();

    EXPECT_TRUE(f.TerrainCodes1->isChecked());
    f.TerrainCodes1->trigger();
    EXPECT_FALSE(QSettings().value("terrainCodesWhilePainting").toBool());
    const QImage plain = f.MapImage->Picture().copy();
    f.TerrainType11Click();
    TTerrainForm& t = *a.w.TerrainForm;
    t.TerrainLB->setCurrentRow(2);
    const QString what = f.WhatLbl->text();
    Click(f, At(1, 1));
    EXPECT_EQ(a.st.map.Cell(1, 1).TT1, 2);
    EXPECT_EQ(f.WhatLbl->text(), what);
    EXPECT_EQ(f.MapImage->Picture(), plain);
    // A click on the name already selected gives its prompt again.
    f.SetHint("x");
    QListWidget& lb = *t.TerrainLB;
    QTest::mouseClick(lb.viewport(), Qt::LeftButton, {}, lb.visualItemRect(lb.item(2)).center());
    EXPECT_EQ(f.HintLbl->text(), "Click on tiles to change");
    f.TerrainCodes1->trigger();
    EXPECT_NE(f.MapImage->Picture(), plain);
}

TEST(Steps, RoadCommandsAndTheOverviewShowTheMapAsItIs) {
    App a;
    TMapForm& f = a.main();
    HexMap& m = a.st.map;
    m.Cell(2, 2).TT2 = m.Cell(2, 3).TT2 = 1;
    f.ShowRoadConnections1Click();
    const QImage plain = f.MapImage->Picture().copy();
    f.MakeRoadConnections1Click();
    EXPECT_NE(f.MapImage->Picture(), plain);
    f.ClearRoadConnections1Click();
    EXPECT_EQ(f.MapImage->Picture(), plain);

    f.ShowStrategicMap1Click();
    const QImage& overview = a.w.StratMapForm->StratMapImage->Picture();
    a.st.ed.CurrentSet = 3;
    a.st.ed.CurrentImage = 1;
    Click(f, At(0, 0));
    EXPECT_EQ(overview.pixel(3, 3), TileColour(103));
    AnswerNewMap(a, "30", "30");
    f.NewMap1Click();
    EXPECT_EQ(overview.size(), QSize(240, 244));
}

TEST(Keys, TheMainWindowsKeysWorkFromTheTileWindow) {
    App a;
    TMapForm& f = a.main();
    Click(f, At(2, 2));
    TTilForm& p = *a.w.TilForm;
    p.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&p));
    QTest::keyClick(&p, Qt::Key_Z, Qt::ControlModifier);
    EXPECT_EQ(a.st.map.Cell(2, 2).bmp, 0);
    QTest::keyClick(&p, Qt::Key_Y, Qt::ControlModifier);
    EXPECT_EQ(a.st.map.Cell(2, 2).bmp, 10);
    a.dialogs.Cancel();
    QTest::keyClick(&p, Qt::Key_S, Qt::ControlModifier);
    EXPECT_EQ(a.dialogs.dialogs.size(), 1u);
}

// Random clicks in every mode, menu commands, picks, undos and redos on a
// small map: after every one of them the map is the one recorded for the
// history's place, so each undo and redo gives back exactly its neighbour.
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
        const int index = f.history.Stack().index();
        const int what = pick(16);
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
        const int now = f.history.Stack().index();
        if (what < 13 && now != index) { // a new step
            ASSERT_EQ(now, index + 1) << i;
            at.resize(size_t(now));
            at.push_back(Grid(m));
        }
        ASSERT_EQ(Grid(m), at[size_t(now)]) << i;
    }
    while (f.history.CanUndo())
        f.Undo1->trigger();
    EXPECT_EQ(Grid(m), at[0]);
}
