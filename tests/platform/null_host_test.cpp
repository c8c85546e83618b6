// The headless host every game test stands on: scripted keys frame by frame, the virtual
// clock and its timers, frame limits, hashes and captures, dialogs and the close request.
#include "platform/null/null_host.h"

#include <gtest/gtest.h>

#include <unistd.h>

#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "platform/api/keys.h"

namespace {

using plat::NullHost;

bool Down(NullHost& h, int vk) { return (h.AsyncKeyState(vk) & plat::kKeyDown) != 0; }

void PresentFrames(NullHost& h, int n) {
  plat::Bitmap frame(4, 4, 0);
  for (int i = 0; i < n; i++) h.Present(frame);
}

TEST(NullHost, AKeyScriptHoldsEachStepForItsFramesFromTheOrigin) {
  struct Case {
    int origin;
    // Right held in frame k (the frames counted by presents so far) for k = 0..6.
    std::vector<bool> right;
  } cases[] = {
      {0, {true, true, false, false, false, false, false}},
      {3, {false, false, false, true, true, false, false}},
  };
  for (const Case& c : cases) {
    NullHost h;
    h.SetKeyScript({{2, {plat::kVkRight}}, {1, {}}, {1, {plat::kVkZ}}}, c.origin);
    for (int k = 0; k < 7; k++) {
      EXPECT_EQ(Down(h, plat::kVkRight), c.right[k]) << "origin " << c.origin << " frame " << k;
      EXPECT_EQ(Down(h, plat::kVkZ), k == c.origin + 3) << "origin " << c.origin << " frame " << k;
      PresentFrames(h, 1);
    }
  }
}

TEST(NullHost, APressBetweenTwoQueriesIsReportedOnceEvenWhenReleased) {
  NullHost h;
  h.KeyDown(plat::kVkX);
  h.KeyUp(plat::kVkX);
  EXPECT_EQ(h.AsyncKeyState(plat::kVkX), plat::kKeyPressedSince);
  EXPECT_EQ(h.AsyncKeyState(plat::kVkX), 0);
  h.KeyDown(plat::kVkX);
  EXPECT_EQ(h.AsyncKeyState(plat::kVkX), plat::kKeyDown | plat::kKeyPressedSince);
  EXPECT_EQ(h.AsyncKeyState(plat::kVkX), plat::kKeyDown);
}

TEST(NullHost, TheClockMovesOnlyBySleepsMessagePassesAndDialogsAndTimersFireOnIt) {
  NullHost h;
  const uint32_t t0 = h.TickMs();
  int fired = 0;
  h.StartTimer(10, [&] { fired++; });
  h.SleepMs(7);
  h.SleepToNextTick();
  EXPECT_EQ(h.TickMs() - t0, 8u);
  EXPECT_EQ(fired, 0);  // timers fire in message passes, not in sleeps
  h.ProcessMessages();  // +1 ms: 9
  EXPECT_EQ(fired, 0);
  h.ProcessMessages();  // 10
  EXPECT_EQ(fired, 1);
  EXPECT_EQ(h.TickMs() - t0, 10u);
  // A modal dialog lets time pass with the timer firing every 10 ms meanwhile.
  h.MessageBox("text", "caption", plat::MsgButtons::Ok, plat::MsgIcon::None);
  EXPECT_EQ(h.TickMs() - t0, 310u);
  EXPECT_EQ(fired, 31);
}

TEST(NullHost, DialogsTakeTheQueuedAnswersAndLogWhatTheyShowed) {
  NullHost h;
  h.Answers.push_back(plat::MsgResult::No);
  EXPECT_EQ(h.MessageBox("quit?", "game", plat::MsgButtons::YesNo, plat::MsgIcon::None), plat::MsgResult::No);
  EXPECT_EQ(h.MessageBox("again?", "game", plat::MsgButtons::YesNo, plat::MsgIcon::None), plat::MsgResult::Yes);
  EXPECT_EQ(h.MessageBox("line1\nline2", "game", plat::MsgButtons::Ok, plat::MsgIcon::Error), plat::MsgResult::Ok);
  ASSERT_EQ(h.DialogLog.size(), 3u);
  EXPECT_EQ(h.DialogLog[0], "game | quit? | yesno");
  h.OpenAnswers.push_back(std::string("/tmp/a.krm"));
  EXPECT_EQ(h.OpenFileDialog({}), std::optional<std::string>("/tmp/a.krm"));
  EXPECT_EQ(h.OpenFileDialog({}), std::nullopt);  // none queued: cancelled
  EXPECT_EQ(h.SaveFileDialog({}), std::nullopt);
  EXPECT_EQ(h.FileDialogLog.size(), 3u);
}

TEST(NullHost, PresentsEndARunAtTheLimitOrFailItPastTheBudget) {
  NullHost h;
  h.StopAfterFrames(3);
  PresentFrames(h, 2);
  EXPECT_THROW(PresentFrames(h, 1), plat::StopRun);
  EXPECT_EQ(h.Frames(), 3);

  NullHost b;
  b.SetFrameBudget(2);
  PresentFrames(b, 2);
  EXPECT_THROW(PresentFrames(b, 1), plat::FrameBudgetExceeded);
}

TEST(NullHost, FramesAreHashedByTheirPixelsAndOnlyTheChosenOnesCaptured) {
  NullHost h;
  const auto dir = std::filesystem::temp_directory_path() / ("plumet-null-host-" + std::to_string(::getpid()));
  h.CaptureFrames(dir.string(), {2});
  h.SetFrameHashing(true);
  plat::Bitmap a(4, 4, 0), b(4, 4, 0);
  b.Set(3, 3, 1);
  h.Present(a);
  h.Present(b);
  h.Present(a);
  ASSERT_EQ(h.FrameHashes().size(), 3u);
  EXPECT_EQ(h.FrameHashes()[0], h.FrameHashes()[2]);
  EXPECT_NE(h.FrameHashes()[0], h.FrameHashes()[1]);
  EXPECT_FALSE(std::filesystem::exists(dir / "frame-1.png"));
  EXPECT_TRUE(std::filesystem::exists(dir / "frame-2.png"));
  EXPECT_FALSE(std::filesystem::exists(dir / "frame-3.png"));
  std::filesystem::remove_all(dir);
}

TEST(NullHost, ACloseRequestAsksTheFormAtTheNextMessagePass) {
  struct Events : plat::WindowEvents {
    bool allow = false;
    int asked = 0;
    bool OnCloseQuery() override {
      asked++;
      return allow;
    }
    void OnPaint() override {}
  } events;
  NullHost h;
  h.SetEventHandler(&events);
  h.RequestClose();
  EXPECT_EQ(events.asked, 0);
  h.ProcessMessages();
  EXPECT_EQ(events.asked, 1);
  EXPECT_FALSE(h.TerminateRequested());
  events.allow = true;
  h.RequestClose();
  h.ProcessMessages();
  h.ProcessMessages();  // asked once per request
  EXPECT_EQ(events.asked, 2);
  EXPECT_TRUE(h.TerminateRequested());
}

}  // namespace
