#pragma once
// The tile palette "Tile Window": one tile set at a time as hexes; picks the
// tile that editing places and names the tile under the pointer.

#include "windows/ImageControl.h"

#include <QButtonGroup>
#include <QGroupBox>
#include <QLabel>
#include <QRadioButton>
#include <array>
#include <functional>
#include <vector>

namespace zem {

struct ZemState;

class TTilForm : public QWidget {
    Q_OBJECT
  public:
    explicit TTilForm(ZemState& st);

    void FormActivate();
    void SetUpTileSetButtons();
    void DrawTileSet(int s);
    void RedrawPaletteTile(int s, int p);
    void MarkPaletteTile(int p, int k);
    void TilSetRGClick();
    void TilImageMouseMove(int X, int Y);
    void TilImageMouseDown(int X, int Y);
    void MixTile(int X, int Y);
    // Shows the selected tile as if the user had chosen it here: its set,
    // that set's button checked, the tile marked (after a tile was picked
    // up from the map, or an undo gave back another selection).
    void ShowSelection();
    // Ctrl+click: the tile joins a mix of tiles (or leaves it), which
    // placements choose from; a plain click is the described one and ends
    // the mix. `OnMix` hands the new mix on.
    std::function<void(std::vector<int>)> OnMix;
    // "Picked: bmp20 of set 3 Forest(None)", for the status bar.
    QString SelectionText() const;

    // The index of the selected set button, -1 when none.
    int ItemIndex() const;
    void SetItemIndex(int i);

    QGroupBox* TilSetRG;
    QButtonGroup* TilSetButtons;
    std::array<QRadioButton*, 12> SetButtons;
    ImageControl* TilImage;
    QLabel* WhereLbl;

  protected:
    bool event(QEvent* e) override;

  private:
    ZemState& st;
    bool firstActivation_ = true;
    int lastX_ = 0, lastY_ = 0;
    int shownSet_ = 0; // the set the palette picture shows
};

} // namespace zem
