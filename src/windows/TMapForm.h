#pragma once
// The main window "ZEM Map": the map picture, its menu, the status labels
// and edge scrolling.

#include "edit/Edit.h"
#include "edit/History.h"
#include "map/HexMap.h"
#include "map/MapFile.h"
#include "render/ViewDraw.h"
#include "runtime/DialogService.h"
#include "windows/ImageControl.h"
#include "windows/Timer.h"

#include <QAction>
#include <QLabel>
#include <QMainWindow>
#include <QMenu>
#include <QScrollBar>
#include <QStatusBar>
#include <QToolBar>
#include <array>
#include <optional>

namespace zem {

struct ZemState;
struct Windows;

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

    // Mouse editing on the map picture
    void MapImageMouseDown(int button, bool shift, int X, int Y);
    void MapImageClick();
    void MapImageMouseMove(int X, int Y);
    void DrawMap();
    void SetHint(const QString& text);
    // Shows what an edit did: labels, the redraw it asks for, the section
    // file it asks for. `redrawView` redraws the whole view whatever it asks.
    // An error the edit raised after changing the map is raised again here,
    // once the change is recorded.
    void ApplyOutcome(const EditOutcome& out, bool redrawView = false);

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
    void UpdateTitle();
    // A few seconds of news in the status bar ("Saved island.zep").
    void ShowStatus(const QString& text);
    // "Terrain Codes While Painting" is checked.
    bool TerrainCodesShown() const;

    // The view: its origin, zoom and size; scrolling, zoom and the keys
    // that move it.
    MapView View() const;
    void ScrollTo(HexPos origin);
    void SetZoom(int percent, QPoint around);
    void ZoomIn1Click();
    void ZoomOut1Click();
    void ActualSize1Click();
    // The tools beside the described modes: placing (the described left
    // click), picking up, selecting a rectangle, filling.
    enum class Tool { Place, Pick, Select, Fill };
    void ChooseTool(Tool t);
    Tool CurrentTool() const { return tool_; }
    void Copy1Click();
    void Paste1Click();
    // The selected rectangle of hexes, if any.
    std::optional<std::pair<HexPos, HexPos>> Selection() const { return selection_; }

    // Undo and redo
    void Undo1Click();
    // The items name the step they take back or repeat, greyed when none.
    void UpdateUndoItems();
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

    QWidget* Client() const { return client_; }
    int ClientWidth() const;
    int ClientHeight() const;

    ImageControl* MapImage;
    QLabel* WhereLbl;
    QLabel* WhatLbl;
    QLabel* HintLbl;
    QStatusBar* StatusBar; // news of the editor's own features, below the map
    QLabel* HexInfoLbl;    // in the status bar: the hex under the pointer
    QLabel* ZoomLbl;
    QScrollBar *HScroll, *VScroll;
    QToolBar* ToolBar1;
    OpenDialog OpenDialog1;
    Timer Timer1{100};

    QAction *LoadMap1, *SaveMap1, *Save1, *Quit1, *Undo1, *Redo1;
    QMenu* RecentMaps1;
    QAction *ImportTmx1, *ExportTmx1, *ImportPG21;
    QAction *NewMap1, *CutMapToFile1, *PasteFromFile1;
    QAction *ShowRoadConnections1, *ToggleRoadConnections1, *TerrainType11, *TerrainType21;
    QAction *SprayCan1, *SprayCanSettings1, *ShowStrategicMap1;
    QAction *ConvertBitmap1, *GenerateTerrain1, *MakeRoadConnections1, *ClearRoadConnections1;
    QAction *PanzerGeneral21, *About1;
    QAction* TerrainCodes1; // View > "Terrain Codes While Painting"
    QAction *ZoomIn1, *ZoomOut1, *ActualSize1;
    QAction *PlaceTool1, *PickTool1, *SelectTool1, *FillTool1, *Copy1, *Paste1;
    int Zoom = 100; // percent

    bool FirstActivation = true;
    History history;
    QString FileName;   // the current map file; empty while the map is untitled
    QString cleanName_; // the file the history's clean state was read from or saved to
    QString StartFile;  // the map file named on the command line
    std::array<ScrollZone, 4> ScrollZones; // left, right, top, bottom strips
    std::uint8_t ScrollDirection = 0;      // 1 up, 2 right, 3 down, 4 left
    int ScrollTicks = 0;
    bool MouseCaptured = false;
    // Hexes an import was unsure of, marked on the map until the next change.
    std::vector<HexPos> UnsureHexes;
    static constexpr QRgb UnsureMarkColour = 0xFFFFE600;

  protected:
    bool event(QEvent* e) override;
    void keyPressEvent(QKeyEvent* e) override;
    // Closing the main window ends the program, whatever other windows show.
    void closeEvent(QCloseEvent* e) override;

  private:
    void BuildMenu();
    QAction* AddItem(QMenu* menu, const QString& caption, void (TMapForm::*handler)(),
                     bool checkable = false);
    // Keys that work from every window of the program.
    void AddKeys(QAction* a, const QList<QKeySequence>& keys);
    void TerrainCodes1Click();
    ClickInputs ClickState() const;
    void SwitchTerrainMode(QAction* item, int mode, const QString& hint, const QString& title);
    bool SaveTo(const QString& path);
    void Loaded(const MapFileData& data, const QString& path);
    QString MapName() const;
    void AddRecent(const QString& path);
    void FillRecentMenu();
    void ShowUndone(const EditOutcome& out);
    void ApplyImported(const QString& step, const std::function<void()>& read);
    // The strategic map, when open, shows the map as it is now.
    void FollowOverview();
    // What an edit shows: labels, redraws, the section file it asks for.
    void ShowOutcome(const EditOutcome& out, bool redrawView);
    void BuildViewControls();
    void BuildToolBar();
    void UpdateToolButtons();
    void UpdateScrollBars();
    void ShowPointerHex(int X, int Y);
    void ShowHexInfo(); // of the hex under the pointer, as it is now
    // The map picture's events, before the described handlers see them in
    // pixels of the view at 100 %.
    void PictureDown(int button, bool shift, int X, int Y);
    void PictureMove(int X, int Y);
    void PictureUp(int button);
    void PictureWheel(QWheelEvent* e);
    void PaintOverPicture(QPainter& p);
    void PaintUnsureMarks(QPainter& p, const MapView& view);
    // A press and drag of the left button: every hex entered is edited as a
    // click there would, and the stroke is one step.
    bool StrokeFits() const;
    // The new tools apply: tile mode, no road pair, no paste waiting.
    bool ToolsApply() const;
    void StrokeAlong(QPoint to);
    void StrokeTo(QPoint unzoomed);
    void FinishStroke();
    // Ends a stroke still held, as its release would: before an undo or
    // any other step, so a stroke never spans them.
    void EndStroke();
    // A paste waiting for its click is given up, its prompt with it.
    void DropPaste();
    // Choosing a tool or a paste leaves the section modes' corner clicks.
    void LeaveSectionModes();
    // The middle of the part of the picture the window shows.
    QPoint ViewCentre() const;
    // Sets the view's origin where the view stays on the map.
    void ShowOrigin(HexPos origin);
    // Clicks of the new tools; false: the described click goes ahead.
    bool ToolClick();

    ZemState& st;
    Windows& w;
    QWidget* client_;
    ZoomedTiles zoomed_;
    Tool tool_ = Tool::Place;
    // The stroke: armed at a left press where strokes apply, running once
    // the pointer left the hex of the press.
    bool strokeArmed_ = false;
    bool strokeCut_ = false; // a command ended the stroke while the button was down
    std::optional<EditOutcome> stroke_;
    HexPos strokeLast_;
    QPoint strokePoint_; // the pointer's last position in the stroke, in pixels of the view
    std::optional<std::pair<HexPos, HexPos>> selection_;
    bool selecting_ = false;
    std::optional<MapFileData> pasting_; // a paste waiting for its click
    std::optional<HexPos> pointer_;      // the hex under the pointer
    QPoint pointerAt_;                   // and where the pointer is, in pixels of the view
    QPoint strokeFrom_;                  // where the left button went down
    int wheelRest_ = 0;                  // a wheel's turn short of a notch, kept for its next event
    bool panning_ = false;
    QPoint panFrom_;
    HexPos panOrigin_;
};

} // namespace zem
