// The preferred-unit table, the user's choices and the current preferred texts. The defaults are
// data declared once; the choices and current texts change when the user or the unit system does.
#include "units/PreferredUnits.h"

#include "units/NumberUnits.h"
#include "units/QuantityMath.h"

#include <optional>

namespace {

// The base-unit texts that select a row, the row's kind of quantity, and its U.S. and SI units.
struct PreferredRow {
    std::array<const char*, 2> keys;
    const char* kind;
    const char* us;
    const char* si;
};
constexpr PreferredRow PreferredRows[PreferredRowCount] = {
    {{"m", nullptr}, "length", "ft", "m"},
    {{"kg", nullptr}, "mass", "slug", "kg"},
    {{"sec", nullptr}, "time", "sec", "sec"},
    {{"m*kg/sec^2", nullptr}, "force", "lbf", "N"},
    {{"m^2*kg/sec^2", "m^2*kg/sec^2*rad"}, "moment, energy", "lbf*ft", "N*m"},
    {{"kg/m*sec^2", nullptr}, "pressure, stress", "lbf/in^2", "N/m^2"},
    {{"m^2*kg/sec^3", "m^2*kg*rad/sec^3"}, "power", "lbf*ft/sec", "N*m/sec"},
    {{"m^2", nullptr}, "area", "in^2", "m^2"},
    {{"m^3", nullptr}, "volume", "in^3", "m^3"},
    {{"m^4", nullptr}, "second moment of area", "in^4", "m^4"},
    {{"m^2*kg", nullptr}, "mass moment of inertia", "lbf*in*sec^2", "kg*m^2"},
    {{"m^2/sec", nullptr}, "kinematic viscosity", "ft^2/sec", "cm^2/sec"},
    {{"kg/m*sec", nullptr}, "dynamic viscosity", "lbf*sec/ft^2", "dyne*sec/cm^2"},
    {{"m^3/sec", nullptr}, "volume flow", "in^3/sec", "m^3/sec"},
    {{"rad/sec", nullptr}, "angular speed", "rad/sec", "rad/sec"},
    {{"rad/sec^2", nullptr}, "angular acceleration", "rad/sec^2", "rad/sec^2"},
    {{"m/sec", nullptr}, "speed", "ft/sec", "m/sec"},
    {{"m/sec^2", nullptr}, "acceleration", "ft/sec^2", "m/sec^2"},
    {{"rad", nullptr}, "angle", "deg", "deg"},
};

// Keys whose unit does not depend on the unit system; a pure number stays a pure number.
struct FixedPreferred {
    const char* key;
    const char* unit;
    const char* kind;
};
constexpr FixedPreferred FixedPreferredUnits[] = {{"Coul/sec", "A", "current"},
                                                  {"m^2*kg/sec^2*Coul", "V", "voltage"},
                                                  {"m^2*kg/sec*Coul^2", "Ohm", "resistance"},
                                                  {"sec^2*Coul^2/m^2*kg", "Farad", "capacitance"},
                                                  {"m^2*kg/Coul^2", "Henry", "inductance"},
                                                  {"", "", "a pure number"}};

bool ValidRow(int row) {
    return row >= 1 && row <= PreferredRowCount;
}

int RowOfKey(std::string_view baseUnitsText) {
    for (int i = 0; i < PreferredRowCount; ++i)
        for (const char* key : PreferredRows[i].keys)
            if (key && baseUnitsText == key) return i + 1;
    return 0;
}

// The base-unit text of a unit text; nothing for a text that is not a unit text.
std::optional<std::string> BaseTextOfUnit(std::string_view unitText) {
    const std::string stripped = StripIgnoredChars(unitText);
    if (stripped.empty()) return std::nullopt;
    const NormalizedQuantity split = NormalizeQuantityText(stripped);
    if (!split.ok || split.unitText != stripped) return std::nullopt;
    const auto parsed = TNumberUnits::ParseQuantity(stripped);
    if (!parsed) return std::nullopt;
    return parsed->baseUnitsText;
}

// A dimension as the user knows it: a kind of quantity with its base units, or the base units alone.
std::string DimensionName(const std::string& baseUnitsText) {
    if (const int row = RowOfKey(baseUnitsText))
        return std::string(PreferredRows[row - 1].kind) + " (" + baseUnitsText + ")";
    for (const auto& fixed : FixedPreferredUnits)
        if (baseUnitsText == fixed.key)
            return baseUnitsText.empty() ? fixed.kind : std::string(fixed.kind) + " (" + baseUnitsText + ")";
    return "the dimension " + baseUnitsText;
}

struct PreferredState {
    PreferredChoices choices;
    std::array<std::string, PreferredRowCount> current;
};

void Reselect(PreferredState& state) {
    for (int row = 1; row <= PreferredRowCount; ++row) {
        const std::string& choice = state.choices.For(row, UnitSystem);
        state.current[static_cast<std::size_t>(row - 1)] =
            choice.empty() ? DefaultPreferredUnit(row, UnitSystem) : choice;
    }
}

PreferredState& State() {
    static PreferredState state = [] {
        PreferredState s;
        Reselect(s);
        return s;
    }();
    return state;
}

} // namespace

std::string& PreferredChoices::For(int row, bool forSi) {
    return (forSi ? si : us)[static_cast<std::size_t>(row - 1)];
}

const std::string& PreferredChoices::For(int row, bool forSi) const {
    return (forSi ? si : us)[static_cast<std::size_t>(row - 1)];
}

const char* PreferredKindName(int row) {
    return ValidRow(row) ? PreferredRows[row - 1].kind : "";
}

const char* PreferredRowKey(int row) {
    return ValidRow(row) ? PreferredRows[row - 1].keys[0] : "";
}

const char* DefaultPreferredUnit(int row, bool si) {
    if (!ValidRow(row)) return "";
    return si ? PreferredRows[row - 1].si : PreferredRows[row - 1].us;
}

int PreferredRowOfUnit(std::string_view unitText) {
    const auto base = BaseTextOfUnit(unitText);
    return base ? RowOfKey(*base) : 0;
}

std::string CheckPreferredUnit(int row, std::string_view unitText) {
    if (!ValidRow(row)) return "No such kind of quantity";
    const auto base = BaseTextOfUnit(unitText);
    if (!base) return ErrorMessage(_UnitProblem) + ": \"" + std::string(unitText) + "\" is not a unit text";
    if (RowOfKey(*base) == row) return {};
    return "\"" + std::string(unitText) + "\" is " + DimensionName(*base) + ", not " +
           DimensionName(PreferredRowKey(row));
}

const PreferredChoices& CurrentPreferredChoices() {
    return State().choices;
}

void SetPreferredChoices(const PreferredChoices& choices) {
    PreferredState& state = State();
    for (int row = 1; row <= PreferredRowCount; ++row)
        for (bool si : {true, false}) {
            const std::string& choice = choices.For(row, si);
            state.choices.For(row, si) = CheckPreferredUnit(row, choice).empty() ? choice : std::string();
        }
    Reselect(state);
}

void SelectPreferredUnits() {
    Reselect(State());
}

const std::string& PreferredUnit(int row) {
    static const std::string none;
    return ValidRow(row) ? State().current[static_cast<std::size_t>(row - 1)] : none;
}

std::optional<std::string> PreferredUnitFor(std::string_view baseUnitsText) {
    if (const int row = RowOfKey(baseUnitsText)) return State().current[static_cast<std::size_t>(row - 1)];
    for (const auto& fixed : FixedPreferredUnits)
        if (baseUnitsText == fixed.key) return std::string(fixed.unit);
    return std::nullopt;
}
