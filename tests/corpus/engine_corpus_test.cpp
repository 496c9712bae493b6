// The engine's results on a large generated corpus must stay what they were when the golden file
// was written. A change of result shows the first operation that differs.
//
// To write a new golden file (after a deliberate change of results):
//   MERIDOT_CORPUS_OUT=/tmp/corpus.txt ./corpus_tests && gzip -9n -c /tmp/corpus.txt > engine_corpus.txt.gz
// To check that a new golden differs from an old one only where unit exponents are fractional:
//   MERIDOT_CORPUS_OLD=/path/old.txt.gz ./corpus_tests --gtest_filter='*OnlyFractional*'
// or only where two temperatures were subtracted:
//   MERIDOT_CORPUS_OLD=/path/old.txt.gz ./corpus_tests --gtest_filter='*OnlyTemperature*'
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <memory>
#include <string>
#include <vector>

#include "engine_corpus.h"

namespace {

constexpr int Operations = 100000;
constexpr std::uint64_t Seed = 20261207;

// Reads a golden file: through gzip when its name ends in ".gz", else as plain text (the Windows
// build, which has no gzip, is given the file unpacked).
std::vector<std::string> ReadCompressed(const std::string& path) {
    std::vector<std::string> lines;
    const bool packed = path.size() > 3 && path.compare(path.size() - 3, 3, ".gz") == 0;
    std::unique_ptr<FILE, int (*)(FILE*)> file(nullptr, std::fclose);
#ifndef _WIN32
    if (packed) {
        const std::string command = "gzip -dc '" + path + "'";
        file = {popen(command.c_str(), "r"), pclose};
    }
#endif
    if (!packed) file = {std::fopen(path.c_str(), "r"), std::fclose};
    if (!file) return lines;
    std::string line;
    char buffer[4096];
    while (fgets(buffer, sizeof buffer, file.get())) {
        line += buffer;
        if (!line.empty() && line.back() == '\n') {
            line.pop_back();
            lines.push_back(std::move(line));
            line.clear();
        }
    }
    if (!line.empty()) lines.push_back(line);
    return lines;
}

std::vector<corpus::Line> Generate() {
    std::vector<corpus::Line> lines;
    lines.reserve(Operations);
    corpus::Run(Operations, Seed, [&](const corpus::Line& line) { lines.push_back(line); });
    if (const char* out = std::getenv("MERIDOT_CORPUS_OUT")) {
        std::ofstream file(out);
        for (const auto& l : lines) file << l.text << '\n';
    }
    return lines;
}

TEST(EngineCorpus, ResultsMatchTheGoldenFile) {
    const auto lines = Generate();
    const auto golden = ReadCompressed(CORPUS_GOLDEN);
    ASSERT_EQ(golden.size(), lines.size()) << "golden file " << CORPUS_GOLDEN;
    for (std::size_t i = 0; i < lines.size(); ++i)
        ASSERT_EQ(lines[i].text, golden[i])
            << "first difference at operation " << i + 1 << " (sequence " << lines[i].sequence << ")";
}

TEST(EngineCorpus, GeneratorIsReproducible) {
    std::vector<std::string> a, b;
    corpus::Run(300, 7, [&](const corpus::Line& l) { a.push_back(l.text); });
    corpus::Run(300, 7, [&](const corpus::Line& l) { b.push_back(l.text); });
    EXPECT_EQ(a, b);
}

TEST(EngineCorpus, FractionalExponentsAreRecognised) {
    EXPECT_TRUE(corpus::HasFractionalExponent("2 m^0.33"));
    EXPECT_TRUE(corpus::HasFractionalExponent("1 lbf/in^1.5"));
    EXPECT_TRUE(corpus::HasFractionalExponent("1 m^5E-6"));
    EXPECT_FALSE(corpus::HasFractionalExponent("1 m^2/sec^3"));
    EXPECT_FALSE(corpus::HasFractionalExponent("12.5 ft"));
}

// A root (or a power with a fractional exponent) makes fractional unit exponents on its way, even
// when AutoConvert turns the result into whole ones.
bool TakesARoot(const std::string& line) {
    const std::string op = line.substr(0, line.find(" => "));
    if (op.find("root") != std::string::npos || op.find("sqrt") != std::string::npos) return true;
    for (const char* x : {"0.5 y^x", "1.5 y^x", "0.25 y^x"})
        if (op.find(x) != std::string::npos) return true;
    return false;
}

// Walks the current results beside an older golden file, sequence by sequence: startSequence is
// called at the start of each, seen with every line, firstChange with the first line of each
// sequence that differs (its index). Prints how much changed.
template <class Start, class Seen, class FirstChange>
void CompareWithOlderGolden(const std::vector<std::string>& old, const std::vector<corpus::Line>& lines,
                            Start startSequence, Seen seen, FirstChange firstChange) {
    ASSERT_EQ(old.size(), lines.size());
    int changedSequences = 0, changedLines = 0;
    int sequence = -1;
    bool reported = false;
    for (std::size_t i = 0; i < lines.size(); ++i) {
        if (lines[i].sequence != sequence) {
            sequence = lines[i].sequence;
            reported = false;
            startSequence();
        }
        seen(i);
        if (lines[i].text == old[i]) continue;
        ++changedLines;
        if (reported) continue;
        reported = true;
        ++changedSequences;
        firstChange(i);
    }
    std::printf("%d lines changed in %d sequences\n", changedLines, changedSequences);
}

// Compares the current results with an older golden file: within each sequence, everything up to
// the first change must be equal, and by then the sequence must hold a fractional exponent (in the
// old or the new results) or have taken a root, so every change stems from how such exponents
// are kept.
TEST(EngineCorpus, ChangesAgainstAnOlderGoldenAreOnlyFractionalExponents) {
    const char* oldPath = std::getenv("MERIDOT_CORPUS_OLD");
    if (!oldPath) GTEST_SKIP() << "MERIDOT_CORPUS_OLD names no older golden file";
    const auto old = ReadCompressed(oldPath);
    const auto lines = Generate();
    bool fractional = false;
    CompareWithOlderGolden(
        old, lines, [&] { fractional = false; },
        [&](std::size_t i) {
            fractional = fractional || corpus::HasFractionalExponent(old[i]) ||
                         corpus::HasFractionalExponent(lines[i].text) || TakesARoot(old[i]);
        },
        [&](std::size_t i) {
            EXPECT_TRUE(fractional) << "operation " << i + 1
                                    << " changed without a fractional exponent or a root:\n old: " << old[i]
                                    << "\n new: " << lines[i].text;
        });
}

// A temperature minus a temperature on the C or F scale became a temperature difference (dC, dF):
// within each sequence of the current results that differs from an older golden file, the first
// changed line must be that subtraction, with the same number and only its unit turned into the
// difference unit. What follows in the sequence may then differ freely.
std::string AsTemperatureDifference(std::string line) {
    for (const char* unit : {"C", "F"})
        for (const char* end : {"]", "}"}) {
            const std::string from = std::string(" ") + unit + end;
            const std::string to = std::string(" d") + unit + end;
            for (auto at = line.find(from); at != std::string::npos; at = line.find(from, at + to.size()))
                line.replace(at, from.size(), to);
        }
    return line;
}

TEST(EngineCorpus, ChangesAgainstAnOlderGoldenAreOnlyTemperatureDifferences) {
    const char* oldPath = std::getenv("MERIDOT_CORPUS_OLD");
    if (!oldPath) GTEST_SKIP() << "MERIDOT_CORPUS_OLD names no older golden file";
    const auto old = ReadCompressed(oldPath);
    const auto lines = Generate();
    CompareWithOlderGolden(
        old, lines, [] {}, [](std::size_t) {},
        [&](std::size_t i) {
            const std::string op = old[i].substr(0, old[i].find(" => "));
            EXPECT_TRUE(op.size() >= 2 && op.compare(op.size() - 2, 2, " -") == 0 &&
                        AsTemperatureDifference(old[i]) == lines[i].text)
                << "operation " << i + 1
                << " changed other than into a temperature difference:\n old: " << old[i]
                << "\n new: " << lines[i].text;
        });
}

} // namespace
