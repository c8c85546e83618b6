// The game's main form on Qt: shows the presented frame, collects keys, asks before closing.
#pragma once
#include <QImage>
#include <QPoint>
#include <QRect>
#include <QSize>
#include <QWidget>

#include <functional>
#include <memory>
#include <vector>

#include "platform/api/bitmap.h"
#include "platform/api/host.h"

namespace plat {

class XShmPresenter;

class QtForm : public QWidget {
 public:
  QtForm();
  ~QtForm() override;

  void SetEvents(WindowEvents* e) { events_ = e; }
  void Present(const Bitmap& frame);
  short KeyState(int vk);
  bool IsDown(int vk) const { return vk >= 0 && vk < 256 && down_[vk]; }
  void SetClientSize(int w, int h);
  void ShowForm(bool visible);
  void Activate();
  bool IsActive() const;
  void SetFullScreen(bool on);
  void SetTopmost(bool on);
  QPoint FramePos() const;
  void MoveFrame(int left, int top);
  // Asks the game about a close that came during a quiet wait; the host calls it after each
  // pass of message processing.
  void DeliverPendingClose();
  // True while presents go straight to the X window (for tests).
  bool PresentsDirect() const { return shm_ != nullptr; }

 protected:
  void paintEvent(QPaintEvent*) override;
  void closeEvent(QCloseEvent* e) override;
  void keyPressEvent(QKeyEvent* e) override;
  void keyReleaseEvent(QKeyEvent* e) override;
  void focusOutEvent(QFocusEvent* e) override;
  void changeEvent(QEvent* e) override;
  bool nativeEvent(const QByteArray& eventType, void* message, qintptr* result) override;

 private:
  void ReleaseAll();
  void AskToClose();
  // Lets window-system events in (without calling the game's handlers) until `done` or `ms`.
  void WaitQuietly(const std::function<bool()>& done, int ms);
  void ToQImage(const std::vector<QRect>& rects);

  WindowEvents* events_ = nullptr;
  QImage frame_;
  // The game's pixels frame_ was converted from, to find what a present changes.
  std::vector<uint32_t> shownPx_;
  // The window shows frame_ whole, so a present may repaint only what changed.
  bool shownWhole_ = false;
  // The picture shownPx_ was taken from and its rows' write counts then: rows whose count has
  // not moved are as shown.
  uint64_t shownSerial_ = 0;
  std::vector<uint32_t> shownGens_;
  // What the present in hand changed, as rectangles.
  std::vector<QRect> changed_;
  // Presents straight to the X window; tried once per picture size.
  std::unique_ptr<XShmPresenter> shm_;
  bool shmTried_ = false;
  // frame_ lags shownPx_ while presents go straight to the window.
  bool frameStale_ = false;
  uintptr_t shmWindow_ = 0;
  bool down_[256] = {};
  bool pressedSince_[256] = {};
  bool presenting_ = false, inPaintHandler_ = false, inClose_ = false;
  // Set during WaitQuietly: window-system events are processed but the game's handlers are not
  // called. A close request in that time sets pendingClose_ and is asked about afterwards.
  bool quiet_ = false, pendingClose_ = false;
  bool fullScreen_ = false, topmost_ = false, placed_ = false;
  QSize clientSize_{640, 480};
  QPoint normalPos_;
};

}  // namespace plat
