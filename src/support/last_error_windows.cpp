// SetErrnoFromLastError: the few Windows error codes a file call gives, mapped to their errno meaning.
#include "support/last_error_windows.h"

#include <windows.h>

#include <cerrno>

int SetErrnoFromLastError()
{
    DWORD code = GetLastError();
    int value = EIO;
    switch (code) {
    case ERROR_FILE_NOT_FOUND:
    case ERROR_PATH_NOT_FOUND:
    case ERROR_INVALID_DRIVE:
    case ERROR_BAD_NETPATH:
        value = ENOENT;
        break;
    case ERROR_ACCESS_DENIED:
    case ERROR_SHARING_VIOLATION:
    case ERROR_LOCK_VIOLATION:
    case ERROR_WRITE_PROTECT:
        value = EACCES;
        break;
    case ERROR_FILE_EXISTS:
    case ERROR_ALREADY_EXISTS:
        value = EEXIST;
        break;
    case ERROR_DISK_FULL:
    case ERROR_HANDLE_DISK_FULL:
        value = ENOSPC;
        break;
    case ERROR_FILENAME_EXCED_RANGE:
    case ERROR_BUFFER_OVERFLOW:
        value = ENAMETOOLONG;
        break;
    case ERROR_DIRECTORY:
        value = ENOTDIR;
        break;
    case ERROR_NOT_ENOUGH_MEMORY:
    case ERROR_OUTOFMEMORY:
        value = ENOMEM;
        break;
    case ERROR_INVALID_NAME:
    case ERROR_INVALID_PARAMETER:
        value = EINVAL;
        break;
    default:
        break;
    }
    errno = value;
    return value;
}
