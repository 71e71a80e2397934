// Broken inputs and failing outputs through zemtool, as a hostile user or a
// bad disk would give them: every refusal exits with 2, says in one line on
// stderr which file is at fault and why, and leaves every output as it was.

#include "TestSupport.h"
#include "convert/SketchConvert.h"
#include "convert/TerrainFix.h"
#include "map/MapFile.h"

#include <QBuffer>
#include <QFile>
#include <QProcess>
#include <fcntl.h>
#include <functional>
#include <map>
#include <sys/stat.h>
#include <unistd.h>

using namespace zem;
using namespace zem::test;

namespace {

// zemtool, or with `shell` set, zemtool started by that shell line in which
// "$@" stands for the arguments.
Ran Tool(const QStringList& args, const QString& shell = QString()) {
    QProcess p;
    if (shell.isEmpty())
        p.start(ZEMTOOL, args);
    else
        p.start("/bin/sh", QStringList{"-c", shell, "sh", ZEMTOOL} + args);
    // A guard against a hang, not a speed target.
    EXPECT_TRUE(p.waitForFinished(30000)) << args.join(' ').toStdString();
    return {p.exitCode(), p.readAllStandardOutput(), p.readAllStandardError()};
}

QString Sample() {
    return SampleWorkspace(ZEMSAMPLE);
}

// A workspace whose files link to the sample's, so that one of them can be
// replaced by a broken one; and an empty output folder beside it.
struct Scratch {
    QTemporaryDir dir;
    QString ws = dir.filePath("ws"), out = dir.filePath("out");
    Scratch() {
        QDir d(dir.path());
        d.mkpath("ws/tilbmp");
        d.mkpath("out");
        for (const QString& f : QDir(Sample()).entryList(QDir::Files))
            QFile::link(Sample() + "/" + f, ws + "/" + f);
        for (const QString& f : QDir(Sample() + "/tilbmp").entryList(QDir::Files))
            QFile::link(Sample() + "/tilbmp/" + f, ws + "/tilbmp/" + f);
        // A small map of the sample's tiles 1 (clear) and 11 (sea).
        EXPECT_EQ(
            Tool({"--workspace", ws, "new", "7x5", "--tile", "1", "-o", dir.filePath("m.zep")})
                .code,
            0);
    }
    QString Map() const { return dir.filePath("m.zep"); }
};

// What is done to the file under test.
struct Breakage {
    const char* label;
    std::function<void(const QString& path, const QByteArray& good)> apply;
    bool accepted = false; // read as the good file is
};

void Put(const QString& path, const QByteArray& bytes) {
    QFile::remove(path);
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(bytes);
}

QByteArray Garbage(int size) {
    QByteArray b(size, '\0');
    std::uint32_t s = 12345;
    for (char& c : b) {
        s = s * 1103515245u + 12345u;
        c = char(s >> 24);
    }
    return b;
}

Breakage Cut(const char* label, int keep) {
    return {label, [keep](const QString& p, const QByteArray& g) {
                Put(p, keep >= 0 ? g.left(keep) : g.left(g.size() + keep));
            }};
}

// The breakages every reader meets. A text file cut short may still be a
// sound file of the format; each reader lists the cuts that leave it broken.
std::vector<Breakage> Common(bool text) {
    std::vector<Breakage> all = {
        {"empty", [](const QString& p, const QByteArray&) { Put(p, ""); }},
        {"binary garbage", [](const QString& p, const QByteArray&) { Put(p, Garbage(4096)); }},
        {"100 MB of zeros",
         [](const QString& p, const QByteArray&) {
             Put(p, "");
             QFile f(p);
             ASSERT_TRUE(f.resize(100 * 1024 * 1024)); // sparse: no disk is spent
         }},
        {"a folder in its place",
         [](const QString& p, const QByteArray&) {
             QFile::remove(p);
             QDir().mkpath(p);
         }},
        {"missing", [](const QString& p, const QByteArray&) { QFile::remove(p); }},
    };
    if (text) {
        all.push_back({"BOM",
                       [](const QString& p, const QByteArray& g) { Put(p, "\xEF\xBB\xBF" + g); },
                       true});
        all.push_back({"CR line ends",
                       [](const QString& p, const QByteArray& g) {
                           Put(p, QByteArray(g).replace('\n', '\r'));
                       },
                       true});
        all.push_back({"CR LF line ends",
                       [](const QString& p, const QByteArray& g) {
                           Put(p, QByteArray(g).replace("\n", "\r\n"));
                       },
                       true});
    } else {
        all.push_back(Cut("cut in the header", 20));
        all.push_back({"cut at a half", [](const QString& p, const QByteArray& g) {
                           Put(p, g.left(g.size() / 2));
                       }});
        all.push_back(Cut("cut short by one byte", -1));
        all.push_back({"BOM before the picture",
                       [](const QString& p, const QByteArray& g) { Put(p, "\xEF\xBB\xBF" + g); }});
    }
    return all;
}

Breakage CutBefore(const char* label, QByteArray marker) {
    return {label, [marker](const QString& p, const QByteArray& g) {
                ASSERT_GT(g.indexOf(marker), 0);
                Put(p, g.left(g.indexOf(marker)));
            }};
}

Breakage Text(const char* label, QByteArray text, bool accepted = false) {
    return {label, [text](const QString& p, const QByteArray&) { Put(p, text); }, accepted};
}

// A bitmap whose header claims `width` by `height` pixels.
Breakage Claims(const char* label, qint32 width, qint32 height) {
    return {label, [width, height](const QString& p, const QByteArray& g) {
                QByteArray b = g;
                std::memcpy(b.data() + 18, &width, 4);
                std::memcpy(b.data() + 22, &height, 4);
                Put(p, b);
            }};
}

// Runs the command once on the good file and once per breakage of it. A
// workspace file is broken in the scratch workspace, any other beside it.
void CheckReader(const char* reader, const QString& file, bool inWorkspace, bool text,
                 const QByteArray& good, std::vector<Breakage> own,
                 const std::function<QStringList(const Scratch&, const QString& path)>& command) {
    std::vector<Breakage> all = Common(text);
    all.insert(all.end(), own.begin(), own.end());
    auto place = [&](const Scratch& s) {
        const QString path = inWorkspace ? s.ws + "/" + file : s.dir.filePath("in/" + file);
        QDir().mkpath(QFileInfo(path).path());
        return path;
    };
    QByteArray goodOut;
    {
        Scratch s;
        const QString path = place(s);
        Put(path, good);
        const Ran r = Tool(command(s, path));
        ASSERT_EQ(r.code, 0) << reader << ": " << r.err.toStdString();
        goodOut = r.out;
    }
    for (const Breakage& b : all) {
        SCOPED_TRACE(std::string(reader) + ", " + b.label);
        Scratch s;
        const QString path = place(s);
        b.apply(path, good);
        const auto before = Snapshot(s.out);
        const Ran r = Tool(command(s, path));
        if (b.accepted) {
            EXPECT_EQ(r.code, 0) << r.err.toStdString();
            EXPECT_EQ(r.out, goodOut);
            continue;
        }
        EXPECT_EQ(r.code, 2) << r.err.toStdString();
        EXPECT_TRUE(r.err.startsWith("zemtool: ")) << r.err.toStdString();
        EXPECT_EQ(r.err.count('\n'), 1) << r.err.toStdString();
        EXPECT_TRUE(r.err.endsWith('\n'));
        EXPECT_TRUE(r.err.contains(QFileInfo(file).fileName().toUtf8())) << r.err.toStdString();
        // After the name comes what is wrong with it.
        EXPECT_GT(r.err.size() - r.err.lastIndexOf(QFileInfo(file).fileName().toUtf8()),
                  QFileInfo(file).fileName().size() + 6)
            << r.err.toStdString();
        EXPECT_TRUE(r.out.isEmpty());
        EXPECT_EQ(Snapshot(s.out), before);
    }
}

QByteArray SampleFile(const QString& name) {
    return ReadAll(Sample() + "/" + name);
}

// A 7 by 5 map of the sample's tile 1.
QByteArray SmallMap() {
    Scratch s;
    return ReadAll(s.Map());
}

} // namespace

TEST(BadInput, MapFile) {
    CheckReader(
        "map file", "m.zep", false, true, SmallMap(),
        {CutBefore("cut in the middle", ";Row 2"), Cut("cut inside the last cell line", -40),
         Text("size of two billion", "2000000000\n2000000000\n"), Text("negative size", "-7\n5\n"),
         Text("size beyond 32 bits", "4294967303\n5\n"), Text("too few numbers", "1\n1\n 1 2 3\n")},
        [](const Scratch& s, const QString& f) {
            return QStringList{"roads", f, "-o", s.out + "/x.zep"};
        });
}

TEST(BadInput, Catalogue) {
    const QByteArray names = "S1\nS2\nS3\nS4\nS5\nS6\nS7\nS8\nS9\nS10\nS11\nS12\n";
    const QByteArray tiles = "1 1 0 1 0 0 0 0 0\n";
    CheckReader("catalogue", "Mapset.txt", true, true, SampleFile("Mapset.txt"),
                {CutBefore("cut inside the set names", "CoastA"),
                 CutBefore("cut before the tile lines", "1 1 "),
                 Text("set count of two billion",
                      "60\n45\n50\n2000000000\n" + names + "1\nA\n1\nB\n" + tiles),
                 Text("name count of two billion",
                      "60\n45\n50\n12\n" + names + "2000000000\nA\n1\nB\n" + tiles),
                 Text("tile size of 1000", "1000\n45\n1000\n12\n" + names + "1\nA\n1\nB\n" + tiles),
                 Text("negative tile width", "-60\n45\n50\n12\n" + names + "1\nA\n1\nB\n" + tiles),
                 Text("no tile line", "60\n45\n50\n12\n" + names + "1\nA\n1\nB\n;the end\n"),
                 Text("no header number", "wide\nstep\nhigh\nsets\n" + names)},
                [](const Scratch& s, const QString&) {
                    return QStringList{"--workspace", s.ws, "info", s.Map()};
                });
}

TEST(BadInput, ColourTable) {
    CheckReader("colour table", "Gmap.txt", true, true, SampleFile("Gmap.txt"),
                {CutBefore("cut before the tiles", ";three tiles"),
                 Cut("cut inside the last tile line", -5),
                 Text("count of two billion", "2000000000\n0 0 255\n1 1 1\n"),
                 Text("negative count", "-1\n0 0 255\n1 1 1\n"),
                 Text("colour beyond 255", "1\n0 0 256\n1 1 1\n"),
                 Text("negative tile", "1\n0 0 255\n1 -1 1\n"),
                 Text("tile beyond the catalogue", "1\n0 0 255\n1 648 1\n")},
                [](const Scratch& s, const QString&) {
                    return QStringList{"--workspace", s.ws,
                                       "convert",     s.ws + "/sketch.bmp",
                                       "-o",          s.out + "/x.zep",
                                       "--scale",     "10",
                                       "--seed",      "1"};
                });
}

TEST(BadInput, TerrainTemplate) {
    CheckReader("terrain template", "coast.txt", false, true, SampleFile("coast.txt"),
                {CutBefore("cut inside the first line", " 11 11 11 11"),
                 Text("first line short", "1 2 3 4 5 6 7\n1 1 1\n"),
                 Text("second line short", "1 2 3 4 5 6 7 8\n1 1\n"),
                 // Numbers out of every range are tile and set numbers no hex
                 // has: read, and nothing changes.
                 Text("huge and negative numbers",
                      "2147483647 -2147483648 4294967296 -1 99999999999 0 0 0\n-5 13 2000000000\n"
                      "XXXXXX -1 2147483647 -2147483648\n",
                      true)},
                [](const Scratch& s, const QString& f) {
                    return QStringList{"--workspace",   s.ws, "fix", s.Map(), f, "-o",
                                       s.out + "/x.zep"};
                });
}

TEST(BadInput, SketchBitmap) {
    CheckReader("sketch", "sketch.bmp", false, false, SampleFile("sketch.bmp"),
                {Claims("header of two billion pixels", 2000000000, 2000000000),
                 Claims("negative width", -440, 390),
                 Claims("30000 by 30000", 30000, 30000),
                 // The PNG decoder's own complaint must not reach stderr as a
                 // second line.
                 {"a PNG cut short",
                  [](const QString& p, const QByteArray& g) {
                      QByteArray png;
                      QBuffer buf(&png);
                      buf.open(QIODevice::WriteOnly);
                      QImage::fromData(g).save(&buf, "PNG");
                      Put(p, png.left(png.size() / 2));
                  }}},
                [](const Scratch& s, const QString& f) {
                    return QStringList{"--workspace",    s.ws,      "convert", f,        "-o",
                                       s.out + "/x.zep", "--scale", "10",      "--seed", "1"};
                });
}

TEST(BadInput, TileBitmap) {
    CheckReader("tile bitmap", "tilbmp/til0001.bmp", true, false, SampleFile("tilbmp/til0001.bmp"),
                {Claims("header of two billion pixels", 2000000000, 2000000000),
                 Claims("another size", 61, 50)},
                [](const Scratch& s, const QString&) {
                    return QStringList{"--workspace", s.ws, "render",
                                       s.Map(),       "-o", s.out + "/x.png"};
                });
}

namespace {

// Runs zemtool in a child whose files may grow to `kb` kilobytes, with
// SIGXFSZ ignored: a write beyond fails with "File too large", the same path
// a full disk takes with "No space left on device".
Ran ToolLimited(int kb, const QStringList& args) {
    return Tool(args, QString("trap '' XFSZ; ulimit -f %1; exec \"$@\"").arg(kb));
}

// The thirteen export files of map 67, each holding its own old text.
void PutOldSet(const QString& dir) {
    QStringList names;
    for (int s = 0; s < 3; ++s)
        for (int b = 0; b < 4; ++b)
            names << QString("map67%1%2.bmp").arg(s).arg(b);
    names << "Map67.map";
    for (const QString& n : names)
        Put(dir + "/" + n, "old " + n.toUtf8());
}

QString Pg2Map(const Scratch& s) {
    const QString map = s.dir.filePath("pg2.zep");
    EXPECT_EQ(
        Tool({"--workspace", s.ws, "convert", s.ws + "/sketch.bmp", "-o", map, "--scale", "10"})
            .code,
        0);
    return map;
}

} // namespace

TEST(BadOutput, TargetsThatCannotTakeAFileAreRefusedUntouched) {
    Scratch s;
    Put(s.out + "/old.zep", "old map\n");
    Put(s.out + "/file", "a plain file\n");
    QDir(s.out).mkdir("dir");
    ASSERT_EQ(::mkfifo(QFile::encodeName(s.out + "/pipe").constData(), 0644), 0);
    // A reader on the pipe, so that a write would neither block nor go
    // unnoticed.
    QFile pipe(s.out + "/pipe");
    const int fd = ::open(QFile::encodeName(s.out + "/pipe").constData(), O_RDONLY | O_NONBLOCK);
    ASSERT_GE(fd, 0);
    const auto before = Snapshot(s.out);
    const std::pair<const char*, const char*> cases[] = {
        {"file/x.zep", "Not a directory"},
        {"none/x.zep", "No such file or directory"},
        {"dir", "is a folder, not a file"},
        {"pipe", "is a pipe, not a regular file"},
    };
    for (auto [target, why] : cases) {
        const QString path = s.out + "/" + target;
        const Ran r = Tool({"roads", s.Map(), "-o", path});
        EXPECT_EQ(r.code, 2) << target;
        EXPECT_EQ(r.err, "zemtool: " + path.toUtf8() + ": " + why + "\n");
        EXPECT_EQ(Snapshot(s.out), before) << target;
    }
    char byte;
    EXPECT_LE(::read(fd, &byte, 1), 0); // not a byte reached the pipe
    ::close(fd);
    struct stat st;
    ASSERT_EQ(::stat(QFile::encodeName(s.out + "/pipe").constData(), &st), 0);
    EXPECT_TRUE(S_ISFIFO(st.st_mode));
}

TEST(BadOutput, AWriteFailingPartWayKeepsTheOldFile) {
    Scratch s;
    Put(s.out + "/old.zep", "old map\n");
    const auto before = Snapshot(s.out);
    const Ran r = ToolLimited(2, {"roads", s.Map(), "-o", s.out + "/old.zep"});
    EXPECT_EQ(r.code, 2);
    EXPECT_EQ(r.err, "zemtool: " + (s.out + "/old.zep").toUtf8() + ": File too large\n");
    EXPECT_EQ(Snapshot(s.out), before);

    // The same for the export: its pieces are larger than the limit.
    PutOldSet(s.out);
    const auto oldSet = Snapshot(s.out);
    const Ran e = ToolLimited(
        500, {"--workspace", s.ws, "export-pg2", Pg2Map(s), "--number", "67", "--out", s.out});
    EXPECT_EQ(e.code, 2);
    EXPECT_EQ(e.err, "zemtool: " + (s.out + "/map6700.bmp").toUtf8() + ": File too large\n");
    EXPECT_EQ(Snapshot(s.out), oldSet);
}

TEST(BadOutput, ExportIsAllOrNothing) {
    Scratch s;
    const QString map = Pg2Map(s);
    PutOldSet(s.out);
    // The seventh target is a pipe: nothing of the new set may arrive.
    QFile::remove(s.out + "/map6712.bmp");
    ASSERT_EQ(::mkfifo(QFile::encodeName(s.out + "/map6712.bmp").constData(), 0644), 0);
    const auto before = Snapshot(s.out);
    const Ran r = Tool({"--workspace", s.ws, "export-pg2", map, "--number", "67", "--out", s.out});
    EXPECT_EQ(r.code, 2);
    EXPECT_EQ(r.err, "zemtool: " + (s.out + "/map6712.bmp").toUtf8() +
                         ": is a pipe, not a regular file\n");
    EXPECT_TRUE(r.out.isEmpty());
    EXPECT_EQ(Snapshot(s.out), before);

    // With the pipe gone the new set replaces the old one whole, and no
    // temporary or old file stays behind.
    QFile::remove(s.out + "/map6712.bmp");
    ASSERT_EQ(Tool({"--workspace", s.ws, "export-pg2", map, "--number", "67", "--out", s.out}).code,
              0);
    const auto after = Snapshot(s.out);
    EXPECT_EQ(after.size(), 13u);
    for (const auto& [name, bytes] : after) {
        EXPECT_FALSE(bytes.startsWith("old")) << name.toStdString();
        EXPECT_FALSE(name.startsWith('.')) << name.toStdString();
    }
}

TEST(BadInput, MessagesGiveTheFilesLineNumbers) {
    auto message = [](const QByteArray& text, auto read) {
        QByteArray bytes = text;
        QBuffer buf(&bytes);
        buf.open(QIODevice::ReadOnly);
        return read(buf);
    };
    EXPECT_EQ(message(";c\r\n;c\r\n2\r\n0 0 255\r\n;c\r\n0 0\r\n",
                      [](QBuffer& b) { return LoadColourTable(b, "Gmap.txt").Message(); }),
              "Gmap.txt: line 6: three numbers expected");
    EXPECT_EQ(message(";c\r;c\r1 2 3 4 5 6 7 8\r;c\r1 1\r",
                      [](QBuffer& b) { return LoadTerrainTemplate(b, "t.txt").Message(); }),
              "t.txt: line 5: the second line must hold three tile set numbers");
    EXPECT_EQ(message("\xEF\xBB\xBF;m\n1\n;c\n2\n;Row 0\n" + QByteArray(40, '1') + "\n",
                      [](QBuffer& b) { return ReadMapFile(b, "m.zep").Message(); }),
              "m.zep: line 6: the line of hex 0,0 holds fewer than 32 numbers");
    TileCatalogue cat;
    EXPECT_EQ(message(";c\n60\n45\n;c\n300\n1\nA\n0\n0\n1 1 0 0 0 0 0 0 0\n",
                      [&](QBuffer& b) { return LoadMapset(b, cat).Message(); }),
              "Mapset.txt: line 5: the tile height 300 lies outside 1..256");
}
