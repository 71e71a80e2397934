#include "TestSupport.h"
#include "files/DataPath.h"
#include "pictures/ImageList.h"
#include "runtime/DialogService.h"
#include "runtime/Errors.h"
#include "runtime/StrToInt.h"
#include "windows/Timer.h"
#include "windows/ZemApplication.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QTest>

using namespace zem;
using namespace zem::test;

TEST(ImageList, MaskedDrawingLeavesKeyPixelsAndIgnoresBadIndexes) {
    ImageList list;
    list.SetSize(4, 3);
    Bitmap b(4, 3);
    b.Image().fill(qRgb(10, 20, 30));
    b.Image().setPixel(0, 2, qRgb(255, 0, 255)); // bottom-left: the mask colour
    b.Image().setPixel(3, 0, qRgb(255, 0, 255));
    EXPECT_EQ(b.TransparentColour(), RGBColour(255, 0, 255));
    list.AddMasked(b);
    list.Add(b);
    EXPECT_EQ(list.Count(), 2);

    Bitmap target(10, 10);
    target.Image().fill(qRgb(1, 2, 3));
    {
        QPainter c(&target.Image());
        list.Draw(c, 2, 2, 0);
        list.Draw(c, 0, 0, -1);
        list.Draw(c, 0, 0, 2);
    }
    EXPECT_EQ(target.Pixel(2, 4), RGBColour(1, 2, 3)); // masked bottom-left
    EXPECT_EQ(target.Pixel(5, 2), RGBColour(1, 2, 3));
    EXPECT_EQ(target.Pixel(3, 3), RGBColour(10, 20, 30));
    EXPECT_EQ(target.Pixel(0, 0), RGBColour(1, 2, 3));
    {
        QPainter c(&target.Image());
        list.Draw(c, 2, 2, 1); // unmasked
    }
    EXPECT_EQ(target.Pixel(2, 4), RGBColour(255, 0, 255));

    list.SetSize(4, 3);
    EXPECT_EQ(list.Count(), 0);

    // Pixel() gives red in the low byte.
    EXPECT_EQ(target.Pixel(3, 3), 0x1E140Au);
}

TEST(ImageList, MonochromeBitmapIsMaskedByWhite) {
    Workspace ws;
    QImage mono(4, 4, QImage::Format_Mono);
    mono.fill(0);
    mono.setPixel(0, 3, 1);
    mono.setColor(0, qRgb(255, 255, 255));
    mono.setColor(1, qRgb(0, 0, 0));
    ASSERT_TRUE(mono.save(ws.Path("m.bmp"), "BMP"));
    Bitmap b;
    b.LoadFromFile(ws.Path("m.bmp"));
    EXPECT_EQ(b.TransparentColour(), clWhite);
    EXPECT_THROW(b.LoadFromFile(ws.Path("none.bmp")), FileError);
}

TEST(Toolkit, DataPathsResolveBackslashesAndAnyCase) {
    Workspace ws;
    ws.Dir().mkpath("TILbmp");
    ws.Write("TILbmp/Til0007.BMP", "x");
    EXPECT_TRUE(QFile::exists(DataPath("tilbmp\\til0007.bmp", ws.Dir())));
    EXPECT_TRUE(QFile::exists(DataPath("TilBmp\\TIL0007.bmp", ws.Dir())));
    EXPECT_FALSE(QFile::exists(DataPath("TilBmp\\str001.bmp", ws.Dir())));
    EXPECT_EQ(DataPath("Mapset.txt", ws.Dir()), ws.Path("Mapset.txt"));
}

TEST(Toolkit, StrToIntAcceptsWholeNumbersOnly) {
    EXPECT_EQ(StrToInt("44"), 44);
    EXPECT_EQ(StrToInt(" -7 "), -7);
    EXPECT_EQ(StrToInt("+3"), 3);
    for (const char* bad : {"", "abc", "4x", "1.5", "99999999999"})
        EXPECT_THROW(StrToInt(bad), ConvertError) << bad;
    try {
        StrToInt("abc");
    } catch (const ConvertError& e) {
        EXPECT_EQ(e.Text(), "'abc' is not a valid integer value");
    }
}

TEST(Toolkit, TimerRestartsOnlyOnRealChanges) {
    Timer t(100);
    EXPECT_FALSE(t.Enabled());
    t.SetEnabled(true);
    QTest::qWait(60);
    const int left = t.Raw().remainingTime();
    t.SetInterval(100); // same value: the period runs on
    t.SetEnabled(true); // already on: nothing
    EXPECT_LE(t.Raw().remainingTime(), left);
    t.SetInterval(300); // a real change restarts the period
    EXPECT_GT(t.Raw().remainingTime(), 200);
    EXPECT_EQ(t.Interval(), 300);
    int ticks = 0;
    t.OnTimer = [&ticks] { ++ticks; };
    t.SetInterval(10);
    QTest::qWait(100);
    EXPECT_GT(ticks, 0);
    t.SetEnabled(false);
    EXPECT_FALSE(t.Raw().isActive());
}

TEST(Toolkit, ScriptedDialogsAndFilters) {
    ScriptedDialogs d;
    d.Answer("a.zep");
    d.Cancel();
    OpenDialog od;
    od.Title = "T";
    EXPECT_TRUE(d.Execute(od));
    EXPECT_EQ(od.FileName, "a.zep");
    EXPECT_FALSE(d.Execute(od));
    EXPECT_FALSE(d.Execute(od)); // nothing scripted: cancel
    EXPECT_EQ(d.dialogs.size(), 3u);
    EXPECT_EQ(QtFilter("ZEM map files (*.zep)|*.zep|All files (*.*)|*.*"),
              "ZEM map files (*.zep);;All files (*.*)");
    EXPECT_EQ(QtFilter("Text files (*.txt)| *.txt| All files | *.*"),
              "Text files (*.txt);;All files (*.*)");
}

TEST(Toolkit, ExceptionsFromHandlersAreShownAndTheLoopGoesOn) {
    ScriptedDialogs d;
    auto* app = dynamic_cast<ZemApplication*>(QCoreApplication::instance());
    ASSERT_NE(app, nullptr);
    app->dialogs = &d;
    struct Thrower : QObject {
        int calls = 0;
        bool event(QEvent*) override {
            ++calls;
            throw ConvertError("'x' is not a valid integer value");
        }
    } obj;
    QEvent e(QEvent::User);
    QCoreApplication::sendEvent(&obj, &e);
    QCoreApplication::sendEvent(&obj, &e);
    app->dialogs = nullptr;
    EXPECT_EQ(obj.calls, 2);
    ASSERT_EQ(d.messages.size(), 2u);
    EXPECT_EQ(d.messages[0].first, "'x' is not a valid integer value");
}
