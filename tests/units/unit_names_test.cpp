// The spellings a unit text may use: aliases, SI-prefixed units, typographic forms, the letter-case
// rules, and the messages that name what failed.
#include "units/NumberUnits.h"
#include "units/QuantityMath.h"
#include "units/UnitCatalogue.h"
#include "units/UnitNames.h"
#include "units/UnitNotes.h"
#include "units/Utf8Text.h"

#include "numbered_slots.h"
#include "support/unit_engine_scope.h"

#include <gtest/gtest.h>

#include <cmath>
#include <string>

namespace {

constexpr const char* Dash = "\xE2\x80\x94"; // the em dash of the detail line

struct Equivalence {
    const char* from;
    double amount;
    const char* to;
};

// 1 `from` is `amount` `to`, to rounding error.
void ExpectEquivalent(const Equivalence& e) {
    SCOPED_TRACE(std::string("1 ") + e.from + " in " + e.to);
    TNumberUnits q;
    ASSERT_TRUE(q.SetText(std::string("1 ") + e.from)) << q.GetErrorText();
    ASSERT_TRUE(q.ConvertTo(e.to)) << q.GetErrorText();
    EXPECT_NEAR(q.GetValue(), e.amount, 1e-12 * std::fabs(e.amount));
}

// Prefixes: SI Brochure, 9th edition (2019), table 7 (decimal multiples and submultiples); units with
// special names: table 4 (hertz = s^-1, joule, watt, newton, pascal, volt, ohm, farad, henry);
// units accepted for use with the SI: table 8 (hour = 3600 s, litre, bar = 100 kPa = 10^5 Pa).
TEST(UnitNames, PrefixedUnitsFollowTheSiBrochure) {
    UnitEngineScope scope;
    const Equivalence cases[] = {
        {"kJ", 1e3, "J"},       {"MJ", 1e6, "J"},          {"mJ", 1e-3, "J"},      {"GJ", 1e9, "J"},
        {"MW", 1e6, "W"},       {"mW", 1e-3, "W"},         {"GW", 1e9, "W"},       {"nm", 1e-9, "m"},
        {"um", 1e-6, "m"},      {"ms", 1e-3, "sec"},       {"us", 1e-6, "sec"},    {"ns", 1e-9, "sec"},
        {"mg", 1e-6, "kg"},     {"ug", 1e-9, "kg"},        {"hPa", 100, "Pa"},     {"mbar", 100, "Pa"},
        {"kOhm", 1e3, "Ohm"},   {"MOhm", 1e6, "Ohm"},      {"mA", 1e-3, "A"},      {"uA", 1e-6, "A"},
        {"kV", 1e3, "V"},       {"mV", 1e-3, "V"},         {"uF", 1e-6, "Farad"},  {"nF", 1e-9, "Farad"},
        {"pF", 1e-12, "Farad"}, {"mH", 1e-3, "Henry"},     {"uH", 1e-6, "Henry"},  {"Hz", 1, "/sec"},
        {"kHz", 1e3, "/sec"},   {"MHz", 1e6, "/sec"},      {"kHz", 1e3, "Hz"},     {"cl", 1e-5, "m^3"},
        {"msec", 1e-3, "sec"},  {"uFarad", 1e-6, "Farad"}, {"kCoul", 1e3, "Coul"}, {"GHz", 1e9, "Hz"},
    };
    for (const auto& c : cases) ExpectEquivalent(c);
}

// NIST SP 811 (2008), appendix B.8 and B.9: inch 2.54 E-02 m, foot 3.048 E-01 m, mile per hour
// 4.4704 E-01 m/s, kilometre per hour 2.777 778 E-01 m/s, cubic foot per minute 4.719 474 E-04
// m^3/s, kilowatt hour 3.6 E+06 J, revolution 2 pi rad; hour 3600 s (SI Brochure table 8).
TEST(UnitNames, AliasesFollowNistSp811) {
    UnitEngineScope scope;
    const Equivalence cases[] = {
        {"s", 1, "sec"},          {"second", 1, "sec"},       {"seconds", 1, "sec"},
        {"h", 3600, "sec"},       {"hour", 3600, "sec"},      {"hours", 3600, "sec"},
        {"inch", 0.0254, "m"},    {"inches", 0.0254, "m"},    {"foot", 0.3048, "m"},
        {"feet", 0.3048, "m"},    {"meter", 1, "m"},          {"metres", 1, "m"},
        {"mph", 0.44704, "m/s"},  {"kph", 1 / 3.6, "m/s"},    {"km/h", 1 / 3.6, "m/s"},
        {"rps", 2 * Pi, "rad/s"}, {"RPS", 2 * Pi, "rad/sec"}, {"cfm", 4.719474432e-4, "m^3/s"},
        {"Nm", 1, "J"},           {"kWh", 3.6e6, "J"},        {"KWH", 3.6e6, "J"},
        {"m^3/s", 1, "l/ms"},     {"MINUTES", 60, "s"},
    };
    for (const auto& c : cases) ExpectEquivalent(c);
}

TEST(UnitNames, TypographicFormsReadAsTheirAsciiSpelling) {
    UnitEngineScope scope;
    struct Case {
        const char* text;
        double value;
        const char* shown;
    };
    const Case cases[] = {
        {"1 \xC2\xB5m", 1, "um"}, // micro sign
        {"1 \xCE\xBCm", 1, "um"}, // Greek mu
        {"1 \xC2\xB5"
         "F",
         1, "uF"},                              // microfarad, not a degree Fahrenheit
        {"5 m\xC2\xB2", 5, "m^2"},              // superscript two
        {"5 m\xC2\xB3", 5, "m^3"},              // superscript three
        {"2 s\xE2\x81\xBB\xC2\xB9", 2, "/sec"}, // superscript minus one
        {"3 N\xC2\xB7m", 3, "N*m"},             // middle dot
        {"3 N\xC3\x97m", 3, "N*m"},             // multiplication sign
        {"20 \xC2\xB0"
         "C",
         20, "C"}, // degree Celsius
        {"68 \xC2\xB0"
         "F",
         68, "F"},                    // degree Fahrenheit
        {"20 degC", 20, "C"},         // written out
        {"68 degF", 68, "F"},         //
        {"90\xC2\xB0", 90, "deg"},    // degree of angle
        {"4 k\xCE\xA9", 4, "kOhm"},   // Greek capital omega
        {"4 \xE2\x84\xA6", 4, "Ohm"}, // ohm sign
        {"2.5\xC3\x97"
         "10\xE2\x81\xBB\xC2\xB3 m",
         0.0025, "m"}, // 2.5×10⁻³
        {"\xE2\x88\x92"
         "3 m",
         -3, "m"}, // minus sign
        {"1\xC2\xA0"
         "000 ft",
         1000, "ft"}, // no-break space, ignored as a blank is
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text);
        TNumberUnits q;
        ASSERT_TRUE(q.SetText(c.text)) << q.GetErrorText();
        EXPECT_DOUBLE_EQ(q.GetValue(), c.value);
        EXPECT_EQ(q.GetUnits(), c.shown);
    }
}

// Texts whose characters used to be dropped silently, giving another unit or none.
TEST(UnitNames, CharactersOfNoUnitAreRefusedByName) {
    UnitEngineScope scope;
    struct Case {
        std::string text;
        const char* named;
    };
    const Case cases[] = {
        {"1 \xC2\xA7m", "\"\xC2\xA7\" (U+00A7)"}, // section sign
        {"1 m\xE2\x98\x83", "\"\xE2\x98\x83\" (U+2603)"},
        {"5 m?", "\"?\""},
        {"5 m;", "\";\""},
        {"5 m\"", "\"\"\""},
        {"5 [m]", "\"[\""},
        {"5 m_s", "\"_\""},
        {"5 m+ft", "\"+\""},
        {std::string("5 m\x01", 4), "control character U+0001"},
        {"5 m\xA7", "byte 0xA7"}, // not UTF-8
        {std::string("5 m\0", 4), "control character U+0000"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text);
        TNumberUnits q;
        ASSERT_TRUE(q.SetText("7 ft"));
        EXPECT_FALSE(q.SetText(c.text));
        EXPECT_EQ(q.ErrorCode, _UnitProblem);
        EXPECT_EQ(q.GetValue(), 7); // the quantity is kept
        EXPECT_EQ(q.GetErrorText(),
                  "Problem with the units\ncharacter " + std::string(c.named) + " is not part of a unit");
    }
}

// What the reader skips keeps its meaning: the ignored characters and parentheses.
TEST(UnitNames, IgnoredCharactersAndParenthesesKeepTheirMeaning) {
    UnitEngineScope scope;
    const struct {
        const char* text;
        double value;
        const char* units;
    } cases[] = {
        {"1,000 ft", 1000, "ft"},
        {"5 m!#%&@`~", 5, "m"},
        {"3 (kg*m)/sec^2", 3, "m*kg/sec^2"},
        {"2 (ft)", 2, "ft"},
    };
    for (const auto& c : cases) {
        TNumberUnits q;
        ASSERT_TRUE(q.SetText(c.text)) << c.text;
        EXPECT_EQ(q.GetValue(), c.value);
        EXPECT_EQ(q.GetUnits(), c.units);
    }
}

TEST(UnitNames, SquareMetresNoLongerAddToMetres) {
    UnitEngineScope scope;
    std::string full, units, error;
    double value = 0;
    EXPECT_FALSE(QuantityAddSub("5 m\xC2\xB2", "5 m", 1, full, value, units, error));
    ASSERT_TRUE(QuantityAddSub("5 m\xC2\xB2", "5 m^2", 1, full, value, units, error)) << error;
    EXPECT_EQ(value, 10);
}

// Exact case first, then without regard to case; the catalogue's own names keep their meaning.
TEST(UnitNames, LetterCaseTellsPrefixesApart) {
    UnitEngineScope scope;
    const Equivalence cases[] = {
        {"mJ", 1e-3, "J"},     {"MJ", 1e6, "J"},     {"mW", 1e-3, "W"},   {"MW", 1e6, "W"},
        {"Nm", 1, "N*m"},      {"nm", 1e-9, "m"},    {"min", 60, "sec"},  {"mil", 2.54e-5, "m"},
        {"mi", 1609.344, "m"}, {"P", 0.1, "Pa*sec"}, {"g", 1e-3, "kg"},   {"KPa", 1e3, "Pa"},
        {"kPa", 1e3, "Pa"},    {"kpa", 1e3, "Pa"},   {"mN", 1e6, "N"},    {"Mm", 1e-3, "m"},
        {"Ms", 1e6, "sec"},    {"SEC", 1, "sec"},    {"Ml", 1e-6, "m^3"}, {"mPa", 1e6, "Pa"},
    };
    for (const auto& c : cases) ExpectEquivalent(c);
    TNumberUnits c;
    ASSERT_TRUE(c.SetText("0 C"));
    ASSERT_TRUE(c.ConvertTo("F"));
    EXPECT_EQ(c.GetValue(), 32); // "C" is still Celsius, whatever "mC" might be
}

TEST(UnitNames, FailuresNameTheCulpritAndTheNearestNames) {
    UnitEngineScope scope;
    const std::string first = "Problem with the units\n";
    const struct {
        const char* text;
        std::string message;
    } cases[] = {
        {"12 fx", first + "no unit \"fx\" " + Dash + " did you mean ft?"},
        {"1 lb",
         first + "\"lb\" is ambiguous " + Dash + " did you mean lbm (pound-mass) or lbf (pound-force)?"},
        {"1 mw", first + "\"mw\" is ambiguous " + Dash + " did you mean mW or MW?"},
        {"1 NM", first + "\"NM\" is ambiguous " + Dash + " did you mean nm or Nm?"},
        {"1 furlongs",
         first + "unit name \"furlongs\" is longer than 7 letters " + Dash + " did you mean furlong?"},
        {"1 m^", first + "\"^\" without an exponent"},
        {"1 m^2kg", first + "exponent \"2kg\" is not a number"},
        {"1 zzzz", first + "no unit \"zzzz\""},
        {"1 H", first + "no unit \"H\" " + Dash + " did you mean h?"},
        {"1 m*m*m*m*m*m*m*ft", first + "more than 7 units above or below the line"},
        {"10 SUS", "Problem with the units"}, // no viscosity that short: no more to say
        {"1e400 m", "Number out of range: 1e400 is beyond the largest number, 1.8e+308"},
        {"-2.5x10+999 ft", "Number out of range: -2.5x10+999 is beyond the largest number, 1.8e+308"},
        {"1e308 km", "Number out of range: the value of \"1e308 km\" in base units is beyond 1.8e+308"},
    };
    for (const auto& c : cases) {
        TNumberUnits q;
        EXPECT_FALSE(q.SetText(c.text)) << c.text;
        EXPECT_EQ(q.GetErrorText(), c.message) << c.text;
    }
    TNumberUnits q;
    ASSERT_TRUE(q.SetText("5 m"));
    try {
        q.ConvertTo("fx");
        ADD_FAILURE() << "converted to fx";
    } catch (const ENumberException& e) {
        EXPECT_EQ(std::string(e.what()),
                  std::string("Unit problem-check the units entered\nno unit \"fx\" ") + Dash +
                      " did you mean ft?");
    }
}

TEST(UnitNames, OneLineMessages) {
    const struct {
        std::string message;
        const char* line;
    } cases[] = {
        {std::string("Problem with the units\nno unit \"fx\" ") + Dash + " did you mean ft?",
         "Problem with the units: no unit \"fx\" (did you mean ft?)"},
        {"Problem with the units\n\"^\" without an exponent",
         "Problem with the units: \"^\" without an exponent"},
        {"Stack Empty!", "Stack Empty!"},
    };
    for (const auto& c : cases) EXPECT_EQ(unitnames::OneLineMessage(c.message), c.line);
}

// Every name of the numbered catalogue, in its own case, in capitals and in small letters, finds its
// slot with its factors and shows as it did (the upper- and lower-case spellings of "mm" and "MN"
// are the same text as other names and are left out).
TEST(UnitNames, EveryNumberedNameKeepsItsMeaning) {
    UnitEngineScope scope;
    for (const NumberedSlot& s : NumberedSlots) {
        SCOPED_TRACE(s.name);
        EXPECT_EQ(UnitName(s.slot), s.name);
        EXPECT_EQ(UnitFactor(s.slot), s.factor);
        EXPECT_EQ(UnitInverseFactor(s.slot), s.inverse);
        EXPECT_EQ(UnitBaseExpansion(s.slot), s.expansion);
        std::string upper = s.name, lower = s.name;
        for (char& c : upper) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
        for (char& c : lower) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
        for (const std::string& spelling : {std::string(s.name), upper, lower}) {
            EXPECT_EQ(FindUnit(spelling), s.slot) << spelling;
            TNumberUnits q;
            // (one Saybolt second has no viscosity: 200 of them have)
            ASSERT_TRUE(q.SetText("200 " + spelling)) << spelling;
            EXPECT_EQ(q.GetUnits(), s.shown) << spelling;
        }
    }
}

// Every prefix on every prefixable unit is one of that unit times the prefix's power of ten, unless
// its name was the catalogue's already.
TEST(UnitNames, EveryPrefixedNameIsItsPowerOfTen) {
    UnitEngineScope scope;
    int entries = 0;
    for (const auto& unit : siprefix::PrefixableUnits)
        for (const auto& prefix : siprefix::Prefixes) {
            const std::string name = std::string(prefix.symbol) + unit.symbol;
            const int slot = unitcat::FindExactUnit(name);
            const unitcat::PrefixedOrigin origin = unitcat::OriginOf(slot);
            if (!origin.prefix) continue; // a numbered name keeps its own meaning
            ++entries;
            SCOPED_TRACE(name);
            EXPECT_EQ(origin.prefix, &prefix);
            EXPECT_EQ(UnitName(origin.unitSlot), unit.unit);
            TNumberUnits q;
            ASSERT_TRUE(q.SetText("1 " + name));
            EXPECT_EQ(q.GetUnits(), name);
            ASSERT_TRUE(q.ConvertTo(unit.unit));
            // The power of ten read from its decimal text: a library's pow may be off in the last digits.
            const double power = std::stod("1e" + std::to_string(prefix.power));
            EXPECT_NEAR(q.GetValue(), power, 1e-15 * power);
        }
    EXPECT_GT(entries, 150);
    // The empty slot that ends a group holds one of its prefixed units (um, mg, ms among the first
    // numbered slots), so lists sort them beside their kind.
    for (const char* name : {"um", "mg", "ms", "mA", "mH"}) EXPECT_LE(FindUnit(name), UnitSlotCount) << name;
    EXPECT_TRUE(UnitName(GapSlot::Temperature).empty()); // no prefixed temperatures
    EXPECT_TRUE(UnitName(unitcat::EntryCapacity + 1).empty());
}

TEST(UnitNames, PrefixedUnitsKeepTheirNameAndConvertBack) {
    UnitEngineScope scope;
    TNumberUnits q;
    ASSERT_TRUE(q.SetText("1 kJ"));
    q.SetFormat(Notation::Fixed);
    q.Digits = 7;
    EXPECT_EQ(q.GetDisplayText(), "1.0000000 kJ");
    for (const char* target : {"J", "BTU", "kJ"}) ASSERT_TRUE(q.ConvertTo(target)) << target;
    EXPECT_NEAR(q.GetValue(), 1, 1e-15);
    ASSERT_TRUE(q.SetText("60 mph"));
    EXPECT_EQ(q.GetUnits(), "mi/hr"); // an alias of a compound shows in its catalogue form
    ASSERT_TRUE(q.SetText("25 m/sec"));
    ASSERT_TRUE(q.ConvertTo("km/h"));
    EXPECT_NEAR(q.GetValue(), 90, 1e-12);
    EXPECT_EQ(q.GetUnits(), "km/hr");
    ASSERT_TRUE(q.SetText("2 mph^2/rps"));
    EXPECT_EQ(q.GetUnits(), "mi^2*sec/hr^2*rev");
}

TEST(UnitNames, ListingsHoldEveryNameAliasAndPrefix) {
    UnitEngineScope scope;
    const auto all = unitnames::AllNames();
    auto find = [&](const std::string& name) {
        for (const auto& row : all)
            if (row.name == name) return &row;
        return static_cast<const unitnames::NameRow*>(nullptr);
    };
    for (const NumberedSlot& s : NumberedSlots) EXPECT_NE(find(s.name), nullptr) << s.name;
    for (const auto& alias : unitnames::Aliases()) EXPECT_NE(find(alias.name), nullptr) << alias.name;
    const auto* ft = find("ft");
    ASSERT_NE(ft, nullptr);
    EXPECT_EQ(ft->meaning, "foot");
    EXPECT_EQ(ft->kind, "Length");
    EXPECT_EQ(ft->factor, "0.3048 m");
    const auto* kj = find("kJ");
    ASSERT_NE(kj, nullptr);
    EXPECT_EQ(kj->meaning, "kilo-joule");
    EXPECT_EQ(kj->factor, "1000 m^2*kg/sec^2");
    const auto* mph = find("mph");
    ASSERT_NE(mph, nullptr);
    EXPECT_EQ(mph->factor, "0.44704 m/sec");
    EXPECT_EQ(find("C")->factor, ""); // converts by its rule
    const auto matching = unitnames::MatchingNames("fahrenheit");
    ASSERT_EQ(matching.size(), 2u);
    EXPECT_EQ(matching[0].name, "F");
    EXPECT_EQ(matching[1].name, "degF");
}

TEST(Utf8Text, SpellingAndQuoting) {
    const struct {
        const char* text;
        const char* ascii;
    } cases[] = {
        {"m\xC2\xB2", "m^2"},
        {"x\xE2\x81\xBB\xC2\xB2\xC2\xB3", "x^-23"},
        {"2\xC3\x97"
         "3",
         "2*3"}, // not a power of ten: a product
        {"\xC2\xB0", "deg"},
        {"\xC2\xB0K", "K"},
        {"\xE2\x84\x83", "C"},
        {"\xC2\xA7", "\xC2\xA7"}, // kept, to be refused by name
        {"\xE2\x82", "\xE2\x82"}, // a cut sequence is kept byte by byte
    };
    for (const auto& c : cases) EXPECT_EQ(utf8text::AsciiSpelling(c.text), c.ascii) << c.text;
    EXPECT_EQ(utf8text::CharacterAt("a\xE2\x98\x83", 1), "\xE2\x98\x83");
    EXPECT_EQ(utf8text::CharacterAt("a\xE2\x98", 1), "\xE2");
    EXPECT_EQ(utf8text::QuoteCharacter("\xC2\xA7"), "\"\xC2\xA7\" (U+00A7)");
    EXPECT_EQ(utf8text::QuoteCharacter("\xC0\x80"), "byte 0xC0"); // overlong
}

} // namespace
