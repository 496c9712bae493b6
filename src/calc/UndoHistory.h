// The run's undo and redo history of stack and register changes. Each step holds only the entries
// its command reached, so the history grows with what changed, not with the stack's size.
#pragma once

#include <cstddef>
#include <deque>

#include "calc/StackCalc.h"

class UndoHistory {
public:
    // The oldest steps go beyond this many, or when the steps hold more entries than the budget
    // (only big clears come near it); the newest step always stays.
    static constexpr std::size_t StepLimit = 1000;
    static constexpr std::size_t EntryBudget = 1'000'000;

    // A new step; the redo branch goes.
    void Record(StackCalc::Change change);
    // Takes the stack back one step, or forward again; false when there is none.
    bool Undo(StackCalc& stack) { return Move(undo_, redo_, stack); }
    bool Redo(StackCalc& stack) { return Move(redo_, undo_, stack); }
    bool CanUndo() const { return !undo_.empty(); }
    bool CanRedo() const { return !redo_.empty(); }
    void Clear();

    std::size_t UndoSteps() const { return undo_.size(); }
    // Entries the history holds, undo and redo steps together.
    std::size_t EntriesHeld() const { return held_; }

private:
    using Steps = std::deque<StackCalc::Change>;
    bool Move(Steps& from, Steps& to, StackCalc& stack);
    static std::size_t Held(const StackCalc::Change& change) { return change.entries.size(); }

    Steps undo_;
    Steps redo_;
    std::size_t held_ = 0;
};
