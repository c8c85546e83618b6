// Starting a stage straight from a tool, without the menus.
#include "game/play/play_internal.h"
#include "game/scenes.h"

bool StartStageForRun(Game& g, int builtin, const std::string& krmPath, bool fromPlay) {
  ResetPlayState(g);
  if (!krmPath.empty()) {
    if (!ReadUserStageFile(g, krmPath)) return false;
    g.UserStageFileName = krmPath;
    g.StageIndex = kUserStageIndex;
    UserStageToGrid(g);
  } else {
    if (builtin < 0 || builtin > 54) return false;
    g.StageIndex = static_cast<uint8_t>(builtin);
    LoadStage(g);
  }
  SetupPlayBoard(g);
  if (fromPlay) {
    play::SetCell(g, play::Rnd(g.PlayerX), play::Rnd(g.PlayerY), ccEmpty);
    g.KeyLatch = 0;
    g.SceneId = scPlay;
  } else {
    g.FadeInPending = 1;
    g.FadeInCount = 0;
    g.SceneId = scStageStart;
  }
  return true;
}
