// Map editing: cursor clamping, dragging, the limits, picking, erasing, selectors, MAP CLEAR.
#include <gtest/gtest.h>

#include "editor/map_edit.h"
#include "platform/api/raster.h"
#include "tests/editor/editor_fixture.h"

using edtest::Editor;

TEST(EditorCursor, BorderPositionsEditTheNearestInteriorCell) {
  struct Case {
    int x, y, col, row;
  } cases[] = {
      {0, 0, 1, 1},       {-40, -40, 1, 1},   {31, 31, 1, 1},     {32, 32, 1, 1},    {64, 95, 2, 2},
      {575, 415, 17, 12}, {576, 416, 18, 13}, {607, 447, 18, 13}, {608, 448, 18, 13}, {639, 479, 18, 13},
      {900, 900, 18, 13},
  };
  Editor ed;
  for (const Case& c : cases) {
    picDisplayMouseMove(ed.e, c.x, c.y);
    EXPECT_EQ(ed.e.CursorColumn, c.col) << c.x << "," << c.y;
    EXPECT_EQ(ed.e.CursorRow, c.row) << c.x << "," << c.y;
  }
  // Clicking with the pointer over the border edits row 13, column 18, never the border.
  ed.e.SelectedPart = ccKey;
  picDisplayMouseMove(ed.e, 639, 479);
  picDisplayMouseDown(ed.e, MouseButton::Left);
  picDisplayMouseUp(ed.e);
  EXPECT_EQ(ed.Cell(18, 13), ccKey);
  EXPECT_EQ(ed.Cell(19, 14), ccBlock);
}

TEST(EditorDrag, PlacesInEveryCellReachedUntilRelease) {
  Editor ed;
  ed.e.SelectedPart = ccLadder;
  ed.MoveTo(3, 5);
  picDisplayMouseDown(ed.e, MouseButton::Left);
  ed.MoveTo(4, 5);
  ed.MoveTo(5, 6);
  picDisplayMouseUp(ed.e);
  ed.MoveTo(6, 6);
  EXPECT_EQ(ed.Cell(3, 5), ccLadder);
  EXPECT_EQ(ed.Cell(4, 5), ccLadder);
  EXPECT_EQ(ed.Cell(5, 6), ccLadder);
  EXPECT_EQ(ed.Cell(6, 6), ccEmpty);
  EXPECT_EQ(ed.e.Dragging, 0);
}

TEST(EditorLimits, OnePlayerStartAndOneGoal) {
  Editor ed;
  ed.Put(ccPlayerStart, 2, 2);
  ed.Put(ccPlayerStart, 5, 5);
  EXPECT_EQ(ed.Cell(2, 2), ccEmpty);
  EXPECT_EQ(ed.Cell(5, 5), ccPlayerStart);
  EXPECT_EQ(ed.e.PlayerPlaced, 1);
  ed.Put(ccGoal, 7, 7);
  ed.Put(ccGoal, 8, 8);
  EXPECT_EQ(ed.Cell(7, 7), ccEmpty);
  EXPECT_EQ(ed.e.GoalPlaced, 1);
  // Any other part over the start clears the flag; over the goal, the goal's.
  ed.Put(ccBlock, 5, 5);
  EXPECT_EQ(ed.e.PlayerPlaced, 0);
  ed.Put(ccEmpty, 8, 8);
  EXPECT_EQ(ed.e.GoalPlaced, 0);
  EXPECT_TRUE(ed.host.DialogLog.empty());
}

TEST(EditorLimits, TwentyBalloonsThenTheBoxEvenOverABalloon) {
  struct Case {
    int part;
    const char* text;
    int EditorState::*count;
  } cases[] = {
      {ccBalloon, "バルーンは最大20個までです。", &EditorState::BalloonCount},
      {ccJumpPad, "ジャンプ台は最大20個までです。", &EditorState::JumpPadCount},
  };
  for (const Case& c : cases) {
    Editor ed;
    for (int i = 0; i < 20; i++) ed.Put(c.part, 1 + i % 18, 1 + i / 18);
    EXPECT_EQ(ed.e.*c.count, 20);
    EXPECT_TRUE(ed.host.DialogLog.empty());
    // Dragging over an existing one: the box, the count stays 20, dragging ends.
    ed.e.SelectedPart = c.part;
    ed.MoveTo(5, 5);
    picDisplayMouseDown(ed.e, MouseButton::Left);
    ASSERT_EQ(ed.host.DialogLog.size(), 1u);
    EXPECT_EQ(ed.LastDialog(), Editor::Line(c.text));
    EXPECT_EQ(ed.e.Dragging, 0);
    ed.MoveTo(1, 1);  // an existing one
    ed.MoveTo(6, 6);
    EXPECT_EQ(ed.host.DialogLog.size(), 1u);
    EXPECT_EQ(ed.Cell(6, 6), ccEmpty);
    EXPECT_EQ(ed.e.*c.count, 20);
    // A plain click on an existing one shows the box as well.
    picDisplayMouseUp(ed.e);
    ed.MoveTo(1, 1);
    picDisplayMouseDown(ed.e, MouseButton::Left);
    EXPECT_EQ(ed.host.DialogLog.size(), 2u);
    EXPECT_EQ(ed.e.*c.count, 20);
    EXPECT_EQ(ed.Cell(1, 1), c.part);
  }
}

TEST(EditorLimits, BalloonOverAJumpPadMovesOneCountToTheOther) {
  Editor ed;
  ed.Put(ccJumpPad, 4, 4);
  ed.Put(ccBalloon, 4, 4);
  EXPECT_EQ(ed.e.BalloonCount, 1);
  EXPECT_EQ(ed.e.JumpPadCount, 0);
  EXPECT_EQ(ed.e.Label3, "バルーン1/20");
  EXPECT_EQ(ed.e.Label4, "ジャンプ台0/20");
}

TEST(EditorErase, DoubleClickLeavesTheCellEmpty) {
  Editor ed;
  ed.Put(ccBalloon, 3, 3);
  ed.e.SelectedPart = ccBalloon;
  ed.MoveTo(4, 4);
  // down, up, double click, down, up: as the window system delivers a double click.
  picDisplayMouseDown(ed.e, MouseButton::Left);
  picDisplayMouseUp(ed.e);
  picDisplayDblClick(ed.e);
  picDisplayMouseDown(ed.e, MouseButton::Left);
  EXPECT_EQ(ed.Cell(4, 4), ccEmpty);
  EXPECT_EQ(ed.e.Dragging, 0);
  picDisplayMouseUp(ed.e);
  EXPECT_EQ(ed.e.DoubleClicked, 0);
  EXPECT_EQ(ed.Cell(3, 3), ccBalloon);
  EXPECT_EQ(ed.e.BalloonCount, 1);
}

TEST(EditorPick, RightClickSelectsTheCellsCodeAndShowsItsSquare) {
  Editor ed;
  ed.Put(ccGoal, 6, 2);
  struct Case {
    int col, row, code;
  } cases[] = {{6, 2, ccGoal}, {7, 2, ccEmpty}};
  for (const Case& c : cases) {
    ed.e.SelectedPart = ccBlock;
    ed.MoveTo(c.col, c.row);
    picDisplayMouseDown(ed.e, MouseButton::Right);
    EXPECT_EQ(ed.e.SelectedPart, c.code);
    plat::Bitmap expect(33, 33);
    plat::gfx::BitBlt(expect, 0, 0, 33, 33, ed.e.picParts, 32 * c.code, 0, plat::gfx::Rop::Copy);
    EXPECT_EQ(ed.e.picSelectedParts.px, expect.px);
  }
  EXPECT_EQ(ed.Cell(6, 2), ccGoal);
}

TEST(EditorPalette, SlotsAreClampedAndClickSelects) {
  struct Case {
    int x, slot;
  } cases[] = {{-5, 0}, {0, 0}, {31, 0}, {32, 1}, {575, 17}, {576, 17}, {700, 17}};
  Editor ed;
  for (const Case& c : cases) {
    picPartsMouseMove(ed.e, c.x);
    picPartsClick(ed.e);
    EXPECT_EQ(ed.e.SelectedPart, c.slot) << c.x;
  }
  // The hover frame is drawn on the palette and copied with the square.
  picPartsMouseMove(ed.e, 100);
  EXPECT_EQ(ed.e.picParts.At(96, 0), kCursorColour);
  EXPECT_EQ(ed.e.picParts.At(128, 32), kCursorColour);
  picPartsClick(ed.e);
  EXPECT_EQ(ed.e.picSelectedParts.At(0, 0), kCursorColour);
  EXPECT_EQ(ed.e.picSelectedParts.At(32, 32), kCursorColour);
}

TEST(EditorView, CursorFrameCoversTheCellAndItsNeighboursFirstPixel) {
  Editor ed;
  ed.MoveTo(2, 3);
  const plat::Bitmap& v = ed.e.picDisplay;
  for (auto [x, y] : {std::pair{64, 96}, {96, 96}, {64, 128}, {96, 128}, {80, 96}, {64, 110}})
    EXPECT_EQ(v.At(x, y), kCursorColour) << x << "," << y;
  EXPECT_NE(v.At(97, 129), kCursorColour);
  // A block cell is the block tile of the selected style.
  ed.e.EditStyle[ssBlock] = 2;
  DrawEditMap(ed.e);
  ASSERT_EQ(ed.e.Art.ImgMap0.width, 352);
  for (int y = 0; y < 32; y++)
    for (int x = 0; x < 32; x++) ASSERT_EQ(v.At(x, y), ed.e.Art.ImgMap0.At(96 + 64 + x, y));
}

TEST(EditorSelectors, EachButtonCyclesThroughItsRange) {
  struct Case {
    void (*click)(EditorState&);
    int index;  // StageStyle index; -1 theme
    int max;
  } cases[] = {
      {Button1Click, ssBackground, 2}, {Button2Click, ssBlock, 3},   {Button3Click, ssLadder, 1},
      {Button4Click, ssIce, 1},        {Button5Click, ssNoJump, 1},  {Button6Click, ssKey, 1},
      {Button7Click, ssBalloon, 2},    {Button8Click, ssBarrier, 2}, {Button10Click, -1, 5},
  };
  Editor ed;
  for (const Case& c : cases) {
    auto value = [&] { return c.index < 0 ? ed.e.EditTheme : ed.e.EditStyle[c.index]; };
    for (int i = 1; i <= c.max; i++) {
      c.click(ed.e);
      EXPECT_EQ(value(), i);
    }
    c.click(ed.e);
    EXPECT_EQ(value(), 0);
  }
  // A loaded value out of range wraps to 0 at the next press.
  ed.e.EditStyle[ssBlock] = 9;
  Button2Click(ed.e);
  EXPECT_EQ(ed.e.EditStyle[ssBlock], 0);
  // Facing flips 0 and 1 and leaves any other value.
  Button9Click(ed.e);
  EXPECT_EQ(ed.e.EditStartFacing, 1);
  Button9Click(ed.e);
  EXPECT_EQ(ed.e.EditStartFacing, 0);
  ed.e.EditStartFacing = 7;
  Button9Click(ed.e);
  EXPECT_EQ(ed.e.EditStartFacing, 7);
}

TEST(EditorSelectors, MusicTitleFollowsTheTheme) {
  Editor ed;
  EXPECT_EQ(ed.e.Label2, "  一つの時間");
  Button10Click(ed.e);
  Button10Click(ed.e);
  EXPECT_EQ(ed.e.Label2, " 　 ほがらか\r　サンシャイン");
  // A theme outside 0..5 keeps the title shown.
  ed.e.EditTheme = 9;
  DrawEditMap(ed.e);
  EXPECT_EQ(ed.e.Label2, " 　 ほがらか\r　サンシャイン");
}

TEST(EditorMapClear, AsksAndOnYesLeavesOnlyTheBorder) {
  Editor ed;
  ed.Put(ccPlayerStart, 2, 2);
  ed.Put(ccGoal, 3, 2);
  ed.Put(ccBalloon, 4, 2);
  ed.Put(ccJumpPad, 5, 2);
  ed.e.EditStyle[ssBlock] = 3;
  ed.e.EditTheme = 4;
  ed.e.EditCleared = 1;
  auto before = ed.e.EditGrid;

  ed.host.Answers.push_back(plat::MsgResult::No);
  Button13Click(ed.e);
  EXPECT_EQ(ed.LastDialog(), Editor::Line("マップをクリアしてよろしいですか？", "yesno"));
  EXPECT_EQ(ed.e.EditGrid, before);
  EXPECT_EQ(ed.e.BalloonCount, 1);

  ed.host.Answers.push_back(plat::MsgResult::Yes);
  Button13Click(ed.e);
  for (int x = 0; x < 20; x++)
    for (int y = 0; y < 15; y++) {
      const bool border = x == 0 || x == 19 || y == 0 || y == 14;
      EXPECT_EQ(ed.Cell(x, y), border ? ccBlock : ccEmpty);
    }
  EXPECT_EQ(ed.e.BalloonCount + ed.e.JumpPadCount + ed.e.PlayerPlaced + ed.e.GoalPlaced, 0);
  EXPECT_EQ(ed.e.EditStyle[ssBlock], 3);
  EXPECT_EQ(ed.e.EditTheme, 4);
  EXPECT_EQ(ed.e.EditCleared, 1);
  EXPECT_EQ(ed.e.Label5, "このマップはクリア済みです");
}

// Each step of a stroke leaves the picture a full redraw would, with every changed pixel inside
// the damage it reports, and the damage a few cells, not the view.
TEST(EditorView, AStrokeRedrawsOnlyTheCellsItChanges) {
  struct Step {
    int col, row;
    bool press;
  };
  struct Case {
    const char* what;
    int part;
    std::vector<Step> steps;
    int maxCells;  // damaged cells at most, per step
  } cases[] = {
      {"ladder stroke", ccLadder, {{3, 5, true}, {4, 5, false}, {5, 6, false}, {5, 6, false}}, 8},
      {"cursor only", ccBlock, {{2, 2, false}, {9, 9, false}, {10, 9, false}}, 8},
      // The start leaves its old cell, far from the cursor.
      {"start moved", ccPlayerStart, {{2, 2, true}, {3, 2, false}, {12, 10, false}}, 9},
      // The frame spills into the border column and row.
      {"last cells", ccBalloon, {{17, 12, true}, {18, 13, false}, {18, 12, false}}, 8},
  };
  for (const Case& c : cases) {
    Editor ed;
    PictureDamage& damage = ed.e.DisplayDamage;
    ed.e.SelectedPart = c.part;
    for (const Step& s : c.steps) {
      damage.Clear();
      const plat::Bitmap before = ed.e.picDisplay;
      ed.MoveTo(s.col, s.row);
      if (s.press) picDisplayMouseDown(ed.e, MouseButton::Left);
      const plat::Bitmap after = ed.e.picDisplay;
      const std::string at = std::string(c.what) + " at " + std::to_string(s.col) + "," + std::to_string(s.row);
      ASSERT_FALSE(damage.all) << at;
      auto damaged = [&](int x, int y) {
        for (const auto& r : damage.rects)
          if (x >= r.x && x < r.x + r.w && y >= r.y && y < r.y + r.h) return true;
        return false;
      };
      int outside = 0;
      for (int y = 0; y < after.height; y++)
        for (int x = 0; x < after.width; x++)
          if (before.At(x, y) != after.At(x, y) && !damaged(x, y)) outside++;
      EXPECT_EQ(outside, 0) << at;
      int cells = 0;
      for (int col = 0; col < kGridCols; col++)
        for (int row = 0; row < kGridRows; row++) cells += damaged(32 * col + 16, 32 * row + 16);
      EXPECT_LE(cells, c.maxCells) << at;
      DrawEditMap(ed.e);
      EXPECT_TRUE(ed.e.picDisplay.px == after.px) << at << ": not what a full redraw draws";
    }
    picDisplayMouseUp(ed.e);
  }
}
