// What the menu screens share: their colours, sounds, music requests, the cursor sprite and
// the pieces of their frame loops.
#pragma once
#include <cstdint>
#include <string>

#include "game/game.h"
#include "game/play/play_sounds.h"

namespace menus {

constexpr uint32_t kLit = 0xE6FAFA;
constexpr uint32_t kDim = 0x8CC8C8;
constexpr uint32_t kWhite = 0xFFFFFF;
constexpr uint32_t kBlack = 0x000000;

// The music calls, each noted in MusicLog.
void Music(Game& g, const std::string& file);
void MusicStop(Game& g);
void MusicArm(Game& g);

// ResetPlayState together with the menu cursors it zeroes.
void ResetPlayAndCursors(Game& g);

// A menu key acts once per press: only while the latch is clear, and it then sets the latch.
bool LatchedKey(Game& g, int vk);

// Left and Right move the cursor of a four-item bottom bar round, with "choise1.wav".
void MoveBarCursor(Game& g);

// Leaves a select screen for the title menu: title cursor on its first item, wipe, a short wait.
void BackToTitle(Game& g);

// The selected item is drawn lit in this frame (BlinkCounter mod 22 <= 10).
bool BlinkLit(const Game& g);

// The menu cursor (ImgChar7 frame CursorFrame) masked at (x, y).
void DrawMenuCursor(Game& g, int x, int y);

// Fills a rectangle of the board layer black (the right and bottom edges excluded).
void BlackBoardLayer(Game& g, int x2, int y2);

// Two digits with a leading zero.
std::string TwoDigits(int v);

// The grey level v taken modulo 256.
inline uint32_t GreyMod(int64_t v) {
  const uint32_t b = static_cast<uint32_t>(((v % 256) + 256) % 256);
  return b | (b << 8) | (b << 16);
}
inline uint32_t Rgb(int64_t r, int64_t g, int64_t b) {
  auto m = [](int64_t v) { return static_cast<uint32_t>(((v % 256) + 256) % 256); };
  return m(r) | (m(g) << 8) | (m(b) << 16);
}

}  // namespace menus
