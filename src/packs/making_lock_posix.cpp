// The maker's lock on POSIX: an advisory flock, released by the kernel when its process ends.
#include "packs/making_lock.h"

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

bool HoldMakingLock(const std::string& path, MakingLock& lock)
{
    int fd = open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0600);
    if (fd < 0) return false;
    if (flock(fd, LOCK_EX | LOCK_NB) != 0) {
        close(fd);
        return false;
    }
    lock.handle = fd;
    return true;
}

void ReleaseMakingLock(MakingLock& lock)
{
    if (lock.handle < 0) return;
    close(static_cast<int>(lock.handle));  // closing drops the lock
    lock.handle = -1;
}

bool MakingLockHeld(const std::string& path)
{
    // Non-blocking: a FIFO someone put there is never waited on.
    int fd = open(path.c_str(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) return false;
    bool held = flock(fd, LOCK_EX | LOCK_NB) != 0;
    close(fd);
    return held;
}
