// WideText and Utf8Text over MultiByteToWideChar and WideCharToMultiByte, each measuring first, then converting.
#include "win32/wide_text.h"

std::wstring WideText(const char* text, UINT codePage)
{
    int length = MultiByteToWideChar(codePage, 0, text, -1, nullptr, 0);
    if (length <= 0) return {};
    std::wstring wide(static_cast<size_t>(length), L'\0');
    if (MultiByteToWideChar(codePage, 0, text, -1, wide.data(), length) != length) return {};
    wide.resize(static_cast<size_t>(length) - 1);  // the count included the terminating zero
    return wide;
}

std::string Utf8Text(const std::wstring& text)
{
    int length = WideCharToMultiByte(CP_UTF8, 0, text.c_str(), -1, nullptr, 0, nullptr, nullptr);
    if (length <= 0) return {};
    std::string narrow(static_cast<size_t>(length), '\0');
    if (WideCharToMultiByte(CP_UTF8, 0, text.c_str(), -1, narrow.data(), length, nullptr, nullptr) != length) return {};
    narrow.resize(static_cast<size_t>(length) - 1);
    return narrow;
}

std::wstring JoinPath(const std::wstring& directory, const std::wstring& name)
{
    if (directory.empty() || directory.back() == L'\\' || directory.back() == L'/') return directory + name;
    return directory + L'\\' + name;
}
