#include "cli/ConsoleView.h"

#include "calc/KorbCalc.h"
#include "units/UnitNames.h"

std::string ConsoleView::DisplayText() const {
    if (shownEntry_) {
        display_ = shownEntry_->TextIn(shownNotation_, shownPlaces_);
        shownEntry_.reset();
    }
    return display_;
}

void ConsoleView::SetDisplayText(const std::string& text) {
    shownEntry_.reset();
    display_ = text;
    if (text == Prompt::Undefined) undefinedShown_ = true;
}

void ConsoleView::ShowEntry(const StackEntry& entry, int notation, int places) {
    shownEntry_.emplace(entry.WithoutTexts()); // its texts, if made, are seldom read here
    shownNotation_ = notation;
    shownPlaces_ = places;
}

bool ConsoleView::WrittenAsNote(const std::string& message) {
    if (!noteNext_) return false;
    noteNext_ = false;
    WriteMessage("NOTE: ", message);
    return true;
}

void ConsoleView::ShowError(const std::string& message) {
    if (WrittenAsNote(message)) return;
    WriteMessage("ERROR: ", message);
    ++errorCount_;
}

void ConsoleView::ShowWarning(const std::string& message) {
    if (WrittenAsNote(message)) return;
    WriteMessage("WARNING: ", message);
    ++warningCount_;
}

void ConsoleView::WriteMessage(const char* kind, const std::string& message) {
    errors_ << kind;
    if (entryNumber_ > 0) {
        // A long entry is named by its start: the message stays readable and small.
        constexpr std::size_t quoted = 80;
        errors_ << "entry " << entryNumber_ << " \"" << entryText_.substr(0, quoted)
                << (entryText_.size() > quoted ? "...\": " : "\": ");
    }
    // A message of several lines (what failed, on its second line) is one line of the log here.
    errors_ << unitnames::OneLineMessage(message) << '\n';
    errors_.Flush(); // at once, not behind the answers still buffered
}

bool ConsoleView::TakeUndefinedShown() {
    const bool shown = undefinedShown_;
    undefinedShown_ = false;
    return shown;
}

std::optional<std::string> ConsoleView::RunUnitsSelector(const std::string&) {
    return std::nullopt; // as Cancel
}
