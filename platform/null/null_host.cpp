// Headless host: everything a run needs without a display or a sound card.
#include "platform/null/null_host.h"

#include <algorithm>
#include <filesystem>

#include "platform/api/keys.h"
#include "platform/null/null_audio.h"
#include "platform/qtgfx/qt_gfx.h"

namespace plat {

namespace {

// Virtual milliseconds a modal dialog stays up; timers fire during it.
constexpr uint32_t kDialogMs = 300;

const char* ButtonsName(MsgButtons b) {
  switch (b) {
    case MsgButtons::Ok: return "ok";
    case MsgButtons::YesNo: return "yesno";
    case MsgButtons::OkCancel: return "okcancel";
  }
  return "?";
}

std::string Escaped(const std::string& s) {
  std::string out;
  for (char c : s) {
    if (c == '\r') out += "\\r";
    else if (c == '\n') out += "\\n";
    else out += c;
  }
  return out;
}

// FNV-1a over whole pixels.
uint64_t FrameHash(const Bitmap& b) {
  uint64_t h = 1469598103934665603ull;
  for (uint32_t p : b.px) {
    h ^= p;
    h *= 1099511628211ull;
  }
  return h;
}

}  // namespace

NullHost::NullHost() : audio_(std::make_unique<NullAudioDevice>()) {}
NullHost::~NullHost() = default;

void NullHost::SetKeyScript(std::vector<KeyStep> steps, int origin) {
  script_ = std::move(steps);
  scriptOrigin_ = origin;
  scripted_ = true;
  ApplyScriptForFrame();
}

void NullHost::KeyDown(int vk) {
  scripted_ = false;
  if (!down_.count(vk)) pressedSince_.insert(vk);
  down_.insert(vk);
}

void NullHost::KeyUp(int vk) {
  scripted_ = false;
  down_.erase(vk);
}

void NullHost::ReleaseAllKeys() {
  scripted_ = false;
  down_.clear();
}

void NullHost::ApplyScriptForFrame() {
  if (!scripted_) return;
  // The step that covers script frame index frames_ - origin (0-based).
  std::set<int> want;
  const int at = frames_ - scriptOrigin_;
  int start = 0;
  for (const KeyStep& s : script_) {
    if (at < 0) break;
    if (at < start + s.frames) {
      want.insert(s.vks.begin(), s.vks.end());
      break;
    }
    start += s.frames;
  }
  for (int vk : want)
    if (!down_.count(vk)) pressedSince_.insert(vk);
  down_ = std::move(want);
}

short NullHost::AsyncKeyState(int vk) {
  short r = 0;
  if (down_.count(vk)) r |= kKeyDown;
  if (pressedSince_.erase(vk)) r |= kKeyPressedSince;
  return r;
}

void NullHost::AdvanceTime(uint32_t ms) {
  now_ += ms;
  if (!audioFollowsClock_ || ms == 0) return;
  if (auto* out = dynamic_cast<NullAudioDevice*>(audio_.get()); out && out->Manual()) out->AdvanceMs(ms);
}

void NullHost::SleepMs(uint32_t ms) {
  ++SleepCalls;
  AdvanceTime(ms);
}

void NullHost::SleepToNextTick() {
  ++TickSleepCalls;
  AdvanceTime(1);
}

void NullHost::CaptureFrames(const std::string& dir, std::set<int> frames) {
  captureDir_ = dir;
  captureAt_ = std::move(frames);
}

void NullHost::Present(const Bitmap& frame) {
  lastFrame_ = frame;
  ++frames_;
  if (hashing_) hashes_.push_back(FrameHash(frame));
  if (!captureDir_.empty() && captureAt_.count(frames_)) {
    std::filesystem::create_directories(captureDir_);
    qtgfx::SavePng(captureDir_ + "/frame-" + std::to_string(frames_) + ".png", frame);
  }
  if (OnFrame) OnFrame(frames_);
  if (budget_ > 0 && frames_ > budget_)
    throw FrameBudgetExceeded("run passed its budget of " + std::to_string(budget_) + " frames");
  if (stopAfter_ > 0 && frames_ >= stopAfter_) throw StopRun{frames_};
  ApplyScriptForFrame();
}

void NullHost::ProcessMessages() {
  ++ProcessMessagesCalls;
  // Each pass through the message loop takes a virtual millisecond, so polling waits end.
  AdvanceTime(1);
  for (auto& [id, t] : timers_) {
    if (static_cast<int32_t>(now_ - t.next) >= 0) {
      t.next = now_ + t.interval;
      auto fn = t.fn;
      fn();
      break;  // the map may have changed
    }
  }
  if (closeRequested_ && !inClose_) {
    closeRequested_ = false;
    inClose_ = true;
    bool close = events_ ? events_->OnCloseQuery() : true;
    inClose_ = false;
    if (close) terminate_ = true;
  }
}

void NullHost::RunModal() {
  // The dialog stays up for a while of virtual time; timers keep firing meanwhile.
  uint32_t end = now_ + kDialogMs;
  while (static_cast<int32_t>(now_ - end) < 0) {
    AdvanceTime(1);
    std::vector<std::function<void()>> due;
    for (auto& [id, t] : timers_) {
      if (static_cast<int32_t>(now_ - t.next) >= 0) {
        t.next = now_ + t.interval;
        due.push_back(t.fn);
      }
    }
    for (auto& fn : due) fn();
  }
}

MsgResult NullHost::MessageBox(const std::string& text, const std::string& caption, MsgButtons buttons,
                               MsgIcon) {
  std::string line = caption + " | " + Escaped(text) + " | " + ButtonsName(buttons);
  DialogLog.push_back(line);
  if (OnDialog) OnDialog(line);
  RunModal();
  MsgResult r = buttons == MsgButtons::YesNo ? MsgResult::Yes : MsgResult::Ok;
  if (!Answers.empty()) {
    r = Answers.front();
    Answers.pop_front();
  }
  return r;
}

std::optional<std::string> NullHost::OpenFileDialog(const FileDialogSpec& request) {
  FileDialogLog.push_back(request);
  RunModal();
  if (OpenAnswers.empty()) return std::nullopt;
  auto r = OpenAnswers.front();
  OpenAnswers.pop_front();
  return r;
}

std::optional<std::string> NullHost::SaveFileDialog(const FileDialogSpec& request) {
  FileDialogLog.push_back(request);
  RunModal();
  if (SaveAnswers.empty()) return std::nullopt;
  auto r = SaveAnswers.front();
  SaveAnswers.pop_front();
  return r;
}

int NullHost::StartTimer(int intervalMs, std::function<void()> fn) {
  int id = nextTimer_++;
  timers_[id] = Timer{std::max(1, intervalMs), now_ + std::max(1, intervalMs), std::move(fn)};
  return id;
}

void NullHost::StopTimer(int id) { timers_.erase(id); }

void NullHost::DrawText(Bitmap& dst, const std::string& fontName, int cellHeight, uint32_t colour, int x,
                        int y, std::string_view utf8) {
  qtgfx::EnsureGuiApplication();
  qtgfx::DrawText(dst, fontName, cellHeight, colour, x, y, utf8);
}

bool NullHost::LoadImage(const std::string& name, Bitmap& out) { return qtgfx::LoadArt(name, out); }

AudioDevice& NullHost::Audio() { return *audio_; }

void NullHost::SetAudio(std::unique_ptr<AudioDevice> a) {
  if (a) audio_ = std::move(a);
}

}  // namespace plat
