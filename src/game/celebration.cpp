// The celebration's three phases: placing the letters, arriving and resting, and leaving after a click.
#include "game/celebration.h"

#include "draw/canvas.h"
#include "game/data_files.h"
#include "game/game_fonts.h"
#include "game/game_frame.h"
#include "support/input_snapshot.h"

std::optional<TextBanner> banner;
int32_t celebrationFrame = 0;
uint8_t celebrationHurry = 0;

namespace {
constexpr char bannerText[] = "Perfect!";
constexpr int32_t startX = -180;
constexpr int32_t startSpacing = 50;
constexpr int32_t letterY = 430;
constexpr int32_t arrivingStep = 70;
constexpr int32_t restX = 180;
constexpr int32_t leavingStep = 100;
constexpr int32_t releaseX = 300;
constexpr int32_t endX = 820;
constexpr Point parkedAnchor = {0, 600};
constexpr uint8_t letterShade = 250;

void PlaceLetters()
{
    for (int32_t k = 0; k < banner->letterCount; ++k) {
        *banner->letterPosition(k) = {startX - startSpacing * k, letterY};
    }
    celebrationHurry = 0;
}

void MoveArrivingLetters()
{
    for (int32_t k = 0; k < banner->letterCount; ++k) {
        Point& anchor = *banner->letterPosition(k);
        anchor.x += arrivingStep;
        if (anchor.x > restX) anchor.x = restX;
    }
}

void MoveLeavingLetters()
{
    for (int32_t k = 0; k < banner->letterCount; ++k) {
        if (k == 0 || banner->letterPosition(k - 1)->x > releaseX) banner->letterPosition(k)->x += leavingStep;
    }
}
}  // namespace

void ConstructBanner()
{
    banner.emplace();
}

void PrepareBanner()
{
    banner->setText(bannerText);
    banner->setFontHeight(bannerFontHeight);
}

void ParkBannerLetters()
{
    for (int32_t k = 0; k < banner->letterCount; ++k) *banner->letterPosition(k) = parkedAnchor;
}

void UpdateCelebration()
{
    if (celebrationFrame == 0) {
        PlaceLetters();
    } else if (celebrationHurry == 0) {
        MoveArrivingLetters();
    } else {
        MoveLeavingLetters();
    }
    if (WasPressed(InputKey::LeftButton)) celebrationHurry = 1;

    const Point* last = banner->letterPosition(banner->letterCount - 1);
    if (last != nullptr && last->x > endX) {
        MarkStageCleared();
        gameMode = stageSelectMode;
        modeInitPending = true;
    }
    ++celebrationFrame;
}

void DrawCelebration()
{
    currentCanvas = 0;
    canvases[currentCanvas].setColor(letterShade, letterShade, letterShade);
    banner->draw();
}
