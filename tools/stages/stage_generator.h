// Making new stages: a random partition of a board into connected pieces, written as a stage source.
#pragma once

#include <cstdint>
#include <string>

struct GenerateOptions {
    int32_t width = 0;
    int32_t height = 0;
    int32_t pieces = 0;
    int32_t minCells = 1;
    int32_t maxCells = 40;
    uint32_t seed = 1;
};

// On success returns true and the source text; else sets error to why not.
bool GenerateStageSource(const GenerateOptions& options, std::string& source, std::string& error);
