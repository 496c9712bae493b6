#include "engine_corpus.h"

#include <array>
#include <memory>
#include <optional>
#include <vector>

#include "calc/CalcView.h"
#include "calc/KorbCalc.h"
#include "settings/ValueStore.h"
#include "units/NumberUnits.h"

namespace corpus {
namespace {

// A small generator of our own (splitmix64), so the corpus is the same on every platform and
// standard library.
class Random {
public:
    explicit Random(std::uint64_t seed) : state_(seed) {}
    std::uint64_t Next() {
        std::uint64_t z = (state_ += 0x9E3779B97F4A7C15ULL);
        z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ULL;
        z = (z ^ (z >> 27)) * 0x94D049BB133111EBULL;
        return z ^ (z >> 31);
    }
    int Below(int n) { return static_cast<int>(Next() % static_cast<std::uint64_t>(n)); }
    template <typename T, std::size_t N> const T& Pick(const std::array<T, N>& items) {
        return items[static_cast<std::size_t>(Below(static_cast<int>(N)))];
    }
    template <typename T> const T& Pick(const std::vector<T>& items) {
        return items[static_cast<std::size_t>(Below(static_cast<int>(items.size())))];
    }

private:
    std::uint64_t state_;
};

class CorpusView : public CalcView {
public:
    std::string DisplayText() const override { return display; }
    void SetDisplayText(const std::string& text) override { display = text; }
    void ShowError(const std::string& message) override { shown += " E:" + message; }
    void ShowMessage(const std::string& message) override { shown += " M:" + message; }
    std::optional<std::string> RunUnitsSelector(const std::string&) override { return answer; }

    std::string display;
    std::string shown;
    std::optional<std::string> answer;
};

// Units grouped by kind, so that additions and conversions mostly meet compatible operands.
using Family = std::vector<std::string>;
const std::vector<Family>& Families() {
    static const std::vector<Family> families{
        {"m", "ft", "in", "mi", "yd", "km", "cm", "mm", "fath", "mil", "furlong", "rod", "chain", "angs"},
        {"kg", "g", "lbm", "oz", "slug", "ton", "gr", "mton"},
        {"sec", "min", "hr", "day", "wk", "yr"},
        {"rad", "deg", "rev", "grad"},
        {"C", "F", "K", "R"},
        {"N", "kN", "lbf", "kip", "dyne", "Pndl", "kg*m/sec^2"},
        {"J", "BTU", "cal", "Kcal", "lbf*ft", "N*m", "erg", "lbf-ft"},
        {"W", "kW", "hp", "lbf*ft/sec", "N*m/sec", "J/sec"},
        {"l", "gal", "qt", "pt", "ft^3", "in^3", "m^3", "ml", "bbl", "ozfl"},
        {"m^2", "ft^2", "in^2", "Acre", "ha", "cm^2", "mi^2"},
        {"Pa", "KPa", "MPa", "psi", "psf", "ksi", "Atm", "Bar", "lbf/in^2", "N/m^2", "kg/m*sec^2"},
        {"m/sec", "ft/sec", "mi/hr", "km/hr", "in/min"},
        {"m/sec^2", "ft/sec^2", "m/sec/sec", "in/sec^2"},
        {"GPM", "m^3/sec", "l/min", "ft^3/min", "in^3/sec"},
        {"cP", "P", "lbf*sec/ft^2", "dyne*sec/cm^2"},
        {"St", "cSt", "ft^2/sec", "cm^2/sec"},
        {"RPM", "rad/sec", "deg/sec", "rev/min"},
        {"A", "Coul/sec"},
        {"V", "Ohm", "Farad", "Henry", "Coul", "Mole"},
        {"$US", "Number", "Piece", "Item"},
        {"m^0.5", "ft^0.5", "in^0.5", "cm^0.5"},
        {"sec^0.5", "min^0.5", "hr^0.5"},
        {"m^1.5", "ft^1.5", "in^1.5"},
        {"lbf/in^1.5", "N/m^1.5"},
        {"m^0.33", "ft^0.33"},
        {"/sec", "/min", "/hr"},
        {"", ""},
    };
    return families;
}

std::string NumberOf(Random& r) {
    static const std::array<const char*, 10> mantissas{"1",   "2.5",     "12",  "0.75",   "3.14159",
                                                       "100", "0.00042", "7.2", "1234.5", "9.80665"};
    switch (r.Below(10)) {
    case 0:
        return "0";
    case 1:
        return "-" + std::string(r.Pick(mantissas));
    case 2:
        return std::string(r.Pick(mantissas)) + "E" + std::to_string(r.Below(25) - 12);
    case 3:
        return std::to_string(r.Below(100000)) + "." + std::to_string(r.Below(1000));
    case 4:
        return std::to_string(r.Below(20) + 1);
    default:
        return r.Pick(mantissas);
    }
}

struct State {
    int family = 0; // kind of the value last entered, for conversions and sums
};

// One operation; gives its description and runs it.
std::string Operate(Random& r, KorbCalc& c, CorpusView& view, State& s) {
    const auto& families = Families();
    auto enter = [&](int family) {
        s.family = family;
        const std::string units = r.Pick(families[static_cast<std::size_t>(family)]);
        const std::string text = NumberOf(r) + (units.empty() ? "" : " " + units);
        c.EnterText(text);
        return text;
    };
    auto second = [&](const std::function<void()>& key) {
        c.SecondFBtnClick();
        key();
    };
    const int roll = r.Below(100);
    if (roll < 24) return "enter " + enter(r.Below(static_cast<int>(families.size())));
    if (roll < 34) { // a sum of two values of one kind, or of the last kind and any
        const std::string a = r.Below(3) == 0 ? std::string("-") : "enter " + enter(s.family);
        const std::string b = enter(r.Below(4) == 0 ? r.Below(static_cast<int>(families.size())) : s.family);
        const bool add = r.Below(2) == 0;
        c.BtnAddSubtractClick(add ? KeyTag::Add : KeyTag::Subtract);
        return a + " enter " + b + (add ? " +" : " -");
    }
    if (roll < 44) {
        const bool multiply = r.Below(2) == 0;
        c.BtnMulDivClick(multiply ? KeyTag::Multiply : KeyTag::Divide);
        return multiply ? "*" : "/";
    }
    if (roll < 52) {
        switch (r.Below(3)) {
        case 0:
            c.xsqrBtnClick();
            return "sqr";
        case 1:
            c.SqrRtBtnClick();
            return "sqrt";
        default:
            c.xtoNeg1BtnClick();
            return "inv";
        }
    }
    if (roll < 60) { // y^x and x-th root with a small exponent
        static const std::array<const char*, 8> exponents{"2", "3", "0.5", "-1", "4", "1.5", "-2", "0.25"};
        const std::string x = r.Pick(exponents);
        c.EnterText(x);
        const bool root = r.Below(2) == 0;
        second([&] { root ? c.SqrRtBtnClick() : c.xsqrBtnClick(); });
        return x + (root ? " root" : " y^x");
    }
    if (roll < 62) { // a root and the matching power in a row
        static const std::array<const char*, 3> exponents{"2", "3", "4"};
        const std::string x = r.Pick(exponents);
        c.EnterText(x);
        second([&] { c.SqrRtBtnClick(); });
        c.EnterText(x);
        second([&] { c.xsqrBtnClick(); });
        return x + " root " + x + " y^x";
    }
    if (roll < 72) {
        const Family& family = families[static_cast<std::size_t>(s.family)];
        view.answer = r.Pick(family);
        c.ConvertUnitsBtnClick();
        return "conv " + *view.answer;
    }
    if (roll < 75) {
        const Family& family = families[static_cast<std::size_t>(s.family)];
        const std::string target = "1 " + r.Pick(family);
        c.EnterText(target);
        c.ConvertStackBtnClick();
        return "enter " + target + " direct";
    }
    if (roll < 79) { // the units layer's preferred units, on the top entry
        if (c.Stack().IsEmpty()) return "preferred (empty)";
        TNumberUnits q;
        q.Digits = 15;
        std::string result = "preferred ";
        if (q.SetText(c.Stack().FullText(c.Stack().Count() - 1))) {
            q.ConvertToPreferred();
            result += q.GetText() + " | " + q.BaseUnitsText;
        } else {
            result += "no parse";
        }
        return result;
    }
    if (roll < 82) {
        static const std::array<TrigKey, 3> keys{TrigKey::Sin, TrigKey::Cos, TrigKey::Tan};
        const TrigKey key = r.Pick(keys);
        const bool inverse = r.Below(3) == 0;
        if (inverse)
            second([&] { c.BtnSINCOSTANClick(key); });
        else
            c.BtnSINCOSTANClick(key);
        return std::string(inverse ? "a" : "") + (key == TrigKey::Sin   ? "sin"
                                                  : key == TrigKey::Cos ? "cos"
                                                                        : "tan");
    }
    if (roll < 84) {
        switch (r.Below(4)) {
        case 0:
            c.LogBtnClick();
            return "log";
        case 1:
            c.LnBtnClick();
            return "ln";
        case 2:
            second([&] { c.LogBtnClick(); });
            return "10^x";
        default:
            second([&] { c.LnBtnClick(); });
            return "e^x";
        }
    }
    if (roll < 87) {
        switch (r.Below(4)) {
        case 0:
            c.BtnPIClick();
            return "pi";
        case 1:
            second([&] { c.BtnPIClick(); });
            return "area";
        case 2:
            c.GravityBtnClick();
            return "g";
        default:
            c.BtnCHSClick();
            return "chs";
        }
    }
    if (roll < 91) {
        if (r.Below(2) == 0) {
            c.StackTopFlipBtnClick();
            return "swap";
        }
        c.BtnDelClick();
        return "drop";
    }
    if (roll < 95) { // the number format, as the dialogs apply it
        static const std::array<int, 8> places{0, 1, 2, 3, 4, 7, 10, 15};
        const int notation = r.Below(5);
        const int digits = r.Pick(places);
        c.ApplyNumberFormat(notation, digits);
        c.ShowStackTop();
        std::string list;
        for (int i = 0; i < c.Stack().Count(); ++i) list += " [" + c.Stack().DisplayText(i) + "]";
        return "format " + std::to_string(notation) + " " + std::to_string(digits) + list;
    }
    if (roll < 98) {
        const bool on = r.Below(2) == 0;
        c.AutoConvertBtnClick(on);
        return on ? "autoconv on" : "autoconv off";
    }
    if (r.Below(2) == 0) {
        c.SIBtnClick();
        return "si";
    }
    c.USBtnClick();
    return "us";
}

} // namespace

void Run(int operations, std::uint64_t seed, const std::function<void(const Line&)>& sink) {
    constexpr int SequenceLength = 25;
    Random r(seed);
    for (int done = 0, sequence = 0; done < operations; ++sequence) {
        MemoryValueStore store;
        store.WriteInteger("AutoConvert", r.Below(2));
        store.WriteInteger("UnitSystem", r.Below(2));
        CorpusView view;
        auto calc = std::make_unique<KorbCalc>(view, store);
        calc->FormShow(false);
        const int notation = r.Below(5);
        calc->ApplyNumberFormat(notation, std::array{0, 2, 4, 7, 15}[static_cast<std::size_t>(r.Below(5))]);
        State state;
        for (int k = 0; k < SequenceLength && done < operations; ++k, ++done) {
            view.shown.clear();
            std::string text = Operate(r, *calc, view, state);
            const StackCalc& stack = calc->Stack();
            const int n = stack.Count();
            text += " => [" + view.display + "] {" + (n == 0 ? std::string() : stack.FullText(n - 1)) +
                    "} #" + std::to_string(n) + view.shown;
            sink({sequence, std::move(text)});
        }
    }
}

bool HasFractionalExponent(const std::string& text) {
    for (std::size_t i = text.find('^'); i != std::string::npos; i = text.find('^', i + 1)) {
        std::size_t j = i + 1;
        if (j < text.size() && (text[j] == '-' || text[j] == '+')) ++j;
        while (j < text.size() && text[j] >= '0' && text[j] <= '9') ++j;
        if (j < text.size() && (text[j] == '.' || text[j] == 'E' || text[j] == 'e')) return true;
    }
    return false;
}

} // namespace corpus
