// File > Import Panzer General 2 Map: a game map back as an untitled map,
// one step to undo, with the hexes whose tile is unsure marked.

#include "edit/ZemState.h"
#include "interop/PG2Import.h"
#include "windows/MapFiles.h"
#include "windows/TMapForm.h"
#include "windows/Windows.h"

#include <QApplication>

namespace zem {

void TMapForm::ImportPG21Click() {
    if (!MaybeSave()) return;
    if (!AskFile(QStringLiteral("Import Panzer General 2 Map"),
                 QStringLiteral("Panzer General 2 maps (Map*.map)|Map*.map|All files (*.*)|*.*"),
                 false))
        return;
    PG2ImportOptions opt;
    opt.catalogueName = st.workDir.filePath(QStringLiteral("Mapset.txt"));
    // Without a piece, the map file is read first: a file that is refused
    // anyway is no reason for the question.
    const QString missing = MissingPG2Piece(OpenDialog1.FileName);
    opt.noPieces = !missing.isEmpty();
    QApplication::setOverrideCursor(Qt::WaitCursor);
    const Result<PG2Import> imp = ImportPG2(OpenDialog1.FileName, st.cat, st.images, opt);
    QApplication::restoreOverrideCursor();
    if (!imp) {
        w.dialogs.MessageBox(imp.Message(), ErrorTitle);
        return;
    }
    if (opt.noPieces && !w.dialogs.Confirm(QStringLiteral("%1 is missing.\nImport the terrain and "
                                                          "roads with tiles chosen from the "
                                                          "terrain byte alone?")
                                               .arg(missing)))
        return;
    doc.Import(QStringLiteral("Import Panzer General 2 Map"),
               [&] { ApplyPG2Import(imp.Value(), st.map); });
    doc.SetUnsure(imp->Unsure());
    ShowStatus(imp->Summary());
}

} // namespace zem
