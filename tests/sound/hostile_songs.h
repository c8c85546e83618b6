// Test aid: hand-built Vorbis streams, bit by bit, for songs no encoder would write (a codebook
// of no dimensions, absurd rates, huge granule positions, audio that never decodes). Every
// stream is a few hundred bytes made here; nothing is read from disk.
#pragma once
#include <cstdint>
#include <vector>

struct HandSong {
  int64_t rate = 44100;
  int channels = 1;
  int blockExp0 = 8, blockExp1 = 8;  // blocksizes as powers of two
  int stageBookDim = 1;             // dimensions of the residue's value codebook
  int bookLengths = 0;              // how the codebooks give their lengths: 0 plain, 1 sparse, 2 ordered
  int valueLookup = 2;              // lookup type of the value codebook (1 or 2)
  int audioPackets = 8;             // audio packets after the three headers
  bool audioDecodes = true;         // false: every audio packet is marked as a header packet
  int64_t lastGranule = -1;         // granule position of the last page; -1: what the packets give
  int floorType = 1;                // 0 or 1
  bool incompleteBook = false;      // a third codebook whose code lengths leave the tree incomplete
  int serial = 4242;                // the logical stream's serial number
};

// The identification, comment and setup packets and the audio packets of `song`, paged.
std::vector<uint8_t> BuildHandSong(const HandSong& song);
// The three header packets alone, paged (a song with no audio at all).
std::vector<uint8_t> BuildHeadersOnly(const HandSong& song);
// A chained file whose page-by-page reading shows two good links, while a third, `hidden`, lies
// whole inside the body of the first link's last audio page: only a search that starts in the
// middle of that page (as the decoder's bisection does) finds it. About 67 KB. With a gap of
// 1000 bytes before the last link the decoder takes the hidden link as the second of three;
// with none, its search for the hidden link's end goes round for ever.
std::vector<uint8_t> BuildHiddenLinkSong(const HandSong& hidden, int gapBytes = 1000);
// A song with a stream that never began beside it and a page header cut off just before the
// song's first audio page: a seek into it corrupted libvorbisfile's stream state (a negative
// length moved, heap corruption). About 10 KB.
std::vector<uint8_t> BuildStaleHeaderSong();
