// Arbitrary bytes as the three saved files: the engine starts on them, runs a few commands and
// closes; a second start on what was saved must show the same stack and registers (same values,
// same units). Nothing may crash, hang or leak.
//
// Input: "Meridot.ini", "SaveStck.dat", "SaveRegs.dat" and a command list, separated by "@@\n";
// a part that is not there is a missing file. Commands, one per line: "e<text>" enters a value,
// "+", "-", "*", "/" operate, "s<digit>" / "r<digit>" store and recall, "x" swaps, "d" deletes,
// "c" changes sign, "q" squares, "k" resets.
#include "calc/CalcView.h"
#include "calc/KorbCalc.h"
#include "settings/ValueStore.h"
#include "units/NumberUnits.h"

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <string_view>
#include <unistd.h>
#include <vector>

namespace {

namespace fs = std::filesystem;

class QuietView : public CalcView {
public:
    std::string DisplayText() const override { return display_; }
    void SetDisplayText(const std::string& text) override { display_ = text; }
    void ShowError(const std::string&) override {}
    void ShowMessage(const std::string&) override {}
    std::optional<std::string> RunUnitsSelector(const std::string&) override { return std::nullopt; }

private:
    std::string display_;
};

// The calculator keeps its files in the current directory. Each input works in a private one, in
// memory where the system has one (or in MERIDOT_FUZZ_WORKDIR), and goes back afterwards: the
// fuzzer's own paths are relative.
class InWorkDir {
public:
    InWorkDir() : old_(fs::current_path()) {
        static const fs::path dir = [] {
            // The replay test names a folder inside its own scratch space.
            if (const char* given = std::getenv("MERIDOT_FUZZ_WORKDIR")) {
                fs::create_directories(given);
                return fs::absolute(given);
            }
            const fs::path base =
                fs::is_directory("/dev/shm") ? fs::path("/dev/shm") : fs::temp_directory_path();
            fs::path d = base / ("meridot-fuzz-" + std::to_string(::getpid()));
            fs::create_directories(d);
            return d;
        }();
        fs::current_path(dir);
        for (const auto& entry : fs::directory_iterator(dir)) fs::remove_all(entry.path());
    }
    ~InWorkDir() { fs::current_path(old_); }
    InWorkDir(const InWorkDir&) = delete;
    InWorkDir& operator=(const InWorkDir&) = delete;

private:
    fs::path old_;
};

std::vector<std::string_view> Split(std::string_view input, std::string_view marker) {
    std::vector<std::string_view> parts;
    for (;;) {
        const auto at = input.find(marker);
        parts.push_back(input.substr(0, at));
        if (at == std::string_view::npos) return parts;
        input.remove_prefix(at + marker.size());
    }
}

void Run(KorbCalc& calc, std::string_view commands) {
    int count = 0;
    for (std::string_view line : Split(commands, "\n")) {
        if (line.empty() || ++count > 16) continue;
        const std::string arg(line.substr(1));
        const int digit = arg.empty() ? 0 : static_cast<unsigned char>(arg[0]) % 12 - 1; // -1..10
        switch (line[0]) {
        case 'e':
            calc.EnterText(arg);
            break;
        case '+':
        case '-':
            calc.BtnAddSubtractClick(line[0] == '+' ? KeyTag::Add : KeyTag::Subtract);
            break;
        case '*':
        case '/':
            calc.BtnMulDivClick(line[0] == '*' ? KeyTag::Multiply : KeyTag::Divide);
            break;
        case 's':
        case 'r':
            // STO or RCL, then the key that names the register (not always a digit).
            if (line[0] == 's')
                calc.BtnSTOClick();
            else
                calc.BtnRCLClick();
            calc.keyPress(static_cast<char>('0' + digit));
            break;
        case 'x':
            calc.StackTopFlipBtnClick();
            break;
        case 'd':
            calc.BtnDelClick();
            break;
        case 'c':
            calc.BtnCHSClick();
            break;
        case 'q':
            calc.xsqrBtnClick();
            break;
        case 'k':
            calc.ResetCalculator();
            break;
        default:
            break;
        }
    }
}

const Settings& SettingsOf(const KorbCalc& calc) {
    return calc.CurrentSettings();
}

void Start(KorbCalc& calc) {
    calc.FormShow(true);
    calc.LoadSavedStack();
    calc.LoadSavedRegisters();
}

struct Value {
    bool ok = false;
    double number = 0;
    std::string units;
};

Value ValueOf(const std::string& text) {
    TNumberUnits q;
    Value v;
    v.ok = q.SetText(text) && !q.Empty;
    v.number = q.GetValue();
    v.units = q.GetUnits();
    return v;
}

void ExpectSame(const std::string& before, const std::string& after, const char* what, std::size_t index) {
    const Value a = ValueOf(before), b = ValueOf(after);
    if (a.ok == b.ok && (!a.ok || (a.number == b.number && a.units == b.units))) return;
    std::fprintf(stderr, "%s %zu was \"%s\" and came back as \"%s\"\n", what, index, before.c_str(),
                 after.c_str());
    std::abort();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static const bool ready = [] {
        InitUnitTables();
        return true;
    }();
    (void)ready;
    const InWorkDir here;
    const auto parts = Split(std::string_view(reinterpret_cast<const char*>(data), size), "@@\n");
    const char* names[] = {"Meridot.ini", "SaveStck.dat", "SaveRegs.dat"};
    for (std::size_t i = 0; i < 3 && i < parts.size(); ++i)
        std::ofstream(names[i], std::ios::binary)
            .write(parts[i].data(), static_cast<std::streamsize>(parts[i].size()));

    QuietView view;
    MemoryValueStore store;
    std::vector<std::string> stack;
    StackCalc::Registers registers;
    {
        KorbCalc first(view, store);
        Start(first);
        if (parts.size() > 3) Run(first, parts[3]);
        if (SettingsOf(first).SavePrefs == 0) return 0; // nothing is saved
        stack = first.Stack().FPStack();
        registers = first.Stack().CopyRegisters();
        first.FormClose();
    }
    KorbCalc second(view, store);
    Start(second);
    const Settings& s = SettingsOf(second);
    if (s.SaveStack != 0) {
        const auto& again = second.Stack().FPStack();
        if (again.size() != stack.size()) {
            std::fprintf(stderr, "%zu stack entries came back as %zu\n", stack.size(), again.size());
            std::abort();
        }
        for (std::size_t i = 0; i < stack.size(); ++i) ExpectSame(stack[i], again[i], "stack entry", i);
    }
    if (s.SaveRegs != 0)
        for (int i = 0; i < StackCalc::RegisterCount; ++i) {
            const std::string& before = registers[static_cast<std::size_t>(i)];
            ExpectSame(before.empty() || before == " " ? "0" : before, second.Stack().Register(i), "register",
                       static_cast<std::size_t>(i));
        }
    return 0;
}
