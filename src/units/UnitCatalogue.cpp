// The unit catalogue and the result-code messages. Everything here is data declared once; the
// tables are built on first use and never change later.
#include "units/UnitCatalogue.h"

#include "units/QuantityMath.h"

#include <algorithm>
#include <mutex>
#include <vector>

namespace {

using G = UnitGroup;

// A catalogue row. A stored row keeps its factor; a computed row derives it from the factor of an
// earlier-named unit ("of"), multiplied or divided by a number or by the factor of another unit.
struct Row {
    const char* name;
    double factor;
    const char* expansion;
    G group;
    const char* of = nullptr;
    char op = 0;
    const char* byUnit = nullptr;
};

constexpr Row Stored(const char* name, double factor, const char* expansion, G group) {
    return {name, factor, expansion, group};
}
constexpr Row Times(const char* name, const char* of, double k, const char* expansion, G group) {
    return {name, k, expansion, group, of, '*'};
}
constexpr Row Over(const char* name, const char* of, double k, const char* expansion, G group) {
    return {name, k, expansion, group, of, '/'};
}
constexpr Row OverUnit(const char* name, const char* of, const char* byUnit, const char* expansion, G group) {
    return {name, 0, expansion, group, of, '/', byUnit};
}
constexpr Row Gap(G group) {
    return {nullptr, 0, nullptr, group};
}

// The cubic-inch and gallon factors are worked out in extended precision and stored as doubles, so
// that each is the double nearest its exact value; a double evaluation of the same formula ends one
// unit in the last place away.
constexpr double Extended(long double value) {
    return static_cast<double>(value);
}

constexpr const char* Force = "(kg*m*sec^-2)";
constexpr const char* Energy = "(kg*m^2*sec^-2)";
constexpr const char* PowerX = "(kg*m^2*sec^-3)";
constexpr const char* Volume = "(m^3)";
constexpr const char* PressureX = "(kg*m^-1*sec^-2)";
constexpr const char* AreaX = "(m^2)";

// Slot n is Rows[n - 1].
constexpr Row Rows[] = {
    Stored("N", 1, Force, G::Force),
    Stored("kN", 0.001, Force, G::Force),
    Stored("MN", 1e-06, Force, G::Force),
    Stored("dyne", 100000, Force, G::Force),
    Stored("lbf", 0.2248089431, Force, G::Force),
    Stored("kip", 0.0002248089431, Force, G::Force),
    Stored("Pndl", 7.23301385122, Force, G::Force),
    Gap(G::Force),
    Stored("m", 1, "m", G::Length), // 9
    Stored("cm", 100, "m", G::Length),
    Stored("mm", 1000, "m", G::Length),
    Stored("ft", 3.2808398950131235, "m", G::Length),
    Stored("in", 39.37007874015748, "m", G::Length),
    Stored("mi", 0.0006213711922373339, "m", G::Length),
    Stored("yd", 1.0936132983377078, "m", G::Length),
    Stored("km", 0.001, "m", G::Length),
    Stored("angs", 10000000000, "m", G::Length),
    Stored("micron", 1000000, "m", G::Length),
    Stored("fermi", 1000000000000000, "m", G::Length),
    Stored("LtYr", 1.05702341054e-16, "m", G::Length),
    Stored("fath", 0.5468055555555555, "m", G::Length),
    Times("mil", "in", 1000, "m", G::Length),
    Times("furlong", "mi", 8, "m", G::Length),
    Over("hand", "in", 4, "m", G::Length),
    Over("rod", "ft", 16.5, "m", G::Length),
    Over("chain", "ft", 66, "m", G::Length),
    Over("link", "ft", 0.66, "m", G::Length),
    Gap(G::Length),
    Stored("kg", 1, "kg", G::Mass), // 29
    Stored("g", 1000, "kg", G::Mass),
    Stored("mton", 0.001, "kg", G::Mass),
    Stored("slug", 0.0685217658568, "kg", G::Mass),
    Stored("lbm", 2.2046226218487757, "kg", G::Mass),
    Times("oz", "lbm", 16, "kg", G::Mass),
    Times("gr", "lbm", 7000, "kg", G::Mass),
    Stored("ton", 0.001102311310924388, "kg", G::Mass),
    Stored("tonUK", 0.0009842065276110606, "kg", G::Mass),
    Stored("lbTroy", 1 / 0.3732417216, "kg", G::Mass),
    Times("ozTroy", "lbTroy", 12, "kg", G::Mass),
    Times("dram", "oz", 16, "kg", G::Mass),
    Over("scruple", "gr", 20, "kg", G::Mass),
    Times("drAp", "lbTroy", 96, "kg", G::Mass),
    Over("pennywt", "gr", 24, "kg", G::Mass),
    Gap(G::Mass),
    Stored("yr", 3.16887646408e-08, "sec", G::Time), // 45
    Stored("wk", 1.65343915344e-06, "sec", G::Time),
    Stored("day", 1.1574074074074073e-05, "sec", G::Time),
    Stored("hr", 0.0002777777777777778, "sec", G::Time),
    Stored("min", 0.016666666666666666, "sec", G::Time),
    Stored("sec", 1, "sec", G::Time),
    Gap(G::Time),
    Stored("rad", 1, "rad", G::Angle), // 52
    Stored("deg", 57.29577951308232, "rad", G::Angle),
    Stored("rev", 0.15915494309189535, "rad", G::Angle),
    Stored("grad", 63.66197723675813, "rad", G::Angle),
    Gap(G::Angle),
    Stored("C", 1, "C", G::Temperature), // 57
    Stored("F", 1.8, "C", G::Temperature),
    Stored("K", 273.15, "C", G::Temperature),
    Stored("R", 459.67, "C", G::Temperature),
    Stored("dC", 1, "C", G::Temperature), // 61: differences, not points on a scale
    Stored("dF", 1.8, "C", G::Temperature),
    Gap(G::Temperature),
    Gap(G::None),
    Gap(G::None),
    Gap(G::None),
    Gap(G::None),
    Stored("J", 1, Energy, G::Energy), // 68
    Stored("erg", 10000000, Energy, G::Energy),
    Stored("Kcal", 0.000238845896627, Energy, G::Energy),
    Stored("cal", 0.238845896627, Energy, G::Energy),
    Stored("BTU", 0.000947817120313, Energy, G::Energy),
    Stored("ft*lbf", 0.737562149277, Energy, G::Energy),
    Gap(G::Energy),
    Stored("W", 1, PowerX, G::Power), // 75
    Stored("kW", 0.001, PowerX, G::Power),
    Stored("hp", 0.0013410220896, PowerX, G::Power),
    Gap(G::Power),
    Stored("m^3", 1, Volume, G::Volume), // 79
    Stored("cm^3", 1000000, Volume, G::Volume),
    Over("yd^3", "in^3", 46656, Volume, G::Volume),
    Over("ft^3", "in^3", 1728, Volume, G::Volume),
    Stored("in^3", Extended(1000000 / (2.54L * 2.54L * 2.54L)), Volume, G::Volume),
    Stored("l", 1000, Volume, G::Volume),
    Stored("galU", 219.969151526, Volume, G::Volume),
    Stored("galC", 219.969248299, Volume, G::Volume),
    Stored("gal", Extended(1000000 / (2.54L * 2.54L * 2.54L * 231)), Volume, G::Volume),
    Times("qt", "gal", 4, Volume, G::Volume),
    Times("pt", "gal", 8, Volume, G::Volume),
    Stored("ml", 1000000, Volume, G::Volume),
    Over("drfl", "gal", 0.0009765625, Volume, G::Volume),
    Over("ozfl", "gal", 0.0078125, Volume, G::Volume),
    Stored("ozUK", 35195.0642442, Volume, G::Volume),
    Stored("Tbsp", 67628.0454035, Volume, G::Volume),
    Stored("tsp", 202884.136211, Volume, G::Volume),
    Stored("bbl", 6.28981077043, Volume, G::Volume),
    Stored("bu", 28.3775933928, Volume, G::Volume),
    Stored("pk", 113.510373571, Volume, G::Volume),
    Gap(G::Volume),
    Stored("RPM", 9.54929658548, "(rad*sec^-1)", G::AngularSpeed), // 100
    Gap(G::AngularSpeed),
    Stored("GPM", 15850.323141488905, "(m^3*sec^-1)", G::VolumeFlow), // 102
    Gap(G::VolumeFlow),
    Stored("Pa", 1, PressureX, G::Pressure), // 104
    Stored("KPa", 0.001, PressureX, G::Pressure),
    Stored("MPa", 1e-06, PressureX, G::Pressure),
    Stored("GPa", 1e-09, PressureX, G::Pressure),
    Stored("Bar", 1e-05, PressureX, G::Pressure),
    Stored("Atm", 9.86923266716e-06, PressureX, G::Pressure),
    OverUnit("psi", "lbf", "in^2", PressureX, G::Pressure),
    Times("psf", "psi", 144, PressureX, G::Pressure),
    Over("ksi", "psi", 1000, PressureX, G::Pressure),
    Over("ksf", "psf", 1000, PressureX, G::Pressure),
    Gap(G::Pressure),
    Stored("P", 10, "(kg*m^-1*sec^-1)", G::DynamicViscosity), // 115
    Stored("cP", 1000, "(kg*m^-1*sec^-1)", G::DynamicViscosity),
    Stored("St", 10000, "(m^2*sec^-1)", G::KinematicViscosity), // 117
    Stored("cSt", 1000000, "(m^2*sec^-1)", G::KinematicViscosity),
    Stored("SUS", 1, "(m^2*sec^-1)", G::KinematicViscosity),
    Gap(G::KinematicViscosity),
    Stored("m^2", 1, AreaX, G::Area), // 121
    Stored("cm^2", 10000, AreaX, G::Area),
    Stored("mm^2", 1000000, AreaX, G::Area),
    Stored("km^2", 1e-06, AreaX, G::Area),
    Stored("ha", 0.0001, AreaX, G::Area),
    Stored("ft^2", 10.763910416709722, AreaX, G::Area),
    Stored("in^2", 1550.0031000062, AreaX, G::Area),
    Over("mi^2", "ft^2", 27878400, AreaX, G::Area),
    Over("Acre", "ft^2", 43560, AreaX, G::Area),
    Over("Section", "ft^2", 27878400, AreaX, G::Area),
    Over("Twp", "mi^2", 36, AreaX, G::Area),
    Gap(G::Area),
    Stored("Coul", 1, "Coul", G::Charge), // 133
    Gap(G::Charge),
    Stored("A", 1, "(Coul*sec^-1)", G::Current), // 135
    Gap(G::Current),
    Stored("V", 1, "(kg*m^2*sec^-2*Coul^-1)", G::Voltage), // 137
    Gap(G::Voltage),
    Stored("Ohm", 1, "(kg*m^2*sec^-1*Coul^-2)", G::Resistance), // 139
    Gap(G::Resistance),
    Stored("Farad", 1, "(kg^-1*m^-2*sec^2*Coul^2)", G::Capacitance), // 141
    Gap(G::Capacitance),
    Stored("Henry", 1, "(kg*m^2*Coul^-2)", G::Inductance), // 143
    Gap(G::Inductance),
    Stored("$US", 1, "$US", G::Currency), // 145
    Gap(G::Currency),
    Stored("Number", 1, "Number", G::Count), // 147
    Stored("Piece", 1, "Number", G::Count),
    Stored("Plant", 1, "Number", G::Count),
    Stored("Person", 1, "Number", G::Count),
    Stored("Item", 1, "Number", G::Count),
    Gap(G::Count),
    Stored("Mole", 1, "Mole", G::AmountOfSubstance), // 153
};
static_assert(std::size(Rows) == UnitSlotCount);

// The temperature slots hold the numbers of the temperature rule rather than 1 / Factor.
struct InverseOverride {
    int slot;
    double inverse;
};
constexpr InverseOverride TemperatureInverses[] = {
    {RuleSlot::F, 1 / 1.8}, {RuleSlot::K, -273.15}, {RuleSlot::R, -459.67}, {RuleSlot::C, 1}};

// Signature number of each base unit, in base-unit order, as SignatureValue reports it ("Coul" and
// "Mole" take numbers of their own). Dimensions themselves are compared by their exponents.
constexpr std::array<double, unitcat::BaseUnitCount> SignatureValues{3.1,  4.1, 5.1,  1,   7.1,
                                                                     11.1, 9.1, 10.1, 13.1};

constexpr const char* GroupNames[] = {"",
                                      "Force",
                                      "Length",
                                      "Mass",
                                      "Time",
                                      "Angle",
                                      "Temperature",
                                      "Energy",
                                      "Power",
                                      "Volume",
                                      "Angular speed",
                                      "Volume flow",
                                      "Pressure",
                                      "Dynamic viscosity",
                                      "Kinematic viscosity",
                                      "Area",
                                      "Charge",
                                      "Current",
                                      "Voltage",
                                      "Resistance",
                                      "Capacitance",
                                      "Inductance",
                                      "Currency",
                                      "Count",
                                      "Amount of substance"};
static_assert(std::size(GroupNames) == static_cast<std::size_t>(G::AmountOfSubstance) + 1);

// The tenth text backs any code outside the enumeration.
const std::array<std::string, 10> ErrorMessages{
    "Units OK",         "Unit Misspelled",          "Problem with the units",
    "Operator missing", "Units Incompatable",       "Units not in list of units",
    "Unknown problem",  "You must enter something", "Divide by zero",
    "Unknown problem"};

char UpperAscii(char c) {
    return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c;
}

std::string Upper(std::string_view text) {
    std::string upper(text);
    for (char& c : upper) c = UpperAscii(c);
    return upper;
}

struct Catalogue {
    std::array<unitcat::SlotInfo, UnitSlotCount + 1> slots;  // [0] is the empty record
    std::vector<std::pair<std::string, int>> byUpperName;    // sorted by name, lowest slot first
    std::array<std::pair<int, int>, 256> byFirstChar{};      // range of byUpperName per first character
    std::vector<std::pair<std::string_view, int>> byRowName; // exact names, sorted, lowest slot first
};

// The first slot of the row with this exact name; 0 for none.
int RowSlot(const Catalogue& cat, std::string_view name) {
    const auto it = std::lower_bound(cat.byRowName.begin(), cat.byRowName.end(), name,
                                     [](const auto& entry, std::string_view n) { return entry.first < n; });
    return it != cat.byRowName.end() && it->first == name ? it->second : 0;
}

// Evaluates computed factors on demand, so that a row may refer to one listed after it ("yd^3" uses
// "in^3"); every factor is computed once from the ones it uses.
double FactorOf(int slot, std::array<bool, UnitSlotCount + 1>& done, Catalogue& cat) {
    auto& info = cat.slots[slot];
    if (done[slot]) return info.factor;
    const Row& row = Rows[slot - 1];
    double factor = row.factor;
    if (row.op) {
        const double base = FactorOf(RowSlot(cat, row.of), done, cat);
        const double by = row.byUnit ? FactorOf(RowSlot(cat, row.byUnit), done, cat) : row.factor;
        factor = row.op == '*' ? base * by : base / by;
    }
    info.factor = factor;
    done[slot] = true;
    return factor;
}

// Splits "(kg*m^2*sec^-2)" into its base terms in written order.
void SplitExpansion(unitcat::SlotInfo& info, const Catalogue& cat) {
    std::string_view text = info.expansion;
    if (!text.empty() && text.front() == '(') text = text.substr(1, text.size() - 2);
    while (!text.empty()) {
        const auto star = text.find('*');
        std::string_view term = text.substr(0, star);
        text = star == std::string_view::npos ? std::string_view{} : text.substr(star + 1);
        int exponent = 1;
        if (const auto caret = term.find('^'); caret != std::string_view::npos) {
            exponent = std::stoi(std::string(term.substr(caret + 1)));
            term = term.substr(0, caret);
        }
        const int base = unitcat::BaseIndexOfSlot(RowSlot(cat, term));
        info.terms[info.termCount++] = {base, exponent};
    }
    info.sortedTerms = info.terms;
    std::sort(info.sortedTerms.begin(), info.sortedTerms.begin() + info.termCount,
              [](const auto& a, const auto& b) { return a.base < b.base; });
}

Catalogue BuildCatalogue() {
    Catalogue cat;
    for (int slot = 1; slot <= UnitSlotCount; ++slot)
        if (Rows[slot - 1].name) cat.byRowName.emplace_back(Rows[slot - 1].name, slot);
    std::stable_sort(cat.byRowName.begin(), cat.byRowName.end(),
                     [](const auto& a, const auto& b) { return a.first < b.first; });
    std::array<bool, UnitSlotCount + 1> done{};
    for (int slot = 1; slot <= UnitSlotCount; ++slot) {
        const Row& row = Rows[slot - 1];
        auto& info = cat.slots[slot];
        info.group = row.group;
        if (!row.name) continue;
        info.name = row.name;
        info.upperName = Upper(row.name);
        info.expansion = row.expansion;
        FactorOf(slot, done, cat);
    }
    for (int slot = 1; slot <= UnitSlotCount; ++slot)
        if (!cat.slots[slot].name.empty()) cat.slots[slot].inverse = 1 / cat.slots[slot].factor;
    for (const auto& o : TemperatureInverses) cat.slots[o.slot].inverse = o.inverse;
    for (int slot = 1; slot <= UnitSlotCount; ++slot) {
        auto& info = cat.slots[slot];
        if (info.name.empty()) continue;
        SplitExpansion(info, cat);
        cat.byUpperName.emplace_back(info.upperName, slot);
    }
    // A stable sort keeps the lowest slot first among equal names, which is the one looked up.
    std::stable_sort(cat.byUpperName.begin(), cat.byUpperName.end(),
                     [](const auto& a, const auto& b) { return a.first < b.first; });
    for (int i = static_cast<int>(cat.byUpperName.size()) - 1; i >= 0; --i) {
        auto& range = cat.byFirstChar[static_cast<unsigned char>(cat.byUpperName[i].first[0])];
        if (range.second == 0) range.second = i + 1;
        range.first = i;
    }
    return cat;
}

const Catalogue& Tables() {
    static const Catalogue catalogue = BuildCatalogue();
    return catalogue;
}

} // namespace

namespace unitcat {

const SlotInfo& Slot(int slot) {
    const auto& cat = Tables();
    return slot >= 1 && slot <= UnitSlotCount ? cat.slots[slot] : cat.slots[0];
}

int BaseIndexOfSlot(int slot) {
    for (int i = 0; i < BaseUnitCount; ++i)
        if (BaseSlots[i] == slot) return i;
    return -1;
}

} // namespace unitcat

void InitUnitTables() {
    static std::once_flag once;
    std::call_once(once, [] { Tables(); });
}

int FindUnit(std::string_view name) {
    if (name.empty()) return 0;
    const std::string upper = Upper(name);
    const auto& cat = Tables();
    // Names in a range are sorted with the lowest slot first among equals, so the first hit wins.
    const auto [first, last] = cat.byFirstChar[static_cast<unsigned char>(upper[0])];
    for (int i = first; i < last; ++i)
        if (cat.byUpperName[i].first == upper) return cat.byUpperName[i].second;
    return 0;
}

const std::string& UnitName(int slot) {
    return unitcat::Slot(slot).name;
}
double UnitFactor(int slot) {
    return unitcat::Slot(slot).factor;
}
double UnitInverseFactor(int slot) {
    return unitcat::Slot(slot).inverse;
}
const std::string& UnitBaseExpansion(int slot) {
    return unitcat::Slot(slot).expansion;
}
UnitGroup UnitGroupOf(int slot) {
    return unitcat::Slot(slot).group;
}
const char* UnitGroupName(UnitGroup group) {
    const auto i = static_cast<std::size_t>(group);
    return i < std::size(GroupNames) ? GroupNames[i] : "";
}

double SignatureValue(int baseSlot) {
    const int i = unitcat::BaseIndexOfSlot(baseSlot);
    return i < 0 ? 0 : SignatureValues[i];
}

const std::string& ErrorMessage(TErrors code) {
    const auto i = static_cast<std::size_t>(code);
    return ErrorMessages[i < ErrorMessages.size() ? i : ErrorMessages.size() - 1];
}
