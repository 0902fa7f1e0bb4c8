// Game files in the browser: IDBFS under the game's directory, the stages copied in from the page's own files.
#include "web/web_files.h"

#include <emscripten/emscripten.h>
#include <unistd.h>

#include <cstdio>
#include <memory>

#include "game/data_files.h"
#include "support/file_io.h"

namespace {
// Where the build puts the stage files inside the page.
constexpr char shippedStages[] = "/stages";

// IndexedDB writes each sync in one transaction: a closed tab leaves the
// stored hist.dat old or new, never half written.
EM_JS(void, PageOpenGameDirectory, (const char* path, int keep), {
    var directory = UTF8ToString(path);
    FS.mkdir(directory);
    if (!keep) {
        Module._tessera_files_ready();
        return;
    }
    FS.mount(IDBFS, {}, directory);
    FS.syncfs(true, function(error) {
        if (error) console.warn('tessera: the saved progress cannot be read: ' + error);
        Module._tessera_files_ready();
    });
});

EM_JS(void, PageSyncGameDirectory, (), {
    var sync = Module.tesseraSync || (Module.tesseraSync = {running: false, again: false});
    if (sync.running) {
        sync.again = true;
        return;
    }
    var run = function() {
        sync.running = true;
        sync.again = false;
        FS.syncfs(false, function(error) {
            if (error) console.warn('tessera: the progress cannot be stored: ' + error);
            sync.running = false;
            if (sync.again) run();
        });
    };
    run();
});
}  // namespace

void OpenGameDirectory(bool keep)
{
    PageOpenGameDirectory(webGameDirectory, keep ? 1 : 0);
}

void PlaceStages()
{
    if (chdir(webGameDirectory) != 0) return;
    auto buffer = std::make_unique<uint8_t[]>(sizeof(StageFile));
    for (int32_t stage = 0; stage < stageCount; ++stage) {
        char name[16];
        char shipped[48];
        std::snprintf(name, sizeof name, "st%d.dat", stage);
        std::snprintf(shipped, sizeof shipped, "%s/%s", shippedStages, name);
        // Only the page writes stage files here: a copy left by an earlier
        // page whose stage is no longer shipped goes.
        unlink(name);
        int32_t size = ReadFileBytes(shipped, buffer.get(), static_cast<int32_t>(sizeof(StageFile)));
        if (size > 0) WriteFileBytes(name, buffer.get(), size);
    }
}

void KeepGameFiles(const char* name)
{
    (void)name;  // every save is hist.dat; a sync writes whatever changed
    PageSyncGameDirectory();
}
