// The operation keys: arithmetic, powers and roots, logarithms, trigonometry, constants, swap,
// the registers and the 2nd-function layer.
#include <cmath>

#include "calc/KorbCalc.h"

namespace {

// A plain number as a quantity.
TNumberUnits Number(double value) {
    TNumberUnits q;
    q.SetQuantity(value, EmptyUnitLists());
    return q;
}

bool IsUnitless(const std::string& units) {
    return units.empty() || units == " ";
}

// A value in whole degrees that is an odd multiple of 90 has no tangent.
bool TangentUndefined(const std::string& units, double value) {
    if (units != "deg" || value != std::trunc(value)) return false;
    const double quarterTurns = value / 90;
    return quarterTurns == std::trunc(quarterTurns) && std::fmod(quarterTurns, 2) != 0;
}

} // namespace

// The four arithmetic keys: Y and X are popped and the result pushed, or both put back.
void KorbCalc::BinaryKey(bool divide, const BinaryFunction& compute) {
    if (!FinishEntry(false)) return;
    if (stack_.Depth() < 2) {
        ShowError("Too Few Operands");
        End();
        return;
    }
    if (divide) SetWorking(stack_.TopValue());
    if (divide && working_.GetValue() == 0) {
        ShowError("Cannot Divide by Zero");
        return;
    }
    const std::string x = PopOperand().FullText();
    const std::string y = PopOperand().FullText();
    std::string full, error;
    const bool computed = compute(y, x, full, error);
    EndOperation(computed, full, error);
}

void KorbCalc::EndOperation(bool computed, const std::string& full, const std::string& error) {
    if (computed) {
        PushResult(full);
    } else {
        PutBackOperands();
        ShowError(error);
    }
    state_.Entered = true;
    state_.PointEntered = false;
    ShowStackTop();
    End();
}

void KorbCalc::BinaryOperation(const BinaryFunction& compute) {
    Guard([&] { BinaryKey(false, compute); });
}

void KorbCalc::UnaryOperation(const UnaryFunction& compute) {
    Guard([&] {
        if (!FinishEntry(false)) return;
        if (stack_.IsEmpty()) {
            ShowError("Stack Empty!");
            End();
            return;
        }
        const std::string x = PopOperand().FullText();
        std::string full, error;
        const bool computed = compute(x, full, error);
        EndOperation(computed, full, error);
    });
}

void KorbCalc::BtnAddSubtractClick(int tag) {
    BinaryOperation([tag](const std::string& y, const std::string& x, std::string& full, std::string& error) {
        std::string units;
        double value = 0;
        return QuantityAddSub(y, x, tag, full, value, units, error);
    });
}

void KorbCalc::BtnMulDivClick(int tag) {
    Guard([&] {
        const bool multiply = tag != KeyTag::Divide;
        BinaryKey(!multiply, [multiply](const std::string& y, const std::string& x, std::string& full,
                                        std::string& error) {
            std::string units;
            double value = 0;
            return QuantityMulDiv(y, x, multiply, full, value, units, error);
        });
    });
}

// x^2 / y^x and sqrt x / x-th root of y share their steps. With the 2nd function the exponent
// comes from X (its reciprocal for the root); without it the fixed exponent applies to X.
void KorbCalc::PowerKey(bool root) {
    if (!FinishEntry(true)) return;
    state_.Entered = true;
    std::string full, units, error;
    double value = 0;
    if (state_.SecondFunction) {
        SetSecondFunction(false);
        if (stack_.Depth() < 2) {
            ShowError("Too Few Operands!");
            End();
            return;
        }
        SetWorking(stack_.TopValue());
        if (!IsUnitless(working_.GetUnits())) {
            ShowError(root ? "Root X must be unitless." : "Exponent must be unitless.");
            End();
            return;
        }
        const double x = working_.GetValue();
        PopOperand();
        const std::string y = PopOperand().FullText();
        bool ok = false;
        if (root && x == 0) {
            error = ErrorMessage(_DivideByZero); // a zeroth root has no value
        } else {
            ok = QuantityPower(y, full, value, root ? 1 / x : x, units, error);
        }
        if (ok) {
            PushResult(full);
        } else {
            PutBackOperands();
            ShowError(error);
        }
    } else {
        if (stack_.IsEmpty()) {
            ShowError("Stack Empty!");
            End();
            return;
        }
        const std::string x = PopOperand().FullText();
        if (QuantityPower(x, full, value, root ? 0.5 : 2, units, error)) {
            PushResult(full);
        } else {
            PutBackOperands();
            ShowError(error);
        }
    }
    End();
}

void KorbCalc::xsqrBtnClick() {
    Guard([&] { PowerKey(false); });
}

void KorbCalc::SqrRtBtnClick() {
    Guard([&] {
        PowerKey(true);
        if (state_.SecondFunction) SetSecondFunction(false);
    });
}

void KorbCalc::xtoNeg1BtnClick() {
    Guard([&] {
        if (!FinishEntry(false)) return;
        state_.Entered = true;
        if (stack_.IsEmpty()) {
            ShowError("Stack Empty!");
            return;
        }
        SetWorking(stack_.TopValue());
        if (working_.GetValue() == 0) {
            ShowError("Cannot divide by zero!");
        } else {
            const std::string x = PopOperand().FullText();
            std::string full, units, error;
            double value = 0;
            if (QuantityPower(x, full, value, -1, units, error)) {
                PushResult(full);
            } else {
                PutBackOperands();
                ShowError(error);
            }
        }
        view_.FocusEnterButton();
        if (state_.SecondFunction) SetSecondFunction(false);
    });
}

// log / 10^x (code 0, 2nd 2) and ln / e^x (code 1, 2nd 3).
void KorbCalc::LogKey(int code) {
    if (!FinishEntry(true)) {
        view_.FocusEnterButton();
        return;
    }
    state_.PointEntered = false;
    state_.Entered = true;
    if (stack_.IsEmpty()) {
        ShowError("Stack Empty!");
        view_.FocusEnterButton();
        return;
    }
    std::string x = stack_.Peek();
    const bool second = state_.SecondFunction;
    double value = 0;
    try {
        QuantityLogExp(x, second ? code + 2 : code, value);
    } catch (...) {
        if (second) SetSecondFunction(false);
        throw;
    }
    if (second) SetSecondFunction(false);
    PopOperand();
    PushResult(Number(value));
    view_.FocusEnterButton();
}

void KorbCalc::LogBtnClick() {
    Guard([&] { LogKey(0); });
}

void KorbCalc::LnBtnClick() {
    Guard([&] { LogKey(1); });
}

void KorbCalc::BtnSINCOSTANClick(TrigKey key) {
    Guard([&] {
        if (!FinishEntry(true)) {
            view_.FocusEnterButton();
            return;
        }
        state_.Entered = true;
        if (stack_.IsEmpty()) {
            ShowError("Stack Empty!");
            view_.FocusEnterButton();
            return;
        }
        SetWorking(stack_.TopValue());
        const std::string units = working_.GetUnits();
        const double value = working_.GetValue();
        std::string argument = NumberText(value) + units;
        const int code = static_cast<int>(key); // 0 sin, 1 cos, 2 tan

        if (key == TrigKey::Tan && TangentUndefined(units, value)) {
            SetDisplay(Prompt::Undefined);
        } else if (!state_.SecondFunction) {
            if (IsUnitless(units)) argument += AngleUnitName();
            const double result = QuantityTrig(argument, code);
            PopOperand();
            PushResult(Number(result));
        } else {
            const int angle =
                settings.AngularDefault >= 0 && settings.AngularDefault <= 3 ? settings.AngularDefault : 0;
            try {
                QuantityTrig(argument, 3 + 4 * code + angle);
            } catch (...) {
                SetSecondFunction(false);
                throw;
            }
            PopOperand();
            PushResult(argument + working_.GetUnits());
        }
        state_.Entered = true;
        state_.PointEntered = false;
        End();
    });
}

void KorbCalc::BtnPIClick() {
    Guard([&] {
        FinishEntry(true); // a bad entry is reported and then replaced below
        if (state_.SecondFunction) {
            if (stack_.IsEmpty()) {
                ShowError("Stack Empty!");
                SetSecondFunction(false);
            } else {
                std::string area;
                try {
                    CircleArea(stack_.Peek(), area);
                } catch (...) {
                    SetSecondFunction(false);
                    throw;
                }
                PopOperand();
                PushResult(area);
            }
        } else {
            PushText(NumberText(Pi));
        }
        RefreshViews();
        state_.PointEntered = false;
        view_.FocusEnterButton();
    });
}

void KorbCalc::GravityBtnClick() {
    Guard([&] {
        CompleteEntry();
        std::string text;
        GravityText(text);
        PushText(text);
        RefreshViews();
        view_.FocusEnterButton();
    });
}

void KorbCalc::StackTopFlipBtnClick() {
    Guard([&] {
        CompleteEntry();
        if (stack_.Depth() >= 2) stack_.SwapXY();
        ShowStackTop();
        End();
    });
}

// STO and RCL: finish a typed entry, then show the prompt; the next character picks the register.
void KorbCalc::RegisterPrompt(bool store) {
    const bool samePending = store ? state_.StorePending : state_.RecallPending;
    if (!samePending && !state_.Entered) {
        if (!ParseWorking(Display())) {
            ShowParseError();
            state_.StorePending = false;
            state_.RecallPending = false;
            view_.FocusEnterButton();
            return;
        }
        if (!store) SetDisplay(working_.GetText());
        BtnEnterClick();
    }
    SetDisplay(store ? Prompt::Store : Prompt::Recall);
    state_.StorePending = store;
    state_.RecallPending = !store;
    view_.FocusEnterButton();
}

void KorbCalc::RegisterChosen(int n) {
    if (state_.StorePending) {
        stack_.StoreTop(n);
        ShowStackTop();
        state_.PointEntered = false;
    } else {
        stack_.RecallRegister(n);
    }
    state_.Entered = true;
    state_.StorePending = false;
    state_.RecallPending = false;
    view_.FocusEnterButton();
}

void KorbCalc::BtnSTOClick() {
    Guard([&] { RegisterPrompt(true); });
}

void KorbCalc::BtnRCLClick() {
    Guard([&] { RegisterPrompt(false); });
}

// The prompt shows meanwhile, as between the keys: where the register gives no value to show
// (an empty stack, a bad index) the display keeps it.
void KorbCalc::Store(int n) {
    Guard([&] {
        RegisterPrompt(true);
        if (state_.StorePending) RegisterChosen(n);
    });
}

void KorbCalc::Recall(int n) {
    Guard([&] {
        RegisterPrompt(false);
        if (state_.RecallPending) RegisterChosen(n);
    });
}

void KorbCalc::SecondFBtnClick() {
    SetSecondFunction(!state_.SecondFunction);
    view_.FocusEnterButton();
}

void KorbCalc::WithSecondFunction(const std::function<void()>& handler) {
    if (!state_.SecondFunction) SecondFBtnClick();
    handler();
}

void KorbCalc::Run(Command command) {
    const CommandInfo& info = Describe(command);
    if (command == Command::Undo || command == Command::Redo) {
        info.handler(*this); // they move through the history and make no step of their own
        return;
    }
    // One step for the whole command, the 2nd function's turn included.
    Guard([&] {
        if (info.secondFunction)
            WithSecondFunction([&] { info.handler(*this); });
        else
            info.handler(*this);
    });
}
