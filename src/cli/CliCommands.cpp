#include "cli/CliCommands.h"

#include <algorithm>
#include <cctype>
#include <ostream>

#include "calc/KorbCalc.h"
#include "cli/ConsoleView.h"

namespace {

enum class Arg { None, Register, Units, OnOff };

struct CommandWord {
    const char* word;
    Arg arg;
    bool secondFunction; // runs with the 2nd function on; the others with it off
    void (*run)(KorbCalc&, ConsoleView&, const std::string& arg);
};

void RegisterKey(KorbCalc& c, const std::string& arg) {
    // A register is one digit; anything else is the key that gives "Invalid register index".
    c.keyPress(arg.size() == 1 ? arg[0] : '?');
}

const CommandWord Words[] = {
    {"enter", Arg::None, false, [](KorbCalc& c, ConsoleView&, const std::string&) { c.BtnEnterClick(); }},
    {"drop", Arg::None, false, [](KorbCalc& c, ConsoleView&, const std::string&) { c.BtnDelClick(); }},
    {"chs", Arg::None, false, [](KorbCalc& c, ConsoleView&, const std::string&) { c.BtnCHSClick(); }},
    {"+", Arg::None, false,
     [](KorbCalc& c, ConsoleView&, const std::string&) { c.BtnAddSubtractClick(KeyTag::Add); }},
    {"-", Arg::None, false,
     [](KorbCalc& c, ConsoleView&, const std::string&) { c.BtnAddSubtractClick(KeyTag::Subtract); }},
    {"*", Arg::None, false,
     [](KorbCalc& c, ConsoleView&, const std::string&) { c.BtnMulDivClick(KeyTag::Multiply); }},
    {"/", Arg::None, false,
     [](KorbCalc& c, ConsoleView&, const std::string&) { c.BtnMulDivClick(KeyTag::Divide); }},
    {"sqr", Arg::None, false, [](KorbCalc& c, ConsoleView&, const std::string&) { c.xsqrBtnClick(); }},
    {"sqrt", Arg::None, false, [](KorbCalc& c, ConsoleView&, const std::string&) { c.SqrRtBtnClick(); }},
    {"inv", Arg::None, false, [](KorbCalc& c, ConsoleView&, const std::string&) { c.xtoNeg1BtnClick(); }},
    {"y^x", Arg::None, true, [](KorbCalc& c, ConsoleView&, const std::string&) { c.xsqrBtnClick(); }},
    {"root", Arg::None, true, [](KorbCalc& c, ConsoleView&, const std::string&) { c.SqrRtBtnClick(); }},
    {"log", Arg::None, false, [](KorbCalc& c, ConsoleView&, const std::string&) { c.LogBtnClick(); }},
    {"ln", Arg::None, false, [](KorbCalc& c, ConsoleView&, const std::string&) { c.LnBtnClick(); }},
    {"10^x", Arg::None, true, [](KorbCalc& c, ConsoleView&, const std::string&) { c.LogBtnClick(); }},
    {"e^x", Arg::None, true, [](KorbCalc& c, ConsoleView&, const std::string&) { c.LnBtnClick(); }},
    {"sin", Arg::None, false,
     [](KorbCalc& c, ConsoleView&, const std::string&) { c.BtnSINCOSTANClick(TrigKey::Sin); }},
    {"cos", Arg::None, false,
     [](KorbCalc& c, ConsoleView&, const std::string&) { c.BtnSINCOSTANClick(TrigKey::Cos); }},
    {"tan", Arg::None, false,
     [](KorbCalc& c, ConsoleView&, const std::string&) { c.BtnSINCOSTANClick(TrigKey::Tan); }},
    {"asin", Arg::None, true,
     [](KorbCalc& c, ConsoleView&, const std::string&) { c.BtnSINCOSTANClick(TrigKey::Sin); }},
    {"acos", Arg::None, true,
     [](KorbCalc& c, ConsoleView&, const std::string&) { c.BtnSINCOSTANClick(TrigKey::Cos); }},
    {"atan", Arg::None, true,
     [](KorbCalc& c, ConsoleView&, const std::string&) { c.BtnSINCOSTANClick(TrigKey::Tan); }},
    {"pi", Arg::None, false, [](KorbCalc& c, ConsoleView&, const std::string&) { c.BtnPIClick(); }},
    {"area", Arg::None, true, [](KorbCalc& c, ConsoleView&, const std::string&) { c.BtnPIClick(); }},
    {"g", Arg::None, false, [](KorbCalc& c, ConsoleView&, const std::string&) { c.GravityBtnClick(); }},
    {"swap", Arg::None, false,
     [](KorbCalc& c, ConsoleView&, const std::string&) { c.StackTopFlipBtnClick(); }},
    {"sto", Arg::Register, false,
     [](KorbCalc& c, ConsoleView&, const std::string& a) {
         c.BtnSTOClick();
         RegisterKey(c, a);
     }},
    {"rcl", Arg::Register, false,
     [](KorbCalc& c, ConsoleView&, const std::string& a) {
         c.BtnRCLClick();
         RegisterKey(c, a);
     }},
    {"units", Arg::Units, false,
     [](KorbCalc& c, ConsoleView& v, const std::string& a) {
         v.ChooseUnits(a);
         c.SelectUnitsBtnClick();
     }},
    {"conv", Arg::Units, false,
     [](KorbCalc& c, ConsoleView& v, const std::string& a) {
         v.ChooseUnits(a);
         c.ConvertUnitsBtnClick();
     }},
    {"direct", Arg::None, false,
     [](KorbCalc& c, ConsoleView&, const std::string&) { c.ConvertStackBtnClick(); }},
    {"si", Arg::None, false, [](KorbCalc& c, ConsoleView&, const std::string&) { c.SIBtnClick(); }},
    {"us", Arg::None, false, [](KorbCalc& c, ConsoleView&, const std::string&) { c.USBtnClick(); }},
    {"autoconv", Arg::OnOff, false,
     [](KorbCalc& c, ConsoleView&, const std::string& a) { c.AutoConvertBtnClick(a == "on"); }},
    {"clear", Arg::None, false, [](KorbCalc& c, ConsoleView&, const std::string&) { c.ResetCalculator(); }},
};

std::string Lower(std::string text) {
    std::transform(text.begin(), text.end(), text.begin(),
                   [](unsigned char ch) { return static_cast<char>(std::tolower(ch)); });
    return text;
}

std::string Trim(const std::string& text) {
    const auto first = text.find_first_not_of(" \t\r\n");
    if (first == std::string::npos) return {};
    const auto last = text.find_last_not_of(" \t\r\n");
    return text.substr(first, last - first + 1);
}

} // namespace

void CliRunner::Run(const std::string& rawEntry) {
    const std::string entry = Trim(rawEntry);
    if (entry.empty()) return;
    const auto blank = entry.find_first_of(" \t");
    const std::string word = Lower(entry.substr(0, blank));
    const std::string arg = blank == std::string::npos ? std::string() : Trim(entry.substr(blank));

    if (word == "print" && arg.empty()) {
        Print();
        return;
    }
    for (const CommandWord& w : Words) {
        if (word != w.word) continue;
        const bool argOk = w.arg == Arg::None    ? arg.empty()
                           : w.arg == Arg::OnOff ? (Lower(arg) == "on" || Lower(arg) == "off")
                                                 : !arg.empty();
        if (!argOk) break; // not a well-formed command: try it as a quantity text
        if (calc_.SecondFunction != w.secondFunction) calc_.SecondFBtnClick();
        w.run(calc_, view_, w.arg == Arg::OnOff ? Lower(arg) : arg);
        if (calc_.SecondFunction) calc_.SecondFBtnClick(); // e.g. left on by an undefined tangent
        return;
    }
    PushQuantity(entry);
}

void CliRunner::PushQuantity(const std::string& text) {
    const int depth = calc_.Stack().Depth();
    view_.SetDisplayText(text);
    calc_.Entered = false;
    calc_.PointEntered = false;
    calc_.BtnEnterClick();
    if (calc_.Stack().Depth() == depth) {
        // Enter reported the bad entry; leave the display on the stack top for the next entry.
        view_.SetDisplayText("0");
        calc_.ShowStackTop();
        calc_.Entered = true;
    }
}

const std::string& CliRunner::Text(int index) const {
    const StackCalc& stack = calc_.Stack();
    return fullTexts_ ? stack.FullText(index) : stack.DisplayText(index);
}

void CliRunner::Print() {
    const int count = calc_.Stack().Count();
    out_ << (count == 0 ? view_.DisplayText() : Text(count - 1)) << '\n';
    printed_ = true;
}

void CliRunner::WriteStack() const {
    for (int i = 0; i < calc_.Stack().Count(); ++i) out_ << Text(i) << '\n';
}
