// The command line's buffered output: every byte arrives once and in order, whatever the buffer's
// edges, and a reader that has gone is reported rather than hung on.
#include "cli/Output.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <cerrno>
#include <csignal>
#include <string>
#include <thread>

namespace {

// What a reader at the other end of a pipe gets from writing with out.
template <class Write> std::string ThroughPipe(Write write) {
    int fds[2];
    if (::pipe(fds) != 0) return "pipe failed";
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
    std::signal(SIGPIPE, SIG_IGN); // the write fails instead of ending the test
    int fds[2];
    ASSERT_EQ(::pipe(fds), 0);
    ::close(fds[0]);
    Output out(fds[1]);
    out << "lost";
    EXPECT_FALSE(out.Flush());
    EXPECT_EQ(out.Failure(), EPIPE);
    EXPECT_TRUE(out.Flush()); // nothing left to write
    out << "more";            // dropped, and no second write is tried
    EXPECT_TRUE(out.Flush());
    EXPECT_EQ(out.Failure(), EPIPE);
    ::close(fds[1]);
}

} // namespace
