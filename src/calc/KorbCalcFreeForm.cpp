// Free-form mode and the display as a text field: the mode commands, the display's focus and
// change events, copy and paste, and values dropped onto the display.
#include "calc/KorbCalc.h"

// The mode items, buttons and CalcMode are one fact; the view mirrors it. Choosing the mode in
// force changes nothing but tells the view again, which puts its check marks in step at start.
void KorbCalc::Calculator1Click() {
    state_.CalcMode = true;
    view_.SetCalcModeState(true);
}

void KorbCalc::FreeForm1Click() {
    state_.CalcMode = false;
    view_.SetCalcModeState(false);
}

void KorbCalc::DisplayEnter() {
    Guard([&] {
        if (IsPrompt(Display())) {
            // An empty stack has no top to show; the empty entry "0" stands for it.
            if (stack_.IsEmpty())
                SetIdleDisplay("0");
            else
                ShowStackTop();
            state_.StorePending = false;
            state_.RecallPending = false;
            state_.Entered = true;
        }
        state_.DisplayFocused = true;
    });
}

void KorbCalc::DisplayExit() {
    state_.DisplayFocused = false;
}

void KorbCalc::DisplayChange() {
    Guard([&] {
        if (settingDisplay_) return;
        displayShowsTop_ = false; // the user's own text now
        displayIdle_ = false;
        if (!state_.DisplayFocused) return;
        state_.Entered = false;
        RefreshViews();
        state_.Entered = false;
    });
}

void KorbCalc::Copy1Click() {
    Guard([&] {
        view_.SelectAllDisplay();
        view_.SetClipboardText(Display());
    });
}

std::string KorbCalc::DisplayedFullText() const {
    const std::string shown = Display();
    if (!state_.Entered || stack_.IsEmpty() || IsPrompt(shown)) return shown;
    return stack_.FullText(stack_.Depth() - 1);
}

void KorbCalc::Paste1Click() {
    Guard([&] {
        if (!state_.Entered) {
            if (ParseWorking(Display())) {
                SetDisplay(working_.GetText());
                BtnEnterClick();
                state_.PointEntered = false;
                state_.Entered = true;
            } else {
                ShowParseError();
                view_.FocusEnterButton();
                state_.Entered = false;
                return;
            }
        }
        view_.SelectAllDisplay();
        SetDisplay(view_.ClipboardText());
        state_.Entered = false;
        BtnEnterClick();
    });
}

void KorbCalc::DisplayDragDrop(const DropSource& source) {
    Guard([&] {
        if (source.isListBox && source.componentName != "StackListBox") {
            stack_.RecallRegister(source.tag);
            state_.Entered = true;
            state_.PointEntered = false;
        } else {
            if (source.itemIndex >= 0 && source.itemIndex < stack_.Count())
                EnterText(std::string(stack_.FullText(source.itemIndex)));
        }
        view_.FocusMainWindow();
    });
}
