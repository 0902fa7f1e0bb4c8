// EnterDirectory over POSIX: chdir.
#include "support/working_directory.h"

#include <unistd.h>

bool EnterDirectory(const char* path)
{
    return chdir(path) == 0;
}
