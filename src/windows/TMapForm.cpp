#include "windows/TMapForm.h"

#include "edit/ZemState.h"
#include "map/HexLayout.h"
#include "runtime/Errors.h"
#include "windows/MapStatusBar.h"
#include "windows/MapToolBar.h"
#include "windows/Messages.h"
#include "windows/Panels.h"
#include "windows/RecentMaps.h"
#include "windows/TStratMapForm.h"
#include "windows/TTerrainForm.h"
#include "windows/TTilForm.h"
#include "windows/Windows.h"

#include <QCloseEvent>
#include <QCoreApplication>
#include <QGridLayout>
#include <QMenuBar>
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
    : st(state), w(windows), doc(windows.doc), tools(windows.tools) {
    setWindowTitle(QStringLiteral("ZEM Map"));
    client_ = new MapClient(this);
    const auto label = [this](const QString& text, int x, int width) {
        auto* l = new QLabel(text, client_);
        l->setGeometry(x, 0, width, 20);
        return l;
    };
    WhereLbl = label(QStringLiteral("??"), 16, 170);
    WhatLbl = label(QStringLiteral("??"), 192, 125);
    HintLbl = label(QString(), 320, 200);
    HintLbl->setStyleSheet(QStringLiteral("color: rgb(0,128,0); font-weight: bold;"));
    MapImage = new MapCanvas(st, doc, tools, client_);
    MapImage->setGeometry(32, 40, 433, 457);
    MapImage->MouseDown = [this](int b, bool s, int x, int y) { MapImageMouseDown(b, s, x, y); };
    MapImage->Clicked = [this] { MapImageClick(); };
    MapImage->MouseMoved = [this](int x, int y) { MapImageMouseMove(x, y); };
    Timer1.OnTimer = [this] { Timer1Timer(); };
    // The scroll bars come around the described client area.
    auto* frame = new QWidget(this);
    auto* grid = new QGridLayout(frame);
    grid->setContentsMargins(0, 0, 0, 0);
    grid->setSpacing(0);
    grid->addWidget(client_, 0, 0);
    grid->addWidget(MapImage->VScroll, 0, 1);
    grid->addWidget(MapImage->HScroll, 1, 0);
    setCentralWidget(frame);
    BuildMenu();
    setStatusBar(StatusBar = new MapStatusBar(st, doc, *MapImage));
    HexInfoLbl = StatusBar->HexInfoLbl;
    ZoomLbl = StatusBar->ZoomLbl;
    ConnectDocument();
    move(86, 109);
    // The tool bar, the scroll bars and the status bar come around the
    // described window, which keeps its client area and map picture.
    resize(529 + MapImage->VScroll->sizeHint().width(), 600 + ToolBar1->sizeHint().height() +
                                                            MapImage->HScroll->sizeHint().height() +
                                                            StatusBar->sizeHint().height());
    FormCreate();
}

QAction* TMapForm::AddItem(QMenu* menu, const QString& caption, void (TMapForm::*handler)(),
                           bool checkable, const QList<QKeySequence>& keys) {
    QAction* a = menu->addAction(caption);
    a->setCheckable(checkable);
    a->setShortcuts(keys);
    // A panel, the Tile Window or the strategic map may have the keyboard.
    a->setShortcutContext(Qt::ApplicationShortcut);
    a->setAutoRepeat(false); // one key press, one command
    connect(a, &QAction::triggered, this, [this, a, handler] {
        // The handler decides the check mark, not the click.
        if (a->isCheckable()) a->setChecked(!a->isChecked());
        (this->*handler)();
    });
    return a;
}

void TMapForm::BuildMenu() {
    using K = QKeySequence;
    QMenu* file = menuBar()->addMenu(QStringLiteral("File"));
    LoadMap1 = AddItem(file, QStringLiteral("Load Map"), &TMapForm::LoadMap1Click, false,
                       {K(Qt::CTRL | Qt::Key_O)});
    SaveMap1 = AddItem(file, QStringLiteral("Save Map"), &TMapForm::SaveMap1Click);
    Save1 = AddItem(file, QStringLiteral("Save"), &TMapForm::Save1Click, false,
                    {K(Qt::CTRL | Qt::Key_S)});
    ImportTmx1 =
        AddItem(file, QStringLiteral("Import Tiled Map (TMX)..."), &TMapForm::ImportTmx1Click);
    ImportPG21 =
        AddItem(file, QStringLiteral("Import Panzer General 2 Map..."), &TMapForm::ImportPG21Click);
    RecentMaps1 = file->addMenu(QStringLiteral("Recent Maps"));
    new RecentMaps(RecentMaps1, [this](const QString& path) {
        if (MaybeSave()) OpenMapFile(path);
    });
    file->addSeparator();
    Quit1 = AddItem(file, QStringLiteral("Quit"), &TMapForm::Quit1Click, false,
                    {K(Qt::CTRL | Qt::Key_Q)});
    QMenu* edit = menuBar()->addMenu(QStringLiteral("Edit"));
    Undo1 = AddItem(edit, QStringLiteral("Undo"), &TMapForm::Undo1Click, false,
                    {K(Qt::CTRL | Qt::Key_Z)});
    // Ctrl+Y is bound by name: the platform's redo keys may lack it.
    Redo1 = AddItem(edit, QStringLiteral("Redo"), &TMapForm::Redo1Click, false,
                    {K(Qt::CTRL | Qt::Key_Y), K(Qt::CTRL | Qt::SHIFT | Qt::Key_Z)});
    edit->addSeparator();
    ToolBar1 = new MapToolBar(*this, tools);
    const auto tool = [&](ToolKind kind, const char* caption, ToolPicture picture, const char* tip,
                          Qt::Key key) {
        QAction* a =
            ToolBar1->AddTool(kind, QLatin1String(caption), picture, QLatin1String(tip), key);
        edit->addAction(a);
        return a;
    };
    PlaceTool1 = tool(ToolKind::Place, "Place", ToolPicture::Place, "Place tiles (B)", Qt::Key_B);
    PickTool1 =
        tool(ToolKind::Pick, "Pick Up", ToolPicture::Pick, "Pick up a hex's tile (I)", Qt::Key_I);
    SelectTool1 =
        tool(ToolKind::Select, "Select", ToolPicture::Select, "Select hexes (S)", Qt::Key_S);
    FillTool1 = tool(ToolKind::Fill, "Fill", ToolPicture::Fill,
                     "Fill connected hexes, Shift: the selection (F)", Qt::Key_F);
    tool(ToolKind::Road, "Draw Road", ToolPicture::Road,
         "Draw roads through the hexes of a drag; the right button takes them away (D)", Qt::Key_D);
    tool(ToolKind::Shape, "Shape", ToolPicture::Shape,
         "Fill a rectangle or an ellipse of hexes (P)", Qt::Key_P);
    Copy1 = AddItem(edit, QStringLiteral("Copy"), &TMapForm::Copy1Click, false,
                    {K(Qt::CTRL | Qt::Key_C)});
    Paste1 = AddItem(edit, QStringLiteral("Paste"), &TMapForm::Paste1Click, false,
                     {K(Qt::CTRL | Qt::Key_V)});
    ToolBar1->AddSelectionItems(edit, doc);
    edit->addSeparator();
    NewMap1 = AddItem(edit, QStringLiteral("New Map"), &TMapForm::NewMap1Click, false,
                      {K(Qt::CTRL | Qt::Key_N)});
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
    ToolBar1->AddMode(SprayCan1, &ModeMarks::SprayCan, ToolPicture::Spray,
                      QStringLiteral("Spray Can (A)"), Qt::Key_A);
    ToolBar1->AddMode(ToggleRoadConnections1, &ModeMarks::ToggleRoads, ToolPicture::Roads,
                      QStringLiteral("Toggle Road Connections (R)"), Qt::Key_R);
    ToolBar1->AddMode(TerrainType11, &ModeMarks::TerrainType1, ToolPicture::Terrain1,
                      QStringLiteral("Terrain Type 1 (1)"), Qt::Key_1);
    ToolBar1->AddMode(TerrainType21, &ModeMarks::TerrainType2, ToolPicture::Terrain2,
                      QStringLiteral("Terrain Type 2 (2)"), Qt::Key_2);
    ToolBar1->AddOptions();
    View1 = menuBar()->addMenu(QStringLiteral("View"));
    TerrainCodes1 = AddItem(View1, QStringLiteral("Terrain Codes While Painting"),
                            &TMapForm::TerrainCodes1Click, true);
    TerrainCodes1->setChecked(QSettings().value(TerrainCodesKey, true).toBool());
    MapImage->TerrainCodes = TerrainCodes1->isChecked();
    View1->addSeparator();
    ZoomIn1 = AddItem(View1, QStringLiteral("Zoom In"), &TMapForm::ZoomIn1Click, false,
                      {K(Qt::CTRL | Qt::Key_Plus), K(Qt::CTRL | Qt::Key_Equal)});
    ZoomOut1 = AddItem(View1, QStringLiteral("Zoom Out"), &TMapForm::ZoomOut1Click, false,
                       {K(Qt::CTRL | Qt::Key_Minus)});
    ActualSize1 = AddItem(View1, QStringLiteral("Actual Size"), &TMapForm::ActualSize1Click, false,
                          {K(Qt::CTRL | Qt::Key_0)});
    QMenu* toolsMenu = menuBar()->addMenu(QStringLiteral("Tools"));
    ConvertBitmap1 =
        AddItem(toolsMenu, QStringLiteral("Convert Bitmap"), &TMapForm::ConvertBitmap1Click);
    GenerateTerrain1 =
        AddItem(toolsMenu, QStringLiteral("Generate Terrain"), &TMapForm::GenerateTerrain1Click);
    toolsMenu->addSeparator();
    MakeRoadConnections1 = AddItem(toolsMenu, QStringLiteral("Make Road Connections"),
                                   &TMapForm::MakeRoadConnections1Click);
    ClearRoadConnections1 = AddItem(toolsMenu, QStringLiteral("Clear Road Connections"),
                                    &TMapForm::ClearRoadConnections1Click);
    QMenu* exp = menuBar()->addMenu(QStringLiteral("Export"));
    PanzerGeneral21 =
        AddItem(exp, QStringLiteral("Panzer General 2"), &TMapForm::PanzerGeneral21Click);
    PanzerGeneral2As1 =
        AddItem(exp, QStringLiteral("Panzer General 2 As..."), &TMapForm::PanzerGeneral2As1Click);
    ExportTmx1 = AddItem(exp, QStringLiteral("Tiled Map (TMX)..."), &TMapForm::ExportTmx1Click);
    QMenu* help = menuBar()->addMenu(QStringLiteral("Help"));
    About1 = AddItem(help, QStringLiteral("About"), &TMapForm::About1Click);
    // The keys that move the view and end a paste, from every panel too.
    new ViewKeys(this, [this](int key) {
        key == Qt::Key_Escape ? tools.Escape() : MapImage->ScrollKey(key);
    });
}

void TMapForm::ConnectDocument() {
    connect(&doc, &MapDocument::applied, this,
            [this](const EditOutcome& out) { ShowOutcome(out); });
    connect(&doc, &MapDocument::undone, this, [this](const EditOutcome& out) { ShowUndone(out); });
    connect(&doc, &MapDocument::titleChanged, this, [this] {
        setWindowTitle(doc.Title());
        UpdateUndoItems();
    });
    connect(&doc.Steps().Stack(), &QUndoStack::indexChanged, this, [this] { UpdateUndoItems(); });
    UpdateUndoItems();
    connect(&doc, &MapDocument::hintChanged, this, [this](const QString& text) {
        HintLbl->setText(text);
        HintLbl->repaint();
    });
    connect(MapImage, &MapCanvas::zoomChanged, this, [this] {
        ZoomIn1->setEnabled(MapImage->Zoom() < MapView::Zooms.back());
        ZoomOut1->setEnabled(MapImage->Zoom() > MapView::Zooms.front());
    });
}

void TMapForm::TerrainCodes1Click() {
    TerrainCodes1->setChecked(!TerrainCodes1->isChecked());
    QSettings().setValue(TerrainCodesKey, TerrainCodes1->isChecked());
    MapImage->TerrainCodes = TerrainCodes1->isChecked();
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
    w.panels->Save();
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
    w.panels->Restore(); // the panels where the last run left them
    w.panels->Show(w.TilForm.get());
    // Docked, the palette's first activation is this one.
    if (w.TilForm->window() == this) w.TilForm->FormActivate();
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
    MapImage->Fit(CW - 70, CH - 75);
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
    doc.SetHint(text);
}

void TMapForm::DrawMap() {
    MapImage->DrawMap();
}

void TMapForm::ShowStatus(const QString& text) {
    StatusBar->Show(text);
}

QString TMapForm::StatusText() const {
    return StatusBar->Text();
}

void TMapForm::MapImageMouseDown(int button, bool shift, int X, int Y) {
    EditorState& ed = st.ed;
    ed.DownX = X;
    ed.DownY = Y;
    ed.DownShift = shift;
    ed.DownButton = std::uint8_t(button);
    tools.Press({button, shift, {X, Y}});
}

void TMapForm::MapImageClick() {
    tools.Click();
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

void TMapForm::ShowOutcome(const EditOutcome& out) {
    if (out.failure) return;
    if (out.what) WhatLbl->setText(*out.what);
    // The palette shows what an edit selected (a pick, a New Map's first
    // tile) as if the user had chosen it there.
    if (out.picked || out.Reselected()) w.TilForm->ShowSelection();
    if (out.picked) ShowStatus(w.TilForm->SelectionText());
    if (out.section == SectionRequest::Write) WriteSection();
    if (out.section == SectionRequest::Paste) PasteSection();
}

// After an undo or a redo: the labels, the palette when the step changed
// the selection, and the strategic map.
void TMapForm::ShowUndone(const EditOutcome& out) {
    const HexPos hex = HexLayout::PixelToHex(st.ed.StatusX, st.ed.StatusY, st.map.ViewOrigin);
    if (HexMap::InGrid(hex.x, hex.y)) { // both labels name the same hex
        WhereLbl->setText(QStringLiteral("%1,%2").arg(hex.x).arg(hex.y));
        WhatLbl->setText(TerrainText(st.map.Cell(hex.x, hex.y), st.cat));
    }
    if (out.Reselected()) w.TilForm->ShowSelection();
}

} // namespace zem
