// Game maps from pieces a paint program changed: a hex whose tile may be
// wrong is listed as unsure, whatever the change; the import tells its
// progress and can be cancelled, also from the editor's progress dialog;
// Export As asks before it replaces a file.

#include "PG2Cases.h"
#include "Scripted.h"
#include "TestSupport.h"
#include "windows/PG2ExportAs.h"
#include "windows/PG2ImportRun.h"

#include <QFile>
#include <QProgressBar>
#include <QPushButton>

using namespace zem;
using namespace zem::test;

TEST(PG2Degraded, NoWrongTileGoesUnlisted) {
    const auto sample = cases::SampleCatalogue(false);
    const HexMap map = cases::RandomMap(sample->cat, 1);
    struct Case {
        const char* name;
        int maxUnsure;
        const char* said; // in the summary
    } table[] = {
        {"jpeg q75", 60, ""},
        {"216 dithered", 60, ""},
        {"gamma 1.1", 60, "colours were calibrated"},
        {"contrast +10%", 120, ""},
        {"all pieces 1 px right", 120, "map6700.bmp 1 px right"},
        {"one piece 2 px left, 2 up", 120, "map6712.bmp 2 px left, 2 px up"},
    };
    for (const Case& c : table) {
        SCOPED_TRACE(c.name);
        const cases::Outcome o = cases::Measure(*sample, map, cases::Find(c.name));
        EXPECT_EQ(o.wrongUnlisted, 0);
        EXPECT_LE(o.unsure, c.maxUnsure);
        EXPECT_LE(o.differing, 300);
        EXPECT_TRUE(o.summary.contains(QLatin1String(c.said))) << o.summary.toStdString();
    }
}

// A catalogue where most tiles are the island's tiles in other tones: a
// change of the pieces' colours is taken back, not read as the twins; a
// palette's few levels leave every hex with twins unsure; JPEG noise alone
// makes no change a rival.
TEST(PG2Degraded, ToneTwinsAreToldApartByTheWholeMap) {
    const auto altered = cases::SampleCatalogue(true);
    const HexMap island = cases::Island(*altered);
    struct Case {
        const char* name;
        int maxWrong, maxUnsure;
    } table[] = {
        {"brightness -8", 0, 0},
        {"216 colours", PG2Hexes, PG2Hexes},
        {"jpeg q90", 0, 150},
    };
    for (const Case& c : table) {
        SCOPED_TRACE(c.name);
        const cases::Outcome o = cases::Measure(*altered, island, cases::Find(c.name));
        EXPECT_EQ(o.wrongUnlisted, 0);
        EXPECT_LE(o.wrong, c.maxWrong);
        EXPECT_LE(o.unsure, c.maxUnsure);
    }
}

TEST(PG2Degraded, AnImportCancelledLeavesNoResult) {
    const auto sample = cases::SampleCatalogue(false);
    const HexMap map = cases::RandomMap(sample->cat, 2);
    Workspace game;
    ASSERT_TRUE(ExportPG2(map, sample->cat, sample->images, 67, game.Dir()));
    QImage piece(game.Path("map6711.bmp"));
    QPainter(&piece).fillRect(0, 0, 300, 200, QColor(80, 80, 30));
    piece.save(game.Path("map6711.bmp"));
    // Told in order, up to all hexes; stopped at the third report.
    std::atomic<bool> cancel = false;
    int reports = 0, last = 0;
    PG2ImportOptions opt;
    opt.control = {[&](int done, int total) {
                       EXPECT_TRUE(done >= last && done <= total);
                       last = done;
                       if (++reports == 3) cancel = true;
                   },
                   &cancel};
    const Result<PG2Import> stopped =
        ImportPG2(game.Path("Map67.map"), sample->cat, sample->images, opt);
    ASSERT_FALSE(stopped);
    EXPECT_TRUE(PG2Cancelled(stopped.Fault()));
    EXPECT_EQ(reports, 3);
    // From the dialog: Cancel, and nothing; left alone, the import's result.
    PG2ImportRun cancelled(nullptr, game.Path("Map67.map"), sample->cat, sample->images, {});
    QObject::connect(cancelled.Dialog().findChild<QProgressBar*>(), &QProgressBar::valueChanged,
                     [&](int v) {
                         if (v > 0) cancelled.Dialog().findChild<QPushButton*>()->click();
                     });
    EXPECT_FALSE(cancelled.Exec());
    PG2ImportRun run(nullptr, game.Path("Map67.map"), sample->cat, sample->images, {});
    const std::optional<Result<PG2Import>> done = run.Exec();
    ASSERT_TRUE(done && *done);
    const Result<PG2Import> direct = ImportPG2(game.Path("Map67.map"), sample->cat, sample->images);
    EXPECT_EQ((*done)->Summary(), direct->Summary());
    EXPECT_EQ((*done)->map.Cell(20, 20).bmp, direct->map.Cell(20, 20).bmp);
}

TEST(PG2Degraded, ExportAsAsksForTheFolderAndBeforeReplacing) {
    const auto sample = cases::SampleCatalogue(false);
    HexMap map = cases::RandomMap(sample->cat, 3);
    Workspace out;
    ScriptedDialogs dialogs;
    ExportTarget target{out.Path(""), 67};
    // Cancelled: nothing written, the offer was the converter's number.
    EXPECT_TRUE(ExportPG2As(dialogs, map, sample->cat, sample->images, target).isEmpty());
    ASSERT_EQ(dialogs.offered.size(), 1u);
    EXPECT_EQ(dialogs.offered[0].number, 67);
    EXPECT_FALSE(QFile::exists(out.Path("Map67.map")));
    // A new folder and number: written, and the status names the folder.
    out.Dir().mkpath("game");
    dialogs.AnswerExportTarget({out.Path("game"), 12});
    EXPECT_EQ(ExportPG2As(dialogs, map, sample->cat, sample->images, target),
              "Exported Map12.map and 12 pictures to " + out.Path("game"));
    EXPECT_EQ(target.number, 12);
    const QByteArray first = out.Read("game/map1223.bmp");
    // Files there already: asked, listing them; No leaves them, Yes replaces.
    map.Cell(43, 38).bmp = map.Cell(43, 38).bmp == 1 ? 2 : 1;
    out.Write("game/map1200.bmp", "mine");
    for (bool yes : {false, true}) {
        dialogs.AnswerExportTarget({out.Path("game"), 12});
        dialogs.AnswerConfirm(yes);
        EXPECT_EQ(ExportPG2As(dialogs, map, sample->cat, sample->images, target).isEmpty(), !yes);
        EXPECT_TRUE(dialogs.questions.back().startsWith("13 of the files are already in "));
        EXPECT_TRUE(dialogs.questions.back().contains("\nmap1200.bmp\n"));
        EXPECT_EQ(out.Read("game/map1200.bmp") == "mine", !yes);
        EXPECT_EQ(out.Read("game/map1223.bmp") == first, !yes);
    }
    map.MapWidth = 40;
    EXPECT_TRUE(ExportPG2As(dialogs, map, sample->cat, sample->images, target).isEmpty());
    EXPECT_EQ(dialogs.messages.back().first, "Map must be 44x39");
}
