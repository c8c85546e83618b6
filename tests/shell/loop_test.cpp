// The frame loop's shared pieces: pacing, the key flush and latch, the pause on focus loss,
// and the close confirmation.
#include <gtest/gtest.h>

#include "game/shell/program.h"
#include "game/shell/frame.h"
#include "platform/api/keys.h"
#include "tests/harness/harness.h"

using namespace plat;
using harness::Harness;
using harness::ProgramFolder;
using harness::RunEnd;

TEST(Pacing, WaitSleepsAllButTwoMillisecondsThenPolls) {
  struct Case {
    int ms;
    int sleeps;
    uint32_t minElapsed;
  } cases[] = {{0, 0, 0}, {-5, 0, 0}, {1, 0, 1}, {2, 0, 2}, {3, 1, 3}, {24, 1, 24}};
  for (const Case& c : cases) {
    NullHost host;
    Game g(host);
    uint32_t t0 = host.Now();
    WaitMs(g, c.ms);
    EXPECT_EQ(host.SleepCalls, c.sleeps) << c.ms;
    // What is left after the long sleep is served a tick at a time: messages, then a sleep to
    // the next tick while time remains (never a spin on the clock).
    if (c.ms >= 2) {
      EXPECT_EQ(host.TickSleepCalls, 1) << c.ms;
    }
    EXPECT_GE(host.Now() - t0, c.minElapsed) << c.ms;
    EXPECT_LE(host.Now() - t0, c.minElapsed + 1) << c.ms;
    if (c.ms <= 0) {
      EXPECT_EQ(host.ProcessMessagesCalls, 0) << c.ms;
    }
  }
}

// With a real clock the message passes take no time: the tail is a pass and one sleep to the
// end time, not a pass and a sleep on every tick.
TEST(Pacing, WaitTailSleepsOnceToTheEndTime) {
  struct QuickPasses : NullHost {
    std::vector<uint32_t> tickSleeps;
    uint32_t tickMs = 1000;
    uint32_t TickMs() override { return tickMs; }
    void SleepMs(uint32_t ms) override { tickMs += ms; }
    void ProcessMessages() override { ++ProcessMessagesCalls; }
    void SleepToTick(uint32_t tick) override {
      tickSleeps.push_back(tick);
      if (static_cast<int32_t>(tickMs - tick) < 0) tickMs = tick;
    }
  };
  for (int ms : {1, 2, 3, 24}) {
    QuickPasses host;
    Game g(host);
    WaitMs(g, ms);
    EXPECT_EQ(host.tickSleeps, std::vector<uint32_t>{1000u + ms}) << ms;
    EXPECT_EQ(host.ProcessMessagesCalls, 1) << ms;
    EXPECT_EQ(host.tickMs, 1000u + ms) << ms;
  }
}

// On a busy machine the sleep runs late now and then; a key that came in during it must still
// be taken in before the next frame reads the keys, or a one-frame tap lands a frame late.
TEST(Pacing, AWaitWhoseSleepRanPastTheTimeStillServesTheWindowOnce) {
  struct LateSleeper : NullHost {
    uint32_t late = 0;
    void SleepMs(uint32_t ms) override { NullHost::SleepMs(ms + late); }
  };
  for (uint32_t late : {0u, 2u, 3u, 10u}) {
    LateSleeper host;
    host.late = late;
    Game g(host);
    WaitMs(g, 20);
    EXPECT_GE(host.ProcessMessagesCalls, 1) << late;
    if (late >= 2) {
      EXPECT_EQ(host.TickSleepCalls, 0) << late;  // no more waiting once late
    }
  }
}

TEST(Pacing, FrameIsPacedTo25MsAndALongFrameIsNotMadeUp) {
  NullHost host;
  Game g(host);
  // A quick frame is stretched to 25 ms.
  uint32_t t0 = host.Now();
  BeginFrame(g);
  FullFrameTail(g);
  EXPECT_EQ(host.Now() - t0, 25u);
  // A 30 ms frame is followed at once by the next one, which is again 25 ms long.
  uint32_t t1 = host.Now();
  BeginFrame(g);
  host.Advance(30);
  int sleepsBefore = host.SleepCalls;
  FullFrameTail(g);
  EXPECT_EQ(host.SleepCalls, sleepsBefore);
  EXPECT_LE(host.Now() - t1, 32u);
  uint32_t t2 = host.Now();
  BeginFrame(g);
  FullFrameTail(g);
  EXPECT_EQ(host.Now() - t2, 25u);
}

TEST(Keys, APressBetweenQueriesCountsOnceAndTheFlushClearsIt) {
  NullHost host;
  Game g(host);
  host.KeyDown(kVkZ);
  host.KeyUp(kVkZ);  // pressed and released before the game looked
  EXPECT_TRUE(KeyPressed(g, kVkZ));
  EXPECT_FALSE(KeyPressed(g, kVkZ));
  host.KeyDown(kVkX);
  host.KeyUp(kVkX);
  FlushKeys(g);
  EXPECT_FALSE(KeyPressed(g, kVkX));
  host.KeyDown(kVkUp);
  FlushKeys(g);
  EXPECT_TRUE(KeyPressed(g, kVkUp)) << "a held key still counts after a flush";
}

TEST(Keys, LatchIsReleasedOnlyWhenEveryKeyOfTheSceneIsUp) {
  struct Case {
    uint8_t scene;
    std::vector<int> keys;  // the scene's list
  } cases[] = {
      {scTitleMenu, {kVkZ, kVkE, kVkUp, kVkDown, kVkShift, kVkEscape}},
      {scEditSelect, {kVkZ, kVkM, kVkX, kVkLeft, kVkRight, kVkShift, kVkEscape}},
      {scPlay, {kVkZ, kVkX, kVkEscape}},
      {scPause, {kVkZ, kVkX, kVkUp, kVkDown, kVkEscape}},
      {scStageSelect, {kVkZ, kVkM, kVkX, kVkH, kVkLeft, kVkRight, kVkShift, kVkEscape}},
      {scStageNumber, {kVkZ, kVkH, kVkX, kVkLeft, kVkRight, kVkEscape}},
      {scOpening, {kVkZ}},
      {scEnding, {kVkZ, kVkX, kVkM, kVkShift}},
  };
  const int all[] = {kVkUp, kVkDown, kVkLeft, kVkRight, kVkZ, kVkX, kVkM,
                     kVkE,  kVkH,    kVkC,    kVkF,     kVkEscape, kVkShift, kVkCtrl};
  for (const Case& c : cases) {
    for (int vk : all) {
      NullHost host;
      Game g(host);
      g.SceneId = c.scene;
      g.KeyLatch = 1;
      host.KeyDown(vk);
      ReleaseKeyLatch(g);
      bool listed = std::find(c.keys.begin(), c.keys.end(), vk) != c.keys.end();
      EXPECT_EQ(g.KeyLatch, listed ? 1 : 0) << "scene " << int(c.scene) << " key " << vk;
    }
  }
  // Scene 7 never touches the latch.
  NullHost host;
  Game g(host);
  g.SceneId = scStageStart;
  g.KeyLatch = 1;
  ReleaseKeyLatch(g);
  EXPECT_EQ(g.KeyLatch, 1);
}

TEST(Focus, LosingTheWindowPausesAndAHeldKeyWaitsForItsRelease) {
  NullHost host;
  Game g(host);
  g.SceneId = scPlay;
  g.OwnWindow = host.FormWindowId();
  host.KeyDown(kVkZ);
  host.SetActive(false);
  CheckFocus(g);
  EXPECT_EQ(g.Paused, 1);
  EXPECT_EQ(g.KeyLatch, 1);
  g.KeyLatch = 0;
  CheckFocus(g);  // still away: the latch is set again
  EXPECT_EQ(g.KeyLatch, 1);
  host.SetActive(true);
  CheckFocus(g);
  EXPECT_EQ(g.Paused, 0);
  EXPECT_EQ(g.KeyLatch, 1) << "the key held on return does not act";
  ReleaseKeyLatch(g);
  EXPECT_EQ(g.KeyLatch, 1);
  host.KeyUp(kVkZ);
  ReleaseKeyLatch(g);
  EXPECT_EQ(g.KeyLatch, 0);
}

TEST(Focus, APausedGameRunsOnlyItsTail) {
  ProgramFolder folder;
  Harness h(folder);
  int framesWhileAway = -1;
  uint8_t pausedWhileAway = 0;
  h.host.OnFrame = [&](int n) {
    if (n != 3) return;
    h.host.SetActive(false);
    // A second later, still away: nothing more was presented; then come back.
    h.host.StartTimer(1000, [&] {
      if (framesWhileAway >= 0) return;
      framesWhileAway = h.host.Frames();
      pausedWhileAway = h.g.Paused;
      h.host.SetActive(true);
    });
  };
  EXPECT_EQ(h.Run(6), RunEnd::Frames);
  EXPECT_EQ(framesWhileAway, 3);
  EXPECT_EQ(pausedWhileAway, 1);
  EXPECT_EQ(h.g.Paused, 0);
}

TEST(Close, NoKeepsPlayingWithTheLatchSetAndYesQuits) {
  ProgramFolder folder;
  Harness h(folder);
  h.host.Answers = {MsgResult::No, MsgResult::Yes};
  h.host.OnFrame = [&](int n) {
    if (n == 5 || n == 10) h.host.RequestClose();
    if (n == 7) {
      EXPECT_EQ(h.g.QuitRequested, 0);
      EXPECT_EQ(h.g.KeyLatch, 0) << "nothing held: the latch is released again at once";
    }
  };
  EXPECT_EQ(h.Run(1000), RunEnd::Quit);
  ASSERT_EQ(h.Dialogs().size(), 2u);
  EXPECT_EQ(h.Dialogs()[0], "ぷかぷか☆らんぷ | 終了しますか？ | yesno");
  EXPECT_LE(h.host.Frames(), 12);
  EXPECT_EQ(h.g.QuitRequested, 1);
  EXPECT_FALSE(h.host.Visible());
}
