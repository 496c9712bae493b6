// The command words of korbcalc-cli and the runner that feeds entries to the engine.
#pragma once

#include <string>
#include <string_view>
#include <vector>

class KorbCalc;
class ConsoleView;
class Output;
struct CommandInfo;

class CliRunner {
public:
    CliRunner(KorbCalc& calc, ConsoleView& view, Output& out) : calc_(calc), view_(view), out_(out) {}

    // One entry: a command word (case-blind, with its argument) or a quantity text to push.
    void Run(const std::string& entry);
    // The stack's texts, bottom to top, one per line.
    void WriteStack() const;
    // Full-precision texts (as the data files hold them) instead of display texts.
    void SetFullTexts(bool on) { fullTexts_ = on; }
    // Whether a "print" entry has written the top.
    bool Printed() const { return printed_; }

private:
    void RunCommand(const CommandInfo& info, std::string_view arg);
    void PushQuantity(const std::string& text);
    void Print();
    const std::string& Text(int index) const; // of entry index, full or display text

    KorbCalc& calc_;
    ConsoleView& view_;
    Output& out_;
    bool fullTexts_ = false;
    bool printed_ = false;
};
