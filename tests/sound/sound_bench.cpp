// Benchmark (not a test): CPU time to render one 32768-byte half of music (decode and mix) and
// to write it into the stream, against the 186 ms the half plays; and the time to open a song
// (the decoder library checks every link before it takes the file).
#include <chrono>
#include <cstdio>

#include "platform/null/null_audio.h"
#include "sound/ddsd.h"
#include "sound/ogg_player.h"
#include "tests/sound/track_fixture.h"

int main() {
  std::vector<uint8_t> ogg = SineOgg(44100, 2, 10.0, 440.0, 0.5);
  auto track = OpenTrack(ogg);
  TOggPlayer mixer(65536, 8);
  mixer.Attach(0, track.get());
  mixer.PlaySlot(0, true);
  plat::NullAudioDevice out;
  TDDSD ddsd(out);
  ddsd.ThreadedNotify = false;
  ddsd.Loaded();
  TDDSDWaveData w(ddsd, 44100, 16, true, 65536, false);
  using Clock = std::chrono::steady_clock;
  auto run = [&](const char* what, int halves) {
    auto t0 = Clock::now();
    for (int i = 0; i < halves; ++i) {
      mixer.RenderNext();
      w.Write(i % 2 ? 0 : 32768, mixer.CurrentBlock(), 32768);
    }
    double us = std::chrono::duration<double, std::micro>(Clock::now() - t0).count() / halves;
    std::printf("%s: %.1f us per half (%.3f %% of its 185.8 ms)\n", what, us, us / 1857.6);
  };
  run("decode + mix + write", 200);
  for (int b = 0; b < 256; ++b) track->SetBandGain(b, 0.8f);
  run("with the equaliser", 200);
  {
    TMemoryStream src;
    src.Write(ogg.data(), static_cast<int64_t>(ogg.size()));
    TOggData t(65536, &TestDll());
    constexpr int kOpens = 100;
    auto t0 = Clock::now();
    for (int i = 0; i < kOpens; ++i) t.OpenCopy(src);
    double us = std::chrono::duration<double, std::micro>(Clock::now() - t0).count() / kOpens;
    std::printf("open of a 10 s song (%zu bytes): %.1f us\n", ogg.size(), us);
  }
  return 0;
}
