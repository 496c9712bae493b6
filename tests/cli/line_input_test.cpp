// Reading standard input in blocks: every line comes out whole, whatever the block edges.
#include "cli/LineInput.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <thread>

#include <vector>

#include "support/pipe.h"
#include "support/win32.h"

namespace {

// The lines LineInput gives for input written to a pipe in pieces of the given size.
std::vector<std::string> LinesOf(const std::string& input, std::size_t piece) {
    int fds[2];
    if (testsupport::MakePipe(fds) != 0) return {"pipe failed"};
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
        for (std::size_t piece : {std::size_t{1}, std::size_t{7}, std::size_t{65536}, std::size_t{1} << 20}) {
            // A long line byte by byte adds nothing to pieces of 7 but costs minutes under Wine.
            if (piece == 1 && c.input.size() > 1000) continue;
            EXPECT_EQ(LinesOf(c.input, piece), c.lines) << c.name << ", pieces of " << piece;
        }
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

#ifdef _WIN32
// Typed at a console: the characters in UTF-8 whatever the console's code page, also one of two
// UTF-16 halves; line ends without their "\r"; Ctrl+Z and Enter end the input.
TEST(LineInput, ConsoleGivesTypedCharactersInUtf8) {
    const HANDLE console =
        ::CreateFileW(L"CONIN$", GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                      OPEN_EXISTING, 0, nullptr);
    if (console == INVALID_HANDLE_VALUE) {
        if (std::getenv("MERIDOT_CONSOLE_TESTS")) FAIL() << "the test runs without a console";
        GTEST_SKIP() << "the test runs without a console"; // Wine gives one only on a terminal
    }
    ::SetConsoleMode(console, ENABLE_LINE_INPUT | ENABLE_ECHO_INPUT | ENABLE_PROCESSED_INPUT);
    ::FlushConsoleInputBuffer(console);
    std::vector<INPUT_RECORD> keys;
    for (const wchar_t ch : std::wstring(L"5 \u00B5m\r3 k\u03A9 \U0001D465\r\x1A\r")) {
        INPUT_RECORD key{};
        key.EventType = KEY_EVENT;
        key.Event.KeyEvent.bKeyDown = TRUE;
        key.Event.KeyEvent.wRepeatCount = 1;
        key.Event.KeyEvent.wVirtualKeyCode = ch == L'\r' ? VK_RETURN : 0;
        key.Event.KeyEvent.uChar.UnicodeChar = ch;
        keys.push_back(key);
    }
    DWORD written = 0;
    ASSERT_TRUE(::WriteConsoleInputW(console, keys.data(), static_cast<DWORD>(keys.size()), &written));
    const int fd = ::_open_osfhandle(reinterpret_cast<intptr_t>(console), _O_RDONLY);
    ASSERT_GE(fd, 0);
    LineInput in(fd);
    std::vector<std::string> lines;
    for (std::string line; in.Next(line);) lines.push_back(line);
    EXPECT_EQ(lines, (std::vector<std::string>{"5 \xC2\xB5m", "3 k\xCE\xA9 \xF0\x9D\x91\xA5"}));
    ::_close(fd);
}
#endif

} // namespace
