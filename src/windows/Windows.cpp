#include "windows/Windows.h"
#include "edit/ZemState.h"
#include "map/HexLayout.h"
#include "windows/TInputForm.h"
#include "windows/TMapConvert.h"
#include "windows/TMapForm.h"
#include "windows/TSprayForm.h"
#include "windows/TStratMapForm.h"
#include "windows/TTerrainForm.h"
#include "windows/TTilForm.h"

#include <cstdio>
#include <cstdlib>

namespace zem {

static void EndProgram(int code) {
    std::fflush(nullptr);
    std::_Exit(code);
}

Windows::Windows(ZemState& state, DialogService& d) : st(state), dialogs(d), Terminate(EndProgram) {
    auto made = [this](QWidget* form) { created << form->windowTitle(); };
    MapForm = std::make_unique<TMapForm>(st, *this);
    made(MapForm.get());
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
        MapForm->SetHint(QStringLiteral("Click on tiles to change"));
    };
    made(TerrainForm.get());
    SprayForm = std::make_unique<TSprayForm>(st);
    made(SprayForm.get());
}

void Windows::RedrawMap() {
    MapForm->DrawMap();
}

void Windows::MapShown() {
    if (!StratMapForm || !StratMapForm->isVisible()) return;
    const MapView view = MapForm->View();
    StratMapForm->ShowView(st.map.ViewOrigin, view.Columns() + 1, view.Rows() + 1);
}

// Moves a window to `at` the first time it is shown; later the user's place
// stays.
static void PlaceOnce(QWidget* form, QPoint at) {
    if (form->isVisible() || form->property("placed").toBool()) return;
    form->setProperty("placed", true);
    form->move(at);
}

void Windows::PlaceBeside(QWidget* form) {
    // Right of the main window and of the Tile Window when that shows, below
    // the secondary windows already open there.
    const QRect main = MapForm->frameGeometry();
    int right = main.right();
    if (TilForm && TilForm->isVisible()) right = std::max(right, TilForm->frameGeometry().right());
    QPoint at(right + 8, main.top());
    for (QWidget* other :
         {static_cast<QWidget*>(StratMapForm.get()), static_cast<QWidget*>(TerrainForm.get()),
          static_cast<QWidget*>(SprayForm.get())})
        if (other && other != form && other->isVisible() && other->frameGeometry().contains(at))
            at.setY(other->frameGeometry().bottom() + 8);
    PlaceOnce(form, at);
}

void Windows::PlaceCentred(QWidget* form) {
    const QRect main = MapForm->frameGeometry();
    PlaceOnce(form, main.center() - QPoint(form->width() / 2, form->height() / 2));
}

void Windows::ShowMapWindow() {
    MapForm->show();
    MapForm->raise();
    MapForm->activateWindow();
}

void Windows::Applied(const EditOutcome& out) {
    MapForm->ApplyOutcome(out);
}

bool Windows::MaybeSave() {
    return MapForm->MaybeSave();
}

bool Windows::MaybeSaveBeforeSketch() {
    return MapForm->history.PendingSketchSize() || MapForm->MaybeSave();
}

// The auxiliary windows go first: they hold no pointers into the main one
// that outlive it.
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
