// Unit lists raised to a power: every entry lands on the side its new exponent's sign gives, an
// exponent that vanishes drops out, and no list ever holds more than its places.
#include "units/Exponent.h"
#include "units/NumberUnits.h"
#include "units/UnitLists.h"

#include "support/unit_engine_scope.h"

#include <gtest/gtest.h>

#include <map>
#include <string>

namespace {

using unitdetail::EntryAt;
using unitdetail::EntryCount;

// Each unit's exponent, the denominator's negative.
std::map<int, double> Signed(const TUnitLists& lists) {
    std::map<int, double> exponents;
    for (int list = 0; list < 2; ++list)
        for (int k = 0; k < EntryCount(lists, list); ++k) {
            const auto e = EntryAt(lists, list, k);
            exponents[e.unit] += list == 0 ? e.exponent : -e.exponent;
        }
    return exponents;
}

TEST(UnitPower, EntriesChangeSidesOrDropOutWithinTheirPlaces) {
    UnitEngineScope scope;
    struct Case {
        const char* units;
        double x;
        int top, bottom; // entries on each side of the result
    };
    const Case cases[] = {
        // Seven units that turn to the bottom beside seven that vanish: once overran the bottom list.
        {"m^3*kg^3*A^3*V^3*J^3*lbf^3*W^3/sec*hr*in*yd*mi*Pa*psi", -4.656612873077393e-10, 0, 7},
        // The same with the sides the other way round.
        {"sec*hr*in*yd*mi*Pa*psi/m^3*kg^3*A^3*V^3*J^3*lbf^3*W^3", -4.656612873077393e-10, 7, 0},
        // Every exponent vanishes.
        {"m*kg*A*V*J*lbf*W/sec*hr*in*yd*mi*Pa*psi", 1e-12, 0, 0},
        // Full lists change sides whole.
        {"m*kg*A*V*J*lbf*W/sec*hr*in*yd*mi*Pa*psi", -1, 7, 7},
        {"m*kg*A*V*J*lbf*W/sec*hr*in*yd*mi*Pa*psi", 2, 7, 7},
        {"m/sec", 0, 0, 0},
    };
    for (const auto& c : cases) {
        const ParseResult parsed = ParseUnitList(c.units);
        ASSERT_TRUE(parsed.ok) << c.units;
        TUnitLists raised;
        ASSERT_TRUE(RaiseUnitLists(parsed.lists, c.x, raised)) << c.units << " ^ " << c.x;
        EXPECT_EQ(EntryCount(raised, 0), c.top) << c.units << " ^ " << c.x;
        EXPECT_EQ(EntryCount(raised, 1), c.bottom) << c.units << " ^ " << c.x;
        // Each surviving unit's exponent is its old one times x, snapped as exponent arithmetic is.
        std::map<int, double> expected;
        for (const auto& [unit, exponent] : Signed(parsed.lists)) {
            const double e = unitdetail::SnapExponent(exponent * c.x);
            if (e != 0) expected[unit] = e;
        }
        EXPECT_EQ(Signed(raised), expected) << c.units << " ^ " << c.x;
    }
}

// The typed entry that once overran a list: the power goes through, the vanishing units go, and
// the quantity keeps its value.
TEST(UnitPower, QuantityToATinyNegativePower) {
    UnitEngineScope scope;
    TNumberUnits q;
    ASSERT_TRUE(q.SetText("1 m^3*kg^3*A^3*V^3*J^3*lbf^3*W^3/sec*hr*in*yd*mi*Pa*psi"));
    ASSERT_TRUE(q.RaiseToPower(-4.656612873077393e-10));
    EXPECT_EQ(q.GetValue(), 1);
    EXPECT_EQ(q.GetUnits().find("sec"), std::string::npos) << q.GetUnits();
    EXPECT_EQ(q.GetUnits().front(), '/') << q.GetUnits();
}

} // namespace
