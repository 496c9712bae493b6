// Construction, start-up and shut-down, the entry line and the keyboard map.
#include "calc/KorbCalc.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <exception>

#include "calc/KeyMap.h"
#include "settings/PreferredStore.h"
#include "settings/TextTrim.h"
#include "settings/ValueStore.h"
#include "units/AngleUnits.h"
#include "units/NumberFormat.h"

KorbCalc::KorbCalc(CalcView& view, ValueStore& store, std::string prefsFile)
    : view_(view), store_(store), stack_(view, settings.FractNotation, settings.DecimalPlaces),
      prefs_(settings, store, std::move(prefsFile)) {
    InitUnitTables();
    working_.Digits = 15;
    stack_.SetObserver(relay_);

    state_.CalcMode = store_.ReadInteger("CalcMode", 0) != 0;
    const bool autoConvert = store_.ReadInteger("AutoConvert", 1) != 0;
    const bool si = store_.ReadInteger("UnitSystem", 1) != 0;
    SetPreferredChoices(ReadPreferredChoices(store_));
    AutoConvertBtnClick(autoConvert);
    if (si)
        SIBtnClick();
    else
        USBtnClick();
}

KorbCalc::~KorbCalc() = default;

void KorbCalc::StackRelay::ViewsRefreshed() {
    calc_.UpdateIndicators();
    calc_.view_.ViewsRefreshed();
}

PrefsContext KorbCalc::PrefsContextNow() const {
    return {view_.WindowPlace(CalcWindow::Main), view_.WindowPlace(CalcWindow::Stack),
            view_.WindowPlace(CalcWindow::Registers), view_.MainWindowWidth(), state_.CalcMode};
}

void KorbCalc::ShowPrefsMessages(const std::vector<PrefsMessage>& messages) {
    for (const auto& m : messages) {
        switch (m.kind) {
        case PrefsMessage::Kind::Warning:
            view_.ShowWarning(m.text);
            break;
        case PrefsMessage::Kind::Note:
            view_.ShowNote(m.text);
            break;
        case PrefsMessage::Kind::WriteError:
            view_.ShowMessage(m.text);
            break;
        }
    }
}

bool KorbCalc::LoadPrefs() {
    const PrefsLoad load = prefs_.LoadPrefs(PrefsContextNow());
    if (load.moveMainTo) view_.MoveMainWindow(*load.moveMainTo);
    if (load.notationSet) working_.SetFormat(NotationFromInt(settings.FractNotation));
    if (load.showTop) ShowStackTop();
    ShowPrefsMessages(load.messages);
    return load.fromFile;
}

bool KorbCalc::WritePrefs() {
    const PrefsWrite written = prefs_.WritePrefs(PrefsContextNow());
    ShowPrefsMessages(written.messages);
    return written.written;
}

std::string KorbCalc::NumberText(double value) {
    return ::NumberText(value);
}

bool KorbCalc::IsPrompt(const std::string& text) {
    return text == Prompt::Store || text == Prompt::Recall || text == Prompt::Undefined;
}

// ---- helpers ------------------------------------------------------------------------------------

void KorbCalc::BeginGuard() {
    popped_.clear();
    ++guardDepth_;
    if (!replaying_) stack_.BeginChanges();
}

void KorbCalc::GuardFailed(const std::exception& e) {
    // Put the operands back before the message, so the stack is whole while the box shows.
    try {
        PutBackOperands();
    } catch (...) {
    }
    guardDepth_ = 0;
    popped_.clear();
    RecordStep();
    view_.ShowMessage(e.what());
}

void KorbCalc::EndGuard() {
    guardDepth_ = 0;
    popped_.clear();
    RecordStep();
}

void KorbCalc::RecordStep() {
    if (StackCalc::Change* change = stack_.EndChanges()) {
        history_.Record(std::move(*change));
        stack_.GiveSpareEntries(history_.TakeSpareEntries());
    }
    view_.SetUndoState(history_.CanUndo(), history_.CanRedo());
}

void KorbCalc::ForgetHistory() {
    history_.Clear();
    view_.SetUndoState(false, false);
}

void KorbCalc::Undo() {
    Replay(&UndoHistory::Undo);
}

void KorbCalc::Redo() {
    Replay(&UndoHistory::Redo);
}

void KorbCalc::Replay(bool (UndoHistory::*move)(StackCalc&)) {
    if (guardDepth_ > 0) return; // not in the middle of another command
    replaying_ = true;
    Guard([&] {
        if (!(history_.*move)(stack_)) return;
        state_.Entered = true;
        state_.PointEntered = false;
        state_.StorePending = false;
        state_.RecallPending = false;
        SetIdleDisplay("0");
        ShowStackTop();
        view_.SetEditingIndicator(true);
        RefreshViews();
    });
    replaying_ = false;
}

bool KorbCalc::LoadStackFrom(const std::string& fileName) {
    const bool ok = stack_.LoadStackFile(fileName);
    ForgetHistory(); // the steps' entries no longer sit where they were taken
    return ok;
}

const StackEntry& KorbCalc::PopOperand() {
    popped_.push_back(stack_.PopEntry());
    return popped_.back();
}

void KorbCalc::PutBackOperands() {
    // popped_ holds X first, then Y: push Y first.
    std::vector<StackEntry> operands;
    operands.swap(popped_);
    for (auto it = operands.rbegin(); it != operands.rend(); ++it) stack_.PutBack(*it);
}

void KorbCalc::SetWorking(TNumberUnits value) {
    const int precision = working_.Precision;
    const std::uint8_t digits = working_.Digits;
    const Notation format = working_.Format;
    working_ = std::move(value);
    working_.Precision = precision;
    working_.Digits = digits;
    working_.Format = format;
    working_.ClearError();
}

namespace {

// Marks the display as set by the engine while the view changes it, also when the view throws.
class SettingDisplay {
public:
    explicit SettingDisplay(bool& flag) : flag_(flag) { flag_ = true; }
    ~SettingDisplay() { flag_ = false; }
    SettingDisplay(const SettingDisplay&) = delete;
    SettingDisplay& operator=(const SettingDisplay&) = delete;

private:
    bool& flag_;
};

} // namespace

void KorbCalc::SetDisplay(const std::string& text) {
    displayShowsTop_ = false;
    displayIdle_ = false;
    SettingDisplay setting(settingDisplay_);
    view_.SetDisplayText(text);
}

void KorbCalc::SetIdleDisplay(const std::string& text) {
    SetDisplay(text);
    displayIdle_ = true;
}

bool KorbCalc::DisplayHoldsNoValue() const {
    return displayIdle_ || Trim(Display(), Spaces::Controls).empty();
}

void KorbCalc::RefreshViews() {
    stack_.RefreshViews();
}

void KorbCalc::UpdateIndicators() {
    // A stack entry's text is one line, and a view may not have made it yet.
    view_.SetUnitsOnNextLine(!displayShowsTop_ && view_.DisplayHasLineBreak());
    view_.SetEditingIndicator(state_.Entered);
}

void KorbCalc::End() {
    view_.FocusEnterButton();
    RefreshViews();
}

void KorbCalc::SetSecondFunction(bool on) {
    state_.SecondFunction = on;
    view_.SetSecondFunctionIndicator(on);
}

bool KorbCalc::ParseWorking(const std::string& text) {
    return working_.SetText(Trim(text, Spaces::Controls).empty() ? std::string("0") : text);
}

bool KorbCalc::FinishEntry(bool keepSecond) {
    if (state_.Entered) return true;
    if (!ParseWorking(Display())) {
        ShowParseError();
        return false;
    }
    const bool second = state_.SecondFunction;
    BtnEnterClick();
    if (keepSecond && second) SetSecondFunction(true);
    return true;
}

void KorbCalc::CompleteEntry() {
    if (!state_.Entered) {
        if (ParseWorking(Display()))
            BtnEnterClick();
        else
            ShowParseError();
    }
    state_.Entered = true;
    state_.PointEntered = false;
}

void KorbCalc::PushText(const std::string& text) {
    SetDisplay(text);
    state_.Entered = false;
    Enter(text);
}

void KorbCalc::PushResult(const TNumberUnits& value) {
    TNumberUnits result;
    result.Digits = 15;
    result.SetFormat(NotationFromInt(settings.FractNotation));
    if (!result.SetQuantity(RoundedAsNumberText(value.GetValue()), value.UnitLists)) {
        PushResult(NumberText(value.GetValue()) + value.GetUnits()); // Enter reports it as it would
        return;
    }
    // What Enter does with a typed value, the text step left out.
    if (state_.StorePending || state_.RecallPending) {
        PutBackOperands(); // Enter does nothing while a register prompt waits
        ShowStackTop();
        state_.Entered = true;
        return;
    }
    stack_.PushValue(result);
    popped_.clear();
    ShowStackTop();
    state_.Entered = true;
    state_.PointEntered = false;
    UpdateIndicators();
    if (state_.SecondFunction) SetSecondFunction(false);
    RefreshViews();
}

void KorbCalc::PushResult(const std::string& text) {
    const int depth = stack_.Depth();
    PushText(text);
    if (stack_.Depth() == depth + 1) {
        popped_.clear();
    } else {
        PutBackOperands();
        ShowStackTop();
        state_.Entered = true;
    }
}

std::string_view KorbCalc::AngleUnitName() const {
    const int a = settings.AngularDefault;
    return AngleUnitNames[a >= 0 && a < static_cast<int>(AngleUnitNames.size()) ? static_cast<std::size_t>(a)
                                                                                : 0];
}

// ---- start-up, shut-down, reset ---------------------------------------------------------------

void KorbCalc::FormShow(bool readPrefsFile) {
    Guard([&] {
        if (!state_.CalcMode) FreeForm1Click();
        SetIdleDisplay("0");
        ShowStackTop();
        view_.FocusEnterButton();
        state_.Entered = true;
        if (readPrefsFile) {
            LoadPrefs();
        } else {
            prefs_.ApplyNoFileDefaults();
            ShowStackTop();
        }
        working_.SetFormat(NotationFromInt(settings.FractNotation));
        RefreshViews();
    });
}

bool KorbCalc::LoadSavedStack() {
    bool ok = true;
    Guard([&] {
        if (!settings.SaveStack) return;
        ok = stack_.LoadStackFile();
        ShowStackTop();
    });
    ForgetHistory(); // the files' contents are where the run starts
    return ok;
}

bool KorbCalc::LoadSavedRegisters() {
    bool ok = true;
    Guard([&] {
        if (settings.SaveRegs) ok = stack_.LoadRegisterFile();
    });
    ForgetHistory();
    return ok;
}

void KorbCalc::FormClose() {
    Guard([&] {
        SaveAtClose(
            settings.SavePrefs != 0, [this] { return WritePrefs(); }, stack_);
    });
}

void KorbCalc::ResetCalculator() {
    Guard([&] {
        state_.Entered = true;
        stack_.ClearAll();
        SetIdleDisplay("0");
        state_.StorePending = false;
        state_.RecallPending = false;
        state_.PointEntered = false;
        RefreshViews();
    });
}

// ---- entry line -----------------------------------------------------------------------------------

void KorbCalc::keyPress(char ch) {
    Guard([&] {
        if (state_.StorePending || state_.RecallPending) {
            RegisterChosen(static_cast<unsigned char>(ch) - '0');
            return;
        }
        if (!state_.Entered) {
            const std::string text = Display();
            if (state_.CalcMode && text.size() >= 16) {
                // refused: a calculator entry holds at most 16 characters
            } else if (text == "0" && (displayIdle_ || (ch >= '0' && ch <= '9'))) {
                // The idle "0" gives way to what is typed; a typed one only to a digit after it.
                SetDisplay(ch == '.' ? "0." : std::string(1, ch));
            } else {
                SetDisplay(text + ch);
            }
        } else {
            SetDisplay(std::string(1, ch));
            state_.Entered = false;
        }
        state_.StorePending = false;
        state_.RecallPending = false;
        view_.FocusEnterButton();
    });
}

void KorbCalc::NumBtnClick(int digit) {
    Guard([&] {
        if (digit < 0 || digit > 9) return;
        keyPress(static_cast<char>('0' + digit));
        RefreshViews();
    });
}

void KorbCalc::BtnDotClick() {
    Guard([&] {
        if (state_.Entered) {
            SetDisplay("0.");
            state_.PointEntered = true;
            state_.Entered = false;
        } else {
            const std::string text = Display();
            if (text.size() <= 13 && !state_.PointEntered) {
                SetDisplay(text.empty() ? "0." : text + ".");
                state_.PointEntered = true;
            }
        }
        state_.StorePending = false;
        state_.RecallPending = false;
    });
}

void KorbCalc::BtnBSClick() {
    Guard([&] {
        std::string text = Display();
        if (!text.empty()) {
            if (text.back() == '.') state_.PointEntered = false;
            text.pop_back();
            SetDisplay(text);
        }
        state_.Entered = false;
        End();
    });
}

void KorbCalc::BtnDelClick() {
    Guard([&] {
        if (stack_.IsEmpty()) {
            if (!state_.Entered)
                SetIdleDisplay("0 ");
            else
                ShowError("Stack Empty!");
        } else if (!state_.Entered) {
            ShowStackTop();
            state_.Entered = true;
        } else {
            stack_.PopEntry(); // dropped: no text of it is needed
            if (stack_.IsEmpty())
                SetIdleDisplay("0 ");
            else
                ShowStackTop();
        }
        End();
    });
}

void KorbCalc::BtnEnterClick() {
    Guard([&] { Enter(Display()); });
}

void KorbCalc::Enter(const std::string& text) {
    Guard([&] {
        std::string shown = text;
        if (Trim(shown, Spaces::Controls).empty()) {
            SetDisplay("0");
            shown = "0";
        }
        const std::string_view trimmed = Trim(shown, Spaces::Controls);
        if (trimmed == "0" && state_.Entered) state_.Entered = false;
        if (state_.StorePending || state_.RecallPending) return;
        if (trimmed == Prompt::Undefined) return;

        bool pushed = false;
        if (state_.Entered) {
            // Duplicate the top entry.
            if (stack_.IsEmpty()) {
                pushed = stack_.Push(stack_.Peek());
            } else {
                stack_.PutBack(stack_.Entry(stack_.Count() - 1)); // as a push of its full text
                pushed = true;
            }
            if (pushed) ShowStackTop();
            state_.Entered = true;
        } else {
            pushed = stack_.Push(shown);
            if (pushed) {
                ShowStackTop();
                state_.Entered = true;
            }
        }
        if (pushed) {
            state_.PointEntered = false;
            state_.StorePending = false;
            state_.RecallPending = false;
        }
        UpdateIndicators();
        if (state_.SecondFunction) SetSecondFunction(false);
        RefreshViews();
    });
}

void KorbCalc::BtnCHSClick() {
    Guard([&] {
        // With nothing on the stack the display itself is the value (the "0" shown at start).
        if (state_.Entered && !stack_.IsEmpty()) {
            SetWorking(stack_.TopValue());
        } else if (!ParseWorking(Display())) {
            ShowParseError();
            return;
        }
        const double v = working_.GetValue();
        SetDisplay(NumberText(v == 0 ? 0.0 : -v) + working_.GetUnits());
        state_.Entered = false;
        BtnEnterClick();
        End();
    });
}

void KorbCalc::ShowStackTop() {
    Guard([&] {
        if (stack_.IsEmpty()) return;
        displayShowsTop_ = false;
        displayIdle_ = false;
        SettingDisplay setting(settingDisplay_);
        stack_.ShowTop();
        displayShowsTop_ = true;
    });
}

bool KorbCalc::EnterText(const std::string& text) {
    bool pushed = false;
    Guard([&] {
        CompleteEntry();
        const int depth = stack_.Depth();
        PushText(text);
        pushed = stack_.Depth() != depth;
    });
    return pushed;
}

void KorbCalc::DisplayKeyDown(int key, bool shift, bool ctrl) {
    Guard([&] {
        if (state_.DisplayFocused) {
            if (key == VK::Return) {
                BtnEnterClick();
                view_.FocusEnterButton();
            }
            RefreshViews();
            return;
        }
        const KeyOptions options{settings.CopyOperators != 0, settings.SubAsCHS != 0,
                                 settings.SwitchToFF != 0};
        const KeyCommand cmd = LookupKey(key, shift, ctrl, state_.CalcMode, options);
        switch (cmd.action) {
        case KeyAction::None:
            break;
        case KeyAction::Run:
            Run(cmd.command);
            break;
        case KeyAction::Type:
        case KeyAction::Letter:
            keyPress(cmd.ch);
            break;
        case KeyAction::ClearAndType:
            state_.Entered = false;
            keyPress(cmd.ch);
            break;
        case KeyAction::SwitchLetter:
            state_.Entered = false;
            Run(Command::FreeFormMode);
            keyPress(cmd.ch);
            break;
        }
        view_.FocusEnterButton();
        RefreshViews();
    });
}
