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
Ran Tool(const QStringList& args, bool asNobody = false) {
    QProcess p;
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

void Put(const QString& path, const QByteArray& bytes) {
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly)) << path.toStdString();
    ASSERT_EQ(f.write(bytes), bytes.size());
}

// Fills the filesystem of `dir` to its last block.
void Fill(const QString& dir) {
    QFile f(dir + "/filler");
    ASSERT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Unbuffered));
    const QByteArray block(4096, 'f');
    while (f.write(block) == block.size()) {
    }
}

struct Writer {
    const char* name;
    QStringList args; // OUT stands for the output folder, IN for the inputs
    QStringList outputs;
};

} // namespace

TEST(Writers, AFailedWriteLeavesEveryOldFile) {
    QTemporaryDir tmp;
    const QString in = tmp.filePath("in"), ws = SampleWorkspace(ZEMSAMPLE);
    QDir().mkpath(in);
    // Inputs every user may read: the runs as nobody read them too.
    for (const QString& d : {tmp.path(), ws})
        QFile::setPermissions(d, QFile::Permissions(0x7755));
    const QStringList w{"--workspace", ws};
    ASSERT_EQ(Tool(w + QStringList{"new", "7x5", "--tile", "11", "-o", in + "/m.zep"}).code, 0);
    ASSERT_EQ(
        Tool(w + QStringList{"convert", ws + "/sketch.bmp", "-o", in + "/pg2.zep", "--scale", "10"})
            .code,
        0);
    ASSERT_EQ(Tool(w + QStringList{"export-tmx", in + "/m.zep", "-o", in + "/m.tmx"}).code, 0);
    QStringList pg2{"Map67.map"}, tmx{"m-tiles.png", "m-frame.png", "m-terrain.png", "m-roads.png"};
    for (int s = 0; s < 3; ++s)
        for (int b = 0; b < 4; ++b)
            pg2 << QString("map67%1%2.bmp").arg(s).arg(b);
    const Writer writers[] = {
        {"new", w + QStringList{"new", "7x5", "--tile", "1", "-o", "OUT/o.zep"}, {"o.zep"}},
        {"convert", w + QStringList{"convert", ws + "/sketch.bmp", "-o", "OUT/o.zep"}, {"o.zep"}},
        {"fix",
         w + QStringList{"fix", "IN/m.zep", ws + "/coast.txt", "-o", "OUT/o.zep"},
         {"o.zep"}},
        {"roads", {"roads", "IN/m.zep", "-o", "OUT/o.zep"}, {"o.zep"}},
        {"render", w + QStringList{"render", "IN/m.zep", "-o", "OUT/o.png"}, {"o.png"}},
        {"strat", w + QStringList{"strat", "IN/m.zep", "-o", "OUT/o.png"}, {"o.png"}},
        {"import-tmx", w + QStringList{"import-tmx", "IN/m.tmx", "-o", "OUT/o.zep"}, {"o.zep"}},
        {"export-pg2",
         w + QStringList{"export-pg2", "IN/pg2.zep", "--number", "67", "--out", "OUT"}, pg2},
        {"export-tmx", w + QStringList{"export-tmx", "IN/m.zep", "-o", "OUT/m.tmx"},
         tmx << "m.tmx"},
    };
    // What is done to the output folder, holding an old file of each name,
    // and what the run must say; empty: it succeeds.
    enum Fault { NoInode, NoBlock, ReadOnly, Folder, LinkNowhere, Link };
    const std::pair<Fault, const char*> faults[] = {{NoInode, "No space left on device"},
                                                    {NoBlock, "No space left on device"},
                                                    {ReadOnly, "Permission denied"},
                                                    {Folder, "is a folder, not a file"},
                                                    {LinkNowhere, "No such file or directory"},
                                                    {Link, ""}};
    int n = 0;
    for (const Writer& wr : writers)
        for (const auto& [fault, why] : faults) {
            SCOPED_TRACE(std::string(wr.name) + " fault " + std::to_string(fault));
            if ((fault == NoInode || fault == NoBlock) && !Root) {
                std::printf("skipped: %s on a full filesystem needs root to mount one\n", wr.name);
                continue;
            }
            const QString out = tmp.filePath(QString("out%1").arg(n++)), last = wr.outputs.last();
            std::optional<Mount> disk;
            if (fault == NoInode)
                disk.emplace(out, "size=4m,nr_inodes=" + QByteArray::number(wr.outputs.size() + 1));
            if (fault == NoBlock) disk.emplace(out, "size=256k");
            QDir().mkpath(out);
            for (const QString& o : wr.outputs)
                Put(out + "/" + o, "old " + o.toUtf8() + QByteArray(2000, '.'));
            if (fault == NoBlock) Fill(out);
            const bool asNobody = fault == ReadOnly && Root;
            if (asNobody) {
                for (const QString& f : QStringList{""} + wr.outputs)
                    ASSERT_EQ(::chown(QFile::encodeName(out + "/" + f), Nobody, Nobody), 0);
            }
            if (fault == ReadOnly) QFile::setPermissions(out + "/" + last, QFile::ReadOwner);
            if (fault >= Folder) QFile::remove(out + "/" + last);
            if (fault == Folder) QDir(out).mkdir(last);
            if (fault == LinkNowhere) QFile::link(out + "/none/x", out + "/" + last);
            if (fault == Link) QFile::link(out + "/made", out + "/" + last);
            const auto before = Snapshot(out);
            QStringList args = wr.args;
            args.replaceInStrings(QRegularExpression("^OUT"), out);
            args.replaceInStrings(QRegularExpression("^IN"), in);
            const Ran r = Tool(args, asNobody);
            if (*why) {
                EXPECT_EQ(r.code, 2) << r.err.toStdString();
                EXPECT_EQ(r.err.count('\n'), 1);
                EXPECT_TRUE(r.err.endsWith(": " + QByteArray(why) + "\n")) << r.err.toStdString();
                EXPECT_EQ(Snapshot(out), before);
            } else {
                EXPECT_EQ(r.code, 0) << r.err.toStdString();
                EXPECT_TRUE(QFileInfo(out + "/" + last).isSymLink());
                EXPECT_FALSE(ReadAll(out + "/made").isEmpty());
                auto after = Snapshot(out);
                EXPECT_EQ(after.size(), wr.outputs.size() + 1); // no temporary file stays
                for (const QString& o : wr.outputs)
                    EXPECT_FALSE(after[o].startsWith("old")) << o.toStdString();
            }
        }
}
