// --help and --version, answered the same way by every tessera program's main.
#pragma once

// Prints the usage when --help stands on the command line, else "tessera
// VERSION" when --version does; returns whether either did.
bool AnswerInformationOption(int argc, char** argv, const char* version);
