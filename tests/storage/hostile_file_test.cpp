// Data files replaced by what a hostile or careless hand puts in their place, and folders prepared
// by someone else: nothing blocks, nothing outside the folder is written, no file gets rights it
// should not have, and nothing is left behind. Every link points at a file the test made itself.
#include "storage/SafeFile.h"
#include "storage/SafeFilePlatform.h"
#include "support/file_scratch.h"

#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <fstream>
#include <functional>

namespace {

namespace fs = std::filesystem;

struct stat StatOf(const std::string& path) {
    struct stat st {};
    EXPECT_EQ(::lstat(path.c_str(), &st), 0) << path;
    return st;
}

mode_t ModeOf(const std::string& path) {
    return StatOf(path).st_mode & 07777;
}

// A file of this size that takes no room on the disk.
void MakeSparse(const std::string& path, off_t size) {
    const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    ASSERT_GE(fd, 0);
    EXPECT_EQ(::ftruncate(fd, size), 0);
    ::close(fd);
}

// The files under dir that carry set-user-id or set-group-id bits, but for `except`.
std::vector<std::string> SetIdFiles(const fs::path& dir, const std::string& except) {
    std::vector<std::string> found;
    for (const auto& entry : fs::recursive_directory_iterator(dir)) {
        const auto name = Utf8(entry.path());
        if (name != except && !fs::is_symlink(entry.symlink_status()) && (ModeOf(name) & 06000))
            found.push_back(name);
    }
    return found;
}

// A set-user-id stand-in for a privileged program: a copy of id(1) inside the scratch folder.
std::string MakeSetIdStandIn(const ScratchDir& dir) {
    const auto standIn = dir.File("id-stand-in");
    fs::copy_file("/usr/bin/id", PathOf(standIn));
    EXPECT_EQ(::chmod(standIn.c_str(), 04755), 0);
    return standIn;
}

// Runs body in a child process that has given up root for an ordinary user owning dir; false when
// the child failed.
bool AsOrdinaryUser(const ScratchDir& dir, const std::function<bool()>& body) {
    constexpr uid_t nobody = 65534;
    std::fflush(nullptr);
    const pid_t child = ::fork();
    if (child == 0) {
        const bool ok = ::chown(dir.Name().c_str(), nobody, nobody) == 0 && ::setgid(nobody) == 0 &&
                        ::setuid(nobody) == 0 && body();
        ::_exit(ok ? 0 : 1);
    }
    int status = 0;
    return child > 0 && ::waitpid(child, &status, 0) == child && WIFEXITED(status) &&
           WEXITSTATUS(status) == 0;
}

TEST(ReadTextFile, ReadsOnlyRegularFilesAndSaysWhatIsThere) {
    ScratchDir dir;
    ASSERT_EQ(::mkfifo(dir.File("fifo").c_str(), 0600), 0);
    fs::create_symlink(PathOf(dir.File("fifo")), PathOf(dir.File("link to fifo")));
    fs::create_symlink("self", PathOf(dir.File("self")));
    fs::create_directory(PathOf(dir.File("directory")));
    MakeSparse(dir.File("huge"), static_cast<off_t>(MaxTextFileSize) + 1);
    WriteBytes(dir.File("2000 bytes"), std::string(2000, '1'));
    const struct {
        const char* name;
        std::string problem; // after the quoted path; empty for a missing file
        std::uint64_t cap = MaxTextFileSize;
    } cases[] = {
        {"absent", ""},
        {"fifo", " is a FIFO"},
        {"link to fifo", " is a FIFO"},
        {"self", " cannot be read (Too many levels of symbolic links)"},
        {"directory", " is a directory"},
        {"huge", " is larger than 256 MB"},
        {"2000 bytes", " is larger than 1000 bytes", 1000},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const auto file = dir.File(c.name);
        const std::string expected = c.problem.empty() ? "" : "\"" + file + "\"" + c.problem;
        std::string problem = "not set";
        EXPECT_FALSE(ReadTextFile(file, MaxTextLineLength, &problem, c.cap).has_value());
        EXPECT_EQ(problem, expected);
        problem = "not set";
        EXPECT_FALSE(ReadFileBytes(file, &problem, c.cap).has_value());
        EXPECT_EQ(problem, expected);
    }
    EXPECT_EQ(ReadFileBytes(dir.File("2000 bytes"), nullptr, 2000), std::string(2000, '1'));
}

TEST(SaveText, LeavesWhatIsNotARegularFileOrLinkAlone) {
    ScratchDir dir;
    const auto fifo = dir.File("SaveStck.dat");
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    const auto directory = dir.File("SaveRegs.dat");
    fs::create_directory(PathOf(directory));
    const struct {
        std::string file;
        std::string what;
    } cases[] = {{fifo, "a FIFO"}, {directory, "a directory"}};
    for (const auto& c : cases) {
        for (bool keepBackup : {false, true}) {
            const SaveResult saved = SaveText(c.file, "1 m\r\n", keepBackup);
            ASSERT_TRUE(saved.failure.has_value()) << c.what;
            EXPECT_NE(saved.failure->find("\"" + c.file + "\": there is " + c.what + " in its place"),
                      std::string::npos)
                << *saved.failure;
            EXPECT_FALSE(saved.notice.has_value());
        }
    }
    EXPECT_TRUE(S_ISFIFO(StatOf(fifo).st_mode));
    EXPECT_TRUE(S_ISDIR(StatOf(directory).st_mode));
    EXPECT_EQ(EntryCount(dir.Path()), 2); // no temporary file, no .bak
}

// A new file is readable by its owner only until it has its final rights, which never include
// set-id or sticky bits, and its owner always keeps read and write access.
TEST(NewFile, IsPrivateUntilGivenItsRightsWhichNeverIncludeSetIdBits) {
    ScratchDir dir;
    const mode_t mask = ::umask(0);
    const struct {
        safefile::Attributes attributes;
        mode_t expected;
    } cases[] = {
        {{true, 04755, ::geteuid(), ::getegid()}, 0755},
        {{true, 02770, ::geteuid(), ::getegid()}, 0770},
        {{true, 01777, ::geteuid(), ::getegid()}, 0777},
        {{true, 0640, ::geteuid(), ::getegid()}, 0640},
        {{true, 0, ::geteuid(), ::getegid()}, 0600},
        {{}, 0666}, // a new file's usual rights under umask 0
    };
    int n = 0;
    for (const auto& c : cases) {
        const auto file = dir.File("new" + std::to_string(n++));
        safefile::NewFile created;
        std::string reason;
        ASSERT_EQ(created.Create(file, reason), safefile::Outcome::Done) << reason;
        EXPECT_EQ(ModeOf(file), 0600u);
        EXPECT_FALSE(created.SetAttributes(c.attributes).has_value());
        EXPECT_EQ(ModeOf(file), c.expected) << std::oct << c.attributes.mode;
    }
    ::umask(mask);
}

TEST(SaveText, NoSetIdFileFromALinkToAPrivilegedProgram) {
    if (::geteuid() != 0) GTEST_SKIP() << "needs root: the stand-in is a root-owned set-user-id program";
    for (bool keepBackup : {false, true}) {
        SCOPED_TRACE(keepBackup ? "keeping a backup" : "plain");
        ScratchDir dir;
        const auto standIn = MakeSetIdStandIn(dir);
        const std::string program = ReadBytes(standIn);
        const auto file = dir.File("SaveStck.dat");
        fs::create_symlink(PathOf(standIn), PathOf(file));

        const SaveResult saved = SaveText(file, "1 m\r\n", keepBackup);
        ASSERT_FALSE(saved.failure.has_value()) << *saved.failure;
        EXPECT_TRUE(S_ISREG(StatOf(file).st_mode));
        EXPECT_EQ(ReadBytes(file), "1 m\r\n");
        EXPECT_EQ(ReadBytes(standIn), program);
        EXPECT_EQ(ModeOf(standIn), 04755u);
        EXPECT_EQ(SetIdFiles(dir.Path(), standIn), std::vector<std::string>{});
        if (keepBackup) { // the backup still leads to what the link led to
            EXPECT_TRUE(S_ISLNK(StatOf(file + ".bak").st_mode));
            EXPECT_EQ(ReadBytes(file + ".bak"), program);
        }
    }
}

// Where no hard link can be made the backup is a copy, which takes the rights of the file it read,
// less any set-id bits.
TEST(SaveText, BackupCopyOfAPrivilegedProgramGetsNoSetIdBits) {
    if (::geteuid() != 0) GTEST_SKIP() << "needs root to leave a set-user-id program to an ordinary user";
    std::ifstream protectedLinks("/proc/sys/fs/protected_hardlinks");
    int refused = 0;
    if (!(protectedLinks >> refused) || refused != 1)
        GTEST_SKIP() << "the system lets anyone link to another user's file, so no copy is made";
    ScratchDir dir;
    const auto file = dir.File("SaveStck.dat");
    fs::copy_file("/usr/bin/id", PathOf(file));
    ASSERT_EQ(::chmod(file.c_str(), 04755), 0);
    const std::string program = ReadBytes(file);

    ASSERT_TRUE(AsOrdinaryUser(dir, [&file] { return !SaveText(file, "1 m\r\n", true).failure; }));
    EXPECT_EQ(ReadBytes(file + ".bak"), program);
    EXPECT_EQ(StatOf(file + ".bak").st_nlink, 1u); // a copy
    EXPECT_EQ(ModeOf(file + ".bak"), 0755u);
    EXPECT_EQ(ReadBytes(file), "1 m\r\n");
    EXPECT_EQ(SetIdFiles(dir.Path(), ""), std::vector<std::string>{});
}

// Names made ahead of a save, as links to a file elsewhere, are neither written through nor used:
// the earlier file is still kept by a second name, not copied through a name that may be swapped.
TEST(SaveText, TemporaryNamesTakenAheadAreNeitherFollowedNorUsed) {
    ScratchDir dir;
    fs::create_directory(PathOf(dir.File("elsewhere")));
    const auto victim = dir.File("elsewhere/victim");
    WriteBytes(victim, "not to be written\n");
    const auto file = dir.File("SaveStck.dat");
    WriteBytes(file, "old\r\n");
    const ino_t oldFile = StatOf(file).st_ino;
    const std::string pid = std::to_string(::getpid());
    std::vector<std::string> taken;
    for (int n = 0; n < 200; ++n)
        for (const char* kind : {".tmp", ".bak.tmp"})
            taken.push_back(file + kind + pid + "-" + std::to_string(n));
    for (const auto& name : taken) fs::create_symlink(PathOf(victim), PathOf(name));

    const SaveResult saved = SaveTextLines(file, {"new"}, true);
    ASSERT_FALSE(saved.failure.has_value()) << *saved.failure;
    EXPECT_EQ(ReadBytes(file), "new\r\n");
    EXPECT_EQ(StatOf(file + ".bak").st_ino, oldFile);
    EXPECT_EQ(ReadBytes(victim), "not to be written\n");
    for (const auto& name : taken) EXPECT_TRUE(S_ISLNK(StatOf(name).st_mode)) << name;
    EXPECT_EQ(EntryCount(dir.Path()), static_cast<int>(taken.size()) + 3);
}

// A save stopped after keeping the backup leaves the .bak as a second name of the file itself; the
// next save's backup then renames onto the same file, which does nothing, and must not leave its
// temporary name behind.
TEST(SaveText, BackupAlreadyThereUnderASecondNameLeavesNoTemporaryName) {
    ScratchDir dir;
    const auto file = dir.File("SaveStck.dat");
    WriteBytes(file, "old\r\n");
    ASSERT_EQ(::link(file.c_str(), (file + ".bak").c_str()), 0);

    const SaveResult saved = SaveTextLines(file, {"new"}, true);
    ASSERT_FALSE(saved.failure.has_value()) << *saved.failure;
    EXPECT_EQ(ReadBytes(file), "new\r\n");
    EXPECT_EQ(ReadBytes(file + ".bak"), "old\r\n");
    EXPECT_EQ(EntryCount(dir.Path()), 2);
}

} // namespace
