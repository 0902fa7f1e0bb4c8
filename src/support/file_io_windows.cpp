// File reads over the Windows file API: CreateFileA and GetFileSize, regular files only, never waiting on a pipe.
#include "support/file_io.h"

#include <windows.h>

namespace {
// Other programs may hold the file open, even to write or rename it: the read
// still takes what is there, as a read on Linux does.
constexpr DWORD shareAll = FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE;

// A file on a disk, not a directory, a pipe, a console or another device.
bool IsRegularFile(HANDLE file)
{
    BY_HANDLE_FILE_INFORMATION information{};
    return GetFileType(file) == FILE_TYPE_DISK && GetFileInformationByHandle(file, &information) &&
           (information.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) == 0;
}
}  // namespace

int32_t ReadFileBytes(const char* name, void* buffer, int32_t count)
{
    // Opening a pipe never waits for its other end; a pipe or device is then refused unread.
    HANDLE file = CreateFileA(name, GENERIC_READ, shareAll, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return 0;
    if (!IsRegularFile(file)) {
        CloseHandle(file);
        return 0;
    }
    auto* bytes = static_cast<char*>(buffer);
    int32_t delivered = 0;
    while (delivered < count) {
        DWORD got = 0;
        if (!ReadFile(file, bytes + delivered, static_cast<DWORD>(count - delivered), &got, nullptr) || got == 0) break;
        delivered += static_cast<int32_t>(got);
    }
    CloseHandle(file);
    return delivered;
}

FileStatus QueryFileStatus(const char* name)
{
    // Access 0 asks for neither reading nor writing: the size query alone. Backup
    // semantics let a directory open too, so that it is told apart from a missing file.
    HANDLE file = CreateFileA(name, 0, shareAll, nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        DWORD error = GetLastError();
        bool missing = error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND || error == ERROR_INVALID_NAME;
        return {missing ? FileKind::Missing : FileKind::Unreadable, 0};
    }
    if (!IsRegularFile(file)) {
        CloseHandle(file);
        return {FileKind::NotRegular, 0};
    }
    DWORD high = 0;
    DWORD low = GetFileSize(file, &high);
    bool failed = low == INVALID_FILE_SIZE && GetLastError() != NO_ERROR;
    CloseHandle(file);
    if (failed) return {FileKind::Unreadable, 0};
    return {FileKind::Regular, static_cast<int64_t>((static_cast<uint64_t>(high) << 32) | low)};
}
