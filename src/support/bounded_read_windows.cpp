// ReadBoundedFile over the Windows file API: one CreateFileA, the size from GetFileSizeEx, reads that stop past the cap.
#include "support/bounded_read.h"

#include <windows.h>

#include <algorithm>
#include <cerrno>
#include <cstring>

#include "support/last_error_windows.h"

namespace {
constexpr DWORD readChunk = 64 * 1024;

bool Fail(std::string& error, const char* path, const char* reason)
{
    error = std::string(path) + ": " + reason;
    return false;
}

bool FailWithLastError(std::string& error, const char* path)
{
    return Fail(error, path, std::strerror(SetErrnoFromLastError()));
}
}  // namespace

bool ReadBoundedFile(const char* path, std::string& bytes, std::string& error)
{
    bytes.clear();
    DWORD attributes = GetFileAttributesA(path);
    if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0) {
        return Fail(error, path, "is a directory");
    }
    HANDLE file = CreateFileA(path, GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                              OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return FailWithLastError(error, path);
    LARGE_INTEGER size{};
    if (GetFileType(file) == FILE_TYPE_DISK && GetFileSizeEx(file, &size) && size.QuadPart > maxInputFileBytes) {
        CloseHandle(file);
        return Fail(error, path, "too large");
    }
    // A pipe or a device has no size to ask: it is read up to one byte past the cap.
    const auto cap = static_cast<size_t>(maxInputFileBytes);
    for (;;) {
        size_t used = bytes.size();
        auto room = static_cast<DWORD>(std::min<size_t>(readChunk, cap + 1 - used));
        bytes.resize(used + room);
        DWORD got = 0;
        if (!ReadFile(file, bytes.data() + used, room, &got, nullptr)) {
            // The writer of a pipe closing its end is the pipe's end of file.
            if (GetLastError() == ERROR_BROKEN_PIPE) {
                bytes.resize(used);
                break;
            }
            bool failed = FailWithLastError(error, path);
            CloseHandle(file);
            bytes.clear();
            return failed;
        }
        bytes.resize(used + got);
        if (got == 0) break;
        if (bytes.size() > cap) {
            CloseHandle(file);
            bytes.clear();
            return Fail(error, path, "too large");
        }
    }
    CloseHandle(file);
    return true;
}
