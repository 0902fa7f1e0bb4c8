// Texts between the game's bytes and Windows' UTF-16: paths and the box's texts in, messages for stderr out.
#pragma once

#include <windows.h>

#include <string>

// The zero-terminated text read in the code page; empty when it cannot be.
std::wstring WideText(const char* text, UINT codePage);

// UTF-16 as UTF-8, for lines on stderr.
std::string Utf8Text(const std::wstring& text);

// A directory and a name in it, with one backslash between them.
std::wstring JoinPath(const std::wstring& directory, const std::wstring& name);
