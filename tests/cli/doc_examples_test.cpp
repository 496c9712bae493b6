// Every example of the README and of the manual page, read from the files themselves and run as
// printed, so that the texts cannot drift from what the programs do. Where a text states an
// output, the output must be that.
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <filesystem>
#include <fstream>
#include <regex>
#include <sstream>
#include <string>
#include <vector>

#include "support/text_file.h"

namespace {

namespace fs = std::filesystem;

struct Example {
    std::string command;             // a shell command line, run by bash
    std::vector<std::string> stated; // the output lines the text states; empty: none stated
};

// The manual's text as printed: \- is a minus, \\ and \e a backslash.
std::string Untroff(const std::string& line) {
    std::string out;
    for (std::size_t i = 0; i < line.size(); ++i) {
        if (line[i] == '\\' && i + 1 < line.size()) {
            const char next = line[++i];
            out += next == 'e' ? '\\' : next;
        } else {
            out += line[i];
        }
    }
    return out;
}

// The manual's examples: "$ command" lines in no-fill blocks, followed up to the block's end by
// the output they state.
std::vector<Example> ManualExamples(const std::string& manual) {
    std::vector<Example> examples;
    bool inBlock = false;
    for (const std::string& raw : TextLines(manual)) {
        if (raw == ".nf") inBlock = true;
        if (raw == ".fi") inBlock = false;
        if (!inBlock || raw.empty() || raw[0] == '.') continue;
        const std::string line = Untroff(raw);
        if (line.rfind("$ ", 0) == 0)
            examples.push_back({line.substr(2), {}});
        else if (!examples.empty())
            examples.back().stated.push_back(line);
    }
    return examples;
}

// The README's command lines: lines of its shell blocks that run korbcalc-cli or ostrel-jd
// (through scripts/, as the README runs them in the source tree). A "# number" after a command
// states its output (a remark in brackets after it aside); a sentence "The second example prints `a` and
// `b`." states the output of an example of the block before it.
std::vector<Example> ReadmeExamples(const std::string& readme) {
    std::vector<Example> examples;
    static const std::regex comment(R"(\s+#\s+(.*)$)");
    static const std::regex prints(
        R"(The (first|second|third|fourth|fifth|sixth) example prints ((`[^`]+`(, | and )?)+))");
    static const std::regex quoted("`([^`]+)`");
    const std::vector<std::string> ordinals{"first", "second", "third", "fourth", "fifth", "sixth"};
    bool inBlock = false;
    std::size_t blockStart = 0;
    for (const std::string& line : TextLines(readme)) {
        if (line.rfind("```", 0) == 0) {
            inBlock = !inBlock;
            if (inBlock) blockStart = examples.size();
            continue;
        }
        if (inBlock) {
            if (line.find("scripts/korbcalc-cli") == std::string::npos &&
                line.find("scripts/ostrel-jd") == std::string::npos)
                continue;
            Example e{line, {}};
            std::smatch m;
            if (std::regex_search(line, m, comment)) {
                e.command = line.substr(0, static_cast<std::size_t>(m.position(0)));
                // A number or a date is the output; words ("one date a line") only describe it.
                std::string said = m[1];
                said = said.substr(0, said.find(" ("));
                if (!said.empty() && (std::isdigit(static_cast<unsigned char>(said[0])) || said[0] == '-'))
                    e.stated.push_back(said);
            }
            for (const char* program : {"korbcalc-cli", "ostrel-jd"})
                for (std::size_t at;
                     (at = e.command.find(std::string("scripts/") + program)) != std::string::npos;)
                    e.command.erase(at, 8);
            examples.push_back(e);
            continue;
        }
        for (std::sregex_iterator it(line.begin(), line.end(), prints), end; it != end; ++it) {
            const auto n = static_cast<std::size_t>(
                std::find(ordinals.begin(), ordinals.end(), (*it)[1].str()) - ordinals.begin());
            EXPECT_LT(blockStart + n, examples.size()) << line;
            if (blockStart + n >= examples.size()) continue;
            const std::string list = (*it)[2];
            for (std::sregex_iterator q(list.begin(), list.end(), quoted); q != std::sregex_iterator(); ++q)
                examples[blockStart + n].stated.push_back((*q)[1]);
        }
    }
    return examples;
}

class DocExamples : public ::testing::Test {
protected:
    void SetUp() override {
        dir_ = fs::temp_directory_path() / ("korbcalc_doc_examples_" + std::to_string(::getpid()) + "_" +
                                            ::testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::create_directories(dir_ / "bin");
        // The programs under the names the texts use.
        Wrapper("korbcalc-cli", KORBCALC_CLI);
#ifdef OSTREL_JD
        Wrapper("ostrel-jd", OSTREL_JD);
#endif
    }
    void TearDown() override {
        fs::remove_all(dir_);
    }

    void Wrapper(const std::string& name, const std::string& program) {
        const fs::path path = dir_ / "bin" / name;
        std::ofstream(path) << "#!/bin/sh\nexec '" << program << "' \"$@\"\n";
        fs::permissions(path, fs::perms::owner_all);
    }

    struct Result {
        int status = -1;
        std::string out, err;
    };
    // Runs a command line in an empty directory of its own (a "*" there stays a "*").
    Result Run(const std::string& command) {
        const fs::path work = dir_ / "work";
        fs::remove_all(work);
        fs::create_directories(work / "config");
        std::ofstream(dir_ / "example.sh") << command << "\n";
        const std::string cmd = "cd '" + work.string() + "' && PATH='" + (dir_ / "bin").string() +
                                "':\"$PATH\" XDG_CONFIG_HOME='" + (work / "config").string() +
                                "' bash ../example.sh </dev/null >../out.txt 2>../err.txt";
        const int raw = std::system(cmd.c_str());
        Result r;
        r.status = WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
        r.out = ReadWholeFile(dir_ / "out.txt");
        r.err = ReadWholeFile(dir_ / "err.txt");
        return r;
    }

    void RunExamples(const std::vector<Example>& examples) {
        for (const Example& e : examples) {
            SCOPED_TRACE(e.command);
            const Result r = Run(e.command);
            EXPECT_EQ(r.status, 0) << r.err;
            if (e.stated.empty())
                EXPECT_FALSE(r.out.empty());
            else
                EXPECT_EQ(TextLines(r.out), e.stated);
        }
    }

    fs::path dir_;
};

TEST_F(DocExamples, ManualExamplesGiveTheirOutput) {
    const auto examples = ManualExamples(ReadWholeFile(KORBCALC_MANUAL));
    ASSERT_GE(examples.size(), 4u);
    for (const Example& e : examples) EXPECT_FALSE(e.stated.empty()) << e.command;
    RunExamples(examples);
}

TEST_F(DocExamples, ReadmeExamplesRun) {
    const auto examples = ReadmeExamples(ReadWholeFile(KORBCALC_README));
    ASSERT_GE(examples.size(), 6u);
    std::size_t stated = 0;
    for (const Example& e : examples) stated += e.stated.empty() ? 0 : 1;
    EXPECT_GE(stated, 1u);
#ifndef OSTREL_JD
    GTEST_SKIP() << "the date tool is not built here";
#endif
    RunExamples(examples);
}

// Error lines the texts quote come out as quoted, for the entry at that number.
TEST_F(DocExamples, QuotedErrorsAreTheProgramsOwn) {
    static const std::regex error(R"re(ERROR: entry (\d+) "([^"]*)": ([^`\n]+))re");
    int quoted = 0;
    for (const char* file : {KORBCALC_MANUAL, KORBCALC_README}) {
        const std::string text = ReadWholeFile(file);
        for (std::sregex_iterator it(text.begin(), text.end(), error), end; it != end; ++it) {
            ++quoted;
            const int number = std::stoi((*it)[1]);
            std::string command = "korbcalc-cli";
            for (int i = 1; i < number; ++i) command += " 1";
            command += " '" + (*it)[2].str() + "'";
            const Result r = Run(command);
            EXPECT_NE(r.err.find(it->str() + "\n"), std::string::npos) << file << ": " << r.err;
            EXPECT_EQ(r.status, 1);
        }
    }
    EXPECT_GE(quoted, 2);
}

// The manual's entries and conversions named as examples in its descriptions work: each
// quantity pushes, and each "conv U" converts a value in those units.
TEST_F(DocExamples, ManualWordExamplesWork) {
    const std::string manual = ReadWholeFile(KORBCALC_MANUAL);
    static const std::regex conv(R"re("+conv ([^" ]+)"+)re");
    std::vector<std::string> units;
    for (std::sregex_iterator it(manual.begin(), manual.end(), conv), end; it != end; ++it)
        units.push_back((*it)[1]);
    EXPECT_GE(units.size(), 2u);
    for (const std::string& u : units) {
        const Result r = Run("korbcalc-cli '1 " + u + "' 'conv " + u + "'");
        EXPECT_EQ(r.status, 0) << "conv " << u << ": " << r.err;
        EXPECT_EQ(r.err, "") << "conv " << u;
        EXPECT_EQ(r.out.rfind("1.0000000 ", 0), 0u) << "conv " << u << ": " << r.out;
    }

    // "An entry is ... a number followed by its units:" and the examples up to the paragraph's end.
    const std::size_t from = manual.find("followed by its units:");
    ASSERT_NE(from, std::string::npos);
    const std::size_t to = manual.find(".PP", from);
    std::vector<std::string> quantities;
    static const std::regex item(R"re(^\.BR? (?:"([^"]+)"|(\S+)))re");
    for (const std::string& line : TextLines(manual.substr(from, to - from))) {
        std::smatch m;
        if (std::regex_search(line, m, item)) quantities.push_back(m[1].matched ? m[1].str() : m[2].str());
    }
    ASSERT_GE(quantities.size(), 2u);
    std::string command = "korbcalc-cli";
    for (const std::string& q : quantities) command += " '" + q + "'";
    const Result r = Run(command);
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(TextLines(r.out).size(), quantities.size()) << r.out;
}

// The README's worked example in the window gives the values the command line gives for the
// same steps.
TEST_F(DocExamples, ReadmeWorkedExampleValues) {
    const std::string readme = ReadWholeFile(KORBCALC_README);
    const std::size_t from = readme.find("**Worked example");
    ASSERT_NE(from, std::string::npos);
    const std::string paragraph = readme.substr(from, readme.find("\n\n", from) - from);
    for (const char* typed : {"`2000 lbf`", "`3 in`"})
        EXPECT_NE(paragraph.find(typed), std::string::npos) << typed;
    const Result r = Run("korbcalc-cli '2000 lbf' '3 in' area print / print conv psi print conv KPa print");
    ASSERT_EQ(r.status, 0) << r.err;
    const auto values = TextLines(r.out);
    ASSERT_EQ(values.size(), 4u);
    for (const std::string& v : values) EXPECT_NE(paragraph.find(v), std::string::npos) << v;
}

} // namespace
