// Test aid: hand-built Vorbis streams. The setup is the smallest one the decoder takes: one
// floor of type 1 with no partitions, one residue of type 0 with one partition, one mapping,
// one mode, two codebooks of two entries each (a phrase book and a value book).
#include "tests/sound/hostile_songs.h"

#include <ogg/ogg.h>

#include <cstring>
#include <string>

namespace {

class Bits {
 public:
  Bits() { oggpack_writeinit(&b_); }
  ~Bits() { oggpack_writeclear(&b_); }
  Bits(const Bits&) = delete;
  Bits& operator=(const Bits&) = delete;
  Bits& Put(uint32_t value, int bits) {
    oggpack_write(&b_, value, bits);
    return *this;
  }
  Bits& Text(const char* s) {
    for (; *s; ++s) Put(static_cast<uint8_t>(*s), 8);
    return *this;
  }
  std::vector<uint8_t> Bytes() {
    const uint8_t* p = oggpack_get_buffer(&b_);
    return std::vector<uint8_t>(p, p + oggpack_bytes(&b_));
  }

 private:
  oggpack_buffer b_;
};

std::vector<uint8_t> Ident(const HandSong& s) {
  Bits b;
  b.Put(1, 8).Text("vorbis").Put(0, 32).Put(static_cast<uint32_t>(s.channels), 8);
  b.Put(static_cast<uint32_t>(s.rate), 32).Put(0, 32).Put(0, 32).Put(0, 32);
  b.Put(static_cast<uint32_t>(s.blockExp0), 4).Put(static_cast<uint32_t>(s.blockExp1), 4).Put(1, 1);
  return b.Bytes();
}

std::vector<uint8_t> Comment() {
  Bits b;
  b.Put(3, 8).Text("vorbis").Put(4, 32).Text("hand").Put(0, 32).Put(1, 1);
  return b.Bytes();
}

// A codebook of two entries, both one bit long.
void Book(Bits& b, int dim, bool values, int lengths, int lookup) {
  b.Put(0x564342, 24).Put(static_cast<uint32_t>(dim), 16).Put(2, 24);
  if (lengths == 2)
    b.Put(1, 1).Put(0, 5).Put(2, 2);  // ordered: two entries of length 1
  else if (lengths == 1)
    b.Put(0, 1).Put(1, 1).Put(1, 1).Put(0, 5).Put(1, 1).Put(0, 5);  // sparse, both used
  else
    b.Put(0, 1).Put(0, 1).Put(0, 5).Put(0, 5);  // lengths 1 and 1
  if (!values) {
    b.Put(0, 4);
    return;
  }
  b.Put(static_cast<uint32_t>(lookup), 4);
  b.Put(0, 32).Put(0x62800001, 32);  // minimum 0, delta 1.0 (Vorbis float32 packing)
  b.Put(0, 4).Put(0, 1);            // one bit per value, not a sequence
  // Lookup 2: a value per entry and dimension; lookup 1: the largest r with r^dim <= 2.
  const int count = lookup == 2 ? 2 * dim : (dim == 1 ? 2 : 1);
  for (int i = 0; i < count; ++i) b.Put(i & 1, 1);
}

std::vector<uint8_t> Setup(const HandSong& s) {
  const int half = 1 << (s.blockExp0 - 1);
  Bits b;
  b.Put(5, 8).Text("vorbis");
  b.Put(1, 8);  // two codebooks
  Book(b, 1, false, s.bookLengths, 0);
  Book(b, s.stageBookDim, true, s.bookLengths, s.valueLookup);
  b.Put(0, 6).Put(0, 16);  // one time slot, unused
  // Floor 1 with no partitions: two posts, at 0 and at half a short block.
  b.Put(0, 6).Put(1, 16).Put(0, 5).Put(0, 2).Put(static_cast<uint32_t>(s.blockExp0 - 1), 4);
  // Residue 0 over the whole half block, one partition whose first stage uses book 1.
  b.Put(0, 6).Put(0, 16).Put(0, 24).Put(static_cast<uint32_t>(half), 24).Put(31, 24);
  b.Put(0, 6).Put(0, 8).Put(1, 3).Put(0, 1).Put(1, 8);
  // Mapping 0: one submap, no coupling.
  b.Put(0, 6).Put(0, 16).Put(0, 1).Put(0, 1).Put(0, 2).Put(0, 8).Put(0, 8).Put(0, 8);
  // One mode: short blocks, mapping 0.
  b.Put(0, 6).Put(0, 1).Put(0, 16).Put(0, 16).Put(0, 8);
  b.Put(1, 1);
  return b.Bytes();
}

std::vector<uint8_t> Audio(const HandSong& s, int n) {
  Bits b;
  b.Put(s.audioDecodes ? 0 : 1, 1);
  for (int c = 0; c < s.channels; ++c) b.Put(1, 1).Put(static_cast<uint32_t>(120 + n % 7), 8).Put(100, 8);
  for (int i = 0; i < 64; ++i) b.Put(static_cast<uint32_t>(0x5a3c >> (i % 8)) & 0xff, 8);
  return b.Bytes();
}

void Append(std::vector<uint8_t>& out, const ogg_page& pg) {
  out.insert(out.end(), pg.header, pg.header + pg.header_len);
  out.insert(out.end(), pg.body, pg.body + pg.body_len);
}

std::vector<uint8_t> Page(const std::vector<std::vector<uint8_t>>& packets,
                          const std::vector<int64_t>& granules, size_t headers) {
  ogg_stream_state os;
  ogg_stream_init(&os, 4242);
  std::vector<uint8_t> out;
  ogg_page pg;
  for (size_t i = 0; i < packets.size(); ++i) {
    ogg_packet op;
    std::memset(&op, 0, sizeof op);
    op.packet = const_cast<uint8_t*>(packets[i].data());
    op.bytes = static_cast<long>(packets[i].size());
    op.b_o_s = i == 0;
    op.e_o_s = i + 1 == packets.size();
    op.granulepos = granules[i];
    op.packetno = static_cast<ogg_int64_t>(i);
    ogg_stream_packetin(&os, &op);
    // Headers on pages of their own, then one page per audio packet.
    if (i + 1 >= headers)
      while (ogg_stream_flush(&os, &pg)) Append(out, pg);
  }
  while (ogg_stream_flush(&os, &pg)) Append(out, pg);
  ogg_stream_clear(&os);
  return out;
}

}  // namespace

std::vector<uint8_t> BuildHandSong(const HandSong& s) {
  std::vector<std::vector<uint8_t>> packets = {Ident(s), Comment(), Setup(s)};
  std::vector<int64_t> granules = {0, 0, 0};
  const int64_t block = int64_t(1) << s.blockExp0;
  for (int n = 0; n < s.audioPackets; ++n) {
    packets.push_back(Audio(s, n));
    // The first block only primes the overlap; each later one gives half a block.
    granules.push_back(n * block / 2);
  }
  if (s.lastGranule >= 0 && s.audioPackets > 0) granules.back() = s.lastGranule;
  return Page(packets, granules, 3);
}

std::vector<uint8_t> BuildHeadersOnly(const HandSong& s) {
  return Page({Ident(s), Comment(), Setup(s)}, {0, 0, 0}, 3);
}
