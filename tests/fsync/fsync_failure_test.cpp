// Built with -Wl,--wrap=fsync: every fsync of the program goes through the wrapper below, which
// can be told to fail as a disk that cannot flush would.
#include "storage/SafeFile.h"
#include "support/file_scratch.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <cstring>

namespace {
int failingCalls = 0; // fsync calls still to fail
int calls = 0;
} // namespace

extern "C" int __real_fsync(int fd);
extern "C" int __wrap_fsync(int fd) {
    ++calls;
    if (failingCalls > 0) {
        --failingCalls;
        errno = EIO;
        return -1;
    }
    return __real_fsync(fd);
}

namespace {

TEST(FsyncFailure, IsAFailedSaveThatKeepsTheOldFile) {
    const struct {
        const char* name;
        bool keepBackup;
    } cases[] = {{"plain save", false}, {"save that keeps a .bak", true}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        ScratchDir dir;
        const auto file = dir.File("SaveStck.dat");
        WriteBytes(file, "old\r\n");
        calls = 0;
        failingCalls = 1;
        const auto result = SaveTextLines(file, {"1 m", "2 m"}, c.keepBackup);
        failingCalls = 0;
        EXPECT_GE(calls, 1);
        ASSERT_TRUE(result.failure.has_value());
        EXPECT_EQ(result.failure->rfind("Could not save \"" + file + "\"", 0), 0u) << *result.failure;
        EXPECT_NE(result.failure->find(std::strerror(EIO)), std::string::npos) << *result.failure;
        EXPECT_FALSE(result.notice.has_value());
        EXPECT_EQ(ReadBytes(file), "old\r\n");
        EXPECT_EQ(EntryCount(dir.Path()), 1) << "a temporary or backup file was left";

        // The same save with a disk that flushes goes through, flushing at least once.
        calls = 0;
        EXPECT_FALSE(SaveTextLines(file, {"1 m"}, c.keepBackup).failure.has_value());
        EXPECT_GE(calls, 1);
        EXPECT_EQ(ReadBytes(file), "1 m\r\n");
    }
}

} // namespace
