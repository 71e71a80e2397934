#include "edit/History.h"

namespace zem {

// Puts the step's cells, size and selection, as they were before it or
// after it, into the map and the editing state.
static void Put(HexMap& map, EditorState& ed, const EditOutcome& out, bool after) {
    for (const CellChange& c : out.cells)
        if (HexMap::InGrid(c.at.x, c.at.y)) map.Cell(c.at.x, c.at.y) = after ? c.after : c.before;
    const MapShape& shape = after ? out.shapeAfter : out.shapeBefore;
    map.MapWidth = shape.width;
    map.MapHeight = shape.height;
    // A field goes back only while it is still as the step left it: a tile
    // chosen, picked or replaced since is the user's newer choice.
    const Selection& from = after ? out.selBefore : out.selAfter;
    const Selection& to = after ? out.selAfter : out.selBefore;
    if (from.ReplacedTile != to.ReplacedTile && ed.ReplacedTile == from.ReplacedTile)
        ed.ReplacedTile = to.ReplacedTile;
    const bool tileChanged =
        from.CurrentSet != to.CurrentSet || from.CurrentImage != to.CurrentImage;
    if (tileChanged && ed.CurrentSet == from.CurrentSet && ed.CurrentImage == from.CurrentImage) {
        ed.CurrentSet = to.CurrentSet;
        ed.CurrentImage = to.CurrentImage;
    }
    // The view stays unless the map no longer reaches it; then it goes
    // where edge scrolling would stop.
    HexPos& o = map.ViewOrigin;
    if (o.x >= map.MapWidth) o.x = std::max(0, (map.MapWidth - 8) & ~1);
    if (o.y >= map.MapHeight) o.y = std::max(0, map.MapHeight - 8);
}

static std::size_t BytesOf(const EditOutcome& out) {
    return sizeof(EditOutcome) + out.cells.capacity() * sizeof(CellChange);
}

// One step. Its cells may be forgotten when the history grows past its
// memory bound; a forgotten step undoes and redoes nothing.
class History::Step : public QUndoCommand {
  public:
    Step(History& h, EditOutcome out) : h_(h), size_(BytesOf(out)) {
        setText(out.name);
        out_ = std::make_unique<EditOutcome>(std::move(out));
        h_.bytes_ += size_;
    }
    ~Step() override { Forget(); }

    // Steps of the converter: a map size takes the next size or conversion.
    int id() const override { return out_ && out_->merge != Merge::None ? 1 : -1; }
    bool mergeWith(const QUndoCommand* other) override {
        const auto* later = static_cast<const Step*>(other);
        if (!out_ || !later->out_ || out_->merge != Merge::SketchSize) return false;
        JoinOutcome(*out_, *later->out_);
        setText(out_->name);
        const std::size_t size = BytesOf(*out_);
        h_.bytes_ += size - size_;
        size_ = size;
        return true;
    }
    bool Pending() const { return out_ && out_->merge == Merge::SketchSize; }

    void redo() override {
        if (first_) { // already applied when it was recorded
            first_ = false;
            return;
        }
        Apply(true);
    }
    void undo() override { Apply(false); }
    void Apply(bool after) {
        if (!out_) return;
        Put(h_.map_, h_.ed_, *out_, after);
        if (h_.shown_) h_.shown_(*out_);
    }
    bool Forgotten() const { return !out_; }
    const EditOutcome* Outcome() const { return out_.get(); }
    void Forget() {
        if (!out_) return;
        out_.reset();
        h_.bytes_ -= size_;
    }

  private:
    History& h_;
    std::size_t size_;
    std::unique_ptr<EditOutcome> out_;
    bool first_ = true;
};

History::History(HexMap& map, EditorState& ed, std::function<void(const EditOutcome&)> shown)
    : map_(map), ed_(ed), shown_(std::move(shown)) {
    stack_.setUndoLimit(MaxSteps);
}

History::~History() {
    stack_.clear();
}

void History::Record(EditOutcome out) {
    if (!out.Changed()) return;
    stack_.push(new Step(*this, std::move(out)));
    Trim();
}

// Forgets the oldest steps until the recorded cells fit the memory bound;
// the newest step always stays.
void History::Trim() {
    for (int i = 0; bytes_ > MaxBytes && i + 1 < stack_.index(); ++i) {
        auto* step = const_cast<Step*>(static_cast<const Step*>(stack_.command(i)));
        step->Forget();
    }
}

bool History::PendingSketchSize() const {
    // Qt joins steps only away from the clean state: a save in between
    // keeps them apart.
    const int top = stack_.index();
    return top > 0 && top != stack_.cleanIndex() &&
           static_cast<const Step*>(stack_.command(top - 1))->Pending();
}

bool History::CanUndo() const {
    if (!stack_.canUndo()) return false;
    return !static_cast<const Step*>(stack_.command(stack_.index() - 1))->Forgotten();
}

bool History::CanRedo() const {
    return stack_.canRedo();
}

void History::Undo() {
    if (CanUndo()) stack_.undo();
}

void History::Redo() {
    if (CanRedo()) stack_.redo();
}

const EditOutcome* History::StepToUndo() const {
    if (!CanUndo()) return nullptr;
    return static_cast<const Step*>(stack_.command(stack_.index() - 1))->Outcome();
}

const EditOutcome* History::StepToRedo() const {
    if (!CanRedo()) return nullptr;
    return static_cast<const Step*>(stack_.command(stack_.index()))->Outcome();
}

const EditOutcome* History::NewestNewMap() const {
    for (int i = stack_.index() - 1; i >= 0; --i)
        if (const EditOutcome* out = static_cast<const Step*>(stack_.command(i))->Outcome();
            out && out->newMap)
            return out;
    return nullptr;
}

QString History::UndoText() const {
    return CanUndo() ? stack_.undoText() : QString();
}

QString History::RedoText() const {
    return stack_.redoText();
}

void History::Reset() {
    stack_.clear();
    stack_.setClean();
}

} // namespace zem
