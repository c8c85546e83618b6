// Keys and doors, balls, jails and barriers, and the goal.
#include <gtest/gtest.h>

#include "game/play/play_sounds.h"
#include "game/scenes.h"
#include "game/shell/shell_state.h"
#include "tests/play/play_fixture.h"

using namespace playtest;
using plat::kVkLeft;
using plat::kVkRight;

TEST(Keys, AKeyIsTakenOnArrivalAndItsCellClearsWhenTheEffectEnds) {
  PlayBoard b({"#####", "#Pk.#", "#####"});
  b.Hold(kVkRight, 8);
  EXPECT_EQ(b.g.KeysHeld, 1);
  EXPECT_EQ(b.g.KeyList.State[1], 1);
  EXPECT_EQ(b.Sound(wpKey), 1);
  b.Frames(18);
  EXPECT_EQ(b.Cell(2, 1), ccKey);
  b.Frame();
  EXPECT_EQ(b.Cell(2, 1), ccEmpty);
  b.Frame();
  EXPECT_EQ(b.g.KeyList.State[1], 21);
}

TEST(Keys, TheKeyCountStopsAt99) {
  PlayBoard b({"#####", "#Pk.#", "#####"});
  b.g.KeysHeld = 99;
  b.Hold(kVkRight, 8);
  EXPECT_EQ(b.g.KeysHeld, 99);
}

TEST(Doors, ADoorOpensOnlyWithAKey) {
  struct Case {
    const char* row;
    int walkFrames;
    int scenes;
    uint8_t keysLeft;
    uint8_t doorCell;
  } cases[] = {
      {"#PkD.#", 9, 1, 0, ccEmpty},
      {"#.PD.#", 9, 0, 0, ccDoor},
  };
  for (const auto& c : cases) {
    PlayBoard b({"######", c.row, "######"});
    b.Hold(kVkRight, c.walkFrames);
    EXPECT_EQ(b.g.Cutscenes.DoorScenes, c.scenes) << c.row;
    EXPECT_EQ(b.g.KeysHeld, c.keysLeft) << c.row;
    EXPECT_EQ(b.Cell(3, 1), c.doorCell) << c.row;
  }
}

TEST(Jails, AnOpenJailClosesBehindThePlayerAndBlocksTheWayBack) {
  PlayBoard b({"######", "#Px..#", "######"});
  b.Hold(kVkRight, 8);
  EXPECT_EQ(b.g.JailList.State[1], 1);
  b.Hold(kVkRight, 8);
  EXPECT_EQ(b.g.JailList.State[1], 2);
  EXPECT_EQ(b.Cell(2, 1), ccJailClosed);
  EXPECT_EQ(b.Sound(wpRouya), 1);
  b.Hold(kVkLeft, 8);
  EXPECT_EQ(b.g.PlayerX, 3.0f);
  b.Frames(20);
  EXPECT_EQ(b.g.JailList.State[1], 22);  // the closing effect ran to the end
}

TEST(Balls, TheLastBallRunsTheAllBallsSceneWhichOpensJailsAndRemovesBarriers) {
  PlayBoard b({"########", "#Poo!X.#", "########"});
  EXPECT_EQ(b.g.BallsInStage, 2);
  EXPECT_EQ(b.g.JailList.State[1], 22);
  b.Hold(kVkRight, 8);
  EXPECT_EQ(b.g.BallsTaken, 1);
  EXPECT_EQ(b.Sound(wpBoal), 1);
  EXPECT_EQ(b.g.Cutscenes.BallsCompleteScenes, 0);
  b.Hold(kVkRight, 8);
  EXPECT_EQ(b.g.Cutscenes.BallsCompleteScenes, 1);
  EXPECT_EQ(b.g.BarrierGone, 1);
  EXPECT_EQ(b.Cell(4, 1), ccEmpty);
  EXPECT_EQ(b.Cell(5, 1), ccJailOpen);
  b.Hold(kVkRight, 24);
  EXPECT_EQ(b.g.PlayerX, 6.0f);
}

TEST(Goal, ArrivingOnTheGoalRunsTheStageClearSceneOfTheMode) {
  for (uint8_t alt : {0, 1}) {
    PlayBoard b({"#####", "#PG.#", "#####"});
    b.g.AltMode = alt;
    b.Hold(kVkRight, 8);
    EXPECT_EQ(b.g.GoalArrived, 1);
    EXPECT_TRUE(b.ReachedGoal);
    EXPECT_EQ(b.g.Cutscenes.StageClearScenes, alt == 0 ? 1 : 0);
    EXPECT_EQ(b.g.Cutscenes.StageClearAltScenes, alt == 1 ? 1 : 0);
    EXPECT_EQ(b.Sound(wpGoal), 1);
  }
}

TEST(Pause, EscapeDarkensTheFieldDrawsTheWhiteBoxAndSelectsThePauseScene) {
  PlayBoard b({"#####", "#.P.#", "#####"});
  b.g.Art.ImgAnten.Resize(256, 32, 0x0F0F0F);  // tile 2 keeps the low bits only
  b.Frame();
  b.g.BackBuffer.Resize(640, 480, 0xFFFFFF);
  b.g.KeyLatch = 0;
  b.host.KeyDown(plat::kVkEscape);
  HandlePlayInput(b.g);
  EXPECT_EQ(b.g.SceneId, scPause);
  EXPECT_EQ(b.g.KeyLatch, 1);
  EXPECT_EQ(b.Sound(wpWindow), 1);
  EXPECT_EQ(b.g.BackBuffer.At(10, 10), 0x0F0F0Fu);    // darkened
  EXPECT_EQ(b.g.BackBuffer.At(218, 138), 0xFFFFFFu);  // the box's corner
  EXPECT_EQ(b.g.BackBuffer.At(441, 341), 0xFFFFFFu);
  EXPECT_EQ(b.g.BackBuffer.At(442, 342), 0x0F0F0Fu);  // right and bottom edges excluded
}

TEST(Pause, AHeldObjectWithoutHeadRoomEndsInputBeforeEscape) {
  PlayBoard b({"######", "#..#.#", "#PB..#", "######"});
  b.Hold(plat::kVkX, 1);
  b.Frames(31);
  b.Hold(kVkRight, 8);  // to x 2, under the block
  ASSERT_EQ(b.g.PlayerX, 2.0f);
  b.host.KeyDown(kVkRight);
  b.host.KeyDown(plat::kVkEscape);
  HandlePlayInput(b.g);
  EXPECT_EQ(b.g.SceneId, scPlay);
}
