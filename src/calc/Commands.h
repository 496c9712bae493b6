// The calculator's command vocabulary: one name for each thing a key, a menu item, a keyboard
// shortcut or a command word does. The keypad, the menus, the keyboard map and korbcalc-cli all
// name a Command and run it through KorbCalc::Run, the one place every command passes.
#pragma once

#include <optional>
#include <span>
#include <string_view>

class KorbCalc;

enum class Command {
    Digit0,
    Digit1,
    Digit2,
    Digit3,
    Digit4,
    Digit5,
    Digit6,
    Digit7,
    Digit8,
    Digit9,
    Dot,
    Backspace,
    Delete,
    Enter,
    ChangeSign,
    Add,
    Subtract,
    Multiply,
    Divide,
    Square,
    SquareRoot,
    Reciprocal,
    Log,
    Ln,
    Sin,
    Cos,
    Tan,
    Pi,
    Gravity,
    Swap,
    Store,
    Recall,
    SecondFunction,
    // The 2nd functions: their keys run with the 2nd function on.
    YtoX,
    XRootY,
    TenToX,
    EtoX,
    ArcSin,
    ArcCos,
    ArcTan,
    CircleArea,
    // Units, modes, clipboard, reset.
    SelectUnits,
    ConvertUnits,
    DirectConvert,
    UnitSystemSI,
    UnitSystemUS,
    AutoConvert, // turns AutoConvert over
    CalculatorMode,
    FreeFormMode,
    Copy,
    Paste,
    Reset,
};

// What a command word takes after it on the command line.
enum class CommandArg {
    None,
    Register, // a register digit, typed after the command as the next key
    Units,    // a unit text, chosen in the units selector
    OnOff,    // "on" or "off"
};

struct CommandInfo {
    Command command;
    std::string_view word; // korbcalc-cli's word, lower case; empty when it has none
    CommandArg arg;
    bool secondFunction; // the key runs with the 2nd function on
    void (*handler)(KorbCalc&);
};

// Every command once, in the order of the enumeration.
std::span<const CommandInfo> CommandTable();
const CommandInfo& Describe(Command command);
// The command of a command word (lower case); nothing for an unknown word.
std::optional<Command> CommandForWord(std::string_view word);
// Digit0..Digit9 for the digits 0..9; no other number is a digit key.
Command DigitCommand(int digit);
