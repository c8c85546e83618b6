// The stage-clear scene in both variants: the field fades while the player glides to the centre
// in a ring of sparkles; then "STAGE CLEAR" is written letter by letter over a banner and the
// scene ends in fireworks (with the flyer, or the player spinning upwards); then the progress step.
#include <cmath>

#include "game/play/cutscenes.h"
#include "game/play/play_internal.h"
#include "game/play/progress_step.h"
#include "game/scenes.h"
#include "game/shell/draw.h"
#include "game/shell/frame.h"
#include "game/shell/music_control.h"
#include "game/shell/transitions.h"
#include "platform/api/raster.h"

using namespace play;

namespace {

constexpr uint32_t kBlack = 0, kWhite = 0xFFFFFF;
constexpr long double kPi = 3.1415926535L;
constexpr int kSparkleFrames = 5, kBurstFrames = 4, kBannerWidth = 379;

uint32_t Rgb(int r, int g, int b) {
  return static_cast<uint32_t>(r & 0xFF) | static_cast<uint32_t>(g & 0xFF) << 8 | static_cast<uint32_t>(b & 0xFF) << 16;
}
void BlackRect(Game& g, float x1, float y1, float x2, float y2) { DrawRect(g, kBlack, bsSolid, pmCopy, x1, y1, x2, y2); }
int Px(float cells) { return Rnd(32.0L * cells); }

// The sprite strips have no frames past their ends: those frames draw nothing.
void Sparkle(Game& g, int frame, int x, int y) {
  if (frame >= 0 && frame < kSparkleFrames) MaskedBlt(g.Art.ImgChar9, 15 * frame, 0, 15, 15, 15, g.BackBuffer, x, y);
}
void StarBurst(Game& g, int frame, int x, int y) {
  if (frame >= 0 && frame < kBurstFrames) MaskedBlt(g.Art.ImgChar20, 60 * frame, 0, 60, 60, 60, g.BackBuffer, x, y);
}
void Rocket(Game& g, int frame, int x, int y) { MaskedBlt(g.Art.ImgChar20, 32 * frame, 120, 152, 32, 32, g.BackBuffer, x, y); }

// Runs one phase: frames until ClearFrame reaches `end` (the last frame has no tail).
template <class Frame>
void ClearLoop(Game& g, int end, Frame frame) {
  while (g.QuitRequested == 0) {
    BeginFrame(g);
    if (g.Paused == 0) {
      frame(g.ClearFrame);
      if (g.ClearFrame >= end) break;
    }
    EndFrame(g, false);
  }
}

// ---- Phase 1 ----

void Phase1Frame(Game& g, int t) {
  const int CX = 32 * g.ClearCellX, CY = 32 * g.ClearCellY;
  const float px = g.PlayerX * 32, py = g.PlayerY * 32;
  BlackRect(g, px - 44, py - 44, px + 44, py + 44);
  BlackRect(g, 565, 435, 645, 485);
  BlackRect(g, CX - 105, CY - 105, CX + 128, CY + 128);
  if (g.FadeOutCount < 21) {
    TickAnimation(g);
    CopyBlt(g.BoardLayer, CX - 105, CY - 105, 233, 233, g.BackBuffer, CX - 105, CY - 105);
    CopyBlt(g.BoardLayer, 565, 435, 80, 50, g.BackBuffer, 565, 435);
    DrawFieldObjects(g, false);
    FadeOutStep(g);
  }
  Move(g.PlayerX, static_cast<long double>(g.ClearStepX) / 3944);
  Move(g.PlayerY, static_cast<long double>(g.ClearStepY) / 3944);
  if (g.AltMode == 0)
    MaskedBlt(g.Art.ImgChar8, 32 * g.ClearSpriteFrame, 0, 32, 32, 32, g.BackBuffer, Px(g.PlayerX), Px(g.PlayerY));
  else
    MaskedBlt(g.Art.ImgChar14, 32 * g.ClearSpriteFrame, 448, 480, 32, 32, g.BackBuffer, Px(g.PlayerX), Px(g.PlayerY));
  if (t <= 107) {
    const int srcX = t <= 91 ? 15 * g.SparkleFrame : 60 - 15 * g.SparkleFrame;
    for (int i = 0; i <= 14; i++) {
      const long double a = i * 24 * kPi / 180;
      const int x = Rnd(std::sin(a) * t + CX + 8), y = Rnd(CY + 7 - std::cos(a) * t);
      MaskedBlt(g.Art.ImgChar9, srcX, 0, 15, 15, 15, g.BackBuffer, x, y);
    }
  }
  DrawOverlay(g);
  PresentBackBuffer(g);
  const int n = ++g.ClearFrame;
  if (g.AltMode == 0 ? n % 3 == 0 : n % 2 == 0) {
    g.ClearSpriteFrame++;
    if (g.ClearSpriteFrame > (g.AltMode == 0 ? 3 : 7)) g.ClearSpriteFrame = 0;
  }
  if (n % 4 == 0 && ++g.SparkleFrame > 1) g.SparkleFrame = 0;
}

// "fun.ogg" is started here, once, rather than by the music tick.
void StartClearSong(Game& g) {
  if (!g.OggPlayer) return;
  g.OggPlayer->SetSlotVolume(0, 1.0f);
  g.OggPlayer->PlaySlot(0, false);
}

void BetweenPhases(Game& g) {
  g.FadeOutCount = 0;
  g.FlyerX = 640.0f;
  g.FlyerY = 310.0f;
  g.ClearFrame = 0;
  plat::gfx::Rectangle(g.BoardLayer, 0, 0, 646, 446, kBlack, plat::gfx::Fill::Solid, plat::gfx::PenMode::Copy);
  PlayMusic(g, "fun.ogg");
  PaceFrameTo(g, 442);
  StartClearSong(g);
  WaitMs(g, 180);
  if (g.AltMode == 1) {
    g.FlyerX = g.PlayerX;
    g.FlyerY = g.PlayerY;
  }
}

// ---- Phase 2, both variants ----

struct Letter {
  const char* text;
  int zoomFirst, zoomLast, zoomSlope, zoomBase;
  int fadeFirst, fadeLast, fadeLastAlt, fadeX;
};
// S T A G E C L E A R; X while zooming is zoomSlope * t + zoomBase.
constexpr Letter kLetters[10] = {
    {"S", 25, 45, 4, -45, 156, 166, 166, 135},  {"T", 33, 52, 4, -40, 160, 170, 170, 172},
    {"A", 41, 60, 4, -35, 164, 174, 172, 209},  {"G", 49, 68, 4, -30, 167, 177, 177, 246},
    {"E", 57, 76, 4, -25, 171, 181, 181, 283},  {"C", 65, 84, -3, 600, 175, 185, 185, 345},
    {"L", 73, 92, -3, 661, 179, 189, 189, 382}, {"E", 81, 100, -3, 722, 183, 193, 193, 419},
    {"A", 89, 108, -3, 783, 187, 197, 197, 456}, {"R", 97, 116, -3, 844, 191, 201, 201, 493},
};
constexpr int kLetterOrder[10] = {4, 3, 2, 1, 0, 5, 6, 7, 8, 9};

void DrawLetters(Game& g, int t) {
  for (int idx : kLetterOrder) {
    const Letter& l = kLetters[idx];
    const int fadeLast = g.AltMode == 1 ? l.fadeLastAlt : l.fadeLast;
    if (t >= l.zoomFirst && t <= l.zoomLast) {
      const int d = t - l.zoomFirst;
      DrawText(g, static_cast<float>(160 - 6 * d), Grey(15 + 12 * d), l.text, static_cast<float>(l.zoomSlope * t + l.zoomBase),
               330);
    } else if (t >= l.fadeFirst && t <= fadeLast) {
      DrawText(g, 40, Grey(255 - 25 * (t - l.fadeFirst)), l.text, static_cast<float>(l.fadeX), 330);
    }
    if (idx == 0 && t == 167) BlackRect(g, 135, 330, 175, 380);
    if (idx == 1 && t == 171) BlackRect(g, 172, 330, 212, 380);
  }
}

struct BannerStep {
  int first, last, srcX, w, dstX;
};
constexpr BannerStep kBanner[] = {
    {46, 52, 0, 20, 138},      {53, 60, 0, 60, 138},      {61, 68, 0, 96, 138},      {69, 76, 0, 133, 138},
    {77, 84, 0, 170, 138},     {85, 92, 0, 232, 138},     {93, 100, 0, 269, 138},    {101, 108, 0, 306, 138},
    {109, 116, 0, 345, 138},   {117, 155, 0, 379, 138},   {156, 159, 21, 359, 159},  {160, 163, 61, 319, 199},
    {164, 166, 97, 319, 235},  {167, 170, 134, 319, 272}, {171, 174, 171, 319, 309}, {175, 178, 233, 319, 371},
    {179, 182, 270, 319, 408}, {183, 186, 307, 319, 445}, {187, 190, 346, 319, 484},
};

void DrawBanner(Game& g, int t) {
  for (const BannerStep& b : kBanner)
    if (t >= b.first && t <= b.last) {
      const int w = std::min(b.w, kBannerWidth - b.srcX);  // nothing past the strip's right edge
      CopyBlt(g.Art.ImgChar19, b.srcX, 0, w, 35, g.BackBuffer, b.dstX, 340);
    }
}

void DrawUnderline(Game& g, int t) {
  if (t >= 28 && t <= 108)
    DrawLine(g, kWhite, pmMerge, 120, 385, static_cast<float>(5 * t - 15), 385);
  else if (t >= 109 && t <= 158)
    DrawLine(g, kWhite, pmMerge, 120, 385, 530, 385);
  else if (t >= 159 && t <= 199)
    DrawLine(g, Grey(255 - 6 * (t - 159)), pmCopy, static_cast<float>(120 + 10 * (t - 159)), 385, 530, 385);
}

// The erasing every phase-2 frame begins with, shared by both variants (before the
// variant's own player and burst rectangles).
void EraseText(Game& g, int t) {
  if (t >= 159 && t <= 200) DrawLine(g, kBlack, pmCopy, static_cast<float>(110 + 10 * (t - 159)), 385, 530, 385);
  BlackRect(g, static_cast<float>(t + 32), 330, 640, 485);
}

void EraseSlots(Game& g) {
  for (int k = 0; k < 5; k++) {
    const float x = g.FireworkX[k] * 32, y = g.FireworkY[k] * 32;
    BlackRect(g, x - 10, y - 10, x + 45, y + 45);
  }
}

void SetSlot(Game& g, int slot, long double x, long double y) {
  g.FireworkX[slot] = static_cast<float>(x);
  g.FireworkY[slot] = static_cast<float>(y);
}
void DrawSlot(Game& g, int slot, int frame) { Sparkle(g, frame, Px(g.FireworkX[slot]), Px(g.FireworkY[slot])); }

// ---- Phase 2, AltMode 0: the flyer ----

struct Burst {
  int slot, setAt;
  bool fromFlyer;  // position from the flyer's pixels, else from the player's cells
  long double dx, dy;
  int first, last, base;
};
constexpr Burst kFlyerBursts[10] = {
    {0, 106, true, -0.5L, 0.5L, 107, 122, 107},   {1, 111, true, 0.05L, 0.7L, 112, 127, 112},
    {2, 116, true, 0.5L, 1.3L, 117, 132, 117},    {3, 121, true, 0.95L, 0.7L, 122, 137, 122},
    {4, 126, true, 1.4L, 0.3L, 127, 142, 127},    {0, 131, false, 1.4L, 1.0L, 132, 147, 131},
    {1, 136, false, 1.85L, 1.8L, 137, 149, 136},  {2, 141, false, 2.3L, 0.6L, 142, 157, 142},
    {3, 146, false, 2.75L, 1.6L, 147, 162, 147},  {4, 151, false, 3.2L, 1.1L, 152, 167, 152},
};

struct Firework {
  int first, last, x, y, burstFirst, burstLast, burstX, burstY;
};
constexpr Firework kFireworks[5] = {
    {120, 128, 100, 34, 129, 145, 86, 20},    {126, 134, 420, 132, 135, 151, 406, 118},
    {132, 140, 526, 30, 141, 157, 512, 16},   {138, 146, 196, 88, 147, 163, 182, 74},
    {144, 152, 331, 45, 153, 169, 317, 31},
};

void Beam(Game& g, int t) {
  const float fx = g.FlyerX, fy = g.FlyerY;
  if (t >= 106 && t <= 127) {
    const int d = t - 105;
    DrawPolygon(g, Rgb(t - 87, t - 87, Rnd(3.2L * d + 128)), pmMerge, fx + 32, fy + 29, fx + 36 + d / 6,
                fy + 38 + d / 4, 672, 337, 672, 337);
  } else if (t >= 128 && t <= 187) {
    const int d = (t - 128) / 2;
    DrawPolygon(g, Rgb(45 - d, 45 - d, 255 - 4 * (t - 128)), pmMerge, fx + 12 + d, fy + 9 + d, fx + 54 - d, fy + 58 - d,
                672, 337, 672, 337);
  }
}

void EraseBeam(Game& g, int t) {
  const float fx = g.FlyerX, fy = g.FlyerY;
  if (t >= 107 && t <= 128) {
    const int d = t - 106;
    DrawPolygon(g, kBlack, pmCopy, fx + 48, fy + 33, fx + 52 + d / 6, fy + 42 + d / 4, 672, 337, 672, 337);
  } else if (t >= 129 && t <= 188) {
    const int d = (t - 129) / 2;
    DrawPolygon(g, kBlack, pmCopy, fx + 28 + d, fy + 13 + d, fx + 70 - d, fy + 62 - d, 672, 337, 672, 337);
  }
}

void FlyerBursts(Game& g, int t) {
  for (const Burst& b : kFlyerBursts) {
    if (t == b.setAt) {
      if (b.fromFlyer)
        SetSlot(g, b.slot, static_cast<long double>(g.FlyerX) / 32 + b.dx, static_cast<long double>(g.FlyerY) / 32 + b.dy);
      else
        SetSlot(g, b.slot, static_cast<long double>(g.PlayerX) + b.dx, static_cast<long double>(g.PlayerY) + b.dy);
    }
    if (t >= b.first && t <= b.last) {
      DrawSlot(g, b.slot, (t - b.base) / 3);
      Move(g.FireworkX[b.slot], 0.08L);
      Move(g.FireworkY[b.slot], 0.04L);
    }
  }
}

void Fireworks(Game& g, int t) {
  for (const Firework& f : kFireworks) {
    if (t == f.first) PlayWave(g, wpHanabi2);
    if (t >= f.first && t <= f.last) Rocket(g, (t - f.first) / 2, f.x, f.y);
    if (t >= f.burstFirst && t <= f.burstLast) StarBurst(g, (t - f.burstFirst) / 4, f.burstX, f.burstY);
  }
}

void StepSpriteFrame(Game& g, int wrapPast) {
  if (++g.ClearSpriteFrame > wrapPast) g.ClearSpriteFrame = 0;
}

void FlyerPlayer(Game& g, int t) {
  const plat::Bitmap& s = g.Art.ImgChar8;
  const int x = Px(g.PlayerX), y = Px(g.PlayerY);
  if (t <= 83) {
    MaskedBlt(s, 32 * g.ClearSpriteFrame, 64, 96, 32, 32, g.BackBuffer, x, y);
    if (t % 7 == 6) StepSpriteFrame(g, 3);
  } else if (t <= 97) {
    MaskedBlt(s, 32 * g.ClearSpriteFrame, 0, 32, 32, 32, g.BackBuffer, x, y);
    if (t % 2 == 0) StepSpriteFrame(g, 3);
  } else if (t <= 99) {
    MaskedBlt(s, 0, 0, 32, 32, 32, g.BackBuffer, x, y);
  } else if (t <= 106) {
    MaskedBltX(s, 0, 64, 128, 32, 32, g.BackBuffer, x, y);
  } else if (t <= 127) {
    MaskedBltX(s, 32, 96, 128, 32, 32, g.BackBuffer, x, y);
    MaskedBltX(s, 64, 96, 160, 32, 32, g.BackBuffer, Rnd(g.FlyerX), Rnd(g.FlyerY));
  } else if (t >= 129) {
    MaskedBltX(s, 0, 32, 160, 32, 32, g.BackBuffer, x, y);  // the player riding the flyer
  }
}

void Phase2FlyerFrame(Game& g, int t) {
  EraseBeam(g, t);
  EraseText(g, t);
  EraseSlots(g);
  // The five star bursts' squares, every frame.
  for (const Firework& f : kFireworks)
    BlackRect(g, static_cast<float>(f.burstX), static_cast<float>(f.burstY), static_cast<float>(f.burstX + 60),
              static_cast<float>(f.burstY + 60));
  const float px = g.PlayerX * 32, py = g.PlayerY * 32;
  BlackRect(g, px - 5, py - 10, px + 52, py + 37);
  BlackRect(g, 565, 435, 645, 485);

  DrawLetters(g, t);
  DrawBanner(g, t);
  DrawUnderline(g, t);
  Beam(g, t);
  FlyerBursts(g, t);
  Fireworks(g, t);
  FlyerPlayer(g, t);
  DrawOverlay(g);
  PresentBackBuffer(g);

  const int n = ++g.ClearFrame;
  if ((n >= 106 && n <= 127) || (n >= 129 && n <= 159)) {
    g.FlyerX -= 16;
    g.FlyerY -= 4;
  }
  if (n >= 129 && n <= 159) {
    g.PlayerX -= 0.5f;
    g.PlayerY -= 0.125f;
  }
}

// ---- Phase 2, AltMode 1: the player spins upwards ----

constexpr Burst kTrail[5] = {
    {0, 170, false, 0.5L, 0.5L, 171, 186, 171},  {1, 174, false, 0.0L, 1.45L, 175, 190, 175},
    {2, 178, false, 0.75L, 2.4L, 179, 194, 179}, {3, 182, false, 0.2L, 3.35L, 183, 198, 183},
    {4, 186, false, 0.42L, 4.3L, 187, 202, 187},
};

void AltRings(Game& g, int t, int first, bool erase) {
  if (t < first || t > first + 20) return;
  const int d = t - first;
  const float cx = g.FlyerX * 32 + 16, cy = g.FlyerY * 32 + 44;
  const uint32_t colour = erase ? kBlack : Grey(255 - 12 * d);
  for (int i = 0; i <= 2; i++)
    DrawEllipse(g, colour, bsClear, pmCopy, cx - i - 25 * d, cy - i - 4 * d, cx + i + 25 * d, cy + i + 4 * d);
}

void Trail(Game& g, int t) {
  if (t == 170) PlayWave(g, wpHanabi);
  for (const Burst& b : kTrail) {
    if (t == b.setAt) SetSlot(g, b.slot, static_cast<long double>(g.PlayerX) + b.dx, static_cast<long double>(g.PlayerY) + b.dy);
    if (t >= b.first && t <= b.last) {
      DrawSlot(g, b.slot, (t - b.first) / 3);
      Move(g.FireworkY[b.slot], 0.08L);
    }
  }
}

void AltRockets(Game& g, int t) {
  if (t < 171 || t > 195) return;
  const int d = t - 171, frame = d / 4;
  Rocket(g, frame, 272 - 2 * d, 227 - d);
  Rocket(g, frame, 272 - 2 * d, 257 + d);
  Rocket(g, frame, 312 + 2 * d, 227 - d);
  Rocket(g, frame, 312 + 2 * d, 257 + d);
}

void SpinningPlayer(Game& g, int t) {
  MaskedBlt(g.Art.ImgChar14, 32 * g.ClearSpriteFrame, 448, 480, 32, 32, g.BackBuffer, Px(g.PlayerX), Px(g.PlayerY));
  const bool step = t <= 44 ? t % 4 == 0 : t <= 84 ? t % 3 == 0 : t <= 119 ? t % 2 == 0 : true;
  if (step) StepSpriteFrame(g, 7);
}

void Phase2AltFrame(Game& g, int t) {
  AltRings(g, t, 171, true);
  EraseText(g, t);
  const float px = g.PlayerX * 32, py = g.PlayerY * 32;
  BlackRect(g, px - 5, py - 5, px + 37, py + 55);
  EraseSlots(g);
  BlackRect(g, 145, 145, 495, 335);
  BlackRect(g, 565, 435, 645, 485);

  DrawLetters(g, t);
  DrawBanner(g, t);
  DrawUnderline(g, t);
  AltRings(g, t, 170, false);
  Trail(g, t);
  AltRockets(g, t);
  SpinningPlayer(g, t);
  DrawOverlay(g);
  PresentBackBuffer(g);

  if (++g.ClearFrame > 170) Move(g.PlayerY, -0.65L);
}

void RunClearScene(Game& g) {
  g.HoldingObject = 0;
  g.PlayerFlash = 0;
  g.ClearStepX = static_cast<float>(290 - static_cast<long double>(g.PlayerX) * 32);
  g.ClearStepY = static_cast<float>(220 - static_cast<long double>(g.PlayerY) * 32);
  g.ClearFrame = 0;
  g.ClearSpriteFrame = 0;
  g.ClearCellX = static_cast<uint8_t>(Rnd(g.PlayerX));
  g.ClearCellY = static_cast<uint8_t>(Rnd(g.PlayerY));

  ClearLoop(g, 123, [&g](int t) { Phase1Frame(g, t); });
  BetweenPhases(g);
  if (g.AltMode == 0)
    ClearLoop(g, 216, [&g](int t) { Phase2FlyerFrame(g, t); });
  else
    ClearLoop(g, 222, [&g](int t) { Phase2AltFrame(g, t); });
  RunProgressStep(g);
}

}  // namespace

void PlayStageClearScene(Game& g) {
  g.Cutscenes.StageClearScenes++;
  RunClearScene(g);
}

void PlayStageClearSceneAlt(Game& g) {
  g.Cutscenes.StageClearAltScenes++;
  RunClearScene(g);
}
