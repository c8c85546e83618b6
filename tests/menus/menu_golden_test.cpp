// Golden frames of the menu screens: the title menu, the stage select with a hint, the picker,
// the EDIT GAME screen and the pause box.
#include <gtest/gtest.h>

#include "game/menus/stage_select.h"
#include "game/play/play.h"
#include "game/scenes.h"
#include "game/shell/draw.h"
#include "game/shell/frame.h"
#include "game/shell/main_loop.h"
#include "platform/api/keys.h"
#include "tests/menus/menu_fixture.h"

using namespace plat;
using menutest::Bare;
using menutest::MatchesGolden;
using menutest::Script;

namespace {

// Runs `loop` up to frame `at` (after a wipe, so the screen fades in) and returns that frame.
Bitmap FrameAt(Bare& b, int at, const std::function<void(Game&)>& loop) {
  b.g.BackBuffer.Resize(640, 480, 0);
  b.g.FadeInPending = 1;
  Bitmap shot;
  b.host.OnFrame = [&](int n) {
    if (n == at) shot = b.host.LastFrame();
  };
  b.RunFor(at, loop);
  return shot;
}

}  // namespace

TEST(MenuGolden, TitleMenuWithTheHiddenSprite) {
  Bare b;
  b.g.HighestStage = 49;
  b.g.SceneId = scTitleMenu;
  EXPECT_TRUE(MatchesGolden(FrameAt(b, 30, RunTitleMenu), "title-menu"));
}

TEST(MenuGolden, StageSelectWithAHint) {
  Bare b;
  b.g.StageIndex = 6;
  LoadStage(b.g);
  b.g.HighestStage = 11;
  b.g.SceneId = scStageSelect;
  b.Keys(Script().Wait(27).Tap({kVkH}));
  EXPECT_TRUE(MatchesGolden(FrameAt(b, 30, RunStageSelect), "stage-select-hint"));
}

TEST(MenuGolden, StagePickerOnAClearedStage) {
  Bare b;
  b.g.StageIndex = 12;
  LoadStage(b.g);
  b.g.HighestStage = 19;
  b.g.ClearedCount = 9;
  b.g.StageCleared[12] = 1;
  b.g.BarCursor = 1;
  b.g.SceneId = scStageNumber;
  EXPECT_TRUE(MatchesGolden(FrameAt(b, 28, RunStageSelect), "stage-picker"));
}

TEST(MenuGolden, EditGameWithACleardUserStage) {
  Bare b;
  b.g.SceneId = scEditSelect;
  LoadStage(b.g);
  b.g.UserStageCleared = 1;
  b.g.BarCursor = 1;
  EXPECT_TRUE(MatchesGolden(FrameAt(b, 28, RunEditGameSelect), "edit-game"));
}

TEST(MenuGolden, PauseBoxOverThePlayField) {
  Bare b;
  b.g.StageIndex = 2;
  LoadStage(b.g);
  SetupPlayBoard(b.g);
  CopyBlt(b.g.BoardLayer, 0, 0, 640, 480, b.g.BackBuffer, 0, 0);
  b.g.SceneId = scPlay;
  b.Keys(Script().Wait(5).Tap({kVkEscape}).Tap({kVkDown}).Tap({kVkDown}));
  Bitmap shot;
  b.host.OnFrame = [&](int n) {
    if (n == 20) shot = b.host.LastFrame();
  };
  b.RunFor(20, MainLoop);
  EXPECT_EQ(b.g.SceneId, scPause);
  EXPECT_EQ(b.g.PauseCursor, 2);
  EXPECT_TRUE(MatchesGolden(shot, "pause-box"));
}
