// The run-time binding of the decoder library and the stream callbacks it reads through.
#include "sound/vorbis_dll.h"

#include <cstdio>
#include <cstring>
#include <filesystem>

#include "platform/api/sys.h"
#include "sound/memory_stream.h"

TVorbisFileDLL* VorbisDLL = nullptr;

const char* const TVorbisFileDLL::kEntryNames[kEntryCount] = {
    "wu_SetCPUType",        "wu_DetectCPU",          "wu_ScaleOutput",
    "wu_ov_info",           "wu_ov_clear",           "wu_ov_open_callbacks",
    "wu_ov_test_callbacks", "wu_ov_test_open",       "wu_ov_bitrate",
    "wu_ov_bitrate_instant", "wu_ov_streams",        "wu_ov_serialnumber",
    "wu_ov_seekable",       "wu_ov_raw_total",       "wu_ov_time_total",
    "wu_ov_pcm_total",      "wu_ov_raw_seek",        "wu_ov_pcm_seek",
    "wu_ov_pcm_seek_page",  "wu_ov_time_seek",       "wu_ov_time_seek_page",
    "wu_ov_raw_seek_lap",   "wu_ov_pcm_seek_lap",    "wu_ov_pcm_seek_page_lap",
    "wu_ov_time_seek_lap",  "wu_ov_time_seek_page_lap", "wu_ov_raw_tell",
    "wu_ov_pcm_tell",       "wu_ov_time_tell",       "wu_ov_comment",
    "wu_ov_read_float",     "wu_ov_read",            "wu_ov_crosslap",
};

namespace {

enum Entry {
  eSetCPUType = 0, eDetectCPU = 1, eInfo = 3, eClear = 4, eOpenCallbacks = 5, eSeekable = 12,
  eTimeTotal = 14, ePcmTotal = 15, eTimeSeek = 19, eTimeTell = 28, eComment = 29, eRead = 31,
};

template <typename Fn>
Fn As(void* p) {
  return reinterpret_cast<Fn>(p);
}

std::string Format1(const char* fmt, const std::string& arg) {
  int n = std::snprintf(nullptr, 0, fmt, arg.c_str());
  std::string s(static_cast<size_t>(n), '\0');
  std::snprintf(s.data(), s.size() + 1, fmt, arg.c_str());
  return s;
}

}  // namespace

TVorbisFileDLL::TVorbisFileDLL(bool detectCPU) : detectCPU_(detectCPU) {}

TVorbisFileDLL::~TVorbisFileDLL() {
  if (handle_) plat::LibClose(handle_);
  handle_ = nullptr;
}

void TVorbisFileDLL::GetProc(void*& entry, const char* name) {
  entry = plat::LibSymbol(handle_, name);
  if (!entry) throw EVorbisError(Format1("関数(%s)の所得に失敗しました", name));
}

bool TVorbisFileDLL::Load(const std::string& path) {
  std::string full;
  try {
    full = std::filesystem::absolute(std::filesystem::path(path)).lexically_normal().string();
    handle_ = plat::LibOpen(full);
  } catch (const std::exception&) {
    handle_ = nullptr;
  }
  if (!handle_) {
    if (full.empty()) full = path;
    throw EVorbisError(Format1("wuvorbis.dllが存在しません。\r\n(%s)", full));
  }
  moduleFileName_ = plat::LibFileName(handle_);
  if (moduleFileName_.empty()) moduleFileName_ = "vorbisfile.dll";
  try {
    for (int i = 0; i < kEntryCount; ++i) GetProc(entries_[i], kEntryNames[i]);
  } catch (const EVorbisError&) {
    return false;
  }
  callbacks_.read_func = StreamRead;
  callbacks_.seek_func = StreamSeek;
  callbacks_.close_func = StreamClose;
  callbacks_.tell_func = StreamTell;
  if (detectCPU_) SetCPUType(DetectCPU());
  return true;
}

bool TVorbisFileDLL::AllBound() const {
  for (void* e : entries_)
    if (!e) return false;
  return true;
}

void* TVorbisFileDLL::EntryPoint(const char* name) const {
  for (int i = 0; i < kEntryCount; ++i)
    if (std::strcmp(kEntryNames[i], name) == 0) return entries_[i];
  return nullptr;
}

int32_t TVorbisFileDLL::OpenCallbacks(void* stream, TOggVorbisState* vf) {
  return As<WuOpenCallbacksFn>(entries_[eOpenCallbacks])(stream, vf, nullptr, 0, callbacks_);
}
int32_t TVorbisFileDLL::Clear(TOggVorbisState* vf) { return As<WuClearFn>(entries_[eClear])(vf); }
WuInfo* TVorbisFileDLL::Info(TOggVorbisState* vf) { return As<WuInfoFn>(entries_[eInfo])(vf, -1); }
WuComment* TVorbisFileDLL::Comment(TOggVorbisState* vf) {
  return As<WuCommentFn>(entries_[eComment])(vf, -1);
}
int64_t TVorbisFileDLL::PcmTotal(TOggVorbisState* vf) {
  return As<WuPcmTotalFn>(entries_[ePcmTotal])(vf, -1);
}
double TVorbisFileDLL::TimeTotal(TOggVorbisState* vf) {
  return As<WuTimeTotalFn>(entries_[eTimeTotal])(vf, -1);
}
double TVorbisFileDLL::TimeTell(TOggVorbisState* vf) {
  return As<WuTimeTellFn>(entries_[eTimeTell])(vf);
}
int32_t TVorbisFileDLL::TimeSeek(TOggVorbisState* vf, double seconds) {
  return As<WuSeekDoubleFn>(entries_[eTimeSeek])(vf, seconds);
}
int32_t TVorbisFileDLL::Seekable(TOggVorbisState* vf) {
  return static_cast<int32_t>(As<WuSeekableFn>(entries_[eSeekable])(vf));
}
int32_t TVorbisFileDLL::Read(TOggVorbisState* vf, void* buffer, int32_t length) {
  int bitstream = 0;  // the current logical stream; not used
  return static_cast<int32_t>(
      As<WuReadFn>(entries_[eRead])(vf, static_cast<char*>(buffer), length, 0, 2, 1, &bitstream));
}
int32_t TVorbisFileDLL::DetectCPU() { return As<WuDetectCPUFn>(entries_[eDetectCPU])(); }
void TVorbisFileDLL::SetCPUType(int32_t type) { As<WuSetCPUTypeFn>(entries_[eSetCPUType])(type); }

size_t StreamRead(void* ptr, size_t size, size_t count, void* stream) {
  if (size == 0 || count == 0) return 0;
  return static_cast<size_t>(
      static_cast<TMemoryStream*>(stream)->Read(ptr, static_cast<int64_t>(size * count)));
}

int StreamSeek(void* stream, int64_t offset, int whence) {
  // The stream moves by the low 32 bits of the offset, as a signed 32-bit value.
  auto low = static_cast<int32_t>(static_cast<uint32_t>(static_cast<uint64_t>(offset)));
  return static_cast<int>(static_cast<TMemoryStream*>(stream)->Seek(low, whence));
}

int StreamClose(void* stream) {
  delete static_cast<TMemoryStream*>(stream);
  return 0;
}

long StreamTell(void* stream) { return static_cast<long>(static_cast<TMemoryStream*>(stream)->Position()); }

bool LoadVorbisDLL(const std::string& path) {
  FreeVorbisDLL();
  VorbisDLL = new TVorbisFileDLL(true);
  return VorbisDLL->Load(path);
}

void FreeVorbisDLL() {
  delete VorbisDLL;
  VorbisDLL = nullptr;
}
