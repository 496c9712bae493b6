#include <filesystem>

#include "engine_fixture.h"
#include "support/file_scratch.h"
#include "units/QuantityMath.h"

namespace {

TEST_F(EngineTest, SelectUnitsAttachesTheChosenUnits) {
    Typed("12");
    view.selectorAnswer = "ft";
    c().SelectUnitsBtnClick();
    ExpectStack({{12, "ft"}});

    c().ResetCalculator();
    Typed("");
    view.selectorAnswer = "m/sec";
    c().SelectUnitsBtnClick(); // an empty display becomes 1 of the units
    ExpectStack({{1, "m/sec"}});

    view.selectorAnswer.reset();
    c().SelectUnitsBtnClick();
    EXPECT_EQ(c().Stack().Depth(), 1);
}

TEST_F(EngineTest, ConvertUnitsReplacesTheTop) {
    Push("12 ft");
    view.selectorAnswer = "in";
    c().ConvertUnitsBtnClick();
    ExpectStack({{144, "in"}});
    EXPECT_EQ(view.selectorInputs.back(), "");

    view.selectorAnswer = "kg";
    c().ConvertUnitsBtnClick();
    ExpectStack({{144, "in"}});
    EXPECT_EQ(view.errors.size(), 1u);
}

TEST_F(EngineTest, ConvertUnitsNeedsAStackEvenWithATypedValue) {
    Typed("5 ft");
    view.selectorAnswer = "in";
    c().ConvertUnitsBtnClick();
    EXPECT_EQ(view.errors, std::vector<std::string>{"Stack is empty!"});
    EXPECT_TRUE(view.selectorInputs.empty());
}

TEST_F(EngineTest, ConvertUnitsToUnreadableUnitsKeepsTheStack) {
    Push("12 ft");
    view.selectorAnswer = "qqq";
    c().ConvertUnitsBtnClick();
    ExpectStack({{12, "ft"}});
    EXPECT_EQ(view.messages,
              std::vector<std::string>{"Unit problem-check the units entered\nno unit \"qqq\""});
}

TEST_F(EngineTest, DirectConvertUsesTheTopUnits) {
    PushAll({"6 in", "1 ft"});
    c().ConvertStackBtnClick();
    ExpectStack({{0.5, "ft"}});

    PushAll({"6 in", "1 kg"});
    c().ConvertStackBtnClick();
    ExpectStack({{0.5, "ft"}, {6, "in"}, {1, "kg"}});
    EXPECT_EQ(view.errors.size(), 1u);

    c().ResetCalculator();
    Push("1 m");
    c().ConvertStackBtnClick();
    EXPECT_EQ(view.errors.back(), "Not enough operands!");
}

TEST_F(EngineTest, UnitSystemAndAutoConvertStates) {
    c().USBtnClick();
    EXPECT_FALSE(UnitSystem);
    EXPECT_FALSE(view.si);
    c().SystemeInternationale1Click();
    EXPECT_TRUE(UnitSystem);
    EXPECT_TRUE(view.si);

    c().AutoConvert1Click();
    EXPECT_FALSE(AutoConvert);
    EXPECT_FALSE(view.autoConvert);
    EXPECT_FALSE(view.unitSystemEnabled);
    c().AutoConvert1Click();
    EXPECT_TRUE(AutoConvert);
    EXPECT_TRUE(view.unitSystemEnabled);
}

TEST_F(EngineTest, StoredValuesChooseModeAndUnitSystem) {
    EXPECT_FALSE(c().State().CalcMode); // nothing stored: free-form
    store.values = {{"CalcMode", "1"}, {"UnitSystem", "0"}, {"AutoConvert", "0"}};
    Start();
    EXPECT_TRUE(c().State().CalcMode);
    EXPECT_FALSE(UnitSystem);
    EXPECT_FALSE(AutoConvert);
    EXPECT_FALSE(view.unitSystemEnabled);
}

TEST_F(EngineTest, DisplayChangeClearsEnteredOnlyWhileFocused) {
    Push("3 m");
    c().DisplayChange();
    EXPECT_TRUE(c().State().Entered);
    c().DisplayEnter();
    c().DisplayChange();
    EXPECT_FALSE(c().State().Entered);
    c().DisplayExit();
    EXPECT_FALSE(c().State().DisplayFocused);
}

TEST_F(EngineTest, ProgramTextInTheFocusedDisplayIsNoEdit) {
    PushAll({"1 m", "2 m"});
    view.onChange = [this] { c().DisplayChange(); };
    c().DisplayEnter();
    c().StackTopFlipBtnClick(); // F12 while the display has the focus
    c().DisplayExit();
    c().BtnAddSubtractClick(KeyTag::Add);
    ExpectStack({{3, "m"}});
}

TEST_F(EngineTest, CopyAndPaste) {
    c().Copy1Click();
    EXPECT_EQ(view.clipboard, "0");

    Typed("3 m");
    view.clipboard = "12 ft";
    c().Paste1Click(); // the pending entry is pushed first
    ExpectStack({{3, "m"}, {12, "ft"}});

    Typed("3 fx");
    c().Paste1Click();
    EXPECT_EQ(c().Stack().Depth(), 2);
    EXPECT_EQ(view.display, "3 fx");
    EXPECT_EQ(view.errors.size(), 1u);
}

TEST_F(EngineTest, DropOntoTheDisplay) {
    PushAll({"1 m", "2 kg"});
    c().BtnSTOClick();
    c().keyPress('3');
    c().DisplayDragDrop({true, "lbReg3", 3, -1});
    EXPECT_EQ(c().Stack().Depth(), 3);
    c().DisplayDragDrop({true, "StackListBox", 0, 0});
    ExpectStack({{1, "m"}, {2, "kg"}, {2, "kg"}, {1, "m"}});
    EXPECT_FALSE(KorbCalc::DisplayDragOver({false, "Display", 0, -1}));
}

// Runs in its own directory: the close action writes into the current directory.
TEST_F(EngineTest, CloseWritesFilesOnlyWithSavePrefs) {
    namespace fs = std::filesystem;
    const fs::path old = fs::current_path();
    ScratchDir dir;
    fs::current_path(dir.Path());
    Push("12 ft");
    Set(&Settings::SavePrefs, 0);
    c().FormClose();
    EXPECT_FALSE(fs::exists("Meridot.ini") || fs::exists("SaveStck.dat") || fs::exists("SaveRegs.dat"));
    Set(&Settings::SavePrefs, 1);
    c().FormClose();
    EXPECT_TRUE(fs::exists("Meridot.ini") && fs::exists("SaveStck.dat") && fs::exists("SaveRegs.dat"));

    store.values.clear();
    Start();
    Set(&Settings::SaveStack, 1);
    EXPECT_TRUE(c().LoadSavedStack());
    ExpectStack({{12, "ft"}});
    fs::current_path(old);
}

} // namespace

// The preferred units stored by an earlier run apply from the start; a damaged row keeps its default.
TEST_F(EngineTest, StoredPreferredUnitsApplyAtStart) {
    store.values["PreferredSI7"] = "kW";
    store.values["PreferredSI6"] = "kW"; // not a pressure
    Start();
    c().SIBtnClick();
    c().AutoConvertBtnClick(true);
    PushAll({"50 lbf*ft", "3000 RPM"});
    c().Run(Command::Multiply);
    ExpectStack({{21.2971385305, "kW"}});
    PushAll({"1000 N", "2 m^2"});
    c().Run(Command::Divide);
    ExpectStack({{21.2971385305, "kW"}, {500, "N/m^2"}});
    // A start on a store without the values brings back the defaults.
    store.values.clear();
    Start();
    PushAll({"50 lbf*ft", "3000 RPM"});
    c().Run(Command::Multiply);
    ExpectStack({{21297.1385305, "N*m/sec"}});
}
