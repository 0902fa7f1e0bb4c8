// A pack's files as bytes: the generator's pack written out, or its stages compiled again from pack.txt.
#include "packs/pack_files.h"

#include <cstdio>
#include <cstring>

#include "authoring/stage_pack.h"
#include "authoring/stage_source.h"

namespace {
constexpr char sectionMark[] = "== ";
constexpr std::string_view levelMark = "level ";

std::string StageBytes(const StageFile& stage)
{
    return std::string(reinterpret_cast<const char*>(&stage), sizeof stage);
}

// The text's lines, each without its line break.
std::vector<std::string> Lines(const std::string& text)
{
    std::vector<std::string> lines;
    size_t start = 0;
    while (start < text.size()) {
        size_t end = text.find('\n', start);
        if (end == std::string::npos) end = text.size();
        lines.push_back(text.substr(start, end - start));
        start = end + 1;
    }
    return lines;
}
}  // namespace

std::string PackStageName(int32_t stage)
{
    char name[16];
    std::snprintf(name, sizeof name, stageFileNameFormat, stage);
    return name;
}

bool MakePackFiles(const PackId& pack, int32_t jobs, const std::function<void(int32_t)>& onStage,
                   std::vector<PackFile>& files, std::string& error)
{
    PackOptions options;
    options.seed = pack.seed;
    options.level = pack.level;
    options.jobs = jobs;
    options.onStage = onStage;
    StagePack made;
    if (!MakeStagePack(options, made, error)) return false;
    files.clear();
    for (int32_t i = 0; i < stageCount; ++i) {
        files.push_back({PackStageName(i), StageBytes(made.stages[static_cast<size_t>(i)].file)});
    }
    files.push_back({packTextName, WritePackText(made)});
    return true;
}

// pack.txt holds a header of comments, "seed N", "level L" (but for normal
// packs), "generator V" and the "tessera VERSION" that wrote it (a pack.txt
// from 1.0.0 has none), then each stage's source after a line "== stK.dat", in
// order. Only the seed and the level are read from the header.
bool StagesFromPackText(const std::string& text, const PackId& pack, std::vector<PackFile>& compiled,
                        std::string& error)
{
    const uint32_t seed = pack.seed;
    std::vector<std::string> lines = Lines(text);
    std::vector<std::string> sources;
    bool seedSeen = false;
    PackLevel level = PackLevel::normal;
    std::string levelWhere = "pack.txt";
    for (size_t i = 0; i < lines.size(); ++i) {
        const std::string& line = lines[i];
        if (line.rfind(sectionMark, 0) == 0) {
            if (line != sectionMark + PackStageName(static_cast<int32_t>(sources.size()))) {
                error = "pack.txt:" + std::to_string(i + 1) + ": expected the section of " +
                        PackStageName(static_cast<int32_t>(sources.size()));
                return false;
            }
            sources.emplace_back();
        } else if (!sources.empty()) {
            sources.back() += line + "\n";
        } else if (line.rfind("seed ", 0) == 0) {
            seedSeen = line == "seed " + std::to_string(seed);
            if (!seedSeen) {
                error = "pack.txt:" + std::to_string(i + 1) + ": not the pack of seed " + std::to_string(seed);
                return false;
            }
        } else if (line.rfind(levelMark, 0) == 0) {
            levelWhere = "pack.txt:" + std::to_string(i + 1);
            std::string_view named = std::string_view(line).substr(levelMark.size());
            if (!ParsePackLevel(named, level)) {
                error = levelWhere + ": " + QuotedValue(named) + " is no level";
                return false;
            }
        }
    }
    if (!seedSeen) {
        error = "pack.txt: no seed line";
        return false;
    }
    if (level != pack.level) {
        error = levelWhere + ": a " + PackLevelName(level) + " pack, not " + PackLevelName(pack.level);
        return false;
    }
    if (sources.size() != static_cast<size_t>(stageCount)) {
        error = "pack.txt: " + std::to_string(sources.size()) + " stages, not " + std::to_string(stageCount);
        return false;
    }
    compiled.clear();
    for (int32_t i = 0; i < stageCount; ++i) {
        std::string name = PackStageName(i);
        StageSource source;
        std::string where = "pack.txt " + name;
        if (!ParseStageSource(sources[static_cast<size_t>(i)], where.c_str(), source, error)) return false;
        std::string bytes = StageBytes(CompileStage(source));
        std::string fault = StageFileFault(bytes);
        if (!fault.empty()) {
            error = where + ": " + fault;
            return false;
        }
        compiled.push_back({name, std::move(bytes)});
    }
    return true;
}

std::string StageFileFault(const std::string& bytes)
{
    if (bytes.size() != sizeof(StageFile)) {
        return std::to_string(bytes.size()) + " bytes, not " + std::to_string(sizeof(StageFile));
    }
    StageFile stage;
    std::memcpy(&stage, bytes.data(), sizeof stage);
    if (stage.magic != stageFileMagic) return "wrong magic";
    char reason[160] = {};
    if (!CheckStageLimits(stage, reason, sizeof reason)) return reason;
    return {};
}
