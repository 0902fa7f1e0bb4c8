// Command lines parsed with getopt_long: a fresh parse, and the one-line complaint about a refused option.
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
