// The device component over the null output: flags, the notify protocol, writes at the wrap,
// the checker and its log, bad channel numbers, no device, shutdown, the whole music chain.
#include "sound/ddsd.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <thread>

#include "platform/null/null_audio.h"
#include "sound/ogg_player.h"
#include "tests/sound/track_fixture.h"

namespace {

struct Rig {
  plat::NullAudioDevice out;
  TDDSD ddsd{out};
  std::vector<std::string> halts;
  explicit Rig(bool threaded = false, bool sticky = true) {
    ddsd.Unit().Halt = [this](const std::string& m) { halts.push_back(m); };
    ddsd.ThreadedNotify = threaded;
    ddsd.StickyFocus = sticky;
    ddsd.Loaded();
  }
};

struct Notice {
  uint32_t offset, length;
};

std::string ReadText(const std::filesystem::path& p) {
  std::ifstream f(p, std::ios::binary);
  std::stringstream ss;
  ss << f.rdbuf();
  return ss.str();
}

}  // namespace

TEST(DDSD, MusicStreamFlagsAndFormat) {
  struct Case { bool sticky; bool fx; uint32_t flags; } cases[] = {
      {true, false, 0x141E0}, {false, false, 0x101E0}};
  for (const auto& c : cases) {
    Rig rig(false, c.sticky);
    ASSERT_TRUE(rig.ddsd.Available());
    TDDSDWaveData w(rig.ddsd, 44100, 16, true, 65536, c.fx);
    EXPECT_EQ(w.Flags(), c.flags);
    EXPECT_EQ(w.Format().blockAlign, 4);
    EXPECT_EQ(w.Format().avgBytesPerSec, 176400u);
    EXPECT_EQ(w.HalfBytes(), 32768u);
    EXPECT_TRUE(rig.halts.empty());
  }
}

TEST(DDSD, NotifyAsksForAlternateHalvesStartingWithTheSecond) {
  Rig rig;
  TDDSDWaveData w(rig.ddsd, 44100, 16, true, 65536, false);
  std::vector<Notice> notices;
  w.OnNotify = [&](TDDSDGenWave* sender, TDDSDChannel* ch, uint32_t off, uint32_t len) {
    EXPECT_EQ(sender, &w);
    EXPECT_EQ(ch, rig.ddsd.GetChannel(0));
    notices.push_back({off, len});
  };
  TDDSDChannel* ch = rig.ddsd.GetChannel(0);
  ch->SetWaveData(&w);
  w.PollNotify();
  EXPECT_TRUE(notices.empty()) << "cursors at 0: not started";
  ch->PlayLoop();
  w.PollNotify();
  ASSERT_EQ(notices.size(), 1u);
  EXPECT_EQ(notices[0].offset, 32768u);
  EXPECT_EQ(notices[0].length, 32768u);
  // Play through two more halves, polling each output period as the thread would.
  for (int period = 0; period < 16; ++period) {
    rig.out.Advance(1024);
    w.PollNotify();
  }
  ASSERT_EQ(notices.size(), 3u);
  EXPECT_EQ(notices[1].offset, 0u);
  EXPECT_EQ(notices[2].offset, 32768u);
  // A stopped buffer gives no notify.
  ch->Stop();
  for (int period = 0; period < 16; ++period) {
    rig.out.Advance(1024);
    w.PollNotify();
  }
  EXPECT_EQ(notices.size(), 3u);
}

TEST(DDSD, WriteSplitsAtTheEndOfTheRing) {
  Rig rig;
  TDDSDWaveData w(rig.ddsd, 44100, 16, true, 65536, false);
  uint8_t data[16];
  for (int i = 0; i < 16; ++i) data[i] = static_cast<uint8_t>(i + 1);
  w.Write(65536 - 8, data, 16);
  void *p1, *p2;
  uint32_t n1, n2;
  ASSERT_EQ(w.Buffer()->Lock(0, 0, &p1, &n1, &p2, &n2, plat::kLockEntireBuffer), 0);
  auto* b = static_cast<uint8_t*>(p1);
  ASSERT_EQ(n1, 65536u);
  for (int i = 0; i < 8; ++i) {
    EXPECT_EQ(b[65536 - 8 + i], i + 1);
    EXPECT_EQ(b[i], i + 9);
  }
  EXPECT_EQ(b[8], 0);  // the stream starts zero-filled
  w.Buffer()->Unlock(p1, n1, p2, n2);
  EXPECT_TRUE(rig.halts.empty());
}

TEST(DDSD, BadChannelNumberIsReportedAndHalts) {
  struct Case { int index; const char* msg; } cases[] = {
      {8, "チャンネル番号8は無効です、0～7の範囲で指定してください"},
      {-1, "チャンネル番号-1は無効です、0～7の範囲で指定してください"},
  };
  for (const auto& c : cases) {
    Rig rig;
    EXPECT_EQ(rig.ddsd.GetChannel(c.index), nullptr);
    ASSERT_EQ(rig.halts.size(), 1u);
    EXPECT_EQ(rig.halts[0], c.msg);
  }
  Rig rig;
  EXPECT_NE(rig.ddsd.GetChannel(7), nullptr);
  EXPECT_TRUE(rig.halts.empty());
}

TEST(DDSD, CheckerLogsRaisesOrHaltsAsTheOptionSays) {
  char tmpl[] = "/tmp/plumet-ddsd-XXXXXX";
  std::filesystem::path dir = ::mkdtemp(tmpl);
  std::filesystem::path log = dir / "DDSD_DebugLog.txt";
  {
    Rig rig;
    rig.ddsd.SetDebugOption(dsoDebugMessage);
    rig.ddsd.Unit().LogFolder = dir.string();
    EXPECT_EQ(rig.ddsd.DDSDCheck(0, "never"), 0);
    EXPECT_EQ(rig.ddsd.DDSDCheck(plat::kAudioErrInvalidParam, "一次バッファの作成に失敗しました"),
              plat::kAudioErrInvalidParam);
    EXPECT_EQ(rig.ddsd.DDSDCheck(0x1234abcd, "x"), 0x1234abcd);
    EXPECT_TRUE(rig.halts.empty()) << "no halt without dsoHaltOnError";
    EXPECT_EQ(ReadText(log),
              "debug#00001 ... 一次バッファの作成に失敗しました(Error Code(80070057))\r\n"
              "debug#00002 ... x(Error Code(1234ABCD))\r\n");
  }
  {
    Rig rig;  // a new run's first line empties the log
    rig.ddsd.SetDebugOption(dsoDebugMessage | dsoExceptOnError | dsoHaltOnError);
    rig.ddsd.Unit().LogFolder = dir.string();
    try {
      rig.ddsd.DDSDCheck(plat::kAudioErrGeneric, "m");
      ADD_FAILURE() << "no EDDSD";
    } catch (const EDDSD& e) {
      EXPECT_STREQ(e.what(), "m(Error Code(80004005))");
    }
    EXPECT_TRUE(rig.halts.empty()) << "the exception leaves before the halt";
    EXPECT_EQ(ReadText(log), "debug#00001 ... m(Error Code(80004005))\r\n");
  }
  {
    Rig rig;
    rig.ddsd.Unit().LogFolder = dir.string();
    rig.ddsd.DDSDCheck(plat::kAudioErrGeneric, "h");
    ASSERT_EQ(rig.halts.size(), 1u);
    EXPECT_EQ(rig.halts[0], "h(Error Code(80004005))");
  }
  std::filesystem::remove_all(dir);
}

TEST(DDSD, WithoutADeviceEverythingIsANoOp) {
  plat::AudioDevice none;
  TDDSD ddsd(none);
  std::vector<std::string> halts;
  ddsd.Unit().Halt = [&](const std::string& m) { halts.push_back(m); };
  ddsd.Loaded();
  EXPECT_FALSE(ddsd.Available());
  {
    TDDSDWaveData w(ddsd, 44100, 16, true, 65536, false);
    EXPECT_EQ(w.Buffer(), nullptr);
    uint8_t data[4] = {};
    w.Write(0, data, 4);
    ddsd.GetChannel(0)->SetWaveData(&w);
    ddsd.GetChannel(0)->PlayLoop();
    ddsd.GetChannel(0)->Stop();
    ddsd.GetChannel(0)->SetWaveData(nullptr);
  }
  EXPECT_TRUE(halts.empty());
}

TEST(DDSD, ShutdownInTheProgramsOrderReleasesEveryBufferWithoutAHalt) {
  plat::NullAudioDevice out;
  std::vector<std::string> halts;
  {
    TDDSD ddsd(out);
    ddsd.Unit().Halt = [&](const std::string& m) { halts.push_back(m); };
    ddsd.ThreadedNotify = false;
    ddsd.Loaded();
    auto w = std::make_unique<TDDSDWaveData>(ddsd, 44100, 16, true, 65536, false);
    ddsd.GetChannel(0)->SetWaveData(w.get());
    ddsd.GetChannel(0)->SetWaveData(w.get());  // the same stream again changes nothing
    ddsd.GetChannel(0)->PlayLoop();
    EXPECT_EQ(out.LiveBuffers(), 1);
    ddsd.GetChannel(0)->Stop();
    ddsd.GetChannel(0)->SetWaveData(nullptr);
    w.reset();
    EXPECT_EQ(out.LiveBuffers(), 1) << "the channel keeps its reference until it goes";
  }
  EXPECT_EQ(out.LiveBuffers(), 0);
  EXPECT_TRUE(halts.empty());
}

TEST(DDSD, TrackMixerStreamAndOutputPlayTheSongInOrder) {
  std::vector<uint8_t> ogg = SineOgg(44100, 2, 1.0, 440.0, 0.5);
  std::vector<int16_t> ref = DecodeAll(ogg);
  Rig rig;
  auto track = OpenTrack(ogg);
  TOggPlayer mixer(65536, 8);
  mixer.Attach(0, track.get());
  mixer.PlaySlot(0, false);
  TDDSDWaveData w(rig.ddsd, 44100, 16, true, 65536, false);
  w.OnNotify = [&](TDDSDGenWave*, TDDSDChannel*, uint32_t off, uint32_t len) {
    mixer.RenderNext();
    w.Write(off, mixer.CurrentBlock(), len);
  };
  rig.ddsd.GetChannel(0)->SetWaveData(&w);
  rig.ddsd.GetChannel(0)->PlayLoop();
  rig.out.StartCapture();
  for (int period = 0; period < 24; ++period) {
    w.PollNotify();
    rig.out.Advance(1024);
  }
  std::vector<int16_t> got = rig.out.TakeCapture();
  ASSERT_EQ(got.size(), 24u * 1024 * 2);
  // The first half plays its initial silence, then the song follows without a gap.
  for (int i = 0; i < 8192 * 2; ++i) ASSERT_EQ(got[size_t(i)], 0) << i;
  for (int i = 8192 * 2; i < 24 * 1024 * 2; ++i)
    ASSERT_EQ(got[size_t(i)], static_cast<int16_t>((254 * ref[size_t(i - 8192 * 2)]) / 256)) << i;
  rig.ddsd.GetChannel(0)->Stop();
  rig.ddsd.GetChannel(0)->SetWaveData(nullptr);
}

TEST(DDSD, NotifyThreadRunsInRealTimeAndJoinsOnFree) {
  Rig rig(true);
  rig.out.SetRealTime(true);
  std::atomic<int> notices{0};
  auto w = std::make_unique<TDDSDWaveData>(rig.ddsd, 44100, 16, true, 65536, false);
  w->OnNotify = [&](TDDSDGenWave*, TDDSDChannel*, uint32_t, uint32_t) { ++notices; };
  rig.ddsd.GetChannel(0)->SetWaveData(w.get());
  rig.ddsd.GetChannel(0)->PlayLoop();
  std::this_thread::sleep_for(std::chrono::milliseconds(600));
  // 5.4 halves a second: the first at once, then about three more.
  EXPECT_GE(notices.load(), 3);
  EXPECT_LE(notices.load(), 6);
  rig.ddsd.GetChannel(0)->Stop();
  rig.ddsd.GetChannel(0)->SetWaveData(nullptr);
  w.reset();
  EXPECT_TRUE(rig.halts.empty());
}
