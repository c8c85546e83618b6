// The SDL output under the device component: a real stream on SDL's dummy driver, and the
// silent real-time stand-in when no driver opens.
#include "platform/sdl/sdl_audio.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <cstdlib>
#include <thread>

#include "sound/ddsd.h"
#include "tests/sound/wave_fixtures.h"

namespace {

// Streams for 600 ms on a fresh output and counts the notifies.
int StreamNotifies(plat::SdlAudioDevice& out, std::vector<std::string>& halts) {
  std::atomic<int> notices{0};
  TDDSD ddsd(out);
  ddsd.Unit().Halt = [&](const std::string& m) { halts.push_back(m); };
  ddsd.Loaded();
  EXPECT_TRUE(ddsd.Available());
  auto w = std::make_unique<TDDSDWaveData>(ddsd, 44100, 16, true, 65536, false);
  w->OnNotify = [&](TDDSDGenWave*, TDDSDChannel*, uint32_t off, uint32_t len) {
    static const std::vector<uint8_t> silence(32768, 0);
    w->Write(off, silence.data(), len);
    ++notices;
  };
  ddsd.GetChannel(0)->SetWaveData(w.get());
  ddsd.GetChannel(0)->PlayLoop();
  std::this_thread::sleep_for(std::chrono::milliseconds(600));
  ddsd.GetChannel(0)->Stop();
  ddsd.GetChannel(0)->SetWaveData(nullptr);
  w.reset();
  return notices.load();
}

}  // namespace

TEST(SdlAudio, DummyDriverStreamsAndNotifiesAboutFiveTimesASecond) {
  ::setenv("SDL_AUDIODRIVER", "dummy", 1);
  std::vector<std::string> halts;
  {
    plat::SdlAudioDevice out;
    int n = StreamNotifies(out, halts);
    EXPECT_TRUE(out.Opened());
    EXPECT_GE(n, 3);
    EXPECT_LE(n, 6);
  }
  EXPECT_TRUE(halts.empty());
}

// The voice mixed on SDL's own thread: a synchronous play returns once the sound has ended.
TEST(SdlAudio, DummyDriverPlaysAWaveToItsEnd) {
  ::setenv("SDL_AUDIODRIVER", "dummy", 1);
  plat::SdlAudioDevice out;
  const wavefix::Bytes wave = wavefix::Wave({wavefix::Enc::ImaAdpcm, 22050, 1}, 8 * 505,
                                            wavefix::Sine(660, 22050, 0.4));
  ASSERT_TRUE(out.PlayWave(wave.data(), wave.size(), false, true));
  EXPECT_TRUE(out.Opened());
  EXPECT_FALSE(out.WavePlaying());
}

TEST(SdlAudio, NoUsableDriverFallsBackToASilentClock) {
  ::setenv("SDL_AUDIODRIVER", "no-such-driver", 1);
  std::vector<std::string> halts;
  {
    plat::SdlAudioDevice out;
    int n = StreamNotifies(out, halts);
    EXPECT_FALSE(out.Opened());
    EXPECT_TRUE(out.RealTime());
    EXPECT_GE(n, 3);
  }
  EXPECT_TRUE(halts.empty());
  ::setenv("SDL_AUDIODRIVER", "dummy", 1);
}
