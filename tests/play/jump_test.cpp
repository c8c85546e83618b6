// Jumps: the wind-up, the take-off decision and where each kind of jump ends.
#include <gtest/gtest.h>

#include "game/play/play_sounds.h"
#include "tests/play/play_fixture.h"

using namespace playtest;
using plat::kVkLeft;
using plat::kVkRight;
using plat::kVkZ;

TEST(Jump, WindUpIsThreeStepsOfSixFramesThenAStraightJumpComesBack) {
  PlayBoard b({"#####", "#...#", "#...#", "#.P.#", "#####"});
  b.host.KeyDown(kVkZ);
  const uint8_t codes[] = {paJumpWindup1, paJumpWindup2, paJumpWindup3};
  for (int step = 0; step < 3; step++)
    for (int i = 0; i < 6; i++) {
      EXPECT_EQ(b.g.PlayerY, 3.0f);
      b.Frame();
      if (step < 2 || i < 5) {
        EXPECT_EQ(b.g.ActionCode, i < 5 ? codes[step] : codes[step] + 1) << step << i;
      }
    }
  EXPECT_EQ(b.g.ActionCode, paJumpRise);
  EXPECT_EQ(b.Sound(wpJump), 1);
  b.Frames(8);
  EXPECT_EQ(b.g.PlayerY, 2.0f);
  EXPECT_EQ(b.g.ActionCode, paJumpDescend);
  b.Frames(8);
  EXPECT_EQ(b.g.PlayerY, 3.0f);
  EXPECT_EQ(b.g.ActionCode, paLand);
  b.Frames(6);
  EXPECT_EQ(b.g.ActionCode, paIdle);
  EXPECT_EQ(b.Sound(wpJump), 1);  // Z still held: the latch keeps it from jumping again
}

TEST(Jump, ACeilingRefusesTheJumpSilentlyAfterTheWindUp) {
  for (char ceiling : std::string("#DXBJINC><!")) {
    std::string top = "#.?.#";
    top[2] = ceiling;
    PlayBoard b({"#####", "#...#", top, "#.P.#", "#####"});
    b.Hold(kVkZ, 18);
    if (ceiling == 'C') {
      // A cloud is hit from below instead: it starts vanishing and the jump goes straight up.
      EXPECT_EQ(b.g.ActionCode, paJumpRise);
      EXPECT_EQ(b.g.CloudList.State[1], 2);
      EXPECT_EQ(b.Sound(wpCroud), 1);
      continue;
    }
    EXPECT_EQ(b.g.ActionCode, paIdle) << ceiling;
    EXPECT_EQ(b.g.PlayerY, 3.0f) << ceiling;
    EXPECT_EQ(b.Sound(wpJump), 0) << ceiling;
  }
}

TEST(Jump, EachKindEndsWhereItShould) {
  struct Case {
    const char* name;
    std::vector<std::string> rows;
    int arrow;
    int frames;
    float x, y;
  } cases[] = {
      {"diagonal right", {"######", "#....#", "#....#", "#P...#", "######"}, kVkRight, 40, 3, 3},
      {"diagonal left", {"######", "#....#", "#....#", "#...P#", "######"}, kVkLeft, 40, 2, 3},
      {"hop onto a ledge", {"#####", "#...#", "#...#", "#P#.#", "#####"}, kVkRight, 36, 2, 2},
      {"open jail beside: a hop", {"#####", "#...#", "#...#", "#Px.#", "#####"}, kVkRight, 36, 2, 2},
      {"diagonal onto a ladder top", {"######", "#....#", "#..#.#", "#PH..#", "######"}, kVkRight, 40, 2, 2},
  };
  for (const auto& c : cases) {
    PlayBoard b(c.rows);
    if (c.arrow == kVkLeft) b.g.PlayerFacing = 1;
    b.Hold(kVkZ, 1);  // an arrow pressed with Z would walk first
    b.Hold({kVkZ, c.arrow}, c.frames - 1);
    EXPECT_EQ(b.g.PlayerX, c.x) << c.name;
    EXPECT_EQ(b.g.PlayerY, c.y) << c.name;
  }
}

TEST(Jump, AgainstAWallWithTheGoalOverheadTheJumpGoesStraightUpToIt) {
  PlayBoard b({"#####", "#...#", "#G..#", "#P#.#", "#####"});
  b.Hold(kVkZ, 1);
  b.Hold({kVkZ, kVkRight}, 25);
  EXPECT_TRUE(b.ReachedGoal);
  EXPECT_EQ(b.g.JumpDirection, 1);  // chosen, yet the take-off went straight
}

TEST(Jump, ADiagonalJumpOntoIceSlidesAndAStraightOneLands) {
  {
    PlayBoard b({"#######", "#.....#", "#.....#", "#P....#", "###IIII", "#######"});
    b.Hold(kVkZ, 1);
    b.Hold({kVkZ, kVkRight}, 33);  // lands on the ice at x 3
    EXPECT_EQ(b.g.ActionCode, paCarriedRight);
  }
  {
    PlayBoard b({"#####", "#...#", "#...#", "#.P.#", "##I##", "#####"});
    b.Hold(kVkZ, 34);
    EXPECT_EQ(b.g.ActionCode, paLand);
  }
}

TEST(Jump, NoJumpFloorAndHoldingRefuseTheWindUp) {
  PlayBoard b({"#####", "#...#", "#.P.#", "##N##"});
  EXPECT_EQ(b.g.PlayerFlash, 1);
  b.Hold(kVkZ, 5);
  EXPECT_EQ(b.g.ActionCode, paIdle);
}
