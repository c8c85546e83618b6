// The Ogg track: volume arithmetic, fades, rate and channel conversions, the loop header.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>

#include "tests/sound/track_fixture.h"

namespace {

int16_t Scale(int32_t g, int16_t s, bool clamp) {
  int32_t v = (g * s) / 256;
  if (clamp) v = v > 32766 ? 32766 : (v < -32766 ? -32766 : v);
  return static_cast<int16_t>(v);
}

}  // namespace

TEST(OggTrack, VolumeScalesEverySampleInFixedPoint) {
  std::vector<uint8_t> ogg = SineOgg(44100, 2, 0.5, 440.0, 0.95);
  std::vector<int16_t> ref = DecodeAll(ogg);
  ASSERT_GE(ref.size(), 8192u * 2);
  // g = (Gain div 256) with Gain = 254 * (current div 2822400); clamp when Gain >= 65536.
  struct Case { float volume; int32_t g; bool clamp; } cases[] = {
      {1.0f, 254, false}, {2.0f, 508, true}, {0.5f, 127, false}, {3.0f, 508, true} /* capped */,
  };
  for (const auto& c : cases) {
    auto t = OpenTrack(ogg);
    t->SetVolume(c.volume);
    t->Play(false);
    std::vector<int16_t> out(8192 * 2);
    ASSERT_EQ(t->Render(reinterpret_cast<uint8_t*>(out.data()), 32768), 32768);
    int clamped = 0;
    for (size_t i = 0; i < out.size(); ++i) {
      ASSERT_EQ(out[i], Scale(c.g, ref[i], c.clamp)) << "volume " << c.volume << " sample " << i;
      clamped += std::abs(out[i]) == 32766;
    }
    if (c.clamp) {
      EXPECT_GT(clamped, 0) << "the sine should reach the limit at volume " << c.volume;
    }
  }
  EXPECT_EQ((254 * 32767) / 256, 32511);
}

TEST(OggTrack, FadeToSilenceStopsAtTheNextRender) {
  auto t = OpenTrack(SineOgg(44100, 2, 3.0));
  t->Play(true);
  t->FadeVolume(0.0f, 1.0f);  // 722534400 / 44100 = 16384 per frame
  std::vector<uint8_t> buf(32768);
  for (int i = 1; i <= 6; ++i) {
    ASSERT_EQ(t->Render(buf.data(), 32768), 32768) << i;
    EXPECT_NEAR(t->GetVolume(), std::max(0.0, 1.0 - 8192.0 * i / 44100), 1e-6) << i;
  }
  EXPECT_EQ(t->GetVolume(), 0.0f);
  EXPECT_EQ(t->State(), 3);
  EXPECT_EQ(t->Render(buf.data(), 32768), 0);
  EXPECT_EQ(t->State(), 1);
  EXPECT_EQ(t->RenderState(), 3);  // the state the last render started with
}

// Every output sample of a fade: the volume moves by its step once per frame before the frame
// is scaled, stops at the target, and past 1.0 the samples are limited. The fades are chosen so
// that each step is a whole number.
TEST(OggTrack, AFadeScalesEachFrameByTheVolumeReachedAtIt) {
  std::vector<uint8_t> ogg = SineOgg(44100, 2, 1.0, 440.0, 0.95);
  std::vector<int16_t> ref = DecodeAll(ogg);
  ASSERT_GE(ref.size(), 2u * 8192 * 2);
  struct Case {
    float from, to, seconds;
    int32_t step;  // (target - current) / (seconds x 44100)
  } cases[] = {
      {1.0f, 0.0f, 1.0f, -16384},    // the music fade's slope: no end within two blocks
      {1.0f, 0.5f, 0.125f, -65536},  // reaches its target after 5512 frames, then holds
      {0.5f, 2.0f, 0.25f, 98304},    // rises past 1.0 into the limited range
  };
  for (const auto& c : cases) {
    auto t = OpenTrack(ogg);
    t->SetVolume(c.from);
    t->FadeVolume(c.to, c.seconds);
    t->Play(false);
    int64_t current = static_cast<int64_t>(c.from * 722534400.0), step = c.step;
    const int64_t target = static_cast<int64_t>(c.to * 722534400.0);
    std::vector<int16_t> out(8192 * 2);
    for (int block = 0; block < 2; ++block) {
      ASSERT_EQ(t->Render(reinterpret_cast<uint8_t*>(out.data()), 32768), 32768);
      for (int f = 0; f < 8192; ++f) {
        if (step != 0 && std::llabs(target - current) < std::llabs(step)) {
          current = target;
          step = 0;
        }
        current += step;
        const int64_t gain = 254 * (current / 2822400);
        for (int ch = 0; ch < 2; ++ch) {
          const size_t i = size_t(2 * (block * 8192 + f) + ch);
          int64_t v = ((gain / 256) * ref[i]) / 256;
          if (gain >= 65536) v = v > 32766 ? 32766 : (v < -32766 ? -32766 : v);
          ASSERT_EQ(out[size_t(2 * f + ch)], v) << c.from << "->" << c.to << " block " << block << " frame " << f;
        }
      }
    }
    EXPECT_FLOAT_EQ(t->GetVolume(), static_cast<float>(static_cast<double>(current) / 722534400)) << c.from << "->" << c.to;
  }
}

TEST(OggTrack, ConvertsEachRateAndChannelCountToStereo44100) {
  struct Case { int rate, channels; } cases[] = {{22050, 1}, {22050, 2}, {44100, 1}, {44100, 2}};
  for (const auto& c : cases) {
    std::vector<uint8_t> ogg = SineOgg(c.rate, c.channels, 0.5, 330.0, 0.5);
    std::vector<int16_t> ref = DecodeAll(ogg);
    auto t = OpenTrack(ogg);
    EXPECT_EQ(t->Rate(), c.rate);
    EXPECT_EQ(t->Channels(), c.channels);
    t->Play(false);
    ASSERT_EQ(t->RenderHalf(), 32768) << c.rate << "/" << c.channels;
    auto* out = reinterpret_cast<const int16_t*>(t->CurrentHalf());
    const int repeat = c.rate == 22050 ? 2 : 1;
    for (int f = 0; f < 8192; ++f) {
      int src = f / repeat;
      int16_t l = ref[size_t(src * c.channels)];
      int16_t r = ref[size_t(src * c.channels + c.channels - 1)];
      ASSERT_EQ(out[2 * f], Scale(254, l, false)) << c.rate << "/" << c.channels << " frame " << f;
      ASSERT_EQ(out[2 * f + 1], Scale(254, r, false)) << c.rate << "/" << c.channels << " frame " << f;
    }
  }
}

TEST(OggTrack, UnsupportedRateRendersMinusOneAndStops) {
  auto t = OpenTrack(SineOgg(48000, 2, 0.5));
  t->Play(true);
  EXPECT_EQ(t->RenderHalf(), -1);
  EXPECT_EQ(t->State(), 1);
  auto* out = t->CurrentHalf();
  for (int i = 0; i < 32768; ++i) ASSERT_EQ(out[i], 0);
}

TEST(OggTrack, SongEndStopsAndRewindsOrLoopsWithoutAGap) {
  std::vector<uint8_t> ogg = SineOgg(44100, 2, 0.25);  // 11025 frames: ends inside the second half
  auto t = OpenTrack(ogg);
  EXPECT_EQ(t->Bytes(), 11025 * 4);
  t->Play(false);
  EXPECT_EQ(t->RenderHalf(), 32768);
  EXPECT_EQ(t->RenderHalf(), 11025 * 4 - 32768);  // the rest is zero-filled
  EXPECT_EQ(t->State(), 1);
  EXPECT_NEAR(t->Position(), 0.0, 1e-6);

  t->Play(true);
  EXPECT_EQ(t->RenderHalf(), 32768);
  EXPECT_EQ(t->RenderHalf(), 32768);
  EXPECT_EQ(t->State(), 3);
  EXPECT_NEAR(t->Position(), (16384 - 11025) / 44100.0, 1e-3);
}

TEST(OggTrack, LoopEntryFiresByItsRepeatCountAndReArms) {
  std::vector<uint8_t> body = SineOgg(44100, 2, 1.0);
  std::vector<uint8_t> file = Concat(LoopHeader({{0.1f, 0.5f, 2}}), body);
  auto t = OpenTrack(file);
  ASSERT_EQ(t->State(), 1);
  EXPECT_FLOAT_EQ(t->LoopEntry(0).Trigger, 0.5f);
  EXPECT_EQ(t->LoopEntry(0).Repeat, 2);
  EXPECT_NEAR(t->Seconds(), 1.0, 1e-6);

  // Counts the blocks in which the entry fired.
  auto run = [&](int blocks) {
    int fired = 0;
    for (int i = 0; i < blocks && t->State() != 1; ++i) {
      int before = t->LoopCounter(0);
      float pos = t->Position();
      t->RenderHalf();
      if (t->LoopCounter(0) == before + 1) {
        ++fired;
        EXPECT_LT(t->Position(), pos) << "a firing block jumps back";
      }
    }
    return fired;
  };
  t->Play(false);
  EXPECT_EQ(run(40), 2);  // the third pass runs on to the end
  EXPECT_EQ(t->State(), 1);
  EXPECT_EQ(t->LoopCounter(0), 0);  // re-armed once play was past the trigger

  t->Play(true);
  int fired = 0;
  for (int i = 0; i < 20; ++i) {  // 3.7 s of output: two jumps, the end, two jumps (1.8 s a cycle)
    int before = t->LoopCounter(0);
    t->RenderHalf();
    fired += t->LoopCounter(0) == before + 1;
  }
  EXPECT_EQ(fired, 4);

  // Every time (-1): the song never gets past the trigger.
  auto forever = OpenTrack(Concat(LoopHeader({{0.0f, 0.5f, -1}}), body));
  forever->Play(false);
  for (int i = 0; i < 30; ++i) {
    forever->RenderHalf();
    ASSERT_LT(forever->Position(), 0.5 + 0.19) << i;
    ASSERT_EQ(forever->State(), 2) << i;
  }
}

TEST(OggTrack, LoopHeaderIsReadOnlyWhenItIsThere) {
  TOggData t(65536, &TestDll());
  struct Case { std::vector<uint8_t> bytes; bool header; int64_t posAfter; } cases[] = {
      {Concat(LoopHeader({{1, 2, 3}}), std::vector<uint8_t>(10, 0)), true, 200},
      {Concat({}, LoopHeader({{1, 2, 3}})), false, 0},  // cut to 199 bytes below
      {Concat({'A', 'L', 'P', 'H', 'A', 'O', 'G', 'g'}, std::vector<uint8_t>(300, 0)), false, 0},
  };
  cases[1].bytes.resize(199);
  for (const auto& c : cases) {
    TMemoryStream s;
    s.Write(c.bytes.data(), static_cast<int64_t>(c.bytes.size()));
    s.SetPosition(0);
    EXPECT_EQ(t.LoadLoopHeader(&s), c.header) << c.bytes.size();
    EXPECT_EQ(s.Position(), c.posAfter);
  }
  EXPECT_FALSE(t.LoadLoopHeader(nullptr));
}

TEST(OggTrack, RefusedFileSeekClampsAndCloseState) {
  TOggData t(65536, &TestDll());
  TMemoryStream junk;
  std::vector<uint8_t> bytes(1000, 'x');
  junk.Write(bytes.data(), 1000);
  try {
    t.OpenCopy(junk);
    ADD_FAILURE() << "junk opened";
  } catch (const EVorbisError& e) {
    EXPECT_STREQ(e.what(), "ファイルの読み込みに失敗");
  }
  EXPECT_EQ(t.State(), 0);
  EXPECT_FALSE(t.Open(nullptr));

  auto s = OpenTrack(SineOgg(44100, 2, 1.0));
  EXPECT_TRUE(s->IsSeekable());
  s->Seek(5.0f);
  EXPECT_NEAR(s->Position(), 1.0, 1e-3);
  s->Seek(-1.0f);
  EXPECT_NEAR(s->Position(), 0.0, 1e-3);
  s->Seek(0.5f);
  s->Play(true);
  s->Rewind();
  EXPECT_EQ(s->State(), 1);
  EXPECT_NEAR(s->Position(), 0.0, 1e-3);
  s->Close();
  EXPECT_EQ(s->State(), 0);
  EXPECT_EQ(s->Position(), 0.0f);
  EXPECT_EQ(s->RenderHalf(), 0);
}

TEST(OggTrack, GainsRoundHalfToEvenAndEqualiserScales) {
  TOggData t(65536, &TestDll());
  struct Case { float x; int32_t stored; } cases[] = {{1.0f, 255}, {0.5f, 128}, {0.1f, 26}, {0.0f, 0}};
  for (const auto& c : cases) {
    t.SetMasterGain(c.x);
    EXPECT_EQ(t.MasterGain(), c.stored) << c.x;
    t.SetMixGain(c.x);
    EXPECT_EQ(t.MixGain(), c.stored) << c.x;
  }

  std::vector<uint8_t> ogg = SineOgg(44100, 2, 0.5, 200.0, 0.5);
  std::vector<int16_t> ref = DecodeAll(ogg);
  auto e = OpenTrack(ogg);
  EXPECT_FALSE(e->EqualizerActive());
  for (int i = 0; i < 256; ++i) e->SetBandGain(i, 0.5f);
  EXPECT_TRUE(e->EqualizerActive());
  e->Play(false);
  ASSERT_EQ(e->RenderHalf(), 32768);
  auto* out = reinterpret_cast<const int16_t*>(e->CurrentHalf());
  for (int i = 2 * 256; i < 8192 * 2; ++i)  // past the first block's warm-up of the history
    ASSERT_NEAR(out[i], Scale(254, static_cast<int16_t>(ref[size_t(i)] / 2), false), 3) << i;
}
