// The heroes: a little witch (ImgChar) and her friend in a cat hood (ImgChar14), built from one
// posable figure seen from any side, plus the stage-clear poses, the broom and the helper bird.
#include <algorithm>
#include <cmath>
#include <functional>
#include <vector>

#include "tools/artgen/art.h"
#include "tools/artgen/layout.h"

namespace artgen {
namespace {

const QColor kInk = Hex(0x1a1426);

struct Look {
  uint32_t hat, hatLight, band, hair, hairShade, skin, robe, robeShade, collar, legs, boots, cape;
  bool hood;  // cat hood instead of the pointed hat
};
const Look kWitch{0x6e4ed6, 0xa08af0, 0xf6c830, 0xf08a3a, 0xb85a1e, 0xffe0c4, 0xe8485e,
                  0xa82640, 0xfff4e0, 0x3a2a5a, 0x7a4a2a, 0x3c2c7a, false};
// The friend wears warm, light colours (a white cat hood, a sunflower robe, a pink cape) so she
// stands out on the blue, teal and plum backgrounds alike.
const Look kFriend{0xf6f2ff, 0xffffff, 0xff6a8e, 0x9a6ae0, 0x6a48b0, 0xffe0c4, 0xffb22a,
                   0xe0720e, 0xfff4e0, 0x8a70c8, 0xd83a50, 0xff6a9a, true};

struct Pose {
  double yaw = 90;                // 0 front, 90 facing right, 180 back, 270 facing left
  double legA = 0, legB = 0;      // swing from straight down, degrees, + forward (A is the near leg)
  double armA = 0, armB = 0;      // arm swing, + forward; 180 is straight up
  double spread = 0;              // arms out to the sides (front views)
  double kneeA = 0, kneeB = 0;    // leg shortening 0..1 (knee raised)
  double crouch = 0;              // 0..1
  double bob = 0;                 // body offset in pixels, + down
  double hairUp = 0;              // falling: hair and hat brim lifted
  bool wand = false;
  double wandGlow = 0;            // 0..1 star glow at the wand tip
  bool eyesShut = false;
  bool mouth = false;
};

void Fill(QPainter& p, const QPainterPath& path, QColor fill, double w = 1.3) {
  p.setPen(QPen(kInk, w, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
  p.setBrush(fill);
  p.drawPath(path);
}
QPainterPath Ell(double cx, double cy, double rx, double ry) {
  QPainterPath e;
  e.addEllipse(QPointF(cx, cy), rx, ry);
  return e;
}
void Limb(QPainter& p, QPointF a, QPointF b, double w, QColor c) {
  p.setPen(QPen(kInk, w + 2.2, Qt::SolidLine, Qt::RoundCap));
  p.drawLine(a, b);
  p.setPen(QPen(c, w, Qt::SolidLine, Qt::RoundCap));
  p.drawLine(a, b);
}
void Glint(QPainter& p, double x, double y, double r, QColor c) {
  QPainterPath s;
  s.moveTo(x, y - r);
  s.quadTo(x, y, x + r, y);
  s.quadTo(x, y, x, y + r);
  s.quadTo(x, y, x - r, y);
  s.quadTo(x, y, x, y - r);
  p.setPen(Qt::NoPen);
  p.setBrush(c);
  p.drawPath(s);
}
double Rad(double d) { return d * M_PI / 180; }

void DrawFigure(QPainter& p, const Look& L, const Pose& P) {
  const double cx = 16;
  const double sy = std::sin(Rad(P.yaw)), cy = std::cos(Rad(P.yaw));
  const double drop = P.crouch * 4.0 + P.bob;
  const double headY = 12.6 + drop, hipY = 24.2 + drop * 0.75, shoulderY = 18.6 + drop * 0.9;
  const double groundY = 30.6;

  struct Part {
    double depth;
    std::function<void()> draw;
  };
  std::vector<Part> parts;

  // Legs: hips at the sides; the foot swings forward along the facing.
  auto leg = [&](double side, double swing, double knee) {
    const double a = Rad(P.yaw + side);
    const double hx = cx + 2.4 * std::sin(a);
    const double len = std::max(2.0, groundY - hipY - knee * 3.5);
    const double fx = hx + len * std::sin(Rad(swing)) * sy + P.crouch * 1.8 * std::sin(a);
    const double fy = hipY + len * std::cos(Rad(swing));
    parts.push_back({std::cos(a) * 0.5 - 0.2, [=, &p, &L] {
      Limb(p, QPointF(hx, hipY), QPointF(fx, fy - 1), 3.2, Hex(L.legs));
      Fill(p, Ell(fx + 1.3 * sy, fy, 2.2 + 0.9 * std::fabs(sy), 1.8), Hex(L.boots), 1.1);
    }});
  };
  leg(90, P.legA, P.kneeA);
  leg(-90, P.legB, P.kneeB);

  // Arms: shoulders at the sides; hands swing forward and up, or out to the sides.
  auto arm = [&](double side, double swing, bool wand) {
    const double a = Rad(P.yaw + side);
    const double shx = cx + 4.0 * std::sin(a);
    const double len = 5.6 + 2.8 * std::max(0.0, -std::cos(Rad(swing)));
    const double hx = shx + len * std::sin(Rad(swing)) * sy + P.spread * std::sin(a);
    const double hy = shoulderY + 0.5 + len * std::cos(Rad(swing));
    const double depth = std::cos(a) * 0.9 + (wand ? 0.6 : 0);
    parts.push_back({depth, [=, &p, &L] {
      Limb(p, QPointF(shx, shoulderY + 0.6), QPointF(hx, hy), 2.8, Hex(L.robe));
      if (wand) {
        const double wx = hx + 5.5 * std::sin(Rad(swing)) * (sy == 0 ? 1 : sy) * 1.0;
        const double wy = hy + 5.5 * std::cos(Rad(swing));
        Limb(p, QPointF(hx, hy), QPointF(wx, wy), 1.3, Hex(0x8a5a2a));
        if (P.wandGlow > 0) {
          p.setPen(Qt::NoPen);
          p.setBrush(Hex(0xfff6c0, int(120 * P.wandGlow)));
          p.drawEllipse(QPointF(wx, wy), 3.5 + 2 * P.wandGlow, 3.5 + 2 * P.wandGlow);
        }
        Fill(p, StarPath(wx, wy, 3.2 + P.wandGlow, 1.4, -90), Hex(0xfff070), 0.9);
      }
      p.setPen(QPen(Hex(L.collar), 1.6, Qt::SolidLine, Qt::RoundCap));
      const QPointF cuff(hx + (shx - hx) * 0.22, hy + (shoulderY + 0.6 - hy) * 0.22);
      p.drawPoint(cuff);
      Fill(p, Ell(hx, hy, 1.7, 1.7), Hex(L.skin), 1.0);
    }});
  };
  arm(90, P.armA, P.wand);
  arm(-90, P.armB, false);

  // Cape behind the body, seen from the back or trailing in profile.
  parts.push_back({-0.5 + 0.0 * cy, [&] {
    QPainterPath cape;
    const double back = -sy * 2.2;
    cape.moveTo(cx - 4.2, shoulderY - 0.5);
    cape.lineTo(cx + 4.2, shoulderY - 0.5);
    cape.quadTo(cx + 6 + back, hipY - 1, cx + 6.6 + back * 1.4, hipY + 2.4 - P.crouch);
    cape.lineTo(cx - 6.6 + back * 1.4, hipY + 2.4 - P.crouch);
    cape.quadTo(cx - 6 + back, hipY - 1, cx - 4.2, shoulderY - 0.5);
    Fill(p, cape, Hex(L.cape));
  }});

  // Robe: an A-line dress with a collar on the front side and a star clasp.
  parts.push_back({0.0, [&] {
    const double hem = hipY + 2.6 - P.crouch * 0.6;
    const double wTop = 4.4, wBot = 7.6 + P.crouch * 1.2;
    QPainterPath robe;
    robe.moveTo(cx - wTop, shoulderY - 0.6);
    robe.lineTo(cx + wTop, shoulderY - 0.6);
    robe.quadTo(cx + wBot - 1, hem - 4, cx + wBot, hem);
    robe.quadTo(cx, hem + 1.4, cx - wBot, hem);
    robe.quadTo(cx - wBot + 1, hem - 4, cx - wTop, shoulderY - 0.6);
    Fill(p, robe, Hex(L.robe));
    p.save();
    p.setClipPath(robe);
    p.fillRect(QRectF(cx - 9, hem - 2.2, 18, 4), Hex(L.robeShade));
    if (cy > -0.3) {  // collar and clasp face the viewer
      const double fx = cx + 2.6 * sy;
      QPainterPath col;
      col.moveTo(fx - 3.2, shoulderY - 0.8);
      col.lineTo(fx + 3.2, shoulderY - 0.8);
      col.lineTo(fx, shoulderY + 2.6);
      col.closeSubpath();
      p.setPen(Qt::NoPen);
      p.setBrush(Hex(L.collar));
      p.drawPath(col);
      p.setBrush(Hex(0xf6c830));
      p.drawPath(StarPath(fx, shoulderY + 3.4, 1.8, 0.8, -90));
    }
    p.restore();
  }});

  // Ponytail (witch) or hood tail (friend) at the back of the head.
  {
    const double a = Rad(P.yaw + 180);
    const double tx = cx + 6.2 * std::sin(a);
    const double depth = std::cos(a) > 0.3 ? 0.8 : -0.6;
    parts.push_back({depth, [=, &p, &L] {
      if (L.hood) return;
      Fill(p, Ell(tx, headY + 2.4 - P.hairUp, 2.6, 4.2), Hex(L.hair));
      Fill(p, Ell(tx, headY - 2.6 - P.hairUp * 0.5, 1.8, 1.4), Hex(L.band), 1.0);
    }});
  }

  // Head, hair, face, hat.
  parts.push_back({0.5, [&] {
    const double r = 6.6;
    Fill(p, Ell(cx, headY, r, r * 0.96), Hex(L.hood ? L.hat : L.hair));
    // Face patch turns with the yaw.
    const double fd = cy;  // facing the viewer
    if (fd > -0.55) {
      const double fx = cx + 2.4 * sy;
      const double fw = 5.2 * (0.5 + 0.5 * std::max(0.0, fd)) + 1.8 * std::fabs(sy);
      p.save();
      p.setClipPath(Ell(cx, headY, r - 0.6, r * 0.96 - 0.6));
      p.setPen(Qt::NoPen);
      p.setBrush(Hex(L.skin));
      p.drawEllipse(QPointF(fx, headY + 1.4), fw, 5.0);
      // Bangs over the brow.
      p.setBrush(Hex(L.hair));
      QPainterPath bang;
      bang.moveTo(cx - 7, headY - 7);
      bang.lineTo(cx + 7, headY - 7);
      bang.lineTo(cx + 7, headY - 2.2);
      for (int k = 3; k >= -3; --k) bang.lineTo(fx + k * 1.9, headY - (k % 2 ? 0.8 : 2.6));
      bang.lineTo(cx - 7, headY - 2.2);
      bang.closeSubpath();
      // Under a hood the hair shows only inside the face opening; the hood's colour stays on top.
      if (L.hood) bang = bang.intersected(Ell(fx, headY + 1.4, fw, 5.0));
      p.drawPath(bang);
      // Eyes, cheeks, mouth.
      for (double phi : {-32.0, 32.0}) {
        const double ea = Rad(P.yaw + phi);
        if (std::cos(ea) < 0.12) continue;
        const double ex = cx + 4.3 * std::sin(ea);
        const double ew = 1.0 + 0.4 * std::cos(ea);
        if (P.eyesShut) {
          p.setPen(QPen(kInk, 1.1, Qt::SolidLine, Qt::RoundCap));
          p.drawLine(QPointF(ex - ew, headY + 0.8), QPointF(ex + ew, headY + 0.8));
          p.setPen(Qt::NoPen);
        } else {
          p.setBrush(kInk);
          p.drawEllipse(QPointF(ex, headY + 0.6), ew, 2.0);
          p.setBrush(Qt::white);
          p.drawEllipse(QPointF(ex + 0.3, headY - 0.4), 0.55, 0.7);
        }
        p.setBrush(Hex(0xff98a8));
        p.drawEllipse(QPointF(cx + 5.4 * std::sin(Rad(P.yaw + phi * 1.6)), headY + 3.4), 1.3, 0.8);
      }
      if (fd > -0.2 && P.mouth) {
        p.setBrush(Hex(0xb03040));
        p.drawEllipse(QPointF(cx + 4.6 * sy, headY + 3.6), 0.9, 0.8);
      }
      p.restore();
    }
    if (L.hood) {  // cat ears on the hood
      for (double phi : {60.0, -120.0}) {  // left and right of the crown, apart in every view
        const double ea = Rad(P.yaw + phi);
        const double ex = cx + 4.0 * std::sin(ea);
        QPainterPath ear;
        ear.moveTo(ex - 2.6, headY - 4.6);
        ear.lineTo(ex + 0.2 - 1.0 * sy, headY - 10.6 - P.hairUp * 0.4);
        ear.lineTo(ex + 2.6, headY - 4.6);
        ear.closeSubpath();
        Fill(p, ear, Hex(L.hat));
        p.setPen(Qt::NoPen);
        p.setBrush(Hex(0xffb8c8));
        if (std::cos(ea) > -0.2) p.drawEllipse(QPointF(ex, headY - 6.4), 0.9, 1.6);
      }
      p.fillRect(QRectF(cx - 5.5, headY + 4.6, 11, 1.4), Hex(L.band));
    }
  }});

  if (!L.hood) {
    parts.push_back({0.6, [&] {
      const double brimY = headY - 5.0 - P.hairUp * 0.5;
      Fill(p, Ell(cx, brimY, 10.2, 2.4 + P.hairUp * 0.2), Hex(L.hat));
      QPainterPath cone;
      const double tip = -4.5 * sy;
      const double top = std::max(0.4, brimY - 9.0);
      cone.moveTo(cx - 6.0, brimY - 0.6);
      cone.quadTo(cx - 3.0 + tip * 0.3, brimY - 5.0, cx + tip, top);
      cone.quadTo(cx + 2.6 + tip * 0.3, brimY - 5.0, cx + 6.0, brimY - 0.6);
      cone.closeSubpath();
      Fill(p, cone, Hex(L.hat));
      p.save();
      p.setClipPath(cone);
      p.setPen(QPen(Hex(L.hatLight), 1.6));
      p.drawLine(QPointF(cx - 3.6 - 0.5 * sy, brimY - 1), QPointF(cx + tip * 0.8 - 0.6, top + 1.4));
      p.restore();
      p.setPen(Qt::NoPen);
      p.setBrush(Hex(L.band));
      p.drawRect(QRectF(cx - 5.2, brimY - 2.3, 10.4, 1.9));
      if (cy > -0.2) {
        p.setBrush(Hex(0xfff070));
        p.drawPath(StarPath(cx + 1.2 * sy + tip * 0.25, brimY - 4.6, 2.1, 0.9, -90));
      }
      p.setBrush(Hex(L.hatLight));
      p.drawEllipse(QPointF(cx - 4.5 * cy - 3 * sy, brimY - 0.2), 2.8, 0.6);
    }});
  }

  std::stable_sort(parts.begin(), parts.end(), [](const Part& a, const Part& b) { return a.depth < b.depth; });
  for (auto& part : parts) part.draw();
}

Cell Figure(const Look& L, const Pose& P) {
  QImage hi = NewHi(32, 32);
  QPainter p;
  BeginHi(p, hi);
  DrawFigure(p, L, P);
  p.end();
  return Reduce(hi, 32, 32);
}

Pose Walk(int a) {
  Pose P;
  const double s = std::sin(Rad(45.0 * a));
  P.legA = 30 * s;
  P.legB = -30 * s;
  P.armA = -26 * s;
  P.armB = 26 * s;
  P.bob = std::fabs(s) > 0.9 ? 0.9 : 0;
  P.kneeA = s < -0.5 ? 0.35 : 0;
  P.kneeB = s > 0.5 ? 0.35 : 0;
  return P;
}

// The cells of one player band row, facing right; the left half of each row is the mirror.
struct Band {
  Pose right[4];
};

void PutPair(Bitmap& s, const Cell& c, int x, int y) {
  PutImage(s, c, x, y);
  PutMask(s, c, x, y + 32);
}

void BuildPlayerSheet(Bitmap& s, const Look& L) {
  // Walk right / left.
  for (int a = 0; a < 8; ++a) {
    const Cell c = Figure(L, Walk(a));
    PutPair(s, c, 32 * a, 0);
    PutPair(s, Mirror(c), 32 * a, 64);
  }
  // Fall (2 frames), landing impact, landing recovery.
  Pose fall[2], land, recover;
  for (int k = 0; k < 2; ++k) {
    // The near arm flails up behind the head, so it never crosses the face.
    fall[k].armA = -150 - 12 * k;
    fall[k].armB = 140 + 12 * k;
    fall[k].legA = 12 - 18 * k;
    fall[k].legB = -14 + 16 * k;
    fall[k].hairUp = 1.5;
    fall[k].mouth = true;
    fall[k].bob = -1;
  }
  land.crouch = 1.0;
  land.armA = 60;
  land.armB = 50;
  land.spread = 1;
  land.eyesShut = true;
  recover.crouch = 0.45;
  recover.armA = 20;
  recover.armB = 10;
  const Cell f0 = Figure(L, fall[0]), f1 = Figure(L, fall[1]), ld = Figure(L, land), rc = Figure(L, recover);
  PutPair(s, f0, 0, 128);
  PutPair(s, f1, 32, 128);
  PutPair(s, Mirror(f0), 64, 128);
  PutPair(s, Mirror(f1), 96, 128);
  PutPair(s, ld, 128, 128);
  PutPair(s, rc, 160, 128);
  PutPair(s, Mirror(ld), 192, 128);
  PutPair(s, Mirror(rc), 224, 128);
  // Ladder climb, seen from the back; frames 0 and 4 are the rest poses.
  for (int a = 0; a < 8; ++a) {
    Pose P;
    P.yaw = 180;
    const double s8 = std::sin(Rad(45.0 * a));
    P.armA = 165 + 15 * s8;
    P.armB = 165 - 15 * s8;
    P.spread = -0.5;
    P.kneeA = s8 > 0.3 ? 0.8 : 0;
    P.kneeB = s8 < -0.3 ? 0.8 : 0;
    P.bob = std::fabs(s8) > 0.9 ? -0.8 : 0;
    PutPair(s, Figure(L, P), 32 * a, 192);
  }
  // Lifting: reach, arms up holding, cast, settle.
  Pose lift[4];
  lift[0].armA = 80;
  lift[0].wand = true;
  lift[0].legA = 10;
  lift[0].legB = -6;
  lift[1].armA = -172;
  lift[1].armB = 165;
  lift[1].wand = true;
  lift[1].wandGlow = 0.3;
  lift[2].armA = 125;
  lift[2].wand = true;
  lift[2].wandGlow = 1.0;
  lift[2].mouth = true;
  lift[2].legA = 14;
  lift[2].legB = -10;
  lift[3].armA = 50;
  lift[3].wand = true;
  lift[3].eyesShut = true;
  for (int k = 0; k < 4; ++k) {
    const Cell c = Figure(L, lift[k]);
    PutPair(s, c, 32 * k, 256);
    PutPair(s, Mirror(c), 128 + 32 * k, 256);
  }
  // Jumps and pads: crouch, deeper crouch, take-off, airborne.
  Pose jump[4];
  jump[0].crouch = 0.5;
  jump[0].armA = -30;
  jump[0].armB = -30;
  jump[1].crouch = 1.0;
  jump[1].armA = -45;
  jump[1].armB = -40;
  jump[1].eyesShut = true;
  jump[2].armA = 170;
  jump[2].armB = 160;
  jump[2].legA = -10;
  jump[2].legB = -20;
  jump[2].bob = -1.5;
  jump[2].mouth = true;
  jump[3].armA = 140;
  jump[3].armB = 120;
  jump[3].legA = 30;
  jump[3].legB = -25;
  jump[3].kneeA = 0.7;
  jump[3].kneeB = 0.5;
  jump[3].bob = -1.5;
  jump[3].mouth = true;
  for (int k = 0; k < 4; ++k) {
    const Cell c = Figure(L, jump[k]);
    PutPair(s, c, 32 * k, 320);
    PutPair(s, Mirror(c), 128 + 32 * k, 320);
  }
}

// The broom, pointing left; with `rider` the witch sits on it.
Cell Broom(bool rider) {
  QImage hi = NewHi(32, 32);
  QPainter p;
  BeginHi(p, hi);
  if (!rider) {  // the beam of light it rides in on
    p.setPen(Qt::NoPen);
    p.setBrush(Hex(0xfff6c0, 110));
    p.drawEllipse(QPointF(16, 22), 15, 5);
  }
  auto stick = [&] {
    Limb(p, QPointF(2.5, 20.5), QPointF(22, 23.5), 1.8, Hex(0xa86a30));
    QPainterPath bristle;
    bristle.moveTo(21, 21);
    bristle.lineTo(30.5, 17.5);
    bristle.lineTo(31, 28.5);
    bristle.lineTo(21, 26);
    bristle.closeSubpath();
    Fill(p, bristle, Hex(0xf0c050));
    p.setPen(QPen(Hex(0xb88420), 0.9));
    for (int k = 0; k < 3; ++k) p.drawLine(QPointF(23, 22.5 + k * 1.2), QPointF(30, 20 + k * 3.2));
    p.fillRect(QRectF(20.6, 21.2, 1.8, 4.8), Hex(0xe8485e));
  };
  if (rider) {
    Pose P;
    P.yaw = 270;
    P.legA = 70;
    P.legB = 55;
    P.kneeA = 0.6;
    P.kneeB = 0.6;
    P.armA = 60;
    P.armB = 140;
    P.spread = 0;
    P.bob = -3.5;
    P.mouth = true;
    p.save();
    p.translate(1, -1);
    DrawFigure(p, kWitch, P);
    p.restore();
    stick();
    Fill(p, Ell(12.6, 21.0, 1.7, 1.7), Hex(kWitch.skin), 1.0);  // the hand on the stick
  } else {
    stick();
    Glint(p, 6, 16, 2.6, Qt::white);
    Glint(p, 27, 13, 2.0, Hex(0xfff070));
  }
  p.end();
  return Reduce(hi, 32, 32);
}

// The ending's helper: a round little bird; `heading` 0 right-down, 1 left, 2 rising right, 3 carrying.
Cell Bird(int heading, int k, int w, int h) {
  QImage hi = NewHi(w, h);
  QPainter p;
  BeginHi(p, hi);
  const double flap = std::sin(Rad(90.0 * k));
  const bool left = heading == 1;
  p.translate(left ? w : 0, 0);
  p.scale(left ? -1 : 1, 1);
  const double cx = w / 2.0, cy = heading == 3 ? 10 : 12 + 0.8 * flap;
  p.translate(cx, cy);
  if (heading == 0) p.rotate(18);
  if (heading == 2) p.rotate(-20);
  auto wing = [&](double dir) {
    QPainterPath wg;
    wg.moveTo(-2, -1);
    wg.quadTo(-7, -7 * flap * dir - 2, -11, -6 * flap * dir - 1);
    wg.quadTo(-7, 1, -2, 3);
    wg.closeSubpath();
    Fill(p, wg, Hex(0xfff4f8), 1.1);
  };
  wing(-1);
  Fill(p, Ell(0, 0, 7, 6), Hex(0xfff0a0));
  Fill(p, Ell(1.2, 1.6, 4.4, 3.4), Hex(0xffffff), 0.0);
  QPainterPath beak;
  beak.moveTo(6, -1.2);
  beak.lineTo(9.6, 0.2);
  beak.lineTo(6, 1.6);
  beak.closeSubpath();
  Fill(p, beak, Hex(0xf08a3a), 0.9);
  p.setPen(Qt::NoPen);
  p.setBrush(kInk);
  p.drawEllipse(QPointF(3.4, -1.8), 1.0, 1.3);
  p.setBrush(Hex(0xff98a8));
  p.drawEllipse(QPointF(3.0, 1.4), 1.2, 0.7);
  wing(1);
  if (heading == 3) {  // feet holding on
    p.setPen(QPen(Hex(0xf08a3a), 1.4, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(QPointF(-1.5, 5.5), QPointF(-1.5, 10.5));
    p.drawLine(QPointF(1.5, 5.5), QPointF(1.5, 10.5));
  }
  p.end();
  return Reduce(hi, w, h);
}

}  // namespace

void BuildHero(Art& a) {
  Bitmap& c0 = a.Sheet("ImgChar");
  BuildPlayerSheet(c0, kWitch);
  Bitmap& c14 = a.Sheet("ImgChar14");
  BuildPlayerSheet(c14, kFriend);
  // Spins: eight views of a full turn, arms out; the left row is the mirror.
  for (int k = 0; k < 8; ++k) {
    Pose P;
    P.yaw = 90 + 45 * k;
    P.armA = 40;
    P.armB = 40;
    P.spread = 2.0;
    P.legA = 6;
    P.legB = -6;
    P.mouth = true;
    const Cell c = Figure(kFriend, P);
    PutPair(c14, c, 32 * k, 384);
    PutPair(c14, Mirror(c), 32 * k, 448);
  }
  a.cells["Player0"] = Figure(kWitch, Walk(0));
  a.cells["Player1"] = Mirror(Figure(kWitch, Walk(0)));

  // Stage clear: turning round (front first), cheering, waving, riding, the broom.
  Bitmap& c8 = a.Sheet("ImgChar8");
  for (int k = 0; k < 4; ++k) {
    Pose P;
    P.yaw = 90.0 * k;
    PutPair(c8, Figure(kWitch, P), 32 * k, 0);
    Pose C;
    C.yaw = 0;
    C.armA = k % 2 ? 170 : 120;
    C.armB = k % 2 ? 120 : 170;
    C.spread = 2.5;
    C.bob = (k % 2) ? -1 : 0;
    C.mouth = true;
    C.eyesShut = k == 2;
    PutPair(c8, Figure(kWitch, C), 32 * k, 64);
  }
  for (int k = 0; k < 2; ++k) {
    Pose W;
    W.yaw = 0;
    W.armA = 175;
    W.spread = k ? 3.0 : -1.0;
    W.armB = 10;
    W.mouth = true;
    const Cell c = Figure(kWitch, W);
    PutImage(c8, c, 32 * k, 128);
    PutMask(c8, c, 64 + 32 * k, 128);
  }
  const Cell ride = Broom(true), broom = Broom(false);
  PutImage(c8, ride, 0, 160);
  PutMask(c8, ride, 32, 160);
  PutImage(c8, broom, 64, 160);
  PutMask(c8, broom, 96, 160);

  // The helper bird: rows 0 (B), 24 (A), 48 (C) at 24 px, carrying row 96 at 32x24.
  Bitmap& c16 = a.Sheet("ImgChar16");
  const int headingOfRow[3] = {0, 1, 2};
  for (int r = 0; r < 3; ++r)
    for (int k = 0; k < 4; ++k) {
      const Cell b = Bird(headingOfRow[r], k, 24, 24);
      PutImage(c16, b, 24 * k, 24 * r);
      PutMask(c16, b, 24 * k, 120 + 24 * r);
    }
  for (int k = 0; k < 4; ++k) {
    const Cell b = Bird(3, k, 32, 24);
    PutImage(c16, b, 32 * k, 96);
    PutMask(c16, b, 32 * k, 216);
  }
}

}  // namespace artgen
