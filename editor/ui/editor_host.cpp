// The editor's windowed host on Qt Widgets.
#include "editor/ui/editor_host.h"

#include <QApplication>
#include <QScreen>
#include <QTimer>
#include <QWidget>

#include <chrono>
#include <thread>

#include "platform/api/sys.h"
#include "platform/sys/host_sys.h"
#include "platform/qt/qt_host.h"
#include "platform/qtgfx/qt_gfx.h"

namespace editorui {

namespace {

QString Q(const std::string& s) { return QString::fromStdString(s); }

}  // namespace

EditorHost::EditorHost() : audio_(std::make_unique<plat::AudioDevice>()) {}

EditorHost::~EditorHost() {
}

void EditorHost::SetAudio(std::unique_ptr<plat::AudioDevice> a) {
  if (a) audio_ = std::move(a);
}

uint32_t EditorHost::TickMs() { return plat::MonotonicTickMs(); }

void EditorHost::SleepMs(uint32_t ms) { std::this_thread::sleep_for(std::chrono::milliseconds(ms)); }

void EditorHost::SleepToNextTick() { plat::SleepToNextTick(); }

void EditorHost::SetCaption(const std::string& utf8) {
  if (form_) form_->setWindowTitle(Q(utf8));
}

void EditorHost::SetClientSize(int w, int h) {
  if (form_) form_->setFixedSize(w, h);
}

void EditorHost::ShowWindow(bool visible) {
  if (form_) form_->setVisible(visible);
}

void EditorHost::ActivateWindow() {
  if (!form_ || !form_->isVisible()) return;
  form_->raise();
  form_->activateWindow();
}

int EditorHost::ActiveWindowId() { return form_ && form_->isActiveWindow() ? 1 : 0; }

void EditorHost::GetWindowPos(int& left, int& top) {
  left = form_ ? form_->x() : 0;
  top = form_ ? form_->y() : 0;
}

void EditorHost::MoveWindow(int left, int top) {
  if (form_) form_->move(left, top);
}

void EditorHost::ProcessMessages() {
  QCoreApplication::sendPostedEvents();
  QCoreApplication::processEvents(QEventLoop::AllEvents);
  QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

void EditorHost::Terminate() {
  terminate_ = true;
  QCoreApplication::exit(0);  // no-op before the event loop runs
}

std::string EditorHost::ProgramPath() { return plat::ExecutablePath(); }

plat::DesktopInfo EditorHost::Desktop() {
  plat::DesktopInfo d;
  if (QScreen* s = QGuiApplication::primaryScreen()) {
    d.width = s->geometry().width();
    d.height = s->geometry().height();
    d.refresh = qRound(s->refreshRate());
  }
  d.bitsPerPixel = 32;
  return d;
}

QWidget* EditorHost::Owner() const { return form_ && form_->isVisible() ? form_ : nullptr; }

plat::MsgResult EditorHost::MessageBox(const std::string& text, const std::string& caption,
                                       plat::MsgButtons buttons, plat::MsgIcon icon) {
  return plat::qthost::RunMessageBox(Owner(), text, caption, buttons, icon);
}

std::optional<std::string> EditorHost::OpenFileDialog(const plat::FileDialogSpec& request) {
  return plat::qthost::RunFileDialog(Owner(), request, false);
}

std::optional<std::string> EditorHost::SaveFileDialog(const plat::FileDialogSpec& request) {
  return plat::qthost::RunFileDialog(Owner(), request, true);
}

int EditorHost::StartTimer(int intervalMs, std::function<void()> fn) { return timers_.Start(intervalMs, std::move(fn)); }

void EditorHost::StopTimer(int id) { timers_.Stop(id); }

void EditorHost::DrawText(plat::Bitmap& dst, const std::string& fontName, int cellHeight, uint32_t colour,
                          int x, int y, std::string_view utf8) {
  plat::qtgfx::DrawText(dst, fontName, cellHeight, colour, x, y, utf8);
}

bool EditorHost::LoadImage(const std::string& name, plat::Bitmap& out) {
  return plat::qtgfx::LoadArt(name, out);
}

}  // namespace editorui
