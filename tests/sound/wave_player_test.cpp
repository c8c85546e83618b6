// The wave player and the sound player's voice: WAVE parsing and conversion, cut and no-stop,
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

namespace {

void Put32(std::vector<uint8_t>& v, uint32_t x) {
  for (int i = 0; i < 4; ++i) v.push_back(static_cast<uint8_t>(x >> (8 * i)));
}
void Put16(std::vector<uint8_t>& v, uint16_t x) {
  v.push_back(static_cast<uint8_t>(x));
  v.push_back(static_cast<uint8_t>(x >> 8));
}

// A RIFF WAVE image; sample(frame, channel) gives the raw sample value.
std::vector<uint8_t> Wave(int rate, int channels, int bits, int frames,
                          const std::function<int(int, int)>& sample, bool junkChunk = false,
                          int cutDataBytes = 0) {
  std::vector<uint8_t> v = {'R', 'I', 'F', 'F', 0, 0, 0, 0, 'W', 'A', 'V', 'E'};
  if (junkChunk) {
    v.insert(v.end(), {'L', 'I', 'S', 'T'});
    Put32(v, 3);
    v.insert(v.end(), {1, 2, 3, 0});  // odd length, padded
  }
  v.insert(v.end(), {'f', 'm', 't', ' '});
  Put32(v, 16);
  const int align = channels * bits / 8;
  Put16(v, 1);
  Put16(v, static_cast<uint16_t>(channels));
  Put32(v, static_cast<uint32_t>(rate));
  Put32(v, static_cast<uint32_t>(rate * align));
  Put16(v, static_cast<uint16_t>(align));
  Put16(v, static_cast<uint16_t>(bits));
  v.insert(v.end(), {'d', 'a', 't', 'a'});
  Put32(v, static_cast<uint32_t>(frames * align));
  for (int f = 0; f < frames; ++f)
    for (int c = 0; c < channels; ++c) {
      int s = sample(f, c);
      if (bits == 8)
        v.push_back(static_cast<uint8_t>(s));
      else
        Put16(v, static_cast<uint16_t>(static_cast<int16_t>(s)));
    }
  v.resize(v.size() - static_cast<size_t>(cutDataBytes));
  uint32_t riff = static_cast<uint32_t>(v.size() - 8);
  std::memcpy(&v[4], &riff, 4);
  return v;
}

std::vector<uint8_t> Tone(int value, int frames) {
  return Wave(44100, 2, 16, frames, [=](int, int) { return value; });
}

}  // namespace

TEST(SoundPlayerVoice, DecodesEachPcmLayoutToStereo44100) {
  struct Case {
    const char* name;
    std::vector<uint8_t> image;
    size_t frames;
    int16_t firstL, firstR;
  } cases[] = {
      {"16-bit stereo", Wave(44100, 2, 16, 100, [](int, int c) { return c ? -300 : 300; }), 100, 300, -300},
      {"8-bit mono 22050", Wave(22050, 1, 8, 50, [](int, int) { return 128 + 16; }), 100, 16 << 8, 16 << 8},
      {"16-bit mono 11025", Wave(11025, 1, 16, 25, [](int, int) { return -5; }), 100, -5, -5},
      {"unknown chunk first", Wave(44100, 2, 16, 10, [](int, int) { return 7; }, true), 10, 7, 7},
      {"data cut short", Wave(44100, 2, 16, 10, [](int, int) { return 9; }, false, 8), 8, 9, 9},
  };
  for (const auto& c : cases) {
    std::vector<int16_t> pcm;
    ASSERT_TRUE(plat::DecodeWaveImage(c.image.data(), c.image.size(), pcm)) << c.name;
    EXPECT_EQ(pcm.size(), c.frames * 2) << c.name;
    EXPECT_EQ(pcm[0], c.firstL) << c.name;
    EXPECT_EQ(pcm[1], c.firstR) << c.name;
  }
  std::vector<uint8_t> notWave = {'R', 'I', 'F', 'F', 4, 0, 0, 0, 'A', 'V', 'I', ' '};
  std::vector<uint8_t> adpcm = Tone(1, 10);
  adpcm[20] = 2;  // format tag 2
  std::vector<int16_t> pcm;
  EXPECT_FALSE(plat::DecodeWaveImage(notWave.data(), notWave.size(), pcm));
  EXPECT_FALSE(plat::DecodeWaveImage(adpcm.data(), adpcm.size(), pcm));
  EXPECT_FALSE(plat::DecodeWaveImage(nullptr, 0, pcm));
}

TEST(SoundPlayerVoice, AWaveLongerThanTheLimitIsRefusedBeforeItIsExpanded) {
  // 100 Hz 8-bit mono: each byte of the file becomes 441 stereo frames (1 MB of it, 1.8 GB).
  const int atLimit = plat::kMaxWaveSeconds * 100;
  std::vector<int16_t> pcm;
  std::vector<uint8_t> longest = Wave(100, 1, 8, atLimit, [](int, int) { return 128; });
  ASSERT_TRUE(plat::DecodeWaveImage(longest.data(), longest.size(), pcm));
  EXPECT_EQ(pcm.size(), size_t(plat::kMaxWaveSeconds) * 44100 * 2);
  std::vector<uint8_t> over = Wave(100, 1, 8, atLimit + 1, [](int, int) { return 128; });
  EXPECT_FALSE(plat::DecodeWaveImage(over.data(), over.size(), pcm));
  EXPECT_TRUE(pcm.empty());

  // The player holding such a file stays silent, as for an unreadable one.
  plat::NullAudioDevice out;
  TWavePlayer p(out);
  char tmpl[] = "/tmp/plumet-wave-XXXXXX";
  std::filesystem::path dir = ::mkdtemp(tmpl);
  ASSERT_TRUE(WriteBytes((dir / "hanabi.wav").string(), over));
  p.SetFileName((dir / "hanabi.wav").string());
  p.Loaded();
  out.StartCapture();
  p.Play();
  EXPECT_FALSE(out.WavePlaying());
  out.Advance(64);
  for (int16_t v : out.TakeCapture()) ASSERT_EQ(v, 0);
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
