// The main window's tools beside the described modes: the tool bar, drag
// strokes, the brush under the pointer, selecting hexes, copying and pasting
// them through the clipboard, and filling.

#include "edit/ZemState.h"
#include "map/HexLayout.h"
#include "windows/TMapForm.h"
#include "windows/TSprayForm.h"
#include "windows/TTerrainForm.h"
#include "windows/ToolIcons.h"
#include "windows/Windows.h"

#include <QApplication>
#include <QBuffer>
#include <QClipboard>
#include <QMimeData>
#include <QPainter>
#include <QShortcut>

namespace zem {

void TMapForm::BuildToolBar() {
    ToolBar1 = addToolBar(QStringLiteral("Tools"));
    ToolBar1->setMovable(false);
    ToolBar1->setIconSize({24, 24});
    struct Button {
        QAction* action;
        ToolPicture picture;
        QString tip;
        const char* key; // the described items' keys are shortcuts of their own
    };
    const Button buttons[] = {
        {PlaceTool1, ToolPicture::Place, QStringLiteral("Place tiles (B)"), nullptr},
        {PickTool1, ToolPicture::Pick, QStringLiteral("Pick up a hex's tile (I)"), nullptr},
        {SelectTool1, ToolPicture::Select, QStringLiteral("Select hexes (S)"), nullptr},
        {FillTool1, ToolPicture::Fill,
         QStringLiteral("Fill connected hexes, Shift: the selection (F)"), nullptr},
        {SprayCan1, ToolPicture::Spray, QStringLiteral("Spray Can (A)"), "A"},
        {ToggleRoadConnections1, ToolPicture::Roads, QStringLiteral("Toggle Road Connections (R)"),
         "R"},
        {TerrainType11, ToolPicture::Terrain1, QStringLiteral("Terrain Type 1 (1)"), "1"},
        {TerrainType21, ToolPicture::Terrain2, QStringLiteral("Terrain Type 2 (2)"), "2"},
    };
    for (const Button& b : buttons) {
        b.action->setIcon(ToolIcon(b.picture));
        b.action->setIconVisibleInMenu(false); // the menus look as they always did
        b.action->setToolTip(b.tip);
        ToolBar1->addAction(b.action);
        if (b.key) {
            auto* key = new QShortcut(QKeySequence(QLatin1String(b.key)), this);
            key->setAutoRepeat(false); // a held key switches a mode once
            connect(key, &QShortcut::activated, b.action, &QAction::trigger);
        }
        connect(b.action, &QAction::toggled, this, [this] { UpdateToolButtons(); });
    }
    UpdateToolButtons();
}

// One button shows the tool in use: a described mode while one is on,
// else the new tool chosen last.
void TMapForm::UpdateToolButtons() {
    const bool described = SprayCan1->isChecked() || ToggleRoadConnections1->isChecked() ||
                           TerrainType11->isChecked() || TerrainType21->isChecked();
    const std::pair<QAction*, Tool> tools[] = {{PlaceTool1, Tool::Place},
                                               {PickTool1, Tool::Pick},
                                               {SelectTool1, Tool::Select},
                                               {FillTool1, Tool::Fill}};
    for (const auto& [action, t] : tools) {
        const QSignalBlocker quiet(action);
        action->setChecked(!described && tool_ == t);
    }
}

void TMapForm::ChooseTool(Tool t) {
    CancelModes();
    LeaveSectionModes();
    tool_ = t;
    UpdateToolButtons();
    MapImage->update();
}

bool TMapForm::ToolsApply() const {
    // The spray can and terrain items stay checked through a section's
    // corners, so their marks count too.
    return !pasting_ && st.ed.Mode == ModeTiles && !ToggleRoadConnections1->isChecked() &&
           !SprayCan1->isChecked() && !TerrainType11->isChecked() && !TerrainType21->isChecked();
}

void TMapForm::LeaveSectionModes() {
    if (st.ed.Mode != ModeCopySection && st.ed.Mode != ModePaste) return;
    st.ed.Mode = ModeTiles;
    st.ed.ClickCount = 0;
    SetHint(QString());
}

void TMapForm::DropPaste() {
    if (!pasting_) return;
    pasting_.reset();
    StatusBar->clearMessage(); // the prompt
    MapImage->update();
}

bool TMapForm::StrokeFits() const {
    const int mode = st.ed.Mode;
    if (mode == ModePaintTT1 || mode == ModePaintTT2 || mode == ModeSpray) return !pasting_;
    return ToolsApply() && tool_ == Tool::Place;
}

void TMapForm::StrokeTo(QPoint unzoomed) {
    EditorState& ed = st.ed;
    if (!stroke_) { // the hex of the press first, as its click would have done
        const EditOutcome first = edit::Click(Target(st), ClickState());
        stroke_ = first;
        ShowOutcome(first, false);
    }
    ed.DownX = unzoomed.x();
    ed.DownY = unzoomed.y();
    strokeLast_ = HexLayout::PixelToHex(ed.DownX, ed.DownY, st.map.ViewOrigin);
    const EditOutcome next = edit::Click(Target(st), ClickState());
    JoinOutcome(*stroke_, next);
    ShowOutcome(next, false);
}

void TMapForm::EndStroke() {
    strokeArmed_ = false;
    selecting_ = false;
    if (!stroke_) return;
    FinishStroke();
    strokeCut_ = true; // the release that follows is no click
}

void TMapForm::FinishStroke() {
    if (!stroke_) return;
    EditOutcome out = std::move(*stroke_);
    stroke_.reset();
    if (out.name == QStringLiteral("Place Tile")) out.name = QStringLiteral("Place Tiles");
    if (!out.Changed()) return;
    history.Record(std::move(out));
    UpdateTitle();
}

bool TMapForm::ToolClick() {
    const EditorState& ed = st.ed;
    const HexPos hex = HexLayout::PixelToHex(ed.DownX, ed.DownY, st.map.ViewOrigin);
    if (pasting_) {
        if (!st.map.OnMap(hex.x, hex.y)) {
            ShowStatus(QStringLiteral("Click on the map to paste there (Escape cancels)"));
            return true;
        }
        const MapFileData section = std::move(*pasting_);
        DropPaste();
        ApplyOutcome(edit::PasteHere(st.map, section, hex));
        return true;
    }
    if (!ToolsApply()) return false;
    if (tool_ == Tool::Select) return true; // the drag chose the hexes
    if (tool_ != Tool::Fill) return false;
    if (ed.DownShift && selection_)
        ApplyOutcome(edit::FillBox(Target(st), selection_->first, selection_->second));
    else
        ApplyOutcome(edit::Fill(Target(st), hex));
    return true;
}

void TMapForm::Copy1Click() {
    if (!selection_) {
        ShowStatus(QStringLiteral("Select hexes to copy first (Select, S)"));
        return;
    }
    const HexMap& m = st.map;
    const int x1 = std::max(0, std::min(selection_->first.x, selection_->second.x)),
              y1 = std::max(0, std::min(selection_->first.y, selection_->second.y)),
              x2 = std::min({m.MapWidth, MaxMapSize,
                             std::max(selection_->first.x, selection_->second.x) + 1}) -
                   1,
              y2 = std::min({m.MapHeight, MaxMapSize,
                             std::max(selection_->first.y, selection_->second.y) + 1}) -
                   1;
    if (x2 < x1 || y2 < y1) {
        ShowStatus(QStringLiteral("The selection lies off the map"));
        return;
    }
    // The section file's text, so it pastes into another editor or a text
    // editor, and its picture for drawing programs.
    auto* data = new QMimeData;
    data->setText(QString::fromLatin1(MapFileText(m, x1, y1, x2, y2)));
    QImage picture(HexLayout::WholeMapSize(x2 - x1 + 1, y2 - y1 + 1), QImage::Format_RGB32);
    picture.fill(ToQColor(clGreen));
    DrawHexes(picture, m, st.cat, st.images, {x1, x2, y1, y2}, {true, false});
    data->setImageData(picture);
    QApplication::clipboard()->setMimeData(data);
    ShowStatus(QStringLiteral("Copied %1 x %2 hexes").arg(x2 - x1 + 1).arg(y2 - y1 + 1));
}

void TMapForm::Paste1Click() {
    QByteArray text = QApplication::clipboard()->text().toLatin1();
    QBuffer buffer(&text);
    buffer.open(QIODevice::ReadOnly);
    Result<MapFileData> section = ReadMapFile(buffer, QStringLiteral("clipboard"), 1);
    if (!section) {
        ShowStatus(QStringLiteral("The clipboard holds no map section"));
        return;
    }
    CancelModes();
    LeaveSectionModes();
    pasting_ = std::move(section.Value());
    ShowStatus(QStringLiteral("Click where the section's top-left hex goes (Escape cancels)"));
    MapImage->update();
}

// Over the picture on screen, never in it: the selection, the brush and a
// waiting paste, see-through.
void TMapForm::PaintOverPicture(QPainter& p) {
    const MapView view = View();
    const TileImages& tiles = Zoom == 100 ? st.images : zoomed_.At(st.images, Zoom);
    const auto hexAt = [&](int x, int y) {
        return QRect(view.Corner(x, y),
                     QSize(view.Scaled(HexLayout::TileWidth), view.Scaled(HexLayout::TileHeight)));
    };
    if (selection_) {
        p.setPen(QPen(Qt::white, 1, Qt::DashLine));
        p.setBrush(QColor(255, 255, 255, 60));
        const auto [a, b] = *selection_;
        for (int y = std::min(a.y, b.y); y <= std::max(a.y, b.y); ++y)
            for (int x = std::min(a.x, b.x); x <= std::max(a.x, b.x); ++x) {
                const QRect r = hexAt(x, y);
                const int q = r.width() / 4;
                p.drawPolygon(
                    QPolygon({r.topLeft() + QPoint(q, 0), r.topRight() - QPoint(q, 0),
                              QPoint(r.right(), r.center().y()), r.bottomRight() - QPoint(q, 0),
                              r.bottomLeft() + QPoint(q, 0), QPoint(r.left(), r.center().y())}));
            }
    }
    PaintUnsureMarks(p, view);
    if (!pointer_) return;
    p.setOpacity(0.55);
    const HexPos at = *pointer_;
    const auto draw = [&](int x, int y, int tile) {
        if (!st.map.OnMap(x, y)) return;
        if (const QImage* img = TilePicture(st.cat, tiles, tile))
            p.drawImage(view.Corner(x, y), *img);
    };
    if (pasting_) {
        for (int i = 0; i < pasting_->height; ++i)
            for (int j = 0; j < pasting_->width; ++j)
                draw(at.x + j, at.y + i, pasting_->At(j, i).bmp);
    } else if (ToolsApply() && tool_ == Tool::Place) {
        draw(at.x, at.y, CurrentTile(st.ed, st.cat));
    }
}

// A question mark on each hex whose imported tile is unsure, until the next
// change of the map.
void TMapForm::PaintUnsureMarks(QPainter& p, const MapView& view) {
    if (UnsureHexes.empty()) return;
    QFont font = p.font();
    font.setPixelSize(13);
    font.setBold(true);
    p.setFont(font);
    const QSize tile(view.Scaled(HexLayout::TileWidth), view.Scaled(HexLayout::TileHeight));
    for (const HexPos h : UnsureHexes) {
        const QPoint centre = QRect(view.Corner(h.x, h.y), tile).center();
        const QRect box(centre.x() - 7, centre.y() - 7, 16, 16);
        if (!box.intersects(p.window())) continue;
        p.fillRect(box, QColor(UnsureMarkColour));
        p.setPen(Qt::black);
        p.drawRect(box.adjusted(0, 0, -1, -1));
        p.drawText(box, Qt::AlignCenter, QStringLiteral("?"));
    }
}

} // namespace zem
