// The runner's stage start past the menus.
#include "tools/headless/stage_start.h"

#include <filesystem>

#include "game/game.h"
#include "game/menus/stage_select.h"
#include "game/play/play.h"
#include "game/scenes.h"
#include "game/shell/draw.h"
#include "game/shell/music_control.h"

bool SetUpStage(Game& g, const StageStart& s, std::string& error) {
  ResetPlayState(g);
  if (s.builtin >= 0) {
    g.StageIndex = static_cast<uint8_t>(s.builtin);
    g.AltMode = g.StageIndex >= 50 ? 1 : 0;  // as Z on PLAY chooses it
    EnterBuiltinStage(g, false);
  } else {
    const std::string path = std::filesystem::absolute(s.userFile).string();
    if (!ReadUserStageFile(g, path)) {
      error = "cannot read stage file " + s.userFile;
      return false;
    }
    g.UserStageFileName = path;
    UserStageToGrid(g);
    EnterUserStage(g, 0);
  }
  g.FadeInPending = 1;  // the menus' wipe would have left the screen black
  if (s.fromPlay) EndStageIntro(g);
  return true;
}
