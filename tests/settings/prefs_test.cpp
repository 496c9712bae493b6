#include "settings/Prefs.h"
#include "settings/ValueStore.h"
#include "support/file_scratch.h"
#include "support/unit_engine_scope.h"
#include "units/QuantityMath.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <limits>

namespace {

// What the windows would see of the preferences code.
struct FakeHost {
    WindowPos main{274, 159};
    int width = 300;
    std::vector<std::string> messages;
    std::vector<std::string> writeErrors;
    std::vector<WindowPos> moves;
    std::vector<int> workingFormats;
    int stackTopShown = 0;

    PrefsHost Host() {
        PrefsHost h;
        h.mainPos = [this] { return main; };
        h.mainWidth = [this] { return width; };
        h.moveMain = [this](WindowPos p) { moves.push_back(p); };
        h.showStackTop = [this] { ++stackTopShown; };
        h.setWorkingFormat = [this](int f) { workingFormats.push_back(f); };
        h.calcMode = [] { return 1; };
        h.messageBox = [this](const std::string& m) { messages.push_back(m); };
        h.reportWriteError = [this](const std::string& m) { writeErrors.push_back(m); };
        return h;
    }
};

class PrefsTest : public ::testing::Test {
protected:
    ScratchDir dir;
    std::string file = dir.File("Meridot.ini");
    Settings settings;
    MemoryValueStore store;
    FakeHost host;
    Prefs prefs{settings, store, host.Host(), file};
};

const char* const FirstStartFile = "; Meridot engineering calculator\r\n"
                                   "; Preference Initialization File\r\n"
                                   " \r\n \r\n \r\n"
                                   "[Startup Options]\r\n"
                                   "Show_Stack = false\r\n"
                                   "Show_Regs = false\r\n"
                                   "Save_Pos = true\r\n"
                                   "Calc_Pos = 274, 159\r\n"
                                   "Save_Stack_Pos = false\r\n"
                                   "Stack_Pos = 485, 100\r\n"
                                   "Save_Reg_Pos = false\r\n"
                                   "Reg_Pos = 485, 250\r\n"
                                   "Save_Prefs = true\r\n"
                                   "Save_Stack = true\r\n"
                                   "Save_Regs = true\r\n"
                                   " \r\n"
                                   "[Calculator Mode Options]\r\n"
                                   "Switch_To_FF = true\r\n"
                                   "Sub_As_CHS = false\r\n"
                                   " \r\n"
                                   "[Free Form Mode Options]\r\n"
                                   "Copy_Operators = true\r\n"
                                   "Do_Inline_Math = false\r\n"
                                   " \r\n"
                                   "[Other Options]\r\n"
                                   "Angular_Default = rad\r\n"
                                   "Fract_Notation = Fixed\r\n"
                                   "Decimal_Places = 7\r\n";

TEST_F(PrefsTest, FirstStartWithoutFileWritesTheDefaults) {
    UnitEngineScope unitEngine{{false, true}};
    EXPECT_FALSE(prefs.LoadPrefs());

    EXPECT_EQ(host.messages, std::vector<std::string>{"Can't load Prefs from INI file: " + file});
    EXPECT_TRUE(host.moves.empty()); // the window keeps its layout position
    EXPECT_EQ(ReadBytes(file), FirstStartFile);
    EXPECT_EQ(settings.CalcPos, (WindowPos{100, 100}));
    EXPECT_EQ(settings.FractNotation, 2);
    EXPECT_EQ(settings.DecimalPlaces, 7);
    EXPECT_EQ(store.values, (std::map<std::string, std::string>{
                                {"AutoConvert", "1"}, {"UnitSystem", "0"}, {"CalcMode", "1"}}));

    // The second start reads that file without a message.
    Settings again;
    FakeHost host2;
    Prefs(again, store, host2.Host(), file).LoadPrefs();
    EXPECT_TRUE(host2.messages.empty());
    EXPECT_EQ(host2.moves, std::vector<WindowPos>{(WindowPos{274, 159})});
    EXPECT_EQ(again.SavePrefs, 1);
    EXPECT_EQ(again.StackPos, (WindowPos{485, 100}));
}

TEST_F(PrefsTest, WrittenSettingsReadBackUnchanged) {
    settings = Settings{2, 1, 1, 0, 1, 1, 12, 1, 0, 0, {-20, 35}, 1, {700, -8}, 0, {640, 90}, 1, 0, 1};
    host.main = {1, 2}; // not used: SavePos is off
    ASSERT_TRUE(prefs.WritePrefs());

    Settings read;
    FakeHost host2;
    Prefs reader(read, store, host2.Host(), file);
    reader.LoadPrefs();
    EXPECT_EQ(reader.BuildLines(), prefs.BuildLines()); // every field is written, so all came back
    EXPECT_EQ(host2.workingFormats, std::vector<int>{1});
    EXPECT_EQ(host2.stackTopShown, 1);
}

TEST_F(PrefsTest, EngineeringNotationIsWrittenByName) {
    settings.FractNotation = 5;
    const auto lines = prefs.BuildLines();
    EXPECT_EQ(std::count(lines.begin(), lines.end(), "Fract_Notation = Engineering"), 1);
}

TEST_F(PrefsTest, WindowPositionsAreTakenFromTheWindowsOnlyWhenRemembered) {
    settings.SavePos = 0;
    settings.CalcPos = {5, 6};
    settings.SaveStackPos = 1;
    settings.StackPos = {7, 8};
    host.main = {900, 900};
    PrefsHost h = host.Host();
    h.stackWindowPos = [] { return WindowPos{-40, 41}; };
    auto lines = Prefs(settings, store, h, file).BuildLines();
    EXPECT_EQ(std::count(lines.begin(), lines.end(), "Save_Pos = true"), 0);
    EXPECT_EQ(std::count(lines.begin(), lines.end(), "Calc_Pos = 5, 6"), 1);
    EXPECT_EQ(std::count(lines.begin(), lines.end(), "Stack_Pos = -40, 41"), 1);
    EXPECT_EQ(lines.size(), 29u);
}

struct LineCase {
    const char* line;
    int Settings::*field;
    int expected;
};

TEST_F(PrefsTest, ParsePrefLineValuesAndFallbacks) {
    constexpr int Unset = 9; // every field starts here, so an ignored line shows as 9
    const LineCase cases[] = {
        {"Show_Stack = TRUE", &Settings::ShowStack, 1},
        {"  Show_Stack =  true  ", &Settings::ShowStack, 1},
        {"Show_Stack = yes", &Settings::ShowStack, 0},
        {"Show_Stack = = true", &Settings::ShowStack, 0},
        {"Show_Stack=true", &Settings::ShowStack, Unset},
        {"show_stack = true", &Settings::ShowStack, Unset},
        {"Fract_Notation = Scientific", &Settings::FractNotation, 1},
        {"Fract_Notation = fixed", &Settings::FractNotation, 2},
        {"Fract_Notation = general", &Settings::FractNotation, 2},
        {"Fract_Notation = Gen eral", &Settings::FractNotation, 0},
        {"Fract_Notation = Engineering", &Settings::FractNotation, 5},
        {"Fract_Notation = engineering", &Settings::FractNotation, 2},
        {"Decimal_Places = 15", &Settings::DecimalPlaces, 15},
        {"Decimal_Places = 20", &Settings::DecimalPlaces, 7},
        {"Decimal_Places = -1", &Settings::DecimalPlaces, 7},
        {"Decimal_Places = x", &Settings::DecimalPlaces, 7},
        {"Decimal_Places = 99999999999", &Settings::DecimalPlaces, 7},
        {"Angular_Default = grad", &Settings::AngularDefault, 2},
        {"Angular_Default = Deg", &Settings::AngularDefault, 0},
        {"[Other Options]", &Settings::AngularDefault, Unset},
    };
    for (const auto& c : cases) {
        Settings s;
        s.*c.field = Unset;
        Prefs(s, store, host.Host(), file).ParsePrefLine(c.line);
        EXPECT_EQ(s.*c.field, c.expected) << c.line;
    }
}

TEST_F(PrefsTest, PositionLinesAndTheirFallbacks) {
    const struct {
        const char* line;
        WindowPos Settings::*field;
        WindowPos expected;
        bool moved;
    } cases[] = {
        {"Calc_Pos = 10, 20", &Settings::CalcPos, {10, 20}, true},
        {"Calc_Pos = -4 0 ,2", &Settings::CalcPos, {-40, 2}, true},
        {"Calc_Pos = 1x, 2", &Settings::CalcPos, {100, 100}, false},
        {"Stack_Pos = 400, 12", &Settings::StackPos, {400, 12}, false},
        {"Stack_Pos = 400", &Settings::StackPos, {50 + 300, 60}, false},
        {"Reg_Pos = a, b", &Settings::RegPos, {50 + 300, 60 + 150}, false},
    };
    for (const auto& c : cases) {
        Settings s;
        s.CalcPos = {50, 60};
        FakeHost h;
        Prefs(s, store, h.Host(), file).ParsePrefLine(c.line);
        EXPECT_EQ(s.*c.field, c.expected) << c.line;
        EXPECT_EQ(h.moves.size(), c.moved ? 1u : 0u) << c.line;
    }

    // A bad line of either window key puts both windows back beside the main window.
    for (const char* bad : {"Stack_Pos = 400", "Reg_Pos = a, b"}) {
        Settings s;
        s.CalcPos = {50, 60};
        s.StackPos = {1, 2};
        s.RegPos = {3, 4};
        FakeHost h;
        Prefs(s, store, h.Host(), file).ParsePrefLine(bad);
        EXPECT_EQ(s.StackPos, (WindowPos{50 + 300, 60})) << bad;
        EXPECT_EQ(s.RegPos, (WindowPos{50 + 300, 60 + 150})) << bad;
    }
}

TEST_F(PrefsTest, CommentsAndEmptyLinesAreSkippedWhateverTheLineEnds) {
    WriteBytes(file, "; Show_Stack = true\r\rShow_Regs = true\n;Save_Prefs = true\rSave_Stack = TRUE");
    EXPECT_TRUE(prefs.LoadPrefs());
    EXPECT_EQ(settings.ShowStack, 0);
    EXPECT_EQ(settings.ShowRegs, 1);
    EXPECT_EQ(settings.SavePrefs, 0);
    EXPECT_EQ(settings.SaveStack, 1);
    EXPECT_TRUE(host.messages.empty());
}

TEST_F(PrefsTest, UnwritableFileIsReportedAndTheValuesStillStored) {
    std::filesystem::create_directory(PathOf(file)); // a directory where the file should go
    settings.DecimalPlaces = 4;
    EXPECT_FALSE(prefs.WritePrefs());
    ASSERT_EQ(host.writeErrors.size(), 1u);
    EXPECT_NE(host.writeErrors[0].find("Meridot.ini"), std::string::npos);
    EXPECT_TRUE(std::filesystem::is_directory(PathOf(file)));
    EXPECT_EQ(settings.DecimalPlaces, 4);
    EXPECT_EQ(store.values.count("AutoConvert"), 1u);

    // With the file unreadable too, the first-start path reports both and goes on.
    Settings s;
    FakeHost h;
    EXPECT_FALSE(Prefs(s, store, h.Host(), file).LoadPrefs());
    EXPECT_EQ(h.messages.size(), 1u);
    EXPECT_EQ(h.writeErrors.size(), 1u);
    EXPECT_EQ(s.DecimalPlaces, 7);
}

} // namespace

TEST_F(PrefsTest, WindowPlacesBesideAMainWindowAtTheIntegerLimitsStayInRange) {
    // A main window stored at the very edge of the int range, then a bad position of another window:
    // the fallback beside it stays in range instead of wrapping round to the other end.
    constexpr int hi = std::numeric_limits<int>::max(), lo = std::numeric_limits<int>::min();
    const struct {
        const char* calc;
        WindowPos stack, registers;
    } cases[] = {
        {"Calc_Pos = 2147483647, 2147483647", {hi, hi}, {hi, hi}},
        {"Calc_Pos = 2147483600, 2147483600", {hi, 2147483600}, {hi, hi}},
        {"Calc_Pos = -2147483648, -2147483648", {lo + 300, lo}, {lo + 300, lo + 150}},
    };
    for (const auto& c : cases) {
        Settings s;
        FakeHost h;
        Prefs p(s, store, h.Host(), file);
        p.ParsePrefLine(c.calc);
        p.ParsePrefLine("Stack_Pos = 12");
        EXPECT_EQ(s.StackPos, c.stack) << c.calc;
        EXPECT_EQ(s.RegPos, c.registers) << c.calc;
    }
}
