// Jump pads: the bounce, the flight and its straight jump, the cut under a ceiling.
#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

#include "game/play/play_sounds.h"
#include "tests/play/play_fixture.h"

using namespace playtest;

TEST(Pad, StandingOnAPadBouncesAndTheFlightRisesThreeRowsInAll) {
  PlayBoard b({"#####", "#...#", "#...#", "#...#", "#...#", "#.P.#", "#.J.#", "#####"});
  EXPECT_EQ(b.g.ActionCode, paPadBounce);
  EXPECT_EQ(b.g.PadIndex, 1);
  b.Frame();
  EXPECT_EQ(b.g.JumpPadList.Pose[1], 1);
  EXPECT_EQ(b.Sound(wpJumpdai), 1);
  b.Frames(20);
  EXPECT_EQ(b.g.ActionCode, paPadFlight);
  EXPECT_EQ(b.g.ActionFrames, 11);
  EXPECT_EQ(b.g.PlayerY, 5.0f);
  float top = 99;
  for (int i = 0; i < 11; i++) {
    b.Frame();
    if (i == 4) {
      EXPECT_EQ(b.g.PlayerY, 4.0f);  // snapped when F reaches 6
    }
  }
  EXPECT_EQ(b.g.PlayerY, 3.0f);
  EXPECT_EQ(b.g.ActionCode, paJumpRise);
  EXPECT_EQ(b.g.JumpPadList.Pose[1], 0);
  for (int i = 0; i < 40; i++) {
    b.Frame();
    top = std::min(top, b.g.PlayerY);
  }
  EXPECT_EQ(top, 2.0f);
  EXPECT_EQ(b.g.JumpPadList.Y[1], 6.0f);
}

TEST(Pad, ACeilingOverTheHeadCutsTheLaunchAndTheNextLandingDoesNotBounce) {
  PlayBoard b({"#####", "#...#", "#...#", "#.#.#", "#.P.#", "#.J.#", "#####"});
  b.Frames(21);
  EXPECT_EQ(b.g.PadLaunchCut, 1);
  EXPECT_EQ(b.g.ActionCode, paIdle);
  EXPECT_EQ(b.g.PlayerY, 4.0f);
  b.Frames(40);
  EXPECT_EQ(b.Sound(wpJumpdai), 1);
  EXPECT_EQ(b.g.ActionCode, paIdle);
}

TEST(Pad, ACloudOverheadOnTheLastBounceFrameVanishesAndTheJumpIsStraight) {
  PlayBoard b({"#####", "#...#", "#...#", "#.C.#", "#.P.#", "#.J.#", "#####"});
  b.Frames(21);
  EXPECT_EQ(b.g.ActionCode, paJumpRise);
  EXPECT_EQ(b.g.CloudList.State[1], 2);
  EXPECT_EQ(b.Sound(wpCroud), 1);
}

TEST(Pad, AnArrowTheWayThePlayerFacesLaunchesSideways) {
  // Facing right, Right during the bounce's open choice; a ledge up right.
  PlayBoard b({"######", "#....#", "#....#", "#....#", "#P...#", "#J####", "######"});
  b.Frames(16);  // the choice opens at ActionFrames 6
  b.Hold(plat::kVkRight, 3);
  EXPECT_EQ(b.g.PadDirection, 1);
  EXPECT_EQ(b.g.PlayerFacing, 0);
  int code = 0;
  for (int i = 0; i < 40 && code == 0; i++) {
    b.Frame();
    if (b.g.ActionCode == paPadLaunchRight || b.g.ActionCode == paHopRight) code = b.g.ActionCode;
  }
  EXPECT_EQ(code, 33);
  b.Frames(45);
  EXPECT_EQ(b.g.PlayerX, 2.0f);
  EXPECT_EQ(b.g.PlayerY, 4.0f);
}

TEST(Pad, TheOtherArrowTurnsThePlayerAndLocksTheChoice) {
  PlayBoard b({"######", "#....#", "#....#", "#....#", "#P...#", "#J####", "######"});
  b.Frames(16);
  b.Hold(plat::kVkLeft, 3);
  EXPECT_EQ(b.g.PadDirection, 3);
  EXPECT_EQ(b.g.PlayerFacing, 1);
}

TEST(Pad, HoldingUnderACeilingThreeRowsUpAChosenSideLaunchesOneCellAcross) {
  PlayBoard b({"######", "#B...#", "####.#", "#....#", "#....#", "#.P..#", "##J###", "######"});
  // Put the balloon over the player's head as if he had lifted it.
  b.g.StageGrid[GridIndex(1, 1)] = ccEmpty;
  b.g.BalloonList.X[1] = 2;
  b.g.BalloonList.Y[1] = 4;
  b.g.HoldingObject = 1;
  b.g.HeldKind = 1;
  b.g.HeldIndex = 1;
  ASSERT_EQ(b.g.ActionCode, paPadBounce);
  b.Frames(16);
  b.Hold(plat::kVkRight, 3);
  ASSERT_EQ(b.g.PadDirection, 1);
  std::vector<int> codes;
  for (int i = 0; i < 60; i++) {
    b.Frame();
    if (codes.empty() || codes.back() != b.g.ActionCode) codes.push_back(b.g.ActionCode);
  }
  const std::vector<int> launch = {33, 34};
  EXPECT_NE(std::search(codes.begin(), codes.end(), launch.begin(), launch.end()), codes.end());
  EXPECT_EQ(b.g.PlayerX, 3.0f);
  EXPECT_EQ(b.g.PlayerY, 5.0f);
  EXPECT_EQ(b.g.HoldingObject, 1);
  EXPECT_EQ(b.g.BalloonList.X[1], 3.0f);
  EXPECT_EQ(b.g.BalloonList.Y[1], 4.0f);
}
