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
    void SetDisplayText(const std::string& text) override;
    void ShowError(const std::string& message) override;
    void ShowMessage(const std::string& message) override { ShowError(message); }
    std::optional<std::string> RunUnitsSelector(const std::string& quantityText) override;
    std::string ClipboardText() const override { return clipboard_; }
    void SetClipboardText(const std::string& text) override { clipboard_ = text; }

    // The answer of the next units selector run (OK with this unit text); consumed by the run.
    void ChooseUnits(const std::string& units) { chosenUnits_ = units; }
    bool ErrorOccurred() const { return errorCount_ > 0; }
    int ErrorCount() const { return errorCount_; }

    // Messages name the entry being run: ERROR: entry 2 "12 fx": message. Number 0: no entry.
    void SetEntry(int number, const std::string& text);
    // The next message is a note ("NOTE: message"), not an error: it is about a file that did not
    // exist yet. Cleared by that message or by calling this with false.
    void NoteNextMessage(bool on) { noteNext_ = on; }
    // Whether the display showed "Undefined" (a tangent with no value) since the last call.
    bool TakeUndefinedShown();

private:
    std::ostream& errors_;
    std::string display_;
    std::string clipboard_;
    std::string entry_; // the prefix naming the running entry
    std::optional<std::string> chosenUnits_;
    int errorCount_ = 0;
    bool noteNext_ = false;
    bool undefinedShown_ = false;
};
