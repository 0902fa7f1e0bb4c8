// The browser page's entry: options from the page's address, the files, then the game's loop or a test's frames.
#include <emscripten/emscripten.h>
#include <sys/stat.h>

#include <cstdio>
#include <cstring>
#include <ctime>
#include <optional>

#include "draw/canvas.h"
#include "support/file_io.h"
#include "support/input_snapshot.h"
#include "support/message_box.h"
#include "support/parse_number.h"
#include "support/random.h"
#include "web/dom_input.h"
#include "web/page_loop.h"
#include "web/test_entry.h"
#include "web/web_events.h"
#include "web/web_files.h"
#include "web/web_page.h"

namespace {
struct PageOptions {
    std::optional<uint32_t> seed;
    bool test = false;  // driven frame by frame by a test: no clock, no stored progress
};

PageOptions options;

bool ParseOptions(int argc, char** argv)
{
    for (int i = 0; i < argc; ++i) {
        int64_t number = 0;
        if (std::strcmp(argv[i], "--test") == 0) {
            options.test = true;
        } else if (std::strcmp(argv[i], "--seed") == 0 && i + 1 < argc &&
                   ParseNumber(argv[i + 1], 0, UINT32_MAX, number)) {
            options.seed = static_cast<uint32_t>(number);
            ++i;
        } else {
            return false;
        }
    }
    return true;
}
}  // namespace

extern "C" {
// The page's storage is loaded: the game starts.
EMSCRIPTEN_KEEPALIVE void tessera_files_ready()
{
    PlaceStages();
    canvases[0].create(canvasWidth, canvasHeight);
    SetMessageBoxHandler(ShowPageDialog);
    if (options.test) {
        StartTestEntry(options.seed);
    } else {
        uint32_t seed = options.seed.value_or(static_cast<uint32_t>(std::time(nullptr)));
        SeedRandom(seed);
        SetFileWrittenObserver(KeepGameFiles);
        ListenToPage(EndPageGame);
        StartPageLoop(seed);
    }
    AnnounceReady();
}
}

int main(int argc, char** argv)
{
    if (!ParseOptions(argc - 1, argv + 1)) {
        std::fprintf(stderr, "tessera: bad page arguments\n");
        return 2;
    }
    // Emscripten's libc starts with a umask of 0777, which would leave every
    // saved file unreadable: the usual one.
    umask(S_IWGRP | S_IWOTH);
    OpenGameDirectory(!options.test);
    return 0;
}
