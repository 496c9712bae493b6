#include "settings/SafeFile.h"
#include "settings/file_scratch.h"

#include <gtest/gtest.h>

#ifndef _WIN32
#include <csignal>
#include <sys/resource.h>
#endif

namespace {

using Lines = std::vector<std::string>;

struct ReadCase {
    const char* name;
    std::string bytes;
    Lines expected;
};

TEST(ReadTextLines, LineEndsAndUnreadableLines) {
    const std::string longLine(MaxTextLineLength + 1, '7');
    std::vector<ReadCase> cases = {
        {"empty file", "", {}},
        {"CR LF", "a\r\nb\r\n", {"a", "b"}},
        {"mixed ends, no final break", "a\r\nb\rc\nd", {"a", "b", "c", "d"}},
        {"LF CR is two breaks", "a\n\rb", {"a", "", "b"}},
        {"blank lines kept", "a\n\n\r\nb\n", {"a", "", "", "b"}},
        {"lone CR LF", "\r\n", {""}},
        {"NUL byte makes the line empty", std::string("1 m\n2\0 m\n3 m", 12), {"1 m", "", "3 m"}},
        {"overlong line comes back empty", "1 m\n" + longLine + "\n3 m\n", {"1 m", "", "3 m"}},
        {"longest allowed line kept",
         std::string(MaxTextLineLength, 'y'),
         {std::string(MaxTextLineLength, 'y')}},
    };
    ScratchDir dir;
    // The CR falls on the last byte of the first 64 KiB read and its LF on the first of the next.
    std::string edge;
    Lines edgeLines;
    for (int i = 0; i < 16383; ++i) edge += "ab\r\n", edgeLines.push_back("ab");
    edge += "xyz\r\nz";
    edgeLines.insert(edgeLines.end(), {"xyz", "z"});
    ASSERT_EQ(edge[65535], '\r');
    cases.push_back({"CR LF split across reads", edge, edgeLines});
    for (const auto& c : cases) {
        WriteBytes(dir.File("in.txt"), c.bytes);
        auto lines = ReadTextLines(dir.File("in.txt"));
        ASSERT_TRUE(lines.has_value()) << c.name;
        EXPECT_EQ(*lines, c.expected) << c.name;
    }
}

TEST(ReadTextLines, MissingFileAndDirectoryAreUnreadable) {
    ScratchDir dir;
    EXPECT_FALSE(ReadTextLines(dir.File("absent.txt")).has_value());
    EXPECT_FALSE(ReadTextLines(dir.Name()).has_value());
}

TEST(WriteTextLines, WritesCrLfAfterEveryLineAndLeavesNoTemporaryFile) {
    ScratchDir dir;
    const auto file = dir.File("out.dat");
    EXPECT_FALSE(WriteTextLines(file, {"12 ft", "3 "}).has_value());
    EXPECT_EQ(ReadBytes(file), "12 ft\r\n3 \r\n");
    EXPECT_FALSE(WriteTextLines(file, {}).has_value()); // replaces, down to nothing
    EXPECT_EQ(ReadBytes(file), "");
    EXPECT_EQ(EntryCount(dir.Path()), 1);
}

TEST(WriteTextLines, DirectoryInTheWayIsReportedAndLeftAlone) {
    ScratchDir dir;
    const auto target = dir.File("SaveStck.dat");
    std::filesystem::create_directory(PathOf(target));
    WriteBytes(target + "/inside", "keep");

    auto failure = WriteTextLines(target, {"1 m"});
    ASSERT_TRUE(failure.has_value());
    EXPECT_NE(failure->find("SaveStck.dat"), std::string::npos) << *failure;
    EXPECT_TRUE(std::filesystem::is_directory(PathOf(target)));
    EXPECT_EQ(ReadBytes(target + "/inside"), "keep");
    EXPECT_EQ(EntryCount(dir.Path()), 1); // the temporary file is gone
}

#ifndef _WIN32
// A file-size limit makes the write fail part-way, as a full disk would; it works for root too.
TEST(WriteTextLines, FailedWriteKeepsTheOldFile) {
    ScratchDir dir;
    const auto file = dir.File("SaveRegs.dat");
    WriteBytes(file, "old\r\n");

    rlimit saved{};
    ASSERT_EQ(getrlimit(RLIMIT_FSIZE, &saved), 0);
    auto oldHandler = std::signal(SIGXFSZ, SIG_IGN);
    rlimit small = saved;
    small.rlim_cur = 1000;
    ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &small), 0);
    auto failure = WriteTextLines(file, Lines(100, std::string(50, '9')));
    setrlimit(RLIMIT_FSIZE, &saved);
    std::signal(SIGXFSZ, oldHandler);

    ASSERT_TRUE(failure.has_value());
    EXPECT_NE(failure->find("SaveRegs.dat"), std::string::npos);
    EXPECT_EQ(ReadBytes(file), "old\r\n");
    EXPECT_EQ(EntryCount(dir.Path()), 1);
}
#endif

} // namespace
