// Change tracking of the operand stack and the registers, for undo and redo.
#include "calc/StackCalc.h"

#include <algorithm>
#include <iterator>
#include <utility>

void StackCalc::BeginChanges() {
    pending_ = Change{};
    pending_.from = fpStack_.size();
    pending_.registers = registers_;
    tracking_ = true;
}

void StackCalc::Touch(std::size_t index) {
    if (!tracking_ || index >= pending_.from) return;
    // Entries below the saved range are still as they were when the change began: copy the newly
    // reached ones in front of what is saved. Changes reach down a little at a time (pops) or
    // once (a clear), so no entry is copied twice.
    const auto first = static_cast<std::ptrdiff_t>(index);
    const auto last = static_cast<std::ptrdiff_t>(pending_.from);
    pending_.full.insert(pending_.full.begin(), fpStack_.begin() + first, fpStack_.begin() + last);
    pending_.display.insert(pending_.display.begin(), listBox_.begin() + first, listBox_.begin() + last);
    pending_.from = index;
}

std::optional<StackCalc::Change> StackCalc::EndChanges() {
    if (!tracking_) return std::nullopt;
    tracking_ = false;
    Change change = std::exchange(pending_, Change{});
    if (change.registers == registers_) change.registers.reset();
    const auto from = static_cast<std::ptrdiff_t>(change.from);
    const bool entriesSame =
        std::equal(change.full.begin(), change.full.end(), fpStack_.begin() + from, fpStack_.end()) &&
        std::equal(change.display.begin(), change.display.end(), listBox_.begin() + from, listBox_.end());
    if (entriesSame && !change.registers) return std::nullopt;
    if (entriesSame) { // only registers: keep no entries
        change.from = fpStack_.size();
        change.full.clear();
        change.display.clear();
    }
    return change;
}

void StackCalc::Exchange(Change& change) {
    const auto from = static_cast<std::ptrdiff_t>(change.from);
    std::vector<std::string> full(std::make_move_iterator(fpStack_.begin() + from),
                                  std::make_move_iterator(fpStack_.end()));
    std::vector<std::string> display(std::make_move_iterator(listBox_.begin() + from),
                                     std::make_move_iterator(listBox_.end()));
    fpStack_.resize(change.from);
    listBox_.resize(change.from);
    fpStack_.insert(fpStack_.end(), std::make_move_iterator(change.full.begin()),
                    std::make_move_iterator(change.full.end()));
    listBox_.insert(listBox_.end(), std::make_move_iterator(change.display.begin()),
                    std::make_move_iterator(change.display.end()));
    change.full = std::move(full);
    change.display = std::move(display);
    if (change.registers) std::swap(*change.registers, registers_);
    TopIndex = static_cast<int>(fpStack_.size()) - 1;
    selected_ = TopIndex;
    NotifyStack();
    RefreshViews();
}
