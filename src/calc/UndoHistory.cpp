#include "calc/UndoHistory.h"

#include <utility>

void UndoHistory::Record(StackCalc::Change&& change) {
    if (!redo_.empty()) {
        for (std::size_t i = 0; i < redo_.size(); ++i) held_ -= Held(redo_[i]);
        redo_.clear();
    }
    held_ += Held(change);
    undo_.push_back(std::move(change));
    while (undo_.size() > 1 && (undo_.size() > StepLimit || held_ > EntryBudget)) {
        held_ -= Held(undo_.front());
        std::vector<StackEntry>& entries = undo_.front().entries;
        if (entries.capacity() <= SpareCapacity) {
            entries.clear();
            spare_ = std::move(entries);
        }
        undo_.pop_front();
    }
}

bool UndoHistory::Move(Steps& from, Steps& to, StackCalc& stack) {
    if (from.empty()) return false;
    StackCalc::Change step = std::move(from.back());
    from.pop_back();
    held_ -= Held(step);
    stack.Exchange(step); // the step now holds what it replaced
    held_ += Held(step);
    to.push_back(std::move(step));
    return true;
}

void UndoHistory::Clear() {
    undo_.clear();
    redo_.clear();
    held_ = 0;
}
