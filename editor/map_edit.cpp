// Map editing: the map view, the palette, the limits and the selector buttons.
#include "editor/map_edit.h"

#include <string>

#include "platform/api/raster.h"

using plat::Bitmap;
using plat::gfx::BitBlt;
using plat::gfx::Rop;

namespace {

constexpr const char* kClearedText = "このマップはクリア済みです";
constexpr const char* kUnclearedText = "このマップは未クリア状態です";

void Copy32(Bitmap& dst, int dx, int dy, const Bitmap& src, int sx, int sy) {
  BitBlt(dst, dx, dy, 32, 32, src, sx, sy, Rop::Copy);
}

// Mask with AND, then the image with OR over it.
void Masked32(Bitmap& dst, int dx, int dy, const Bitmap& src, int mx, int my, int ix, int iy) {
  BitBlt(dst, dx, dy, 32, 32, src, mx, my, Rop::And);
  BitBlt(dst, dx, dy, 32, 32, src, ix, iy, Rop::Or);
}

void DrawCell(EditorState& e, int col, int row) {
  const EditorArt& a = e.Art;
  const auto& s = e.EditStyle;
  const int dx = 32 * col, dy = 32 * row;
  const uint8_t code = e.EditGrid[GridIndex(col, row)];
  switch (code) {
    case ccBlock: Copy32(e.picDisplay, dx, dy, a.ImgMap0, 96 + 32 * s[ssBlock], 0); return;
    case ccIce: Copy32(e.picDisplay, dx, dy, a.ImgMap0, 224 + 32 * s[ssIce], 0); return;
    case ccNoJump: Copy32(e.picDisplay, dx, dy, a.ImgMap0, 288 + 32 * s[ssNoJump], 0); return;
    case ccConveyorRight: Copy32(e.picDisplay, dx, dy, a.ImgChar6, 0, 0); return;
    case ccConveyorLeft: Copy32(e.picDisplay, dx, dy, a.ImgChar6, 128, 0); return;
    default: break;
  }
  Copy32(e.picDisplay, dx, dy, a.ImgMap0, 32 * s[ssBackground], 0);
  Bitmap& d = e.picDisplay;
  switch (code) {
    case ccLadder: Masked32(d, dx, dy, a.ImgMap1, 32 * s[ssLadder], 32, 32 * s[ssLadder], 0); break;
    case ccDoor: Masked32(d, dx, dy, a.ImgMap1, 64, 32, 64, 0); break;
    case ccPlayerStart:
      Masked32(d, dx, dy, a.ImgChar, 0, 64 * e.EditStartFacing + 32, 0, 64 * e.EditStartFacing);
      break;
    case ccBalloon: Masked32(d, dx, dy, a.ImgChar1, 128, 32 * s[ssBalloon], 0, 32 * s[ssBalloon]); break;
    case ccJumpPad: Masked32(d, dx, dy, a.ImgChar2, 0, 48, 0, 8); break;
    case ccKey: Masked32(d, dx, dy, a.ImgChar3, 32, 64 * s[ssKey] + 32, 32, 64 * s[ssKey]); break;
    case ccBall: Masked32(d, dx, dy, a.ImgChar3, 0, 160, 0, 128); break;
    case ccJailClosed: Masked32(d, dx, dy, a.ImgMap1, 96, 32, 96, 0); break;
    case ccJailOpen: Masked32(d, dx, dy, a.ImgMap1, 128, 32, 128, 0); break;
    case ccCloud: Masked32(d, dx, dy, a.ImgChar4, 0, 32, 0, 0); break;
    case ccGoal: Masked32(d, dx, dy, a.ImgChar5, 0, 32, 0, 0); break;
    case ccBarrier: Masked32(d, dx, dy, a.ImgChar10, 0, 128, 0, 32 * s[ssBarrier]); break;
    default: break;
  }
}

// Placing over a cell first takes what it held out of the counts and flags.
void Unaccount(EditorState& e, uint8_t old) {
  switch (old) {
    case ccBalloon: e.BalloonCount--; break;
    case ccJumpPad: e.JumpPadCount--; break;
    case ccPlayerStart: e.PlayerPlaced = 0; break;
    case ccGoal: e.GoalPlaced = 0; break;
    default: break;
  }
}

// A limit box: the count stays at the limit and dragging ends.
bool CountUp(EditorState& e, int& count, int limit, const char* text) {
  count++;
  if (count <= limit) return true;
  e.host.MessageBox(text, kEditorTitle, plat::MsgButtons::Ok, plat::MsgIcon::None);
  count = limit;
  e.Dragging = 0;
  return false;
}

void Cycle(uint8_t& v, int max) {
  v = static_cast<uint8_t>(v + 1);
  if (v > max) v = 0;
}

void CycleStyle(EditorState& e, int index, int max) {
  Cycle(e.EditStyle[index], max);
  DrawEditMap(e);
}

int ClampCursorColumn(int x) {
  int c = x / 32;
  if (x >= 608) c = 18;
  if (c <= 0) c = 1;
  return c;
}

int ClampCursorRow(int y) {
  int r = y / 32;
  if (r < 1) r = 1;
  if (r > 13) r = 13;
  return r;
}

void DrawCursorAndLabels(EditorState& e) {
  const int x = 32 * e.CursorColumn, y = 32 * e.CursorRow;
  plat::gfx::Rectangle(e.picDisplay, x, y, x + 33, y + 33, kCursorColour, plat::gfx::Fill::None,
                       plat::gfx::PenMode::Copy);
  e.Label3 = "バルーン" + std::to_string(e.BalloonCount) + "/20";
  e.Label4 = "ジャンプ台" + std::to_string(e.JumpPadCount) + "/20";
  e.Label5 = ClearedLabel(e.EditCleared);
  if (const char* t = MusicTitle(e.EditTheme)) e.Label2 = t;
}

void RememberShown(EditorState& e) {
  ShownMap& m = e.DisplayShown;
  m.valid = true;
  m.grid = e.EditGrid;
  m.style = e.EditStyle;
  m.startFacing = e.EditStartFacing;
  m.cursorColumn = e.CursorColumn;
  m.cursorRow = e.CursorRow;
}

// The map view as DrawEditMap leaves it, drawing only the cells whose part changed and those
// under the old and the new cursor frame (its cell and the first pixels of the three next to
// it), then the frame.
void UpdateEditMap(EditorState& e) {
  const ShownMap& m = e.DisplayShown;
  if (!m.valid || m.style != e.EditStyle || m.startFacing != e.EditStartFacing) return DrawEditMap(e);
  std::array<bool, kGridCells> redraw{};
  bool any = m.cursorColumn != e.CursorColumn || m.cursorRow != e.CursorRow;
  for (int i = 0; i < kGridCells; i++)
    if (m.grid[i] != e.EditGrid[i]) redraw[i] = any = true;
  if (any) {
    for (auto [c, r] : {std::pair{m.cursorColumn, m.cursorRow}, {e.CursorColumn, e.CursorRow}})
      for (int dc = 0; dc < 2; dc++)
        for (int dr = 0; dr < 2; dr++)
          if (c + dc >= 0 && c + dc < kGridCols && r + dr >= 0 && r + dr < kGridRows)
            redraw[GridIndex(c + dc, r + dr)] = true;
    for (int col = 0; col < kGridCols; col++)
      for (int row = 0; row < kGridRows; row++)
        if (redraw[GridIndex(col, row)]) {
          DrawCell(e, col, row);
          e.DisplayDamage.Add(32 * col, 32 * row, 32, 32);
        }
  }
  DrawCursorAndLabels(e);
  RememberShown(e);
}

}  // namespace

const char* MusicTitle(int theme) {
  static const char* const kTitles[6] = {
      "  一つの時間",
      " 　   ミスト",
      " 　 ほがらか\r　サンシャイン",
      "　ふわふわ色の\r　　　気持ち",
      "　露付きガラス\r　　　の景色",
      "　魔法の小道を\r　　　ぬけて",
  };
  return theme >= 0 && theme < 6 ? kTitles[theme] : nullptr;
}

const char* ClearedLabel(int32_t cleared) { return cleared == 1 ? kClearedText : kUnclearedText; }

void ResetEditMap(EditorState& e) {
  for (int x = 0; x < kGridCols; x++)
    for (int y = 0; y < kGridRows; y++) {
      const bool border = x == 0 || x == kGridCols - 1 || y == 0 || y == kGridRows - 1;
      const uint8_t c = border ? ccBlock : ccEmpty;
      e.EditGrid[GridIndex(x, y)] = c;
      e.EditGridRows[RowsIndex(x, y)] = c;
    }
}

void DrawEditMap(EditorState& e) {
  for (int row = 0; row < kGridRows; row++)
    for (int col = 0; col < kGridCols; col++) DrawCell(e, col, row);
  DrawCursorAndLabels(e);
  e.DisplayDamage.All();
  RememberShown(e);
}

bool PlacePart(EditorState& e) {
  const int p = e.SelectedPart;
  // The limit is tested before the cell's old content is looked at.
  if (p == ccBalloon && !CountUp(e, e.BalloonCount, kMaxBalloons, "バルーンは最大20個までです。"))
    return false;
  if (p == ccJumpPad && !CountUp(e, e.JumpPadCount, kMaxJumpPads, "ジャンプ台は最大20個までです。"))
    return false;
  const int at = GridIndex(e.CursorColumn, e.CursorRow);
  Unaccount(e, e.EditGrid[at]);
  if (p == ccPlayerStart || p == ccGoal)
    for (int i = 0; i < kGridCells; i++)
      if (i != at && e.EditGrid[i] == p) e.EditGrid[i] = ccEmpty;
  if (p == ccPlayerStart) e.PlayerPlaced = 1;
  if (p == ccGoal) e.GoalPlaced = 1;
  e.EditGrid[at] = static_cast<uint8_t>(p);
  return true;
}

void picDisplayMouseMove(EditorState& e, int x, int y) {
  e.CursorColumn = ClampCursorColumn(x);
  e.CursorRow = ClampCursorRow(y);
  if (e.Dragging && !PlacePart(e)) return;
  UpdateEditMap(e);
}

void picDisplayMouseDown(EditorState& e, MouseButton button) {
  if (button == MouseButton::Left) {
    if (e.DoubleClicked) return;
    e.Dragging = 1;
    PlacePart(e);
    UpdateEditMap(e);
  } else if (button == MouseButton::Right) {
    e.SelectedPart = e.EditGrid[GridIndex(e.CursorColumn, e.CursorRow)];
    ShowSelectedPart(e, e.SelectedPart);
  }
}

void picDisplayMouseUp(EditorState& e) {
  e.Dragging = 0;
  e.DoubleClicked = 0;
}

void picDisplayDblClick(EditorState& e) {
  const int at = GridIndex(e.CursorColumn, e.CursorRow);
  Unaccount(e, e.EditGrid[at]);
  e.EditGrid[at] = ccEmpty;
  UpdateEditMap(e);
  e.DoubleClicked = 1;
}

void picPartsMouseMove(EditorState& e, int x) {
  int slot = x / 32;
  if (slot < 0) slot = 0;
  if (slot > kPartCount - 1) slot = kPartCount - 1;
  // Only the old and the new frame's squares differ from what the palette showed.
  e.PartsDamage.Add(32 * e.HoverSlot, 0, 33, 33);
  e.PartsDamage.Add(32 * slot, 0, 33, 33);
  e.HoverSlot = slot;
  BitBlt(e.picParts, 0, 0, 577, 33, e.Art.partsImage, 0, 0, Rop::Copy);
  plat::gfx::Rectangle(e.picParts, 32 * slot, 0, 32 * slot + 33, 33, kCursorColour, plat::gfx::Fill::None,
                       plat::gfx::PenMode::Copy);
}

void picPartsClick(EditorState& e) {
  e.SelectedPart = e.HoverSlot;
  ShowSelectedPart(e, e.HoverSlot);
}

void ShowSelectedPart(EditorState& e, int code) {
  BitBlt(e.picSelectedParts, 0, 0, 33, 33, e.picParts, 32 * code, 0, Rop::Copy);
  e.SelectedPartsDamage.All();
}

void Button1Click(EditorState& e) { CycleStyle(e, ssBackground, 2); }
void Button2Click(EditorState& e) { CycleStyle(e, ssBlock, 3); }
void Button3Click(EditorState& e) { CycleStyle(e, ssLadder, 1); }
void Button4Click(EditorState& e) { CycleStyle(e, ssIce, 1); }
void Button5Click(EditorState& e) { CycleStyle(e, ssNoJump, 1); }
void Button6Click(EditorState& e) { CycleStyle(e, ssKey, 1); }
void Button7Click(EditorState& e) { CycleStyle(e, ssBalloon, 2); }
void Button8Click(EditorState& e) { CycleStyle(e, ssBarrier, 2); }

void Button9Click(EditorState& e) {
  if (e.EditStartFacing == 0) e.EditStartFacing = 1;
  else if (e.EditStartFacing == 1) e.EditStartFacing = 0;
  DrawEditMap(e);
}

void Button10Click(EditorState& e) {
  Cycle(e.EditTheme, 5);
  DrawEditMap(e);
}

void Button13Click(EditorState& e) {
  if (e.host.MessageBox("マップをクリアしてよろしいですか？", kEditorTitle, plat::MsgButtons::YesNo,
                        plat::MsgIcon::None) != plat::MsgResult::Yes)
    return;
  for (int x = 0; x < kGridCols; x++)
    for (int y = 0; y < kGridRows; y++) {
      const bool border = x == 0 || x == kGridCols - 1 || y == 0 || y == kGridRows - 1;
      e.EditGrid[GridIndex(x, y)] = border ? ccBlock : ccEmpty;
    }
  e.BalloonCount = e.JumpPadCount = 0;
  e.PlayerPlaced = e.GoalPlaced = 0;
  DrawEditMap(e);
}
