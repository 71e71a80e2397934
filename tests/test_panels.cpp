// The side windows as panels and the program's keys and messages, as a user
// meets them across runs and windows.

#include "TestSupport.h"
#include "windows/MapStatusBar.h"
#include "windows/Messages.h"
#include "windows/Panels.h"
#include "windows/TMapConvert.h"
#include "windows/TMapForm.h"
#include "windows/TSprayForm.h"
#include "windows/TStratMapForm.h"
#include "windows/TTilForm.h"
#include "windows/ZemApplication.h"

#include <QApplication>
#include <QClipboard>
#include <QDockWidget>
#include <QSettings>
#include <QTest>

using namespace zem;
using namespace zem::test;

namespace {
bool Activate(QWidget* w) {
    w->window()->activateWindow();
    return QTest::qWaitForWindowActive(w->window());
}
// Two hexes copied, then Ctrl+V: a paste waits for its click.
void WaitingPaste(App& a) {
    TMapForm& f = a.main();
    a.w.doc.Select(HexSet::Rectangle({2, 2}, {3, 2}));
    f.Copy1Click();
    f.Paste1Click();
    ASSERT_TRUE(a.w.doc.PendingPaste());
}
} // namespace

// Escape ends a waiting paste from the converter too, and takes the paste's
// prompt away, not a later message; Ctrl+C in the Messages panel copies the
// messages selected there.
TEST(Panels, KeysAndMessagesFromEveryWindow) {
    App a;
    TMapForm& f = a.main();
    WaitingPaste(a);
    a.dialogs.Answer(a.ws.Path("m.zep"));
    f.SaveMap1Click();
    f.ConvertBitmap1Click();
    TMapConvert& c = *a.w.MapConvert;
    ASSERT_TRUE(Activate(&c));
    c.ConvertBtn->setFocus();
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Escape);
    EXPECT_FALSE(a.w.doc.PendingPaste());
    EXPECT_EQ(f.StatusText(), "Saved m.zep");

    MessageLog& log = *a.w.messages;
    a.w.panels->Show(&log);
    ASSERT_TRUE(Activate(&log));
    log.setFocus();
    log.selectAll();
    QTest::keyClick(&log, Qt::Key_C, Qt::ControlModifier);
    EXPECT_TRUE(QApplication::clipboard()->text().contains("Saved m.zep"));
    EXPECT_EQ(f.StatusText(), "Saved m.zep");
}

// Reset Layout goes back to the first start's layout; docked, Sprayer Setup
// has no activation of its own, so a pick box being retyped raises nothing
// when the main window is activated.
TEST(Panels, ResetLayoutAndADockedSprayer) {
    App a;
    struct Shown { // the standard error display, recorded
        ZemApplication* app = static_cast<ZemApplication*>(qApp);
        explicit Shown(DialogService* d) { app->dialogs = d; }
        ~Shown() { app->dialogs = nullptr; }
    } shown(&a.dialogs);
    TMapForm& f = a.main();
    QCoreApplication::processEvents();
    const QSize size = f.size();
    QDockWidget* tiles = a.w.panels->Of(a.w.TilForm.get());
    f.ShowStrategicMap1Click();
    tiles->setFloating(false);
    QTest::qWait(50);
    ASSERT_NE(f.size(), size); // the main window made room for it
    QAction* reset = a.w.panels->Menu()->actions().constLast();
    ASSERT_EQ(reset->text(), "Reset Layout");
    reset->trigger();
    QTest::qWait(50);
    EXPECT_TRUE(tiles->isFloating());
    EXPECT_EQ(tiles->pos(), QPoint(640, 109));
    EXPECT_EQ(f.size(), size);
    EXPECT_FALSE(a.w.StratMapForm->isVisible());

    TSprayForm& s = *a.w.SprayForm;
    f.SprayCanSettings1Click();
    a.w.panels->Of(&s)->setFloating(false);
    QTest::qWait(50);
    ASSERT_EQ(s.window(), &f);
    s.Pick1Edit->clear();
    ASSERT_TRUE(Activate(a.w.TilForm.get()));
    const size_t before = a.dialogs.messages.size();
    ASSERT_TRUE(Activate(&f));
    QTest::qWait(20);
    EXPECT_EQ(a.dialogs.messages.size(), before);
}

// A panel the user moved comes back where he left it; one never shown yet
// opens beside the main window (on this small screen, over its right part),
// not over its menu.
TEST(Panels, PlacesKeptBetweenRuns) {
    QSettings().remove("layout");
    struct Forget { // no later test starts from this layout
        ~Forget() { QSettings().remove("layout"); }
    } forget;
    const QPoint moved(200, 120); // on the test platform's screen of 800 x 600
    {
        App a;
        a.main().ShowStrategicMap1Click();
        QDockWidget* strat = a.w.panels->Of(a.w.StratMapForm.get());
        strat->move(moved);
        QCoreApplication::processEvents();
        a.w.panels->Save(); // as closing the main window does
    }
    App b;
    QCoreApplication::processEvents();
    QDockWidget* strat = b.w.panels->Of(b.w.StratMapForm.get());
    EXPECT_TRUE(strat->isVisible());
    EXPECT_EQ(strat->pos(), moved);
    b.main().SprayCanSettings1Click();
    QCoreApplication::processEvents();
    EXPECT_FALSE(b.w.panels->Of(b.w.SprayForm.get())
                     ->frameGeometry()
                     .contains(b.main().frameGeometry().topLeft() + QPoint(10, 10)));
}
