#include "windows/Windows.h"
#include "edit/ZemState.h"
#include "map/HexLayout.h"
#include "runtime/Errors.h"
#include "windows/MapCanvas.h"
#include "windows/MapStatusBar.h"
#include "windows/Panels.h"
#include "windows/TInputForm.h"
#include "windows/TMapConvert.h"
#include "windows/TMapForm.h"
#include "windows/TSprayForm.h"
#include "windows/TStratMapForm.h"
#include "windows/TTerrainForm.h"
#include "windows/TTilForm.h"
#include "windows/TerrainTemplateMenu.h"

#include <cstdio>
#include <cstdlib>

namespace zem {

static void EndProgram(int code) {
    std::fflush(nullptr);
    std::_Exit(code);
}

static ToolInputs ReadFromWindows(Windows& w) {
    ToolInputs in;
    in.terrainCode = [&w] { return w.TerrainForm->SelectedCode(); };
    in.spray = [&w] { return w.SprayForm->ReadSettings(); };
    return in;
}

Windows::Windows(ZemState& state, DialogService& d)
    : st(state), logged(d), dialogs(logged), doc(state), tools(doc, ReadFromWindows(*this)),
      Terminate(EndProgram) {
    auto made = [this](QWidget* form) { created << form->windowTitle(); };
    MapForm = std::make_unique<TMapForm>(st, *this);
    made(MapForm.get());
    // Tools > "Terrain Template..." and "Fix Terrain While Painting" follow
    // "Generate Terrain".
    for (QObject* menu : MapForm->GenerateTerrain1->associatedObjects())
        if (auto* tools = qobject_cast<QMenu*>(menu); tools && !templates)
            templates = new TerrainTemplateMenu(*tools, MapForm->GenerateTerrain1, doc, dialogs);
    TilForm = std::make_unique<TTilForm>(st);
    made(TilForm.get());
    InputForm = std::make_unique<TInputForm>(st.map);
    made(InputForm.get());
    MapConvert = std::make_unique<TMapConvert>(st, *this);
    made(MapConvert.get());
    StratMapForm = std::make_unique<TStratMapForm>(st, *this);
    made(StratMapForm.get());
    TerrainForm = std::make_unique<TTerrainForm>();
    TerrainForm->OnNameSelected = [this] {
        doc.SetHint(QStringLiteral("Click on tiles to change"));
    };
    made(TerrainForm.get());
    SprayForm = std::make_unique<TSprayForm>(st);
    made(SprayForm.get());

    // The side windows as panels of the main window, the Tile Window first;
    // each floats where it always stood, or beside the main window.
    panels = new Panels(*MapForm);
    panels->Add(TilForm.get(), QStringLiteral("tiles"), QPoint(640, 109));
    panels->Add(StratMapForm.get(), QStringLiteral("strategic"));
    panels->Add(TerrainForm.get(), QStringLiteral("terrain"));
    QObject::connect(panels->Add(SprayForm.get(), QStringLiteral("sprayer")),
                     &QDockWidget::visibilityChanged, SprayForm.get(), [this](bool shown) {
                         // Its pictures as its activation draws them, also when it
                         // shows without taking the activation (restored, docked).
                         if (!shown) return;
                         try {
                             SprayForm->FormActivate();
                         } catch (const ConvertError&) { // said at its next activation
                         }
                     });
    panels->focusHome = MapForm->MapImage;
    panels->OnReset = [this] { // the picker belongs to a terrain mode still on
        if (st.ed.Mode == ModePaintTT1 || st.ed.Mode == ModePaintTT2)
            panels->Show(TerrainForm.get());
    };
    messages = new MessageLog;
    panels->Add(messages, QStringLiteral("messages"));
    MapForm->StatusBar->log = messages;
    MapForm->View1->addSeparator();
    MapForm->View1->addMenu(panels->Menu());
    panels->RestoreGeometry();
    QObject::connect(MapForm->MapImage, &MapCanvas::drawn, MapForm.get(), [this] { MapShown(); });
    logged.shown = [this](const QString& text) { messages->Add(text); };
    TilForm->OnMix = [this](std::vector<int> mix) { doc.SetMix(std::move(mix)); };
    QObject::connect(&doc, &MapDocument::mixChanged, MapForm.get(), [this] {
        TilForm->ShowSelection();
        MapForm->ShowStatus(
            st.ed.Mix.empty() ? QStringLiteral("One tile placed again")
                              : QStringLiteral("Placing a mix of %1 tiles").arg(st.ed.Mix.size()));
    });
    QObject::connect(&tools, &ToolManager::terrainPicker, MapForm.get(),
                     [this](int which) { ShowTerrainPicker(which); });
    // The strategic map, when open, shows the map as it is after every change.
    const auto follow = [this](const EditOutcome& out) {
        if ((out.Changed() || out.Reselected()) && StratMapForm->isVisible())
            StratMapForm->FormShow();
    };
    QObject::connect(&doc, &MapDocument::applied, MapForm.get(), follow);
    QObject::connect(&doc, &MapDocument::undone, MapForm.get(), follow);
}

// The picker lists the names of the kind painted, none selected, or closes.
void Windows::ShowTerrainPicker(int which) {
    TTerrainForm& picker = *TerrainForm;
    if (which == 0) return panels->Close(&picker);
    if (which == 1)
        picker.ShowNames(st.cat.TT1Names, st.cat.TT1Count, QStringLiteral("Terrain Type 1"));
    else
        picker.ShowNames(st.cat.TT2Names, st.cat.TT2Count, QStringLiteral("Terrain Type 2"));
    panels->Show(&picker);
}

void Windows::RedrawMap() {
    MapForm->DrawMap();
}

void Windows::MapShown() {
    if (!StratMapForm || !StratMapForm->isVisible()) return;
    const MapView view = MapForm->View();
    StratMapForm->ShowView(st.map.ViewOrigin, view.Columns() + 1, view.Rows() + 1);
}

void Windows::PlaceCentred(QWidget* form) {
    if (form->isVisible() || form->property("placed").toBool()) return;
    form->setProperty("placed", true);
    const QRect main = MapForm->frameGeometry();
    form->move(main.center() - QPoint(form->width() / 2, form->height() / 2));
}

void Windows::ShowMapWindow() {
    MapForm->show();
    MapForm->raise();
    MapForm->activateWindow();
}

void Windows::Applied(const EditOutcome& out) {
    doc.Apply(out);
}

bool Windows::MaybeSave() {
    return MapForm->MaybeSave();
}

bool Windows::MaybeSaveBeforeSketch() {
    return doc.Steps().PendingSketchSize() || MapForm->MaybeSave();
}

// The side windows go first: they hold no pointers into the main one that
// outlive it, and each leaves its panel as it goes.
Windows::~Windows() {
    SprayForm.reset();
    TerrainForm.reset();
    StratMapForm.reset();
    MapConvert.reset();
    InputForm.reset();
    TilForm.reset();
    MapForm.reset();
}

} // namespace zem
