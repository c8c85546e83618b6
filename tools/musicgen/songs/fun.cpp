// The stage-clear fanfare, "fun": about five seconds of brass and bells ending on a clean chord.
#include "tools/musicgen/songs.h"

namespace music {

using synth::Drum;
using synth::Inst;

Song Fun() {
  Song s;
  s.name = "Stage Clear";
  s.bpm = 150;  // 0.4 s a beat; the last chord lands at 3.2 s and rings out by about 5.2 s
  s.introBeats = 12;
  s.reverbRoom = 0.6f;
  s.targetRms = 0.14f;

  auto& lead = s.Add(Inst::Brass, 0.55f, 0.0f, 0.3f, 0.1f);
  double m = Seq(lead, 0, "c5/2 e5/2 g5/2 c6/6 b5/2 c6/2 | a5/2 c6/2 f6/4 g5/2 b5/2 d6/4", 0.8f);
  Seq(lead, m, "e6/14~", 0.85f);
  auto& lead2 = s.Add(Inst::Lead, 0.25f, 0.2f, 0.3f, 0.15f);
  Seq(lead2, 0, "c5/2 e5/2 g5/2 c6/6 b5/2 c6/2 | a5/2 c6/2 f6/4 g5/2 b5/2 d6/4 | e6/14~", 0.7f);

  auto& brass = s.Add(Inst::Brass, 0.3f, -0.25f, 0.35f);
  Comp(brass, 0, Prog("C F G C", 2), "x.....xx", 60, 0.55f, 1.5);
  Seq(brass, 8, "g4+c5+e5/14~", 0.6f);

  auto& bells = s.Add(Inst::Bell, 0.28f, 0.4f, 0.45f, 0.3f);
  Seq(bells, 8, "c6/1 e6/1 g6/1 c7/1 e7/1 g7/1 c7/1 g6/1 e6/8~", 0.55f);
  auto& box = s.Add(Inst::MusicBox, 0.25f, -0.45f, 0.5f, 0.3f);
  Seq(box, 0, "g5/2 c6/2 e6/2 g6/2 c6/2 e6/2 g6/2 c7/2 | a5/2 c6/2 f6/2 a6/2 b5/2 d6/2 g6/2 b6/2", 0.45f);

  auto& bass = s.Add(Inst::Bass, 0.6f, 0.0f, 0.05f);
  Seq(bass, 0, "c3/6 c3/2 g2/8 | f2/8 g2/8 | c2/14~", 0.8f);

  auto& snare = s.AddDrum(Drum::Snare, 0.5f, 0.05f, 0.25f);
  auto& kick = s.AddDrum(Drum::Kick, 0.4f, 0.0f, 0.05f);
  auto& crash = s.AddDrum(Drum::Crash, 0.35f, 0.3f, 0.35f);
  auto& tom = s.AddDrum(Drum::Tom, 0.4f, -0.2f, 0.3f);
  Grid(kick, 0, "x.......x.......", 1, 0.8f);
  Grid(snare, 0, "....x.x.....x.x.", 1, 0.6f);
  Grid(snare, 4, "o.o.o.o.xoxoxxxX", 1, 0.55f);
  Grid(tom, 6, "x.x.", 1, 0.6f);
  Grid(crash, 8, "x", 1, 0.8f);
  Grid(kick, 8, "x", 1, 0.9f);
  return s;
}

}  // namespace music
