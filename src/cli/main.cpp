// korbcalc-cli: the calculator engine for scripts and quick work.
#include <iostream>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "calc/KorbCalc.h"
#include "cli/CliCommands.h"
#include "cli/ConsoleView.h"
#include "settings/QtValueStore.h"
#include "settings/ValueStore.h"
#include "units/AngleUnits.h"

namespace {

const char* const Usage = R"(Usage: korbcalc-cli [options] [ENTRY...]
Runs each ENTRY (or, with none, each line of standard input) as a calculator entry: a command
word or a quantity text to push ("12 ft/sec^2"). At the end the stack is written, bottom to top.

Options:
  --si | --us                  unit system for preferred units and gravity
  --autoconvert on|off         convert products, quotients and powers to preferred units
  --angle rad|deg|grad|rev     angle unit of plain numbers in trigonometry
  --notation general|scientific|fixed|number|currency
  --places N                   decimal places, 0 to 15
  --session                    read and save Meridot.ini, the stored values, SaveStck.dat and
                               SaveRegs.dat in the current directory, as the program does
  --help                       this text

Command words (case-blind): enter drop chs + - * / sqr sqrt inv y^x root log ln 10^x e^x
  sin cos tan asin acos atan pi area g swap sto N rcl N units U conv U direct si us
  autoconv on|off clear print
Every entry is pushed, so "units U" acts on the shown top value: the value stays and a copy
with units U is pushed above it; write "12 ft" to push a value with its units at once.
Errors go to standard error as "ERROR: message"; the exit status is 1 after any error.
)";

struct Options {
    bool session = false;
    int unitSystem = -1; // -1 unchanged, 1 SI, 0 U.S.
    int autoConvert = -1;
    int angle = -1;
    int notation = -1;
    int places = -1;
    std::vector<std::string> entries;
};

int IndexOf(const std::vector<std::string>& names, const std::string& name) {
    for (size_t i = 0; i < names.size(); ++i)
        if (names[i] == name) return static_cast<int>(i);
    return -1;
}

// False for a bad option or value.
bool ParseOptions(int argc, char** argv, Options& o, bool& help) {
    static const std::vector<std::string> angles(AngleUnitNames.begin(), AngleUnitNames.end());
    static const std::vector<std::string> notations{"general", "scientific", "fixed", "number", "currency"};
    static const std::vector<std::string> onOff{"off", "on"};
    const std::map<std::string, std::pair<int*, const std::vector<std::string>*>> choices{
        {"--autoconvert", {&o.autoConvert, &onOff}},
        {"--angle", {&o.angle, &angles}},
        {"--notation", {&o.notation, &notations}}};
    bool optionsEnded = false;
    for (int i = 1; i < argc; ++i) {
        const std::string a = argv[i];
        if (optionsEnded || a.size() < 3 || a.compare(0, 2, "--") != 0) {
            o.entries.push_back(a);
            continue;
        }
        if (a == "--") {
            optionsEnded = true;
        } else if (a == "--help") {
            help = true;
        } else if (a == "--session") {
            o.session = true;
        } else if (a == "--si" || a == "--us") {
            o.unitSystem = a == "--si" ? 1 : 0;
        } else if (auto c = choices.find(a); c != choices.end()) {
            if (i + 1 >= argc) return false;
            *c->second.first = IndexOf(*c->second.second, argv[++i]);
            if (*c->second.first < 0) return false;
        } else if (a == "--places") {
            if (i + 1 >= argc) return false;
            const std::string v = argv[++i];
            if (v.empty() || v.size() > 2 || v.find_first_not_of("0123456789") != std::string::npos)
                return false;
            o.places = std::stoi(v);
            if (o.places > 15) return false;
        } else {
            return false;
        }
    }
    return true;
}

void ApplyOptions(KorbCalc& calc, const Options& o) {
    if (o.autoConvert >= 0) calc.AutoConvertBtnClick(o.autoConvert == 1);
    if (o.unitSystem == 1) calc.SIBtnClick();
    if (o.unitSystem == 0) calc.USBtnClick();
    if (o.angle >= 0) calc.settings.AngularDefault = o.angle;
    if (o.notation >= 0) {
        calc.settings.FractNotation = o.notation;
        calc.Working().SetFormat(NotationFromInt(o.notation));
    }
    if (o.places >= 0) calc.settings.DecimalPlaces = o.places;
    calc.Stack().UpdateAll();
    calc.ShowStackTop();
}

} // namespace

int main(int argc, char** argv) {
    Options options;
    bool help = false;
    if (!ParseOptions(argc, argv, options, help)) {
        std::cerr << Usage;
        return 2;
    }
    if (help) {
        std::cout << Usage;
        return 0;
    }
    std::ios::sync_with_stdio(false);

    ConsoleView view(std::cerr);
    std::unique_ptr<ValueStore> store;
    if (options.session)
        store = std::make_unique<QtValueStore>();
    else
        store = std::make_unique<MemoryValueStore>();
    KorbCalc calc(view, *store);
    calc.FormShow(options.session);
    if (options.session) {
        calc.LoadSavedStack();
        calc.LoadSavedRegisters();
    }
    ApplyOptions(calc, options);

    CliRunner runner(calc, view, std::cout);
    if (!options.entries.empty()) {
        for (const std::string& entry : options.entries) runner.Run(entry);
    } else {
        std::string line;
        while (std::getline(std::cin, line)) runner.Run(line);
    }
    runner.WriteStack();
    if (options.session) calc.FormClose();
    std::cout.flush();
    return view.ErrorOccurred() ? 1 : 0;
}
