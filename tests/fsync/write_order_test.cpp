// Built with -Wl,--wrap=write: every write of the program goes through the wrapper below, which
// notes the access rights of the regular file each write goes to, while a test watches.
#include "storage/SafeFile.h"
#include "support/file_scratch.h"

#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

#include <vector>

namespace {
bool watching = false;
std::vector<mode_t> modesWrittenTo;
} // namespace

extern "C" ssize_t __real_write(int fd, const void* data, size_t size);
extern "C" ssize_t __wrap_write(int fd, const void* data, size_t size) {
    struct stat st {};
    if (watching && ::fstat(fd, &st) == 0 && S_ISREG(st.st_mode))
        modesWrittenTo.push_back(st.st_mode & 07777);
    return __real_write(fd, data, size);
}

namespace {

// No byte reaches a file that others may read while the file it replaces is private: the rights
// are set before the first write. A umask of 0 would leave a new file readable and writable by all.
TEST(SaveText, WritesOnlyToAFileThatAlreadyHasItsFinalRights) {
    const mode_t mask = ::umask(0);
    for (const mode_t old : {0600, 0640, 0644}) {
        for (bool keepBackup : {false, true}) {
            SCOPED_TRACE(std::to_string(old) + (keepBackup ? " keeping a backup" : ""));
            ScratchDir dir;
            const auto file = dir.File("SaveStck.dat");
            WriteBytes(file, "old\r\n");
            ASSERT_EQ(::chmod(file.c_str(), old), 0);
            modesWrittenTo.clear();
            watching = true;
            const auto saved = SaveTextLines(file, {"1 m", "2 m"}, keepBackup);
            watching = false;
            ASSERT_FALSE(saved.failure.has_value()) << *saved.failure;
            ASSERT_FALSE(modesWrittenTo.empty());
            for (const mode_t mode : modesWrittenTo) EXPECT_EQ(mode, old);
        }
    }
    ::umask(mask);
}

} // namespace
