#include "cli/CliCommands.h"

#include <cassert>
#include <string_view>

#include "calc/KorbCalc.h"
#include "cli/ConsoleView.h"
#include "cli/Output.h"
#include "settings/TextTrim.h"
#include "units/QuantityMath.h"

namespace {

// The text in lower case (command words are ASCII), written to out, which has room for it.
std::string_view LowerInto(std::string_view text, char* out) {
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char ch = text[i];
        out[i] = ch >= 'A' && ch <= 'Z' ? static_cast<char>(ch - 'A' + 'a') : ch;
    }
    return {out, text.size()};
}

std::string Lower(std::string_view text) {
    std::string lower(text.size(), '\0');
    LowerInto(text, lower.data());
    return lower;
}

// An answer line ends at its last character: a unitless value's display text ends in a blank,
// which a script reading the answer would keep.
std::string_view Line(std::string_view text) {
    return TrimEnd(text, Spaces::LineBreaks);
}

} // namespace

void CliRunner::Run(const std::string& rawEntry) {
    const std::string_view entry = Trim(rawEntry, Spaces::LineBreaks);
    if (entry.empty()) return;
    std::size_t blank = 0;
    while (blank < entry.size() && !IsSpace(entry[blank], Spaces::Blanks)) ++blank;
    const std::string_view arg = Trim(entry.substr(blank), Spaces::LineBreaks);
    // Command words are short: a longer first word is the number of a quantity.
    char lowered[16];
    const std::string_view word =
        blank <= sizeof lowered ? LowerInto(entry.substr(0, blank), lowered) : std::string_view();

    if (word == "print" && arg.empty()) {
        Print();
        return;
    }
    if (const auto command = CommandForWord(word)) {
        const CommandInfo& info = Describe(*command);
        if (info.arg == CommandArg::OnOff) {
            const std::string lowerArg = Lower(arg);
            if (lowerArg == "on" || lowerArg == "off") {
                RunCommand(info, lowerArg);
                return;
            }
        } else if (info.arg == CommandArg::None ? arg.empty() : !arg.empty()) {
            RunCommand(info, arg);
            return;
        }
        // not a well-formed command: try it as a quantity text
    }
    PushQuantity(entry.size() == rawEntry.size() ? rawEntry : std::string(entry));
}

void CliRunner::RunCommand(const CommandInfo& info, std::string_view arg) {
    // Each word runs with the 2nd function as its row says, and leaves it off.
    if (calc_.State().SecondFunction && !info.secondFunction) calc_.Run(Command::SecondFunction);
    switch (info.arg) {
    case CommandArg::None:
        calc_.Run(info.command);
        break;
    case CommandArg::Register: {
        assert(info.command == Command::Store || info.command == Command::Recall);
        // A register is one digit; anything else is an index that gives "Invalid register index".
        const int n = arg.size() == 1 && arg[0] >= '0' && arg[0] <= '9' ? arg[0] - '0' : -1;
        if (info.command == Command::Store)
            calc_.Store(n);
        else
            calc_.Recall(n);
        break;
    }
    case CommandArg::Units:
        assert(info.command == Command::SelectUnits || info.command == Command::ConvertUnits);
        if (info.command == Command::SelectUnits)
            calc_.SelectUnits(std::string(arg));
        else
            calc_.ConvertTop(std::string(arg));
        break;
    case CommandArg::OnOff:
        // The command turns AutoConvert over; it runs only when the setting is to change.
        if (AutoConvert != (arg == "on")) calc_.Run(info.command);
        break;
    }
    if (calc_.State().SecondFunction)
        calc_.Run(Command::SecondFunction); // e.g. left on by an undefined tangent
}

void CliRunner::PushQuantity(const std::string& text) {
    // A bad entry is reported, and the display goes back to the stack top for the next entry.
    calc_.TypeAndEnter(text);
}

const std::string& CliRunner::Text(int index) const {
    const StackCalc& stack = calc_.Stack();
    return fullTexts_ ? stack.FullText(index) : stack.DisplayText(index);
}

void CliRunner::Print() {
    const int count = calc_.Stack().Count();
    if (count == 0)
        out_ << Line(view_.DisplayText()) << '\n';
    else
        out_ << Line(Text(count - 1)) << '\n';
    printed_ = true;
}

void CliRunner::WriteStack() const {
    for (int i = 0; i < calc_.Stack().Count(); ++i) out_ << Line(Text(i)) << '\n';
}
