// The manual page against the command table: every command word is described there, and every
// item of its COMMAND WORDS section is about a word the program has.
#include <gtest/gtest.h>

#include <set>
#include <sstream>
#include <string>
#include <string_view>
#include <vector>

#include "calc/Commands.h"
#include "support/text_file.h"

namespace {

// The words of the items' heading lines in the COMMAND WORDS section, one list per item, without
// troff's quotes, font changes and commas, and with \- read as -.
std::vector<std::vector<std::string>> CommandHeadings(const std::string& manual) {
    std::vector<std::vector<std::string>> headings;
    bool inSection = false;
    std::string previous;
    for (std::string line : TextLines(manual)) {
        if (line.rfind(".SH", 0) == 0) inSection = line == ".SH COMMAND WORDS";
        const bool heading = inSection && previous == ".TP";
        previous = line;
        if (!heading) continue;
        for (const char* escape : {"\\fR", "\\fP", "\\fB", "\\fI", "\"", ","})
            for (std::size_t at; (at = line.find(escape)) != std::string::npos;)
                line.replace(at, std::string_view(escape).size(), " ");
        for (std::size_t at; (at = line.find("\\-")) != std::string::npos;) line.erase(at, 1);
        std::istringstream words(line);
        std::vector<std::string>& item = headings.emplace_back();
        for (std::string word; words >> word;) item.push_back(word);
        if (!item.empty()) item.erase(item.begin()); // the request: .B, .BR, .BI
    }
    return headings;
}

// print is the command line's own word, not a command.
TEST(ManualPage, DescribesEveryCommandWordAndNoOther) {
    const auto headings = CommandHeadings(ReadWholeFile(KORBCALC_MANUAL));
    std::set<std::string> words{"print"}, described;
    for (const CommandInfo& info : CommandTable())
        if (!info.word.empty()) words.emplace(info.word);
    for (const auto& item : headings) {
        ASSERT_FALSE(item.empty());
        EXPECT_EQ(words.count(item.front()), 1u) << item.front();
        described.insert(item.begin(), item.end());
    }
    for (const std::string& word : words) EXPECT_EQ(described.count(word), 1u) << word;
    EXPECT_GE(headings.size(), 20u);
}

} // namespace
