// The calculator engine: the state and the command handlers of the main window, without any
// window toolkit. It owns the operand stack, the working quantity, the entry flags and the
// settings; it reaches the windows only through CalcView. Every handler catches the engine's
// exceptions at its boundary and shows them in the view's message box, so no exception leaves it.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "calc/CalcView.h"
#include "calc/StackCalc.h"
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

class KorbCalc {
public:
    // Reads the stored values "CalcMode", "AutoConvert" and "UnitSystem", selects the preferred
    // units and runs the AutoConvert and SI/U.S. button actions. The windows' part of the host
    // (positions, width, move) may be left empty; the engine fills showStackTop,
    // setWorkingFormat, calcMode and messageBox when they are empty.
    KorbCalc(CalcView& view, ValueStore& store, PrefsHost host = {}, std::string prefsFile = "Meridot.ini");
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

    // ---- entry line ----------------------------------------------------------------------------
    void keyPress(char ch);
    void NumBtnClick(int digit); // the digit of the button's caption, 0..9
    void BtnDotClick();
    void BtnBSClick();
    void BtnDelClick();
    void BtnEnterClick();
    void BtnCHSClick();
    void ShowStackTop();
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
    void BtnSTOClick();
    void BtnRCLClick();
    void SecondFBtnClick();

    // Double-clicks on the 2nd-function images.
    void XRootYImgDblClick();
    void YtoXImgDblClick();
    void TenToXImgDblClick();
    void EtoXImgDblClick();
    void AreaImgDblClick();
    void SinInvImgDblClick();
    void CosInvImgDblClick();
    void TanInvImgDblClick();

    // Menu items that run a button's handler.
    void Menu2ndFClick() { SecondFBtnClick(); }
    void StoretoRegister1Click() { BtnSTOClick(); }
    void RecallRegister1Click() { BtnRCLClick(); }
    void XYStackSwap1Click() { StackTopFlipBtnClick(); }
    void UnitSelectorMenu1Click() { SelectUnitsBtnClick(); }
    void UnitConverterMenu1Click() { ConvertUnitsBtnClick(); }
    void DirectConvert1Click() { ConvertStackBtnClick(); }

    // ---- unit commands ----------------------------------------------------------------------------
    void SelectUnitsBtnClick();
    void ConvertUnitsBtnClick();
    void ConvertStackBtnClick();
    // A click on SIBtn / USBtn presses it (the two form one group) and applies the unit system.
    void SIBtnClick();
    void USBtnClick();
    void SystemeInternationale1Click() { SIBtnClick(); }
    void USCustomary1Click() { USBtnClick(); }
    // down: the new down state of AutoConvertBtn.
    void AutoConvertBtnClick(bool down);
    void AutoConvert1Click() { AutoConvertBtnClick(!AutoConvertBtnDown); }

    // ---- modes, display as a text field, clipboard, drop ------------------------------------------
    void Calculator1Click();
    void FreeForm1Click();
    void DisplayEnter();
    void DisplayExit();
    void DisplayChange();
    void Copy1Click();
    void Paste1Click();
    void Copy2Click() { Copy1Click(); }
    // The full text of the value in the display: the top entry's when the display shows it,
    // otherwise the display's own text (an entry being typed, a prompt).
    std::string DisplayedFullText() const;
    void Paste2Click() { Paste1Click(); }
    static bool DisplayDragOver(const DropSource& source) { return source.isListBox; }
    void DisplayDragDrop(const DropSource& source);

    // ---- state ---------------------------------------------------------------------------------------
    // The settings come first: the stack reads the notation and places through references to them.
    Settings settings;

    bool Entered = false;
    bool PointEntered = false;
    bool StorePending = false;
    bool RecallPending = false;
    bool SecondFunction = false;
    bool DisplayFocused = false;
    bool CalcMode = false;

    // Toggle and check states the windows mirror (also reported through the view).
    bool SIBtnDown = true;
    bool USBtnDown = false;
    bool AutoConvertBtnDown = true;
    bool UnitSystemEnabled = true; // SIBtn, USBtn and their menu items
    bool Calculator1Checked = true;
    bool FreeForm1Checked = false;

    StackCalc& Stack() { return stack_; }
    const StackCalc& Stack() const { return stack_; }
    TNumberUnits& Working() { return working_; }
    Prefs& Preferences() { return prefs_; }
    bool LoadPrefs() { return prefs_.LoadPrefs(); }
    bool WritePrefs() { return prefs_.WritePrefs(); }
    CalcView& View() { return view_; }

    // Called at the end of every RefreshViews after the engine's own indicator update;
    // the windows hang their register-window refresh here.
    std::function<void()> onRefreshViews;

    // Number text of a value: general format, 15 significant digits.
    static std::string NumberText(double value);
    static bool IsPrompt(const std::string& text);

private:
    void RefreshViews();
    void UpdateIndicators();
    void End(); // focus to the Enter button, then RefreshViews
    void ShowError(const std::string& message) { view_.ShowError(message); }
    void ShowParseError() { view_.ShowError(working_.GetErrorText()); }
    // The engine's own display changes; the text field's change event ignores them.
    void SetDisplay(const std::string& text);
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
    // Operands popped by the running handler; put back in their old order when it fails.
    std::string PopOperand();
    void PutBackOperands();
    // Runs a handler body. At the outermost handler an escaping exception puts the popped
    // operands back and is shown in the message box.
    void Guard(const std::function<void()>& body);
    const std::string& AngleUnitName() const;
    // Shared steps of keys that differ only in a detail.
    using BinaryFunction = std::function<bool(const std::string& y, const std::string& x, std::string& full,
                                              std::string& error)>;
    void BinaryKey(bool divide, const BinaryFunction& compute);
    void PowerKey(bool root);
    void LogKey(int code);
    void RegisterPrompt(bool store);
    void WithSecondFunction(const std::function<void()>& handler);

    std::vector<std::string> popped_;
    int guardDepth_ = 0;
    bool settingDisplay_ = false;
    CalcView& view_;
    ValueStore& store_;
    StackCalc stack_;
    TNumberUnits working_;
    Prefs prefs_;
    MessageSink previousSink_;
};
