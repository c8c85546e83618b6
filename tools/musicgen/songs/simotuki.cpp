// Area theme 4, "simotuki": wistful and wintry; a flute over strings, harp and glassy music-box chimes in A minor.
#include "tools/musicgen/songs.h"

namespace music {

using synth::Drum;
using synth::Inst;

Song Simotuki() {
  Song s;
  s.name = "Tsuyu-tsuki Garasu no Keshiki";
  s.bpm = 1920.0 / 19;  // 2.375 s a bar
  s.introBeats = 8;
  s.bodyBeats = 88;
  s.outroBeats = 8;
  s.loopRepeat = 1;
  s.reverbRoom = 0.82f;
  s.reverbDamp = 0.5f;
  s.echoBeats = 0.75;
  s.echoFeedback = 0.38f;
  const double B = 8, O = 96;

  Progression intro = Prog("Fmaj7 E7");
  Progression a = Prog("Am F C G Am F Dm7 E7");
  Progression b = Prog("F G Em7 Am Dm7 G Cmaj7 E7");
  Progression c = Prog("F G Am Am/G Fmaj7 E7");

  auto& flute = s.Add(Inst::Flute, 0.62f, 0.1f, 0.45f, 0.3f);
  double m = B;
  m = Seq(flute, m, "e5/6 d5/2 c5/4 a4/4 | a4/6 c5/2 f5/8 | e5/6 d5/2 c5/4 g4/4 | b4/8 d5/8");
  m = Seq(flute, m, "e5/6 a5/2 b5/4 c6/4 | a5/8 f5/4 c5/4 | d5/4 f5/4 a5/4 c6/4 | b5/8 g#5/8");
  m = Seq(flute, m, "a5/6 g5/2 f5/4 c5/4 | d5/6 e5/2 g5/8 | b5/6 a5/2 g5/4 e5/4 | a5/16");
  m = Seq(flute, m, "f5/6 e5/2 d5/4 a4/4 | b4/4 d5/4 g5/8 | e5/6 g5/2 b5/8 | g#5/8 e5/4 d5/4");
  m = Seq(flute, m, "c5/4 f5/4 a5/4 c6/4 | b5/8 g5/4 d5/4 | c6/6 b5/2 a5/4 e5/4 | e5/8 c5/4 a4/4");
  m = Seq(flute, m, "a4/6 c5/2 e5/4 f5/4 | e5/8 d5/4 b4/4");
  ExpectBeat(m, O, "simotuki melody");
  Seq(flute, O, "a4/4 c5/4 e5/4 a5/4 | a5/16", 0.55f);

  auto& chime = s.Add(Inst::MusicBox, 0.3f, -0.3f, 0.5f, 0.35f);
  Harmonize(chime, flute, b, B + 32, B + 32, B + 64, 0.8f);
  Harmonize(chime, flute, c, B + 64, B + 64, B + 88, 0.7f);

  auto& strings = s.Add(Inst::Strings, 0.3f, 0.2f, 0.55f);
  PadChords(strings, 0, intro, 64, 0.45f);
  PadChords(strings, B, a, 64, 0.42f);
  PadChords(strings, B + 32, b, 64, 0.5f);
  PadChords(strings, B + 64, c, 64, 0.5f);
  PadChords(strings, O, Prog("Am", 8), 64, 0.45f);

  auto& harp = s.Add(Inst::Pluck, 0.4f, -0.45f, 0.45f, 0.25f);
  Arp(harp, 0, intro, {0, 1, 2, 3, 4, 3, 2, 1}, 0.5, 53, 0.5f);
  Arp(harp, B, a, {0, 2, 1, 3, 2, 4, 3, 1}, 0.5, 57, 0.5f);
  Arp(harp, B + 32, b, {0, 1, 2, 3, 4, 3, 2, 1}, 0.5, 57, 0.5f);
  Arp(harp, B + 64, c, {0, 2, 4, 2, 3, 5, 3, 1}, 0.5, 57, 0.5f);

  auto& bells = s.Add(Inst::Bell, 0.14f, 0.5f, 0.6f, 0.4f);
  Arp(bells, B + 64, c, {3, -1, -1, 2, -1, -1, 4, -1}, 0.5, 76, 0.45f);

  auto& bass = s.Add(Inst::Bass, 0.55f, 0.0f, 0.05f);
  BassLine(bass, B, a, "R/12 5/4", 36, 0.7f);
  BassLine(bass, B + 32, b, "R/6 5/6 8/4", 36, 0.7f);
  BassLine(bass, B + 64, c, "R/8 5/4 8/4", 36, 0.7f);
  Seq(bass, O, "a1/16 | a1/16", 0.7f);

  auto& kick = s.AddDrum(Drum::Kick, 0.35f, 0.0f, 0.05f);
  auto& hat = s.AddDrum(Drum::HatClosed, 0.22f, 0.35f, 0.3f);
  auto& rim = s.AddDrum(Drum::Rim, 0.35f, -0.3f, 0.35f);
  auto& tri = s.AddDrum(Drum::Triangle, 0.3f, 0.45f, 0.6f);
  Grid(kick, B + 32, "x.......x.......", 22, 0.6f);
  Grid(hat, B + 32, "..o...o...o...o.", 22, 0.55f);
  Grid(rim, B + 32, "............x...", 22, 0.5f);
  Grid(tri, B, "x...............................", 11, 0.5f);
  Grid(tri, O, "x", 1, 0.55f);
  return s;
}

}  // namespace music
