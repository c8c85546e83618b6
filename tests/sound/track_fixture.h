// Test aid: the decoder binding, tracks opened from generated Ogg bytes, reference decodes.
#pragma once
#include <cstring>
#include <memory>
#include <vector>

#include "sound/memory_stream.h"
#include "sound/ogg_data.h"
#include "sound/vorbis_dll.h"
#include "tests/sound/ogg_fixture.h"

inline TVorbisFileDLL& TestDll() {
  static TVorbisFileDLL dll(true);
  static bool loaded = dll.Load(DecoderPath());
  (void)loaded;
  return dll;
}

inline std::unique_ptr<TOggData> OpenTrack(const std::vector<uint8_t>& bytes) {
  auto t = std::make_unique<TOggData>(65536, &TestDll());
  TMemoryStream s;
  s.Write(bytes.data(), static_cast<int64_t>(bytes.size()));
  t->OpenCopy(s);
  return t;
}

// The file's samples as the decoder gives them (its own rate and channel count).
inline std::vector<int16_t> DecodeAll(const std::vector<uint8_t>& bytes) {
  TVorbisFileDLL& dll = TestDll();
  auto* s = new TMemoryStream;
  s->Write(bytes.data(), static_cast<int64_t>(bytes.size()));
  s->SetPosition(0);
  TOggVorbisState vf;
  std::memset(&vf, 0, sizeof vf);
  std::vector<int16_t> out;
  if (dll.OpenCallbacks(s, &vf) < 0) {
    delete s;
    return out;
  }
  int16_t buf[2048];
  int32_t n;
  while ((n = dll.Read(&vf, buf, sizeof buf)) > 0) out.insert(out.end(), buf, buf + n / 2);
  dll.Clear(&vf);
  return out;
}

inline std::vector<uint8_t> Concat(std::vector<uint8_t> a, const std::vector<uint8_t>& b) {
  a.insert(a.end(), b.begin(), b.end());
  return a;
}
