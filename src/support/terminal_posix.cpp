// IsTerminal over POSIX: isatty on the stream's descriptor.
#include "support/terminal.h"

#include <unistd.h>

bool IsTerminal(std::FILE* stream)
{
    return isatty(fileno(stream)) != 0;
}
