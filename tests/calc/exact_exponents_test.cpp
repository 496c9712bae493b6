// Fractional unit exponents through the engine: roots and powers undo each other, and values
// with such exponents survive the stack file.
#include <fstream>

#include "engine_fixture.h"
#include "support/file_scratch.h"

namespace {

class ExactExponentsTest : public EngineTest {
protected:
    void SecondFunction(void (KorbCalc::*key)()) {
        c().SecondFBtnClick();
        (c().*key)();
    }
    std::string Top() const { return calc->Stack().FPStack().back(); }
};

TEST_F(ExactExponentsTest, CubeRootThenCubeGivesTheLengthBack) {
    c().AutoConvertBtnClick(false);
    c().EnterText("8 m");
    c().EnterText("3");
    SecondFunction(&KorbCalc::SqrRtBtnClick);
    EXPECT_EQ(view.display.substr(view.display.find(' ')), " m^0.33");
    c().EnterText("3");
    SecondFunction(&KorbCalc::xsqrBtnClick);
    ExpectStack({{8, "m"}});
    c().EnterText("1 m");
    c().BtnAddSubtractClick(KeyTag::Add);
    EXPECT_TRUE(view.errors.empty());
    ExpectStack({{9, "m"}});
}

TEST_F(ExactExponentsTest, TenSquareRootsAndTenSquaresGiveTheLengthBack) {
    c().AutoConvertBtnClick(false);
    c().EnterText("1 m");
    for (int i = 0; i < 10; ++i) c().SqrRtBtnClick();
    for (int i = 0; i < 10; ++i) c().xsqrBtnClick();
    ExpectStack({{1, "m"}});
}

TEST_F(ExactExponentsTest, StackFileKeepsAThirdPower) {
    ScratchDir dir;
    const std::string file = dir.File("SaveStck.dat");
    c().AutoConvertBtnClick(false);
    c().EnterText("8 m");
    c().EnterText("3");
    SecondFunction(&KorbCalc::SqrRtBtnClick);
    ASSERT_TRUE(c().SaveStackTo(file));

    Start();
    c().AutoConvertBtnClick(false);
    ASSERT_TRUE(c().LoadStackFrom(file));
    c().EnterText("3");
    SecondFunction(&KorbCalc::xsqrBtnClick);
    ExpectStack({{8, "m"}});
}

// Files written before exponents were kept exactly hold two-digit exponents.
TEST_F(ExactExponentsTest, OldStackFileExponentsReadAsFractions) {
    ScratchDir dir;
    const std::string file = dir.File("SaveStck.dat");
    WriteBytes(file, "2.000000000000000 m^0.33\r\n4.000000000000000 m^0.67\r\n");
    c().AutoConvertBtnClick(false);
    ASSERT_TRUE(c().LoadStackFrom(file));
    c().BtnMulDivClick(KeyTag::Multiply);
    ExpectStack({{8, "m"}});
}

} // namespace
