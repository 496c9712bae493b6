#include "calc/KeyMap.h"

namespace {

enum class Mode { Calc, FreeForm };
enum class Need { Any, On, Off }; // a modifier or option that must be held / set, or not
enum class Option { None, CopyOperators, SubAsCHS, SwitchToFF };

struct KeyRule {
    Mode mode;
    int firstKey, lastKey; // main-keyboard digit codes stand for the keypad digits too
    Need shift, ctrl;
    Option option;
    Need optionState;
    KeyAction action;
    char ch;
};

constexpr Need Any = Need::Any, On = Need::On, Off = Need::Off;
constexpr Mode C = Mode::Calc, F = Mode::FreeForm;
using A = KeyAction;
using O = Option;

// First matching row wins; Shift rows come before Ctrl rows, so Shift wins over Ctrl.
constexpr KeyRule Rules[] = {
    // both modes
    {C, VK::Back, VK::Back, Any, Any, O::None, Any, A::Backspace, 0},
    {F, VK::Back, VK::Back, Any, Any, O::None, Any, A::Backspace, 0},
    {C, VK::Return, VK::Return, Any, Any, O::None, Any, A::Enter, 0},
    {F, VK::Return, VK::Return, Any, Any, O::None, Any, A::Enter, 0},
    {C, VK::Delete, VK::Delete, Any, Any, O::None, Any, A::Delete, 0},
    {F, VK::Delete, VK::Delete, Any, Any, O::None, Any, A::Delete, 0},

    // calculator mode
    {C, VK::Digit0, VK::Digit9, Off, Any, O::None, Any, A::Digit, 0},
    {C, VK::Digit0 + 8, VK::Digit0 + 8, On, Any, O::None, Any, A::Multiply, 0},
    {C, VK::Multiply, VK::Multiply, Any, Any, O::None, Any, A::Multiply, 0},
    {C, VK::Add, VK::Add, Any, Any, O::None, Any, A::Add, 0},
    {C, VK::Subtract, VK::Subtract, Any, Any, O::None, Any, A::Subtract, 0},
    {C, VK::Decimal, VK::Decimal, Any, Any, O::None, Any, A::Dot, 0},
    {C, VK::Divide, VK::Divide, Any, Any, O::None, Any, A::Divide, 0},
    {C, VK::OemPlus, VK::OemPlus, On, Any, O::None, Any, A::Add, 0},
    {C, VK::OemMinus, VK::OemMinus, Off, Any, O::SubAsCHS, On, A::ChangeSign, 0},
    {C, VK::OemMinus, VK::OemMinus, Off, Any, O::SubAsCHS, Off, A::Subtract, 0},
    {C, VK::OemMinus, VK::OemMinus, On, Any, O::SubAsCHS, On, A::Subtract, 0},
    {C, VK::OemMinus, VK::OemMinus, On, Any, O::SubAsCHS, Off, A::ChangeSign, 0},
    {C, VK::OemPeriod, VK::OemPeriod, Off, Any, O::None, Any, A::Dot, 0},
    {C, VK::OemSlash, VK::OemSlash, Off, Any, O::None, Any, A::Divide, 0},
    {C, VK::LetterA, VK::LetterZ, Any, Any, O::SwitchToFF, On, A::SwitchLetter, 0},

    // free-form mode
    {F, VK::Digit0 + 0, VK::Digit0 + 0, On, Any, O::None, Any, A::Type, ')'},
    {F, VK::Digit0 + 1, VK::Digit0 + 1, On, Any, O::None, Any, A::Type, '!'},
    {F, VK::Digit0 + 2, VK::Digit0 + 2, On, Any, O::None, Any, A::Type, '@'},
    {F, VK::Digit0 + 3, VK::Digit0 + 3, On, Any, O::None, Any, A::Type, '#'},
    {F, VK::Digit0 + 4, VK::Digit0 + 4, On, Any, O::None, Any, A::Type, '$'},
    {F, VK::Digit0 + 5, VK::Digit0 + 5, On, Any, O::None, Any, A::Type, '%'},
    {F, VK::Digit0 + 6, VK::Digit0 + 6, On, Any, O::None, Any, A::ClearAndType, '^'},
    {F, VK::Digit0 + 7, VK::Digit0 + 7, On, Any, O::None, Any, A::Type, '&'},
    {F, VK::Digit0 + 8, VK::Digit0 + 8, On, Any, O::None, Any, A::ClearAndType, '*'},
    {F, VK::Digit0 + 9, VK::Digit0 + 9, On, Any, O::None, Any, A::Type, '('},
    {F, VK::Digit0 + 8, VK::Digit0 + 8, Off, On, O::None, Any, A::Multiply, 0},
    {F, VK::Digit0, VK::Digit9, Off, Any, O::None, Any, A::Digit, 0},
    {F, VK::Multiply, VK::Multiply, Any, Any, O::CopyOperators, On, A::ClearAndType, '*'},
    {F, VK::Multiply, VK::Multiply, Any, Any, O::CopyOperators, Off, A::Multiply, 0},
    {F, VK::Add, VK::Add, Any, Any, O::CopyOperators, On, A::ClearAndType, '+'},
    {F, VK::Add, VK::Add, Any, Any, O::CopyOperators, Off, A::Add, 0},
    {F, VK::Subtract, VK::Subtract, Any, Any, O::CopyOperators, On, A::ClearAndType, '-'},
    {F, VK::Subtract, VK::Subtract, Any, Any, O::CopyOperators, Off, A::Subtract, 0},
    {F, VK::Decimal, VK::Decimal, Any, Any, O::None, Any, A::Type, '.'},
    {F, VK::Divide, VK::Divide, Any, Any, O::CopyOperators, On, A::ClearAndType, '/'},
    {F, VK::Divide, VK::Divide, Any, Any, O::CopyOperators, Off, A::Divide, 0},
    {F, VK::OemPlus, VK::OemPlus, On, Any, O::None, Any, A::ClearAndType, '+'},
    {F, VK::OemPlus, VK::OemPlus, Off, On, O::None, Any, A::Add, 0},
    {F, VK::OemMinus, VK::OemMinus, On, Any, O::None, Any, A::ChangeSign, 0},
    {F, VK::OemMinus, VK::OemMinus, Off, On, O::None, Any, A::Subtract, 0},
    {F, VK::OemMinus, VK::OemMinus, Off, Off, O::None, Any, A::ClearAndType, '-'},
    {F, VK::OemPeriod, VK::OemPeriod, Off, Any, O::None, Any, A::Type, '.'},
    {F, VK::OemSlash, VK::OemSlash, Any, On, O::None, Any, A::Divide, 0},
    {F, VK::OemSlash, VK::OemSlash, Any, Off, O::None, Any, A::ClearAndType, '/'},
    {F, VK::LetterA, VK::LetterZ, Any, Any, O::None, Any, A::Letter, 0},
};

bool Meets(Need need, bool state) {
    return need == Any || (need == On) == state;
}

bool OptionState(Option option, const KeyOptions& options) {
    switch (option) {
    case Option::CopyOperators:
        return options.copyOperators;
    case Option::SubAsCHS:
        return options.subAsCHS;
    case Option::SwitchToFF:
        return options.switchToFF;
    case Option::None:
        break;
    }
    return false;
}

} // namespace

KeyCommand LookupKey(int key, bool shift, bool ctrl, bool calcMode, const KeyOptions& options) {
    // Keypad digits act as the main-keyboard digits.
    if (key >= VK::Numpad0 && key <= VK::Numpad9) key = VK::Digit0 + (key - VK::Numpad0);
    const Mode mode = calcMode ? Mode::Calc : Mode::FreeForm;
    for (const KeyRule& rule : Rules) {
        if (rule.mode != mode || key < rule.firstKey || key > rule.lastKey) continue;
        if (!Meets(rule.shift, shift) || !Meets(rule.ctrl, ctrl)) continue;
        if (rule.option != Option::None && !Meets(rule.optionState, OptionState(rule.option, options)))
            continue;
        KeyCommand cmd{rule.action, rule.ch};
        if (rule.action == KeyAction::Digit) cmd.ch = static_cast<char>(key);
        if (rule.action == KeyAction::Letter || rule.action == KeyAction::SwitchLetter)
            cmd.ch = static_cast<char>(shift ? key : key - 'A' + 'a');
        return cmd;
    }
    return {};
}
