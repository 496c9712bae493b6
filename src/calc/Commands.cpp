#include "calc/Commands.h"

#include <algorithm>
#include <array>
#include <cassert>
#include <cstddef>
#include <cstdint>
#include <utility>

#include "calc/KorbCalc.h"

namespace {

using C = Command;
using A = CommandArg;

template <int N> void Digit(KorbCalc& k) {
    k.NumBtnClick(N);
}

// The keys that carry a 2nd function: their rows and the 2nd functions' rows share these.
void PressSquare(KorbCalc& k) {
    k.xsqrBtnClick();
}
void PressSquareRoot(KorbCalc& k) {
    k.SqrRtBtnClick();
}
void PressLog(KorbCalc& k) {
    k.LogBtnClick();
}
void PressLn(KorbCalc& k) {
    k.LnBtnClick();
}
void PressSin(KorbCalc& k) {
    k.BtnSINCOSTANClick(TrigKey::Sin);
}
void PressCos(KorbCalc& k) {
    k.BtnSINCOSTANClick(TrigKey::Cos);
}
void PressTan(KorbCalc& k) {
    k.BtnSINCOSTANClick(TrigKey::Tan);
}
void PressPi(KorbCalc& k) {
    k.BtnPIClick();
}

// A key's caption and tip, and what the keypad help says of it.
constexpr KeyFace Key(std::string_view caption, std::string_view tip) {
    return {caption, tip};
}
constexpr KeyHelp Help(HelpGroup group, std::string_view keys, std::string_view text,
                       std::string_view keywords) {
    return {group, keys, text, keywords};
}
// A key described in the row of another.
constexpr KeyHelp Keywords(HelpGroup group, std::string_view keywords) {
    return {group, {}, {}, keywords};
}
constexpr KeyFace NoKey{};
constexpr KeyHelp NoHelp{};

using H = HelpGroup;

// A 2nd-function row names its key's handler; Run turns the 2nd function on first.
constexpr CommandInfo Table[] = {
    {C::Digit0, "", A::None, false, Digit<0>, Key("0", ""),
     Help(H::EntryKeys, "0-9, .", "type digits and the decimal point", "")},
    {C::Digit1, "", A::None, false, Digit<1>, Key("1", ""), NoHelp},
    {C::Digit2, "", A::None, false, Digit<2>, Key("2", ""), NoHelp},
    {C::Digit3, "", A::None, false, Digit<3>, Key("3", ""), NoHelp},
    {C::Digit4, "", A::None, false, Digit<4>, Key("4", ""), NoHelp},
    {C::Digit5, "", A::None, false, Digit<5>, Key("5", ""), NoHelp},
    {C::Digit6, "", A::None, false, Digit<6>, Key("6", ""), NoHelp},
    {C::Digit7, "", A::None, false, Digit<7>, Key("7", ""), NoHelp},
    {C::Digit8, "", A::None, false, Digit<8>, Key("8", ""), NoHelp},
    {C::Digit9, "", A::None, false, Digit<9>, Key("9", ""), NoHelp},
    {C::Dot, "", A::None, false, [](KorbCalc& k) { k.BtnDotClick(); }, Key(".", ""), NoHelp},
    {C::Enter, "enter", A::None, false, [](KorbCalc& k) { k.BtnEnterClick(); },
     Key("\u21B5", "Push Display to Stack"),
     Help(H::EntryKeys, "Enter",
          "push the display onto the stack; with the top of the stack displayed, push a copy of it",
          "Enter")},
    {C::Backspace, "", A::None, false, [](KorbCalc& k) { k.BtnBSClick(); }, Key("BS", "Backspace"),
     Help(H::EntryKeys, "BS", "remove the last character", "BS, backspace")},
    {C::Delete, "drop", A::None, false, [](KorbCalc& k) { k.BtnDelClick(); }, Key("DEL", "Delete From Stack"),
     Help(H::EntryKeys, "DEL", "discard the value being typed, or drop the top of the stack", "DEL, delete")},
    {C::ChangeSign, "chs", A::None, false, [](KorbCalc& k) { k.BtnCHSClick(); },
     Key("\u00B1", "Change Algebraic Sign"),
     Help(H::EntryKeys, "+/&minus;", "push the value with its sign changed", "change sign, +/-")},
    {C::Add, "+", A::None, false, [](KorbCalc& k) { k.BtnAddSubtractClick(KeyTag::Add); }, Key("+", "Add"),
     Help(H::Operations, "+ &minus; &times; &divide;",
          "Y + X, Y &minus; X, Y &times; X, Y &divide; X. Addition and subtraction convert X into Y's units; "
          "the result keeps Y's units. Multiplication and division combine the units.",
          "")},
    {C::Subtract, "-", A::None, false, [](KorbCalc& k) { k.BtnAddSubtractClick(KeyTag::Subtract); },
     Key("\u2212", "Subtract"), NoHelp},
    {C::Multiply, "*", A::None, false, [](KorbCalc& k) { k.BtnMulDivClick(KeyTag::Multiply); },
     Key("\u00D7", "Multiply"), NoHelp},
    {C::Divide, "/", A::None, false, [](KorbCalc& k) { k.BtnMulDivClick(KeyTag::Divide); },
     Key("\u00F7", "Divide"), NoHelp},
    {C::SquareRoot, "sqrt", A::None, false, PressSquareRoot, Key("\u221Ax", "Square Root"),
     Help(H::Operations, "&radic;x, x&sup2;, 1/x",
          "square root, square and reciprocal of X, units included (&radic; of 4 m^2 is 2 m)",
          "square root")},
    {C::Square, "sqr", A::None, false, PressSquare, Key("x\u00B2", "Squared"),
     Keywords(H::Operations, "squared")},
    {C::Reciprocal, "inv", A::None, false, [](KorbCalc& k) { k.xtoNeg1BtnClick(); }, Key("1/x", "Reciprocal"),
     Keywords(H::Operations, "reciprocal")},
    {C::Pi, "pi", A::None, false, PressPi, Key("\u03C0", "Pi"),
     Help(H::Operations, "&pi;, g", "push pi, or the acceleration of gravity in the current unit system",
          "pi")},
    {C::Gravity, "g", A::None, false, [](KorbCalc& k) { k.GravityBtnClick(); },
     Key("g", "Acceleration of Gravity"), Keywords(H::Operations, "g, gravity")},
    {C::Sin, "sin", A::None, false, PressSin, Key("sin", "sine"),
     Help(H::Operations, "sin, cos, tan",
          "trigonometric functions; X must be an angle or a plain number, which counts in the default angle "
          "unit (see <a href=\"preferences.html\">Preferences</a>)",
          "sin")},
    {C::Cos, "cos", A::None, false, PressCos, Key("cos", "cosine"), Keywords(H::Operations, "cos")},
    {C::Tan, "tan", A::None, false, PressTan, Key("tan", "tangent"), Keywords(H::Operations, "tan")},
    {C::Log, "log", A::None, false, PressLog, Key("log", "Log"),
     Help(H::Operations, "log, ln", "common and natural logarithm of a plain number", "log")},
    {C::Ln, "ln", A::None, false, PressLn, Key("ln", "Natural Log"), Keywords(H::Operations, "ln")},
    {C::Swap, "swap", A::None, false, [](KorbCalc& k) { k.StackTopFlipBtnClick(); },
     Key("x\u21C4y", "Swap Top Two Stack Items F12"),
     Help(H::Operations, "x&hArr;y", "swap X and Y (F12)", "swap, X<=>Y")},
    {C::Store, "sto", A::Register, false, [](KorbCalc& k) { k.BtnSTOClick(); },
     Key("STO", "Store to Register F7"),
     Help(H::Operations, "STO, RCL",
          "store X in a register or recall a register: press the key, then a digit 0-9 (F7, F8)", "STO")},
    {C::Recall, "rcl", A::Register, false, [](KorbCalc& k) { k.BtnRCLClick(); },
     Key("RCL", "Recall from Register F8"), Keywords(H::Operations, "RCL")},
    {C::SecondFunction, "", A::None, false, [](KorbCalc& k) { k.SecondFBtnClick(); },
     Key("2nd", "2nd Function F2"), Keywords(H::None, "2nd function")},
    {C::YtoX, "y^x", A::None, true, PressSquare, Key("y\u02E3", "Y to the Power of X"),
     Help(H::SecondFunctions, "y^x on x&sup2;", "", "y^x")},
    {C::XRootY, "root", A::None, true, PressSquareRoot, Key("\u02E3\u221Ay", "Root of Y"),
     Help(H::SecondFunctions, "the x-th root of y on &radic;x", "", "root")},
    {C::TenToX, "10^x", A::None, true, PressLog, Key("10\u02E3", "10 to the Power of X"),
     Help(H::SecondFunctions, "10^x on log", "", "10^x")},
    {C::EtoX, "e^x", A::None, true, PressLn, Key("e\u02E3", "E to the Power of X"),
     Help(H::SecondFunctions, "e^x on ln", "", "e^x")},
    {C::ArcSin, "asin", A::None, true, PressSin, Key("sin\u207B\u00B9", "Arcsine"),
     Help(H::SecondFunctions, "arcsine, arccosine and arctangent on sin, cos and tan", "", "arcsine")},
    {C::ArcCos, "acos", A::None, true, PressCos, Key("cos\u207B\u00B9", "Arccosine"),
     Keywords(H::SecondFunctions, "arccosine")},
    {C::ArcTan, "atan", A::None, true, PressTan, Key("tan\u207B\u00B9", "Arctangent"),
     Keywords(H::SecondFunctions, "arctangent")},
    {C::CircleArea, "area", A::None, true, PressPi,
     Key("\u03C0d\u00B2/4", "Area of a Circle, Given Diameter"),
     Help(H::SecondFunctions, "the area of a circle from its diameter on &pi;", "", "area of a circle")},
    {C::SelectUnits, "units", A::Units, false, [](KorbCalc& k) { k.SelectUnitsBtnClick(); },
     Key("Select Units \u25B8", "Units Selector Menu F9"), NoHelp},
    {C::ConvertUnits, "conv", A::Units, false, [](KorbCalc& k) { k.ConvertUnitsBtnClick(); },
     Key("Convert Units \u21C4", "Units Converter Menu F10"), NoHelp},
    {C::DirectConvert, "direct", A::None, false, [](KorbCalc& k) { k.ConvertStackBtnClick(); },
     Key("\u21E5", "Convert to Top of Stack Units F11"), NoHelp},
    {C::UnitSystemSI, "si", A::None, false, [](KorbCalc& k) { k.SIBtnClick(); }, NoKey, NoHelp},
    {C::UnitSystemUS, "us", A::None, false, [](KorbCalc& k) { k.USBtnClick(); }, NoKey, NoHelp},
    {C::AutoConvert, "autoconv", A::OnOff, false, [](KorbCalc& k) { k.AutoConvert1Click(); }, NoKey, NoHelp},
    {C::CalculatorMode, "", A::None, false, [](KorbCalc& k) { k.Calculator1Click(); }, NoKey, NoHelp},
    {C::FreeFormMode, "", A::None, false, [](KorbCalc& k) { k.FreeForm1Click(); }, NoKey, NoHelp},
    {C::Copy, "", A::None, false, [](KorbCalc& k) { k.Copy1Click(); }, NoKey, NoHelp},
    {C::Paste, "", A::None, false, [](KorbCalc& k) { k.Paste1Click(); }, NoKey, NoHelp},
    {C::Reset, "clear", A::None, false, [](KorbCalc& k) { k.ResetCalculator(); }, NoKey, NoHelp},
    {C::Undo, "undo", A::None, false, [](KorbCalc& k) { k.Undo(); }, NoKey, NoHelp},
    {C::Redo, "redo", A::None, false, [](KorbCalc& k) { k.Redo(); }, NoKey, NoHelp},
};

constexpr bool InEnumOrder() {
    for (std::size_t i = 0; i < std::size(Table); ++i)
        if (static_cast<std::size_t>(Table[i].command) != i) return false;
    return std::size(Table) == static_cast<std::size_t>(Command::Redo) + 1;
}
static_assert(InEnumOrder(), "one row per command, in the order of the enumeration");

// The command words in sorted order, for a quick look-up of each line the command line reads.
constexpr std::size_t WordCount() {
    std::size_t n = 0;
    for (const CommandInfo& info : Table) n += info.word.empty() ? 0 : 1;
    return n;
}
constexpr auto WordIndex = [] {
    std::array<std::pair<std::string_view, Command>, WordCount()> index{};
    std::size_t n = 0;
    for (const CommandInfo& info : Table)
        if (!info.word.empty()) index[n++] = {info.word, info.command};
    std::sort(index.begin(), index.end());
    return index;
}();
// For each first character, where the words starting with it lie in WordIndex: most entries are
// numbers, whose first characters start no word.
constexpr auto WordsByFirst = [] {
    std::array<std::pair<std::uint8_t, std::uint8_t>, 256> ranges{};
    for (std::size_t i = 0; i < WordIndex.size(); ++i) {
        auto& range = ranges[static_cast<unsigned char>(WordIndex[i].first[0])];
        if (range.first == range.second) range.first = static_cast<std::uint8_t>(i);
        range.second = static_cast<std::uint8_t>(i + 1);
    }
    return ranges;
}();
static_assert(std::size(Table) < 256, "word positions fit a byte");

} // namespace

std::span<const CommandInfo> CommandTable() {
    return Table;
}

const CommandInfo& Describe(Command command) {
    return Table[static_cast<std::size_t>(command)];
}

std::optional<Command> CommandForWord(std::string_view word) {
    if (word.empty()) return std::nullopt;
    const auto [first, last] = WordsByFirst[static_cast<unsigned char>(word[0])];
    for (std::size_t i = first; i < last; ++i)
        if (WordIndex[i].first == word) return WordIndex[i].second;
    return std::nullopt;
}

Command DigitCommand(int digit) {
    assert(digit >= 0 && digit <= 9);
    return static_cast<Command>(static_cast<int>(Command::Digit0) + digit);
}
