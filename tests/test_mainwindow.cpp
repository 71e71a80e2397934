#include "TestSupport.h"
#include "windows/TMapForm.h"
#include "windows/TTilForm.h"

#include <QApplication>
#include <QMenuBar>
#include <QTest>

using namespace zem;
using namespace zem::test;

TEST(MainWindow, StartUpOrderAndFirstActivation) {
    App a;
    EXPECT_EQ(a.w.created, (QStringList{"ZEM Map", "Tile Window", "New Map", "Map Converter",
                                        "Strategic Map", "Terrain Type 1", "Sprayer Setup"}));
    EXPECT_EQ(a.st.map.MapWidth, 20);
    EXPECT_EQ(a.st.map.MapHeight, 20);
    EXPECT_FALSE(a.main().FirstActivation);
    EXPECT_EQ(a.st.cat.SetSize[1], 8);
    EXPECT_EQ(a.st.images[1].Count(), 8);
    EXPECT_TRUE(a.w.TilForm->isVisible());
    EXPECT_EQ(a.w.TilForm->SetButtons[0]->text(), "S1");
    EXPECT_EQ(a.w.TilForm->SetButtons[11]->text(), "S12");
    EXPECT_EQ(a.w.TilForm->ItemIndex(), 1);
    EXPECT_EQ(a.w.TilForm->TilImage->size(), QSize(285, 475));

    // A second activation loads nothing.
    a.ws.WriteMapset("1 4 0 0 0 0 0 0 0\n");
    a.main().FormActivate();
    EXPECT_EQ(a.st.cat.SetSize[4], 0);
    EXPECT_EQ(a.st.images[1].Count(), 8);

    // The start map: tile 0 everywhere, drawn as background and frames.
    const QImage& pic = a.main().MapImage->Picture();
    EXPECT_EQ(pic.size(), QSize(900, 800));
    EXPECT_EQ(pic.pixel(5, 5), Green);
    EXPECT_EQ(pic.pixel(20, 50), FrameColour);
}

TEST(MainWindow, MissingCatalogueEndsWithExitCode1) {
    Workspace ws;
    ZemState st;
    st.workDir = ws.Dir();
    ScriptedDialogs d;
    Windows w(st, d);
    int code = -1;
    w.Terminate = [&code](int c) { code = c; };
    w.MapForm->FormActivate();
    EXPECT_EQ(code, 1);
    EXPECT_TRUE(d.messages.empty());
}

TEST(MainWindow, MenuCaptionsAndAbout) {
    App a;
    QStringList captions;
    for (QAction* menu : a.main().menuBar()->actions()) {
        captions << menu->text();
        for (QAction* item : menu->menu()->actions())
            captions << (item->isSeparator() ? "-" : item->text());
    }
    EXPECT_EQ(
        captions.join('|'),
        "File|Load Map|Save Map|Save|Import Tiled Map (TMX)...|"
        "Import Panzer General 2 Map...|Recent Maps|-|Quit|Edit|Undo|Redo|-|Place|Pick "
        "Up|Select|Fill|Draw Road|Shape|Copy|Paste|Select Same Tile|Select All|Select None|-|New "
        "Map|Copy Map  "
        "Section To File|Paste From File|-|"
        "Show Road Connections|Toggle Road Connections|-|Terrain Type 1|Terrain Type 2|-|"
        "Spray Can|Spray Can Settings|-|Show Strategic Map|View|"
        "Terrain Codes While Painting|-|Zoom In|Zoom Out|Actual Size|-|Panels|Tools|Convert Bitmap|"
        "Generate Terrain|Terrain Template...|No terrain template|Fix Terrain While Painting|-|"
        "Make Road Connections|Clear Road Connections|Export|"
        "Panzer General 2|Panzer General 2 As...|Tiled Map (TMX)...|Help|About");
    // A checkable item's mark follows its command, not the click.
    a.main().ShowRoadConnections1->trigger();
    EXPECT_TRUE(a.main().ShowRoadConnections1->isChecked());
    a.main().ShowRoadConnections1->trigger();
    EXPECT_FALSE(a.main().ShowRoadConnections1->isChecked());
    // The chosen tool's item stays checked when it is clicked again.
    a.main().PlaceTool1->trigger();
    EXPECT_TRUE(a.main().PlaceTool1->isChecked());

    a.main().About1->trigger();
    ASSERT_EQ(a.dialogs.messages.size(), 1u);
    EXPECT_EQ(a.dialogs.messages[0].second, "About ZEM Map");
    const QStringList lines = a.dialogs.messages[0].first.split('\n');
    ASSERT_EQ(lines.size(), 3);
    EXPECT_EQ(lines[0], "This is version 0.04 of ZEM Map");
    EXPECT_EQ(lines[2], " 11/4/98");
}

TEST(MainWindow, LayoutAndScrollZones) {
    App a;
    TMapForm& f = a.main();
    const int CW = f.ClientWidth(), CH = f.ClientHeight();
    EXPECT_EQ(f.MapImage->geometry(), QRect(35, 40, CW - 70, CH - 75));
    const ScrollZone& left = f.ScrollZones[0];
    EXPECT_EQ((std::array{left.left, left.top, left.right, left.bottom}),
              (std::array{5, 105, 30, CH - 100}));
    EXPECT_EQ(f.ScrollZones[1].left, CW - 30);
    EXPECT_EQ(f.ScrollZones[2].top, 16);
    EXPECT_EQ(f.ScrollZones[3].bottom, CH - 5);
    EXPECT_FALSE(left.Holds(5, 200));
    EXPECT_FALSE(left.Holds(30, 200));
    EXPECT_FALSE(left.Holds(10, 105));
    EXPECT_TRUE(left.Holds(6, 106));
    EXPECT_TRUE(left.Holds(29, CH - 101));
    EXPECT_FALSE(left.Holds(29, CH - 100));

    f.activateWindow(); // not the floating Tile Window: the main window itself
    if (!QTest::qWaitFor([&] { return QApplication::activeWindow() == &f; }))
        GTEST_SKIP() << "no window activation on this platform";
    f.FormMouseMove(10, 200);
    EXPECT_TRUE(f.Timer1.Enabled());
    EXPECT_EQ(f.Timer1.Interval(), 300);
    EXPECT_EQ(f.ScrollDirection, 4);
    EXPECT_TRUE(f.MouseCaptured);
    f.FormMouseMove(CW / 2, 26); // top strip
    EXPECT_EQ(f.ScrollDirection, 1);
    f.FormMouseMove(CW / 2, CH / 2);
    EXPECT_FALSE(f.Timer1.Enabled());
    EXPECT_FALSE(f.MouseCaptured);
    f.FormMouseMove(10, 200);
    f.MapImageMouseMove(5, 5); // motion over the picture stops scrolling
    EXPECT_FALSE(f.Timer1.Enabled());
    f.FormMouseMove(CW / 2, CH / 2);
}

TEST(MainWindow, TimerStepsAndIntervals) {
    App a;
    TMapForm& f = a.main();
    a.st.map.MapWidth = a.st.map.MapHeight = 80;
    f.ScrollDirection = 2;
    f.ScrollTicks = 0;
    f.Timer1.SetInterval(300);
    std::vector<int> xs, intervals;
    for (int i = 0; i < 7; ++i) {
        f.Timer1Timer();
        xs.push_back(a.st.map.ViewOrigin.x);
        intervals.push_back(f.Timer1.Interval());
    }
    EXPECT_EQ(xs, (std::vector<int>{2, 4, 6, 8, 10, 14, 18}));
    EXPECT_EQ(intervals, (std::vector<int>{300, 300, 150, 150, 50, 50, 50}));

    a.st.map.ViewOrigin = {0, 3};
    f.ScrollDirection = 1;
    f.ScrollTicks = 0;
    f.Timer1Timer();
    EXPECT_EQ(a.st.map.ViewOrigin.y, 1);
    f.Timer1Timer();
    f.Timer1Timer();
    EXPECT_EQ(a.st.map.ViewOrigin.y, 0);

    a.st.map.MapWidth = 21;
    a.st.map.ViewOrigin = {0, 0};
    f.ScrollDirection = 2;
    for (int i = 0; i < 10; ++i)
        f.Timer1Timer();
    EXPECT_EQ(a.st.map.ViewOrigin.x, 12);

    a.st.map.MapWidth = a.st.map.MapHeight = 5;
    a.st.map.ViewOrigin = {0, 0};
    for (int d : {2, 3}) {
        f.ScrollDirection = std::uint8_t(d);
        f.Timer1Timer();
        EXPECT_EQ(a.st.map.ViewOrigin, (HexPos{0, 0}));
    }
}
