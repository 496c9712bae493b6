#include "units/NumberUnits.h"
#include "units/QuantityMath.h"

#include "support/unit_engine_scope.h"

#include <cmath>
#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace {

const std::string Unset = "<unset>";
constexpr double UnsetValue = -12345;

// Each test starts from SI with AutoConvert off; the flags are put back afterwards.
class QuantityMathTest : public ::testing::Test {
protected:
    static void UseSystem(bool si, bool autoConvert) { SetUnitFlags({si, autoConvert}); }

    UnitEngineScope scope{{true, false}};
};

// The outputs of a binary operation, preset so that a failure that writes them is seen.
struct Outputs {
    std::string full = Unset;
    double value = UnsetValue;
    std::string units = Unset;
    std::string error = Unset;
};

// expectError empty: success with value, units and full text; otherwise failure with that message.
struct BinaryCase {
    const char* a;
    const char* b;
    bool forward; // add / multiply
    double value;
    const char* units;
    const char* full;
    const char* expectError;
};

void ExpectUntouched(const Outputs& out) {
    EXPECT_EQ(out.full, Unset);
    EXPECT_EQ(out.value, UnsetValue);
    EXPECT_EQ(out.units, Unset);
}

// The message of the E a call raises, or a marker when it raises none.
template <class Call> std::string MessageRaisedBy(Call&& call) {
    try {
        call();
    } catch (const E& e) {
        return e.what();
    }
    return "<no exception>";
}

void CheckBinary(bool ok, const Outputs& out, const BinaryCase& c) {
    SCOPED_TRACE(std::string(c.a) + (c.forward ? " (+/*) " : " (-//) ") + c.b);
    if (*c.expectError) {
        EXPECT_FALSE(ok);
        EXPECT_EQ(out.error, c.expectError);
        ExpectUntouched(out);
        return;
    }
    ASSERT_TRUE(ok) << out.error;
    EXPECT_DOUBLE_EQ(out.value, c.value);
    EXPECT_EQ(out.units, c.units);
    EXPECT_EQ(out.full, c.full);
    EXPECT_EQ(out.error, Unset);
}

TEST_F(QuantityMathTest, AddSub) {
    const BinaryCase cases[] = {
        {"12 ft", "6 in", true, 12.5, "ft", "12.5 ft", ""},
        {"6 in", "12 ft", true, 150, "in", "150 in", ""},
        {"12 ft", "6 in", false, 11.5, "ft", "11.5 ft", ""},
        {"5 ", "2 ", false, 3, "", "3 ", ""},
        {"12 ft", "3 kg", true, 0, "", "", "Second number convert failed"},
        {"12 fx", "3 ft", true, 0, "", "", "12 fx has incompatible units"},
        {"3 ft", "12 fx", true, 0, "", "", "12 fx has incompatible units"},
        {"", "3 ft", true, 0, "", "", " has incompatible units"},
        {"1.7E308 m", "1.7E308 m", true, 0, "", "", "Floating point overflow"},
    };
    for (const BinaryCase& c : cases) {
        Outputs out;
        bool ok = QuantityAddSub(c.a, c.b, c.forward ? 1 : -1, out.full, out.value, out.units, out.error);
        CheckBinary(ok, out, c);
    }
    // Add and subtract keep A's units as written, whatever AutoConvert says.
    UseSystem(true, true);
    Outputs out;
    ASSERT_TRUE(QuantityAddSub("12 ft", "6 in", 1, out.full, out.value, out.units, out.error));
    EXPECT_EQ(out.full, "12.5 ft");
}

TEST_F(QuantityMathTest, MulDivWithoutAutoConvert) {
    const BinaryCase cases[] = {
        {"0 ft", "0 sec", true, 0, "ft*sec", "0 ft*sec", ""},
        {"2 ft", "3 ft", true, 6, "ft^2", "6 ft^2", ""},
        {"6 m", "2 sec", false, 3, "m/sec", "3 m/sec", ""},
        {"2 lbf/in^2", "3 in^2", true, 6, "lbf", "6 lbf", ""},
        {"12 ft", "0 sec", false, 0, "", "", "Divide by zero"},
        {"12 fx", "2 sec", true, 0, "", "", "12 fx has incompatible units"},
        {"12 ft", "2 sx", true, 0, "", "", "2 sx has incompatible units"},
        {"1E200 m", "1E200 m", true, 0, "", "", "Floating point overflow"},
        {"1E200 m", "1E-200 sec", false, 0, "", "", "Floating point overflow"},
    };
    for (const BinaryCase& c : cases) {
        Outputs out;
        bool ok = QuantityMulDiv(c.a, c.b, c.forward, out.full, out.value, out.units, out.error);
        CheckBinary(ok, out, c);
    }
}

TEST_F(QuantityMathTest, MulDivConvertsToPreferredUnits) {
    struct Row {
        bool si;
        const char* units;
        double value;
    };
    for (const Row& r : {Row{true, "m^2", 6 * 0.3048 * 0.3048}, Row{false, "in^2", 864}}) {
        UseSystem(r.si, true);
        Outputs out;
        ASSERT_TRUE(QuantityMulDiv("2 ft", "3 ft", true, out.full, out.value, out.units, out.error));
        EXPECT_EQ(out.units, r.units);
        EXPECT_NEAR(out.value, r.value, 1e-12 * r.value);
        EXPECT_EQ(out.full.substr(out.full.find(' ')), std::string(" ") + r.units);
    }
    // A product no preferred unit covers keeps its own units.
    UseSystem(true, true);
    Outputs out;
    ASSERT_TRUE(QuantityMulDiv("0 ft", "0 sec", true, out.full, out.value, out.units, out.error));
    EXPECT_EQ(out.units, "ft*sec");
}

TEST_F(QuantityMathTest, Power) {
    struct Row {
        const char* text;
        double exponent;
        double value;
        const char* units;
        const char* expectError;
    };
    const Row rows[] = {
        {"3 m/sec", 2, 9, "m^2/sec^2", ""},
        {"4 m^2", 0.5, 2, "m", ""},
        {"0 m^2", 0.5, 0, "m", ""}, // zero has every positive power
        {"2 m", -1, 0.5, "/m", ""},
        {"-2 m", 3, -8, "m^3", ""},
        {"-4 m^2", 0.5, 0, "", "Negative to a fractional power not allowed"},
        {"-8 ", 1.0 / 3.0, 0, "", "Negative to a fractional power not allowed"},
        {"0 m", -1, 0, "", "Divide by zero"},
        {"10 m", 400, 0, "", "Floating point overflow"},
        {"12 fx", 2, 0, "", "Problem with the units\nno unit \"fx\" \u2014 did you mean ft?"},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(std::string(r.text) + " ^ " + std::to_string(r.exponent));
        Outputs out;
        bool ok = QuantityPower(r.text, out.full, out.value, r.exponent, out.units, out.error);
        if (*r.expectError) {
            EXPECT_FALSE(ok);
            EXPECT_EQ(out.error, r.expectError);
            ExpectUntouched(out);
        } else {
            ASSERT_TRUE(ok) << out.error;
            EXPECT_DOUBLE_EQ(out.value, r.value);
            EXPECT_EQ(out.units, r.units);
        }
    }
}

// A function code applied to a text: the value, or the message of the E it raises.
struct CodeCase {
    const char* text;
    int code;
    double value;
    const char* expectError;
};

TEST_F(QuantityMathTest, LogExp) {
    const CodeCase rows[] = {
        {"100", 0, 2, ""},
        {"1,000", 0, 3, ""},
        {"2.718281828459045", 1, 1, ""},
        {"2", 2, 100, ""},
        {"1", 3, 2.718281828459045, ""},
        {"0", 0, 0, "Number must be greater than zero"},
        {"-5", 1, 0, "Number must be greater than zero"},
        {"10 ft", 0, 0, "Must be unitless"},
        {"2 m", 2, 0, "Must be unitless"},
        {"400", 2, 0, "Floating point overflow"},
        {"1000", 3, 0, "Floating point overflow"},
    };
    for (const CodeCase& r : rows) {
        SCOPED_TRACE(std::string(r.text) + " code " + std::to_string(r.code));
        std::string text = r.text;
        double value = UnsetValue;
        if (*r.expectError) {
            EXPECT_EQ(MessageRaisedBy([&] { QuantityLogExp(text, r.code, value); }), r.expectError);
            EXPECT_EQ(value, UnsetValue);
        } else {
            EXPECT_TRUE(QuantityLogExp(text, r.code, value));
            EXPECT_NEAR(value, r.value, 1e-13 * r.value);
        }
    }
    std::string text = "1, 000";
    double value = 0;
    QuantityLogExp(text, 0, value);
    EXPECT_EQ(text, "1000"); // the caller's text comes back cleaned
}

TEST_F(QuantityMathTest, DirectTrig) {
    const CodeCase rows[] = {
        {"90 deg", 0, 1, ""},
        {"1.5707963267948966", 0, 1, ""},
        {"0 rad", 1, 1, ""},
        {"0.125 rev", 2, 1, ""},
        {"2 m", 0, 0, "The units must be angular"},
        {"1 deg/sec", 1, 0, "Units Incompatable"},
        {"12 fx", 0, 0, "Problem with the units\nno unit \"fx\" \u2014 did you mean ft?"},
    };
    for (const CodeCase& r : rows) {
        SCOPED_TRACE(std::string(r.text) + " code " + std::to_string(r.code));
        std::string text = r.text;
        if (*r.expectError) {
            EXPECT_EQ(MessageRaisedBy([&] { QuantityTrig(text, r.code); }), r.expectError);
        } else {
            EXPECT_NEAR(QuantityTrig(text, r.code), r.value, 1e-12);
            EXPECT_EQ(text, r.text);
        }
    }
}

TEST_F(QuantityMathTest, InverseTrig) {
    struct Row {
        const char* text;
        int code;
        double radians;
        double shown; // value of the resulting text, in its unit
        const char* unit;
        const char* expectError;
    };
    const Row rows[] = {
        {"0.5", 3, 0.5235987755982989, 0.523598775598299, "rad", ""},
        {"1", 4, HalfPi, 90, "deg", ""},
        {"-1", 8, Pi, 180, "deg", ""},
        {"1", 13, Pi / 4, 50, "grad", ""},
        {"1000", 11, std::atan(1000.0), std::atan(1000.0), "rad", ""},
        {"1.0001", 3, 0, 0, "", "The number must be between -1 and 1"},
        {"-1.5", 7, 0, 0, "", "The number must be between -1 and 1"},
        {"0.5", 15, 0, 0, "", "The number must be between -1 and 1"},
        {"0.5 rad", 7, 0, 0, "", "Inverse trig functions must be unitless"},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(std::string(r.text) + " code " + std::to_string(r.code));
        std::string text = r.text;
        if (*r.expectError) {
            EXPECT_EQ(MessageRaisedBy([&] { QuantityTrig(text, r.code); }), r.expectError);
            EXPECT_EQ(text, r.text);
            continue;
        }
        EXPECT_NEAR(QuantityTrig(text, r.code), r.radians, 1e-15);
        TNumberUnits q;
        ASSERT_TRUE(q.SetText(text)) << text;
        EXPECT_EQ(q.GetUnits(), r.unit);
        // The angle passes through a 15-digit text before conversion.
        EXPECT_NEAR(q.GetValue(), r.shown, 1e-13 * std::fabs(r.shown));
    }
    std::string text = "0.5";
    EXPECT_EQ(QuantityTrig(text, 3), 0.5235987755982989);
    EXPECT_EQ(text, "0.523598775598299 rad");
}

TEST_F(QuantityMathTest, GravityFollowsTheUnitSystem) {
    std::string text;
    UseSystem(true, false);
    GravityText(text);
    EXPECT_EQ(text, "9.80665 m/sec^2");
    UseSystem(false, true);
    GravityText(text);
    EXPECT_EQ(text, "32.1740485564 ft/sec^2");
}

TEST_F(QuantityMathTest, CircleArea) {
    // pi/4 passes through its 15-digit number text, so the area is 15-digit pi exactly.
    struct Diameter {
        const char* diameter;
        const char* units;
    };
    std::string area = Unset;
    for (const Diameter& r : {Diameter{"2 m", "m^2"}, Diameter{"2", ""}}) {
        CircleArea(r.diameter, area);
        TNumberUnits q;
        ASSERT_TRUE(q.SetText(area)) << area;
        EXPECT_EQ(q.GetValue(), 3.14159265358979) << area;
        EXPECT_EQ(q.GetUnits(), r.units) << area;
    }

    area = Unset;
    CircleArea("2 fx", area); // not a quantity: nothing happens
    EXPECT_EQ(area, Unset);

    struct Row {
        const char* text;
        const char* message;
    };
    for (const Row& r : {Row{"2 sec", "Units Incompatable"}, Row{"1E200 m", "Floating point overflow"}}) {
        EXPECT_EQ(MessageRaisedBy([&] { CircleArea(r.text, area); }), r.message) << r.text;
        EXPECT_EQ(area, Unset) << r.text;
    }

    UseSystem(false, true);
    CircleArea("1 ft", area);
    TNumberUnits q;
    ASSERT_TRUE(q.SetText(area));
    EXPECT_EQ(q.GetUnits(), "in^2");
    EXPECT_NEAR(q.GetValue(), 144 * Pi / 4, 1e-9);
}

// The arithmetic on quantities already read gives what the text operations' results read back as,
// failures included.
TEST_F(QuantityMathTest, QuantityArithmeticMatchesTheTextArithmetic) {
    const std::pair<const char*, const char*> operands[] = {
        {"12 ft", "6 in"},      {"2 lbf/in^2", "3 in^2"}, {"8 m^0.67", "2 m^0.33"}, {"0.1 m", "0.2 m"},
        {"12 ft", "3 kg"},      {"10 ft", "0 sec"},       {"1E200 m", "1E200"},     {"100 SUS", "2 sec"},
        {"-8 m^3", "1.5 hr^2"}, {"3 N*m", "4 rad"}};
    auto readBack = [](const std::string& text) {
        TNumberUnits q;
        EXPECT_TRUE(q.SetText(text)) << text;
        return q;
    };
    for (bool autoConvert : {false, true}) {
        UseSystem(true, autoConvert);
        for (const auto& [a, b] : operands) {
            SCOPED_TRACE(std::string(a) + " , " + b);
            TNumberUnits qa, qb, result;
            ASSERT_TRUE(qa.SetText(a));
            ASSERT_TRUE(qb.SetText(b));
            for (int op = 0; op < 4; ++op) {
                Outputs out;
                std::string error;
                bool ok = false, okQuantity = false;
                if (op < 2) {
                    ok = QuantityAddSub(a, b, op == 0 ? 1 : -1, out.full, out.value, out.units, out.error);
                    okQuantity = QuantityAddSub(qa, qb, op == 0 ? 1 : -1, result, error);
                } else {
                    ok = QuantityMulDiv(a, b, op == 2, out.full, out.value, out.units, out.error);
                    okQuantity = QuantityMulDiv(qa, qb, op == 2, result, error);
                }
                ASSERT_EQ(okQuantity, ok) << "operation " << op;
                if (!ok) {
                    EXPECT_EQ(error, out.error) << "operation " << op;
                    continue;
                }
                const TNumberUnits expected = readBack(out.full);
                EXPECT_EQ(result.GetValue(), expected.GetValue()) << "operation " << op;
                EXPECT_EQ(result.GetUnits(), expected.GetUnits()) << "operation " << op;
            }
            Outputs out;
            std::string error;
            const bool ok = QuantityPower(a, out.full, out.value, 1.5, out.units, out.error);
            ASSERT_EQ(QuantityPower(qa, 1.5, result, error), ok);
            if (ok) {
                EXPECT_EQ(result.GetText(), readBack(out.full).GetText());
            } else {
                EXPECT_EQ(error, out.error);
            }
        }
    }
}

} // namespace
