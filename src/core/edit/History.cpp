#include "edit/History.h"

namespace zem {

void ApplyAfter(HexMap& map, const EditOutcome& out) {
    for (const CellChange& c : out.cells)
        if (HexMap::InGrid(c.at.x, c.at.y)) map.Cell(c.at.x, c.at.y) = c.after;
    map.MapWidth = out.shapeAfter.width;
    map.MapHeight = out.shapeAfter.height;
    map.ViewOrigin = out.shapeAfter.origin;
}

EditOutcome Reversed(const EditOutcome& out) {
    EditOutcome r;
    r.name = out.name;
    r.cells.reserve(out.cells.size());
    for (const CellChange& c : out.cells)
        r.cells.push_back({c.at, c.after, c.before});
    r.shapeBefore = out.shapeAfter;
    r.shapeAfter = out.shapeBefore;
    r.redraw = Redraw::View;
    return r;
}

static std::size_t BytesOf(const EditOutcome& out) {
    return sizeof(EditOutcome) + out.cells.capacity() * sizeof(CellChange);
}

// One step. Its cells may be forgotten when the history grows past its
// memory bound; a forgotten step undoes and redoes nothing.
class History::Step : public QUndoCommand {
  public:
    Step(History& h, EditOutcome out) : h_(h), bytes_(h.bytes_), size_(BytesOf(out)) {
        setText(out.name);
        out_ = std::make_unique<EditOutcome>(std::move(out));
        *bytes_ += size_;
    }
    ~Step() override { Forget(); }

    void redo() override {
        if (first_) { // already applied when it was recorded
            first_ = false;
            return;
        }
        if (!out_) return;
        ApplyAfter(h_.map_, *out_);
        EditOutcome shown = *out_;
        shown.redraw = Redraw::View;
        if (h_.shown_) h_.shown_(shown);
    }
    void undo() override {
        if (!out_) return;
        const EditOutcome back = Reversed(*out_);
        ApplyAfter(h_.map_, back);
        if (h_.shown_) h_.shown_(back);
    }
    bool Forgotten() const { return !out_; }
    void Forget() {
        if (!out_) return;
        out_.reset();
        *bytes_ -= size_;
    }

  private:
    History& h_;
    std::shared_ptr<std::size_t> bytes_;
    std::size_t size_;
    std::unique_ptr<EditOutcome> out_;
    bool first_ = true;
};

History::History(HexMap& map, std::function<void(const EditOutcome&)> shown)
    : map_(map), shown_(std::move(shown)), bytes_(std::make_shared<std::size_t>(0)) {
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
    for (int i = 0; *bytes_ > MaxBytes && i + 1 < stack_.index(); ++i) {
        auto* step = const_cast<Step*>(static_cast<const Step*>(stack_.command(i)));
        step->Forget();
    }
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
