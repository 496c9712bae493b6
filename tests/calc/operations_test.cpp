#include "engine_fixture.h"

namespace {

struct OpCase {
    const char* name;
    std::vector<std::string> entries; // pushed in order
    Command op;
    std::vector<Quantity> stack; // afterwards, bottom first
    std::string error;           // error window, or "" for none
    std::string message;         // message box, or "" for none
    int angularDefault = 0;
};

void PrintTo(const OpCase& c, std::ostream* os) {
    *os << c.name;
}

class Operation : public EngineTest, public ::testing::WithParamInterface<OpCase> {};

TEST_P(Operation, GivesResultOrLeavesOperands) {
    const auto& p = GetParam();
    c().AutoConvertBtnClick(false);
    Set(&Settings::AngularDefault, p.angularDefault);
    PushAll(p.entries);
    c().Run(p.op);
    ExpectStack(p.stack);
    EXPECT_EQ(view.errors, p.error.empty() ? std::vector<std::string>{} : std::vector<std::string>{p.error});
    EXPECT_EQ(view.messages,
              p.message.empty() ? std::vector<std::string>{} : std::vector<std::string>{p.message});
    EXPECT_TRUE(c().State().Entered);
}

const std::string NegFrac = "Negative to a fractional power not allowed";
const std::string Overflow = "Floating point overflow";

INSTANTIATE_TEST_SUITE_P(
    Keys, Operation,
    ::testing::Values(
        OpCase{"add_keeps_y_units", {"12 ft", "6 in"}, Command::Add, {{12.5, "ft"}}, "", ""},
        OpCase{"add_in_inches", {"6 in", "12 ft"}, Command::Add, {{150, "in"}}, "", ""},
        OpCase{"subtract", {"12 ft", "6 in"}, Command::Subtract, {{11.5, "ft"}}, "", ""},
        OpCase{"add_incompatible",
               {"12 ft", "3 kg"},
               Command::Add,
               {{12, "ft"}, {3, "kg"}},
               "Second number convert failed",
               ""},
        OpCase{"add_one_operand", {"5"}, Command::Add, {{5, ""}}, "Too Few Operands", ""},
        OpCase{"multiply", {"3 ft", "2 ft"}, Command::Multiply, {{6, "ft^2"}}, "", ""},
        OpCase{"multiply_overflow",
               {"1E200 m", "1E200"},
               Command::Multiply,
               {{1e200, "m"}, {1e200, ""}},
               Overflow,
               ""},
        OpCase{"divide_by_zero",
               {"10 ft", "0 sec"},
               Command::Divide,
               {{10, "ft"}, {0, "sec"}},
               "Cannot Divide by Zero",
               ""},
        OpCase{"square", {"3 ft"}, Command::Square, {{9, "ft^2"}}, "", ""},
        OpCase{"square_empty", {}, Command::Square, {}, "Stack Empty!", ""},
        OpCase{"square_root", {"4 m^2"}, Command::SquareRoot, {{2, "m"}}, "", ""},
        OpCase{"square_root_of_zero_area", {"0 m^2"}, Command::SquareRoot, {{0, "m"}}, "", ""},
        OpCase{"square_root_negative", {"-4 m^2"}, Command::SquareRoot, {{-4, "m^2"}}, NegFrac, ""},
        OpCase{"y_to_x", {"2", "3"}, Command::YtoX, {{8, ""}}, "", ""},
        OpCase{"y_to_x_exponent_units",
               {"2", "3 ft"},
               Command::YtoX,
               {{2, ""}, {3, "ft"}},
               "Exponent must be unitless.",
               ""},
        OpCase{"y_to_x_overflow", {"10", "400"}, Command::YtoX, {{10, ""}, {400, ""}}, Overflow, ""},
        OpCase{"root", {"27", "3"}, Command::XRootY, {{3, ""}}, "", ""},
        OpCase{"root_of_negative", {"-8 m", "2.5"}, Command::XRootY, {{-8, "m"}, {2.5, ""}}, NegFrac, ""},
        OpCase{"root_zero_index", {"27", "0"}, Command::XRootY, {{27, ""}, {0, ""}}, "Divide by zero", ""},
        OpCase{"root_index_units",
               {"27", "3 m"},
               Command::XRootY,
               {{27, ""}, {3, "m"}},
               "Root X must be unitless.",
               ""},
        OpCase{"reciprocal", {"4 sec"}, Command::Reciprocal, {{0.25, "/sec"}}, "", ""},
        OpCase{"reciprocal_overflow", {"1E-310"}, Command::Reciprocal, {{1e-310, ""}}, Overflow, ""},
        OpCase{"reciprocal_zero", {"0 m"}, Command::Reciprocal, {{0, "m"}}, "Cannot divide by zero!", ""},
        OpCase{"log", {"100"}, Command::Log, {{2, ""}}, "", ""},
        OpCase{"log_zero", {"0"}, Command::Log, {{0, ""}}, "", "Number must be greater than zero"},
        OpCase{"log_units", {"10 ft"}, Command::Log, {{10, "ft"}}, "", "Must be unitless"},
        OpCase{"ten_to_x_overflow", {"400"}, Command::TenToX, {{400, ""}}, "", Overflow},
        OpCase{"sine_default_degrees", {"30"}, Command::Sin, {{0.5, ""}}, "", "", 1},
        OpCase{"sine_default_revolutions", {"0.25"}, Command::Sin, {{1, ""}}, "", "", 3},
        OpCase{"sine_degrees", {"30 deg"}, Command::Sin, {{0.5, ""}}, "", "", 0},
        OpCase{"sine_of_length", {"30 ft"}, Command::Sin, {{30, "ft"}}, "", "The units must be angular"},
        OpCase{"tangent_135_deg", {"135 deg"}, Command::Tan, {{-1, ""}}, "", ""},
        OpCase{"tangent_minus_270_deg", {"-270 deg"}, Command::Tan, {{-270, "deg"}}, "", ""},
        OpCase{"arc_sine", {"0.5"}, Command::ArcSin, {{30, "deg"}}, "", "", 1},
        OpCase{"arc_sine_range",
               {"2"},
               Command::ArcSin,
               {{2, ""}},
               "",
               "The number must be between -1 and 1",
               1},
        OpCase{"pi", {}, Command::Pi, {{3.14159265358979, ""}}, "", ""},
        OpCase{"circle_area", {"2 m"}, Command::CircleArea, {{3.14159265358979, "m^2"}}, "", ""},
        OpCase{"circle_area_empty", {}, Command::CircleArea, {}, "Stack Empty!", ""},
        OpCase{"circle_area_of_time",
               {"2 sec"},
               Command::CircleArea,
               {{2, "sec"}},
               "",
               ErrorMessage(_UnitIncomp)},
        OpCase{"swap", {"1 m", "2 kg"}, Command::Swap, {{2, "kg"}, {1, "m"}}, "", ""},
        OpCase{"swap_single", {"1 m"}, Command::Swap, {{1, "m"}}, "", ""}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(EngineTest, TangentOfOddRightAngleIsUndefined) {
    Push("90 deg");
    c().Run(Command::Tan);
    EXPECT_EQ(view.display, Prompt::Undefined);
    ExpectStack({{90, "deg"}});
    Set(&Settings::AngularDefault, 1);
    Push("90"); // plain number: computed, not refused
    c().Run(Command::Tan);
    EXPECT_NE(view.display, Prompt::Undefined);
    EXPECT_EQ(c().Stack().Depth(), 2);
}

TEST_F(EngineTest, TypedOperandIsPushedBeforeTooFewOperands) {
    Typed("5");
    c().Run(Command::Add);
    ExpectStack({{5, ""}});
    EXPECT_EQ(view.errors, std::vector<std::string>{"Too Few Operands"});
}

TEST_F(EngineTest, BadTypedEntryStopsTheOperation) {
    Push("2 m");
    Typed("3 fx");
    c().Run(Command::Multiply);
    ExpectStack({{2, "m"}});
    EXPECT_EQ(view.display, "3 fx");
    EXPECT_EQ(view.errors.size(), 1u);
}

TEST_F(EngineTest, SecondFunctionStaysForTheKeyAfterATypedEntry) {
    Push("2");
    Typed("3");
    c().SecondFBtnClick();
    ASSERT_TRUE(view.secondIndicator);
    c().Run(Command::Square);
    ExpectStack({{8, ""}});
    EXPECT_FALSE(c().State().SecondFunction);
    EXPECT_FALSE(view.secondIndicator);

    Typed("0.5");
    Set(&Settings::AngularDefault, 1);
    c().SecondFBtnClick();
    c().Run(Command::Sin);
    ExpectStack({{8, ""}, {30, "deg"}});
}

TEST_F(EngineTest, SecondFunctionEndsWithEnterAndFailures) {
    c().SecondFBtnClick();
    Push("1");
    EXPECT_FALSE(c().State().SecondFunction);
    Push("10 ft");
    c().Run(Command::TenToX);
    EXPECT_FALSE(c().State().SecondFunction);
    EXPECT_EQ(view.messages, std::vector<std::string>{"Must be unitless"});
}

TEST_F(EngineTest, StoreAndRecallRegisters) {
    Push("12 ft");
    c().BtnSTOClick();
    EXPECT_EQ(view.display, Prompt::Store);
    EXPECT_TRUE(c().State().StorePending);
    c().keyPress('3');
    EXPECT_FALSE(c().State().StorePending);
    EXPECT_EQ(c().Stack().Depth(), 1);
    EXPECT_EQ(Parse(c().Stack().Register(3)).value, 12);
    c().BtnRCLClick();
    EXPECT_EQ(view.display, Prompt::Recall);
    c().BtnEnterClick(); // ignored while the prompt waits
    EXPECT_EQ(c().Stack().Depth(), 1);
    c().keyPress('3');
    ExpectStack({{12, "ft"}, {12, "ft"}});
    c().BtnSTOClick();
    c().keyPress('x');
    EXPECT_EQ(view.errors, std::vector<std::string>{"Invalid register index"});
    c().BtnRCLClick();
    c().DisplayEnter(); // clicking into the display cancels the prompt
    EXPECT_FALSE(c().State().RecallPending);
    EXPECT_TRUE(c().State().Entered);
    EXPECT_NE(view.display, Prompt::Recall);
}

TEST_F(EngineTest, FailureAfterPopPutsOperandsBack) {
    PushAll({"12 ft", "6 in"});
    view.failOnDisplay = "12.5"; // showing the result fails after both operands were popped
    c().Run(Command::Add);
    view.failOnDisplay.clear();
    ExpectStack({{12, "ft"}, {6, "in"}});
    EXPECT_EQ(view.messages, std::vector<std::string>{"display failed"});
}

TEST_F(EngineTest, ResetClearsStackRegistersAndPrompts) {
    Push("4 m");
    c().BtnSTOClick();
    c().keyPress('1');
    c().BtnSTOClick();
    c().ResetCalculator();
    EXPECT_TRUE(c().Stack().IsEmpty());
    EXPECT_EQ(c().Stack().Register(1), "0");
    EXPECT_EQ(view.display, "0");
    EXPECT_FALSE(c().State().StorePending);
    EXPECT_TRUE(c().State().Entered);
}

// A 2nd-function command turns the layer on only when it is off, so the key never falls back to
// its first function, and the layer is off again afterwards.
TEST_F(EngineTest, SecondFunctionCommandsRunWithTheLayerOnOrOff) {
    for (const bool layerOn : {false, true}) {
        Start();
        PushAll({"2", "3"});
        if (layerOn) c().Run(Command::SecondFunction);
        c().Run(Command::YtoX);
        ExpectStack({{8, ""}});
        EXPECT_FALSE(c().State().SecondFunction) << "layer on: " << layerOn;
        EXPECT_FALSE(view.secondIndicator) << "layer on: " << layerOn;
    }
}

// The generic forms a command-table row gives a new operation: the result is pushed; a refusal,
// or an exception, puts the operands back; too few operands are reported before compute runs.
struct GenericCase {
    const char* name;
    std::vector<std::string> entries;
    std::string typed; // typed after the entries, not entered
    bool binary;
    enum { Computes, Refuses, Throws } compute;
    std::vector<Quantity> stack;
    std::string error, message;
};

class GenericOperation : public EngineTest, public ::testing::WithParamInterface<GenericCase> {};

TEST_P(GenericOperation, PushesTheResultOrPutsTheOperandsBack) {
    const auto& p = GetParam();
    c().AutoConvertBtnClick(false);
    PushAll(p.entries);
    if (!p.typed.empty()) Typed(p.typed);
    const std::size_t stepsBefore = c().History().UndoSteps();
    int calls = 0;
    auto outcome = [&](bool computed, std::string& error) {
        ++calls;
        if (p.compute == GenericCase::Throws) throw std::runtime_error("compute failed");
        if (p.compute == GenericCase::Refuses) error = "refused";
        return computed && p.compute == GenericCase::Computes;
    };
    if (p.binary)
        c().BinaryOperation(
            [&](const std::string& y, const std::string& x, std::string& full, std::string& error) {
                std::string units;
                double value = 0;
                return outcome(QuantityMulDiv(y, x, true, full, value, units, error), error);
            });
    else
        c().UnaryOperation([&](const std::string& x, std::string& full, std::string& error) {
            std::string units;
            double value = 0;
            return outcome(QuantityPower(x, full, value, 2, units, error), error);
        });
    ExpectStack(p.stack);
    EXPECT_EQ(view.errors, p.error.empty() ? std::vector<std::string>{} : std::vector<std::string>{p.error});
    EXPECT_EQ(view.messages,
              p.message.empty() ? std::vector<std::string>{} : std::vector<std::string>{p.message});
    const std::size_t operands = p.binary ? 2 : 1;
    EXPECT_EQ(calls, p.entries.size() + (p.typed.empty() ? 0 : 1) >= operands ? 1 : 0);
    // The operation and the entry it finished are one step, undone together.
    if (p.compute == GenericCase::Computes && calls == 1) {
        EXPECT_EQ(c().History().UndoSteps(), stepsBefore + 1);
        c().Undo();
        EXPECT_EQ(c().Stack().Depth(), static_cast<int>(p.entries.size()));
    }
}

INSTANTIATE_TEST_SUITE_P(
    Rows, GenericOperation,
    ::testing::Values(
        GenericCase{
            "unary", {"2 kg", "3 m"}, "", false, GenericCase::Computes, {{2, "kg"}, {9, "m^2"}}, "", ""},
        GenericCase{"unary_typed", {}, "4 m", false, GenericCase::Computes, {{16, "m^2"}}, "", ""},
        GenericCase{"unary_refused", {"3 m"}, "", false, GenericCase::Refuses, {{3, "m"}}, "refused", ""},
        GenericCase{
            "unary_throws", {"3 m"}, "", false, GenericCase::Throws, {{3, "m"}}, "", "compute failed"},
        GenericCase{"unary_empty", {}, "", false, GenericCase::Computes, {}, "Stack Empty!", ""},
        GenericCase{"binary", {"3 m", "2 kg"}, "", true, GenericCase::Computes, {{6, "m*kg"}}, "", ""},
        GenericCase{"binary_typed", {"3 m"}, "2 m", true, GenericCase::Computes, {{6, "m^2"}}, "", ""},
        GenericCase{"binary_refused",
                    {"3 m", "2 kg"},
                    "",
                    true,
                    GenericCase::Refuses,
                    {{3, "m"}, {2, "kg"}},
                    "refused",
                    ""},
        GenericCase{"binary_throws",
                    {"3 m", "2 kg"},
                    "",
                    true,
                    GenericCase::Throws,
                    {{3, "m"}, {2, "kg"}},
                    "",
                    "compute failed"},
        GenericCase{"binary_one_operand",
                    {"3 m"},
                    "",
                    true,
                    GenericCase::Computes,
                    {{3, "m"}},
                    "Too Few Operands",
                    ""}),
    [](const auto& info) { return std::string(info.param.name); });

} // namespace
