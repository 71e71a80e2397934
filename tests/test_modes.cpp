#include "TestSupport.h"
#include "map/MapFile.h"
#include "map/Sections.h"
#include "runtime/Errors.h"
#include "windows/TInputForm.h"
#include "windows/TMapConvert.h"
#include "windows/TMapForm.h"
#include "windows/TSprayForm.h"
#include "windows/TStratMapForm.h"
#include "windows/TTerrainForm.h"
#include "windows/TTilForm.h"

#include <QFileInfo>
#include <QTest>

using namespace zem;
using namespace zem::test;

namespace {
void Click(TMapForm& f, Qt::MouseButton b, QPoint at) {
    QTest::mouseClick(f.MapImage, b, Qt::NoModifier, at);
}
// The pixel of hex (x, y) with the view at the origin.
QPoint At(int x, int y) {
    return {45 * x + 20, 50 * y + ((x & 1) ? 25 : 0) + 20};
}
} // namespace

TEST(NewMap, SizesAreClampedAndTheBoxesKeepTheirText) {
    App a;
    HexMap& m = a.st.map;
    EXPECT_EQ(a.w.InputForm->MapxEdit->text(), "44");
    EXPECT_EQ(a.w.InputForm->MapyEdit->text(), "39");
    m.Cell(2, 3).RC = 0x10;
    m.Cell(2, 3).extra[0] = 4;
    m.ViewOrigin = {4, 2};
    AnswerNewMap(a, "0", "3");
    a.main().NewMap1Click();
    EXPECT_EQ(m.MapWidth, 5);
    EXPECT_EQ(m.MapHeight, 5);
    EXPECT_EQ(m.ViewOrigin, (HexPos{0, 0}));
    // Set 2's first tile is selected at start.
    EXPECT_EQ(m.Cell(4, 4).bmp, 10);
    EXPECT_EQ(m.Cell(2, 3).RC, 0x10);
    EXPECT_EQ(m.Cell(2, 3).extra[0], 4);
    EXPECT_EQ(m.Cell(5, 0).bmp, 0);

    AnswerNewMap(a, "100", "100");
    a.main().NewMap1Click();
    EXPECT_EQ(m.MapWidth, 80);
    EXPECT_EQ(a.w.InputForm->MapxEdit->text(), "100");

    AnswerNewMap(a, "7", "7", false);
    a.main().NewMap1Click();
    EXPECT_EQ(m.MapWidth, 80);
    // Closing the dialog by its frame acts as Cancel.
    a.w.InputForm->ModalScript = [](TInputForm& f) { f.close(); };
    a.main().NewMap1Click();
    EXPECT_EQ(m.MapWidth, 80);
    EXPECT_EQ(m.Cell(4, 4).bmp, 10);

    // No tile selected: image 1 of set 1 fills the map and is selected.
    a.st.ed.CurrentImage = 0;
    AnswerNewMap(a, "6", "5");
    a.main().NewMap1Click();
    EXPECT_EQ(m.Cell(5, 4).bmp, 1);
    EXPECT_EQ(a.st.ed.CurrentSet, 1);
    EXPECT_EQ(a.st.ed.CurrentImage, 1);

    // A bad height leaves the new width behind and the dialog open.
    a.w.InputForm->ModalScript = [](TInputForm& f) {
        f.MapxEdit->setText("9");
        f.MapyEdit->setText("x");
        EXPECT_THROW(f.OKBtnClick(), ConvertError);
        f.CancelBtn->click();
    };
    a.main().NewMap1Click();
    EXPECT_EQ(m.MapWidth, 9);
    EXPECT_EQ(m.MapHeight, 5);
}

TEST(NewMap, SprayCanSprinklesTheNewMap) {
    App a;
    a.w.SprayForm->DensityUpDown->SetPosition(100);
    a.w.SprayForm->Pick1Edit->setText("3");
    a.w.SprayForm->Pick2Edit->setText("4");
    a.w.SprayForm->Pick3Edit->setText("5");
    a.main().SprayCan1Click();
    AnswerNewMap(a, "10", "10");
    a.main().NewMap1Click();
    for (int x = 0; x < 10; ++x)
        for (int y = 0; y < 10; ++y) {
            const int b = a.st.map.Cell(x, y).bmp;
            ASSERT_TRUE(b >= 3 && b <= 5) << b;
        }
}

TEST(MapFiles, SaveAndLoadThroughTheMenu) {
    App a;
    HexMap& m = a.st.map;
    m.Cell(3, 4) = MapCell{.bmp = 5, .TT1 = 200, .RC = -3};
    m.Cell(3, 4).extra[23] = 1234;
    const QString path = a.ws.Path("my.zep");
    a.dialogs.Answer(path);
    a.main().SaveMap1Click();
    ASSERT_EQ(a.dialogs.dialogs.size(), 1u);
    EXPECT_EQ(a.dialogs.dialogs[0].Title, "Save Map File");
    EXPECT_EQ(a.dialogs.dialogs[0].DefaultExt, "zep");
    EXPECT_EQ(a.dialogs.dialogs[0].Filter, "ZEM map files (*.zep)|*.zep|All files (*.*)|*.*");
    EXPECT_EQ(a.ws.Read("my.zep"), MapFileText(m));

    const HexMap saved = m;
    m.Cell(3, 4) = MapCell{};
    m.MapWidth = 7;
    m.ViewOrigin = {2, 2};
    a.dialogs.Answer(path);
    a.main().LoadMap1Click();
    EXPECT_EQ(a.dialogs.dialogs[1].Title, "Load a Map File");
    EXPECT_EQ(m.MapWidth, 20);
    EXPECT_EQ(m.ViewOrigin, (HexPos{0, 0}));
    EXPECT_EQ(m.Cell(3, 4), saved.Cell(3, 4));
    EXPECT_EQ(a.main().StatusText(), "Loaded " + QFileInfo(path).fileName());

    // A missing file: nothing happens and nothing is said.
    a.main().ShowStatus("before");
    a.dialogs.Answer(a.ws.Path("none.zep"));
    a.main().LoadMap1Click();
    a.dialogs.Cancel();
    a.main().LoadMap1Click();
    EXPECT_TRUE(a.dialogs.messages.empty());
    EXPECT_EQ(a.main().StatusText(), "before");

    // A bad file is refused whole with a message naming it.
    const HexMap before = m;
    m.ViewOrigin = {2, 2};
    a.ws.Write("bad.zep", "3\n1\n" + QByteArray("1 ").repeated(32) + "\n");
    a.dialogs.Answer(a.ws.Path("bad.zep"));
    a.main().LoadMap1Click();
    ASSERT_EQ(a.dialogs.messages.size(), 1u);
    EXPECT_EQ(a.dialogs.messages[0].second, "Error");
    EXPECT_TRUE(a.dialogs.messages[0].first.contains("bad.zep"));
    EXPECT_EQ(m.MapWidth, 20);
    EXPECT_EQ(m.ViewOrigin, (HexPos{2, 2}));
    EXPECT_EQ(m.Cell(0, 0), before.Cell(0, 0));

    // A file that cannot be made: the old one stays, the failure is said.
    a.ws.Write("plain", "x");
    a.dialogs.Answer(a.ws.Path("plain/x.zep"));
    a.main().SaveMap1Click();
    ASSERT_EQ(a.dialogs.messages.size(), 2u);
    EXPECT_EQ(a.dialogs.messages[1].first, "Couldn't open file.");
}

TEST(Sections, CopyAndPasteByClicks) {
    App a;
    TMapForm& f = a.main();
    HexMap& m = a.st.map;
    for (int x = 0; x < 20; ++x)
        for (int y = 0; y < 20; ++y)
            m.Cell(x, y).bmp = std::int16_t(x * 20 + y);
    f.CopyMapToFile1Click();
    EXPECT_EQ(f.HintLbl->text(), "Click on Top-Left corner");
    Click(f, Qt::LeftButton, At(1, 1));
    EXPECT_EQ(f.HintLbl->text(), "Click on Bottom-Right Tile");
    a.dialogs.Answer(a.ws.Path("sec.zep"));
    Click(f, Qt::RightButton, At(2, 3)); // a right click counts too
    EXPECT_EQ(a.st.ed.Mode, ModeTiles);
    EXPECT_EQ(f.HintLbl->text(), "");
    EXPECT_EQ(a.dialogs.dialogs.back().Title, "Save Section to Map File");
    QByteArray expected;
    ASSERT_TRUE(SectionText(m, {1, 1}, {2, 3}, expected));
    EXPECT_EQ(a.ws.Read("sec.zep"), expected);

    f.CopyMapToFile1Click();
    Click(f, Qt::LeftButton, At(5, 5));
    Click(f, Qt::LeftButton, At(5, 9));
    EXPECT_EQ(a.dialogs.messages.back(),
              std::make_pair(QString("Invalid Section Size"), QString("Error")));
    EXPECT_EQ(a.st.ed.Mode, ModeTiles);

    f.PasteFromFile1Click();
    EXPECT_EQ(f.HintLbl->text(), "Paste At (Top-Left)");
    m.ViewOrigin = {2, 0};
    a.dialogs.Answer(a.ws.Path("sec.zep"));
    Click(f, Qt::LeftButton, At(4, 6)); // map hex (6, 6)
    EXPECT_EQ(a.dialogs.dialogs.back().Title, "Paste From Map File");
    EXPECT_EQ(m.Cell(6, 6).bmp, 1 * 20 + 1);
    EXPECT_EQ(m.Cell(7, 8).bmp, 2 * 20 + 3);
    EXPECT_EQ(m.ViewOrigin, (HexPos{0, 0}));
    EXPECT_EQ(a.st.ed.Mode, ModeTiles);

    // A section file shorter than its header says changes nothing.
    a.ws.Write("short.zep", "2\n2\n" + QByteArray("9 ").repeated(32) + "\n");
    f.PasteFromFile1Click();
    a.dialogs.Answer(a.ws.Path("short.zep"));
    Click(f, Qt::LeftButton, At(0, 0));
    EXPECT_EQ(m.Cell(0, 0).bmp, 0);
    EXPECT_TRUE(a.dialogs.messages.back().first.contains("short.zep"));
}

TEST(Modes, RoadPairsTerrainPaintingAndCancelModes) {
    App a;
    TMapForm& f = a.main();
    HexMap& m = a.st.map;
    f.ToggleRoadConnections1Click();
    EXPECT_EQ(f.HintLbl->text(), "Click on tile 1");
    Click(f, Qt::LeftButton, At(2, 5));
    EXPECT_EQ(f.HintLbl->text(), "Click on tile 2");
    Click(f, Qt::LeftButton, At(3, 4));
    EXPECT_EQ(f.HintLbl->text(), "Click on tile 1");
    EXPECT_EQ(m.Cell(2, 5).RC, 0x02);
    EXPECT_EQ(m.Cell(3, 4).RC, 0x20);
    EXPECT_EQ(m.Cell(2, 5).bmp, 0); // no tile was placed

    // A section copy takes the clicks; afterwards the road mode is back.
    Click(f, Qt::LeftButton, At(2, 5));
    f.CopyMapToFile1Click();
    Click(f, Qt::LeftButton, At(1, 1));
    a.dialogs.Cancel();
    Click(f, Qt::LeftButton, At(3, 3));
    EXPECT_EQ(a.st.ed.ClickCount, 0);
    EXPECT_EQ(f.HintLbl->text(), "");
    Click(f, Qt::LeftButton, At(2, 5));
    EXPECT_EQ(f.HintLbl->text(), "Click on tile 2");

    // Terrain type 1 switches the road mode off first.
    f.TerrainType11Click();
    EXPECT_FALSE(f.ToggleRoadConnections1->isChecked());
    EXPECT_TRUE(f.TerrainType11->isChecked());
    EXPECT_EQ(f.HintLbl->text(), "Select 1st Terrain Type");
    QListWidget* lb = a.w.TerrainForm->TerrainLB;
    EXPECT_EQ(lb->count(), 4);
    EXPECT_EQ(lb->item(3)->text(), "Town");
    EXPECT_EQ(lb->currentRow(), -1);
    EXPECT_TRUE(a.w.TerrainForm->isVisible());
    Click(f, Qt::LeftButton, At(4, 4));
    EXPECT_EQ(m.Cell(4, 4).TT1, 0);
    lb->setCurrentRow(0);
    EXPECT_EQ(f.HintLbl->text(), "Click on tiles to change");
    Click(f, Qt::LeftButton, At(4, 4));
    EXPECT_EQ(m.Cell(4, 4).TT1, 0);
    lb->setCurrentRow(2);
    Click(f, Qt::LeftButton, At(4, 4));
    EXPECT_EQ(m.Cell(4, 4).TT1, 2);
    EXPECT_EQ(m.Cell(4, 4).bmp, 0);

    // Straight on to type 2.
    f.TerrainType21Click();
    EXPECT_FALSE(f.TerrainType11->isChecked());
    EXPECT_TRUE(f.TerrainType21->isChecked());
    EXPECT_EQ(a.w.TerrainForm->windowTitle(), "Terrain Type 2");
    EXPECT_EQ(lb->count(), 2);
    EXPECT_EQ(a.st.ed.Mode, ModePaintTT2);
    lb->setCurrentRow(1);
    Click(f, Qt::RightButton, At(4, 4));
    EXPECT_EQ(m.Cell(4, 4).TT2, 1);

    // The spray can hides the picker.
    f.SprayCan1Click();
    EXPECT_FALSE(f.TerrainType21->isChecked());
    EXPECT_FALSE(a.w.TerrainForm->isVisible());
    EXPECT_EQ(a.st.ed.Mode, ModeSpray);
    EXPECT_EQ(f.HintLbl->text(), "Sprayer is ON");
    f.SprayCan1Click();
    EXPECT_EQ(a.st.ed.Mode, ModeTiles);
    EXPECT_EQ(f.HintLbl->text(), "");
}

TEST(Modes, SprayClicksAndSettings) {
    App a;
    TMapForm& f = a.main();
    TSprayForm& s = *a.w.SprayForm;
    EXPECT_EQ(s.SizeEdit->text(), "3");
    EXPECT_EQ(s.DensityUpDown->Position(), 25);
    EXPECT_EQ(s.Pick3Edit->text(), "3");
    a.st.rng = std::make_unique<ScriptedRandom>(std::initializer_list<int>{0, 2});
    s.SizeEdit->setText("0");
    f.SprayCan1Click();
    Click(f, Qt::LeftButton, At(5, 5));
    EXPECT_EQ(a.st.map.Cell(5, 5).bmp, 3);

    s.SizeEdit->setText("x");
    EXPECT_THROW(f.MapImageClick(), ConvertError);

    // "Set 2" with tile 5 of set 1 selected.
    a.w.TilForm->SetButtons[0]->click();
    QTest::mouseClick(a.w.TilForm->TilImage, Qt::LeftButton, Qt::NoModifier, {200, 10});
    ASSERT_EQ(a.st.ed.CurrentImage, 5);
    s.Set2BtnClick();
    EXPECT_EQ(s.Pick2Edit->text(), "5");
    EXPECT_EQ(s.Images[1]->Picture().pixel(30, 25), TileColour(5));
    s.Pick1Edit->setText("700"); // no tile: its preview is left alone
    s.Pick3Edit->setText("12");
    s.FormActivate();
    EXPECT_EQ(s.Images[2]->Picture().pixel(30, 25), TileColour(12));
    EXPECT_EQ(s.Images[0]->Picture().pixel(30, 25), qRgb(255, 160, 160));
}

TEST(Converter, LoadConvertAndReturn) {
    App a;
    TMapConvert& c = *a.w.MapConvert;
    HexMap& m = a.st.map;
    EXPECT_EQ(c.MapNumEdit->text(), "67");
    EXPECT_EQ(c.ScaleEdit->text(), "5");
    c.UpDown1->SetPosition(10); // before any sketch: the 400 x 400 design size
    EXPECT_EQ(m.MapWidth, 40);
    EXPECT_EQ(c.SizeLbl->text(), "Map Size40x40");

    QImage sketch(440, 390, QImage::Format_RGB32);
    sketch.fill(qRgb(0, 0, 255));
    ASSERT_TRUE(sketch.save(a.ws.Path("s.bmp"), "BMP"));
    a.dialogs.Answer(a.ws.Path("s.bmp"));
    c.LoadBtnClick();
    EXPECT_EQ(a.dialogs.dialogs.back().Filter, "Windows Bitmap (*.bmp)| *.bmp");
    EXPECT_EQ(c.SizeLbl->text(), "Map Size44x39");
    EXPECT_EQ(m.MapWidth, 44);
    EXPECT_EQ(c.Memo1->toPlainText(), "Now Convert to map format");

    c.ConvertBtnClick(); // no Gmap.txt: nothing, silently
    EXPECT_EQ(m.Cell(0, 0).bmp, 0);
    EXPECT_TRUE(a.dialogs.messages.empty());
    a.ws.Write("Gmap.txt", "2\n0 0 255\n0 255 0\n11 11 11\n1 1 1\n");
    c.ConvertBtnClick();
    EXPECT_EQ(m.Cell(43, 38).bmp, 11);
    EXPECT_EQ(m.Cell(44, 38).bmp, 0);
    EXPECT_EQ(c.Memo1->toPlainText(), "Now Return to Map Screen and Save");

    a.ws.Write("Gmap.txt", "2\n0 0 255\n");
    c.ConvertBtnClick();
    ASSERT_EQ(a.dialogs.messages.size(), 1u);
    EXPECT_EQ(a.dialogs.messages[0].second, "Error");
    EXPECT_TRUE(a.dialogs.messages[0].first.contains("Gmap.txt"));

    // An unreadable bitmap: the error escapes, nothing changes.
    a.ws.Write("broken.bmp", "not a bitmap");
    a.dialogs.Answer(a.ws.Path("broken.bmp"));
    EXPECT_THROW(c.LoadBtnClick(), FileError);
    EXPECT_EQ(m.MapWidth, 44);

    // Height 0: Convert changes no cell but moves the prompt on.
    a.ws.Write("Gmap.txt", "2\n0 0 255\n0 255 0\n11 11 11\n1 1 1\n");
    QImage low(100, 4, QImage::Format_RGB32);
    low.fill(Qt::green);
    low.save(a.ws.Path("low.bmp"), "BMP");
    a.dialogs.Answer(a.ws.Path("low.bmp"));
    c.LoadBtnClick();
    EXPECT_EQ(m.MapHeight, 0);
    c.ConvertBtnClick();
    EXPECT_EQ(c.Memo1->toPlainText(), "Now Return to Map Screen and Save");
    low = QImage(4, 100, QImage::Format_RGB32);
    low.save(a.ws.Path("narrow.bmp"), "BMP");
    a.dialogs.Answer(a.ws.Path("narrow.bmp"));
    c.LoadBtnClick();
    c.ConvertBtnClick();
    EXPECT_EQ(c.Memo1->toPlainText(), "Now Convert to map format");
}

TEST(Converter, FixTerrainFromTheMenu) {
    App a;
    HexMap& m = a.st.map;
    for (int x = 0; x < 20; ++x)
        for (int y = 0; y < 20; ++y)
            m.Cell(x, y).bmp = 1;
    m.Cell(5, 4).bmp = 10;
    a.ws.Write("t.txt", "1 0 0 0 0 0 0 0\n2 2 2\nOOOXOO 20 20 20\n");
    a.dialogs.Answer(a.ws.Path("t.txt"));
    a.main().GenerateTerrain1Click();
    EXPECT_EQ(a.dialogs.dialogs.back().Title, "Load Terrain Template File");
    EXPECT_EQ(a.dialogs.dialogs.back().Filter, "Text files (*.txt)| *.txt| All files | *.*");
    EXPECT_EQ(m.Cell(4, 4).bmp, 20); // (5, 4) is its lower right
    EXPECT_EQ(m.Cell(4, 4).TT1, 3);

    a.ws.Write("bad.txt", "1 2\n");
    a.dialogs.Answer(a.ws.Path("bad.txt"));
    a.main().GenerateTerrain1Click();
    ASSERT_EQ(a.dialogs.messages.size(), 1u);
    EXPECT_EQ(a.st.tmpl.patterns.size(), 1u); // the previous template stays
}

TEST(Export, MenuRefusesWrongSizesAndBadNumbers) {
    App a;
    a.st.workDir = QDir(a.ws.Path("out"));
    a.ws.Dir().mkpath("out");
    for (QSize s : {QSize(44, 40), QSize(45, 39)}) {
        a.st.map.MapWidth = s.width();
        a.st.map.MapHeight = s.height();
        a.main().PanzerGeneral21Click();
        EXPECT_EQ(a.dialogs.messages.back(),
                  std::make_pair(QString("Map must be 44x39"), QString("Error")));
    }
    a.w.MapConvert->MapNumEdit->setText("5x");
    EXPECT_THROW(a.main().PanzerGeneral21Click(), ConvertError);
    a.st.map.MapWidth = 44;
    a.w.MapConvert->MapNumEdit->setText("5");
    a.main().PanzerGeneral21Click();
    EXPECT_EQ(a.st.ExportMapNumber, 5);
    EXPECT_EQ(QDir(a.ws.Path("out")).entryList(QDir::Files).size(), 13);
    EXPECT_EQ(a.dialogs.messages.size(), 2u);
    EXPECT_EQ(a.main().StatusText(), "Exported Map5.map and 12 pictures to " +
                                         QDir::toNativeSeparators(a.st.workDir.absolutePath()));
}

TEST(StratMap, ShowDrawsAndClickMovesTheView) {
    App a;
    HexMap& m = a.st.map;
    m.Cell(1, 0).TT1 = 2;
    a.main().ShowStrategicMap1Click();
    TStratMapForm& s = *a.w.StratMapForm;
    EXPECT_EQ(s.StratMapImage->Picture().size(), QSize(160, 164));
    EXPECT_EQ(s.StratMapImage->Picture().pixel(10, 6), TileColour(102));
    EXPECT_EQ(a.st.StratIL.Count(), 3);
    m.MapWidth = m.MapHeight = 80;
    QTest::mouseClick(s.StratMapImage, Qt::LeftButton, Qt::NoModifier, {100, 60});
    EXPECT_EQ(m.ViewOrigin, (HexPos{6, 2}));
    // Activation draws over the picture without clearing it.
    m.Cell(1, 0).TT1 = 0;
    s.FormActivate();
    EXPECT_EQ(s.StratMapImage->Picture().pixel(10, 6), TileColour(102));
}
