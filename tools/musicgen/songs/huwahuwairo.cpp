// Area theme 3, "huwahuwairo": soft and floating; a music-box waltz in F major.
#include "tools/musicgen/songs.h"

namespace music {

using synth::Drum;
using synth::Inst;

Song Huwahuwairo() {
  Song s;
  s.name = "Fuwafuwa-iro no Kimochi";
  s.bpm = 120;  // 3/4, 1.5 s a bar
  s.beatsPerBar = 3;
  s.introBeats = 6;
  s.bodyBeats = 108;
  s.outroBeats = 6;
  s.loopRepeat = 1;
  s.reverbRoom = 0.75f;
  s.echoBeats = 1.5;
  s.echoFeedback = 0.3f;
  const double B = 6, O = 114;

  Progression intro = Prog("Bbmaj7 C7", 3);
  Progression a = Prog("F Am7 Bbmaj7 C F Dm7 Gm7 C7", 3);
  Progression b = Prog("Bbmaj7 C Am7 Dm7 Gm7 C F F7", 3);
  Progression c = Prog("Bbmaj7 C Am7 Dm Gm7 Am7 Bbmaj7 C7", 3);
  Progression tag = Prog("Gm7 Am7 Bbmaj7 C7", 3);

  const std::string aMel =
      "c5/8 a4/4 | e5/8 c5/4 | d5/6 c5/2 bb4/4 | g4/12 | a4/4 c5/4 f5/4 | a5/8 f5/4 | bb5/6 a5/2 g5/4 | g5/8 e5/4";
  auto& box = s.Add(Inst::MusicBox, 0.55f, 0.15f, 0.45f, 0.25f);
  double m = B;
  m = Seq(box, m, aMel);
  m = Seq(box, m, "f5/8 d5/4 | e5/8 c5/4 | c5/6 d5/2 e5/4 | f5/12 | d5/4 f5/4 bb5/4 | a5/6 g5/2 e5/4 | f5/12 | eb5/8 c5/4");
  m = Seq(box, m, "d6/8 c6/4 | bb5/6 a5/2 g5/4 | a5/8 e5/4 | f5/6 e5/2 d5/4 | g5/4 bb5/4 d6/4 | c6/8 a5/4 | f5/6 g5/2 a5/4 | g5/12");
  m = Seq(box, m, aMel);
  m = Seq(box, m, "bb5/6 a5/2 g5/4 | g5/8 e5/4 | f5/6 d5/2 f5/4 | e5/8 g5/4");
  ExpectBeat(m, O, "huwahuwairo melody");
  Seq(box, O, "f5/12 | c6/12", 0.6f);

  auto& flute = s.Add(Inst::Flute, 0.32f, -0.3f, 0.5f, 0.2f);
  Seq(flute, B + 48, "f4/12 | g4/12 | a4/12 | a4/12 | bb4/12 | c5/12 | d5/12 | e5/12", 0.55f);
  Harmonize(flute, box, a, B + 72, B + 72, B + 96, 0.7f);

  auto& ep = s.Add(Inst::EPiano, 0.38f, -0.2f, 0.35f);
  PadChords(ep, 0, intro, 60, 0.45f);
  Comp(ep, B, a, "....x...x...", 60, 0.45f, 3);
  Comp(ep, B + 24, b, "....x...x...", 60, 0.45f, 3);
  Comp(ep, B + 48, c, "....x...x...", 60, 0.45f, 3);
  Comp(ep, B + 72, a, "....x...x...", 60, 0.45f, 3);
  Comp(ep, B + 96, tag, "....x...x...", 60, 0.45f, 3);
  PadChords(ep, O, Prog("Fmaj7", 6), 62, 0.5f);

  auto& pad = s.Add(Inst::Pad, 0.25f, 0.3f, 0.6f);
  PadChords(pad, B + 24, b, 67, 0.45f, 3);
  PadChords(pad, B + 48, c, 67, 0.45f, 3);
  PadChords(pad, B + 96, tag, 67, 0.45f, 3);
  PadChords(pad, O, Prog("F", 6), 65, 0.45f, 3);

  auto& bell = s.Add(Inst::Bell, 0.15f, 0.5f, 0.5f, 0.3f);
  Arp(bell, B + 72, a, {0, 1, 2, 3, 2, 1}, 0.5, 77, 0.45f);

  auto& bass = s.Add(Inst::Bass, 0.55f, 0.0f, 0.05f);
  for (auto [start, pr] : {std::pair{B, &a}, {B + 24, &b}, {B + 48, &c}, {B + 72, &a}, {B + 96, &tag}})
    BassLine(bass, start, *pr, "R/4 -/4 5/4", 36, 0.7f);
  Seq(bass, O, "f2/12", 0.7f);

  auto& shaker = s.AddDrum(Drum::Shaker, 0.24f, 0.35f, 0.3f);
  auto& tri = s.AddDrum(Drum::Triangle, 0.28f, -0.4f, 0.6f);
  Grid(shaker, B + 24, "x.o.o.x.o.o.", 48, 0.55f);
  Grid(tri, B, "x.......................", 54, 0.45f);
  Grid(tri, O, "x", 1, 0.6f);
  return s;
}

}  // namespace music
