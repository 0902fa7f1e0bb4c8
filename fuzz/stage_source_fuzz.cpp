// Fuzzes the stage source compiler: whatever it accepts must compile to a stage the game loads.
#include <cstdint>
#include <cstdlib>
#include <string>

#include "authoring/stage_source.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    std::string text(reinterpret_cast<const char*>(data), size);
    StageSource source;
    std::string error;
    if (!ParseStageSource(text, "fuzz.txt", source, error)) {
        if (error.rfind("fuzz.txt:", 0) != 0) std::abort();
        return 0;
    }
    StageFile stage = CompileStage(source);
    if (!CheckStageLimits(stage, nullptr, 0)) std::abort();
    return 0;
}
