// korbcalc-cli end to end: scripted runs, their output streams and exit statuses.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <functional>
#include <sstream>
#include <string>
#include <vector>

#include "support/run_program.h"

namespace {

namespace fs = std::filesystem;

struct RunResult {
    int status = -1;
    std::string out, err;
};

std::string ReadFile(const fs::path& p) {
    std::ifstream in(p, std::ios::binary);
    std::stringstream s;
    s << in.rdbuf();
    return s.str();
}

class Cli : public ::testing::Test {
protected:
    void SetUp() override {
        std::string name = ::testing::UnitTest::GetInstance()->current_test_info()->name();
        for (char& ch : name)
            if (ch == '/') ch = '_';
        name = "korbcalc_cli_" + std::to_string(testsupport::ProcessId()) + "_" + name;
        dir_ = fs::temp_directory_path() / name;
        fs::create_directories(dir_);
#ifdef _WIN32
        registryKey_ = std::string(TestsRegistryKey) + "\\" + name;
#endif
    }
    void TearDown() override {
        fs::remove_all(dir_);
#ifdef _WIN32
        ::RegDeleteTreeA(HKEY_CURRENT_USER, registryKey_.c_str());
        ::RegDeleteKeyA(HKEY_CURRENT_USER, TestsRegistryKey); // when no other test's key is left
#endif
    }

    // The program's value store, out of the user's reach: a configuration folder of the test's own,
    // on Windows a registry key of its own.
    std::vector<std::pair<std::string, std::string>> StoreRedirect() const {
#ifdef _WIN32
        return {{ "KORBCALC_REGISTRY_KEY", registryKey_ }};
#else
        return {{"XDG_CONFIG_HOME", (dir_ / "config").string()}};
#endif
    }

    // Runs the program in the test's own directory with its own value store; stdin is the given text.
    // oneFile: standard error goes to the same file as standard output (read as out).
    RunResult Run(const std::vector<std::string>& args, const std::string& input = "", bool oneFile = false) {
        std::ofstream(dir_ / "in.txt") << input;
        const testsupport::ProgramRun run{KORBCALC_CLI,
                                          args,
                                          dir_,
                                          StoreRedirect(),
                                          dir_ / "in.txt",
                                          dir_ / "out.txt",
                                          oneFile ? fs::path() : dir_ / "err.txt"};
        RunResult r;
        std::string why;
        r.status = testsupport::RunProgram(run, &why);
        if (r.status == -1) ADD_FAILURE() << "the program did not run: " << why;
        r.out = ReadFile(dir_ / "out.txt");
        if (!oneFile) r.err = ReadFile(dir_ / "err.txt");
        return r;
    }

    fs::path dir_;
#ifdef _WIN32
    static constexpr const char* TestsRegistryKey = "SOFTWARE\\MeridotTests";
    std::string registryKey_;
#endif
};

struct Script {
    const char* name;
    std::vector<std::string> args;
    std::string input;
    std::string out;
    std::string err; // expected within standard error; empty: nothing there
    int status;
};

void PrintTo(const Script& s, std::ostream* os) {
    *os << s.name;
}

class CliScript : public Cli, public ::testing::WithParamInterface<Script> {};

TEST_P(CliScript, WritesStackAndErrors) {
    const auto& s = GetParam();
    const RunResult r = Run(s.args, s.input);
    EXPECT_EQ(r.out, s.out);
    if (s.err.empty())
        EXPECT_EQ(r.err, "");
    else
        EXPECT_NE(r.err.find(s.err), std::string::npos) << r.err;
    EXPECT_EQ(r.status, s.status);
}

INSTANTIATE_TEST_SUITE_P(
    Runs, CliScript,
    ::testing::Values(
        Script{"add_feet_and_inches", {"12 ft", "6 in", "+"}, "", "12.5000000 ft\n", "", 0},
        Script{"stdin_entries", {}, "12 ft\n6 IN\nswap\n-\n", "-138.0000000 in\n", "", 0},
        Script{
            "conversion_and_print", {"--places", "2"}, "1 ft\nconv in\nprint\ndrop\n", "12.00 in\n", "", 0},
        Script{"errors_continue",
               {"12 ft", "3 kg", "+", "4"},
               "",
               "12.0000000 ft\n3.0000000 kg\n4.0000000\n",
               "ERROR: entry 3 \"+\": Second number convert failed\n",
               1},
        Script{
            "bad_entry_is_skipped", {"1 m", "2 fx", "enter"}, "", "1.0000000 m\n1.0000000 m\n", "ERROR: ", 1},
        Script{"us_gravity", {"--us", "--places", "10", "g"}, "", "32.1740485564 ft/sec^2\n", "", 0},
        Script{"second_functions",
               {"--angle", "deg", "2", "3", "y^x", "0.5", "asin"},
               "",
               "8.0000000\n30.0000000 deg\n",
               "",
               0},
        Script{"direct_convert", {"6 in", "1 ft", "direct"}, "", "0.5000000 ft\n", "", 0},
        // Aliases, prefixed units and typographic forms, in entries and in conversion targets.
        Script{"spellings",
               {"25 m/sec", "conv", "km/h", "1 kJ", "conv", "BTU", "conv", "kJ"},
               "",
               "90.0000000 km/hr\n1.0000000 kJ\n",
               "",
               0},
        // UTF-8 on standard input: the same bytes on every system, whatever its code page.
        Script{"typographic_micro", {}, "1 \xC2\xB5m\nconv nm\n", "1000.0000000 nm\n", "", 0},
        Script{"error_names_the_unit",
               {"12 fx"},
               "",
               "",
               "ERROR: entry 1 \"12 fx\": Problem with the units: no unit \"fx\" (did you mean ft?)\n",
               1},
        Script{"dropped_character_is_refused",
               {},
               "1 \xC2\xA7m\n",
               "",
               "Problem with the units: character \"\xC2\xA7\" (U+00A7) is not part of a unit\n",
               1},
        // UTF-8 in arguments too, also characters that Windows' ANSI code pages lack (Ω), and the
        // message quotes the argument as given.
        Script{"utf8_arguments",
               {"1 \xC2\xB5m", "conv nm", "2 k\xCE\xA9", "3 m\xC2\xB2", "1 \xC2\xA7m"},
               "",
               "1000.0000000 nm\n2.0000000 kOhm\n3.0000000 m^2\n",
               "ERROR: entry 5 \"1 \xC2\xA7m\": Problem with the units: character \"\xC2\xA7\" (U+00A7)",
               1},
        Script{"unit_names",
               {"units", "kph"},
               "",
               "kph  alias of km/hr (kilometre per hour)  -  1 = 0.277777777777778 m/sec\n",
               "",
               0},
        Script{"unit_names_none", {"units", "zzzz"}, "", "", "no unit name or meaning contains \"zzzz\"", 1},
        Script{"bad_option", {"--places", "99"}, "", "", "Usage: korbcalc-cli", 2},
        Script{"places_at_the_top", {"--places", "15", "1"}, "", "1.000000000000000\n", "", 0},
        Script{"places_past_the_top", {"--places", "16", "1"}, "", "", "Usage: korbcalc-cli", 2},
        // "--" ends the options: what follows is an entry, even when it starts with a minus.
        Script{"options_end", {"--", "-5"}, "", "-5.0000000\n", "", 0},
        Script{"options_end_after_options",
               {"--places", "2", "--", "-5", "--places"},
               "",
               "-5.00\n",
               "ERROR: entry 2 \"--places\"",
               1},
        Script{"second_options_end_is_an_entry", {"--", "--"}, "", "", "ERROR: entry 1 \"--\"", 1},
        // Answer lines end at their last character; a unitless value has no blank after it.
        Script{"unitless_answer", {"2", "3", "+"}, "", "5.0000000\n", "", 0},
        // A word that takes an argument takes the next one when it stands alone.
        Script{"conv_takes_next_argument",
               {"2000 lbf", "3 in", "area", "/", "conv", "psi"},
               "",
               "282.9421211 psi\n",
               "",
               0},
        Script{"sto_rcl_take_next_argument",
               {"7 kg", "sto", "4", "drop", "RCL", "4"},
               "",
               "7.0000000 kg\n",
               "",
               0},
        Script{"autoconv_takes_next_argument",
               {"autoconv", "off", "2 ft", "3 ft", "*"},
               "",
               "6.0000000 ft^2\n",
               "",
               0},
        // The register number is no key press: a refused entry does not take it as a digit.
        Script{"register_after_refused_entry",
               {"units qqq", "sto 3", "print"},
               "",
               "1qqq\n",
               "entry 2 \"sto 3\"",
               1},
        Script{"units_takes_next_argument", {"3", "units", "kg"}, "", "3.0000000\n3.0000000 kg\n", "", 0},
        Script{"word_at_the_end_stays_alone",
               {"1 ft", "conv"},
               "",
               "1.0000000 ft\n",
               "ERROR: entry 2 \"conv\": ",
               1},
        // Preferred units for one run: each unit takes the kind its dimension selects.
        Script{"prefer_kilowatts",
               {"--prefer", "kW", "50 lbf*ft", "3000 RPM", "*"},
               "",
               "21.2971385 kW\n",
               "",
               0},
        Script{"prefer_repeated",
               {"--prefer", "KPa", "--prefer", "mm", "1000 N", "2 m^2", "/", "3 m", "2", "*"},
               "",
               "0.5000000 KPa\n6000.0000000 mm\n",
               "",
               0},
        Script{
            "prefer_in_us_work", {"--us", "--prefer", "in", "2 ft", "3", "*"}, "", "72.0000000 in\n", "", 0},
        Script{"prefer_without_autoconvert",
               {"--autoconvert", "off", "--prefer", "kW", "50 lbf*ft", "3000 RPM", "*"},
               "",
               "150000.0000000 lbf*ft*RPM\n",
               "",
               0},
        Script{"prefer_unit_of_no_kind", {"--prefer", "kg*m", "1"}, "", "", "--prefer kg*m: ", 2},
        Script{"prefer_no_unit", {"--prefer", "fx", "1"}, "", "", "--prefer fx: ", 2},
        Script{"prefer_without_unit", {"--prefer"}, "", "", "Usage: korbcalc-cli", 2},
        Script{"engineering_notation",
               {"--notation", "engineering", "--places", "3", "22443871.397 N/m^2", "12.5 ft"},
               "",
               "22.444E+006 N/m^2\n12.500E+000 ft\n",
               "",
               0},
        Script{"temperature_differences",
               {"20 C", "10 dF", "+", "30 C", "20 C", "-", "conv dF"},
               "",
               "25.5555556 C\n18.0000000 dF\n",
               "",
               0},
        Script{"difference_is_no_temperature",
               {"10 dC", "conv F"},
               "",
               "10.0000000 dC\n",
               "ERROR: entry 2 \"conv F\": Units Incompatable",
               1},
        // The final listing is written only when no print ran.
        Script{"print_replaces_the_listing", {"12 ft", "6 in", "+", "print"}, "", "12.5000000 ft\n", "", 0},
        Script{"print_twice", {"1 ft", "print", "2 ft", "print"}, "", "1.0000000 ft\n2.0000000 ft\n", "", 0},
        // Errors name their entry: its number and text (stdin: its line).
        Script{"error_names_argument",
               {"1 m", "12 fx"},
               "",
               "1.0000000 m\n",
               "ERROR: entry 2 \"12 fx\": Problem with the units: no unit \"fx\" (did you mean ft?)\n",
               1},
        Script{"error_names_line", {}, "1 m\n\n12 fx\n", "1.0000000 m\n", "ERROR: entry 3 \"12 fx\": ", 1},
        // The tangent of an odd multiple of 90 deg has no value.
        Script{"undefined_tangent",
               {"90 deg", "tan"},
               "",
               "90.0000000 deg\n",
               "ERROR: entry 2 \"tan\": Undefined\n",
               1},
        Script{"undefined_tangent_twice",
               {"270 deg", "tan", "tan"},
               "",
               "270.0000000 deg\n",
               "ERROR: entry 3 \"tan\": Undefined\n",
               1},
        Script{"defined_tangent", {"45 deg", "tan"}, "", "1.0000000\n", "", 0},
        // --strict stops at the first error; without it the rest still runs.
        Script{"strict_stops", {"--strict", "1", "12 fx", "2", "+"}, "", "1.0000000\n", "entry 2", 1},
        Script{"strict_stdin_stops",
               {"--strict"},
               "1\n90 deg\ntan\n3\n",
               "1.0000000\n90.0000000 deg\n",
               "entry 3",
               1},
        Script{"strict_without_error", {"--strict", "1", "2", "+"}, "", "3.0000000\n", "", 0},
        Script{"lenient_goes_on", {"1", "12 fx", "2", "+"}, "", "3.0000000\n", "entry 2", 1},
        // --full writes the texts the data files hold.
        Script{"full_listing", {"--full", "1", "3", "/"}, "", "0.333333333333333\n", "", 0},
        Script{"full_print", {"--full", "2 ft", "print", "drop"}, "", "2.000000000000000 ft\n", "", 0},
        // A result whose 15-digit text is beyond the double range is an error, not a zero.
        Script{"rounding_overflow",
               {"--full", "1.7976931348623157e308 m", "conv", "m"},
               "",
               "1.79769313486231571E+0308 m\n",
               "ERROR: entry 2 \"conv m\": Number out of range: 1.79769313486232E+308 is beyond the largest "
               "number, 1.8e+308\n",
               1},
        // The display is what print shows of an empty stack: the top's text until the last drop.
        Script{"print_after_drops",
               {"2 ft", "3 ft", "drop", "print", "drop", "print"},
               "",
               "2.0000000 ft\n0\n",
               "",
               0}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(Cli, UndoAndRedoWalkTheHistory) {
    struct Case {
        std::vector<std::string> args;
        const char* out;
    };
    const Case cases[] = {
        {{"1 m", "2 m", "+", "undo"}, "1.0000000 m\n2.0000000 m\n"},
        {{"1 m", "2 m", "+", "undo", "redo"}, "3.0000000 m\n"},
        {{"1", "2", "undo", "3"}, "1.0000000\n3.0000000\n"},
        {{"4 kg", "sto 2", "clear", "undo", "drop", "rcl 2"}, "4.0000000 kg\n"},
        {{"1", "undo", "undo", "redo", "redo"}, "1.0000000\n"},
    };
    for (const auto& c : cases) {
        const RunResult r = Run(c.args);
        EXPECT_EQ(r.out, c.out) << ::testing::PrintToString(c.args);
        EXPECT_EQ(r.status, 0) << r.err;
    }
}

TEST_F(Cli, ThreeHundredUndosGiveBackTheFirstState) {
    std::string input = "5 ft\n7 in\n";
    for (int i = 0; i < 300; ++i)
        input += i % 3 == 0 ? "+\n" : (i % 3 == 1 ? std::to_string(i) + " in\n" : "swap\n");
    for (int i = 0; i < 300; ++i) input += "undo\n";
    const RunResult r = Run({}, input);
    EXPECT_EQ(r.out, "5.0000000 ft\n7.0000000 in\n");
    EXPECT_EQ(r.status, 0) << r.err;
}

TEST_F(Cli, MessagesStandAfterTheAnswersBeforeThemInOneFile) {
    const RunResult r = Run({}, "1 m\nprint\n1 fx\nprint\n2 m\nprint\n", true);
    EXPECT_EQ(r.out,
              "1.0000000 m\nERROR: entry 3 \"1 fx\": Problem with the units: no unit \"fx\" (did you mean "
              "ft?)\n1.0000000 m\n2.0000000 m\n");
    EXPECT_EQ(r.status, 1);
}

TEST_F(Cli, RegisterRecallPushesTheStoredValue) {
    const RunResult r = Run({"7 kg", "sto 4", "drop", "rcl 4"});
    EXPECT_EQ(r.out, "7.0000000 kg\n");
    EXPECT_EQ(r.status, 0);
}

TEST_F(Cli, BadRegisterIsAnError) {
    const RunResult r = Run({"1", "sto 12"});
    EXPECT_EQ(r.err, "ERROR: entry 2 \"sto 12\": Invalid register index\n");
    EXPECT_EQ(r.status, 1);
}

TEST_F(Cli, HelpAndUsage) {
    RunResult r = Run({"--help"});
    EXPECT_EQ(r.status, 0);
    EXPECT_NE(r.out.find("Usage: korbcalc-cli"), std::string::npos);
    EXPECT_NE(r.out.find("korbcalc-cli(1)"), std::string::npos);
    r = Run({"--angle", "turns"});
    EXPECT_EQ(r.status, 2);
    EXPECT_NE(r.err.find("Usage: korbcalc-cli"), std::string::npos);
}

TEST_F(Cli, ManualDescribesEveryOptionOfTheHelp) {
    const std::string help = Run({"--help"}).out;
    const std::string manual = ReadFile(KORBCALC_MANUAL);
    ASSERT_FALSE(manual.empty());
    int options = 0;
    for (size_t at = help.find("--"); at != std::string::npos; at = help.find("--", at + 2)) {
        const size_t end = help.find_first_not_of("abcdefghijklmnopqrstuvwxyz", at + 2);
        const std::string name = help.substr(at + 2, end - at - 2);
        if (name.empty()) continue;
        ++options;
        EXPECT_NE(manual.find("\\-\\-" + name), std::string::npos) << "--" << name;
    }
    EXPECT_GE(options, 10);
}

TEST_F(Cli, WithoutSessionNoFileIsTouched) {
    Run({"1 m", "2 m", "+"});
    for (const char* name : {"Meridot.ini", "SaveStck.dat", "SaveRegs.dat"})
        EXPECT_FALSE(fs::exists(dir_ / name));
}

TEST_F(Cli, SessionKeepsTheStackBetweenRuns) {
    RunResult first = Run({"--session", "5 ft"});
    // Files that do not exist yet are notes, not errors.
    EXPECT_EQ(first.err, "NOTE: Can't load Prefs from INI file: Meridot.ini\n"
                         "NOTE: Error loading stack file.\n"
                         "NOTE: Error loading register file.\n");
    EXPECT_EQ(first.status, 0);
    EXPECT_TRUE(fs::exists(dir_ / "Meridot.ini"));
    const RunResult second = Run({"--session", "2 ft", "+"});
    EXPECT_EQ(second.out, "7.0000000 ft\n");
    EXPECT_EQ(second.status, 0) << second.err;
}

// A file that cannot be read is a warning at the start; that it cannot be saved either is an error.
TEST_F(Cli, SessionFileThatCannotBeReadOrSavedIsAnError) {
    fs::create_directory(dir_ / "SaveStck.dat"); // exists, but is no file
    const RunResult r = Run({"--session", "1"});
    EXPECT_NE(r.err.find("NOTE: Can't load Prefs"), std::string::npos) << r.err;
    EXPECT_NE(r.err.find("WARNING: Error loading stack file."), std::string::npos) << r.err;
    EXPECT_NE(r.err.find("NOTE: Error loading register file."), std::string::npos) << r.err;
    EXPECT_NE(r.err.find("ERROR: "), std::string::npos) << r.err;
    EXPECT_EQ(r.status, 1);
}

// The answer drops the blank after a unitless value; the file keeps its own format.
TEST_F(Cli, FullTextIsTheSavedText) {
    Run({"--session"});
    const RunResult r = Run({"--session", "--full", "--places", "2", "2", "3", "/"});
    EXPECT_EQ(r.out, "0.666666666666667\n");
    EXPECT_EQ(ReadFile(dir_ / "SaveStck.dat"), "0.666666666666667 \r\n");
}

// What a session run says about its files, and what that does to the exit status: a kept .bak is
// a note, a damaged file that was recovered a warning (an error under --strict).
TEST_F(Cli, SessionFileMessagesAndStatus) {
    const std::string keptStack =
        "NOTE: \"SaveStck.dat\" was not loaded in full, so the earlier file was kept as SaveStck.dat.bak\n";
    const std::string cantLoad = "WARNING: Can't load Prefs from INI file: Meridot.ini\n";
    const std::string keptPrefs =
        "NOTE: \"Meridot.ini\" was not loaded in full, so the earlier file was kept as Meridot.ini.bak\n";
    const std::string dropped =
        "WARNING: \"SaveStck.dat\" was not loaded in full: 1 line was not read as written\n";
    const auto noStackSaving = [](std::string ini) {
        ini.replace(ini.find("Save_Stack = true"), 17, "Save_Stack = false");
        return ini;
    };
    struct Case {
        const char* name;
        std::function<std::string(std::string)> prefs; // the file a first run wrote, edited
        const char* stack;                             // SaveStck.dat's bytes
        std::vector<std::string> args;
        std::string out, err;
        int status;
        std::vector<const char*> backups; // the .bak files there are afterwards
    };
    const auto same = [](std::string ini) { return ini; };
    const auto unknownKeys = [](const std::string&) { return std::string("[Nothing]\r\nno_key = 1\r\n"); };
    const auto empty = [](const std::string&) { return std::string(); };
    const Case cases[] = {
        {"stack not saved",
         noStackSaving,
         "4 m\r\n",
         {"1"},
         "1.0000000\n",
         keptStack,
         0,
         {"SaveStck.dat.bak"}},
        {"stack not saved, empty file", noStackSaving, "", {"1"}, "1.0000000\n", "", 0, {}},
        {"preferences without a known key",
         unknownKeys,
         "",
         {"1"},
         "1.0000000\n",
         cantLoad + keptPrefs,
         0,
         {"Meridot.ini.bak"}},
        {"preferences without a known key, strict",
         unknownKeys,
         "",
         {"--strict", "1"},
         "",
         cantLoad + keptPrefs,
         1,
         {"Meridot.ini.bak"}},
        {"empty preferences", empty, "", {"1"}, "1.0000000\n", cantLoad, 0, {}},
        {"damaged stack",
         same,
         "5 m\r\nbogus\r\n",
         {"1"},
         "5.0000000 m\n1.0000000\n",
         dropped + keptStack,
         0,
         {"SaveStck.dat.bak"}},
        {"damaged stack, strict",
         same,
         "5 m\r\nbogus\r\n",
         {"--strict", "1"},
         "5.0000000 m\n",
         dropped + keptStack,
         1,
         {"SaveStck.dat.bak"}},
        {"failed entry",
         same,
         "",
         {"1 fx"},
         "",
         "ERROR: entry 1 \"1 fx\": Problem with the units: no unit \"fx\" (did you mean ft?)\n",
         1,
         {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        for (const auto& entry : fs::directory_iterator(dir_)) fs::remove_all(entry.path());
        ASSERT_EQ(Run({"--session"}).status, 0);
        const std::string prefs = c.prefs(ReadFile(dir_ / "Meridot.ini"));
        std::ofstream(dir_ / "Meridot.ini", std::ios::binary) << prefs;
        std::ofstream(dir_ / "SaveStck.dat", std::ios::binary) << c.stack;
        std::vector<std::string> args{"--session"};
        args.insert(args.end(), c.args.begin(), c.args.end());
        const RunResult r = Run(args);
        EXPECT_EQ(r.out, c.out);
        EXPECT_EQ(r.err, c.err);
        EXPECT_EQ(r.status, c.status);
        std::vector<std::string> backups;
        for (const auto& entry : fs::directory_iterator(dir_))
            if (entry.path().extension() == ".bak") backups.push_back(entry.path().filename().string());
        EXPECT_EQ(backups, std::vector<std::string>(c.backups.begin(), c.backups.end()));
    }
}

TEST_F(Cli, OptionsApplyToOneRunOnly) {
    Run({"--session"});
    const std::string prefs = ReadFile(dir_ / "Meridot.ini");
    const RunResult once = Run({"--session", "--places", "3", "--notation", "scientific", "--us", "--angle",
                                "deg", "--autoconvert", "off", "clear", "g", "90", "sin"});
    EXPECT_EQ(once.out, "3.217E+001 ft/sec^2\n1.000E+000\n");
    EXPECT_EQ(ReadFile(dir_ / "Meridot.ini"), prefs);
    const RunResult later = Run({"--session", "clear", "g", "2 ft", "3 ft", "*"});
    EXPECT_EQ(later.out, "9.8066500 m/sec^2\n0.5574182 m^2\n");
    EXPECT_EQ(later.status, 0) << later.err;
}

// The windows keep the preferred units in the value store; a session uses them, and --prefer
// overrides them for its run without storing anything.
TEST_F(Cli, SessionTakesStoredPreferredUnitsAndPreferOverridesThem) {
    Run({"--session", "si"});
#ifdef _WIN32
    // The store is the test's registry key.
    const char kW[] = "kW";
    ASSERT_EQ(
        ::RegSetKeyValueA(HKEY_CURRENT_USER, registryKey_.c_str(), "PreferredSI7", REG_SZ, kW, sizeof kW),
        ERROR_SUCCESS);
#else
    fs::path stored;
    for (const auto& entry : fs::recursive_directory_iterator(dir_ / "config"))
        if (entry.is_regular_file() && ReadFile(entry.path()).find("UnitSystem=") != std::string::npos)
            stored = entry.path();
    ASSERT_FALSE(stored.empty()) << "the session wrote no value store";
    std::string text = ReadFile(stored);
    text.insert(text.find("UnitSystem="), "PreferredSI7=kW\n");
    std::ofstream(stored, std::ios::binary | std::ios::trunc) << text;
#endif

    const std::vector<std::string> product{"clear", "50 lbf*ft", "3000 RPM", "*"};
    auto withOptions = [&product](std::vector<std::string> args) {
        args.insert(args.end(), product.begin(), product.end());
        return args;
    };
    const RunResult storedRun = Run(withOptions({"--session"}));
    EXPECT_EQ(storedRun.out, "21.2971385 kW\n") << storedRun.err;
    const RunResult overridden = Run(withOptions({"--session", "--prefer", "W"}));
    EXPECT_EQ(overridden.out, "21297.1385305 W\n") << overridden.err;
    const RunResult again = Run(withOptions({"--session"}));
    EXPECT_EQ(again.out, "21.2971385 kW\n") << again.err;
}

TEST_F(Cli, SessionKeepsWhatEntriesChanged) {
    Run({"--session", "us"});
    const RunResult r = Run({"--session", "clear", "g"});
    EXPECT_EQ(r.out, "32.1740486 ft/sec^2\n");
}

} // namespace

// Windows reads the registry itself, without Qt.
#ifndef _WIN32
namespace {

std::string Quote(const std::string& arg) {
    std::string q = "'";
    for (char ch : arg) q += ch == '\'' ? std::string("'\\''") : std::string(1, ch);
    return q + "'";
}

// Whether a run of the program loaded Qt Core, as the dynamic loader reports it.
bool LoadsQtCore(const std::string& args, const fs::path& dir) {
    const std::string cmd = "cd " + Quote(dir.string()) +
                            " && LD_DEBUG=libs XDG_CONFIG_HOME=" + Quote((dir / "config").string()) + " " +
                            Quote(KORBCALC_CLI) + " " + args + " </dev/null >/dev/null 2>loader.txt";
    EXPECT_EQ(std::system(cmd.c_str()), 0) << cmd;
    return ReadFile(dir / "loader.txt").find("libQt6Core") != std::string::npos;
}

TEST_F(Cli, QtCoreIsLoadedOnlyForASession) {
    EXPECT_FALSE(LoadsQtCore("'12 ft' 'conv' 'in'", dir_));
    EXPECT_TRUE(LoadsQtCore("--session '12 ft'", dir_));
}

} // namespace
#endif
