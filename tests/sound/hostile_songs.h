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
};

// The identification, comment and setup packets and the audio packets of `song`, paged.
std::vector<uint8_t> BuildHandSong(const HandSong& song);
// The three header packets alone, paged (a song with no audio at all).
std::vector<uint8_t> BuildHeadersOnly(const HandSong& song);
