// Our decoder library: the 33 wu_ exports over Debian's libvorbisfile. The caller's 960-byte
// state block holds a pointer to a heap-allocated decoder record; a cleared block is refused.
#include <vorbis/vorbisfile.h>

#include <cmath>
#include <cstddef>
#include <cstdio>
#include <cstring>
#include <map>
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

// The header check. libvorbis trusts some setup fields it should not: a codebook of zero
// dimensions is accepted and later divided by as the first audio packet is decoded (SIGFPE in
// the residue decoder), or, with lookup type 1, sends the setup into an endless search. Every
// logical Vorbis stream of the file (each link of a chained one) is checked here before the
// decoder sees any of it; a stream that fails is refused as a bad header.
class HeaderCheck {
 public:
  ~HeaderCheck() {
    for (auto& [serial, s] : streams_) ogg_stream_clear(&s.os);
  }
  // Takes one page; false when the file is to be refused.
  bool Page(ogg_page& pg) {
    const int serial = ogg_page_serialno(&pg);
    auto it = streams_.find(serial);
    if (ogg_page_bos(&pg)) {
      if (it != streams_.end()) {
        ogg_stream_clear(&it->second.os);
        streams_.erase(it);
      }
      // Far more logical streams than any real file: nothing to check them all with.
      if (streams_.size() >= kMaxStreams) return false;
      it = streams_.emplace(serial, Stream{}).first;
      ogg_stream_init(&it->second.os, serial);
    }
    if (it == streams_.end() || it->second.done) return true;
    Stream& s = it->second;
    if (ogg_stream_pagein(&s.os, &pg) != 0) return true;
    ogg_packet op;
    int r;
    while (!s.done && (r = ogg_stream_packetout(&s.os, &op)) != 0) {
      if (r < 0) return !s.vorbis;  // a gap inside Vorbis headers
      if (!Packet(s, op)) return false;
    }
    if (s.done) {
      ogg_stream_clear(&s.os);
      ogg_stream_init(&s.os, serial);
    }
    return true;
  }

 private:
  static constexpr size_t kMaxStreams = 64;
  struct Stream {
    ogg_stream_state os;
    int packets = 0;
    bool vorbis = false, done = false;
  };
  std::map<int, Stream> streams_;

  static bool Head(const ogg_packet& op, int type) {
    return op.bytes >= 7 && op.packet[0] == type && std::memcmp(op.packet + 1, "vorbis", 6) == 0;
  }

  bool Packet(Stream& s, ogg_packet& op) {
    const int n = s.packets++;
    if (n == 0) {
      if (!Head(op, 1)) {
        s.done = true;  // not Vorbis: the decoder leaves it alone
        return true;
      }
      s.vorbis = true;
      return Ident(op);
    }
    if (n == 1) return Head(op, 3);
    s.done = true;
    return Head(op, 5) && Books(op);
  }

  static bool Ident(const ogg_packet& op) {
    oggpack_buffer b;
    oggpack_readinit(&b, op.packet, static_cast<int>(op.bytes));
    oggpack_adv(&b, 7 * 8);
    const long version = oggpack_read(&b, 32);
    const long channels = oggpack_read(&b, 8);
    const long rate = oggpack_read(&b, 32);
    oggpack_adv(&b, 3 * 32);
    const long exp0 = oggpack_read(&b, 4);
    const long exp1 = oggpack_read(&b, 4);
    return version == 0 && channels >= 1 && rate >= 1 && exp0 >= 6 && exp1 >= exp0 &&
           exp1 <= 13 && oggpack_read(&b, 1) == 1;
  }

  static int Ilog(long v) {
    int n = 0;
    for (; v > 0; v >>= 1) ++n;
    return n;
  }

  // The largest r with r^dim <= entries (lookup type 1): a floating-point guess, then whole
  // numbers decide.
  static long Lookup1Values(long entries, long dim) {
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

  // Walks the codebooks of the setup packet; false on a book the decoder must not get.
  static bool Books(ogg_packet& op) {
    oggpack_buffer b;
    oggpack_readinit(&b, op.packet, static_cast<int>(op.bytes));
    oggpack_adv(&b, 7 * 8);
    const long count = oggpack_read(&b, 8);
    if (count < 0) return false;
    for (long k = 0; k <= count; ++k) {
      if (oggpack_read(&b, 24) != 0x564342) return false;
      const long dim = oggpack_read(&b, 16);
      const long entries = oggpack_read(&b, 24);
      if (dim < 1 || entries < 1 || Ilog(dim) + Ilog(entries) > 24) return false;
      const long ordered = oggpack_read(&b, 1);
      if (ordered == 0) {
        const long sparse = oggpack_read(&b, 1);
        if (sparse < 0) return false;
        for (long e = 0; e < entries; ++e) {
          if (sparse == 1) {
            const long used = oggpack_read(&b, 1);
            if (used < 0) return false;
            if (used == 0) continue;
          }
          if (oggpack_read(&b, 5) < 0) return false;
        }
      } else if (ordered == 1) {
        long length = oggpack_read(&b, 5) + 1;
        for (long e = 0; e < entries;) {
          const long num = oggpack_read(&b, Ilog(entries - e));
          if (num < 0 || length > 32 || num > entries - e) return false;
          e += num;
          ++length;
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
};

// Reads the whole stream through the caller's callbacks and checks every Vorbis header in it,
// then puts the stream back where it was. A stream that cannot be moved back is refused: the
// decoder could meet an unchecked header later on.
int CheckHeaders(void* datasource, const char* initial, long ibytes, const WuCallbacks& cb) {
  if (!cb.seek_func || !cb.tell_func || !cb.read_func) return OV_EINVAL;
  const long start = cb.tell_func(datasource);
  if (start < 0) return OV_EINVAL;
  ogg_sync_state oy;
  ogg_sync_init(&oy);
  HeaderCheck check;
  bool ok = true;
  auto drain = [&] {
    ogg_page pg;
    int r;
    while (ok && (r = ogg_sync_pageout(&oy, &pg)) != 0)
      if (r > 0) ok = check.Page(pg);
  };
  if (initial && ibytes > 0) {
    char* buf = ogg_sync_buffer(&oy, ibytes);
    std::memcpy(buf, initial, static_cast<size_t>(ibytes));
    ogg_sync_wrote(&oy, ibytes);
    drain();
  }
  constexpr long kChunk = 65536;
  while (ok) {
    char* buf = ogg_sync_buffer(&oy, kChunk);
    const size_t got = cb.read_func(buf, 1, kChunk, datasource);
    if (got == 0 || got > static_cast<size_t>(kChunk)) break;
    ogg_sync_wrote(&oy, static_cast<long>(got));
    drain();
  }
  ogg_sync_clear(&oy);
  if (cb.seek_func(datasource, start, SEEK_SET) == -1) return OV_EREAD;
  return ok ? 0 : OV_EBADHEADER;
}

// Shared by open and test: a fresh record, released again when the decoder refuses the stream.
int OpenWith(bool testOnly, void* datasource, void* vf, const char* initial, long ibytes,
             WuCallbacks callbacks) {
  if (!vf) return kWuEInval;
  Free(vf);
  if (int bad = CheckHeaders(datasource, initial, ibytes, callbacks)) return bad;
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
// The decoder looks up the rate of link -1 when the play position lies before the first sample
// of a seekable file (as it does in a file with no audio): that position is time 0.
WU_EXPORT double wu_ov_time_tell(void* vf) {
  WuRecord* rec = Rec(vf);
  if (!rec) return kWuEInval;
  OggVorbis_File* r = &rec->vf;
  if (ov_seekable(r) && ov_pcm_tell(r) < 0) return 0.0;
  return ov_time_tell(r);
}
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
