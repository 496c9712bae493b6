// What the text-file reader and the atomic writer need from the operating system. SafeFilePosix.cpp
// and SafeFileWin.cpp each supply all of it; SafeFile.cpp holds the logic common to both.
// File names are UTF-8 on every platform.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <optional>
#include <string>
#include <vector>

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
    // Gives the new file the access rights (and, where the platform allows it, the owner) of the
    // regular file `target` it is about to replace, so that a private file stays private. Nothing
    // to do when there is no such file.
    Failure KeepAttributesOf(const std::string& target);

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
// Whether a process with this id is still running (a save of it may be in progress).
bool ProcessIsRunning(long pid);

// Whether anything (a file, a directory, a dangling link) has this name.
bool FileExists(const std::string& path);
// Gives `existing` a second name without reading it; a failure when the file system cannot.
Failure LinkFile(const std::string& existing, const std::string& newName);
// The names (not paths) in a directory; empty when it cannot be listed.
std::vector<std::string> FileNamesIn(const std::string& dir);

#ifdef _WIN32
inline constexpr const char* PathSeparators = "/\\";
#else
inline constexpr const char* PathSeparators = "/";
#endif

// Opens an existing file for binary reading; nullptr when it cannot be opened.
std::FILE* OpenForReading(const std::string& path);

} // namespace safefile
