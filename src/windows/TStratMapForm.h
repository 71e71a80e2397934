#pragma once
// "Strategic Map": the whole map small; a click moves the main view.

#include "map/HexMap.h"
#include "windows/ImageControl.h"

#include <QScrollArea>

namespace zem {

struct ZemState;
struct Windows;

class TStratMapForm : public QWidget {
    Q_OBJECT
  public:
    TStratMapForm(ZemState& st, Windows& w);

    void FormShow();
    void FormActivate();
    void StratMapImageMouseDown(int X, int Y);
    void StratMapImageClick();
    // Outlines the hexes the main view shows: `cols` x `rows` from `origin`.
    void ShowView(HexPos origin, int cols, int rows);

    QScrollArea* ScrollBox1;
    ImageControl* StratMapImage;
    int StratDownX = 0, StratDownY = 0;

  protected:
    bool event(QEvent* e) override;
    void showEvent(QShowEvent* e) override;
    void resizeEvent(QResizeEvent* e) override;

  private:
    ZemState& st;
    Windows& w;
    QRect view_; // the outline, in pixels of the overview
    bool dragged_ = false;
};

} // namespace zem
