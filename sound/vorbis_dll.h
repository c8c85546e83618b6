// The run-time binding of the decoder library "wuvorbis.dll": its 33 entry points resolved by
// name, the wrappers the track uses and the stream callbacks over our memory stream.
#pragma once
#include <cstdint>
#include <memory>
#include <stdexcept>
#include <string>

#include "platform/api/wu_exports.h"

// The sound library's own errors; what() is the UTF-8 message shown to the user.
class EVorbisError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// Decoder state block of a track: opaque, passed to every decoder call.
struct alignas(8) TOggVorbisState {
  uint8_t bytes[kWuStateBytes];
};

class TVorbisFileDLL {
 public:
  explicit TVorbisFileDLL(bool detectCPU);
  ~TVorbisFileDLL();
  TVorbisFileDLL(const TVorbisFileDLL&) = delete;
  TVorbisFileDLL& operator=(const TVorbisFileDLL&) = delete;

  // Loads the library at `path` (relative names are taken against the current folder) and
  // binds every entry point. Throws EVorbisError when the library cannot be loaded; returns
  // false, keeping the module and the entry points bound so far, when an export is missing.
  bool Load(const std::string& path);
  // Resolves one export into `entry`; throws EVorbisError when it is missing.
  void GetProc(void*& entry, const char* name);

  // Wrappers (vf: the caller's state block).
  int32_t OpenCallbacks(void* stream, TOggVorbisState* vf);
  int32_t Clear(TOggVorbisState* vf);
  WuInfo* Info(TOggVorbisState* vf);
  WuComment* Comment(TOggVorbisState* vf);
  int64_t PcmTotal(TOggVorbisState* vf);
  double TimeTotal(TOggVorbisState* vf);
  double TimeTell(TOggVorbisState* vf);
  int32_t TimeSeek(TOggVorbisState* vf, double seconds);
  int32_t Seekable(TOggVorbisState* vf);
  int32_t Read(TOggVorbisState* vf, void* buffer, int32_t length);
  int32_t DetectCPU();
  void SetCPUType(int32_t type);

  void* Handle() const { return handle_; }
  const std::string& ModuleFileName() const { return moduleFileName_; }
  // True when every one of the 33 entry points is bound.
  bool AllBound() const;
  // The entry point bound to export `name`, or null (tests).
  void* EntryPoint(const char* name) const;

  static constexpr int kEntryCount = 33;
  static const char* const kEntryNames[kEntryCount];

 private:
  void* handle_ = nullptr;
  std::string moduleFileName_;
  bool detectCPU_;
  void* entries_[kEntryCount] = {};
  WuCallbacks callbacks_{};
};

// The stream callbacks the decoder reads an in-memory file through (datasource: TMemoryStream*).
size_t StreamRead(void* ptr, size_t size, size_t count, void* stream);
int StreamSeek(void* stream, int64_t offset, int whence);
int StreamClose(void* stream);
long StreamTell(void* stream);

// The one binding of the process. Each program has exactly one decoder binding, loaded in its
// main form's creation and freed last, so a process-wide pointer stands for it; tracks take the
// binding they use at construction, so tests can make their own.
extern TVorbisFileDLL* VorbisDLL;
// Frees any old binding, creates one (CPU detection on), stores it in VorbisDLL and loads it.
bool LoadVorbisDLL(const std::string& path);
void FreeVorbisDLL();
