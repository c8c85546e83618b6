// Building blocks the effect recipes draw with: tones with pitch sweeps, filtered noise, notes.
#pragma once
#include "tools/synth/synth.h"
#include "tools/synth/voices.h"

namespace sfx {

using synth::Mono;

enum class NoiseFilter { Low, High, Band };

// Ensures `b` holds at least `seconds` of samples.
void Reserve(Mono& b, double seconds);
// A tone gliding exponentially from f0 to f1 over `dur`, shaped by `env`.
void Tone(Mono& b, double start, double dur, double f0, double f1, synth::Wave w, float amp,
          const synth::Adsr& env);
// Noise through a filter whose centre glides from c0 to c1.
void Noise(Mono& b, double start, double dur, NoiseFilter filter, double c0, double c1, double q,
           float amp, const synth::Adsr& env, uint32_t seed);
// A note of one of the music instruments, `midi` in semitones.
void Note(Mono& b, double start, synth::Inst inst, double midi, double gate, float vel, uint32_t seed = 1);
void Hit(Mono& b, double start, synth::Drum drum, float vel, double pitch = 1.0, uint32_t seed = 1);
// Decaying sine partials (bells, bars, glass).
void Ping(Mono& b, double start, double hz, double decay, float amp);
// Mono reverb mixed in at `mix`, with the buffer extended by `tail` seconds.
void AddReverb(Mono& b, float room, float damp, float mix, double tail);
// Cuts to at most `maxLen` seconds (dropping a silent tail), fades the last `fadeOut` seconds and
// scales to the given peak.
void Finish(Mono& b, float peak, double maxLen, double fadeOut);

}  // namespace sfx
