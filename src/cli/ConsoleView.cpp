#include "cli/ConsoleView.h"

#include <ostream>

#include "calc/KorbCalc.h"

void ConsoleView::SetDisplayText(const std::string& text) {
    display_ = text;
    if (text == Prompt::Undefined) undefinedShown_ = true;
}

void ConsoleView::ShowError(const std::string& message) {
    if (noteNext_) {
        noteNext_ = false;
        errors_ << "NOTE: " << entry_ << message << '\n';
        return;
    }
    errors_ << "ERROR: " << entry_ << message << '\n';
    ++errorCount_;
}

void ConsoleView::SetEntry(int number, const std::string& text) {
    entry_ = number > 0 ? "entry " + std::to_string(number) + " \"" + text + "\": " : std::string();
}

bool ConsoleView::TakeUndefinedShown() {
    const bool shown = undefinedShown_;
    undefinedShown_ = false;
    return shown;
}

std::optional<std::string> ConsoleView::RunUnitsSelector(const std::string&) {
    std::optional<std::string> answer;
    answer.swap(chosenUnits_);
    return answer; // nothing chosen reads as Cancel
}
