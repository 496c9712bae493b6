// The command words of korbcalc-cli and the runner that feeds entries to the engine.
#pragma once

#include <iosfwd>
#include <string>

class KorbCalc;
class ConsoleView;
struct CommandInfo;

class CliRunner {
public:
    CliRunner(KorbCalc& calc, ConsoleView& view, std::ostream& out) : calc_(calc), view_(view), out_(out) {}

    // One entry: a command word (case-blind, with its argument) or a quantity text to push.
    void Run(const std::string& entry);
    // The stack's display texts, bottom to top, one per line.
    void WriteStack() const;

private:
    void RunCommand(const CommandInfo& info, const std::string& arg);
    void PushQuantity(const std::string& text);
    void Print();

    KorbCalc& calc_;
    ConsoleView& view_;
    std::ostream& out_;
};
