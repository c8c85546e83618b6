// The title pictures, the logo and its ribbon, the bottom strips, the "STAGE CLEAR" banner and the
// fireworks. Menu texts are baked in with the game's own text routine so the lit text lands on them.
#include <algorithm>
#include <cmath>
#include <cstdint>
#include <random>

#include "platform/qtgfx/qt_gfx.h"
#include "tools/artgen/art.h"
#include "tools/artgen/layout.h"

namespace artgen {
namespace {

const QColor kInk = Hex(0x1a1426);
const char* kMenuFont = "ＭＳ 明朝";

void Text(Bitmap& b, int size, uint32_t colour, int x, int y, const char* s) {
  plat::qtgfx::DrawText(b, kMenuFont, CellHeightFor(size), colour, x, y, s);
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

// A paper lantern at (x, y) of height h, glowing.
void Lantern(QPainter& p, double x, double y, double h, double tilt) {
  p.save();
  p.translate(x, y);
  p.rotate(tilt);
  const double w = h * 0.8;
  QRadialGradient halo(QPointF(0, 0), h * 1.3);
  halo.setColorAt(0, QColor(255, 190, 90, 120));
  halo.setColorAt(1, QColor(255, 160, 60, 0));
  p.setPen(Qt::NoPen);
  p.setBrush(halo);
  p.drawEllipse(QPointF(0, 0), h * 1.3, h * 1.3);
  QPainterPath body;
  body.moveTo(-w * 0.3, -h * 0.5);
  body.cubicTo(-w * 0.75, -h * 0.35, -w * 0.75, h * 0.35, -w * 0.3, h * 0.5);
  body.lineTo(w * 0.3, h * 0.5);
  body.cubicTo(w * 0.75, h * 0.35, w * 0.75, -h * 0.35, w * 0.3, -h * 0.5);
  body.closeSubpath();
  QRadialGradient fill(QPointF(0, h * 0.05), w * 0.7);
  fill.setColorAt(0, QColor(255, 244, 190));
  fill.setColorAt(0.6, QColor(255, 170, 80));
  fill.setColorAt(1, QColor(220, 100, 50));
  p.setPen(QPen(QColor(120, 50, 30), std::max(1.0, h * 0.05)));
  p.setBrush(fill);
  p.drawPath(body);
  p.setBrush(QColor(90, 50, 40));
  p.drawRoundedRect(QRectF(-w * 0.32, -h * 0.6, w * 0.64, h * 0.14), 1.5, 1.5);
  p.drawRoundedRect(QRectF(-w * 0.32, h * 0.46, w * 0.64, h * 0.14), 1.5, 1.5);
  p.restore();
}

Bitmap TitleUpper() {
  QImage img(640, 480, QImage::Format_RGB32);
  QPainter p(&img);
  p.setRenderHint(QPainter::Antialiasing, true);
  QLinearGradient sky(0, 0, 0, 380);
  sky.setColorAt(0, QColor(16, 20, 58));
  sky.setColorAt(0.55, QColor(44, 36, 98));
  sky.setColorAt(1, QColor(104, 62, 124));
  p.fillRect(0, 0, 640, 480, sky);
  std::mt19937 rng(20261210);
  std::uniform_real_distribution<double> ux(0, 640), uy(0, 330), ur(0.6, 1.6);
  for (int i = 0; i < 140; ++i) {
    const double x = ux(rng), y = uy(rng), r = ur(rng);
    if (x > 290 && x < 350 && y > 40 && y < 100) continue;  // keep the hidden sprite's cell calm
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(220, 226, 255, int(120 + 80 * (r - 0.6))));
    p.drawEllipse(QPointF(x, y), r, r);
  }
  for (auto [x, y, r] : {std::tuple{70.0, 60.0, 5.0}, {250.0, 30.0, 4.0}, {600.0, 40.0, 4.5}, {40.0, 250.0, 4.0}})
    Glint(p, x, y, r, QColor(255, 250, 220));
  // The moon.
  QRadialGradient moonHalo(QPointF(165, 150), 130);
  moonHalo.setColorAt(0, QColor(255, 240, 200, 90));
  moonHalo.setColorAt(1, QColor(255, 240, 200, 0));
  p.setBrush(moonHalo);
  p.drawEllipse(QPointF(165, 150), 130, 130);
  p.setBrush(QColor(255, 244, 206));
  p.drawEllipse(QPointF(165, 150), 68, 68);
  p.setBrush(QColor(240, 226, 180));
  p.drawEllipse(QPointF(140, 130), 12, 10);
  p.drawEllipse(QPointF(190, 175), 16, 13);
  p.drawEllipse(QPointF(185, 118), 7, 6);
  // The witch on her broom across the moon, in silhouette: riding right and a little upwards,
  // hat tip, hair and cape blown back, bristles trailing sparkles.
  {
    const QColor ink(40, 28, 70);
    p.save();
    p.translate(176, 160);
    p.rotate(-10);
    p.scale(0.86, 0.86);
    p.setPen(Qt::NoPen);
    p.setBrush(ink);
    auto stroke = [&](std::initializer_list<QPointF> pts, double w) {
      QPainterPath path;
      bool first = true;
      for (const QPointF& q : pts) {
        if (first) path.moveTo(q); else path.lineTo(q);
        first = false;
      }
      p.save();
      p.setPen(QPen(ink, w, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
      p.setBrush(Qt::NoBrush);
      p.drawPath(path);
      p.restore();
    };
    auto poly = [&](std::initializer_list<QPointF> pts) {
      p.drawPolygon(QPolygonF(QList<QPointF>(pts)));
    };
    // Broom: handle, binding and a fan of bristles with ragged tips.
    stroke({{-40, 2}, {60, -2.5}}, 3.4);
    p.drawRoundedRect(QRectF(-42, -4.5, 6, 11), 1.5, 1.5);
    poly({{-38, -2.5}, {-58, -9}, {-78, -13}, {-71, -6.5}, {-81, -3}, {-72, 1}, {-82, 5}, {-72, 8.5},
          {-78, 15}, {-58, 11}, {-38, 5}});
    // Cape streaming back from the shoulders, two points fluttering.
    QPainterPath cape;
    cape.moveTo(2, -35);
    cape.cubicTo(-10, -37, -22, -33, -34, -26);
    cape.lineTo(-27, -22);
    cape.lineTo(-38, -14);
    cape.cubicTo(-28, -14, -18, -15, -10, -12);
    cape.lineTo(0, -18);
    cape.closeSubpath();
    p.drawPath(cape);
    // Skirt over the broom, hem blown back.
    QPainterPath skirt;
    skirt.moveTo(-4, -20);
    skirt.lineTo(8, -21);
    skirt.cubicTo(12, -12, 15, -4, 16, 1);
    skirt.cubicTo(8, 5, 0, 7, -8, 9);
    skirt.lineTo(-14, 5);
    skirt.lineTo(-22, 6);
    skirt.cubicTo(-16, -2, -10, -12, -4, -20);
    p.drawPath(skirt);
    // Torso leaning into the ride.
    poly({{-5, -18}, {-2, -31}, {5, -37}, {12, -34}, {10, -19}});
    // Legs over the broom, pointed boots.
    stroke({{4, -3}, {17, 0}, {18, 14}}, 4.6);
    poly({{15, 11.5}, {21, 13}, {28, 15}, {22, 18.5}, {15, 17.5}});
    stroke({{0, 0}, {11, 3}, {8, 14}}, 4.0);
    poly({{5.5, 12}, {12, 14}, {17, 16}, {11, 18}, {5.5, 17}});
    // The arm reaching forward to grip the handle.
    stroke({{8, -31}, {19, -20}, {29, -5}}, 5.0);
    p.drawEllipse(QPointF(29.5, -3.5), 3.0, 3.0);
    // Head with a small nose and chin, long hair blowing back in three locks.
    p.drawEllipse(QPointF(12, -42), 7.4, 7.4);
    p.drawEllipse(QPointF(9, -36), 4.5, 4.5);  // neck and shoulder
    poly({{18.2, -44}, {21.8, -41}, {18.4, -39.2}});
    QPainterPath hair;
    hair.moveTo(8, -48);
    hair.cubicTo(-4, -49, -14, -46, -26, -44);
    hair.lineTo(-19, -41);
    hair.lineTo(-31, -37);
    hair.lineTo(-20, -35.5);
    hair.lineTo(-28, -30);
    hair.cubicTo(-16, -31, -4, -33, 6, -36);
    hair.closeSubpath();
    p.drawPath(hair);
    // Hat: a wide tilted brim and a tall cone whose tip bends back in the wind.
    p.save();
    p.translate(11, -48);
    p.rotate(-8);
    p.drawEllipse(QPointF(0, 0), 16.5, 3.3);
    p.restore();
    QPainterPath hat;  // back edge up, under the drooping tip, over its top, down the front
    hat.moveTo(1, -48);
    hat.cubicTo(2.5, -54, 3.2, -59, 2.6, -63);
    hat.cubicTo(-3, -66, -9, -69, -16, -74);
    hat.cubicTo(-9, -77, 0, -76, 5, -70);
    hat.cubicTo(9, -63, 14, -55, 19, -50);
    hat.closeSubpath();
    p.drawPath(hat);
    p.restore();
    // A trail of sparkles behind the bristles, past the moon's edge.
    for (auto [x, y, r] : {std::tuple{88.0, 183.0, 3.6}, {72.0, 192.0, 2.8}, {58.0, 197.0, 2.2}, {46.0, 206.0, 1.6}})
      Glint(p, x, y, r, QColor(255, 238, 170));
  }
  // Distant lanterns rising.
  const double lant[][4] = {{60, 330, 16, -6}, {110, 270, 22, 4}, {240, 300, 18, -3}, {270, 215, 12, 6},
                            {45, 170, 11, 0},  {300, 130, 9, -5}, {215, 60, 8, 3},   {345, 345, 14, 5},
                            {620, 300, 10, -4}, {600, 200, 8, 2}, {30, 400, 12, 3}};
  for (const auto& l : lant) Lantern(p, l[0], l[1], l[2], l[3]);
  // Hills and the town.
  QPainterPath far;
  far.moveTo(0, 372);
  far.cubicTo(120, 330, 220, 350, 330, 372);
  far.cubicTo(430, 392, 520, 340, 640, 350);
  far.lineTo(640, 480);
  far.lineTo(0, 480);
  far.closeSubpath();
  p.setBrush(QColor(46, 44, 92));
  p.drawPath(far);
  p.setBrush(QColor(34, 30, 70));
  for (auto [x, w, h] : {std::tuple{40.0, 26.0, 40.0}, {72.0, 20.0, 28.0}, {98.0, 30.0, 50.0}, {134.0, 22.0, 34.0},
                         {162.0, 28.0, 44.0}, {196.0, 18.0, 26.0}}) {
    p.drawRect(QRectF(x, 370 - h, w, h + 40));
    QPainterPath roof;
    roof.moveTo(x - 3, 370 - h);
    roof.lineTo(x + w / 2, 370 - h - w * 0.6);
    roof.lineTo(x + w + 3, 370 - h);
    roof.closeSubpath();
    p.drawPath(roof);
  }
  p.setBrush(QColor(255, 210, 120));
  for (auto [x, y] : {std::pair{48.0, 345.0}, {58.0, 358.0}, {106.0, 330.0}, {118.0, 345.0}, {140.0, 350.0},
                      {170.0, 338.0}, {180.0, 355.0}, {104.0, 356.0}})
    p.drawRect(QRectF(x, y, 4, 5));
  QPainterPath near;
  near.moveTo(0, 420);
  near.cubicTo(160, 385, 300, 430, 420, 412);
  near.cubicTo(520, 398, 590, 405, 640, 398);
  near.lineTo(640, 480);
  near.lineTo(0, 480);
  near.closeSubpath();
  QLinearGradient nearFill(0, 390, 0, 480);
  // Mid tone at the bottom, under the overlay corner (black text in the opening, white later).
  nearFill.setColorAt(0, QColor(40, 48, 92));
  nearFill.setColorAt(1, QColor(100, 100, 150));
  p.setBrush(nearFill);
  p.drawPath(near);
  p.end();
  return FromQImage(img);
}

// The logo "ぷかぷか☆らんぷ": two lines of chunky outlined letters, rows 84..121 left for the ribbon.
Cell Logo() {
  const int w = 223, h = 221;
  QImage hi = NewHi(w, h);
  QPainter p;
  BeginHi(p, hi);
  QFont f(QString::fromStdString(plat::qtgfx::FaceFor("ＭＳ Ｐゴシック")));
  auto line = [&](const QString& s, double size, double cy, QColor top, QColor bottom) {
    f.setPixelSize(int(size));
    QPainterPath path;
    path.addText(0, 0, f, s);
    QRectF r = path.boundingRect();
    const double fit = std::min(1.0, (w - 14.0) / r.width());
    path = QTransform::fromScale(fit, fit).map(path);
    r = path.boundingRect();
    path.translate(w / 2.0 - r.center().x(), cy - r.center().y());
    const QRectF b = path.boundingRect();
    p.setPen(QPen(kInk, 9, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.setBrush(kInk);
    p.drawPath(path);
    p.setPen(QPen(Qt::white, 4.5, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.drawPath(path);
    QLinearGradient g(0, b.top(), 0, b.bottom());
    g.setColorAt(0, top);
    g.setColorAt(1, bottom);
    p.setPen(Qt::NoPen);
    p.setBrush(g);
    p.drawPath(path);
    p.save();
    p.setClipPath(path);
    p.setBrush(QColor(255, 255, 255, 110));
    p.drawRect(QRectF(0, b.top(), w, b.height() * 0.3));
    p.restore();
  };
  line(QStringLiteral("ぷかぷか"), 66, 44, QColor(255, 150, 190), QColor(236, 70, 120));
  line(QStringLiteral("らんぷ"), 74, 170, QColor(255, 226, 110), QColor(246, 140, 40));
  // Stars beside the words.
  for (auto [x, y, r] : {std::tuple{14.0, 146.0, 13.0}, {208.0, 132.0, 10.0}, {205.0, 12.0, 8.0}}) {
    p.setPen(QPen(kInk, 3.5, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.setBrush(QColor(255, 240, 110));
    p.drawPath(StarPath(x, y, r, r * 0.45));
  }
  p.end();
  return Reduce(hi, w, h);
}

// The ribbon that settles over the logo's middle band.
Cell Ribbon() {
  const int w = 196, h = 38;
  QImage hi = NewHi(w, h);
  QPainter p;
  BeginHi(p, hi);
  p.setPen(QPen(kInk, 1.6, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
  for (int side = 0; side < 2; ++side) {  // folded tails
    QPainterPath t;
    const double x0 = side ? w - 1.5 : 1.5, d = side ? -1 : 1;
    t.moveTo(x0, 12);
    t.lineTo(x0 + d * 26, 12);
    t.lineTo(x0 + d * 26, 34);
    t.lineTo(x0, 34);
    t.lineTo(x0 + d * 8, 23);
    t.closeSubpath();
    p.setBrush(QColor(60, 110, 190));
    p.drawPath(t);
  }
  QPainterPath band;
  band.moveTo(18, 5);
  band.quadTo(w / 2.0, 0, w - 18, 5);
  band.lineTo(w - 18, 29);
  band.quadTo(w / 2.0, 24, 18, 29);
  band.closeSubpath();
  QLinearGradient g(0, 2, 0, 30);
  g.setColorAt(0, QColor(120, 190, 255));
  g.setColorAt(1, QColor(70, 130, 220));
  p.setBrush(g);
  p.drawPath(band);
  QFont f(QString::fromStdString(plat::qtgfx::FaceFor("ＭＳ 明朝")));
  f.setPixelSize(17);
  f.setBold(true);
  QPainterPath txt;
  txt.addText(0, 0, f, QStringLiteral("~ Floating Lamp ~"));
  const QRectF r = txt.boundingRect();
  txt.translate(w / 2.0 - r.center().x(), 16.5 - r.center().y());
  p.setPen(Qt::NoPen);
  p.setBrush(Qt::white);
  p.drawPath(txt);
  p.end();
  return Reduce(hi, w, h);
}

// A bar strip background: deep navy with a gold rim line.
void StripBase(Bitmap& s, int y) {
  for (int j = 0; j < 48; ++j) {
    const double t = j / 47.0;
    const int r = int(22 + 14 * t), g = int(20 + 10 * t), b = int(52 + 26 * t);
    FillRect(s, 0, y + j, 640, 1, Rgb(r, g, b));
  }
  FillRect(s, 0, y, 640, 2, Rgb(214, 170, 70));
  FillRect(s, 0, y + 2, 640, 1, Rgb(120, 90, 40));
}

void Diamond(Bitmap& s, int cx, int cy, int r, uint32_t c) {
  for (int j = -r; j <= r; ++j)
    for (int i = -r; i <= r; ++i)
      if (std::abs(i) + std::abs(j) <= r) s.Set(cx + i, cy + j, c);
}

void PickerStrip(Bitmap& s, int y, bool on, bool allClear) {
  StripBase(s, y);
  Text(s, 30, on ? kLit : kDim, 50, y + 5, "STAGE");
  Text(s, 30, kDim, 224, y + 5, "/");
  // Frames around the digits and the area name.
  FillRect(s, 176, y + 7, 48, 1, Rgb(90, 80, 140));
  FillRect(s, 176, y + 43, 48, 1, Rgb(90, 80, 140));
  FillRect(s, 318, y + 12, 130, 1, Rgb(70, 64, 120));
  FillRect(s, 318, y + 34, 130, 1, Rgb(70, 64, 120));
  if (!allClear) {
    // Labels right before the two counts the code draws at (557, 3) and (535, 32).
    Text(s, 10, kDim, 553 - plat::qtgfx::TextWidth(kMenuFont, CellHeightFor(10), "ALL"), y + 3, "ALL");
    Text(s, 12, kDim, 531 - plat::qtgfx::TextWidth(kMenuFont, CellHeightFor(12), "REST"), y + 32, "REST");
    Diamond(s, 612, y + 24, 4, on ? Rgb(255, 220, 120) : Rgb(150, 120, 60));
  } else {
    FillRect(s, 505, y + 3, 135, 45, Rgb(60, 30, 80));
    FillRect(s, 505, y + 3, 2, 45, Rgb(214, 170, 70));
    Text(s, 18, on ? Rgb(255, 230, 120) : Rgb(220, 150, 90), 520, y + 12, "ALL CLEAR!");
    Diamond(s, 512, y + 12, 3, on ? Rgb(255, 255, 200) : Rgb(150, 120, 60));
    Diamond(s, 632, y + 38, 3, on ? Rgb(255, 255, 200) : Rgb(150, 120, 60));
  }
}

// "STAGE CLEAR": the run-time letters themselves (size 40, white, at their landing X and Y 330,
// seen from the banner's origin (138, 340)), each clipped to its reveal slot, so the swap between
// the fading letter and the banner is seamless.
Bitmap Banner() {
  Bitmap b(379, 35, 0);
  for (int k = 0; k < 10; ++k) {
    const BannerSlot& s = kBannerSlots[k];
    Bitmap letter(379, 35, 0);
    const char text[2] = {s.letter, 0};
    Text(letter, 40, 0xFFFFFF, s.landX - 138, 330 - 340, text);
    CopyRect(b, s.x0, 0, letter, s.x0, 0, s.x1 - s.x0 + 1, 35);
  }
  return b;
}

Cell Burst(int f) {
  QImage hi = NewHi(60, 60);
  QPainter p;
  BeginHi(p, hi);
  // Twelve streaks with bright heads, an inner ring of second-colour sparks, fading outwards.
  const double r = 9 + f * 6.5;
  const QColor outer[4] = {QColor(255, 255, 235), QColor(255, 226, 110), QColor(255, 150, 80), QColor(240, 90, 150)};
  const QColor inner[4] = {QColor(255, 255, 255), QColor(150, 230, 255), QColor(170, 150, 255), QColor(200, 110, 240)};
  for (int k = 0; k < 12; ++k) {
    const double a = k * M_PI / 6 + f * 0.08;
    const double x = 30 + r * std::cos(a), y = 30 + r * std::sin(a);
    const double tail = 7 + f * 1.5;
    QLinearGradient g(QPointF(30 + (r - tail) * std::cos(a), 30 + (r - tail) * std::sin(a)), QPointF(x, y));
    QColor fade = outer[f];
    fade.setAlpha(0);
    g.setColorAt(0, fade);
    g.setColorAt(1, outer[f]);
    p.setPen(QPen(QBrush(g), 2.8 - f * 0.3, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(QPointF(30 + (r - tail) * std::cos(a), 30 + (r - tail) * std::sin(a)), QPointF(x, y));
    Glint(p, x, y, 4.2 - f * 0.6, f == 0 ? Qt::white : outer[f - 1]);
    if (f >= 1) {
      const double ri = r * 0.58, ai = a + M_PI / 12;
      Glint(p, 30 + ri * std::cos(ai), 30 + ri * std::sin(ai), 3.0 - f * 0.4, inner[f]);
    }
  }
  if (f == 0) Glint(p, 30, 30, 11, Qt::white);
  p.end();
  return Reduce(hi, 60, 60);
}

Cell Shell(int k) {
  QImage hi = NewHi(32, 32);
  QPainter p;
  BeginHi(p, hi);
  // A flare that swells, with a short flame tail, and flashes white at the last frame.
  const double grow = k / 6.0;
  const QColor hot = Mix(QColor(255, 170, 80), QColor(255, 250, 220), grow);
  p.setPen(QPen(QColor(255, 120, 60), 3.2 - grow, Qt::SolidLine, Qt::RoundCap));
  p.drawLine(QPointF(16, 16), QPointF(16, 30 - grow * 6));
  p.setPen(QPen(QColor(255, 230, 150), 1.6, Qt::SolidLine, Qt::RoundCap));
  p.drawLine(QPointF(16, 17), QPointF(16, 27 - grow * 6));
  p.setPen(Qt::NoPen);
  p.setBrush(QColor(255, 200, 110));
  p.drawEllipse(QPointF(16, 16), 3.4 + grow * 4, 3.4 + grow * 4);
  Glint(p, 16, 16, 6 + grow * 9, hot);
  p.setBrush(Qt::white);
  p.drawEllipse(QPointF(16, 16), 2.0 + grow * 2, 2.0 + grow * 2);
  p.end();
  return Reduce(hi, 32, 32);
}

Cell Flight(int k) {
  QImage hi = NewHi(32, 32);
  QPainter p;
  BeginHi(p, hi);
  if (k == 0) {  // the shooting star with its tail up and right
    QLinearGradient g(QPointF(10, 22), QPointF(30, 2));
    g.setColorAt(0, QColor(255, 250, 200));
    g.setColorAt(1, QColor(120, 160, 255, 0));
    p.setPen(QPen(QBrush(g), 4, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(QPointF(11, 21), QPointF(30, 3));
    p.setPen(QPen(QColor(20, 20, 40), 1.0));
    p.setBrush(QColor(255, 240, 120));
    p.drawPath(StarPath(10, 22, 7.5, 3.4, -90));
  } else {
    const double r = 10.0 - k * 1.0;
    const QColor c = Mix(QColor(255, 250, 210), QColor(140, 120, 255), (k - 1) / 6.0);
    Glint(p, 16, 16, r, c);
    p.setPen(Qt::NoPen);
    p.setBrush(Mix(c, Qt::white, 0.5));
    p.drawEllipse(QPointF(16, 16), 2.2 - k * 0.2, 2.2 - k * 0.2);
    if (k < 5) Glint(p, 24, 8, r * 0.45, c);
  }
  p.end();
  return Reduce(hi, 32, 32);
}

}  // namespace

void BuildTitle(Art& a) {
  Bitmap& title = a.Sheet("ImgTitle");
  const Bitmap upper = TitleUpper();
  CopyRect(title, 0, 0, upper, 0, 0, 640, 480);
  CopyRect(title, 0, 480, upper, 0, 0, 640, 480);

  Bitmap& logo = a.Sheet("ImgChar12");
  const Cell lg = Logo();
  PutImage(logo, lg, 0, 0);
  PutMask(logo, lg, 0, 221);
  Bitmap& lines = a.Sheet("ImgChar13");
  const Cell rb = Ribbon();
  PutImage(lines, rb, 0, 0);
  PutMask(lines, rb, 0, 38);
  // The lower picture is the opening's last frame: logo, ribbon, dim items.
  for (int j = 0; j < lg.h; ++j)
    for (int i = 0; i < lg.w; ++i)
      if (lg.On(i, j)) title.Set(363 + i, 480 + 37 + j, lg.At(i, j));
  for (int j = 0; j < rb.h; ++j)
    for (int i = 0; i < rb.w; ++i)
      if (rb.On(i, j)) title.Set(377 + i, 480 + 121 + j, rb.At(i, j));
  for (const auto& t : kBakedDim)
    if (std::string(t.sheet) == "ImgTitle") Text(title, t.size, kDim, t.x, t.y, t.text);

  Bitmap& strips = a.Sheet("ImgChar18");
  PickerStrip(strips, 0, false, false);
  PickerStrip(strips, 144, true, false);
  PickerStrip(strips, 192, false, true);
  PickerStrip(strips, 240, true, true);
  StripBase(strips, 48);
  StripBase(strips, 96);
  for (const auto& t : kBakedDim)
    if (std::string(t.sheet) == "ImgChar18" && t.y % 48 == 5 && (t.y / 48 == 1 || t.y / 48 == 2))
      Text(strips, t.size, kDim, t.x, t.y, t.text);

  Bitmap& banner = a.Sheet("ImgChar19");
  CopyRect(banner, 0, 0, Banner(), 0, 0, 379, 35);

  Bitmap& fw = a.Sheet("ImgChar20");
  for (int f = 0; f < 4; ++f) {
    const Cell b = Burst(f);
    PutImage(fw, b, 60 * f, 0);
    PutMask(fw, b, 60 * f, 60);
  }
  for (int k = 0; k < 7; ++k) {
    const Cell s = Shell(k);
    PutImage(fw, s, 32 * k, 120);
    PutMask(fw, s, 32 * k, 152);
  }
  for (int k = 0; k < 8; ++k) {
    const Cell s = Flight(k);
    PutImage(fw, s, 32 * k, 184);
    PutMask(fw, s, 32 * k, 216);
  }
}

}  // namespace artgen
