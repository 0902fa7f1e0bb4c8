// The window of class "win game module": creation makes canvas 0 and seeds the generator; Esc and the game close it.
#include "win32/game_window.h"

#include "draw/canvas.h"
#include "support/random.h"
#include "win32/canvas_picture.h"
#include "win32/window_input.h"

HWND mainWindow = nullptr;

namespace {
constexpr char windowClass[] = "win game module";
constexpr char windowTitle[] = "";
constexpr DWORD windowStyle = WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX;
constexpr DWORD windowExtendedStyle = 0;
// The system's own application icon and arrow cursor (IDI_APPLICATION, IDC_ARROW).
constexpr WORD defaultImageId = 32512;
constexpr UINT sharedDefaultSize = LR_SHARED | LR_DEFAULTSIZE;

GameWindowSettings windowSettings{};
int32_t clientWidth = 0;
int32_t clientHeight = 0;
HRGN repaintRegion = nullptr;

void OnCreate(HWND window)
{
    mainWindow = window;
    clientWidth = canvasWidth * windowSettings.scale;
    clientHeight = canvasHeight * windowSettings.scale;
    canvases[0].create(canvasWidth, canvasHeight);
    CreateCanvasPicture(windowSettings.scale);
    SeedRandom(windowSettings.seed);
    repaintRegion = CreateRectRgn(0, 0, clientWidth, clientHeight);
}

void OnClose()
{
    if (repaintRegion != nullptr) DeleteObject(repaintRegion);
    repaintRegion = nullptr;
}

void OnPaint(HWND window)
{
    PAINTSTRUCT paint;
    HDC target = BeginPaint(window, &paint);
    if (target != nullptr) PaintCanvasPicture(target, clientWidth, clientHeight);
    EndPaint(window, &paint);
}

LRESULT CALLBACK GameWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    RecordWindowInput(message, wParam, lParam);
    switch (message) {
    case WM_CREATE: OnCreate(window); return 0;
    case WM_DESTROY:
        ReleaseCanvasPicture();
        mainWindow = nullptr;
        PostQuitMessage(0);
        return 0;
    case WM_PAINT: OnPaint(window); return 0;
    case WM_CLOSE: OnClose(); return DefWindowProcA(window, message, wParam, lParam);
    case WM_KEYDOWN:
        if (wParam == VK_ESCAPE) PostMessageA(window, WM_CLOSE, 0, 0);
        return 0;
    case WM_CHAR: return 0;
    default: return DefWindowProcA(window, message, wParam, lParam);
    }
}

HANDLE LoadDefaultImage(UINT type)
{
    return LoadImageA(nullptr, MAKEINTRESOURCEA(defaultImageId), type, 0, 0, sharedDefaultSize);
}
}  // namespace

ATOM RegisterGameClass(HINSTANCE instance)
{
    WNDCLASSEXA windowClassInfo{};
    windowClassInfo.cbSize = sizeof windowClassInfo;
    windowClassInfo.style = 0;
    windowClassInfo.lpfnWndProc = GameWindowProc;
    windowClassInfo.hInstance = instance;
    windowClassInfo.hIcon = static_cast<HICON>(LoadDefaultImage(IMAGE_ICON));
    windowClassInfo.hIconSm = static_cast<HICON>(LoadDefaultImage(IMAGE_ICON));
    windowClassInfo.hCursor = static_cast<HCURSOR>(LoadDefaultImage(IMAGE_CURSOR));
    windowClassInfo.hbrBackground = static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH));
    windowClassInfo.lpszClassName = windowClass;
    return RegisterClassExA(&windowClassInfo);
}

bool CreateGameWindow(HINSTANCE instance, int showCommand, const GameWindowSettings& settings)
{
    windowSettings = settings;
    RECT outer;
    SetRect(&outer, 0, 0, canvasWidth * settings.scale, canvasHeight * settings.scale);
    AdjustWindowRectEx(&outer, windowStyle, FALSE, windowExtendedStyle);
    HWND window = CreateWindowExA(windowExtendedStyle, windowClass, windowTitle, windowStyle, CW_USEDEFAULT,
                                  CW_USEDEFAULT, outer.right - outer.left, outer.bottom - outer.top, nullptr, nullptr,
                                  instance, nullptr);
    if (window == nullptr) return false;
    mainWindow = window;
    ShowWindow(mainWindow, showCommand);
    UpdateWindow(mainWindow);
    return true;
}

void RequestRepaint()
{
    if (mainWindow != nullptr && repaintRegion != nullptr) InvalidateRgn(mainWindow, repaintRegion, FALSE);
}
