// The shipped sound effects and songs: format, length bounds, peak levels, loop headers, and
// that every loop jump joins without a click when played through the game's own track.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "platform/null/null_audio.h"
#include "sound/wave_player.h"
#include "tests/sound/track_fixture.h"

namespace {

std::string Dist() {
  const char* d = std::getenv("PLUMET_DIST");
  return d && *d ? d : PLUMET_DIST_DIR;
}

std::vector<uint8_t> ReadFile(const std::string& path) {
  std::ifstream f(path, std::ios::binary);
  return std::vector<uint8_t>(std::istreambuf_iterator<char>(f), std::istreambuf_iterator<char>());
}

uint16_t Rd16(const uint8_t* p) { return static_cast<uint16_t>(p[0] | p[1] << 8); }
uint32_t Rd32(const uint8_t* p) { return p[0] | p[1] << 8 | p[2] << 16 | static_cast<uint32_t>(p[3]) << 24; }

// Each effect's length bounds, from what its event needs (choise2 repeats every 100 ms, jump
// must end before the landing thud, ice repeats every frame).
struct EffectCase {
  const char* file;
  double minSeconds, maxSeconds;
};
const EffectCase kEffects[] = {
    {"opening.wav", 2.0, 4.0}, {"boal.wav", 0.05, 0.5},    {"choise1.wav", 0.05, 0.15}, {"choise2.wav", 0.03, 0.1},
    {"croud.wav", 0.25, 0.55}, {"door.wav", 0.2, 0.8},     {"goal.wav", 1.0, 2.0},      {"ground.wav", 0.05, 0.2},
    {"have.wav", 0.2, 0.4},    {"jump.wav", 0.1, 0.3},     {"jumpdai.wav", 0.3, 0.5},   {"key.wav", 0.1, 0.5},
    {"mahou.wav", 0.2, 0.4},   {"ok1.wav", 0.2, 0.7},      {"rouya.wav", 0.35, 0.65},   {"window.wav", 0.2, 0.4},
    {"barrior.wav", 0.9, 1.5}, {"hanabi.wav", 0.5, 1.3},   {"ice.wav", 0.15, 0.25},     {"hanabi2.wav", 0.3, 1.0},
};

TEST(ShippedEffects, EachIs16BitPcm44100WithinItsLengthAndWellBelowFullScale) {
  for (const auto& c : kEffects) {
    SCOPED_TRACE(c.file);
    std::vector<uint8_t> img = ReadFile(Dist() + "/plumetwave/" + c.file);
    ASSERT_GE(img.size(), 44u);
    ASSERT_EQ(std::memcmp(&img[12], "fmt ", 4), 0);
    EXPECT_EQ(Rd16(&img[20]), 1);  // PCM
    uint16_t channels = Rd16(&img[22]);
    EXPECT_TRUE(channels == 1 || channels == 2);
    EXPECT_EQ(Rd32(&img[24]), 44100u);
    EXPECT_EQ(Rd16(&img[34]), 16);

    // Loaded the way the game loads it, from "plumetwave/" of the program's folder.
    plat::SoftAudioDevice device;
    TWavePlayer player(device);
    player.SearchExePath = true;
    player.ProgramFolder = Dist();
    player.SetFileName(c.file);
    player.Loaded();
    EXPECT_EQ(player.Data(), img);

    // Through the sound player's own parser: 44100 Hz stereo as the voice plays it.
    std::vector<int16_t> pcm;
    ASSERT_TRUE(plat::DecodeWaveImage(img.data(), img.size(), pcm));
    double seconds = pcm.size() / 2 / 44100.0;
    EXPECT_GE(seconds, c.minSeconds);
    EXPECT_LE(seconds, c.maxSeconds);
    int peak = 0;
    for (int16_t s : pcm) peak = std::max(peak, std::abs(static_cast<int>(s)));
    EXPECT_LT(peak, 29000) << "peak too close to full scale";  // about -1 dBFS
    EXPECT_GT(peak, 6000) << "effect nearly silent";
    // Clean edges: no effect starts or stops with a jump.
    EXPECT_LT(std::abs(pcm.front()), 600);
    EXPECT_LT(std::abs(pcm.back()), 600);
  }
}

// How each song is used decides its loop table: the area themes repeat their middle once, so
// the editor's preview (which plays a song once) ends within 60..120 s and the game restarts them
// when they end; the menu and alternate songs loop for good (no preview plays them); the fanfare
// and the ending play straight through.
struct SongCase {
  const char* file;
  int32_t repeat;  // 0: no loop entry
  double minPlayed, maxPlayed;  // seconds heard from start to end, loops included
};
const SongCase kSongs[] = {
    {"hitotunojikan.ogg", 1, 60, 120}, {"mist.ogg", 1, 60, 120},   {"sunshine.ogg", 1, 60, 120},
    {"huwahuwairo.ogg", 1, 60, 120},   {"simotuki.ogg", 1, 60, 120}, {"mahou.ogg", 1, 60, 120},
    {"rhythmicpark.ogg", -1, 0, 0},    {"mata02.ogg", -1, 0, 0},   {"fun.ogg", 0, 4.5, 6.5},
    {"never.ogg", 0, 86, 93},
};

struct Header {
  OggLoopEntry entries[16];
};

bool ParseHeader(const std::vector<uint8_t>& bytes, Header& h) {
  if (bytes.size() < 200 || std::memcmp(bytes.data(), "ALPHAOGG", 8) != 0) return false;
  std::memcpy(h.entries, bytes.data() + 8, sizeof h.entries);
  return true;
}

TEST(ShippedSongs, Stereo44100BelowFullScaleWithLoopTablesThatFitTheirLength) {
  for (const auto& c : kSongs) {
    SCOPED_TRACE(c.file);
    std::vector<uint8_t> bytes = ReadFile(Dist() + "/plumetogg/" + c.file);
    Header h;
    ASSERT_TRUE(ParseHeader(bytes, h));
    auto t = OpenTrack(bytes);
    ASSERT_TRUE(t->IsOpen());
    EXPECT_EQ(t->Rate(), 44100);  // 48000 Hz would play as silence
    EXPECT_EQ(t->Channels(), 2);
    for (int k = 0; k < 16; ++k) {
      EXPECT_EQ(std::memcmp(&t->LoopEntry(k), &h.entries[k], sizeof(OggLoopEntry)), 0) << k;
      if (k > 0 || c.repeat == 0) {
        EXPECT_EQ(h.entries[k].Repeat, 0) << k;
        EXPECT_EQ(h.entries[k].Trigger, 0.0f) << k;
      }
    }
    std::vector<int16_t> pcm = DecodeAll(std::vector<uint8_t>(bytes.begin() + 200, bytes.end()));
    int peak = 0;
    for (int16_t s : pcm) peak = std::max(peak, std::abs(static_cast<int>(s)));
    EXPECT_LT(peak, 31000) << "decoded song too close to full scale";
    EXPECT_GT(peak, 12000) << "song much quieter than the others";
    double len = t->Seconds();
    if (c.repeat == 0) {
      EXPECT_GE(len, c.minPlayed);
      EXPECT_LE(len, c.maxPlayed);
      continue;
    }
    const OggLoopEntry& e = h.entries[0];
    EXPECT_EQ(e.Repeat, c.repeat);
    EXPECT_GE(e.JumpTo, 0.0f);
    EXPECT_GT(e.Trigger - e.JumpTo, 20.0f) << "loop section too short";
    // The trigger needs a whole render block of song after it.
    EXPECT_LT(e.Trigger + 0.2, len);
    EXPECT_GE(len, 30.0);
    if (c.repeat > 0) {
      double played = len + c.repeat * (e.Trigger - e.JumpTo);
      EXPECT_GE(played, c.minPlayed);
      EXPECT_LE(played, c.maxPlayed);
    }
  }
}

// Plays each looping song through the track until just past its first jump and checks the join:
// the output around the jump is the song up to the trigger followed by the song from the jump
// point, and the step across the seam is no larger than the music's own steps around it.
TEST(ShippedSongs, LoopJumpJoinsWithoutAClick) {
  for (const auto& c : kSongs) {
    if (c.repeat == 0) continue;
    SCOPED_TRACE(c.file);
    std::vector<uint8_t> bytes = ReadFile(Dist() + "/plumetogg/" + c.file);
    Header h;
    ASSERT_TRUE(ParseHeader(bytes, h));
    std::vector<int16_t> ref = DecodeAll(std::vector<uint8_t>(bytes.begin() + 200, bytes.end()));
    const long J = std::lround(h.entries[0].JumpTo * 44100.0), T = std::lround(h.entries[0].Trigger * 44100.0);
    const long N = 2048;
    ASSERT_GT(static_cast<long>(ref.size()) / 2, T + N);

    auto t = OpenTrack(bytes);
    t->Play(false);
    std::vector<int16_t> out;
    std::vector<int16_t> block(8192 * 2);
    while (static_cast<long>(out.size()) / 2 < T + N) {
      ASSERT_EQ(t->Render(reinterpret_cast<uint8_t*>(block.data()), 32768), 32768);
      out.insert(out.end(), block.begin(), block.end());
    }
    int maxNatural = 0, mismatches = 0;
    for (long k = -N; k < N; ++k) {
      for (int ch = 0; ch < 2; ++ch) {
        long src = k < 0 ? T + k : J + k;
        int want = (254 * ref[2 * src + ch]) / 256;
        if (std::abs(out[2 * (T + k) + ch] - want) > 1) ++mismatches;
        if (k != 0) maxNatural = std::max(maxNatural, std::abs(out[2 * (T + k) + ch] - out[2 * (T + k - 1) + ch]));
      }
    }
    EXPECT_EQ(mismatches, 0) << "the jump did not land on the loop start exactly";
    for (int ch = 0; ch < 2; ++ch) {
      int seam = std::abs(out[2 * T + ch] - out[2 * (T - 1) + ch]);
      EXPECT_LE(seam, maxNatural + 200) << "click at the loop seam, channel " << ch;
      // What leads into the seam matches what leads into the loop start on the first pass, up
      // to the codec's own error (largest on noisy drum tails, about a fifth): the seam then
      // continues the music as the first pass did. A body whose ringing was not carried round
      // to its start differs by the whole signal (ratio near 1).
      double diff = 0, level = 0;
      for (long k = 1; k <= 256; ++k) {
        double a = ref[2 * (T - k) + ch], b = ref[2 * (J - k) + ch];
        diff += (a - b) * (a - b);
        level += a * a;
      }
      EXPECT_LT(std::sqrt(diff / level), 0.3) << "the sound before the trigger differs from the sound before the loop start";
    }
  }
}

}  // namespace

namespace {

// The build's content is code: running the generators again gives byte-identical files.
TEST(AudioGenerators, RerunWritesIdenticalFiles) {
  const std::string scratch = PLUMET_AUDIO_SCRATCH;
  ASSERT_EQ(std::system(("mkdir -p '" + scratch + "'").c_str()), 0);
  ASSERT_EQ(std::system(("'" + std::string(PLUMET_SFXGEN) + "' '" + scratch + "'").c_str()), 0);
  for (const auto& c : kEffects) {
    EXPECT_EQ(ReadFile(scratch + "/" + c.file), ReadFile(Dist() + "/plumetwave/" + c.file)) << c.file;
  }
  // The shortest song stands for all of them (each song is one run of the same program).
  ASSERT_EQ(std::system(("'" + std::string(PLUMET_MUSICGEN) + "' fun.ogg '" + scratch + "/fun.ogg'").c_str()), 0);
  EXPECT_EQ(ReadFile(scratch + "/fun.ogg"), ReadFile(Dist() + "/plumetogg/fun.ogg"));
}

}  // namespace
