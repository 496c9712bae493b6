// The run's undo and redo history of stack and register changes. Each step holds only the entries
// its command reached, so the history grows with what changed, not with the stack's size.
#pragma once

#include <algorithm>
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
    // Steps in order, oldest first, in a ring: the oldest leave from the front and new ones come
    // in at the back without moving the others. Room for the whole history is reserved at once, and
    // only the part in use is ever written.
    class Steps {
    public:
        bool empty() const { return count_ == 0; }
        std::size_t size() const { return count_; }
        StackCalc::Change& front() { return ring_[first_]; }
        StackCalc::Change& back() { return ring_[At(count_ - 1)]; }
        const StackCalc::Change& operator[](std::size_t i) const { return ring_[At(i)]; }
        void push_back(StackCalc::Change&& step) {
            if (count_ < slots_) {
                ring_[At(count_++)] = std::move(step);
                return;
            }
            if (ring_.capacity() == 0) ring_.reserve(StepLimit + 1);
            // Full: in order again, so that the vector can grow at its end.
            std::rotate(ring_.begin(), ring_.begin() + static_cast<std::ptrdiff_t>(first_), ring_.end());
            first_ = 0;
            ring_.push_back(std::move(step));
            slots_ = ring_.size();
            ++count_;
        }
        void pop_back() { ring_[At(--count_)] = StackCalc::Change{}; }
        void pop_front() {
            ring_[first_] = StackCalc::Change{};
            first_ = At(1);
            --count_;
        }
        void clear() {
            ring_.clear();
            first_ = count_ = slots_ = 0;
        }

    private:
        std::size_t At(std::size_t i) const { // i below the ring's size
            const std::size_t at = first_ + i;
            return at < slots_ ? at : at - slots_;
        }

        std::vector<StackCalc::Change> ring_;
        std::size_t slots_ = 0; // ring_.size(), kept for the index arithmetic
        std::size_t first_ = 0;
        std::size_t count_ = 0;
    };
    bool Move(Steps& from, Steps& to, StackCalc& stack);
    static constexpr std::size_t SpareCapacity = 4; // a clear's big buffer is not kept
    static std::size_t Held(const StackCalc::Change& change) { return change.entries.size(); }

    Steps undo_;
    Steps redo_;
    std::size_t held_ = 0;
    std::vector<StackEntry> spare_;
};
