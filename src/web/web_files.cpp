// Game files in the browser: IDBFS under the game's and the packs' directories, each folder stored on its own.
#include "web/web_files.h"

#include <emscripten/emscripten.h>
#include <unistd.h>

#include <cstdio>
#include <memory>

#include "game/data_files.h"
#include "packs/pack_store.h"
#include "support/file_io.h"

namespace {
// Where the build puts the stage files inside the page.
constexpr char shippedStages[] = "/stages";
constexpr size_t pathCapacity = 96;

// The directory the game plays in, as a C string that lives as long as the page.
char gameDirectory[pathCapacity] = "";

// Another tab's hist.dat, as stored, for tessera_stored_progress: one byte
// more than a progress file, so a longer one is seen as damaged.
uint8_t storedProgress[sizeof(ProgressFile) + 1];

EM_JS(void, PageOpenStorage, (const char* game, const char* packs, int keep), {
    var directories = [UTF8ToString(game), UTF8ToString(packs)];
    directories.forEach(function(directory) { FS.mkdir(directory); });
    Module.tesseraKeep = !!keep;
    if (!keep) {
        Module._tessera_files_ready();
        return;
    }
    directories.forEach(function(directory) { FS.mount(IDBFS, {}, directory); });
    FS.syncfs(true, function(error) {
        if (error) console.warn('tessera: the saved progress cannot be read: ' + error);
        Module._tessera_files_ready();
    });
});

// IndexedDB writes each store in one transaction: a closed tab leaves the
// stored folder old or new, never half written. Only the folder's own
// entries are compared and written, so a pack another tab stored after this
// tab loaded is never taken away. After the game's directory is stored the
// other tabs are told; a tab playing the same set reads the stored hist.dat
// and takes its clears into its own copy, so that its next save keeps them.
EM_JS(void, PageStoreFolder, (const char* path, const char* game), {
    var folder = UTF8ToString(path);
    var playing = UTF8ToString(game);
    if (!Module.tesseraKeep) {
        if (Module.tesseraFolderStored) Module.tesseraFolderStored(folder);
        return;
    }
    var stores = Module.tesseraStores || (Module.tesseraStores = {});
    var store = stores[folder] || (stores[folder] = {running: false, again: false});
    if (store.running) {
        store.again = true;
        return;
    }
    var mount = FS.lookupPath('/' + folder.split('/')[1]).node.mount;
    var within = function(set) {
        var entries = {};
        Object.keys(set.entries).forEach(function(key) {
            if (key === folder || key.indexOf(folder + '/') === 0) entries[key] = set.entries[key];
        });
        return {type: set.type, db: set.db, entries: entries};
    };
    var finish = function(error) {
        if (error) {
            console.warn('tessera: ' + folder + ' cannot be stored: ' + error);
        } else {
            if (folder === playing && Module.tesseraChannel) Module.tesseraChannel.postMessage({directory: folder});
            if (Module.tesseraFolderStored) Module.tesseraFolderStored(folder);
        }
        store.running = false;
        if (store.again) run();
    };
    var run = function() {
        store.running = true;
        store.again = false;
        IDBFS.getLocalSet(mount, function(error, local) {
            if (error) return finish(error);
            IDBFS.getRemoteSet(mount, function(error, remote) {
                if (error) return finish(error);
                IDBFS.reconcile(within(local), within(remote), finish);
            });
        });
    };
    run();
});

EM_JS(void, PageWatchOtherTabs, (const char* path, uint8_t* stored, int storedSize), {
    var directory = UTF8ToString(path);
    if (!Module.tesseraKeep || typeof BroadcastChannel !== 'function') return;
    var channel = Module.tesseraChannel = new BroadcastChannel('tessera-storage');
    var database = '/' + directory.split('/')[1];
    channel.onmessage = function(event) {
        if (!event.data || event.data.directory !== directory) return;
        IDBFS.getDB(database, function(error, db) {
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
});
}  // namespace

void OpenStorage(bool keep)
{
    PageOpenStorage(webGameDirectory, webPacksDirectory, keep ? 1 : 0);
}

void PlaceStages()
{
    auto buffer = std::make_unique<uint8_t[]>(sizeof(StageFile));
    for (int32_t stage = 0; stage < stageCount; ++stage) {
        char name[pathCapacity];
        char shipped[pathCapacity];
        std::snprintf(name, sizeof name, "%s/st%d.dat", webGameDirectory, stage);
        std::snprintf(shipped, sizeof shipped, "%s/st%d.dat", shippedStages, stage);
        // Only the page writes stage files here: a copy left by an earlier
        // page whose stage is no longer shipped goes.
        unlink(name);
        int32_t size = ReadFileBytes(shipped, buffer.get(), static_cast<int32_t>(sizeof(StageFile)));
        if (size > 0) WriteFileBytes(name, buffer.get(), size);
    }
}

bool PlayIn(const std::string& directory)
{
    if (directory.size() >= sizeof gameDirectory || chdir(directory.c_str()) != 0) return false;
    std::snprintf(gameDirectory, sizeof gameDirectory, "%s", directory.c_str());
    PageWatchOtherTabs(gameDirectory, storedProgress, static_cast<int>(sizeof storedProgress));
    return true;
}

void KeepFolder(const std::string& folder)
{
    PageStoreFolder(folder.c_str(), gameDirectory);
}

void KeepGameFiles(const char* name)
{
    (void)name;  // every save is hist.dat; a store writes whatever changed
    PageStoreFolder(gameDirectory, gameDirectory);
}

int ClearedInGameDirectory()
{
    return ClearedStages(std::string(gameDirectory) + "/" + progressFileName);
}

extern "C" {
// Another tab stored hist.dat (size bytes in storedProgress): its clears join
// this tab's copy. Written back only when something new came, so two tabs
// telling each other of their stores soon fall quiet.
EMSCRIPTEN_KEEPALIVE void tessera_stored_progress(int size)
{
    char path[pathCapacity];
    std::snprintf(path, sizeof path, "%s/%s", gameDirectory, progressFileName);
    ProgressFile copy{};
    bool valid = QueryFileSize(path) == static_cast<int32_t>(sizeof copy) &&
                 ReadFileBytes(path, &copy, sizeof copy) == static_cast<int32_t>(sizeof copy) &&
                 copy.magic == progressFileMagic;
    if (!valid) copy = {progressFileMagic, {}};
    if (TakeStoredClears(copy, storedProgress, size)) WriteFileBytes(path, &copy, sizeof copy);
}

// How many of the set's ten stages are cleared, for the page to show.
EMSCRIPTEN_KEEPALIVE int tessera_cleared_stages()
{
    return ClearedInGameDirectory();
}
}
