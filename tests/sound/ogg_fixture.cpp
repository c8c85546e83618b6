// Test aid: small Ogg Vorbis files encoded in memory with libvorbisenc.
#include "tests/sound/ogg_fixture.h"

#include <vorbis/vorbisenc.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>

namespace {
void Append(std::vector<uint8_t>& out, const ogg_page& pg) {
  out.insert(out.end(), pg.header, pg.header + pg.header_len);
  out.insert(out.end(), pg.body, pg.body + pg.body_len);
}
}  // namespace

std::vector<uint8_t> EncodeOgg(int rate, int channels, int frames,
                               const std::function<float(int, int)>& sample, float quality) {
  std::vector<uint8_t> out;
  vorbis_info vi;
  vorbis_info_init(&vi);
  if (vorbis_encode_init_vbr(&vi, channels, rate, quality) != 0) {
    vorbis_info_clear(&vi);
    return out;
  }
  vorbis_comment vc;
  vorbis_comment_init(&vc);
  vorbis_comment_add_tag(&vc, "TITLE", "fixture");
  vorbis_dsp_state vd;
  vorbis_block vb;
  vorbis_analysis_init(&vd, &vi);
  vorbis_block_init(&vd, &vb);
  ogg_stream_state os;
  ogg_stream_init(&os, 12345);
  ogg_packet h, hc, hcode;
  vorbis_analysis_headerout(&vd, &vc, &h, &hc, &hcode);
  ogg_stream_packetin(&os, &h);
  ogg_stream_packetin(&os, &hc);
  ogg_stream_packetin(&os, &hcode);
  ogg_page pg;
  while (ogg_stream_flush(&os, &pg)) Append(out, pg);

  const int chunk = 1024;
  int done = 0;
  bool eos = false;
  while (!eos) {
    int n = frames - done < chunk ? frames - done : chunk;
    if (n <= 0) {
      vorbis_analysis_wrote(&vd, 0);
    } else {
      float** buf = vorbis_analysis_buffer(&vd, n);
      for (int i = 0; i < n; ++i)
        for (int c = 0; c < channels; ++c) buf[c][i] = sample(done + i, c);
      vorbis_analysis_wrote(&vd, n);
      done += n;
    }
    while (vorbis_analysis_blockout(&vd, &vb) == 1) {
      vorbis_analysis(&vb, nullptr);
      vorbis_bitrate_addblock(&vb);
      ogg_packet op;
      while (vorbis_bitrate_flushpacket(&vd, &op)) {
        ogg_stream_packetin(&os, &op);
        while (ogg_stream_pageout(&os, &pg)) {
          Append(out, pg);
          if (ogg_page_eos(&pg)) eos = true;
        }
      }
    }
    if (n <= 0 && !eos) {
      while (ogg_stream_flush(&os, &pg)) {
        Append(out, pg);
        if (ogg_page_eos(&pg)) eos = true;
      }
      eos = true;
    }
  }
  ogg_stream_clear(&os);
  vorbis_block_clear(&vb);
  vorbis_dsp_clear(&vd);
  vorbis_comment_clear(&vc);
  vorbis_info_clear(&vi);
  return out;
}

std::vector<uint8_t> SineOgg(int rate, int channels, double seconds, double hz, double amplitude) {
  int frames = static_cast<int>(seconds * rate);
  return EncodeOgg(rate, channels, frames, [=](int f, int) {
    return static_cast<float>(amplitude * std::sin(2.0 * M_PI * hz * f / rate));
  });
}

std::vector<uint8_t> LoopHeader(const std::vector<LoopEntrySpec>& entries) {
  std::vector<uint8_t> h(200, 0);
  std::memcpy(h.data(), "ALPHAOGG", 8);
  for (size_t k = 0; k < entries.size() && k < 16; ++k) {
    std::memcpy(&h[8 + 12 * k], &entries[k].jumpTo, 4);
    std::memcpy(&h[12 + 12 * k], &entries[k].trigger, 4);
    std::memcpy(&h[16 + 12 * k], &entries[k].repeat, 4);
  }
  return h;
}

bool WriteBytes(const std::string& path, const std::vector<uint8_t>& bytes) {
  std::FILE* f = std::fopen(path.c_str(), "wb");
  if (!f) return false;
  bool ok = bytes.empty() || std::fwrite(bytes.data(), 1, bytes.size(), f) == bytes.size();
  return std::fclose(f) == 0 && ok;
}

std::string DecoderPath() {
  return std::string(PLUMET_DIST_DIR) + "/plumetogg/wuvorbis.dll";
}

std::string NoCrosslapDecoderPath() {
  return std::string(PLUMET_TESTLIBS_DIR) + "/nocrosslap/wuvorbis.dll";
}
