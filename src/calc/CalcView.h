// The one way out of the calculator engine: what it needs from its windows and what it tells them.
// The Qt windows implement it; tests and the command-line program use recording or console
// implementations.
#pragma once

#include <optional>
#include <string>

#include "settings/Prefs.h"

class StackEntry;

// What changed in the engine's lists, told after each change so that a window showing them can
// follow row by row. Rows count from the bottom entry (0); the top entry is the last row. While a
// file loads nothing is told until the whole file is in.
class CalcObserver {
public:
    virtual ~CalcObserver() = default;

    virtual void EntriesInserted(int first, int count) { (void)first, (void)count; }
    virtual void EntriesRemoved(int first, int count) { (void)first, (void)count; }
    virtual void EntriesChanged(int first, int count) { (void)first, (void)count; } // texts or order
    virtual void EntriesReset() {}                                                  // the lists were emptied
    // A register's text changed (not told for a mere refresh).
    virtual void RegistersChanged() {}
    // Every refresh of the views, after the engine's own indicators: the register window follows.
    virtual void ViewsRefreshed() {}
    // A recall or a loaded file put a new top entry in place; the engine shows it in the display.
    virtual void TopReplaced() {}
};

// The windows the preferences file remembers the places of.
enum class CalcWindow { Main, Stack, Registers };

class CalcView : public CalcObserver {
public:
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

    // The windows' places for the preferences file: nothing for a window the view does not have,
    // whose stored place is then kept. The main window's width places the others beside it.
    virtual std::optional<WindowPos> WindowPlace(CalcWindow window) const {
        (void)window;
        return std::nullopt;
    }
    virtual int MainWindowWidth() const { return 0; }
    // The preferences file named where the main window goes.
    virtual void MoveMainWindow(WindowPos place) { (void)place; }

    // Clipboard (plain text).
    virtual std::string ClipboardText() const { return {}; }
    virtual void SetClipboardText(const std::string& text) { (void)text; }
};
