// Standard output and error for a GUI program started from a console.
#pragma once

// A GUI program inherits standard handles only when they were redirected (a
// pipe, a file, Wine's terminal). When there are none it borrows the console
// of the process that started it, if that has one, so that --help and the
// headless runner's messages reach the person who typed the command.
void ConnectStandardStreams();
