// IsTerminal on Windows: a console answers GetConsoleMode; NUL, a file or a pipe does not.
#include "support/terminal.h"

#include <io.h>
#include <windows.h>

#include <cstdint>

bool IsTerminal(std::FILE* stream)
{
    auto handle = reinterpret_cast<HANDLE>(_get_osfhandle(_fileno(stream)));
    DWORD mode = 0;
    return handle != INVALID_HANDLE_VALUE && GetConsoleMode(handle, &mode) != 0;
}
