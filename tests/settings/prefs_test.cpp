#include "settings/Prefs.h"
#include "settings/ValueStore.h"
#include "storage/SafeFile.h"
#include "support/file_scratch.h"
#include "support/unit_engine_scope.h"
#include "units/QuantityMath.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <limits>

namespace {

using Kind = PrefsMessage::Kind;
constexpr int MainWidth = 300;

// What the engine would hand over of its windows and its mode.
struct FakeWindows {
    WindowPos main{274, 159};

    PrefsContext Context() const {
        PrefsContext c;
        c.mainPos = main;
        c.mainWidth = MainWidth;
        c.calcMode = true;
        return c;
    }
};

class PrefsTest : public ::testing::Test {
protected:
    ScratchDir dir;
    std::string file = dir.File("Meridot.ini");
    Settings settings;
    MemoryValueStore store;
    FakeWindows host;
    Prefs prefs{settings, store, file};
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
    const PrefsLoad load = prefs.LoadPrefs(host.Context());
    EXPECT_FALSE(load.fromFile);
    EXPECT_EQ(load.messages,
              (std::vector<PrefsMessage>{{Kind::Warning, "Can't load Prefs from INI file: " + file}}));
    EXPECT_FALSE(load.moveMainTo); // the window keeps its layout position
    EXPECT_TRUE(load.notationSet);
    EXPECT_EQ(ReadBytes(file), FirstStartFile);
    EXPECT_EQ(settings.CalcPos, (WindowPos{100, 100}));
    EXPECT_EQ(settings.FractNotation, 2);
    EXPECT_EQ(settings.DecimalPlaces, 7);
    EXPECT_EQ(store.values, (std::map<std::string, std::string>{
                                {"AutoConvert", "1"}, {"UnitSystem", "0"}, {"CalcMode", "1"}}));

    // The second start reads that file without a message.
    Settings again;
    const PrefsLoad second = Prefs(again, store, file).LoadPrefs(host.Context());
    EXPECT_TRUE(second.fromFile);
    EXPECT_TRUE(second.messages.empty());
    EXPECT_EQ(second.moveMainTo, (WindowPos{274, 159}));
    EXPECT_EQ(again.SavePrefs, 1);
    EXPECT_EQ(again.StackPos, (WindowPos{485, 100}));
}

TEST_F(PrefsTest, WrittenSettingsReadBackUnchanged) {
    settings = Settings{2, 1, 1, 0, 1, 1, 12, 1, 0, 0, {-20, 35}, 1, {700, -8}, 0, {640, 90}, 1, 0, 1};
    host.main = {1, 2}; // not used: SavePos is off
    ASSERT_TRUE(prefs.WritePrefs(host.Context()).written);

    Settings read;
    Prefs reader(read, store, file);
    const PrefsLoad load = reader.LoadPrefs(host.Context());
    EXPECT_EQ(reader.BuildLines(), prefs.BuildLines()); // every field is written, so all came back
    EXPECT_TRUE(load.notationSet);
    EXPECT_TRUE(load.showTop);
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
    PrefsContext c = host.Context();
    c.stackPos = WindowPos{-40, 41};
    auto lines = Prefs(settings, store, file).BuildLines(c);
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
        Prefs(s, store, file).ParsePrefLine(c.line);
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
        PrefsLoad load;
        Prefs(s, store, file).ParsePrefLine(c.line, load, MainWidth);
        EXPECT_EQ(s.*c.field, c.expected) << c.line;
        EXPECT_EQ(load.moveMainTo.has_value(), c.moved) << c.line;
    }

    // A bad line of either window key puts both windows back beside the main window.
    for (const char* bad : {"Stack_Pos = 400", "Reg_Pos = a, b"}) {
        Settings s;
        s.CalcPos = {50, 60};
        s.StackPos = {1, 2};
        s.RegPos = {3, 4};
        PrefsLoad load;
        Prefs(s, store, file).ParsePrefLine(bad, load, MainWidth);
        EXPECT_EQ(s.StackPos, (WindowPos{50 + 300, 60})) << bad;
        EXPECT_EQ(s.RegPos, (WindowPos{50 + 300, 60 + 150})) << bad;
    }
}

TEST_F(PrefsTest, CommentsAndEmptyLinesAreSkippedWhateverTheLineEnds) {
    WriteBytes(file, "; Show_Stack = true\r\rShow_Regs = true\n;Save_Prefs = true\rSave_Stack = TRUE");
    const PrefsLoad load = prefs.LoadPrefs();
    EXPECT_TRUE(load.fromFile);
    EXPECT_EQ(settings.ShowStack, 0);
    EXPECT_EQ(settings.ShowRegs, 1);
    EXPECT_EQ(settings.SavePrefs, 0);
    EXPECT_EQ(settings.SaveStack, 1);
    EXPECT_TRUE(load.messages.empty());
    EXPECT_FALSE(load.notationSet || load.showTop || load.moveMainTo);
}

TEST_F(PrefsTest, UnwritableFileIsReportedAndTheValuesStillStored) {
    std::filesystem::create_directory(PathOf(file)); // a directory where the file should go
    settings.DecimalPlaces = 4;
    const PrefsWrite written = prefs.WritePrefs(host.Context());
    EXPECT_FALSE(written.written);
    ASSERT_EQ(written.messages.size(), 1u);
    EXPECT_EQ(written.messages[0].kind, Kind::WriteError);
    EXPECT_NE(written.messages[0].text.find("Meridot.ini"), std::string::npos);
    EXPECT_TRUE(std::filesystem::is_directory(PathOf(file)));
    EXPECT_EQ(settings.DecimalPlaces, 4);
    EXPECT_EQ(store.values.count("AutoConvert"), 1u);

    // With the file unreadable too, the first-start path reports both, in that order, and goes on.
    Settings s;
    const PrefsLoad load = Prefs(s, store, file).LoadPrefs(host.Context());
    EXPECT_FALSE(load.fromFile);
    ASSERT_EQ(load.messages.size(), 2u);
    EXPECT_EQ(load.messages[0].kind, Kind::Warning);
    EXPECT_EQ(load.messages[1], written.messages[0]);
    EXPECT_EQ(s.DecimalPlaces, 7);
}

// A file with a damaged line loads the rest without a word; the next write keeps it as
// "<name>.bak" and leaves that note. A later position line overrides an earlier one.
TEST_F(PrefsTest, DamagedFileLoadsSilentlyAndIsKeptAtTheNextWrite) {
    WriteBytes(file, "Calc_Pos = 1, 2\r\nShow_Stack = true\r\n" + std::string(MaxTextLineLength + 1, 'x') +
                         "\r\nCalc_Pos = 30, 40\r\nFract_Notation = Scientific\r\n");
    const PrefsLoad load = prefs.LoadPrefs(host.Context());
    EXPECT_TRUE(load.fromFile);
    EXPECT_TRUE(load.messages.empty());
    EXPECT_EQ(load.moveMainTo, (WindowPos{30, 40}));
    EXPECT_TRUE(load.notationSet);
    EXPECT_FALSE(load.showTop);
    EXPECT_EQ(settings.ShowStack, 1);

    const PrefsWrite written = prefs.WritePrefs(host.Context());
    EXPECT_TRUE(written.written);
    ASSERT_EQ(written.messages.size(), 1u);
    EXPECT_EQ(written.messages[0].kind, Kind::Note);
    EXPECT_NE(written.messages[0].text.find("Meridot.ini.bak"), std::string::npos)
        << written.messages[0].text;
    EXPECT_TRUE(prefs.WritePrefs(host.Context()).messages.empty()); // kept once
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
        Prefs p(s, store, file);
        PrefsLoad load;
        p.ParsePrefLine(c.calc, load, MainWidth);
        p.ParsePrefLine("Stack_Pos = 12", load, MainWidth);
        EXPECT_EQ(s.StackPos, c.stack) << c.calc;
        EXPECT_EQ(s.RegPos, c.registers) << c.calc;
    }
}
