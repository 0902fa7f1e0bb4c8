// The page under a test: no clock and no stored progress; the test replays a script frame by frame.
#pragma once

#include <cstdint>
#include <optional>

// The snapshot reads the test script's buttons; seed, when given, wins over a script's own.
void StartTestEntry(std::optional<uint32_t> seed);
