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
#include <list>
#include <map>
#include <memory>
#include <string>
#include <unordered_map>
#include <vector>
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

// A string's ink as drawn once in its font and cell height: the glyph pixels as runs per row,
// relative to the text's top-left corner. The colour is not part of it; it is applied when the
// runs are copied in, so one rendering serves every colour the string is drawn in.
struct TextInk {
  struct Span {
    int16_t row, x0, len;
  };
  int left = 0, top = 0, w = 0, h = 0;
  std::vector<Span> spans;
  size_t Bytes() const { return sizeof(TextInk) + spans.capacity() * sizeof(Span); }
};

TextInk Render(const FontEntry& fe, int cellHeight, const QString& text) {
  TextInk ink;
  // The glyphs' ink may reach outside the advance box (overhangs); cover both.
  const QRect box = fe.metrics.boundingRect(text);
  const int left = std::min(0, box.left());
  const int right = std::max(fe.metrics.horizontalAdvance(text), box.right() + 1);
  const int top = std::min(0, fe.ascent + box.top());
  const int bottom = std::max(cellHeight, fe.ascent + box.bottom() + 1);
  const int w = right - left, h = bottom - top;
  if (w <= 0 || h <= 0 || w > INT16_MAX || h > INT16_MAX) return ink;
  ink.left = left;
  ink.top = top;
  ink.w = w;
  ink.h = h;
  QImage buf(w, h, QImage::Format_Alpha8);
  buf.fill(0);
  {
    QPainter p(&buf);
    p.setFont(fe.font);
    p.setPen(Qt::black);
    p.drawText(-left, fe.ascent - top, text);
  }
  for (int r = 0; r < h; ++r) {
    const uchar* s = buf.constScanLine(r);
    for (int c = 0; c < w;) {
      if (s[c] < 128) {
        ++c;
        continue;
      }
      const int c0 = c;
      while (c < w && s[c] >= 128) ++c;
      ink.spans.push_back({int16_t(r), int16_t(c0), int16_t(c - c0)});
    }
  }
  ink.spans.shrink_to_fit();
  return ink;
}

// The scenes draw the same few strings every frame: each is rendered once and copied in after.
// Bounded by entries and bytes; the string drawn least recently goes first.
constexpr size_t kTextCacheEntries = 512;
constexpr size_t kTextCacheBytes = 2u << 20;

struct TextCache {
  using Order = std::list<std::pair<std::string, TextInk>>;
  Order order;  // most recent first
  std::unordered_map<std::string_view, Order::iterator> index;
  size_t bytes = 0;
  uint64_t renders = 0;
};

TextCache& Cache() {
  static auto& cache = *new TextCache;
  return cache;
}

const TextInk& RenderedText(const std::string& fontName, int cellHeight, std::string_view utf8) {
  TextCache& c = Cache();
  std::string key;
  key.reserve(fontName.size() + utf8.size() + 8);
  key.append(fontName).push_back('\0');
  key.append(std::to_string(cellHeight)).push_back('\0');
  key.append(utf8);
  if (auto it = c.index.find(key); it != c.index.end()) {
    c.order.splice(c.order.begin(), c.order, it->second);
    return it->second->second;
  }
  const FontEntry& fe = EntryFor(fontName, cellHeight);
  TextInk ink = Render(fe, cellHeight, FromUtf8(utf8));
  ++c.renders;
  const size_t size = ink.Bytes() + 2 * key.size() + 64;
  c.order.emplace_front(std::move(key), std::move(ink));
  c.index.emplace(c.order.front().first, c.order.begin());
  c.bytes += size;
  while (c.order.size() > 1 && (c.order.size() > kTextCacheEntries || c.bytes > kTextCacheBytes)) {
    auto& last = c.order.back();
    c.bytes -= last.second.Bytes() + 2 * last.first.size() + 64;
    c.index.erase(last.first);
    c.order.pop_back();
  }
  return c.order.front().second;
}

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
  const TextInk& ink = RenderedText(fontName, cellHeight, utf8);
  // Skip the copy when the text box lies wholly outside the bitmap.
  if (ink.w <= 0 || x + ink.left + ink.w <= 0 || y + ink.top + ink.h <= 0 || x + ink.left >= dst.width ||
      y + ink.top >= dst.height)
    return;
  for (const TextInk::Span& s : ink.spans) {
    const int dy = y + ink.top + s.row;
    if (dy < 0 || dy >= dst.height) continue;
    const int d0 = std::max(0, x + ink.left + s.x0), d1 = std::min(dst.width, x + ink.left + s.x0 + s.len);
    uint32_t* d = dst.Row(dy);
    for (int c = d0; c < d1; ++c) d[c] = colour;
  }
}

TextCacheStats TextCacheState() {
  const TextCache& c = Cache();
  return TextCacheStats{c.order.size(), c.bytes, c.renders};
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
