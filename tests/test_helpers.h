// Shared test helpers: temporary directories, stage records, running the programs and reading PNGs.
#pragma once

#include <sys/types.h>

#include <cstdint>
#include <string>
#include <vector>

#include "game/data_files.h"
#include "support/point.h"

// A fresh directory that is removed with everything in it at the end of the test.
struct TempDir {
    TempDir();
    ~TempDir();
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;
    std::string file(const std::string& name) const { return path + "/" + name; }
    std::string path;
};

// Runs the calling test inside a directory and returns to the old one after.
struct ScopedChdir {
    explicit ScopedChdir(const std::string& directory);
    ~ScopedChdir();
    std::string previous;
};

StageFile MakeStage(int32_t width, int32_t height, const std::vector<std::vector<Point>>& shapes);
void WriteStage(const std::string& path, const StageFile& stage);
void WriteBytes(const std::string& path, const std::string& bytes);
std::string ReadBytes(const std::string& path);
void WriteTenStages(const TempDir& dir, const StageFile& stage);

struct RunResult {
    int exitCode;
    std::string output;  // stdout and stderr together
};
RunResult RunProgram(const std::string& commandLine);

// Starts a command line in the background, the program itself as the child
// (sh execs it); WaitProgram gives its exit code, -1 when a signal ended it.
pid_t StartProgram(const std::string& commandLine);
int WaitProgram(pid_t child);

std::vector<std::string> ReadLines(const std::string& path);

// Whether the path itself is a symbolic link (lstat: not followed).
bool IsLink(const std::string& path);

// The names in a directory, sorted.
std::vector<std::string> DirectoryEntries(const std::string& path);

// A trace field's value, as written: "playState" -> "3".
std::string TraceField(const std::string& line, const std::string& name);

struct Picture {
    int32_t width = 0;
    int32_t height = 0;
    std::vector<uint8_t> rgb;  // top row first
    uint32_t at(int32_t x, int32_t y) const;  // red | green << 8 | blue << 16
};
Picture ReadPng(const std::string& path);

constexpr uint32_t Rgb(uint32_t r, uint32_t g, uint32_t b)
{
    return r | g << 8 | b << 16;
}

// Canvas 0 made anew, all black, and current.
void FreshCanvas();

// The colour at a canvas pixel, from its blue-green-red store.
uint32_t CanvasColor(int32_t x, int32_t y);
