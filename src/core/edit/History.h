#pragma once
// The undo history of the map: every change is one step holding only the
// cells it changed, before and after. The history is bounded twice: at most
// MaxSteps steps, and at most MaxBytes of recorded cells; past the memory
// bound the oldest steps are forgotten (they can no longer be undone).
// Its clean state tells whether the map differs from the last one loaded or
// saved. Undo and redo give back the cells, the size and the selection a step
// changed; the view stays where it is while the map still holds it.

#include "edit/Edit.h"

#include <QUndoStack>
#include <functional>

namespace zem {

class History {
  public:
    static constexpr int MaxSteps = 1000;
    static constexpr std::size_t MaxBytes = 64u << 20;

    // `shown` is called after every undo and redo with the step's outcome,
    // to redraw.
    History(HexMap& map, EditorState& ed, std::function<void(const EditOutcome&)> shown);
    ~History();

    // Records an edit that has already been applied; one that changed
    // nothing is not recorded. The converter's map sizes and the conversion
    // after them join into one step, unless the map was saved in between.
    void Record(EditOutcome out);
    // The newest step is the converter's map size, which the next
    // conversion or size joins.
    bool PendingSketchSize() const;
    void Undo();
    void Redo();
    bool CanUndo() const;
    bool CanRedo() const;
    QString UndoText() const; // "Place Tile"
    // The step Undo or Redo would take back or repeat, if any.
    const EditOutcome* StepToUndo() const;
    const EditOutcome* StepToRedo() const;
    // The newest step not undone that made a new map, if any is remembered.
    const EditOutcome* NewestNewMap() const;
    QString RedoText() const;

    // A fresh history whose start is the clean state (after a load).
    void Reset();
    bool IsClean() const { return stack_.isClean(); }
    void SetClean() { stack_.setClean(); }
    int Steps() const { return stack_.count(); }
    std::size_t Bytes() const { return bytes_; }

    QUndoStack& Stack() { return stack_; }

  private:
    class Step;
    void Trim();

    HexMap& map_;
    EditorState& ed_;
    std::function<void(const EditOutcome&)> shown_;
    std::size_t bytes_ = 0; // the cells the steps hold now; outlives the stack
    QUndoStack stack_;
};

} // namespace zem
