// The main window's menu commands: new map, sections, the clipboard, roads,
// terrain painting, spray can, the other windows and the export.

#include "edit/Edit.h"
#include "edit/ZemState.h"
#include "export/PG2Export.h"
#include "map/HexLayout.h"
#include "map/MapFile.h"
#include "map/Sections.h"
#include "render/DrawMap.h"
#include "tools/Roads.h"
#include "windows/MapFiles.h"
#include "windows/Panels.h"
#include "windows/TInputForm.h"
#include "windows/TMapConvert.h"
#include "windows/TMapForm.h"
#include "windows/TSprayForm.h"
#include "windows/TStratMapForm.h"
#include "windows/TTerrainForm.h"
#include "windows/Windows.h"

#include <QApplication>
#include <QBuffer>
#include <QClipboard>
#include <QMimeData>
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
    if (data) doc.Apply(edit::PasteSection(st.map, *data, st.ed.PasteAt));
}

// The selected hexes go to the clipboard as the text of a section file (for
// another editor or a text editor) and as a picture (for drawing programs).
void TMapForm::Copy1Click() {
    HexPos a, b;
    if (!doc.Selection().Bounds(a, b)) {
        ShowStatus(QStringLiteral("Select hexes to copy first (Select, S)"));
        return;
    }
    const HexMap& m = st.map;
    b = {std::min(b.x, m.MapWidth - 1), std::min(b.y, m.MapHeight - 1)};
    if (b.x < a.x || b.y < a.y) {
        ShowStatus(QStringLiteral("The selection lies off the map"));
        return;
    }
    auto* data = new QMimeData;
    data->setText(QString::fromLatin1(MapFileText(m, a.x, a.y, b.x, b.y)));
    QImage picture(HexLayout::WholeMapSize(b.x - a.x + 1, b.y - a.y + 1), QImage::Format_RGB32);
    picture.fill(ToQColor(clGreen));
    DrawHexes(picture, m, st.cat, st.images, {a.x, b.x, a.y, b.y}, {true, false});
    data->setImageData(picture);
    QApplication::clipboard()->setMimeData(data);
    ShowStatus(QStringLiteral("Copied %1 x %2 hexes").arg(b.x - a.x + 1).arg(b.y - a.y + 1));
}

void TMapForm::Paste1Click() {
    QByteArray text = QApplication::clipboard()->text().toLatin1();
    QBuffer buffer(&text);
    buffer.open(QIODevice::ReadOnly);
    Result<MapFileData> section = ReadMapFile(buffer, QStringLiteral("clipboard"), 1);
    if (!section) {
        ShowStatus(QStringLiteral("The clipboard holds no map section"));
        return;
    }
    tools.StartPaste(std::move(section.Value()));
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

// The picker lists the names of the kind painted, none selected, or closes.
void TMapForm::ShowTerrainPicker(int which) {
    TTerrainForm& picker = *w.TerrainForm;
    if (which == 0) return w.panels->Close(&picker);
    if (which == 1)
        picker.ShowNames(st.cat.TT1Names, st.cat.TT1Count, QStringLiteral("Terrain Type 1"));
    else
        picker.ShowNames(st.cat.TT2Names, st.cat.TT2Count, QStringLiteral("Terrain Type 2"));
    w.panels->Show(&picker);
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
    ShowStatus(QStringLiteral("Exported %1 and 12 pictures to %2")
                   .arg(PG2MapName(st.ExportMapNumber),
                        QDir::toNativeSeparators(st.workDir.absolutePath())));
}

} // namespace zem
