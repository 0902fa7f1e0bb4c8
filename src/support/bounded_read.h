// Reading a whole text or data file named by a user, with a cap on its size.
#pragma once

#include <cstdint>
#include <string>

// Far above any real script, stage source or stage file.
constexpr int64_t maxInputFileBytes = 16 * 1024 * 1024;

// Reads the whole file into bytes. A directory is refused; a pipe or device is
// read up to the cap. On failure sets error to "FILE: reason" ("FILE: too
// large" beyond the cap) and returns false.
bool ReadBoundedFile(const char* path, std::string& bytes, std::string& error);
