// The unit-expression parser: number and unit normalisation, list reading, reduction, canonical text
// and the base-unit simplifier.
#include "units/NumberUnits.h"
#include "units/QuantityMath.h"

#include "support/unit_engine_scope.h"

#include <gtest/gtest.h>

#include <cmath>

namespace {

std::string Canonical(std::string_view unitText) {
    const ParseResult r = ParseUnitList(unitText);
    return r.ok ? RenderUnitLists(r.lists, RenderKind::Names) : "<fail " + std::to_string(r.code) + ">";
}

TEST(UnitParser, StripIgnoredChars) {
    EXPECT_EQ(StripIgnoredChars(" 1,234 !#%&@`~ft"), "1234ft");
    EXPECT_EQ(StripIgnoredChars(std::string_view("a\0b", 3)), std::string("a\0b", 3));
}

TEST(UnitParser, NumberPart) {
    struct Case {
        const char* text;
        double number;
        const char* units;
    };
    const Case cases[] = {
        {"5ft", 5, "ft"},           {"ft", 1, "ft"},          {"-2.5E3m", -2500, "m"},
        {"2.5x10-3m", 0.0025, "m"}, {"x10-3m", 0.001, "m"},   {"2E2.6m", 2000, "m"},
        {"2E2.4m", 200, "m"},       {"2E2.5m", 200, "m"},     {"2E3.5m", 20000, "m"},
        {"5erg", 5, "erg"},         {"erg", 1, "erg"},        {"2e5erg", 200000, "erg"},
        {"1.2.3", 1.23, ""},        {"lbf-ft", 1, "lbf*ft"},  {"3(kg*m)/sec^2", 3, "kg*m/sec^2"},
        {"1m^-2-ft", 1, "m^-2*ft"}, {"1m^2-ft", 1, "m^2*ft"}, {"1e-400m", 0, "m"},
        {"+.5", 0.5, ""},
    };
    for (const auto& c : cases) {
        const NormalizedQuantity q = NormalizeQuantityText(c.text);
        EXPECT_TRUE(q.ok) << c.text;
        EXPECT_DOUBLE_EQ(q.number, c.number) << c.text;
        EXPECT_EQ(q.unitText, c.units) << c.text;
    }
    for (const char* bad : {"-", "+.", "1e", "1e400", "1e400m", "-ft", "1-2m", "2E-m", "x"})
        EXPECT_FALSE(NormalizeQuantityText(bad).ok) << bad;
}

TEST(UnitParser, CanonicalText) {
    const std::pair<const char*, const char*> cases[] = {
        {"lbf*ft", "lbf*ft"},
        {"ft*lbf", "lbf*ft"},
        {"m^-2", "/m^2"},
        {"kg/m*sec^2", "kg/m*sec^2"},
        {"kg/m/sec^-2", "kg/m*sec^2"},
        {"m/sec/sec", "m"},
        {"M", "m"},
        {"Kg", "kg"},
        {"SEC", "sec"},
        {"m^0.333", "m^0.33"},
        {"sec*m", "m*sec"},
        {"ft/in", "ft/in"},
        {"m*m", "m^2"},
        {"m/m", ""},
        {"/sec", "/sec"},
        {"m**sec", "m*sec"},
        {"m^2/sec", "m^2/sec"},
        {"m^1.5E+2", "m^1.5E+2"},
        {"m^120", "m^1.2E+2"},
        {"m^0.000001", "m^1E-6"},
        {"m^12.6", "m^13"},
        {"", ""},
        {"N^0.5*N^0.5", "N"},
        {"$US/Item", "$US/Item"},
    };
    for (const auto& [text, expected] : cases) EXPECT_EQ(Canonical(text), expected) << text;
}

TEST(UnitParser, Failures) {
    const std::pair<const char*, TErrors> cases[] = {
        {"furlongs", _UnitProblem},
        {"xyz", _NotInList},
        {"m^", _UnitProblem},
        {"m^2kg", _UnitProblem},
        {"m^-", _UnitProblem},
        {"m^1e400", _UnitProblem},
        {"ft^3x", _UnitProblem},
        {"m*m*m*m*m*m*m*m", _UnitProblem},
        {"/m*m*m*m*m*m*m*m", _UnitProblem},
        {"m^2.5.3", _UnitProblem},
    };
    for (const auto& [text, code] : cases) {
        const ParseResult r = ParseUnitList(text);
        EXPECT_FALSE(r.ok) << text;
        EXPECT_EQ(r.code, code) << text;
    }
    // Seven as typed is the limit, however they merge.
    EXPECT_TRUE(ParseUnitList("m*m*m*m*m*m*m").ok);
    EXPECT_TRUE(ParseUnitList("m*m*m*m*m*m*m/sec*sec*sec*sec*sec*sec*sec").ok);
}

TEST(UnitParser, ListLayout) {
    const ParseResult r = ParseUnitList("kg/m*sec^2");
    ASSERT_TRUE(r.ok);
    const TUnitLists& l = r.lists;
    EXPECT_EQ(l[0], 2);
    EXPECT_EQ(l[1], BaseSlot::kg);
    EXPECT_EQ(l[2], 1);
    EXPECT_EQ(l[3], FreeMark);
    EXPECT_EQ(l[16], 4);
    EXPECT_EQ(l[17], BaseSlot::m);
    EXPECT_EQ(l[19], BaseSlot::sec);
    EXPECT_EQ(l[20], 2);
    EXPECT_EQ(l[21], FreeMark);
    EXPECT_EQ(l[31], FreeMark);

    TUnitLists raw = EmptyUnitLists();
    raw[0] = 4, raw[1] = BaseSlot::sec, raw[2] = 1, raw[3] = BaseSlot::m, raw[4] = 2;
    raw[16] = 2, raw[17] = BaseSlot::sec, raw[18] = 3;
    EXPECT_EQ(RenderUnitLists(ReduceUnitLists(raw), RenderKind::Names), "m^2/sec^2");
    EXPECT_EQ(RenderUnitLists(ReduceUnitLists(raw), RenderKind::Expansions), "m^2/sec^2");
    EXPECT_EQ(RenderUnitLists(ParseUnitList("N/ft^2").lists, RenderKind::Expansions), "(kg*m*sec^-2)/m^2");
}

TEST(UnitParser, SimplifyBaseText) {
    EXPECT_EQ(Canonical(SimplifyBaseText("(kg*m*sec^-2)*m/m^2")), "kg/sec^2");
    EXPECT_EQ(Canonical(SimplifyBaseText("(kg*m^2*sec^-2)^0.5/m")), "kg^0.5/sec");
    EXPECT_EQ(SimplifyBaseText("m*sec"), "m*sec/");
    const std::pair<const char*, const char*> errors[] = {
        {")m", "Left and right parentheses unmatched - Need more ("},
        {"m*(", "Left and right parentheses unmatched - Need more )"},
        {"(kg*m", "Left and right parentheses unmatched - Need more )"},
        {"(xyz)^2", "Units not in list of units"},
    };
    for (const auto& [text, message] : errors) {
        try {
            SimplifyBaseText(text);
            ADD_FAILURE() << text;
        } catch (const E& e) {
            EXPECT_STREQ(e.what(), message) << text;
        }
    }
}

TEST(UnitParser, CombineQuantityText) {
    UnitEngineScope scope;
    EXPECT_EQ(CombineQuantityText("ft", 12.5), "12.5 ft");
    EXPECT_EQ(CombineQuantityText("", 0.1 + 0.2), "0.3 ");
    EXPECT_EQ(CombineQuantityText("ft", NAN), "");
}

} // namespace
