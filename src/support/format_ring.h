// Formatted texts in a ring of sixteen fixed buffers, so a frame can format without allocating.
#pragma once

#include <cstdint>

constexpr int32_t formatRingSize = 16;
constexpr int32_t formatBufferSize = 128;

extern char FormatRing[formatRingSize][formatBufferSize];
extern int32_t ringIndex;

// The result stays intact through the next fifteen calls. A text longer than
// the buffer is cut at 127 bytes.
const char* FormatText(const char* format, ...) __attribute__((format(printf, 1, 2)));
