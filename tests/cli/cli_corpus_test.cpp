// korbcalc-cli's whole output (answers and messages in one file, as a terminal shows them) on a
// long generated script must stay what it was when the golden file was written. It guards the
// command line's own reading, running and writing; the engine's results have their own corpus.
//
// To write a new golden file (after a deliberate change of output):
//   MERIDOT_CLI_CORPUS_OUT=/tmp/cli_corpus.txt ./cli_tests --gtest_filter='CliCorpus.*'
//   gzip -9n -c /tmp/cli_corpus.txt > tests/cli/cli_corpus.txt.gz
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <memory>
#include <random>
#include <sstream>
#include <string>
#include <vector>

#include "support/run_program.h"

namespace {

namespace fs = std::filesystem;

// Entries of every kind: quantities (some with unknown units), conversions to good and bad units,
// operations, register commands, undo and redo, prints, blank lines and words that are not commands.
std::string Script(int lines) {
    const char* const units[] = {"m",   "ft",  "in",   "mi",   "km", "cm",  "lbf", "N",     "kg",       "lb",
                                 "sec", "min", "hr",   "psi",  "Pa", "J",   "W",   "m/sec", "ft/sec^2", "m^2",
                                 "gal", "L",   "degF", "degC", "K",  "rad", "deg", "fx",    "m^0.5",    ""};
    const char* const words[] = {"+",
                                 "-",
                                 "*",
                                 "/",
                                 "swap",
                                 "drop",
                                 "sqr",
                                 "sqrt",
                                 "inv",
                                 "chs",
                                 "enter",
                                 "undo",
                                 "redo",
                                 "print",
                                 "y^x",
                                 "root",
                                 "log",
                                 "ln",
                                 "sin",
                                 "cos",
                                 "tan",
                                 "pi",
                                 "g",
                                 "area",
                                 "si",
                                 "us",
                                 "autoconv on",
                                 "autoconv off",
                                 "10^x",
                                 "e^x",
                                 "asin",
                                 "PRINT",
                                 "Drop",
                                 "  print  ",
                                 "",
                                 "\t",
                                 "direct",
                                 "units m",
                                 "no such words"};
    std::mt19937_64 random(20261207); // its raw numbers are the same everywhere
    const auto pick = [&](std::size_t n) { return static_cast<std::size_t>(random() % n); };
    std::ostringstream script;
    for (int i = 0; i < lines; ++i) {
        const std::size_t kind = pick(20);
        if (kind < 7) {
            const long whole = static_cast<long>(pick(10000)) - 500;
            const std::size_t form = pick(4);
            if (form == 0) script << whole;
            if (form == 1) script << whole << '.' << pick(1000);
            if (form == 2) script << pick(9) + 1 << 'e' << static_cast<int>(pick(25)) - 12;
            if (form == 3) script << "0";
            const char* unit = units[pick(std::size(units))];
            if (*unit) script << ' ' << unit;
        } else if (kind < 10) {
            script << "conv " << units[pick(std::size(units) - 1)];
        } else if (kind < 12) {
            script << (pick(2) ? "sto " : "rcl ") << pick(11);
        } else if (kind < 15) {
            script << "print";
        } else if (kind < 16) {
            script << "drop";
        } else {
            script << words[pick(std::size(words))];
        }
        script << '\n';
    }
    return script.str();
}

std::string ReadAll(FILE* file) {
    std::string text;
    char buffer[4096];
    for (std::size_t n; (n = std::fread(buffer, 1, sizeof buffer, file)) > 0;) text.append(buffer, n);
    return text;
}

// A golden file: through gzip when its name ends in ".gz", else as it is (the Windows build, which
// has no gzip, is given the file unpacked).
std::string ReadGolden(const std::string& path) {
    const bool packed = path.size() > 3 && path.compare(path.size() - 3, 3, ".gz") == 0;
    std::unique_ptr<FILE, int (*)(FILE*)> file(nullptr, std::fclose);
#ifndef _WIN32
    if (packed) file = {popen(("gzip -dc '" + path + "'").c_str(), "r"), pclose};
#endif
    if (!packed) file = {std::fopen(path.c_str(), "rb"), std::fclose};
    return file ? ReadAll(file.get()) : std::string();
}

// The program's output with both streams in one file, and its exit status, for each option set.
std::string Outputs(const std::string& script) {
    const fs::path dir =
        fs::temp_directory_path() / ("korbcalc_cli_corpus_" + std::to_string(testsupport::ProcessId()));
    fs::create_directories(dir);
    std::ofstream(dir / "in.txt") << script;
    const std::vector<std::vector<std::string>> optionSets = {
        {}, {"--full"}, {"--us", "--autoconvert", "off", "--notation", "scientific", "--places", "4"}};
    std::string all;
    for (const auto& options : optionSets) {
        const testsupport::ProgramRun run{KORBCALC_CLI,   options,         dir, {},
                                          dir / "in.txt", dir / "out.txt", {}};
        const int status = testsupport::RunProgram(run);
        std::unique_ptr<FILE, int (*)(FILE*)> out(std::fopen((dir / "out.txt").string().c_str(), "rb"),
                                                  std::fclose);
        std::string shown;
        for (const auto& option : options) shown += (shown.empty() ? "" : " ") + option;
        all += "== options: " + shown + "\n" + (out ? ReadAll(out.get()) : "") + "== status " +
               std::to_string(status) + "\n";
    }
    fs::remove_all(dir);
    return all;
}

TEST(CliCorpus, OutputMatchesTheGoldenFile) {
    const std::string outputs = Outputs(Script(8000));
    if (const char* path = std::getenv("MERIDOT_CLI_CORPUS_OUT")) std::ofstream(path) << outputs;
    const std::string expected = ReadGolden(CLI_CORPUS_GOLDEN);
    ASSERT_FALSE(expected.empty()) << CLI_CORPUS_GOLDEN;
    // The first differing line, rather than two texts of hundreds of kilobytes.
    std::istringstream got(outputs), want(expected);
    std::string a, b;
    for (int line = 1; std::getline(want, b); ++line) {
        ASSERT_TRUE(std::getline(got, a)) << "output ends before golden line " << line << ": " << b;
        ASSERT_EQ(a, b) << "first difference at line " << line;
    }
    EXPECT_FALSE(std::getline(got, a)) << "output goes on after the golden file: " << a;
}

} // namespace
