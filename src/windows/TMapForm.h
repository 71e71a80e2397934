#pragma once
// The main window "ZEM Map": the map picture, its menu and tool bar, the
// status labels and status bar, and edge scrolling. Its handlers are thin:
// the document holds the map and what belongs to it, the tools turn the
// pointer into edits, the canvas shows the view.

#include "edit/MapDocument.h"
#include "runtime/DialogService.h"
#include "tools/ToolManager.h"
#include "windows/MapCanvas.h"
#include "windows/Timer.h"

#include <QAction>
#include <QLabel>
#include <QMainWindow>
#include <QMenu>
#include <QStatusBar>
#include <QToolBar>
#include <array>

namespace zem {

struct ZemState;
struct Windows;
class MapStatusBar;
class MapToolBar;

constexpr const char* ZemVersion = "0.04";

struct ScrollZone {
    int left = 0, top = 0, right = 0, bottom = 0;
    std::uint8_t direction = 0;
    // Strictly inside: a pointer on the border is outside.
    bool Holds(int x, int y) const { return left < x && x < right && top < y && y < bottom; }
};

class TMapForm : public QMainWindow {
    Q_OBJECT
  public:
    TMapForm(ZemState& st, Windows& w);

    // Start-up, layout and scrolling
    void FormCreate();
    void FormActivate();
    void FormResize();
    void FormPaint();
    void FormMouseMove(int X, int Y);
    void Timer1Timer();
    void About1Click();
    void ConvertBitmap1Click();

    // Mouse editing on the map picture, in pixels of the view at 100 %.
    void MapImageMouseDown(int button, bool shift, int X, int Y);
    void MapImageClick();
    void MapImageMouseMove(int X, int Y);
    void DrawMap();
    void SetHint(const QString& text);

    // Map files, new map, sections
    void LoadMap1Click();
    void SaveMap1Click();
    void Save1Click();
    void ImportTmx1Click();
    void ImportPG21Click();
    void ExportTmx1Click();
    void Quit1Click();
    // Loads a map file as the current one: a fresh history, the file's name
    // in the title and the recent list. False (after the Error) when it
    // cannot be read.
    bool OpenMapFile(const QString& path);
    // Asks before unsaved changes would be lost; true: go ahead.
    bool MaybeSave();
    // News in the status bar until the next, and in the Messages panel.
    void ShowStatus(const QString& text);
    QString StatusText() const;

    // The view: its origin, zoom and size.
    MapView View() const { return MapImage->View(); }
    void ZoomIn1Click() { MapImage->ZoomStep(1); }
    void ZoomOut1Click() { MapImage->ZoomStep(-1); }
    void ActualSize1Click() { MapImage->ActualSize(); }
    void Copy1Click();
    void Paste1Click();

    void Undo1Click();
    void Redo1Click();
    void NewMap1Click();
    void CopyMapToFile1Click();
    void PasteFromFile1Click();
    void WriteSection();
    void PasteSection();

    // Roads, terrain painting, spray can
    void MakeRoadConnections1Click();
    void ClearRoadConnections1Click();
    void ShowRoadConnections1Click();
    void ToggleRoadConnections1Click();
    void CancelModes();
    void TerrainType11Click();
    void TerrainType21Click();
    void SprayCan1Click();
    void SprayCanSettings1Click();

    // Other windows and the export
    void ShowStrategicMap1Click();
    void GenerateTerrain1Click();
    void PanzerGeneral21Click();
    // Export > "Panzer General 2 As...": folder and number asked; the folder
    // chosen last is offered again.
    void PanzerGeneral2As1Click();
    ExportTarget PG2Target;

    QWidget* Client() const { return client_; }
    int ClientWidth() const;
    int ClientHeight() const;

    MapCanvas* MapImage;
    QLabel* WhereLbl;
    QLabel* WhatLbl;
    QLabel* HintLbl;
    MapStatusBar* StatusBar; // news of the editor's own features, below the map
    QLabel* HexInfoLbl;      // in the status bar: the hex under the pointer
    QLabel* ZoomLbl;
    MapToolBar* ToolBar1;
    OpenDialog OpenDialog1;
    Timer Timer1{100};

    QAction *LoadMap1, *SaveMap1, *Save1, *Quit1, *Undo1, *Redo1;
    QMenu *RecentMaps1, *View1;
    QAction *ImportTmx1, *ExportTmx1, *ImportPG21;
    QAction *NewMap1, *CutMapToFile1, *PasteFromFile1;
    QAction *ShowRoadConnections1, *ToggleRoadConnections1, *TerrainType11, *TerrainType21;
    QAction *SprayCan1, *SprayCanSettings1, *ShowStrategicMap1;
    QAction *ConvertBitmap1, *GenerateTerrain1, *MakeRoadConnections1, *ClearRoadConnections1;
    QAction *PanzerGeneral21, *PanzerGeneral2As1, *About1;
    QAction* TerrainCodes1; // View > "Terrain Codes While Painting"
    QAction *ZoomIn1, *ZoomOut1, *ActualSize1;
    QAction *PlaceTool1, *PickTool1, *SelectTool1, *FillTool1, *Copy1, *Paste1;

    bool FirstActivation = true;
    QString StartFile;                     // the map file named on the command line
    std::array<ScrollZone, 4> ScrollZones; // left, right, top, bottom strips
    std::uint8_t ScrollDirection = 0;      // 1 up, 2 right, 3 down, 4 left
    int ScrollTicks = 0;
    bool MouseCaptured = false;

  protected:
    bool event(QEvent* e) override;
    // Closing the main window ends the program, whatever other windows show.
    void closeEvent(QCloseEvent* e) override;

  private:
    void BuildMenu();
    // An item of the menu; its keys work from every window and panel.
    QAction* AddItem(QMenu* menu, const QString& caption, void (TMapForm::*handler)(),
                     bool checkable = false, const QList<QKeySequence>& keys = {});
    void ConnectDocument();
    void TerrainCodes1Click();
    // Runs OpenDialog1 with this title and filter, and the default extension
    // when one is given; false: cancelled. For a file of another program
    // (Tiled, the game) it offers `*other`, which takes the file chosen, so
    // that Save Map never offers to write over such a file.
    bool AskFile(const QString& title, const QString& filter, bool save,
                 const QString& defaultExt = {}, QString* other = nullptr);
    QString tmxName_, pg2Name_; // the Tiled and game map files last imported
    bool SaveTo(const QString& path);
    void Loaded(const MapFileData& data, const QString& path);
    void UpdateUndoItems();
    // What an edit shows besides the picture: labels, the palette, the
    // section file it asks for.
    void ShowOutcome(const EditOutcome& out);
    void ShowUndone(const EditOutcome& out);

    ZemState& st;
    Windows& w;
    MapDocument& doc;
    ToolManager& tools;
    QWidget* client_;
};

} // namespace zem
