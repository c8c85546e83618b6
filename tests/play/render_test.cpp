// The play-field renderer with synthetic sheets: restore rectangles, barrier blink columns,
// draw order and the animation tick.
#include <gtest/gtest.h>

#include "game/play/play.h"
#include "game/scenes.h"
#include "tests/play/play_fixture.h"

using namespace playtest;

namespace {

// A sheet whose 32-pixel column block c is filled with colour c + 1.
plat::Bitmap ColumnSheet(int w, int h) {
  plat::Bitmap b(w, h, 0);
  for (int y = 0; y < h; y++)
    for (int x = 0; x < w; x++) b.Set(x, y, static_cast<uint32_t>(x / 32 + 1));
  return b;
}

}  // namespace

TEST(Render, BarriersBlinkThroughTheirColumnsAndVanishForGood) {
  struct Case {
    uint8_t tick;
    uint32_t colour;
  } cases[] = {{0, 1}, {79, 1}, {80, 2}, {83, 2}, {84, 3}, {87, 3}, {88, 4}, {91, 4}};
  for (const auto& c : cases) {
    PlayBoard b({"#####", "#P!.#", "#####"});
    b.g.Art.ImgChar10 = ColumnSheet(160, 288);
    b.g.BackBuffer.Resize(640, 480, 0);
    b.g.BarrierBlinkTick = c.tick;
    DrawFieldObjects(b.g, false);
    EXPECT_EQ(b.g.BackBuffer.At(32 * 2 + 5, 32 + 5), c.colour) << int(c.tick);
  }
  PlayBoard b({"#####", "#P!.#", "#####"});
  b.g.Art.ImgChar10 = ColumnSheet(160, 288);
  b.g.BackBuffer.Resize(640, 480, 0);
  b.g.BarrierGone = 1;
  DrawFieldObjects(b.g, false);
  EXPECT_EQ(b.g.BackBuffer.At(32 * 2 + 5, 32 + 5), 0u);
}

TEST(Render, OnlyTheListedRectanglesAreRestoredUnlessAFadeInIsPending) {
  PlayBoard b({"########", "#......#", "#..P...#", "########"});
  b.g.BoardLayer.Resize(640, 480, 0x00FF00);
  b.g.BackBuffer.Resize(640, 480, 0);
  DrawPlayField(b.g);
  // The player's 56x76 rectangle starts one cell up-left plus 20 pixels: (84, 52).
  EXPECT_EQ(b.g.BackBuffer.At(84, 52), 0x00FF00u);
  EXPECT_EQ(b.g.BackBuffer.At(83, 52), 0u);
  EXPECT_EQ(b.g.BackBuffer.At(84 + 55, 52 + 75), 0x00FF00u);
  EXPECT_EQ(b.g.BackBuffer.At(84 + 56, 52), 0u);
  EXPECT_EQ(b.g.BackBuffer.At(300, 300), 0u);
  b.g.FadeInPending = 1;
  b.g.Art.ImgAnten.Resize(256, 32, 0xFFFFFF);  // darkening tiles that keep every pixel
  DrawPlayField(b.g);
  EXPECT_EQ(b.g.BackBuffer.At(300, 300), 0x00FF00u);
}

TEST(Render, JumpPadsAreDrawnByTheirPoseAndABalloonHeldIsTintedOverItsSprite) {
  // Sprites whose image is one colour with bit 7 set in red, which no tint grey below 128 has, and
  // masks that are black: each sprite covers its whole cell. The held tint's silhouette is the
  // inverse of grey 255 - 25k ORed on, so a held sprite reads sprite | grey 25k.
  constexpr uint32_t kBalloonInk = 0x000080, kPadInk = 0x000081;
  const auto sheets = [&](Game& g) {
    g.Art.ImgChar1 = plat::Bitmap(160, 96, 0);
    for (int y = 0; y < 96; y++)
      for (int x = 0; x < 128; x++) g.Art.ImgChar1.Set(x, y, kBalloonInk);
    g.Art.ImgChar2 = plat::Bitmap(128, 80, 0);
    for (int y = 0; y < 40; y++)
      for (int x = 0; x < 128; x++) g.Art.ImgChar2.Set(x, y, kPadInk + static_cast<uint32_t>(x / 32) * 0x100);
  };
  // The pad is drawn 8 pixels high from the column of its pose.
  for (uint8_t pose = 0; pose < 4; pose++) {
    PlayBoard b({"######", "#....#", "#PJ.B#", "######"});
    sheets(b.g);
    b.g.BackBuffer.Resize(640, 480, 0);
    b.g.JumpPadList.Pose[1] = pose;
    DrawFieldObjects(b.g, false);
    EXPECT_EQ(b.g.BackBuffer.At(64 + 3, 64 - 8 + 3), kPadInk + pose * 0x100u) << int(pose);
    EXPECT_EQ(b.g.BackBuffer.At(64 + 3, 64 + 31), kPadInk + pose * 0x100u) << int(pose);
    EXPECT_EQ(b.g.BackBuffer.At(128 + 3, 64 + 3), kBalloonInk) << "a balloon not held has no tint";
  }
  struct Case {
    uint8_t heldKind;
    int frameCounter;
    uint32_t balloon, pad;  // the pixels at the balloon's and the pad's cells
  } cases[] = {
      {1, 0, kBalloonInk, kPadInk},  // grey 255: a silhouette of nothing
      {1, 1, kBalloonInk | 0x191919, kPadInk},
      {1, 2, kBalloonInk | 0x323232, kPadInk},
      {1, 7, kBalloonInk | 0x4B4B4B, kPadInk},  // FrameCounter mod 4
      {2, 2, kBalloonInk, kPadInk | 0x323232},
  };
  for (const auto& c : cases) {
    PlayBoard b({"######", "#....#", "#PJ.B#", "######"});
    sheets(b.g);
    b.g.BackBuffer.Resize(640, 480, 0);
    b.g.HoldingObject = 1;
    b.g.HeldKind = c.heldKind;
    b.g.HeldIndex = 1;
    b.g.FrameCounter = c.frameCounter;
    DrawFieldObjects(b.g, false);
    EXPECT_EQ(b.g.BackBuffer.At(128 + 3, 64 + 3), c.balloon) << int(c.heldKind) << " " << c.frameCounter;
    EXPECT_EQ(b.g.BackBuffer.At(64 + 3, 64 - 8 + 3), c.pad) << int(c.heldKind) << " " << c.frameCounter;
  }
}

TEST(Tick, CountersStepOnTheirFramesAndTheFrameCounterWrapsAt48) {
  PlayBoard b({"###", "#P#", "###"});
  ResetPlayState(b.g);
  int objSteps = 0, itemSteps = 0, goalSteps = 0;
  for (int i = 1; i <= 96; i++) {
    const uint8_t o = b.g.ObjAnimFrame, it = b.g.ItemAnimFrame, go = b.g.GoalAnimFrame;
    TickAnimation(b.g);
    objSteps += o != b.g.ObjAnimFrame;
    itemSteps += it != b.g.ItemAnimFrame;
    goalSteps += go != b.g.GoalAnimFrame;
    EXPECT_LT(b.g.FrameCounter, 48);
  }
  EXPECT_EQ(objSteps, 16);
  EXPECT_EQ(itemSteps, 12);
  EXPECT_EQ(goalSteps, 16);
  EXPECT_EQ(b.g.FrameCounter, 0);
  EXPECT_EQ(b.g.BarrierBlinkTick, 96 - 92);
}

TEST(Render, AVanishingCloudStepsThroughItsColumnsAndShowsTheBoardFromState9) {
  PlayBoard b({"#####", "#P..#", "#.C.#", "#####"});
  b.g.Art.ImgChar4 = ColumnSheet(192, 96);
  b.g.BoardLayer.Resize(640, 480, 0x777777);
  b.g.CloudList.State[1] = 2;
  // Column blocks 32, 32, 64, 64, 64, 96, 96 for states 2..8: colours 2, 2, 3, 3, 3, 4, 4.
  const uint32_t colours[] = {2, 2, 3, 3, 3, 4, 4};
  for (uint32_t c : colours) {
    DrawFieldObjects(b.g, false);
    EXPECT_EQ(b.g.BackBuffer.At(64 + 5, 64 + 5), c);
  }
  EXPECT_EQ(b.Cell(2, 2), ccCloud);
  DrawFieldObjects(b.g, false);  // state 9: drawn, then the cell is cleared and restored
  EXPECT_EQ(b.Cell(2, 2), ccEmpty);
  EXPECT_EQ(b.g.BackBuffer.At(64 + 5, 64 + 5), 0x777777u);
  EXPECT_EQ(b.g.CloudList.State[1], 10);
}

TEST(Render, AnOpenedDoorIsRestoredOnceAndThenDone) {
  PlayBoard b({"#####", "#PD.#", "#####"});
  b.g.Art.ImgMap1 = ColumnSheet(160, 64);
  b.g.BoardLayer.Resize(640, 480, 0x777777);
  b.g.BackBuffer.Resize(640, 480, 0);
  DrawPlayField(b.g);
  EXPECT_EQ(b.g.BackBuffer.At(64 + 5, 32 + 5), 3u);  // closed: ImgMap1 column 64
  b.g.DoorList.State[1] = 2;
  b.g.BackBuffer.Resize(640, 480, 0);
  DrawPlayField(b.g);
  EXPECT_EQ(b.g.DoorList.State[1], 3);
  EXPECT_EQ(b.g.BackBuffer.At(64 - 51, 72), 0x777777u);  // the 134x134 square round it
  b.g.BackBuffer.Resize(640, 480, 0);
  DrawPlayField(b.g);
  EXPECT_EQ(b.g.BackBuffer.At(64 - 51, 72), 0u);
}

TEST(Render, SelectorsOutOfTheirRangesDrawNothingRatherThanReadOutsideTheSheets) {
  PlayBoard b({"########", "#PkoC!B#", "#IIJNNH#", "########"});
  auto& a = b.g.Art;
  a.ImgMap0 = ColumnSheet(352, 32);
  a.ImgMap1 = ColumnSheet(160, 64);
  a.ImgChar1 = ColumnSheet(160, 96);
  a.ImgChar3 = ColumnSheet(128, 288);
  a.ImgChar4 = ColumnSheet(192, 96);
  a.ImgChar10 = ColumnSheet(160, 288);
  a.ImgChar15 = ColumnSheet(160, 256);
  b.g.StageStyle.fill(255);
  b.g.BoardLayer.Resize(640, 480, 0);
  SetupPlayBoard(b.g);
  b.g.BackBuffer.Resize(640, 480, 0);
  DrawPlayField(b.g);
  EXPECT_EQ(b.g.BoardLayer.At(32 + 5, 64 + 5), 0u);  // the ice tile's column lies past the sheet
  EXPECT_EQ(b.g.BackBuffer.At(64 + 5, 32 + 5), 0u);  // so does the key's row
}
