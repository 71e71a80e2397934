// The main window's menu commands: new map, sections, the clipboard, roads,
// terrain painting, spray can, the other windows and the export.

#include "edit/Edit.h"
#include "edit/ZemState.h"
#include "export/PG2Export.h"
#include "map/MapFile.h"
#include "map/Sections.h"
#include "tools/Roads.h"
#include "windows/Clipboard.h"
#include "windows/MapFiles.h"
#include "windows/PG2ExportAs.h"
#include "windows/Panels.h"
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
    if (tools.Marks().SprayCan) spray = [this] { return w.SprayForm->ReadSettings(); };
    doc.Apply(edit::NewMap(doc.Target(), before, accepted, spray));
    // The new map keeps the road bits of the old one inside its size.
    if (const int roads = accepted ? CountRoadConnections(st.map) : 0; roads > 0)
        ShowStatus(QStringLiteral("The new map keeps %1 road connections of the last one; "
                                  "Tools > Clear Road Connections removes them")
                       .arg(roads));
}

void TMapForm::CopyMapToFile1Click() {
    tools.CopySection();
}

void TMapForm::PasteFromFile1Click() {
    tools.PasteFromFile();
}

void TMapForm::WriteSection() {
    QByteArray text;
    if (!SectionText(st.map, st.ed.SectionCorner1, st.ed.SectionCorner2, text)) {
        w.dialogs.MessageBox(QStringLiteral("Invalid Section Size"), ErrorTitle);
        return;
    }
    if (!AskFile(QStringLiteral("Save Section to Map File"), MapFilter, true,
                 QStringLiteral("zep")))
        return;
    SaveText(w.dialogs, OpenDialog1.FileName, text);
}

void TMapForm::PasteSection() {
    if (!AskFile(QStringLiteral("Paste From Map File"), MapFilter, false)) return;
    const std::optional<MapFileData> data = ReadWhole(w.dialogs, OpenDialog1.FileName, 0);
    if (data) doc.Apply(edit::PasteSection(st.map, *data, st.ed.PasteAt));
}

void TMapForm::Copy1Click() {
    ShowStatus(CopyHexes(st, doc.Selection()));
}

void TMapForm::Paste1Click() {
    int column;
    if (std::optional<MapFileData> section = ClipboardSection(&column))
        tools.StartPaste(std::move(*section), column);
    else
        ShowStatus(QStringLiteral("The clipboard holds no map section"));
}

void TMapForm::MakeRoadConnections1Click() {
    doc.Apply(edit::MakeRoads(st.map));
}
void TMapForm::ClearRoadConnections1Click() {
    doc.Apply(edit::ClearRoads(st.map));
}

void TMapForm::ShowRoadConnections1Click() {
    ShowRoadConnections1->setChecked(!ShowRoadConnections1->isChecked());
    MapImage->ShowRoads = ShowRoadConnections1->isChecked();
    DrawMap();
}

void TMapForm::ToggleRoadConnections1Click() {
    tools.ToggleRoadConnections();
}
void TMapForm::CancelModes() {
    tools.CancelModes();
}
void TMapForm::TerrainType11Click() {
    tools.TerrainType(1);
}
void TMapForm::TerrainType21Click() {
    tools.TerrainType(2);
}
void TMapForm::SprayCan1Click() {
    tools.SprayCan();
}

void TMapForm::SprayCanSettings1Click() {
    w.panels->Show(w.SprayForm.get());
}
void TMapForm::ShowStrategicMap1Click() {
    w.panels->Show(w.StratMapForm.get());
}
void TMapForm::ConvertBitmap1Click() {
    w.PlaceCentred(w.MapConvert.get());
    w.MapConvert->show();
    w.MapConvert->raise();
    w.MapConvert->activateWindow();
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
    ShowStatus(PG2ExportedText(st.ExportMapNumber, st.workDir.absolutePath()));
}
void TMapForm::PanzerGeneral2As1Click() {
    if (PG2Target.folder.isEmpty()) PG2Target.folder = st.workDir.absolutePath();
    PG2Target.number = w.MapConvert->MapNumber();
    const QString done = ExportPG2As(w.dialogs, st.map, st.cat, st.images, PG2Target);
    if (!done.isEmpty()) ShowStatus(done);
}

} // namespace zem
