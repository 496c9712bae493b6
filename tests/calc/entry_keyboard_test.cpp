#include "calc/KeyMap.h"
#include "engine_fixture.h"

namespace {

// Keys as a string: digits are the digit keys, '.' is the point key, '<' Backspace; anything else
// is typed.
void Keys(KorbCalc& c, const std::string& keys) {
    for (char k : keys) {
        if (k == '.')
            c.Run(Command::Dot);
        else if (k == '<')
            c.Run(Command::Backspace);
        else if (k >= '0' && k <= '9')
            c.Run(DigitCommand(k - '0'));
        else
            c.keyPress(k);
    }
}

struct TypingCase {
    bool calcMode;
    std::string keys;
    std::string display;
};

void PrintTo(const TypingCase& c, std::ostream* os) {
    *os << (c.calcMode ? "calculator mode, keys " : "free-form mode, keys ") << c.keys;
}

class Typing : public EngineTest, public ::testing::WithParamInterface<TypingCase> {};

TEST_P(Typing, BuildsTheEntry) {
    const auto& p = GetParam();
    c().Run(p.calcMode ? Command::CalculatorMode : Command::FreeFormMode);
    Keys(c(), p.keys);
    EXPECT_EQ(view.display, p.display);
    EXPECT_FALSE(c().State().Entered);
    EXPECT_EQ(c().Stack().Depth(), 0);
}

INSTANTIATE_TEST_SUITE_P(Entry, Typing,
                         ::testing::Values(TypingCase{true, "05", "5"}, TypingCase{true, ".", "0."},
                                           TypingCase{true, "1..2", "1.2"}, TypingCase{true, "1.<.5", "1.5"},
                                           TypingCase{true, "12<<", ""},
                                           TypingCase{true, "12345678901234567", "1234567890123456"},
                                           TypingCase{true, "12345678901234.", "12345678901234"},
                                           TypingCase{true, "1234567890123.", "1234567890123."},
                                           TypingCase{false, "12345678901234567", "12345678901234567"}));

TEST_F(EngineTest, EnterDuplicatesTheTopButPushesANewZero) {
    Push("12 ft");
    c().BtnEnterClick();
    ExpectStack({{12, "ft"}, {12, "ft"}});
    c().ResetCalculator();
    c().BtnEnterClick(); // "0" in the entered state is a new entry
    ExpectStack({{0, ""}});
    EXPECT_TRUE(view.errors.empty());
}

TEST_F(EngineTest, EnterRefusesUndefinedAndBadText) {
    Push("90 deg");
    c().BtnSINCOSTANClick(TrigKey::Tan);
    ASSERT_EQ(view.display, Prompt::Undefined);
    c().BtnEnterClick();
    EXPECT_EQ(c().Stack().Depth(), 1);

    Typed("12 fx");
    c().BtnEnterClick();
    EXPECT_EQ(c().Stack().Depth(), 1);
    EXPECT_EQ(view.display, "12 fx");
    EXPECT_FALSE(c().State().Entered);
    EXPECT_EQ(view.errors.size(), 1u);
}

TEST_F(EngineTest, DeleteDependsOnStackAndEntry) {
    Typed("7");
    c().BtnDelClick(); // typed entry, empty stack
    EXPECT_EQ(view.display, "0 ");
    EXPECT_TRUE(view.errors.empty());

    c().ResetCalculator(); // nothing typed: the display shows a completed "0"
    c().BtnDelClick();
    EXPECT_EQ(view.errors, std::vector<std::string>{"Stack Empty!"});

    PushAll({"1 m", "2 m"});
    Typed("99");
    c().BtnDelClick(); // discards the entry only
    EXPECT_EQ(c().Stack().Depth(), 2);
    EXPECT_TRUE(c().State().Entered);
    c().BtnDelClick(); // drops the top
    ExpectStack({{1, "m"}});
    c().BtnDelClick();
    EXPECT_EQ(view.display, "0 ");
    EXPECT_TRUE(c().Stack().IsEmpty());
}

TEST_F(EngineTest, ChangeSignPushesTheNegatedValue) {
    Push("5 ft");
    c().BtnCHSClick();
    ExpectStack({{5, "ft"}, {-5, "ft"}});
    Typed("3");
    c().BtnCHSClick();
    ExpectStack({{5, "ft"}, {-5, "ft"}, {-3, ""}});
    Typed("3 fx");
    c().BtnCHSClick();
    EXPECT_EQ(c().Stack().Depth(), 3);
    EXPECT_EQ(view.errors.size(), 1u);
}

TEST_F(EngineTest, ChangeSignOnTheStartZeroNeedsNoStack) {
    c().BtnCHSClick();
    EXPECT_TRUE(view.errors.empty());
    ExpectStack({{0, ""}});
}

struct KeyCase {
    bool calcMode;
    KeyOptions options;
    int key;
    bool shift, ctrl;
    KeyCommand expected;
};

void PrintTo(const KeyCase& c, std::ostream* os) {
    *os << (c.calcMode ? "calculator mode" : "free-form mode") << ", key " << c.key
        << (c.shift ? " +Shift" : "") << (c.ctrl ? " +Ctrl" : "")
        << (c.options.copyOperators ? " CopyOperators" : "") << (c.options.subAsCHS ? " SubAsCHS" : "")
        << (c.options.switchToFF ? " SwitchToFF" : "");
}

class KeyMapRows : public ::testing::TestWithParam<KeyCase> {};

TEST_P(KeyMapRows, LooksUpTheCommand) {
    const auto& p = GetParam();
    const KeyCommand cmd = LookupKey(p.key, p.shift, p.ctrl, p.calcMode, p.options);
    EXPECT_EQ(cmd.action, p.expected.action);
    if (p.expected.action == KeyAction::Run) {
        EXPECT_EQ(cmd.command, p.expected.command);
    } else if (p.expected.ch) {
        EXPECT_EQ(cmd.ch, p.expected.ch);
    }
}

constexpr KeyOptions Plain{}, CopyOps{true, false, false}, SubChs{false, true, false},
    Switch{false, false, true};
using KA = KeyAction;
constexpr KeyCommand Runs(Command command) {
    return {KA::Run, 0, command};
}
constexpr KeyCommand Does(KeyAction action, char ch = 0) {
    return {action, ch};
}

INSTANTIATE_TEST_SUITE_P(
    CalculatorMode, KeyMapRows,
    ::testing::Values(KeyCase{true, Plain, 52, false, false, Runs(Command::Digit4)},
                      KeyCase{true, Plain, 100, false, false, Runs(Command::Digit4)},
                      KeyCase{true, Plain, 105, false, false, Runs(Command::Digit9)},
                      KeyCase{true, Plain, 52, true, false, Does(KA::None)},
                      KeyCase{true, Plain, 56, true, false, Runs(Command::Multiply)},
                      KeyCase{true, CopyOps, 107, false, false, Runs(Command::Add)},
                      KeyCase{true, Plain, 110, false, false, Runs(Command::Dot)},
                      KeyCase{true, Plain, 187, false, false, Does(KA::None)},
                      KeyCase{true, Plain, 187, true, false, Runs(Command::Add)},
                      KeyCase{true, Plain, 189, false, false, Runs(Command::Subtract)},
                      KeyCase{true, Plain, 189, true, false, Runs(Command::ChangeSign)},
                      KeyCase{true, SubChs, 189, false, false, Runs(Command::ChangeSign)},
                      KeyCase{true, SubChs, 189, true, false, Runs(Command::Subtract)},
                      KeyCase{true, Plain, 191, false, false, Runs(Command::Divide)},
                      KeyCase{true, Plain, 70, false, false, Does(KA::None)},
                      KeyCase{true, Switch, 70, false, false, Does(KA::SwitchLetter, 'f')},
                      KeyCase{true, Plain, 112, false, false, Does(KA::None)},
                      // Ctrl makes a key a shortcut: it never types into the entry.
                      KeyCase{true, Plain, 52, false, true, Does(KA::None)},
                      KeyCase{true, Plain, 100, false, true, Does(KA::None)},
                      KeyCase{true, Plain, 110, false, true, Does(KA::None)},
                      KeyCase{true, Plain, 190, false, true, Does(KA::None)},
                      KeyCase{true, Switch, 90, false, true, Does(KA::None)},
                      KeyCase{true, Plain, 191, false, true, Runs(Command::Divide)}));

INSTANTIATE_TEST_SUITE_P(
    FreeFormMode, KeyMapRows,
    ::testing::Values(KeyCase{false, Plain, 54, true, false, Does(KA::ClearAndType, '^')},
                      KeyCase{false, Plain, 50, true, false, Does(KA::Type, '@')},
                      KeyCase{false, Plain, 56, true, true, Runs(Command::Multiply)},
                      KeyCase{false, Plain, 56, false, true, Runs(Command::Multiply)},
                      KeyCase{false, Plain, 104, false, false, Runs(Command::Digit8)},
                      KeyCase{false, Plain, 105, false, false, Runs(Command::Digit9)},
                      KeyCase{false, CopyOps, 107, false, false, Does(KA::ClearAndType, '+')},
                      KeyCase{false, Plain, 107, false, false, Runs(Command::Add)},
                      KeyCase{false, Plain, 110, false, false, Does(KA::Type, '.')},
                      KeyCase{false, Plain, 187, true, true, Runs(Command::Add)},
                      KeyCase{false, Plain, 187, false, true, Runs(Command::Add)},
                      KeyCase{false, Plain, 189, false, false, Does(KA::ClearAndType, '-')},
                      KeyCase{false, Plain, 189, true, true, Runs(Command::ChangeSign)},
                      KeyCase{false, Plain, 189, false, true, Runs(Command::Subtract)},
                      KeyCase{false, Plain, 191, true, false, Does(KA::ClearAndType, '/')},
                      KeyCase{false, Plain, 191, false, true, Runs(Command::Divide)},
                      KeyCase{false, Plain, 70, true, false, Does(KA::Letter, 'F')},
                      KeyCase{false, Plain, 70, false, false, Does(KA::Letter, 'f')},
                      KeyCase{false, Plain, 90, false, true, Does(KA::None)},
                      KeyCase{false, Plain, 89, false, true, Does(KA::None)},
                      KeyCase{false, Plain, 90, true, true, Does(KA::None)},
                      KeyCase{false, Plain, 53, false, true, Does(KA::None)},
                      KeyCase{false, Plain, 49, true, true, Does(KA::None)},
                      KeyCase{false, Plain, 54, true, true, Does(KA::None)},
                      KeyCase{false, Plain, 110, false, true, Does(KA::None)},
                      KeyCase{false, Plain, 190, false, true, Does(KA::None)},
                      KeyCase{false, CopyOps, 107, false, true, Does(KA::None)},
                      KeyCase{false, Plain, 189, true, false, Runs(Command::ChangeSign)}));

TEST_F(EngineTest, FreeFormCaretAppendsToTheShownValue) {
    Push("12.5 ft");
    const std::string shown = view.display;
    c().DisplayKeyDown(VK::Digit0 + 6, true, false);
    c().DisplayKeyDown(VK::Digit0 + 2, false, false);
    EXPECT_EQ(view.display, shown + "^2");
    c().DisplayKeyDown(VK::Return, false, false);
    ExpectStack({{12.5, "ft"}, {12.5, "ft^2"}});
}

// Characters beyond the keyboard map (a micro sign, a superscript two, a degree sign) are typed
// into the entry as they are, and the entry reads as their ASCII spelling.
TEST_F(EngineTest, TypographicCharactersAreTypedAsTheyAre) {
    Keys(c(), "47 ");
    c().TypeCharacter("\xC2\xB5");
    c().DisplayKeyDown(VK::LetterA + 5, true, false); // F
    EXPECT_EQ(view.display, "47 \xC2\xB5"
                            "F");
    c().DisplayKeyDown(VK::Return, false, false);
    Keys(c(), "3 m");
    c().TypeCharacter("\xC2\xB2");
    c().DisplayKeyDown(VK::Return, false, false);
    ExpectStack({{47, "uF"}, {3, "m^2"}});
    c().TypeCharacter("\xC2\xA7"); // a new entry, refused by name at Enter
    c().DisplayKeyDown(VK::Return, false, false);
    EXPECT_EQ(c().Stack().Depth(), 2);
    ASSERT_EQ(view.errors.size(), 1u);
    EXPECT_NE(view.errors[0].find("\xC2\xA7"), std::string::npos) << view.errors[0];
}

TEST_F(EngineTest, LetterSwitchesCalculatorModeToFreeForm) {
    c().Calculator1Click();
    ASSERT_TRUE(c().State().CalcMode);
    Set(&Settings::SwitchToFF, 0);
    c().DisplayKeyDown(VK::LetterA + 5, false, false);
    EXPECT_TRUE(c().State().CalcMode);
    Set(&Settings::SwitchToFF, 1);
    c().DisplayKeyDown(VK::Digit0 + 1, false, false);
    c().DisplayKeyDown(VK::Digit0 + 2, false, false);
    c().DisplayKeyDown(VK::LetterA + 5, false, false);
    EXPECT_FALSE(c().State().CalcMode);
    EXPECT_FALSE(view.calcMode);
    EXPECT_EQ(view.display, "12f");
}

TEST_F(EngineTest, FocusedDisplayPassesOnlyEnter) {
    Typed("3");
    c().DisplayEnter();
    c().DisplayKeyDown(VK::Digit0 + 4, false, false);
    c().DisplayKeyDown(VK::Add, false, false);
    EXPECT_EQ(view.display, "3");
    c().DisplayKeyDown(VK::Return, false, false);
    ExpectStack({{3, ""}});
}

// Keys through the keyboard map: a letter code is typed without Shift, "!" + letter with it; "^c"
// is the letter with Ctrl; anything else is its own key (digits, '.', '/', and Enter as '\n').
void PressKeys(KorbCalc& c, const std::string& keys) {
    for (std::size_t i = 0; i < keys.size(); ++i) {
        const char k = keys[i];
        bool shift = false, ctrl = false;
        char key = k;
        if ((k == '!' || k == '^') && i + 1 < keys.size()) {
            shift = k == '!';
            ctrl = k == '^';
            key = keys[++i];
        }
        int code = 0;
        if (key >= 'a' && key <= 'z')
            code = VK::LetterA + (key - 'a');
        else if (key >= '0' && key <= '9')
            code = VK::Digit0 + (key - '0');
        else if (key == '.')
            code = VK::OemPeriod;
        else if (key == '/')
            code = VK::OemSlash;
        else if (key == '\n')
            code = VK::Return;
        ASSERT_NE(code, 0) << "no key for " << key;
        c.DisplayKeyDown(code, shift, ctrl);
    }
}

// A 0 typed is a value: letters after it are its units, in free-form mode as in calculator mode.
TEST_F(EngineTest, TypedZeroStaysZero) {
    PressKeys(c(), "10ft\n0sec\n");
    ExpectStack({{10, "ft"}, {0, "sec"}});
    PressKeys(c(), "^/"); // Ctrl+/ divides
    EXPECT_EQ(view.errors, std::vector<std::string>{"Cannot Divide by Zero"});
    ExpectStack({{10, "ft"}, {0, "sec"}});

    PressKeys(c(), "0!c\n");
    EXPECT_EQ(StackValues().back().value, 0);
    EXPECT_EQ(StackValues().back().units, "C");
    PressKeys(c(), "0.5m\n");
    ExpectStack({{10, "ft"}, {0, "sec"}, {0, "C"}, {0.5, "m"}});
}

// Before anything is typed the display's "0" is no value: the first key replaces it.
TEST_F(EngineTest, IdleZeroGivesWayToTyping) {
    PressKeys(c(), "sec\n");
    ExpectStack({{1, "sec"}});
    c().ResetCalculator();
    c().DisplayKeyDown(VK::OemMinus, false, false); // clears Entered and types "-"
    PressKeys(c(), "5\n");
    ExpectStack({{-5, ""}});
    c().ClearStackContents();
    c().DisplayKeyDown(VK::OemSlash, false, false);
    EXPECT_EQ(view.display, "/");
    c().CancelEntry();
    PressKeys(c(), "05");
    EXPECT_EQ(view.display, "5"); // a leading zero before a digit goes
}

struct SelectCase {
    const char* name;
    bool calcMode;
    std::vector<std::string> pushed;
    std::string keys; // typed after the pushes ("<" Backspace); "" leaves the display as it is
    bool reset;       // the display shows the idle "0" after a reset
    double value;     // of the pushed quantity in the chosen units
};

void PrintTo(const SelectCase& c, std::ostream* os) {
    *os << c.name;
}

class SelectUnitsValue : public EngineTest, public ::testing::WithParamInterface<SelectCase> {};

TEST_P(SelectUnitsValue, KeepsATypedZero) {
    const auto& p = GetParam();
    c().Run(p.calcMode ? Command::CalculatorMode : Command::FreeFormMode);
    PushAll(p.pushed);
    if (p.reset) c().ResetCalculator();
    Keys(c(), p.keys);
    view.selectorAnswer = "sec";
    c().Run(Command::SelectUnits);
    ASSERT_TRUE(view.errors.empty()) << view.errors.front();
    ASSERT_FALSE(StackValues().empty());
    EXPECT_EQ(StackValues().back().value, p.value);
    EXPECT_EQ(StackValues().back().units, "sec");
}

INSTANTIATE_TEST_SUITE_P(Entry, SelectUnitsValue,
                         ::testing::Values(SelectCase{"calc_typed_zero", true, {}, "0", false, 0},
                                           SelectCase{"calc_typed_zero_point", true, {}, "0.", false, 0},
                                           SelectCase{"calc_typed_number", true, {}, "25", false, 25},
                                           SelectCase{"calc_idle_display", true, {}, "", true, 1},
                                           SelectCase{"calc_everything_erased", true, {}, "3<", false, 1},
                                           SelectCase{"free_form_typed_zero", false, {}, "0", false, 0},
                                           SelectCase{"pushed_zero_on_top", false, {"0"}, "", false, 0},
                                           SelectCase{"pushed_value_on_top", false, {"4"}, "", false, 4}),
                         [](const auto& info) { return std::string(info.param.name); });

// Ctrl with a letter is a shortcut or nothing; the entry never takes the letter.
TEST_F(EngineTest, CtrlLettersDoNotType) {
    PressKeys(c(), "1^z^y^a^s^q^w");
    EXPECT_EQ(view.display, "1");
    PressKeys(c(), "\n");
    ExpectStack({{1, ""}});
    EXPECT_TRUE(view.errors.empty());

    c().Calculator1Click();
    Set(&Settings::SwitchToFF, 1);
    PressKeys(c(), "2^a^5");
    EXPECT_TRUE(c().State().CalcMode);
    EXPECT_EQ(view.display, "2");
}

// Text typed in one go is an entry like one built key by key: its decimal point counts.
TEST_F(EngineTest, TypedTextIsAnEntryWithItsPoint) {
    Typed("2.5");
    c().Run(Command::Dot);
    EXPECT_EQ(view.display, "2.5");
    Typed("25");
    c().Run(Command::Dot);
    EXPECT_EQ(view.display, "25.");
    EXPECT_FALSE(c().State().Entered);
    EXPECT_EQ(c().Stack().Depth(), 0);
}

} // namespace
