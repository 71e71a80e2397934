// The main window's menu commands: files, new map, sections, roads, terrain
// painting, spray can, the other windows and the export.

#include "edit/Edit.h"
#include "edit/ZemState.h"
#include "export/PG2Export.h"
#include "map/MapFile.h"
#include "map/Sections.h"
#include "windows/MapFiles.h"
#include "windows/TInputForm.h"
#include "windows/TMapConvert.h"
#include "windows/TMapForm.h"
#include "windows/TSprayForm.h"
#include "windows/TStratMapForm.h"
#include "windows/TTerrainForm.h"
#include "windows/Windows.h"

#include <QApplication>
#include <optional>

namespace zem {

void TMapForm::NewMap1Click() {
    if (!MaybeSave()) return;
    const MapRecorder before(st.map);
    const bool accepted = w.InputForm->ShowModal() != 0;
    std::function<SpraySettings()> spray;
    if (SprayCan1->isChecked()) spray = [this] { return w.SprayForm->ReadSettings(); };
    ApplyOutcome(edit::NewMap(Target(st), before, accepted, spray));
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
    OpenDialog1.Save = true;
    if (!w.dialogs.Execute(OpenDialog1)) return;
    SaveText(w.dialogs, OpenDialog1.FileName, text);
}

void TMapForm::PasteSection() {
    OpenDialog1.Filter = MapFilter;
    OpenDialog1.Title = QStringLiteral("Paste From Map File");
    OpenDialog1.Save = false;
    if (!w.dialogs.Execute(OpenDialog1)) return;
    const std::optional<MapFileData> data = ReadWhole(w.dialogs, OpenDialog1.FileName, 0);
    if (data) ApplyOutcome(edit::PasteSection(st.map, *data, st.ed.PasteAt));
}

void TMapForm::MakeRoadConnections1Click() {
    ApplyOutcome(edit::MakeRoads(st.map));
}
void TMapForm::ClearRoadConnections1Click() {
    ApplyOutcome(edit::ClearRoads(st.map));
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
        if (TerrainCodesShown()) DrawMap(); // the codes go
        return;
    }
    CancelModes();
    item->setChecked(true);
    st.ed.ClickCount = 0;
    SetHint(hint);
    const bool first = mode == ModePaintTT1;
    w.PlaceBeside(w.TerrainForm.get());
    w.TerrainForm->ShowNames(first ? st.cat.TT1Names : st.cat.TT2Names,
                             first ? st.cat.TT1Count : st.cat.TT2Count, title);
    st.ed.Mode = std::uint8_t(mode);
    if (TerrainCodesShown()) DrawMap(); // every hex shows its code
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
    w.PlaceBeside(w.SprayForm.get());
    ShowInFront(w.SprayForm.get());
}
void TMapForm::ShowStrategicMap1Click() {
    w.PlaceBeside(w.StratMapForm.get());
    ShowInFront(w.StratMapForm.get());
}
void TMapForm::ConvertBitmap1Click() {
    w.PlaceCentred(w.MapConvert.get());
    ShowInFront(w.MapConvert.get());
}
void TMapForm::GenerateTerrain1Click() {
    w.MapConvert->CoastBtnClick();
}

void TMapForm::PanzerGeneral21Click() {
    st.ExportMapNumber = w.MapConvert->MapNumber();
    if (st.map.MapWidth != PG2Width || st.map.MapHeight != PG2Height) {
        w.dialogs.MessageBox(QStringLiteral("Map must be 44x39"), ErrorTitle);
        return;
    }
    QApplication::setOverrideCursor(Qt::WaitCursor);
    const Status done = ExportPG2(st.map, st.cat, st.images, st.ExportMapNumber, st.workDir);
    QApplication::restoreOverrideCursor();
    if (!done) {
        w.dialogs.MessageBox(QStringLiteral("Couldn't write ") + done.Message(), ErrorTitle);
        return;
    }
    ShowStatus(QStringLiteral("Exported %1 and 12 pictures").arg(PG2MapName(st.ExportMapNumber)));
}

} // namespace zem
