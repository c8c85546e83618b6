// Headless host: virtual clock, scripted keys, frame capture, scripted dialogs, an always
// active window and a silent audio device. Used by the tests and by the command-line tools.
#pragma once
#include <cstdint>
#include <deque>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <set>
#include <stdexcept>
#include <string>
#include <vector>

#include "platform/api/audio.h"
#include "platform/api/host.h"

namespace plat {

// Thrown out of Present() to end a run: the frame limit was reached.
struct StopRun {
  int frames;
};
// Thrown out of Present() when a run passes its frame budget (a hang in a test).
struct FrameBudgetExceeded : std::runtime_error {
  using std::runtime_error::runtime_error;
};

class NullHost : public Host {
 public:
  NullHost();
  ~NullHost() override;

  // ---- script and inspection (tests and tools) ----
  // Key script: hold `vks` for `frames` presented frames, step after step. The script's first
  // frame is held from the moment the present numbered `origin` returns (0: from now, before
  // the first present) until the next present; each Present() moves to the next frame. Before
  // `origin` and after the script ends no key is held.
  struct KeyStep {
    int frames;
    std::vector<int> vks;
  };
  void SetKeyScript(std::vector<KeyStep> steps, int origin = 0);
  // Direct key control for unit tests (overrides the script until the next SetKeyScript).
  void KeyDown(int vk);
  void KeyUp(int vk);
  void ReleaseAllKeys();

  int Frames() const { return frames_; }
  const Bitmap& LastFrame() const { return lastFrame_; }
  // A hash of each presented frame, in order, while hashing is on (off by default: it costs
  // about as much as drawing a frame).
  void SetFrameHashing(bool on) { hashing_ = on; }
  const std::vector<uint64_t>& FrameHashes() const { return hashes_; }
  // Present() throws StopRun once this many frames have been presented (0: no limit).
  void StopAfterFrames(int n) { stopAfter_ = n; }
  // Present() throws FrameBudgetExceeded past this many frames (0: no budget).
  void SetFrameBudget(int n) { budget_ = n; }
  // Frames whose picture is written as PNG into `dir` ("frame-<n>.png", n counted from 1).
  void CaptureFrames(const std::string& dir, std::set<int> frames);
  // Called after every presented frame with the frame number (1-based).
  std::function<void(int)> OnFrame;

  // Dialogs: every message box appends "caption | text | buttons" and takes the next queued
  // answer (default: Yes for Yes/No, Ok otherwise). Each open/save dialog takes the next
  // queued path (none queued: cancelled).
  std::vector<std::string> DialogLog;
  std::function<void(const std::string& line)> OnDialog;
  std::deque<MsgResult> Answers;
  std::deque<std::optional<std::string>> OpenAnswers;
  std::deque<std::optional<std::string>> SaveAnswers;
  std::vector<FileDialogSpec> FileDialogLog;

  // Window state.
  void SetActive(bool active) { active_ = active; }
  // A close request delivered at the next ProcessMessages().
  void RequestClose() { closeRequested_ = true; }
  bool Visible() const { return visible_; }
  bool FullScreenOn() const { return fullScreen_; }
  bool Topmost() const { return topmost_; }
  std::string Caption() const { return caption_; }
  int ClientWidth() const { return clientW_; }
  int ClientHeight() const { return clientH_; }

  // Process facts.
  void SetProgramPath(const std::string& p) { programPath_ = p; }
  void SetInstanceHeldElsewhere(bool held) { instanceHeld_ = held; }
  // Virtual time.
  uint32_t Now() const { return now_; }
  void Advance(uint32_t ms) { AdvanceTime(ms); }
  // The headless audio output plays in step with the virtual clock (on by default).
  void SetAudioFollowsClock(bool on) { audioFollowsClock_ = on; }
  // Counts of host calls the shell's tests look at.
  int SleepCalls = 0;
  int TickSleepCalls = 0;
  int ProcessMessagesCalls = 0;

  // ---- Host ----
  uint32_t TickMs() override { return now_; }
  void SleepMs(uint32_t ms) override;
  // The virtual clock moves on by a millisecond.
  void SleepToNextTick() override;
  short AsyncKeyState(int vk) override;
  void SetEventHandler(WindowEvents* e) override { events_ = e; }
  void SetCaption(const std::string& s) override { caption_ = s; }
  void SetClientSize(int w, int h) override { clientW_ = w; clientH_ = h; }
  void ShowWindow(bool v) override { visible_ = v; }
  void ActivateWindow() override {}
  int FormWindowId() override { return 1; }
  int ActiveWindowId() override { return active_ ? 1 : 0; }
  void GetWindowPos(int& l, int& t) override { l = left_; t = top_; }
  void MoveWindow(int l, int t) override { left_ = l; top_ = t; }
  void SetFullScreen(bool on) override { fullScreen_ = on; }
  void SetTopmost(bool on) override { topmost_ = on; }
  void Present(const Bitmap& frame) override;
  void ProcessMessages() override;
  void Terminate() override { terminate_ = true; }
  bool TerminateRequested() override { return terminate_; }
  std::string ProgramPath() override { return programPath_; }
  bool AcquireInstanceLock(const std::string&) override { return !instanceHeld_; }
  DesktopInfo Desktop() override { return {1920, 1080, 32, 60}; }
  OsVersionInfo OsVersion() override { return {2, 10, 0}; }
  uint32_t RandomSeed() override { return 12345; }
  MsgResult MessageBox(const std::string& text, const std::string& caption, MsgButtons buttons,
                       MsgIcon icon) override;
  std::optional<std::string> OpenFileDialog(const FileDialogSpec& request) override;
  std::optional<std::string> SaveFileDialog(const FileDialogSpec& request) override;
  int StartTimer(int intervalMs, std::function<void()> fn) override;
  void StopTimer(int id) override;
  void DrawText(Bitmap& dst, const std::string& fontName, int cellHeight, uint32_t colour, int x, int y,
                std::string_view utf8) override;
  bool LoadImage(const std::string& name, Bitmap& out) override;
  AudioDevice& Audio() override;

  // Replaces the audio device (the sound library's tests use a synchronous one).
  void SetAudio(std::unique_ptr<AudioDevice> a);

 private:
  void RunModal();  // lets virtual time pass while a dialog is up, firing timers
  void AdvanceTime(uint32_t ms);
  void ApplyScriptForFrame();

  uint32_t now_ = 100000;
  int frames_ = 0;
  int stopAfter_ = 0;
  int budget_ = 0;
  Bitmap lastFrame_;
  std::vector<uint64_t> hashes_;
  bool hashing_ = false;
  std::string captureDir_;
  std::set<int> captureAt_;

  std::vector<KeyStep> script_;
  bool scripted_ = false;
  int scriptOrigin_ = 0;
  std::set<int> down_;
  std::set<int> pressedSince_;

  struct Timer {
    int interval;
    uint32_t next;
    std::function<void()> fn;
  };
  std::map<int, Timer> timers_;
  int nextTimer_ = 1;

  WindowEvents* events_ = nullptr;
  bool active_ = true, closeRequested_ = false, visible_ = false;
  bool fullScreen_ = false, topmost_ = false, terminate_ = false, instanceHeld_ = false;
  bool inClose_ = false;
  int left_ = 100, top_ = 100, clientW_ = 0, clientH_ = 0;
  std::string caption_, programPath_;
  std::unique_ptr<AudioDevice> audio_;
  bool audioFollowsClock_ = true;
};

}  // namespace plat
