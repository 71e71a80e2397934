// What a step of the history holds and what the windows show around it.

#include "TestSupport.h"
#include "map/MapFile.h"
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
    f.Undo1->trigger(); // the view stays where the map still holds it
    EXPECT_EQ(Grid(m), work);
    EXPECT_EQ(a.st.ed.CurrentImage, 0);
    EXPECT_EQ(m.ViewOrigin, (HexPos{12, 12}));

    a.ws.Write("sec.zep", MapFileText(m, 12, 12, 15, 15)); // pasted where it came from
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
    EXPECT_EQ(f.StatusBar->currentMessage(), "Saved s.zep");
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
        const int index = f.history.Stack().index(), what = pick(16);
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
