// The main window's menu commands: files, new map, sections, roads, terrain
// painting, spray can, the other windows and the export.

#include "app/TMapForm.h"
#include "app/Windows.h"
#include "app/ZemState.h"
#include "convert/TMapConvert.h"
#include "export/PG2Export.h"
#include "map/MapFile.h"
#include "strat/TStratMapForm.h"
#include "tools/Roads.h"
#include "tools/Spray.h"
#include "tools/TSprayForm.h"
#include "tools/TTerrainForm.h"
#include "ui/StrToInt.h"
#include "view/Sections.h"
#include "view/TInputForm.h"

#include <QApplication>
#include <QFile>
#include <QListWidget>
#include <QPushButton>

namespace zem {

static const QString MapFilter = QStringLiteral("ZEM map files (*.zep)|*.zep|All files (*.*)|*.*");
static const QString ErrorTitle = QStringLiteral("Error");

// Saves through a temporary file; reports a failure, never a success.
static void SaveText(DialogService& dialogs, const QString& path, const QByteArray& text) {
    bool opened = false;
    const QString err = SaveFileSafely(path, text, &opened);
    if (err.isEmpty()) return;
    dialogs.MessageBox(opened ? QStringLiteral("Couldn't write \"%1\": %2").arg(path, err)
                              : QStringLiteral("Couldn't open file."),
                       ErrorTitle);
}

// Reads a map file whole, or says why not; `minSize` 0 admits an empty
// section. Returns false, silently, when the file cannot be opened.
static bool ReadWhole(DialogService& dialogs, const QString& path, MapFileData& data, int minSize) {
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly | QIODevice::Text)) return false;
    const QString err = ReadMapFile(f, data, minSize);
    if (err.isEmpty()) return true;
    dialogs.MessageBox(QStringLiteral("Couldn't read \"%1\": %2.").arg(path, err), ErrorTitle);
    return false;
}

void TMapForm::SaveMap1Click() {
    OpenDialog1.DefaultExt = QStringLiteral("zep");
    OpenDialog1.Filter = MapFilter;
    OpenDialog1.Title = QStringLiteral("Save Map File");
    if (!w.dialogs.Execute(OpenDialog1)) return;
    SaveText(w.dialogs, OpenDialog1.FileName, MapFileText(st.map));
}

void TMapForm::LoadMap1Click() {
    OpenDialog1.Filter = MapFilter;
    OpenDialog1.Title = QStringLiteral("Load a Map File");
    if (!w.dialogs.Execute(OpenDialog1)) return;
    MapFileData data;
    if (!ReadWhole(w.dialogs, OpenDialog1.FileName, data, 1)) return;
    ApplyMapFile(data, st.map);
    DrawMap();
}

void TMapForm::NewMap1Click() {
    if (w.InputForm->ShowModal() == 0) return;
    EditorState& ed = st.ed;
    if (ed.CurrentImage < 1) {
        ed.CurrentSet = 1;
        ed.CurrentImage = 1;
    }
    st.map.ViewOrigin = {0, 0};
    const int t = CurrentTile(ed, st.cat);
    for (int k = 0; k < st.map.MapWidth * st.map.MapHeight; ++k)
        PlaceTile(st.map, st.cat, k % st.map.MapWidth, k / st.map.MapWidth, t);
    if (SprayCan1->isChecked()) {
        const SpraySettings s = w.SprayForm->ReadSettings();
        SprayWholeMap(st.map, st.cat, st.Rng(), s);
    }
    DrawMap();
}

void TMapForm::CopyMapToFile1Click() {
    st.ed.ClickCount = 0;
    SetHint(QStringLiteral("Click on Top-Left corner"));
    st.ed.Mode = ModeCopySection;
}

void TMapForm::PasteFromFile1Click() {
    st.ed.ClickCount = 0;
    SetHint(QStringLiteral("Paste At (Top-Left)"));
    st.ed.Mode = ModePaste;
}

void TMapForm::WriteSection() {
    QByteArray text;
    if (!SectionText(st.map, st.ed.SectionCorner1, st.ed.SectionCorner2, text)) {
        w.dialogs.MessageBox(QStringLiteral("Invalid Section Size"), ErrorTitle);
        return;
    }
    OpenDialog1.DefaultExt = QStringLiteral("zep");
    OpenDialog1.Filter = MapFilter;
    OpenDialog1.Title = QStringLiteral("Save Section to Map File");
    if (!w.dialogs.Execute(OpenDialog1)) return;
    SaveText(w.dialogs, OpenDialog1.FileName, text);
}

void TMapForm::PasteSection() {
    OpenDialog1.Filter = MapFilter;
    OpenDialog1.Title = QStringLiteral("Paste From Map File");
    if (!w.dialogs.Execute(OpenDialog1)) return;
    MapFileData data;
    if (!ReadWhole(w.dialogs, OpenDialog1.FileName, data, 0)) return;
    PasteCells(data, st.ed.PasteAt, st.map);
    DrawMap();
}

void TMapForm::MakeRoadConnections1Click() {
    MakeRoadConnections(st.map);
}
void TMapForm::ClearRoadConnections1Click() {
    ClearRoadConnections(st.map);
}

void TMapForm::ShowRoadConnections1Click() {
    ShowRoadConnections1->setChecked(!ShowRoadConnections1->isChecked());
    DrawMap();
}

void TMapForm::ToggleRoadConnections1Click() {
    if (ToggleRoadConnections1->isChecked()) {
        ToggleRoadConnections1->setChecked(false);
        SetHint(QString());
        return;
    }
    CancelModes();
    ToggleRoadConnections1->setChecked(true);
    st.ed.ClickCount = 0;
    SetHint(QStringLiteral("Click on tile 1"));
}

void TMapForm::CancelModes() {
    if (ToggleRoadConnections1->isChecked()) ToggleRoadConnections1Click();
    if (TerrainType11->isChecked()) TerrainType11Click();
    if (TerrainType21->isChecked()) TerrainType21Click();
    if (SprayCan1->isChecked()) SprayCan1Click();
}

void TMapForm::SwitchTerrainMode(QAction* item, int mode, const QString& hint,
                                 const QString& title) {
    if (item->isChecked()) {
        item->setChecked(false);
        SetHint(QString());
        w.TerrainForm->close();
        st.ed.Mode = ModeTiles;
        return;
    }
    CancelModes();
    item->setChecked(true);
    st.ed.ClickCount = 0;
    SetHint(hint);
    const bool first = mode == ModePaintTT1;
    w.TerrainForm->Fill(first ? st.cat.TT1Names : st.cat.TT2Names,
                        first ? st.cat.TT1Count : st.cat.TT2Count);
    w.TerrainForm->setWindowTitle(title);
    w.TerrainForm->show();
    w.TerrainForm->raise();
    st.ed.Mode = std::uint8_t(mode);
}

void TMapForm::TerrainType11Click() {
    SwitchTerrainMode(TerrainType11, ModePaintTT1, QStringLiteral("Select 1st Terrain Type"),
                      QStringLiteral("Terrain Type 1"));
}

void TMapForm::TerrainType21Click() {
    SwitchTerrainMode(TerrainType21, ModePaintTT2, QStringLiteral("Select 2nd Terrain Type"),
                      QStringLiteral("Terrain Type 2"));
}

void TMapForm::SprayCan1Click() {
    if (SprayCan1->isChecked()) {
        SprayCan1->setChecked(false);
        SetHint(QString());
        st.ed.Mode = ModeTiles;
        return;
    }
    CancelModes();
    SprayCan1->setChecked(true);
    st.ed.ClickCount = 0;
    SetHint(QStringLiteral("Sprayer is ON"));
    st.ed.Mode = ModeSpray;
}

static void ShowInFront(QWidget* form) {
    form->show();
    form->raise();
    form->activateWindow();
}

void TMapForm::SprayCanSettings1Click() {
    ShowInFront(w.SprayForm.get());
}
void TMapForm::ShowStrategicMap1Click() {
    ShowInFront(w.StratMapForm.get());
}
void TMapForm::ConvertBitmap1Click() {
    ShowInFront(w.MapConvert.get());
}
void TMapForm::GenerateTerrain1Click() {
    w.MapConvert->CoastBtn->click();
}

void TMapForm::PanzerGeneral21Click() {
    st.ExportMapNumber = StrToInt(w.MapConvert->MapNumEdit->text());
    if (st.map.MapWidth != PG2Width || st.map.MapHeight != PG2Height) {
        w.dialogs.MessageBox(QStringLiteral("Map must be 44x39"), ErrorTitle);
        return;
    }
    QApplication::setOverrideCursor(Qt::WaitCursor);
    const QString err = ExportPG2(st.map, st.cat, st.images, st.ExportMapNumber, st.workDir);
    QApplication::restoreOverrideCursor();
    if (!err.isEmpty()) w.dialogs.MessageBox(err, ErrorTitle);
}

} // namespace zem
