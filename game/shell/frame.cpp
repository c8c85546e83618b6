// The frame services every scene loop stands on: the frame tail and its pieces (pacing, key
// flush, key latch, focus) and the present.
#include "game/shell/frame.h"

#include <initializer_list>

#include "game/game.h"
#include "game/shell/music_control.h"
#include "platform/api/keys.h"

using namespace plat;

namespace {

// The keys FlushKeys reads, in its order.
constexpr int kAllKeys[] = {kVkUp, kVkDown, kVkLeft, kVkRight, kVkZ,      kVkX,     kVkM,
                            kVkE,  kVkH,    kVkC,    kVkF,     kVkEscape, kVkShift, kVkCtrl};

bool AllReleased(Game& g, std::initializer_list<int> keys) {
  for (int vk : keys)
    if (KeyPressed(g, vk)) return false;  // stops at the first key still pressed
  return true;
}

}  // namespace

bool KeyPressed(Game& g, int vk) { return g.host.AsyncKeyState(vk) != 0; }

void FlushKeys(Game& g) {
  for (int vk : kAllKeys) g.host.AsyncKeyState(vk);
}

void ReleaseKeyLatch(Game& g) {
  if (g.KeyLatch != 1) return;
  bool released;
  switch (g.SceneId) {
    case scTitleMenu: released = AllReleased(g, {kVkZ, kVkE, kVkUp, kVkDown, kVkShift, kVkEscape}); break;
    case scEditSelect:
      released = AllReleased(g, {kVkZ, kVkM, kVkX, kVkLeft, kVkRight, kVkShift, kVkEscape});
      break;
    case scPlay: released = AllReleased(g, {kVkZ, kVkX, kVkEscape}); break;
    case scPause: released = AllReleased(g, {kVkZ, kVkX, kVkUp, kVkDown, kVkEscape}); break;
    case scStageSelect:
      released = AllReleased(g, {kVkZ, kVkM, kVkX, kVkH, kVkLeft, kVkRight, kVkShift, kVkEscape});
      break;
    case scStageNumber: released = AllReleased(g, {kVkZ, kVkH, kVkX, kVkLeft, kVkRight, kVkEscape}); break;
    case scOpening: released = AllReleased(g, {kVkZ}); break;
    case scEnding: released = AllReleased(g, {kVkZ, kVkX, kVkM, kVkShift}); break;
    default: return;  // scene 7 and unknown scenes leave the latch alone
  }
  if (released) g.KeyLatch = 0;
}

void CheckFocus(Game& g) {
  g.LastActiveWindow = g.host.ActiveWindowId();
  if (g.QuitRequested) return;
  if (g.LastActiveWindow == g.OwnWindow && g.Paused == 1) {
    g.Paused = 0;
    FlushKeys(g);  // the latch stays set: a key held on return acts only after a release
  } else if (g.LastActiveWindow != g.OwnWindow && g.Paused == 0) {
    g.Paused = 1;
    FlushKeys(g);
    g.KeyLatch = 1;
  } else if (g.LastActiveWindow != g.OwnWindow) {
    g.KeyLatch = 1;
  }
}

void WaitMs(Game& g, int32_t ms) {
  if (ms <= 0) return;
  g.host.PaceWait(ms);
}

void BeginFrame(Game& g) { g.FrameStart = static_cast<int32_t>(g.host.TickMs()); }

void PaceFrameTo(Game& g, int32_t ms) {
  g.FrameEnd = static_cast<int32_t>(g.host.TickMs());
  g.FrameElapsed = g.FrameEnd - g.FrameStart;
  // A frame that ran long is not made up for.
  if (g.FrameElapsed < ms) WaitMs(g, ms - g.FrameElapsed);
}

void PaceFrame(Game& g) { PaceFrameTo(g, kFrameMs); }

void ServeFrame(Game& g, bool music) {
  if (music) MusicTick(g);
  CheckFocus(g);
  g.host.ProcessMessages();
}

void EndFrame(Game& g, bool music) {
  ServeFrame(g, music);
  PaceFrame(g);
}

void FullFrameTail(Game& g) {
  ReleaseKeyLatch(g);
  FlushKeys(g);
  EndFrame(g);
}

void PresentBackBuffer(Game& g) { g.host.Present(g.BackBuffer); }
