// The engine's view for the command line: the display is a string, errors and message boxes go
// to standard error. There is no units selector: the unit commands are handed their units.
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "calc/CalcView.h"
#include "calc/StackEntry.h"
#include "cli/Output.h"

class ConsoleView : public CalcView {
public:
    explicit ConsoleView(Output& errors) : errors_(errors) {}

    std::string DisplayText() const override;
    void SetDisplayText(const std::string& text) override;
    bool DisplayHasLineBreak() const override { // a stack entry's text is one line
        return !shownEntry_ && display_.find('\n') != std::string::npos;
    }
    void ShowEntry(const StackEntry& entry, int notation, int places) override;
    void ShowError(const std::string& message) override;
    void ShowMessage(const std::string& message) override { ShowError(message); }
    // "NOTE: message", and "WARNING: message"; neither is an error.
    void ShowNote(const std::string& message) override { WriteMessage("NOTE: ", message); }
    void ShowWarning(const std::string& message) override;
    void ShowFileDamage(const std::string& message) override { ShowWarning(message); }
    std::optional<std::string> RunUnitsSelector(const std::string& quantityText) override;
    std::string ClipboardText() const override { return clipboard_; }
    void SetClipboardText(const std::string& text) override { clipboard_ = text; }

    bool ErrorOccurred() const { return errorCount_ > 0; }
    int ErrorCount() const { return errorCount_; }
    bool WarningOccurred() const { return warningCount_ > 0; }

    // Messages name the entry being run: ERROR: entry 2 "12 fx": message. Number 0: no entry.
    // The text is read while the entry runs: it must live as long.
    void SetEntry(int number, std::string_view text) {
        entryNumber_ = number;
        entryText_ = text;
    }
    // The next error or warning is a note ("NOTE: message"): it is about a file that did not
    // exist yet. Cleared by that message or by calling this with false.
    void NoteNextMessage(bool on) { noteNext_ = on; }
    // Whether the display showed "Undefined" (a tangent with no value) since the last call.
    bool TakeUndefinedShown();

private:
    void WriteMessage(const char* kind, const std::string& message);
    // Writes the message as a note when one is due (NoteNextMessage).
    bool WrittenAsNote(const std::string& message);

    Output& errors_;
    // The display: its text, or the entry it shows, made into text only when the display is read
    // (most entries on the command line are never shown).
    mutable std::string display_;
    mutable std::optional<StackEntry> shownEntry_;
    int shownNotation_ = 0;
    int shownPlaces_ = 0;
    std::string clipboard_;
    int entryNumber_ = 0;
    std::string_view entryText_;
    int errorCount_ = 0;
    int warningCount_ = 0;
    bool noteNext_ = false;
    bool undefinedShown_ = false;
};
