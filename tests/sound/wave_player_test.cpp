// The wave player and the sound player's voice: every encoding, any length, cut and no-stop,
// copy-on-play, the enable and allow rules, loading by property.
#include "sound/wave_player.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstring>
#include <filesystem>
#include <fstream>
#include <functional>

#include "platform/null/null_audio.h"
#include "sound/memory_stream.h"
#include "tests/sound/ogg_fixture.h"
#include "tests/sound/wave_fixtures.h"

namespace {

using wavefix::Bytes;
using wavefix::Enc;
using wavefix::Spec;

Bytes Tone(int value, int frames) {
  return wavefix::Wave(Spec{Enc::S16, 44100, 2}, frames, wavefix::Levels(value / 32768.0, value / 32768.0));
}

// The same image with an unknown chunk before "fmt " (odd length, padded).
Bytes WithChunkFirst(Bytes v) {
  const uint8_t chunk[] = {'L', 'I', 'S', 'T', 3, 0, 0, 0, 1, 2, 3, 0};
  v.insert(v.begin() + 12, chunk, chunk + sizeof chunk);
  const uint32_t riff = uint32_t(v.size() - 8);
  std::memcpy(&v[4], &riff, 4);
  return v;
}

Bytes Patched16(Bytes v, size_t at, uint16_t value) {
  std::memcpy(&v[at], &value, 2);
  return v;
}

Bytes Patched32(Bytes v, size_t at, uint32_t value) {
  std::memcpy(&v[at], &value, 4);
  return v;
}

}  // namespace

// Every encoding the system's sound player plays, as a steady level per channel: near the
// middle of the sound the voice gives the level back, at 44100 Hz stereo and the right length.
TEST(SoundPlayerVoice, DecodesEveryEncodingToStereo44100) {
  struct Case {
    const char* name;
    Spec layout;
    int frames;
    double left, right, tolerance;
    double gain = 1.0;  // how much of each side is heard
  } cases[] = {
      {"16-bit PCM stereo", {Enc::S16, 44100, 2}, 441, 0.25, -0.5, 0},
      {"8-bit PCM mono 22050", {Enc::U8, 22050, 1}, 2205, 0.25, 0.25, 0.005},
      {"16-bit PCM mono 11025", {Enc::S16, 11025, 1}, 1103, -0.125, -0.125, 0.005},
      {"24-bit PCM stereo 48000", {Enc::S24, 48000, 2}, 4800, 0.3, -0.2, 0.005},
      {"32-bit PCM mono 96000", {Enc::S32, 96000, 1}, 9600, -0.4, -0.4, 0.005},
      {"32-bit float stereo", {Enc::F32, 44100, 2}, 441, 0.5, -0.25, 0},
      {"EXTENSIBLE 16-bit PCM stereo", {Enc::S16, 44100, 2, true}, 441, -0.25, 0.125, 0},
      {"EXTENSIBLE 32-bit float mono 32000", {Enc::F32, 32000, 1, true}, 3200, 0.2, 0.2, 0.005},
      // SDL folds the third channel into both sides and lowers the fronts by a fifth.
      {"EXTENSIBLE three channels", {Enc::S16, 44100, 3, true}, 441, 0.25, -0.25, 0.005, 0.8},
      {"mu-law mono 8000", {Enc::MuLaw, 8000, 1}, 800, 0.25, 0.25, 0.01},
      {"A-law stereo 8000", {Enc::ALaw, 8000, 2}, 800, -0.25, 0.5, 0.02},  // a step of 3 % at 0.5
      {"IMA ADPCM mono 22050", {Enc::ImaAdpcm, 22050, 1}, 4 * 505, 0.25, 0.25, 0.01},
      {"IMA ADPCM stereo", {Enc::ImaAdpcm, 44100, 2}, 2 * 505, -0.25, 0.5, 0.01},
      {"MS ADPCM mono 11025", {Enc::MsAdpcm, 11025, 1}, 3 * 500, 0.25, 0.25, 0.01},
      {"MS ADPCM stereo", {Enc::MsAdpcm, 44100, 2}, 2 * 500, 0.5, -0.25, 0.01},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    const Bytes image = wavefix::Wave(c.layout, c.frames, wavefix::Levels(c.left, c.right));
    std::vector<int16_t> pcm;
    ASSERT_TRUE(plat::DecodeWaveImage(image.data(), image.size(), pcm));
    const size_t frames = size_t(c.frames) * 44100 / size_t(c.layout.rate);
    ASSERT_EQ(pcm.size(), frames * 2);
    const size_t mid = frames / 2;
    EXPECT_NEAR(pcm[2 * mid] / 32768.0, c.left * c.gain, c.tolerance);
    EXPECT_NEAR(pcm[2 * mid + 1] / 32768.0, c.right * c.gain, c.tolerance);
  }
}

TEST(SoundPlayerVoice, ReadsTheFileAsTheSoundPlayerDoesAndRefusesTheRest) {
  const Bytes tone = Tone(9, 10);  // 16-bit stereo: header 44 bytes, then 40 of samples
  std::vector<int16_t> pcm;
  struct Played {
    const char* name;
    Bytes image;
    size_t frames;
  } played[] = {
      {"unknown chunk first", WithChunkFirst(tone), 10},
      {"data cut short", Bytes(tone.begin(), tone.end() - 8), 8},
      {"half a frame at the end", Bytes(tone.begin(), tone.end() - 2), 9},
  };
  for (const auto& c : played) {
    ASSERT_TRUE(plat::DecodeWaveImage(c.image.data(), c.image.size(), pcm)) << c.name;
    ASSERT_EQ(pcm.size(), c.frames * 2) << c.name;
    EXPECT_EQ(pcm[0], 9) << c.name;
  }

  // A block size below the frame's, so SDL keeps part of a frame at the end (found by the
  // fuzzer): the whole frames play.
  Bytes five = wavefix::Wave(Spec{Enc::U8, 11025, 5}, 9, wavefix::Levels(0.5, 0.5));
  five = Patched16(Bytes(five.begin(), five.end() - 3), 32, 1);
  ASSERT_TRUE(plat::DecodeWaveImage(five.data(), five.size(), pcm));
  EXPECT_EQ(pcm.size(), 8u * 4 * 2);

  const Bytes f32 = wavefix::Wave(Spec{Enc::F32, 44100, 1}, 10, wavefix::Levels(0.1, 0.1));
  const Bytes nine = wavefix::Wave(Spec{Enc::S16, 44100, 9}, 10, wavefix::Levels(0.1, 0.1));
  struct Refused {
    const char* name;
    Bytes image;
  } refused[] = {
      {"not a wave", {'R', 'I', 'F', 'F', 4, 0, 0, 0, 'A', 'V', 'I', ' '}},
      {"no data chunk", Bytes(tone.begin(), tone.begin() + 36)},
      {"an empty data chunk", Patched32(Bytes(tone.begin(), tone.begin() + 44), 40, 0)},
      {"an unknown encoding", Patched16(tone, 20, 0x55)},
      {"64-bit float (SDL reads none)", Patched16(Patched16(Patched16(f32, 34, 64), 32, 8), 20, 3)},
      {"nine channels (SDL converts eight at most)", nine},
      {"a rate below 100 Hz", Patched32(tone, 24, 99)},
      {"a rate above 200 kHz", Patched32(tone, 24, 200001)},
  };
  for (const auto& c : refused) {
    EXPECT_FALSE(plat::DecodeWaveImage(c.image.data(), c.image.size(), pcm)) << c.name;
    EXPECT_TRUE(pcm.empty()) << c.name;
  }
  EXPECT_FALSE(plat::DecodeWaveImage(nullptr, 0, pcm));
}

// No length limit but the file's: the voice converts as it plays, so what it holds follows the
// file, not the sound. Both edges: a small file at the lowest rate lasting hours, and an effect
// longer than a minute through the player.
TEST(SoundPlayerVoice, PlaysAnyLengthInMemoryThatFollowsTheFile) {
  // 100 Hz 8-bit mono, 1 MiB: nearly three hours, 1.8 GB if expanded to 44100 Hz stereo whole.
  const Bytes small = wavefix::Wave(Spec{Enc::U8, 100, 1}, 1 << 20, wavefix::Levels(0.25, 0.25));
  std::unique_ptr<plat::WaveVoice> voice = plat::WaveVoice::Open(small.data(), small.size());
  ASSERT_TRUE(voice);
  EXPECT_EQ(voice->Frames(), uint64_t(1 << 20) * 441);
  std::vector<int16_t> block(2 * 4410);
  size_t most = 0;
  for (int i = 0; i < 200; ++i) {  // the first 20 s
    ASSERT_EQ(voice->Read(block.data(), 4410), 4410);
    most = std::max(most, voice->HeldBytes());
  }
  EXPECT_NEAR(block[0], 8192, 64);
  EXPECT_LT(most, small.size() + (2 << 20)) << "the file and a converter's worth, no more";

  plat::NullAudioDevice out;
  ASSERT_TRUE(out.PlayWave(small.data(), small.size(), false, false));
  out.Advance(10 * 44100);
  EXPECT_TRUE(out.WavePlaying());
  out.StopWave();

  // 61 s at 8000 Hz, loaded and played the way the game plays its effects.
  const int seconds = 61;
  char tmpl[] = "/tmp/plumet-wave-XXXXXX";
  std::filesystem::path dir = ::mkdtemp(tmpl);
  ASSERT_TRUE(WriteBytes((dir / "hanabi.wav").string(),
                         wavefix::Wave(Spec{Enc::U8, 8000, 1}, seconds * 8000, wavefix::Levels(0.5, 0.5))));
  TWavePlayer p(out);
  p.SetFileName((dir / "hanabi.wav").string());
  p.Loaded();
  ASSERT_TRUE(p.HasData());
  p.Play();
  out.StartCapture();
  out.Advance(seconds * 44100 - 100);
  EXPECT_TRUE(out.WavePlaying()) << "still playing just before its end";
  out.Advance(200);
  EXPECT_FALSE(out.WavePlaying());
  const std::vector<int16_t> got = out.TakeCapture();
  ASSERT_EQ(got.size(), size_t(seconds * 44100 + 100) * 2);
  EXPECT_NEAR(got[size_t(seconds * 44100 - 1000) * 2], 16384, 64) << "heard a second before the end";
  EXPECT_EQ(got.back(), 0) << "and silent after it";
  std::filesystem::remove_all(dir);
}

TEST(WavePlayer, PlayCutsTheVoiceAndPlayNoStopLeavesIt) {
  plat::NullAudioDevice out;
  std::vector<uint8_t> a = Tone(1000, 300), b = Tone(2000, 300);
  out.StartCapture();
  ASSERT_TRUE(out.PlayWave(a.data(), a.size(), false, false));
  out.Advance(100);
  EXPECT_FALSE(out.PlayWave(b.data(), b.size(), true, false)) << "no-stop while a sound plays";
  out.Advance(100);
  ASSERT_TRUE(out.PlayWave(b.data(), b.size(), false, false));
  out.Advance(400);
  EXPECT_TRUE(out.PlayWave(a.data(), a.size(), true, false)) << "no-stop once the voice is free";
  out.StopWave();
  out.Advance(10);
  std::vector<int16_t> got = out.TakeCapture();
  ASSERT_EQ(got.size(), 610u * 2);
  for (int f = 0; f < 610; ++f) {
    int want = f < 200 ? 1000 : (f < 500 ? 2000 : 0);
    ASSERT_EQ(got[size_t(2 * f)], want) << f;
  }
}

TEST(WavePlayer, FreedDataKeepsPlayingAndTheRulesSilenceIt) {
  plat::NullAudioDevice out;
  TWavePlayer p(out);
  bool allowed = true;
  p.Allowed = [&] { return allowed; };
  char tmpl[] = "/tmp/plumet-wave-XXXXXX";
  std::filesystem::path dir = ::mkdtemp(tmpl);
  std::filesystem::create_directory(dir / "plumetwave");
  ASSERT_TRUE(WriteBytes((dir / "plumetwave" / "ok1.wav").string(), Tone(1234, 200)));
  p.ProgramFolder = dir.string();
  p.SearchExePath = true;
  p.SetFileName("ok1.wav");
  EXPECT_FALSE(p.HasData()) << "before Loaded the name is only stored";
  p.Loaded();
  ASSERT_TRUE(p.HasData());
  EXPECT_FALSE(out.WavePlaying()) << "the warm-up play is stopped at once";

  out.StartCapture();
  p.Play();
  p.FreeData();  // the quit sequence frees the data while the sound plays
  out.Advance(50);
  EXPECT_EQ(out.TakeCapture()[0], 1234);
  out.StopWave();

  p.SetFileName("ok1.wav");  // after Loaded, loads at once
  ASSERT_TRUE(p.HasData());
  allowed = false;
  p.Play();
  EXPECT_FALSE(out.WavePlaying());
  allowed = true;
  p.PlayNoStop();
  EXPECT_TRUE(out.WavePlaying());
  p.SetEnabled(false);
  EXPECT_FALSE(out.WavePlaying()) << "disabling stops the sound";
  p.Play();
  EXPECT_FALSE(out.WavePlaying());
  p.SetEnabled(true);
  p.Sync = true;
  p.Play();  // synchronous: returns when the sound has ended
  EXPECT_FALSE(out.WavePlaying());

  EXPECT_THROW(p.SetFileName("missing.wav"), EInOutError);
  EXPECT_FALSE(p.HasData());
  std::filesystem::remove_all(dir);
}

// Sounds are read only from regular files and only as far as their limits: a FIFO without a
// writer must not block the start, and a huge (sparse) song is refused, not read whole.
TEST(SoundFiles, ReadOnlyFromRegularFilesAndWithinTheirLimits) {
  namespace fs = std::filesystem;
  const fs::path dir = fs::temp_directory_path() / ("plumet-soundfiles-" + std::to_string(::getpid()));
  fs::create_directories(dir);
  const std::string fifo = (dir / "fifo.wav").string(), huge = (dir / "huge.ogg").string();
  ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
  {
    std::ofstream f(huge, std::ios::binary);
    f.seekp(static_cast<std::streamoff>(TMemoryStream::kMaxFileBytes));
    f.put('x');  // one byte past the limit, the rest a hole
  }
  TMemoryStream s;
  EXPECT_FALSE(s.LoadFromFile(fifo));
  EXPECT_FALSE(s.LoadFromFile(huge));
  EXPECT_FALSE(s.LoadFromFile(dir.string()));

  plat::NullAudioDevice out;
  TWavePlayer p(out);
  p.Loaded();
  EXPECT_THROW(p.SetFileName(fifo), EInOutError);
  EXPECT_FALSE(p.HasData());
  fs::remove_all(dir);
}
