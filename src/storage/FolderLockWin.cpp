// The folder lock and file stamps on Windows: LockFileEx on the lock file, which Windows releases
// when the holding process ends.
#include "storage/FolderLock.h"
#include "storage/FolderLockPlatform.h"

#include "storage/WinText.h"

#include <windows.h>

namespace folderlock {

std::string PathIn(const std::string& folder, const char* name) {
    return (folder.empty() ? std::string(".") : folder) + "\\" + name;
}

std::intptr_t OpenLockFile(const std::string& path, std::string& reason) {
    HANDLE file = ::CreateFileW(wintext::WidePath(path).c_str(), GENERIC_READ | GENERIC_WRITE,
                                FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, OPEN_ALWAYS,
                                FILE_ATTRIBUTE_NORMAL | FILE_FLAG_OPEN_REPARSE_POINT, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        reason = wintext::ErrorText(::GetLastError());
        return -1;
    }
    return reinterpret_cast<std::intptr_t>(file);
}

Try TryLock(std::intptr_t handle, std::string& reason) {
    OVERLAPPED at{};
    if (::LockFileEx(reinterpret_cast<HANDLE>(handle), LOCKFILE_EXCLUSIVE_LOCK | LOCKFILE_FAIL_IMMEDIATELY, 0,
                     1, 0, &at))
        return Try::Locked;
    const DWORD error = ::GetLastError();
    if (error == ERROR_LOCK_VIOLATION || error == ERROR_IO_PENDING) return Try::Busy;
    reason = wintext::ErrorText(error);
    return Try::Failed;
}

void CloseLockFile(std::intptr_t handle) {
    ::CloseHandle(reinterpret_cast<HANDLE>(handle));
}

} // namespace folderlock

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
