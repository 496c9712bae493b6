// Change tracking of the operand stack and the registers, for undo and redo.
#include "calc/StackCalc.h"

#include <iterator>
#include <utility>

void StackCalc::BeginChanges() {
    // Empty, or moved from by the history, unless a change was begun and never ended.
    if (!pending_.entries.empty() || pending_.registers) pending_ = Change{};
    pending_.from = entries_.size();
    tracking_ = true;
}

void StackCalc::Touch(std::size_t index) {
    if (!tracking_ || index >= pending_.from) return;
    // Entries below the saved range are still as they were when the change began: copy the newly
    // reached ones in front of what is saved. Changes reach down a little at a time (pops) or
    // once (a clear), so no entry is copied twice.
    const auto first = entries_.begin() + static_cast<std::ptrdiff_t>(index);
    const auto last = entries_.begin() + static_cast<std::ptrdiff_t>(pending_.from);
    pending_.from = index;
    // Their texts are left behind: few steps are ever undone, and the texts are made again then.
    if (pending_.entries.empty()) { // the common case: the first entries reached
        pending_.entries.reserve(static_cast<std::size_t>(last - first));
        for (auto it = first; it != last; ++it) pending_.entries.push_back(it->WithoutTexts());
        return;
    }
    std::vector<StackEntry> reached;
    reached.reserve(static_cast<std::size_t>(last - first) + pending_.entries.size());
    for (auto it = first; it != last; ++it) reached.push_back(it->WithoutTexts());
    std::move(pending_.entries.begin(), pending_.entries.end(), std::back_inserter(reached));
    pending_.entries = std::move(reached);
}

void StackCalc::TouchRegisters() {
    // Most commands leave the registers alone, so they are copied only when one is written.
    if (tracking_ && !pending_.registers) pending_.registers = std::make_unique<Registers>(registers_);
}

StackCalc::Change* StackCalc::EndChanges() {
    if (!tracking_) return nullptr;
    tracking_ = false;
    Change& change = pending_;
    if (change.registers && *change.registers == registers_) change.registers.reset();
    bool entriesSame = change.entries.size() == entries_.size() - change.from;
    for (std::size_t i = 0; entriesSame && i < change.entries.size(); ++i)
        entriesSame = change.entries[i].SameAs(entries_[change.from + i]);
    if (entriesSame) { // no entries to keep; their buffer stays for the next change
        change.from = entries_.size();
        change.entries.clear();
        if (!change.registers) return nullptr;
    }
    return &change;
}

void StackCalc::Exchange(Change& change) {
    const auto from = entries_.begin() + static_cast<std::ptrdiff_t>(change.from);
    const int removed = static_cast<int>(entries_.size() - change.from);
    std::vector<StackEntry> replaced(std::make_move_iterator(from), std::make_move_iterator(entries_.end()));
    entries_.erase(from, entries_.end());
    for (auto& entry : change.entries) {
        // Shown in the number format in force now, as the rest of the list is.
        entry.ShowIn(notation_, decimalPlaces_);
        entries_.push_back(std::move(entry));
    }
    change.entries = std::move(replaced);
    TopIndex = static_cast<int>(entries_.size()) - 1;
    selected_ = TopIndex;
    // Told once the entries and the selection are in place, so a window can follow at once.
    NotifyEntries(&CalcObserver::EntriesRemoved, static_cast<int>(change.from), removed);
    NotifyEntries(&CalcObserver::EntriesInserted, static_cast<int>(change.from),
                  static_cast<int>(entries_.size() - change.from));
    if (change.registers) {
        for (std::size_t i = 0; i < registers_.size(); ++i)
            if ((*change.registers)[i] != registers_[i]) registerValues_[i].reset(); // read from its text
        std::swap(*change.registers, registers_);
        NotifyRegisters();
    }
    RefreshViews();
}
