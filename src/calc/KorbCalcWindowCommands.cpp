// The commands of the other windows and the command-line program, and the settings commands.
#include "calc/KorbCalc.h"
#include "units/NumberFormat.h"

void KorbCalc::CancelEntry() {
    Guard([&] {
        SetIdleDisplay("0");
        ShowStackTop();
        state_.Entered = true;
        state_.PointEntered = false;
    });
}

void KorbCalc::TypeText(const std::string& text) {
    Guard([&] {
        SetDisplay(text);
        state_.Entered = false;
        state_.PointEntered = text.find('.') != std::string::npos;
        RefreshViews();
    });
}

bool KorbCalc::TypeAndEnter(const std::string& text) {
    bool pushed = false;
    Guard([&] {
        const int depth = stack_.Depth();
        SetDisplay(text);
        state_.Entered = false;
        state_.PointEntered = text.find('.') != std::string::npos;
        Enter(text);
        pushed = stack_.Depth() != depth;
        if (!pushed) CancelEntry();
    });
    return pushed;
}

void KorbCalc::TypeCharacter(std::string_view character) {
    Guard([&] {
        if (state_.StorePending || state_.RecallPending || character.empty())
            return; // a register is one digit
        const std::string typed(character);
        if (state_.Entered) {
            SetDisplay(typed);
            state_.Entered = false;
        } else if (const std::string text = Display(); !(state_.CalcMode && text.size() >= 16)) {
            // Only the idle "0" gives way; a typed 0 is a value the character follows.
            SetDisplay(text == "0" && displayIdle_ ? typed : text + typed);
        }
        view_.FocusEnterButton();
    });
}

void KorbCalc::ClearStackContents() {
    Guard([&] {
        stack_.ClearEntries();
        SetIdleDisplay("0");
        state_.Entered = true;
        state_.PointEntered = false;
        view_.SetEditingIndicator(true);
    });
}

void KorbCalc::MoveEntryToTop(int index) {
    Guard([&] {
        stack_.MoveToTop(index);
        ShowStackTop();
    });
}

void KorbCalc::RecallRegister(int index) {
    Guard([&] { stack_.RecallRegister(index); });
}

void KorbCalc::ClearRegisters() {
    Guard([&] {
        for (int i = 0; i < StackCalc::RegisterCount; ++i) stack_.SetRegister("0", i);
    });
}

void KorbCalc::StoreEntryInRegister(int entryIndex, int index) {
    Guard([&] {
        if (entryIndex >= 0 && entryIndex < stack_.Count())
            stack_.SetRegister(stack_.FullText(entryIndex), index);
    });
}

void KorbCalc::SetRegister(const std::string& text, int index) {
    Guard([&] { stack_.SetRegister(text, index); });
}

void KorbCalc::UpdateAllLists() {
    Guard([&] { RerenderLists(); });
}

void KorbCalc::RerenderLists() {
    // Entries the history holds take the format in force when they come back.
    stack_.UpdateAll();
}

void KorbCalc::SetWorkingFormat(int format) {
    working_.SetFormat(NotationFromInt(format));
}

void KorbCalc::SetWorkingDigits(int digits) {
    working_.Digits = static_cast<std::uint8_t>(digits);
}

// ---- settings -----------------------------------------------------------------------------------

void KorbCalc::ApplySettings(const Settings& newSettings) {
    settings = newSettings;
}

void KorbCalc::ApplyNumberFormat(int notation, int places) {
    Guard([&] {
        settings.FractNotation = notation;
        settings.DecimalPlaces = places;
        working_.SetFormat(NotationFromInt(notation));
        RerenderLists();
        if (state_.Entered) ShowStackTop();
    });
}

void KorbCalc::SetAngularDefault(int angularDefault) {
    settings.AngularDefault = angularDefault;
}
