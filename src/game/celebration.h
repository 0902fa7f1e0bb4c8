// The "Perfect!" celebration of a cleared stage: letters fly in, wait, leave on a click, progress is saved.
#pragma once

#include <cstdint>
#include <optional>

#include "draw/text_banner.h"

// Constructed on the first game frame, once canvas 0 exists to measure with.
extern std::optional<TextBanner> banner;
extern int32_t celebrationFrame;
extern uint8_t celebrationHurry;

void ConstructBanner();
void PrepareBanner();
void ParkBannerLetters();
void UpdateCelebration();
void DrawCelebration();
