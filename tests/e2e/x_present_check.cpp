// The form's present in a real X window: every picture the window shows, read back by another
// client right after each present, is one whole presented frame (never part of one and part of
// the next), and the last one stays, exposes included. Usage: x_present_check (needs DISPLAY).
#include <QApplication>
#include <QElapsedTimer>

#include <xcb/xcb.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "platform/api/bitmap.h"
#include "platform/qt/qt_form.h"

namespace {

constexpr uint32_t kBack = 0x00204060;
// Changed places far apart: corners, the middle, a long thin band.
constexpr struct { int x, y, w, h; } kSpots[] = {
    {0, 0, 5, 5}, {635, 475, 5, 5}, {300, 200, 40, 32}, {10, 400, 600, 2}, {600, 10, 33, 70}};

uint32_t ColourOf(int k) { return 0x00010101u * uint32_t(k % 200 + 20); }

void Paint(plat::Bitmap& b, int k) {
  for (const auto& s : kSpots)
    for (int y = s.y; y < s.y + s.h; ++y)
      for (int x = s.x; x < s.x + s.w; ++x) b.Set(x, y, ColourOf(k));
}

void Wait(int ms) {
  QElapsedTimer t;
  t.start();
  while (t.elapsed() < ms) QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
}

// The window's pixels as another client reads them; 0xRRGGBB each.
std::vector<uint32_t> Read(xcb_connection_t* c, xcb_window_t w) {
  xcb_get_image_reply_t* img =
      xcb_get_image_reply(c, xcb_get_image(c, XCB_IMAGE_FORMAT_Z_PIXMAP, w, 0, 0, 640, 480, ~0u), nullptr);
  std::vector<uint32_t> px;
  if (img && xcb_get_image_data_length(img) == 640 * 480 * 4) {
    px.resize(640 * 480);
    std::memcpy(px.data(), xcb_get_image_data(img), px.size() * 4);
    for (uint32_t& p : px) p &= 0xFFFFFF;
  }
  std::free(img);
  return px;
}

// Our 0x00BBGGRR as the window holds it.
uint32_t Shown(uint32_t c) { return ((c & 0xFF) << 16) | (c & 0xFF00) | ((c >> 16) & 0xFF); }

// Which frame the read-back picture is: every spot of one colour and the rest as it was; -1 else.
int FrameOf(const std::vector<uint32_t>& px) {
  if (px.empty()) return -1;
  const uint32_t first = px[0];
  std::vector<bool> spot(px.size());
  for (const auto& s : kSpots)
    for (int y = s.y; y < s.y + s.h; ++y)
      for (int x = s.x; x < s.x + s.w; ++x) spot[size_t(y) * 640 + x] = true;
  for (size_t i = 0; i < px.size(); ++i)
    if (px[i] != (spot[i] ? first : Shown(kBack))) return -1;
  return int((first & 0xFF) - 20);
}

}  // namespace

int main(int argc, char** argv) {
  qputenv("QT_QPA_PLATFORM", "xcb");
  QApplication app(argc, argv);
  plat::QtForm form;
  form.show();
  Wait(500);
  xcb_connection_t* c = xcb_connect(nullptr, nullptr);
  if (xcb_connection_has_error(c)) {
    std::puts("FAIL: no X connection");
    return 1;
  }
  const xcb_window_t win = static_cast<xcb_window_t>(form.winId());
  plat::Bitmap b(640, 480, kBack);
  int failures = 0, late = 0;
  const int frames = 150;
  for (int k = 0; k < frames; ++k) {
    Paint(b, k);
    form.Present(b);
    if (k == 0) {
      Wait(200);
      if (!form.PresentsDirect()) std::puts("note: the window is painted through Qt");
    }
    const int seen = FrameOf(Read(c, win));
    if (seen < 0) {
      if (++failures <= 5) std::printf("FAIL: after present %d the window shows no whole frame\n", k);
    } else if (seen != k % 200) {
      ++late;  // the server had not drawn the newest yet: an older whole frame is fine
    }
    QCoreApplication::processEvents();
  }
  Wait(100);
  const int last = FrameOf(Read(c, win));
  if (last != (frames - 1) % 200) {
    std::printf("FAIL: the window shows frame %d at the end, not %d\n", last, frames - 1);
    ++failures;
  }
  // Covered by another window and uncovered: the exposed part shows the last frame, not the
  // older picture the toolkit painted itself.
  QWidget cover;
  cover.setGeometry(form.geometry());
  cover.show();
  Wait(300);
  cover.hide();
  Wait(300);
  const int exposed = FrameOf(Read(c, win));
  if (exposed != (frames - 1) % 200) {
    std::printf("FAIL: after an expose the window shows frame %d, not %d\n", exposed, frames - 1);
    ++failures;
  }
  xcb_disconnect(c);
  std::printf("%d presents, %d read back a frame behind, %d failures\n", frames, late, failures);
  if (failures) return 1;
  std::puts("PASS: every read-back picture was one whole frame");
  return 0;
}
