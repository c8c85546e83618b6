// The decoder binding: loading, missing exports, the error texts and the stream callbacks.
#include "sound/vorbis_dll.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>

#include "platform/api/sys.h"
#include "sound/memory_stream.h"
#include "tests/sound/ogg_fixture.h"

namespace fs = std::filesystem;

namespace {

struct TempDir {
  fs::path path;
  TempDir() {
    char tmpl[] = "/tmp/plumet-vorbis-XXXXXX";
    path = ::mkdtemp(tmpl);
  }
  ~TempDir() { fs::remove_all(path); }
};

struct CwdGuard {
  fs::path old = fs::current_path();
  ~CwdGuard() { fs::current_path(old); }
};

}  // namespace

TEST(VorbisDll, LoadsTheShippedLibraryWithEveryEntryPoint) {
  TVorbisFileDLL dll(true);
  ASSERT_TRUE(dll.Load(DecoderPath()));
  EXPECT_TRUE(dll.AllBound());
  EXPECT_NE(dll.Handle(), nullptr);
  EXPECT_EQ(fs::path(dll.ModuleFileName()).filename(), "wuvorbis.dll");
}

TEST(VorbisDll, MissingOrNonLibraryFileRaisesTheMessageWithTheFullName) {
  TempDir dir;
  CwdGuard cwd;
  fs::current_path(dir.path);
  fs::create_directory("plumetogg");
  WriteBytes("plumetogg/wuvorbis.dll", {'n', 'o', 't', ' ', 'a', ' ', 'l', 'i', 'b'});
  fs::path full = fs::current_path() / "plumetogg" / "wuvorbis.dll";
  struct Case { std::string path; std::string shown; } cases[] = {
      {"plumetogg/wuvorbis.dll", full.string()},            // not a library, relative name
      {"plumetogg/../plumetogg/missing.dll", (fs::current_path() / "plumetogg" / "missing.dll").string()},
  };
  for (const auto& c : cases) {
    TVorbisFileDLL dll(true);
    try {
      dll.Load(c.path);
      ADD_FAILURE() << "no exception for " << c.path;
    } catch (const EVorbisError& e) {
      EXPECT_EQ(std::string(e.what()), "wuvorbis.dllが存在しません。\r\n(" + c.shown + ")");
    }
    EXPECT_EQ(dll.Handle(), nullptr);
  }
}

TEST(VorbisDll, LibraryCutShortIsRefusedBeforeTheLoaderMapsIt) {
  TempDir dir;
  std::ifstream in(DecoderPath(), std::ios::binary);
  std::vector<uint8_t> whole((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  ASSERT_GT(whole.size(), 20000u);
  // The loader died of SIGBUS on the cut files; the header alone, or a header whose program
  // headers lie past the end, is refused as well.
  std::vector<uint8_t> farHeaders(whole.begin(), whole.begin() + 64);
  farHeaders[32] = 0xff;  // e_phoff low byte: past the 64-byte file
  for (size_t cut : {size_t(0), size_t(63), size_t(64), size_t(2000), size_t(10000), size_t(20000)}) {
    std::vector<uint8_t> part(whole.begin(), whole.begin() + static_cast<long>(cut));
    const std::string path = (dir.path / ("cut" + std::to_string(cut) + ".dll")).string();
    ASSERT_TRUE(WriteBytes(path, part));
    EXPECT_FALSE(plat::LibFileWhole(path)) << cut;
    TVorbisFileDLL dll(true);
    EXPECT_THROW(dll.Load(path), EVorbisError) << cut;
    EXPECT_EQ(dll.Handle(), nullptr) << cut;
  }
  const std::string far = (dir.path / "far.dll").string();
  ASSERT_TRUE(WriteBytes(far, farHeaders));
  EXPECT_FALSE(plat::LibFileWhole(far));
  EXPECT_FALSE(plat::LibFileWhole(dir.path.string())) << "a folder";
  EXPECT_TRUE(plat::LibFileWhole(DecoderPath()));
}

TEST(VorbisDll, LibraryLackingTheLastExportLoadsFalseWithTheRestBound) {
  TVorbisFileDLL dll(true);
  EXPECT_FALSE(dll.Load(NoCrosslapDecoderPath()));
  EXPECT_NE(dll.Handle(), nullptr);  // the module stays loaded
  for (int i = 0; i < TVorbisFileDLL::kEntryCount - 1; ++i)
    EXPECT_NE(dll.EntryPoint(TVorbisFileDLL::kEntryNames[i]), nullptr) << TVorbisFileDLL::kEntryNames[i];
  EXPECT_EQ(dll.EntryPoint("wu_ov_crosslap"), nullptr);

  void* entry = nullptr;
  try {
    dll.GetProc(entry, "wu_ov_crosslap");
    ADD_FAILURE();
  } catch (const EVorbisError& e) {
    EXPECT_STREQ(e.what(), "関数(wu_ov_crosslap)の所得に失敗しました");
  }
}

TEST(VorbisDll, GlobalBindingIsReplacedAndFreed) {
  ASSERT_TRUE(LoadVorbisDLL(DecoderPath()));
  TVorbisFileDLL* first = VorbisDLL;
  ASSERT_NE(first, nullptr);
  EXPECT_FALSE(LoadVorbisDLL(NoCrosslapDecoderPath()));
  EXPECT_NE(VorbisDLL, nullptr);
  FreeVorbisDLL();
  EXPECT_EQ(VorbisDLL, nullptr);
}

TEST(VorbisStreamCallbacks, ReadSeekTell) {
  TMemoryStream s;
  const char text[] = "0123456789";
  s.Write(text, 10);
  s.SetPosition(0);
  char buf[16] = {};
  EXPECT_EQ(StreamRead(buf, 0, 5, &s), 0u);
  EXPECT_EQ(StreamRead(buf, 5, 0, &s), 0u);
  EXPECT_EQ(s.Position(), 0);
  EXPECT_EQ(StreamRead(buf, 2, 3, &s), 6u);
  EXPECT_EQ(std::string(buf, 6), "012345");
  EXPECT_EQ(StreamRead(buf, 1, 16, &s), 4u);  // only what is left
  EXPECT_EQ(StreamTell(&s), 10);

  struct Case { int64_t offset; int whence; long pos; } cases[] = {
      {3, 0, 3},
      {(int64_t(1) << 32) + 7, 0, 7},   // above 4 GiB: the low 32 bits
      {-2, 1, 5},
      {(int64_t(5) << 32) - 1, 2, 9},   // low 32 bits are -1, from the end
  };
  for (const auto& c : cases) {
    EXPECT_EQ(StreamSeek(&s, c.offset, c.whence), c.pos) << c.offset;
    EXPECT_EQ(StreamTell(&s), c.pos);
  }
}

TEST(VorbisDll, DecodesAGeneratedSineThroughTheCallbacks) {
  TVorbisFileDLL dll(true);
  ASSERT_TRUE(dll.Load(DecoderPath()));
  std::vector<uint8_t> ogg = SineOgg(44100, 2, 0.5, 441.0, 0.5);
  ASSERT_GT(ogg.size(), 200u);
  auto* stream = new TMemoryStream;
  stream->Write(ogg.data(), static_cast<int64_t>(ogg.size()));
  stream->SetPosition(0);

  TOggVorbisState vf;
  std::memset(&vf, 0, sizeof vf);
  ASSERT_GE(dll.OpenCallbacks(stream, &vf), 0);
  WuInfo* info = dll.Info(&vf);
  ASSERT_NE(info, nullptr);
  EXPECT_EQ(info->channels, 2);
  EXPECT_EQ(info->rate, 44100);
  EXPECT_EQ(dll.PcmTotal(&vf), 22050);
  EXPECT_NEAR(dll.TimeTotal(&vf), 0.5, 1e-9);
  EXPECT_NE(dll.Seekable(&vf), 0);
  WuComment* vc = dll.Comment(&vf);
  ASSERT_NE(vc, nullptr);
  ASSERT_EQ(vc->comments, 1);
  EXPECT_STREQ(vc->user_comments[0], "TITLE=fixture");

  std::vector<int16_t> pcm(22050 * 2 + 64);
  int64_t total = 0;
  for (;;) {
    int32_t n = dll.Read(&vf, reinterpret_cast<char*>(pcm.data()) + total,
                         static_cast<int32_t>(std::min<int64_t>(4096, pcm.size() * 2 - total)));
    ASSERT_GE(n, 0);
    if (n == 0) break;
    total += n;
  }
  EXPECT_EQ(total, 22050 * 4);
  int16_t peak = 0;
  for (size_t i = 0; i < 22050 * 2; ++i) peak = std::max<int16_t>(peak, static_cast<int16_t>(std::abs(pcm[i])));
  EXPECT_NEAR(peak, 16384, 1200);
  EXPECT_EQ(dll.TimeSeek(&vf, 0.25), 0);
  EXPECT_NEAR(dll.TimeTell(&vf), 0.25, 1e-3);
  EXPECT_EQ(dll.Clear(&vf), 0);  // also frees the stream through the close callback
}

TEST(VorbisDll, EveryEntryPointIsSafeOnAClearedStateBlock) {
  TVorbisFileDLL dll(true);
  ASSERT_TRUE(dll.Load(DecoderPath()));
  TOggVorbisState vf;
  std::memset(&vf, 0, sizeof vf);
  char buf[64];
  EXPECT_LT(dll.Read(&vf, buf, sizeof buf), 0);
  EXPECT_EQ(dll.Info(&vf), nullptr);
  EXPECT_EQ(dll.Comment(&vf), nullptr);
  EXPECT_LT(dll.PcmTotal(&vf), 0);
  EXPECT_LT(dll.TimeTotal(&vf), 0);
  EXPECT_LT(dll.TimeTell(&vf), 0);
  EXPECT_LT(dll.TimeSeek(&vf, 1.0), 0);
  EXPECT_LE(dll.Seekable(&vf), 0);
  EXPECT_EQ(dll.Clear(&vf), 0);
  auto crosslap = reinterpret_cast<WuCrosslapFn>(dll.EntryPoint("wu_ov_crosslap"));
  EXPECT_LT(crosslap(&vf, &vf), 0);
  auto rawTell = reinterpret_cast<WuTellI64Fn>(dll.EntryPoint("wu_ov_raw_tell"));
  EXPECT_LT(rawTell(&vf), 0);

  // A stream the decoder refuses leaves the block cleared and the stream with the caller.
  TMemoryStream junk;
  junk.Write("this is not an ogg file at all, not even close....", 50);
  junk.SetPosition(0);
  EXPECT_LT(dll.OpenCallbacks(&junk, &vf), 0);
  for (uint8_t b : vf.bytes) ASSERT_EQ(b, 0);
}
