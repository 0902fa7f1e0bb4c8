// GameFrame: loads the data on the first call, then runs the stage select screen or the play of a stage.
#include "game/game_frame.h"

#include <cstdio>

#include "game/celebration.h"
#include "game/data_files.h"
#include "game/play_field.h"
#include "game/stage_play.h"
#include "game/stage_select.h"
#include "support/format_ring.h"
#include "support/message_box.h"

bool dataLoadPending = true;
int32_t gameMode = stageSelectMode;
bool modeInitPending = false;
int32_t currentStage = 0;

namespace {
constexpr char loadFailedText[] = "データファイルのロードに失敗しました。";
constexpr char loadFailedCaption[] = "失敗";

bool bannerPending = true;
int32_t stageAtLoad = -1;

// The box does not say which file failed; this line, for a player who started
// the game from a terminal, does.
constexpr int32_t reasonLength = 160;

bool LoadGameData()
{
    for (int32_t i = 0; i < stageCount; ++i) {
        const char* name = FormatText(stageFileNameFormat, i);
        char reason[reasonLength];
        if (!ReadStageFile(name, stages[i], reason, sizeof reason)) {
            std::fprintf(stderr, "%s: %s\n", name, reason);
            ShowMessageBox(loadFailedText, messageBoxOk, loadFailedCaption);
            return false;
        }
    }
    LoadProgressFile();
    PrepareBanner();
    modeInitPending = true;
    if (stageAtLoad != -1) {
        currentStage = stageAtLoad;
        gameMode = playMode;
    }
    return true;
}

void RunStageSelectFrame()
{
    hoverEntry = -1;
    if (modeInitPending) StartStageSelect();
    UpdateStageSelect();
    DrawStageSelect();
}

void RunPlayFrame()
{
    if (modeInitPending) StartStagePlay();
    UpdateHoveredPiece();
    UpdateStagePlay();
    DrawPlayField();
    if (playState == Cleared) DrawCelebration();
}
}  // namespace

void RequestStageAtLoad(int32_t stage)
{
    stageAtLoad = stage;
}

int32_t GameFrame()
{
    if (bannerPending) {
        bannerPending = false;
        ConstructBanner();
    }
    if (dataLoadPending) {
        dataLoadPending = false;
        if (!LoadGameData()) return 1;
    }
    if (gameMode == stageSelectMode) {
        RunStageSelectFrame();
    } else if (gameMode == playMode) {
        RunPlayFrame();
    }
    return 0;
}
