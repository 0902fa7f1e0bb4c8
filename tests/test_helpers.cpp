// Test helpers over POSIX and libpng: temporary directories, files, child processes, pictures.
#include "test_helpers.h"

#include <png.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <stdexcept>

#include "draw/canvas.h"
#include "support/format_ring.h"

TempDir::TempDir()
{
    char pattern[] = "/tmp/tessera-test-XXXXXX";
    char* made = mkdtemp(pattern);
    if (made == nullptr) throw std::runtime_error("mkdtemp failed");
    path = made;
}

TempDir::~TempDir()
{
    std::error_code ignored;
    std::filesystem::remove_all(path, ignored);
}

ScopedChdir::ScopedChdir(const std::string& directory) : previous(std::filesystem::current_path())
{
    std::filesystem::current_path(directory);
}

ScopedChdir::~ScopedChdir()
{
    std::filesystem::current_path(previous);
}

StageFile MakeStage(int32_t width, int32_t height, const std::vector<std::vector<Point>>& shapes)
{
    StageFile stage;
    std::memset(&stage, 0, sizeof stage);
    stage.magic = stageFileMagic;
    stage.boardWidth = width;
    stage.boardHeight = height;
    stage.pieceCount = static_cast<int32_t>(shapes.size());
    for (size_t i = 0; i < shapes.size(); ++i) {
        stage.shapes[i].cellCount = static_cast<int32_t>(shapes[i].size());
        for (size_t k = 0; k < shapes[i].size(); ++k) stage.shapes[i].cells[k] = shapes[i][k];
    }
    return stage;
}

void WriteBytes(const std::string& path, const std::string& bytes)
{
    std::ofstream file(path, std::ios::binary | std::ios::trunc);
    file.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

void WriteStage(const std::string& path, const StageFile& stage)
{
    WriteBytes(path, std::string(reinterpret_cast<const char*>(&stage), sizeof stage));
}

std::string ReadBytes(const std::string& path)
{
    std::ifstream file(path, std::ios::binary);
    std::ostringstream content;
    content << file.rdbuf();
    return content.str();
}

void WriteTenStages(const TempDir& dir, const StageFile& stage)
{
    for (int i = 0; i < stageCount; ++i) WriteStage(dir.file(FormatText("st%d.dat", i)), stage);
}

RunResult RunProgram(const std::string& commandLine)
{
    std::string command = commandLine + " 2>&1";
    std::FILE* pipe = popen(command.c_str(), "r");
    if (pipe == nullptr) return {-1, ""};
    std::string output;
    std::array<char, 4096> buffer;
    size_t got = 0;
    while ((got = std::fread(buffer.data(), 1, buffer.size(), pipe)) > 0) output.append(buffer.data(), got);
    int status = pclose(pipe);
    return {WIFEXITED(status) ? WEXITSTATUS(status) : -1, output};
}

pid_t StartProgram(const std::string& commandLine)
{
    pid_t child = fork();
    if (child == 0) {
        execl("/bin/sh", "sh", "-c", ("exec " + commandLine).c_str(), static_cast<char*>(nullptr));
        _exit(127);
    }
    return child;
}

int WaitProgram(pid_t child)
{
    int status = 0;
    if (waitpid(child, &status, 0) != child) return -1;
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

std::vector<std::string> ReadLines(const std::string& path)
{
    std::ifstream file(path);
    std::vector<std::string> lines;
    for (std::string line; std::getline(file, line);) lines.push_back(line);
    return lines;
}

bool IsLink(const std::string& path)
{
    struct stat status {};
    return lstat(path.c_str(), &status) == 0 && S_ISLNK(status.st_mode);
}

std::vector<std::string> DirectoryEntries(const std::string& path)
{
    std::vector<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(path)) names.push_back(entry.path().filename());
    std::sort(names.begin(), names.end());
    return names;
}

std::string TraceField(const std::string& line, const std::string& name)
{
    std::string key = "\"" + name + "\":";
    size_t start = line.find(key);
    if (start == std::string::npos) return "";
    start += key.size();
    size_t end = start;
    int depth = 0;
    while (end < line.size()) {
        char c = line[end];
        if (c == '[' || c == '{') ++depth;
        if (c == ']' || c == '}') {
            if (depth == 0) break;
            --depth;
        }
        if (c == ',' && depth == 0) break;
        ++end;
    }
    return line.substr(start, end - start);
}

uint32_t Picture::at(int32_t x, int32_t y) const
{
    size_t i = (static_cast<size_t>(y) * width + x) * 3;
    return Rgb(rgb[i], rgb[i + 1], rgb[i + 2]);
}

Picture ReadPng(const std::string& path)
{
    Picture picture;
    png_image image{};
    image.version = PNG_IMAGE_VERSION;
    if (png_image_begin_read_from_file(&image, path.c_str()) == 0) return picture;
    image.format = PNG_FORMAT_RGB;
    picture.width = static_cast<int32_t>(image.width);
    picture.height = static_cast<int32_t>(image.height);
    picture.rgb.resize(PNG_IMAGE_SIZE(image));
    if (png_image_finish_read(&image, nullptr, picture.rgb.data(), 0, nullptr) == 0) picture = {};
    return picture;
}

void FreshCanvas()
{
    currentCanvas = 0;
    canvases[0].create(canvasWidth, canvasHeight);
}

uint32_t CanvasColor(int32_t x, int32_t y)
{
    const uint8_t* p = pixelAt(x, y);
    return Rgb(p[2], p[1], p[0]);
}
