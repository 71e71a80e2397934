#include "windows/PG2ImportRun.h"
#include "windows/MapFiles.h"

#include <QCoreApplication>
#include <QEventLoop>
#include <QFileInfo>
#include <QThread>
#include <algorithm>

namespace zem {

namespace {
constexpr int Steps = 1000; // of the progress bar
} // namespace

PG2ImportRun::PG2ImportRun(QWidget* parent, QString path, const TileCatalogue& cat,
                           const TileImages& images, PG2ImportOptions opt)
    : path_(std::move(path)), cat_(cat), images_(images), opt_(std::move(opt)),
      dialog_(QStringLiteral("Matching the hexes of %1...").arg(QFileInfo(path_).fileName()),
              QStringLiteral("Cancel"), 0, Steps, parent) {
    dialog_.setWindowTitle(QStringLiteral("Import Panzer General 2 Map"));
    dialog_.setWindowModality(Qt::WindowModal);
    dialog_.setMinimumDuration(300);
    dialog_.setAutoReset(false);
    dialog_.setAutoClose(false);
}

std::optional<Result<PG2Import>> PG2ImportRun::Exec() {
    std::atomic<bool> cancel = false;
    std::optional<Result<PG2Import>> result;
    PG2ImportOptions opt = opt_;
    opt.control.cancel = &cancel;
    // The matcher tells its progress from its own thread; the dialog hears
    // it on this one.
    opt.control.progress = [this, &cancel](int done, int total) {
        QMetaObject::invokeMethod(
            &dialog_,
            [this, done, total, &cancel] {
                if (dialog_.wasCanceled()) cancel = true;
                // A pass the matcher adds makes the total grow: the bar
                // waits for its share rather than going back.
                const int share = total > 0 ? int(qint64(done) * Steps / total) : 0;
                dialog_.setValue(std::max(dialog_.value(), std::min(share, Steps)));
            },
            Qt::QueuedConnection);
    };
    QEventLoop loop;
    QObject::connect(&dialog_, &QProgressDialog::canceled, &loop, [&] { cancel = true; });
    QThread* worker = QThread::create([&] { result = ImportPG2(path_, cat_, images_, opt); });
    QObject::connect(worker, &QThread::finished, &loop, &QEventLoop::quit);
    dialog_.setValue(0);
    worker->start();
    loop.exec();
    worker->wait();
    delete worker;
    // Reports still on their way would find this call gone.
    QCoreApplication::removePostedEvents(&dialog_, QEvent::MetaCall);
    cancel = cancel || dialog_.wasCanceled();
    dialog_.reset();
    dialog_.hide();
    if (cancel || (result && !*result && PG2Cancelled(result->Fault()))) return std::nullopt;
    return result;
}

std::optional<PG2Import> ImportPG2Map(QWidget* parent, DialogService& dialogs, const QString& path,
                                      const QDir& workDir, const TileCatalogue& cat,
                                      const TileImages& images, bool* cancelled) {
    PG2ImportOptions opt;
    opt.catalogueName = workDir.filePath(QStringLiteral("Mapset.txt"));
    // Without a piece, the map file is read first: a file that is refused
    // anyway is no reason for the question.
    const QString missing = MissingPG2Piece(path);
    opt.noPieces = !missing.isEmpty();
    std::optional<Result<PG2Import>> ran = PG2ImportRun(parent, path, cat, images, opt).Exec();
    if (cancelled) *cancelled = !ran;
    if (!ran) return std::nullopt;
    if (!*ran) {
        dialogs.MessageBox(ran->Message(), ErrorTitle);
        return std::nullopt;
    }
    if (opt.noPieces && !dialogs.Confirm(QStringLiteral("%1 is missing.\nImport the terrain and "
                                                        "roads with tiles chosen from the "
                                                        "terrain byte alone?")
                                             .arg(missing)))
        return std::nullopt;
    return std::move(ran->Value());
}

} // namespace zem
