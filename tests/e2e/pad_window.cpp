// The SDL window with a virtual pad plugged in during play, pressing the buttons of a key plan.
// usage: pad_window PLAN [window options]: waits for .mouse-placed in the working directory, then presses.
#include <SDL.h>

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>
#include <thread>
#include <vector>

#include "shell/window_shell.h"

namespace {
constexpr int32_t padAxes = SDL_CONTROLLER_AXIS_MAX;
constexpr int32_t padButtons = SDL_CONTROLLER_BUTTON_MAX;
constexpr auto pollInterval = std::chrono::milliseconds(5);
constexpr auto heldLongest = std::chrono::seconds(30);  // a frame the game never runs is a fault

SDL_GameControllerButton ButtonFor(const std::string& key)
{
    if (key == "Up") return SDL_CONTROLLER_BUTTON_DPAD_UP;
    if (key == "Down") return SDL_CONTROLLER_BUTTON_DPAD_DOWN;
    if (key == "Left") return SDL_CONTROLLER_BUTTON_DPAD_LEFT;
    if (key == "Right") return SDL_CONTROLLER_BUTTON_DPAD_RIGHT;
    if (key == "Return") return SDL_CONTROLLER_BUTTON_A;
    if (key == "r") return SDL_CONTROLLER_BUTTON_B;
    return SDL_CONTROLLER_BUTTON_INVALID;
}

// Waits until SDL has taken the virtual button's new state into its joystick, which is when it
// sends the controller event: a press is never lost however late the window's loop runs.
bool WaitForState(SDL_Joystick* joystick, int button, Uint8 state)
{
    auto start = std::chrono::steady_clock::now();
    while (SDL_JoystickGetButton(joystick, button) != state) {
        if (std::chrono::steady_clock::now() - start > heldLongest) return false;
        std::this_thread::sleep_for(pollInterval);
    }
    return true;
}

void PressPlan(std::vector<std::string> plan)
{
    while (!std::filesystem::exists(".mouse-placed")) std::this_thread::sleep_for(pollInterval);
    int device = SDL_JoystickAttachVirtual(SDL_JOYSTICK_TYPE_GAMECONTROLLER, padAxes, padButtons, 0);
    SDL_Joystick* joystick = device < 0 ? nullptr : SDL_JoystickOpen(device);
    if (joystick == nullptr) {
        std::fprintf(stderr, "pad_window: no virtual pad: %s\n", SDL_GetError());
        return;
    }
    for (const std::string& key : plan) {
        SDL_GameControllerButton button = ButtonFor(key);
        if (button == SDL_CONTROLLER_BUTTON_INVALID) continue;
        SDL_JoystickSetVirtualButton(joystick, button, SDL_PRESSED);
        if (!WaitForState(joystick, button, SDL_PRESSED)) break;
        SDL_JoystickSetVirtualButton(joystick, button, SDL_RELEASED);
        if (!WaitForState(joystick, button, SDL_RELEASED)) break;
    }
}
}  // namespace

int main(int argc, char** argv)
{
    if (argc < 2) {
        std::fprintf(stderr, "usage: pad_window PLAN [window options]\n");
        return 2;
    }
    std::vector<std::string> plan;
    std::ifstream input(argv[1]);
    for (std::string key; std::getline(input, key);) plan.push_back(key);
    // The joystick subsystem first, so the pad can be plugged in while the window runs.
    if (SDL_Init(SDL_INIT_JOYSTICK) != 0) return 1;
    std::thread presser(PressPlan, plan);
    presser.detach();
    argv[1] = argv[0];
    return RunWindow(argc - 1, argv + 1);
}
