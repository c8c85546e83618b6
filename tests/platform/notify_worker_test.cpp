// The notify worker of the outputs that play by themselves: it polls after a cursor passes a
// notification position or the owner starts a buffer, and sleeps through the polls between.
#include <gtest/gtest.h>

#include <chrono>
#include <mutex>
#include <thread>
#include <vector>

#include "platform/null/null_audio.h"

namespace {

using Clock = std::chrono::steady_clock;
using namespace std::chrono_literals;

constexpr uint32_t kBytes = 176400, kHalf = kBytes / 2;  // a second of 44.1 kHz stereo

struct Seen {
  uint32_t play;
  bool playing;
};

// A streaming buffer with the music stream's positions {0, half, stop} and a worker whose
// poll notes what it sees.
struct Rig {
  plat::SoftAudioDevice& out;
  plat::SoundDevice* dev = nullptr;
  plat::SoundBuffer* buf = nullptr;
  std::mutex mu;
  std::vector<Seen> seen;
  std::unique_ptr<plat::AudioDevice::Worker> worker;

  explicit Rig(plat::SoftAudioDevice& o) : out(o) {
    EXPECT_EQ(out.CreateDevice(&dev), plat::kAudioOk);
    dev->Initialize();
    plat::WaveFormat fmt;
    plat::BufferDesc d;
    d.flags = plat::kBufCtrlPositionNotify | plat::kBufGetCurrentPosition2;
    d.bufferBytes = kBytes;
    d.format = &fmt;
    EXPECT_EQ(dev->CreateSoundBuffer(d, &buf), plat::kAudioOk);
    const plat::PositionNotify n[3] = {{0, nullptr}, {kHalf, nullptr}, {plat::kNotifyOffsetStop, nullptr}};
    EXPECT_EQ(buf->SetNotificationPositions(3, n), plat::kAudioOk);
    worker = out.StartWorker(10, [this] {
      uint32_t play = 0, status = 0;
      buf->GetCurrentPosition(&play, nullptr);
      buf->GetStatus(&status);
      std::lock_guard<std::mutex> lk(mu);
      seen.push_back({play, (status & plat::kStatusPlaying) != 0});
    });
  }
  ~Rig() {
    worker.reset();
    buf->Release();
    dev->Release();
  }
  std::vector<Seen> Polls() {
    std::lock_guard<std::mutex> lk(mu);
    return seen;
  }
  // Waits (up to two seconds) for a poll that sees `what`.
  template <class F>
  bool WaitFor(F what) {
    for (auto until = Clock::now() + 2s; Clock::now() < until; std::this_thread::sleep_for(2ms))
      for (const Seen& s : Polls())
        if (what(s)) return true;
    return false;
  }
};

TEST(NotifyWorker, OnTheWallClockPollsFollowThePassesAndNotEveryPeriod) {
  plat::SoftAudioDevice out;
  out.SetRealTime(true);
  Rig rig(out);
  rig.buf->Play(0, 0, plat::kPlayLooping);
  // The first half, then the second, then the first again after the wrap: each seen.
  ASSERT_TRUE(rig.WaitFor([](const Seen& s) { return s.playing && s.play < kHalf; }));
  ASSERT_TRUE(rig.WaitFor([](const Seen& s) { return s.playing && s.play > kHalf; }));
  const auto wrapped = [&] {
    bool second = false;
    for (const Seen& s : rig.Polls()) {
      if (s.play > kHalf) second = true;
      if (second && s.play < kHalf) return true;
    }
    return false;
  };
  for (auto until = Clock::now() + 3s; !wrapped() && Clock::now() < until;) std::this_thread::sleep_for(5ms);
  ASSERT_TRUE(wrapped());
  // About a second played: polling every period would have made a hundred.
  EXPECT_LE(rig.Polls().size(), 12u);
}

TEST(NotifyWorker, AStartedBufferIsPolledWithoutWaitingForAPass) {
  plat::SoftAudioDevice out;
  out.SetRealTime(true);
  Rig rig(out);
  std::this_thread::sleep_for(150ms);
  EXPECT_LE(rig.Polls().size(), 1u) << "a stopped buffer: nothing to poll for";
  rig.buf->SetCurrentPosition(kHalf + 4000);
  rig.buf->Play(0, 0, plat::kPlayLooping);
  EXPECT_TRUE(rig.WaitFor([](const Seen& s) { return s.playing && s.play > kHalf; }));
}

TEST(NotifyWorker, FromTheCardsCallbackARenderPastAPositionWakesThePoll) {
  plat::SoftAudioDevice out;  // not on the wall clock: the cursors move only as it renders
  Rig rig(out);
  rig.buf->Play(0, 0, plat::kPlayLooping);
  ASSERT_TRUE(rig.WaitFor([](const Seen& s) { return s.playing; }));
  std::vector<int16_t> pcm(2048);
  // Up to just short of the half: 21 periods of 1024 frames.
  for (int i = 0; i < 21; ++i) out.Render(pcm.data(), 1024);
  std::this_thread::sleep_for(100ms);
  const size_t before = rig.Polls().size();
  EXPECT_LE(before, 3u);
  for (const Seen& s : rig.Polls()) EXPECT_LT(s.play, kHalf);
  out.Render(pcm.data(), 1024);
  EXPECT_TRUE(rig.WaitFor([](const Seen& s) { return s.play > kHalf; }));
}

}  // namespace
