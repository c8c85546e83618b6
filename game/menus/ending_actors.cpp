// The ending's sprite show: the player's scripted play with the balloon, the pads and the
// second figure, the corner sprites, the black band and the flight.
#include <cmath>

#include "game/menus/ending.h"
#include "game/menus/menu_common.h"
#include "game/shell/draw.h"

using namespace menus;

namespace {

constexpr long double kPi = 3.1415926535L;  // the value the lifting arcs use

// Pixel of a position in cells: 32 x position, halves away from zero.
int Px(long double v) {
  const long double p = 32.0L * v;
  return p < 0 ? -static_cast<int>(std::floor(-p + 0.5L)) : static_cast<int>(std::floor(p + 0.5L));
}

void Move(float& v, long double step) { v = static_cast<float>(static_cast<long double>(v) + step); }
void Set(float& v, long double value) { v = static_cast<float>(value); }

bool In(int c, int a, int b) { return c >= a && c <= b; }

// An actor's restore box: w x h from (dx, dy) relative to the cell left of and above it.
struct Box {
  int dx, dy, w, h;
};
constexpr Box kWideBox{-10, -10, 116, 116};
constexpr Box kSquareBox{0, 0, 96, 96};
constexpr Box kFigureBox{0, 0, 96, 70};
constexpr Box kMarkBox{-16, 0, 128, 96};

void Restore(Game& g, float x, float y, const Box& b) {
  const int bx = Px(static_cast<long double>(x) - 1) + b.dx, by = Px(static_cast<long double>(y) - 1) + b.dy;
  CopyBlt(g.BoardLayer, bx, by, b.w, b.h, g.BackBuffer, bx, by);
}

// The actors of the current frame and how each is drawn.
enum class BalloonLook { None, First, Second };
enum class PadLook { None, Small, Takeoff, Flying, Wide, Landed };
enum class FigureLook { None, Walking, Waiting };

struct Cast {
  BalloonLook balloon = BalloonLook::None;
  Box balloonBox{};
  bool balloonTint = false;
  PadLook pad = PadLook::None;
  Box padBox{};
  FigureLook figure = FigureLook::None;
  bool mark2 = false, mark2Tint = false;
};

// Which actors stand on the stage in frame c and how each is drawn. Each actor's windows follow
// one another without overlapping, so each actor has one chain and one look at a time.
Cast CastFor(int c) {
  Cast k;
  if (In(c, 701, 1049)) {
    k.balloon = BalloonLook::First;
    k.balloonBox = kWideBox;
    k.balloonTint = In(c, 857, 895);
  } else if (In(c, 1081, 1369)) {
    k.balloon = BalloonLook::Second;
    k.balloonBox = kWideBox;
  } else if (In(c, 1931, 2170)) {
    k.balloon = BalloonLook::First;
    k.balloonBox = kSquareBox;
  }

  if (In(c, 1341, 1664)) {
    k.pad = PadLook::Small;
    k.padBox = kWideBox;
  } else if (In(c, 2121, 2148)) {
    k.pad = PadLook::Takeoff;
    k.padBox = kSquareBox;
  } else if (In(c, 2149, 2176)) {
    k.pad = PadLook::Flying;
    k.padBox = kSquareBox;
  } else if (In(c, 2177, 2391)) {
    k.pad = PadLook::Wide;
    k.padBox = kSquareBox;
  } else if (In(c, 2392, 2447)) {
    k.pad = PadLook::Wide;
    k.padBox = kMarkBox;
  } else if (c >= 2448) {
    k.pad = PadLook::Landed;
    k.padBox = kMarkBox;
  }

  if (In(c, 1731, 1951))
    k.figure = FigureLook::Walking;
  else if (In(c, 1952, 2170))
    k.figure = FigureLook::Waiting;

  if (c >= 2392) {
    k.mark2 = true;
    k.mark2Tint = c <= 2433;
  }
  return k;
}

struct Cell {
  int x, row, mask;
};

Cell PlayerCell(const Game& g, int c) {
  const int f = g.PlayerFacing;
  const Cell walking{(g.PlayerAnimFrame / 2) * 32, 64 * f, 64 * f + 32};
  const Cell standing{0, 64 * f, 64 * f + 32};
  if (c <= 810) return walking;
  if (In(c, 811, 830)) return standing;
  if (In(c, 831, 836)) return {32, 256, 288};
  if (In(c, 837, 856)) return {64, 256, 288};
  if (In(c, 857, 887)) return standing;
  if (In(c, 888, 895)) return {160, 256, 288};
  if (In(c, 896, 907)) return {192, 256, 288};
  if (In(c, 908, 927)) return standing;
  if (In(c, 928, 1191)) return walking;
  if (In(c, 1192, 1218)) return standing;
  // Mask row 356 (not 352) in these four poses, as the show was made.
  if (In(c, 1219, 1225)) return {0, 320, 356};
  if (In(c, 1226, 1231)) return {32, 320, 356};
  if (In(c, 1232, 1237)) return {64, 320, 356};
  if (In(c, 1238, 1245)) return {96, 320, 356};
  if (In(c, 1246, 1253)) return {0, 128, 160};
  if (In(c, 1254, 1257)) return {128, 128, 160};
  if (In(c, 1258, 1264)) return {160, 128, 160};
  if (In(c, 1265, 1840)) return walking;
  if (In(c, 1841, 1930)) return standing;
  if (In(c, 1931, 1937)) return {32, 256, 288};
  if (In(c, 1938, 1950)) return {64, 256, 288};
  if (In(c, 1951, 1959)) return {96, 256, 288};
  if (In(c, 1960, 1999)) return standing;
  if (In(c, 2000, 2178)) return walking;
  if (In(c, 2179, 2289)) return {0, 128, 160};
  if (In(c, 2290, 2294) || In(c, 2305, 2309) || In(c, 2320, 2324)) return {0, 320, 352};
  if (In(c, 2295, 2304) || In(c, 2310, 2319) || In(c, 2325, 2383)) return {0, 128, 160};
  if (In(c, 2384, 2391)) return {32, 256, 288};
  if (In(c, 2392, 2436)) return {64, 256, 288};
  if (In(c, 2437, 2446)) return {32, 256, 288};
  if (In(c, 2447, 2466)) return {32 * ((g.PlayerAnimFrame / 2) % 2), 128, 160};
  if (In(c, 2467, 2469)) return {128, 128, 160};
  if (In(c, 2470, 2477)) return {160, 128, 160};
  return walking;
}

void DrawActors(Game& g, int c, const Cast& k) {
  const FormArt& art = g.Art;
  Bitmap& bb = g.BackBuffer;
  TLiftList& pads = g.JumpPadList;
  const int q = (c % 16) / 4;

  if (k.pad != PadLook::None) {
    const int x = Px(pads.X[0]), y = Px(pads.Y[0]);
    switch (k.pad) {
      case PadLook::Small: MaskedBlt(art.ImgChar16, 24 * q, 24, 144, 24, 24, bb, x, y); break;
      case PadLook::Takeoff: MaskedBlt(art.ImgChar16, 24 * q, 0, 120, 24, 24, bb, x, y); break;
      case PadLook::Flying:
      case PadLook::Landed: MaskedBlt(art.ImgChar16, 24 * q, 48, 168, 24, 24, bb, x, y); break;
      case PadLook::Wide: MaskedBlt(art.ImgChar16, 32 * q, 96, 216, 32, 24, bb, x, y); break;
      default: break;
    }
  }
  if (k.balloon != BalloonLook::None) {
    const int x = Px(g.BalloonList.X[0]), y = Px(g.BalloonList.Y[0]);
    const int row = k.balloon == BalloonLook::First ? 192 : 224;
    MaskedBltX(art.ImgChar15, 32 * g.ObjAnimFrame, 128, row, 32, 32, bb, x, y);
    if (k.balloonTint)
      TintedBltX(g, art.ImgChar1, 32 * g.ObjAnimFrame, 128, 32 * g.StageStyle[ssBalloon], 32, 32, bb, x, y,
                 Grey(255 - 25 * (c % 4)));
  }
  if (k.figure != FigureLook::None) {
    const int x = Px(pads.X[1]), y = Px(pads.Y[1]);
    if (k.figure == FigureLook::Walking)
      MaskedBlt(art.ImgChar14, 32 * (g.PlayerAnimFrame / 2), 384, 416, 32, 32, bb, x, y);
    else
      MaskedBlt(art.ImgChar14, 192, 128, 160, 32, 32, bb, x, y);
  }
  if (k.mark2) {
    const int x = Px(pads.X[2]), y = Px(pads.Y[2]);
    MaskedBlt(art.ImgChar11, 128, 0, 32, 32, 32, bb, x, y);
    if (k.mark2Tint) TintedBlt(g, art.ImgChar11, 128, 0, 32, 32, 32, bb, x, y, Grey(255 - 25 * (c % 4)));
  }
  if (In(c, 2392, 2435)) {
    // The ring about mark 3 grows a pixel a frame: last frame's is painted out, this one's drawn.
    const float mx = 32.0f * pads.X[3], my = 32.0f * pads.Y[3];
    const int d = c - 2392;
    for (int i = 0; i < 2; ++i)
      DrawEllipse(g, kBlack, bsClear, pmCopy, mx + 12 - i - d, my + 12 - i - d, mx + 20 + i + d, my + 20 + i + d);
    if (c <= 2433)
      for (int i = 0; i < 2; ++i)
        DrawEllipse(g, GreyMod(9 - 6 * c), bsClear, pmMerge, mx + 12 - i - d - 1, my + 12 - i - d - 1,
                    mx + 20 + i + d + 1, my + 20 + i + d + 1);
  }

  const Cell p = PlayerCell(g, c);
  const int px = Px(g.PlayerX), py = Px(g.PlayerY);
  MaskedBlt(art.ImgChar, p.x, p.row, p.mask, 32, 32, bb, px, py);
  if (In(c, 837, 856)) {
    // The lifting spell's ring, growing inside the player's restore box.
    const float r = static_cast<float>(6 + (c - 837));
    const float cx = px + 16.0f, cy = py + 16.0f;
    DrawEllipse(g, GreyMod(25 * c + 107), bsClear, pmMerge, cx - r, cy - r, cx + r, cy + r);
  }

  const int corner = (g.EndingSpriteTick / 7) * 32;
  MaskedBltX(art.ImgChar17, corner, 192, 0, 32, 32, bb, 20, 20);
  MaskedBltX(art.ImgChar17, corner, 192, 0, 32, 32, bb, 590, 20);
}

// The player's walk-in, facing changes and hop: one chain.
void MovePlayer(Game& g, int c) {
  if (g.PlayerX < 9.0f && c <= 699) {
    Move(g.PlayerX, 0.05L);
  } else if (c == 872) {
    g.PlayerFacing = 1;
  } else if (c == 927) {
    g.PlayerFacing = 0;
  } else if (c == 1880) {
    g.PlayerFacing = 1;
  } else if (c == 1905) {
    g.PlayerFacing = 0;
  } else if (In(c, 1238, 1241)) {
    Move(g.PlayerY, -0.175L);
  } else if (In(c, 1242, 1245)) {
    Move(g.PlayerY, -0.075L);
  } else if (In(c, 1246, 1249)) {
    Move(g.PlayerY, 0.075L);
  } else if (In(c, 1250, 1253)) {
    Move(g.PlayerY, 0.175L);
  }
}

// Every other move: only the first matching window applies.
void MoveOthers(Game& g, int c) {
  float &bx = g.BalloonList.X[0], &by = g.BalloonList.Y[0];
  float &p0x = g.JumpPadList.X[0], &p0y = g.JumpPadList.Y[0];
  float &p1x = g.JumpPadList.X[1], &p1y = g.JumpPadList.Y[1];
  float &p2x = g.JumpPadList.X[2], &p2y = g.JumpPadList.Y[2];
  float &px = g.PlayerX, &py = g.PlayerY;
  const long double pxl = px, pyl = py;
  auto walkOnToNine = [&] {
    if (px < 9.0f) Move(px, 0.05L);
  };
  if (In(c, 701, 808)) {
    Move(bx, -0.1L);
  } else if (In(c, 849, 856)) {
    const long double a = 11 * (c - 848) * kPi / 172;
    Set(bx, pxl + std::cos(a));
    Set(by, pyl - std::sin(a));
  } else if (In(c, 888, 895)) {
    const long double a = kPi / 2 - 11 * (c - 887) * kPi / 172;
    Set(bx, pxl - std::cos(a));
    Set(by, pyl - std::sin(a));
  } else if (In(c, 928, 1049)) {
    Move(bx, -0.1L);
  } else if (c == 1079) {
    Set(bx, 21);
    Set(by, pyl + 1);
  } else if (In(c, 1081, 1190)) {
    Move(bx, -0.1L);
  } else if (In(c, 1239, 1252)) {
    Move(bx, -0.13L);
  } else if (In(c, 1265, 1369)) {
    Move(bx, -0.1L);
  } else if (In(c, 1341, 1665)) {
    Move(p0x, -0.075L);
    Move(p0y, -0.03L * std::sin((c % 360) * kPi / 60));
  } else if (In(c, 1731, 1839)) {
    Move(p1x, -0.1L);
  } else if (c == 1930) {
    Set(bx, pxl + 1);
    Set(by, -1.0L);
  } else if (In(c, 1931, 1951)) {
    Move(by, 0.25L);
  } else if (In(c, 1952, 1958)) {
    Move(by, 0.25L);
    Move(p1y, 0.25L);
  } else if (c == 1999) {
    Set(p0x, -1);
    Set(p0y, 3.0L);
  } else if (In(c, 2000, 2119)) {
    Move(bx, -0.1L);
    Move(p1x, -0.1L);
  } else if (In(c, 2120, 2166)) {
    Move(bx, -0.1L);
    Move(p1x, -0.1L);
    Move(p0x, 0.2L);
    Move(p0y, 0.04L);
  } else if (In(c, 2167, 2178)) {
    Move(p0x, 0.05L);
    Move(p0y, -0.05L);
  } else if (c == 2179) {
    Move(p0x, 0.05L);
    Move(p0y, -0.05L);
    Set(px, static_cast<long double>(p0x) + 0.04L);  // the player boards pad 0
    Set(py, static_cast<long double>(p0y) + 0.56L);
  } else if (In(c, 2180, 2230)) {
    Move(p0x, 0.05L);
    Move(p0y, -0.05L);
    Move(px, 0.05L);
    Move(py, -0.05L);
  } else if (In(c, 2261, 2390)) {
    Move(p0x, -0.06L);
    Move(px, -0.06L);
  } else if (c == 2391) {
    Move(p0x, -0.06L);
    Move(px, -0.06L);
    for (int i = 2; i <= 3; ++i) {
      Set(g.JumpPadList.X[i], static_cast<long double>(px) + 1);
      g.JumpPadList.Y[i] = py;
    }
  } else if (In(c, 2392, 2441)) {
    Move(p0x, -0.06L);
    Move(px, -0.06L);
  } else if (In(c, 2442, 2447)) {
    Move(p0x, -0.06L);
    Move(px, -0.06L);
    Move(p2x, 0.18L);
    Move(p2y, 0.01L);
  } else if (In(c, 2448, 2466)) {
    Move(p0x, 0.2L);
    Move(p0y, 0.012L);
    Move(p2x, 0.18L);
    Move(p2y, 0.01L);
    Move(py, 0.2L);
  } else if (In(c, 2467, 2554)) {
    Move(p0x, 0.22L);
    Move(p0y, 0.012L);
    Move(p2x, 0.17L);
    Move(p2y, 0.01L);
    if (c >= 2478) walkOnToNine();
  } else if (c >= 2555) {
    walkOnToNine();
  }
}

void DrawFlight(Game& g, int c) {
  const FormArt& art = g.Art;
  if (In(c, 4010, 4080)) MaskedBlt(art.ImgChar20, 0, 184, 216, 32, 32, g.BackBuffer, 40370 - 10 * c, 10 * c - 40100);
  for (int i = 0; i < 10; ++i) {
    const int s = 4011 + 2 * i;
    if (c <= s || c > s + 20) continue;
    const int x = 250 - 20 * i + 3 * (c - s - 1), y = 20 + 20 * i - 3 * (c - s - 1);
    MaskedBlt(art.ImgChar20, 32 + 32 * ((c - s) / 3), 184, 216, 32, 32, g.BackBuffer, x, y);
  }
}

}  // namespace

void AnimateEndingActors(Game& g) {
  const int c = g.FrameCounter;
  const Cast k = CastFor(c);

  const int bx = Px(static_cast<long double>(g.PlayerX) - 1) + 20, by = Px(static_cast<long double>(g.PlayerY) - 1) + 20;
  CopyBlt(g.BoardLayer, bx, by, 56, 56, g.BackBuffer, bx, by);
  if (k.balloon != BalloonLook::None) Restore(g, g.BalloonList.X[0], g.BalloonList.Y[0], k.balloonBox);
  if (k.pad != PadLook::None) Restore(g, g.JumpPadList.X[0], g.JumpPadList.Y[0], k.padBox);
  if (k.figure != FigureLook::None) Restore(g, g.JumpPadList.X[1], g.JumpPadList.Y[1], kFigureBox);
  if (k.mark2) Restore(g, g.JumpPadList.X[2], g.JumpPadList.Y[2], kMarkBox);

  DrawActors(g, c, k);
  MovePlayer(g, c);
  MoveOthers(g, c);
  if (c % 6 == 5 && ++g.ObjAnimFrame > 3) g.ObjAnimFrame = 0;
  if (c > 3899) DrawPolygon(g, kBlack, pmCopy, 0, 240, 0, 340, 350, 0, 250, 0);
  DrawFlight(g, c);
}
