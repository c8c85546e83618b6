// The opening: the maker credit, "PRESENT", the title picture with its logo, and the menu fade-in.
#include <cmath>
#include <functional>

#include "game/menus/menu_common.h"
#include "game/scenes.h"
#include "game/shell/draw.h"
#include "game/shell/frame.h"
#include "game/shell/transitions.h"
#include "platform/api/keys.h"

using namespace menus;

namespace {

constexpr float kSin16 = 0.99957360304150516f;  // sin 1.6

// The overlay's corner, painted over (or restored) before the overlay is drawn.
constexpr int kCornerX = 565, kCornerY = 435, kCornerW = 80, kCornerH = 50;

void WhiteRect(Game& g, float x1, float y1, float x2, float y2) {
  DrawRect(g, kWhite, bsSolid, pmCopy, x1, y1, x2, y2);
}

// Copies a rectangle of the title picture's upper half to the same place of the back buffer.
void RestoreUpper(Game& g, int x1, int y1, int x2, int y2) {
  CopyBlt(g.Art.ImgTitle, x1, y1, x2 - x1, y2 - y1, g.BackBuffer, x1, y1);
}
void RestoreCorner(Game& g) { RestoreUpper(g, kCornerX, kCornerY, kCornerX + kCornerW, kCornerY + kCornerH); }

// Three one-pixel ellipse outlines a pixel apart. The opening is the first thing the game
// draws, so the back buffer's pen is still in copy mode here.
void Ring(Game& g, uint32_t colour, int x1, int y1, int x2, int y2) {
  for (int k = 0; k < 3; ++k) DrawEllipse(g, colour, bsClear, pmCopy, x1 - k, y1 - k, x2 + k, y2 + k);
}

void ErasingRing(Game& g, int c) { Ring(g, kWhite, 677 - 17 * c, 567 - 17 * c, 17 * c - 37, 17 * c - 147); }
void GreyRing(Game& g, int c) { Ring(g, GreyMod(4 * c + 65), 660 - 17 * c, 550 - 17 * c, 17 * c - 20, 17 * c - 130); }

void MakerCreditFrame(Game& g, int c) {
  const float s1 = static_cast<float>(std::sin((c - 6) / 10.0));
  const float s2 = static_cast<float>(std::sin((c - 12) / 10.0));
  auto px = [](float v) { return static_cast<float>(RoundEven(v)); };  // sine positions: whole pixels

  WhiteRect(g, 295, 185, 350, 240);
  if (c >= 7 && c <= 21) {
    WhiteRect(g, px(35 + 140 * s1), 90, px(300 + 140 * s1), 160);
    WhiteRect(g, 130, px(105 + 140 * s1), 535, px(200 + 140 * s1));
  } else if (c >= 22 && c <= 29) {
    WhiteRect(g, px(c + 13 + 140 * kSin16), 90, px(c + 278 + 140 * kSin16), 160);
    WhiteRect(g, 130, px(c + 83 + 140 * kSin16), 535, px(c + 178 + 140 * kSin16));
  } else if (c >= 30) {
    WhiteRect(g, px(325 - 140 * s2), 90, px(600 - 140 * s2), 160);
    WhiteRect(g, 130, px(395 - 140 * s2), 535, px(490 - 140 * s2));
  }
  if (c >= 21) ErasingRing(g, c);
  WhiteRect(g, kCornerX, kCornerY, kCornerX + kCornerW, kCornerY + kCornerH);

  const char* kAnd = "＆";
  const char* kHandle = "rovenu";
  const char* kName = "霞草 丹五郎";
  if (c <= 10) DrawText(g, 5 * c + 1, GreyMod(255 - 18 * c), kAnd, 320 - 3 * c, 210 - 3 * c);
  if (c >= 11 && c <= 21) DrawText(g, 51, kBlack, kAnd, 290, 180);
  if (c >= 7 && c <= 21) {
    DrawText(g, 60, GreyMod(101 - 17 * c), kHandle, px(55 + 140 * s1), 85);
    DrawText(g, 55, GreyMod(101 - 17 * c), kName, 130, px(120 + 140 * s1));
  }
  if (c >= 22 && c <= 46) DrawText(g, 51, GreyMod(10 * c + 51), kAnd, 290, 180);
  if (c >= 22 && c <= 29) {
    DrawText(g, 60, kBlack, kHandle, px(c + 33 + 140 * kSin16), 85);
    DrawText(g, 55, kBlack, kName, 130, px(c + 98 + 140 * kSin16));
  } else if (c >= 30 && c <= 45) {
    DrawText(g, 60, GreyMod(15 * c + 92), kHandle, px(343 - 140 * s2), 85);
    DrawText(g, 55, GreyMod(15 * c + 92), kName, 130, px(408 - 140 * s2));
  } else if (c == 46) {
    DrawText(g, 55, GreyMod(15 * c + 77), kName, 130, px(408 - 140 * s2));
    ErasingRing(g, c);
  }
  if (c >= 21 && c <= 45) GreyRing(g, c);
}

void PresentFrame(Game& g, int c) {
  WhiteRect(g, 140, 175, 535, 260);
  WhiteRect(g, kCornerX, kCornerY, kCornerX + kCornerW, kCornerY + kCornerH);
  const char* kText = "PRESENT";
  if (c <= 70) DrawText(g, 185 - 2 * c, GreyMod(-6 * c - 32), kText, 4 * c - 60, 2 * c + 60);
  if (c >= 71 && c <= 93) DrawText(g, 45, kBlack, kText, 220, 200);
  if (c >= 57 && c <= 76) DrawText(g, 199 - 2 * c, GreyMod(10 - 6 * c), kText, 4 * c - 88, 2 * c + 46);
  if (c >= 94 && c <= 112) DrawText(g, 45, GreyMod(5 * c - 59), kText, 220, 200);
}

void TitleRevealFrame(Game& g, int c) {
  if (c <= 107)
    CopyBlt(g.Art.ImgTitle, 323 - 3 * c, 0, 6 * c, 480, g.BackBuffer, 323 - 3 * c, 0);
  else
    CopyBlt(g.Art.ImgTitle, 0, 0, 640, 480, g.BackBuffer, 0, 0);
}

// One half of the logo flying in: its even rows from the left, its odd rows from the right.
void LogoBandFrame(Game& g, int c, int firstRow, int lastRow) {
  const Bitmap& logo = g.Art.ImgChar12;
  for (int r = firstRow; r <= lastRow; ++r) {
    const int x = r % 2 == 0 ? 313 + 2 * c : 413 - 2 * c;
    MaskedBlt(logo, 0, r, r + 221, 223, 1, g.BackBuffer, x, 37 + r);
  }
}

void SettlingWaveFrame(Game& g, int c) {
  RestoreUpper(g, 340, 120, 640, 165);
  MaskedBlt(g.Art.ImgChar12, 0, 0, 221, 223, 221, g.BackBuffer, 363, 37);
  RestoreCorner(g);
  const double kPi = 3.14159265358979323846;
  const double amp = 40 - c / 2.0;
  for (int i = 0; i <= 18; ++i) {
    const int x = RoundEven(static_cast<float>(377 + amp * std::sin((20 * i + 10 * c) * kPi / 180)));
    MaskedBlt(g.Art.ImgChar13, 0, 2 * i, 2 * i + 38, 196, 1, g.BackBuffer, x, 121 + 2 * i);
  }
  for (int j = 0; j <= 18; ++j) {
    const int x = RoundEven(static_cast<float>(377 + amp * std::sin(-(20 * j + 10 + 10 * c) * kPi / 180)));
    MaskedBlt(g.Art.ImgChar13, 0, 2 * j + 1, 2 * j + 39, 196, 1, g.BackBuffer, x, 122 + 2 * j);
  }
}

void MenuFadeFrame(Game& g, int c) {
  RestoreCorner(g);
  const uint32_t colour = Rgb(2 * c + 100, 2 * c + 100, 2 * c + 40);
  DrawText(g, 30, colour, "NORMAL GAME", 368, 280);
  DrawText(g, 30, colour, "EDIT GAME", 388, 340);
  DrawText(g, 30, colour, "END", 446, 398);
}

void TitleMusic(Game& g) {
  Music(g, "rhythmicpark.ogg");
  MusicArm(g);
}

// One phase of the opening. `counter` is the phase's counter; `preIncrement` raises it at the
// start of each unpaused frame (phases 1-3 and 7), otherwise after presenting (4-6). Returns
// false when the opening is over (skipped or quit).
struct Phase {
  int last;
  bool preIncrement;
  bool keys;     // the tail reads the key latch and flushes; Z skips
  bool overlay;
  std::function<void(Game&, int)> draw;
};

bool RunPhase(Game& g, int& counter, const Phase& p) {
  while (g.QuitRequested == 0) {
    bool done = false;
    BeginFrame(g);
    if (g.Paused == 0) {
      if (p.preIncrement) ++counter;
      p.draw(g, counter);
      if (p.overlay) DrawOverlay(g);
      PresentBackBuffer(g);
      if (!p.preIncrement) ++counter;
      done = p.preIncrement ? counter >= p.last : counter > p.last;
      if (p.keys && g.KeyLatch == 0 && KeyPressed(g, plat::kVkZ)) {
        g.KeyLatch = 1;
        TitleMusic(g);
        g.FrameCounter = 0;
        g.SceneId = scTitleMenu;
        return false;
      }
    }
    if (p.keys) {
      ReleaseKeyLatch(g);
      FlushKeys(g);
    }
    EndFrame(g, false);
    if (done) return true;
  }
  return false;
}

}  // namespace

void RunOpening(Game& g) {
  PlayWave(g, wpOpening);
  int& c = g.FrameCounter;
  if (!RunPhase(g, c, {51, true, false, true, MakerCreditFrame})) return;
  if (!RunPhase(g, c, {131, true, false, true, PresentFrame})) return;

  c = 0;
  FlushKeys(g);
  g.KeyLatch = 1;
  if (!RunPhase(g, c, {139, true, true, false, TitleRevealFrame})) return;

  c = 0;
  auto band1 = [](Game& gg, int n) {
    RestoreUpper(gg, 270, 0, 640, 230);
    RestoreCorner(gg);
    LogoBandFrame(gg, n, 0, 111);
  };
  if (!RunPhase(g, c, {25, false, true, true, band1})) return;
  c = 0;
  auto band2 = [](Game& gg, int n) {
    RestoreUpper(gg, 300, 150, 640, 265);
    RestoreCorner(gg);
    LogoBandFrame(gg, n, 112, 220);
  };
  if (!RunPhase(g, c, {25, false, true, true, band2})) return;
  c = 0;
  if (!RunPhase(g, c, {80, false, true, true, SettlingWaveFrame})) return;

  TitleMusic(g);
  c = 0;
  if (!RunPhase(g, c, {51, true, true, true, MenuFadeFrame})) return;

  g.FrameCounter = 0;
  g.SceneId = scTitleMenu;
}
