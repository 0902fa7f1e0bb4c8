// Outputs the user names on a command line, written as Unix tools write them: "-", links followed, streams in place.
#pragma once

#include <cstdio>

#include "support/replacement_file.h"

// Where an output goes:
// - "-" (and /dev/stdout, /dev/fd/N and the like) is the descriptor itself,
//   written where it stands: a pipe, a terminal, or a file opened for appending;
// - a path whose target (links followed) exists and is not a regular file (a
//   FIFO, a terminal, /dev/null) is opened and written in place as a stream,
//   never replaced or removed;
// - a regular file, new or existing, is replaced atomically through a
//   ReplacementFile beside the file the path leads to, keeping its mode.
struct UserOutput {
    std::FILE* stream = nullptr;
    bool streaming = false;  // written in place: a reader may be watching it line by line
    ReplacementFile replacement;
};

// Opens the output; false (errno set) when it cannot be, and nothing is left behind.
bool OpenUserOutput(UserOutput& output, const char* path);

// Puts the output in place: flushes a stream, commits a replacement. False
// (errno set) when any byte failed; a replaced file then keeps its old content.
bool CloseUserOutput(UserOutput& output);

// Drops the output: a replacement's temporary file goes and the old file
// stays; what a stream has been sent cannot be taken back, and it is closed.
void AbandonUserOutput(UserOutput& output);

// Writes a whole buffer to a user-named output, as one open, write and close.
bool WriteUserFile(const char* path, const void* bytes, size_t count);
