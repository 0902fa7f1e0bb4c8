// Output files that replace their target whole, or leave it untouched.
#pragma once

#include <cstdio>

constexpr int replacementPathLength = 4096;

// A new file with a unique name beside the target, created exclusively (never
// through a link, never over anything that exists), written through stream
// and renamed over the target when committed. Plain storage: nothing is
// allocated but the stream itself.
struct ReplacementFile {
    std::FILE* stream = nullptr;
    char targetPath[replacementPathLength] = {};
    char temporaryPath[replacementPathLength] = {};
};

// Creates the temporary file; false (with errno set) when it cannot be made,
// or when the target is neither a regular file, a link nor missing.
bool BeginReplacement(ReplacementFile& file, const char* targetPath);

// Flushes, syncs and closes the stream, then renames the temporary file over
// the target. On any failure the temporary file is removed and the target
// keeps its old content; returns whether the target now holds the new bytes.
bool CommitReplacement(ReplacementFile& file);

// Closes and removes the temporary file; the target is left as it was.
void AbandonReplacement(ReplacementFile& file);
