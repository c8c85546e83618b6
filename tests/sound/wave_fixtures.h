// Small wave files in every encoding the sound player reads, made from a signal: PCM of 8, 16,
// 24 and 32 bits, 32-bit float, EXTENSIBLE, mu-law and A-law (G.711), IMA and MS ADPCM.
#pragma once
#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <functional>
#include <vector>

namespace wavefix {

using Bytes = std::vector<uint8_t>;
// The signal: sample of a frame and channel, in -1..1.
using Signal = std::function<double(int frame, int channel)>;

enum class Enc { U8, S16, S24, S32, F32, MuLaw, ALaw, ImaAdpcm, MsAdpcm };

inline void Put16(Bytes& v, uint32_t x) {
  v.push_back(uint8_t(x));
  v.push_back(uint8_t(x >> 8));
}
inline void Put32(Bytes& v, uint32_t x) {
  for (int i = 0; i < 4; ++i) v.push_back(uint8_t(x >> (8 * i)));
}
inline void PutTag(Bytes& v, const char* t) { v.insert(v.end(), t, t + 4); }

inline int Clamp16(double x) { return int(std::lround(std::clamp(x * 32768.0, -32768.0, 32767.0))); }

// G.711 mu-law of a 16-bit sample.
inline uint8_t MuLaw(int pcm) {
  const int sign = pcm < 0 ? 0x80 : 0;
  int m = std::min(pcm < 0 ? -pcm : pcm, 32635) + 0x84;
  int exp = 7;
  for (int mask = 0x4000; (m & mask) == 0 && exp > 0; --exp, mask >>= 1) {
  }
  return uint8_t(~(sign | (exp << 4) | ((m >> (exp + 3)) & 0x0F)));
}

// G.711 A-law of a 16-bit sample.
inline uint8_t ALaw(int pcm) {
  int v = pcm >> 3, mask = 0xD5;
  if (v < 0) {
    mask = 0x55;
    v = -v - 1;
  }
  static const int kSegEnd[8] = {0x1F, 0x3F, 0x7F, 0xFF, 0x1FF, 0x3FF, 0x7FF, 0xFFF};
  int seg = 0;
  while (seg < 8 && v > kSegEnd[seg]) ++seg;
  if (seg >= 8) return uint8_t(0x7F ^ mask);
  int a = seg << 4;
  a |= seg < 2 ? (v >> 1) & 0x0F : (v >> seg) & 0x0F;
  return uint8_t(a ^ mask);
}

const int kImaSteps[89] = {
    7,     8,     9,     10,    11,    12,    13,    14,    16,    17,    19,    21,    23,
    25,    28,    31,    34,    37,    41,    45,    50,    55,    60,    66,    73,    80,
    88,    97,    107,   118,   130,   143,   157,   173,   190,   209,   230,   253,   279,
    307,   337,   371,   408,   449,   494,   544,   598,   658,   724,   796,   876,   963,
    1060,  1166,  1282,  1411,  1552,  1707,  1878,  2066,  2272,  2499,  2749,  3024,  3327,
    3660,  4026,  4428,  4871,  5358,  5894,  6484,  7132,  7845,  8630,  9493,  10442, 11487,
    12635, 13899, 15289, 16818, 18500, 20350, 22385, 24623, 27086, 29794, 32767};
const int kImaIndex[8] = {-1, -1, -1, -1, 2, 4, 6, 8};

struct ImaState {
  int predictor = 0, index = 0;
  int Encode(int sample) {
    int diff = sample - predictor, nib = 0;
    if (diff < 0) {
      nib = 8;
      diff = -diff;
    }
    int step = kImaSteps[index], delta = step >> 3;
    for (int bit = 4; bit >= 1; bit >>= 1, step >>= 1)
      if (diff >= step) {
        nib |= bit;
        diff -= step;
        delta += step;
      }
    predictor = std::clamp(predictor + ((nib & 8) ? -delta : delta), -32768, 32767);
    index = std::clamp(index + kImaIndex[nib & 7], 0, 88);
    return nib;
  }
};

const int kMsCoef[7][2] = {{256, 0}, {512, -256}, {0, 0}, {192, 64}, {240, 0}, {460, -208}, {392, -232}};
const int kMsAdapt[16] = {230, 230, 230, 230, 307, 409, 512, 614, 768, 614, 512, 409, 307, 230, 230, 230};

// MS ADPCM with the first predictor (the previous sample): greedy, exact in the decoder's terms.
struct MsState {
  int s1 = 0, s2 = 0, delta = 16;
  int Encode(int sample) {
    const int pred = s1;
    int n = int(std::lround(double(sample - pred) / delta));
    n = std::clamp(n, -8, 7);
    const int v = std::clamp(pred + n * delta, -32768, 32767);
    s2 = s1;
    s1 = v;
    delta = std::max(16, kMsAdapt[n & 15] * delta / 256);
    return n & 15;
  }
};

struct Spec {
  Enc enc = Enc::S16;
  int rate = 44100, channels = 2;
  bool extensible = false;  // WAVE_FORMAT_EXTENSIBLE around the same samples
  int blockAlign = 0;       // ADPCM block size (0: 256 bytes per channel)
};

inline int Bits(Enc e) {
  switch (e) {
    case Enc::U8: case Enc::MuLaw: case Enc::ALaw: return 8;
    case Enc::S16: return 16;
    case Enc::S24: return 24;
    case Enc::S32: case Enc::F32: return 32;
    default: return 4;
  }
}

inline uint16_t Tag(Enc e) {
  switch (e) {
    case Enc::F32: return 3;
    case Enc::ALaw: return 6;
    case Enc::MuLaw: return 7;
    case Enc::ImaAdpcm: return 0x11;
    case Enc::MsAdpcm: return 2;
    default: return 1;
  }
}

// A RIFF WAVE image of `frames` frames of the signal in the given encoding.
inline Bytes Wave(const Spec& s, int frames, const Signal& sig) {
  const int ch = s.channels, bits = Bits(s.enc);
  const bool adpcm = s.enc == Enc::ImaAdpcm || s.enc == Enc::MsAdpcm;
  const int align = adpcm ? (s.blockAlign ? s.blockAlign : 256 * ch) : ch * bits / 8;
  int perBlock = 1;
  Bytes ext;
  if (s.enc == Enc::ImaAdpcm) {
    perBlock = (align - 4 * ch) * 8 / (4 * ch) + 1;
    Put16(ext, uint32_t(perBlock));
  } else if (s.enc == Enc::MsAdpcm) {
    perBlock = (align - 7 * ch) * 2 / ch + 2;
    Put16(ext, uint32_t(perBlock));
    Put16(ext, 7);
    for (const auto& c : kMsCoef) {
      Put16(ext, uint32_t(c[0]));
      Put16(ext, uint32_t(c[1]));
    }
  }
  Bytes data;
  auto s16 = [&](int f, int c) { return Clamp16(sig(f, c)); };
  if (!adpcm) {
    for (int f = 0; f < frames; ++f)
      for (int c = 0; c < ch; ++c) {
        const double x = sig(f, c);
        switch (s.enc) {
          case Enc::U8: data.push_back(uint8_t(std::clamp(std::lround(x * 128) + 128, 0L, 255L))); break;
          case Enc::S16: Put16(data, uint32_t(s16(f, c))); break;
          case Enc::S24: {
            const long v = std::lround(std::clamp(x * 8388608.0, -8388608.0, 8388607.0));
            for (int i = 0; i < 3; ++i) data.push_back(uint8_t(v >> (8 * i)));
            break;
          }
          case Enc::S32: Put32(data, uint32_t(int32_t(std::clamp(x * 2147483648.0, -2147483648.0, 2147483647.0)))); break;
          case Enc::F32: {
            const float v = float(x);
            uint32_t u;
            std::memcpy(&u, &v, 4);
            Put32(data, u);
            break;
          }
          case Enc::MuLaw: data.push_back(MuLaw(s16(f, c))); break;
          case Enc::ALaw: data.push_back(ALaw(s16(f, c))); break;
          default: break;
        }
      }
  } else if (s.enc == Enc::ImaAdpcm) {
    std::vector<ImaState> st(static_cast<size_t>(ch));
    for (int f0 = 0; f0 < frames; f0 += perBlock) {
      for (int c = 0; c < ch; ++c) {  // the header holds each channel's first sample
        st[size_t(c)].predictor = s16(f0, c);
        Put16(data, uint32_t(st[size_t(c)].predictor));
        data.push_back(uint8_t(st[size_t(c)].index));
        data.push_back(0);
      }
      // Then groups of 8 samples (4 bytes) per channel in turn.
      for (int g = 1; g < perBlock; g += 8)
        for (int c = 0; c < ch; ++c)
          for (int k = 0; k < 8; k += 2) {
            auto at = [&](int i) { return std::min(f0 + g + i, frames - 1); };
            const int lo = st[size_t(c)].Encode(s16(at(k), c));
            const int hi = st[size_t(c)].Encode(s16(at(k + 1), c));
            data.push_back(uint8_t(lo | (hi << 4)));
          }
    }
  } else {
    std::vector<MsState> st(static_cast<size_t>(ch));
    for (int f0 = 0; f0 < frames; f0 += perBlock) {
      auto at = [&](int i) { return std::min(f0 + i, frames - 1); };
      for (int c = 0; c < ch; ++c) data.push_back(0);  // predictor 0 for every channel
      for (int c = 0; c < ch; ++c) Put16(data, uint32_t(st[size_t(c)].delta));
      for (int c = 0; c < ch; ++c) {  // sample 1 is the block's second sample, sample 2 its first
        st[size_t(c)].s2 = s16(at(0), c);
        st[size_t(c)].s1 = s16(at(1), c);
        Put16(data, uint32_t(st[size_t(c)].s1));
      }
      for (int c = 0; c < ch; ++c) Put16(data, uint32_t(st[size_t(c)].s2));
      int pending = -1;
      for (int i = 2; i < perBlock; ++i)
        for (int c = 0; c < ch; ++c) {
          const int nib = st[size_t(c)].Encode(s16(at(i), c));
          if (pending < 0) {
            pending = nib;
          } else {
            data.push_back(uint8_t((pending << 4) | nib));
            pending = -1;
          }
        }
      if (pending >= 0) data.push_back(uint8_t(pending << 4));
    }
  }

  Bytes fmt;
  Put16(fmt, s.extensible ? 0xFFFE : Tag(s.enc));
  Put16(fmt, uint32_t(ch));
  Put32(fmt, uint32_t(s.rate));
  Put32(fmt, uint32_t(adpcm ? s.rate * align / perBlock : s.rate * align));
  Put16(fmt, uint32_t(align));
  Put16(fmt, uint32_t(bits));
  if (s.extensible) {
    Put16(fmt, 22 + uint32_t(ext.size()));
    Put16(fmt, uint32_t(bits));                           // valid bits
    Put32(fmt, ch == 1 ? 0x4 : ch == 2 ? 0x3 : 0x7);      // front centre; left and right; and centre
    Put32(fmt, Tag(s.enc));                               // the subformat GUID: tag-0000-0010-8000-00aa00389b71
    const uint8_t rest[12] = {0x00, 0x00, 0x10, 0x00, 0x80, 0x00, 0x00, 0xAA, 0x00, 0x38, 0x9B, 0x71};
    fmt.insert(fmt.end(), rest, rest + 12);
    fmt.insert(fmt.end(), ext.begin(), ext.end());
  } else if (!ext.empty() || s.enc != Enc::S16) {
    Put16(fmt, uint32_t(ext.size()));
    fmt.insert(fmt.end(), ext.begin(), ext.end());
  }
  Bytes v = {'R', 'I', 'F', 'F'};
  Put32(v, 0);
  PutTag(v, "WAVE");
  PutTag(v, "fmt ");
  Put32(v, uint32_t(fmt.size()));
  v.insert(v.end(), fmt.begin(), fmt.end());
  if (adpcm || s.enc == Enc::F32 || s.enc == Enc::MuLaw || s.enc == Enc::ALaw) {
    PutTag(v, "fact");  // non-PCM files carry their length in frames
    Put32(v, 4);
    Put32(v, uint32_t(frames));
  }
  PutTag(v, "data");
  Put32(v, uint32_t(data.size()));
  v.insert(v.end(), data.begin(), data.end());
  if (data.size() & 1) v.push_back(0);
  const uint32_t riff = uint32_t(v.size() - 8);
  std::memcpy(&v[4], &riff, 4);
  return v;
}

// A steady level per channel: what every decoder must give back near the middle of the sound.
inline Signal Levels(double left, double right, double third = 0) {
  return [=](int, int c) { return c == 0 ? left : c == 1 ? right : third; };
}

inline Signal Sine(double hz, int rate, double amp) {
  return [=](int f, int) { return amp * std::sin(2 * M_PI * hz * f / rate); };
}

}  // namespace wavefix
