// OpenPack, ListPacks and NewPackSeed: packs made in a folder of their own and moved in whole, mended file by file.
#include "packs/pack_store.h"

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <memory>
#include <random>

#include "packs/making_lock.h"
#include "support/file_io.h"

namespace fs = std::filesystem;

namespace {
// Far above a stage file or a pack.txt; a longer file is damaged.
constexpr int32_t packFileCap = 1 << 20;
constexpr char makingPrefix[] = ".making-";
constexpr char ownerFileName[] = ".owner";
// A .making folder without its owner file is a leftover only when it is
// older than this: its maker may be between making the folder and the file.
constexpr auto ownerlessGrace = std::chrono::seconds(60);
constexpr int32_t folderNameTries = 100;

std::string Reason(const std::error_code& failed)
{
    return failed.message();
}

// A file of the pack read whole: never through a link, never a pipe or a
// device, never more than the cap. Empty fault when it was read.
std::string ReadPackFile(const fs::path& path, std::string& bytes)
{
    std::error_code failed;
    fs::file_status status = fs::symlink_status(path, failed);
    if (!fs::exists(status)) return "missing";
    if (!fs::is_regular_file(status)) return "not a regular file";
    auto buffer = std::make_unique<char[]>(packFileCap + 1);
    int32_t size = ReadFileBytes(path.string().c_str(), buffer.get(), packFileCap + 1);
    if (size > packFileCap) return "too large";
    bytes.assign(buffer.get(), static_cast<size_t>(size));
    return {};
}

bool WriteWhole(const fs::path& path, const std::string& bytes, std::string& error)
{
    if (WriteFileBytes(path.string().c_str(), bytes.data(), static_cast<int32_t>(bytes.size())) == 1) return true;
    error = path.string() + ": cannot be written: " + std::generic_category().message(errno);
    return false;
}

// Removes the .making folders whose makers are gone: their owner file is no
// longer locked, or they never made one and are past the grace.
void RemoveLeftovers(const fs::path& packs, std::vector<std::string>& notes)
{
    std::error_code failed;
    fs::directory_iterator entries(packs, failed);
    if (failed) return;
    for (const fs::directory_entry& entry : entries) {
        std::string name = entry.path().filename().string();
        if (name.rfind(makingPrefix, 0) != 0 || !entry.is_directory(failed) || entry.is_symlink(failed)) continue;
        fs::path owner = entry.path() / ownerFileName;
        if (fs::exists(fs::symlink_status(owner, failed))) {
            if (MakingLockHeld(owner.string())) continue;
        } else {
            auto written = fs::last_write_time(entry.path(), failed);
            if (failed || fs::file_time_type::clock::now() - written < ownerlessGrace) continue;
        }
        fs::remove_all(entry.path(), failed);
        if (!failed) notes.push_back("removed " + name + ", left by a making that was stopped");
    }
}

// A new folder of a name no one has, beside the packs.
bool MakeFolder(const fs::path& packs, const PackId& pack, fs::path& folder, std::string& error)
{
    std::random_device entropy;
    std::error_code failed;
    for (int32_t attempt = 0; attempt < folderNameTries; ++attempt) {
        char suffix[16];
        std::snprintf(suffix, sizeof suffix, "%08x", static_cast<unsigned>(entropy()));
        folder = packs / (makingPrefix + PackFolderName(pack) + "." + suffix);
        if (fs::create_directory(folder, failed)) return true;
        if (failed) break;
    }
    error = packs.string() + ": cannot be written: " + Reason(failed);
    return false;
}

// The pack's files made by maker in a .making folder of their own, held
// locked while they are made; on success folder holds all eleven.
bool MakeInFolder(const fs::path& packs, const PackId& pack, const PackMaker& maker, fs::path& folder,
                  std::vector<PackFile>& files, MakingLock& lock, std::string& error)
{
    if (!MakeFolder(packs, pack, folder, error)) return false;
    std::error_code failed;
    if (!HoldMakingLock((folder / ownerFileName).string(), lock)) {
        error = (folder / ownerFileName).string() + ": cannot be made: " + std::generic_category().message(errno);
        fs::remove_all(folder, failed);
        return false;
    }
    bool made = maker(pack, files, error);
    for (size_t i = 0; made && i < files.size(); ++i) made = WriteWhole(folder / files[i].name, files[i].bytes, error);
    if (!made) {
        ReleaseMakingLock(lock);
        fs::remove_all(folder, failed);
        return false;
    }
    fs::remove(folder / ownerFileName, failed);
    if (failed) {
        // Windows removes no file that is held open, and the folder could not
        // be moved into place with it: the lock is let go of first there.
        ReleaseMakingLock(lock);
        fs::remove(folder / ownerFileName, failed);
    }
    return true;
}

// " was missing" or " was damaged (why)", for the note of a mend.
std::string Damage(const std::string& fault)
{
    return fault == "missing" ? " was missing" : " was damaged (" + fault + ")";
}

const PackFile* FindFile(const std::vector<PackFile>& files, const std::string& name)
{
    for (const PackFile& file : files) {
        if (file.name == name) return &file;
    }
    return nullptr;
}

// Mends a pack folder that exists: each damaged stage from pack.txt, or from
// files (made by maker when it is still empty) when pack.txt is damaged too.
bool MendPack(const fs::path& packs, const fs::path& target, const PackId& id, const PackMaker& maker,
              std::vector<PackFile>& made, PackOpening& opening, std::string& error)
{
    const std::string pack = "pack " + PackFolderName(id) + ": ";
    std::string text;
    std::string textFault = ReadPackFile(target / packTextName, text);
    std::vector<PackFile> fromText;
    std::string why;
    if (textFault.empty() && !StagesFromPackText(text, id, fromText, why)) textFault = why;

    std::vector<std::pair<std::string, std::string>> damaged;  // name, fault
    for (int32_t stage = 0; stage < stageCount; ++stage) {
        std::string bytes;
        std::string fault = ReadPackFile(target / PackStageName(stage), bytes);
        if (fault.empty()) fault = StageFileFault(bytes);
        if (!fault.empty()) damaged.emplace_back(PackStageName(stage), fault);
    }
    if (damaged.empty() && textFault.empty()) return true;

    const std::vector<PackFile>* source = &fromText;
    const char* from = "pack.txt";
    if (!textFault.empty()) {
        if (made.empty()) {
            fs::path folder;
            MakingLock lock;
            bool whole = MakeInFolder(packs, id, maker, folder, made, lock, error);
            std::error_code failed;
            if (whole) fs::remove_all(folder, failed);
            ReleaseMakingLock(lock);
            if (!whole) return false;
        }
        source = &made;
        from = "the seed";
    }
    for (const auto& [name, fault] : damaged) {
        const PackFile* file = FindFile(*source, name);
        if (file == nullptr) {
            error = pack + name + " cannot be made again";
            return false;
        }
        if (!WriteWhole(target / name, file->bytes, error)) return false;
        opening.notes.push_back(pack + name + Damage(fault) + "; made again from " + from);
    }
    if (!textFault.empty()) {
        const PackFile* file = FindFile(made, packTextName);
        if (file == nullptr) {
            error = pack + packTextName + " cannot be made again";
            return false;
        }
        if (!WriteWhole(target / packTextName, file->bytes, error)) return false;
        opening.notes.push_back(pack + packTextName + Damage(textFault) + "; made again from the seed");
    }
    return true;
}
}  // namespace

bool OpenPack(const std::string& packsDirectory, const PackId& pack, const PackMaker& maker, PackOpening& opening,
              std::string& error)
{
    opening = {};
    fs::path packs(packsDirectory);
    std::error_code failed;
    fs::create_directories(packs, failed);
    if (failed || !fs::is_directory(packs, failed)) {
        error = packsDirectory + ": cannot be made: " + (failed ? Reason(failed) : "not a directory");
        return false;
    }
    RemoveLeftovers(packs, opening.notes);
    fs::path target = packs / PackFolderName(pack);
    opening.directory = target.string();
    std::vector<PackFile> made;
    fs::file_status status = fs::symlink_status(target, failed);
    if (!fs::exists(status)) {
        fs::path folder;
        MakingLock lock;
        if (!MakeInFolder(packs, pack, maker, folder, made, lock, error)) return false;
        // The whole pack appears at once. Another maker that was quicker has
        // put its own in place: this one's files serve to mend it.
        fs::rename(folder, target, failed);
        if (!failed) opening.made = true;
        fs::remove_all(folder, failed);
        ReleaseMakingLock(lock);
        if (opening.made) return true;
        status = fs::symlink_status(target, failed);
    }
    if (!fs::is_directory(status)) {
        error = target.string() + ": is not a directory";
        return false;
    }
    return MendPack(packs, target, pack, maker, made, opening, error);
}

int32_t ClearedStages(const std::string& progressPath)
{
    std::string bytes;
    if (!ReadPackFile(progressPath, bytes).empty() || bytes.size() != sizeof(ProgressFile)) return 0;
    ProgressFile stored;
    std::copy(bytes.begin(), bytes.end(), reinterpret_cast<char*>(&stored));
    if (stored.magic != progressFileMagic) return 0;
    return static_cast<int32_t>(
        std::count_if(stored.clearedFlags, stored.clearedFlags + stageCount, [](uint8_t flag) { return flag != 0; }));
}

std::vector<PackSummary> ListPacks(const std::string& packsDirectory)
{
    std::vector<PackSummary> packs;
    std::error_code failed;
    fs::directory_iterator entries(packsDirectory, failed);
    if (failed) return packs;
    for (const fs::directory_entry& entry : entries) {
        std::string name = entry.path().filename().string();
        PackId pack;
        std::string why;
        if (!ParsePackName(name, pack, why) || name != PackFolderName(pack)) continue;
        if (!fs::is_regular_file(fs::symlink_status(entry.path() / packTextName, failed))) continue;
        packs.push_back({pack, ClearedStages((entry.path() / progressFileName).string())});
    }
    std::sort(packs.begin(), packs.end(), [](const PackSummary& a, const PackSummary& b) {
        return a.pack.level != b.pack.level ? a.pack.level < b.pack.level : a.pack.seed < b.pack.seed;
    });
    return packs;
}

uint32_t NewPackSeed(const std::string& packsDirectory, PackLevel level, const std::function<uint32_t()>& entropy)
{
    std::error_code failed;
    while (true) {
        uint32_t seed = entropy();
        if (!fs::exists(fs::symlink_status(fs::path(packsDirectory) / PackFolderName({level, seed}), failed))) return seed;
    }
}
