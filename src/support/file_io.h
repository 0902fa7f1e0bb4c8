// Whole-file reading, crash-safe whole-file writing and the file-size query.
#pragma once

#include <cstdint>

// Reads up to count bytes; returns how many arrived, 0 when the file cannot be opened.
int32_t ReadFileBytes(const char* name, void* buffer, int32_t count);

// Replaces the file with exactly count bytes. The bytes go to a temporary file
// beside it that is flushed to disk and then renamed over the old one, so the
// file is always either the old or the new content. Returns 1 only when every
// byte reached the disk and the rename succeeded, else 0.
int32_t WriteFileBytes(const char* name, const void* buffer, int32_t count);

// Size in bytes of an existing regular file; 0 when it is missing or cannot be queried.
int32_t QueryFileSize(const char* name);
