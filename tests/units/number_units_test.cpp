// The quantity type: parsing into a quantity, conversions, powers, dimensions and text.
#include "units/NumberUnits.h"
#include "units/QuantityMath.h"

#include "support/unit_engine_scope.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <random>

namespace {

class NumberUnitsTest : public ::testing::Test {
protected:
    static TNumberUnits Q(std::string_view text) {
        TNumberUnits q;
        EXPECT_TRUE(q.SetText(text)) << text;
        return q;
    }
    UnitEngineScope scope;
};

void ExpectNear(double actual, double expected, const std::string& what) {
    EXPECT_NEAR(actual, expected, std::fabs(expected) * 1e-12 + 1e-300) << what;
}

// A quantity without a value has no text and takes part in nothing, even after a blank entry.
TEST_F(NumberUnitsTest, QuantityWithoutValueRefusesOperations) {
    TNumberUnits q;
    EXPECT_TRUE(q.SetText("  "));
    EXPECT_EQ(q.ErrorCode, _NoEntry);
    EXPECT_TRUE(q.Empty);
    EXPECT_EQ(q.GetText(), "");
    EXPECT_EQ(q.GetDisplayText(), "");
    EXPECT_FALSE(q.RaiseToPower(2));
    EXPECT_FALSE(q.IsAngleOrUnitless());
    EXPECT_FALSE(q.IsSUS());
    q.ConvertToPreferred();
    EXPECT_TRUE(q.Empty);
}

TEST_F(NumberUnitsTest, SetText) {
    struct Case {
        const char* text;
        double value;
        const char* units;
        double base;
        const char* baseUnits;
    };
    const Case cases[] = {
        {"12.5 ft", 12.5, "ft", 3.81, "m"},
        {"2 ft*lbf", 2, "lbf*ft", 2 * 0.3048 / 0.2248089431, "m^2*kg/sec^2"},
        {"3 N*m/m^2", 3, "N/m", 3, "kg/sec^2"},
        {"1 mi", 1, "mi", 1609.344, "m"},
        {"(kg*m)/sec^2", 1, "m*kg/sec^2", 1, "m*kg/sec^2"},
        {"2 kg/m*sec^2", 2, "kg/m*sec^2", 2, "kg/m*sec^2"},
        {"5", 5, "", 5, ""},
        {"1 F/sec", 1, "F/sec", 0.5555555555555556, "C/sec"},
        {"1 V*A", 1, "A*V", 1, "m^2*kg/sec^3"},
        {"1 Farad", 1, "Farad", 1, "sec^2*Coul^2/m^2*kg"},
        {"4 ft^0.5", 4, "ft^0.5", 4 * std::exp(0.5 * std::log(0.3048)), "m^0.5"},
        {"1 W^0.37", 1, "W^0.37", 1, "m^0.74*kg^0.37/sec^1.1"},
    };
    for (const auto& c : cases) {
        TNumberUnits q;
        ASSERT_TRUE(q.SetText(c.text)) << c.text;
        EXPECT_FALSE(q.Empty);
        EXPECT_EQ(q.ErrorCode, _OK);
        EXPECT_EQ(q.GetValue(), c.value) << c.text;
        EXPECT_EQ(q.GetUnits(), c.units) << c.text;
        ExpectNear(q.BaseValue, c.base, c.text);
        EXPECT_EQ(q.BaseUnitsText, c.baseUnits) << c.text;
    }
    EXPECT_EQ(Q("12.5 ft").BaseValue, 3.81);
}

// A text that does not read leaves the quantity as it was, whatever the text.
TEST_F(NumberUnitsTest, SetTextFailuresKeepTheQuantity) {
    for (const char* bad : {"5 furlongs", "5 xyz", "2 m^", "1 m^2kg", "-", "+.", "1e", "1e400 m",
                            "1 m*m*m*m*m*m*m*m", "1 N*rad*C*Coul*$US*Number*Mole", "1 m^1e308*ft^1e308",
                            "1E300 ft^-30", "10 SUS", "1 SUS*sec", "-5 SUS", "0 SUS"}) {
        TNumberUnits q = Q("12.5 ft");
        EXPECT_FALSE(q.SetText(bad)) << bad;
        EXPECT_TRUE(q.ErrorFlag) << bad;
        EXPECT_EQ(q.ErrorCode, _UnitProblem) << bad;
        EXPECT_EQ(q.GetValue(), 12.5) << bad;
        EXPECT_EQ(q.GetUnits(), "ft") << bad;
        EXPECT_EQ(q.BaseUnitsText, "m") << bad;
    }
    TNumberUnits q = Q("1 m");
    EXPECT_TRUE(q.SetText("  "));
    EXPECT_EQ(q.ErrorCode, _NoEntry);
    EXPECT_EQ(q.GetUnits(), "m");
}

TEST_F(NumberUnitsTest, TemperatureRule) {
    struct Case {
        const char* from;
        const char* to;
        double expected;
    };
    const Case cases[] = {
        {"212 F", "C", 100},
        {"0 C", "F", 32},
        {"0 C", "K", 273.15},
        {"0 C", "R", 491.67},
        {"300 K", "C", 26.85},
        {"491.67 R", "F", 32},
        {"2 F^2", "C^2", -16.666666666666668},
        {"1 F/sec", "C/sec", 0.5555555555555556},
        // "K" and "R" inside an expression are intervals.
        {"1 J/kg*K", "J/kg*C", 1},
        {"1.8 BTU/lbm*R", "BTU/lbm*F", 1.8},
        {"1 BTU/lbm*R", "J/kg*K", 4186.8},
    };
    for (const auto& c : cases) {
        TNumberUnits q = Q(c.from);
        ASSERT_TRUE(q.ConvertTo(c.to)) << c.from << " to " << c.to;
        ExpectNear(q.GetValue(), c.expected, std::string(c.from) + " to " + c.to);
    }
}

TEST_F(NumberUnitsTest, SayboltRule) {
    TNumberUnits q = Q("100 SUS");
    ExpectNear(q.BaseValue, 2.065e-05, "100 SUS");
    EXPECT_EQ(q.BaseUnitsText, "m^2/sec");
    ExpectNear(Q("200 SUS").BaseValue, (0.0022 * 200 - 1.35 / 200) * 1e-4, "200 SUS");
    ExpectNear(Q("29.4 SUS").BaseValue, (0.00226 * 29.4 - 1.95 / 29.4) * 1e-4, "29.4 SUS");
    TNumberUnits back = Q("2.065e-05 m^2/sec");
    ASSERT_TRUE(back.ConvertTo("SUS"));
    ExpectNear(back.GetValue(), 100, "back to SUS");
    TNumberUnits cst = Q("50 cSt");
    ASSERT_TRUE(cst.ConvertTo("SUS"));
    TNumberUnits again = Q(std::to_string(cst.GetValue()) + " SUS");
    ASSERT_TRUE(again.ConvertTo("cSt"));
    EXPECT_NEAR(again.GetValue(), 50, 1e-6);
    // A negative viscosity has no Saybolt time.
    TNumberUnits negative = Q("-1 cSt");
    EXPECT_FALSE(negative.ConvertTo("SUS"));
    EXPECT_EQ(negative.ErrorCode, _UnitProblem);
    EXPECT_EQ(negative.GetUnits(), "cSt");
}

TEST_F(NumberUnitsTest, ConvertTo) {
    TNumberUnits q = Q("1 ft");
    ASSERT_TRUE(q.ConvertTo("in"));
    EXPECT_EQ(q.GetValue(), 12.000000000000002);
    EXPECT_EQ(q.GetUnits(), "in");
    EXPECT_EQ(q.BaseUnitsText, "m");
    EXPECT_FALSE(q.ConvertTo("kg"));
    EXPECT_TRUE(q.ErrorFlag);
    EXPECT_EQ(q.ErrorCode, _UnitIncomp);
    EXPECT_EQ(q.GetErrorText(), "Units Incompatable");
    EXPECT_EQ(q.GetUnits(), "in");

    TNumberUnits rpm = Q("60 RPM");
    ASSERT_TRUE(rpm.ConvertTo("rad/sec"));
    EXPECT_NEAR(rpm.GetValue(), 6.2831853072, 1e-11); // 60 / 9.54929658548
    TNumberUnits rad = Q("1 rad/sec");
    ASSERT_TRUE(rad.ConvertTo("/sec"));
    EXPECT_EQ(rad.GetValue(), 1);
    EXPECT_EQ(rad.GetUnits(), "/sec");
    EXPECT_EQ(rad.BaseUnitsText, "rad/sec");

    TNumberUnits number = Q("7");
    EXPECT_TRUE(number.ConvertTo(""));
    EXPECT_TRUE(number.ConvertTo("rad"));
    EXPECT_TRUE(Q("1 m^0.333").ConvertTo("ft^0.33"));
    EXPECT_TRUE(Q("1 ft^0.1*in^0.2").ConvertTo("m^0.3"));

    TNumberUnits huge = Q("1E300 m");
    EXPECT_FALSE(huge.ConvertTo("angs")); // 1E310 has no double
    EXPECT_EQ(huge.ErrorCode, _UnitProblem);
    EXPECT_EQ(huge.GetValue(), 1E300);

    TNumberUnits target = Q("3 ft");
    EXPECT_THROW(target.ConvertTo("furlongs"), ENumberException);
    EXPECT_EQ(target.ErrorCode, _UnitProblem);
    EXPECT_TRUE(target.ErrorFlag);
    EXPECT_EQ(target.GetUnits(), "ft");
    EXPECT_THROW(
        try { target.ConvertTo("m^2kg"); } catch (const ENumberException& e) {
            EXPECT_STREQ(e.what(), "Unit problem-check the units entered\nexponent \"2kg\" is not a number");
            throw;
        },
        ENumberException);
}

TEST_F(NumberUnitsTest, DimensionsCompareByExponents) {
    auto same = [](const char* a, const char* b) {
        return TNumberUnits::SameDimensions(Q(a).Signature, Q(b).Signature);
    };
    EXPECT_TRUE(same("1 N", "1 kg*m/sec^2"));
    EXPECT_TRUE(same("1 rad/sec", "1 /sec"));
    EXPECT_TRUE(same("1", "2"));
    EXPECT_TRUE(same("1", "1 deg"));
    EXPECT_TRUE(same("1 V", "1 J/Coul"));
    EXPECT_TRUE(same("1 Ohm*Farad", "1 sec"));
    EXPECT_FALSE(same("1 Coul", "1 Mole"));
    EXPECT_FALSE(same("1 A", "1 Mole/sec"));
    EXPECT_FALSE(same("1 m", "1 C"));
    EXPECT_FALSE(same("1 m^2", "1 m"));
    EXPECT_FALSE(same("1 $US/Item", "1 $US"));
    // Each base unit takes its own place: no product of other exponents can stand in for it.
    const char* bases[] = {"m", "kg", "sec", "C", "Coul", "$US", "Number", "Mole"};
    for (const char* a : bases)
        for (const char* b : bases) {
            const std::string x = std::string("1 ") + a + "^2";
            const std::string y = std::string("1 ") + b + "^2";
            EXPECT_EQ(same(x.c_str(), y.c_str()), a == b) << a << " " << b;
        }
    EXPECT_EQ(Q("5").Signature, TSignature{});
}

TEST_F(NumberUnitsTest, ConvertToPreferred) {
    struct Case {
        bool si;
        const char* text;
        const char* units;
        double value; // 0: not checked
    };
    const Case cases[] = {
        {true, "1 lbf", "N", 4.448221615254772},
        {true, "2 J/Coul", "V", 2},
        {true, "20 C", "C", 20},
        {true, "3", "", 3},
        {false, "1 m", "ft", 3.2808398950131235},
        {false, "1 N*m", "lbf*ft", 0},
        {false, "1 rad", "deg", 57.29577951308232},
    };
    for (const auto& c : cases) {
        SetUnitFlags({c.si, AutoConvert});
        TNumberUnits q = Q(c.text);
        q.ConvertToPreferred();
        EXPECT_EQ(q.GetUnits(), c.units) << c.text;
        if (c.value != 0) {
            EXPECT_EQ(q.GetValue(), c.value) << c.text;
        }
    }
}

TEST_F(NumberUnitsTest, RaiseToPower) {
    struct Case {
        const char* text;
        double x;
        double value;
        const char* units;
    };
    const Case cases[] = {
        {"3 m/sec", 2, 9, "m^2/sec^2"}, {"4 m^2", 0.5, 2, "m"},     {"2 m", -1, 0.5, "/m"},
        {"2 m/sec", -1, 0.5, "sec/m"},  {"-2 ft", 3, -8, "ft^3"},   {"5 m", 0, 1, ""},
        {"0 m", 2, 0, "m^2"},           {"8 m^3", 1.0 / 3, 2, "m"}, {"2 m", 1e-6, 1.0000006931474, "m^1E-6"},
    };
    for (const auto& c : cases) {
        TNumberUnits q = Q(c.text);
        ASSERT_TRUE(q.RaiseToPower(c.x)) << c.text << " ^ " << c.x;
        ExpectNear(q.GetValue(), c.value, c.text);
        EXPECT_EQ(q.GetUnits(), c.units) << c.text << " ^ " << c.x;
    }
}

TEST_F(NumberUnitsTest, RaiseToPowerFailuresKeepTheQuantity) {
    struct Case {
        const char* text;
        double x;
        TErrors code;
        const char* message; // the reason the caller names (PowerMessage), or nothing
    };
    const Case cases[] = {
        {"0 m", -1, _DivideByZero, nullptr},
        {"0 m", -2, _DivideByZero, nullptr},
        {"0 m", -0.5, _DivideByZero, nullptr},
        {"-8 m^3", 1.0 / 3, _UnitProblem, "Negative to a fractional power not allowed"},
        {"1E200 m", 2, _UnitProblem, nullptr},
        {"2 m", std::numeric_limits<double>::infinity(), _UnitProblem, nullptr},
        {"2 m", NAN, _UnitProblem, nullptr},
        {"2 m^1E300", 1E10, _UnitProblem, nullptr},
    };
    for (const auto& c : cases) {
        TNumberUnits q = Q(c.text);
        const std::string before = q.GetText();
        EXPECT_FALSE(q.RaiseToPower(c.x)) << c.text;
        EXPECT_TRUE(q.ErrorFlag) << c.text;
        EXPECT_EQ(q.ErrorCode, c.code) << c.text;
        EXPECT_EQ(q.GetText(), before) << c.text;
        if (c.message) {
            EXPECT_EQ(PowerMessage(q.GetValue(), c.x), c.message) << c.text;
        }
    }
}

TEST_F(NumberUnitsTest, PredicatesAndText) {
    EXPECT_TRUE(Q("1 deg").IsAngleOrUnitless());
    EXPECT_TRUE(Q("3").IsAngleOrUnitless());
    EXPECT_TRUE(Q("1 /sec").IsAngleOrUnitless());
    EXPECT_FALSE(Q("1 m").IsAngleOrUnitless());
    EXPECT_FALSE(Q("1 deg*m").IsAngleOrUnitless());
    EXPECT_TRUE(Q("100 SUS").IsSUS());
    EXPECT_FALSE(Q("1 cSt").IsSUS());

    TNumberUnits q = Q("12.5 ft");
    EXPECT_EQ(q.GetText(), "12.5 ft");
    EXPECT_EQ(Q("3").GetText(), "3 ");
    q.SetFormat(Notation::Fixed);
    q.Digits = 2;
    EXPECT_EQ(q.GetText(), "12.50 ft");
    q.SetFormat(Notation::Scientific);
    EXPECT_EQ(q.GetText().substr(0, 4), "1.25");
}

// The catalogue-driven base pair must equal what the text route gives: render with expansions,
// simplify, read the joined text.
TEST_F(NumberUnitsTest, BasePairMatchesTheTextRoute) {
    const char* units[] = {"N",     "ft",  "in",   "lbf",  "sec",  "hr", "rad",  "deg", "K",   "F",   "J",
                           "W",     "Pa",  "psi",  "GPM",  "RPM",  "St", "cP",   "A",   "V",   "Ohm", "Farad",
                           "Henry", "$US", "Item", "Mole", "Coul", "kg", "slug", "m",   "gal", "Acre"};
    const char* exponents[] = {"", "^2", "^-1", "^0.5", "^0.67", "^1.5", "^-0.33", "^3", "^0.1", "^12.6"};
    std::mt19937 random(12345);
    auto pick = [&](auto& list) { return list[random() % std::size(list)]; };
    for (int n = 0; n < 3000; ++n) {
        std::string text = "1 ";
        const int count = 1 + static_cast<int>(random() % 6);
        for (int k = 0; k < count; ++k) {
            if (k > 0) text += random() % 3 == 0 ? "/" : "*";
            text += pick(units);
            text += pick(exponents);
        }
        const auto parsed = TNumberUnits::ParseQuantity(StripIgnoredChars(text));
        std::string viaText;
        TUnitLists own = ParseUnitList(NormalizeQuantityText(StripIgnoredChars(text)).unitText).lists;
        TNumberUnits::ConvertUnitLists(1, own, true, &viaText);
        const ParseResult base = ParseBaseUnitText(SimplifyBaseText(viaText));
        ASSERT_EQ(parsed.has_value(), base.ok) << text;
        if (!base.ok) continue;
        EXPECT_EQ(parsed->baseUnitsText, RenderUnitLists(base.lists, RenderKind::Expansions)) << text;
        EXPECT_EQ(TNumberUnits::DimensionSignature(base.lists), parsed->signature) << text;
    }
}

} // namespace

namespace {

// Joins the lists of two read texts without reducing them, as a product's lists start out.
TUnitLists Joined(const TUnitLists& a, const TUnitLists& b) {
    TUnitLists out = EmptyUnitLists();
    for (int list = 0; list < 2; ++list) {
        int n = 0;
        for (const TUnitLists* from : {&a, &b})
            for (int k = 0; k < UnitListEntries && (*from)[list * 16 + 1 + 2 * k] != FreeMark; ++k, ++n) {
                out[list * 16 + 1 + 2 * n] = (*from)[list * 16 + 1 + 2 * k];
                out[list * 16 + 2 + 2 * n] = (*from)[list * 16 + 2 + 2 * k];
            }
        out[list * 16] = 2 * n;
    }
    return out;
}

} // namespace

// Quantities made from lists (products, powers) are kept by their lists; each must be what reading
// the canonical text of the reduced lists gives, however often and in whatever order lists repeat.
TEST_F(NumberUnitsTest, QuantityFromListsIsTheQuantityOfItsText) {
    const std::vector<std::pair<const char*, const char*>> pairs = {
        {"lbf/in^2", "in^2"}, {"m/sec", "sec"},    {"m^0.5", "m^0.5"}, {"kg*m", "1/m*kg"},
        {"ft", "in"},         {"N*m", "sec^-1"},   {"", "m^2"},        {"cm^3/min", "sec"},
        {"m^2/sec", "m^-2"},  {"$US/lbm", "kg^2"}, {"V*A", "Ohm*sec"}, {"m^0.333333333333333", "m^0.67"}};
    for (int round = 0; round < 3; ++round)
        for (const auto& [first, second] : pairs) {
            const TUnitLists joined =
                Joined(Q(std::string("1 ") + first).UnitLists, Q(std::string("1 ") + second).UnitLists);
            TNumberUnits made;
            ASSERT_TRUE(made.SetQuantity(2.5, joined)) << first << " * " << second;
            const std::string canonical =
                RenderUnitLists(ReduceUnitLists(joined), RenderKind::Names, ExponentForm::Exact);
            const TNumberUnits read = Q("2.5 " + canonical);
            EXPECT_EQ(made.Units, canonical) << first << " * " << second;
            EXPECT_EQ(made.UnitLists, read.UnitLists) << canonical;
            EXPECT_EQ(made.BaseUnitsText, read.BaseUnitsText) << canonical;
            EXPECT_EQ(made.Signature, read.Signature) << canonical;
            EXPECT_EQ(made.BaseValue, read.BaseValue) << canonical;
        }
}

// The memory of lists read tells lists apart by their entries up to the first free place: the
// counts in front and whatever lies beyond do not change the reading, any entry before does (also
// in a third entry, which the place a list is kept at does not depend on).
TEST_F(NumberUnitsTest, ListsThatReadAlikeShareAReadingAndOthersDoNot) {
    auto lists = [](std::initializer_list<double> top, std::initializer_list<double> bottom) {
        TUnitLists l = EmptyUnitLists();
        std::copy(top.begin(), top.end(), l.begin());
        std::copy(bottom.begin(), bottom.end(), l.begin() + 16);
        return l;
    };
    const double m = BaseSlot::m, kg = BaseSlot::kg, sec = BaseSlot::sec, min = FindUnit("min");
    TUnitLists beyondFree = lists({2, m, 1}, {});
    beyondFree[5] = kg, beyondFree[6] = 1;
    const std::pair<TUnitLists, const char*> rows[] = {
        {lists({2, m, 1}, {}), "m"},
        {lists({6, m, 1}, {}), "m"},
        {beyondFree, "m"},
        {lists({2, m, 2}, {}), "m^2"},
        {lists({0}, {2, m, 1}), "/m"},
        {lists({6, m, 1, kg, 1, sec, 1}, {}), "m*kg*sec"},
        {lists({6, m, 1, kg, 1, sec, 2}, {}), "m*kg*sec^2"},
        {lists({6, m, 1, kg, 1, min, 1}, {}), "m*kg*min"},
        {lists({0}, {6, m, 1, kg, 1, sec, 1}), "/m*kg*sec"},
        {lists({0}, {6, m, 1, kg, 1, sec, 2}), "/m*kg*sec^2"},
    };
    TNumberUnits q;
    for (int round = 0; round < 2; ++round)
        for (const auto& [l, units] : rows) {
            ASSERT_TRUE(q.SetQuantity(2, l)) << units;
            EXPECT_EQ(q.Units, units);
            EXPECT_EQ(q.UnitLists, ReduceUnitLists(l)) << units;
        }
}
