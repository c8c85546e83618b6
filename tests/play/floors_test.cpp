// Clouds, ice and conveyors.
#include <gtest/gtest.h>

#include "game/play/play_sounds.h"
#include "tests/play/play_fixture.h"

using namespace playtest;
using plat::kVkDown;
using plat::kVkLeft;
using plat::kVkRight;

TEST(Cloud, ACloudStoodOnVanishesOnceLeft) {
  PlayBoard b({"#####", "#P..#", "#CC##", "#...#", "#####"});
  EXPECT_EQ(b.g.CloudList.State[1], 1);
  EXPECT_EQ(b.g.ActionFrames, 8);  // the idle count on a cloud
  b.Hold(kVkRight, 8);
  EXPECT_EQ(b.g.CloudList.State[1], 2);
  EXPECT_EQ(b.Cell(1, 2), ccEmpty);
  EXPECT_EQ(b.Sound(wpCroud), 1);
  EXPECT_EQ(b.g.CloudList.State[2], 1);
  b.Frames(8);
  EXPECT_EQ(b.g.CloudList.State[1], 10);
  b.Frame();
  EXPECT_EQ(b.g.CloudList.State[1], 11);
}

TEST(Cloud, DownFromALadderMakesTheCloudBelowVanishAndKeepsTheLadderPose) {
  PlayBoard b({"#####", "#PH.#", "##C##", "#...#", "#####"});
  b.Hold(kVkRight, 8);
  ASSERT_EQ(b.g.ActionCode, paIdle);  // in the ladder over the cloud: the cloud has no effect
  EXPECT_EQ(b.g.CloudList.State[1], 0);
  b.Hold(kVkDown, 1);
  EXPECT_EQ(b.g.ActionCode, paLadderUp);
  EXPECT_EQ(b.g.CloudList.State[1], 2);
  EXPECT_EQ(b.Sound(wpCroud), 1);
  b.Frames(8);
  EXPECT_EQ(b.Cell(2, 2), ccEmpty);
}

TEST(Ice, AWalkOntoIceSlidesCellByCellUntilTheWayIsBlocked) {
  PlayBoard b({"######", "#P...#", "##III#", "######"});
  b.Hold(kVkRight, 8);
  EXPECT_EQ(b.g.ActionCode, paCarriedRight);
  b.Frames(8);
  EXPECT_EQ(b.g.PlayerX, 3.0f);
  EXPECT_EQ(b.g.ActionCode, paCarriedRight);
  b.Frames(8);
  EXPECT_EQ(b.g.PlayerX, 4.0f);
  EXPECT_EQ(b.g.ActionCode, paIdle);
  EXPECT_EQ(b.Sound(wpIce), 0);  // no arrow held while sliding
}

TEST(Ice, AnArrowHeldWhileSlidingRequestsTheIceSound) {
  PlayBoard b({"######", "#P...#", "##III#", "######"});
  b.Hold(kVkRight, 12);
  EXPECT_GT(b.Sound(wpIce), 0);
}

TEST(Conveyor, AConveyorCarriesCellByCellAndStopsAtAWall) {
  struct Case {
    const char* top;
    const char* floor;
    float toX;
  } cases[] = {
      {"#P...#", "#>>>##", 4},
      {"#...P#", "##<<<#", 1},
      {"#P#..#", "#>####", 1},  // refused by the wall
  };
  for (const auto& c : cases) {
    PlayBoard b({"######", c.top, c.floor, "######"});
    b.Frames(40);
    EXPECT_EQ(b.g.PlayerX, c.toX) << c.floor;
    EXPECT_EQ(b.g.ActionCode, paIdle) << c.floor;
  }
}

TEST(Conveyor, WalkingAgainstAConveyorTakes16FramesAndGoesNowhere) {
  PlayBoard b({"######", "#..P.#", "#..>##", "######"});
  ASSERT_EQ(b.g.ActionCode, paCarriedRight);
  b.Frames(8);
  ASSERT_EQ(b.g.PlayerX, 4.0f);
  // Stand a player on a lone right conveyor with a wall to its right, then walk left.
  PlayBoard w({"######", "#..P##", "#..>##", "######"});
  ASSERT_EQ(w.g.ActionCode, paIdle);
  w.host.KeyDown(kVkLeft);
  w.Frame();
  EXPECT_EQ(w.g.ActionCode, paWalkAgainstConveyor);
  w.Frames(15);
  w.host.KeyUp(kVkLeft);
  EXPECT_EQ(w.g.PlayerX, 3.0f);
}

TEST(Conveyor, ALandingOnARefusedConveyorLetsTheArrowsTurnThePlayer) {
  PlayBoard b({"###", "#P#", "#.#", "#>#", "###"});
  b.Frames(6);
  ASSERT_EQ(b.g.ActionCode, paLand);
  EXPECT_EQ(b.g.PlayerBusy, 0);
  b.Hold(kVkLeft, 1);
  EXPECT_EQ(b.g.PlayerFacing, 1);
}

TEST(NoJump, AWalkOntoTheFloorFlashesAtOnceAFallOnlyWhenItsLandingEnds) {
  {
    PlayBoard b({"#####", "#P..#", "##N##"});
    b.Hold(kVkRight, 8);
    EXPECT_EQ(b.g.PlayerFlash, 1);
  }
  {
    PlayBoard b({"###", "#P#", "#.#", "#N#", "###"});
    b.Frames(6);
    ASSERT_EQ(b.g.ActionCode, paLand);
    EXPECT_EQ(b.g.PlayerFlash, 0);
    b.Frames(6);
    EXPECT_EQ(b.g.PlayerFlash, 1);
  }
}
