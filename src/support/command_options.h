// Command lines parsed with getopt_long: a fresh parse, the one-line complaint about a refused option, and a flag's presence.
#pragma once

#include <getopt.h>

#include <string>

// Makes the next getopt_long call start a new parse from argv[1], as glibc
// does when optind is 0, with getopt's own messages off: callers say what is
// wrong themselves. Option strings should start with ':' so that a missing
// value and an unknown option come back apart.
void StartOptionParsing();

// What getopt_long's result ':' (a value missing) or '?' (an unknown option)
// means, naming the option as the user typed it: "option --frames needs a
// value", "unknown option --colour".
std::string OptionComplaint(int result, char** argv);

// Whether the flag stands on the command line before any "--": how a main
// picks its mode before the mode's own parse reads the rest.
bool HasOption(int argc, char** argv, const char* wanted);
