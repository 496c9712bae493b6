#include "engine_fixture.h"

namespace {

using Op = void (*)(KorbCalc&);

struct OpCase {
    const char* name;
    std::vector<std::string> entries; // pushed in order
    Op op;
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
    c().settings.AngularDefault = p.angularDefault;
    PushAll(p.entries);
    p.op(c());
    ExpectStack(p.stack);
    EXPECT_EQ(view.errors, p.error.empty() ? std::vector<std::string>{} : std::vector<std::string>{p.error});
    EXPECT_EQ(view.messages,
              p.message.empty() ? std::vector<std::string>{} : std::vector<std::string>{p.message});
    EXPECT_TRUE(c().Entered);
}

void Add(KorbCalc& k) {
    k.BtnAddSubtractClick(KeyTag::Add);
}
void Sub(KorbCalc& k) {
    k.BtnAddSubtractClick(KeyTag::Subtract);
}
void Mul(KorbCalc& k) {
    k.BtnMulDivClick(KeyTag::Multiply);
}
void Div(KorbCalc& k) {
    k.BtnMulDivClick(KeyTag::Divide);
}
void Sqr(KorbCalc& k) {
    k.xsqrBtnClick();
}
void Sqrt(KorbCalc& k) {
    k.SqrRtBtnClick();
}
void YtoX(KorbCalc& k) {
    k.YtoXImgDblClick();
}
void Root(KorbCalc& k) {
    k.XRootYImgDblClick();
}
void Inv(KorbCalc& k) {
    k.xtoNeg1BtnClick();
}
void Log(KorbCalc& k) {
    k.LogBtnClick();
}
void TenX(KorbCalc& k) {
    k.TenToXImgDblClick();
}
void Sin(KorbCalc& k) {
    k.BtnSINCOSTANClick(TrigKey::Sin);
}
void Tan(KorbCalc& k) {
    k.BtnSINCOSTANClick(TrigKey::Tan);
}
void ASin(KorbCalc& k) {
    k.SinInvImgDblClick();
}
void Pi(KorbCalc& k) {
    k.BtnPIClick();
}
void Area(KorbCalc& k) {
    k.AreaImgDblClick();
}
void Swap(KorbCalc& k) {
    k.StackTopFlipBtnClick();
}

const std::string NegFrac = "Negative to a fractional power not allowed";
const std::string Overflow = "Floating point overflow";

INSTANTIATE_TEST_SUITE_P(
    Keys, Operation,
    ::testing::Values(
        OpCase{"add_keeps_y_units", {"12 ft", "6 in"}, Add, {{12.5, "ft"}}, "", ""},
        OpCase{"add_in_inches", {"6 in", "12 ft"}, Add, {{150, "in"}}, "", ""},
        OpCase{"subtract", {"12 ft", "6 in"}, Sub, {{11.5, "ft"}}, "", ""},
        OpCase{"add_incompatible",
               {"12 ft", "3 kg"},
               Add,
               {{12, "ft"}, {3, "kg"}},
               "Second number convert failed",
               ""},
        OpCase{"add_one_operand", {"5"}, Add, {{5, ""}}, "Too Few Operands", ""},
        OpCase{"multiply", {"3 ft", "2 ft"}, Mul, {{6, "ft^2"}}, "", ""},
        OpCase{"multiply_overflow", {"1E200 m", "1E200"}, Mul, {{1e200, "m"}, {1e200, ""}}, Overflow, ""},
        OpCase{
            "divide_by_zero", {"10 ft", "0 sec"}, Div, {{10, "ft"}, {0, "sec"}}, "Cannot Divide by Zero", ""},
        OpCase{"square", {"3 ft"}, Sqr, {{9, "ft^2"}}, "", ""},
        OpCase{"square_empty", {}, Sqr, {}, "Stack Empty!", ""},
        OpCase{"square_root", {"4 m^2"}, Sqrt, {{2, "m"}}, "", ""},
        OpCase{"square_root_negative", {"-4 m^2"}, Sqrt, {{-4, "m^2"}}, NegFrac, ""},
        OpCase{"y_to_x", {"2", "3"}, YtoX, {{8, ""}}, "", ""},
        OpCase{"y_to_x_exponent_units",
               {"2", "3 ft"},
               YtoX,
               {{2, ""}, {3, "ft"}},
               "Exponent must be unitless.",
               ""},
        OpCase{"y_to_x_overflow", {"10", "400"}, YtoX, {{10, ""}, {400, ""}}, Overflow, ""},
        OpCase{"root", {"27", "3"}, Root, {{3, ""}}, "", ""},
        OpCase{"root_of_negative", {"-8 m", "2.5"}, Root, {{-8, "m"}, {2.5, ""}}, NegFrac, ""},
        OpCase{"root_zero_index", {"27", "0"}, Root, {{27, ""}, {0, ""}}, "Divide by zero", ""},
        OpCase{"root_index_units", {"27", "3 m"}, Root, {{27, ""}, {3, "m"}}, "Root X must be unitless.", ""},
        OpCase{"reciprocal", {"4 sec"}, Inv, {{0.25, "/sec"}}, "", ""},
        OpCase{"reciprocal_overflow", {"1E-310"}, Inv, {{1e-310, ""}}, Overflow, ""},
        OpCase{"reciprocal_zero", {"0 m"}, Inv, {{0, "m"}}, "Cannot divide by zero!", ""},
        OpCase{"log", {"100"}, Log, {{2, ""}}, "", ""},
        OpCase{"log_zero", {"0"}, Log, {{0, ""}}, "", "Number must be greater than zero"},
        OpCase{"log_units", {"10 ft"}, Log, {{10, "ft"}}, "", "Must be unitless"},
        OpCase{"ten_to_x_overflow", {"400"}, TenX, {{400, ""}}, "", Overflow},
        OpCase{"sine_default_degrees", {"30"}, Sin, {{0.5, ""}}, "", "", 1},
        OpCase{"sine_degrees", {"30 deg"}, Sin, {{0.5, ""}}, "", "", 0},
        OpCase{"sine_default_revolutions", {"0.25"}, Sin, {{1, ""}}, "", "", 3},
        OpCase{"sine_of_length", {"30 ft"}, Sin, {{30, "ft"}}, "", "The units must be angular"},
        OpCase{"tangent_135_deg", {"135 deg"}, Tan, {{-1, ""}}, "", ""},
        OpCase{"tangent_minus_270_deg", {"-270 deg"}, Tan, {{-270, "deg"}}, "", ""},
        OpCase{"arc_sine", {"0.5"}, ASin, {{30, "deg"}}, "", "", 1},
        OpCase{"arc_sine_range", {"2"}, ASin, {{2, ""}}, "", "The number must be between -1 and 1", 1},
        OpCase{"pi", {}, Pi, {{3.14159265358979, ""}}, "", ""},
        OpCase{"circle_area", {"2 m"}, Area, {{3.14159265358979, "m^2"}}, "", ""},
        OpCase{"circle_area_empty", {}, Area, {}, "Stack Empty!", ""},
        OpCase{"circle_area_of_time", {"2 sec"}, Area, {{2, "sec"}}, "", ErrorMessage(_UnitIncomp)},
        OpCase{"swap", {"1 m", "2 kg"}, Swap, {{2, "kg"}, {1, "m"}}, "", ""},
        OpCase{"swap_single", {"1 m"}, Swap, {{1, "m"}}, "", ""}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(EngineTest, TangentOfOddRightAngleIsUndefined) {
    Push("90 deg");
    Tan(c());
    EXPECT_EQ(view.display, Prompt::Undefined);
    ExpectStack({{90, "deg"}});
    c().settings.AngularDefault = 1;
    Push("90"); // plain number: computed, not refused
    Tan(c());
    EXPECT_NE(view.display, Prompt::Undefined);
    EXPECT_EQ(c().Stack().Depth(), 2);
}

TEST_F(EngineTest, TypedOperandIsPushedBeforeTooFewOperands) {
    Typed("5");
    Add(c());
    ExpectStack({{5, ""}});
    EXPECT_EQ(view.errors, std::vector<std::string>{"Too Few Operands"});
}

TEST_F(EngineTest, BadTypedEntryStopsTheOperation) {
    Push("2 m");
    Typed("3 fx");
    Mul(c());
    ExpectStack({{2, "m"}});
    EXPECT_EQ(view.display, "3 fx");
    EXPECT_EQ(view.errors.size(), 1u);
}

TEST_F(EngineTest, SecondFunctionStaysForTheKeyAfterATypedEntry) {
    Push("2");
    Typed("3");
    c().SecondFBtnClick();
    ASSERT_TRUE(view.secondIndicator);
    Sqr(c());
    ExpectStack({{8, ""}});
    EXPECT_FALSE(c().SecondFunction);
    EXPECT_FALSE(view.secondIndicator);

    Typed("0.5");
    c().settings.AngularDefault = 1;
    c().SecondFBtnClick();
    Sin(c());
    ExpectStack({{8, ""}, {30, "deg"}});
}

TEST_F(EngineTest, SecondFunctionEndsWithEnterAndFailures) {
    c().SecondFBtnClick();
    Push("1");
    EXPECT_FALSE(c().SecondFunction);
    Push("10 ft");
    TenX(c());
    EXPECT_FALSE(c().SecondFunction);
    EXPECT_EQ(view.messages, std::vector<std::string>{"Must be unitless"});
}

TEST_F(EngineTest, StoreAndRecallRegisters) {
    Push("12 ft");
    c().BtnSTOClick();
    EXPECT_EQ(view.display, Prompt::Store);
    EXPECT_TRUE(c().StorePending);
    c().keyPress('3');
    EXPECT_FALSE(c().StorePending);
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
    EXPECT_FALSE(c().RecallPending);
    EXPECT_TRUE(c().Entered);
    EXPECT_NE(view.display, Prompt::Recall);
}

TEST_F(EngineTest, FailureAfterPopPutsOperandsBack) {
    PushAll({"12 ft", "6 in"});
    view.failOnDisplay = "12.5"; // showing the result fails after both operands were popped
    Add(c());
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
    EXPECT_FALSE(c().StorePending);
    EXPECT_TRUE(c().Entered);
}

} // namespace
