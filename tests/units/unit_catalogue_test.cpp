// The unit catalogue: factors (stored and derived), look-up rules, groups and preferred units.
#include "units/NumberUnits.h"
#include "units/QuantityMath.h"
#include "units/UnitCatalogue.h"

#include "support/unit_engine_scope.h"

#include <gtest/gtest.h>

#include <ostream>
#include <string>

namespace {

// An equivalence between units from a published definition: 1 `from` is `amount` `to`.
struct Equivalence {
    const char* from;
    double amount;
    const char* to;
};
void PrintTo(const Equivalence& e, std::ostream* os) {
    *os << "1 " << e.from << " = " << e.amount << " " << e.to;
}

// Every factor is checked against a definition a reader can look up, not against a copy of itself.
// Stored factors carry 12 to 17 digits, so agreement to 1e-8 is asked.
class UnitEquivalence : public ::testing::TestWithParam<Equivalence> {
protected:
    void SetUp() override { InitUnitTables(); }
};

TEST_P(UnitEquivalence, ConvertsByItsDefinition) {
    const Equivalence& e = GetParam();
    TNumberUnits q;
    ASSERT_TRUE(q.SetText(std::string("1 ") + e.from));
    ASSERT_TRUE(q.ConvertTo(e.to));
    EXPECT_NEAR(q.GetValue(), e.amount, 1e-8 * e.amount);
}

// International yard and pound agreement (1959): 1 yd = 0.9144 m, so 1 in = 2.54 cm; old measures
// as multiples of the foot and inch. The fathom is 6 U.S. survey feet of 1200/3937 m each.
INSTANTIATE_TEST_SUITE_P(Length, UnitEquivalence,
                         ::testing::Values(Equivalence{"ft", 0.3048, "m"}, Equivalence{"in", 2.54, "cm"},
                                           Equivalence{"yd", 3, "ft"}, Equivalence{"mi", 5280, "ft"},
                                           Equivalence{"furlong", 660, "ft"}, Equivalence{"chain", 66, "ft"},
                                           Equivalence{"rod", 16.5, "ft"}, Equivalence{"link", 0.66, "ft"},
                                           Equivalence{"hand", 4, "in"}, Equivalence{"mil", 0.001, "in"},
                                           Equivalence{"fath", 6 * 1200.0 / 3937, "m"},
                                           Equivalence{"km", 1000, "m"}, Equivalence{"mm", 0.1, "cm"},
                                           Equivalence{"angs", 1e-10, "m"}, Equivalence{"micron", 1e-6, "m"},
                                           Equivalence{"fermi", 1e-15, "m"}));

// The same agreement: 1 lb = 0.45359237 kg; 1 lb = 7000 grains; troy and apothecaries' weights
// in grains; the slug is the mass that 1 lbf accelerates at 1 ft/sec^2.
INSTANTIATE_TEST_SUITE_P(
    Mass, UnitEquivalence,
    ::testing::Values(Equivalence{"lbm", 0.45359237, "kg"}, Equivalence{"oz", 0.0625, "lbm"},
                      Equivalence{"gr", 1.0 / 7000, "lbm"}, Equivalence{"ton", 2000, "lbm"},
                      Equivalence{"tonUK", 2240, "lbm"}, Equivalence{"lbTroy", 5760, "gr"},
                      Equivalence{"ozTroy", 480, "gr"}, Equivalence{"dram", 0.0625, "oz"},
                      Equivalence{"scruple", 20, "gr"}, Equivalence{"drAp", 60, "gr"},
                      Equivalence{"pennywt", 24, "gr"}, Equivalence{"mton", 1000, "kg"},
                      Equivalence{"g", 0.001, "kg"}, Equivalence{"slug", 1, "lbf*sec^2/ft"}));

// Civil time; a revolution is 360 degrees, 400 grads, 2 pi radians.
INSTANTIATE_TEST_SUITE_P(TimeAndAngle, UnitEquivalence,
                         ::testing::Values(Equivalence{"min", 60, "sec"}, Equivalence{"hr", 3600, "sec"},
                                           Equivalence{"day", 86400, "sec"}, Equivalence{"wk", 604800, "sec"},
                                           Equivalence{"rev", 360, "deg"}, Equivalence{"rev", 400, "grad"},
                                           Equivalence{"rev", 6.283185307179586, "rad"},
                                           Equivalence{"RPM", 1, "rev/min"}));

// Pound-force = pound mass times standard gravity 9.80665 m/sec^2 (NIST SP 811):
// 1 lbf = 4.4482216152605 N; the poundal is 1 lbm*ft/sec^2.
INSTANTIATE_TEST_SUITE_P(Force, UnitEquivalence,
                         ::testing::Values(Equivalence{"lbf", 4.4482216152605, "N"},
                                           Equivalence{"kip", 1000, "lbf"}, Equivalence{"dyne", 1e-5, "N"},
                                           Equivalence{"kN", 1000, "N"}, Equivalence{"MN", 1e6, "N"},
                                           Equivalence{"Pndl", 1, "lbm*ft/sec^2"}));

// International Table calorie 4.1868 J and BTU 1055.05585262 J; erg 1e-7 J;
// horsepower 550 ft*lbf/sec (NIST SP 811).
INSTANTIATE_TEST_SUITE_P(EnergyAndPower, UnitEquivalence,
                         ::testing::Values(Equivalence{"cal", 4.1868, "J"}, Equivalence{"Kcal", 1000, "cal"},
                                           Equivalence{"BTU", 1055.05585262, "J"},
                                           Equivalence{"erg", 1e-7, "J"},
                                           Equivalence{"lbf*ft", 1.3558179483314004, "J"},
                                           Equivalence{"hp", 550, "ft*lbf/sec"}, Equivalence{"kW", 1000, "W"},
                                           Equivalence{"W", 1, "J/sec"}));

// U.S. gallon 231 in^3 and its parts; litre 1000 cm^3; oil barrel 42 gal; U.S. bushel 2150.42 in^3
// and the peck a quarter of it; imperial gallon of 1963, 4.546092 l, and its fluid ounce 1/160 of it.
INSTANTIATE_TEST_SUITE_P(
    Volume, UnitEquivalence,
    ::testing::Values(Equivalence{"gal", 231, "in^3"}, Equivalence{"qt", 0.25, "gal"},
                      Equivalence{"pt", 0.125, "gal"}, Equivalence{"ozfl", 1.0 / 128, "gal"},
                      Equivalence{"drfl", 0.125, "ozfl"}, Equivalence{"Tbsp", 0.5, "ozfl"},
                      Equivalence{"tsp", 1.0 / 3, "Tbsp"}, Equivalence{"l", 1000, "cm^3"},
                      Equivalence{"ml", 1, "cm^3"}, Equivalence{"ft^3", 1728, "in^3"},
                      Equivalence{"bbl", 42, "gal"}, Equivalence{"bu", 2150.42, "in^3"},
                      Equivalence{"pk", 0.25, "bu"}, Equivalence{"galU", 4.546092, "l"},
                      Equivalence{"ozUK", 1.0 / 160, "galU"}, Equivalence{"GPM", 1, "gal/min"}));

// U.S. survey areas: acre 43560 ft^2, section one square mile of 640 acres, township 36 sections.
INSTANTIATE_TEST_SUITE_P(Area, UnitEquivalence,
                         ::testing::Values(Equivalence{"Acre", 43560, "ft^2"},
                                           Equivalence{"mi^2", 640, "Acre"},
                                           Equivalence{"Section", 1, "mi^2"}, Equivalence{"Twp", 36, "mi^2"},
                                           Equivalence{"ha", 10000, "m^2"},
                                           Equivalence{"ft^2", 144, "in^2"}));

// Standard atmosphere 101325 Pa; bar 1e5 Pa; psi one lbf per in^2; poise 0.1 Pa*sec; stokes cm^2/sec.
INSTANTIATE_TEST_SUITE_P(PressureAndViscosity, UnitEquivalence,
                         ::testing::Values(Equivalence{"Atm", 101325, "Pa"}, Equivalence{"Bar", 1e5, "Pa"},
                                           Equivalence{"psi", 1, "lbf/in^2"},
                                           Equivalence{"psf", 1, "lbf/ft^2"}, Equivalence{"ksi", 1000, "psi"},
                                           Equivalence{"ksf", 1000, "psf"}, Equivalence{"MPa", 1e6, "Pa"},
                                           Equivalence{"P", 0.1, "Pa*sec"}, Equivalence{"cP", 0.01, "P"},
                                           Equivalence{"St", 1, "cm^2/sec"}, Equivalence{"cSt", 0.01, "St"}));

TEST(UnitCatalogue, InverseFactorIsTheReciprocalOutsideTheRuleUnits) {
    InitUnitTables();
    InitUnitTables(); // a second call changes nothing
    for (int slot = 1; slot <= UnitSlotCount; ++slot) {
        if (UnitName(slot).empty() || (slot >= RuleSlot::C && slot <= RuleSlot::R)) continue;
        EXPECT_EQ(UnitInverseFactor(slot), 1 / UnitFactor(slot)) << UnitName(slot);
    }
}

// A conversion raises the factors of its units to their exponents and shows no reason for a
// refused power: none may be refused, so every unit's factor is above zero. K and R keep their
// offsets there; inside a larger unit they count as C and F intervals.
TEST(UnitCatalogue, FactorsArePositiveSoTheirPowersAreNeverRefused) {
    InitUnitTables();
    for (int slot = 1; slot <= unitcat::EntryCapacity; ++slot) {
        const auto& info = unitcat::Slot(slot);
        if (info.name.empty() || slot == RuleSlot::K || slot == RuleSlot::R) continue;
        EXPECT_GT(info.factor, 0) << info.name;
        EXPECT_GT(info.inverse, 0) << info.name;
    }
}

// The temperature slots convert by their rule, with offsets, not by a factor.
TEST(UnitCatalogue, TemperaturesConvertWithTheirOffsets) {
    const struct {
        const char* from;
        const char* to;
        double expected;
    } cases[] = {{"212 F", "C", 100}, {"0 C", "F", 32},      {"0 C", "K", 273.15}, {"0 C", "R", 491.67},
                 {"-40 F", "C", -40}, {"300 K", "F", 80.33}, {"0 R", "K", 0}};
    for (const auto& c : cases) {
        TNumberUnits q;
        ASSERT_TRUE(q.SetText(c.from));
        ASSERT_TRUE(q.ConvertTo(c.to));
        EXPECT_NEAR(q.GetValue(), c.expected, 1e-9) << c.from << " in " << c.to;
    }
}

TEST(UnitCatalogue, SlotsGroupsAndExpansions) {
    int named = 0;
    for (int slot = 1; slot <= UnitSlotCount; ++slot)
        named += !UnitName(slot).empty() && !unitcat::OriginOf(slot).prefix;
    // with the temperature differences dC and dF in slots 61 and 62, Hz in 101 and kWh in 74
    EXPECT_EQ(named, 129);
    EXPECT_TRUE(UnitName(GapSlot::Temperature).empty());
    EXPECT_EQ(UnitFactor(GapSlot::Temperature), 0);
    EXPECT_TRUE(UnitName(0).empty());
    EXPECT_TRUE(UnitName(unitcat::EntryCapacity + 1).empty());
    EXPECT_EQ(UnitBaseExpansion(FindUnit("N")), "(kg*m*sec^-2)");
    EXPECT_EQ(UnitBaseExpansion(FindUnit("Person")), "Number");
    EXPECT_EQ(UnitBaseExpansion(FindUnit("Farad")), "(kg^-1*m^-2*sec^2*Coul^2)");
    EXPECT_STREQ(UnitGroupName(UnitGroupOf(FindUnit("RPM"))), "Angular speed");
    EXPECT_STREQ(UnitGroupName(UnitGroupOf(DifferenceSlot::dC)), "Temperature");
    EXPECT_STREQ(UnitGroupName(UnitGroupOf(GapSlot::Temperature)), "Temperature");
    EXPECT_EQ(UnitGroupOf(GapSlot::NoGroup), UnitGroup::None);
    EXPECT_EQ(SignatureValue(BaseSlot::m), 3.1);
    EXPECT_EQ(SignatureValue(FindUnit("ft")), 0);
}

// The slots the engine names hold the units it means by them.
TEST(UnitCatalogue, NamedSlotsHoldTheirUnits) {
    const std::pair<int, const char*> cases[] = {
        {BaseSlot::m, "m"},         {BaseSlot::kg, "kg"},         {BaseSlot::sec, "sec"},
        {BaseSlot::rad, "rad"},     {BaseSlot::C, "C"},           {BaseSlot::Coul, "Coul"},
        {BaseSlot::USD, "$US"},     {BaseSlot::Number, "Number"}, {BaseSlot::Mole, "Mole"},
        {RuleSlot::C, "C"},         {RuleSlot::F, "F"},           {RuleSlot::K, "K"},
        {RuleSlot::R, "R"},         {RuleSlot::St, "St"},         {RuleSlot::SUS, "SUS"},
        {DifferenceSlot::dC, "dC"}, {DifferenceSlot::dF, "dF"},   {GapSlot::Temperature, ""},
        {GapSlot::NoGroup, ""}};
    for (const auto& [slot, name] : cases) EXPECT_EQ(UnitName(slot), name) << slot;
}

TEST(UnitCatalogue, FindUnitIgnoresCaseAndTakesTheFirstSlot) {
    // The catalogue's name of the slot found; "" for none.
    const std::pair<const char*, const char*> cases[] = {
        {"LBF", "lbf"},       {"Lbf", "lbf"}, {"lbf", "lbf"},         {"kpa", "KPa"}, {"mn", "MN"},
        {"MM", "mm"},         {"$us", "$US"}, {"sec", "sec"},         {"c", "C"},     {"f", "F"},
        {"ft*lbf", "ft*lbf"}, {"M^3", "m^3"}, {"furlong", "furlong"}, {"", ""},       {"xyz", ""},
        {"furlongs", ""}};
    for (const auto& [name, found] : cases) {
        const int slot = FindUnit(name);
        if (*found) {
            EXPECT_LE(slot, UnitSlotCount) << name;
            EXPECT_EQ(UnitName(slot), found) << name;
        } else {
            EXPECT_EQ(slot, 0) << name;
        }
    }
}

TEST(UnitCatalogue, UnknownResultCodeHasTheLastMessage) {
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
