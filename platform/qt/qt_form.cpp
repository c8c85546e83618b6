// The game's main form on Qt: fixed client area, frame painting, keys, close request.
#include "platform/qt/qt_form.h"

#include <QApplication>
#include <QCloseEvent>
#include <QElapsedTimer>
#include <QKeyEvent>
#include <QPainter>
#include <QScreen>
#include <QWindow>

#include <xcb/xcb.h>

#include <algorithm>
#include <cstring>
#include <utility>

#include "platform/api/keys.h"
#include "platform/qt/qt_host.h"
#include "platform/qt/x_shm_present.h"

namespace plat {

namespace {

constexpr int kTileW = 32, kTileH = 8;

}  // namespace

QtForm::QtForm()
    : QWidget(nullptr, Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                           Qt::WindowSystemMenuHint | Qt::WindowMinimizeButtonHint |
                           Qt::WindowCloseButtonHint) {
  // The frame covers the whole client area: never clear it before painting.
  setAttribute(Qt::WA_OpaquePaintEvent);
  setAttribute(Qt::WA_NoSystemBackground);
  setFocusPolicy(Qt::StrongFocus);
  setFixedSize(clientSize_);
}

namespace {

// The changed part of a picture as rectangles of whole tiles: rows compared against the pixels
// last shown (with `gens`, only those written since: their write counts as they were then), a
// changed row in tile-wide pieces, and runs of changed tiles joined into rectangles (two small
// changes far apart stay two small rectangles).
void ChangedTiles(const Bitmap& frame, const uint32_t* shown, const uint32_t* gens, std::vector<QRect>& out) {
  out.clear();
  const int w = frame.width, h = frame.height;
  const int cols = (w + kTileW - 1) / kTileW;
  std::vector<bool> bandDirty(static_cast<size_t>(cols));
  // Runs of changed tiles: column span and top row, joined down while the same run repeats.
  struct Run {
    int c0, c1, top;
  };
  std::vector<Run> open, now;
  for (int band = 0; band * kTileH < h; ++band) {
    const int y0 = band * kTileH, y1 = std::min(h, y0 + kTileH);
    std::fill(bandDirty.begin(), bandDirty.end(), false);
    bool any = false;
    int dirty = 0;
    for (int y = y0; y < y1 && dirty < cols; ++y) {
      if (gens && frame.RowGen(y) == gens[y]) continue;
      const uint32_t* src = frame.Row(y);
      const uint32_t* old = shown + static_cast<size_t>(y) * w;
      // Tile by tile, and only the tiles not yet known changed in this band: where the whole
      // picture changes (a fade) a band costs one row's first pixels, not eight whole rows.
      for (int c = 0; c < cols; ++c) {
        if (bandDirty[c]) continue;
        const int x0 = c * kTileW, n = std::min(kTileW, w - x0);
        if (std::memcmp(src + x0, old + x0, sizeof(uint32_t) * n) != 0) {
          bandDirty[c] = any = true;
          ++dirty;
        }
      }
    }
    now.clear();
    if (any) {
      for (int c = 0; c < cols;) {
        if (!bandDirty[c]) {
          ++c;
          continue;
        }
        const int c0 = c;
        while (c < cols && bandDirty[c]) ++c;
        now.push_back({c0, c, y0});
      }
    }
    // A run the band above had too goes on; the others close there.
    for (Run& r : now)
      for (const Run& o : open)
        if (o.c0 == r.c0 && o.c1 == r.c1) r.top = o.top;
    for (const Run& o : open) {
      const bool goesOn =
          std::any_of(now.begin(), now.end(), [&](const Run& r) { return r.c0 == o.c0 && r.c1 == o.c1; });
      if (!goesOn) out.emplace_back(QPoint(o.c0 * kTileW, o.top), QPoint(std::min(w, o.c1 * kTileW) - 1, y0 - 1));
    }
    open.swap(now);
  }
  for (const Run& o : open)
    out.emplace_back(QPoint(o.c0 * kTileW, o.top), QPoint(std::min(w, o.c1 * kTileW) - 1, h - 1));
}

}  // namespace

QtForm::~QtForm() = default;

void QtForm::Present(const Bitmap& frame) {
  if (frame.Empty()) return;
  const int w = frame.width;
  const bool fresh = frame_.width() != w || frame_.height() != frame.height;
  if (fresh) {
    frame_ = QImage(w, frame.height, QImage::Format_RGB32);
    shownPx_.assign(frame.px.size(), 0);
    shownWhole_ = false;
    shm_.reset();
    shmTried_ = false;
  }
  // Only what changed since the last picture is converted and shown: most frames move a few
  // sprites. A row written since costs one memcmp against the pixels last shown; one not
  // written, nothing.
  if (fresh) {
    changed_.assign(1, QRect(0, 0, w, frame.height));
  } else {
    const bool same = frame.Serial() == shownSerial_ && shownGens_.size() == size_t(frame.height);
    ChangedTiles(frame, shownPx_.data(), same ? shownGens_.data() : nullptr, changed_);
  }
  shownSerial_ = frame.Serial();
  shownGens_.resize(size_t(frame.height));
  for (int y = 0; y < frame.height; ++y) shownGens_[size_t(y)] = frame.RowGen(y);
  for (const QRect& r : changed_)
    for (int y = r.top(); y <= r.bottom(); ++y)
      std::memcpy(shownPx_.data() + static_cast<size_t>(y) * w + r.left(), frame.Row(y) + r.left(),
                  sizeof(uint32_t) * r.width());
  // Shown at once: the game may sleep or block right after presenting. Inside the paint
  // handler the paint that follows draws the new frame anyway.
  if (inPaintHandler_ || !isVisible()) {
    ToQImage(changed_);
    shownWhole_ = false;
    return;
  }
  if (!shownWhole_ || fullScreen_) changed_.assign(1, rect());
  shownWhole_ = true;
  if (changed_.empty()) return;
  // The window shows the picture 1:1: straight to the X window when it can be had. Qt's copy
  // of the picture is then brought up to date only when Qt paints.
  if (!fullScreen_ && size() == frame_.size()) {
    const auto window = static_cast<uintptr_t>(winId());
    if (!shmTried_ || (shm_ && window != shmWindow_)) {  // a new native window: a new presenter
      shmTried_ = true;
      shmWindow_ = window;
      shm_.reset();
      if (QGuiApplication::platformName() == QLatin1String("xcb"))
        shm_ = XShmPresenter::Open(window, frame_.width(), frame_.height());
    }
    if (shm_) {
      if (shm_->Present(shownPx_.data(), changed_)) {
        frameStale_ = true;
        return;
      }
      shm_.reset();  // the connection failed: Qt paints from here on
    }
  }
  ToQImage(changed_);
  QRegion region;
  for (const QRect& r : changed_) region += r;
  presenting_ = true;
  repaint(region);
  presenting_ = false;
}

// Converts the shown pixels in `rects` into frame_, or all of them when frame_ has fallen behind.
void QtForm::ToQImage(const std::vector<QRect>& rects) {
  const int w = frame_.width();
  auto convert = [&](const QRect& r0) {
    const QRect r = r0 & frame_.rect();
    // On this thread, in one pass: a Qt conversion of a frame this size goes through its
    // thread pool, which costs far more in wake-ups than the swap itself.
    for (int y = r.top(); y <= r.bottom(); ++y)
      ToWindowPixels(shownPx_.data() + static_cast<size_t>(y) * w + r.left(),
                     reinterpret_cast<uint32_t*>(frame_.scanLine(y)) + r.left(), r.width());
  };
  if (frameStale_) {
    convert(frame_.rect());
    frameStale_ = false;
    return;
  }
  for (const QRect& r : rects) convert(r);
}

// An expose of a window we present to directly: Qt would show its own last painted picture
// there, so it paints the current one after.
bool QtForm::nativeEvent(const QByteArray& eventType, void* message, qintptr* result) {
  if (shm_ && eventType == "xcb_generic_event_t") {
    const auto* ev = static_cast<const xcb_generic_event_t*>(message);
    if ((ev->response_type & 0x7F) == XCB_EXPOSE) update();
  }
  return QWidget::nativeEvent(eventType, message, result);
}

void QtForm::paintEvent(QPaintEvent*) {
  // A paint the window system asked for (expose, restore) goes to the form's handler first.
  if (!presenting_ && !quiet_ && events_ && !inPaintHandler_) {
    inPaintHandler_ = true;
    events_->OnPaint();
    inPaintHandler_ = false;
  }
  if (frameStale_) ToQImage({});
  QPainter p(this);
  if (frame_.isNull()) {
    p.fillRect(rect(), Qt::white);
    return;
  }
  if (!fullScreen_ || size() == frame_.size()) {
    p.drawImage(0, 0, frame_);
    if (width() > frame_.width()) p.fillRect(frame_.width(), 0, width() - frame_.width(), height(), Qt::black);
    if (height() > frame_.height()) p.fillRect(0, frame_.height(), frame_.width(), height() - frame_.height(), Qt::black);
    return;
  }
  // Full screen: fill the screen with the picture, aspect kept, pixels not blended.
  const double scale = std::min(double(width()) / frame_.width(), double(height()) / frame_.height());
  const int w = int(frame_.width() * scale), h = int(frame_.height() * scale);
  const QRect target((width() - w) / 2, (height() - h) / 2, w, h);
  p.setRenderHint(QPainter::SmoothPixmapTransform, false);
  p.fillRect(0, 0, width(), target.top(), Qt::black);
  p.fillRect(0, target.bottom() + 1, width(), height() - target.bottom() - 1, Qt::black);
  p.fillRect(0, target.top(), target.left(), h, Qt::black);
  p.fillRect(target.right() + 1, target.top(), width() - target.right() - 1, h, Qt::black);
  p.drawImage(target, frame_);
}

// The window's close button. The form never closes by itself: the game asks whether to end
// and, on yes, runs its quit sequence, which hides the form and ends the program.
void QtForm::closeEvent(QCloseEvent* e) {
  e->ignore();
  // Inside a quiet wait the game is in the middle of a call of its own (activating the form,
  // switching the screen); its question may not run there. The request waits for the next
  // message processing (DeliverPendingClose).
  if (quiet_) {
    pendingClose_ = true;
    return;
  }
  AskToClose();
}

// Runs the game's close question once: a second close while its box is open (inClose_; the box
// processes messages) is dropped, as is any before the game has set its handlers.
void QtForm::AskToClose() {
  if (inClose_ || !events_) return;
  inClose_ = true;
  events_->OnCloseQuery();
  inClose_ = false;
}

// Called from the host's message processing, where the game's question may run again.
void QtForm::DeliverPendingClose() {
  if (!pendingClose_ || quiet_) return;
  pendingClose_ = false;
  AskToClose();
}

void QtForm::keyPressEvent(QKeyEvent* e) {
  const int vk = qthost::VirtualKeyFor(e->key());
  if (vk == 0) return QWidget::keyPressEvent(e);
  if (e->isAutoRepeat()) return;
  if (!down_[vk]) pressedSince_[vk] = true;
  down_[vk] = true;
}

void QtForm::keyReleaseEvent(QKeyEvent* e) {
  const int vk = qthost::VirtualKeyFor(e->key());
  if (vk == 0) return QWidget::keyReleaseEvent(e);
  if (e->isAutoRepeat()) return;
  down_[vk] = false;
}

// Release events never come to a window that has lost the keyboard.
void QtForm::focusOutEvent(QFocusEvent* e) {
  ReleaseAll();
  QWidget::focusOutEvent(e);
}

void QtForm::changeEvent(QEvent* e) {
  if (e->type() == QEvent::ActivationChange && !isActiveWindow()) ReleaseAll();
  QWidget::changeEvent(e);
}

void QtForm::ReleaseAll() { std::memset(down_, 0, sizeof down_); }

short QtForm::KeyState(int vk) {
  if (vk < 0 || vk > 255) return 0;
  short r = 0;
  if (down_[vk]) r |= kKeyDown;
  if (pressedSince_[vk]) r |= kKeyPressedSince;
  pressedSince_[vk] = false;
  return r;
}

void QtForm::SetClientSize(int w, int h) {
  clientSize_ = QSize(w, h);
  if (!fullScreen_) setFixedSize(clientSize_);
}

void QtForm::ShowForm(bool visible) {
  if (!visible) {
    hide();
    return;
  }
  if (!placed_) {
    // Centred on the screen the first time it is shown.
    placed_ = true;
    if (QScreen* s = QGuiApplication::primaryScreen()) {
      const QRect a = s->availableGeometry();
      move(a.x() + (a.width() - clientSize_.width()) / 2, a.y() + (a.height() - clientSize_.height()) / 2);
    }
  }
  if (fullScreen_)
    showFullScreen();
  else
    show();
}

// Brings the form to the front with the keyboard. The game treats activation as done when the
// call returns (its next CheckFocus must not see the form inactive and pause), but the window
// system answers with an event later; so wait for that event, up to 100 ms, quietly.
void QtForm::Activate() {
  if (!isVisible()) return;
  raise();
  activateWindow();
  if (QWindow* w = windowHandle()) w->requestActivate();
  WaitQuietly([this] { return IsActive(); }, 100);
}

// Processes window-system events until `done` holds or `ms` have passed, with quiet_ set so
// that none of them reaches the game: no repaint handler, and a close request is kept for
// later. Quiet waits may nest (a wait inside a full-screen switch); the outer state comes back.
void QtForm::WaitQuietly(const std::function<bool()>& done, int ms) {
  QElapsedTimer waited;
  waited.start();
  const bool outerQuiet = quiet_;
  quiet_ = true;
  while (!done() && waited.elapsed() < ms) QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
  quiet_ = outerQuiet;
}

// Either test may lag the other right after an activation, so either counts.
bool QtForm::IsActive() const {
  return isVisible() && (QApplication::activeWindow() == this || isActiveWindow());
}

void QtForm::SetFullScreen(bool on) {
  if (on == fullScreen_) return;
  fullScreen_ = on;
  if (on) {
    normalPos_ = pos();
    setMinimumSize(0, 0);
    setMaximumSize(QWIDGETSIZE_MAX, QWIDGETSIZE_MAX);
    setCursor(Qt::BlankCursor);
    if (isVisible()) {
      showFullScreen();
      // Without a window manager nobody acts on the full-screen state: cover the screen ourselves.
      const QRect screenRect = screen() ? screen()->geometry() : QRect();
      WaitQuietly([&] { return geometry() == screenRect; }, 150);
      if (!screenRect.isEmpty() && geometry() != screenRect) setGeometry(screenRect);
    } else {
      setWindowState(windowState() | Qt::WindowFullScreen);
    }
  } else {
    unsetCursor();
    if (isVisible()) {
      showNormal();
      setFixedSize(clientSize_);
      // A move before the window manager has put the border back lands off by the border.
      WaitQuietly([&] { return size() == clientSize_ && frameGeometry() != geometry(); }, 200);
    } else {
      setWindowState(windowState() & ~Qt::WindowFullScreen);
      setFixedSize(clientSize_);
    }
    move(normalPos_);
  }
  update();
}

void QtForm::SetTopmost(bool on) {
  if (on == topmost_) return;
  topmost_ = on;
  // On the native window, so the form is not hidden and shown again.
  if (QWindow* w = windowHandle()) {
    w->setFlag(Qt::WindowStaysOnTopHint, on);
  } else {
    setWindowFlag(Qt::WindowStaysOnTopHint, on);
  }
}

QPoint QtForm::FramePos() const { return fullScreen_ ? normalPos_ : pos(); }

void QtForm::MoveFrame(int left, int top) {
  if (fullScreen_) {
    normalPos_ = QPoint(left, top);
    return;
  }
  move(left, top);
}

}  // namespace plat
