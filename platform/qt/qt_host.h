// The windowed host: the Host contract on Qt Widgets, for the game program.
#pragma once
#include <cstdio>
#include <map>
#include <memory>
#include <optional>
#include <string>

#include "platform/api/audio.h"
#include "platform/api/host.h"
#include "platform/qt/qt_timers.h"

class QWidget;

namespace plat {

class QtForm;

// Create after the QApplication; lives as long as the game.
class QtHost : public Host {
 public:
  QtHost();
  ~QtHost() override;

  // The sound output; the SDL device replaces the silent stand-in when sound is built.
  void SetAudio(std::unique_ptr<AudioDevice> a);

  uint32_t TickMs() override;
  void SleepMs(uint32_t ms) override;
  void SleepToNextTick() override;
  void SleepToTick(uint32_t tick) override;
  short AsyncKeyState(int vk) override;
  void SetEventHandler(WindowEvents* events) override;
  void SetCaption(const std::string& utf8) override;
  void SetClientSize(int w, int h) override;
  void ShowWindow(bool visible) override;
  void ActivateWindow() override;
  int FormWindowId() override { return 1; }
  int ActiveWindowId() override;
  void GetWindowPos(int& left, int& top) override;
  void MoveWindow(int left, int top) override;
  void SetFullScreen(bool on) override;
  void SetTopmost(bool on) override;
  void Present(const Bitmap& frame) override;
  void ProcessMessages() override;
  void PaceWait(int32_t ms) override;
  void Terminate() override { terminate_ = true; }
  bool TerminateRequested() override { return terminate_; }
  std::string ProgramPath() override;
  bool AcquireInstanceLock(const std::string& name) override;
  DesktopInfo Desktop() override;
  OsVersionInfo OsVersion() override { return {2, 10, 0}; }
  uint32_t RandomSeed() override;
  MsgResult MessageBox(const std::string& text, const std::string& caption, MsgButtons buttons,
                       MsgIcon icon) override;
  std::optional<std::string> OpenFileDialog(const FileDialogSpec& request) override;
  std::optional<std::string> SaveFileDialog(const FileDialogSpec& request) override;
  int StartTimer(int intervalMs, std::function<void()> fn) override;
  void StopTimer(int id) override;
  void DrawText(Bitmap& dst, const std::string& fontName, int cellHeight, uint32_t colour, int x, int y,
                std::string_view utf8) override;
  bool LoadImage(const std::string& name, Bitmap& out) override;
  AudioDevice& Audio() override { return *audio_; }

 private:
  std::unique_ptr<QtForm> form_;
  std::unique_ptr<AudioDevice> audio_;
  QtTimerSet timers_;
  int lockFd_ = -1;
  // PLUMET_FRAME_LOG=FILE: a line per present, its time in microseconds of the monotonic clock
  // and the play keys held (for the frame-pacing benchmark and the window play script).
  std::FILE* frameLog_ = nullptr;
  bool terminate_ = false;
};

// Pure helpers of the host, kept apart so they can be tested without a window.
namespace qthost {
// "\r\n" and a lone "\r" become "\n".
std::string LineBreaks(const std::string& text);
// "Desc(*.a)|*.a|All|*.*" -> "Desc(*.a);;All (*.*)" (a description that already ends with its
// pattern list is kept as it is).
std::string QtFilter(const std::string& filter);
// The Qt key code of a key event mapped to the virtual-key code the game reads; 0 for others.
int VirtualKeyFor(int qtKey);
// Where the instance lock file of `name` lives: the session's runtime folder, or without one
// the user's own folder "/tmp/NAME-UID".
std::string InstanceLockFolder(const std::string& name);
std::string InstanceLockPath(const std::string& name);
// Opens, creating it, the lock file `file` in `folder`; -1 when it cannot. With `privateFolder`
// the folder is made (0700) when missing and must be a real folder, not a link, owned by this
// user and closed to everyone else.
int OpenInstanceLockFile(const std::string& folder, const std::string& file, bool privateFolder);

// The modal dialogs of both Qt programs (the game's host and the editor's), owned by `parent`
// when there is one; a box without an owner stays on top.
std::optional<std::string> RunFileDialog(QWidget* parent, const FileDialogSpec& request, bool save);
MsgResult RunMessageBox(QWidget* parent, const std::string& text, const std::string& caption, MsgButtons buttons,
                        MsgIcon icon);
}  // namespace qthost

}  // namespace plat
