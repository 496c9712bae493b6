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

// How an attempt to make a new name went.
enum class Outcome { Done, NameTaken, Failed };

// What a new file takes over from the file it replaces, where the platform has such things: the
// access rights (never set-user-id, set-group-id or sticky) and the owner and group.
struct Attributes {
    bool kept = false; // false: the usual rights of a new file
    unsigned mode = 0; // permission bits only
    long long owner = -1;
    long long group = -1;
};

// What a name is, without following a symbolic link.
struct Entry {
    enum class Kind { None, Regular, Link, Directory, Special, Unknown };
    Kind kind = Kind::None;
    std::string what;      // in words: "a directory", "a FIFO"; for Unknown, why it cannot be told
    Attributes attributes; // those of a regular file
};
Entry EntryAt(const std::string& path);

// A file this process has just created and is writing. Closed (without flushing) when destroyed.
class NewFile {
public:
    NewFile() = default;
    ~NewFile();
    NewFile(const NewFile&) = delete;
    NewFile& operator=(const NewFile&) = delete;

    // Creates the file for writing, readable by its owner only, never opening one that exists
    // already (NameTaken) nor following a link.
    Outcome Create(const std::string& path, std::string& reason);
    // Gives the file its final access rights (and, where allowed, owner); called before any byte
    // is written, so that private data is never readable by others even for a moment.
    Failure SetAttributes(const Attributes& attributes);
    // Writes all of the bytes, however many calls that takes.
    Failure WriteAll(const char* data, std::size_t size);
    // Returns once the data has reached the disk.
    Failure FlushToDisk();
    Failure Close();

private:
    std::intptr_t handle_ = -1;
};

// A file opened for reading, or why it was not.
struct Reading {
    std::FILE* file = nullptr;
    bool missing = false;  // nothing has the name (or a link leads nowhere)
    std::string problem;   // otherwise why not, to follow the file's name: "is a directory"
    Attributes attributes; // of the file opened, taken from the open file itself
};
// Opens a regular file of at most maxSize bytes for binary reading. Anything else in its place (a
// directory, a FIFO, a device) is refused without waiting on it. With followLink false a symbolic
// link is refused too.
Reading OpenForReading(const std::string& path, std::uint64_t maxSize, bool followLink = true);

// Puts `temporary` in the place of `target` in one step: a reader sees the old file or the new one,
// never a mix and never none. A link at `target` is replaced, never followed.
Failure ReplaceWith(const std::string& temporary, const std::string& target);

// Makes a replacement in the file's directory durable; a failure here loses nothing already safe.
void FlushDirectoryOf(const std::string& fileName);

void RemoveFile(const std::string& path);

long ProcessId();
// Whether a process with this id is still running (a save of it may be in progress).
bool ProcessIsRunning(long pid);

// Whether anything (a file, a directory, a dangling link) has this name.
bool FileExists(const std::string& path);
// Gives `existing` a second name without reading it (a link stays a link).
Outcome LinkFile(const std::string& existing, const std::string& newName, std::string& reason);
// Makes `newName` a symbolic link to where the link `existing` leads.
Outcome CopyLink(const std::string& existing, const std::string& newName, std::string& reason);
// The names (not paths) in a directory; empty when it cannot be listed.
std::vector<std::string> FileNamesIn(const std::string& dir);

// A size limit in words: "256 MB".
inline std::string SizeWords(std::uint64_t bytes) {
    return bytes % (1u << 20) == 0 ? std::to_string(bytes >> 20) + " MB" : std::to_string(bytes) + " bytes";
}

#ifdef _WIN32
inline constexpr const char* PathSeparators = "/\\";
#else
inline constexpr const char* PathSeparators = "/";
#endif

} // namespace safefile
