// Map tiles: the darkening tiles, backgrounds, blocks, ice, no-jump floors, ladders, door and jails.
#include <cmath>
#include <functional>
#include <tuple>

#include "tools/artgen/art.h"
#include "tools/artgen/layout.h"

namespace artgen {
namespace {

// Draws `f` nine times shifted by a cell so the tile wraps seamlessly, on a filled base.
Cell WrapTile(QColor base, const std::function<void(QPainter&)>& f) {
  QImage hi = NewHi(32, 32);
  QPainter p;
  BeginHi(p, hi);
  p.fillRect(QRectF(0, 0, 32, 32), base);
  p.setClipRect(QRectF(0, 0, 32, 32));
  for (int dy = -32; dy <= 32; dy += 32)
    for (int dx = -32; dx <= 32; dx += 32) {
      p.save();
      p.translate(dx, dy);
      f(p);
      p.restore();
    }
  p.end();
  return ReduceOpaque(hi, 32, 32);
}

void Sparkle(QPainter& p, double x, double y, double r, QColor c) {
  p.setPen(Qt::NoPen);
  p.setBrush(c);
  QPainterPath s;
  s.moveTo(x, y - r);
  s.quadTo(x, y, x + r, y);
  s.quadTo(x, y, x, y + r);
  s.quadTo(x, y, x - r, y);
  s.quadTo(x, y, x, y - r);
  p.drawPath(s);
}

Cell Background(int k) {
  switch (k) {
    case 0:  // night sky: soft clouds of deeper blue, small stars
      return WrapTile(Hex(0x27386a), [](QPainter& p) {
        p.setPen(Qt::NoPen);
        p.setBrush(Hex(0x2d4178));
        p.drawEllipse(QRectF(-4, 18, 22, 14));
        p.drawEllipse(QRectF(8, 14, 20, 16));
        p.drawEllipse(QRectF(18, 20, 18, 12));
        Sparkle(p, 7, 7, 3.2, Hex(0x7f9ad8));
        Sparkle(p, 24, 4, 2.0, Hex(0x5f78b8));
        p.setBrush(Hex(0x6a84c4));
        p.drawEllipse(QRectF(26, 13, 2.2, 2.2));
        p.drawEllipse(QRectF(14, 26, 2.0, 2.0));
      });
    case 1:  // twilight forest: leaf scallops in teal
      return WrapTile(Hex(0x1f4848), [](QPainter& p) {
        p.setPen(Qt::NoPen);
        for (int i = 0; i < 2; ++i) {
          const double ox = i * 16, oy = i * 16;
          p.setBrush(Hex(0x255656));
          p.drawEllipse(QRectF(ox + 1, oy + 2, 14, 14));
          p.setBrush(Hex(0x2b6060));
          p.drawEllipse(QRectF(ox + 3, oy + 3, 8, 8));
        }
        p.setBrush(Hex(0x5a9a78));
        p.drawEllipse(QRectF(22, 6, 2.4, 2.4));
        p.drawEllipse(QRectF(6, 22, 2.4, 2.4));
      });
    default:  // dusk castle: diamond lattice in plum
      return WrapTile(Hex(0x442c5a), [](QPainter& p) {
        p.setBrush(Qt::NoBrush);
        p.setPen(QPen(Hex(0x52376a), 2.0));
        p.drawLine(QPointF(0, 0), QPointF(32, 32));
        p.drawLine(QPointF(32, 0), QPointF(0, 32));
        p.setPen(Qt::NoPen);
        p.setBrush(Hex(0x4c3264));
        QPainterPath d;
        d.moveTo(16, 6);
        d.lineTo(22, 16);
        d.lineTo(16, 26);
        d.lineTo(10, 16);
        d.closeSubpath();
        p.drawPath(d);
        Sparkle(p, 16, 16, 2.6, Hex(0x8a6aae));
        Sparkle(p, 0, 16, 1.8, Hex(0x6e5290));
      });
  }
}

// Bricks in two courses of 16 px, the lower course offset by half a brick.
Cell Bricks(QColor face, QColor light, QColor dark, QColor mortar, int brickW, bool planks) {
  return WrapTile(mortar, [=](QPainter& p) {
    p.setPen(Qt::NoPen);
    for (int row = 0; row < 2; ++row) {
      const double y = row * 16;
      const double off = planks ? 0 : (row ? brickW / 2.0 : 0);
      for (double x = off - brickW; x < 32 + brickW; x += brickW) {
        const QRectF r(x + 1, y + 1, brickW - 2, 14);
        p.setBrush(dark);
        p.drawRoundedRect(r, 2.5, 2.5);
        p.setBrush(face);
        p.drawRoundedRect(r.adjusted(0, 0, -2, -2), 2.5, 2.5);
        p.setBrush(light);
        p.drawRoundedRect(QRectF(r.x() + 1.5, r.y() + 1.5, r.width() - 6, 2.5), 1.2, 1.2);
        if (planks) {
          p.setBrush(dark);
          p.drawEllipse(QRectF(r.x() + 3, r.y() + 9, 2.5, 2.5));
          p.drawEllipse(QRectF(r.right() - 7, r.y() + 9, 2.5, 2.5));
        }
      }
    }
  });
}

Cell Block(int k) {
  switch (k) {
    case 0: return Bricks(Hex(0x4f5f86), Hex(0x7484ac), Hex(0x333c58), Hex(0x20263a), 16, false);
    case 1: return Bricks(Hex(0x86552e), Hex(0xaa7a48), Hex(0x5a361c), Hex(0x3a2212), 32, true);
    case 2: return Bricks(Hex(0x8c3a4c), Hex(0xb45e6e), Hex(0x5e2432), Hex(0x3a161e), 16, false);
    default: return Bricks(Hex(0x3c6a4a), Hex(0x5e9068), Hex(0x264830), Hex(0x16301e), 32, false);
  }
}

Cell Ice(int k) {
  const QColor face = k ? Hex(0x9c8ee0) : Hex(0x6cc4e6);
  const QColor light = k ? Hex(0xd6ccff) : Hex(0xd4f4ff);
  const QColor dark = k ? Hex(0x5c4ea8) : Hex(0x2e82b0);
  return WrapTile(dark, [=](QPainter& p) {
    p.setPen(Qt::NoPen);
    p.setBrush(face);
    p.drawRect(QRectF(0, 2, 32, 27));
    p.setBrush(light);
    p.drawRect(QRectF(0, 0, 32, 2.5));
    QPainterPath s;  // glints
    s.moveTo(5, 8);
    s.lineTo(13, 8);
    s.lineTo(8, 20);
    s.lineTo(4, 20);
    s.closeSubpath();
    s.moveTo(19, 8);
    s.lineTo(23, 8);
    s.lineTo(18, 18);
    s.lineTo(16, 18);
    s.closeSubpath();
    p.setBrush(Mix(face, light, 0.55));
    p.drawPath(s);
    p.setBrush(Mix(face, dark, 0.4));
    p.drawRect(QRectF(0, 24, 32, 5));
  });
}

// A down-pointing chevron centred on x 16 with its tip at `tip`.
QPainterPath Chevron(double tip, double halfW, double h, double thick) {
  QPainterPath c;
  c.moveTo(16 - halfW, tip - h);
  c.lineTo(16 - halfW + thick, tip - h);
  c.lineTo(16, tip - thick * 1.1);
  c.lineTo(16 + halfW - thick, tip - h);
  c.lineTo(16 + halfW, tip - h);
  c.lineTo(16, tip);
  c.closeSubpath();
  return c;
}

// No-jump floors say "you stay down here": style 0 a heavy iron plate held by a chain with
// glowing down arrows, style 1 sticky honey that drips, with a down arrow pressed into it.
Cell NoJump(int k) {
  if (k == 0) {
    return WrapTile(Hex(0x1c1224), [](QPainter& p) {
      p.setPen(Qt::NoPen);
      p.setBrush(Hex(0x6e4c84));
      p.drawRect(QRectF(0, 3, 32, 27));
      p.setBrush(Hex(0xa488b8));
      p.drawRect(QRectF(0, 3, 32, 2.2));
      p.setBrush(Hex(0x40284e));
      p.drawRect(QRectF(0, 26.5, 32, 3.5));
      // Chain along the top: links alternate face-on and edge-on.
      for (int i = 0; i < 4; ++i) {
        const double x = 8 * i + 4;
        p.setPen(QPen(Hex(0x1c1224), 2.6));
        p.setBrush(Qt::NoBrush);
        if (i % 2) p.drawLine(QPointF(x - 3.2, 2.2), QPointF(x + 3.2, 2.2));
        else p.drawEllipse(QPointF(x, 2.2), 3.4, 1.8);
        p.setPen(QPen(Hex(0xc8c0d8), 1.1));
        if (i % 2) p.drawLine(QPointF(x - 3.2, 2.2), QPointF(x + 3.2, 2.2));
        else p.drawEllipse(QPointF(x, 2.2), 3.4, 1.8);
      }
      // Rivets at the seams.
      p.setPen(Qt::NoPen);
      for (double y : {9.0, 22.0}) {
        p.setBrush(Hex(0x2a1a34));
        p.drawEllipse(QPointF(3.2, y + 0.5), 1.6, 1.6);
        p.setBrush(Hex(0xb8a0c8));
        p.drawEllipse(QPointF(3.0, y), 1.1, 1.1);
      }
      // Two down arrows, glowing pink, in a dark outline.
      for (double tip : {17.0, 25.5}) {
        p.setPen(QPen(Hex(0x1c1224), 1.6, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
        p.setBrush(tip < 20 ? Hex(0xff5ab8) : Hex(0xffa8dc));
        p.drawPath(Chevron(tip, 9.6, 8.0, 3.8));
      }
    });
  }
  return WrapTile(Hex(0x4a2a08), [](QPainter& p) {
    p.setPen(Qt::NoPen);
    // Honey: a wavy top, a lighter film, drips hanging below the slab.
    QPainterPath goo;
    goo.moveTo(0, 5);
    goo.cubicTo(6, 2.5, 10, 7, 16, 4.5);
    goo.cubicTo(22, 2.5, 26, 7, 32, 5);
    goo.lineTo(32, 27);
    goo.lineTo(0, 27);
    goo.closeSubpath();
    for (auto [x, w, h] : {std::tuple{8.0, 3.4, 30.5}, {24.0, 2.8, 29.0}}) {  // drips
      QPainterPath d;
      d.moveTo(x - w - 1.5, 26);
      d.quadTo(x - w, 27, x - w, h - w);
      d.arcTo(QRectF(x - w, h - 2 * w, 2 * w, 2 * w), 180, 180);
      d.quadTo(x + w, 27, x + w + 1.5, 26);
      d.closeSubpath();
      goo.addPath(d);
    }
    goo = goo.simplified();
    p.setBrush(Hex(0xd89420));
    p.drawPath(goo);
    p.setBrush(Hex(0xffd060));
    QPainterPath film;
    film.moveTo(0, 5);
    film.cubicTo(6, 2.5, 10, 7, 16, 4.5);
    film.cubicTo(22, 2.5, 26, 7, 32, 5);
    film.lineTo(32, 7.5);
    film.cubicTo(26, 9.5, 22, 5, 16, 7);
    film.cubicTo(10, 9.5, 6, 5, 0, 7.5);
    film.closeSubpath();
    p.drawPath(film);
    p.setBrush(Hex(0xa86410));
    p.drawRect(QRectF(0, 22, 32, 5));
    p.setBrush(Hex(0xfff0b0));
    p.drawEllipse(QRectF(6.0, 26.6, 1.6, 2.2));  // light on the drips
    p.drawEllipse(QRectF(22.4, 26.0, 1.4, 1.8));
    p.drawEllipse(QRectF(25, 11, 2.2, 2.2));     // a bubble
    // A down arrow pressed into the honey: dark groove with a lit lower edge.
    QPainterPath arrow;
    arrow.moveTo(13.8, 8.5);
    arrow.lineTo(18.2, 8.5);
    arrow.lineTo(18.2, 14);
    arrow.lineTo(23, 14);
    arrow.lineTo(16, 22);
    arrow.lineTo(9, 14);
    arrow.lineTo(13.8, 14);
    arrow.closeSubpath();
    p.setBrush(Hex(0xffd060));
    p.drawPath(arrow.translated(0.7, 0.9));
    p.setBrush(Hex(0x8a4c06));
    p.drawPath(arrow);
  });
}

void Outlined(QPainter& p, const QPainterPath& path, QColor fill, QColor line, double w = 1.3) {
  p.setPen(QPen(line, w, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
  p.setBrush(fill);
  p.drawPath(path);
}

QPainterPath RectPath(double x, double y, double w, double h, double r = 0) {
  QPainterPath q;
  if (r > 0) q.addRoundedRect(QRectF(x, y, w, h), r, r); else q.addRect(QRectF(x, y, w, h));
  return q;
}

Cell Ladder(int k) {
  QImage hi = NewHi(32, 32);
  QPainter p;
  BeginHi(p, hi);
  p.setClipRect(QRectF(0, 0, 32, 32));
  const QColor rail = k ? Hex(0x9aa8c0) : Hex(0xb07840);
  const QColor light = k ? Hex(0xdce6f4) : Hex(0xe0a868);
  const QColor line = k ? Hex(0x2a3040) : Hex(0x3a2010);
  for (int r = -1; r < 4; ++r) {
    const double y = r * 8 + 3;
    Outlined(p, RectPath(7, y, 18, 4, 1), rail, line, 1.2);
    p.fillRect(QRectF(8, y + 0.8, 16, 1.2), light);
  }
  for (double x : {4.5, 23.5}) {
    Outlined(p, RectPath(x, -2, 4, 36), rail, line, 1.2);
    p.fillRect(QRectF(x + 1, -2, 1.4, 36), light);
  }
  p.end();
  return Reduce(hi, 32, 32);
}

Cell Door() {
  QImage hi = NewHi(32, 32);
  QPainter p;
  BeginHi(p, hi);
  QPainterPath arch;
  arch.moveTo(3, 32);
  arch.lineTo(3, 12);
  arch.arcTo(QRectF(3, 1, 26, 22), 180, -180);
  arch.lineTo(29, 32);
  arch.closeSubpath();
  Outlined(p, arch, Hex(0x6a6a7e), Hex(0x1c1c28), 1.4);  // stone frame
  QPainterPath leaf;
  leaf.moveTo(6.5, 32);
  leaf.lineTo(6.5, 13);
  leaf.arcTo(QRectF(6.5, 4, 19, 17), 180, -180);
  leaf.lineTo(25.5, 32);
  leaf.closeSubpath();
  Outlined(p, leaf, Hex(0x9a5a2a), Hex(0x3a1e0c), 1.2);
  p.setPen(QPen(Hex(0x6e3a16), 1.6));
  p.drawLine(QPointF(12.8, 8), QPointF(12.8, 32));
  p.drawLine(QPointF(19.2, 8), QPointF(19.2, 32));
  p.setPen(QPen(Hex(0x2a1a08), 1.0));
  p.setBrush(Hex(0xf2c23a));  // lock plate
  p.drawRoundedRect(QRectF(11.5, 16, 9, 11), 2, 2);
  p.setPen(Qt::NoPen);
  p.setBrush(Hex(0x2a1a08));
  p.drawEllipse(QRectF(14.6, 18.2, 2.8, 2.8));
  p.drawRect(QRectF(15.2, 20, 1.6, 4.5));
  p.setBrush(Hex(0xfff0a0));
  p.drawRect(QRectF(12.5, 17, 2, 1.4));
  p.end();
  return Reduce(hi, 32, 32);
}

Cell Jail(bool open) {
  QImage hi = NewHi(32, 32);
  QPainter p;
  BeginHi(p, hi);
  const QColor iron = Hex(0x7a86a0), light = Hex(0xc6d0e6), line = Hex(0x141824);
  // Side posts, top beam and floor.
  Outlined(p, RectPath(1, 1, 4, 31), iron, line);
  Outlined(p, RectPath(27, 1, 4, 31), iron, line);
  Outlined(p, RectPath(0.8, 0.8, 30.4, 5, 1.5), iron, line);
  if (!open) Outlined(p, RectPath(0.8, 27, 30.4, 4.4, 1.5), iron, line);
  for (int i = 0; i < 4; ++i) {
    const double x = 7.6 + i * 5.2;
    const double bottom = open ? 11 : 28;
    Outlined(p, RectPath(x, 4, 3, bottom - 4, 1), iron, line, 1.0);
    p.fillRect(QRectF(x + 0.8, 6, 1, bottom - 7), light);
    if (open) {  // pointed tips of the raised bars
      QPainterPath tip;
      tip.moveTo(x - 0.3, bottom - 0.5);
      tip.lineTo(x + 1.5, bottom + 2.5);
      tip.lineTo(x + 3.3, bottom - 0.5);
      tip.closeSubpath();
      Outlined(p, tip, iron, line, 1.0);
    }
  }
  p.fillRect(QRectF(2, 2, 28, 1.3), light);
  p.setPen(Qt::NoPen);
  p.setBrush(Hex(0xf2c23a));  // rivets
  for (double x : {3.0, 29.0}) p.drawEllipse(QPointF(x, 3.4), 1.1, 1.1);
  p.end();
  return Reduce(hi, 32, 32);
}

}  // namespace

void BuildTiles(Art& a) {
  // Darkening tiles: nested 8x8 Bayer sets, tile k black on (k+1)/8 of the pixels, 7 all black.
  static const int kBayer[8][8] = {
      {0, 32, 8, 40, 2, 34, 10, 42},   {48, 16, 56, 24, 50, 18, 58, 26}, {12, 44, 4, 36, 14, 46, 6, 38},
      {60, 28, 52, 20, 62, 30, 54, 22}, {3, 35, 11, 43, 1, 33, 9, 41},   {51, 19, 59, 27, 49, 17, 57, 25},
      {15, 47, 7, 39, 13, 45, 5, 37},  {63, 31, 55, 23, 61, 29, 53, 21}};
  Bitmap& anten = a.Sheet("ImgAnten");
  for (int k = 0; k < 8; ++k)
    for (int y = 0; y < 32; ++y)
      for (int x = 0; x < 32; ++x)
        anten.Set(32 * k + x, y, (k == 7 || kBayer[y % 8][x % 8] < 8 * (k + 1)) ? 0u : 0xFFFFFFu);

  Bitmap& map0 = a.Sheet("ImgMap0");
  for (int k = 0; k < 3; ++k) PutOpaque(map0, Background(k), 32 * k, 0);
  for (int k = 0; k < 4; ++k) PutOpaque(map0, Block(k), 96 + 32 * k, 0);
  for (int k = 0; k < 2; ++k) PutOpaque(map0, Ice(k), 224 + 32 * k, 0);
  for (int k = 0; k < 2; ++k) PutOpaque(map0, NoJump(k), 288 + 32 * k, 0);

  Bitmap& map1 = a.Sheet("ImgMap1");
  const Cell cells[5] = {Ladder(0), Ladder(1), Door(), Jail(false), Jail(true)};
  for (int k = 0; k < 5; ++k) {
    PutImage(map1, cells[k], 32 * k, 0);
    PutMask(map1, cells[k], 32 * k, 32);
  }
  a.cells["Door"] = cells[2];
}

}  // namespace artgen
