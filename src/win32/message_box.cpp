// The box with MessageBoxW: the game's texts converted to UTF-16, its window the owner.
#include "win32/message_box.h"

#include <windows.h>

#include <string>

#include "support/message_box.h"
#include "win32/game_window.h"
#include "win32/wide_text.h"

namespace {
// The game's texts are UTF-8, as its sources spell them and as every other front end shows them.
constexpr UINT gameTextCodePage = CP_UTF8;

// MessageBoxA would read the game's Japanese texts in the system's own code
// page, garbage wherever that is not the texts' own: converted to UTF-16 they
// show as they are on every Windows.
int32_t ShowWindowsMessageBox(const char* text, int32_t type, const char* caption)
{
    std::wstring wideText = WideText(text, gameTextCodePage);
    std::wstring wideCaption = WideText(caption, gameTextCodePage);
    return MessageBoxW(mainWindow, wideText.c_str(), wideCaption.c_str(), static_cast<UINT>(type));
}
}  // namespace

void UseWindowsMessageBox()
{
    SetMessageBoxHandler(ShowWindowsMessageBox);
}
