// The recorder writes "seed N" and then a "FRAME X Y BUTTONS" line whenever the snapshot's mouse or buttons change.
#include "shell/session_recorder.h"

#include "shell/input_script.h"
#include "support/input_snapshot.h"

namespace {
constexpr uint32_t recordedButtons = InputKey::LeftButton | InputKey::RightButton;

void WriteStep(SessionRecorder& recorder, int32_t frame, int32_t x, int32_t y, uint32_t buttons)
{
    std::fprintf(recorder.file, "%d %d %d %s\n", frame, x, y, ButtonsField(buttons));
    recorder.lastFrame = frame;
    recorder.lastX = x;
    recorder.lastY = y;
    recorder.lastButtons = buttons;
    // A reader of a pipe sees each change as it happens.
    if (recorder.output.streaming) std::fflush(recorder.file);
}
}  // namespace

bool StartRecording(SessionRecorder& recorder, const char* path, uint32_t seed)
{
    recorder = {};
    if (!OpenUserOutput(recorder.output, path)) return false;
    recorder.file = recorder.output.stream;
    std::fprintf(recorder.file, "# tessera session\nseed %u\n", seed);
    return true;
}

void RecordFrameInput(SessionRecorder& recorder, int32_t frame)
{
    if (recorder.file == nullptr) return;
    int32_t x = inputSnapshot.mouseX;
    int32_t y = inputSnapshot.mouseY;
    uint32_t buttons = inputSnapshot.currentKeys & recordedButtons;
    if (recorder.lastFrame >= 0 && x == recorder.lastX && y == recorder.lastY && buttons == recorder.lastButtons) return;
    WriteStep(recorder, frame, x, y, buttons);
}

void MarkRecordingEnd(SessionRecorder& recorder, int32_t framesRun)
{
    if (recorder.file == nullptr) return;
    int32_t finalFrame = framesRun - 1;
    if (finalFrame > recorder.lastFrame) {
        WriteStep(recorder, finalFrame, recorder.lastX, recorder.lastY, recorder.lastButtons);
    }
}

bool StopRecording(SessionRecorder& recorder, int32_t framesRun)
{
    if (recorder.file == nullptr) return true;
    MarkRecordingEnd(recorder, framesRun);
    recorder.file = nullptr;
    return CloseUserOutput(recorder.output);
}
