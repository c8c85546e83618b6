// Rule-by-rule cases of the play scene: board setup, input, the next-action choice, falling
// objects, the landing resolution and pass-through pick-up, pad launches, jumps and lifting.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "game/play/play.h"
#include "game/play/play_internal.h"
#include "game/play/play_sounds.h"
#include "game/play/stage_text.h"
#include "game/scenes.h"
#include "tests/play/play_fixture.h"

using namespace playtest;
using plat::kVkLeft;
using plat::kVkRight;
using plat::kVkX;
using plat::kVkZ;

namespace {

// Puts the stage's only balloon over the player's head as if he had lifted it.
void GiveBalloon(PlayBoard& b) {
  const int i = 1;
  b.g.StageGrid[GridIndex(static_cast<int>(b.g.BalloonList.X[i]), static_cast<int>(b.g.BalloonList.Y[i]))] =
      ccEmpty;
  b.g.BalloonList.X[i] = b.g.PlayerX;
  b.g.BalloonList.Y[i] = b.g.PlayerY - 1;
  b.g.HoldingObject = 1;
  b.g.HeldKind = 1;
  b.g.HeldIndex = i;
}

}  // namespace

TEST(ReviewSetup, StartsGoalsListsAndCountsFollowTheColumnByColumnScan) {
  // Two starts: (3,1) comes after (1,2) column by column although it is in an earlier row.
  PlayBoard two({"#####", "#..P#", "#P..#", "#####"});
  EXPECT_EQ(two.g.PlayerX, 3.0f);
  EXPECT_EQ(two.g.PlayerY, 1.0f);
  // Two goals, likewise; and a closed and an open jail share one list in scan order.
  PlayBoard goals({"######", "#..Gx#", "#XG..#", "#P...#", "######"});
  EXPECT_EQ(goals.g.GoalX, 3);
  EXPECT_EQ(goals.g.GoalY, 1);
  ASSERT_EQ(goals.g.JailList.Count, 2);
  EXPECT_EQ(goals.g.JailList.X[1], 1);
  EXPECT_EQ(goals.g.JailList.State[1], 22);
  EXPECT_EQ(goals.g.JailList.X[2], 4);
  EXPECT_EQ(goals.g.JailList.Y[2], 1);
  EXPECT_EQ(goals.g.JailList.State[2], 0);

  // Without a start the player stays where he was.
  PlayBoard none({"#####", "#...#", "#.P.#", "#####"});
  std::vector<std::string> rows = {"#####", "#...#", "#...#", "#####"};
  none.g.StageGridRows = RowsFromText(rows);
  UserStageToGrid(none.g);
  ResetPlayState(none.g);
  SetupPlayBoard(none.g);
  EXPECT_EQ(none.g.PlayerX, 2.0f);
  EXPECT_EQ(none.g.PlayerY, 2.0f);
  EXPECT_EQ(none.g.PadDirection, 3);  // the reset locks the pad choice, it does not open it

  // Balls are counted; a stage without balls has none in it.
  struct {
    std::vector<std::string> rows;
    int balls;
  } ballCases[] = {{{"######", "#o.o.#", "#P..o#", "######"}, 3}, {{"#####", "#...#", "#P..#", "#####"}, 0}};
  for (const auto& c : ballCases) {
    PlayBoard b(c.rows);
    EXPECT_EQ(b.g.BallsInStage, c.balls);
    EXPECT_EQ(b.g.BallList.Count, c.balls);
  }
}

TEST(ReviewSetup, AStageOfKeysFillsTheKeyListWithItsWholeInterior) {
  std::vector<std::string> rows(15, std::string(20, 'k'));
  rows[0] = rows[14] = std::string(20, '#');
  for (auto& r : rows) r.front() = r.back() = '#';
  PlayBoard b({"####", "#P.#", "####"});
  b.g.StageGridRows = RowsFromText(rows);
  UserStageToGrid(b.g);
  ResetPlayState(b.g);
  b.g.PlayerX = b.g.PlayerY = 0;  // on the border, away from every key
  b.g.GoalX = b.g.GoalY = -1;     // a stage without a goal
  SetupPlayBoard(b.g);
  EXPECT_EQ(b.g.KeyList.Count, 234);
  EXPECT_EQ(b.g.KeyList.X[234], 18);
  EXPECT_EQ(b.g.KeyList.Y[234], 13);
}

TEST(ReviewInput, ADoorOpensWithAKeyFromRestOrFromACloudButNotFromTheWrongConveyor) {
  struct Case {
    const char* name;
    std::vector<std::string> rows;
    int keys;
    bool opens;
  } cases[] = {
      {"floor", {"#####", "#PD.#", "#####"}, 1, true},
      {"cloud (idle count 8)", {"#####", "#PD.#", "#C###", "#####"}, 1, true},
      {"no key", {"#####", "#PD.#", "#####"}, 0, false},
      {"on a left conveyor, facing right", {"#####", "#PD.#", "#<###", "#####"}, 1, false},
  };
  for (const auto& c : cases) {
    PlayBoard b(c.rows);
    b.g.KeysHeld = static_cast<uint8_t>(c.keys);
    b.Frames(2);
    b.Hold(kVkRight, 1);
    EXPECT_EQ(b.Cell(2, 1), c.opens ? ccEmpty : ccDoor) << c.name;
    EXPECT_EQ(b.g.KeysHeld, c.opens ? c.keys - 1 : c.keys) << c.name;
  }
}

TEST(ReviewInput, DuringTheWindUpOnlyTheArrowTheWayThePlayerFacesChoosesAJumpSide) {
  struct Case {
    const char* name;
    int arrow;
    std::vector<std::string> rows;
    int direction;  // JumpDirection at the end of the wind-up
    int facing;
    int takeoff;
  } cases[] = {
      {"same way", kVkRight, {"######", "#....#", "#.P..#", "######"}, 1, 0, 24},
      {"other way: no turn, no choice", kVkLeft, {"######", "#....#", "#.P..#", "######"}, 0, 0, 22},
      {"diagonal cell blocked", kVkRight, {"######", "#..#.#", "#.P..#", "######"}, 0, 0, 22},
  };
  for (const auto& c : cases) {
    PlayBoard b(c.rows);
    b.Hold(kVkZ, 1);
    b.Hold(c.arrow, 16);
    EXPECT_EQ(b.g.JumpDirection, c.direction) << c.name;
    EXPECT_EQ(b.g.PlayerFacing, c.facing) << c.name;
    b.Frames(1);
    EXPECT_EQ(b.g.ActionCode, c.takeoff) << c.name;
  }
}

TEST(ReviewChoice, InsideALadderCellTheFloorBelowHasNoEffect) {
  // The player walks into the ladder cell at (3,1); the cell below it is the floor under test.
  for (char floor : std::string("IC><J")) {
    PlayBoard l({"#####", "#...#", "#PH.#", std::string("##") + floor + "##", "#####"});
    l.Hold(kVkRight, 8);
    l.Frames(30);
    EXPECT_EQ(l.g.PlayerX, 2.0f) << floor;
    EXPECT_EQ(l.g.PlayerY, 2.0f) << floor;
    EXPECT_EQ(l.g.ActionCode, paLadderUp) << floor;
    if (floor == 'C') {
      EXPECT_EQ(l.g.CloudList.State[1], 0);
    }
    EXPECT_EQ(l.Sound(wpJumpdai), 0) << floor;
  }
}

TEST(ReviewFalling, AnObjectOnAFallingOneFollowsInTheSameFrameOnlyWhenItsListComesLater) {
  struct Case {
    const char* name;
    std::vector<std::string> rows;
    bool upperPad, lowerPad;
    int lag;  // frames between the lower object's fall and the upper one's
  } cases[] = {
      // Column order gives the upper balloon the lower index: it is handled first and waits.
      {"balloon on a balloon of higher index", {"#####", "#.B.#", "#.B.#", "#...#", "#...#", "#P..#", "#####"},
       false, false, 1},
      {"balloon on a pad", {"#####", "#.B.#", "#.J.#", "#...#", "#...#", "#P..#", "#####"}, false, true, 1},
      {"pad on a balloon", {"#####", "#.J.#", "#.B.#", "#...#", "#...#", "#P..#", "#####"}, true, false, 0},
  };
  for (const auto& c : cases) {
    PlayBoard b(c.rows);
    const TLiftList& upper = c.upperPad ? b.g.JumpPadList : b.g.BalloonList;
    const TLiftList& lower = c.lowerPad ? b.g.JumpPadList : b.g.BalloonList;
    const int ui = 1, li = c.upperPad == c.lowerPad ? 2 : 1;
    int lowerStart = -1, upperStart = -1;
    for (int f = 1; f <= 4; f++) {
      b.Frame();
      if (lowerStart < 0 && lower.State[li] == lsFalling) lowerStart = f;
      if (upperStart < 0 && upper.State[ui] == lsFalling) upperStart = f;
    }
    EXPECT_EQ(lowerStart, 1) << c.name;
    EXPECT_EQ(upperStart - lowerStart, c.lag) << c.name;
  }
}

TEST(ReviewFalling, TheHeldObjectNeverFallsAndFollowsTheHeadBelowTheLiftCodes) {
  PlayBoard b({"######", "#....#", "#P..B#", "######"});
  GiveBalloon(b);
  for (int f = 0; f < 16; f++) {
    b.Hold(kVkRight, 1);
    EXPECT_EQ(b.g.BalloonList.State[1], lsRest) << f;
    EXPECT_EQ(b.g.BalloonList.X[1], b.g.PlayerX) << f;
    EXPECT_EQ(b.g.BalloonList.Y[1], b.g.PlayerY - 1) << f;
  }
  EXPECT_EQ(b.g.PlayerX, 3.0f);
}

TEST(ReviewGround, AFallAdvancesTheWalkFrameOnEvenFrameCounts) {
  struct Case {
    int frameCounter;  // before the fall's first frame
    std::vector<int> anim;
  } cases[] = {{0, {0, 1, 1, 2, 2}}, {1, {1, 1, 2, 2, 3}}};
  for (const auto& c : cases) {
    PlayBoard b({"#####", "#.P.#", "#...#", "#...#", "#####"});
    ASSERT_EQ(b.g.ActionCode, paFall);
    b.g.FrameCounter = c.frameCounter;
    for (size_t i = 0; i < c.anim.size(); i++) {
      b.Frame();
      EXPECT_EQ(b.g.PlayerAnimFrame, c.anim[i]) << c.frameCounter << " frame " << i + 1;
    }
  }
}

TEST(ReviewLanding, EachVariantResolvesTheCellBelowAsItsRowSays) {
  using play::Landing;
  struct Case {
    const char* name;
    Landing variant;
    int dir;
    char below, left, right, aboveRight;
    bool holding;
    int code, frames;
  } cases[] = {
      {"A on ice lands", Landing::A, 0, 'I', '.', '.', '.', false, paLand, 6},
      {"B on ice slides right", Landing::B, 1, 'I', '.', '.', '.', false, paCarriedRight, 8},
      {"B on ice slides left", Landing::B, -1, 'I', '.', '.', '.', false, paCarriedLeft, 8},
      {"A on a right conveyor rides right", Landing::A, 0, '>', '.', '.', '.', false, paCarriedRight, 8},
      {"D rightward onto a left conveyor rides left", Landing::D, 1, '<', '.', '.', '.', false, paCarriedLeft, 8},
      {"D rightward onto a left conveyor against a wall lands", Landing::D, 1, '<', '#', '.', '.', false, paLand, 6},
      {"D above a pad falls", Landing::D, 1, 'J', '.', '.', '.', false, paFall, 6},
      {"A above a pad bounces", Landing::A, 0, 'J', '.', '.', '.', false, paPadBounce, 20},
      {"B above a key falls", Landing::B, 1, 'k', '.', '.', '.', false, paFall, 6},
      {"C on a barrier lands", Landing::C, 1, '!', '.', '.', '.', false, paLand, 6},
      {"C holding rides only with room over the front", Landing::C, 1, '>', '.', '.', '#', true, paLand, 6},
      {"C holding with room over the front rides", Landing::C, 1, '>', '.', '.', 'H', true, paCarriedRight, 8},
      {"B holding ignores the room over the front", Landing::B, 1, '>', '.', '.', '#', true, paCarriedRight, 8},
      {"D onto an open jail in front rides", Landing::D, 1, '>', '.', 'x', '.', false, paCarriedRight, 8},
  };
  for (const auto& c : cases) {
    std::string r1 = "#...#", r2 = "#...#", r3 = "##.##";
    r1[3] = c.aboveRight;
    r2[1] = c.left;
    r2[3] = c.right;
    r3[2] = c.below;
    PlayBoard b({"#####", "#P..#", "#####", "#B..#", "#####"});  // a resting start, then the test layout
    std::vector<std::string> rows = {"#####", r1, r2, r3, "#####", "#B..#", "#####"};
    b.g.StageGridRows = RowsFromText(rows);
    UserStageToGrid(b.g);
    ResetPlayState(b.g);
    b.g.PlayerX = 0;
    b.g.PlayerY = 0;
    b.g.GoalX = b.g.GoalY = -1;  // a stage without a goal
    SetupPlayBoard(b.g);
    if (c.holding) GiveBalloon(b);
    // The last frame of an arc: a little above the row, not snapped.
    b.g.PlayerX = 2.0f;
    b.g.PlayerY = 1.85f;
    b.g.ActionCode = paJumpDescend;
    play::ResolveLanding(b.g, c.variant, c.dir);
    EXPECT_EQ(b.g.ActionCode, c.code) << c.name;
    EXPECT_EQ(b.g.ActionFrames, c.frames) << c.name;
    EXPECT_EQ(b.g.PlayerY, 2.0f) << c.name;
  }
}

TEST(ReviewLanding, ThePassedCellGivesUpItsKeyBallAndJailBehindTheArc) {
  struct Case {
    const char* name;
    char passed;
    int keysBefore, keysAfter;
    int sound;
  } cases[] = {
      {"key", 'k', 0, 1, wpKey},
      {"key with 99 held", 'k', 99, 99, wpKey},
      {"ball (not the last)", 'o', 0, 0, wpBoal},
      {"open jail", 'x', 0, 0, wpRouya},
  };
  for (const auto& c : cases) {
    std::string row = "#P?.o#";
    row[2] = c.passed;
    PlayBoard b({"######", "#....#", row, "######"});
    b.g.KeysHeld = static_cast<uint8_t>(c.keysBefore);
    b.g.PlayerX = 3.0f;  // one cell right of the passed cell, after a rightward arc
    b.g.PlayerY = 2.0f;
    play::CollectPassedCell(b.g, 1, false);
    EXPECT_EQ(b.g.KeysHeld, c.keysAfter) << c.name;
    EXPECT_EQ(b.Sound(c.sound), 1) << c.name;
    if (c.passed == 'x') {
      EXPECT_EQ(b.Cell(2, 2), ccJailClosed);
      EXPECT_EQ(b.g.JailList.State[1], 2);
    }
    if (c.passed == 'o') {
      EXPECT_EQ(b.g.BallsTaken, 1);
      EXPECT_EQ(b.g.BallList.State[1], 1);
    }
  }
}

TEST(ReviewPads, TheTopRowsCutOrFlyByTheCellAboveAndHolding) {
  struct Case {
    const char* name;
    std::vector<std::string> rows;
    bool holding;
    int code;  // after the bounce's 21 frames
  } cases[] = {
      {"row 1 always cuts", {"#####", "#.P.#", "#.J.#", "#####", "#B..#", "#####"}, false, paIdle},
      {"row 2 under nothing flies", {"#####", "#...#", "#.P.#", "#.J.#", "#####", "#B..#", "#####"}, false,
       paPadFlight},
      {"row 2 under a ladder flies", {"#####", "#.H.#", "#.P.#", "#.J.#", "#####", "#B..#", "#####"}, false,
       paPadFlight},
      {"row 2 under a key flies", {"#####", "#.k.#", "#.P.#", "#.J.#", "#####", "#B..#", "#####"}, false,
       paPadFlight},
      {"row 2 under a conveyor cuts", {"#####", "#.>.#", "#.P.#", "#.J.#", "#####", "#B..#", "#####"}, false, paIdle},
      {"row 2 under a barrier cuts", {"#####", "#.!.#", "#.P.#", "#.J.#", "#####", "#B..#", "#####"}, false, paIdle},
      {"row 2 holding cuts", {"#####", "#...#", "#.P.#", "#.J.#", "#####", "#B..#", "#####"}, true, paIdle},
      {"row 3 under an open way flies", {"#####", "#...#", "#...#", "#.P.#", "#.J.#", "#####", "#B..#", "#####"},
       false, paPadFlight},
  };
  for (const auto& c : cases) {
    PlayBoard b(c.rows);
    if (c.holding) GiveBalloon(b);
    ASSERT_EQ(b.g.ActionCode, paPadBounce) << c.name;
    b.Frames(21);
    EXPECT_EQ(b.g.ActionCode, c.code) << c.name;
    EXPECT_EQ(b.g.PadLaunchCut, c.code == paIdle ? 1 : 0) << c.name;
  }
}

TEST(ReviewPads, AFlightUnderACeilingSnapsToAWholeRowAndJumpsOn) {
  // Not holding, a block three rows above the pad-top: the ceiling test at F 10 stops the flight.
  PlayBoard b({"#####", "#...#", "#.#.#", "#...#", "#...#", "#.P.#", "#.J.#", "#####"});
  b.Frames(21);
  ASSERT_EQ(b.g.ActionCode, paPadFlight);
  int frames = 0;
  while (b.g.ActionCode == paPadFlight && frames < 20) {
    b.Frame();
    frames++;
  }
  EXPECT_EQ(b.g.ActionCode, paJumpRise);
  EXPECT_EQ(b.g.ActionFrames, 8);
  EXPECT_EQ(b.g.PlayerY, static_cast<float>(static_cast<int>(b.g.PlayerY)));
  EXPECT_EQ(b.g.JumpPadList.Pose[1], 0);
}

TEST(ReviewJumps, TheTakeOffDecidesByWhatIsAroundThePlayer) {
  struct Case {
    const char* name;
    std::vector<std::string> rows;
    int walkIn;  // arrow held 8 frames first (0: none)
    int arrow;   // held through the wind-up
    int code;    // after the take-off
    int jumpSounds, cloudSounds;
  } cases[] = {
      {"inside an open jail under a cloud", {"######", "#.C..#", "#Px..#", "######"}, kVkRight, 0, paIdle, 0, 0},
      {"under a cloud with an arrow held", {"######", "#.C..#", "#.P..#", "######"}, 0, kVkRight, paJumpRise, 1, 1},
      {"an open jail on the right", {"######", "#....#", "#.Px.#", "######"}, 0, kVkRight, paHopRight, 1, 0},
      {"a block on the left", {"######", "#....#", "##P..#", "######"}, 0, kVkLeft, paHopLeft, 1, 0},
  };
  for (const auto& c : cases) {
    PlayBoard b(c.rows, c.arrow == kVkLeft ? 1 : 0);
    if (c.walkIn) {
      b.Hold(c.walkIn, 8);
      b.Frames(1);
    }
    b.Hold(kVkZ, 1);
    if (c.arrow)
      b.Hold(c.arrow, 17);
    else
      b.Frames(17);
    EXPECT_EQ(b.g.ActionCode, c.code) << c.name;
    EXPECT_EQ(b.Sound(wpJump), c.jumpSounds) << c.name;
    EXPECT_EQ(b.Sound(wpCroud), c.cloudSounds) << c.name;
  }
}

TEST(ReviewJumps, ADiagonalRiseBlockedAheadComesStraightDownUnlessALadderIsBelow) {
  struct Case {
    const char* name;
    std::vector<std::string> rows;
    int after;  // the action that follows the rise
    bool keyTaken;
  } cases[] = {
      {"block ahead", {"######", "#...##", "#.P..#", "######"}, paJumpDescend, false},
      {"open jail below ahead", {"######", "#....#", "#.P.x#", "######"}, paJumpDescend, false},
      {"ladder top below, key passed", {"######", "#.k.##", "#.PH.#", "######"}, paLand, true},
  };
  for (const auto& c : cases) {
    PlayBoard b(c.rows);
    b.Hold(kVkZ, 1);
    b.Hold(kVkRight, 17);
    if (b.g.ActionCode == paJumpRiseRight) b.Frames(8);
    EXPECT_EQ(b.g.ActionCode, c.after) << c.name;
    if (c.keyTaken) {
      EXPECT_EQ(b.g.KeysHeld, 1) << c.name;
    }
  }
}

TEST(ReviewLift, TheLiftTestAcceptsLaddersAndRefusesJailsAndStacks) {
  struct Case {
    const char* name;
    std::vector<std::string> rows;
    int walkIn;
    bool lifts;
  } cases[] = {
      {"ladder over the head", {"######", "#.H..#", "#.PB.#", "######"}, 0, true},
      {"ladder over the balloon", {"######", "#..H.#", "#.PB.#", "######"}, 0, true},
      {"standing in an open jail", {"######", "#....#", "#PxB.#", "######"}, kVkRight, false},
      {"balloon with a balloon on it", {"######", "#..B.#", "#.PB.#", "######"}, 0, false},
      {"balloon with a pad on it", {"######", "#..J.#", "#.PB.#", "######"}, 0, false},
      {"a pad in front", {"######", "#....#", "#.PJ.#", "######"}, 0, true},
      {"a key in front", {"######", "#....#", "#.Pk.#", "######"}, 0, false},
  };
  for (const auto& c : cases) {
    PlayBoard b(c.rows);
    if (c.walkIn) {
      b.Hold(c.walkIn, 8);
      b.Frames(1);
    }
    std::vector<uint8_t> before(b.g.StageGrid.begin(), b.g.StageGrid.end());
    b.Hold(kVkX, 1);
    b.Frames(11);
    EXPECT_EQ(b.g.ActionCode, c.lifts ? paLiftGrab : paLiftRefused) << c.name;
    b.Frames(20);
    EXPECT_EQ(b.g.HoldingObject, c.lifts ? 1 : 0) << c.name;
    EXPECT_EQ(b.Sound(wpMahou), 1) << c.name;  // the ring of the refusal or of the grab, at K 11
    if (!c.lifts) {
      EXPECT_EQ(std::vector<uint8_t>(b.g.StageGrid.begin(), b.g.StageGrid.end()), before) << c.name;
      EXPECT_EQ(b.Sound(wpHave), 0) << c.name;
    }
  }
}

TEST(ReviewLift, ThePutDownDustAndItsSoundNeedAFloorUnderTheFrontCell) {
  struct Case {
    const char* name;
    std::vector<std::string> rows;
    int grounds;  // ground.wav requests by the end of the wait after the put-down
  } cases[] = {
      {"block under the front cell", {"######", "#....#", "#.P..#", "######", "#B...#", "######"}, 1},
      {"balloon under the front cell", {"######", "#....#", "#.P..#", "###B##", "#B####", "######"}, 0},
  };
  for (const auto& c : cases) {
    PlayBoard b(c.rows);
    GiveBalloon(b);
    b.Frames(2);
    b.Hold(kVkX, 1);
    b.Frames(25);
    EXPECT_EQ(b.g.HoldingObject, 0) << c.name;
    EXPECT_EQ(b.Cell(3, 2), ccBalloon) << c.name;
    EXPECT_EQ(b.Sound(wpGround), c.grounds) << c.name;
  }
}

namespace {

// A player sheet whose 32x32 cell (cx, cy) holds the colour cx + 1 + 256 (cy + 1).
plat::Bitmap CellSheet(int w, int h) {
  plat::Bitmap b(w, h, 0);
  for (int y = 0; y < h; y++)
    for (int x = 0; x < w; x++) b.Set(x, y, static_cast<uint32_t>(x / 32 + 1 + 256 * (y / 32 + 1)));
  return b;
}

}  // namespace

TEST(ReviewRender, ThePlayerSpriteCellFollowsTheActionFacingFrameAndMode) {
  struct Case {
    int alt, code, facing, anim, frames;
    int sx, sy;
  } cases[] = {
      {0, paFall, 1, 3, 4, 96, 128},         {1, paFall, 1, 5, 4, 96, 128},
      {1, paFall, 1, 3, 4, 64, 128},         {0, paPadBounce, 1, 0, 9, 0, 64},
      {0, paPadBounce, 1, 2, 9, 160, 320},   {0, paPadBounce, 0, 3, 4, 96, 320},
      {0, paPadBounce, 1, 5, 4, 128, 320},   {0, paLand, 1, 0, 6, 192, 128},
      {0, paLandEnd, 0, 0, 3, 160, 128},     {0, paJumpWindup1, 1, 0, 3, 128, 320},
      {0, paJumpWindup2, 0, 0, 3, 32, 320},  {1, paJumpWindup3, 1, 0, 3, 128, 320},
      {0, paJumpRise, 1, 0, 8, 224, 320},    {0, paPadArcLeft, 1, 0, 2, 224, 320},
      {1, paPadFlight, 0, 0, 8, 96, 320},    {1, paJumpRise, 0, 0, 8, 0, 384},
      {1, paJumpRise, 0, 0, 5, 32, 384},     {1, paJumpDescend, 1, 0, 1, 224, 448},
      {1, paHopOverRight, 0, 0, 6, 160, 384}, {1, paPadLaunchRight, 0, 0, 0, 224, 384},
      {1, paPadLaunchLeft, 1, 0, 2, 96, 448}, {1, paPadArcRight, 0, 0, 4, 192, 384},
      {1, paPadArcLeft, 1, 0, 0, 224, 448},  {0, paLiftStart, 1, 0, 6, 128, 256},
      {0, paLiftCheck, 0, 0, 6, 32, 256},    {0, paLiftRefused, 1, 0, 4, 192, 256},
      {0, paLiftGrab, 0, 0, 3, 96, 256},     {0, paPutDownEnd, 0, 0, 12, 64, 256},
      {0, paPutDownLower, 1, 0, 3, 160, 256}, {0, paIdle, 2, 5, 0, 160, 192},
      {0, paWalkAgainstConveyor, 1, 2, 9, 64, 64}, {0, paJumpTakeoff, 0, 1, 6, 32, 0},
      {1, paCarriedRight, 0, 3, 5, 96, 0},
  };
  for (const auto& c : cases) {
    PlayBoard b({"#####", "#...#", "#.P.#", "#####"});
    b.g.Art.ImgChar = CellSheet(256, 384);
    b.g.Art.ImgChar14 = CellSheet(256, 512);
    b.g.BackBuffer.Resize(640, 480, 0);
    b.g.AltMode = static_cast<uint8_t>(c.alt);
    b.g.ActionCode = static_cast<uint8_t>(c.code);
    b.g.PlayerFacing = static_cast<uint8_t>(c.facing);
    b.g.PlayerAnimFrame = static_cast<uint8_t>(c.anim);
    b.g.ActionFrames = static_cast<uint8_t>(c.frames);
    DrawPlayer(b.g);
    const uint32_t px = b.g.BackBuffer.At(64 + 5, 64 + 5);
    EXPECT_EQ(static_cast<int>(px % 256 - 1) * 32, c.sx) << "alt " << c.alt << " code " << c.code;
    EXPECT_EQ(static_cast<int>(px / 256 - 1) * 32, c.sy) << "alt " << c.alt << " code " << c.code;
  }
}

TEST(ReviewLift, TheChainsTakeTheirFrameCounts) {
  struct Case {
    const char* name;
    std::vector<std::string> rows;
    bool give;
    std::vector<std::pair<int, int>> runs;  // (action code after the frame's step, frames)
  } cases[] = {
      {"refused", {"######", "#....#", "#.Pk.#", "######"}, false, {{37, 5}, {38, 6}, {39, 12}, {0, 2}}},
      {"lifted", {"######", "#....#", "#.PB.#", "######"}, false, {{37, 5}, {38, 6}, {40, 12}, {41, 8}, {0, 1}}},
      {"put down", {"######", "#....#", "#.P..#", "######", "#B...#", "######"}, true,
       {{42, 5}, {43, 8}, {44, 12}, {0, 2}}},
  };
  for (const auto& c : cases) {
    PlayBoard b(c.rows);
    if (c.give) GiveBalloon(b);
    b.Frames(2);
    std::vector<std::pair<int, int>> runs;
    int total = 0;
    for (const auto& r : c.runs) total += r.second;
    for (int f = 0; f < total; f++) {
      if (f == 0)
        b.Hold(kVkX, 1);
      else
        b.Frame();
      if (runs.empty() || runs.back().first != b.g.ActionCode)
        runs.push_back({b.g.ActionCode, 1});
      else
        runs.back().second++;
    }
    EXPECT_EQ(runs, c.runs) << c.name;
  }
}

TEST(ReviewLift, TheRaiseAndLoweringArcsPassThroughTheirTablePoints) {
  // Offsets of the object from the player (facing right) after arc step k.
  struct Point {
    int k;
    double h, v;
  };
  // The raise's last step is not seen: its frame ends with the object put over the head.
  const Point raise[] = {{1, 0.97988, -0.19957}, {2, 0.92035, -0.39110}, {4, 0.69407, -0.71990},
                         {6, 0.35723, -0.93402}, {7, 0.16365, -0.98652}};
  const Point lower[] = {{1, 0.19957, -0.97988}, {2, 0.39110, -0.92035}, {4, 0.71990, -0.69407},
                         {6, 0.93402, -0.35723}};
  for (int facing = 0; facing <= 1; facing++) {
    const double s = facing == 0 ? 1 : -1;
    PlayBoard b({"#######", "#.....#", "#.BPB.#", "#######"}, static_cast<uint8_t>(facing));
    const int i = facing == 0 ? 2 : 1;  // the balloon in front
    b.Hold(kVkX, 1);
    b.Frames(23);
    ASSERT_EQ(b.g.ActionCode, paLiftRaise);
    for (const auto& p : raise) {
      while (8 - b.g.ActionFrames < p.k) b.Frame();
      EXPECT_NEAR(b.g.BalloonList.X[i] - b.g.PlayerX, s * p.h, 1e-5) << facing << " raise " << p.k;
      EXPECT_NEAR(b.g.BalloonList.Y[i] - b.g.PlayerY, p.v, 1e-5) << facing << " raise " << p.k;
    }
    b.Frame();
    EXPECT_EQ(b.g.BalloonList.X[i], b.g.PlayerX) << facing;
    EXPECT_EQ(b.g.BalloonList.Y[i], b.g.PlayerY - 1) << facing;
    b.Frames(2);
    b.Hold(kVkX, 1);
    b.Frames(5);
    ASSERT_EQ(b.g.ActionCode, paPutDownLower);
    for (const auto& p : lower) {
      while (8 - b.g.ActionFrames < p.k) b.Frame();
      EXPECT_NEAR(b.g.BalloonList.X[i] - b.g.PlayerX, s * p.h, 1e-5) << facing << " lower " << p.k;
      EXPECT_NEAR(b.g.BalloonList.Y[i] - b.g.PlayerY, p.v, 1e-5) << facing << " lower " << p.k;
    }
    while (b.g.ActionCode == paPutDownLower) b.Frame();
    // The balloon ends 0.0365 cell low for a frame; the next falling update rounds it.
    EXPECT_NEAR(b.g.BalloonList.Y[i] - b.g.PlayerY, 0.03652, 1e-5) << facing;
    b.Frame();
    EXPECT_EQ(b.g.BalloonList.Y[i], b.g.PlayerY) << facing;
    EXPECT_EQ(b.g.BalloonList.X[i], b.g.PlayerX + static_cast<float>(s)) << facing;
  }
}

TEST(ReviewPads, AFlightUnderACeilingGoesSidewaysOnlyWhenTheChosenSideIsOpen) {
  struct Case {
    const char* name;
    std::vector<std::string> rows;
    bool chooseRight;
    int code;
  } cases[] = {
      {"no choice: straight", {"#####", "#...#", "#...#", "#.#.#", "#...#", "#...#", "#.P.#", "#.J##", "#####"},
       false, paJumpRise},
      {"right open: launch", {"#####", "#...#", "#...#", "#.#.#", "#...#", "#...#", "#.P.#", "#.J##", "#####"},
       true, paPadLaunchRight},
      {"right blocked at the landing row: hop", {"#####", "#...#", "#...#", "#.#.#", "#...#", "#..##", "#.P.#",
                                                 "#.J##", "#####"},
       true, paHopRight},
      {"right blocked above: straight", {"#####", "#...#", "#...#", "#.#.#", "#..##", "#...#", "#.P.#", "#.J##",
                                         "#####"},
       true, paJumpRise},
  };
  for (const auto& c : cases) {
    PlayBoard b(c.rows);
    b.Frames(15);
    if (c.chooseRight) b.Hold(kVkRight, 1);
    ASSERT_EQ(b.g.PadDirection, c.chooseRight ? 1 : 0) << c.name;
    int frames = 0;
    while ((b.g.ActionCode == paPadBounce || b.g.ActionCode == paPadFlight) && frames++ < 40) b.Frame();
    EXPECT_EQ(b.g.ActionCode, c.code) << c.name;
    EXPECT_EQ(b.g.PlayerY, 5.0f) << c.name;
  }
}

TEST(ReviewFalling, AFallingBalloonThatMeetsTheHeadStopsStillFallingAndGoesOnOnceHeLeaves) {
  PlayBoard b({"#####", "#.B.#", "#...#", "#.P.#", "#####"});
  b.Frames(30);
  EXPECT_EQ(b.g.BalloonList.Y[1], 2.0f);
  EXPECT_EQ(b.g.BalloonList.State[1], lsFalling);  // held up, its state unchanged
  EXPECT_EQ(b.Cell(2, 2), ccBalloon);
  EXPECT_EQ(b.Sound(wpGround), 0);
  b.Hold(kVkRight, 8);
  b.Frames(8);
  EXPECT_EQ(b.g.BalloonList.Y[1], 3.0f);
  EXPECT_EQ(b.g.BalloonList.State[1], lsRest);
  EXPECT_EQ(b.Sound(wpGround), 1);
}

TEST(ReviewInput, ZDoesNothingWhileClimbing) {
  struct Case {
    const char* name;
    int before;  // arrow held first to reach the state
    int frames;
    int code;    // action after Z
  } cases[] = {
      {"climbing up", plat::kVkUp, 2, paClimbUp},
      {"climbing down", plat::kVkDown, 2, paClimbDown},
  };
  for (const auto& c : cases) {
    // A ladder of three cells; the player starts in the middle one.
    PlayBoard b({"#####", "#.H.#", "#.P.#", "#.H.#", "#####"});
    b.g.StageGrid[GridIndex(2, 2)] = ccLadder;
    ChooseNextAction(b.g);
    ASSERT_EQ(b.g.ActionCode, paLadderUpDown) << c.name;
    b.Hold(c.before, c.frames);
    b.Hold(kVkZ, 1);
    EXPECT_EQ(b.g.ActionCode, c.code) << c.name;
    EXPECT_EQ(b.g.KeyLatch, 0) << c.name;
  }
}
