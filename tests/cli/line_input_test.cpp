// Reading standard input in blocks: every line comes out whole, whatever the block edges.
#include "cli/LineInput.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdio>
#include <string>
#include <thread>
#include <vector>

namespace {

// The lines LineInput gives for input written to a pipe in pieces of the given size.
std::vector<std::string> LinesOf(const std::string& input, std::size_t piece) {
    int fds[2];
    if (::pipe(fds) != 0) return {"pipe failed"};
    std::thread writer([&] {
        for (std::size_t at = 0; at < input.size(); at += piece) {
            const std::size_t n = std::min(piece, input.size() - at);
            if (::write(fds[1], input.data() + at, n) != static_cast<ssize_t>(n)) break;
        }
        ::close(fds[1]);
    });
    std::vector<std::string> lines;
    LineInput in(fds[0]);
    std::string line;
    // A line cut at the cap is marked with a leading "!".
    while (in.Next(line)) lines.push_back(in.LastTooLong() ? "!" + line : line);
    writer.join();
    ::close(fds[0]);
    return lines;
}

struct Case {
    const char* name;
    std::string input;
    std::vector<std::string> lines;
};

TEST(LineInput, GivesEveryLineWhole) {
    const std::string longLine(200000, 'x'); // longer than the buffer
    const std::string atCap(MaxTextLineLength, 'y');
    const std::string cut = "!" + longLine.substr(0, MaxTextLineLength);
    const std::vector<Case> cases = {
        {"empty", "", {}},
        {"one_unended", "12 ft", {"12 ft"}},
        {"one_ended", "12 ft\n", {"12 ft"}},
        {"empty_lines", "\n\n", {"", ""}},
        {"crlf_kept", "a\r\nb\r\n", {"a\r", "b\r"}},
        {"long_line", "1 m\n" + longLine + "\nlast", {"1 m", cut, "last"}},
        {"long_last_line", "1 m\n" + longLine, {"1 m", cut}},
        {"line_at_the_cap", atCap + "\n" + atCap + "z\n" + atCap, {atCap, "!" + atCap, atCap}},
    };
    for (const Case& c : cases)
        for (std::size_t piece : {std::size_t{1}, std::size_t{7}, std::size_t{65536}, std::size_t{1} << 20})
            EXPECT_EQ(LinesOf(c.input, piece), c.lines) << c.name << ", pieces of " << piece;
}

TEST(LineInput, ManyLinesAcrossBlocks) {
    std::string input;
    std::vector<std::string> expected;
    for (int i = 0; i < 30000; ++i) {
        expected.push_back(std::to_string(i) + ".5 ft");
        input += expected.back() + "\n";
    }
    EXPECT_EQ(LinesOf(input, 4093), expected);
}

} // namespace
