// The pack worker's program: a stage pack made from its seed with the authoring library, off the page's thread.
#include <emscripten/emscripten.h>

#include <cstdint>
#include <string>
#include <vector>

#include "packs/pack_files.h"

namespace {
// The worker's script (pack-worker.js) defines these hooks on Module.
EM_JS(void, WorkerTellStage, (double seed, int32_t stage), { Module.tesseraStage(seed, stage); });
EM_JS(void, WorkerHandFile, (double seed, const char* name, const char* bytes, int32_t size),
      { Module.tesseraFile(seed, UTF8ToString(name), HEAPU8.slice(bytes, bytes + size)); });
EM_JS(void, WorkerTellFailure, (double seed, const char* error), { Module.tesseraFailed(seed, UTF8ToString(error)); });

// One job: the page's thread is never the one that waits, so the worker needs no more.
constexpr int32_t workerJobs = 1;
}  // namespace

extern "C" {
// Makes the pack of seed: each stage told before it is made, then every file
// handed over in the order the store writes them. 1 when made, else 0 with the failure told.
EMSCRIPTEN_KEEPALIVE int tessera_make_pack(uint32_t seed)
{
    auto shown = static_cast<double>(seed);
    std::vector<PackFile> files;
    std::string error;
    if (!MakePackFiles(seed, workerJobs, [shown](int32_t stage) { WorkerTellStage(shown, stage); }, files, error)) {
        WorkerTellFailure(shown, error.c_str());
        return 0;
    }
    for (const PackFile& file : files) {
        WorkerHandFile(shown, file.name.c_str(), file.bytes.data(), static_cast<int32_t>(file.bytes.size()));
    }
    return 1;
}
}

int main()
{
    return 0;
}
