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
    Command command = Command::Enter; // for KeyAction::Run
};

constexpr Need Any = Need::Any, On = Need::On, Off = Need::Off;
constexpr Mode C = Mode::Calc, F = Mode::FreeForm;
using A = KeyAction;
using O = Option;

// First matching row wins; Shift rows come before Ctrl rows, so Shift wins over Ctrl. A key held
// with Ctrl is a shortcut, never a character: rows that put text into the entry are passed over.
constexpr KeyRule Rules[] = {
    // both modes
    {C, VK::Back, VK::Back, Any, Any, O::None, Any, A::Run, 0, Command::Backspace},
    {F, VK::Back, VK::Back, Any, Any, O::None, Any, A::Run, 0, Command::Backspace},
    {C, VK::Return, VK::Return, Any, Any, O::None, Any, A::Run, 0, Command::Enter},
    {F, VK::Return, VK::Return, Any, Any, O::None, Any, A::Run, 0, Command::Enter},
    {C, VK::Delete, VK::Delete, Any, Any, O::None, Any, A::Run, 0, Command::Delete},
    {F, VK::Delete, VK::Delete, Any, Any, O::None, Any, A::Run, 0, Command::Delete},

    // calculator mode
    {C, VK::Digit0, VK::Digit9, Off, Any, O::None, Any, A::Run, 0, Command::Digit0},
    {C, VK::Digit0 + 8, VK::Digit0 + 8, On, Any, O::None, Any, A::Run, 0, Command::Multiply},
    {C, VK::Multiply, VK::Multiply, Any, Any, O::None, Any, A::Run, 0, Command::Multiply},
    {C, VK::Add, VK::Add, Any, Any, O::None, Any, A::Run, 0, Command::Add},
    {C, VK::Subtract, VK::Subtract, Any, Any, O::None, Any, A::Run, 0, Command::Subtract},
    {C, VK::Decimal, VK::Decimal, Any, Any, O::None, Any, A::Run, 0, Command::Dot},
    {C, VK::Divide, VK::Divide, Any, Any, O::None, Any, A::Run, 0, Command::Divide},
    {C, VK::OemPlus, VK::OemPlus, On, Any, O::None, Any, A::Run, 0, Command::Add},
    {C, VK::OemMinus, VK::OemMinus, Off, Any, O::SubAsCHS, On, A::Run, 0, Command::ChangeSign},
    {C, VK::OemMinus, VK::OemMinus, Off, Any, O::SubAsCHS, Off, A::Run, 0, Command::Subtract},
    {C, VK::OemMinus, VK::OemMinus, On, Any, O::SubAsCHS, On, A::Run, 0, Command::Subtract},
    {C, VK::OemMinus, VK::OemMinus, On, Any, O::SubAsCHS, Off, A::Run, 0, Command::ChangeSign},
    {C, VK::OemPeriod, VK::OemPeriod, Off, Any, O::None, Any, A::Run, 0, Command::Dot},
    {C, VK::OemSlash, VK::OemSlash, Off, Any, O::None, Any, A::Run, 0, Command::Divide},
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
    {F, VK::Digit0 + 8, VK::Digit0 + 8, Any, On, O::None, Any, A::Run, 0, Command::Multiply},
    {F, VK::Digit0, VK::Digit9, Off, Any, O::None, Any, A::Run, 0, Command::Digit0},
    {F, VK::Multiply, VK::Multiply, Any, Any, O::CopyOperators, On, A::ClearAndType, '*'},
    {F, VK::Multiply, VK::Multiply, Any, Any, O::CopyOperators, Off, A::Run, 0, Command::Multiply},
    {F, VK::Add, VK::Add, Any, Any, O::CopyOperators, On, A::ClearAndType, '+'},
    {F, VK::Add, VK::Add, Any, Any, O::CopyOperators, Off, A::Run, 0, Command::Add},
    {F, VK::Subtract, VK::Subtract, Any, Any, O::CopyOperators, On, A::ClearAndType, '-'},
    {F, VK::Subtract, VK::Subtract, Any, Any, O::CopyOperators, Off, A::Run, 0, Command::Subtract},
    {F, VK::Decimal, VK::Decimal, Any, Any, O::None, Any, A::Type, '.'},
    {F, VK::Divide, VK::Divide, Any, Any, O::CopyOperators, On, A::ClearAndType, '/'},
    {F, VK::Divide, VK::Divide, Any, Any, O::CopyOperators, Off, A::Run, 0, Command::Divide},
    {F, VK::OemPlus, VK::OemPlus, On, Any, O::None, Any, A::ClearAndType, '+'},
    {F, VK::OemPlus, VK::OemPlus, Any, On, O::None, Any, A::Run, 0, Command::Add},
    {F, VK::OemMinus, VK::OemMinus, On, Any, O::None, Any, A::Run, 0, Command::ChangeSign},
    {F, VK::OemMinus, VK::OemMinus, Off, On, O::None, Any, A::Run, 0, Command::Subtract},
    {F, VK::OemMinus, VK::OemMinus, Off, Off, O::None, Any, A::ClearAndType, '-'},
    {F, VK::OemPeriod, VK::OemPeriod, Off, Any, O::None, Any, A::Type, '.'},
    {F, VK::OemSlash, VK::OemSlash, Any, On, O::None, Any, A::Run, 0, Command::Divide},
    {F, VK::OemSlash, VK::OemSlash, Any, Off, O::None, Any, A::ClearAndType, '/'},
    {F, VK::LetterA, VK::LetterZ, Any, Any, O::None, Any, A::Letter, 0},
};

// Whether the row puts a character into the entry: typing, and the digit and point commands.
bool TypesText(const KeyRule& rule) {
    if (rule.action != KeyAction::Run) return rule.action != KeyAction::None;
    return (rule.command >= Command::Digit0 && rule.command <= Command::Digit9) ||
           rule.command == Command::Dot;
}

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
        if (!Meets(rule.shift, shift) || !Meets(rule.ctrl, ctrl) || (ctrl && TypesText(rule))) continue;
        if (rule.option != Option::None && !Meets(rule.optionState, OptionState(rule.option, options)))
            continue;
        KeyCommand cmd{rule.action, rule.ch, rule.command};
        // A row over all the digit keys runs the digit of the key pressed.
        if (rule.action == KeyAction::Run && rule.firstKey == VK::Digit0 && rule.lastKey == VK::Digit9)
            cmd.command = DigitCommand(key - VK::Digit0);
        if (rule.action == KeyAction::Letter || rule.action == KeyAction::SwitchLetter)
            cmd.ch = static_cast<char>(shift ? key : key - 'A' + 'a');
        return cmd;
    }
    return {};
}
