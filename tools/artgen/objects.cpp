// Field objects and small sprites: balloons, pads, keys, balls, clouds, goal, conveyors, cursor,
// sparkles, barriers, markers, HUD keys, ending balloon figures and corner lamps.
#include <cmath>
#include <functional>

#include "tools/artgen/art.h"
#include "tools/artgen/layout.h"

namespace artgen {
namespace {

using DrawFn = std::function<void(QPainter&)>;

Cell Draw(int w, int h, const DrawFn& f) {
  QImage hi = NewHi(w, h);
  QPainter p;
  BeginHi(p, hi);
  f(p);
  p.end();
  return Reduce(hi, w, h);
}

const QColor kInk = Hex(0x1a1426);  // outline colour of every sprite

void Fill(QPainter& p, const QPainterPath& path, QColor fill, QColor line = kInk, double w = 1.4) {
  if (line.alpha() == 0) p.setPen(Qt::NoPen);
  else p.setPen(QPen(line, w, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
  p.setBrush(fill);
  p.drawPath(path);
}

QPainterPath Ellipse(double cx, double cy, double rx, double ry) {
  QPainterPath e;
  e.addEllipse(QPointF(cx, cy), rx, ry);
  return e;
}

QPainterPath RRect(double x, double y, double w, double h, double r) {
  QPainterPath q;
  q.addRoundedRect(QRectF(x, y, w, h), r, r);
  return q;
}

void Glint(QPainter& p, double x, double y, double r, QColor c = Qt::white) {
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

// --- Balloons: one silhouette for every style, frame and ending figure ---
QPainterPath BalloonShape() {
  QPainterPath b = Ellipse(16, 14, 12.2, 12.8);
  QPainterPath knot;
  knot.moveTo(13.2, 27.6);
  knot.lineTo(18.8, 27.6);
  knot.lineTo(17.6, 30.6);
  knot.lineTo(14.4, 30.6);
  knot.closeSubpath();
  return b.united(knot);
}

Cell BalloonSilhouette() {
  return Draw(32, 32, [](QPainter& p) { Fill(p, BalloonShape(), Qt::black); });
}

struct Tint {
  uint32_t face, shade, light;
};
const Tint kBalloonTints[3] = {{0xe8485e, 0xa82640, 0xffa0a8}, {0x4a8ef0, 0x2a56b0, 0xa8d0ff}, {0xf2c232, 0xc08412, 0xfff0a0}};

// Frame f of a balloon; `face` adds the ending figure's eyes (0 none, 1 figure A, 2 figure B).
Cell Balloon(const Tint& t, int f, int face) {
  const Cell sil = BalloonSilhouette();
  Cell c = Draw(32, 32, [&](QPainter& p) {
    Fill(p, BalloonShape(), Hex(t.shade));
    p.setClipPath(BalloonShape());
    Fill(p, Ellipse(14.6, 12.6, 10.4, 11.0), Hex(t.face), Qt::transparent);
    const double sw = std::sin(f * M_PI / 2);
    Fill(p, Ellipse(10.5 + sw, 8.5, 3.6, 4.6), Hex(t.light), Qt::transparent);
    p.setClipping(false);
    if (face) {
      const double blink = (f == 3) ? 0.6 : 2.4;
      const double look = (face == 2) ? (f % 2 ? 1.0 : -1.0) : 0;
      p.setPen(Qt::NoPen);
      p.setBrush(kInk);
      p.drawEllipse(QPointF(12 + look, 14), 1.6, blink);
      p.drawEllipse(QPointF(20 + look, 14), 1.6, blink);
      p.setBrush(Hex(0xff90a0));
      p.drawEllipse(QPointF(9, 18.5), 2.2, 1.3);
      p.drawEllipse(QPointF(23, 18.5), 2.2, 1.3);
      p.setPen(QPen(kInk, 1.3, Qt::SolidLine, Qt::RoundCap));
      p.setBrush(Qt::NoBrush);
      if (face == 1) p.drawArc(QRectF(13.5, 16, 5, 4), 200 * 16, 140 * 16);
      else p.drawEllipse(QRectF(15, 17.6, 2.4, 2.4));
    } else {
      Glint(p, 20 + 3 * std::cos(f * M_PI / 2), 6.5 + 2 * std::sin(f * M_PI / 2), 2.4 + 0.6 * (f % 2));
    }
    p.setPen(QPen(Hex(0xfff4f0), 1.0));
    p.drawLine(QPointF(14.8, 28.4), QPointF(17.2, 28.4));
  });
  return ClipTo(c, sil, t.shade);
}

// --- Jump pad: a spring under a cushion; pose 0 within rows 8..39 ---
Cell Pad(int pose) {
  const double top[4] = {18, 22.5, 26, 3};
  return Draw(32, 40, [&](QPainter& p) {
    const double t = top[pose];
    const double base = 33;
    // Spring coil between cushion and base.
    p.setPen(QPen(kInk, 3.6, Qt::SolidLine, Qt::RoundCap));
    const int turns = 4;
    QPainterPath coil;
    for (int i = 0; i <= turns * 2; ++i) {
      const double y = t + 4 + (base - t - 4) * i / (turns * 2.0);
      const QPointF q(i % 2 ? 22 : 10, y);
      if (i == 0) coil.moveTo(16, t + 4); else coil.lineTo(q);
    }
    coil.lineTo(16, base);
    p.setBrush(Qt::NoBrush);
    p.drawPath(coil);
    p.setPen(QPen(Hex(0xc8d2e2), 1.6, Qt::SolidLine, Qt::RoundCap));
    p.drawPath(coil);
    Fill(p, RRect(3, base, 26, 6.4, 2.4), Hex(0x5a3c8a));
    p.fillRect(QRectF(5, base + 1.2, 20, 1.4), Hex(0x8e72c0));
    QPainterPath cushion;
    cushion.moveTo(2.5, t + 5.5);
    cushion.cubicTo(2.5, t - 1.5, 29.5, t - 1.5, 29.5, t + 5.5);
    cushion.closeSubpath();
    Fill(p, cushion, Hex(0xf0587e));
    p.setPen(Qt::NoPen);
    p.setBrush(Hex(0xffe0ea));
    p.drawEllipse(QPointF(10, t + 2.6), 1.6, 1.2);
    p.drawEllipse(QPointF(17, t + 1.4), 1.6, 1.2);
    p.drawEllipse(QPointF(23.5, t + 3.0), 1.4, 1.1);
    if (pose == 3) {
      p.setPen(QPen(Hex(0xfff4a0), 1.4, Qt::SolidLine, Qt::RoundCap));
      p.drawLine(QPointF(1, t + 10), QPointF(3.5, t + 14));
      p.drawLine(QPointF(31, t + 10), QPointF(28.5, t + 14));
    }
  });
}

// --- Keys: style 0 golden with a round bow, style 1 slim silver-blue (fits 26 columns) ---
Cell Key(int style, int f) {
  const double bob = (f == 1) ? -1 : (f == 3) ? 1 : 0;
  return Draw(32, 32, [&](QPainter& p) {
    p.translate(0, bob);
    const QColor face = style ? Hex(0x9ad0f0) : Hex(0xf6c030);
    const QColor shade = style ? Hex(0x4a80b8) : Hex(0xb87810);
    const QColor light = style ? Hex(0xeaf8ff) : Hex(0xfff2a8);
    if (style == 0) {
      QPainterPath bow = Ellipse(10, 11, 6.8, 6.8).subtracted(Ellipse(10, 11, 2.8, 2.8));
      QPainterPath shaft;
      shaft.addRoundedRect(QRectF(14, 9, 15, 4.6), 1.5, 1.5);
      shaft.addRect(QRectF(21, 12, 3, 7));
      shaft.addRect(QRectF(26, 12, 3, 5.5));
      QPainterPath all = bow.united(shaft);
      Fill(p, all, shade);
      p.setClipPath(all);
      Fill(p, Ellipse(9.2, 10, 6, 6).subtracted(Ellipse(10, 11, 2.8, 2.8)), face, Qt::transparent);
      p.fillRect(QRectF(14, 9.2, 15, 2.4), face);
      p.fillRect(QRectF(15, 9.6, 12, 1.0), light);
      p.setClipping(false);
    } else {
      QPainterPath bow = Ellipse(12, 8.5, 5.8, 5.8).subtracted(Ellipse(12, 8.5, 2.4, 2.4));
      QPainterPath shaft;
      shaft.addRoundedRect(QRectF(10, 12, 4.4, 17), 1.5, 1.5);
      shaft.addRect(QRectF(13, 21, 5.5, 3));
      shaft.addRect(QRectF(13, 25.5, 4, 3));
      QPainterPath all = bow.united(shaft);
      Fill(p, all, shade);
      p.setClipPath(all);
      Fill(p, Ellipse(11.2, 7.8, 5, 5).subtracted(Ellipse(12, 8.5, 2.4, 2.4)), face, Qt::transparent);
      p.fillRect(QRectF(10.4, 12, 2.2, 16), face);
      p.setClipping(false);
    }
    // A glint that travels along the key.
    const double gx[4] = {6, 13, 20, 26}, gy[4] = {6, 9, 10, 11};
    const double sx = style ? 9 + f * 1.5 : gx[f], sy = style ? 5 + f * 5.5 : gy[f];
    Glint(p, sx, sy, 3.0 + (f % 2) * 0.8);
  });
}

// --- Ball: a small glowing sky-blue orb (no star, unlike the goal); its light swirls and four
// twinkles circle it over the 4 frames ---
const QColor kOrbFace = Hex(0x3ae6f2), kOrbDeep = Hex(0x0a7a9e), kOrbCore = Hex(0xf0ffff);

Cell Ball(int f) {
  return Draw(32, 32, [&](QPainter& p) {
    const double a = f * M_PI / 8;
    p.setPen(Qt::NoPen);
    for (int k = 0; k < 4; ++k) {  // twinkles a quarter turn apart, long and short in turn
      const double t = a + k * M_PI / 2 + M_PI / 4;
      Glint(p, 16 + 12.6 * std::cos(t), 16.5 + 12.6 * std::sin(t), (k + f) % 2 ? 2.2 : 3.2, Hex(0xbff6ff));
    }
    QRadialGradient g(QPointF(14.0, 13.8), 10.4);
    g.setColorAt(0, kOrbCore);
    g.setColorAt(0.45, kOrbFace);
    g.setColorAt(1, kOrbDeep);
    p.setPen(QPen(kInk, 1.4));
    p.setBrush(g);
    p.drawEllipse(QPointF(16, 16.5), 9.2, 9.2);
    // The swirl of light inside turns with the frames.
    p.save();
    p.setClipPath(Ellipse(16, 16.5, 8.4, 8.4));
    p.setPen(QPen(Hex(0xa8f4ff), 1.3, Qt::SolidLine, Qt::RoundCap));
    p.setBrush(Qt::NoBrush);
    p.drawArc(QRectF(10, 10.5, 12, 12), int((200 - 90 * f) * 16), 110 * 16);
    p.restore();
    Fill(p, Ellipse(12.8, 12.8, 2.8, 2.1), Qt::white, Qt::transparent);
  });
}

// --- Cloud floor: idle A/B, warning, and three vanishing stages ---
Cell Cloud(int kind) {  // 0 idle A, 1 idle B, 2 warning, 3..5 vanishing 1..3
  return Draw(32, 32, [&](QPainter& p) {
    const double shrink = kind >= 3 ? (kind - 2) * 2.2 : 0;
    const double bob = kind == 1 ? 1 : 0;
    const QColor face = kind == 2 ? Hex(0xffd0e0) : Hex(0xf2f4ff);
    const QColor shade = kind == 2 ? Hex(0xd07a9a) : Hex(0xa8b0d8);
    QPainterPath body;
    body.addRoundedRect(QRectF(-4 + shrink, 14 + bob + shrink * 0.5, 40 - 2 * shrink, 12 - shrink), 6, 6);
    const double puffs[4][3] = {{4, 14, 7}, {16, 11, 8.5}, {28, 14, 7}, {10, 19, 6}};
    for (const auto& q : puffs) body = body.united(Ellipse(q[0], q[1] + bob + shrink * 0.4, q[2] - shrink, q[2] - shrink));
    if (kind >= 3) {  // holes spread as the cloud fades
      for (int i = 0; i < kind - 2; ++i)
        for (double x : {7.0, 19.0, 27.0}) body = body.subtracted(Ellipse(x + 4 * i, 17 + 2 * i, 2 + i, 2 + i));
    }
    Fill(p, body, shade, Qt::transparent);
    p.setClipPath(body);
    Fill(p, Ellipse(16, 10 + bob, 20, 10), face, Qt::transparent);
    p.setClipping(false);
    if (kind == 2) {
      p.setPen(QPen(Hex(0x8a3050), 1.6, Qt::SolidLine, Qt::RoundCap));
      p.drawLine(QPointF(12, 16), QPointF(15, 20));
      p.drawLine(QPointF(15, 20), QPointF(13, 24));
      p.drawLine(QPointF(22, 15), QPointF(20, 20));
    }
  });
}

// --- Goal: a warm lantern on a post, the lamp that ends the stage. Upright and orange where the
// ball is round and blue; its flame flickers, its rays pulse and two sparks rise over 8 frames ---
Cell Goal(int f) {
  return Draw(32, 32, [&](QPainter& p) {
    const double flick = std::sin(f * M_PI / 4);
    // Rays: three a side, longer on the odd frames.
    const double len = (f % 2) ? 3.4 : 2.2;
    p.setPen(QPen(Hex(0xffe27a), 1.5, Qt::SolidLine, Qt::RoundCap));
    for (int side = -1; side <= 1; side += 2)
      for (int k = 0; k < 3; ++k) {
        const double ang = (-35.0 + 35.0 * k) * M_PI / 180;
        const double r0 = 10.4;
        const QPointF c(16, 14);
        const QPointF from(c.x() + side * r0 * std::cos(ang), c.y() + r0 * std::sin(ang));
        const QPointF to(c.x() + side * (r0 + len) * std::cos(ang), c.y() + (r0 + len) * std::sin(ang));
        p.drawLine(from, to);
      }
    // Post and foot.
    Fill(p, RRect(14.3, 20, 3.4, 9.5, 1.0), Hex(0x6a4430));
    Fill(p, RRect(9.5, 27.8, 13, 3.6, 1.4), Hex(0x8a5a38));
    p.fillRect(QRectF(11, 28.4, 10, 0.9), Hex(0xc08a58));
    // Roof, finial and ring; the head is drawn a little wider than its plan.
    p.save();
    p.translate(16, 0);
    p.scale(1.14, 1.0);
    p.translate(-16, 0);
    Fill(p, Ellipse(16, 2.4, 1.7, 1.7), Hex(0xf6c830), kInk, 1.0);
    QPainterPath roof;
    roof.moveTo(5.5, 8.6);
    roof.quadTo(11, 7.4, 16, 3.6);
    roof.quadTo(21, 7.4, 26.5, 8.6);
    roof.lineTo(26.5, 9.8);
    roof.lineTo(5.5, 9.8);
    roof.closeSubpath();
    Fill(p, roof, Hex(0xc83a28));
    p.fillRect(QRectF(9, 7.6, 7, 0.9), Hex(0xff8a5a));
    // The paper body between two dark rims, lit from the flame.
    QPainterPath body;
    body.moveTo(10, 9.6);
    body.cubicTo(7.2, 11.5, 7.2, 18.5, 10, 20.4);
    body.lineTo(22, 20.4);
    body.cubicTo(24.8, 18.5, 24.8, 11.5, 22, 9.6);
    body.closeSubpath();
    QRadialGradient glow(QPointF(16, 15.2), 8.5);
    glow.setColorAt(0, Hex(0xfffbe0));
    glow.setColorAt(0.5, Hex(0xffd060));
    glow.setColorAt(1, Hex(0xf08a2a));
    p.setPen(QPen(kInk, 1.3));
    p.setBrush(glow);
    p.drawPath(body);
    p.save();
    p.setClipPath(body);
    p.setPen(QPen(Hex(0xd8782a), 0.9));
    p.drawLine(QPointF(12.4, 9), QPointF(12.4, 21));
    p.drawLine(QPointF(19.6, 9), QPointF(19.6, 21));
    p.restore();
    // Flame.
    const double fh = 5.0 + 1.1 * flick, sway = 0.5 * std::sin(f * M_PI / 2);
    QPainterPath flame;
    flame.moveTo(16 + sway, 15.4 - fh);
    flame.quadTo(18.8, 15.4, 16, 18.2);
    flame.quadTo(13.2, 15.4, 16 + sway, 15.4 - fh);
    Fill(p, flame, Hex(0xff7a20), Qt::transparent);
    Fill(p, Ellipse(16, 16.2, 0.9, 1.3), Qt::white, Qt::transparent);
    Fill(p, RRect(9.2, 19.8, 13.6, 2.4, 1.0), Hex(0x6a4430));
    p.restore();
    // Sparks rising beside the roof, each on its own half of the cycle.
    for (int k = 0; k < 2; ++k) {
      const int t = (f + 4 * k) % 8;
      const double x = k ? 25.5 - 0.4 * t : 6.5 + 0.4 * t, y = 10.5 - 1.3 * t;
      if (y > 0.8) Glint(p, x, y, t < 5 ? 2.0 : 1.4, Hex(0xfff0a0));
    }
  });
}

// --- Conveyor: a full-cell machine; chevrons on the belt move 4 px a frame (period 16) ---
Cell Conveyor(bool right, int f) {
  QImage hi = NewHi(32, 32);
  QPainter p;
  BeginHi(p, hi);
  p.fillRect(QRectF(0, 0, 32, 32), kInk);
  p.fillRect(QRectF(0, 1.5, 32, 12), Hex(0x3a3e52));
  p.setClipRect(QRectF(0, 2.5, 32, 10));
  const double shift = (right ? 4 : -4) * f;
  p.setPen(Qt::NoPen);
  p.setBrush(Hex(0xf0c030));
  for (double x = -32; x < 64; x += 16) {
    const double x0 = x + shift;
    QPainterPath c;
    const double d = right ? 1 : -1;
    c.moveTo(x0 + 2 - 2 * d, 3.5);
    c.lineTo(x0 + 6 + 2 * d, 7.5);
    c.lineTo(x0 + 2 - 2 * d, 11.5);
    c.lineTo(x0 + 6 - 2 * d, 11.5);
    c.lineTo(x0 + 10 + 2 * d, 7.5);
    c.lineTo(x0 + 6 - 2 * d, 3.5);
    c.closeSubpath();
    p.drawPath(c);
  }
  p.setClipping(false);
  p.fillRect(QRectF(0, 15, 32, 15.5), Hex(0x5e6680));
  p.fillRect(QRectF(0, 15, 32, 1.4), Hex(0x8c96b4));
  for (double cx : {8.0, 24.0}) {
    Fill(p, Ellipse(cx, 23, 5.4, 5.4), Hex(0x9aa4c0));
    p.setPen(QPen(kInk, 1.6));
    const double a0 = (right ? 1 : -1) * f * 22.5;
    for (int k = 0; k < 2; ++k) {
      const double a = (a0 + 90 * k) * M_PI / 180;
      p.drawLine(QPointF(cx - 4 * std::cos(a), 23 - 4 * std::sin(a)), QPointF(cx + 4 * std::cos(a), 23 + 4 * std::sin(a)));
    }
  }
  p.end();
  return ReduceOpaque(hi, 32, 32);
}

// --- Menu cursor: a star on a wand, twinkling inside one outline ---
QPainterPath CursorShape() {
  QPainterPath s = StarPath(19, 16, 11.5, 5.2, -90 + 18);
  QPainterPath wand;
  wand.addRoundedRect(QRectF(1, 14.2, 12, 3.6), 1.5, 1.5);
  return s.united(wand);
}
Cell Cursor(int f) {
  const Cell sil = Draw(32, 32, [](QPainter& p) { Fill(p, CursorShape(), Qt::black); });
  Cell c = Draw(32, 32, [&](QPainter& p) {
    const QColor body[3] = {Hex(0xf6c830), Hex(0xffe070), Hex(0xfff4c0)};
    Fill(p, CursorShape(), Hex(0xb07010));
    p.setClipPath(CursorShape());
    Fill(p, StarPath(18.4, 15.4, 9.6, 4.2, -90 + 18), body[f], Qt::transparent);
    p.fillRect(QRectF(1, 14.6, 11, 1.6), Hex(0xd89acc));
    Glint(p, 15 + 3 * f, 12 + (f == 1 ? 2 : 0), 2.6);
  });
  return ClipTo(c, sil, 0x1070b0);
}

// --- Sparkle 15x15: 0/1 the bright twinkle pair (long and short rays), 2..4 decay ---
Cell Sparkle(int f) {
  return Draw(15, 15, [&](QPainter& p) {
    const double r[5] = {7.4, 5.4, 5.4, 4.4, 3.4};
    const QColor c[5] = {Hex(0xffffff), Hex(0xfff6b0), Hex(0xffe070), Hex(0xe0a040), Hex(0xa06828)};
    Glint(p, 7.5, 7.5, r[f], c[f]);
    if (f == 1) {
      p.setPen(QPen(Hex(0xfff6b0), 1.2, Qt::SolidLine, Qt::RoundCap));
      p.drawLine(QPointF(3.5, 3.5), QPointF(11.5, 11.5));
      p.drawLine(QPointF(11.5, 3.5), QPointF(3.5, 11.5));
    }
    if (f <= 1) Fill(p, Ellipse(7.5, 7.5, 1.8, 1.8), Qt::white, Qt::transparent);
  });
}

// --- Barrier: a magic seal in the ball's blue, a glowing panel with a rune circle round an orb
// socket, so it reads as what the last ball breaks. Every style and frame has the same rounded
// square outline (the editor lays one mask over all styles); styles differ in the rune, frames
// 1..3 sweep a shine across ---
struct BarrierLook {
  uint32_t stud;
  int rune;  // 0 six-point star, 1 five-point star, 2 eight-point star
};
const BarrierLook kBarrierLooks[3] = {{0xbff6ff, 0}, {0xffd870, 1}, {0xffa0e0, 2}};

QPainterPath SealShape() { return RRect(1.6, 1.6, 28.8, 28.8, 5.5); }

// Star polygon of n points drawn as crossing strokes (n/step polygon).
QPainterPath RuneStar(int n, int step, double r, double rotDeg) {
  QPainterPath s;
  for (int k = 0; k <= n; ++k) {
    const double a = (rotDeg + 360.0 * ((k * step) % n) / n) * M_PI / 180;
    const QPointF q(16 + r * std::cos(a), 16 + r * std::sin(a));
    if (k == 0) s.moveTo(q); else s.lineTo(q);
  }
  return s;
}

Cell Barrier(int style, int f) {
  const BarrierLook& look = kBarrierLooks[style];
  return Draw(32, 32, [&](QPainter& p) {
    QRadialGradient m(QPointF(16, 16), 19);
    m.setColorAt(0, Hex(0x2a8cc8));
    m.setColorAt(0.6, Hex(0x16568e));
    m.setColorAt(1, Hex(0x0e3466));
    p.setPen(QPen(kInk, 1.6));
    p.setBrush(m);
    p.drawPath(SealShape());
    p.save();
    p.setClipPath(SealShape());
    p.setBrush(Qt::NoBrush);
    p.setPen(QPen(kOrbFace, 1.5));
    p.drawPath(RRect(3.4, 3.4, 25.2, 25.2, 4.0));
    // Rune circle with its ticks, the star rune and the orb socket.
    p.setPen(QPen(Hex(0x9af0ff), 1.2));
    p.drawEllipse(QPointF(16, 16), 9.6, 9.6);
    for (int k = 0; k < 8; ++k) {
      const double a = (22.5 + 45 * k) * M_PI / 180;
      p.drawLine(QPointF(16 + 9.6 * std::cos(a), 16 + 9.6 * std::sin(a)),
                 QPointF(16 + 11.4 * std::cos(a), 16 + 11.4 * std::sin(a)));
    }
    p.setPen(QPen(Hex(0xe0fcff), 1.1, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    if (look.rune == 0) {
      p.drawPath(RuneStar(3, 1, 8.2, -90));
      p.drawPath(RuneStar(3, 1, 8.2, 90));
    } else if (look.rune == 1) {
      p.drawPath(RuneStar(5, 2, 8.4, -90));
    } else {
      p.drawPath(RuneStar(8, 3, 8.4, -90));
    }
    p.setPen(QPen(kInk, 1.0));
    QRadialGradient orb(QPointF(15.2, 15.2), 3.6);
    orb.setColorAt(0, kOrbCore);
    orb.setColorAt(1, kOrbFace);
    p.setBrush(orb);
    p.drawEllipse(QPointF(16, 16), 3.0, 3.0);
    // Studs in the corners tell the styles apart at a glance.
    p.setPen(Qt::NoPen);
    p.setBrush(Hex(look.stud));
    for (double x : {5.6, 26.4})
      for (double y : {5.6, 26.4}) p.drawEllipse(QPointF(x, y), 1.3, 1.3);
    if (f > 0) {  // the shine: a bright diagonal band crossing the seal
      const double c = -2 + 10.0 * f;  // where the band crosses the middle row
      QPainterPath band;
      band.moveTo(c + 12, 0);
      band.lineTo(c + 20, 0);
      band.lineTo(c - 12, 32);
      band.lineTo(c - 20, 32);
      band.closeSubpath();
      p.setBrush(QColor(220, 250, 255, 110));
      p.drawPath(band);
    }
    p.restore();
  });
}

// --- Markers: a spinning gold star medal, the bonus crown and the title lamp ---
Cell Marker(int f) {
  return Draw(32, 32, [&](QPainter& p) {
    const double sx[4] = {1.0, 0.55, 0.12, 0.55};
    p.translate(16, 16);
    p.scale(sx[f], 1.0);
    Fill(p, Ellipse(0, 0, 12, 12), f == 2 ? Hex(0xb07010) : Hex(0xf0b020), kInk, 1.4 / std::max(sx[f], 0.3));
    if (f != 2) {
      Fill(p, Ellipse(-1, -1, 9.6, 9.6), Hex(0xffd850), Qt::transparent);
      Fill(p, StarPath(0, 0.8, 7, 3, -90), Hex(0xfff8d0), Hex(0xb07010), 1.0);
    }
  });
}

Cell Crown() {
  Cell c = Draw(32, 32, [](QPainter& p) {
    QPainterPath cr;
    cr.moveTo(4, 25);
    cr.lineTo(3, 10);
    cr.lineTo(10, 16);
    cr.lineTo(16, 1.2);
    cr.lineTo(22, 16);
    cr.lineTo(29, 10);
    cr.lineTo(28, 25);
    cr.closeSubpath();
    Fill(p, cr, Hex(0xf4c028));
    Fill(p, RRect(3, 24, 26, 6, 2), Hex(0xd89018));
    p.setPen(Qt::NoPen);
    p.setBrush(Hex(0xe83a6a));
    p.drawEllipse(QPointF(16, 20), 2.6, 2.6);
    p.setBrush(Hex(0x40c8f0));
    p.drawEllipse(QPointF(9, 27), 1.8, 1.6);
    p.drawEllipse(QPointF(23, 27), 1.8, 1.6);
    Glint(p, 12, 13, 2.4);
  });
  for (int x = 0; x < 32; ++x)  // only columns 10..21 of the top row may hold colour (the bob is erased there)
    if (x < 10 || x > 21) {
      c.on[x] = 0;
      c.rgb[x] = 0;
    }
  return c;
}

// A floating paper lamp; `glow` 0..3 flickers the flame.
Cell Lamp(int w, int h, int glow, bool halo) {
  return Draw(w, h, [&](QPainter& p) {
    p.translate(w / 2.0 - 16, h / 2.0 - 16);
    const double g = 0.5 + 0.5 * std::sin(glow * M_PI / 2);
    if (halo) Fill(p, Ellipse(16, 16, 14.5, 14.5), Mix(Hex(0x6a3a10), Hex(0xa86418), g), Qt::transparent);
    Fill(p, RRect(12, 2.5, 8, 4, 1.5), Hex(0x7a4a2a));
    QPainterPath body;
    body.moveTo(10, 7);
    body.cubicTo(3, 10, 3, 22, 10, 25);
    body.lineTo(22, 25);
    body.cubicTo(29, 22, 29, 10, 22, 7);
    body.closeSubpath();
    Fill(p, body, Mix(Hex(0xf08a3a), Hex(0xffb050), g));
    p.setClipPath(body);
    Fill(p, Ellipse(16, 16, 6 + 2 * g, 8 + g), Mix(Hex(0xffd070), Hex(0xfff0b0), g), Qt::transparent);
    p.setClipping(false);
    p.setPen(QPen(Hex(0xc05a20), 1.2));
    p.drawLine(QPointF(16, 7.5), QPointF(16, 24.5));
    Fill(p, RRect(12, 24.5, 8, 3.5, 1.5), Hex(0x7a4a2a));
    p.setPen(QPen(Hex(0xffe080), 1.4, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(QPointF(16, 28), QPointF(16, 30.5 - glow % 2));
  });
}

}  // namespace

void BuildObjects(Art& a) {
  const Bitmap& map0 = a.sheets.at("ImgMap0");

  Bitmap& c1 = a.Sheet("ImgChar1");
  const Cell sil = BalloonSilhouette();
  for (int s = 0; s < 3; ++s) {
    for (int f = 0; f < 4; ++f) PutImage(c1, Balloon(kBalloonTints[s], f, 0), 32 * f, 32 * s);
    PutMask(c1, sil, 128, 32 * s);
    a.cells["Balloon" + std::to_string(s)] = Balloon(kBalloonTints[s], 0, 0);
  }

  Bitmap& c2 = a.Sheet("ImgChar2");
  for (int k = 0; k < 4; ++k) {
    const Cell pad = Pad(k);
    PutImage(c2, pad, 32 * k, 0);
    PutMask(c2, pad, 32 * k, 40);
  }

  // Keys and balls, pre-drawn on each background; the editor and the HUD reuse the sprites.
  Bitmap& c3 = a.Sheet("ImgChar3");
  Bitmap& c15 = a.Sheet("ImgChar15");
  for (int f = 0; f < 4; ++f) {
    for (int style = 0; style < 2; ++style) {
      const Cell key = Key(style, f);
      a.cells["Key" + std::to_string(style) + "_" + std::to_string(f)] = key;
      for (int bg = 0; bg < 3; ++bg) PutOver(c3, key, map0, 32 * bg, 0, 32 * f, 96 * style + 32 * bg);
      PutImage(c15, key, 32 * f, 64 * style);
      PutMask(c15, key, 32 * f, 64 * style + 32);
    }
    const Cell ball = Ball(f);
    a.cells["Ball_" + std::to_string(f)] = ball;
    for (int bg = 0; bg < 3; ++bg) PutOver(c3, ball, map0, 32 * bg, 0, 32 * f, 192 + 32 * bg);
  }

  // Clouds: columns 0 idle A, 32/64/96 vanishing, 128 idle B, 160 warning.
  Bitmap& c4 = a.Sheet("ImgChar4");
  const int kindAt[6] = {0, 3, 4, 5, 1, 2};
  for (int col = 0; col < 6; ++col) {
    const Cell cl = Cloud(kindAt[col]);
    if (col == 0) a.cells["Cloud"] = cl;
    for (int bg = 0; bg < 3; ++bg) PutOver(c4, cl, map0, 32 * bg, 0, 32 * col, 32 * bg);
  }

  Bitmap& c5 = a.Sheet("ImgChar5");
  for (int f = 0; f < 8; ++f) {
    const Cell g = Goal(f);
    if (f == 0) a.cells["Goal"] = g;
    PutImage(c5, g, 32 * f, 0);
    PutMask(c5, g, 32 * f, 32);
  }

  Bitmap& c6 = a.Sheet("ImgChar6");
  for (int f = 0; f < 4; ++f) {
    const Cell r = Conveyor(true, f), l = Mirror(r);
    PutOpaque(c6, r, 32 * f, 0);
    PutOpaque(c6, l, 128 + 32 * f, 0);
    PutMask(c6, r, 256, 0);  // all black: the machine fills its cell
  }

  Bitmap& c7 = a.Sheet("ImgChar7");
  std::vector<Cell> cur;
  for (int f = 0; f < 3; ++f) cur.push_back(Cursor(f));
  for (int f = 0; f < 3; ++f) PutImage(c7, cur[f], 32 * f, 0);
  PutMask(c7, UnionMask(cur), 96, 0);

  Bitmap& c9 = a.Sheet("ImgChar9");
  for (int f = 0; f < 5; ++f) {
    const Cell s = Sparkle(f);
    PutImage(c9, s, 15 * f, 0);
    PutMask(c9, s, 15 * f, 15);
  }

  Bitmap& c10 = a.Sheet("ImgChar10");
  for (int style = 0; style < 3; ++style)
    for (int f = 0; f < 4; ++f) {
      const Cell b = Barrier(style, f);
      if (f == 0) a.cells["Barrier" + std::to_string(style)] = b;
      for (int bg = 0; bg < 3; ++bg) PutOver(c10, b, map0, 32 * bg, 0, 32 * f, 96 * style + 32 * bg);
    }

  Bitmap& c11 = a.Sheet("ImgChar11");
  for (int f = 0; f < 4; ++f) {
    const Cell m = Marker(f);
    PutImage(c11, m, 32 * f, 0);
    PutMask(c11, m, 32 * f, 32);
    const Cell lamp = Lamp(32, 32, f, false);
    PutImage(c11, lamp, 32 * f, 64);
    PutMask(c11, lamp, 32 * f, 96);
  }
  const Cell crown = Crown();
  PutImage(c11, crown, 128, 0);
  PutMask(c11, crown, 128, 32);

  // Ending balloon figures share the balloon silhouette (the ending tints the balloon mask over them).
  for (int fig = 0; fig < 2; ++fig) {
    for (int f = 0; f < 4; ++f) PutImage(c15, Balloon(kBalloonTints[fig ? 1 : 0], f, fig + 1), 32 * f, 192 + 32 * fig);
    PutMask(c15, sil, 128, 192 + 32 * fig);
  }

  // Corner star: it turns and twinkles (frames 0..4), frame 5 a one-tick flash; one shared outline.
  Bitmap& c17 = a.Sheet("ImgChar17");
  std::vector<Cell> stars;
  for (int f = 0; f < 6; ++f) {
    stars.push_back(Draw(32, 32, [&](QPainter& p) {
      const bool flash = f == 5;
      const double turn = f * 14.4;
      Glint(p, 16, 16, flash ? 15 : 11 + (f % 2) * 2, flash ? Qt::white : Hex(0xfff4c0));
      Fill(p, StarPath(16, 16.6, flash ? 11 : 9.5, flash ? 5 : 4.2, -90 + turn), flash ? Hex(0xffffe0) : Hex(0xf6c830),
           Hex(0x8a5a10), 1.2);
      Fill(p, StarPath(16, 16.6, 4.5, 2.0, -90 + turn), Hex(0xfff8d0), Qt::transparent);
    }));
  }
  for (int f = 0; f < 6; ++f) PutImage(c17, stars[f], 32 * f, 0);
  PutMask(c17, UnionMask(stars), 192, 0);
}

}  // namespace artgen
