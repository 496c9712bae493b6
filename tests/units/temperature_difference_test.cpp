// Temperature differences dC and dF: their catalogue rows, their conversions, and the sums and
// differences in which they meet temperatures.
#include "units/NumberUnits.h"
#include "units/QuantityMath.h"

#include "support/unit_engine_scope.h"

#include <gtest/gtest.h>
#include <string>

namespace {

TEST(TemperatureDifference, CatalogueRows) {
    InitUnitTables();
    EXPECT_EQ(FindUnit("dC"), DifferenceSlot::dC);
    EXPECT_EQ(FindUnit("DF"), DifferenceSlot::dF);
    for (int slot : {DifferenceSlot::dC, DifferenceSlot::dF}) {
        EXPECT_EQ(UnitGroupOf(slot), UnitGroup::Temperature) << slot;
        EXPECT_EQ(UnitBaseExpansion(slot), "C") << slot;
        EXPECT_EQ(UnitInverseFactor(slot), 1 / UnitFactor(slot)) << slot;
    }
    EXPECT_EQ(UnitFactor(DifferenceSlot::dC), 1);
    EXPECT_EQ(UnitFactor(DifferenceSlot::dF), 1.8);
}

struct ConversionCase {
    const char* from;
    const char* to;
    bool converts;
    double expected;
};

TEST(TemperatureDifference, Conversions) {
    UnitEngineScope scope;
    const ConversionCase cases[] = {
        // Differences among themselves and with K and R, degree for degree.
        {"10 dC", "dF", true, 18},
        {"18 dF", "dC", true, 10},
        {"10 dC", "K", true, 10},
        {"10 dC", "R", true, 18},
        {"18 R", "dC", true, 10},
        {"10 K", "dF", true, 18},
        {"-5 dF", "dC", true, -5 / 1.8},
        // Never to or from a point on the C or F scale.
        {"10 dC", "C", false, 0},
        {"10 dF", "F", false, 0},
        {"10 dC", "F", false, 0},
        {"20 C", "dC", false, 0},
        {"68 F", "dF", false, 0},
        // Inside compounds a difference is what C and F already are there.
        {"1 J/kg*dC", "J/kg*K", true, 1},
        {"1 J/kg*dF", "J/kg*R", true, 1},
        {"1 J/kg*dF", "J/kg*K", true, 1.8}, // a Fahrenheit degree is the smaller step
        {"1 J/kg*dC", "J/kg*C", true, 1},
        {"2 dC/sec", "F/sec", true, 3.6},
        // The temperatures keep their offsets.
        {"212 F", "C", true, 100},
        {"0 C", "K", true, 273.15},
        {"300 K", "R", true, 540},
    };
    for (const auto& c : cases) {
        TNumberUnits q;
        ASSERT_TRUE(q.SetText(c.from)) << c.from;
        EXPECT_EQ(q.ConvertTo(c.to), c.converts) << c.from << " to " << c.to;
        if (c.converts) {
            EXPECT_NEAR(q.GetValue(), c.expected, 1e-12) << c.from << " to " << c.to;
            // The converted quantity carries the base value of its new reading.
            TNumberUnits again;
            ASSERT_TRUE(again.SetText(q.GetText()));
            EXPECT_NEAR(again.BaseValue, q.BaseValue, 1e-9) << c.from << " to " << c.to;
        } else {
            EXPECT_EQ(q.ErrorCode, _UnitIncomp) << c.from << " to " << c.to;
        }
    }
}

struct SumCase {
    const char* a;
    const char* b;
    int sign;
    const char* full; // nullptr: refused
};

TEST(TemperatureDifference, SumsAndDifferences) {
    UnitEngineScope scope{{true, true}};
    const SumCase cases[] = {
        // A temperature moved by a difference stays on its own scale.
        {"20 C", "10 dF", +1, "25.5555555555556 C"},
        {"20 C", "10 dF", -1, "14.4444444444444 C"},
        {"68 F", "10 dC", +1, "86 F"},
        {"300 K", "18 dF", +1, "310 K"},
        {"500 R", "10 dC", -1, "482 R"},
        // Two temperatures on the C and F scales are a difference on the first one's scale.
        {"30 C", "20 C", -1, "10 dC"},
        {"100 F", "32 F", -1, "68 dF"},
        {"30 C", "50 F", -1, "20 dC"},
        {"212 F", "100 C", -1, "0 dF"},
        {"20 C", "30 C", -1, "-10 dC"},
        // Differences add as differences.
        {"10 dC", "18 dF", +1, "20 dC"},
        {"10 dC", "5 K", +1, "15 dC"},
        {"18 dF", "10 dC", -1, "0 dF"},
        // A difference plus a point on a scale is no quantity the calculator keeps.
        {"10 dC", "20 C", +1, nullptr},
        {"10 dF", "20 F", -1, nullptr},
        {"10 dC", "2 m", +1, nullptr},
        // Temperature plus temperature, and K or R taken away, as before.
        {"20 C", "10 C", +1, "30 C"},
        {"20 C", "10 F", +1, "7.77777777777778 C"},
        {"20 C", "10 K", +1, "-243.15 C"},
        {"30 C", "300 K", -1, "3.14999999999998 C"},
    };
    for (const auto& c : cases) {
        std::string full, units, error;
        double value = 0;
        const bool ok = QuantityAddSub(c.a, c.b, c.sign, full, value, units, error);
        const std::string what = std::string(c.a) + (c.sign > 0 ? " + " : " - ") + c.b;
        if (!c.full) {
            EXPECT_FALSE(ok) << what << " gave " << full;
            EXPECT_EQ(error, "Second number convert failed") << what;
            continue;
        }
        ASSERT_TRUE(ok) << what << ": " << error;
        EXPECT_EQ(full, c.full) << what;
        EXPECT_EQ(full, NumberText(value) + " " + units) << what;
    }
}

TEST(TemperatureDifference, ProductsKeepTheDifference) {
    UnitEngineScope scope{{true, true}};
    std::string full, units, error;
    double value = 0;
    ASSERT_TRUE(QuantityMulDiv("4 dC", "0.5", true, full, value, units, error)) << error;
    EXPECT_EQ(full, "2 dC");
    ASSERT_TRUE(QuantityMulDiv("4186 J/kg*dC", "2 dC", true, full, value, units, error)) << error;
    EXPECT_EQ(units, "J/kg");
    EXPECT_EQ(value, 8372);
}

} // namespace
