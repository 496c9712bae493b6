#include "storage/SafeFile.h"
#include "support/file_scratch.h"

#include <gtest/gtest.h>

#include "support/win32.h"
#ifndef _WIN32
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>
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

    std::optional<std::string> failure;
    {
        FileSizeLimit limit(1000);
        ASSERT_TRUE(limit.Ok());
        failure = WriteTextLines(file, Lines(100, std::string(50, '9')));
    }

    ASSERT_TRUE(failure.has_value());
    EXPECT_NE(failure->find("SaveRegs.dat"), std::string::npos);
    EXPECT_EQ(ReadBytes(file), "old\r\n");
    EXPECT_EQ(EntryCount(dir.Path()), 1);
}

mode_t ModeOf(const std::string& file) {
    struct stat st {};
    EXPECT_EQ(::stat(file.c_str(), &st), 0);
    return st.st_mode & 07777;
}

TEST(WriteTextLines, KeepsTheModeAndOwnerOfTheFileItReplaces) {
    ScratchDir dir;
    const auto file = dir.File("SaveRegs.dat");
    WriteBytes(file, "old\r\n");
    ASSERT_EQ(::chmod(file.c_str(), 0600), 0);
    ASSERT_FALSE(WriteTextLines(file, {"1 m"}).has_value());
    EXPECT_EQ(ModeOf(file), 0600u);
    ASSERT_EQ(::chmod(file.c_str(), 0640), 0);
    ASSERT_FALSE(WriteTextLines(file, {"2 m"}).has_value());
    EXPECT_EQ(ModeOf(file), 0640u);

    // A new file gets the usual default.
    const mode_t mask = ::umask(022);
    ::umask(mask);
    const auto fresh = dir.File("SaveStck.dat");
    ASSERT_FALSE(WriteTextLines(fresh, {"1 m"}).has_value());
    EXPECT_EQ(ModeOf(fresh), 0666u & ~mask);

    if (::geteuid() == 0) { // only root can hand a file to someone else
        ASSERT_EQ(::chown(file.c_str(), 65534, 65534), 0);
        ASSERT_FALSE(WriteTextLines(file, {"3 m"}).has_value());
        struct stat st {};
        ASSERT_EQ(::stat(file.c_str(), &st), 0);
        EXPECT_EQ(st.st_uid, 65534u);
        EXPECT_EQ(st.st_gid, 65534u);
        EXPECT_EQ(st.st_mode & 07777, 0640u);
    }
    EXPECT_EQ(ReadBytes(file), ::geteuid() == 0 ? "3 m\r\n" : "2 m\r\n");
}

// The id of a process that has ended.
long EndedProcess() {
    const pid_t child = ::fork();
    if (child == 0) ::_exit(0);
    int status = 0;
    ::waitpid(child, &status, 0);
    return child;
}

long RunningProcess() {
    return ::getppid();
}
#else
// The id of a process that has ended. Its handle stays open, so that the id is not given to another.
long EndedProcess() {
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process{};
    wchar_t command[] = L"cmd.exe /c exit";
    if (!::CreateProcessW(nullptr, command, nullptr, nullptr, FALSE, CREATE_NO_WINDOW, nullptr, nullptr,
                          &startup, &process))
        return -1;
    ::WaitForSingleObject(process.hProcess, INFINITE);
    ::CloseHandle(process.hThread);
    return static_cast<long>(process.dwProcessId);
}

long RunningProcess() {
    return static_cast<long>(::GetCurrentProcessId());
}
#endif

TEST(WriteTextLines, RemovesTheStaleTemporaryFilesOfTheSameFileOnly) {
    ScratchDir dir;
    const auto file = dir.File("SaveStck.dat");
    const long ended = EndedProcess();
    ASSERT_GT(ended, 0);
    const std::string dead = std::to_string(ended);
    const std::string alive = std::to_string(RunningProcess());
    const std::vector<std::string> stale{"SaveStck.dat.tmp" + dead + "-0", "SaveStck.dat.tmp" + dead + "-17",
                                         "SaveStck.dat.bak.tmp" + dead + "-3"}; // its backup's too
    const std::vector<std::string> kept{
        "SaveStck.dat.tmp" + alive + "-0", // a save still running in another process
        "SaveRegs.dat.tmp" + dead + "-0",  // another file's
        "SaveStck.dat.tmp" + dead,         // names the program does not make
        "SaveStck.dat.tmp" + dead + "-1x", "SaveStck.dat.tmpx-1", "SaveStck.dat.bak", "notes.txt"};
    for (const auto& name : stale) WriteBytes(dir.File(name), std::string(1000, '1'));
    for (const auto& name : kept) WriteBytes(dir.File(name), "x");

    ASSERT_FALSE(WriteTextLines(file, {"1 m"}).has_value());
    for (const auto& name : stale) EXPECT_FALSE(std::filesystem::exists(PathOf(dir.File(name)))) << name;
    for (const auto& name : kept) EXPECT_TRUE(std::filesystem::exists(PathOf(dir.File(name)))) << name;
    EXPECT_EQ(EntryCount(dir.Path()), static_cast<int>(kept.size()) + 1);
}

#ifndef _WIN32 // the MinGW library makes no symbolic links, and Windows allows them only to some users
// A saved file that is a symbolic link is read through it; saving makes it a regular file and never
// writes the link's target. A kept .bak still leads to the earlier contents.
TEST(SaveTextLines, SymbolicLinkBecomesARegularFileAndItsTargetIsKept) {
    for (bool keepBackup : {false, true}) {
        SCOPED_TRACE(keepBackup ? "keeping a backup" : "plain");
        ScratchDir dir;
        const auto target = dir.File("elsewhere.dat");
        const auto file = dir.File("SaveStck.dat");
        WriteBytes(target, "12 ft\r\n");
        std::filesystem::create_symlink(target, file);
        EXPECT_EQ(ReadTextLines(file), Lines{"12 ft"});

        const SaveResult saved = SaveTextLines(file, {"1 m"}, keepBackup);
        ASSERT_FALSE(saved.failure.has_value()) << *saved.failure;
        EXPECT_EQ(saved.notice.has_value(), keepBackup);
        EXPECT_TRUE(std::filesystem::is_regular_file(std::filesystem::symlink_status(file)));
        EXPECT_EQ(ReadBytes(file), "1 m\r\n");
        EXPECT_EQ(ReadBytes(target), "12 ft\r\n");
        EXPECT_EQ(std::filesystem::exists(file + ".bak"), keepBackup);
        if (keepBackup) {
            EXPECT_EQ(ReadBytes(file + ".bak"), "12 ft\r\n");
        }
    }
}
#endif

} // namespace
