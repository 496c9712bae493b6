// Unit texts built one picked unit at a time, as the units selector builds them.
#include "units/PickedUnits.h"

#include <gtest/gtest.h>

#include <ostream>

#include "support/unit_engine_scope.h"

namespace {

struct PickCase {
    const char* current;
    const char* picked;
    bool intoDenominator;
    std::optional<std::string> result; // nothing: the combined units do not parse
};

void PrintTo(const PickCase& c, std::ostream* os) {
    *os << '"' << c.current << "\" picking \"" << c.picked << "\" into the "
        << (c.intoDenominator ? "denominator" : "numerator");
}

class PickedUnit : public ::testing::TestWithParam<PickCase> {
protected:
    UnitEngineScope scope;
};

TEST_P(PickedUnit, CombinesAndReduces) {
    const PickCase& p = GetParam();
    EXPECT_EQ(AddPickedUnit(p.current, p.picked, p.intoDenominator), p.result);
}

INSTANTIATE_TEST_SUITE_P(
    Selector, PickedUnit,
    ::testing::Values(PickCase{"ft", "sec", true, "ft/sec"}, PickCase{"ft/sec", "sec", true, "ft/sec^2"},
                      PickCase{"ft/sec", "sec", false, "ft"}, PickCase{"", "km/hr", false, "km/hr"},
                      PickCase{"", "km/hr", true, "hr/km"}, PickCase{"m", "m", false, "m^2"},
                      PickCase{"m", "m", true, ""}, PickCase{"", "ft-lbf", false, "lbf*ft"},
                      PickCase{"", "lbf*sec/in^2", false, "lbf*sec/in^2"},
                      PickCase{"ft", "SUS", false, "ft*SUS"}, PickCase{"ft", "fx", false, std::nullopt},
                      PickCase{"qq", "ft", false, std::nullopt}));

TEST(PickedUnits, JoinWritesEverySeparator) {
    EXPECT_EQ(JoinPickedUnit("", "ft", false), "*ft/*");
    EXPECT_EQ(JoinPickedUnit("", "ft", true), "*/*ft");
    EXPECT_EQ(JoinPickedUnit("ft/sec", "km/hr", true), "ft*hr/sec*km");
}

TEST(PickedUnits, SplitAtTheFirstSlash) {
    EXPECT_EQ(SplitAtSlash("kg/m*sec^2"), (std::pair<std::string, std::string>{"kg", "m*sec^2"}));
    EXPECT_EQ(SplitAtSlash("a/b/c"), (std::pair<std::string, std::string>{"a", "b/c"}));
    EXPECT_EQ(SplitAtSlash("ft"), (std::pair<std::string, std::string>{"ft", ""}));
}

TEST(PickedUnits, StartingUnitsOfAQuantityText) {
    UnitEngineScope scope;
    EXPECT_EQ(StartingUnits("12 ft/sec"), "ft/sec");
    EXPECT_EQ(StartingUnits(""), "");
    EXPECT_EQ(StartingUnits("12"), "");
    EXPECT_EQ(ReducedUnitText(""), "");
    EXPECT_EQ(ReducedUnitText("3 ft*ft/ft"), "ft");
}

} // namespace
