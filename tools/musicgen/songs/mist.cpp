// Area theme 1, "mist": airy and cool; a glassy bell over a wide pad in E minor.
#include "tools/musicgen/songs.h"

namespace music {

using synth::Drum;
using synth::Inst;

Song Mist() {
  Song s;
  s.name = "Mist";
  s.bpm = 1920.0 / 21;  // 2.625 s a bar
  s.introBeats = 8;
  s.bodyBeats = 80;
  s.outroBeats = 8;
  s.loopRepeat = 1;
  s.reverbRoom = 0.85f;
  s.reverbDamp = 0.3f;
  s.echoBeats = 0.75;
  s.echoFeedback = 0.42f;
  const double B = 8, O = 88;

  Progression intro = Prog("Cmaj7 D");
  Progression a = Prog("Em9 Cmaj7 Am7 Bm7 Em9 Cmaj7 Am7 D");
  Progression b = Prog("Cmaj7 D Bm7 Em7 Am7 D Gmaj7 Cmaj7");
  Progression c = Prog("Am7 Bm7 Cmaj7 D");

  auto& bell = s.Add(Inst::Bell, 0.5f, 0.1f, 0.45f, 0.35f);
  double m = B;
  m = Seq(bell, m, "g5/6 f#5/2 e5/4 b4/4 | e5/12 g5/4 | a5/6 g5/2 e5/4 c5/4 | d5/12 r/4");
  m = Seq(bell, m, "g5/6 a5/2 b5/4 e6/4 | d6/6 c6/2 b5/8 | c6/4 b5/4 a5/4 g5/4 | f#5/12 r/4");
  m = Seq(bell, m, "e5/4 g5/4 b5/8 | a5/4 f#5/4 d5/8 | f#5/6 e5/2 d5/4 b4/4 | e5/16");
  m = Seq(bell, m, "c6/6 b5/2 a5/4 e5/4 | f#5/6 g5/2 a5/8 | b5/6 a5/2 g5/4 d5/4 | e5/16");
  m = Seq(bell, m, "e5/4 a5/4 c6/4 e6/4 | d6/8 b5/4 f#5/4 | g5/6 b5/2 e6/8 | d6/8 a5/4 f#5/4");
  ExpectBeat(m, O, "mist melody");

  auto& flute = s.Add(Inst::Flute, 0.3f, -0.3f, 0.5f, 0.2f);
  Harmonize(flute, bell, b, B + 32, B + 32, B + 64, 0.75f);
  Seq(flute, B + 64, "c5/16 | d5/16 | e5/16 | f#5/16", 0.55f);

  auto& pad = s.Add(Inst::Pad, 0.32f, 0.0f, 0.6f);
  PadChords(pad, 0, intro, 64, 0.45f);
  PadChords(pad, B, a, 64, 0.5f);
  PadChords(pad, B + 32, b, 64, 0.5f);
  PadChords(pad, B + 64, c, 64, 0.5f);
  PadChords(pad, O, Prog("Em9", 8), 64, 0.5f);

  auto& pluck = s.Add(Inst::Pluck, 0.4f, -0.45f, 0.4f, 0.3f);
  Arp(pluck, 0, intro, {0, 2, 1, 3, 2, 4, 3, 1}, 0.5, 59, 0.5f);
  Arp(pluck, B + 32, b, {0, 2, 1, 3, 2, 4, 3, 1}, 0.5, 59, 0.5f);
  Arp(pluck, B + 64, c, {0, 2, 4, 5, 3, 2, 1, 2}, 0.5, 59, 0.5f);

  auto& box = s.Add(Inst::MusicBox, 0.18f, 0.5f, 0.5f, 0.4f);
  Arp(box, B, a, {4, -1, 3, -1, 5, -1, 4, -1}, 0.5, 71, 0.45f);

  auto& bass = s.Add(Inst::Bass, 0.55f, 0.0f, 0.05f);
  BassLine(bass, B, a, "R/12 5/4", 36, 0.7f);
  BassLine(bass, B + 32, b, "R/6 R/2 5/8", 36, 0.7f);
  BassLine(bass, B + 64, c, "R/6 5/6 8/4", 36, 0.7f);
  Seq(bass, O, "e2/16", 0.7f);

  auto& kick = s.AddDrum(Drum::Kick, 0.35f, 0.0f, 0.05f);
  auto& hat = s.AddDrum(Drum::HatClosed, 0.26f, 0.35f, 0.3f);
  auto& tri = s.AddDrum(Drum::Triangle, 0.3f, -0.4f, 0.6f);
  Grid(kick, B, "x.........x.....", 20, 0.6f);
  Grid(hat, B + 32, "..o...o...o...o.", 12, 0.6f);
  Grid(tri, B, "x...............................", 10, 0.5f);
  Grid(tri, O, "x", 1, 0.6f);
  return s;
}

}  // namespace music
