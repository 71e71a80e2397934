#include "edit/MapDocument.h"
#include "edit/FixWhilePainting.h"
#include "edit/ZemState.h"

#include <QScopedValueRollback>

#include <QFileInfo>

namespace zem {

const QString MapDocument::PastePrompt =
    QStringLiteral("Click where the section's top-left hex goes (Escape cancels)");

MapDocument::MapDocument(ZemState& st)
    : st_(st), history_(st.map, st.ed, [this](const EditOutcome& out) { emit undone(out); }) {
    connect(&history_.Stack(), &QUndoStack::cleanChanged, this, [this] { emit titleChanged(); });
}

HexMap& MapDocument::Map() {
    return st_.map;
}
EditorState& MapDocument::Ed() {
    return st_.ed;
}
const TileCatalogue& MapDocument::Cat() const {
    return st_.cat;
}
EditTarget MapDocument::Target() {
    return zem::Target(st_);
}

void MapDocument::Settle() {
    emit settling();
}

void MapDocument::Changed(const EditOutcome* newMap) {
    // A new map is no file's yet: Save asks for a name.
    if (newMap) {
        fileName_.clear();
        unsureTiles_ = newMap->unsure;
    }
    KeepUnsure();
    emit titleChanged();
}

std::optional<EditOutcome> MapDocument::FollowUp(const EditOutcome& out) {
    if (!AfterToolEdit || settling_ || out.failure || !ChangesTiles(out)) return std::nullopt;
    EditOutcome more = AfterToolEdit(out);
    if (more.cells.empty()) return std::nullopt;
    return more;
}

void MapDocument::Apply(EditOutcome out) {
    {
        // The edit is on the map already: a stroke ended now is recorded as
        // it is, without following it up on a map that moved on.
        const QScopedValueRollback<bool> quiet(settling_, true);
        Settle();
    }
    if (out.newMap) out.fileBefore = fileName_;
    if (const std::optional<EditOutcome> more = acting_ > 0 ? FollowUp(out) : std::nullopt) {
        JoinOutcome(out, *more);
        // What followed is drawn with the edit.
        if (out.redraw != Redraw::View) out.redraw = Redraw::Cells;
    }
    if (out.Changed()) {
        history_.Record(out);
        Changed(out.newMap ? &out : nullptr);
    }
    if (out.hint && !out.failure) SetHint(*out.hint);
    if (out.news && !out.failure) Tell(*out.news);
    emit applied(out);
    if (out.failure) std::rethrow_exception(out.failure);
}

void MapDocument::ShowPart(const EditOutcome& part) {
    emit applied(part);
}

void MapDocument::RecordStroke(EditOutcome stroke) {
    if (!stroke.Changed()) return;
    const std::optional<EditOutcome> more = FollowUp(stroke);
    if (more) JoinOutcome(stroke, *more);
    const bool newMap = stroke.newMap;
    history_.Record(std::move(stroke));
    Changed(newMap ? history_.StepToUndo() : nullptr);
    if (more) emit applied(*more); // the stroke's own parts were shown as they came
}

// Back at the state last loaded or saved, the map is that file's again; a
// new map taken back gives back the file the map was before it.
void MapDocument::Undo() {
    Settle();
    const EditOutcome* step = history_.StepToUndo();
    const std::optional<QString> before =
        step && step->newMap ? std::optional(step->fileBefore) : std::nullopt;
    const std::optional<QString> news = step ? step->news : std::nullopt;
    history_.Undo();
    // What the step said is no longer so.
    if (news) emit withdrawn(*news);
    if (history_.IsClean())
        fileName_ = cleanName_;
    else if (before)
        fileName_ = *before;
    // The map before a new one brings back the marks of the import that made it.
    if (before) {
        const EditOutcome* made = history_.NewestNewMap();
        unsureTiles_ = made ? made->unsure : decltype(unsureTiles_)();
    }
    KeepUnsure();
    emit titleChanged();
}

void MapDocument::Redo() {
    Settle();
    const EditOutcome* step = history_.StepToRedo();
    const bool untitles = step && step->newMap;
    const std::optional<QString> news = step ? step->news : std::nullopt;
    history_.Redo();
    if (news) Tell(*news);
    if (history_.IsClean())
        fileName_ = cleanName_;
    else if (untitles)
        fileName_.clear();
    if (untitles) unsureTiles_ = step->unsure;
    KeepUnsure();
    emit titleChanged();
}

QString MapDocument::MapName() const {
    return fileName_.isEmpty() ? QStringLiteral("untitled") : QFileInfo(fileName_).fileName();
}

QString MapDocument::Title() const {
    const bool changed = !history_.IsClean();
    if (fileName_.isEmpty() && !changed) return QStringLiteral("ZEM Map");
    return QStringLiteral("ZEM Map - ") + MapName() + (changed ? QStringLiteral("*") : QString());
}

void MapDocument::Import(const QString& step, const std::function<void()>& read,
                         const std::vector<HexPos>& unsure, const std::optional<QString>& news) {
    EditOutcome out = Recorded(st_.map, step, read);
    out.redraw = Redraw::View;
    out.newMap = true;
    out.news = news;
    for (const HexPos h : unsure)
        if (st_.map.OnMap(h.x, h.y)) out.unsure.push_back({h, st_.map.Cell(h.x, h.y).bmp});
    Apply(out);
    // The very map shown already is no step, but its marks are this
    // import's.
    if (!out.Changed()) {
        unsureTiles_ = out.unsure;
        KeepUnsure();
    }
}

void MapDocument::Load(const MapFileData& data, const QString& path) {
    Apply(edit::LoadMap(st_.map, data));
    history_.Reset();
    unsureTiles_.clear(); // a file's map: no import's marks, even on the same tiles
    KeepUnsure();
    fileName_ = cleanName_ = QFileInfo(path).absoluteFilePath();
    emit titleChanged();
}

void MapDocument::Saved(const QString& path) {
    fileName_ = cleanName_ = path;
    history_.SetClean();
    emit titleChanged();
}

void MapDocument::Select(const HexSet& hexes) {
    if (hexes == selection_) return;
    selection_ = hexes;
    emit selectionChanged();
}

void MapDocument::SetPaste(MapFileData section, int column) {
    paste_ = std::move(section);
    pasteColumn_ = column;
    emit pasteChanged();
}

HexPos MapDocument::PasteAt(HexPos hex) const {
    if (pasteColumn_ >= 0 && (hex.x & 1) != (pasteColumn_ & 1)) hex.x += hex.x > 0 ? -1 : 1;
    return hex;
}

void MapDocument::DropPaste() {
    if (!paste_) return;
    paste_.reset();
    emit pasteChanged();
    emit withdrawn(PastePrompt);
}

void MapDocument::SetMix(std::vector<int> tiles) {
    if (tiles.size() < 2) tiles.clear();
    if (tiles == st_.ed.Mix) return;
    st_.ed.Mix = std::move(tiles);
    emit mixChanged();
}

// A hex keeps its mark while it shows the tile the import chose.
void MapDocument::KeepUnsure() {
    std::vector<HexPos> kept;
    for (const auto& [h, bmp] : unsureTiles_)
        if (st_.map.OnMap(h.x, h.y) && st_.map.Cell(h.x, h.y).bmp == bmp) kept.push_back(h);
    if (kept == unsure_) return;
    unsure_ = std::move(kept);
    emit unsureChanged();
}

void MapDocument::SetHint(const QString& text) {
    hint_ = text;
    emit hintChanged(text);
}

} // namespace zem
