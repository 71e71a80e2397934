#include "windows/TMapForm.h"

#include "edit/Edit.h"
#include "edit/ZemState.h"
#include "map/HexLayout.h"
#include "render/DrawMap.h"
#include "runtime/Errors.h"
#include "windows/TSprayForm.h"
#include "windows/TStratMapForm.h"
#include "windows/TTerrainForm.h"
#include "windows/TTilForm.h"
#include "windows/Windows.h"

#include <QCloseEvent>
#include <QCoreApplication>
#include <QEvent>
#include <QMenuBar>
#include <QMouseEvent>
#include <QPainter>
#include <QSettings>
#include <chrono>
#include <cstdio>

namespace zem {

static const QString TerrainCodesKey = QStringLiteral("terrainCodesWhilePainting");

namespace {
// The client area: paints the scroll zones, reports pointer motion and
// resizing to the form.
class MapClient : public QWidget {
  public:
    explicit MapClient(TMapForm* form) : QWidget(form), form_(form) { setMouseTracking(true); }

  protected:
    void paintEvent(QPaintEvent*) override { form_->FormPaint(); }
    void mouseMoveEvent(QMouseEvent* e) override {
        const QPoint p = e->position().toPoint();
        form_->FormMouseMove(p.x(), p.y());
    }
    void resizeEvent(QResizeEvent*) override { form_->FormResize(); }

  private:
    TMapForm* form_;
};
} // namespace

TMapForm::TMapForm(ZemState& state, Windows& windows)
    : history(state.map, state.ed, [this](const EditOutcome& out) { ShowUndone(out); }), st(state),
      w(windows) {
    setWindowTitle(QStringLiteral("ZEM Map"));
    client_ = new MapClient(this);
    WhereLbl = new QLabel(QStringLiteral("??"), client_);
    WhereLbl->move(16, 0);
    WhereLbl->resize(170, 20);
    WhatLbl = new QLabel(QStringLiteral("??"), client_);
    WhatLbl->move(192, 0);
    WhatLbl->resize(125, 20);
    HintLbl = new QLabel(client_);
    HintLbl->move(320, 0);
    HintLbl->resize(200, 20);
    HintLbl->setStyleSheet(QStringLiteral("color: rgb(0,128,0); font-weight: bold;"));
    MapImage = new ImageControl(client_);
    MapImage->setGeometry(32, 40, 433, 457);
    Timer1.OnTimer = [this] { Timer1Timer(); };
    BuildMenu();
    BuildViewControls();
    BuildToolBar();
    move(86, 109);
    // The tool bar, the scroll bars and the status bar come around the
    // described window, which keeps its client area and map picture.
    resize(529 + VScroll->sizeHint().width(), 600 + ToolBar1->sizeHint().height() +
                                                  HScroll->sizeHint().height() +
                                                  StatusBar->sizeHint().height());
    FormCreate();
}

void TMapForm::AddKeys(QAction* a, const QList<QKeySequence>& keys) {
    a->setShortcuts(keys);
    // The Tile Window or the strategic map may have the focus.
    a->setShortcutContext(Qt::ApplicationShortcut);
}

QAction* TMapForm::AddItem(QMenu* menu, const QString& caption, void (TMapForm::*handler)(),
                           bool checkable) {
    QAction* a = menu->addAction(caption);
    a->setCheckable(checkable);
    connect(a, &QAction::triggered, this, [this, a, handler] {
        // The handler decides the check mark, not the click.
        if (a->isCheckable()) a->setChecked(!a->isChecked());
        (this->*handler)();
    });
    return a;
}

void TMapForm::BuildMenu() {
    QMenu* file = menuBar()->addMenu(QStringLiteral("File"));
    LoadMap1 = AddItem(file, QStringLiteral("Load Map"), &TMapForm::LoadMap1Click);
    AddKeys(LoadMap1, {QKeySequence(Qt::CTRL | Qt::Key_O)});
    SaveMap1 = AddItem(file, QStringLiteral("Save Map"), &TMapForm::SaveMap1Click);
    Save1 = AddItem(file, QStringLiteral("Save"), &TMapForm::Save1Click);
    AddKeys(Save1, {QKeySequence(Qt::CTRL | Qt::Key_S)});
    ImportTmx1 =
        AddItem(file, QStringLiteral("Import Tiled Map (TMX)..."), &TMapForm::ImportTmx1Click);
    ImportPG21 =
        AddItem(file, QStringLiteral("Import Panzer General 2 Map..."), &TMapForm::ImportPG21Click);
    RecentMaps1 = file->addMenu(QStringLiteral("Recent Maps"));
    connect(RecentMaps1, &QMenu::aboutToShow, this, [this] { FillRecentMenu(); });
    file->addSeparator();
    Quit1 = AddItem(file, QStringLiteral("Quit"), &TMapForm::Quit1Click);
    AddKeys(Quit1, {QKeySequence(Qt::CTRL | Qt::Key_Q)});
    QMenu* edit = menuBar()->addMenu(QStringLiteral("Edit"));
    Undo1 = AddItem(edit, QStringLiteral("Undo"), &TMapForm::Undo1Click);
    AddKeys(Undo1, {QKeySequence(Qt::CTRL | Qt::Key_Z)});
    Redo1 = AddItem(edit, QStringLiteral("Redo"), &TMapForm::Redo1Click);
    // Ctrl+Y is bound by name: the platform's redo keys may lack it.
    AddKeys(Redo1,
            {QKeySequence(Qt::CTRL | Qt::Key_Y), QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Z)});
    for (QAction* a : {Undo1, Redo1})
        a->setAutoRepeat(false); // one key press, one step
    connect(&history.Stack(), &QUndoStack::indexChanged, this, [this] { UpdateUndoItems(); });
    connect(&history.Stack(), &QUndoStack::cleanChanged, this, [this] { UpdateUndoItems(); });
    UpdateUndoItems();
    edit->addSeparator();
    auto tool = [this, edit](const QString& caption, Tool t, Qt::Key key) {
        QAction* a = edit->addAction(caption);
        a->setCheckable(true);
        a->setShortcut(QKeySequence(key));
        a->setAutoRepeat(false); // a held key is one choice
        connect(a, &QAction::triggered, this, [this, t] { ChooseTool(t); });
        return a;
    };
    PlaceTool1 = tool(QStringLiteral("Place"), Tool::Place, Qt::Key_B);
    PickTool1 = tool(QStringLiteral("Pick Up"), Tool::Pick, Qt::Key_I);
    SelectTool1 = tool(QStringLiteral("Select"), Tool::Select, Qt::Key_S);
    FillTool1 = tool(QStringLiteral("Fill"), Tool::Fill, Qt::Key_F);
    Copy1 = AddItem(edit, QStringLiteral("Copy"), &TMapForm::Copy1Click);
    Copy1->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_C));
    Paste1 = AddItem(edit, QStringLiteral("Paste"), &TMapForm::Paste1Click);
    Paste1->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_V));
    edit->addSeparator();
    NewMap1 = AddItem(edit, QStringLiteral("New Map"), &TMapForm::NewMap1Click);
    AddKeys(NewMap1, {QKeySequence(Qt::CTRL | Qt::Key_N)});
    CutMapToFile1 =
        AddItem(edit, QStringLiteral("Copy Map  Section To File"), &TMapForm::CopyMapToFile1Click);
    PasteFromFile1 =
        AddItem(edit, QStringLiteral("Paste From File"), &TMapForm::PasteFromFile1Click);
    edit->addSeparator();
    ShowRoadConnections1 = AddItem(edit, QStringLiteral("Show Road Connections"),
                                   &TMapForm::ShowRoadConnections1Click, true);
    ToggleRoadConnections1 = AddItem(edit, QStringLiteral("Toggle Road Connections"),
                                     &TMapForm::ToggleRoadConnections1Click, true);
    edit->addSeparator();
    TerrainType11 =
        AddItem(edit, QStringLiteral("Terrain Type 1"), &TMapForm::TerrainType11Click, true);
    TerrainType21 =
        AddItem(edit, QStringLiteral("Terrain Type 2"), &TMapForm::TerrainType21Click, true);
    edit->addSeparator();
    SprayCan1 = AddItem(edit, QStringLiteral("Spray Can"), &TMapForm::SprayCan1Click, true);
    SprayCanSettings1 =
        AddItem(edit, QStringLiteral("Spray Can Settings"), &TMapForm::SprayCanSettings1Click);
    edit->addSeparator();
    ShowStrategicMap1 =
        AddItem(edit, QStringLiteral("Show Strategic Map"), &TMapForm::ShowStrategicMap1Click);
    QMenu* view = menuBar()->addMenu(QStringLiteral("View"));
    TerrainCodes1 = AddItem(view, QStringLiteral("Terrain Codes While Painting"),
                            &TMapForm::TerrainCodes1Click, true);
    TerrainCodes1->setChecked(QSettings().value(TerrainCodesKey, true).toBool());
    view->addSeparator();
    ZoomIn1 = AddItem(view, QStringLiteral("Zoom In"), &TMapForm::ZoomIn1Click);
    ZoomIn1->setShortcuts(
        {QKeySequence(Qt::CTRL | Qt::Key_Plus), QKeySequence(Qt::CTRL | Qt::Key_Equal)});
    ZoomOut1 = AddItem(view, QStringLiteral("Zoom Out"), &TMapForm::ZoomOut1Click);
    ZoomOut1->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_Minus));
    ActualSize1 = AddItem(view, QStringLiteral("Actual Size"), &TMapForm::ActualSize1Click);
    ActualSize1->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_0));
    QMenu* tools = menuBar()->addMenu(QStringLiteral("Tools"));
    ConvertBitmap1 =
        AddItem(tools, QStringLiteral("Convert Bitmap"), &TMapForm::ConvertBitmap1Click);
    GenerateTerrain1 =
        AddItem(tools, QStringLiteral("Generate Terrain"), &TMapForm::GenerateTerrain1Click);
    tools->addSeparator();
    MakeRoadConnections1 = AddItem(tools, QStringLiteral("Make Road Connections"),
                                   &TMapForm::MakeRoadConnections1Click);
    ClearRoadConnections1 = AddItem(tools, QStringLiteral("Clear Road Connections"),
                                    &TMapForm::ClearRoadConnections1Click);
    QMenu* exp = menuBar()->addMenu(QStringLiteral("Export"));
    PanzerGeneral21 =
        AddItem(exp, QStringLiteral("Panzer General 2"), &TMapForm::PanzerGeneral21Click);
    ExportTmx1 = AddItem(exp, QStringLiteral("Tiled Map (TMX)..."), &TMapForm::ExportTmx1Click);
    QMenu* help = menuBar()->addMenu(QStringLiteral("Help"));
    About1 = AddItem(help, QStringLiteral("About"), &TMapForm::About1Click);
}

bool TMapForm::TerrainCodesShown() const {
    return TerrainCodes1->isChecked();
}

void TMapForm::TerrainCodes1Click() {
    TerrainCodes1->setChecked(!TerrainCodes1->isChecked());
    QSettings().setValue(TerrainCodesKey, TerrainCodes1->isChecked());
    if (st.ed.Mode == ModePaintTT1 || st.ed.Mode == ModePaintTT2) DrawMap();
}

int TMapForm::ClientWidth() const {
    return client_->width();
}
int TMapForm::ClientHeight() const {
    return client_->height();
}

void TMapForm::FormCreate() {
    st.Rng().Seed(std::uint32_t(std::chrono::system_clock::now().time_since_epoch().count()));
    for (auto& list : st.images)
        list.SetSize(16, 16);
    st.map.MapWidth = 20;
    st.map.MapHeight = 20;
}

bool TMapForm::event(QEvent* e) {
    const bool r = QMainWindow::event(e);
    if (e->type() == QEvent::WindowActivate) FormActivate();
    return r;
}

void TMapForm::closeEvent(QCloseEvent* e) {
    if (!MaybeSave()) {
        e->ignore();
        return;
    }
    QMainWindow::closeEvent(e);
    QCoreApplication::quit();
}

void TMapForm::FormActivate() {
    if (!FirstActivation) return;
    FirstActivation = false;
    if (const Status read = LoadMapset(st.workDir, st.cat); !read) {
        // No window shows it; one line on stderr says why a catalogue that
        // was there is refused.
        if (!read.Unopened()) std::fprintf(stderr, "%s\n", qPrintable(read.Message()));
        w.Terminate(1);
        return;
    }
    // A tile bitmap that cannot be loaded is the toolkit's file error: the
    // standard display shows it and the rest of the start-up is skipped.
    if (Status loaded = LoadTileBitmaps(st.cat, st.images, st.workDir); !loaded)
        throw FileError(loaded.Message());
    w.TilForm->SetUpTileSetButtons();
    w.TilForm->show();
    w.TilForm->raise();
    w.TilForm->activateWindow();
    // The picture was composed before the tiles and frames were loaded;
    // compose it again so the start map shows its hexes at once.
    DrawMap();
    client_->repaint();
    if (!StartFile.isEmpty()) OpenMapFile(StartFile);
}

void TMapForm::FormResize() {
    const int CW = ClientWidth(), CH = ClientHeight();
    MapImage->setGeometry(35, 40, CW - 70, CH - 75);
    // 900 by 800 at least; a larger window shows more of the map.
    MapImage->SetPictureSize(std::max(900, CW - 70), std::max(800, CH - 75));
    if (Zoom < 100) ShowOrigin(st.map.ViewOrigin); // a grown window zoomed out: more map
    DrawMap();
    ScrollZones[0] = {5, 105, 30, CH - 100, 4};
    ScrollZones[1] = {CW - 30, 105, CW - 5, CH - 100, 2};
    ScrollZones[2] = {100, 16, CW - 100, 36, 1};
    ScrollZones[3] = {100, CH - 30, CW - 100, CH - 5, 3};
    client_->update();
}

void TMapForm::FormPaint() {
    QPainter p(client_);
    for (const ScrollZone& z : ScrollZones)
        if (z.right > z.left && z.bottom > z.top)
            p.fillRect(z.left, z.top, z.right - z.left, z.bottom - z.top, ToQColor(clMaroon));
}

void TMapForm::FormMouseMove(int X, int Y) {
    if (!isActiveWindow()) return;
    const ScrollZone* hit = nullptr;
    for (const ScrollZone& z : ScrollZones)
        if (z.Holds(X, Y)) {
            hit = &z;
            break;
        }
    if (hit) {
        ScrollDirection = hit->direction;
        ScrollTicks = 0;
        Timer1.SetInterval(300);
        Timer1.SetEnabled(true);
    } else {
        Timer1.SetEnabled(false);
    }
    if (Timer1.Enabled() && !MouseCaptured) {
        client_->grabMouse();
        MouseCaptured = true;
    } else if (MouseCaptured && !Timer1.Enabled()) {
        client_->releaseMouse();
        MouseCaptured = false;
    }
}

void TMapForm::Timer1Timer() {
    HexPos& o = st.map.ViewOrigin;
    const int step = ScrollTicks > 4 ? 4 : 2;
    switch (ScrollDirection) {
    case 4:
        o.x = std::max(o.x - step, 0);
        break;
    case 2:
        o.x = std::min(o.x + step, st.map.MapWidth - 8);
        break;
    case 1:
        o.y = std::max(o.y - step, 0);
        break;
    case 3:
        o.y = std::min(o.y + step, st.map.MapHeight - 8);
        break;
    }
    if (o.x & 1) --o.x;
    if (o.x < 0) o.x = 0;
    if (o.y < 0) o.y = 0;
    DrawMap();
    if (ScrollTicks > 3)
        Timer1.SetInterval(50);
    else if (ScrollTicks > 1)
        Timer1.SetInterval(150);
    ++ScrollTicks;
}

void TMapForm::About1Click() {
    w.dialogs.MessageBox(QStringLiteral("This is version %1 of ZEM Map\n"
                                        "Written for the ZEM wargame system\n"
                                        " 11/4/98")
                             .arg(QLatin1String(ZemVersion)),
                         QStringLiteral("About ZEM Map"));
}

void TMapForm::SetHint(const QString& text) {
    HintLbl->setText(text);
}

ClickInputs TMapForm::ClickState() const {
    ClickInputs in;
    in.toggleRoads = ToggleRoadConnections1->isChecked();
    in.terrainCode = w.TerrainForm->SelectedCode();
    in.spray = [this] { return w.SprayForm->ReadSettings(); };
    return in;
}

void TMapForm::ApplyOutcome(const EditOutcome& out, bool redrawView) {
    EndStroke();
    if (out.Changed()) {
        // A new map is no file's yet: Save asks for a name.
        if (out.newMap) FileName.clear();
        history.Record(out);
        UnsureHexes.clear();
        UpdateTitle();
    }
    ShowOutcome(out, redrawView);
}

void TMapForm::ShowOutcome(const EditOutcome& out, bool redrawView) {
    if (out.Changed()) {
        FollowOverview();
        ShowHexInfo();
        // The terrain codes on screen follow every change while they show.
        if ((st.ed.Mode == ModePaintTT1 || st.ed.Mode == ModePaintTT2) && TerrainCodesShown())
            redrawView = true;
    }
    if (out.failure) std::rethrow_exception(out.failure);
    if (out.hint) {
        SetHint(*out.hint);
        HintLbl->repaint();
    }
    if (out.what) WhatLbl->setText(*out.what);
    // The palette shows what an edit selected (a pick, a New Map's first
    // tile) as if the user had chosen it there.
    if (out.picked || out.Reselected()) w.TilForm->ShowSelection();
    if (out.picked) ShowStatus(w.TilForm->SelectionText());
    if (out.redraw == Redraw::Hex) {
        const HexPos o = st.map.ViewOrigin;
        if (Zoom == 100) { // zoomed, the whole view is drawn anew
            DrawPlacedHex(MapImage->Picture(), st.images, st.ed.CurrentSet, st.ed.CurrentImage,
                          out.hex.x - o.x, out.hex.y - o.y, out.hex.x);
            MapImage->Repaint();
        } else {
            redrawView = true;
        }
    }
    switch (out.section) {
    case SectionRequest::Write:
        WriteSection();
        break;
    case SectionRequest::Paste:
        PasteSection();
        break;
    case SectionRequest::None:
        break;
    }
    if (redrawView || out.redraw == Redraw::View) DrawMap();
}

} // namespace zem
