#include "cli/CliOptions.h"

#include "settings/TextTrim.h"
#include "units/AngleUnits.h"

#include <algorithm>
#include <array>
#include <cctype>
#include <map>
#include <utility>

const char* const CliUsage = R"(Usage: korbcalc-cli [options] [ENTRY...]
Runs each ENTRY (or, with none, each line of standard input): a command word such as
+ - * / swap drop sqrt sin "conv psi" "sto 3", or a quantity to push ("12 ft/sec^2").
Then writes the stack, bottom to top, unless a "print" entry wrote the top.
"korbcalc-cli units [TEXT]" lists the unit names (and aliases, prefixed units) matching TEXT.

Options:
  --si | --us                  unit system for preferred units and gravity
  --autoconvert on|off         convert products, quotients and powers to preferred units
  --angle rad|deg|grad|rev     angle unit of plain numbers in trigonometry
  --notation general|scientific|fixed|number|currency|engineering
  --places N                   decimal places, 0 to 15
  --prefer UNIT                show results of UNIT's kind in UNIT (current unit system,
                               this run only; may be given again for other kinds)
  --full                       write full-precision texts instead of display texts
  --strict                     stop at the first error
  --session                    keep Meridot.ini, SaveStck.dat and SaveRegs.dat in the
                               current directory, as the program does
  --help                       this text

Exit status: 0 success, 1 an error (reported on standard error), 2 bad usage.
Every word, option and an example or two: man korbcalc-cli (korbcalc-cli(1)).
)";

namespace {

int IndexOf(const std::vector<std::string>& names, const std::string& name) {
    const auto it = std::find(names.begin(), names.end(), name);
    return it == names.end() ? -1 : static_cast<int>(it - names.begin());
}

std::string LowerTrimmed(const std::string& text) {
    std::string word(Trim(text, Spaces::Blanks));
    std::transform(word.begin(), word.end(), word.begin(),
                   [](unsigned char ch) { return static_cast<char>(std::tolower(ch)); });
    return word;
}

} // namespace

bool ParseOptions(int argc, const char* const* argv, CliOptions& o) {
    static const std::vector<std::string> angles(AngleUnitNames.begin(), AngleUnitNames.end());
    static const std::vector<std::string> notations{"general", "scientific", "fixed",
                                                    "number",  "currency",   "engineering"};
    static const std::vector<std::string> onOff{"off", "on"};
    const std::map<std::string, std::pair<int*, const std::vector<std::string>*>> choices{
        {"--autoconvert", {&o.autoConvert, &onOff}},
        {"--angle", {&o.angle, &angles}},
        {"--notation", {&o.notation, &notations}}};
    const std::map<std::string, bool*> flags{
        {"--help", &o.help}, {"--session", &o.session}, {"--strict", &o.strict}, {"--full", &o.full}};
    bool optionsEnded = false;
    for (int i = 1; i < argc; ++i) {
        const std::string a = argv[i];
        if (!optionsEnded && a == "--") {
            optionsEnded = true;
            continue;
        }
        if (optionsEnded || a.size() < 3 || a.compare(0, 2, "--") != 0) {
            o.entries.push_back(a);
            continue;
        }
        if (auto f = flags.find(a); f != flags.end()) {
            *f->second = true;
        } else if (a == "--si" || a == "--us") {
            o.unitSystem = a == "--si" ? 1 : 0;
        } else if (auto c = choices.find(a); c != choices.end()) {
            if (i + 1 >= argc) return false;
            *c->second.first = IndexOf(*c->second.second, argv[++i]);
            if (*c->second.first < 0) return false;
        } else if (a == "--prefer") {
            if (i + 1 >= argc) return false;
            o.prefer.emplace_back(argv[++i]);
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

std::vector<std::string> PairArguments(const std::vector<std::string>& arguments) {
    static const std::array<const char*, 5> takesArgument{"sto", "rcl", "units", "conv", "autoconv"};
    std::vector<std::string> entries;
    for (size_t i = 0; i < arguments.size(); ++i) {
        const std::string word = LowerTrimmed(arguments[i]);
        const bool alone = std::find(takesArgument.begin(), takesArgument.end(), word) != takesArgument.end();
        if (alone && i + 1 < arguments.size()) {
            entries.push_back(arguments[i] + " " + arguments[i + 1]);
            ++i;
        } else {
            entries.push_back(arguments[i]);
        }
    }
    return entries;
}
