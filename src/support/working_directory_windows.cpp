// EnterDirectory on Windows: SetCurrentDirectoryA.
#include "support/working_directory.h"

#include <windows.h>

bool EnterDirectory(const char* path)
{
    return SetCurrentDirectoryA(path) != 0;
}
