// The main window's map files and history: Load Map, Save Map, Save, the
// recent maps, the Tiled maps, Quit, Undo and Redo, and the question before
// unsaved changes would be lost.

#include "edit/ZemState.h"
#include "interop/TmxExport.h"
#include "interop/TmxImport.h"
#include "windows/MapFiles.h"
#include "windows/RecentMaps.h"
#include "windows/TMapForm.h"
#include "windows/TTilForm.h"
#include "windows/Windows.h"

#include <QFileInfo>

namespace zem {

bool TMapForm::AskFile(const QString& title, const QString& filter, bool save,
                       const QString& defaultExt, QString* other) {
    OpenDialog1.Title = title;
    OpenDialog1.Filter = filter;
    OpenDialog1.Save = save;
    if (!defaultExt.isEmpty()) OpenDialog1.DefaultExt = defaultExt; // else the last one stays
    return other ? ExecuteFor(w.dialogs, OpenDialog1, *other) : w.dialogs.Execute(OpenDialog1);
}

bool TMapForm::SaveTo(const QString& path) {
    doc.Settle(); // what is saved is a step of the history, never half of one
    if (!SaveText(w.dialogs, path, MapFileText(st.map))) return false;
    doc.Saved(path);
    RecentMaps::Add(path);
    ShowStatus(QStringLiteral("Saved ") + QFileInfo(path).fileName());
    return true;
}

void TMapForm::SaveMap1Click() {
    if (!doc.FileName().isEmpty()) OpenDialog1.FileName = doc.FileName();
    if (!AskFile(QStringLiteral("Save Map File"), MapFilter, true, QStringLiteral("zep"))) return;
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

void TMapForm::Loaded(const MapFileData& data, const QString& path) {
    doc.Load(data, path);
    RecentMaps::Add(doc.FileName());
    ShowStatus(QStringLiteral("Loaded ") + QFileInfo(path).fileName());
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
    if (!AskFile(QStringLiteral("Load a Map File"), MapFilter, false)) return;
    const std::optional<MapFileData> data = ReadWhole(w.dialogs, OpenDialog1.FileName, 1);
    if (data) Loaded(*data, OpenDialog1.FileName);
}

void TMapForm::ImportTmx1Click() {
    if (!MaybeSave()) return;
    if (!AskFile(QStringLiteral("Import Tiled Map"),
                 QStringLiteral("Tiled maps (*.tmx)|*.tmx|All files (*.*)|*.*"), false, {},
                 &tmxName_))
        return;
    if (const Result<TmxMap> tmx = ImportTmx(tmxName_, st.cat); !tmx)
        w.dialogs.MessageBox(tmx.Message(), ErrorTitle);
    else
        doc.Import(QStringLiteral("Import Tiled Map"), [&] { ApplyTmxMap(tmx.Value(), st.map); });
}

void TMapForm::ExportTmx1Click() {
    QString name; // no file offered to replace
    if (!AskFile(QStringLiteral("Export Tiled Map"), QStringLiteral("Tiled maps (*.tmx)|*.tmx"),
                 true, QStringLiteral("tmx"), &name))
        return;
    if (Status done = ExportTmx(st.map, st.cat, st.images, name); !done)
        w.dialogs.MessageBox(done.Message(), ErrorTitle);
    else
        ShowStatus(QStringLiteral("Exported ") + QFileInfo(name).fileName());
}

void TMapForm::Quit1Click() {
    close();
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
