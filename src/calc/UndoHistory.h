// The run's undo and redo history of stack and register changes. Each step holds only the entries
// its command reached, so the history grows with what changed, not with the stack's size.
#pragma once

#include <cstddef>
#include <utility>
#include <vector>

#include "calc/StackCalc.h"

class UndoHistory {
public:
    // The oldest steps go beyond this many, or when the steps hold more entries than the budget
    // (only big clears come near it); the newest step always stays.
    static constexpr std::size_t StepLimit = 1000;
    static constexpr std::size_t EntryBudget = 1'000'000;

    // A new step; the redo branch goes.
    void Record(StackCalc::Change&& change);
    // The emptied entry buffer of the step that went last, if it was small: the stack saves its
    // next step's entries in it instead of a new one.
    std::vector<StackEntry> TakeSpareEntries() { return std::exchange(spare_, {}); }
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
    // Steps in order, oldest first. The oldest leave from the front without moving the others:
    // the gap is closed only when it has grown as long as the step limit.
    class Steps {
    public:
        bool empty() const { return size() == 0; }
        std::size_t size() const { return steps_.size() - first_; }
        StackCalc::Change& front() { return steps_[first_]; }
        StackCalc::Change& back() { return steps_.back(); }
        auto begin() const { return steps_.begin() + static_cast<std::ptrdiff_t>(first_); }
        auto end() const { return steps_.end(); }
        void push_back(StackCalc::Change&& step) { steps_.push_back(std::move(step)); }
        void pop_back() { steps_.pop_back(); }
        void pop_front() {
            steps_[first_++] = StackCalc::Change{};
            if (first_ < StepLimit) return;
            steps_.erase(steps_.begin(), steps_.begin() + static_cast<std::ptrdiff_t>(first_));
            first_ = 0;
        }
        void clear() {
            steps_.clear();
            first_ = 0;
        }

    private:
        std::vector<StackCalc::Change> steps_;
        std::size_t first_ = 0;
    };
    bool Move(Steps& from, Steps& to, StackCalc& stack);
    static constexpr std::size_t SpareCapacity = 4; // a clear's big buffer is not kept
    static std::size_t Held(const StackCalc::Change& change) { return change.entries.size(); }

    Steps undo_;
    Steps redo_;
    std::size_t held_ = 0;
    std::vector<StackEntry> spare_;
};
