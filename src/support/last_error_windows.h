// The Windows file calls' error codes as the errno values the rest of the program reports.
#pragma once

// Sets errno from GetLastError() and returns it.
int SetErrnoFromLastError();
