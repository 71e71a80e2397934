// The main window's map files and history: Load Map, Save Map, Save, the
// recent maps, the Tiled maps, Quit, Undo and Redo, and the question before
// unsaved changes would be lost.

#include "edit/ZemState.h"
#include "interop/TmxExport.h"
#include "interop/TmxImport.h"
#include "windows/MapFiles.h"
#include "windows/TMapForm.h"
#include "windows/TTilForm.h"
#include "windows/Windows.h"

#include <QFileInfo>
#include <QSettings>

namespace zem {

static const int MaxRecent = 8;
static const QString RecentKey = QStringLiteral("recentMaps");

bool TMapForm::SaveTo(const QString& path) {
    doc.Settle(); // what is saved is a step of the history, never half of one
    if (!SaveText(w.dialogs, path, MapFileText(st.map))) return false;
    doc.Saved(path);
    AddRecent(path);
    ShowStatus(QStringLiteral("Saved ") + QFileInfo(path).fileName());
    return true;
}

void TMapForm::SaveMap1Click() {
    OpenDialog1.DefaultExt = QStringLiteral("zep");
    OpenDialog1.Filter = MapFilter;
    OpenDialog1.Title = QStringLiteral("Save Map File");
    OpenDialog1.Save = true;
    if (!doc.FileName().isEmpty()) OpenDialog1.FileName = doc.FileName();
    if (!w.dialogs.Execute(OpenDialog1)) return;
    SaveTo(OpenDialog1.FileName);
}

void TMapForm::Save1Click() {
    if (doc.FileName().isEmpty()) {
        // A map no file holds yet is offered no file to replace.
        OpenDialog1.FileName = QString();
        SaveMap1Click();
        return;
    }
    SaveTo(doc.FileName());
}

bool TMapForm::MaybeSave() {
    doc.Settle(); // a stroke still held is unsaved work too
    if (doc.IsClean()) return true;
    switch (w.dialogs.AskSave(
        QStringLiteral("The map \"%1\" has unsaved changes. Save them?").arg(doc.MapName()))) {
    case SaveAnswer::Discard:
        return true;
    case SaveAnswer::Cancel:
        return false;
    case SaveAnswer::Save:
        break;
    }
    Save1Click();
    return doc.IsClean();
}

// The map of a file read whole becomes the current one, with a fresh history.
void TMapForm::Loaded(const MapFileData& data, const QString& path) {
    doc.Apply(edit::LoadMap(st.map, data));
    doc.Opened(path);
    AddRecent(doc.FileName());
}

bool TMapForm::OpenMapFile(const QString& path) {
    Result<MapFileData> data = ReadMapFile(path);
    if (!data) {
        w.dialogs.MessageBox(data.Message(), ErrorTitle);
        // The message box took the activation the palette draws its first
        // set on; draw it as that activation would have.
        w.TilForm->FormActivate();
        return false;
    }
    Loaded(data.Value(), path);
    return true;
}

void TMapForm::LoadMap1Click() {
    if (!MaybeSave()) return;
    OpenDialog1.Filter = MapFilter;
    OpenDialog1.Title = QStringLiteral("Load a Map File");
    OpenDialog1.Save = false;
    if (!w.dialogs.Execute(OpenDialog1)) return;
    const std::optional<MapFileData> data = ReadWhole(w.dialogs, OpenDialog1.FileName, 1);
    if (data) Loaded(*data, OpenDialog1.FileName);
}

void TMapForm::ImportTmx1Click() {
    if (!MaybeSave()) return;
    OpenDialog1.Filter = QStringLiteral("Tiled maps (*.tmx)|*.tmx|All files (*.*)|*.*");
    OpenDialog1.Title = QStringLiteral("Import Tiled Map");
    OpenDialog1.Save = false;
    if (!w.dialogs.Execute(OpenDialog1)) return;
    const Result<TmxMap> tmx = ImportTmx(OpenDialog1.FileName, st.cat);
    if (!tmx) {
        w.dialogs.MessageBox(tmx.Message(), ErrorTitle);
        return;
    }
    ApplyImported(QStringLiteral("Import Tiled Map"), [&] { ApplyTmxMap(tmx.Value(), st.map); });
}

// An imported map is a change of the map, one step, and no file of ours yet.
void TMapForm::ApplyImported(const QString& step, const std::function<void()>& read) {
    EditOutcome out = Recorded(st.map, step, read);
    out.redraw = Redraw::View;
    out.newMap = true;
    doc.Apply(out);
}

void TMapForm::ExportTmx1Click() {
    OpenDialog1.Filter = QStringLiteral("Tiled maps (*.tmx)|*.tmx");
    OpenDialog1.DefaultExt = QStringLiteral("tmx");
    OpenDialog1.Title = QStringLiteral("Export Tiled Map");
    OpenDialog1.Save = true;
    OpenDialog1.FileName = QString();
    if (!w.dialogs.Execute(OpenDialog1)) return;
    if (Status done = ExportTmx(st.map, st.cat, st.images, OpenDialog1.FileName); !done) {
        w.dialogs.MessageBox(done.Message(), ErrorTitle);
        return;
    }
    ShowStatus(QStringLiteral("Exported ") + QFileInfo(OpenDialog1.FileName).fileName());
}

void TMapForm::Quit1Click() {
    close();
}

void TMapForm::AddRecent(const QString& path) {
    QSettings settings;
    QStringList list = settings.value(RecentKey).toStringList();
    const QString full = QFileInfo(path).absoluteFilePath();
    list.removeAll(full);
    list.prepend(full);
    while (list.size() > MaxRecent)
        list.removeLast();
    settings.setValue(RecentKey, list);
}

void TMapForm::FillRecentMenu() {
    RecentMaps1->clear();
    const QStringList list = QSettings().value(RecentKey).toStringList();
    for (const QString& path : list) {
        QAction* a = RecentMaps1->addAction(QFileInfo(path).fileName() + QStringLiteral("  (") +
                                            QFileInfo(path).path() + QStringLiteral(")"));
        a->setEnabled(QFileInfo(path).isFile()); // a file gone since is greyed out
        connect(a, &QAction::triggered, this, [this, path] {
            if (MaybeSave()) OpenMapFile(path);
        });
    }
    if (list.isEmpty()) RecentMaps1->addAction(QStringLiteral("(none)"))->setEnabled(false);
}

// The items name the step they take back or repeat, greyed when none.
void TMapForm::UpdateUndoItems() {
    const History& h = doc.Steps();
    Undo1->setEnabled(h.CanUndo());
    Redo1->setEnabled(h.CanRedo());
    Undo1->setText(h.CanUndo() ? QStringLiteral("Undo ") + h.UndoText() : QStringLiteral("Undo"));
    Redo1->setText(h.CanRedo() ? QStringLiteral("Redo ") + h.RedoText() : QStringLiteral("Redo"));
}

void TMapForm::Undo1Click() {
    doc.Undo();
}

void TMapForm::Redo1Click() {
    doc.Redo();
}

} // namespace zem
