// Saves that fail after the bytes were written: the rename that commits
// them, part-way through a set of files. The old files stay, the failure is
// reported, and no temporary file is left.

#include "TestSupport.h"
#include "files/SafeFile.h"
#include "map/MapFile.h"

#include <QFile>

using namespace zem;
using namespace zem::test;

namespace {
QStringList AllFiles(const Workspace& ws) {
    return ws.Dir().entryList(QDir::Files | QDir::Hidden | QDir::System, QDir::Name);
}
} // namespace

TEST(SafeFile, AFailedCommitKeepsTheOldFile) {
    Workspace ws;
    ws.Write("map.zep", "old map\n");
    {
        // The temporary file is gone when the commit renames it.
        FileSet set;
        ASSERT_TRUE(set.Stage(ws.Path("map.zep"), "new map\n"));
        EXPECT_EQ(AllFiles(ws).size(), 2);
        ASSERT_TRUE(QFile::remove(set.StagedPath(0)));
        const Status st = set.Commit();
        EXPECT_FALSE(st);
        EXPECT_EQ(st.Message(), ws.Path("map.zep") + ": No such file or directory");
    }
    EXPECT_EQ(ws.Read("map.zep"), "old map\n");
    EXPECT_EQ(AllFiles(ws), QStringList{"map.zep"});
    {
        // The target turned into a folder after the bytes were written.
        FileSet set;
        ws.Write("later.zep", "old\n");
        ASSERT_TRUE(set.Stage(ws.Path("later.zep"), "new\n"));
        ASSERT_TRUE(QFile::remove(ws.Path("later.zep")));
        ASSERT_TRUE(ws.Dir().mkdir("later.zep"));
        const Status st = set.Commit();
        EXPECT_EQ(st.Message(), ws.Path("later.zep") + ": is a folder, not a file");
    }
    EXPECT_EQ(AllFiles(ws), QStringList{"map.zep"});

    // A set that is never committed leaves nothing behind.
    {
        FileSet set;
        ASSERT_TRUE(set.Stage(ws.Path("map.zep"), "abandoned\n"));
    }
    EXPECT_EQ(AllFiles(ws), QStringList{"map.zep"});
    EXPECT_EQ(ws.Read("map.zep"), "old map\n");
}

TEST(SafeFile, ASetFailingAtItsSeventhRenamePutsTheFirstSixBack) {
    Workspace ws;
    QStringList names;
    for (int i = 0; i < 13; ++i) {
        names << QString("f%1.bmp").arg(i, 2, 10, QChar('0'));
        if (i % 2 == 0) ws.Write(names.back(), "old " + names.back().toUtf8()); // some are new
    }
    const QStringList before = AllFiles(ws);
    FileSet set;
    for (const QString& n : names)
        ASSERT_TRUE(set.Stage(ws.Path(n), "new " + n.toUtf8()));
    ASSERT_TRUE(QFile::remove(set.StagedPath(6)));
    const Status st = set.Commit();
    EXPECT_EQ(st.Message(), ws.Path("f06.bmp") + ": No such file or directory");
    EXPECT_EQ(AllFiles(ws), before);
    for (int i = 0; i < 13; i += 2)
        EXPECT_EQ(ws.Read(names[i]), "old " + names[i].toUtf8());

    // Committed whole, every file is new and nothing else is left.
    FileSet again;
    for (const QString& n : names)
        ASSERT_TRUE(again.Stage(ws.Path(n), "new " + n.toUtf8()));
    ASSERT_TRUE(again.Commit());
    EXPECT_EQ(AllFiles(ws), names);
    for (const QString& n : names)
        EXPECT_EQ(ws.Read(n), "new " + n.toUtf8());
}

TEST(SafeFile, ALinkedTargetStaysALinkAndKeepsItsPermissions) {
    Workspace ws;
    ws.Write("real.zep", "old\n");
    QFile::setPermissions(ws.Path("real.zep"), QFile::ReadOwner | QFile::WriteOwner);
    ASSERT_TRUE(QFile::link(ws.Path("real.zep"), ws.Path("link.zep")));
    ASSERT_TRUE(SaveFileSafely(ws.Path("link.zep"), "new\n"));
    EXPECT_TRUE(QFileInfo(ws.Path("link.zep")).isSymLink());
    EXPECT_EQ(ws.Read("real.zep"), "new\n");
    const QFile::Permissions p = QFile::permissions(ws.Path("real.zep"));
    EXPECT_TRUE(p & QFile::WriteOwner);
    EXPECT_FALSE(p & (QFile::ReadGroup | QFile::ReadOther));
}
