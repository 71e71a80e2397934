// Every writer of the program against a failing disk and the targets a
// hostile user leaves: a filesystem without a free inode or a free block, a
// file the user may not write, a folder in a target's place, dangling
// links. A refused or failed write exits 2 with one line in the system's
// words and leaves every old file byte for byte; a dangling link gets the
// file it names.

#include "TestSupport.h"

#include <QProcess>
#include <QRegularExpression>
#include <grp.h>
#include <optional>
#include <sys/mount.h>
#include <unistd.h>

using namespace zem;
using namespace zem::test;

namespace {

constexpr uid_t Nobody = 65534;
const bool Root = ::geteuid() == 0;

// zemtool; as root it may run as the user nobody, to whom a read-only file
// is read-only.
Ran Tool(const QStringList& args, const QString& cwd, bool asNobody) {
    QProcess p;
    p.setWorkingDirectory(cwd);
    if (asNobody)
        p.setChildProcessModifier([] {
            if (::setgroups(0, nullptr) || ::setgid(Nobody) || ::setuid(Nobody)) ::_exit(99);
        });
    p.start(ZEMTOOL, args);
    EXPECT_TRUE(p.waitForFinished(60000)); // a guard against a hang
    return {p.exitCode(), p.readAllStandardOutput(), p.readAllStandardError()};
}

// A tmpfs for the length of a test.
struct Mount {
    QString at;
    bool ok;
    Mount(const QString& dir, const QByteArray& options) : at(dir) {
        QDir().mkpath(dir);
        ok = ::mount("tmpfs", QFile::encodeName(dir), "tmpfs", 0, options.constData()) == 0;
        EXPECT_TRUE(ok) << dir.toStdString();
    }
    ~Mount() {
        if (ok) ::umount2(QFile::encodeName(at), MNT_DETACH);
    }
};

} // namespace

TEST(Writers, AFailedWriteLeavesEveryOldFile) {
    QTemporaryDir tmp;
    const QString ws = SampleWorkspace(ZEMSAMPLE);
    // Inputs every user may read: the runs as nobody read them too.
    for (const QString& d : {tmp.path(), ws})
        QFile::setPermissions(d, QFile::Permissions(0x7755));
    const QStringList w{"--workspace", ws},
        tmx{"m-tiles.png", "m-frame.png", "m-terrain.png", "m-roads.png", "m.tmx"};
    for (const QStringList& made :
         {QStringList{"new", "7x5", "--tile", "11", "-o", "m.zep"},
          {"convert", ws + "/sketch.bmp", "-o", "pg2.zep", "--scale", "10"},
          {"export-tmx", "m.zep", "-o", "m.tmx"},
          {"export-pg2", "pg2.zep", "--number", "67", "--out", "."}})
        ASSERT_EQ(RunProgram(ZEMTOOL, w + made, tmp.path()).code, 0);
    QStringList pg2{"Map67.map"};
    for (int s = 0; s < 3; ++s)
        for (int b = 0; b < 4; ++b)
            pg2 << QString("map67%1%2.bmp").arg(s).arg(b);
    // Each writer with OUT for its output folder, and the files it writes.
    const std::pair<QStringList, QStringList> writers[] = {
        {{"new", "7x5", "--tile", "1", "-o", "OUT/o.zep"}, {"o.zep"}},
        {{"convert", ws + "/sketch.bmp", "-o", "OUT/o.zep"}, {"o.zep"}},
        {{"fix", "m.zep", ws + "/coast.txt", "-o", "OUT/o.zep"}, {"o.zep"}},
        {{"roads", "m.zep", "-o", "OUT/o.zep"}, {"o.zep"}},
        {{"render", "m.zep", "-o", "OUT/o.png"}, {"o.png"}},
        {{"strat", "m.zep", "-o", "OUT/o.png"}, {"o.png"}},
        {{"import-tmx", "m.tmx", "-o", "OUT/o.zep"}, {"o.zep"}},
        {{"export-pg2", "pg2.zep", "--number", "67", "--out", "OUT"}, pg2},
        {{"export-tmx", "m.zep", "-o", "OUT/m.tmx"}, tmx},
        {{"import-pg2", "Map67.map", "-o", "OUT/o.zep", "--report", "OUT/u.txt"},
         {"o.zep", "u.txt"}},
    };
    // What is done to the output folder, which holds an old file of each
    // name, and how the run ends; no words: it succeeds.
    enum Fault { NoInode, NoBlock, ReadOnly, Folder, LinkNowhere, Link };
    const std::pair<Fault, QByteArray> faults[] = {{NoInode, "No space left on device"},
                                                   {NoBlock, "No space left on device"},
                                                   {ReadOnly, "Permission denied"},
                                                   {Folder, "is a folder, not a file"},
                                                   {LinkNowhere, "No such file or directory"},
                                                   {Link, ""}};
    int n = 0;
    for (const auto& [args, outputs] : writers)
        for (const auto& [fault, why] : faults) {
            SCOPED_TRACE(args[0].toStdString() + " fault " + std::to_string(fault));
            if ((fault == NoInode || fault == NoBlock) && !Root) {
                std::printf("skipped: %s on a full disk needs root to mount one\n",
                            qPrintable(args[0]));
                continue;
            }
            const QString out = tmp.filePath(QString("out%1").arg(n++)), last = outputs.last();
            std::optional<Mount> disk;
            if (fault == NoInode)
                disk.emplace(out, "size=4m,nr_inodes=" + QByteArray::number(outputs.size() + 1));
            if (fault == NoBlock) disk.emplace(out, "size=256k");
            QDir().mkpath(out);
            for (const QString& o : outputs) {
                QFile f(out + "/" + o);
                ASSERT_TRUE(f.open(QIODevice::WriteOnly));
                ASSERT_EQ(f.write("old " + o.toUtf8() + QByteArray(2000, '.')), 2004 + o.size());
            }
            // A full disk: a filler takes its last block.
            QFile filler(out + "/filler");
            if (fault == NoBlock && filler.open(QIODevice::WriteOnly | QIODevice::Unbuffered))
                while (filler.write(QByteArray(4096, 'f')) == 4096) {
                }
            const bool asNobody = fault == ReadOnly && Root;
            if (asNobody) {
                for (const QString& f : QStringList{""} + outputs)
                    ASSERT_EQ(::chown(QFile::encodeName(out + "/" + f), Nobody, Nobody), 0);
            }
            if (fault == ReadOnly) QFile::setPermissions(out + "/" + last, QFile::ReadOwner);
            if (fault >= Folder) QFile::remove(out + "/" + last);
            if (fault == Folder) QDir(out).mkdir(last);
            if (fault == LinkNowhere) QFile::link(out + "/none/x", out + "/" + last);
            if (fault == Link) QFile::link("made", out + "/" + last); // beside the link
            const auto before = Snapshot(out);
            const Ran r =
                Tool(w + QStringList(args).replaceInStrings(QRegularExpression("^OUT"), out),
                     tmp.path(), asNobody);
            if (!why.isEmpty()) {
                EXPECT_EQ(r.code, 2) << r.err.toStdString();
                EXPECT_EQ(r.err.count('\n'), 1);
                EXPECT_TRUE(r.err.endsWith(": " + why + "\n")) << r.err.toStdString();
                EXPECT_EQ(Snapshot(out), before);
                continue;
            }
            EXPECT_EQ(r.code, 0) << r.err.toStdString();
            EXPECT_TRUE(QFileInfo(out + "/" + last).isSymLink());
            auto after = Snapshot(out);
            EXPECT_EQ(after.size(), outputs.size() + 1); // the file made, no temporary one
            EXPECT_FALSE(after["made"].isEmpty());
            for (const QString& o : outputs)
                EXPECT_FALSE(after[o].startsWith("old")) << o.toStdString();
        }
}

// A folder the user may not add a file to, holding a file he may write: a
// single file is written in place, the one way left to save it; a set, which
// could not be replaced whole, is refused untouched.
TEST(Writers, AFolderTakingNoNewFileHasItsFileWrittenInPlace) {
    QTemporaryDir tmp;
    const QString ws = SampleWorkspace(ZEMSAMPLE), locked = tmp.filePath("locked");
    for (const QString& d : {tmp.path(), ws})
        QFile::setPermissions(d, QFile::Permissions(0x7755));
    const QStringList w{"--workspace", ws};
    ASSERT_EQ(RunProgram(ZEMTOOL, w + QStringList{"new", "7x5", "--tile", "11", "-o", "m.zep"},
                         tmp.path())
                  .code,
              0);
    QDir().mkpath(locked);
    for (const char* name : {"o.zep", "m.tmx"}) {
        const QString path = locked + "/" + name;
        QFile f(path);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly) && f.write("old") == 3);
        if (Root) {
            ASSERT_EQ(::chown(QFile::encodeName(path), Nobody, Nobody), 0);
        }
    }
    QFile::setPermissions(locked, QFile::Permissions(0x5555));
    const Ran single = Tool(w + QStringList{"new", "7x5", "--tile", "11", "-o", locked + "/o.zep"},
                            tmp.path(), Root);
    const Ran set =
        Tool(w + QStringList{"export-tmx", "m.zep", "-o", locked + "/m.tmx"}, tmp.path(), Root);
    QFile::setPermissions(locked, QFile::Permissions(0x7755));
    EXPECT_EQ(single.code, 0) << single.err.toStdString();
    EXPECT_EQ(set.code, 2);
    EXPECT_TRUE(set.err.endsWith(": Permission denied\n")) << set.err.toStdString();
    auto after = Snapshot(locked);
    EXPECT_EQ(after.size(), 2u);
    EXPECT_EQ(after["o.zep"], ReadAll(tmp.filePath("m.zep")));
    EXPECT_EQ(after["m.tmx"], "old");

    // On a full disk an 80x80 map does not fit: refused before a byte of the
    // old map changes.
    if (!Root) return (void)std::printf("skipped: a full disk needs root to mount one\n");
    const Mount disk(tmp.filePath("disk"), "size=256k,mode=0755");
    const QString full = disk.at + "/o.zep";
    QFile::copy(tmp.filePath("m.zep"), full);
    ASSERT_EQ(::chown(QFile::encodeName(full), Nobody, Nobody), 0);
    QFile filler(disk.at + "/filler");
    ASSERT_TRUE(filler.open(QIODevice::WriteOnly | QIODevice::Unbuffered));
    while (filler.write(QByteArray(4096, 'f')) == 4096) {
    }
    const Ran big =
        Tool(w + QStringList{"new", "80x80", "--tile", "11", "-o", full}, tmp.path(), true);
    EXPECT_EQ(big.code, 2);
    EXPECT_TRUE(big.err.endsWith(": No space left on device\n")) << big.err.toStdString();
    EXPECT_EQ(ReadAll(full), ReadAll(tmp.filePath("m.zep")));
}
