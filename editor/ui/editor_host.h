// The editor's windowed host: the Host contract on Qt Widgets around the editor's own form
// (message boxes and file dialogs owned by it, timers, text, art, sound output).
#pragma once
#include <map>
#include <memory>

#include "platform/api/audio.h"
#include "platform/api/host.h"
#include "platform/qt/qt_timers.h"

class QWidget;

namespace editorui {

class EditorHost : public plat::Host {
 public:
  EditorHost();
  ~EditorHost() override;

  // The form the window calls act on and dialogs are owned by; set before FormCreate.
  void SetForm(QWidget* form) { form_ = form; }
  void SetAudio(std::unique_ptr<plat::AudioDevice> a);

  uint32_t TickMs() override;
  void SleepMs(uint32_t ms) override;
  void SleepToNextTick() override;
  short AsyncKeyState(int) override { return 0; }
  void SetEventHandler(plat::WindowEvents* events) override { events_ = events; }
  void SetCaption(const std::string& utf8) override;
  void SetClientSize(int w, int h) override;
  void ShowWindow(bool visible) override;
  void ActivateWindow() override;
  int FormWindowId() override { return 1; }
  int ActiveWindowId() override;
  void GetWindowPos(int& left, int& top) override;
  void MoveWindow(int left, int top) override;
  void SetFullScreen(bool) override {}
  void SetTopmost(bool) override {}
  void Present(const plat::Bitmap&) override {}
  void ProcessMessages() override;
  void Terminate() override;
  bool TerminateRequested() override { return terminate_; }
  std::string ProgramPath() override;
  bool AcquireInstanceLock(const std::string&) override { return true; }
  plat::DesktopInfo Desktop() override;
  plat::OsVersionInfo OsVersion() override { return {2, 10, 0}; }
  uint32_t RandomSeed() override { return 0; }
  plat::MsgResult MessageBox(const std::string& text, const std::string& caption, plat::MsgButtons buttons,
                             plat::MsgIcon icon) override;
  std::optional<std::string> OpenFileDialog(const plat::FileDialogSpec& request) override;
  std::optional<std::string> SaveFileDialog(const plat::FileDialogSpec& request) override;
  int StartTimer(int intervalMs, std::function<void()> fn) override;
  void StopTimer(int id) override;
  void DrawText(plat::Bitmap& dst, const std::string& fontName, int cellHeight, uint32_t colour, int x, int y,
                std::string_view utf8) override;
  bool LoadImage(const std::string& name, plat::Bitmap& out) override;
  plat::AudioDevice& Audio() override { return *audio_; }

 private:
  QWidget* Owner() const;

  QWidget* form_ = nullptr;
  plat::WindowEvents* events_ = nullptr;
  std::unique_ptr<plat::AudioDevice> audio_;
  plat::QtTimerSet timers_;
  bool terminate_ = false;
};

}  // namespace editorui
