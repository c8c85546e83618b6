// Songs made to break the decoder or the track: each is refused as unreadable, or plays out and
// ends, and never brings the program down.
#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <functional>
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

// Runs `body` on a thread of its own and ends the test program when it has not returned in 20 s:
// a hostile song that hangs the decoder must fail the test, not the whole run's time limit.
void WithinTime(const char* what, const std::function<void()>& body) {
  auto done = std::async(std::launch::async, body);
  if (done.wait_for(std::chrono::seconds(20)) != std::future_status::ready) {
    ADD_FAILURE() << what << " never returns";
    std::_Exit(1);
  }
  done.get();
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
      // A code tree with a hole fails the decoder's set-up on the first read and leaves zero-filled
      // books behind: the next read divides by zero (floor 1) or loops for ever (floor 0).
      {"incomplete code tree, floor 1", BuildHandSong(With([](HandSong& s) { s.incompleteBook = true; }))},
      {"incomplete code tree, floor 0", BuildHandSong(With([](HandSong& s) {
         s.incompleteBook = true;
         s.floorType = 0;
       }))},
      {"incomplete code tree in a later link",
       Concat(SineOgg(44100, 2, 0.1), BuildHandSong(With([](HandSong& s) {
                s.incompleteBook = true;
                s.floorType = 0;
                s.serial = 77;
              })))},
      // A link that only the decoder's bisection finds, inside a page of the first: the decoder
      // takes it as a link of its own, then divides by its book on a seek or a loop jump.
      {"hidden link, value book of no dimensions",
       BuildHiddenLinkSong(With([](HandSong& s) { s.stageBookDim = 0; }))},
      {"hidden link, incomplete code tree",
       BuildHiddenLinkSong(With([](HandSong& s) { s.incompleteBook = true; }))},
      // The decoder's search for the hidden link's end goes round for ever at open.
      {"hidden link whose end cannot be found", BuildHiddenLinkSong(HandSong{}, 0)},
      {"hidden sound link", BuildHiddenLinkSong(HandSong{})},
      // The track's rate field and the conversion key are 32 bits.
      {"4294967040 Hz", BuildHandSong(With([](HandSong& s) { s.rate = 4294967040; }))},
      // frames * 4 overflowed.
      {"granule near 2^62",
       BuildHandSong(With([](HandSong& s) { s.lastGranule = (int64_t(1) << 62) - 5; }))},
  };
  for (auto& c : cases) {
    TOggData t(65536, &TestDll());
    TMemoryStream s;
    s.Write(c.bytes.data(), static_cast<int64_t>(c.bytes.size()));
    WithinTime(c.name, [&] {
      try {
        t.OpenCopy(s);
        ADD_FAILURE() << c.name << " opened";
        // Whatever opened must not bring the program down as it plays, loops and moves.
        t.Play(true);
        std::vector<uint8_t> buf(32768);
        for (int i = 0; i < 3; ++i) t.Render(buf.data(), 32768);
        t.Seek(0.015f);  // inside the hidden link of the songs that have one
        t.Render(buf.data(), 32768);
      } catch (const EVorbisError& e) {
        EXPECT_STREQ(e.what(), "ファイルの読み込みに失敗") << c.name;
      }
    });
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

TEST(HostileSongs, ASongTheTrackCannotMixOpensAndPlaysSilence) {
  struct Case {
    const char* name;
    std::vector<uint8_t> bytes;
    int channels;
    int32_t rendered;  // what Render gives: -1 for a format the track has no conversion for
  } cases[] = {
      {"three channels", BuildHandSong(With([](HandSong& s) { s.channels = 3; })), 3, -1},
      {"500 Hz", BuildHandSong(With([](HandSong& s) { s.rate = 500; })), 1, -1},
      {"1006720546 Hz", BuildHandSong(With([](HandSong& s) { s.rate = 1006720546; })), 1, -1},
      {"48000 Hz stereo", SineOgg(48000, 2, 0.1), 2, -1},
      // Seekable, no audio at all: nothing to render, the track ends at once.
      {"headers only", BuildHeadersOnly(HandSong{}), 1, 0},
      {"no samples", EncodeOgg(44100, 1, 0, [](int, int) { return 0.0f; }), 1, 0},
  };
  for (auto& c : cases) {
    auto t = OpenTrack(c.bytes);
    ASSERT_EQ(t->State(), 1) << c.name;
    EXPECT_EQ(t->Channels(), c.channels) << c.name;
    t->Play(true);
    std::vector<uint8_t> buf(32768, 0x55);
    EXPECT_EQ(t->Render(buf.data(), 32768), c.rendered) << c.name;
    // -1 is silence to the mixer whatever the block holds; an empty song fills it with zeros.
    if (c.rendered == 0) {
      EXPECT_EQ(std::count(buf.begin(), buf.end(), 0), 32768) << c.name;
    }
    EXPECT_EQ(t->State(), 1) << c.name;  // rewound and stopped
  }
}

TEST(HostileSongs, ADecodingCallThatFailedNeverReachesTheDecoderAgain) {
  TVorbisFileDLL& dll = TestDll();
  std::vector<uint8_t> bytes = SineOgg(44100, 2, 0.5);
  auto* stream = new TMemoryStream;
  stream->Write(bytes.data(), static_cast<int64_t>(bytes.size()));
  stream->SetPosition(0);
  TOggVorbisState vf{};
  ASSERT_GE(dll.OpenCallbacks(stream, &vf), 0);
  std::vector<uint8_t> buf(4096);
  ASSERT_GT(dll.Read(&vf, buf.data(), 4096), 0);
  // The file vanishes under the decoder: the seek fails.
  stream->SetSize(0);
  EXPECT_LT(dll.TimeSeek(&vf, 0.25), 0);
  // Back in place, it would decode again; the handle stays refused all the same.
  stream->Write(bytes.data(), static_cast<int64_t>(bytes.size()));
  EXPECT_LT(dll.Read(&vf, buf.data(), 4096), 0);
  EXPECT_LT(dll.TimeSeek(&vf, 0), 0);
  EXPECT_LT(dll.Read(&vf, buf.data(), 4096), 0);
  EXPECT_GE(dll.TimeTell(&vf), 0.0);  // questions that do not decode are still answered
  dll.Clear(&vf);
}

TEST(HostileSongs, ASeekThatWouldCorruptTheDecoderEndsTheSongInstead) {
  // Plays from its start; a seek into it (a loop jump here) left libvorbisfile's stream state
  // broken, and the next page it took in corrupted the heap.
  std::vector<uint8_t> bytes = Concat(LoopHeader({{0.1f, 0.05f, -1}}), BuildStaleHeaderSong());
  auto t = OpenTrack(bytes);
  ASSERT_EQ(t->State(), 1);
  t->Play(false);
  std::vector<uint8_t> buf(32768);
  // The music up to the jump, then the jump fails and the track stops; silence from then on.
  EXPECT_LT(t->Render(buf.data(), 32768), 32768);
  EXPECT_EQ(t->State(), 1);
  t->Play(true);
  for (int i = 0; i < 3; ++i) EXPECT_LE(t->Render(buf.data(), 32768), 0);
  t->Seek(0.5f);
  EXPECT_LE(t->Render(buf.data(), 32768), 0);

  TVorbisFileDLL& dll = TestDll();
  std::vector<uint8_t> song = BuildStaleHeaderSong();
  auto* stream = new TMemoryStream;
  stream->Write(song.data(), static_cast<int64_t>(song.size()));
  stream->SetPosition(0);
  TOggVorbisState vf{};
  ASSERT_GE(dll.OpenCallbacks(stream, &vf), 0);
  ASSERT_GT(dll.Read(&vf, buf.data(), 4096), 0);
  EXPECT_LT(dll.TimeSeek(&vf, 0.1), 0);
  EXPECT_LT(dll.Read(&vf, buf.data(), 4096), 0);
  dll.Clear(&vf);
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
