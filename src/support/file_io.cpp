// File helpers every platform shares: the atomic replacing write, its observer and the size query.
#include "support/file_io.h"

#include <climits>
#include <cstdio>

#include "support/replacement_file.h"

namespace {
FileWrittenObserver fileWrittenObserver = nullptr;
}  // namespace

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

int32_t QueryFileSize(const char* name)
{
    FileStatus status = QueryFileStatus(name);
    if (status.kind != FileKind::Regular) return 0;
    return status.size > INT32_MAX ? INT32_MAX : static_cast<int32_t>(status.size);
}
