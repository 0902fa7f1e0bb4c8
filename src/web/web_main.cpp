// The browser page's entry: options and the stage set from the page's address, the files, then the game's loop or a test's frames.
#include <emscripten/emscripten.h>
#include <sys/stat.h>

#include <cstdio>
#include <cstring>
#include <ctime>
#include <optional>
#include <string>

#include "draw/canvas.h"
#include "support/file_io.h"
#include "support/input_snapshot.h"
#include "support/message_box.h"
#include "support/parse_number.h"
#include "support/random.h"
#include "web/dom_input.h"
#include "web/page_loop.h"
#include "web/page_set.h"
#include "web/test_entry.h"
#include "web/web_events.h"
#include "web/web_files.h"
#include "web/web_packs.h"
#include "web/web_page.h"

namespace {
struct PageOptions {
    std::optional<uint32_t> seed;
    std::optional<std::string> pack;     // the address's pack value, as typed
    std::optional<std::string> level;    // the address's level value, as typed
    std::optional<std::string> version;  // the generator version a shared link carries
    bool test = false;  // driven frame by frame by a test: no clock, no stored progress
};

PageOptions options;
PageSet pageSet;

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
        } else if (std::strcmp(argv[i], "--pack") == 0 && i + 1 < argc) {
            options.pack = argv[++i];
        } else if (std::strcmp(argv[i], "--level") == 0 && i + 1 < argc) {
            options.level = argv[++i];
        } else if (std::strcmp(argv[i], "--pack-version") == 0 && i + 1 < argc) {
            options.version = argv[++i];
        } else {
            return false;
        }
    }
    return true;
}

void StartGame(const std::string& directory)
{
    if (!PlayIn(directory)) std::fprintf(stderr, "tessera: %s cannot be entered\n", directory.c_str());
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
    AnnounceReady(options.test);
}

void StartShipped(std::string note)
{
    std::string level = pageSet.chosenLevel;
    pageSet = ChoosePageSet(std::nullopt, std::nullopt, std::nullopt, 0);
    ShowSet(pageSet.label.c_str(), "", level.c_str(), note.c_str());
    PlaceStages();
    StartGame(webGameDirectory);
}

// The pack the address asks for, once the store has it whole; made by the
// page's worker first when it is not.
void StartPack()
{
    std::string directory;
    std::string error;
    switch (OpenPagePack(pageSet.id, directory, error)) {
    case PackOpened::Whole: StartGame(directory); break;
    case PackOpened::NeedsMaking: MakePackInWorker(pageSet.name.c_str()); break;
    case PackOpened::Failed:
        StartShipped(pageSet.label + " cannot be opened: " + error);
        break;
    }
}
}  // namespace

extern "C" {
// The page's storage is loaded: the game starts in the set's directory.
EMSCRIPTEN_KEEPALIVE void tessera_files_ready()
{
    if (pageSet.pack) {
        StartPack();
    } else {
        StartShipped(pageSet.note);
    }
}

// The worker has made the files of the pack the address asks for and the
// page has handed them over (ok 1), or it could not make them (ok 0, why).
EMSCRIPTEN_KEEPALIVE void tessera_pack_made(int ok, const char* why)
{
    if (ok != 0) {
        StartPack();
    } else {
        StartShipped(pageSet.label + " cannot be made: " + why);
    }
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
    pageSet = ChoosePageSet(options.pack, options.level, options.version, static_cast<int64_t>(std::time(nullptr)));
    if (pageSet.pack) ShowSet(pageSet.label.c_str(), pageSet.name.c_str(), pageSet.chosenLevel.c_str(), pageSet.note.c_str());
    OpenStorage(!options.test);
    return 0;
}
