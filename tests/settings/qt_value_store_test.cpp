// The QSettings value store, redirected to a scratch configuration home (Linux only: on Windows it
// would write the user's real registry key).
#include "settings/QtValueStore.h"
#include "storage/SafeFile.h"
#include "support/file_scratch.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <functional>
#include <memory>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

void ExpectRoundTrip(const std::function<std::unique_ptr<QtValueStore>()>& open) {
    {
        auto store = open();
        EXPECT_FALSE(store->Read("FontName").has_value());
        store->WriteString("FontName", "Courier New");
        store->WriteInteger("FontSize", 11);
        store->WriteBool("AutoConvert", false);
    }
    auto store = open(); // a new object sees what the last one wrote
    EXPECT_EQ(store->ReadString(stored::FontName), "Courier New");
    EXPECT_EQ(store->ReadInteger(stored::FontSize), 11);
    EXPECT_FALSE(store->ReadBool(stored::AutoConvert));
    EXPECT_TRUE(store->ReadBool(stored::UnitSystem));
}

TEST(QtValueStore, UserStoreLivesUnderTheConfigurationHome) {
    ScratchDir dir;
    const char* previous = std::getenv("XDG_CONFIG_HOME");
    const std::string saved = previous ? previous : "";
    ::setenv("XDG_CONFIG_HOME", dir.Path().c_str(), 1);
    ExpectRoundTrip([] { return std::make_unique<QtValueStore>(); });
    const auto location = QtValueStore().Location();
    if (previous)
        ::setenv("XDG_CONFIG_HOME", saved.c_str(), 1);
    else
        ::unsetenv("XDG_CONFIG_HOME");
    EXPECT_EQ(location, dir.File("Ovrin/Meridot.conf"));
    EXPECT_TRUE(std::filesystem::exists(location));
}

// Points the store at a scratch configuration home for its lifetime.
class ConfigHome {
public:
    explicit ConfigHome(const std::string& dir) {
        const char* previous = std::getenv("XDG_CONFIG_HOME");
        had_ = previous != nullptr;
        if (had_) saved_ = previous;
        ::setenv("XDG_CONFIG_HOME", dir.c_str(), 1);
    }
    ~ConfigHome() {
        if (had_)
            ::setenv("XDG_CONFIG_HOME", saved_.c_str(), 1);
        else
            ::unsetenv("XDG_CONFIG_HOME");
    }
    ConfigHome(const ConfigHome&) = delete;
    ConfigHome& operator=(const ConfigHome&) = delete;

private:
    bool had_ = false;
    std::string saved_;
};

// A linked store is read through the link once; the link then becomes a regular file of the
// store's own, and the file it led to is never written.
TEST(QtValueStore, LinkedFileIsReadAndReplacedNeverWrittenThrough) {
    ScratchDir dir;
    ConfigHome home(dir.Name());
    std::filesystem::create_directories(dir.Path() / "Ovrin");
    std::filesystem::create_directories(dir.Path() / "elsewhere");
    const auto target = dir.File("elsewhere/Meridot.conf");
    const std::string before = "[1.0]\nFontName=Courier New\n";
    WriteBytes(target, before);
    const auto file = dir.File("Ovrin/Meridot.conf");
    std::filesystem::create_symlink(PathOf(target), PathOf(file));
    {
        QtValueStore store;
        EXPECT_FALSE(store.Problem().has_value()) << *store.Problem();
        EXPECT_EQ(store.ReadString(stored::FontName), "Courier New");
        store.WriteInteger("FontSize", 11);
    }
    EXPECT_EQ(ReadBytes(target), before);
    EXPECT_TRUE(std::filesystem::is_regular_file(std::filesystem::symlink_status(PathOf(file))));
    QtValueStore again;
    EXPECT_EQ(again.ReadString(stored::FontName), "Courier New");
    EXPECT_EQ(again.ReadInteger(stored::FontSize), 11);
}

// What cannot safely be read or replaced is left alone, without waiting on it, and said; the
// values then live for this run only.
TEST(QtValueStore, WhatCannotBeUsedSafelyIsLeftAloneAndSaid) {
    const struct Case {
        const char* name;
        std::function<void(const std::string& folder, const std::string& file)> make;
        std::string said;
        bool needsRoot = false;
    } cases[] = {
        {"FIFO", [](const std::string&, const std::string& f) { ASSERT_EQ(::mkfifo(f.c_str(), 0600), 0); },
         "Meridot.conf\" is a FIFO"},
        {"link to a FIFO",
         [](const std::string& folder, const std::string& f) {
             ASSERT_EQ(::mkfifo((folder + "/fifo").c_str(), 0600), 0);
             std::filesystem::create_symlink("fifo", PathOf(f));
         },
         "Meridot.conf\" is a FIFO"},
        {"directory",
         [](const std::string&, const std::string& f) { std::filesystem::create_directory(PathOf(f)); },
         "Meridot.conf\" is a directory"},
        {"huge file",
         [](const std::string&, const std::string& f) {
             const int fd = ::open(f.c_str(), O_WRONLY | O_CREAT, 0600);
             ASSERT_GE(fd, 0);
             EXPECT_EQ(::ftruncate(fd, static_cast<off_t>(MaxTextFileSize) + 1), 0);
             ::close(fd);
         },
         "is larger than 256 MB"},
        {"folder others may change",
         [](const std::string& folder, const std::string&) { ASSERT_EQ(::chmod(folder.c_str(), 0777), 0); },
         "other users may change the folder"},
        {"folder of another user",
         [](const std::string& folder, const std::string&) {
             ASSERT_EQ(::chown(folder.c_str(), 65534, 65534), 0);
         },
         "belongs to another user", true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        if (c.needsRoot && ::geteuid() != 0) continue; // only root can give the folder away
        ScratchDir dir;
        ConfigHome home(dir.Name());
        const auto folder = dir.File("Ovrin");
        std::filesystem::create_directory(PathOf(folder));
        const auto file = folder + "/Meridot.conf";
        c.make(folder, file);
        const auto kind = std::filesystem::symlink_status(PathOf(file)).type();

        QtValueStore store;
        ASSERT_TRUE(store.Problem().has_value());
        EXPECT_NE(store.Problem()->find(c.said), std::string::npos) << *store.Problem();
        EXPECT_NE(store.Problem()->find("kept for this run only"), std::string::npos) << *store.Problem();
        EXPECT_EQ(store.Location(), file);
        EXPECT_EQ(store.ReadString(stored::FontName), "Arial");
        store.WriteString("FontName", "Courier New");
        EXPECT_EQ(store.ReadString(stored::FontName), "Courier New");
        EXPECT_EQ(std::filesystem::symlink_status(PathOf(file)).type(), kind);
        ::chmod(folder.c_str(), 0700);
    }
}

} // namespace
