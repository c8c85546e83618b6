// Text, PNG files and embedded art through Qt Gui, converted to and from our 0x00BBGGRR bitmaps.
#include "platform/qtgfx/qt_gfx.h"

#include <QFont>
#include <QFontMetrics>
#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <QString>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <map>
#include <memory>
#include <utility>

namespace plat::qtgfx {
namespace {

struct FontEntry {
  QFont font;
  QFontMetrics metrics;
  int ascent = 0;
};

QFont MakeFont(const QString& family, int pixelSize) {
  QFont f(family);
  f.setPixelSize(pixelSize);
  f.setStyleStrategy(QFont::StyleStrategy(QFont::NoAntialias | QFont::PreferMatch));
  // Full hinting keeps every advance a whole pixel, so widths add up as the game lays text out.
  f.setHintingPreference(QFont::PreferFullHinting);
  f.setKerning(false);
  return f;
}

int CellOf(const QFont& f) {
  QFontMetrics m(f);
  return m.ascent() + m.descent();
}

// The requested height is the character cell (ascent + descent), not the em size: find the
// pixel size whose cell matches, else the largest whose cell still fits (never below 1).
QFont FontForCell(const QString& family, int cellHeight) {
  if (cellHeight < 1) cellHeight = 1;
  const int probe = std::max(cellHeight, 16);
  const double ratio = double(CellOf(MakeFont(family, probe))) / probe;
  int px = std::max(1, int(cellHeight / (ratio > 0 ? ratio : 1.0) + 0.5));
  int cell = CellOf(MakeFont(family, px));
  while (cell > cellHeight && px > 1) cell = CellOf(MakeFont(family, --px));
  while (cell < cellHeight) {
    const int next = CellOf(MakeFont(family, px + 1));
    if (next > cellHeight) break;
    ++px;
    cell = next;
  }
  return MakeFont(family, px);
}

const FontEntry& EntryFor(const std::string& fontName, int cellHeight) {
  // Never freed: fonts must not be destroyed after the application object at exit.
  static auto& cache = *new std::map<std::pair<std::string, int>, std::unique_ptr<FontEntry>>;
  auto key = std::make_pair(fontName, cellHeight);
  auto it = cache.find(key);
  if (it != cache.end()) return *it->second;
  EnsureGuiApplication();
  QFont f = FontForCell(QString::fromStdString(FaceFor(fontName)), cellHeight);
  QFontMetrics m(f);
  auto e = std::unique_ptr<FontEntry>(new FontEntry{f, m, m.ascent()});
  return *cache.emplace(key, std::move(e)).first->second;
}

QString FromUtf8(std::string_view s) { return QString::fromUtf8(s.data(), qsizetype(s.size())); }

// QImage RGB32 is 0xAARRGGBB; ours is 0x00BBGGRR.
inline uint32_t SwapRB(uint32_t c) {
  return ((c & 0xFF) << 16) | (c & 0xFF00) | ((c >> 16) & 0xFF);
}

bool FromQImage(const QImage& src, Bitmap& out) {
  if (src.isNull()) return false;
  const QImage img = src.convertToFormat(QImage::Format_RGB32);
  out.Resize(img.width(), img.height(), 0);
  for (int y = 0; y < img.height(); ++y) {
    const auto* s = reinterpret_cast<const uint32_t*>(img.constScanLine(y));
    uint32_t* d = out.Row(y);
    for (int x = 0; x < img.width(); ++x) d[x] = SwapRB(s[x]);
  }
  return true;
}

}  // namespace

void EnsureGuiApplication() {
  if (QCoreApplication::instance()) return;
  if (!qEnvironmentVariableIsSet("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  static int argc = 1;
  static char arg0[] = "plumet";
  static char* argv[] = {arg0, nullptr};
  // Never destroyed: Qt's own globals go first at exit and a static application would then
  // crash in its destructor.
  static QGuiApplication* app = new QGuiApplication(argc, argv);
  (void)app;
}

std::string FaceFor(const std::string& fontName) {
  if (fontName == "ＭＳ 明朝") return "IPAMincho";
  if (fontName == "ＭＳ Ｐゴシック") return "IPAPGothic";
  if (fontName == "ＭＳ ゴシック") return "IPAGothic";
  return fontName;
}

void DrawText(Bitmap& dst, const std::string& fontName, int cellHeight, uint32_t colour, int x, int y,
              std::string_view utf8) {
  if (utf8.empty() || dst.Empty()) return;
  const FontEntry& fe = EntryFor(fontName, cellHeight);
  const QString text = FromUtf8(utf8);
  // The glyphs' ink may reach outside the advance box (overhangs); cover both.
  const QRect ink = fe.metrics.boundingRect(text);
  const int left = std::min(0, ink.left());
  const int right = std::max(fe.metrics.horizontalAdvance(text), ink.right() + 1);
  const int top = std::min(0, fe.ascent + ink.top());
  const int bottom = std::max(cellHeight, fe.ascent + ink.bottom() + 1);
  const int w = right - left, h = bottom - top;
  if (w <= 0 || h <= 0) return;
  // Skip the painter when the text box lies wholly outside the bitmap.
  if (x + right <= 0 || y + bottom <= 0 || x + left >= dst.width || y + top >= dst.height) return;

  static QImage buf;
  if (buf.width() < w || buf.height() < h)
    buf = QImage(std::max(w, buf.width()), std::max(h, buf.height()), QImage::Format_Alpha8);
  for (int r = 0; r < h; ++r) std::memset(buf.scanLine(r), 0, size_t(w));
  {
    QPainter p(&buf);
    p.setClipRect(0, 0, w, h);
    p.setFont(fe.font);
    p.setPen(Qt::black);
    p.drawText(-left, fe.ascent - top, text);
  }
  for (int r = 0; r < h; ++r) {
    const int dy = y + top + r;
    if (dy < 0 || dy >= dst.height) continue;
    const uchar* s = buf.constScanLine(r);
    uint32_t* d = dst.Row(dy);
    const int c0 = std::max(0, -(x + left)), c1 = std::min(w, dst.width - (x + left));
    for (int c = c0; c < c1; ++c)
      if (s[c] >= 128) d[x + left + c] = colour;
  }
}

int TextWidth(const std::string& fontName, int cellHeight, std::string_view utf8) {
  if (utf8.empty()) return 0;
  return EntryFor(fontName, cellHeight).metrics.horizontalAdvance(FromUtf8(utf8));
}

bool LoadArt(const std::string& name, Bitmap& out) {
  EnsureGuiApplication();
  return FromQImage(QImage(QString::fromStdString(":/art/" + name + ".png")), out);
}

bool LoadPng(const std::string& path, Bitmap& out) {
  EnsureGuiApplication();
  return FromQImage(QImage(QString::fromStdString(path)), out);
}

bool SavePng(const std::string& path, const Bitmap& bmp) {
  if (bmp.Empty()) return false;
  QImage img(bmp.width, bmp.height, QImage::Format_RGB32);
  for (int y = 0; y < bmp.height; ++y) {
    auto* d = reinterpret_cast<uint32_t*>(img.scanLine(y));
    const uint32_t* s = bmp.Row(y);
    for (int x = 0; x < bmp.width; ++x) d[x] = 0xFF000000u | SwapRB(s[x]);
  }
  return img.save(QString::fromStdString(path), "PNG");
}

}  // namespace plat::qtgfx
