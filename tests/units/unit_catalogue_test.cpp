// The unit catalogue: factors (stored and derived), look-up rules, groups and preferred units.
#include "units/NumberUnits.h"
#include "units/QuantityMath.h"

#include "support/unit_engine_scope.h"

#include <gtest/gtest.h>

namespace {

struct FactorCase {
    const char* name;
    int slot;
    double factor;
};

// Derived factors must come out as exactly these doubles; a few stored ones anchor the table.
const FactorCase Factors[] = {
    {"N", 1, 1},
    {"lbf", 5, 0.2248089431},
    {"ft", 12, 3.2808398950131235},
    {"in", 13, 39.37007874015748},
    {"mil", 22, 39370.07874015748},
    {"furlong", 23, 0.004970969537898671},
    {"hand", 24, 9.84251968503937},
    {"rod", 25, 0.1988387815159469},
    {"chain", 26, 0.04970969537898672},
    {"link", 27, 4.970969537898672},
    {"oz", 34, 35.27396194958041},
    {"gr", 35, 15432.35835294143},
    {"lbTroy", 38, 2.6792288807189983},
    {"ozTroy", 39, 32.15074656862798},
    {"dram", 40, 564.3833911932866},
    {"scruple", 41, 771.6179176470715},
    {"drAp", 42, 257.20597254902384},
    {"pennywt", 43, 643.0149313725595},
    {"yd^3", 81, 1.3079506193143922},
    {"ft^3", 82, 35.31466672148859},
    {"in^3", 83, 61023.74409473228},
    {"gal", 87, 264.1720523581484},
    {"qt", 88, 1056.6882094325936},
    {"pt", 89, 2113.376418865187},
    {"drfl", 91, 270512.18161474395},
    {"ozfl", 92, 33814.022701842994},
    {"psi", 110, 0.000145037737730396},
    {"psf", 111, 0.020885434233177024},
    {"ksi", 112, 1.4503773773039598e-07},
    {"ksf", 113, 2.0885434233177025e-05},
    {"mi^2", 128, 3.861021585424458e-07},
    {"Acre", 129, 0.0002471053814671653},
    {"Section", 130, 3.861021585424458e-07},
    {"Twp", 131, 1.0725059959512384e-08},
    {"Mole", 153, 1},
};

TEST(UnitCatalogue, FactorsAndInverses) {
    InitUnitTables();
    InitUnitTables(); // a second call changes nothing
    for (const auto& c : Factors) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(UnitName(c.slot), c.name);
        EXPECT_EQ(UnitFactor(c.slot), c.factor);
        EXPECT_EQ(UnitInverseFactor(c.slot), 1 / c.factor);
    }
}

TEST(UnitCatalogue, TemperatureSlotsHoldTheRuleNumbers) {
    EXPECT_EQ(UnitInverseFactor(57), 1);
    EXPECT_EQ(UnitInverseFactor(58), 0.5555555555555556);
    EXPECT_EQ(UnitFactor(59), 273.15);
    EXPECT_EQ(UnitInverseFactor(59), -273.15);
    EXPECT_EQ(UnitInverseFactor(60), -459.67);
    EXPECT_EQ(UnitFactor(119), 1);
    EXPECT_EQ(UnitInverseFactor(119), 1);
}

TEST(UnitCatalogue, SlotsGroupsAndExpansions) {
    int named = 0;
    for (int slot = 1; slot <= UnitSlotCount; ++slot) named += !UnitName(slot).empty();
    EXPECT_EQ(named, 125);
    EXPECT_TRUE(UnitName(8).empty());
    EXPECT_EQ(UnitFactor(8), 0);
    EXPECT_TRUE(UnitName(0).empty());
    EXPECT_TRUE(UnitName(154).empty());
    EXPECT_EQ(UnitBaseExpansion(1), "(kg*m*sec^-2)");
    EXPECT_EQ(UnitBaseExpansion(150), "Number");
    EXPECT_EQ(UnitBaseExpansion(141), "(kg^-1*m^-2*sec^2*Coul^2)");
    EXPECT_STREQ(UnitGroupName(UnitGroupOf(100)), "Angular speed");
    EXPECT_STREQ(UnitGroupName(UnitGroupOf(61)), "Temperature");
    EXPECT_EQ(UnitGroupOf(64), UnitGroup::None);
    EXPECT_EQ(SignatureValue(BaseSlot::m), 3.1);
    EXPECT_EQ(SignatureValue(12), 0);
}

TEST(UnitCatalogue, FindUnitIgnoresCaseAndTakesTheFirstSlot) {
    const std::pair<const char*, int> cases[] = {
        {"LBF", 5},      {"Lbf", 5},  {"lbf", 5}, {"kpa", 105},   {"mn", 3},      {"MM", 11},
        {"$us", 145},    {"sec", 50}, {"c", 57},  {"f", 58},      {"ft*lbf", 73}, {"M^3", 79},
        {"furlong", 23}, {"", 0},     {"xyz", 0}, {"furlongs", 0}};
    for (const auto& [name, slot] : cases) EXPECT_EQ(FindUnit(name), slot) << name;
}

TEST(UnitCatalogue, ErrorMessages) {
    EXPECT_EQ(ErrorMessage(_OK), "Units OK");
    EXPECT_EQ(ErrorMessage(_UnitIncomp), "Units Incompatable");
    EXPECT_EQ(ErrorMessage(_NotInList), "Units not in list of units");
    EXPECT_EQ(ErrorMessage(_NoEntry), "You must enter something");
    EXPECT_EQ(ErrorMessage(_DivideByZero), "Divide by zero");
    EXPECT_EQ(ErrorMessage(static_cast<TErrors>(42)), "Unknown problem");
}

TEST(UnitCatalogue, PreferredUnitsFollowTheUnitSystem) {
    UnitEngineScope scope{{false, true}};
    EXPECT_EQ(PreferredUnit(1), "ft");
    EXPECT_EQ(PreferredUnit(12), "ft^2/sec");
    EXPECT_EQ(PreferredUnit(19), "deg");
    EXPECT_EQ(PreferredUnitFor("m^2*kg/sec^2*rad"), "lbf*ft");
    SetUnitFlags({true, true});
    EXPECT_EQ(PreferredUnit(1), "m");
    EXPECT_EQ(PreferredUnit(12), "cm^2/sec");
    EXPECT_EQ(PreferredUnit(19), "deg");
    EXPECT_EQ(PreferredUnitFor("m^2*kg*rad/sec^3"), "N*m/sec");
    EXPECT_EQ(PreferredUnitFor("sec^2*Coul^2/m^2*kg"), "Farad");
    EXPECT_EQ(PreferredUnitFor(""), "");
    EXPECT_EQ(PreferredUnitFor("C"), std::nullopt);
    EXPECT_EQ(PreferredUnit(0), "");
}

} // namespace
