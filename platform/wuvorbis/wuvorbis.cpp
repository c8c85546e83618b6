// Our decoder library: the 33 wu_ exports over Debian's libvorbisfile. The caller's 960-byte
// state block holds a pointer to a heap-allocated decoder record; a cleared block is refused.
// A file is taken only when every link libvorbisfile finds can be decoded (see OpenWith), and
// a record whose decoding once failed is never decoded again.
#include <vorbis/vorbisfile.h>

#include <cmath>
#include <cstddef>
#include <cstdio>
#include <cstring>
#include <new>
#include <vector>

#include "platform/api/wu_exports.h"

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
  // The reading one call may do. libvorbisfile's seeks can go round for ever on some damaged
  // chained files (its page bisection); past this budget every read and seek fails, so the call
  // returns an error instead, and the handle is done with.
  long callsLeft, bytesLeft;
  long callBudget, byteBudget;
  // Set once a decoding call failed: the decoder's state may be half made, so the decoder is
  // never called with it again.
  bool failed;
};

WuRecord* Rec(void* block) {
  if (!block) return nullptr;
  WuRecord* p = nullptr;
  std::memcpy(&p, block, sizeof p);
  return p;
}

void SetRec(void* block, WuRecord* p) { std::memcpy(block, &p, sizeof p); }

void Refill(WuRecord* rec) {
  rec->callsLeft = rec->callBudget;
  rec->bytesLeft = rec->byteBudget;
}

size_t TrRead(void* ptr, size_t size, size_t n, void* r) {
  auto* rec = static_cast<WuRecord*>(r);
  if (!rec->user.read_func || --rec->callsLeft < 0 || rec->bytesLeft < 0) return 0;
  const size_t got = rec->user.read_func(ptr, size, n, rec->ds);
  rec->bytesLeft -= static_cast<long>((got > n ? n : got) * size);
  return got;
}
int TrSeek(void* r, ogg_int64_t off, int whence) {
  auto* rec = static_cast<WuRecord*>(r);
  if (--rec->callsLeft < 0) return -1;
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

int Ilog(long v) {
  int n = 0;
  for (; v > 0; v >>= 1) ++n;
  return n;
}

// The largest r with r^dim <= entries (lookup type 1): a floating-point guess, then whole
// numbers decide.
long Lookup1Values(long entries, long dim) {
  auto fits = [&](long r) {
    long acc = 1;
    for (long i = 0; i < dim; ++i) {
      acc *= r;  // acc <= entries < 2^24 before, r <= 2^24: no overflow
      if (acc > entries) return false;
    }
    return true;
  };
  double guess = std::floor(std::pow(static_cast<double>(entries), 1.0 / static_cast<double>(dim)));
  long r = guess < 1 ? 1 : (guess > entries ? entries : static_cast<long>(guess));
  while (r > 1 && !fits(r)) --r;
  while (fits(r + 1)) ++r;
  return r;
}

// libvorbis takes a codebook of no dimensions and divides by it in the residue decoder as the
// first audio packet of its link is decoded (SIGFPE). Walks the codebooks of a setup packet the
// decoder has already parsed (so the layout is sound) and refuses any such book.
bool BooksHaveDimensions(const ogg_packet& op) {
  oggpack_buffer b;
  oggpack_readinit(&b, op.packet, static_cast<int>(op.bytes));
  oggpack_adv(&b, 7 * 8);
  const long count = oggpack_read(&b, 8);
  if (count < 0) return false;
  for (long k = 0; k <= count; ++k) {
    if (oggpack_read(&b, 24) != 0x564342) return false;
    const long dim = oggpack_read(&b, 16);
    const long entries = oggpack_read(&b, 24);
    if (dim < 1 || entries < 0) return false;
    const long ordered = oggpack_read(&b, 1);
    if (ordered == 0) {
      const long sparse = oggpack_read(&b, 1);
      for (long e = 0; e < entries; ++e) {
        if (sparse == 1 && oggpack_read(&b, 1) == 0) continue;
        if (oggpack_read(&b, 5) < 0) return false;
      }
    } else if (ordered == 1) {
      oggpack_adv(&b, 5);
      for (long e = 0; e < entries;) {
        const long num = oggpack_read(&b, Ilog(entries - e));
        if (num < 0 || num > entries - e) return false;
        e += num;
      }
    } else {
      return false;
    }
    const long type = oggpack_read(&b, 4);
    if (type == 1 || type == 2) {
      oggpack_adv(&b, 64);
      const long bits = oggpack_read(&b, 4) + 1;
      if (oggpack_read(&b, 1) < 0) return false;
      const long values = type == 1 ? Lookup1Values(entries, dim) : entries * dim;
      for (long v = 0; v < values; ++v)
        if (oggpack_read(&b, static_cast<int>(bits)) < 0) return false;
    } else if (type != 0) {
      return false;
    }
  }
  return true;
}

// Reads link `link`'s setup header where libvorbisfile found that link (its first page and its
// serial number), and checks its books. The stream is put back where the decoder left it.
bool LinkBooksSound(WuRecord* rec, int link) {
  OggVorbis_File& vf = rec->vf;
  const long at = TrTell(rec);
  if (at < 0 || TrSeek(rec, vf.offsets[link], SEEK_SET) != 0) return false;
  const int serial = static_cast<int>(vf.serialnos[link]);
  ogg_sync_state oy;
  ogg_stream_state os;
  ogg_sync_init(&oy);
  ogg_stream_init(&os, serial);
  bool ok = false, done = false;
  int packets = 0;
  const ogg_int64_t end = link + 1 < vf.links ? vf.offsets[link + 1] : vf.end;
  ogg_int64_t offset = vf.offsets[link];
  while (!done && offset < end) {
    constexpr long kChunk = 4096;
    char* buf = ogg_sync_buffer(&oy, kChunk);
    const size_t got = TrRead(buf, 1, kChunk, rec);
    if (got == 0 || got > static_cast<size_t>(kChunk)) break;
    ogg_sync_wrote(&oy, static_cast<long>(got));
    offset += static_cast<ogg_int64_t>(got);
    ogg_page pg;
    int r;
    while (!done && (r = ogg_sync_pageout(&oy, &pg)) != 0) {
      if (r < 0 || ogg_page_serialno(&pg) != serial) continue;
      if (ogg_stream_pagein(&os, &pg) != 0) continue;
      ogg_packet op;
      while (!done && ogg_stream_packetout(&os, &op) > 0) {
        if (++packets == 3) {
          ok = BooksHaveDimensions(op);
          done = true;
        }
      }
    }
  }
  ogg_stream_clear(&os);
  ogg_sync_clear(&oy);
  if (TrSeek(rec, at, SEEK_SET) != 0) return false;
  return ok && done;
}

// Makes every link's decoder ready once, as decoding that link would, and checks its books: a
// codebook whose lengths leave the code tree incomplete fails here, and the failed set-up
// leaves zero-filled books behind that a later decoding call would divide by or loop on for
// ever (floor 0). Any failure refuses the file.
bool LinksDecodable(WuRecord* rec) {
  OggVorbis_File& vf = rec->vf;
  if (!vf.seekable || vf.links < 1 || !vf.vi) return false;
  for (int i = 0; i < vf.links; ++i) {
    vorbis_dsp_state vd;
    std::memset(&vd, 0, sizeof vd);
    if (vorbis_synthesis_init(&vd, &vf.vi[i]) != 0) {
      vorbis_dsp_clear(&vd);
      return false;
    }
    vorbis_block vb;
    std::memset(&vb, 0, sizeof vb);
    vorbis_block_init(&vd, &vb);
    vorbis_block_clear(&vb);
    vorbis_dsp_clear(&vd);
    if (!LinkBooksSound(rec, i)) return false;
  }
  return true;
}

// Length of the valid Ogg page (capture pattern, header, lacing and checksum) at `p`, or 0.
size_t PageAt(const unsigned char* p, size_t n) {
  if (n < 27 || std::memcmp(p, "OggS", 4) != 0 || p[4] != 0) return 0;
  const size_t segs = p[26];
  if (n < 27 + segs) return 0;
  size_t body = 0;
  for (size_t i = 0; i < segs; ++i) body += p[27 + i];
  if (n < 27 + segs + body) return 0;
  std::vector<unsigned char> head(p, p + 27 + segs);
  ogg_page pg;
  pg.header = head.data();
  pg.header_len = static_cast<long>(head.size());
  pg.body = const_cast<unsigned char*>(p + head.size());
  pg.body_len = static_cast<long>(body);
  ogg_page_checksum_set(&pg);
  if (std::memcmp(head.data() + 22, p + 22, 4) != 0) return 0;
  return 27 + segs + body;
}

// Refuses a stream in which a valid page lies inside another page. Read from its start, page
// by page, such a stream is one song; libvorbisfile's search for links seeks into the middle of
// pages and so may read another one out of it, with links no check here has seen, or go round
// for ever looking for the end of a link it cannot find again from the start. The stream is put
// back where it was.
bool PagesDoNotNest(void* datasource, const char* initial, long ibytes, const WuCallbacks& cb) {
  const long start = cb.tell_func(datasource);
  if (start < 0) return false;
  std::vector<unsigned char> data;
  if (initial && ibytes > 0) data.assign(initial, initial + ibytes);
  constexpr size_t kChunk = 65536;
  for (;;) {
    const size_t at = data.size();
    data.resize(at + kChunk);
    const size_t got = cb.read_func(data.data() + at, 1, kChunk, datasource);
    data.resize(at + (got > kChunk ? 0 : got));
    if (got == 0 || got > kChunk) break;
  }
  if (cb.seek_func(datasource, start, SEEK_SET) == -1) return false;
  const unsigned char* p = data.data();
  const size_t n = data.size();
  auto next = [&](size_t from) {
    const void* q = from < n ? memmem(p + from, n - from, "OggS", 4) : nullptr;
    return q ? static_cast<size_t>(static_cast<const unsigned char*>(q) - p) : n;
  };
  for (size_t pos = next(0); pos < n; ) {
    const size_t len = PageAt(p + pos, n - pos);
    if (len == 0) {
      pos = next(pos + 1);  // not a page: the sync goes on from the next byte
      continue;
    }
    for (size_t in = next(pos + 1); in < pos + len; in = next(in + 1))
      if (PageAt(p + in, n - in) != 0) return false;
    pos = next(pos + len);
  }
  return true;
}

// Shared by open and test: a fresh record, released again when the decoder refuses the stream.
int OpenWith(bool testOnly, void* datasource, void* vf, const char* initial, long ibytes,
             WuCallbacks callbacks) {
  if (!vf) return kWuEInval;
  Free(vf);
  // Every link is checked where libvorbisfile finds it, which needs a stream that can move.
  if (!callbacks.seek_func || !callbacks.tell_func || !callbacks.read_func) return OV_EINVAL;
  if (!PagesDoNotNest(datasource, initial, ibytes, callbacks)) return OV_EBADHEADER;
  auto* rec = new (std::nothrow) WuRecord;
  if (!rec) return OV_EFAULT;
  std::memset(&rec->vf, 0, sizeof rec->vf);
  rec->user = callbacks;
  rec->ds = datasource;
  rec->failed = false;
  rec->base = callbacks.tell_func(datasource);
  long size = -1;
  if (rec->base >= 0 && callbacks.seek_func(datasource, 0, SEEK_END) != -1)
    size = callbacks.tell_func(datasource) - rec->base;
  if (size < 0 || callbacks.seek_func(datasource, rec->base, SEEK_SET) == -1) {
    delete rec;
    return OV_EREAD;
  }
  // Finding the links, or seeking by bisection, takes a few reads per link or step, each of a
  // few KiB; far above that the decoder is going round.
  rec->callBudget = 262144 + size / 8;
  rec->byteBudget = 128L * 1024 * 1024 + 32 * size;
  Refill(rec);
  ov_callbacks tr;
  tr.read_func = TrRead;
  tr.seek_func = TrSeek;
  tr.close_func = TrClose;
  tr.tell_func = TrTell;
  int r = testOnly ? ov_test_callbacks(rec, &rec->vf, initial, ibytes, tr)
                   : ov_open_callbacks(rec, &rec->vf, initial, ibytes, tr);
  if (r >= 0 && !testOnly && !LinksDecodable(rec)) {
    rec->user.close_func = nullptr;  // the source stays the caller's
    ov_clear(&rec->vf);
    r = OV_EBADHEADER;
  }
  if (r < 0) {
    // The decoder already released its own parts; the source stays the caller's, where it was.
    callbacks.seek_func(datasource, rec->base, SEEK_SET);
    delete rec;
    return r;
  }
  SetRec(vf, rec);
  return r;
}

// libvorbisfile's page seek can leave its stream state holding more lacing than body (on some
// chained files whose links interleave, it takes in a page header whose body its buffer no
// longer holds); the next page it takes in then moves a negative length, and the heap is lost.
bool StreamStateSound(const ogg_stream_state& os) {
  if (os.body_returned > os.body_fill || os.lacing_returned > os.lacing_fill) return false;
  if (os.lacing_fill > os.lacing_returned && !os.lacing_vals) return false;
  long need = 0;
  for (long i = os.lacing_returned; i < os.lacing_fill; ++i) need += os.lacing_vals[i] & 0xff;
  return need <= os.body_fill - os.body_returned;
}

// A decoding call: refused once one failed, and marks the record when this one fails or leaves
// the stream state unsound. A hole in the data is only a warning, and a bad argument is refused
// before the decoder is touched.
template <typename Call>
auto Decode(WuRecord* rec, Call call) -> decltype(call()) {
  using Ret = decltype(call());
  if (rec->failed) return static_cast<Ret>(OV_EBADLINK);
  Refill(rec);
  Ret r = call();
  if (r < 0 && r != OV_HOLE && r != OV_EINVAL && r != OV_ENOSEEK) rec->failed = true;
  if (!StreamStateSound(rec->vf.os)) {
    rec->failed = true;
    if (r >= 0) r = static_cast<Ret>(OV_EBADLINK);
  }
  return r;
}

// A sample-exact seek goes to the page first and then takes pages in on its own, inside the one
// call: the page seek is made alone first, and its state checked, before the real seek repeats
// it.
int PcmSeekChecked(OggVorbis_File* r, ogg_int64_t pos) {
  int res = ov_pcm_seek_page(r, pos);
  if (res != 0) return res;
  if (!StreamStateSound(r->os)) return OV_EBADLINK;
  return ov_pcm_seek(r, pos);
}

int TimeSeekChecked(OggVorbis_File* r, double pos) {
  int res = ov_time_seek_page(r, pos);
  if (res != 0) return res;
  if (!StreamStateSound(r->os)) return OV_EBADLINK;
  return ov_time_seek(r, pos);
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

// The calls that run the decoder (or move it, which decodes as it lands).
#define WU_DECODE(ret, name, params, args)                       \
  WU_EXPORT ret wu_##name params {                               \
    WuRecord* rec = Rec(vf);                                     \
    if (!rec) return static_cast<ret>(kWuEInval);                \
    OggVorbis_File* r = &rec->vf;                                \
    return Decode(rec, [&]() -> ret { return name args; });      \
  }

// A test open is finished here, and its links checked as a full open checks them.
WU_EXPORT int wu_ov_test_open(void* vf) {
  WuRecord* rec = Rec(vf);
  if (!rec) return kWuEInval;
  Refill(rec);
  int res = ov_test_open(&rec->vf);
  if (res == 0 && !LinksDecodable(rec)) {
    rec->failed = true;
    return OV_EBADHEADER;
  }
  return res;
}
WU_FORWARD(long, ov_bitrate, (void* vf, int i), (r, i))
WU_FORWARD(long, ov_bitrate_instant, (void* vf), (r))
WU_FORWARD(long, ov_streams, (void* vf), (r))
WU_FORWARD(long, ov_serialnumber, (void* vf, int i), (r, i))
WU_FORWARD(long, ov_seekable, (void* vf), (r))
WU_FORWARD(int64_t, ov_raw_total, (void* vf, int i), (r, i))
WU_FORWARD(double, ov_time_total, (void* vf, int i), (r, i))
WU_FORWARD(int64_t, ov_pcm_total, (void* vf, int i), (r, i))
WU_DECODE(int, ov_raw_seek, (void* vf, int64_t pos), (r, pos))
WU_EXPORT int wu_ov_pcm_seek(void* vf, int64_t pos) {
  WuRecord* rec = Rec(vf);
  if (!rec) return kWuEInval;
  return Decode(rec, [&] { return PcmSeekChecked(&rec->vf, pos); });
}
WU_DECODE(int, ov_pcm_seek_page, (void* vf, int64_t pos), (r, pos))
// A seek to the very end (which the decoder refuses as past the last sample) lands on the end.
WU_EXPORT int wu_ov_time_seek(void* vf, double pos) {
  WuRecord* rec = Rec(vf);
  if (!rec) return kWuEInval;
  OggVorbis_File* r = &rec->vf;
  return Decode(rec, [&] {
    int res = TimeSeekChecked(r, pos);
    if (res == OV_EINVAL && ov_seekable(r) && pos >= ov_time_total(r, -1))
      res = PcmSeekChecked(r, ov_pcm_total(r, -1));
    return res;
  });
}
WU_DECODE(int, ov_time_seek_page, (void* vf, double pos), (r, pos))
WU_DECODE(int, ov_raw_seek_lap, (void* vf, int64_t pos), (r, pos))
WU_DECODE(int, ov_pcm_seek_lap, (void* vf, int64_t pos), (r, pos))
WU_DECODE(int, ov_pcm_seek_page_lap, (void* vf, int64_t pos), (r, pos))
WU_DECODE(int, ov_time_seek_lap, (void* vf, double pos), (r, pos))
WU_DECODE(int, ov_time_seek_page_lap, (void* vf, double pos), (r, pos))
WU_FORWARD(int64_t, ov_raw_tell, (void* vf), (r))
WU_FORWARD(int64_t, ov_pcm_tell, (void* vf), (r))
// The decoder looks up the rate of link -1 when the play position lies before the first sample
// of a seekable file (as it does in a file with no audio): that position is time 0.
WU_EXPORT double wu_ov_time_tell(void* vf) {
  WuRecord* rec = Rec(vf);
  if (!rec) return kWuEInval;
  OggVorbis_File* r = &rec->vf;
  if (ov_seekable(r) && ov_pcm_tell(r) < 0) return 0.0;
  return ov_time_tell(r);
}
WU_DECODE(long, ov_read_float, (void* vf, float*** pcm, int samples, int* bitstream),
          (r, pcm, samples, bitstream))
WU_DECODE(long, ov_read,
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
  if (a->failed || b->failed) return OV_EBADLINK;
  int res = ov_crosslap(&a->vf, &b->vf);
  if (res < 0 && res != OV_EINVAL) a->failed = b->failed = true;
  return res;
}
#endif
