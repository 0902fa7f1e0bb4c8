// BeginWindowSession and EndWindowSession: the command line, the seed and the recording, shared by the SDL and Windows windows.
#include "shell/window_session.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <ctime>
#include <string>

#include "shell/usage.h"
#include "support/working_directory.h"

namespace {
void SayRecordingFailed(const char* path)
{
    std::fprintf(stderr, "tessera: cannot write %s: %s\n", path, std::strerror(errno));
}
}  // namespace

bool BeginWindowSession(int argc, char** argv, WindowSession& session)
{
    std::string reason = ParseWindowOptions(argc, argv, session.options);
    if (!reason.empty()) {
        std::fprintf(stderr, "tessera: %s\n%s", reason.c_str(), tesseraUsage);
        return false;
    }
    session.seed = session.options.seed.value_or(static_cast<uint32_t>(std::time(nullptr)));
    const char* path = session.options.recordPath;
    if (path != nullptr && !StartRecording(session.recorder, PathFromStart(path).c_str(), session.seed)) {
        SayRecordingFailed(path);
        return false;
    }
    return true;
}

bool EndWindowSession(WindowSession& session, int32_t framesRun)
{
    if (StopRecording(session.recorder, framesRun)) return true;
    SayRecordingFailed(session.options.recordPath);
    return false;
}
