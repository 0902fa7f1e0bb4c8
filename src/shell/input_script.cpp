// Parsing input scripts: "FRAME X Y BUTTONS" lines, "seed N" lines and # comments.
#include "shell/input_script.h"

#include <sstream>

#include "support/bounded_read.h"
#include "support/input_snapshot.h"
#include "support/line_error.h"
#include "support/parse_number.h"

namespace {
constexpr int64_t maxCoordinate = 0xFFFF;
// The run lasts one frame past the last scripted one, which must still be a frame number.
constexpr int64_t maxFrame = 0x7FFFFFFE;

bool ParseButtons(const std::string& word, uint32_t& buttons)
{
    if (word == "-") buttons = 0;
    else if (word == "L") buttons = InputKey::LeftButton;
    else if (word == "R") buttons = InputKey::RightButton;
    else if (word == "LR") buttons = InputKey::LeftButton | InputKey::RightButton;
    else return false;
    return true;
}
}  // namespace

bool ParseInputScript(const std::string& text, const char* name, InputScript& script, std::string& error)
{
    script = {};
    std::istringstream input(text);
    std::string line;
    int lineNumber = 0;
    while (std::getline(input, line)) {
        ++lineNumber;
        size_t comment = line.find('#');
        if (comment != std::string::npos) line.erase(comment);
        std::istringstream fields(line);
        std::vector<std::string> words;
        for (std::string word; fields >> word;) words.push_back(word);
        if (words.empty()) continue;

        if (words[0] == "seed") {
            int64_t seed = 0;
            if (words.size() != 2 || !ParseNumber(words[1], 0, 0xFFFFFFFFll, seed)) {
                return FailAtLine(error, name, lineNumber, "expected \"seed N\" with N from 0 to 4294967295");
            }
            script.seed = static_cast<uint32_t>(seed);
            continue;
        }
        if (words.size() != 4) return FailAtLine(error, name, lineNumber, "expected \"FRAME X Y BUTTONS\"");
        int64_t frame = 0;
        int64_t x = 0;
        int64_t y = 0;
        uint32_t buttons = 0;
        if (!ParseNumber(words[0], 0, maxFrame, frame)) {
            return FailAtLine(error, name, lineNumber,
                              "frame " + QuoteField(words[0]) + " is not a number from 0 to 2147483646");
        }
        if (!script.steps.empty() && frame <= script.steps.back().frame) {
            return FailAtLine(error, name, lineNumber, "frame " + words[0] + " does not come after the frame before it");
        }
        if (!ParseNumber(words[1], 0, maxCoordinate, x) || !ParseNumber(words[2], 0, maxCoordinate, y)) {
            return FailAtLine(error, name, lineNumber, "mouse position must be two numbers from 0 to 65535");
        }
        if (!ParseButtons(words[3], buttons)) {
            return FailAtLine(error, name, lineNumber, "buttons " + QuoteField(words[3]) + " must be -, L, R or LR");
        }
        script.steps.push_back({static_cast<int32_t>(frame), static_cast<int32_t>(x), static_cast<int32_t>(y), buttons});
    }
    return true;
}

bool ReadInputScript(const char* path, InputScript& script, std::string& error)
{
    std::string text;
    if (!ReadBoundedFile(path, text, error)) return false;
    return ParseInputScript(text, path, script, error);
}

const char* ButtonsField(uint32_t buttons)
{
    bool left = (buttons & InputKey::LeftButton) != 0;
    bool right = (buttons & InputKey::RightButton) != 0;
    if (left && right) return "LR";
    if (left) return "L";
    if (right) return "R";
    return "-";
}

void PlayScriptUpTo(ScriptPlayer& player, int32_t frame)
{
    const std::vector<ScriptStep>& steps = player.script->steps;
    while (player.nextStep < steps.size() && steps[player.nextStep].frame <= frame) {
        const ScriptStep& step = steps[player.nextStep++];
        RecordMouseMove(step.x, step.y);
        SetHeldKeys(step.buttons);
    }
}

void StartScriptInput(ScriptPlayer& player, const InputScript& script)
{
    player = {&script, 0};
    ResetHeldKeys();
}
