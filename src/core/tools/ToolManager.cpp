#include "tools/ToolManager.h"

#include "map/HexLayout.h"

#include <algorithm>
#include <cstdlib>

namespace zem {

ToolManager::ToolManager(MapDocument& doc, ToolInputs inputs)
    : doc_(doc), inputs_(std::move(inputs)) {
    for (std::size_t k = 0; k < tools_.size(); ++k)
        tools_[k] = MakeTool(*this, ToolKind(k));
    connect(&doc_, &MapDocument::settling, this, [this] { EndStroke(); });
    // A section copy or paste ends in tile mode; a placed paste is gone.
    connect(&doc_, &MapDocument::applied, this, [this] { Sync(); });
    connect(&doc_, &MapDocument::pasteChanged, this, [this] { Sync(); });
}

ToolManager::~ToolManager() = default;

ToolKind ToolManager::Active() const {
    switch (doc_.Ed().Mode) {
    case ModeCopySection:
        return ToolKind::SectionCopy;
    case ModePaste:
        return ToolKind::SectionPaste;
    case ModePaintTT1:
        return ToolKind::Terrain1;
    case ModePaintTT2:
        return ToolKind::Terrain2;
    case ModeSpray:
        return ToolKind::Spray;
    default:
        break;
    }
    if (marks_.ToggleRoads) return ToolKind::RoadPair;
    if (doc_.PendingPaste()) return ToolKind::Paste;
    return chosen_;
}

MapTool& ToolManager::ActiveTool() const {
    return *tools_[std::size_t(Active())];
}

void ToolManager::Sync() {
    if (Active() == shown_ && marks_ == shownMarks_) return;
    shown_ = Active();
    shownMarks_ = marks_;
    emit activeChanged();
}

void ToolManager::Choose(ToolKind kind) {
    EndStroke();
    CancelModes();
    LeaveSectionModes();
    chosen_ = kind;
    Sync();
}

void ToolManager::SetOptions(const ToolOptions& options) {
    if (options == options_) return;
    EndStroke();
    options_ = options;
    options_.BrushSize = std::clamp(options_.BrushSize, 1, 3);
    emit activeChanged();
}

void ToolManager::StartPaste(MapFileData section, int column) {
    EndStroke();
    CancelModes();
    LeaveSectionModes();
    doc_.SetPaste(std::move(section), column);
    doc_.Tell(MapDocument::PastePrompt);
    Sync();
}

void ToolManager::LeaveSectionModes() {
    EditorState& ed = doc_.Ed();
    if (ed.Mode != ModeCopySection && ed.Mode != ModePaste) return;
    ed.Mode = ModeTiles;
    ed.ClickCount = 0;
    doc_.SetHint(QString());
}

// Switching a mode off leaves placing tiles active, whatever tool was
// chosen before the mode.
void ToolManager::SwitchOff(bool ModeMarks::*mark) {
    marks_.*mark = false;
    doc_.SetHint(QString());
    chosen_ = ToolKind::Place;
}

void ToolManager::ToggleRoadConnections() {
    EndStroke();
    if (marks_.ToggleRoads) {
        SwitchOff(&ModeMarks::ToggleRoads);
    } else {
        CancelModes();
        marks_.ToggleRoads = true;
        chosen_ = ToolKind::Place;
        doc_.Ed().ClickCount = 0;
        doc_.SetHint(QStringLiteral("Click on tile 1"));
    }
    Sync();
}

void ToolManager::TerrainType(int which) {
    EndStroke();
    bool ModeMarks::*mark = which == 1 ? &ModeMarks::TerrainType1 : &ModeMarks::TerrainType2;
    EditorState& ed = doc_.Ed();
    if (marks_.*mark) {
        SwitchOff(mark);
        emit terrainPicker(0);
        ed.Mode = ModeTiles;
    } else {
        CancelModes();
        marks_.*mark = true;
        chosen_ = ToolKind::Place;
        ed.ClickCount = 0;
        doc_.SetHint(which == 1 ? QStringLiteral("Select 1st Terrain Type")
                                : QStringLiteral("Select 2nd Terrain Type"));
        emit terrainPicker(which);
        ed.Mode = which == 1 ? ModePaintTT1 : ModePaintTT2;
    }
    Sync();
}

void ToolManager::SprayCan() {
    EndStroke();
    EditorState& ed = doc_.Ed();
    if (marks_.SprayCan) {
        SwitchOff(&ModeMarks::SprayCan);
        ed.Mode = ModeTiles;
    } else {
        CancelModes();
        marks_.SprayCan = true;
        chosen_ = ToolKind::Place;
        ed.ClickCount = 0;
        doc_.SetHint(QStringLiteral("Sprayer is ON"));
        ed.Mode = ModeSpray;
    }
    Sync();
}

// At most one described mode is on; every mode takes the clicks a waiting
// paste would.
void ToolManager::CancelModes() {
    doc_.DropPaste();
    if (marks_.ToggleRoads) ToggleRoadConnections();
    if (marks_.TerrainType1) TerrainType(1);
    if (marks_.TerrainType2) TerrainType(2);
    if (marks_.SprayCan) SprayCan();
}

void ToolManager::CopySection() {
    EndStroke();
    doc_.DropPaste();
    doc_.Ed().ClickCount = 0;
    doc_.SetHint(QStringLiteral("Click on Top-Left corner"));
    doc_.Ed().Mode = ModeCopySection;
    chosen_ = ToolKind::Place;
    Sync();
}

void ToolManager::PasteFromFile() {
    EndStroke();
    doc_.DropPaste();
    doc_.Ed().ClickCount = 0;
    doc_.SetHint(QStringLiteral("Paste At (Top-Left)"));
    doc_.Ed().Mode = ModePaste;
    chosen_ = ToolKind::Place;
    Sync();
}

void ToolManager::Press(const PointerEvent& e) {
    const MapDocument::ToolActing acting(doc_);
    cut_ = false;
    if (e.button != mbMiddle) last_ = e.at;
    ActiveTool().Press(e);
}

// A quick drag moves the pointer over several hexes between two of its
// events: every point on the line from the last one is entered in turn.
void ToolManager::Move(const PointerEvent& e, bool moved, const QRect& area) {
    const MapDocument::ToolActing acting(doc_);
    const QPoint a = last_, b = e.at;
    last_ = b;
    const int steps = std::max({1, std::abs(b.x() - a.x()), std::abs(b.y() - a.y())});
    PointerEvent at = e;
    MapTool& tool = ActiveTool();
    const HexPos origin = doc_.Map().ViewOrigin;
    HexPos entered = HexLayout::PixelToHex(a.x(), a.y(), origin);
    QRect inside = HexLayout::PickedPixels(entered, origin);
    for (int i = 1; i <= steps; ++i) {
        at.at = QPoint(a.x() + (b.x() - a.x()) * i / steps, a.y() + (b.y() - a.y()) * i / steps);
        // Beyond the picture the pointer enters no hex. On the way the tool
        // hears of each hex entered; the pointer's own place it always hears.
        const int x = at.at.x(), y = at.at.y();
        if (x < area.left() || x > area.right() || y < area.top() || y > area.bottom()) continue;
        const bool last = i == steps;
        if (!last && x >= inside.left() && x <= inside.right() && y >= inside.top() &&
            y <= inside.bottom())
            continue;
        const HexPos hex = HexLayout::PixelToHex(x, y, origin);
        if (!last && hex == entered) continue;
        entered = hex;
        inside = HexLayout::PickedPixels(hex, origin);
        tool.Drag(at, moved);
    }
}

void ToolManager::Click() {
    const MapDocument::ToolActing acting(doc_);
    MapTool& tool = ActiveTool();
    if (tool.Busy()) { // a drag ends as one step, not a click
        tool.Finish();
        return;
    }
    if (cut_) return;
    tool.Click();
}

void ToolManager::Release(int button) {
    const MapDocument::ToolActing acting(doc_);
    // Released beyond the picture no click came; a right drag has no click.
    if (button != mbMiddle) ActiveTool().Finish();
}

void ToolManager::Escape() {
    EndStroke();
    doc_.DropPaste();
    doc_.Select({});
    doc_.SetMix({});
}

void ToolManager::EndStroke() {
    const MapDocument::ToolActing acting(doc_);
    MapTool& tool = ActiveTool();
    if (tool.Busy()) cut_ = true;
    tool.Finish();
}

} // namespace zem
