// The platform primitives of SafeFile on Windows, on the wide-character Win32 API so that names
// with any characters work: a name is taken as UTF-8, or in the ANSI code page when it is not
// valid UTF-8.
#include "storage/SafeFilePlatform.h"
#include "storage/WinText.h"

#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>

#include <fcntl.h>
#include <io.h>

#include <algorithm>

namespace safefile {

namespace {

HANDLE Handle(std::intptr_t handle) {
    return reinterpret_cast<HANDLE>(handle);
}

// Attributes a replacement file takes over from the file it replaces. Read-only is not among them:
// a read-only file is not replaced at all.
constexpr DWORD KeptAttributes = FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM | FILE_ATTRIBUTE_ARCHIVE |
                                 FILE_ATTRIBUTE_NOT_CONTENT_INDEXED;

bool Missing(DWORD error) {
    return error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND;
}

} // namespace

Entry EntryAt(const std::string& path) {
    Entry entry;
    const DWORD attributes = ::GetFileAttributesW(wintext::WidePath(path).c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES) {
        const DWORD error = ::GetLastError();
        if (!Missing(error)) {
            entry.kind = Entry::Kind::Unknown;
            entry.what = wintext::ErrorText(error);
        }
    } else if (attributes & FILE_ATTRIBUTE_REPARSE_POINT) {
        entry.kind = Entry::Kind::Link;
        entry.what = "a link";
    } else if (attributes & FILE_ATTRIBUTE_DIRECTORY) {
        entry.kind = Entry::Kind::Directory;
        entry.what = "a directory";
    } else if (attributes & FILE_ATTRIBUTE_DEVICE) {
        entry.kind = Entry::Kind::Special;
        entry.what = "a device";
    } else {
        entry.kind = Entry::Kind::Regular;
        entry.what = "a regular file";
    }
    return entry;
}

NewFile::~NewFile() {
    if (handle_ != -1) ::CloseHandle(Handle(handle_));
}

Outcome NewFile::Create(const std::string& path, std::string& reason) {
    const HANDLE h = ::CreateFileW(wintext::WidePath(path).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                                   FILE_ATTRIBUTE_NORMAL, nullptr);
    if (h != INVALID_HANDLE_VALUE) {
        handle_ = reinterpret_cast<std::intptr_t>(h);
        return Outcome::Done;
    }
    const DWORD error = ::GetLastError();
    reason = wintext::ErrorText(error);
    return error == ERROR_FILE_EXISTS || error == ERROR_ALREADY_EXISTS ? Outcome::NameTaken : Outcome::Failed;
}

Failure NewFile::WriteAll(const char* data, std::size_t size) {
    while (size > 0) {
        const DWORD chunk = static_cast<DWORD>(std::min<std::size_t>(size, 1u << 30));
        DWORD written = 0;
        if (!::WriteFile(Handle(handle_), data, chunk, &written, nullptr))
            return wintext::ErrorText(::GetLastError());
        if (written == 0) return wintext::ErrorText(ERROR_DISK_FULL);
        data += written;
        size -= written;
    }
    return std::nullopt;
}

Failure NewFile::FlushToDisk() {
    if (!::FlushFileBuffers(Handle(handle_))) return wintext::ErrorText(::GetLastError());
    return std::nullopt;
}

Failure NewFile::SetAttributes(const Attributes&) {
    // A new file takes its access rights from its folder; ReplaceWith carries the attributes
    // Windows has over to the new file.
    return std::nullopt;
}

Failure NewFile::Close() {
    const HANDLE h = Handle(handle_);
    handle_ = -1;
    if (!::CloseHandle(h)) return wintext::ErrorText(::GetLastError());
    return std::nullopt;
}

Failure ReplaceWith(const std::string& temporary, const std::string& target) {
    const auto from = wintext::WidePath(temporary);
    const auto to = wintext::WidePath(target);
    const DWORD old = ::GetFileAttributesW(to.c_str());
    if (old != INVALID_FILE_ATTRIBUTES) {
        if (old & FILE_ATTRIBUTE_READONLY) return wintext::ErrorText(ERROR_ACCESS_DENIED);
        if (old & KeptAttributes) ::SetFileAttributesW(from.c_str(), old & KeptAttributes);
    }
    // Write-through: the call returns once the new name is on the disk, so no directory flush is needed.
    if (!::MoveFileExW(from.c_str(), to.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH))
        return wintext::ErrorText(::GetLastError());
    return std::nullopt;
}

void FlushDirectoryOf(const std::string&) {}

void RemoveFile(const std::string& path) {
    ::DeleteFileW(wintext::WidePath(path).c_str());
}

long ProcessId() {
    return static_cast<long>(::GetCurrentProcessId());
}

bool ProcessIsRunning(long pid) {
    if (pid <= 0) return false;
    const HANDLE process = ::OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, static_cast<DWORD>(pid));
    if (!process) return ::GetLastError() == ERROR_ACCESS_DENIED; // exists, but is not ours to ask
    DWORD code = 0;
    const bool running = ::GetExitCodeProcess(process, &code) && code == STILL_ACTIVE;
    ::CloseHandle(process);
    return running;
}

bool FileExists(const std::string& path) {
    return ::GetFileAttributesW(wintext::WidePath(path).c_str()) != INVALID_FILE_ATTRIBUTES;
}

Outcome LinkFile(const std::string& existing, const std::string& newName, std::string& reason) {
    if (::CreateHardLinkW(wintext::WidePath(newName).c_str(), wintext::WidePath(existing).c_str(), nullptr))
        return Outcome::Done;
    const DWORD error = ::GetLastError();
    reason = wintext::ErrorText(error);
    return error == ERROR_ALREADY_EXISTS || error == ERROR_FILE_EXISTS ? Outcome::NameTaken : Outcome::Failed;
}

Outcome CopyLink(const std::string&, const std::string&, std::string& reason) {
    // Making links takes a privilege most users lack; a link is not copied here.
    reason = "it is a link";
    return Outcome::Failed;
}

std::vector<std::string> FileNamesIn(const std::string& dir) {
    std::vector<std::string> names;
    std::string pattern = dir.empty() ? std::string(".") : dir;
    if (pattern.back() != '/' && pattern.back() != '\\') pattern += '\\';
    pattern += '*';
    WIN32_FIND_DATAW found;
    const HANDLE search = ::FindFirstFileW(wintext::WidePath(pattern).c_str(), &found);
    if (search == INVALID_HANDLE_VALUE) return names;
    do {
        names.push_back(wintext::Utf8(found.cFileName));
    } while (::FindNextFileW(search, &found));
    ::FindClose(search);
    return names;
}

Reading OpenForReading(const std::string& path, std::uint64_t maxSize, bool followLink) {
    Reading r;
    const auto refuse = [&r](const std::string& problem) {
        r.problem = problem;
        return r;
    };
    const auto wide = wintext::WidePath(path);
    const Entry there = EntryAt(path);
    if (there.kind == Entry::Kind::None) {
        r.missing = true;
        return refuse("does not exist");
    }
    if (there.kind == Entry::Kind::Unknown) return refuse("cannot be read (" + there.what + ")");
    if (there.kind == Entry::Kind::Directory || there.kind == Entry::Kind::Special ||
        (there.kind == Entry::Kind::Link && !followLink))
        return refuse("is " + there.what);
    const HANDLE h = ::CreateFileW(
        wide.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
        OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL | (followLink ? 0 : FILE_FLAG_OPEN_REPARSE_POINT), nullptr);
    if (h == INVALID_HANDLE_VALUE) {
        const DWORD error = ::GetLastError();
        r.missing = Missing(error);
        return refuse("cannot be read (" + wintext::ErrorText(error) + ")");
    }
    // Only a file on a disk: not a console, a pipe or another device reached through a link.
    LARGE_INTEGER size{};
    if (::GetFileType(h) != FILE_TYPE_DISK || !::GetFileSizeEx(h, &size)) {
        ::CloseHandle(h);
        return refuse("is not a regular file");
    }
    if (static_cast<std::uint64_t>(size.QuadPart) > maxSize) {
        ::CloseHandle(h);
        return refuse("is larger than " + SizeWords(maxSize));
    }
    const int fd = ::_open_osfhandle(reinterpret_cast<std::intptr_t>(h), _O_RDONLY | _O_BINARY);
    if (fd < 0) {
        ::CloseHandle(h);
        return refuse("cannot be read");
    }
    r.file = ::_fdopen(fd, "rb");
    if (!r.file) {
        ::_close(fd);
        return refuse("cannot be read");
    }
    return r;
}

} // namespace safefile
