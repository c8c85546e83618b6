// Lifting balloons and pads onto the head, carrying them and putting them down.
#include <gtest/gtest.h>

#include "game/play/play_sounds.h"
#include "tests/play/play_fixture.h"

using namespace playtest;
using plat::kVkX;

namespace {

// Presses X for one frame and runs `frames` frames in all.
void PressX(PlayBoard& b, int frames) {
  b.Hold(kVkX, 1);
  b.Frames(frames - 1);
}

}  // namespace

TEST(Lift, ABalloonInFrontGoesOverTheHeadIn32Frames) {
  PlayBoard b({"#####", "#...#", "#PB.#", "#####"});
  PressX(b, 12);
  EXPECT_EQ(b.g.ActionCode, paLiftGrab);
  EXPECT_EQ(b.g.BalloonList.State[1], lsLifted);
  b.Frames(20);
  EXPECT_EQ(b.g.HoldingObject, 1);
  EXPECT_EQ(b.g.HeldKind, 1);
  EXPECT_EQ(b.g.BalloonList.X[1], 1.0f);
  EXPECT_EQ(b.g.BalloonList.Y[1], 1.0f);
  EXPECT_EQ(b.Cell(2, 2), ccEmpty);
  EXPECT_EQ(b.Sound(wpHave), 1);
}

TEST(Lift, RefusedWithoutHeadRoomOrWithNothingLiftableInFront) {
  struct Case {
    const char* name;
    std::vector<std::string> rows;
    bool lifts;
  } cases[] = {
      {"block over the head", {"#####", "##..#", "#PB.#", "#####"}, false},
      {"block over the balloon", {"#####", "#.#.#", "#PB.#", "#####"}, false},
      {"ladders above are fine", {"#####", "#HH.#", "#PB.#", "#####"}, true},
      {"balloon on the balloon", {"#####", "#.B.#", "#PB.#", "#####"}, false},
      {"a pad", {"#####", "#...#", "#PJ.#", "#####"}, true},
      {"a key", {"#####", "#...#", "#Pk.#", "#####"}, false},
      {"a block", {"#####", "#...#", "#P#.#", "#####"}, false},
      {"nothing", {"#####", "#...#", "#P..#", "#####"}, false},
  };
  for (const auto& c : cases) {
    PlayBoard b(c.rows);
    PressX(b, 24);
    EXPECT_EQ(b.g.ActionCode, c.lifts ? paLiftRaise : paIdle) << c.name;
    b.Frames(8);
    EXPECT_EQ(b.g.HoldingObject, c.lifts ? 1 : 0) << c.name;
  }
}

TEST(Lift, PutDownNeedsAnEmptyFrontCellWithRoomAboveAndEndsOnWholeCells) {
  for (int kind : {1, 2}) {
    PlayBoard b({"#####", "#...#", kind == 1 ? "#PB.#" : "#PJ.#", "#####"});
    PressX(b, 32);
    ASSERT_EQ(b.g.HoldingObject, 1);
    TLiftList& l = kind == 1 ? b.g.BalloonList : b.g.JumpPadList;
    PressX(b, 14);  // check 6, lowering 8
    EXPECT_EQ(b.g.ActionCode, paPutDownEnd);
    EXPECT_EQ(b.g.HoldingObject, 0);
    EXPECT_EQ(b.Cell(2, 2), kind == 1 ? ccBalloon : ccJumpPad);
    if (kind == 1) {
      EXPECT_NE(l.Y[1], 2.0f);  // a balloon stays where the arc put it for a frame
    } else {
      EXPECT_EQ(l.X[1], 2.0f);
      EXPECT_EQ(l.Y[1], 2.0f);
    }
    b.Frame();
    EXPECT_EQ(l.X[1], 2.0f);
    EXPECT_EQ(l.Y[1], 2.0f);
    b.Frames(11);
    EXPECT_EQ(b.g.ActionCode, paIdle);
  }
}

TEST(Lift, PutDownIsNotStartedInFrontOfANonEmptyCell) {
  PlayBoard b({"#####", "#...#", "#PB.#", "#####"});
  PressX(b, 32);
  b.g.PlayerFacing = 1;  // facing the wall
  PressX(b, 10);
  EXPECT_EQ(b.g.ActionCode, paIdle);
  EXPECT_EQ(b.g.HoldingObject, 1);
  EXPECT_EQ(b.g.KeyLatch, 0);
}

TEST(Lift, AHeldObjectRefusesAWalkWithoutHeadRoomAndIntoAnOpenJail) {
  struct Case {
    const char* name;
    std::vector<std::string> rows;
    float toX;
  } cases[] = {
      {"free", {"######", "#....#", "#PB..#", "######"}, 3},
      {"block above the second cell", {"######", "#..#.#", "#PB..#", "######"}, 2},
      {"open jail", {"######", "#....#", "#PBx.#", "######"}, 2},
  };
  for (const auto& c : cases) {
    PlayBoard b(c.rows);
    PressX(b, 32);
    b.Hold(plat::kVkRight, 16);
    EXPECT_EQ(b.g.PlayerX, c.toX) << c.name;
    EXPECT_EQ(b.g.BalloonList.X[1], c.toX) << c.name;  // the balloon follows over the head
  }
}
