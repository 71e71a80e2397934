#pragma once
// The main window's map picture: the view of the map at a zoom, moved by its
// scroll bars, the wheel, the keys and a middle-button drag; the hex under
// the pointer; and over the picture the selection, the unsure marks and the
// active tool's preview. It routes the pointer to the active tool and draws
// what an edit asks; it keeps no editing state. At 100 % its picture is the
// described one, pixel for pixel.

#include "render/ViewDraw.h"
#include "tools/ToolManager.h"
#include "windows/ImageControl.h"

#include <QScrollBar>
#include <optional>

namespace zem {

struct ZemState;

class MapCanvas : public ImageControl {
    Q_OBJECT
  public:
    MapCanvas(ZemState& st, MapDocument& doc, ToolManager& tools, QWidget* parent);

    // The main window's handlers of the picture, in pixels of the view at
    // 100 %: a press, the left button's click, and pointer motion.
    std::function<void(int button, bool shift, int X, int Y)> MouseDown;
    std::function<void()> Clicked;
    std::function<void(int X, int Y)> MouseMoved;

    // The road lines ("Show Road Connections") and the terrain codes while
    // painting (View > "Terrain Codes While Painting").
    bool ShowRoads = false;
    bool TerrainCodes = true;

    MapView View() const;
    int Zoom() const { return zoom_; }
    // Composes the whole view and shows it.
    void DrawMap();
    void ScrollTo(HexPos origin);
    // The point under `around` (in pixels of the picture) stays where it is.
    void SetZoom(int percent, QPoint around);
    // One zoom step in (+1) or out (-1) around the middle of the window.
    void ZoomStep(int step);
    void ActualSize();
    // An arrow or page key.
    void ScrollKey(int key);
    // The hex under the pointer, while the pointer is over the picture.
    std::optional<HexPos> Pointer() const { return pointer_; }
    // The picture grew or shrank with the window: 900 by 800 at least.
    void Fit(int width, int height);

    QScrollBar* HScroll;
    QScrollBar* VScroll;

  signals:
    void drawn();          // the view was composed again
    void pointerChanged(); // another hex under the pointer, or none
    void zoomChanged();

  private:
    void Down(int button, bool shift, int X, int Y);
    void Moved(int X, int Y);
    void Up(int button);
    void Wheel(QWheelEvent* e);
    void PaintOver(QPainter& p);
    void PaintSelection(QPainter& p, const MapView& view);
    void PaintHexes(QPainter& p, const MapView& view, const HexSet& hexes);
    void PaintUnsureMarks(QPainter& p, const MapView& view);
    void Show(const EditOutcome& out);
    void Undone();
    bool PaintingTerrain() const;
    bool RoadsShown() const;
    void UpdateScrollBars();
    void ShowOrigin(HexPos origin);
    void TrackPointer(int X, int Y);
    QPoint ViewCentre() const;

    ZemState& st_;
    MapDocument& doc_;
    ToolManager& tools_;
    ZoomedTiles zoomed_;
    int zoom_ = 100;
    bool codesDrawn_ = false;       // the picture shows terrain codes
    bool roadsDrawn_ = false;       // and road lines
    std::optional<HexPos> pointer_; // the hex under the pointer
    QPoint pointerAt_;              // and where the pointer is, in pixels of the view
    QPoint pressAt_;                // where the left button went down
    bool moved_ = false;            // the left button's drag left the press by more than a slip
    int wheelRest_ = 0;             // a wheel's turn short of a notch, kept for its next event
    bool panning_ = false;
    QPoint panFrom_;
    HexPos panOrigin_;
};

} // namespace zem
