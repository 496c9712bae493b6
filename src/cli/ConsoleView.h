// The engine's view for the command line: the display is a string, errors and message boxes go
// to standard error, and the units selector answers with the unit text the running command chose.
#pragma once

#include <iosfwd>
#include <optional>
#include <string>

#include "calc/CalcView.h"

class ConsoleView : public CalcView {
public:
    explicit ConsoleView(std::ostream& errors) : errors_(errors) {}

    std::string DisplayText() const override { return display_; }
    void SetDisplayText(const std::string& text) override { display_ = text; }
    void ShowError(const std::string& message) override;
    void ShowMessage(const std::string& message) override { ShowError(message); }
    std::optional<std::string> RunUnitsSelector(const std::string& quantityText) override;
    std::string ClipboardText() const override { return clipboard_; }
    void SetClipboardText(const std::string& text) override { clipboard_ = text; }

    // The answer of the next units selector run (OK with this unit text); consumed by the run.
    void ChooseUnits(const std::string& units) { chosenUnits_ = units; }
    bool ErrorOccurred() const { return errorOccurred_; }

private:
    std::ostream& errors_;
    std::string display_;
    std::string clipboard_;
    std::optional<std::string> chosenUnits_;
    bool errorOccurred_ = false;
};
