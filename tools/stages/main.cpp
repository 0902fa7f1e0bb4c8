// tessera-stages: builds, checks, shows and generates the game's stage files.
#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <string>
#include <thread>
#include <vector>

#include "game/data_files.h"
#include "support/bounded_read.h"
#include "support/command_options.h"
#include "support/file_io.h"
#include "support/format_ring.h"
#include "support/parse_number.h"
#include "support/terminal.h"
#include "support/user_output.h"
#include "authoring/stage_generator.h"
#include "authoring/stage_grade.h"
#include "authoring/stage_pack.h"
#include "authoring/stage_solver.h"
#include "authoring/stage_source.h"
#include "authoring/stage_text.h"
#include "authoring/tiling_search.h"
#include "authoring/unique_stage.h"

namespace {
constexpr int exitOk = 0;
constexpr int exitInvalid = 1;
constexpr int exitUsage = 2;
constexpr int64_t maxJobs = 64;
constexpr char usage[] =
    "usage: tessera-stages build SRC... -o DIR\n"
    "       tessera-stages check [--solve] [--limit N] [--time-limit SECONDS] [--mirror] [--board-only]\n"
    "                            [--distinct | --reference] [--jobs N] [--print N] [--grade] FILE...\n"
    "       tessera-stages show FILE.dat\n"
    "       tessera-stages generate --width W --height H --pieces N [--min-cells A --max-cells B] [--seed S]\n"
    "                               [--no-squares] [--unique [--decoys K] [--time-limit SECONDS]] [--jobs N]\n"
    "       tessera-stages pack --seed N [--level normal|hard|expert] -o DIR [--jobs N]\n"
    "       tessera-stages [COMMAND] --help | --version\n";
// How --jobs is used, said by --help only: usage errors keep to the usage.
constexpr char jobsHelp[] =
    "\n--jobs N: threads (default: every core); results never depend on it. A count starts on one thread\n"
    "and takes the others only after a million search steps: a shorter count is faster on one. A grade's\n"
    "sixteen runs share the threads; generate --unique and pack run their two walks side by side.\n";

// Whether --help stands among a command's options, before any "--" that ends them.
bool AsksForHelp(int argc, char** argv)
{
    for (int i = 1; i < argc && std::string(argv[i]) != "--"; ++i) {
        if (std::string(argv[i]) == "--help") return true;
    }
    return false;
}

int Usage(const std::string& reason)
{
    std::fprintf(stderr, "tessera-stages: %s\n%s", reason.c_str(), usage);
    return exitUsage;
}

bool EndsWith(const std::string& text, const std::string& ending)
{
    return text.size() >= ending.size() && text.compare(text.size() - ending.size(), ending.size(), ending) == 0;
}

// "--name" of the long option whose value getopt_long returns as value.
std::string LongName(const option* options, int value)
{
    for (const option* entry = options; entry->name != nullptr; ++entry) {
        if (entry->val == value) return std::string("--") + entry->name;
    }
    return "an option";
}

// A piece that lists one cell twice overlaps itself and can never be placed
// in the game, though its file passes the game's own checks.
bool RefuseRepeatedCells(const std::string& path, const StageFile& stage)
{
    for (int32_t i = 0; i < stage.pieceCount; ++i) {
        const PieceShape& shape = stage.shapes[i];
        for (int32_t k = 0; k < shape.cellCount; ++k) {
            for (int32_t j = 0; j < k; ++j) {
                if (shape.cells[j].x == shape.cells[k].x && shape.cells[j].y == shape.cells[k].y) {
                    std::fprintf(stderr, "%s: piece %d lists cell (%d, %d) twice, as cells %d and %d\n", path.c_str(),
                                 i, shape.cells[k].x, shape.cells[k].y, j, k);
                    return false;
                }
            }
        }
    }
    return true;
}

// Loads a compiled stage or compiles a source; prints why not on failure.
bool LoadAnyStage(const std::string& path, StageFile& stage)
{
    if (EndsWith(path, ".dat")) {
        char reason[160];
        if (!ReadStageFile(path.c_str(), stage, reason, sizeof reason)) {
            std::fprintf(stderr, "%s: %s\n", path.c_str(), reason);
            return false;
        }
        return RefuseRepeatedCells(path, stage);
    }
    std::string text;
    std::string error;
    if (!ReadBoundedFile(path.c_str(), text, error)) {
        std::fprintf(stderr, "%s\n", error.c_str());
        return false;
    }
    StageSource source;
    if (!ParseStageSource(text, path.c_str(), source, error)) {
        std::fprintf(stderr, "%s\n", error.c_str());
        return false;
    }
    stage = CompileStage(source);
    return RefuseRepeatedCells(path, stage);
}

constexpr option buildOptions[] = {
    {"output", required_argument, nullptr, 'o'},
    {nullptr, 0, nullptr, 0},
};

int Build(int argc, char** argv)
{
    std::string directory;
    StartOptionParsing();
    int result = 0;
    while ((result = getopt_long(argc, argv, ":o:", buildOptions, nullptr)) != -1) {
        if (result != 'o') return Usage(result == ':' ? "-o needs a directory" : OptionComplaint(result, argv));
        directory = optarg;
    }
    std::vector<std::string> sources(argv + optind, argv + argc);
    if (directory.empty() || sources.empty()) return Usage("build needs sources and -o DIR");
    if (static_cast<int32_t>(sources.size()) > 100) return Usage("at most 100 sources");
    std::error_code made;
    std::filesystem::create_directories(directory, made);
    if (made) {
        std::fprintf(stderr, "%s: cannot be made: %s\n", directory.c_str(), made.message().c_str());
        return exitInvalid;
    }
    for (size_t i = 0; i < sources.size(); ++i) {
        StageFile stage;
        if (!LoadAnyStage(sources[i], stage)) return exitInvalid;
        std::string target = directory + "/" + FormatText(stageFileNameFormat, static_cast<int>(i));
        if (!WriteUserFile(target.c_str(), &stage, sizeof stage)) {
            std::fprintf(stderr, "%s: cannot be written: %s\n", target.c_str(), std::strerror(errno));
            return exitInvalid;
        }
    }
    return exitOk;
}

enum CheckOption { SolveOption = 256, MirrorOption, BoardOnlyOption, DistinctOption, GradeOption, ReferenceOption,
                   LimitOption, PrintOption, TimeLimitOption, JobsOption };

constexpr option checkOptions[] = {
    {"solve", no_argument, nullptr, SolveOption},
    {"mirror", no_argument, nullptr, MirrorOption},
    {"board-only", no_argument, nullptr, BoardOnlyOption},
    {"distinct", no_argument, nullptr, DistinctOption},
    {"grade", no_argument, nullptr, GradeOption},
    {"reference", no_argument, nullptr, ReferenceOption},
    {"limit", required_argument, nullptr, LimitOption},
    {"print", required_argument, nullptr, PrintOption},
    {"time-limit", required_argument, nullptr, TimeLimitOption},
    {"jobs", required_argument, nullptr, JobsOption},
    {nullptr, 0, nullptr, 0},
};

int Check(int argc, char** argv)
{
    SolveOptions options;
    options.jobs = static_cast<int32_t>(std::max(1u, std::thread::hardware_concurrency()));
    bool solve = false;
    bool grade = false;
    bool reference = false;  // count by dancing links, the slow and simple solver the fast one is checked against
    int64_t printCount = 0;
    StartOptionParsing();
    int parsed = 0;
    while ((parsed = getopt_long(argc, argv, ":", checkOptions, nullptr)) != -1) {
        int64_t number = 0;
        bool numbered = parsed == LimitOption || parsed == PrintOption || parsed == TimeLimitOption ||
                        parsed == JobsOption;
        if (numbered && !ParseNumber(optarg, 1, INT32_MAX, number)) {
            return Usage(LongName(checkOptions, parsed) + " needs a positive number");
        }
        switch (parsed) {
        case SolveOption: solve = true; break;
        case MirrorOption: options.mirror = true; break;
        case BoardOnlyOption: options.boardOnly = true; break;
        case DistinctOption: options.distinct = true; break;
        case GradeOption: grade = true; break;
        case ReferenceOption: reference = solve = true; break;
        case LimitOption: options.limit = number; break;
        case PrintOption: printCount = number; break;
        case TimeLimitOption: options.timeLimit = static_cast<double>(number); break;
        case JobsOption: options.jobs = static_cast<int32_t>(std::min<int64_t>(number, maxJobs)); break;
        default:
            if (parsed == ':' && optopt >= LimitOption) {
                return Usage(LongName(checkOptions, optopt) + " needs a positive number");
            }
            return Usage(OptionComplaint(parsed, argv));
        }
    }
    std::vector<std::string> files(argv + optind, argv + argc);
    if (files.empty()) return Usage("check needs at least one file");
    if (reference && options.distinct) return Usage("--reference counts every tiling and cannot take --distinct");
    options.report = printCount;
    if (printCount > 0 || options.distinct) solve = true;
    // On a terminal, a line that shows the search is alive, redrawn in place.
    bool showProgress = IsTerminal(stderr);
    if (showProgress) {
        options.onProgress = [](const SolveProgress& search) {
            std::fprintf(stderr, "\rsearching: %lld steps, %lld solutions so far", static_cast<long long>(search.nodes),
                         static_cast<long long>(search.solutions));
        };
    }

    int status = exitOk;
    for (const std::string& file : files) {
        StageFile stage;
        std::printf("%s\n", file.c_str());
        if (!LoadAnyStage(file, stage)) {
            status = exitInvalid;
            continue;
        }
        PrintStage(stdout, stage);
        Puzzle puzzle = StagePuzzle(stage);
        if (grade) {
            StageGrade measured = GradeStage(puzzle, options.jobs);
            std::printf("grade: %.1f (%.1f guesses to the first tiling, %.0f%% of moves forced)\n", measured.grade,
                        measured.meanGuesses, 100 * measured.forcedShare);
        }
        if (!solve) continue;
        options.onSolution = [&puzzle](const std::vector<PlacedPiece>& solution) {
            PrintSolution(stdout, puzzle, solution);
        };
        SolveResult result = reference ? SolvePuzzle(puzzle, options) : CountTilings(puzzle, options);
        if (showProgress && result.seconds >= 1) std::fprintf(stderr, "\n");
        if (result.stoppedAtTime) {
            std::printf("%s: at least %lld, stopped after %.0f s\n", options.distinct ? "distinct tilings" : "solutions",
                        static_cast<long long>(result.count), options.timeLimit);
        } else {
            std::printf("%s: %s%lld\n", options.distinct ? "distinct tilings" : "solutions",
                        result.stoppedAtLimit ? "at least " : "", static_cast<long long>(result.count));
        }
        std::printf("search took %.3f s, %lld steps\n", result.seconds, static_cast<long long>(result.nodes));
        if (result.count == 0) {
            std::fprintf(stderr, "%s: no solution\n", file.c_str());
            status = exitInvalid;
        }
    }
    return status;
}

int Show(int argc, char** argv)
{
    StartOptionParsing();
    constexpr option noOptions[] = {{nullptr, 0, nullptr, 0}};
    int result = getopt_long(argc, argv, ":", noOptions, nullptr);
    if (result != -1) return Usage(OptionComplaint(result, argv));
    if (argc - optind != 1) return Usage("show needs one stage file");
    StageFile stage;
    if (!LoadAnyStage(argv[optind], stage)) return exitInvalid;
    PrintStage(stdout, stage);
    return exitOk;
}

enum GenerateOption { UniqueOption = 256, NoSquaresOption, WidthOption, HeightOption, PiecesOption, MinCellsOption, MaxCellsOption,
                      GenerateSeedOption, DecoysOption, GenerateJobsOption, GenerateTimeLimitOption };

constexpr option generateOptions[] = {
    {"unique", no_argument, nullptr, UniqueOption},
    {"no-squares", no_argument, nullptr, NoSquaresOption},
    {"width", required_argument, nullptr, WidthOption},
    {"height", required_argument, nullptr, HeightOption},
    {"pieces", required_argument, nullptr, PiecesOption},
    {"min-cells", required_argument, nullptr, MinCellsOption},
    {"max-cells", required_argument, nullptr, MaxCellsOption},
    {"seed", required_argument, nullptr, GenerateSeedOption},
    {"decoys", required_argument, nullptr, DecoysOption},
    {"jobs", required_argument, nullptr, GenerateJobsOption},
    {"time-limit", required_argument, nullptr, GenerateTimeLimitOption},
    {nullptr, 0, nullptr, 0},
};

int Generate(int argc, char** argv)
{
    GenerateOptions options;
    bool unique = false;  // only a stage whose board has one tiling up to its turns
    options.jobs = static_cast<int32_t>(std::max(1u, std::thread::hardware_concurrency()));
    StartOptionParsing();
    int result = 0;
    while ((result = getopt_long(argc, argv, ":", generateOptions, nullptr)) != -1) {
        if (result == UniqueOption) {
            unique = true;
            continue;
        }
        if (result == NoSquaresOption) {
            options.noSquares = true;
            continue;
        }
        if (result == ':' && optopt > UniqueOption) return Usage(LongName(generateOptions, optopt) + " needs a number");
        if (result < WidthOption) return Usage(OptionComplaint(result, argv));
        int64_t number = 0;
        if (!ParseNumber(optarg, 0, UINT32_MAX, number)) return Usage(LongName(generateOptions, result) + " needs a number");
        auto value = static_cast<int32_t>(std::min<int64_t>(number, INT32_MAX));
        switch (result) {
        case WidthOption: options.width = value; break;
        case HeightOption: options.height = value; break;
        case PiecesOption: options.pieces = value; break;
        case MinCellsOption: options.minCells = value; break;
        case MaxCellsOption: options.maxCells = value; break;
        case GenerateSeedOption: options.seed = static_cast<uint32_t>(number); break;
        case DecoysOption: options.decoys = value; break;
        case GenerateJobsOption: options.jobs = std::clamp(value, 1, static_cast<int32_t>(maxJobs)); break;
        default: options.timeLimit = static_cast<double>(std::max(value, 1)); break;
        }
    }
    if (optind < argc) return Usage(std::string("unexpected argument ") + argv[optind]);
    if (options.decoys > 0 && !unique) return Usage("--decoys needs --unique");
    std::string source;
    std::string error;
    if (!CheckGenerateOptions(options, error)) return Usage(error);
    if (!unique) {
        if (!GenerateStageSource(options, source, error)) {
            std::fprintf(stderr, "tessera-stages: %s\n", error.c_str());
            return exitInvalid;
        }
    } else {
        UniqueReport report;
        if (!GenerateUniqueStage(options, source, report, error)) {
            std::fprintf(stderr, "tessera-stages: %s\n", error.c_str());
            return exitInvalid;
        }
        std::fprintf(stderr, "unique: one tiling up to the board's turns, proved by the solver (%lld partitions, %.2f s)\n",
                     static_cast<long long>(report.candidates), report.seconds);
    }
    std::fputs(source.c_str(), stdout);
    return exitOk;
}
constexpr option packOptions[] = {
    {"seed", required_argument, nullptr, 's'},
    {"output", required_argument, nullptr, 'o'},
    {"jobs", required_argument, nullptr, 'j'},
    {"level", required_argument, nullptr, 'l'},
    {nullptr, 0, nullptr, 0},
};

int Pack(int argc, char** argv)
{
    PackOptions options;
    options.jobs = static_cast<int32_t>(std::max(1u, std::thread::hardware_concurrency()));
    bool seeded = false;
    std::string directory;
    StartOptionParsing();
    int result = 0;
    while ((result = getopt_long(argc, argv, ":o:", packOptions, nullptr)) != -1) {
        int64_t number = 0;
        switch (result) {
        case 's':
            // A seed names a pack for everyone: exactly a 32-bit whole number, nothing else.
            if (!ParseNumber(optarg, 0, UINT32_MAX, number)) {
                std::fprintf(stderr, "tessera-stages: the seed must be a whole number from 0 to 4294967295, not '%s'\n",
                             optarg);
                return exitUsage;
            }
            options.seed = static_cast<uint32_t>(number);
            seeded = true;
            break;
        case 'o': directory = optarg; break;
        case 'j':
            if (!ParseNumber(optarg, 1, maxJobs, number)) return Usage("--jobs needs a number from 1 to 64");
            options.jobs = static_cast<int32_t>(number);
            break;
        case 'l':
            if (!ParsePackLevel(optarg, options.level)) {
                return Usage(std::string("--level must be normal, hard or expert, not '").append(optarg).append("'"));
            }
            break;
        default:
            if (result == ':') return Usage(LongName(packOptions, optopt) + " needs a value");
            return Usage(OptionComplaint(result, argv));
        }
    }
    if (optind < argc) return Usage(std::string("unexpected argument ") + argv[optind]);
    if (!seeded || directory.empty()) return Usage("pack needs --seed N and -o DIR");
    // On a terminal, a line that says which stage is being made, redrawn in place.
    bool showProgress = IsTerminal(stderr);
    if (showProgress) {
        options.onStage = [&options](int32_t stage) {
            std::fprintf(stderr, "\rmaking pack %s: stage %d of %d", PackName(options.level, options.seed).c_str(),
                         stage + 1, stageCount);
        };
    }
    StagePack pack;
    std::string error;
    bool made = MakeStagePack(options, pack, error);
    if (showProgress) std::fprintf(stderr, "\n");
    if (!made) {
        std::fprintf(stderr, "tessera-stages: %s\n", error.c_str());
        return exitInvalid;
    }
    std::error_code failed;
    std::filesystem::create_directories(directory, failed);
    if (failed) {
        std::fprintf(stderr, "%s: cannot be made: %s\n", directory.c_str(), failed.message().c_str());
        return exitInvalid;
    }
    for (int32_t i = 0; i < stageCount; ++i) {
        std::string target = directory + "/" + FormatText(stageFileNameFormat, i);
        const StageFile& stage = pack.stages[static_cast<size_t>(i)].file;
        if (!WriteUserFile(target.c_str(), &stage, sizeof stage)) {
            std::fprintf(stderr, "%s: cannot be written: %s\n", target.c_str(), std::strerror(errno));
            return exitInvalid;
        }
    }
    // pack.txt last: a directory that holds it holds the whole pack.
    std::string text = WritePackText(pack);
    std::string target = directory + "/pack.txt";
    if (!WriteUserFile(target.c_str(), text.data(), text.size())) {
        std::fprintf(stderr, "%s: cannot be written: %s\n", target.c_str(), std::strerror(errno));
        return exitInvalid;
    }
    return exitOk;
}
}  // namespace

int main(int argc, char** argv)
{
    if (argc < 2) return Usage("a command is needed");
    std::string command = argv[1];
    if (AsksForHelp(argc, argv)) {
        std::fputs(usage, stdout);
        std::fputs(jobsHelp, stdout);
        return exitOk;
    }
    if (command == "--version") {
        std::printf("tessera-stages %s\n", TESSERA_VERSION);
        return exitOk;
    }
    // Each command parses its own options, with the command in the place of the program's name.
    if (command == "build") return Build(argc - 1, argv + 1);
    if (command == "check") return Check(argc - 1, argv + 1);
    if (command == "show") return Show(argc - 1, argv + 1);
    if (command == "generate") return Generate(argc - 1, argv + 1);
    if (command == "pack") return Pack(argc - 1, argv + 1);
    return Usage("unknown command " + command);
}
