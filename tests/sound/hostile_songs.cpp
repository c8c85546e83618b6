// Test aid: hand-built Vorbis streams. The setup is the smallest one the decoder takes: one
// floor (type 1 with no partitions, or type 0 of order 2), one residue of type 0 with one
// partition, one mapping, one mode, two codebooks of two entries each (a phrase book and a value
// book), and optionally a third, unused book whose lengths do not fill the code tree.
#include "tests/sound/hostile_songs.h"

#include "tests/sound/ogg_fixture.h"

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

// A codebook of two entries, both one bit long (lengths 3: one and two bits, which leaves a
// quarter of the code tree empty).
void Book(Bits& b, int dim, bool values, int lengths, int lookup) {
  b.Put(0x564342, 24).Put(static_cast<uint32_t>(dim), 16).Put(2, 24);
  if (lengths == 3)
    b.Put(0, 1).Put(0, 1).Put(0, 5).Put(1, 5);
  else if (lengths == 2)
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
  // The book whose tree is incomplete comes first: the decoder's set-up stops at it and leaves
  // the books after it zero-filled.
  const uint32_t o = s.incompleteBook ? 1 : 0;
  b.Put(1 + o, 8);  // codebooks, less one
  if (s.incompleteBook) Book(b, 1, false, 3, 0);
  Book(b, 1, false, s.bookLengths, 0);
  Book(b, s.stageBookDim, true, s.bookLengths, s.valueLookup);
  b.Put(0, 6).Put(0, 16);  // one time slot, unused
  if (s.floorType == 0) {
    // Floor 0: order 2, 44100 Hz, a bark map of 64, 6 amplitude bits, offset 100, the value book.
    b.Put(0, 6).Put(0, 16).Put(2, 8).Put(44100, 16).Put(64, 16).Put(6, 6).Put(100, 8);
    b.Put(0, 4).Put(1 + o, 8);
  } else {
    // Floor 1 with no partitions: two posts, at 0 and at half a short block.
    b.Put(0, 6).Put(1, 16).Put(0, 5).Put(0, 2).Put(static_cast<uint32_t>(s.blockExp0 - 1), 4);
  }
  // Residue 0 over the whole half block, one partition whose first stage uses the value book.
  b.Put(0, 6).Put(0, 16).Put(0, 24).Put(static_cast<uint32_t>(half), 24).Put(31, 24);
  b.Put(0, 6).Put(o, 8).Put(1, 3).Put(0, 1).Put(1 + o, 8);
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
  for (int c = 0; c < s.channels; ++c) {
    if (s.floorType == 0)  // an amplitude, book 0, two one-bit coefficients
      b.Put(static_cast<uint32_t>(40 + n % 7), 6).Put(0, 1).Put(1, 1).Put(0, 1);
    else
      b.Put(1, 1).Put(static_cast<uint32_t>(120 + n % 7), 8).Put(100, 8);
  }
  for (int i = 0; i < 64; ++i) b.Put(static_cast<uint32_t>(0x5a3c >> (i % 8)) & 0xff, 8);
  return b.Bytes();
}

void Append(std::vector<uint8_t>& out, const ogg_page& pg) {
  out.insert(out.end(), pg.header, pg.header + pg.header_len);
  out.insert(out.end(), pg.body, pg.body + pg.body_len);
}

std::vector<uint8_t> Page(const std::vector<std::vector<uint8_t>>& packets,
                          const std::vector<int64_t>& granules, size_t headers, int serial) {
  ogg_stream_state os;
  ogg_stream_init(&os, serial);
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

// The pages of an Ogg stream, each whole.
std::vector<std::vector<uint8_t>> SplitPages(const std::vector<uint8_t>& bytes) {
  ogg_sync_state oy;
  ogg_sync_init(&oy);
  char* buf = ogg_sync_buffer(&oy, static_cast<long>(bytes.size()));
  std::memcpy(buf, bytes.data(), bytes.size());
  ogg_sync_wrote(&oy, static_cast<long>(bytes.size()));
  std::vector<std::vector<uint8_t>> out;
  ogg_page pg;
  while (ogg_sync_pageout(&oy, &pg) == 1) {
    std::vector<uint8_t> page(pg.header, pg.header + pg.header_len);
    page.insert(page.end(), pg.body, pg.body + pg.body_len);
    out.push_back(page);
  }
  ogg_sync_clear(&oy);
  return out;
}

// `page` moved to another logical stream and sequence number, its checksum made anew.
std::vector<uint8_t> Reserial(std::vector<uint8_t> page, uint32_t serial, uint32_t seq) {
  for (int i = 0; i < 4; ++i) {
    page[14 + i] = static_cast<uint8_t>(serial >> (8 * i));
    page[18 + i] = static_cast<uint8_t>(seq >> (8 * i));
  }
  const long head = 27 + page[26];
  ogg_page pg;
  pg.header = page.data();
  pg.header_len = head;
  pg.body = page.data() + head;
  pg.body_len = static_cast<long>(page.size()) - head;
  ogg_page_checksum_set(&pg);
  return page;
}

struct Packets {
  std::vector<std::vector<uint8_t>> packets;
  std::vector<int64_t> granules;
};

Packets SongPackets(const HandSong& s) {
  Packets p;
  p.packets = {Ident(s), Comment(), Setup(s)};
  p.granules = {0, 0, 0};
  const int64_t block = int64_t(1) << s.blockExp0;
  for (int n = 0; n < s.audioPackets; ++n) {
    p.packets.push_back(Audio(s, n));
    // The first block only primes the overlap; each later one gives half a block.
    p.granules.push_back(n * block / 2);
  }
  if (s.lastGranule >= 0 && s.audioPackets > 0) p.granules.back() = s.lastGranule;
  return p;
}

}  // namespace

std::vector<uint8_t> BuildHandSong(const HandSong& s) {
  Packets p = SongPackets(s);
  return Page(p.packets, p.granules, 3, s.serial);
}

std::vector<uint8_t> BuildHeadersOnly(const HandSong& s) {
  return Page({Ident(s), Comment(), Setup(s)}, {0, 0, 0}, 3, s.serial);
}

std::vector<uint8_t> BuildHiddenLinkSong(const HandSong& hidden, int gapBytes) {
  // The first link's last audio packet is 65000 bytes: audio bits, then zeros with the hidden
  // link's pages at 36000; `gapBytes` zeros follow its page, then the last link. The
  // decoder's search for the end of the first link starts half-way through the file, inside
  // that page, and meets the hidden pages first; its look back from the last link for the end
  // of the hidden one starts 64 KiB before it: inside the same page with a gap of 1000 bytes,
  // so it meets them again; before that page with no gap, so it never does.
  HandSong outer;
  outer.serial = 1001;
  outer.audioPackets = 3;
  Packets p = SongPackets(outer);
  std::vector<uint8_t>& big = p.packets.back();
  const std::vector<uint8_t> inner = BuildHandSong(hidden);
  big.resize(65000, 0);
  std::copy(inner.begin(), inner.end(), big.begin() + 36000);
  std::vector<uint8_t> out = Page(p.packets, p.granules, 3, outer.serial);
  out.resize(out.size() + static_cast<size_t>(gapBytes), 0);
  HandSong tail;
  tail.serial = 1003;
  const std::vector<uint8_t> last = BuildHandSong(tail);
  out.insert(out.end(), last.begin(), last.end());
  return out;
}

std::vector<uint8_t> BuildStaleHeaderSong() {
  // A song's two header pages, 1834 zeros, the comment and setup pages of another stream that
  // never began (no first page), then a page header of the song cut off inside its lacing
  // table (24 segments, 13 given) right before the song's first audio page. libvorbisfile's
  // page seek takes in the cut header's lacing with another page's body.
  const std::vector<std::vector<uint8_t>> song = SplitPages(SineOgg(44100, 2, 2.0));
  const std::vector<std::vector<uint8_t>> other = SplitPages(BuildHandSong(HandSong{}));
  std::vector<uint8_t> out = song[0];
  out.insert(out.end(), song[1].begin(), song[1].end());
  out.resize(out.size() + 1834, 0);
  for (uint32_t i = 1; i <= 2; ++i) {
    const std::vector<uint8_t> p = Reserial(other[i], 9, i);
    out.insert(out.end(), p.begin(), p.end());
  }
  const uint32_t serial = static_cast<uint32_t>(song[0][14]) | song[0][15] << 8 | song[0][16] << 16 |
                          static_cast<uint32_t>(song[0][17]) << 24;
  std::vector<uint8_t> cut = {'O', 'g', 'g', 'S', 0, 0};
  const int64_t granule = 51264;
  for (int i = 0; i < 8; ++i) cut.push_back(static_cast<uint8_t>(granule >> (8 * i)));
  for (int i = 0; i < 4; ++i) cut.push_back(static_cast<uint8_t>(serial >> (8 * i)));
  cut.insert(cut.end(), {4, 0, 0, 0, 0, 0, 0, 0, 24});
  cut.resize(cut.size() + 13, 255);
  out.insert(out.end(), cut.begin(), cut.end());
  out.insert(out.end(), song[2].begin(), song[2].end());
  return out;
}
