// Moving the process into the directory whose data files it is to use.
#pragma once

// Makes path the working directory; false when it cannot be entered.
bool EnterDirectory(const char* path);
