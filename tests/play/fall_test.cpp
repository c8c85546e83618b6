// Falls of the player and of balloons and jump pads: landing cells, whole-cell rests.
#include <gtest/gtest.h>

#include "game/play/play_sounds.h"
#include "tests/play/play_fixture.h"

using namespace playtest;

TEST(Fall, AFallEndsAboveEachCellKindAsItsSetSays) {
  struct Case {
    char floor;
    uint8_t action;  // after two fall steps, standing over `floor`
  } cases[] = {
      {'#', 16}, {'H', 16}, {'D', 16}, {'B', 16}, {'I', 16}, {'N', 16}, {'X', 16}, {'x', 16},
      {'C', 16}, {'!', 16}, {'.', 3},  {'k', 3},  {'o', 3},  {'G', 3},  {'J', 7},
      {'>', 16},  // its right neighbour is a block: it lands instead of riding
      {'<', 16},
  };
  for (const auto& c : cases) {
    std::string floorRow = "#?#";
    floorRow[1] = c.floor;
    PlayBoard b({"###", "#P#", "#.#", "#.#", floorRow, "###"});
    EXPECT_EQ(b.g.ActionCode, paFall) << c.floor;
    b.Frames(6);
    EXPECT_EQ(b.g.PlayerY, 2.0f) << c.floor;
    b.Frames(6);
    EXPECT_EQ(b.g.PlayerY, 3.0f) << c.floor;
    EXPECT_EQ(b.g.ActionCode, c.action) << c.floor;
  }
}

TEST(Fall, ALandingShowsTwoFramesOfLandThenFourOfLandEndWithOneGroundSound) {
  PlayBoard b({"###", "#P#", "#.#", "###"});
  b.Frames(6);
  ASSERT_EQ(b.g.ActionCode, paLand);
  const uint8_t codes[6] = {16, 17, 17, 17, 17, 0};
  for (int i = 0; i < 6; i++) {
    b.Frame();
    EXPECT_EQ(b.g.ActionCode, codes[i]) << i;
    EXPECT_EQ(b.Sound(wpGround), i == 0 ? 0 : 1) << i;
  }
}

TEST(FallingObjects, ABalloonFallsACellPerSixFramesAndRestsOnAWholeCell) {
  PlayBoard b({"#####", "#B..#", "#...#", "#...#", "#..P#", "#####"});
  b.Frame();
  EXPECT_EQ(b.g.BalloonList.State[1], lsFalling);
  EXPECT_EQ(b.Cell(1, 1), ccEmpty);
  EXPECT_EQ(b.Cell(1, 2), ccBalloon);  // the grid shows the new cell at once
  b.Frames(18);
  EXPECT_EQ(b.g.BalloonList.Y[1], 4.0f);
  EXPECT_EQ(b.g.BalloonList.X[1], 1.0f);
  EXPECT_EQ(b.g.BalloonList.State[1], lsRest);
  EXPECT_EQ(b.Sound(wpGround), 1);
  EXPECT_EQ(b.Cell(1, 4), ccBalloon);
  EXPECT_EQ(b.Cell(1, 3), ccEmpty);
}

TEST(FallingObjects, ABalloonOnThePlayersHeadFallsWhenHisHeadLeavesItsColumn) {
  PlayBoard b({"#####", "#B..#", "#P..#", "#####"});
  b.Frames(10);
  EXPECT_EQ(b.g.BalloonList.State[1], lsRest);
  b.host.KeyDown(plat::kVkRight);
  b.Frames(3);  // x = 1.375: still under it
  EXPECT_EQ(b.g.BalloonList.State[1], lsRest);
  b.Frames(1);  // the head's column rounds to 2
  EXPECT_EQ(b.g.BalloonList.State[1], lsRest);
  b.Frame();
  EXPECT_EQ(b.g.BalloonList.State[1], lsFalling);
}

TEST(FallingObjects, BalloonsGoBeforePadsSoAPadOnAFallingBalloonFollowsInTheSameFrame) {
  // Column 1: pad over balloon over empty; column 3: balloon over pad over empty.
  PlayBoard b({"#####", "#J.B#", "#B.J#", "#...#", "#...#", "#.P.#", "#####"});
  b.Frame();
  EXPECT_EQ(b.g.BalloonList.State[1], lsFalling);  // (1,2), first in column order
  EXPECT_EQ(b.g.JumpPadList.State[1], lsFalling);  // (1,1) pad on it: same frame
  EXPECT_EQ(b.g.JumpPadList.State[2], lsFalling);  // (3,2)
  EXPECT_EQ(b.g.BalloonList.State[2], lsRest);     // (3,1) balloon on a pad: one frame later
  b.Frame();
  EXPECT_EQ(b.g.BalloonList.State[2], lsFalling);
}

TEST(Setup, ObjectsPastTheTwentyFirstOfAKindAreNotPlaced) {
  std::vector<std::string> rows = {"####################", "#BBBBBBBBBBBBBBBBBB#", "#BBBBBBB.....JJJJJJ#",
                                   "#P.................#", "####################"};
  PlayBoard b(rows);
  EXPECT_EQ(b.g.BalloonList.Count, 21);
  EXPECT_EQ(b.g.JumpPadList.Count, 6);
  EXPECT_EQ(b.Cell(14, 1), ccBalloon);  // the 21st in column order
  for (int x = 15; x <= 18; x++) EXPECT_EQ(b.Cell(x, 1), ccEmpty) << x;  // 25 given
  EXPECT_EQ(b.Cell(18, 2), ccJumpPad);
}
