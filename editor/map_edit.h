// Map editing: drawing the map view and the palette, placing parts under the stage's limits,
// and the handlers of the view, the palette, the selector buttons and "MAP CLEAR".
#pragma once
#include "editor/editor_state.h"

enum class MouseButton { Left, Right, Middle };

inline constexpr uint32_t kCursorColour = 0x0037FFFF;  // yellow
inline constexpr int kMaxBalloons = 20;
inline constexpr int kMaxJumpPads = 20;

// "このマップはクリア済みです" for mark 1, else "このマップは未クリア状態です".
const char* ClearedLabel(int32_t cleared);
// Music titles shown under "BGM", by theme.
const char* MusicTitle(int theme);
// The empty map: a border of blocks round empty cells, in both layouts.
void ResetEditMap(EditorState& e);

void DrawEditMap(EditorState& e);
// Puts SelectedPart into the cursor cell; false when it stopped at a limit box.
bool PlacePart(EditorState& e);

void picDisplayMouseMove(EditorState& e, int x, int y);
void picDisplayMouseDown(EditorState& e, MouseButton button);
void picDisplayMouseUp(EditorState& e);
void picDisplayDblClick(EditorState& e);
void picPartsMouseMove(EditorState& e, int x);
void picPartsClick(EditorState& e);
// Copies the palette square of `code` into the selected-part box.
void ShowSelectedPart(EditorState& e, int code);

// Selector buttons: "背景", "ブロック", "梯子", "氷", "禁止", "キー", "バルーン", "バリア",
// "Pの向き", "BGM"; then "MAP CLEAR".
void Button1Click(EditorState& e);
void Button2Click(EditorState& e);
void Button3Click(EditorState& e);
void Button4Click(EditorState& e);
void Button5Click(EditorState& e);
void Button6Click(EditorState& e);
void Button7Click(EditorState& e);
void Button8Click(EditorState& e);
void Button9Click(EditorState& e);
void Button10Click(EditorState& e);
void Button13Click(EditorState& e);
