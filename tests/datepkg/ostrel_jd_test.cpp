// ostrel-jd end to end: the built program with its arguments, output streams and exit status.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <signal.h>
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

// Runs the program directly (no shell) on the given standard input, its two output streams caught
// in scratch files; with brokenOutput, standard output is a pipe that nobody reads.
Outcome RunJd(std::vector<std::string> args, const std::string& input = "", bool brokenOutput = false) {
    const fs::path dir = fs::temp_directory_path() / ("ostrel_jd_" + std::to_string(::getpid()));
    fs::create_directories(dir);
    const std::string in = (dir / "in").string(), out = (dir / "out").string(), err = (dir / "err").string();
    std::ofstream(in, std::ios::binary) << input;
    posix_spawn_file_actions_t files;
    posix_spawn_file_actions_init(&files);
    posix_spawn_file_actions_addopen(&files, 0, in.c_str(), O_RDONLY, 0);
    int pipeEnds[2] = {-1, -1};
    if (brokenOutput && ::pipe(pipeEnds) == 0) {
        ::close(pipeEnds[0]);
        posix_spawn_file_actions_adddup2(&files, pipeEnds[1], 1);
    } else {
        posix_spawn_file_actions_addopen(&files, 1, out.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
    }
    posix_spawn_file_actions_addopen(&files, 2, err.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
    // An ignored SIGPIPE stays ignored in the child, whose write then fails instead of killing it.
    struct sigaction ignore = {}, previous = {};
    ignore.sa_handler = SIG_IGN;
    if (brokenOutput) ::sigaction(SIGPIPE, &ignore, &previous);
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
    if (brokenOutput) {
        ::sigaction(SIGPIPE, &previous, nullptr);
        ::close(pipeEnds[1]);
    }
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
        {{"2000-01-01T12:00"}, "2451545.0\n"},
        {{"2000-01-01"}, "2451544.5\n"},
        {{"1957-10-04T19:26:24"}, "2436116.31\n"},
        {{"-4712-01-01T12:00:00"}, "0.0\n"},
        {{"--gregorian", "-4713-11-24T12:00"}, "0.0\n"},
        {{"1582-10-10", "--gregorian"}, "2299155.5\n"},
        {{"--julian", "1582-10-05"}, "2299160.5\n"},
        {{"--", "-4712-01-01T18:00"}, "0.25\n"},
        // Every digit that the instant needs, or as many as asked for.
        {{"2000-01-01T12:00:00.01"}, "2451545.0000001157407408\n"},
        {{"--decimals", "6", "2000-01-01T12:00:00.01"}, "2451545.000000\n"},
        {{"--decimals=9", "2000-01-01T12:00:00.01"}, "2451545.000000116\n"},
        {{"--decimals", "0", "2000-01-01T18:00"}, "2451545\n"},
        {{"--mjd", "2000-01-01T12:00:00.01"}, "51544.5000001157407408\n"},
        {{"--mjd", "1858-11-16T18:00"}, "-0.25\n"},
        {{"--jdn", "2000-01-01"}, "2451545\n"},
        {{"--jdn", "2000-01-01T11:59:59.9"}, "2451544\n"},
        {{"--jdn", "2000-01-01T12:00"}, "2451545\n"},
        {{"--jdn", "--julian", "-4712-01-01"}, "0\n"},
        {{"--date", "2299160.5"}, "1582-10-15T00:00:00\n"},
        {{"--date", "2299160.49999"}, "1582-10-04T23:59:59\n"},
        {{"--gregorian", "--date", "2299160.0"}, "1582-10-14T12:00:00\n"},
        {{"--date", "0"}, "-4712-01-01T12:00:00\n"},
        {{"--date", "-0.5"}, "-4712-01-01T00:00:00\n"},
        {{"--date", "2451545.4999999"}, "2000-01-02T00:00:00\n"},
        {{"--date", "2451545.000000115740740740740741", "--decimals", "9"},
         "2000-01-01T12:00:00.010000000\n"},
        {{"--date", "2.4515455e6"}, "2000-01-02T00:00:00\n"},
        {{"--date", "--mjd", "51544.5"}, "2000-01-01T12:00:00\n"},
        {{"--date", "--mjd", "-0.25"}, "1858-11-16T18:00:00\n"},
        {{"--date", "--jdn", "2299161"}, "1582-10-15\n"},
        {{"--date", "--jdn", "--gregorian", "+0"}, "-4713-11-24\n"},
    };
    for (const JdRun& run : runs) {
        const Outcome r = RunJd(run.args);
        EXPECT_EQ(r.out, run.out) << run.args.back();
        EXPECT_EQ(r.err, "") << run.args.back();
        EXPECT_EQ(r.status, 0) << run.args.back();
    }
}

TEST(OstrelJd, WhatItPrintsReadsBackToTheSameInstant) {
    const std::string dates =
        "2000-01-01T12:00:00.01\n-4000-07-31T23:59:59.999999999\n9999-12-31T23:59:59.99999\n"
        "1582-10-04T23:59:59.123456789\n-9999-01-01T00:00:00.000000001\n";
    for (const std::vector<std::string>& scale : {std::vector<std::string>{}, {"--mjd"}}) {
        const Outcome jds = RunJd(scale, dates);
        std::vector<std::string> back = scale;
        back.insert(back.end(), {"--date", "--decimals", "9"});
        const Outcome again = RunJd(back, jds.out);
        EXPECT_EQ(again.out, "2000-01-01T12:00:00.010000000\n-4000-07-31T23:59:59.999999999\n"
                             "9999-12-31T23:59:59.999990000\n1582-10-04T23:59:59.123456789\n"
                             "-9999-01-01T00:00:00.000000001\n")
            << jds.out;
        EXPECT_EQ(jds.status + again.status, 0) << jds.err << again.err;
    }
}

TEST(OstrelJd, ConvertsEachLineOfStandardInput) {
    // A line that fails leaves an empty line, so that the output stays in step with the input.
    const Outcome r = RunJd({}, "2000-01-01\nnot a date\n2000-02-30\r\n2000-01-01T12:00\r\n");
    EXPECT_EQ(r.out, "2451544.5\n\n\n2451545.0\n");
    EXPECT_EQ(r.err, "ERROR: line 2: not an ISO 8601 date: \"not a date\" (expected YYYY-MM-DD, "
                     "YYYY-MM-DDThh:mm or YYYY-MM-DDThh:mm:ss)\n"
                     "ERROR: line 3: 2000-02-30 does not exist: February 2000 has 29 days\n");
    EXPECT_EQ(r.status, 1);

    std::string many, expected;
    for (int day = 0; day < 5000; ++day) {
        many += std::to_string(2451545 + day) + ".25\n";
        expected += std::to_string(2451545 + day) + ".25\n";
    }
    const Outcome dates = RunJd({"--date", "--decimals", "3"}, many);
    EXPECT_EQ(dates.status, 0) << dates.err;
    const Outcome jds = RunJd({}, dates.out);
    EXPECT_EQ(jds.out, expected);
    EXPECT_EQ(jds.status, 0) << jds.err;
    EXPECT_EQ(RunJd({"--date"}, "").out, "");
}

TEST(OstrelJd, AFailedWriteIsAFailedRun) {
    for (const std::vector<std::string>& args :
         {std::vector<std::string>{"2000-01-01"}, {"--help"}, {"--version"}, {"--date"}}) {
        const Outcome r = RunJd(args, std::string(100000, '0') + "\n", true);
        EXPECT_EQ(r.status, 1) << args[0];
        EXPECT_NE(r.err.find("ostrel-jd: cannot write the output"), std::string::npos) << r.err;
    }
}

TEST(OstrelJd, BadDatesAreErrorsWithReason) {
    const JdRun runs[] = {
        {{"2001-02-29"}, "ERROR: 2001-02-29 does not exist: February 2001 has 28 days\n"},
        {{"1582-10-10"}, "ERROR: 1582-10-10 does not exist in the mixed calendar"},
        {{"10000-01-01"}, "ERROR: 10000-01-01 is out of range"},
        {{"2000-01-01T24:00"}, "ERROR: hour 24 is not 0 to 23\n"},
        {{"1 January 2000"}, "ERROR: not an ISO 8601 date"},
        {{"--date", "5373484.5"}, "ERROR: JD 5373484.5 is out of range"},
        {{"--date", "--mjd", "2973484"}, "ERROR: MJD 2973484 is out of range"},
        {{"--date", "2451545.0x"}, "ERROR: not a Julian Date: \"2451545.0x\"\n"},
        {{"--date", "0x1p21"}, "ERROR: not a Julian Date: \"0x1p21\"\n"},
        {{"--date", " 2451545"}, "ERROR: not a Julian Date: \" 2451545\"\n"},
        {{"--date", "--mjd", "\t0"}, "ERROR: not a Modified Julian Date: \"\t0\"\n"},
        {{"--date", "--jdn", "2451545.5"}, "ERROR: not a Julian Day Number: \"2451545.5\"\n"},
        {{"--date", "--jdn", " 1"}, "ERROR: not a Julian Day Number: \" 1\"\n"},
        {{"--date", "--jdn", "5373485"}, "ERROR: JDN 5373485 is out of range"},
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
    const std::vector<std::string> usages[] = {{"--date", "1", "2"},
                                               {"2000-01-01", "2000-01-02"},
                                               {"--gregorian", "--julian", "2000-01-01"},
                                               {"--mjd", "--jdn", "2000-01-01"},
                                               {"--decimals", "21", "2000-01-01"},
                                               {"--decimals", "-1", "2000-01-01"},
                                               {"--decimals", " 3", "2000-01-01"},
                                               {"--decimals"},
                                               {"--date", "--decimals", "10", "0"},
                                               {"--jdn", "--decimals", "2", "2000-01-01"},
                                               {"--days", "2000-01-01"}};
    for (const auto& args : usages) {
        const Outcome r = RunJd(args);
        EXPECT_EQ(r.out, "");
        EXPECT_NE(r.err.find("Usage: ostrel-jd"), std::string::npos) << r.err;
        EXPECT_EQ(r.status, 2) << r.err;
    }
    for (const char* help : {"--help", "-h"}) {
        const Outcome r = RunJd({help});
        EXPECT_EQ(r.out.rfind("Usage: ostrel-jd", 0), 0u);
        EXPECT_NE(r.out.find("ostrel-jd(1)"), std::string::npos);
        EXPECT_EQ(r.status, 0);
    }
    const Outcome version = RunJd({"--version"});
    EXPECT_EQ(version.out.rfind("ostrel-jd 1.", 0), 0u) << version.out;
    EXPECT_EQ(version.status, 0);
}

TEST(OstrelJd, ManualDescribesEveryOptionOfTheHelp) {
    const std::string help = RunJd({"--help"}).out;
    const std::string manual = Slurp(OSTREL_JD_MANUAL);
    ASSERT_FALSE(manual.empty());
    int options = 0;
    for (size_t at = help.find("--"); at != std::string::npos; at = help.find("--", at + 2)) {
        const size_t end = help.find_first_not_of("abcdefghijklmnopqrstuvwxyz", at + 2);
        const std::string name = help.substr(at + 2, end - at - 2);
        if (name.empty()) continue;
        ++options;
        EXPECT_NE(manual.find("\\-\\-" + name), std::string::npos) << "--" << name;
    }
    EXPECT_GE(options, 8);
}

} // namespace
