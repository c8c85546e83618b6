// X shared-memory present: two segments taken in turn, each reused only after the server has
// said it finished reading it, so a present never waits on the server and never tears.
#include "platform/qt/x_shm_present.h"

#include <poll.h>
#include <sys/ipc.h>
#include <sys/shm.h>
#include <xcb/shm.h>
#include <xcb/xcb.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>

namespace plat {

namespace {

struct Segment {
  xcb_shm_seg_t id = 0;
  uint8_t* mem = nullptr;
  bool attached = false;
  bool busy = false;  // the server may still read it
};

// The window's visual must hold 0xRRGGBB in 32-bit little-endian pixels, as RGB32 does.
bool PixelsMatch(xcb_connection_t* c, xcb_window_t win, uint8_t& depth) {
  xcb_get_geometry_reply_t* geo = xcb_get_geometry_reply(c, xcb_get_geometry(c, win), nullptr);
  xcb_get_window_attributes_reply_t* attr =
      xcb_get_window_attributes_reply(c, xcb_get_window_attributes(c, win), nullptr);
  bool ok = false;
  if (geo && attr) {
    depth = geo->depth;
    const xcb_setup_t* setup = xcb_get_setup(c);
    bool format = false;
    for (auto f = xcb_setup_pixmap_formats_iterator(setup); f.rem; xcb_format_next(&f))
      if (f.data->depth == depth && f.data->bits_per_pixel == 32) format = true;
    bool visual = false;
    for (auto s = xcb_setup_roots_iterator(setup); s.rem; xcb_screen_next(&s))
      for (auto d = xcb_screen_allowed_depths_iterator(s.data); d.rem; xcb_depth_next(&d))
        for (auto v = xcb_depth_visuals_iterator(d.data); v.rem; xcb_visualtype_next(&v))
          if (v.data->visual_id == attr->visual && v.data->red_mask == 0xFF0000 && v.data->green_mask == 0xFF00 &&
              v.data->blue_mask == 0xFF)
            visual = true;
    ok = format && visual && (depth == 24 || depth == 32) && setup->image_byte_order == XCB_IMAGE_ORDER_LSB_FIRST;
  }
  std::free(geo);
  std::free(attr);
  return ok;
}

}  // namespace

// 0x00BBGGRR to the window's 0xFFRRGGBB, eight pixels a step where the machine has vectors
// (the compiler does not vectorize this loop at our optimization level by itself).
void ToWindowPixels(const uint32_t* src, uint32_t* dst, int n) {
  using V = uint32_t __attribute__((vector_size(32)));
  constexpr int kLanes = sizeof(V) / sizeof(uint32_t);
  int i = 0;
  for (; i + kLanes <= n; i += kLanes) {
    V c;
    std::memcpy(&c, src + i, sizeof c);
    const V out = 0xFF000000u | ((c & 0xFFu) << 16) | (c & 0xFF00u) | ((c >> 16) & 0xFFu);
    std::memcpy(dst + i, &out, sizeof out);
  }
  for (; i < n; ++i) {
    const uint32_t c = src[i];
    dst[i] = 0xFF000000u | ((c & 0xFFu) << 16) | (c & 0xFF00u) | ((c >> 16) & 0xFFu);
  }
}

struct XShmPresenter::Impl {
  xcb_connection_t* c = nullptr;
  xcb_window_t win = 0;
  xcb_gcontext_t gc = 0;
  uint8_t depth = 24;
  uint8_t completion = 0;
  int width = 0, height = 0;
  Segment seg[2];
  int next = 0;
  std::vector<xcb_rectangle_t> clip;

  ~Impl() {
    if (!c) return;
    for (Segment& s : seg) {
      if (s.attached) xcb_shm_detach(c, s.id);
      if (s.mem) shmdt(s.mem);
    }
    if (gc) xcb_free_gc(c, gc);
    xcb_disconnect(c);
  }

  bool failed = false;

  void Completed(xcb_generic_event_t* ev) {
    // An error: a put that was refused never completes (the window is gone, say).
    if (ev->response_type == 0) failed = true;
    if ((ev->response_type & 0x7F) != completion) return;
    const auto* done = reinterpret_cast<xcb_shm_completion_event_t*>(ev);
    for (Segment& s : seg)
      if (s.id == done->shmseg) s.busy = false;
  }

  // A free segment; waits only when the server still reads both (it has not kept up with two
  // presents), and not for long. Null when the connection has failed.
  Segment* Free() {
    for (int waits = 0;;) {
      while (xcb_generic_event_t* ev = xcb_poll_for_event(c)) {
        Completed(ev);
        std::free(ev);
      }
      if (failed || xcb_connection_has_error(c)) return nullptr;
      for (int i = 0; i < 2; ++i) {
        Segment& s = seg[(next + i) % 2];
        if (!s.busy) {
          next = (next + i + 1) % 2;
          return &s;
        }
      }
      pollfd fd{xcb_get_file_descriptor(c), POLLIN, 0};
      if (++waits > 20 || poll(&fd, 1, 10) < 0) return nullptr;
    }
  }
};

XShmPresenter::XShmPresenter(std::unique_ptr<Impl> impl) : impl_(std::move(impl)) {}
XShmPresenter::~XShmPresenter() = default;

std::unique_ptr<XShmPresenter> XShmPresenter::Open(uintptr_t window, int width, int height) {
  if (window == 0 || width <= 0 || height <= 0) return nullptr;
  auto impl = std::make_unique<Impl>();
  impl->c = xcb_connect(nullptr, nullptr);
  if (xcb_connection_has_error(impl->c)) return nullptr;
  const xcb_query_extension_reply_t* shm = xcb_get_extension_data(impl->c, &xcb_shm_id);
  if (!shm || !shm->present) return nullptr;
  impl->win = static_cast<xcb_window_t>(window);
  impl->width = width;
  impl->height = height;
  impl->completion = shm->first_event + XCB_SHM_COMPLETION;
  if (!PixelsMatch(impl->c, impl->win, impl->depth)) return nullptr;
  const size_t bytes = size_t(width) * size_t(height) * 4;
  for (Segment& s : impl->seg) {
    const int id = shmget(IPC_PRIVATE, bytes, IPC_CREAT | 0600);
    if (id < 0) return nullptr;
    void* mem = shmat(id, nullptr, 0);
    if (mem == reinterpret_cast<void*>(-1)) {
      shmctl(id, IPC_RMID, nullptr);
      return nullptr;
    }
    s.mem = static_cast<uint8_t*>(mem);
    s.id = xcb_generate_id(impl->c);
    xcb_generic_error_t* err = xcb_request_check(impl->c, xcb_shm_attach_checked(impl->c, s.id, id, 1));
    // Gone once both sides have let go of it, even if we end abruptly.
    shmctl(id, IPC_RMID, nullptr);
    if (err) {  // a server on another machine, or one that may not see our memory
      std::free(err);
      return nullptr;
    }
    s.attached = true;
  }
  impl->gc = xcb_generate_id(impl->c);
  const uint32_t noExposures = 0;
  xcb_create_gc(impl->c, impl->gc, impl->win, XCB_GC_GRAPHICS_EXPOSURES, &noExposures);
  xcb_flush(impl->c);
  if (xcb_connection_has_error(impl->c)) return nullptr;
  return std::unique_ptr<XShmPresenter>(new XShmPresenter(std::move(impl)));
}

bool XShmPresenter::Present(const uint32_t* pixels, const std::vector<QRect>& rects) {
  Impl& m = *impl_;
  if (rects.empty()) return true;
  Segment* s = m.Free();
  if (!s) return false;
  const size_t stride = size_t(m.width) * 4;
  QRect box;
  m.clip.clear();
  for (const QRect& r0 : rects) {
    const QRect r = r0 & QRect(0, 0, m.width, m.height);
    if (r.isEmpty()) continue;
    for (int y = r.top(); y <= r.bottom(); ++y) {
      const uint32_t* src = pixels + size_t(y) * size_t(m.width) + r.left();
      auto* dst = reinterpret_cast<uint32_t*>(s->mem + y * stride) + r.left();
      ToWindowPixels(src, dst, r.width());
    }
    m.clip.push_back({int16_t(r.left()), int16_t(r.top()), uint16_t(r.width()), uint16_t(r.height())});
    box |= r;
  }
  if (box.isEmpty()) return true;
  // One put of the bounding box, clipped to the rectangles: only they are drawn, all at once.
  xcb_set_clip_rectangles(m.c, XCB_CLIP_ORDERING_UNSORTED, m.gc, 0, 0, uint32_t(m.clip.size()), m.clip.data());
  xcb_shm_put_image(m.c, m.win, m.gc, uint16_t(m.width), uint16_t(m.height), int16_t(box.left()),
                    int16_t(box.top()), uint16_t(box.width()), uint16_t(box.height()), int16_t(box.left()),
                    int16_t(box.top()), m.depth, XCB_IMAGE_FORMAT_Z_PIXMAP, 1, s->id, 0);
  s->busy = true;
  xcb_flush(m.c);
  return !xcb_connection_has_error(m.c);
}

}  // namespace plat
