// Unit commands: Select Units, Convert Units, Direct Convert, the unit system and AutoConvert.
#include "calc/KorbCalc.h"

void KorbCalc::SelectUnitsBtnClick() {
    SelectUnitsWith([this](const std::string& quantityText) { return view_.RunUnitsSelector(quantityText); });
}

void KorbCalc::SelectUnits(const std::string& units) {
    SelectUnitsWith([&units](const std::string&) { return std::optional<std::string>(units); });
}

void KorbCalc::ConvertUnitsBtnClick() {
    ConvertTopWith([this](const std::string& quantityText) { return view_.RunUnitsSelector(quantityText); });
}

void KorbCalc::ConvertTop(const std::string& units) {
    ConvertTopWith([&units](const std::string&) { return std::optional<std::string>(units); });
}

void KorbCalc::SelectUnitsWith(const UnitsChooser& choose) {
    Guard([&] {
        if (!ParseWorking(Display())) {
            ShowParseError();
            view_.FocusEnterButton();
            return;
        }
        const bool ofTop = state_.Entered && !stack_.IsEmpty();
        if (ofTop) SetWorking(stack_.TopValue());
        // Units given to a display without a value mean one of them; a 0 typed or pushed stays 0.
        const bool one = !ofTop && DisplayHoldsNoValue();
        const auto units = choose(working_.GetText());
        if (units) PushText((one ? std::string("1") : NumberText(working_.GetValue())) + *units);
        view_.FocusEnterButton();
    });
}

void KorbCalc::ConvertTopWith(const UnitsChooser& choose) {
    Guard([&] {
        if (stack_.IsEmpty()) {
            ShowError("Stack is empty!");
            return;
        }
        if (!state_.Entered) {
            if (!ParseWorking(Display())) {
                ShowParseError();
                return;
            }
            BtnEnterClick();
        }
        SetWorking(stack_.TopValue());
        const auto units = choose("");
        if (units) {
            if (working_.ConvertTo(*units)) {
                PopOperand();
                PushResult(working_);
            } else {
                ShowParseError();
            }
        }
        view_.FocusEnterButton();
    });
}

void KorbCalc::ConvertStackBtnClick() {
    Guard([&] {
        if (!state_.Entered) {
            if (!ParseWorking(Display())) {
                ShowParseError();
                view_.FocusEnterButton();
                return;
            }
            state_.Entered = false;
            BtnEnterClick();
        }
        if (stack_.Depth() < 2) {
            ShowError("Not enough operands!");
            view_.FocusEnterButton();
            return;
        }
        const StackEntry top = PopOperand();
        SetWorking(PopOperand().Value());
        if (working_.ConvertTo(top.Value().GetUnits())) {
            PushResult(working_);
        } else {
            const std::string error = working_.GetErrorText();
            PutBackOperands();
            ShowStackTop();
            state_.Entered = true;
            ShowError(error);
        }
        view_.FocusEnterButton();
    });
}

// The SI and US buttons, their menu items and the units engine's UnitSystem are one fact, as are
// the AutoConvert button, its menu item and AutoConvert; the unit-system controls are enabled
// exactly while AutoConvert is on.
void KorbCalc::SIBtnClick() {
    Guard([&] {
        SetUnitFlags({true, AutoConvert});
        view_.SetUnitSystemState(true, AutoConvert);
    });
}

void KorbCalc::USBtnClick() {
    Guard([&] {
        SetUnitFlags({false, AutoConvert});
        view_.SetUnitSystemState(false, AutoConvert);
    });
}

void KorbCalc::AutoConvertBtnClick(bool down) {
    Guard([&] {
        SetUnitFlags({UnitSystem, down});
        view_.SetAutoConvertState(down);
        view_.SetUnitSystemState(UnitSystem, down);
    });
}
