// Walking, turning, ladders and the bounds-safe probes.
#include <gtest/gtest.h>

#include <cmath>

#include "game/play/play_internal.h"
#include "tests/play/play_fixture.h"

using namespace playtest;
using plat::kVkLeft;
using plat::kVkRight;
using plat::kVkShift;
using plat::kVkUp;
using plat::kVkDown;

TEST(Walk, OneCellTakesEightFramesAndSnapsToAWholeCell) {
  struct Case {
    int key;
    const char* row;
    float toX;
    uint8_t facing;
  } cases[] = {
      {kVkRight, "#P..#", 2.0f, 0},
      {kVkLeft, "#..P#", 2.0f, 1},
      {kVkRight, "#.P##", 2.0f, 0},  // blocked: only turns
      {kVkLeft, "#.P.#", 1.0f, 1},
      {kVkRight, "#PD.#", 1.0f, 0},  // a door without a key is a wall
      {kVkRight, "#PX.#", 1.0f, 0},  // a closed jail too
  };
  for (const auto& c : cases) {
    PlayBoard b({"#####", c.row, "#####"});
    b.Hold(c.key, 8);
    EXPECT_EQ(b.g.PlayerX, c.toX) << c.row;
    EXPECT_EQ(b.g.PlayerY, 1.0f) << c.row;
    EXPECT_EQ(b.g.PlayerFacing, c.facing) << c.row;
    EXPECT_EQ(b.g.ActionCode, paIdle) << c.row;
  }
}

TEST(Walk, StepsAreExactEighthsAndTheWalkFrameAdvancesOnOddCounts) {
  PlayBoard b({"#####", "#P..#", "#####"});
  b.host.KeyDown(kVkRight);
  const uint8_t anims[8] = {0, 0, 1, 1, 2, 2, 3, 3};
  for (int i = 1; i <= 7; i++) {
    b.Frame();
    EXPECT_EQ(b.g.PlayerX, 1.0f + 0.125f * i) << i;
    EXPECT_EQ(b.g.ActionCode, paWalkRight) << i;
    EXPECT_EQ(b.g.ActionFrames, 8 - i) << i;
    EXPECT_EQ(b.g.PlayerAnimFrame, anims[i]) << i;
  }
  b.host.KeyUp(kVkRight);
  b.Frame();
  EXPECT_EQ(b.g.PlayerX, 2.0f);
  EXPECT_EQ(b.g.PlayerAnimFrame, 4);
}

TEST(Walk, BothArrowsDoNothingAndShiftOnlyTurnsExceptOnIce) {
  {
    PlayBoard b({"#####", "#.P.#", "#####"});
    b.Hold({kVkLeft, kVkRight}, 10);
    EXPECT_EQ(b.g.PlayerX, 2.0f);
    EXPECT_EQ(b.g.PlayerFacing, 0);
  }
  {
    PlayBoard b({"#####", "#.P.#", "#####"});
    b.Hold({kVkShift, kVkLeft}, 10);
    EXPECT_EQ(b.g.PlayerX, 2.0f);
    EXPECT_EQ(b.g.PlayerFacing, 1);
  }
  {
    PlayBoard b({"#####", "#.P.#", "#.I.#", "#####"});
    b.Hold({kVkShift, kVkLeft}, 8);
    EXPECT_EQ(b.g.PlayerX, 1.0f);
  }
}

TEST(Ladder, ClimbsEightFramesACellAndLeavesAtTheTopRestoringTheFacing) {
  PlayBoard b({"#####", "#...#", "#.H.#", "#PH.#", "#####"});
  b.Hold(kVkRight, 8);
  EXPECT_EQ(b.g.PlayerX, 2.0f);
  EXPECT_EQ(b.g.ActionCode, paLadderUp);  // ladder pose, ladder above
  b.Hold(kVkUp, 8);
  EXPECT_EQ(b.g.PlayerY, 2.0f);
  EXPECT_EQ(b.g.ActionCode, paLadderUpDown);  // ladder above and below
  b.Hold(kVkUp, 8);
  EXPECT_EQ(b.g.PlayerY, 1.0f);
  EXPECT_EQ(b.g.ActionCode, paLadderDown);  // on top of the ladder
  EXPECT_EQ(b.g.PlayerFacing, 0);
  b.Hold(kVkDown, 8);
  EXPECT_EQ(b.g.PlayerY, 2.0f);
  EXPECT_EQ(b.g.PlayerFacing, 2);
}

TEST(Ladder, UpClimbsIntoEveryExitCellOfItsSet) {
  // Under a barrier the pose in the ladder's top cell is 9 (no exit above), from which Up
  // does nothing; the goal ends the stage on arrival.
  struct Case {
    char above;
    bool climbs;
  } cases[] = {{'.', true}, {'H', true}, {'k', true}, {'o', true}, {'x', true},
               {'!', false}, {'#', false}, {'D', false}, {'I', false}};
  for (const auto& c : cases) {
    std::string top = "#.?.#";
    top[2] = c.above;
    PlayBoard b({"#####", top, "#.H.#", "#PH.#", "#####"});
    b.Hold(kVkRight, 8);
    b.Hold(kVkUp, 16);
    EXPECT_EQ(b.g.PlayerY, c.climbs ? 1.0f : 2.0f) << c.above;
  }
}

TEST(Bounds, ProbesOutsideTheGridReadAsBlocksAndNothingIsWrittenThere) {
  // No border at all: the player falls to the bottom row and walks into the sides.
  std::vector<std::string> rows(15, std::string(20, '.'));
  rows[0][5] = 'P';
  rows[3][19] = 'B';
  PlayBoard b(rows);
  b.Frames(120);
  EXPECT_EQ(b.g.PlayerX, 5.0f);
  EXPECT_EQ(b.g.PlayerY, 14.0f);
  EXPECT_EQ(b.Cell(19, 14), ccBalloon);  // the balloon rests on the grid's bottom edge
  b.Hold(kVkLeft, 60);
  EXPECT_EQ(b.g.PlayerX, 0.0f);
  b.Hold(plat::kVkZ, 60);  // a jump in row 14 under open sky works, and comes back
  EXPECT_EQ(b.g.PlayerY, 14.0f);
  int nonEmpty = 0;
  for (uint8_t c : b.g.StageGrid) nonEmpty += c != ccEmpty;
  EXPECT_EQ(nonEmpty, 1);
}

TEST(Bounds, APadInTheTopRowsCutsItsLaunch) {
  std::vector<std::string> rows(15, std::string(20, '.'));
  rows[0][3] = 'P';
  rows[1][3] = 'J';
  rows[2][3] = '#';
  rows[14] = std::string(20, '#');
  PlayBoard b(rows);
  b.Frames(25);
  EXPECT_EQ(b.g.PadLaunchCut, 1);
  EXPECT_EQ(b.g.PlayerY, 0.0f);
}

// Positions round half away from zero, as floor(|v| + 0.5) with the sign put back, and cut
// towards zero, exactly as the long double arithmetic says, without switching rounding modes.
TEST(Positions, RoundHalfAwayFromZeroAndCutTowardsZero) {
  const long double cases[] = {0.0L,   0.49L,  0.5L,   1.5L,      2.5L,    -0.5L,  -1.5L, -2.5L,   3.999L,
                               -3.999L, 19.25L, 640.0L, -32.0L,    1e9L,    -1e9L,  2147483647.0L,
                               std::nextafter(0.5L, 0.0L), std::nextafter(2.5L, 0.0L), std::nextafter(-2.5L, 0.0L)};
  auto reference = [](long double v) {
    return v < 0 ? -static_cast<int32_t>(std::floor(-v + 0.5L)) : static_cast<int32_t>(std::floor(v + 0.5L));
  };
  for (long double v : cases) {
    EXPECT_EQ(play::Rnd(v), reference(v)) << static_cast<double>(v);
    EXPECT_EQ(play::Trunc(v), static_cast<int32_t>(v)) << static_cast<double>(v);
    EXPECT_EQ(play::Trunc(v + 0.0001L), static_cast<int32_t>(v + 0.0001L)) << static_cast<double>(v);
  }
  // Every quarter cell and 32nds of a pixel over the grid, as the play code's positions are.
  for (int i = -2000; i <= 2000; i++) {
    const long double v = 32.0L * (static_cast<long double>(static_cast<float>(i / 32.0)) - 1);
    ASSERT_EQ(play::Rnd(v), reference(v)) << i;
    ASSERT_EQ(play::Rnd(i / 4.0L), reference(i / 4.0L)) << i;
    ASSERT_EQ(play::Trunc(i / 32.0L - 0.0001L), static_cast<int32_t>(i / 32.0L - 0.0001L)) << i;
  }
}
