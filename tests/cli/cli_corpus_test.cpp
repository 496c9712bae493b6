// korbcalc-cli's whole output (answers and messages in one file, as a terminal shows them) on a
// long generated script must stay what it was when the golden file was written. It guards the
// command line's own reading, running and writing; the engine's results have their own corpus.
//
// To write a new golden file (after a deliberate change of output):
//   MERIDOT_CLI_CORPUS_OUT=/tmp/cli_corpus.txt ./cli_tests --gtest_filter='CliCorpus.*'
//   gzip -9n -c /tmp/cli_corpus.txt > tests/cli/cli_corpus.txt.gz
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <memory>
#include <random>
#include <sstream>
#include <string>
#include <vector>

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

// The program's output with both streams in one file, and its exit status, for each option set.
std::string Outputs(const std::string& script) {
    const fs::path dir = fs::temp_directory_path() / ("korbcalc_cli_corpus_" + std::to_string(::getpid()));
    fs::create_directories(dir);
    std::ofstream(dir / "in.txt") << script;
    const char* const optionSets[] = {"", "--full",
                                      "--us --autoconvert off --notation scientific --places 4"};
    std::string all;
    for (const char* options : optionSets) {
        const std::string command =
            "cd '" + dir.string() + "' && '" + KORBCALC_CLI + "' " + options + " <in.txt >out.txt 2>&1";
        const int raw = std::system(command.c_str());
        std::unique_ptr<FILE, int (*)(FILE*)> out(std::fopen((dir / "out.txt").c_str(), "r"), std::fclose);
        all += std::string("== options: ") + options + "\n" + (out ? ReadAll(out.get()) : "") + "== status " +
               std::to_string(WIFEXITED(raw) ? WEXITSTATUS(raw) : -1) + "\n";
    }
    fs::remove_all(dir);
    return all;
}

TEST(CliCorpus, OutputMatchesTheGoldenFile) {
    const std::string outputs = Outputs(Script(8000));
    if (const char* path = std::getenv("MERIDOT_CLI_CORPUS_OUT")) std::ofstream(path) << outputs;
    std::unique_ptr<FILE, int (*)(FILE*)> golden(popen("gzip -dc '" CLI_CORPUS_GOLDEN "'", "r"), pclose);
    ASSERT_TRUE(golden);
    const std::string expected = ReadAll(golden.get());
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
