// The windowed host without a screen: key states, the presented picture, the close request,
// the single-instance lock and the text helpers of its dialogs.
#include <gtest/gtest.h>

#include <QApplication>
#include <QCloseEvent>
#include <QFocusEvent>
#include <QKeyEvent>
#include <QPixmap>
#include <QTimer>

#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <memory>

#include "platform/api/keys.h"
#include "platform/qt/qt_form.h"
#include "platform/qt/qt_host.h"

namespace {

using namespace plat;

class QtHostTest : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    if (!QCoreApplication::instance()) {
      static int argc = 1;
      static char arg0[] = "qthost_test";
      static char* argv[] = {arg0, nullptr};
      qputenv("QT_QPA_PLATFORM", "offscreen");
      new QApplication(argc, argv);  // kept to the end: a static one would crash at exit
    }
  }
  static void Key(QWidget& w, QEvent::Type type, int key, bool autoRepeat = false) {
    QKeyEvent e(type, key, Qt::NoModifier, QString(), autoRepeat);
    QCoreApplication::sendEvent(&w, &e);
  }
};

// Down while held; "pressed since" once per press, cleared by the query that reports it.
TEST_F(QtHostTest, KeyStateFollowsPressesAndQueries) {
  QtForm f;
  const short both = short(kKeyDown | kKeyPressedSince);
  EXPECT_EQ(f.KeyState(kVkZ), 0);
  Key(f, QEvent::KeyPress, Qt::Key_Z);
  EXPECT_EQ(f.KeyState(kVkZ), both);
  EXPECT_EQ(f.KeyState(kVkZ), kKeyDown);
  Key(f, QEvent::KeyPress, Qt::Key_Z, true);  // auto-repeat is not a new press
  EXPECT_EQ(f.KeyState(kVkZ), kKeyDown);
  Key(f, QEvent::KeyRelease, Qt::Key_Z, true);
  EXPECT_EQ(f.KeyState(kVkZ), kKeyDown);
  Key(f, QEvent::KeyRelease, Qt::Key_Z);
  EXPECT_EQ(f.KeyState(kVkZ), 0);
  // A tap between two queries is still seen once.
  Key(f, QEvent::KeyPress, Qt::Key_Escape);
  Key(f, QEvent::KeyRelease, Qt::Key_Escape);
  EXPECT_EQ(f.KeyState(kVkEscape), kKeyPressedSince);
  EXPECT_EQ(f.KeyState(kVkEscape), 0);
  // Keys held when the window loses the keyboard are let go: their release never comes.
  Key(f, QEvent::KeyPress, Qt::Key_Left);
  Key(f, QEvent::KeyPress, Qt::Key_Shift);
  QFocusEvent out(QEvent::FocusOut);
  QCoreApplication::sendEvent(&f, &out);
  EXPECT_EQ(f.KeyState(kVkLeft), kKeyPressedSince);
  EXPECT_EQ(f.KeyState(kVkShift), kKeyPressedSince);
  EXPECT_EQ(f.KeyState(kVkLeft), 0);
  EXPECT_EQ(f.KeyState(9999), 0);
}

TEST_F(QtHostTest, EveryGameKeyHasItsVirtualKey) {
  struct Case { int qt, vk; } cases[] = {
      {Qt::Key_Up, 0x26}, {Qt::Key_Down, 0x28}, {Qt::Key_Left, 0x25}, {Qt::Key_Right, 0x27},
      {Qt::Key_Z, 0x5A},  {Qt::Key_X, 0x58},    {Qt::Key_M, 0x4D},    {Qt::Key_E, 0x45},
      {Qt::Key_H, 0x48},  {Qt::Key_C, 0x43},    {Qt::Key_F, 0x46},    {Qt::Key_Escape, 0x1B},
      {Qt::Key_Shift, 0x10}, {Qt::Key_Control, 0x11}, {Qt::Key_A, 0}, {Qt::Key_Return, 0}};
  for (const auto& c : cases) EXPECT_EQ(qthost::VirtualKeyFor(c.qt), c.vk) << c.qt;
}

// The picture shown is the presented bitmap, red in the low byte; full screen keeps the
// aspect with black bars and copies pixels without blending.
TEST_F(QtHostTest, PresentedFrameIsWhatThePaintShows) {
  QtForm f;
  Bitmap b(640, 480, 0x00FF0000);  // blue
  for (int y = 0; y < 480; ++y)
    for (int x = 0; x < 640; ++x)
      if ((x / 8 + y / 8) % 2) b.Set(x, y, 0x000000FF);  // red checks
  f.Present(b);
  const QImage shown = f.grab().toImage();
  ASSERT_EQ(shown.size(), QSize(640, 480));
  // Opaque, though the bitmap's top byte is 0.
  EXPECT_EQ(shown.pixel(0, 0), 0xFF0000FFu);
  EXPECT_EQ(shown.pixel(8, 0), 0xFFFF0000u);
  // The next present repaints only what changed; the rest still shows.
  b.Set(639, 479, 0x0000FF00);
  f.Present(b);
  f.Present(b);  // nothing changed
  const QImage next = f.grab().toImage();
  EXPECT_EQ(next.pixel(639, 479), 0xFF00FF00u);
  EXPECT_EQ(next.pixel(0, 0), 0xFF0000FFu);
  // Changes at a row's start, in its middle and spread over it: each changed span is converted
  // whole and its neighbours are left as they were.
  const struct { int x0, x1, y; } spans[] = {{0, 1, 100}, {320, 323, 240}, {5, 600, 300}};
  for (const auto& s : spans)
    for (int x = s.x0; x < s.x1; ++x) b.Set(x, s.y, 0x00FFFFFF);
  f.Present(b);
  const QImage spread = f.grab().toImage();
  // The checks: blue 0x00FF0000 in the bitmap shows as 0xFF0000FF, red as 0xFFFF0000.
  auto asShown = [&](int x, int y) { return b.At(x, y) == 0x00FF0000u ? 0xFF0000FFu : 0xFFFF0000u; };
  for (const auto& s : spans) {
    for (int x = s.x0; x < s.x1; ++x) {
      ASSERT_EQ(spread.pixel(x, s.y), 0xFFFFFFFFu) << x << "," << s.y;
    }
    if (s.x0 > 0) {
      EXPECT_EQ(spread.pixel(s.x0 - 1, s.y), asShown(s.x0 - 1, s.y));
    }
    EXPECT_EQ(spread.pixel(s.x1, s.y), asShown(s.x1, s.y));
  }

  f.SetFullScreen(true);
  f.resize(1000, 500);  // wider than 4:3: bars left and right
  const QImage full = f.grab().toImage();
  ASSERT_EQ(full.size(), QSize(1000, 500));
  const int w = 640 * 500 / 480, left = (1000 - w) / 2;
  EXPECT_EQ(full.pixel(left - 1, 250) & 0xFFFFFF, 0u);
  EXPECT_EQ(full.pixel(left + w, 250) & 0xFFFFFF, 0u);
  for (int x = left; x < left + w; x += 3) {
    const uint32_t c = full.pixel(x, 100) & 0xFFFFFF;
    ASSERT_TRUE(c == 0xFF0000u || c == 0x0000FFu) << "blended pixel at " << x;
  }
  f.SetFullScreen(false);
  EXPECT_EQ(f.size(), QSize(640, 480));
}

struct Events : WindowEvents {
  int asked = 0, painted = 0;
  bool OnCloseQuery() override { return ++asked, false; }
  void OnPaint() override { ++painted; }
};

TEST_F(QtHostTest, ClosingAsksTheGameAndKeepsTheForm) {
  QtForm f;
  Events ev;
  f.SetEvents(&ev);
  f.show();
  QCloseEvent close;
  QCoreApplication::sendEvent(&f, &close);
  EXPECT_EQ(ev.asked, 1);
  EXPECT_FALSE(close.isAccepted());
  EXPECT_TRUE(f.isVisible());
  f.SetEvents(nullptr);
}

TEST_F(QtHostTest, OneInstanceLockAtATime) {
  const std::string dir = ::testing::TempDir() + "qthost-lock";
  std::filesystem::create_directories(dir);
  setenv("XDG_RUNTIME_DIR", dir.c_str(), 1);
  EXPECT_EQ(qthost::InstanceLockPath("plumet"), dir + "/plumet.lock");
  auto first = std::make_unique<QtHost>();
  auto second = std::make_unique<QtHost>();
  EXPECT_TRUE(first->AcquireInstanceLock("plumet-test"));
  EXPECT_FALSE(second->AcquireInstanceLock("plumet-test"));
  first.reset();  // the lock goes with its holder, the file stays behind
  EXPECT_TRUE(second->AcquireInstanceLock("plumet-test"));
  unsetenv("XDG_RUNTIME_DIR");
  EXPECT_EQ(qthost::InstanceLockPath("plumet"), "/tmp/plumet-" + std::to_string(::geteuid()) + "/plumet.lock");
}

TEST_F(QtHostTest, TheLockFolderUnderTmpMustBeTheUsersOwn) {
  namespace fs = std::filesystem;
  struct Case {
    const char* name;
    void (*make)(const fs::path& folder, const fs::path& elsewhere);
    bool usable;
  } cases[] = {
      {"missing: made private", [](const fs::path&, const fs::path&) {}, true},
      {"already the user's, 0700",
       [](const fs::path& f, const fs::path&) { fs::create_directory(f), fs::permissions(f, fs::perms::owner_all); },
       true},
      {"a link to a private folder",
       [](const fs::path& f, const fs::path& e) {
         fs::create_directory(e), fs::permissions(e, fs::perms::owner_all), fs::create_directory_symlink(e, f);
       },
       false},
      {"open to everyone",
       [](const fs::path& f, const fs::path&) { fs::create_directory(f), fs::permissions(f, fs::perms::all); }, false},
      {"readable by the group",
       [](const fs::path& f, const fs::path&) {
         fs::create_directory(f);
         fs::permissions(f, fs::perms::owner_all | fs::perms::group_read | fs::perms::group_exec);
       },
       false},
      {"a file in its place", [](const fs::path& f, const fs::path&) { std::ofstream(f) << "x"; }, false},
      {"a link to a file",
       [](const fs::path& f, const fs::path& e) { std::ofstream(e) << "x", fs::create_symlink(e, f); }, false},
      {"another account's folder",
       [](const fs::path& f, const fs::path&) {
         fs::create_directory(f), fs::permissions(f, fs::perms::owner_all);
         // Only root can give a folder away; as anyone else this case is the user's own.
         if (::geteuid() == 0) {
           ASSERT_EQ(::chown(f.c_str(), 4242, 4242), 0);
         }
       },
       ::geteuid() != 0},
  };
  for (const Case& c : cases) {
    const fs::path root = fs::path(::testing::TempDir()) / "qthost-private";
    fs::remove_all(root);
    fs::create_directories(root);
    const fs::path folder = root / "plumet-1000", elsewhere = root / "elsewhere";
    c.make(folder, elsewhere);
    const int fd = qthost::OpenInstanceLockFile(folder.string(), "plumet.lock", true);
    EXPECT_EQ(fd >= 0, c.usable) << c.name;
    if (fd >= 0) {
      ::close(fd);
      EXPECT_EQ(fs::status(folder).permissions() & fs::perms::mask, fs::perms::owner_all) << c.name;
    } else {
      EXPECT_FALSE(fs::exists(elsewhere / "plumet.lock")) << c.name << ": nothing is made through a link";
    }
  }
}

TEST_F(QtHostTest, DialogTextsAndFilters) {
  EXPECT_EQ(qthost::LineBreaks("記録データが壊れています。\rクリア記録は抹消されました。"),
            "記録データが壊れています。\nクリア記録は抹消されました。");
  EXPECT_EQ(qthost::LineBreaks("a\r\nb\rc\n"), "a\nb\nc\n");
  EXPECT_EQ(qthost::QtFilter("からくりマップ(*.krm)|*.krm"), "からくりマップ(*.krm)");
  EXPECT_EQ(qthost::QtFilter("Maps|*.krm;*.map|All|*.*"), "Maps (*.krm *.map);;All (*.*)");
  EXPECT_EQ(qthost::QtFilter(""), "");
}

TEST_F(QtHostTest, ClockAdvancesWithSleepAndProcessFacts) {
  QtHost h;
  const uint32_t t0 = h.TickMs();
  h.SleepMs(20);
  const uint32_t dt = h.TickMs() - t0;
  EXPECT_GE(dt, 20u);
  EXPECT_LT(dt, 1000u);
  // The pacing wait ends once the clock has moved on.
  for (int i = 0; i < 3; ++i) {
    const uint32_t t = h.TickMs();
    h.SleepToNextTick();
    EXPECT_NE(h.TickMs(), t);
  }
  // A sleep to a tick ends on it, not a tick early; one already passed does not sleep.
  for (uint32_t ahead : {1u, 3u, 7u}) {
    const uint32_t tick = h.TickMs() + ahead;
    h.SleepToTick(tick);
    const auto late = static_cast<int32_t>(h.TickMs() - tick);
    EXPECT_GE(late, 0) << ahead;
    EXPECT_LT(late, 500) << ahead;
  }
  const uint32_t before = h.TickMs();
  h.SleepToTick(before - 5);
  EXPECT_LT(h.TickMs() - before, 500u);
  // The pacing wait lasts its time and serves the window after its sleep.
  for (int ms : {1, 2, 5, 20}) {
    bool served = false;
    QTimer::singleShot(0, [&] { served = true; });
    const uint32_t start = h.TickMs();
    h.PaceWait(ms);
    EXPECT_GE(h.TickMs() - start, uint32_t(ms)) << ms;
    EXPECT_TRUE(served) << ms;
  }
  EXPECT_EQ(h.OsVersion().platformId, 2);
  EXPECT_EQ(h.Desktop().bitsPerPixel, 32);
}

}  // namespace
