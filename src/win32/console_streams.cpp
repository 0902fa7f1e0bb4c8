// ConnectStandardStreams: AttachConsole(ATTACH_PARENT_PROCESS) when no standard handles were inherited.
#include "win32/console_streams.h"

#include <windows.h>

#include <cstdio>

namespace {
bool HasHandle(DWORD which)
{
    HANDLE handle = GetStdHandle(which);
    return handle != nullptr && handle != INVALID_HANDLE_VALUE;
}
}  // namespace

void ConnectStandardStreams()
{
    bool output = HasHandle(STD_OUTPUT_HANDLE);
    bool error = HasHandle(STD_ERROR_HANDLE);
    if (output && error) return;
    if (!AttachConsole(ATTACH_PARENT_PROCESS)) return;
    // Only the streams that had nowhere to go; a redirected one stays where it was sent.
    if (!output) std::freopen("CONOUT$", "w", stdout);
    if (!error) std::freopen("CONOUT$", "w", stderr);
}
