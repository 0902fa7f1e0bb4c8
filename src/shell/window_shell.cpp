// The SDL shell: one fixed 640 x 480 window, events first, then one game frame every 50 ms.
#include "shell/window_shell.h"

#include <SDL.h>

#include <atomic>
#include <cstdio>
#include <cstring>
#include <memory>
#include <thread>

#include "cursor/key_cursor.h"
#include "draw/canvas.h"
#include "game/game_frame.h"
#include "shell/box_process.h"
#include "shell/quit_signals.h"
#include "shell/session_recorder.h"
#include "shell/window_input.h"
#include "shell/window_pads.h"
#include "shell/window_session.h"
#include "support/input_snapshot.h"
#include "support/message_box.h"
#include "support/random.h"

namespace {
constexpr int32_t clientWidth = canvasWidth;
constexpr int32_t clientHeight = canvasHeight;
constexpr uint32_t frameInterval = 50;
constexpr char windowClass[] = "win game module";
constexpr char windowTitle[] = "";
constexpr int exitCode = 0;
constexpr int exitBadUsage = 2;
// Frames to wait for the box to go after a quit signal has ended its process.
constexpr int32_t boxEndFrames = 20;

SDL_Window* mainWindow = nullptr;
SDL_Renderer* renderer = nullptr;
SDL_Texture* canvasTexture = nullptr;
uint32_t closeRequestEvent = 0;
// What the window shows now, so a repaint of an unchanged picture costs one
// comparison instead of a copy through the renderer. Made once, with the window.
std::unique_ptr<uint8_t[]> shownPixels;
size_t shownSize = 0;
bool shownValid = false;
bool repaintPending = false;
bool closing = false;
int32_t windowScale = 1;

// Copies canvas 0 to the window: the bottom-up BGR store goes into the
// texture in one copy, row by row from the last, so it stands the right way
// up; the renderer then shows the texture as it is.
void Paint(bool exposed)
{
    const Canvas& canvas = canvases[0];
    if (canvas.pixels != nullptr && shownPixels != nullptr) {
        bool unchanged = shownValid && std::memcmp(shownPixels.get(), canvas.pixels.get(), shownSize) == 0;
        if (unchanged && !exposed) return;
        std::memcpy(shownPixels.get(), canvas.pixels.get(), shownSize);
        shownValid = true;
    }
    void* target = nullptr;
    int pitch = 0;
    if (canvas.pixels != nullptr && SDL_LockTexture(canvasTexture, nullptr, &target, &pitch) == 0) {
        auto rowBytes = static_cast<size_t>(canvas.width) * 3;
        for (int32_t y = 0; y < canvas.height; ++y) {
            std::memcpy(static_cast<uint8_t*>(target) + static_cast<ptrdiff_t>(y) * pitch,
                        canvas.pixels.get() + static_cast<size_t>(canvas.height - 1 - y) * rowBytes, rowBytes);
        }
        SDL_UnlockTexture(canvasTexture);
    }
    SDL_RenderCopy(renderer, canvasTexture, nullptr, nullptr);
    SDL_RenderPresent(renderer);
}

// The box runs its own event loop on its own display connection, in a thread
// of its own, while this thread keeps the game window painted from canvas 0.
// Input to the game window is dropped: the box is modal. A quit signal ends
// the box's helper process, and with it the box.
struct BoxCall {
    std::atomic<bool> done{false};
    int result = 0;
};

int32_t ShowWindowMessageBox(const char* text, int32_t type, const char* caption)
{
    (void)type;  // the game shows one kind of box: one OK button, no icon
    GiveBoxUtf8Locale();
    WatchBoxProcess();
    // Shared with the thread, which may outlive this call if the box cannot be ended.
    auto call = std::make_shared<BoxCall>();
    std::thread box([call, text, caption] {
        call->result = SDL_ShowSimpleMessageBox(0, caption, text, mainWindow);
        call->done = true;
    });
    int32_t framesSinceSignal = 0;
    SDL_Event event;
    while (!call->done) {
        if (QuitSignalled()) {
            EndBoxProcess();
            if (++framesSinceSignal > boxEndFrames) {
                box.detach();
                return messageBoxIdOk;
            }
        }
        if (SDL_WaitEventTimeout(&event, static_cast<int>(frameInterval)) != 0 && event.type == SDL_WINDOWEVENT &&
            event.window.event == SDL_WINDOWEVENT_EXPOSED) {
            Paint(true);
        }
    }
    box.join();
    if (call->result != 0 && !QuitSignalled()) {
        std::fprintf(stderr, "%s: %s (no message box: %s)\n", caption, text, SDL_GetError());
    }
    return messageBoxIdOk;
}

void CloseWindow()
{
    closing = true;
    SetMessageBoxHandler(nullptr);
    if (canvasTexture != nullptr) SDL_DestroyTexture(canvasTexture);
    if (renderer != nullptr) SDL_DestroyRenderer(renderer);
    if (mainWindow != nullptr) SDL_DestroyWindow(mainWindow);
    canvasTexture = nullptr;
    renderer = nullptr;
    mainWindow = nullptr;
    shownPixels.reset();
    shownValid = false;
    ClosePads();
}

void RequestClose()
{
    SDL_Event event{};
    event.type = closeRequestEvent;
    SDL_PushEvent(&event);
}

void HandleEvent(const SDL_Event& event)
{
    RecordWindowInput(event);
    RecordPadEvent(event);
    if (event.type == SDL_QUIT || event.type == closeRequestEvent) {
        CloseWindow();
    } else if (event.type == SDL_WINDOWEVENT) {
        if (event.window.event == SDL_WINDOWEVENT_CLOSE) CloseWindow();
        if (event.window.event == SDL_WINDOWEVENT_EXPOSED) Paint(true);
    } else if (event.type == SDL_KEYDOWN && event.key.keysym.sym == SDLK_ESCAPE && event.key.repeat == 0) {
        RequestClose();
    }
}

bool CreateGameWindow(uint32_t seed, int32_t scale)
{
    SDL_SetHint(SDL_HINT_MOUSE_AUTO_CAPTURE, "0");
    // The quit signals are the game's own: see CatchQuitSignals.
    SDL_SetHint(SDL_HINT_NO_SIGNAL_HANDLERS, "1");
    SDL_SetHint(SDL_HINT_APP_NAME, windowClass);
    SDL_setenv("SDL_VIDEO_X11_WMCLASS", windowClass, 1);
    if (SDL_Init(SDL_INIT_VIDEO | SDL_INIT_GAMECONTROLLER) != 0) {
        std::fprintf(stderr, "tessera: cannot start the window system: %s\n", SDL_GetError());
        return false;
    }
    // Without a display SDL may fall back to a driver that shows nothing.
    const char* driver = SDL_GetCurrentVideoDriver();
    if (driver == nullptr || std::strcmp(driver, "offscreen") == 0 || std::strcmp(driver, "dummy") == 0 ||
        std::strcmp(driver, "evdev") == 0) {
        std::fprintf(stderr, "tessera: no display to open a window on (video driver %s)\n",
                     driver == nullptr ? "none" : driver);
        return false;
    }
    // A scaled picture keeps its pixels square and sharp.
    SDL_SetHint(SDL_HINT_RENDER_SCALE_QUALITY, "nearest");
    mainWindow = SDL_CreateWindow(windowTitle, SDL_WINDOWPOS_UNDEFINED, SDL_WINDOWPOS_UNDEFINED, clientWidth * scale,
                                  clientHeight * scale, SDL_WINDOW_HIDDEN);
    if (mainWindow != nullptr) renderer = SDL_CreateRenderer(mainWindow, -1, SDL_RENDERER_SOFTWARE);
    if (renderer != nullptr) {
        canvasTexture = SDL_CreateTexture(renderer, SDL_PIXELFORMAT_BGR24, SDL_TEXTUREACCESS_STREAMING, clientWidth,
                                          clientHeight);
    }
    if (canvasTexture == nullptr) {
        std::fprintf(stderr, "tessera: cannot create the window: %s\n", SDL_GetError());
        CloseWindow();
        return false;
    }
    closeRequestEvent = SDL_RegisterEvents(1);
    canvases[0].create(clientWidth, clientHeight);
    shownSize = static_cast<size_t>(clientWidth) * clientHeight * 3;
    shownPixels = std::make_unique<uint8_t[]>(shownSize);
    SeedRandom(seed);
    SetWindowInputScale(scale);
    windowScale = scale;
    SetMessageBoxHandler(ShowWindowMessageBox);
    SDL_ShowWindow(mainWindow);
    Paint(true);
    return true;
}

// Events always go first. When none waits, a due frame runs; then the loop
// waits for the next event or the due time, whichever comes first. When the
// due time passes the window is repainted, so each period shows the frame
// drawn in the period before it.
int32_t RunFrameLoop(SessionRecorder& recorder)
{
    bool frameDue = true;
    uint32_t nextFrameTime = SDL_GetTicks();
    int32_t framesRun = 0;
    SDL_Event event;
    while (!closing) {
        if (QuitSignalled()) {
            CloseWindow();
            break;
        }
        if (SDL_PollEvent(&event) != 0) {
            HandleEvent(event);
            continue;
        }
        if (repaintPending) {
            repaintPending = false;
            Paint(false);
            continue;
        }
        if (frameDue) {
            // Keys and pads move the mouse; the system pointer goes where they put it.
            if (StepKeyCursor()) {
                SDL_WarpMouseInWindow(mainWindow, keyCursor.position.x * windowScale,
                                      keyCursor.position.y * windowScale);
            }
            TakeInputSnapshot();
            RecordFrameInput(recorder, framesRun);
            ++framesRun;
            if (GameFrame() != 0) {
                CloseWindow();
                break;
            }
            frameDue = false;
        }
        uint32_t now = SDL_GetTicks();
        if (now <= nextFrameTime) {
            if (SDL_WaitEventTimeout(&event, static_cast<int>(nextFrameTime - now) + 1) != 0) HandleEvent(event);
            continue;
        }
        repaintPending = true;
        nextFrameTime += frameInterval;
        if (now > nextFrameTime) nextFrameTime = now + frameInterval;
        frameDue = true;
    }
    return framesRun;
}
}  // namespace

int RunWindow(int argc, char** argv)
{
    CatchQuitSignals();
    WindowSession session;
    if (!BeginWindowSession(argc, argv, session)) return exitBadUsage;
    int32_t framesRun = CreateGameWindow(session.seed, session.options.scale) ? RunFrameLoop(session.recorder) : 0;
    int result = EndWindowSession(session, framesRun) ? exitCode : exitBadUsage;
    SDL_Quit();
    return result;
}
