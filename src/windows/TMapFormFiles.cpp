// The main window's map files, history and title: Load Map, Save Map, Save,
// the recent maps, Quit, Undo and Redo, and the question before unsaved
// changes would be lost.

#include "edit/ZemState.h"
#include "interop/TmxExport.h"
#include "interop/TmxImport.h"
#include "map/HexLayout.h"
#include "windows/MapFiles.h"
#include "windows/TMapForm.h"
#include "windows/TStratMapForm.h"
#include "windows/TTilForm.h"
#include "windows/Windows.h"

#include <QFileInfo>
#include <QSettings>

namespace zem {

static const int MaxRecent = 8;
static const QString RecentKey = QStringLiteral("recentMaps");

// The current file's name without its folder, "untitled" before it has one.
QString TMapForm::MapName() const {
    return FileName.isEmpty() ? QStringLiteral("untitled") : QFileInfo(FileName).fileName();
}

void TMapForm::UpdateTitle() {
    const bool changed = !history.IsClean();
    if (FileName.isEmpty() && !changed) {
        setWindowTitle(QStringLiteral("ZEM Map"));
        return;
    }
    setWindowTitle(QStringLiteral("ZEM Map - ") + MapName() +
                   (changed ? QStringLiteral("*") : QString()));
}

void TMapForm::ShowStatus(const QString& text) {
    StatusBar->showMessage(text, 8000);
}

bool TMapForm::SaveTo(const QString& path) {
    EndStroke(); // what is saved is a step of the history, never half of one
    if (!SaveText(w.dialogs, path, MapFileText(st.map))) return false;
    FileName = cleanName_ = path;
    history.SetClean();
    AddRecent(path);
    UpdateTitle();
    ShowStatus(QStringLiteral("Saved ") + QFileInfo(path).fileName());
    return true;
}

void TMapForm::SaveMap1Click() {
    OpenDialog1.DefaultExt = QStringLiteral("zep");
    OpenDialog1.Filter = MapFilter;
    OpenDialog1.Title = QStringLiteral("Save Map File");
    OpenDialog1.Save = true;
    if (!FileName.isEmpty()) OpenDialog1.FileName = FileName;
    if (!w.dialogs.Execute(OpenDialog1)) return;
    SaveTo(OpenDialog1.FileName);
}

void TMapForm::Save1Click() {
    if (FileName.isEmpty()) {
        // A map no file holds yet is offered no file to replace.
        OpenDialog1.FileName = QString();
        SaveMap1Click();
        return;
    }
    SaveTo(FileName);
}

bool TMapForm::MaybeSave() {
    EndStroke(); // a stroke still held is unsaved work too
    if (history.IsClean()) return true;
    switch (w.dialogs.AskSave(
        QStringLiteral("The map \"%1\" has unsaved changes. Save them?").arg(MapName()))) {
    case SaveAnswer::Discard:
        return true;
    case SaveAnswer::Cancel:
        return false;
    case SaveAnswer::Save:
        break;
    }
    Save1Click();
    return history.IsClean();
}

// The map of a file read whole becomes the current one, with a fresh history.
void TMapForm::Loaded(const MapFileData& data, const QString& path) {
    ApplyOutcome(edit::LoadMap(st.map, data));
    history.Reset();
    FileName = cleanName_ = QFileInfo(path).absoluteFilePath();
    AddRecent(FileName);
    UpdateTitle();
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
    ApplyOutcome(out);
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

void TMapForm::UpdateUndoItems() {
    Undo1->setEnabled(history.CanUndo());
    Redo1->setEnabled(history.CanRedo());
    Undo1->setText(history.CanUndo() ? QStringLiteral("Undo ") + history.UndoText()
                                     : QStringLiteral("Undo"));
    Redo1->setText(history.CanRedo() ? QStringLiteral("Redo ") + history.RedoText()
                                     : QStringLiteral("Redo"));
}

// Back at the state last loaded or saved, the map is that file's again.
void TMapForm::Undo1Click() {
    EndStroke();
    history.Undo();
    if (history.IsClean()) FileName = cleanName_;
    UpdateTitle();
}

void TMapForm::Redo1Click() {
    EndStroke();
    history.Redo();
    if (history.IsClean()) FileName = cleanName_;
    UpdateTitle();
}

// After an undo or a redo: the whole view, the labels, the palette when the
// step changed the selection, and the strategic map.
void TMapForm::ShowUndone(const EditOutcome& out) {
    UnsureHexes.clear();
    DrawMap();
    const HexPos at{st.ed.StatusX, st.ed.StatusY};
    const HexPos hex = HexLayout::PixelToHex(at.x, at.y, st.map.ViewOrigin);
    if (HexMap::InGrid(hex.x, hex.y)) { // both labels name the same hex
        WhereLbl->setText(QStringLiteral("%1,%2").arg(hex.x).arg(hex.y));
        WhatLbl->setText(TerrainText(st.map.Cell(hex.x, hex.y), st.cat));
    }
    if (out.Reselected()) w.TilForm->ShowSelection();
    FollowOverview();
    ShowHexInfo();
}

void TMapForm::FollowOverview() {
    if (w.StratMapForm->isVisible()) w.StratMapForm->FormShow();
}

} // namespace zem
