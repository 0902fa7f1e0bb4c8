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

// Another tab's hist.dat, as stored, for tessera_stored_progress: one byte
// more than a progress file, so a longer one is seen as damaged.
uint8_t storedProgress[sizeof(ProgressFile) + 1];

// IndexedDB writes each sync in one transaction: a closed tab leaves the
// stored hist.dat old or new, never half written. After each store the other
// tabs of the page are told; each reads the stored hist.dat and takes its
// clears into its own copy, so that its next save keeps them.
EM_JS(void, PageOpenGameDirectory, (const char* path, int keep, uint8_t* stored, int storedSize), {
    var directory = UTF8ToString(path);
    FS.mkdir(directory);
    if (!keep) {
        Module._tessera_files_ready();
        return;
    }
    FS.mount(IDBFS, {}, directory);
    var channel = typeof BroadcastChannel === 'function' ? new BroadcastChannel('tessera-storage') : null;
    Module.tesseraStored = function() {
        if (channel) channel.postMessage('stored');
    };
    if (channel) channel.onmessage = function() {
        IDBFS.getDB(directory, function(error, db) {
            if (error) return;
            var files = db.transaction([IDBFS.DB_STORE_NAME], 'readonly').objectStore(IDBFS.DB_STORE_NAME);
            IDBFS.loadRemoteEntry(files, directory + '/hist.dat', function(error, entry) {
                if (error || !entry || !entry.contents) return;
                var bytes = entry.contents.subarray(0, storedSize);
                HEAPU8.set(bytes, stored);
                Module._tessera_stored_progress(bytes.length);
            });
        });
    };
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
            if (error) {
                console.warn('tessera: the progress cannot be stored: ' + error);
            } else {
                Module.tesseraStored();
            }
            sync.running = false;
            if (sync.again) run();
        });
    };
    run();
});
}  // namespace

void OpenGameDirectory(bool keep)
{
    PageOpenGameDirectory(webGameDirectory, keep ? 1 : 0, storedProgress, static_cast<int>(sizeof storedProgress));
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

extern "C" {
// Another tab stored hist.dat (size bytes in storedProgress): its clears join
// this tab's copy. Written back only when something new came, so two tabs
// telling each other of their stores soon fall quiet.
EMSCRIPTEN_KEEPALIVE void tessera_stored_progress(int size)
{
    char path[64];
    std::snprintf(path, sizeof path, "%s/%s", webGameDirectory, progressFileName);
    ProgressFile copy{};
    bool valid = QueryFileSize(path) == static_cast<int32_t>(sizeof copy) &&
                 ReadFileBytes(path, &copy, sizeof copy) == static_cast<int32_t>(sizeof copy) &&
                 copy.magic == progressFileMagic;
    if (!valid) copy = {progressFileMagic, {}};
    if (TakeStoredClears(copy, storedProgress, size)) WriteFileBytes(path, &copy, sizeof copy);
}
}
