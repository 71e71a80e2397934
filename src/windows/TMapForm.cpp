#include "windows/TMapForm.h"

#include "edit/Edit.h"
#include "edit/ZemState.h"
#include "map/HexLayout.h"
#include "render/DrawMap.h"
#include "runtime/Errors.h"
#include "windows/TSprayForm.h"
#include "windows/TTerrainForm.h"
#include "windows/TTilForm.h"
#include "windows/Windows.h"
#include <cstdio>

#include <QCloseEvent>
#include <QCoreApplication>
#include <QEvent>
#include <QMenuBar>
#include <QMouseEvent>
#include <QPainter>
#include <chrono>
#include <cstdio>

namespace zem {

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
    : history(state.map, [this](const EditOutcome& out) { ShowUndone(out); }), st(state),
      w(windows) {
    setWindowTitle(QStringLiteral("ZEM Map"));
    client_ = new MapClient(this);
    setCentralWidget(client_);
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
    MapImage->OnMouseDown = [this](int b, bool s, int x, int y) { MapImageMouseDown(b, s, x, y); };
    MapImage->OnMouseMove = [this](bool, int x, int y) { MapImageMouseMove(x, y); };
    MapImage->OnClick = [this] { MapImageClick(); };
    Timer1.OnTimer = [this] { Timer1Timer(); };
    BuildMenu();
    move(86, 109);
    resize(529, 600);
    FormCreate();
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
    LoadMap1->setShortcut(QKeySequence::Open);
    SaveMap1 = AddItem(file, QStringLiteral("Save Map"), &TMapForm::SaveMap1Click);
    Save1 = AddItem(file, QStringLiteral("Save"), &TMapForm::Save1Click);
    Save1->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_S));
    ImportTmx1 =
        AddItem(file, QStringLiteral("Import Tiled Map (TMX)..."), &TMapForm::ImportTmx1Click);
    ImportPG21 =
        AddItem(file, QStringLiteral("Import Panzer General 2 Map..."), &TMapForm::ImportPG21Click);
    RecentMaps1 = file->addMenu(QStringLiteral("Recent Maps"));
    connect(RecentMaps1, &QMenu::aboutToShow, this, [this] { FillRecentMenu(); });
    file->addSeparator();
    Quit1 = AddItem(file, QStringLiteral("Quit"), &TMapForm::Quit1Click);
    Quit1->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_Q));
    QMenu* edit = menuBar()->addMenu(QStringLiteral("Edit"));
    Undo1 = AddItem(edit, QStringLiteral("Undo"), &TMapForm::Undo1Click);
    Undo1->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_Z));
    Redo1 = AddItem(edit, QStringLiteral("Redo"), &TMapForm::Redo1Click);
    // Ctrl+Y is bound by name: the platform's redo keys may lack it.
    Redo1->setShortcuts(
        {QKeySequence(Qt::CTRL | Qt::Key_Y), QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Z)});
    for (QAction* a : {Undo1, Redo1})
        a->setAutoRepeat(false); // one key press, one step
    connect(&history.Stack(), &QUndoStack::indexChanged, this, [this] { UpdateUndoItems(); });
    connect(&history.Stack(), &QUndoStack::cleanChanged, this, [this] { UpdateUndoItems(); });
    UpdateUndoItems();
    edit->addSeparator();
    NewMap1 = AddItem(edit, QStringLiteral("New Map"), &TMapForm::NewMap1Click);
    NewMap1->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_N));
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
    MapImage->SetPictureSize(900, 800);
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

void TMapForm::DrawMap() {
    zem::DrawMap(st.map, st.cat, st.images, ShowRoadConnections1->isChecked(), MapImage->width(),
                 MapImage->height(), MapImage->Picture());
    // While a terrain type is painted, every hex shows its code.
    if (st.ed.Mode == ModePaintTT1 || st.ed.Mode == ModePaintTT2)
        DrawTerrainLabels(MapImage->Picture(), st.map, st.ed.Mode == ModePaintTT1 ? 1 : 2);
    DrawHexMarks(MapImage->Picture(), st.map, UnsureHexes);
    MapImage->Repaint();
    w.MapShown();
}

void TMapForm::SetHint(const QString& text) {
    HintLbl->setText(text);
}

void TMapForm::MapImageMouseDown(int button, bool shift, int X, int Y) {
    EditorState& ed = st.ed;
    ed.DownX = X;
    ed.DownY = Y;
    ed.DownShift = shift;
    ed.DownButton = std::uint8_t(button);
    // The right button acts at once and always redraws the view.
    if (button == mbRight) ApplyOutcome(edit::Click(Target(st), ClickState()), true);
}

void TMapForm::MapImageClick() {
    ApplyOutcome(edit::Click(Target(st), ClickState()));
}

ClickInputs TMapForm::ClickState() const {
    ClickInputs in;
    in.toggleRoads = ToggleRoadConnections1->isChecked();
    in.terrainCode = w.TerrainForm->SelectedCode();
    in.spray = [this] { return w.SprayForm->ReadSettings(); };
    return in;
}

void TMapForm::ApplyOutcome(const EditOutcome& out, bool redrawView) {
    if (out.Changed()) {
        history.Record(out);
        UnsureHexes.clear();
        UpdateTitle();
    }
    if (out.hint) {
        SetHint(*out.hint);
        HintLbl->repaint();
    }
    if (out.what) WhatLbl->setText(*out.what);
    if (out.picked) w.TilForm->ShowPicked();
    if (out.redraw == Redraw::Hex) {
        const HexPos o = st.map.ViewOrigin;
        DrawPlacedHex(MapImage->Picture(), st.images, st.ed.CurrentSet, st.ed.CurrentImage,
                      out.hex.x - o.x, out.hex.y - o.y);
        MapImage->Repaint();
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

void TMapForm::MapImageMouseMove(int X, int Y) {
    Timer1.SetEnabled(false);
    EditorState& ed = st.ed;
    if (std::abs(X - ed.StatusX) <= 10 && std::abs(Y - ed.StatusY) <= 10) return;
    ed.StatusX = X;
    ed.StatusY = Y;
    const HexPos hex = HexLayout::PixelToHex(X, Y, st.map.ViewOrigin);
    WhereLbl->setText(QStringLiteral("%1,%2").arg(hex.x).arg(hex.y));
    // Beyond the grid there is no cell to name: the terrain text stays.
    if (HexMap::InGrid(hex.x, hex.y))
        WhatLbl->setText(TerrainText(st.map.Cell(hex.x, hex.y), st.cat));
}

} // namespace zem
