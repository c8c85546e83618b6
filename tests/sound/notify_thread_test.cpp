// The music notify path under load: the mixer renders on its own thread, as the stream's notify
// thread does, while the main thread opens, plays, rewinds, seeks, fades bands and closes the
// track. Run under ThreadSanitizer (build-tsan) this shows any field the two share unguarded.
#include <gtest/gtest.h>

#include <atomic>
#include <thread>

#include "sound/ogg_player.h"
#include "tests/sound/track_fixture.h"

TEST(MusicNotifyThread, MainThreadCallsRaceNoRender) {
  const std::vector<uint8_t> song = SineOgg(44100, 2, 0.5);
  TMemoryStream source;
  source.Write(song.data(), static_cast<int64_t>(song.size()));
  TOggData track(65536, &TestDll());
  TOggPlayer player(65536, 8);
  track.OpenCopy(source);
  player.Attach(0, &track);

  std::atomic<bool> stop{false};
  std::atomic<int> mixes{0};
  std::thread notify([&] {
    while (!stop) {
      player.RenderNext();
      mixes++;
    }
  });
  for (int i = 0; i < 300; ++i) {
    track.Play(i % 3 == 0);
    if (i % 7 == 0) track.Rewind();
    if (i % 5 == 0) track.Seek(0.25f);
    (void)track.Position();
    track.FadeBandGain(i % 256, 0.1f, i % 2 ? 0.5f : 1.0f);
    (void)track.GetBandGain(i % 256);
    if (i % 50 == 49) {
      track.Close();
      track.OpenCopy(source);
    }
    std::this_thread::yield();
  }
  while (mixes < 50) std::this_thread::yield();
  stop = true;
  notify.join();

  // The track comes out of it whole: it plays the song from the start again.
  for (int i = 0; i < 256; ++i) track.SetBandGain(i, 1.0f);
  track.Rewind();
  track.Play(false);
  std::vector<int16_t> out(8192 * 2);
  ASSERT_EQ(track.Render(reinterpret_cast<uint8_t*>(out.data()), 32768), 32768);
  std::vector<int16_t> ref = DecodeAll(song);
  EXPECT_EQ(out[2000], static_cast<int16_t>((254 * ref[2000]) / 256));
}
