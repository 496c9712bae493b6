// What the calculator engine needs from its windows. The Qt windows implement it; tests and the
// command-line program use recording or console implementations.
#pragma once

#include <optional>
#include <string>

class StackEntry;

class CalcView {
public:
    virtual ~CalcView() = default;

    // The one-line display.
    virtual std::string DisplayText() const = 0;
    virtual void SetDisplayText(const std::string& text) = 0;
    // The display shows a stack entry in this notation and these places. A view that reads its
    // display only now and then (the command line) may keep the entry and make the text when asked.
    virtual void ShowEntry(const StackEntry& entry, int notation, int places);
    virtual void SelectAllDisplay() {}
    // Whether the display's text runs over more than one line (units on the next line).
    virtual bool DisplayHasLineBreak() const;

    // The modal error window.
    virtual void ShowError(const std::string& message) = 0;
    // The standard message box.
    virtual void ShowMessage(const std::string& message) = 0;
    // Messages about the data files that report no failure, shown in the message box unless the
    // view tells them apart: a note (an earlier file kept as "<name>.bak") and a warning (a file
    // that could not be loaded, so that the calculator started without it).
    virtual void ShowNote(const std::string& message) { ShowMessage(message); }
    virtual void ShowWarning(const std::string& message) { ShowMessage(message); }
    // A data file loaded without some of its lines. The windows say nothing until the save, which
    // keeps the file as "<name>.bak" and says so; a script is told at once.
    virtual void ShowFileDamage(const std::string& message) { (void)message; }

    // Runs the units selector with a quantity text; the chosen unit text on OK, nothing on Cancel.
    virtual std::optional<std::string> RunUnitsSelector(const std::string& quantityText) = 0;

    virtual void FocusEnterButton() {}
    virtual void FocusMainWindow() {}

    // Indicator images and menu / button states.
    virtual void SetEditingIndicator(bool entered) { (void)entered; } // IsNotEditingImg when entered
    virtual void SetUnitsOnNextLine(bool visible) { (void)visible; }  // DOIDown
    virtual void SetSecondFunctionIndicator(bool on) { (void)on; }    // SecondFImg, Menu2ndF check
    virtual void SetUnitSystemState(bool si, bool enabled) { (void)si, (void)enabled; }
    virtual void SetAutoConvertState(bool on) { (void)on; }
    virtual void SetCalcModeState(bool calcMode) { (void)calcMode; }
    // The Undo and Redo commands' enabled states.
    virtual void SetUndoState(bool canUndo, bool canRedo) { (void)canUndo, (void)canRedo; }

    // Clipboard (plain text).
    virtual std::string ClipboardText() const { return {}; }
    virtual void SetClipboardText(const std::string& text) { (void)text; }
};
