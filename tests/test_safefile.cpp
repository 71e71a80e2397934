// Saves that fail after the bytes were written: the rename that commits
// them, part-way through a set of files. The old files stay, the failure is
// reported, and no temporary file is left.

#include "TestSupport.h"
#include "files/SafeFile.h"
#include "map/MapFile.h"

#include <QFile>
#include <csignal>
#include <fcntl.h>
#include <grp.h>
#include <sys/resource.h>
#include <sys/syscall.h>
#include <sys/wait.h>

using namespace zem;
using namespace zem::test;

namespace {
QStringList AllFiles(const Workspace& ws) {
    return ws.Dir().entryList(QDir::Files | QDir::Hidden | QDir::System, QDir::Name);
}

// The steps of a commit in this process, every hard link and rename: a
// test kills the process after the n-th, or fails every rename from the
// n-th on, or has the disk refuse to reserve room.
int steps = 0, killAfterStep = 0, renames = 0, failRenamesFrom = 0;
bool noReserve = false;

int Stepped(int result) {
    if (killAfterStep && ++steps == killAfterStep) ::kill(::getpid(), SIGKILL);
    return result;
}
} // namespace

extern "C" int rename(const char* from, const char* to) noexcept {
    if (failRenamesFrom && ++renames >= failRenamesFrom) {
        errno = EIO;
        return -1;
    }
    return Stepped(int(::syscall(SYS_renameat, AT_FDCWD, from, AT_FDCWD, to)));
}

extern "C" int link(const char* from, const char* to) noexcept {
    return Stepped(int(::syscall(SYS_linkat, AT_FDCWD, from, AT_FDCWD, to, 0)));
}

extern "C" int fallocate(int fd, int mode, off_t at, off_t len) {
    return noReserve ? (errno = EOPNOTSUPP, -1) : int(::syscall(SYS_fallocate, fd, mode, at, len));
}

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

// Thirteen files killed after every step of their commit, or failing at
// every rename from one on (their rollback too): each name holds its old or
// its new file throughout; a reader opening a file in the folder, or the
// next writer there, leaves the old set or the new one whole and no hidden
// file.
TEST(SafeFile, ASetKilledOrFailingAtAnyStepComesBackWhole) {
    Workspace ws;
    QStringList names;
    for (int i = 0; i < 13; ++i)
        names << QString("map67%1.bmp").arg(i, 2, 10, QChar('0'));
    auto commit = [&] {
        FileSet set;
        for (const QString& n : names)
            EXPECT_TRUE(set.Stage(ws.Path(n), "new " + n.toUtf8()));
        return set.Commit();
    };
    // Per name: 'o' old (or none where none was), 'n' new, '?' else.
    auto look = [&] {
        QByteArray seen;
        for (int i = 0; i < 13; ++i) {
            const QByteArray b = ws.Read(names[i]), n = names[i].toUtf8();
            seen += b == "new " + n ? 'n' : b == (i % 2 ? "" : "old " + n) ? 'o' : '?';
        }
        return seen;
    };
    for (const bool kill : {true, false})
        for (int n = 1;; ++n) {
            SCOPED_TRACE((kill ? "killed after step " : "renames failing from ") +
                         std::to_string(n));
            for (int i = 0; i < 13; ++i)
                i % 2 ? (void)QFile::remove(ws.Path(names[i]))
                      : ws.Write(names[i], "old " + names[i].toUtf8());
            bool done;
            if (kill) {
                const pid_t child = ::fork();
                if (child == 0) {
                    killAfterStep = n;
                    ::_exit(commit() ? 0 : 1);
                }
                int status = 0;
                ::waitpid(child, &status, 0);
                done = WIFEXITED(status) && WEXITSTATUS(status) == 0;
            } else {
                renames = 0;
                failRenamesFrom = n;
                const Status st = commit();
                failRenamesFrom = 0;
                done = st.Ok();
                EXPECT_TRUE(done || st.Message().endsWith(": Input/output error"));
            }
            EXPECT_FALSE(look().contains('?')) << look().constData();
            if (n == 5)
                RunProgram(ZEMTOOL, {"roads", ws.Path("x.zep"), "-o", ws.Path("y.zep")});
            else if (n % 2)
                (void)ReadMapFile(ws.Path("x.zep"));
            else
                EXPECT_TRUE(WriteFileSafely(ws.Path("x.zep"), "x"));
            QFile::remove(ws.Path("x.zep"));
            // Killed after the last of its 7 links and 13 renames, the new set
            // had arrived whole.
            const bool arrived = done || (kill && n == 20);
            EXPECT_EQ(look(), QByteArray(13, arrived ? 'n' : 'o'));
            EXPECT_EQ(AllFiles(ws).size(), arrived ? 13 : 7); // no hidden file
            if (done) {
                EXPECT_EQ(n, kill ? 21 : 14);
                break;
            }
        }
}

// Written in place as a user who may not write the folder, on a file system
// that cannot reserve room, beyond the size a file may grow to: the old file
// is copied to the cache folder first and put back.
TEST(SafeFile, AWriteInPlaceThatCannotReserveKeepsACopy) {
    if (::geteuid() != 0) GTEST_SKIP() << "needs root to write as another user";
    Workspace ws;
    const QString path = ws.Path("locked/m.zep"), cache = ws.Path("cache");
    ws.Dir().mkpath("locked");
    ws.Dir().mkpath("cache");
    ws.Write("locked/m.zep", "old map");
    for (const QString& d : {ws.Path(""), ws.Path("locked"), cache})
        QFile::setPermissions(d, QFile::Permissions(d == cache ? 0x7777 : 0x7755));
    ASSERT_EQ(::chown(QFile::encodeName(path), 65534, 65534), 0);
    for (const QByteArray& bytes : {QByteArray(200000, 'n'), QByteArray("new")}) {
        const pid_t child = ::fork();
        if (child == 0) {
            ::setenv("XDG_CACHE_HOME", QFile::encodeName(cache).constData(), 1);
            ::signal(SIGXFSZ, SIG_IGN);
            const rlimit limit{100000, 100000};
            if (::setrlimit(RLIMIT_FSIZE, &limit) || ::setgroups(0, nullptr) || ::setgid(65534) ||
                ::setuid(65534))
                ::_exit(9);
            noReserve = true;
            const Status st = WriteFileSafely(path, bytes);
            ::_exit(st ? 0 : st.Message() == path + ": File too large" ? 1 : 2);
        }
        int status = 0;
        ::waitpid(child, &status, 0);
        EXPECT_EQ(WEXITSTATUS(status), bytes.size() > 3 ? 1 : 0);
        EXPECT_EQ(ReadAll(path), bytes.size() > 3 ? "old map" : bytes);
        EXPECT_TRUE(QDir(cache + "/zem-map").isEmpty());
    }
}
