// ReplacementFile over POSIX: a uniquely named temporary file beside the target, renamed over it once complete.
#include "support/replacement_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>

namespace {
// mkstemp fills in the six X's with a name that did not exist, creating the
// file with O_CREAT | O_EXCL: a planted link or leftover of that name is never
// opened, and two writers never share a temporary file.
constexpr char temporaryPattern[] = "%s.tmp.XXXXXX";
constexpr mode_t createdMode = 0666;

// mkstemp makes its file readable by the owner only; give it the mode that
// creating the target directly would have given (0666 less the umask).
void ApplyUsualMode(int descriptor)
{
    mode_t mask = umask(0);
    umask(mask);
    fchmod(descriptor, createdMode & ~mask);
}
}  // namespace

bool BeginReplacement(ReplacementFile& file, const char* targetPath)
{
    file.stream = nullptr;
    int length = std::snprintf(file.targetPath, sizeof file.targetPath, "%s", targetPath);
    int temporaryLength = std::snprintf(file.temporaryPath, sizeof file.temporaryPath, temporaryPattern, targetPath);
    if (length < 0 || length >= replacementPathLength || temporaryLength < 0 ||
        temporaryLength >= replacementPathLength) {
        errno = ENAMETOOLONG;
        return false;
    }
    // A device, a FIFO or a directory at the target is never replaced: renaming
    // over a device node would destroy it. A link is replaced, never followed.
    struct stat existing {};
    if (lstat(targetPath, &existing) == 0 && !S_ISREG(existing.st_mode) && !S_ISLNK(existing.st_mode)) {
        errno = S_ISDIR(existing.st_mode) ? EISDIR : EPERM;
        return false;
    }
    int descriptor = mkostemp(file.temporaryPath, O_CLOEXEC);
    if (descriptor < 0) return false;
    ApplyUsualMode(descriptor);
    file.stream = fdopen(descriptor, "wb");
    if (file.stream == nullptr) {
        int saved = errno;
        close(descriptor);
        unlink(file.temporaryPath);
        errno = saved;
        return false;
    }
    return true;
}

bool CommitReplacement(ReplacementFile& file)
{
    if (file.stream == nullptr) return false;
    bool ok = std::fflush(file.stream) == 0 && std::ferror(file.stream) == 0;
    ok = fsync(fileno(file.stream)) == 0 && ok;
    ok = std::fclose(file.stream) == 0 && ok;
    file.stream = nullptr;
    int saved = errno;
    ok = ok && std::rename(file.temporaryPath, file.targetPath) == 0;
    if (!ok) {
        saved = errno;
        unlink(file.temporaryPath);
    }
    errno = saved;
    return ok;
}

void AbandonReplacement(ReplacementFile& file)
{
    if (file.stream == nullptr) return;
    std::fclose(file.stream);
    file.stream = nullptr;
    unlink(file.temporaryPath);
}
