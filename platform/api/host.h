// The one interface the game and the editor logic see of the machine: clock, keys, the main
// form, dialogs, text, timers, embedded art and process facts. No Qt or SDL types here.
//
// Contract for every implementation:
// - All calls come from the main thread (the audio device has its own rules, see audio.h).
// - Window events (close, paint) are delivered only from inside ProcessMessages() or a modal
//   dialog, by calling the registered WindowEvents; never from another thread.
// - Nothing here blocks except SleepMs, SleepToNextTick, SleepToTick and the modal dialogs.
#pragma once
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>

#include "bitmap.h"

namespace plat {

class AudioDevice;  // audio.h

enum class MsgButtons { Ok, YesNo, OkCancel };
enum class MsgIcon { None, Error, Warning, Question, Information };
enum class MsgResult { Ok, Cancel, Yes, No };

// File dialog request. `filter` uses the framework notation "Description|*.ext".
struct FileDialogSpec {
  std::string title;
  std::string initialDir;
  std::string fileName;
  std::string filter;
  std::string defaultExt;     // without the dot, e.g. "krm"
  bool fileMustExist = true;
  bool overwritePrompt = false;
};

struct DesktopInfo {
  int width = 0, height = 0, bitsPerPixel = 0, refresh = 0;
};

struct OsVersionInfo {
  int platformId = 0, major = 0, minor = 0;
};

// The form's handlers the host calls while it processes messages.
class WindowEvents {
 public:
  virtual ~WindowEvents() = default;
  // The user asked to close the window. Return true to let it close. The handler may run
  // modal dialogs itself.
  virtual bool OnCloseQuery() = 0;
  // The window needs its client area again (expose, restore). The handler presents.
  virtual void OnPaint() = 0;
};

class Host {
 public:
  virtual ~Host() = default;

  // --- clock ---------------------------------------------------------------------------
  // Millisecond clock; 32-bit and wrapping, like the system tick count it stands for.
  virtual uint32_t TickMs() = 0;
  virtual void SleepMs(uint32_t ms) = 0;
  // Sleeps until TickMs() next moves on (at most a millisecond): pacing waits sleep between
  // message passes instead of spinning on the clock.
  virtual void SleepToNextTick() = 0;
  // Sleeps until TickMs() reads `tick` or later (compared wrapping); at once when it already
  // does. The base sleeps a tick at a time; a host with a real clock sleeps once, to the tick.
  virtual void SleepToTick(uint32_t tick) {
    while (static_cast<int32_t>(TickMs() - tick) < 0) SleepToNextTick();
  }

  // --- keyboard ------------------------------------------------------------------------
  // Non-zero when the key is down now (kKeyDown) or was pressed since the previous query of
  // the same key (kKeyPressedSince). Each query clears the record of earlier presses.
  virtual short AsyncKeyState(int vk) = 0;

  // --- main form -----------------------------------------------------------------------
  virtual void SetEventHandler(WindowEvents* events) = 0;
  virtual void SetCaption(const std::string& utf8) = 0;
  virtual void SetClientSize(int w, int h) = 0;
  virtual void ShowWindow(bool visible) = 0;
  virtual void ActivateWindow() = 0;
  // Identity of the form, and of the window the user works in now (0: none of ours).
  virtual int FormWindowId() = 0;
  virtual int ActiveWindowId() = 0;
  virtual void GetWindowPos(int& left, int& top) = 0;
  virtual void MoveWindow(int left, int top) = 0;
  // Full screen: no border, cursor hidden, the client picture scaled to fill the screen with
  // its aspect kept and pixels not blended. Leaving restores the window as it was.
  virtual void SetFullScreen(bool on) = 0;
  virtual void SetTopmost(bool on) = 0;
  // Show this picture as the client area now (a 640x480 frame for the game).
  virtual void Present(const Bitmap& frame) = 0;
  // Handle all pending window-system messages; may call the WindowEvents.
  virtual void ProcessMessages() = 0;
  // The pacing wait: `ms` (above 0) milliseconds from now, the window served at least once
  // after the long sleep, even when that ran late (a key that came meanwhile reaches the next
  // frame). The base sleeps all but the last two milliseconds, then serves the window and
  // sleeps to the end until the time is up; a host whose sleeps end on the millisecond may
  // sleep once, to the end, and serve the window then.
  virtual void PaceWait(int32_t ms) {
    const uint32_t start = TickMs();
    if (ms > 2) SleepMs(static_cast<uint32_t>(ms - 2));
    const uint32_t end = start + static_cast<uint32_t>(ms);
    for (bool served = false; !served || static_cast<int32_t>(TickMs() - start) < ms; served = true) {
      ProcessMessages();
      if (static_cast<int32_t>(TickMs() - start) < ms) SleepToTick(end);
    }
  }

  // --- application -------------------------------------------------------------------------
  virtual void Terminate() = 0;
  virtual bool TerminateRequested() = 0;
  // Full name of the running program file (its folder is "the program's folder").
  virtual std::string ProgramPath() = 0;
  // The single-instance guard; false when another running copy holds `name`. Held until exit.
  virtual bool AcquireInstanceLock(const std::string& name) = 0;
  virtual DesktopInfo Desktop() = 0;
  virtual OsVersionInfo OsVersion() = 0;
  // Seed for the one gameplay random stream.
  virtual uint32_t RandomSeed() = 0;

  // --- dialogs (modal) -----------------------------------------------------------------------
  virtual MsgResult MessageBox(const std::string& text, const std::string& caption,
                               MsgButtons buttons, MsgIcon icon) = 0;
  virtual std::optional<std::string> OpenFileDialog(const FileDialogSpec& request) = 0;
  virtual std::optional<std::string> SaveFileDialog(const FileDialogSpec& request) = 0;

  // --- timers: fire from the message loop, also while a modal dialog is up ---------------
  virtual int StartTimer(int intervalMs, std::function<void()> fn) = 0;
  virtual void StopTimer(int id) = 0;

  // --- text ----------------------------------------------------------------------------
  // Draws `utf8` with a transparent background onto `dst`, top-left of the character cell at
  // (x, y). `cellHeight` is the height of the character cell in pixels (ascent + descent).
  // Glyph pixels are written in `colour` exactly (no blending). `fontName` is the name the
  // program asks for ("ＭＳ 明朝", "ＭＳ Ｐゴシック"); the host maps it to an installed face.
  virtual void DrawText(Bitmap& dst, const std::string& fontName, int cellHeight, uint32_t colour,
                        int x, int y, std::string_view utf8) = 0;

  // --- art -----------------------------------------------------------------------------
  // Loads an embedded picture by its component name ("ImgChar7"); false when there is none.
  virtual bool LoadImage(const std::string& name, Bitmap& out) = 0;

  // --- sound ---------------------------------------------------------------------------
  // The audio output under the sound library; never null (a silent device stands in).
  virtual AudioDevice& Audio() = 0;
};

}  // namespace plat
