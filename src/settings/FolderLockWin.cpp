// The folder lock and file stamps on Windows: LockFileEx on the lock file, which Windows releases
// when the holding process ends.
#include "settings/FolderLock.h"

#include "settings/WinText.h"

#include <thread>

#include <windows.h>

FolderLock::State FolderLock::Acquire(const std::string& folder, std::chrono::milliseconds wait) {
    if (Held()) return State::Held;
    reason_.clear();
    const std::string path = (folder.empty() ? std::string(".") : folder) + "\\" + FolderLockFileName;
    HANDLE file = ::CreateFileW(wintext::WidePath(path).c_str(), GENERIC_READ | GENERIC_WRITE,
                                FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, OPEN_ALWAYS,
                                FILE_ATTRIBUTE_NORMAL | FILE_FLAG_OPEN_REPARSE_POINT, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        reason_ = wintext::ErrorText(::GetLastError());
        return State::Unavailable;
    }
    const auto until = std::chrono::steady_clock::now() + wait;
    for (;;) {
        OVERLAPPED at{};
        if (::LockFileEx(file, LOCKFILE_EXCLUSIVE_LOCK | LOCKFILE_FAIL_IMMEDIATELY, 0, 1, 0, &at)) {
            handle_ = reinterpret_cast<std::intptr_t>(file);
            return State::Held;
        }
        const DWORD error = ::GetLastError();
        if (error != ERROR_LOCK_VIOLATION && error != ERROR_IO_PENDING) {
            ::CloseHandle(file);
            reason_ = wintext::ErrorText(error);
            return State::Unavailable;
        }
        if (std::chrono::steady_clock::now() >= until) break;
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    ::CloseHandle(file);
    return State::HeldElsewhere;
}

void FolderLock::Release() {
    if (!Held()) return;
    ::CloseHandle(reinterpret_cast<HANDLE>(handle_)); // the lock goes with the handle
    handle_ = -1;
}

FileStamp StampOf(const std::string& path) {
    FileStamp s;
    HANDLE file = ::CreateFileW(wintext::WidePath(path).c_str(), FILE_READ_ATTRIBUTES,
                                FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
    if (file == INVALID_HANDLE_VALUE) return s;
    BY_HANDLE_FILE_INFORMATION info{};
    if (::GetFileInformationByHandle(file, &info)) {
        s.exists = true;
        s.volume = info.dwVolumeSerialNumber;
        s.index = (static_cast<std::uint64_t>(info.nFileIndexHigh) << 32) | info.nFileIndexLow;
        s.size = (static_cast<std::uint64_t>(info.nFileSizeHigh) << 32) | info.nFileSizeLow;
        s.modified = static_cast<std::int64_t>(
            (static_cast<std::uint64_t>(info.ftLastWriteTime.dwHighDateTime) << 32) |
            info.ftLastWriteTime.dwLowDateTime);
        s.changed =
            static_cast<std::int64_t>((static_cast<std::uint64_t>(info.ftCreationTime.dwHighDateTime) << 32) |
                                      info.ftCreationTime.dwLowDateTime);
    }
    ::CloseHandle(file);
    return s;
}
