// The EDIT GAME screen's LOAD and PLAY, and every item of the pause menu.
#include <gtest/gtest.h>

#include <algorithm>

#include "game/menus/menu_common.h"
#include "game/play/play.h"
#include "game/scenes.h"
#include "game/shell/frame.h"
#include "platform/api/keys.h"
#include "tests/menus/menu_fixture.h"

using namespace plat;
using menutest::Bare;
using menutest::Script;

namespace {

// The board the title menu leaves for the EDIT GAME screen: built-in stage 0.
void EnterEditGame(Bare& b) {
  b.g.SceneId = scEditSelect;
  b.g.StageIndex = 0;
  LoadStage(b.g);
}

bool GridIsRows(const Game& g) {
  for (int x = 0; x < kGridCols; ++x)
    for (int y = 0; y < kGridRows; ++y)
      if (g.StageGrid[GridIndex(x, y)] != g.StageGridRows[RowsIndex(x, y)]) return false;
  return true;
}

}  // namespace

TEST(EditGame, LoadReadsTheChosenFileOrKeepsTheBoard) {
  const std::vector<uint8_t> full = menutest::UserStageFile(2, 1);
  struct Case {
    const char* name;
    std::vector<uint8_t> bytes;  // empty: the file is not there
    bool cancel;
    bool loaded;
    int cleared;
    int theme;
  } cases[] = {
      {"cleared.krm", full, false, true, 1, 2},
      {"gone.krm", {}, false, false, 0, 0},
      {"cancelled.krm", full, true, false, 0, 0},
      {"short310.krm", std::vector<uint8_t>(full.begin(), full.begin() + 310), false, true, 0, 2},
      {"short300.krm", std::vector<uint8_t>(full.begin(), full.begin() + 300), false, true, 0, 0},
  };
  for (const Case& c : cases) {
    Bare b;
    EnterEditGame(b);
    const auto before = b.g.StageGrid;
    if (!c.bytes.empty()) b.folder.Write(c.name, c.bytes);
    if (!c.cancel) b.host.OpenAnswers.push_back(b.folder.File(c.name));
    b.Keys(Script().Tap({kVkZ}).Wait(2));
    b.RunFor(4, RunEditGameSelect);
    EXPECT_EQ(b.host.FileDialogLog.size(), 1u) << c.name;
    EXPECT_EQ(b.Sounds(wpChoise2), 2) << c.name;
    EXPECT_EQ(b.g.SceneId, scEditSelect);
    EXPECT_TRUE(b.g.MusicLog.empty());
    EXPECT_TRUE(GridIsRows(b.g)) << c.name;
    EXPECT_EQ(b.g.UserStageCleared, c.cleared) << c.name;
    EXPECT_EQ(b.g.StageTheme, c.theme) << c.name;
    const bool changed = b.g.StageGrid != before;
    EXPECT_EQ(changed, c.loaded) << c.name;
    // The preview shows the cleared markers only for a cleared file.
    const Bitmap& f = b.host.LastFrame();
    bool marker = false;
    for (int y = 5; y < 37; ++y)
      for (int x = 5; x < 37; ++x) marker |= f.At(x, y) != 0;
    EXPECT_EQ(marker, c.cleared == 1) << c.name;
  }
}

TEST(EditGame, PlayStartsTheBoardAsAUserStage) {
  struct Case {
    Script keys;
    int theme;
    int alt;
    const char* music;
  } cases[] = {
      {Script().Tap({kVkRight}).Tap({kVkZ}), 3, 0, "play huwahuwairo.ogg, arm"},
      {Script().Tap({kVkRight}).Hold({kVkM, kVkShift}, 2), 3, 1,
       "play huwahuwairo.ogg, stop, play mata02.ogg, arm"},
      {Script().Tap({kVkRight}).Tap({kVkZ}), 9, 0, "arm"},  // a theme outside the table: no music
  };
  for (const Case& c : cases) {
    Bare b;
    EnterEditGame(b);
    b.g.StageTheme = static_cast<uint8_t>(c.theme);
    b.Keys(c.keys);
    ASSERT_TRUE(b.RunFor(60, RunEditGameSelect));
    EXPECT_EQ(b.g.SceneId, scStageStart);
    EXPECT_EQ(b.g.StageIndex, kUserStageIndex);
    EXPECT_EQ(b.g.AltMode, c.alt);
    EXPECT_EQ(b.MusicLog(), c.music);
    EXPECT_EQ(b.g.PlayerX, 2.0f);
  }
}

TEST(EditGame, TitleAndShiftMOffPlay) {
  struct Case {
    Script keys;
    bool left;
    int scene;
  } cases[] = {
      {Script().Tap({kVkX}), true, scTitleMenu},
      {Script().Tap({kVkLeft}).Tap({kVkLeft}).Tap({kVkZ}), true, scTitleMenu},
      {Script().Hold({kVkM, kVkShift}, 3), false, scEditSelect},  // on LOAD: nothing
      {Script().Tap({kVkLeft}).Tap({kVkZ}), true, scEditSelect},  // END: the loop ends on the quit
  };
  for (const Case& c : cases) {
    Bare b;
    EnterEditGame(b);
    b.g.StageIndex = 7;
    b.Keys(c.keys);
    EXPECT_EQ(b.RunFor(c.keys.Frames() + 45, RunEditGameSelect), c.left);
    EXPECT_EQ(b.g.SceneId, c.scene);
    if (c.scene == scTitleMenu) {
      EXPECT_EQ(b.g.StageIndex, 0);
    }
  }
  Bare b;
  EnterEditGame(b);
  b.Keys(Script().Tap({kVkLeft}).Tap({kVkZ}));
  b.RunFor(10, RunEditGameSelect);
  EXPECT_EQ(b.g.QuitRequested, 1);
}

namespace {

// Play of stage 2 (or of a user stage) paused; runs MainLoop's frames in the pause scene.
struct Paused : Bare {
  explicit Paused(bool user) {
    g.StageIndex = user ? kUserStageIndex : 2;
    LoadStage(g);
    if (user) g.StageIndex = kUserStageIndex;
    SetupPlayBoard(g);
    g.SceneId = scPause;
  }
  void Run(const Script& s, int extra) {
    Keys(s);
    RunFor(s.Frames() + extra, [](Game& gg) {
      while (gg.QuitRequested == 0 && gg.SceneId == scPause) {
        BeginFrame(gg);
        DrawPauseMenu(gg);
        PauseMenuInput(gg);
        FullFrameTail(gg);
      }
    });
  }
};

}  // namespace

TEST(PauseMenu, EveryItemDoesItsWork) {
  struct Case {
    const char* what;
    bool user;
    Script keys;
    int scene;
    int stage;
    const char* music;
    int resumeSounds;
  } cases[] = {
      {"EXIT", false, Script().Tap({kVkZ}), scPlay, 2, "", 1},
      {"X", false, Script().Tap({kVkX}), scPlay, 2, "", 1},
      {"Esc", false, Script().Tap({kVkEscape}), scPlay, 2, "", 1},
      {"RESTART", false, Script().Tap({kVkDown}).Tap({kVkZ}), scStageStart, 2, "play hitotunojikan.ogg, arm", 0},
      {"SELECT", false, Script().Tap({kVkDown}).Tap({kVkDown}).Tap({kVkZ}), scStageSelect, 2,
       "play rhythmicpark.ogg, arm", 0},
      {"SELECT user", true, Script().Tap({kVkDown}).Tap({kVkDown}).Tap({kVkZ}), scEditSelect, 255,
       "play rhythmicpark.ogg, arm", 0},
      {"TITLE", false, Script().Tap({kVkUp}).Tap({kVkUp}).Tap({kVkZ}), scTitleMenu, 2,
       "play rhythmicpark.ogg, arm", 0},
      {"TITLE user", true, Script().Tap({kVkUp}).Tap({kVkUp}).Tap({kVkZ}), scTitleMenu, 0,
       "play rhythmicpark.ogg, arm", 0},
      {"END", false, Script().Tap({kVkUp}).Tap({kVkZ}), scPause, 2, "", 0},
  };
  for (const Case& c : cases) {
    Paused p(c.user);
    p.Run(c.keys, 40);
    EXPECT_EQ(p.g.SceneId, c.scene) << c.what;
    EXPECT_EQ(p.g.StageIndex, c.stage) << c.what;
    EXPECT_EQ(p.MusicLog(), c.music) << c.what;
    EXPECT_EQ(p.Sounds(wpWindow), c.resumeSounds) << c.what;
    EXPECT_EQ(p.g.PauseCursor, c.scene == scPause ? 4 : 0) << c.what;
    if (c.scene == scStageSelect || c.scene == scTitleMenu || c.scene == scEditSelect) {
      EXPECT_EQ(p.g.BoardLayer.At(100, 100), 0u) << c.what;
    }
    if (std::string(c.what) == "END") {
      EXPECT_EQ(p.g.QuitRequested, 1);
    }
  }
}

TEST(PauseMenu, RestartOfAUserStageStartsFromTheStageAsLoaded) {
  Paused p(true);
  p.g.StageGrid[GridIndex(5, 13)] = ccBlock;  // as play left it
  p.Run(Script().Tap({kVkDown}).Tap({kVkZ}), 40);
  EXPECT_EQ(p.g.SceneId, scStageStart);
  EXPECT_TRUE(GridIsRows(p.g));
}

TEST(PauseMenu, KeysActOncePerPressAndOnlyAfterTheOpeningEscIsReleased) {
  {
    Paused p(false);
    p.Run(Script().Hold({kVkUp}, 10), 0);
    EXPECT_EQ(p.g.PauseCursor, 4);
    EXPECT_EQ(p.Sounds(wpChoise1), 1);
  }
  {
    Paused p(false);
    p.g.KeyLatch = 1;  // the Esc that opened the menu is still held
    p.Run(Script().Hold({kVkEscape}, 10).Wait(1).Tap({kVkEscape}), 2);
    EXPECT_EQ(p.notes.at(10).scene, scPause);
    EXPECT_EQ(p.g.SceneId, scPlay);
  }
}
