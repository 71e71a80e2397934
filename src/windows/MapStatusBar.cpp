#include "windows/MapStatusBar.h"
#include "edit/ZemState.h"
#include "windows/Messages.h"

namespace zem {

MapStatusBar::MapStatusBar(ZemState& st, MapDocument& doc, MapCanvas& canvas)
    : st_(st), canvas_(canvas) {
    StatusLbl = new StatusMessage(this);
    addWidget(StatusLbl, 1);
    HexInfoLbl = new QLabel(this);
    ZoomLbl = new QLabel(QStringLiteral("100%"), this);
    addPermanentWidget(HexInfoLbl);
    addPermanentWidget(ZoomLbl);
    connect(&doc, &MapDocument::message, this, [this](const QString& text) { Show(text); });
    connect(&doc, &MapDocument::withdrawn, this, [this](const QString& text) {
        if (Text() == text) StatusLbl->Show(QString());
    });
    // The hex's line follows the pointer, scrolling, zooming, edits and undo.
    connect(&canvas_, &MapCanvas::pointerChanged, this, [this] { ShowHex(); });
    connect(&doc, &MapDocument::applied, this, [this] { ShowHex(); });
    connect(&doc, &MapDocument::undone, this, [this] { ShowHex(); });
    connect(&canvas_, &MapCanvas::zoomChanged, this,
            [this] { ZoomLbl->setText(QStringLiteral("%1%").arg(canvas_.Zoom())); });
}

void MapStatusBar::Show(const QString& text) {
    StatusLbl->Show(text);
    if (log) log->Add(text);
}

QString MapStatusBar::Text() const {
    return StatusLbl->Text();
}

void MapStatusBar::ShowHex() {
    const std::optional<HexPos> pointer = canvas_.Pointer();
    HexInfoLbl->setText(pointer ? HexInfoText(st_.map, st_.cat, *pointer) : QString());
}

} // namespace zem
