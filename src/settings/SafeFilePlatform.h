// What the text-file reader and the atomic writer need from the operating system. SafeFilePosix.cpp
// and SafeFileWin.cpp each supply all of it; SafeFile.cpp holds the logic common to both.
// File names are UTF-8 on every platform.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <optional>
#include <string>

namespace safefile {

// Why an operation failed, in words for the user's message; nothing on success.
using Failure = std::optional<std::string>;

// A file this process has just created and is writing. Closed (without flushing) when destroyed.
class NewFile {
public:
    enum class Outcome { Created, NameTaken, Failed };

    NewFile() = default;
    ~NewFile();
    NewFile(const NewFile&) = delete;
    NewFile& operator=(const NewFile&) = delete;

    // Creates the file for writing, never opening one that exists already (NameTaken).
    Outcome Create(const std::string& path, std::string& reason);
    // Writes all of the bytes, however many calls that takes.
    Failure WriteAll(const char* data, std::size_t size);
    // Returns once the data has reached the disk.
    Failure FlushToDisk();
    Failure Close();

private:
    std::intptr_t handle_ = -1;
};

// Puts `temporary` in the place of `target` in one step: a reader sees the old file or the new one,
// never a mix and never none.
Failure ReplaceWith(const std::string& temporary, const std::string& target);

// Makes a replacement in the file's directory durable; a failure here loses nothing already safe.
void FlushDirectoryOf(const std::string& fileName);

void RemoveFile(const std::string& path);

long ProcessId();

// Opens an existing file for binary reading; nullptr when it cannot be opened.
std::FILE* OpenForReading(const std::string& path);

} // namespace safefile
