// Input scripts: from a given frame on, the mouse is at a point with some buttons held.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

struct ScriptStep {
    int32_t frame;
    int32_t x;
    int32_t y;
    uint32_t buttons;  // InputKey::LeftButton and InputKey::RightButton bits
};

struct InputScript {
    std::optional<uint32_t> seed;
    std::vector<ScriptStep> steps;  // frames strictly increasing
};

// Reads a script; on a bad line sets error to "FILE:LINE: what is wrong".
bool ReadInputScript(const char* path, InputScript& script, std::string& error);

// Parses one text into a script; name is used in error messages.
bool ParseInputScript(const std::string& text, const char* name, InputScript& script, std::string& error);

// Plays a script into the input the snapshot reads: before each frame's
// snapshot, every step up to that frame moves the mouse and sets the buttons.
struct ScriptPlayer {
    const InputScript* script = nullptr;
    size_t nextStep = 0;
};
void PlayScriptUpTo(ScriptPlayer& player, int32_t frame);

// Starts playing script from its first step, with no key held; the script
// must outlive the replay.
void StartScriptInput(ScriptPlayer& player, const InputScript& script);

// The BUTTONS field of a script line for a button mask: "-", "L", "R" or "LR".
const char* ButtonsField(uint32_t buttons);
