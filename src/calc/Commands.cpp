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

// A 2nd-function row names its key's handler; Run turns the 2nd function on first.
constexpr CommandInfo Table[] = {
    {C::Digit0, "", A::None, false, Digit<0>},
    {C::Digit1, "", A::None, false, Digit<1>},
    {C::Digit2, "", A::None, false, Digit<2>},
    {C::Digit3, "", A::None, false, Digit<3>},
    {C::Digit4, "", A::None, false, Digit<4>},
    {C::Digit5, "", A::None, false, Digit<5>},
    {C::Digit6, "", A::None, false, Digit<6>},
    {C::Digit7, "", A::None, false, Digit<7>},
    {C::Digit8, "", A::None, false, Digit<8>},
    {C::Digit9, "", A::None, false, Digit<9>},
    {C::Dot, "", A::None, false, [](KorbCalc& k) { k.BtnDotClick(); }},
    {C::Backspace, "", A::None, false, [](KorbCalc& k) { k.BtnBSClick(); }},
    {C::Delete, "drop", A::None, false, [](KorbCalc& k) { k.BtnDelClick(); }},
    {C::Enter, "enter", A::None, false, [](KorbCalc& k) { k.BtnEnterClick(); }},
    {C::ChangeSign, "chs", A::None, false, [](KorbCalc& k) { k.BtnCHSClick(); }},
    {C::Add, "+", A::None, false, [](KorbCalc& k) { k.BtnAddSubtractClick(KeyTag::Add); }},
    {C::Subtract, "-", A::None, false, [](KorbCalc& k) { k.BtnAddSubtractClick(KeyTag::Subtract); }},
    {C::Multiply, "*", A::None, false, [](KorbCalc& k) { k.BtnMulDivClick(KeyTag::Multiply); }},
    {C::Divide, "/", A::None, false, [](KorbCalc& k) { k.BtnMulDivClick(KeyTag::Divide); }},
    {C::Square, "sqr", A::None, false, PressSquare},
    {C::SquareRoot, "sqrt", A::None, false, PressSquareRoot},
    {C::Reciprocal, "inv", A::None, false, [](KorbCalc& k) { k.xtoNeg1BtnClick(); }},
    {C::Log, "log", A::None, false, PressLog},
    {C::Ln, "ln", A::None, false, PressLn},
    {C::Sin, "sin", A::None, false, PressSin},
    {C::Cos, "cos", A::None, false, PressCos},
    {C::Tan, "tan", A::None, false, PressTan},
    {C::Pi, "pi", A::None, false, PressPi},
    {C::Gravity, "g", A::None, false, [](KorbCalc& k) { k.GravityBtnClick(); }},
    {C::Swap, "swap", A::None, false, [](KorbCalc& k) { k.StackTopFlipBtnClick(); }},
    {C::Store, "sto", A::Register, false, [](KorbCalc& k) { k.BtnSTOClick(); }},
    {C::Recall, "rcl", A::Register, false, [](KorbCalc& k) { k.BtnRCLClick(); }},
    {C::SecondFunction, "", A::None, false, [](KorbCalc& k) { k.SecondFBtnClick(); }},
    {C::YtoX, "y^x", A::None, true, PressSquare},
    {C::XRootY, "root", A::None, true, PressSquareRoot},
    {C::TenToX, "10^x", A::None, true, PressLog},
    {C::EtoX, "e^x", A::None, true, PressLn},
    {C::ArcSin, "asin", A::None, true, PressSin},
    {C::ArcCos, "acos", A::None, true, PressCos},
    {C::ArcTan, "atan", A::None, true, PressTan},
    {C::CircleArea, "area", A::None, true, PressPi},
    {C::SelectUnits, "units", A::Units, false, [](KorbCalc& k) { k.SelectUnitsBtnClick(); }},
    {C::ConvertUnits, "conv", A::Units, false, [](KorbCalc& k) { k.ConvertUnitsBtnClick(); }},
    {C::DirectConvert, "direct", A::None, false, [](KorbCalc& k) { k.ConvertStackBtnClick(); }},
    {C::UnitSystemSI, "si", A::None, false, [](KorbCalc& k) { k.SIBtnClick(); }},
    {C::UnitSystemUS, "us", A::None, false, [](KorbCalc& k) { k.USBtnClick(); }},
    {C::AutoConvert, "autoconv", A::OnOff, false, [](KorbCalc& k) { k.AutoConvert1Click(); }},
    {C::CalculatorMode, "", A::None, false, [](KorbCalc& k) { k.Calculator1Click(); }},
    {C::FreeFormMode, "", A::None, false, [](KorbCalc& k) { k.FreeForm1Click(); }},
    {C::Copy, "", A::None, false, [](KorbCalc& k) { k.Copy1Click(); }},
    {C::Paste, "", A::None, false, [](KorbCalc& k) { k.Paste1Click(); }},
    {C::Reset, "clear", A::None, false, [](KorbCalc& k) { k.ResetCalculator(); }},
    {C::Undo, "undo", A::None, false, [](KorbCalc& k) { k.Undo(); }},
    {C::Redo, "redo", A::None, false, [](KorbCalc& k) { k.Redo(); }},
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
