// ReplacementFile over the Windows file API: a new temporary file beside the target, flushed, then moved over it.
#include "support/replacement_file.h"

#include <fcntl.h>
#include <io.h>
#include <windows.h>

#include <cerrno>
#include <cstdint>

#include "support/last_error_windows.h"

namespace {
// The temporary file's name: the target's, then ".tmp." and a number made of
// the process id, a per-process count and the clock. CREATE_NEW never opens
// anything that exists (a file, a link, a leftover), so a name that is taken
// only means another try with the next count.
constexpr char temporaryPattern[] = "%s.tmp.%08lx%04x%08lx";
constexpr int maxNameTries = 100;

unsigned int temporaryCount = 0;

// A directory, a device or a pipe at the target is never replaced. A link or
// another reparse point is looked at itself, never followed: the move then
// replaces the link, and nothing is written through it.
bool TargetReplaceable(const char* targetPath)
{
    HANDLE existing = CreateFileA(targetPath, 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                  OPEN_EXISTING, FILE_FLAG_OPEN_REPARSE_POINT | FILE_FLAG_BACKUP_SEMANTICS, nullptr);
    if (existing == INVALID_HANDLE_VALUE) return true;
    BY_HANDLE_FILE_INFORMATION information{};
    bool disk = GetFileType(existing) == FILE_TYPE_DISK;
    bool directory = disk && GetFileInformationByHandle(existing, &information) &&
                     (information.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
    CloseHandle(existing);
    if (disk && !directory) return true;
    errno = directory ? EISDIR : EPERM;
    return false;
}

HANDLE CreateTemporary(ReplacementFile& file)
{
    for (int attempt = 0; attempt < maxNameTries; ++attempt) {
        int length = std::snprintf(file.temporaryPath, sizeof file.temporaryPath, temporaryPattern, file.targetPath,
                                   static_cast<unsigned long>(GetCurrentProcessId()), temporaryCount++ & 0xFFFFu,
                                   static_cast<unsigned long>(GetTickCount()));
        if (length < 0 || length >= replacementPathLength) {
            errno = ENAMETOOLONG;
            return INVALID_HANDLE_VALUE;
        }
        HANDLE created = CreateFileA(file.temporaryPath, GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                                     FILE_ATTRIBUTE_NORMAL | FILE_FLAG_OPEN_REPARSE_POINT, nullptr);
        if (created != INVALID_HANDLE_VALUE) return created;
        if (GetLastError() != ERROR_FILE_EXISTS && GetLastError() != ERROR_ALREADY_EXISTS) break;
    }
    SetErrnoFromLastError();
    return INVALID_HANDLE_VALUE;
}
}  // namespace

bool BeginReplacement(ReplacementFile& file, const char* targetPath)
{
    file.stream = nullptr;
    int length = std::snprintf(file.targetPath, sizeof file.targetPath, "%s", targetPath);
    if (length < 0 || length >= replacementPathLength) {
        errno = ENAMETOOLONG;
        return false;
    }
    if (!TargetReplaceable(targetPath)) return false;
    HANDLE created = CreateTemporary(file);
    if (created == INVALID_HANDLE_VALUE) return false;
    int descriptor = _open_osfhandle(reinterpret_cast<intptr_t>(created), _O_WRONLY | _O_BINARY);
    if (descriptor < 0) {
        CloseHandle(created);
        DeleteFileA(file.temporaryPath);
        errno = EMFILE;
        return false;
    }
    file.stream = _fdopen(descriptor, "wb");
    if (file.stream == nullptr) {
        int saved = errno;
        _close(descriptor);
        DeleteFileA(file.temporaryPath);
        errno = saved;
        return false;
    }
    return true;
}

bool CommitReplacement(ReplacementFile& file)
{
    if (file.stream == nullptr) return false;
    bool ok = std::fflush(file.stream) == 0 && std::ferror(file.stream) == 0;
    int saved = errno;
    auto handle = reinterpret_cast<HANDLE>(_get_osfhandle(_fileno(file.stream)));
    if (ok && !FlushFileBuffers(handle)) {
        ok = false;
        saved = SetErrnoFromLastError();
    }
    if (std::fclose(file.stream) != 0 && ok) {
        ok = false;
        saved = errno;
    }
    file.stream = nullptr;
    if (ok && !MoveFileExA(file.temporaryPath, file.targetPath, MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
        ok = false;
        saved = SetErrnoFromLastError();
    }
    if (!ok) DeleteFileA(file.temporaryPath);
    errno = saved;
    return ok;
}

void AbandonReplacement(ReplacementFile& file)
{
    if (file.stream == nullptr) return;
    std::fclose(file.stream);
    file.stream = nullptr;
    DeleteFileA(file.temporaryPath);
}
