// The stage-select screen: the picker's limits and repeat, the bar's keys, the hint band, the
// all-clear strip and the start of a stage in either mode.
#include <gtest/gtest.h>

#include <algorithm>

#include "game/menus/menu_common.h"
#include "game/menus/stage_select.h"
#include "game/scenes.h"
#include "platform/api/keys.h"
#include "tests/menus/menu_fixture.h"

using namespace plat;
using menutest::Bare;
using menutest::Script;

TEST(StagePicker, UpAndDownStayWithinTheOpenStages) {
  struct Case {
    int highest, from, digit, key, to;
  } cases[] = {
      {49, 45, 0, kVkUp, 49},  {49, 5, 0, kVkDown, 0}, {49, 12, 0, kVkDown, 2}, {54, 44, 0, kVkUp, 54},
      {54, 0, 1, kVkDown, 0},  {3, 2, 1, kVkUp, 3},    {3, 3, 1, kVkUp, 3},     {49, 38, 1, kVkUp, 39},
      // A record the loader would refuse still never takes the picker past the course.
      {255, 50, 0, kVkUp, 54}, {255, 54, 1, kVkUp, 54},
  };
  for (const Case& c : cases) {
    Bare b;
    b.g.HighestStage = static_cast<uint8_t>(c.highest);
    b.g.StageIndex = static_cast<uint8_t>(c.from);
    b.g.BarCursor = c.digit;
    b.g.SceneId = scStageNumber;
    b.Keys(Script().Hold({c.key}, 1));
    b.RunFor(3, RunStageSelect);
    EXPECT_EQ(b.g.StageIndex, c.to) << c.from << " key " << c.key;
    EXPECT_EQ(b.Sounds(wpChoise2), 1) << c.from;
    // The new stage is loaded into the grid.
    EXPECT_TRUE(std::equal(b.g.StageGrid.begin(), b.g.StageGrid.end(),
                           b.g.BuiltinStages.begin() + c.to * kGridCells))
        << c.from;
  }
}

TEST(StagePicker, HeldUpStepsEveryFourFrames) {
  Bare b;
  b.g.HighestStage = 54;
  b.g.BarCursor = 1;
  b.g.SceneId = scStageNumber;
  b.Keys(Script().Hold({kVkUp}, 14));
  b.RunFor(14, RunStageSelect);  // stops in the 14th frame's presenting, before its keys
  std::vector<int> shown;
  for (const auto& n : b.notes) shown.push_back(n.stage);
  EXPECT_EQ(shown, (std::vector<int>{0, 1, 1, 1, 1, 2, 2, 2, 2, 3, 3, 3, 3, 4}));
}

TEST(StagePicker, LeftAndRightActOncePerPressAndZLeavesToTheBar) {
  struct Case {
    Script keys;
    int digit;
    int scene;
    int moves;
  } cases[] = {
      {Script().Hold({kVkRight}, 8), 0, scStageNumber, 1},
      {Script().Tap({kVkRight}).Tap({kVkLeft}), 1, scStageNumber, 2},
      {Script().Hold({kVkLeft, kVkRight}, 3), 0, scStageNumber, 1},
      {Script().Tap({kVkZ}), 0, scStageSelect, 0},
      {Script().Tap({kVkEscape}), 0, scStageSelect, 0},
  };
  for (const Case& c : cases) {
    Bare b;
    b.g.BarCursor = 1;
    b.g.SceneId = scStageNumber;
    b.Keys(c.keys);
    b.RunFor(c.keys.Frames(), RunStageSelect);
    EXPECT_EQ(b.g.SceneId, c.scene);
    EXPECT_EQ(b.g.BarCursor, c.digit);
    EXPECT_EQ(b.Sounds(wpChoise1), c.moves);
  }
}

TEST(StageSelectBar, PlayAndShiftMStartTheStageInTheirModes) {
  struct Case {
    int stage;
    bool shiftM;
    int altMode;
    const char* music;
  } cases[] = {
      {0, false, 0, "stop, play hitotunojikan.ogg, arm"},
      {0, true, 1, "play hitotunojikan.ogg, stop, play mata02.ogg, arm"},
      {50, false, 1, "stop, play mahou.ogg, stop, play mata02.ogg, arm"},
      {50, true, 0, "play mahou.ogg, arm"},
      {9, false, 0, "stop, play sunshine.ogg, arm"},
  };
  for (const Case& c : cases) {
    Bare b;
    b.g.HighestStage = 54;
    b.g.StageIndex = static_cast<uint8_t>(c.stage);
    b.g.BarCursor = siPlay;
    b.g.SceneId = scStageSelect;
    b.Keys(c.shiftM ? Script().Hold({kVkM, kVkShift}, 2) : Script().Hold({kVkZ}, 2));
    ASSERT_TRUE(b.RunFor(40, RunStageSelect)) << c.stage;
    EXPECT_EQ(b.g.SceneId, scStageStart);
    EXPECT_EQ(b.g.AltMode, c.altMode) << c.stage << " " << c.shiftM;
    EXPECT_EQ(b.MusicLog(), c.music);
    EXPECT_EQ(b.g.KeyLatch, c.shiftM ? 0 : 1);
    EXPECT_EQ(b.g.FadeInPending, 1);
    EXPECT_EQ(b.g.PlayerX, 2.0f);  // the board is set up
  }
}

TEST(StageSelectBar, BarKeysMoveTitleAndQuit) {
  struct Case {
    Script keys;
    int cursor;
    int scene;
    int quit;
  } cases[] = {
      {Script().Tap({kVkLeft}), 3, scStageSelect, 0},
      {Script().Tap({kVkRight}).Tap({kVkRight}).Tap({kVkRight}).Tap({kVkRight}), 0, scStageSelect, 0},
      {Script().Tap({kVkRight}).Tap({kVkRight}).Tap({kVkZ}), 2, scTitleMenu, 0},
      {Script().Tap({kVkX}), 0, scTitleMenu, 0},
      {Script().Tap({kVkLeft}).Tap({kVkZ}), 3, scStageSelect, 1},
      {Script().Tap({kVkZ}), 1, scStageNumber, 0},
  };
  for (const Case& c : cases) {
    Bare b;
    b.g.SceneId = scStageSelect;
    b.g.TitleCursor = 2;
    b.Keys(c.keys);
    b.RunFor(c.keys.Frames() + 40, RunStageSelect);
    EXPECT_EQ(b.g.BarCursor, c.cursor);
    EXPECT_EQ(b.g.SceneId, c.scene);
    EXPECT_EQ(b.g.QuitRequested, c.quit);
    if (c.scene == scTitleMenu) {
      EXPECT_EQ(b.g.TitleCursor, 0);
    }
  }
}

TEST(StageSelectBar, HDrawsTheHintBandThatStaysWhileTheCursorMoves) {
  Bare b;
  b.g.StageIndex = 6;
  b.g.SceneId = scStageSelect;
  b.Keys(Script().Tap({kVkH}).Tap({kVkRight}).Wait(1));
  b.RunFor(5, RunStageSelect);
  EXPECT_EQ(b.Sounds(wpKey), 1);
  EXPECT_EQ(b.Sounds(wpChoise1), 1);
  const Bitmap& f = b.host.LastFrame();
  for (int x : {0, 5, 100, 600, 639}) {
    EXPECT_EQ(f.At(x, 198), 0x4B4B4Bu) << x;
    EXPECT_EQ(f.At(x, 216), 0x4B4B4Bu) << x;
  }
  EXPECT_NE(f.At(320, 197), 0x4B4B4Bu);
  EXPECT_NE(f.At(320, 217), 0x4B4B4Bu);
  // Some glyph pixels of the hint are white.
  int white = 0;
  for (int x = 180; x < 460; ++x)
    for (int y = 200; y < 216; ++y) white += f.At(x, y) == 0xFFFFFFu;
  EXPECT_GT(white, 50);
}

TEST(StagePicker, AllClearedShowsTheAllClearStripWithoutCounts) {
  for (int cleared : {55, 54}) {
    Bare b;
    b.g.HighestStage = 54;
    b.g.ClearedCount = static_cast<uint8_t>(cleared);
    b.g.SceneId = scStageNumber;
    b.RunFor(1, RunStageSelect);
    const Bitmap& f = b.host.LastFrame();
    const Bitmap& strip = b.g.Art.ImgChar18;
    ASSERT_EQ(f.width, 640);
    ASSERT_EQ(strip.height, 288);
    const int row = b.g.BlinkCounter % 22 > 10 ? 192 : 240;
    int same = 0, all = 0;
    for (int y = 0; y < 48; ++y)
      for (int x = 505; x < 640; ++x, ++all) same += f.At(x, 430 + y) == strip.At(x, row + y);
    if (cleared == 55)
      EXPECT_EQ(same, all);
    else
      EXPECT_LT(same, all);
  }
}

TEST(StageNames, AreaNamesHintsAndMusicByStage) {
  EXPECT_STREQ(AreaName(0), "基本エリア");
  EXPECT_STREQ(AreaName(49), "ファイナルエリア");
  EXPECT_STREQ(AreaName(54), "おまけエリア");
  EXPECT_EQ(AreaName(255), nullptr);
  EXPECT_EQ(StageHint(6)->x, 180);
  EXPECT_STREQ(StageHint(6)->text, "風船を積み上げて壊れない足場に　　 ★★★");
  EXPECT_EQ(StageHint(55), nullptr);
  EXPECT_EQ(AreaMusic(6), nullptr);
}
