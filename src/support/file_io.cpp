// File helpers over POSIX: reads that never block, atomic replacing writes, size queries.
#include "support/file_io.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <cstdio>

#include "support/replacement_file.h"

namespace {
FileWrittenObserver fileWrittenObserver = nullptr;
}  // namespace

int32_t ReadFileBytes(const char* name, void* buffer, int32_t count)
{
    // O_NONBLOCK: opening a FIFO without a writer would otherwise wait forever.
    int descriptor = open(name, O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY);
    if (descriptor < 0) return 0;
    struct stat status {};
    if (fstat(descriptor, &status) != 0 || !S_ISREG(status.st_mode)) {
        close(descriptor);
        return 0;
    }
    auto* bytes = static_cast<char*>(buffer);
    int32_t delivered = 0;
    while (delivered < count) {
        ssize_t got = read(descriptor, bytes + delivered, static_cast<size_t>(count - delivered));
        if (got < 0 && errno == EINTR) continue;
        if (got <= 0) break;
        delivered += static_cast<int32_t>(got);
    }
    close(descriptor);
    return delivered;
}

int32_t WriteFileBytes(const char* name, const void* buffer, int32_t count)
{
    ReplacementFile file;
    if (!BeginReplacement(file, name)) return 0;
    size_t wanted = count > 0 ? static_cast<size_t>(count) : 0;
    if (std::fwrite(buffer, 1, wanted, file.stream) != wanted) {
        AbandonReplacement(file);
        return 0;
    }
    if (!CommitReplacement(file)) return 0;
    if (fileWrittenObserver != nullptr) fileWrittenObserver(name);
    return 1;
}

void SetFileWrittenObserver(FileWrittenObserver observer)
{
    fileWrittenObserver = observer;
}

FileStatus QueryFileStatus(const char* name)
{
    struct stat status {};
    if (stat(name, &status) != 0) {
        return {errno == ENOENT || errno == ENOTDIR ? FileKind::Missing : FileKind::Unreadable, 0};
    }
    if (!S_ISREG(status.st_mode)) return {FileKind::NotRegular, 0};
    return {FileKind::Regular, static_cast<int64_t>(status.st_size)};
}

int32_t QueryFileSize(const char* name)
{
    FileStatus status = QueryFileStatus(name);
    if (status.kind != FileKind::Regular) return 0;
    return status.size > INT32_MAX ? INT32_MAX : static_cast<int32_t>(status.size);
}
