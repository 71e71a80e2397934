#pragma once
// A game map import run off the interface thread: a progress dialog shows
// the hexes matched, and its Cancel stops the import, which then leaves no
// result. The windows keep answering meanwhile.

#include "interop/PG2Import.h"
#include "runtime/DialogService.h"

#include <QProgressDialog>
#include <optional>

namespace zem {

class PG2ImportRun {
  public:
    PG2ImportRun(QWidget* parent, QString path, const TileCatalogue& cat, const TileImages& images,
                 PG2ImportOptions opt);
    // Runs the import to its end; nothing when it was cancelled.
    std::optional<Result<PG2Import>> Exec();
    QProgressDialog& Dialog() { return dialog_; }

  private:
    QString path_;
    const TileCatalogue& cat_;
    const TileImages& images_;
    PG2ImportOptions opt_;
    QProgressDialog dialog_;
};

// File > Import Panzer General 2 Map's import of the file chosen: without
// a piece, the map file is read, then the user asked whether to take the
// terrain and roads alone; the progress dialog runs the import. Nothing
// when the file is refused (the error shown), the user says No or cancels
// the progress dialog (then `cancelled` is set).
std::optional<PG2Import> ImportPG2Map(QWidget* parent, DialogService& dialogs, const QString& path,
                                      const QDir& workDir, const TileCatalogue& cat,
                                      const TileImages& images, bool* cancelled = nullptr);

} // namespace zem
