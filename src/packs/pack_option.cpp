// HandlePackOption: --pack and --level read out of the command line, listed or made whole, for the window and the runner alike.
#include "packs/pack_option.h"

#include <cstdio>
#include <cstring>
#include <ctime>
#include <filesystem>
#include <random>
#include <thread>

#include "packs/pack_name.h"
#include "packs/pack_store.h"
#include "support/command_options.h"
#include "support/terminal.h"
#include "support/working_directory.h"

namespace {
constexpr int exitFailed = 1;
constexpr int exitBadUsage = 2;
constexpr char packOption[] = "--pack";
constexpr char levelOption[] = "--level";

PackOptionOutcome Fail(const char* program, const std::string& line, int exitCode)
{
    std::fprintf(stderr, "%s: %s\n", program, line.c_str());
    return {false, exitCode, {}};
}

// Where option (or option=VALUE) stands before any "--"; -1 when it is not there.
int OptionIndex(int argc, char** argv, const char* option)
{
    const size_t length = std::strlen(option);
    for (int i = 1; i < argc && std::strcmp(argv[i], "--") != 0; ++i) {
        if (std::strncmp(argv[i], option, length) == 0 && (argv[i][length] == '\0' || argv[i][length] == '=')) {
            return i;
        }
    }
    return -1;
}

// Takes option VALUE or option=VALUE out of argv. Returns 0 when there is
// none, 1 when found, -1 when its value is missing.
int TakeOption(int& argc, char** argv, const char* option, std::string& value)
{
    int i = OptionIndex(argc, argv, option);
    if (i < 0) return 0;
    const size_t length = std::strlen(option);
    int taken = argv[i][length] == '=' ? 1 : 2;
    if (taken == 2 && i + 1 >= argc) return -1;
    value = taken == 1 ? argv[i] + length + 1 : argv[i + 1];
    for (int j = i; j + taken <= argc; ++j) argv[j] = argv[j + taken];
    argc -= taken;
    return 1;
}

void PrintPacks(const std::string& packs)
{
    std::vector<PackSummary> summaries = ListPacks(packs);
    if (summaries.empty()) std::printf("no packs made yet: tessera --pack new makes one\n");
    for (const PackSummary& pack : summaries) {
        std::printf("pack %s: %s, %d of %d stages cleared\n", PackFolderName(pack.pack).c_str(),
                    PackLevelName(pack.pack.level), pack.cleared, stageCount);
    }
    std::fflush(stdout);
}
}  // namespace

bool ParsePackRequest(const std::string& text, const std::optional<std::string>& levelText, int64_t unixSeconds,
                      PackRequest& request, std::string& error)
{
    request = {};
    if (text == "list") {
        request.kind = PackRequestKind::List;
        if (!levelText) return true;
        error = "--level goes with a pack to play, not with --pack list";
        return false;
    }
    if (text == "new") {
        request.kind = PackRequestKind::New;
        return !levelText || ParseLevelChoice(*levelText, request.pack.level, error);
    }
    request.kind = text == "today" ? PackRequestKind::Today : PackRequestKind::Named;
    if (request.kind == PackRequestKind::Named && !ParsePackName(text, request.pack, error)) {
        error = "a pack is N, hard-N or expert-N with N from 0 to 4294967295, new, today or list, not " + QuotedValue(text);
        return false;
    }
    return ChoosePack(text, levelText, unixSeconds, request.pack, error);
}

PackOptionOutcome HandlePackOption(int& argc, char** argv, const std::string& dataDirectory, const char* program)
{
    std::string value;
    std::string levelValue;
    int found = TakeOption(argc, argv, packOption, value);
    int levelFound = TakeOption(argc, argv, levelOption, levelValue);
    if (levelFound < 0) return Fail(program, "--level needs normal, hard or expert", exitBadUsage);
    if (found == 0 && levelFound == 0) return {};
    if (found == 0) return Fail(program, "--level goes with --pack: tessera --pack new --level hard", exitBadUsage);
    if (found < 0) return Fail(program, "--pack needs a pack's name, new, today or list", exitBadUsage);
    PackRequest request;
    std::string error;
    std::optional<std::string> level;
    if (levelFound > 0) level = levelValue;
    if (!ParsePackRequest(value, level, static_cast<int64_t>(std::time(nullptr)), request, error)) {
        return Fail(program, error, exitBadUsage);
    }

    std::error_code failed;
    std::filesystem::path data = std::filesystem::absolute(dataDirectory, failed);
    std::string packs = (data / packsFolderName).string();
    if (request.kind == PackRequestKind::List) {
        PrintPacks(packs);
        return {false, 0, {}};
    }
    if (request.kind == PackRequestKind::New) {
        std::random_device entropy;
        request.pack.seed =
            NewPackSeed(packs, request.pack.level, [&entropy] { return static_cast<uint32_t>(entropy()); });
    }
    const std::string name = PackFolderName(request.pack);
    if (request.kind != PackRequestKind::Named) {
        std::printf("pack %s\n", name.c_str());
        std::fflush(stdout);
    }

    // On a terminal, a line that says which stage is being made, redrawn in place.
    bool showProgress = IsTerminal(stderr);
    bool shown = false;
    auto maker = [&](const PackId& pack, std::vector<PackFile>& files, std::string& why) {
        auto jobs = static_cast<int32_t>(std::max(1u, std::thread::hardware_concurrency()));
        auto onStage = [&](int32_t stage) {
            if (!showProgress) return;
            std::fprintf(stderr, "\rmaking pack %s: stage %d of %d", name.c_str(), stage + 1, stageCount);
            shown = true;
        };
        return MakePackFiles(pack, jobs, onStage, files, why);
    };
    PackOpening opening;
    bool opened = OpenPack(packs, request.pack, maker, opening, error);
    if (shown) std::fprintf(stderr, "\n");
    for (const std::string& note : opening.notes) std::fprintf(stderr, "%s: %s\n", program, note.c_str());
    if (!opened) return Fail(program, error, exitFailed);
    return {true, 0, opening.directory};
}

bool NamesDirectory(int argc, char** argv)
{
    for (int i = 1; i < argc && std::strcmp(argv[i], "--") != 0; ++i) {
        if (std::strcmp(argv[i], "--dir") == 0 || std::strncmp(argv[i], "--dir=", 6) == 0) return true;
    }
    return false;
}

int RunWithPackOption(int argc, char** argv, GameEntry runHeadless, GameEntry runWindow)
{
    bool headless = HasOption(argc, argv, "--headless");
    if (headless && NamesDirectory(argc, argv) && OptionIndex(argc, argv, packOption) >= 0) {
        std::fprintf(stderr, "tessera: --pack and --dir name two places to play: give one\n");
        return exitBadUsage;
    }
    PackOptionOutcome pack = HandlePackOption(argc, argv, ".", "tessera");
    if (!pack.proceed) return pack.exitCode;
    if (headless) {
        if (pack.directory.empty()) return runHeadless(argc, argv);
        // The pack's folder goes first, as the runner's --dir.
        static char dirOption[] = "--dir";
        std::vector<char*> arguments(argv, argv + argc);
        arguments.insert(arguments.begin() + 1, {dirOption, pack.directory.data()});
        arguments.push_back(nullptr);
        return runHeadless(static_cast<int>(arguments.size()) - 1, arguments.data());
    }
    if (!pack.directory.empty() && !EnterDirectory(pack.directory.c_str())) {
        std::fprintf(stderr, "tessera: cannot enter the pack's folder %s\n", pack.directory.c_str());
        return exitFailed;
    }
    return runWindow(argc, argv);
}
