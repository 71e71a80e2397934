#include "TestSupport.h"
#include "windows/TInputForm.h"

#include <QProcess>

#include "windows/TMapForm.h"
#include <QApplication>
#include <QDirIterator>
#include <QFile>
#include <QPainter>
#include <QTest>

namespace zem::test {

QRgb TileColour(int t) {
    return qRgb((t * 37) & 255, (t * 11 + 40) & 255, 200);
}

QImage SolidTile(QRgb colour) {
    QImage img(60, 50, QImage::Format_RGB32);
    img.fill(colour);
    img.setPixel(0, 49, MaskColour);
    return img;
}

Workspace::Workspace() {
    EXPECT_TRUE(dir_.isValid());
}

void Workspace::Write(const QString& name, const QByteArray& text) const {
    QFile f(dir_.filePath(name));
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(text);
}

QByteArray Workspace::Read(const QString& name) const {
    QFile f(dir_.filePath(name));
    if (!f.open(QIODevice::ReadOnly)) return {};
    return f.readAll();
}

void Workspace::WriteMapset(const QByteArray& tileLines) const {
    Write("Mapset.txt", "60\n45\n50\n12\nS1\nS2\nS3\nS4\nS5\nS6\nS7\nS8\nS9\nS10\nS11\nS12\n"
                        "4\nNone\nClear\nForest\nTown\n2\nNone\nRoad\n" +
                            tileLines);
}

void Workspace::WriteTileBitmaps(const std::vector<int>& tiles) const {
    Dir().mkpath("tilbmp");
    for (int t : tiles)
        SolidTile(TileColour(t)).save(Path(QString::asprintf("tilbmp/til%04d.bmp", t)), "BMP");
    QImage frame(60, 50, QImage::Format_RGB32);
    frame.fill(MaskColour);
    for (int x = 15; x <= 44; ++x)
        frame.setPixel(x, 0, FrameColour);
    frame.save(Path("tilbmp/til0000.bmp"), "BMP");
    QImage mark(60, 50, QImage::Format_RGB32);
    mark.fill(MaskColour);
    for (int x = 28; x <= 32; ++x)
        mark.setPixel(x, 25, qRgb(255, 0, 0));
    mark.save(Path("tilbmp/tilmark.bmp"), "BMP");
}

void Workspace::WriteStratTiles(int count) const {
    Dir().mkpath("TilBmp");
    for (int t = 1; t <= count; ++t) {
        QImage img(8, 8, QImage::Format_RGB32);
        img.fill(TileColour(100 + t));
        img.save(Path(QString::asprintf("TilBmp/str%03d.bmp", t)), "BMP");
    }
}

void WriteStandardWorkspace(const Workspace& ws) {
    QByteArray lines;
    std::vector<int> tiles;
    for (int t = 1; t <= 8; ++t) {
        lines += QByteArray::number(t) + " 1 0 1 0 " + QByteArray::number(t) + " 5 6 7\n";
        tiles.push_back(t);
    }
    for (int t = 10; t <= 12; ++t) {
        lines += QByteArray::number(t) + " 2 0 2 1 3 0 0 0\n";
        tiles.push_back(t);
    }
    lines += "20 3 0 3 0 0 0 0 0\n";
    tiles.push_back(20);
    ws.WriteMapset(lines);
    ws.WriteTileBitmaps(tiles);
    ws.WriteStratTiles(3);
}

Ran RunProgram(const QString& program, const QStringList& args, const QString& cwd) {
    QProcess p;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert("QT_QPA_PLATFORM", "offscreen");
    p.setProcessEnvironment(env);
    if (!cwd.isEmpty()) p.setWorkingDirectory(cwd);
    p.start(program, args);
    // A guard against a hang, not a speed target.
    EXPECT_TRUE(p.waitForFinished(120000)) << program.toStdString();
    return {p.exitCode(), p.readAllStandardOutput(), p.readAllStandardError()};
}

QString SampleWorkspace(const QString& zemSample) {
    static QTemporaryDir dir;
    static const bool made = RunProgram(zemSample, {dir.path()}).code == 0;
    EXPECT_TRUE(made);
    return dir.path();
}

QByteArray ReadAll(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

std::map<QString, QByteArray> Snapshot(const QString& dir) {
    std::map<QString, QByteArray> files;
    QDirIterator it(dir, QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot,
                    QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QString path = it.next();
        files[QDir(dir).relativeFilePath(path)] =
            it.fileInfo().isFile() && !it.fileInfo().isSymLink() ? ReadAll(path) : "<other>";
    }
    return files;
}

Loaded::Loaded() {
    WriteStandardWorkspace(ws);
    st.workDir = ws.Dir();
    EXPECT_TRUE(LoadMapset(st.workDir, st.cat));
    EXPECT_TRUE(LoadTileBitmaps(st.cat, st.images, st.workDir));
}

} // namespace zem::test

namespace zem::test {

App::App() {
    st.workDir = ws.Dir();
    w.Terminate = [](int code) { FAIL() << "terminated with " << code; };
    main().show();
    main().FormActivate();
    // The program's keys are shortcuts, which work while one of its windows
    // is active.
    (void)QTest::qWaitFor([] { return QApplication::activeWindow() != nullptr; }, 2000);
}

void AnswerNewMap(App& a, const QString& w, const QString& h, bool ok) {
    a.w.InputForm->ModalScript = [=](TInputForm& f) {
        f.MapxEdit->setText(w);
        f.MapyEdit->setText(h);
        ok ? f.OKBtn->click() : f.CancelBtn->click();
    };
}

} // namespace zem::test
