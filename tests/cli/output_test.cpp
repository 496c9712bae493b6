// The command line's buffered output: every byte arrives once and in order, whatever the buffer's
// edges, and a reader that has gone is reported rather than hung on.
#include "cli/Output.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <cerrno>
#include <csignal>
#include <cstdlib>
#include <string>
#include <thread>

#include "support/pipe.h"
#include "support/win32.h"

namespace {

// What a reader at the other end of a pipe gets from writing with out.
template <class Write> std::string ThroughPipe(Write write) {
    int fds[2];
    if (testsupport::MakePipe(fds) != 0) return "pipe failed";
    std::string got;
    std::thread reader([&] {
        char block[4096];
        for (ssize_t n; (n = ::read(fds[0], block, sizeof block)) > 0;)
            got.append(block, static_cast<std::size_t>(n));
    });
    {
        Output out(fds[1]);
        write(out);
    } // flushed as it goes
    ::close(fds[1]);
    reader.join();
    ::close(fds[0]);
    return got;
}

TEST(Output, EveryPieceArrivesInOrder) {
    std::string expected;
    const std::string got = ThroughPipe([&](Output& out) {
        // Pieces of every length up to beyond the buffer, so they straddle its edges.
        for (int i = 0; i < 400; ++i) {
            const std::string piece(static_cast<std::size_t>(i * 97 % 20000),
                                    static_cast<char>('a' + i % 26));
            out << piece << i << '\n';
            expected += piece + std::to_string(i) + '\n';
        }
        out << -2147483647 - 1;
        expected += "-2147483648";
    });
    EXPECT_EQ(got.size(), expected.size());
    EXPECT_TRUE(got == expected);
}

TEST(Output, FlushReportsAReaderThatHasGone) {
#ifdef SIGPIPE
    std::signal(SIGPIPE, SIG_IGN); // the write fails instead of ending the test
#endif
    int fds[2];
    ASSERT_EQ(testsupport::MakePipe(fds), 0);
    ::close(fds[0]);
#ifdef _WIN32
    const int gone = EINVAL; // what the C runtime makes of a pipe without reader
#else
    const int gone = EPIPE;
#endif
    Output out(fds[1]);
    out << "lost";
    EXPECT_FALSE(out.Flush());
    EXPECT_EQ(out.Failure(), gone);
    EXPECT_TRUE(out.Flush()); // nothing left to write
    out << "more";            // dropped, and no second write is tried
    EXPECT_TRUE(out.Flush());
    EXPECT_EQ(out.Failure(), gone);
    ::close(fds[1]);
}

#ifdef _WIN32
// A console is given characters, not the bytes of UTF-8 read in its code page, and no character
// is cut in two where a block of output ends.
TEST(Output, ConsoleShowsUtf8TextAsCharacters) {
    const auto screen = [] {
        return ::CreateConsoleScreenBuffer(GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                           nullptr, CONSOLE_TEXTMODE_BUFFER, nullptr);
    };
    if (HANDLE probe = screen(); probe != INVALID_HANDLE_VALUE)
        ::CloseHandle(probe);
    else if (std::getenv("MERIDOT_CONSOLE_TESTS")) // the run that is there for this test
        FAIL() << "the test runs without a console";
    else // Wine gives a console only to programs started on a terminal
        GTEST_SKIP() << "the test runs without a console";
    // The block fills up one byte into the micro sign.
    const std::size_t block = 1 << 14;
    const std::string text = std::string(block - 1, 'x') + "\xC2\xB5m 2 k\xCE\xA9 3 m\xC2\xB2 \xE2\x88\x92";
    const std::wstring shown = std::wstring(block - 1, L'x') + L"\u00B5m 2 k\u03A9 3 m\u00B2 \u2212";
    // Written at once, and in two pieces that meet where the block ends.
    for (const std::size_t split : {text.size(), block - 1}) {
        SCOPED_TRACE(split);
        HANDLE console = screen();
        ASSERT_NE(console, INVALID_HANDLE_VALUE);
        ASSERT_TRUE(::SetConsoleScreenBufferSize(console, COORD{256, 160})); // nothing scrolls away
        const int fd = ::_open_osfhandle(reinterpret_cast<intptr_t>(console), _O_BINARY);
        ASSERT_GE(fd, 0);
        {
            Output out(fd);
            out << text.substr(0, split) << text.substr(split);
            EXPECT_TRUE(out.Flush());
        }
        std::wstring got(shown.size(), L'\0');
        DWORD read = 0;
        EXPECT_TRUE(::ReadConsoleOutputCharacterW(console, got.data(), static_cast<DWORD>(got.size()),
                                                  COORD{0, 0}, &read));
        got.resize(read);
        EXPECT_TRUE(got == shown) << testing::PrintToString(got.substr(block - 4));
        ::_close(fd);
    }
}
#endif

} // namespace
