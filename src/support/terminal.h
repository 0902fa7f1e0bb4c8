// Whether a standard stream is a terminal a person watches, for progress lines redrawn in place.
#pragma once

#include <cstdio>

bool IsTerminal(std::FILE* stream);
