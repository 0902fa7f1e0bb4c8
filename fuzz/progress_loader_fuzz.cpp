// Fuzzes the progress file: any bytes load without harm, and a save always writes a valid file.
#include <sys/stat.h>
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "game/data_files.h"
#include "support/file_io.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    static bool started = false;
    if (!started) {
        started = true;
        std::string directory = "/tmp/tessera-fuzz-progress-" + std::to_string(getpid());
        mkdir(directory.c_str(), 0700);
        if (chdir(directory.c_str()) != 0) std::abort();
    }
    std::FILE* file = std::fopen(progressFileName, "wb");
    if (file == nullptr) return 0;
    std::fwrite(data, 1, size, file);
    std::fclose(file);

    LoadProgressFile();
    bool valid = size == sizeof(ProgressFile) && progress.magic == progressFileMagic;
    for (int32_t i = 0; i < progressFlagCount && !valid; ++i) {
        if (progress.clearedFlags[i] != 0) std::abort();
    }
    progress.clearedFlags[size % stageCount] = 1;
    if (!SaveProgressFile()) std::abort();
    ProgressFile saved{};
    if (ReadFileBytes(progressFileName, &saved, sizeof saved) != sizeof saved) std::abort();
    if (QueryFileSize(progressFileName) != sizeof(ProgressFile) || saved.magic != progressFileMagic) std::abort();
    return 0;
}
