// OpenUserOutput over the Windows file API: "-" and devices written in place, files replaced whole at the named path.
#include "support/user_output.h"

#include <fcntl.h>
#include <io.h>
#include <windows.h>

#include <cerrno>
#include <cstdint>
#include <cstring>

#include "support/last_error_windows.h"

namespace {
constexpr DWORD shareAll = FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE;

// Bytes go out as they are: no stream here turns "\n" into "\r\n".
bool OpenStream(UserOutput& output, int descriptor)
{
    _setmode(descriptor, _O_BINARY);
    output.stream = _fdopen(descriptor, "wb");
    if (output.stream == nullptr) {
        int saved = errno;
        _close(descriptor);
        errno = saved;
        return false;
    }
    output.streaming = true;
    return true;
}

bool OpenStandardOutput(UserOutput& output)
{
    std::fflush(stdout);
    int descriptor = _dup(_fileno(stdout));
    return descriptor >= 0 && OpenStream(output, descriptor);
}

enum class PathKind { FileOrMissing, Directory, Device };

// What the path names, looked at without opening it for anything.
PathKind ClassifyPath(const char* path)
{
    HANDLE existing = CreateFileA(path, 0, shareAll, nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
    if (existing == INVALID_HANDLE_VALUE) return PathKind::FileOrMissing;
    PathKind kind = PathKind::Device;
    if (GetFileType(existing) == FILE_TYPE_DISK) {
        BY_HANDLE_FILE_INFORMATION information{};
        bool directory = GetFileInformationByHandle(existing, &information) &&
                         (information.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
        kind = directory ? PathKind::Directory : PathKind::FileOrMissing;
    }
    CloseHandle(existing);
    return kind;
}

// A device (NUL, CON) or a pipe is written where it stands, never replaced.
bool OpenDevice(UserOutput& output, const char* path)
{
    HANDLE device = CreateFileA(path, GENERIC_WRITE, shareAll, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (device == INVALID_HANDLE_VALUE) {
        SetErrnoFromLastError();
        return false;
    }
    int descriptor = _open_osfhandle(reinterpret_cast<intptr_t>(device), _O_WRONLY | _O_BINARY);
    if (descriptor < 0) {
        CloseHandle(device);
        errno = EMFILE;
        return false;
    }
    return OpenStream(output, descriptor);
}
}  // namespace

bool OpenUserOutput(UserOutput& output, const char* path)
{
    output = {};
    if (std::strcmp(path, "-") == 0) return OpenStandardOutput(output);
    switch (ClassifyPath(path)) {
    case PathKind::Directory:
        errno = EISDIR;
        return false;
    case PathKind::Device:
        return OpenDevice(output, path);
    case PathKind::FileOrMissing:
        break;
    }
    if (!BeginReplacement(output.replacement, path)) return false;
    output.stream = output.replacement.stream;
    return true;
}
