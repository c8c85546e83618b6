// Our decoder library: the 33 wu_ exports over Debian's libvorbisfile. The caller's 960-byte
// state block holds a pointer to a heap-allocated decoder record; a cleared block is refused.
#include <vorbis/vorbisfile.h>

#include <cstddef>
#include <cstdio>
#include <cstring>
#include <new>

#include "platform/wuvorbis/wu_exports.h"

#define WU_EXPORT extern "C" __attribute__((visibility("default")))

static_assert(sizeof(void*) <= kWuStateBytes);
static_assert(offsetof(WuInfo, channels) == offsetof(vorbis_info, channels));
static_assert(offsetof(WuInfo, rate) == offsetof(vorbis_info, rate));
static_assert(offsetof(WuComment, user_comments) == offsetof(vorbis_comment, user_comments));
static_assert(offsetof(WuComment, comments) == offsetof(vorbis_comment, comments));
static_assert(offsetof(WuComment, vendor) == offsetof(vorbis_comment, vendor));

namespace {

// The decoder record behind a state block. The decoder reads the caller's stream through
// trampolines that make the Ogg data start at offset 0 whatever the stream's position at open
// (a song may carry a loop header in front of its Ogg data).
struct WuRecord {
  OggVorbis_File vf;  // first: the record is used as the decoder's own
  WuCallbacks user;
  void* ds;
  long base;
};

WuRecord* Rec(void* block) {
  if (!block) return nullptr;
  WuRecord* p = nullptr;
  std::memcpy(&p, block, sizeof p);
  return p;
}

void SetRec(void* block, WuRecord* p) { std::memcpy(block, &p, sizeof p); }

size_t TrRead(void* ptr, size_t size, size_t n, void* r) {
  auto* rec = static_cast<WuRecord*>(r);
  return rec->user.read_func ? rec->user.read_func(ptr, size, n, rec->ds) : 0;
}
int TrSeek(void* r, ogg_int64_t off, int whence) {
  auto* rec = static_cast<WuRecord*>(r);
  if (whence == SEEK_SET) off += rec->base;
  return rec->user.seek_func(rec->ds, off, whence) == -1 ? -1 : 0;
}
int TrClose(void* r) {
  auto* rec = static_cast<WuRecord*>(r);
  return rec->user.close_func ? rec->user.close_func(rec->ds) : 0;
}
long TrTell(void* r) {
  auto* rec = static_cast<WuRecord*>(r);
  return rec->user.tell_func(rec->ds) - rec->base;
}

void Free(void* block) {
  if (WuRecord* old = Rec(block)) {
    ov_clear(&old->vf);
    delete old;
    SetRec(block, nullptr);
  }
}

// Shared by open and test: a fresh record, released again when the decoder refuses the stream.
int OpenWith(bool testOnly, void* datasource, void* vf, const char* initial, long ibytes,
             WuCallbacks callbacks) {
  if (!vf) return kWuEInval;
  Free(vf);
  auto* rec = new (std::nothrow) WuRecord;
  if (!rec) return OV_EFAULT;
  std::memset(&rec->vf, 0, sizeof rec->vf);
  rec->user = callbacks;
  rec->ds = datasource;
  const bool seekable = callbacks.seek_func && callbacks.tell_func;
  rec->base = seekable ? callbacks.tell_func(datasource) : 0;
  ov_callbacks tr;
  tr.read_func = TrRead;
  tr.seek_func = seekable ? TrSeek : nullptr;
  tr.close_func = TrClose;
  tr.tell_func = seekable ? TrTell : nullptr;
  int r = testOnly ? ov_test_callbacks(rec, &rec->vf, initial, ibytes, tr)
                   : ov_open_callbacks(rec, &rec->vf, initial, ibytes, tr);
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
  WuRecord* r = Rec(vf);
  return r ? reinterpret_cast<WuInfo*>(ov_info(&r->vf, link)) : nullptr;
}

WU_EXPORT int wu_ov_clear(void* vf) {
  WuRecord* r = Rec(vf);
  if (!r) return 0;  // nothing open: clearing again is harmless
  int res = ov_clear(&r->vf);  // calls the caller's close callback
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
    WuRecord* rec = Rec(vf);                       \
    if (!rec) return static_cast<ret>(kWuEInval);  \
    OggVorbis_File* r = &rec->vf;                  \
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
// A seek to the very end (which the decoder refuses as past the last sample) lands on the end.
WU_EXPORT int wu_ov_time_seek(void* vf, double pos) {
  WuRecord* rec = Rec(vf);
  if (!rec) return kWuEInval;
  OggVorbis_File* r = &rec->vf;
  int res = ov_time_seek(r, pos);
  if (res == OV_EINVAL && ov_seekable(r) && pos >= ov_time_total(r, -1))
    res = ov_pcm_seek(r, ov_pcm_total(r, -1));
  return res;
}
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
  WuRecord* r = Rec(vf);
  return r ? reinterpret_cast<WuComment*>(ov_comment(&r->vf, link)) : nullptr;
}

#ifndef WU_LEAVE_OUT_CROSSLAP
WU_EXPORT int wu_ov_crosslap(void* vf1, void* vf2) {
  WuRecord* a = Rec(vf1);
  WuRecord* b = Rec(vf2);
  if (!a || !b) return kWuEInval;
  return ov_crosslap(&a->vf, &b->vf);
}
#endif
