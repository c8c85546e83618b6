// Ogg Vorbis encoding through libvorbisenc and the loop header in front of it.
#include "tools/musicgen/ogg_writer.h"

#include <vorbis/vorbisenc.h>

#include <cstring>

namespace music {

namespace {
void PutU32(std::vector<uint8_t>& out, size_t at, uint32_t v) {
  for (int i = 0; i < 4; ++i) out[at + i] = static_cast<uint8_t>(v >> (8 * i));
}
void Append(std::vector<uint8_t>& out, const ogg_page& pg) {
  out.insert(out.end(), pg.header, pg.header + pg.header_len);
  out.insert(out.end(), pg.body, pg.body + pg.body_len);
}
}  // namespace

std::vector<uint8_t> LoopHeader(const std::vector<LoopEntry>& entries) {
  std::vector<uint8_t> h(200, 0);
  std::memcpy(h.data(), "ALPHAOGG", 8);
  for (size_t k = 0; k < entries.size() && k < 16; ++k) {
    uint32_t bits;
    std::memcpy(&bits, &entries[k].jumpTo, 4);
    PutU32(h, 8 + 12 * k, bits);
    std::memcpy(&bits, &entries[k].trigger, 4);
    PutU32(h, 12 + 12 * k, bits);
    PutU32(h, 16 + 12 * k, static_cast<uint32_t>(entries[k].repeat));
  }
  return h;
}

std::vector<uint8_t> EncodeVorbis(const synth::Stereo& pcm, float quality, const std::string& title) {
  std::vector<uint8_t> out;
  vorbis_info vi;
  vorbis_info_init(&vi);
  if (vorbis_encode_init_vbr(&vi, 2, synth::kRate, quality) != 0) {
    vorbis_info_clear(&vi);
    return out;
  }
  vorbis_comment vc;
  vorbis_comment_init(&vc);
  vorbis_comment_add_tag(&vc, "TITLE", title.c_str());
  vorbis_dsp_state vd;
  vorbis_block vb;
  vorbis_analysis_init(&vd, &vi);
  vorbis_block_init(&vd, &vb);
  ogg_stream_state os;
  ogg_stream_init(&os, 0x504c554d);  // fixed serial keeps the output byte-identical per build
  ogg_packet h, hc, hcode;
  vorbis_analysis_headerout(&vd, &vc, &h, &hc, &hcode);
  ogg_stream_packetin(&os, &h);
  ogg_stream_packetin(&os, &hc);
  ogg_stream_packetin(&os, &hcode);
  ogg_page pg;
  while (ogg_stream_flush(&os, &pg)) Append(out, pg);

  const size_t chunk = 4096, frames = pcm.Size();
  size_t done = 0;
  bool eos = false;
  while (!eos) {
    size_t n = std::min(chunk, frames - done);
    if (n == 0) {
      vorbis_analysis_wrote(&vd, 0);
    } else {
      float** buf = vorbis_analysis_buffer(&vd, static_cast<int>(n));
      std::memcpy(buf[0], pcm.l.data() + done, n * sizeof(float));
      std::memcpy(buf[1], pcm.r.data() + done, n * sizeof(float));
      vorbis_analysis_wrote(&vd, static_cast<int>(n));
      done += n;
    }
    while (vorbis_analysis_blockout(&vd, &vb) == 1) {
      vorbis_analysis(&vb, nullptr);
      vorbis_bitrate_addblock(&vb);
      ogg_packet op;
      while (vorbis_bitrate_flushpacket(&vd, &op)) {
        ogg_stream_packetin(&os, &op);
        while (!eos && ogg_stream_pageout(&os, &pg)) {
          Append(out, pg);
          if (ogg_page_eos(&pg)) eos = true;
        }
      }
    }
  }
  ogg_stream_clear(&os);
  vorbis_block_clear(&vb);
  vorbis_dsp_clear(&vd);
  vorbis_comment_clear(&vc);
  vorbis_info_clear(&vi);
  return out;
}

}  // namespace music
