// The keyboard map: virtual-key codes with Shift and Ctrl to calculator commands, one table
// with a column for calculator mode and one for free-form mode. The windows translate their key
// events into these codes and hand them to KorbCalc::DisplayKeyDown.
#pragma once

#include <optional>

#include "calc/Commands.h"

namespace VK {
constexpr int Back = 8;
constexpr int Return = 13;
constexpr int Delete = 46;
constexpr int Digit0 = 48; // main-keyboard digits 48..57
constexpr int Digit9 = 57;
constexpr int LetterA = 65; // letters 65..90
constexpr int LetterZ = 90;
constexpr int Numpad0 = 96; // keypad digits 96..105
constexpr int Numpad9 = 105;
constexpr int Multiply = 106; // keypad *
constexpr int Add = 107;      // keypad +
constexpr int Subtract = 109; // keypad -
constexpr int Decimal = 110;  // keypad .
constexpr int Divide = 111;   // keypad /
constexpr int F1 = 112;       // F1..F12 are 112..123 (menu shortcuts, handled by the windows)
constexpr int F12 = 123;
constexpr int OemPlus = 187;   // = and + key
constexpr int OemMinus = 189;  // - and _ key
constexpr int OemPeriod = 190; // . and > key
constexpr int OemSlash = 191;  // / and ? key
} // namespace VK

enum class KeyAction {
    None,
    Run,          // the key's command (the digit keys' commands included)
    Type,         // keyPress(ch)
    ClearAndType, // clear Entered, then keyPress(ch)
    Letter,       // the key's letter, small without Shift, capital with it
    SwitchLetter, // calculator mode: switch to free-form mode (when SwitchToFF), then the letter
};

struct KeyCommand {
    KeyAction action = KeyAction::None;
    char ch = 0;                      // the character for Type / ClearAndType / Letter / SwitchLetter
    Command command = Command::Enter; // the command for Run
};

// The settings the map consults.
struct KeyOptions {
    bool copyOperators = false;
    bool subAsCHS = false;
    bool switchToFF = false;
};

// The command for a key in the given mode; KeyAction::None when the key means nothing there.
// With Ctrl held a key runs a command or nothing: it never types into the entry.
KeyCommand LookupKey(int key, bool shift, bool ctrl, bool calcMode, const KeyOptions& options);
