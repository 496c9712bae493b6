// The calculator's command vocabulary: one name for each thing a key, a menu item, a keyboard
// shortcut or a command word does. The keypad, the menus, the keyboard map and korbcalc-cli all
// name a Command and run it through KorbCalc::Run, the one place every command passes.
#pragma once

#include <optional>
#include <span>
#include <string_view>

class KorbCalc;

// In the order the keypad help describes them.
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
    Enter,
    Backspace,
    Delete,
    ChangeSign,
    Add,
    Subtract,
    Multiply,
    Divide,
    SquareRoot,
    Square,
    Reciprocal,
    Pi,
    Gravity,
    Sin,
    Cos,
    Tan,
    Log,
    Ln,
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
    Undo,
    Redo,
};

// What a command word takes after it on the command line.
enum class CommandArg {
    None,
    Register, // a register digit, typed after the command as the next key
    Units,    // a unit text, chosen in the units selector
    OnOff,    // "on" or "off"
};

// How the keypad shows a command: its key, or for a 2nd function the picture above the key.
struct KeyFace {
    std::string_view caption; // UTF-8
    std::string_view tip;     // tool tip and accessible name; empty: the caption names the key
};

// Where the keypad help describes a command.
enum class HelpGroup {
    None,            // elsewhere, or in the help's own text
    EntryKeys,       // a row of the entry keys' table
    Operations,      // a row of the operations' table
    SecondFunctions, // a phrase in the list of the 2nd functions
};

// The keypad help's words on a command, in HTML. The first command of a table row names the row's
// keys and says what they do; the others of the row leave both empty. A 2nd function's phrase
// says what it is and on which key ("e^x on ln").
struct KeyHelp {
    HelpGroup group = HelpGroup::None;
    std::string_view keys;     // the row's first cell, or the 2nd function's phrase
    std::string_view text;     // the row's second cell
    std::string_view keywords; // the help index's entries, separated by ", "
};

struct CommandInfo {
    Command command;
    std::string_view word; // korbcalc-cli's word, lower case; empty when it has none
    CommandArg arg;
    bool secondFunction; // the key runs with the 2nd function on
    void (*handler)(KorbCalc&);
    KeyFace key; // empty for a command without a key or picture
    KeyHelp help;
};

// Every command once, in the order of the enumeration.
std::span<const CommandInfo> CommandTable();
const CommandInfo& Describe(Command command);
// The command of a command word (lower case); nothing for an unknown word.
std::optional<Command> CommandForWord(std::string_view word);
// Digit0..Digit9 for the digits 0..9; no other number is a digit key.
Command DigitCommand(int digit);
