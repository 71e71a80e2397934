// The main window's files and history: the title, the question before
// unsaved work is lost, Save, the recent maps, a map named at start, undo
// and redo from the menu; and the mended faults of the palette, the terrain
// picker, the terrain fixing and the save dialogs.

#include "TestSupport.h"
#include "map/MapFile.h"
#include "windows/TMapConvert.h"
#include "windows/TMapForm.h"
#include "windows/TTerrainForm.h"
#include "windows/TTilForm.h"

#include <QCloseEvent>
#include <QSettings>
#include <QTest>
#include <unistd.h>

using namespace zem;
using namespace zem::test;

namespace {
QPoint At(int x, int y) {
    return {45 * x + 20, 50 * y + ((x & 1) ? 25 : 0) + 20};
}
void Click(TMapForm& f, QPoint at, Qt::KeyboardModifiers mods = Qt::NoModifier) {
    QTest::mouseClick(f.MapImage, Qt::LeftButton, mods, at);
}
} // namespace

TEST(Files, TitleFollowsChangesSavesAndLoads) {
    App a;
    TMapForm& f = a.main();
    EXPECT_EQ(f.windowTitle(), "ZEM Map");
    Click(f, At(2, 2));
    EXPECT_EQ(f.windowTitle(), "ZEM Map - untitled*");
    f.Undo1->trigger();
    EXPECT_EQ(f.windowTitle(), "ZEM Map");
    EXPECT_EQ(a.st.map.Cell(2, 2).bmp, 0);
    f.Redo1->trigger();
    EXPECT_EQ(a.st.map.Cell(2, 2).bmp, 10);
    EXPECT_EQ(f.Undo1->text(), "Undo Place Tile");
    EXPECT_FALSE(f.Redo1->isEnabled());

    // Save with no file yet shows Save Map's dialog.
    a.dialogs.Answer(a.ws.Path("island.zep"));
    f.Save1->trigger();
    ASSERT_EQ(a.dialogs.dialogs.size(), 1u);
    EXPECT_EQ(a.dialogs.dialogs[0].Title, "Save Map File");
    EXPECT_TRUE(a.dialogs.dialogs[0].Save);
    EXPECT_EQ(f.windowTitle(), "ZEM Map - island.zep");
    EXPECT_EQ(f.StatusText(), "Saved island.zep");

    // Later saves go to the same file without a dialog.
    Click(f, At(3, 3));
    EXPECT_EQ(f.windowTitle(), "ZEM Map - island.zep*");
    f.Save1->trigger();
    EXPECT_EQ(a.dialogs.dialogs.size(), 1u);
    EXPECT_EQ(a.ws.Read("island.zep"), MapFileText(a.st.map));
    EXPECT_EQ(f.windowTitle(), "ZEM Map - island.zep");
    // Save Map's dialog offers the current file.
    a.dialogs.Cancel();
    f.SaveMap1->trigger();
    EXPECT_TRUE(a.dialogs.dialogs.back().FileName.endsWith("island.zep"));

    // Undo back past the save point is a change again.
    f.Undo1->trigger();
    EXPECT_EQ(f.windowTitle(), "ZEM Map - island.zep*");
    f.Redo1->trigger();
    EXPECT_EQ(f.windowTitle(), "ZEM Map - island.zep");

    // The recent list names the file, newest first.
    const QStringList recent = QSettings().value("recentMaps").toStringList();
    ASSERT_FALSE(recent.isEmpty());
    EXPECT_TRUE(recent.first().endsWith("island.zep"));
}

TEST(Files, UnsavedChangesAskFirstOnLoadNewAndClose) {
    App a;
    TMapForm& f = a.main();
    a.ws.Write("other.zep", MapFileText(HexMap{}));
    Click(f, At(1, 1));

    // Cancel: nothing happens, not even the file dialog.
    a.dialogs.AnswerSave(SaveAnswer::Cancel);
    f.LoadMap1->trigger();
    EXPECT_EQ(a.dialogs.questions.size(), 1u);
    EXPECT_EQ(a.st.map.Cell(1, 1).bmp, 10);
    EXPECT_TRUE(a.dialogs.dialogs.empty());

    a.dialogs.AnswerSave(SaveAnswer::Cancel);
    QCloseEvent close;
    QCoreApplication::sendEvent(&f, &close);
    EXPECT_FALSE(close.isAccepted());
    EXPECT_TRUE(f.isVisible());

    a.dialogs.AnswerSave(SaveAnswer::Cancel);
    f.NewMap1->trigger();
    EXPECT_EQ(a.st.map.MapWidth, 20);

    // Save: the dialog, then the load goes ahead.
    a.dialogs.AnswerSave(SaveAnswer::Save);
    a.dialogs.Answer(a.ws.Path("kept.zep"));
    a.dialogs.Answer(a.ws.Path("other.zep"));
    f.LoadMap1->trigger();
    EXPECT_TRUE(a.ws.Read("kept.zep").contains("\n 10 "));
    EXPECT_EQ(a.st.map.Cell(1, 1).bmp, 0);
    EXPECT_EQ(f.windowTitle(), "ZEM Map - other.zep");
    EXPECT_FALSE(f.Undo1->isEnabled() && a.w.doc.Steps().CanUndo()); // a fresh history

    // Discard: the change is dropped; a clean map asks nothing.
    Click(f, At(1, 1));
    const size_t asked = a.dialogs.questions.size();
    a.dialogs.AnswerSave(SaveAnswer::Discard);
    a.dialogs.Answer(a.ws.Path("other.zep"));
    f.LoadMap1->trigger();
    EXPECT_EQ(a.dialogs.questions.size(), asked + 1);
    EXPECT_EQ(a.st.map.Cell(1, 1).bmp, 0);
    a.dialogs.Answer(a.ws.Path("other.zep"));
    f.LoadMap1->trigger();
    EXPECT_EQ(a.dialogs.questions.size(), asked + 1);
}

TEST(Files, AMapNamedAtStartOpens) {
    Workspace ws;
    WriteStandardWorkspace(ws);
    HexMap m;
    m.MapWidth = 6;
    m.MapHeight = 5;
    m.Cell(5, 4).bmp = 12;
    ws.Write("start.zep", MapFileText(m));
    ws.Write("bad.zep", "3\n");
    for (const QString& name : {QString("start.zep"), QString("bad.zep")}) {
        ZemState st;
        st.workDir = ws.Dir();
        ScriptedDialogs dialogs;
        Windows w(st, dialogs);
        w.MapForm->StartFile = ws.Path(name);
        w.MapForm->show();
        w.MapForm->FormActivate();
        if (name == "start.zep") {
            EXPECT_EQ(st.map.MapWidth, 6);
            EXPECT_EQ(st.map.Cell(5, 4).bmp, 12);
            EXPECT_EQ(w.MapForm->windowTitle(), "ZEM Map - start.zep");
            EXPECT_TRUE(dialogs.messages.empty());
        } else {
            // The usual Error, and the default map.
            ASSERT_EQ(dialogs.messages.size(), 1u);
            EXPECT_EQ(dialogs.messages[0].second, "Error");
            EXPECT_TRUE(dialogs.messages[0].first.contains("bad.zep"));
            EXPECT_EQ(st.map.MapWidth, 20);
            EXPECT_EQ(w.MapForm->windowTitle(), "ZEM Map");
        }
    }
}

TEST(Palette, FollowsAPickedTileAndItsButtonsFollowTheSelection) {
    App a;
    TMapForm& f = a.main();
    TTilForm& p = *a.w.TilForm;
    p.FormActivate();             // the palette shows set 2
    a.st.map.Cell(4, 4).bmp = 20; // set 3
    Click(f, At(4, 4), Qt::ShiftModifier);
    EXPECT_EQ(a.st.ed.CurrentSet, 3);
    EXPECT_TRUE(f.StatusText().contains("bmp20"));
    EXPECT_EQ(p.WhereLbl->text(), "?");
    // Set 3 shows, its button checked and the tile marked, as if chosen there.
    EXPECT_EQ(p.ItemIndex(), 2);
    const QImage shown = p.TilImage->Picture().copy();
    p.DrawTileSet(3);
    p.MarkPaletteTile(1, 1);
    EXPECT_EQ(p.TilImage->Picture(), shown);
    // Set 2's button is another set now: it switches and leaves no tile.
    p.SetButtons[1]->click();
    EXPECT_EQ(a.st.ed.CurrentSet, 2);
    EXPECT_EQ(a.st.ed.CurrentImage, 0);
    Click(f, At(6, 6));
    EXPECT_EQ(a.st.map.Cell(6, 6).bmp, 0);
    // The button of the selected set changes nothing; after a tile of no
    // set the shown set's button chooses that set.
    p.TilImageMouseDown(30, 10);
    p.SetButtons[1]->click();
    EXPECT_EQ(a.st.ed.CurrentImage, 1);
    a.st.map.Cell(5, 5).bmp = 300;
    Click(f, At(5, 5), Qt::ShiftModifier);
    p.SetButtons[1]->click();
    EXPECT_EQ(a.st.ed.CurrentSet, 2);
}

TEST(TerrainPicker, NothingIsChosenUntilTheUserChooses) {
    App a;
    TMapForm& f = a.main();
    f.TerrainType11Click();
    TTerrainForm& t = *a.w.TerrainForm;
    t.show();
    t.activateWindow();
    t.TerrainLB->setFocus();
    QCoreApplication::processEvents();
    EXPECT_EQ(t.SelectedCode(), -1);
    EXPECT_EQ(f.HintLbl->text(), "Select 1st Terrain Type");
    Click(f, At(4, 4));
    EXPECT_EQ(a.st.map.Cell(4, 4).TT1, 0);
    t.TerrainLB->setCurrentRow(3);
    EXPECT_EQ(f.HintLbl->text(), "Click on tiles to change");
    Click(f, At(4, 4));
    EXPECT_EQ(a.st.map.Cell(4, 4).TT1, 3);
}

TEST(TerrainFixing, ARefusedTemplateLeavesTheMapAlone) {
    App a;
    // A template that works, then one whose first line is short.
    a.ws.Write("good.txt", "1 2 3 4 5 6 7 8\n1 3 1\nXXXXXX 20 20 20\n");
    a.ws.Write("bad.txt", "1 2 3\n1 1 1\n");
    a.st.map.MapWidth = a.st.map.MapHeight = 5;
    for (int x = 0; x < 5; ++x)
        for (int y = 0; y < 5; ++y)
            a.st.map.Cell(x, y).bmp = 1;
    a.dialogs.Answer(a.ws.Path("bad.txt"));
    a.main().GenerateTerrain1Click();
    ASSERT_EQ(a.dialogs.messages.size(), 1u);
    EXPECT_TRUE(a.dialogs.messages[0].first.contains("bad.txt"));
    EXPECT_EQ(a.st.map.Cell(2, 2).bmp, 1);
    EXPECT_TRUE(a.w.doc.IsClean());
    // A template that cannot be opened runs the scan with the kept one.
    a.dialogs.Answer(a.ws.Path("good.txt"));
    a.main().GenerateTerrain1Click();
    EXPECT_EQ(a.st.map.Cell(2, 2).bmp, 20);
    a.st.map.Cell(2, 2).bmp = 1;
    a.dialogs.Answer(a.ws.Path("missing.txt"));
    a.main().GenerateTerrain1Click();
    EXPECT_EQ(a.st.map.Cell(2, 2).bmp, 20);
    // Undo takes the fixing back.
    a.main().Undo1->trigger();
    EXPECT_EQ(a.st.map.Cell(2, 2).bmp, 1);
}

TEST(MapFiles, SavingIntoAFolderThatTakesNoTemporaryFile) {
    if (geteuid() == 0) GTEST_SKIP() << "root writes into any folder";
    Workspace ws;
    ws.Dir().mkdir("locked");
    const QString path = ws.Path("locked/map.zep");
    ws.Write("locked/map.zep", "old");
    QFile::setPermissions(ws.Path("locked"), QFile::ReadOwner | QFile::ExeOwner);
    EXPECT_TRUE(SaveFileSafely(path, "new"));
    QFile::setPermissions(ws.Path("locked"),
                          QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    EXPECT_EQ(ws.Read("locked/map.zep"), "new");
}

// Save itself, or Save answered in the question before New Map, Load Map
// or Quit, and that save failing or cancelled: the map, its title and its
// name stay, the command stops and nothing is written; for a named map
// whose folder went away and for an untitled one, whose Save offers no file.
TEST(Files, AFailedSaveKeepsTheMapAndStopsTheCommandThatAsked) {
    App a;
    TMapForm& f = a.main();
    a.ws.Dir().mkpath("stick");
    const QString named = a.ws.Path("stick/a.zep");
    a.dialogs.Answer(named);
    f.SaveMap1Click();
    Click(f, At(2, 2));
    auto closed = [&] {
        QCloseEvent close;
        QCoreApplication::sendEvent(&f, &close);
        return close.isAccepted();
    };
    const std::function<void()> commands[] = {[&] { f.Save1Click(); }, [&] { f.NewMap1Click(); },
                                              [&] { f.LoadMap1Click(); },
                                              [&] { EXPECT_FALSE(closed()); }};
    const std::pair<QString, QString> refused{"Couldn't open file.", "Error"};
    std::vector<std::pair<QString, QString>> messages;
    QByteArray work;
    for (const QString& name : {named, QString()}) {
        const QString title = name.isEmpty() ? "ZEM Map - untitled*" : "ZEM Map - a.zep*";
        work = MapFileText(a.st.map);
        const QByteArray saved = a.ws.Read("stick/a.zep");
        a.ws.Dir().rename("stick", "gone");
        for (const auto& command : commands)
            for (const bool cancel : {false, true}) {
                if (&command != commands) a.dialogs.AnswerSave(SaveAnswer::Save);
                if (name.isEmpty())
                    cancel ? a.dialogs.Cancel() : a.dialogs.Answer(named);
                else if (cancel)
                    continue;
                const size_t ran = a.dialogs.dialogs.size();
                command();
                if (!cancel) messages.push_back(refused);
                EXPECT_EQ(a.dialogs.messages, messages);
                EXPECT_EQ(a.dialogs.dialogs.size(), ran + name.isEmpty());
                EXPECT_EQ(MapFileText(a.st.map), work);
                EXPECT_EQ(f.windowTitle(), title);
                EXPECT_EQ(a.w.doc.FileName(), name);
            }
        a.ws.Dir().rename("gone", "stick");
        a.dialogs.Cancel();
        f.SaveMap1Click(); // cancelled: nothing is written
        EXPECT_EQ(a.ws.Read("stick/a.zep"), saved);
        if (!name.isEmpty()) {
            f.Save1Click(); // the folder back, Save writes the map
            AnswerNewMap(a, "5", "6");
            f.NewMap1Click();
            Click(f, At(2, 2));
        }
    }
    // Saved at last, New Map goes on.
    a.dialogs.AnswerSave(SaveAnswer::Save);
    a.dialogs.Answer(a.ws.Path("c.zep"));
    AnswerNewMap(a, "7", "6");
    f.NewMap1Click();
    EXPECT_EQ(a.ws.Read("c.zep"), work);
    EXPECT_EQ(a.st.map.MapWidth, 7);
}
