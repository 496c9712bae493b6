// korbcalc-cli end to end: scripted runs, their output streams and exit statuses.
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

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

std::string Quote(const std::string& arg) {
    std::string q = "'";
    for (char ch : arg) q += ch == '\'' ? std::string("'\\''") : std::string(1, ch);
    return q + "'";
}

class Cli : public ::testing::Test {
protected:
    void SetUp() override {
        dir_ = fs::temp_directory_path() / ("korbcalc_cli_" + std::to_string(::getpid()) + "_" +
                                            ::testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::create_directories(dir_);
    }
    void TearDown() override { fs::remove_all(dir_); }

    // Runs the program in the test's own directory; stdin is the given text.
    RunResult Run(const std::vector<std::string>& args, const std::string& input = "") {
        std::ofstream(dir_ / "in.txt") << input;
        std::string cmd = "cd " + Quote(dir_.string()) + " && " + Quote(KORBCALC_CLI);
        for (const auto& a : args) cmd += " " + Quote(a);
        cmd += " <in.txt >out.txt 2>err.txt";
        const int raw = std::system(cmd.c_str());
        RunResult r;
        r.status = WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
        r.out = ReadFile(dir_ / "out.txt");
        r.err = ReadFile(dir_ / "err.txt");
        return r;
    }

    fs::path dir_;
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
               "12.0000000 ft\n3.0000000 kg\n4.0000000 \n",
               "ERROR: Second number convert failed\n",
               1},
        Script{
            "bad_entry_is_skipped", {"1 m", "2 fx", "enter"}, "", "1.0000000 m\n1.0000000 m\n", "ERROR: ", 1},
        Script{"us_gravity", {"--us", "--places", "10", "g"}, "", "32.1740485564 ft/sec^2\n", "", 0},
        Script{"second_functions",
               {"--angle", "deg", "2", "3", "y^x", "0.5", "asin"},
               "",
               "8.0000000 \n30.0000000 deg\n",
               "",
               0},
        Script{"direct_convert", {"6 in", "1 ft", "direct"}, "", "0.5000000 ft\n", "", 0},
        Script{"bad_option", {"--places", "99"}, "", "", "Usage: korbcalc-cli", 2}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(Cli, RegisterRecallPushesTheStoredValue) {
    const RunResult r = Run({"7 kg", "sto 4", "drop", "rcl 4"});
    EXPECT_EQ(r.out, "7.0000000 kg\n");
    EXPECT_EQ(r.status, 0);
}

TEST_F(Cli, BadRegisterIsAnError) {
    const RunResult r = Run({"1", "sto 12"});
    EXPECT_EQ(r.err, "ERROR: Invalid register index\n");
    EXPECT_EQ(r.status, 1);
}

TEST_F(Cli, HelpAndUsage) {
    RunResult r = Run({"--help"});
    EXPECT_EQ(r.status, 0);
    EXPECT_NE(r.out.find("Usage: korbcalc-cli"), std::string::npos);
    r = Run({"--angle", "turns"});
    EXPECT_EQ(r.status, 2);
    EXPECT_NE(r.err.find("Usage: korbcalc-cli"), std::string::npos);
}

TEST_F(Cli, WithoutSessionNoFileIsTouched) {
    Run({"1 m", "2 m", "+"});
    for (const char* name : {"Meridot.ini", "SaveStck.dat", "SaveRegs.dat"})
        EXPECT_FALSE(fs::exists(dir_ / name));
}

TEST_F(Cli, SessionKeepsTheStackBetweenRuns) {
    RunResult first = Run({"--session", "5 ft"});
    EXPECT_NE(first.err.find("Can't load Prefs from INI file: Meridot.ini"), std::string::npos);
    EXPECT_TRUE(fs::exists(dir_ / "Meridot.ini"));
    const RunResult second = Run({"--session", "2 ft", "+"});
    EXPECT_EQ(second.out, "7.0000000 ft\n");
    EXPECT_EQ(second.status, 0) << second.err;
}

} // namespace
