// The windowed host on Qt Widgets: clock, keys, the main form, dialogs, timers and process facts.
#include "platform/qt/qt_host.h"

#include <QApplication>
#include <QDeadlineTimer>
#include <QDir>
#include <QFileDialog>
#include <QLibraryInfo>
#include <QMessageBox>
#include <QPushButton>
#include <QScreen>
#include <QTimer>
#include <QTranslator>

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstdlib>
#include <thread>

#include "platform/api/keys.h"
#include "platform/api/sys.h"
#include "platform/sys/host_sys.h"
#include "platform/qt/qt_form.h"
#include "platform/qtgfx/qt_gfx.h"

namespace plat {

namespace qthost {

std::string LineBreaks(const std::string& text) {
  std::string out;
  out.reserve(text.size());
  for (size_t i = 0; i < text.size(); ++i) {
    if (text[i] == '\r') {
      out += '\n';
      if (i + 1 < text.size() && text[i + 1] == '\n') ++i;
    } else {
      out += text[i];
    }
  }
  return out;
}

std::string QtFilter(const std::string& filter) {
  std::vector<std::string> parts;
  size_t start = 0;
  for (;;) {
    const size_t bar = filter.find('|', start);
    parts.push_back(filter.substr(start, bar == std::string::npos ? std::string::npos : bar - start));
    if (bar == std::string::npos) break;
    start = bar + 1;
  }
  std::string out;
  for (size_t i = 0; i + 1 < parts.size(); i += 2) {
    std::string desc = parts[i], patterns = parts[i + 1];
    for (char& c : patterns)
      if (c == ';') c = ' ';
    std::string entry = desc;
    const std::string tail = "(" + patterns + ")";
    if (desc.size() < tail.size() || desc.compare(desc.size() - tail.size(), tail.size(), tail) != 0)
      entry += " " + tail;
    if (!out.empty()) out += ";;";
    out += entry;
  }
  return out;
}

int VirtualKeyFor(int qtKey) {
  switch (qtKey) {
    case Qt::Key_Left: return kVkLeft;
    case Qt::Key_Up: return kVkUp;
    case Qt::Key_Right: return kVkRight;
    case Qt::Key_Down: return kVkDown;
    case Qt::Key_Z: return kVkZ;
    case Qt::Key_X: return kVkX;
    case Qt::Key_M: return kVkM;
    case Qt::Key_E: return kVkE;
    case Qt::Key_H: return kVkH;
    case Qt::Key_C: return kVkC;
    case Qt::Key_F: return kVkF;
    case Qt::Key_Escape: return kVkEscape;
    case Qt::Key_Shift: return kVkShift;
    case Qt::Key_Control: return kVkCtrl;
    default: return 0;
  }
}

namespace {

bool HasRuntimeDir() {
  const char* xdg = std::getenv("XDG_RUNTIME_DIR");
  return xdg && *xdg;
}

}  // namespace

std::string InstanceLockFolder(const std::string& name) {
  if (HasRuntimeDir()) return std::getenv("XDG_RUNTIME_DIR");
  return "/tmp/" + name + "-" + std::to_string(geteuid());
}

std::string InstanceLockPath(const std::string& name) { return InstanceLockFolder(name) + "/" + name + ".lock"; }

int OpenInstanceLockFile(const std::string& folder, const std::string& file, bool privateFolder) {
  // In a folder anyone may write to, another account could make or lock the file first and so
  // keep the user's game from starting: the file goes in a folder only this user can enter.
  if (privateFolder && ::mkdir(folder.c_str(), 0700) != 0 && errno != EEXIST) return -1;
  const int dfd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
  if (dfd < 0) return -1;
  struct stat st {};
  if (privateFolder && (::fstat(dfd, &st) != 0 || st.st_uid != ::geteuid() || (st.st_mode & 077) != 0)) {
    ::close(dfd);
    return -1;
  }
  const int fd = ::openat(dfd, file.c_str(), O_RDWR | O_CREAT | O_NOFOLLOW | O_CLOEXEC, 0600);
  ::close(dfd);
  return fd;
}

std::optional<std::string> RunFileDialog(QWidget* parent, const FileDialogSpec& request, bool save) {
  QFileDialog dlg(parent, QString::fromStdString(request.title), QString::fromStdString(request.initialDir));
  dlg.setOption(QFileDialog::DontUseNativeDialog);
  dlg.setAcceptMode(save ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
  dlg.setFileMode(save || !request.fileMustExist ? QFileDialog::AnyFile : QFileDialog::ExistingFile);
  if (save && !request.overwritePrompt) dlg.setOption(QFileDialog::DontConfirmOverwrite);
  if (!request.filter.empty()) dlg.setNameFilter(QString::fromStdString(QtFilter(request.filter)));
  std::string ext = request.defaultExt;
  while (!ext.empty() && (ext[0] == '*' || ext[0] == '.')) ext.erase(0, 1);
  if (!ext.empty()) dlg.setDefaultSuffix(QString::fromStdString(ext));
  if (!request.fileName.empty()) dlg.selectFile(QString::fromStdString(request.fileName));
  if (dlg.exec() != QDialog::Accepted) return std::nullopt;
  const QStringList files = dlg.selectedFiles();
  if (files.isEmpty()) return std::nullopt;
  return QDir::cleanPath(QFileInfo(files.first()).absoluteFilePath()).toStdString();
}

MsgResult RunMessageBox(QWidget* parent, const std::string& text, const std::string& caption, MsgButtons buttons,
                        MsgIcon icon) {
  QMessageBox::Icon qi = QMessageBox::NoIcon;
  switch (icon) {
    case MsgIcon::None: qi = QMessageBox::NoIcon; break;
    case MsgIcon::Error: qi = QMessageBox::Critical; break;
    case MsgIcon::Warning: qi = QMessageBox::Warning; break;
    case MsgIcon::Question: qi = QMessageBox::Question; break;
    case MsgIcon::Information: qi = QMessageBox::Information; break;
  }
  QMessageBox::StandardButtons sb = QMessageBox::Ok;
  QMessageBox::StandardButton def = QMessageBox::Ok;
  if (buttons == MsgButtons::YesNo) sb = QMessageBox::Yes | QMessageBox::No, def = QMessageBox::Yes;
  if (buttons == MsgButtons::OkCancel) sb = QMessageBox::Ok | QMessageBox::Cancel, def = QMessageBox::Ok;
  QMessageBox box(qi, QString::fromStdString(caption), QString::fromStdString(LineBreaks(text)), sb, parent);
  box.setDefaultButton(def);
  // Without an owner it still must come to the front.
  if (!parent) box.setWindowFlag(Qt::WindowStaysOnTopHint);
  switch (box.exec()) {
    case QMessageBox::Yes: return MsgResult::Yes;
    case QMessageBox::No: return MsgResult::No;
    case QMessageBox::Cancel: return MsgResult::Cancel;
    case QMessageBox::Ok: return MsgResult::Ok;
    default:  // closed without a button
      return buttons == MsgButtons::YesNo ? MsgResult::No
             : buttons == MsgButtons::OkCancel ? MsgResult::Cancel
                                               : MsgResult::Ok;
  }
}

}  // namespace qthost

namespace {

QString Q(const std::string& s) { return QString::fromStdString(s); }

}  // namespace

QtHost::QtHost() : form_(std::make_unique<QtForm>()), audio_(std::make_unique<AudioDevice>()) {
  if (const char* log = std::getenv("PLUMET_FRAME_LOG"); log && *log) frameLog_ = std::fopen(log, "w");
  // The form closes only through the game's own answer; nothing quits behind its back.
  QApplication::setQuitOnLastWindowClosed(false);
  // The game speaks Japanese; so do the buttons of its boxes and dialogs where Qt has them.
  static QTranslator* qtbase = nullptr;
  if (!qtbase) {
    qtbase = new QTranslator(QCoreApplication::instance());
    if (qtbase->load(QStringLiteral("qtbase_ja"), QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
      QCoreApplication::installTranslator(qtbase);
  }
}

QtHost::~QtHost() {
  form_.reset();
  if (lockFd_ >= 0) close(lockFd_);
  if (frameLog_) std::fclose(frameLog_);
}

void QtHost::SetAudio(std::unique_ptr<AudioDevice> a) {
  if (a) audio_ = std::move(a);
}

uint32_t QtHost::TickMs() { return MonotonicTickMs(); }

void QtHost::SleepMs(uint32_t ms) { std::this_thread::sleep_for(std::chrono::milliseconds(ms)); }

void QtHost::SleepToNextTick() { plat::SleepToNextTick(); }

void QtHost::SleepToTick(uint32_t tick) { plat::SleepToTick(tick); }

short QtHost::AsyncKeyState(int vk) { return form_->KeyState(vk); }

void QtHost::SetEventHandler(WindowEvents* events) { form_->SetEvents(events); }

void QtHost::SetCaption(const std::string& utf8) { form_->setWindowTitle(Q(utf8)); }

void QtHost::SetClientSize(int w, int h) { form_->SetClientSize(w, h); }

void QtHost::ShowWindow(bool visible) { form_->ShowForm(visible); }

void QtHost::ActivateWindow() { form_->Activate(); }

int QtHost::ActiveWindowId() { return form_->IsActive() ? 1 : 0; }


void QtHost::GetWindowPos(int& left, int& top) {
  const QPoint p = form_->FramePos();
  left = p.x();
  top = p.y();
}

void QtHost::MoveWindow(int left, int top) { form_->MoveFrame(left, top); }

void QtHost::SetFullScreen(bool on) { form_->SetFullScreen(on); }

void QtHost::SetTopmost(bool on) { form_->SetTopmost(on); }

void QtHost::Present(const Bitmap& frame) {
  form_->Present(frame);
  if (frameLog_) {
    const auto now = std::chrono::steady_clock::now().time_since_epoch();
    // The play keys held as the frame is shown, for scripts that drive the window.
    static constexpr std::pair<int, char> kPlayKeys[] = {{kVkLeft, 'L'}, {kVkRight, 'R'}, {kVkUp, 'U'}, {kVkDown, 'D'},
                                                         {kVkZ, 'Z'},    {kVkX, 'X'},     {kVkShift, 'S'}};
    std::string keys;
    for (const auto& [vk, name] : kPlayKeys)
      if (form_->IsDown(vk)) keys += name;
    const auto us = std::chrono::duration_cast<std::chrono::microseconds>(now).count();
    std::fprintf(frameLog_, "%lld %s\n", static_cast<long long>(us), keys.c_str());
    std::fflush(frameLog_);
  }
}

void QtHost::ProcessMessages() {
  QCoreApplication::sendPostedEvents();
  QCoreApplication::processEvents(QEventLoop::AllEvents);
  // Timers stopped from their own handler are deleted here, outside any handler.
  QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
  form_->DeliverPendingClose();
}

// The monotonic clock's sleeps end on the millisecond asked for: the base's short sleep and
// the pass through the window on the way to the end would only cost another wake-up a frame.
void QtHost::PaceWait(int32_t ms) {
  if (ms <= 0) return;
  SleepToTick(TickMs() + static_cast<uint32_t>(ms));
  ProcessMessages();
}

std::string QtHost::ProgramPath() { return ExecutablePath(); }

bool QtHost::AcquireInstanceLock(const std::string& name) {
  if (lockFd_ >= 0) return true;
  // flock dies with the process, so a file left by a crashed copy never blocks a start.
  // The session's runtime folder is the user's by its own rules; the one under /tmp is checked.
  const int fd =
      qthost::OpenInstanceLockFile(qthost::InstanceLockFolder(name), name + ".lock", !qthost::HasRuntimeDir());
  // No safe place for a lock (a folder under that name that is not this user's own): run
  // unguarded rather than let another account keep the game from starting.
  if (fd < 0) return true;
  if (flock(fd, LOCK_EX | LOCK_NB) != 0) {
    close(fd);
    return false;
  }
  lockFd_ = fd;
  return true;
}

DesktopInfo QtHost::Desktop() {
  DesktopInfo d;
  if (QScreen* s = QGuiApplication::primaryScreen()) {
    d.width = s->geometry().width();
    d.height = s->geometry().height();
    d.refresh = qRound(s->refreshRate());
  }
  d.bitsPerPixel = 32;
  return d;
}

uint32_t QtHost::RandomSeed() {
  const auto ns = std::chrono::system_clock::now().time_since_epoch().count();
  return static_cast<uint32_t>(ns) ^ static_cast<uint32_t>(uint64_t(ns) >> 32);
}

MsgResult QtHost::MessageBox(const std::string& text, const std::string& caption, MsgButtons buttons,
                             MsgIcon icon) {
  QWidget* parent = form_->isVisible() ? form_.get() : nullptr;
  const MsgResult answer = qthost::RunMessageBox(parent, text, caption, buttons, icon);
  // The owner gets the keyboard back when its box closes, with or without a window manager.
  if (parent) form_->Activate();
  return answer;
}

std::optional<std::string> QtHost::OpenFileDialog(const FileDialogSpec& request) {
  QWidget* parent = form_->isVisible() ? form_.get() : nullptr;
  auto path = qthost::RunFileDialog(parent, request, false);
  if (parent) form_->Activate();
  return path;
}

std::optional<std::string> QtHost::SaveFileDialog(const FileDialogSpec& request) {
  QWidget* parent = form_->isVisible() ? form_.get() : nullptr;
  auto path = qthost::RunFileDialog(parent, request, true);
  if (parent) form_->Activate();
  return path;
}

int QtHost::StartTimer(int intervalMs, std::function<void()> fn) { return timers_.Start(intervalMs, std::move(fn)); }

void QtHost::StopTimer(int id) { timers_.Stop(id); }

void QtHost::DrawText(Bitmap& dst, const std::string& fontName, int cellHeight, uint32_t colour, int x,
                      int y, std::string_view utf8) {
  qtgfx::DrawText(dst, fontName, cellHeight, colour, x, y, utf8);
}


bool QtHost::LoadImage(const std::string& name, Bitmap& out) { return qtgfx::LoadArt(name, out); }

}  // namespace plat
