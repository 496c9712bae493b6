#include "cli/ConsoleView.h"

#include <ostream>

void ConsoleView::ShowError(const std::string& message) {
    errors_ << "ERROR: " << message << '\n';
    errorOccurred_ = true;
}

std::optional<std::string> ConsoleView::RunUnitsSelector(const std::string&) {
    std::optional<std::string> answer;
    answer.swap(chosenUnits_);
    return answer; // nothing chosen reads as Cancel
}
