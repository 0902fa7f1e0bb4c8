// The maker's lock on Windows: the file kept open with no sharing, which the system closes when its process ends.
#include "packs/making_lock.h"

#include <windows.h>

bool HoldMakingLock(const std::string& path, MakingLock& lock)
{
    HANDLE file = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return false;
    lock.handle = reinterpret_cast<intptr_t>(file);
    return true;
}

void ReleaseMakingLock(MakingLock& lock)
{
    if (lock.handle == -1) return;
    CloseHandle(reinterpret_cast<HANDLE>(lock.handle));
    lock.handle = -1;
}

bool MakingLockHeld(const std::string& path)
{
    HANDLE file = CreateFileA(path.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING,
                              FILE_ATTRIBUTE_NORMAL | FILE_FLAG_OPEN_REPARSE_POINT, nullptr);
    if (file == INVALID_HANDLE_VALUE) return GetLastError() == ERROR_SHARING_VIOLATION;
    CloseHandle(file);
    return false;
}
