#pragma once
// The main window's status bar: the latest news on the left until the next
// replaces it, the hex under the pointer and the zoom on the right. Every
// piece of news goes to the Messages panel too.

#include "edit/MapDocument.h"
#include "windows/MapCanvas.h"

#include <QLabel>
#include <QStatusBar>

namespace zem {

class MessageLog;
class StatusMessage;

class MapStatusBar : public QStatusBar {
  public:
    MapStatusBar(ZemState& st, MapDocument& doc, MapCanvas& canvas);
    void Show(const QString& text);
    QString Text() const;
    // The hex under the pointer as it is now.
    void ShowHex();

    StatusMessage* StatusLbl;
    QLabel* HexInfoLbl;
    QLabel* ZoomLbl;
    MessageLog* log = nullptr;

  private:
    ZemState& st_;
    MapCanvas& canvas_;
};

} // namespace zem
