// What the file primitives must do on Windows: wide-character names, attributes kept across a
// replacement, and files that cannot be replaced left as they were.
#include "storage/SafeFile.h"
#include "storage/WinText.h"
#include "support/file_scratch.h"

#include <gtest/gtest.h>

#include "support/win32.h"

namespace {

using Lines = std::vector<std::string>;

DWORD Attributes(const std::string& file) {
    return ::GetFileAttributesW(wintext::WidePath(file).c_str());
}

// The program names its files bare, in the current directory; a name that is not valid UTF-8 is
// taken as text in the ANSI code page.
TEST(SafeFileWindows, NamesInUtf8AndInTheAnsiCodePage) {
    ScratchDir dir;
    const auto old = std::filesystem::current_path();
    std::filesystem::current_path(dir.Path());
    const struct {
        std::string name;      // as the program passes it
        const wchar_t* onDisk; // the name the file must get
    } cases[] = {
        {"St\xC3\xA4"
         "ck \xCE\xA9 \xE8\xA9\xA6.dat",
         L"St\u00E4ck \u03A9 \u8A66.dat"},
        {dir.Name() + "\\\xCE\xA9.dat", L"\u03A9.dat"}, // a whole path in UTF-8
        {"caf\xE9.dat", L"caf\u00E9.dat"},              // Windows-1252 text
    };
    for (const auto& c : cases) {
        if (c.name.find('\xE9') != std::string::npos && ::GetACP() != 1252) continue;
        const auto failure = WriteTextLines(c.name, {"12 ft", "\xC2\xB5m"});
        EXPECT_FALSE(failure.has_value()) << *failure;
        EXPECT_TRUE(std::filesystem::exists(dir.Path() / c.onDisk)) << c.name;
        EXPECT_EQ(ReadTextLines(c.name), (Lines{"12 ft", "\xC2\xB5m"})) << c.name;
        std::filesystem::remove(dir.Path() / c.onDisk);
    }
    std::filesystem::current_path(old);
    EXPECT_EQ(EntryCount(dir.Path()), 0);
}

TEST(SafeFileWindows, ReplacementKeepsTheOldFilesAttributes) {
    ScratchDir dir;
    const auto file = dir.File("Meridot.ini");
    ASSERT_FALSE(WriteTextLines(file, {"old"}).has_value());
    ASSERT_TRUE(::SetFileAttributesW(wintext::WidePath(file).c_str(), FILE_ATTRIBUTE_HIDDEN));

    ASSERT_FALSE(WriteTextLines(file, {"new"}).has_value());
    EXPECT_EQ(ReadBytes(file), "new\r\n");
    EXPECT_TRUE(Attributes(file) & FILE_ATTRIBUTE_HIDDEN);
    EXPECT_EQ(EntryCount(dir.Path()), 1);
}

// Each way the replacement can be refused must leave the old file and no temporary file behind.
TEST(SafeFileWindows, RefusedReplacementKeepsTheOldFile) {
    const struct {
        const char* name;
        bool readOnly;
        DWORD holderShare; // another program holds the file open with this sharing; ~0 for none
    } cases[] = {
        {"read-only file", true, ~DWORD{0}},
        {"held open without delete sharing", false, FILE_SHARE_READ | FILE_SHARE_WRITE},
    };
    for (const auto& c : cases) {
        ScratchDir dir;
        const auto file = dir.File("SaveStck.dat");
        WriteBytes(file, "1 m\r\n");
        const auto wide = wintext::WidePath(file);
        if (c.readOnly) {
            ASSERT_TRUE(::SetFileAttributesW(wide.c_str(), FILE_ATTRIBUTE_READONLY));
        }
        HANDLE holder = INVALID_HANDLE_VALUE;
        if (c.holderShare != ~DWORD{0}) {
            holder = ::CreateFileW(wide.c_str(), GENERIC_READ, c.holderShare, nullptr, OPEN_EXISTING,
                                   FILE_ATTRIBUTE_NORMAL, nullptr);
            ASSERT_NE(holder, INVALID_HANDLE_VALUE) << c.name;
        }

        const auto failure = WriteTextLines(file, {"2 m"});
        if (holder != INVALID_HANDLE_VALUE) ::CloseHandle(holder);
        ASSERT_TRUE(failure.has_value()) << c.name;
        EXPECT_NE(failure->find("SaveStck.dat\": "), std::string::npos) << *failure;
        EXPECT_EQ(failure->find(".."), std::string::npos)
            << *failure; // the system text's own full stop is dropped
        EXPECT_EQ(ReadBytes(file), "1 m\r\n") << c.name;
        EXPECT_EQ(EntryCount(dir.Path()), 1) << c.name;
        ::SetFileAttributesW(wide.c_str(), FILE_ATTRIBUTE_NORMAL);
    }
}

TEST(SafeFileWindows, MissingDirectoryIsReportedWithTheSystemsReason) {
    ScratchDir dir;
    const auto failure = WriteTextLines(dir.File("absent\\SaveRegs.dat"), {"1 m"});
    ASSERT_TRUE(failure.has_value());
    const auto reason = wintext::ErrorText(ERROR_PATH_NOT_FOUND);
    EXPECT_NE(failure->find("SaveRegs.dat\": " + reason + ". Any earlier"), std::string::npos) << *failure;
    EXPECT_EQ(EntryCount(dir.Path()), 0);
}

TEST(SafeFileWindows, SystemErrorTexts) {
    const auto denied = wintext::ErrorText(ERROR_ACCESS_DENIED);
    EXPECT_FALSE(denied.empty());
    EXPECT_NE(denied.back(), '.');
    EXPECT_NE(denied.back(), '\n');
    EXPECT_EQ(wintext::ErrorText(0x2FFFFFFF), "system error 805306367");
}

} // namespace
