// The folder lock: one holder at a time, a bounded wait, and nothing planted at the lock's name
// can block it or redirect it.
#include "storage/FolderLock.h"

#include "support/file_scratch.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>

namespace {

using State = FolderLock::State;
using namespace std::chrono_literals;

TEST(FolderLock, OneHolderAtATime) {
    ScratchDir dir;
    FolderLock first, second;
    ASSERT_EQ(first.Acquire(dir.Name()), State::Held);
    EXPECT_EQ(first.Acquire(dir.Name()), State::Held); // held already
    const auto start = std::chrono::steady_clock::now();
    EXPECT_EQ(second.Acquire(dir.Name(), 300ms), State::HeldElsewhere);
    EXPECT_GE(std::chrono::steady_clock::now() - start, 300ms);
    EXPECT_FALSE(second.Held());
    first.Release();
    EXPECT_EQ(second.Acquire(dir.Name()), State::Held);
    EXPECT_TRUE(std::filesystem::is_regular_file(dir.Path() / FolderLockFileName));
}

TEST(FolderLock, WhatIsPlantedAtItsNameIsNotFollowed) {
    ScratchDir dir;
    const std::string lockName = dir.File(FolderLockFileName);
    const std::string target = dir.File("target");
    struct Case {
        const char* name;
        std::function<void()> plant;
    };
    const Case cases[] = {
        {"symlink", [&] { std::filesystem::create_symlink(PathOf(target), PathOf(lockName)); }},
        {"dangling_symlink",
         [&] { std::filesystem::create_symlink(PathOf(dir.File("none")), PathOf(lockName)); }},
        {"fifo", [&] { ASSERT_EQ(::mkfifo(lockName.c_str(), 0600), 0); }},
        {"directory", [&] { std::filesystem::create_directory(PathOf(lockName)); }},
    };
    for (const auto& c : cases) {
        WriteBytes(target, "mine");
        c.plant();
        FolderLock lock;
        const auto start = std::chrono::steady_clock::now();
        EXPECT_EQ(lock.Acquire(dir.Name()), State::Unavailable) << c.name;
        EXPECT_LT(std::chrono::steady_clock::now() - start, 2s) << c.name; // a FIFO does not block
        EXPECT_FALSE(lock.Reason().empty()) << c.name;
        EXPECT_EQ(ReadBytes(target), "mine") << c.name;
        EXPECT_FALSE(std::filesystem::exists(PathOf(dir.File("none")))) << c.name;
        std::filesystem::remove(PathOf(lockName));
    }
    FolderLock missing;
    EXPECT_EQ(missing.Acquire(dir.File("no such folder")), State::Unavailable);
}

} // namespace
