// Songs made to break the decoder or the track: each is refused as unreadable, or plays out and
// ends, and never brings the program down.
#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <future>
#include <string>

#include "tests/sound/hostile_songs.h"
#include "tests/sound/track_fixture.h"

namespace {

HandSong With(void (*change)(HandSong&)) {
  HandSong s;
  change(s);
  return s;
}

}  // namespace

TEST(HostileSongs, TheHandBuiltSongPlaysSoTheVariantsBelowTestOneFieldEach) {
  // Every codebook layout the decoder library's header check walks: plain, sparse and ordered
  // lengths, lookup types 1 and 2, with and without a loop header in front.
  struct Case { int lengths, lookup; bool withHeader; } cases[] = {
      {0, 2, false}, {0, 2, true}, {1, 2, false}, {2, 2, false}, {0, 1, false}, {2, 1, true},
  };
  for (const Case& c : cases) {
    HandSong song;
    song.bookLengths = c.lengths;
    song.valueLookup = c.lookup;
    std::vector<uint8_t> bytes = BuildHandSong(song);
    if (c.withHeader) bytes = Concat(LoopHeader({}), bytes);
    auto t = OpenTrack(bytes);
    ASSERT_EQ(t->State(), 1) << c.lengths << " " << c.lookup << " " << c.withHeader;
    EXPECT_EQ(t->Channels(), 1);
    EXPECT_EQ(t->Bytes(), 7 * 128 * 4);
    t->Play(false);
    std::vector<uint8_t> buf(32768);
    EXPECT_EQ(t->Render(buf.data(), 32768), 7 * 128 * 4);
  }
}

TEST(HostileSongs, EachIsRefusedAsUnreadableAtOpen) {
  struct Case {
    const char* name;
    std::vector<uint8_t> bytes;
  } cases[] = {
      // libvorbis divides by the dimensions of a residue value book: SIGFPE on the first read.
      {"value book of no dimensions", BuildHandSong(With([](HandSong& s) { s.stageBookDim = 0; }))},
      {"lookup-1 value book of no dimensions", BuildHandSong(With([](HandSong& s) {
         s.stageBookDim = 0;
         s.valueLookup = 1;
       }))},
      // The same in the second link of a chained file, behind a good song.
      {"bad book in a later link",
       Concat(SineOgg(44100, 2, 0.1), BuildHandSong(With([](HandSong& s) { s.stageBookDim = 0; })))},
      // rate * 10 + channels overflowed in the conversion switch.
      {"1006720546 Hz", BuildHandSong(With([](HandSong& s) { s.rate = 1006720546; }))},
      {"500 Hz", BuildHandSong(With([](HandSong& s) { s.rate = 500; }))},
      {"three channels", BuildHandSong(With([](HandSong& s) { s.channels = 3; }))},
      // frames * 4 overflowed.
      {"granule near 2^62",
       BuildHandSong(With([](HandSong& s) { s.lastGranule = (int64_t(1) << 62) - 5; }))},
      // Seekable, no audio at all: the decoder's time tell read before its link table.
      {"headers only", BuildHeadersOnly(HandSong{})},
      {"no samples", EncodeOgg(44100, 1, 0, [](int, int) { return 0.0f; })},
  };
  for (auto& c : cases) {
    TOggData t(65536, &TestDll());
    TMemoryStream s;
    s.Write(c.bytes.data(), static_cast<int64_t>(c.bytes.size()));
    try {
      t.OpenCopy(s);
      ADD_FAILURE() << c.name << " opened";
    } catch (const EVorbisError& e) {
      EXPECT_STREQ(e.what(), "ファイルの読み込みに失敗") << c.name;
    }
    EXPECT_EQ(t.State(), 0) << c.name;
    EXPECT_EQ(t.Channels(), 0) << c.name;
    // A later good song opens in the same track.
    {
      std::vector<uint8_t> good = SineOgg(44100, 2, 0.1);
      TMemoryStream g;
      g.Write(good.data(), static_cast<int64_t>(good.size()));
      EXPECT_TRUE(t.OpenCopy(g)) << c.name;
      EXPECT_EQ(t.State(), 1) << c.name;
    }
  }
}

TEST(HostileSongs, DecoderLibraryRefusesABadSetupAndLeavesTheStreamToItsCaller) {
  TVorbisFileDLL& dll = TestDll();
  std::vector<uint8_t> bytes =
      Concat(LoopHeader({}), BuildHandSong(With([](HandSong& s) { s.stageBookDim = 0; })));
  TMemoryStream stream;
  stream.Write(bytes.data(), static_cast<int64_t>(bytes.size()));
  stream.SetPosition(kLoopHeaderBytes);
  TOggVorbisState vf{};
  EXPECT_LT(dll.OpenCallbacks(&stream, &vf), 0);
  EXPECT_EQ(stream.Position(), kLoopHeaderBytes);  // put back where the caller had it
  EXPECT_EQ(dll.Read(&vf, bytes.data(), 64), kWuEInval);
}

TEST(HostileSongs, TimeTellOfAFileWithNoAudioIsZero) {
  TVorbisFileDLL& dll = TestDll();
  std::vector<uint8_t> bytes = BuildHeadersOnly(HandSong{});
  auto* stream = new TMemoryStream;
  stream->Write(bytes.data(), static_cast<int64_t>(bytes.size()));
  stream->SetPosition(0);
  TOggVorbisState vf{};
  ASSERT_GE(dll.OpenCallbacks(stream, &vf), 0);
  EXPECT_EQ(dll.TimeTell(&vf), 0.0);
  dll.Clear(&vf);
}

TEST(HostileSongs, LoopingASongWhoseAudioNeverDecodesEnds) {
  // The pages claim 896 frames, so the song opens; none of its packets is audio.
  auto t = OpenTrack(BuildHandSong(With([](HandSong& s) { s.audioDecodes = false; })));
  ASSERT_EQ(t->State(), 1);
  t->Play(true);
  auto done = std::async(std::launch::async, [&] {
    std::vector<uint8_t> buf(32768);
    return t->Render(buf.data(), 32768);
  });
  if (done.wait_for(std::chrono::seconds(20)) != std::future_status::ready) {
    ADD_FAILURE() << "Render spins on a song with no audio";
    std::_Exit(1);
  }
  EXPECT_EQ(done.get(), 0);
  EXPECT_EQ(t->State(), 1);
}
