// Screen transitions through black, the overlay with its hot keys, and full screen.
#include "game/shell/transitions.h"

#include <string>

#include "game/game.h"
#include "game/shell/draw.h"
#include "game/shell/frame.h"
#include "game/shell/music_control.h"
#include "platform/api/keys.h"
#include "platform/api/raster.h"

using namespace plat;

void DarkenScreen(Game& g, int tile) {
  if (tile < 0) tile = 0;
  if (tile > 7) tile = 7;
  for (int x = 0; x < 20; ++x)
    for (int y = 0; y < 15; ++y)
      gfx::BitBlt(g.BackBuffer, x * 32, y * 32, 32, 32, g.Art.ImgAnten, tile * 32, 0, gfx::Rop::And);
}

void WipeOut(Game& g, bool fadeMusic) {
  g.WipeCount = 0;
  g.FadeInCount = 0;
  if (fadeMusic) FadeMusicOut(g, 0.675);
  while (g.QuitRequested == 0) {
    BeginFrame(g);
    if (g.Paused == 0) {
      ++g.WipeCount;
      DarkenScreen(g, g.WipeCount < 21 ? g.WipeCount / 3 : 7);
      PresentBackBuffer(g);
      if (g.WipeCount > 30) break;
    }
    PaceFrame(g);  // messages only inside the wait; no focus check
  }
  g.FadeInPending = 1;
}

void BlackOut(Game& g) {
  g.WipeCount = 0;
  g.FadeInCount = 0;
  while (g.QuitRequested == 0) {
    BeginFrame(g);
    if (g.Paused == 0) {
      DarkenScreen(g, 7);
      PresentBackBuffer(g);
      break;
    }
    PaceFrame(g);
  }
  g.FadeInPending = 1;
}

void FadeInStep(Game& g) {
  int n = ++g.FadeInCount;
  if (n < 24) DarkenScreen(g, 7 - n / 3);
  if (n >= 25) {
    g.WipeCount = 0;
    g.FadeInCount = 0;
    g.FadeInPending = 0;
  }
}

void FadeOutStep(Game& g) {
  if (g.FadeOutCount < 24) ++g.FadeOutCount;
  int n = g.FadeOutCount;
  int tile = n < 24 ? RoundToInt(static_cast<float>(n) / 3.0f) : 7;
  DarkenScreen(g, tile > 7 ? 7 : tile);
}

void DrawOverlay(Game& g) {
  g.FpsTime = static_cast<int32_t>(g.host.TickMs());
  if (g.FpsTime - g.FpsWindowStart > 1000) {
    g.FpsShown = g.FpsFrames;
    g.FpsWindowStart = g.FpsTime;
    g.FpsFrames = 1;
  } else {
    ++g.FpsFrames;
  }

  if (g.OverlayVisible == 1) {
    uint32_t colour = g.SceneId == scOpening ? 0x000000 : 0xFFFFFF;
    DrawText(g, 12, colour, " " + std::to_string(g.FpsShown) + " FPS", 570, 458);
    if (g.SoundEnabled == 1)
      DrawText(g, 12, colour, "ON", 592, 438);
    else
      DrawText(g, 12, colour, "OFF", 590, 438);
  }

  if (KeyPressed(g, kVkCtrl) && g.OverlayKeyLatch == 0 && g.SoundKeyLatch == 0) {
    g.OverlayVisible = 1 - g.OverlayVisible;
    g.OverlayKeyLatch = 1;
  }
  if (g.OverlayKeyLatch == 1 && !KeyPressed(g, kVkCtrl)) g.OverlayKeyLatch = 0;

  if (KeyPressed(g, kVkC) && g.OverlayKeyLatch == 0 && g.SoundKeyLatch == 0) {
    g.OverlayVisible = 1;
    g.SoundEnabled = 1 - g.SoundEnabled;
    g.SoundKeyLatch = 1;
  }
  if (g.SoundKeyLatch == 1 && !KeyPressed(g, kVkC)) g.SoundKeyLatch = 0;

  if (KeyPressed(g, kVkF) && g.FullScreenKeyLatch == 0) {
    if (g.FullScreen == 0)
      EnterFullScreen(g);
    else if (g.FullScreen == 1)
      LeaveFullScreen(g);
    g.FullScreenKeyLatch = 1;
  }
  if (!KeyPressed(g, kVkF) && g.FullScreenKeyLatch == 1) g.FullScreenKeyLatch = 0;
}

// There is no 640x480 mode to switch to here: the host shows the window borderless over the
// whole screen with the picture scaled (aspect kept), which stands for the mode change.
void EnterFullScreen(Game& g) {
  int left = 0, top = 0;
  g.host.GetWindowPos(left, top);
  g.WindowedLeft = left;
  g.WindowedTop = top;
  g.host.SetFullScreen(true);
  g.FullScreen = 1;
  g.host.ActivateWindow();
  g.LastActiveWindow = g.OwnWindow = g.host.FormWindowId();
  g.host.SetTopmost(true);
}

void LeaveFullScreen(Game& g) {
  if (g.FullScreen != 1) return;
  g.host.SetFullScreen(false);
  g.host.MoveWindow(g.WindowedLeft, g.WindowedTop);
  g.FullScreen = 0;
  g.host.SetClientSize(640, 480);
  g.host.ActivateWindow();
  g.LastActiveWindow = g.OwnWindow = g.host.FormWindowId();
  g.host.SetTopmost(false);
}
