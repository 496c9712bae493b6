// ostrel-jd end to end: the built program with its arguments, output streams and exit status.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

namespace {

namespace fs = std::filesystem;

struct Outcome {
    std::string out, err;
    int status = -1;
};

std::string Slurp(const fs::path& file) {
    std::ifstream in(file, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

// Runs the program directly (no shell), its two output streams caught in scratch files.
Outcome RunJd(std::vector<std::string> args) {
    const fs::path dir = fs::temp_directory_path() / ("ostrel_jd_" + std::to_string(::getpid()));
    fs::create_directories(dir);
    const std::string out = (dir / "out").string(), err = (dir / "err").string();
    posix_spawn_file_actions_t files;
    posix_spawn_file_actions_init(&files);
    posix_spawn_file_actions_addopen(&files, 1, out.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
    posix_spawn_file_actions_addopen(&files, 2, err.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
    args.insert(args.begin(), OSTREL_JD);
    std::vector<char*> argv;
    for (auto& a : args) argv.push_back(a.data());
    argv.push_back(nullptr);
    Outcome r;
    pid_t pid = 0;
    int raw = 0;
    if (posix_spawn(&pid, OSTREL_JD, &files, nullptr, argv.data(), environ) == 0 &&
        waitpid(pid, &raw, 0) == pid)
        r.status = WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
    posix_spawn_file_actions_destroy(&files);
    r.out = Slurp(out);
    r.err = Slurp(err);
    fs::remove_all(dir);
    return r;
}

struct JdRun {
    std::vector<std::string> args;
    std::string out;
};

TEST(OstrelJd, PrintsJulianDatesAndCalendarDates) {
    const JdRun runs[] = {
        {{"2000-01-01T12:00"}, "2451545.000000\n"},
        {{"2000-01-01"}, "2451544.500000\n"},
        {{"1957-10-04T19:26:24"}, "2436116.310000\n"},
        {{"-4712-01-01T12:00:00"}, "0.000000\n"},
        {{"--gregorian", "-4713-11-24T12:00"}, "0.000000\n"},
        {{"1582-10-10", "--gregorian"}, "2299155.500000\n"},
        {{"--julian", "1582-10-05"}, "2299160.500000\n"},
        {{"--", "-4712-01-01T18:00"}, "0.250000\n"},
        {{"--date", "2299160.5"}, "1582-10-15T00:00:00\n"},
        {{"--date", "2299160.49999"}, "1582-10-04T23:59:59\n"},
        {{"--gregorian", "--date", "2299160.0"}, "1582-10-14T12:00:00\n"},
        {{"--date", "0"}, "-4712-01-01T12:00:00\n"},
        {{"--date", "-0.5"}, "-4712-01-01T00:00:00\n"},
        {{"--date", "2451545.4999999"}, "2000-01-02T00:00:00\n"},
    };
    for (const JdRun& run : runs) {
        const Outcome r = RunJd(run.args);
        EXPECT_EQ(r.out, run.out) << run.args.back();
        EXPECT_EQ(r.err, "") << run.args.back();
        EXPECT_EQ(r.status, 0) << run.args.back();
    }
}

TEST(OstrelJd, BadDatesAreErrorsWithReason) {
    const JdRun runs[] = {
        {{"2001-02-29"}, "ERROR: 2001-02-29 does not exist: February 2001 has 28 days\n"},
        {{"1582-10-10"}, "ERROR: 1582-10-10 does not exist in the mixed calendar"},
        {{"10000-01-01"}, "ERROR: 10000-01-01 is out of range"},
        {{"2000-01-01T24:00"}, "ERROR: hour 24 is not 0 to 23\n"},
        {{"1 January 2000"}, "ERROR: not an ISO 8601 date"},
        {{"--date", "5373484.5"}, "ERROR: JD 5373484.500000 is out of range"},
        {{"--date", "2451545.0x"}, "ERROR: not a Julian Date: \"2451545.0x\"\n"},
        {{"--date", "nan"}, "ERROR: not a Julian Date"},
    };
    for (const JdRun& run : runs) {
        const Outcome r = RunJd(run.args);
        EXPECT_EQ(r.out, "") << run.args.back();
        EXPECT_EQ(r.err.rfind(run.out, 0), 0u) << r.err;
        EXPECT_EQ(r.status, 1) << run.args.back();
    }
}

TEST(OstrelJd, BadUsageShowsTheUsageLine) {
    const std::vector<std::string> usages[] = {{},
                                               {"--date"},
                                               {"2000-01-01", "2000-01-02"},
                                               {"--gregorian", "--julian", "2000-01-01"},
                                               {"--mjd", "0"}};
    for (const auto& args : usages) {
        const Outcome r = RunJd(args);
        EXPECT_EQ(r.out, "");
        EXPECT_NE(r.err.find("Usage: ostrel-jd"), std::string::npos) << r.err;
        EXPECT_EQ(r.status, 2) << r.err;
    }
    const Outcome help = RunJd({"--help"});
    EXPECT_EQ(help.out.rfind("Usage: ostrel-jd", 0), 0u);
    EXPECT_EQ(help.status, 0);
}

} // namespace
