// The preferred units the user chooses: which kind a unit is, the checks a choice passes, and the
// conversions of products, quotients and powers that follow.
#include "units/PreferredUnits.h"
#include "units/QuantityMath.h"

#include "support/unit_engine_scope.h"

#include <gtest/gtest.h>
#include <string>

namespace {

TEST(PreferredUnits, RowOfAUnit) {
    UnitEngineScope scope;
    const std::pair<const char*, int> cases[] = {
        {"kW", 7},   {"W", 7},         {"hp", 7},   {"lbf*ft/sec", 7}, {"KPa", 6},  {"psi", 6},
        {"N*m", 5},  {"J", 5},         {"ft", 1},   {"mm", 1},         {"slug", 2}, {"RPM", 15},
        {"deg", 19}, {"cm^2/sec", 12}, {"GPM", 14}, {"m^4", 10},       {"A", 0},    {"kg*m", 0},
        {"2 ft", 0}, {"ft 2", 0},      {"xyz", 0},  {"", 0},           {"C", 0},    {"dC", 0},
    };
    for (const auto& [unit, row] : cases) EXPECT_EQ(PreferredRowOfUnit(unit), row) << unit;
}

TEST(PreferredUnits, ChecksNameBothDimensions) {
    UnitEngineScope scope;
    EXPECT_EQ(CheckPreferredUnit(6, "KPa"), "");
    EXPECT_EQ(CheckPreferredUnit(7, "lbf*ft/sec"), "");
    struct Refusal {
        int row;
        const char* unit;
        const char* message;
    };
    const Refusal cases[] = {
        {6, "kW", "\"kW\" is power (m^2*kg/sec^3), not pressure, stress (kg/m*sec^2)"},
        {1, "A", "\"A\" is current (Coul/sec), not length (m)"},
        {5, "kg*m", "\"kg*m\" is the dimension m*kg, not moment, energy (m^2*kg/sec^2)"},
        {19, "rev/sec", "\"rev/sec\" is angular speed (rad/sec), not angle (rad)"},
        {1, "3 ft", "Problem with the units: \"3 ft\" is not a unit text"},
        {1, "fx", "Problem with the units: \"fx\" is not a unit text"},
    };
    for (const auto& c : cases) EXPECT_EQ(CheckPreferredUnit(c.row, c.unit), c.message) << c.unit;
}

TEST(PreferredUnits, DefaultsFollowTheUnitSystem) {
    UnitEngineScope scope{{false, true}};
    SetPreferredChoices({});
    EXPECT_EQ(PreferredUnit(1), "ft");
    EXPECT_EQ(PreferredUnit(12), "ft^2/sec");
    EXPECT_EQ(PreferredUnit(19), "deg");
    SetUnitFlags({true, true});
    EXPECT_EQ(PreferredUnit(1), "m");
    EXPECT_EQ(PreferredUnit(12), "cm^2/sec");
    EXPECT_EQ(PreferredUnit(19), "deg");
}

struct ProductCase {
    bool si;
    bool autoConvert;
    const char* a;
    const char* b;
    bool multiply;
    double value;
    const char* units;
};

TEST(PreferredUnits, ChoicesConvertProductsInTheirOwnSystem) {
    UnitEngineScope scope;
    PreferredChoices choices;
    choices.For(7, true) = "kW";
    choices.For(6, true) = "KPa";
    choices.For(1, false) = "in";
    choices.For(6, false) = "kW"; // refused: the U.S. pressure row keeps its default
    SetPreferredChoices(choices);
    EXPECT_EQ(CurrentPreferredChoices().For(6, false), "");
    const ProductCase cases[] = {
        {true, true, "50 lbf*ft", "3000 RPM", true, 21.2971385305, "kW"},
        {true, true, "1000 N", "2 m^2", false, 0.5, "KPa"},
        {true, true, "3 m", "2", true, 6, "m"},
        {false, true, "50 lbf*ft", "3000 RPM", true, 15707.963268, "lbf*ft/sec"},
        {false, true, "2 ft", "3", true, 72, "in"},
        {false, true, "4 lbf", "2 in^2", false, 2, "lbf/in^2"},
        // With AutoConvert off nothing is converted.
        {true, false, "50 lbf*ft", "3000 RPM", true, 150000, "lbf*ft*RPM"},
    };
    for (const auto& c : cases) {
        SetUnitFlags({c.si, c.autoConvert});
        std::string full, units, error;
        double value = 0;
        ASSERT_TRUE(QuantityMulDiv(c.a, c.b, c.multiply, full, value, units, error)) << error;
        EXPECT_NEAR(value, c.value, c.value * 1e-10) << c.a << (c.multiply ? " * " : " / ") << c.b;
        EXPECT_EQ(units, c.units) << c.a << (c.multiply ? " * " : " / ") << c.b;
    }
    // A power takes the chosen unit as well.
    SetUnitFlags({true, true});
    std::string full, units, error;
    double value = 0;
    ASSERT_TRUE(QuantityPower("2000 W", full, value, 1, units, error)) << error;
    EXPECT_EQ(full, "2 kW");
}

TEST(PreferredUnits, RestoringTheDefaultsBringsBackTheTable) {
    UnitEngineScope scope{{true, true}};
    PreferredChoices choices;
    for (int row = 1; row <= PreferredRowCount; ++row)
        choices.For(row, true) = DefaultPreferredUnit(row, false);
    SetPreferredChoices(choices);
    EXPECT_EQ(PreferredUnit(4), "lbf");
    SetPreferredChoices({});
    for (int row = 1; row <= PreferredRowCount; ++row)
        EXPECT_EQ(PreferredUnit(row), DefaultPreferredUnit(row, true));
}

} // namespace
