// The calculator engine: the state and the command handlers of the main window, without any
// window toolkit. It owns the operand stack, the working quantity, the entry flags and the
// settings; it reaches the windows only through CalcView. Every handler catches the engine's
// exceptions at its boundary and shows them in the view's message box, so no exception leaves it.
#pragma once

#include <exception>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "calc/CalcView.h"
#include "calc/Commands.h"
#include "calc/StackCalc.h"
#include "calc/UndoHistory.h"
#include "settings/Prefs.h"
#include "units/NumberUnits.h"
#include "units/QuantityMath.h"

class ValueStore;

// Tags of the buttons that share a handler.
namespace KeyTag {
constexpr int Add = 1;
constexpr int Subtract = -1;
constexpr int Multiply = 1;
constexpr int Divide = 0;
} // namespace KeyTag

// The three trigonometric buttons, told apart by their captions "sin", "cos", "tan".
enum class TrigKey { Sin, Cos, Tan };

// Where a drag onto the display came from.
struct DropSource {
    bool isListBox = false;
    std::string componentName; // "StackListBox", or one of "lbReg0".."lbReg9"
    int tag = 0;               // register number of a register list
    int itemIndex = -1;        // dragged item of the stack list (index into FPStack)
};

// Display texts with a meaning of their own.
namespace Prompt {
inline const std::string Store = "Store to register #";
inline const std::string Recall = "Recall register #";
inline const std::string Undefined = "Undefined";
} // namespace Prompt

// The entry flags and the mode. Only the engine's commands change them.
struct EntryState {
    bool Entered = false;        // the display shows a completed value, not an entry being typed
    bool PointEntered = false;   // the entry being typed holds a decimal point
    bool StorePending = false;   // STO waits for its register digit
    bool RecallPending = false;  // RCL waits for its register digit
    bool SecondFunction = false; // the 2nd-function layer is on
    bool DisplayFocused = false; // the display has the keyboard focus
    bool CalcMode = false;       // calculator mode; free-form mode when false
};

class KorbCalc {
public:
    // Reads the stored values "CalcMode", "AutoConvert" and "UnitSystem", selects the preferred
    // units and runs the AutoConvert and SI/U.S. button actions. Everything the engine tells goes
    // to the view.
    KorbCalc(CalcView& view, ValueStore& store, std::string prefsFile = "Meridot.ini");
    ~KorbCalc();
    KorbCalc(const KorbCalc&) = delete;
    KorbCalc& operator=(const KorbCalc&) = delete;

    // ---- start-up and shut-down --------------------------------------------------------------
    // Show action: free-form mode unless CalcMode, display "0", ShowStackTop, focus, Entered,
    // then LoadPrefs. With readPrefsFile false the no-file defaults are applied instead, with no
    // message and no file written (the command-line program without a session).
    void FormShow(bool readPrefsFile = true);
    // The stack and register windows' creation: load the saved files when SaveStack / SaveRegs
    // are set. A file that cannot be read gives "Error loading stack file." /
    // "Error loading register file." in the message box. Return false on such a failure.
    bool LoadSavedStack();
    bool LoadSavedRegisters();
    // Close action: when SavePrefs is set, WritePrefs, then the stack file, then the register file.
    void FormClose();
    // The reset confirmed in the reset dialog: Entered, ClearAll, display "0", prompts cleared.
    void ResetCalculator();

    // Runs a command through its handler; a 2nd-function command turns the 2nd function on first.
    // Every key, menu item and command word comes through here.
    void Run(Command command);

    // ---- undo and redo ---------------------------------------------------------------------------
    // Every outermost command that changes the stack or the registers is one step. Undo takes the
    // stack and the registers back one step (a typed entry is dropped), redo forward again; both
    // show the top as a completed value. The history lasts for the run.
    void Undo();
    void Redo();
    bool CanUndo() const { return history_.CanUndo(); }
    bool CanRedo() const { return history_.CanRedo(); }
    const UndoHistory& History() const { return history_; }

    // ---- entry line ----------------------------------------------------------------------------
    void keyPress(char ch);
    // A character the keys of the keyboard map do not give (a micro sign, a superscript two),
    // typed into the entry as it is: the units engine reads its UTF-8 text.
    void TypeCharacter(std::string_view character);
    void NumBtnClick(int digit); // the digit of the button's caption, 0..9
    void BtnDotClick();
    void BtnBSClick();
    void BtnDelClick();
    void BtnEnterClick(); // Enter with the display's text
    void BtnCHSClick();
    void ShowStackTop();
    // The Enter key with text as the display's text: an entry being typed (not Entered) is read
    // from it and pushed; a completed value is pushed again. Nothing happens while a register
    // prompt waits or when the text reads "Undefined".
    void Enter(const std::string& text);
    // A typed entry is finished first (pushed, or reported when it does not parse); then text is
    // pushed as a new entry. False when text was not pushed; the display then keeps it as an
    // entry being typed.
    bool EnterText(const std::string& text);
    // The keyboard map; key is a virtual-key code (see KeyMap.h).
    void DisplayKeyDown(int key, bool shift, bool ctrl);

    // ---- operations -----------------------------------------------------------------------------
    void BtnAddSubtractClick(int tag); // KeyTag::Add or KeyTag::Subtract
    void BtnMulDivClick(int tag);      // KeyTag::Multiply or KeyTag::Divide
    void xsqrBtnClick();               // x^2; 2nd: y^x
    void SqrRtBtnClick();              // sqrt x; 2nd: x-th root of y
    void xtoNeg1BtnClick();            // 1/x
    void LogBtnClick();                // log; 2nd: 10^x
    void LnBtnClick();                 // ln; 2nd: e^x
    void BtnSINCOSTANClick(TrigKey key);
    void BtnPIClick(); // pi; 2nd: area of a circle
    void GravityBtnClick();
    void StackTopFlipBtnClick();
    void BtnSTOClick(); // the prompt; the next key typed picks the register
    void BtnRCLClick();
    void SecondFBtnClick();
    // STO or RCL and register n as one command: a typed entry is finished first; an index outside
    // 0..9 gives "Invalid register index", and nothing is stored or recalled.
    void Store(int n);
    void Recall(int n);
    // An operation on X, or on Y and X, for a row of the command table: a typed entry is finished
    // first; compute gets the operands' full texts and gives the result's, or false and a message,
    // when the operands are put back.
    using UnaryFunction = std::function<bool(const std::string& x, std::string& full, std::string& error)>;
    using BinaryFunction = std::function<bool(const std::string& y, const std::string& x, std::string& full,
                                              std::string& error)>;
    void UnaryOperation(const UnaryFunction& compute);
    void BinaryOperation(const BinaryFunction& compute);

    // ---- unit commands ----------------------------------------------------------------------------
    // The buttons ask the units selector; the calls with units take the answer it would give.
    void SelectUnitsBtnClick();
    void ConvertUnitsBtnClick();
    // The value shown (a typed entry, or the top) is pushed again as its number in these units;
    // a zero or empty entry gives 1 of them.
    void SelectUnits(const std::string& units);
    // The top entry is converted to these units; units it cannot take are reported and the stack
    // stays as it was.
    void ConvertTop(const std::string& units);
    void ConvertStackBtnClick();
    // A click on SIBtn / USBtn presses it (the two form one group) and applies the unit system.
    void SIBtnClick();
    void USBtnClick();
    void SystemeInternationale1Click() { SIBtnClick(); }
    // down: the new down state of AutoConvertBtn.
    void AutoConvertBtnClick(bool down);
    void AutoConvert1Click() { AutoConvertBtnClick(!AutoConvert); }

    // ---- modes, display as a text field, clipboard, drop ------------------------------------------
    void Calculator1Click();
    void FreeForm1Click();
    void DisplayEnter();
    void DisplayExit();
    void DisplayChange();
    void Copy1Click();
    void Paste1Click();
    // The full text of the value in the display: the top entry's when the display shows it,
    // otherwise the display's own text (an entry being typed, a prompt).
    std::string DisplayedFullText() const;
    static bool DisplayDragOver(const DropSource& source) { return source.isListBox; }
    void DisplayDragDrop(const DropSource& source);

    // ---- commands of the other windows and the command-line program ------------------------------
    // The user types text into the display: it becomes an entry being typed, not yet pushed.
    void TypeText(const std::string& text);
    // The user types text and presses Enter, as one step. False when nothing was pushed; the
    // display then shows the stack top again, as CancelEntry leaves it.
    bool TypeAndEnter(const std::string& text);
    // A typed entry is dropped: the display shows the top of the stack, or "0", as a completed value.
    void CancelEntry();
    // The stack window's "Clear Stack Contents": the entries go, the registers stay; the display
    // shows "0" as a completed value.
    void ClearStackContents();
    // The stack window's double-click: the entry at index becomes the top and is shown.
    void MoveEntryToTop(int index);
    // The register window's recall and clear commands.
    void RecallRegister(int index);
    void ClearRegisters();
    // A stack entry dragged onto a register list: the register takes the entry's full text. An index
    // outside the stack does nothing.
    void StoreEntryInRegister(int entryIndex, int index);
    // Register index becomes text (a quantity text), as loading the register file does.
    void SetRegister(const std::string& text, int index);
    // The stack file commands under another file name than the program's own.
    bool LoadStackFrom(const std::string& fileName);
    bool SaveStackTo(const std::string& fileName) { return stack_.SaveStackFile(fileName); }
    // Re-renders the stack's display texts and the register window after a change of format.
    void UpdateAllLists();
    // Brings the indicator images and the register window in line with the engine.
    void RefreshViews();
    // The working quantity's number format (0..4) and digit count, as the preferences dialog sets them.
    void SetWorkingFormat(int format);
    void SetWorkingDigits(int digits);

    // ---- settings -------------------------------------------------------------------------------
    const Settings& CurrentSettings() const { return settings; }
    // Takes every settings field at once, as the preferences and number-format dialogs hand them
    // over; what the new values change on screen is up to the caller's further commands.
    void ApplySettings(const Settings& newSettings);
    // The notation (0..4) and decimal places: the working quantity follows the notation, the
    // stack lists are re-rendered, and a shown value is shown again in the new format.
    void ApplyNumberFormat(int notation, int places);
    // The angle unit of plain numbers in trigonometry: 0 rad, 1 deg, 2 grad, 3 rev.
    void SetAngularDefault(int angularDefault);

    // ---- state, read-only ------------------------------------------------------------------------
    // The unit system and AutoConvert are not kept here: they are the units engine's program-wide
    // flags UnitSystem and AutoConvert, and the windows learn of them through the view's callbacks.
    const EntryState& State() const { return state_; }
    const StackCalc& Stack() const { return stack_; }
    const TNumberUnits& Working() const { return working_; }
    const Prefs& Preferences() const { return prefs_; }
    // The preferences file, read with the view's window places and width; what it names is
    // applied and its messages are shown. False when no usable file was found.
    bool LoadPrefs();
    // False when the file could not be written (the view is told).
    bool WritePrefs();

    // Number text of a value: general format, 15 significant digits.
    static std::string NumberText(double value);
    static bool IsPrompt(const std::string& text);

private:
    void UpdateIndicators();
    // What the preferences code is told: the view's window places and width, and the mode.
    PrefsContext PrefsContextNow() const;
    void ShowPrefsMessages(const std::vector<PrefsMessage>& messages);
    // The stack tells the engine of its changes; the engine does its part and tells the view.
    class StackRelay : public CalcObserver {
    public:
        explicit StackRelay(KorbCalc& calc) : calc_(calc) {}
        void EntriesInserted(int first, int count) override { calc_.view_.EntriesInserted(first, count); }
        void EntriesRemoved(int first, int count) override { calc_.view_.EntriesRemoved(first, count); }
        void EntriesChanged(int first, int count) override { calc_.view_.EntriesChanged(first, count); }
        void EntriesReset() override { calc_.view_.EntriesReset(); }
        void RegistersChanged() override { calc_.view_.RegistersChanged(); }
        void ViewsRefreshed() override;
        void TopReplaced() override { calc_.ShowStackTop(); }

    private:
        KorbCalc& calc_;
    };
    void End(); // focus to the Enter button, then RefreshViews
    void ShowError(const std::string& message) { view_.ShowError(message); }
    void ShowParseError() { view_.ShowError(working_.GetErrorText()); }
    // The engine's own display changes; the text field's change event ignores them.
    void SetDisplay(const std::string& text);
    // The engine's own "0" for a display that holds no value yet; the first character typed
    // replaces it. A "0" the user typed is a value and is kept.
    void SetIdleDisplay(const std::string& text);
    // The display shows that idle "0", or nothing at all: units given to it mean one of them.
    bool DisplayHoldsNoValue() const;
    std::string Display() const { return view_.DisplayText(); }
    void SetSecondFunction(bool on);
    // Parses a display text into the working quantity; an empty text reads as the empty entry "0"
    // (the quantity would otherwise keep its previous value).
    bool ParseWorking(const std::string& text);
    // Finishes a typed entry; false (with its error shown) when it does not parse.
    bool FinishEntry(bool keepSecond);
    // Pushes a typed entry, or reports and drops it when it does not parse; the display is then
    // taken as showing a completed value.
    void CompleteEntry();
    // Display = text, Entered cleared, Enter. PushResult puts the popped operands back when the
    // result is not pushed.
    void PushText(const std::string& text);
    void PushResult(const std::string& text);
    // As PushResult of the value's number text (15 digits) and units, without writing or reading
    // that text.
    void PushResult(const TNumberUnits& value);
    // The working quantity becomes a value read elsewhere; its own number format stays.
    void SetWorking(TNumberUnits value);
    // Operands popped by the running handler; put back in their old order when it fails.
    // The reference holds until the next pop.
    const StackEntry& PopOperand();
    void PutBackOperands();
    // Runs a handler body. At the outermost handler an escaping exception puts the popped
    // operands back and is shown in the message box.
    template <class Body> void Guard(Body&& body) {
        if (guardDepth_ > 0) { // an outer handler catches
            body();
            return;
        }
        BeginGuard();
        try {
            body();
        } catch (const std::exception& e) {
            GuardFailed(e);
            return;
        }
        EndGuard();
    }
    void BeginGuard();
    void GuardFailed(const std::exception& e);
    void EndGuard();
    std::string_view AngleUnitName() const;
    // Shared steps of keys that differ only in a detail.
    void BinaryKey(bool divide, const BinaryFunction& compute);
    // The end of an operation on popped operands: the result pushed, or the operands put back and
    // the message shown; the top then shows as a completed value.
    void EndOperation(bool computed, const std::string& full, const std::string& error);
    void PowerKey(bool root);
    void LogKey(int code);
    void RegisterPrompt(bool store);
    // The register key after STO or RCL: n picks the register, and the prompt ends.
    void RegisterChosen(int n);
    // The unit commands' steps around the answer of the units selector; choose gets the quantity
    // text the selector starts from and gives the unit text, or nothing (Cancel).
    using UnitsChooser = std::function<std::optional<std::string>(const std::string& quantityText)>;
    void SelectUnitsWith(const UnitsChooser& choose);
    void ConvertTopWith(const UnitsChooser& choose);
    void WithSecondFunction(const std::function<void()>& handler);
    // The step of the outermost handler goes into the history; the windows learn what can be undone.
    void RecordStep();
    void ForgetHistory();
    // The stack's and the history's display texts in the current number format.
    void RerenderLists();
    void Replay(bool (UndoHistory::*move)(StackCalc&));

    // The settings come first: the stack reads the notation and places through references to them.
    Settings settings;
    // The entry flags.
    EntryState state_;

    std::vector<StackEntry> popped_;
    int guardDepth_ = 0;
    bool replaying_ = false; // undo or redo runs: no step of its own
    bool settingDisplay_ = false;
    bool displayShowsTop_ = false; // the display was last set by ShowStackTop
    bool displayIdle_ = false;     // the display was last set by SetIdleDisplay
    CalcView& view_;
    ValueStore& store_;
    StackCalc stack_;
    StackRelay relay_{*this};
    UndoHistory history_;
    TNumberUnits working_;
    Prefs prefs_;
};
