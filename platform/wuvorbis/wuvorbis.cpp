// Our decoder library: the 33 wu_ exports over Debian's libvorbisfile. The caller's 960-byte
// state block holds a pointer to a heap-allocated decoder record; a cleared block is refused.
#include <vorbis/vorbisfile.h>

#include <cstddef>
#include <cstring>
#include <new>

#include "platform/wuvorbis/wu_exports.h"

#define WU_EXPORT extern "C" __attribute__((visibility("default")))

static_assert(sizeof(OggVorbis_File*) <= kWuStateBytes);
static_assert(offsetof(WuInfo, channels) == offsetof(vorbis_info, channels));
static_assert(offsetof(WuInfo, rate) == offsetof(vorbis_info, rate));
static_assert(offsetof(WuComment, user_comments) == offsetof(vorbis_comment, user_comments));
static_assert(offsetof(WuComment, comments) == offsetof(vorbis_comment, comments));
static_assert(offsetof(WuComment, vendor) == offsetof(vorbis_comment, vendor));
static_assert(sizeof(WuCallbacks) == sizeof(ov_callbacks));

namespace {

OggVorbis_File* Rec(void* block) {
  if (!block) return nullptr;
  OggVorbis_File* p = nullptr;
  std::memcpy(&p, block, sizeof p);
  return p;
}

void SetRec(void* block, OggVorbis_File* p) { std::memcpy(block, &p, sizeof p); }

ov_callbacks ToOv(const WuCallbacks& c) {
  ov_callbacks o;
  o.read_func = c.read_func;
  o.seek_func = c.seek_func;
  o.close_func = c.close_func;
  o.tell_func = c.tell_func;
  return o;
}

// Shared by open and test: a fresh record, released again when the decoder refuses the stream.
int OpenWith(bool testOnly, void* datasource, void* vf, const char* initial, long ibytes,
             WuCallbacks callbacks) {
  if (!vf) return kWuEInval;
  if (OggVorbis_File* old = Rec(vf)) {
    ov_clear(old);
    delete old;
    SetRec(vf, nullptr);
  }
  auto* rec = new (std::nothrow) OggVorbis_File;
  if (!rec) return OV_EFAULT;
  std::memset(rec, 0, sizeof *rec);
  int r = testOnly ? ov_test_callbacks(datasource, rec, initial, ibytes, ToOv(callbacks))
                   : ov_open_callbacks(datasource, rec, initial, ibytes, ToOv(callbacks));
  if (r < 0) {
    delete rec;  // the decoder already released its own parts; the source stays the caller's
    return r;
  }
  SetRec(vf, rec);
  return r;
}

}  // namespace

WU_EXPORT void wu_SetCPUType(int) {}
WU_EXPORT int wu_DetectCPU(void) { return 0; }
WU_EXPORT void wu_ScaleOutput(int) {}

WU_EXPORT WuInfo* wu_ov_info(void* vf, int link) {
  OggVorbis_File* r = Rec(vf);
  return r ? reinterpret_cast<WuInfo*>(ov_info(r, link)) : nullptr;
}

WU_EXPORT int wu_ov_clear(void* vf) {
  OggVorbis_File* r = Rec(vf);
  if (!r) return 0;  // nothing open: clearing again is harmless
  int res = ov_clear(r);
  delete r;
  SetRec(vf, nullptr);
  return res;
}

WU_EXPORT int wu_ov_open_callbacks(void* datasource, void* vf, const char* initial, long ibytes,
                                   WuCallbacks callbacks) {
  return OpenWith(false, datasource, vf, initial, ibytes, callbacks);
}

WU_EXPORT int wu_ov_test_callbacks(void* datasource, void* vf, const char* initial, long ibytes,
                                   WuCallbacks callbacks) {
  return OpenWith(true, datasource, vf, initial, ibytes, callbacks);
}

#define WU_FORWARD(ret, name, params, args)        \
  WU_EXPORT ret wu_##name params {                 \
    OggVorbis_File* r = Rec(vf);                   \
    if (!r) return static_cast<ret>(kWuEInval);    \
    return name args;                              \
  }

WU_FORWARD(int, ov_test_open, (void* vf), (r))
WU_FORWARD(long, ov_bitrate, (void* vf, int i), (r, i))
WU_FORWARD(long, ov_bitrate_instant, (void* vf), (r))
WU_FORWARD(long, ov_streams, (void* vf), (r))
WU_FORWARD(long, ov_serialnumber, (void* vf, int i), (r, i))
WU_FORWARD(long, ov_seekable, (void* vf), (r))
WU_FORWARD(int64_t, ov_raw_total, (void* vf, int i), (r, i))
WU_FORWARD(double, ov_time_total, (void* vf, int i), (r, i))
WU_FORWARD(int64_t, ov_pcm_total, (void* vf, int i), (r, i))
WU_FORWARD(int, ov_raw_seek, (void* vf, int64_t pos), (r, pos))
WU_FORWARD(int, ov_pcm_seek, (void* vf, int64_t pos), (r, pos))
WU_FORWARD(int, ov_pcm_seek_page, (void* vf, int64_t pos), (r, pos))
WU_FORWARD(int, ov_time_seek, (void* vf, double pos), (r, pos))
WU_FORWARD(int, ov_time_seek_page, (void* vf, double pos), (r, pos))
WU_FORWARD(int, ov_raw_seek_lap, (void* vf, int64_t pos), (r, pos))
WU_FORWARD(int, ov_pcm_seek_lap, (void* vf, int64_t pos), (r, pos))
WU_FORWARD(int, ov_pcm_seek_page_lap, (void* vf, int64_t pos), (r, pos))
WU_FORWARD(int, ov_time_seek_lap, (void* vf, double pos), (r, pos))
WU_FORWARD(int, ov_time_seek_page_lap, (void* vf, double pos), (r, pos))
WU_FORWARD(int64_t, ov_raw_tell, (void* vf), (r))
WU_FORWARD(int64_t, ov_pcm_tell, (void* vf), (r))
WU_FORWARD(double, ov_time_tell, (void* vf), (r))
WU_FORWARD(long, ov_read_float, (void* vf, float*** pcm, int samples, int* bitstream),
           (r, pcm, samples, bitstream))
WU_FORWARD(long, ov_read,
           (void* vf, char* buffer, int length, int bigendianp, int word, int sgned, int* bitstream),
           (r, buffer, length, bigendianp, word, sgned, bitstream))

WU_EXPORT WuComment* wu_ov_comment(void* vf, int link) {
  OggVorbis_File* r = Rec(vf);
  return r ? reinterpret_cast<WuComment*>(ov_comment(r, link)) : nullptr;
}

#ifndef WU_LEAVE_OUT_CROSSLAP
WU_EXPORT int wu_ov_crosslap(void* vf1, void* vf2) {
  OggVorbis_File* a = Rec(vf1);
  OggVorbis_File* b = Rec(vf2);
  if (!a || !b) return kWuEInval;
  return ov_crosslap(a, b);
}
#endif
