// Whole-file reading that never blocks, crash-safe whole-file writing and the file-size query.
#pragma once

#include <cstdint>

// Reads up to count bytes of a regular file; returns how many arrived, 0 when
// the file cannot be opened or is not a regular file (a FIFO, a device or a
// directory is never read, and opening one never waits).
int32_t ReadFileBytes(const char* name, void* buffer, int32_t count);

// Replaces the file with exactly count bytes through a ReplacementFile, so the
// file is always either the old or the new content. Returns 1 only when every
// byte reached the disk and the rename succeeded, else 0.
int32_t WriteFileBytes(const char* name, const void* buffer, int32_t count);

// A front end that keeps files elsewhere too (the browser's storage) is told
// of each file WriteFileBytes has put in place.
using FileWrittenObserver = void (*)(const char* name);
void SetFileWrittenObserver(FileWrittenObserver observer);

// Size in bytes of an existing regular file; 0 when it is missing, not a
// regular file or cannot be queried.
int32_t QueryFileSize(const char* name);

enum class FileKind { Missing, NotRegular, Unreadable, Regular };

struct FileStatus {
    FileKind kind;
    int64_t size;  // bytes, for a regular file
};

// What stands at a path, links followed.
FileStatus QueryFileStatus(const char* name);
