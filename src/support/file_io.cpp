// File helpers over stdio and POSIX: byte-exact reads, atomic replacing writes, size queries.
#include "support/file_io.h"

#include <sys/stat.h>
#include <unistd.h>

#include <climits>
#include <cstdio>

namespace {
constexpr int32_t maxPathLength = 4096;
constexpr const char* temporarySuffix = ".tmp";
}  // namespace

int32_t ReadFileBytes(const char* name, void* buffer, int32_t count)
{
    std::FILE* file = std::fopen(name, "rb");
    if (file == nullptr) return 0;
    size_t wanted = count > 0 ? static_cast<size_t>(count) : 0;
    size_t delivered = std::fread(buffer, 1, wanted, file);
    std::fclose(file);
    return static_cast<int32_t>(delivered);
}

int32_t WriteFileBytes(const char* name, const void* buffer, int32_t count)
{
    char temporaryName[maxPathLength];
    int length = std::snprintf(temporaryName, sizeof temporaryName, "%s%s", name, temporarySuffix);
    if (length < 0 || length >= maxPathLength) return 0;

    std::FILE* file = std::fopen(temporaryName, "wb");
    if (file == nullptr) return 0;
    size_t wanted = count > 0 ? static_cast<size_t>(count) : 0;
    bool ok = std::fwrite(buffer, 1, wanted, file) == wanted;
    ok = std::fflush(file) == 0 && ok;
    ok = fsync(fileno(file)) == 0 && ok;
    ok = std::fclose(file) == 0 && ok;
    ok = ok && std::rename(temporaryName, name) == 0;
    if (!ok) std::remove(temporaryName);
    return ok ? 1 : 0;
}

int32_t QueryFileSize(const char* name)
{
    struct stat status {};
    if (stat(name, &status) != 0 || !S_ISREG(status.st_mode)) return 0;
    if (status.st_size > INT32_MAX) return INT32_MAX;
    return static_cast<int32_t>(status.st_size);
}
