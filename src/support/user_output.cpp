// Closing and dropping a UserOutput, and the one-call whole-buffer write: the same on every platform.
#include "support/user_output.h"

#include <cerrno>

bool CloseUserOutput(UserOutput& output)
{
    if (output.replacement.stream != nullptr) {
        output.stream = nullptr;
        return CommitReplacement(output.replacement);
    }
    if (output.stream == nullptr) return false;
    bool ok = std::fflush(output.stream) == 0 && std::ferror(output.stream) == 0;
    int saved = errno;
    if (std::fclose(output.stream) != 0 && ok) {
        ok = false;
        saved = errno;
    }
    output.stream = nullptr;
    errno = saved;
    return ok;
}

void AbandonUserOutput(UserOutput& output)
{
    if (output.replacement.stream != nullptr) {
        AbandonReplacement(output.replacement);
    } else if (output.stream != nullptr) {
        std::fclose(output.stream);
    }
    output.stream = nullptr;
}

bool WriteUserFile(const char* path, const void* bytes, size_t count)
{
    UserOutput output;
    if (!OpenUserOutput(output, path)) return false;
    if (std::fwrite(bytes, 1, count, output.stream) != count) {
        int saved = errno;
        AbandonUserOutput(output);
        errno = saved;
        return false;
    }
    return CloseUserOutput(output);
}
