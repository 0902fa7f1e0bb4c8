// window_probe: what the Windows tests need to see of the game's window and box, read under Wine where X cannot.
// usage: window_probe window | box | local-app-data
//   window          waits for the window of class "win game module"; prints "WIDTHxHEIGHT X Y": its client area and
//                   where the client area starts on the screen
//   box             waits for the message box the game's window owns; prints its caption and its text as UTF-8
//                   lines, then presses OK
//   local-app-data  prints the local application data folder
#include <windows.h>

#include <fcntl.h>
#include <io.h>
#include <knownfolders.h>
#include <shlobj.h>

#include <cstdio>
#include <string>

namespace {
constexpr char gameClass[] = "win game module";
constexpr char dialogClass[] = "#32770";
constexpr int waitSteps = 300;
constexpr DWORD waitStep = 100;  // milliseconds: 30 s in all
constexpr int textLength = 512;

std::string Utf8(const wchar_t* text)
{
    char narrow[textLength * 3];
    int length = WideCharToMultiByte(CP_UTF8, 0, text, -1, narrow, sizeof narrow, nullptr, nullptr);
    return length > 0 ? std::string(narrow) : std::string();
}

// A shown top-level window of the class; for a box, one that the game's window owns.
HWND FindShown(const char* windowClass, bool ownedByGame)
{
    HWND window = nullptr;
    while ((window = FindWindowExA(nullptr, window, windowClass, nullptr)) != nullptr) {
        char ownerClass[textLength] = "";
        HWND owner = GetWindow(window, GW_OWNER);
        if (owner != nullptr) GetClassNameA(owner, ownerClass, textLength);
        if (IsWindowVisible(window) && (!ownedByGame || lstrcmpA(ownerClass, gameClass) == 0)) return window;
    }
    return nullptr;
}

HWND WaitForWindow(const char* windowClass, bool ownedByGame)
{
    for (int step = 0; step < waitSteps; ++step) {
        HWND window = FindShown(windowClass, ownedByGame);
        if (window != nullptr) return window;
        Sleep(waitStep);
    }
    return nullptr;
}

// The box's text is its one static control with text (its icon, when it has one, is a static without).
BOOL CALLBACK FindText(HWND child, LPARAM found)
{
    char className[textLength];
    wchar_t text[textLength];
    GetClassNameA(child, className, textLength);
    if (lstrcmpiA(className, "Static") == 0 && GetWindowTextW(child, text, textLength) > 0) {
        *reinterpret_cast<std::string*>(found) = Utf8(text);
        return FALSE;
    }
    return TRUE;
}

int Window()
{
    HWND window = WaitForWindow(gameClass, false);
    if (window == nullptr) {
        std::fprintf(stderr, "window_probe: no window of class %s\n", gameClass);
        return 1;
    }
    RECT client;
    POINT origin{0, 0};
    GetClientRect(window, &client);
    ClientToScreen(window, &origin);
    std::printf("%ldx%ld %ld %ld\n", client.right - client.left, client.bottom - client.top, origin.x, origin.y);
    return 0;
}

int Box()
{
    HWND box = WaitForWindow(dialogClass, true);
    if (box == nullptr) {
        std::fprintf(stderr, "window_probe: no message box\n");
        return 1;
    }
    wchar_t caption[textLength];
    GetWindowTextW(box, caption, textLength);
    std::string text;
    EnumChildWindows(box, FindText, reinterpret_cast<LPARAM>(&text));
    std::printf("%s\n%s\n", Utf8(caption).c_str(), text.c_str());
    HWND ok = GetDlgItem(box, IDOK);
    if (ok == nullptr) {
        std::fprintf(stderr, "window_probe: the box has no OK button\n");
        return 1;
    }
    PostMessageA(box, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), reinterpret_cast<LPARAM>(ok));
    return 0;
}

int LocalAppData()
{
    PWSTR folder = nullptr;
    if (SHGetKnownFolderPath(FOLDERID_LocalAppData, 0, nullptr, &folder) != S_OK) return 1;
    std::printf("%s\n", Utf8(folder).c_str());
    CoTaskMemFree(folder);
    return 0;
}
}  // namespace

int main(int argc, char** argv)
{
    _setmode(_fileno(stdout), _O_BINARY);  // "\n" stays one byte
    std::string command = argc == 2 ? argv[1] : "";
    if (command == "window") return Window();
    if (command == "box") return Box();
    if (command == "local-app-data") return LocalAppData();
    std::fprintf(stderr, "usage: window_probe window | box | local-app-data\n");
    return 2;
}
