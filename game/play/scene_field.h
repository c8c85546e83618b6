// The play field split into its layers, for the stage intro and the cut-scenes, which compose
// the field in their own loops and put their effects between the layers; and the key step the
// door, all-balls and barrier-vanish scenes end their frames with.
#pragma once
#include <cstdint>

struct Game;

namespace scene {

// The restore rectangles of the play field (the whole board layer instead while a fade-in is
// pending, when `fullWhileFading`); the player's rectangle is w x h at (x, y), none when w is 0.
void RestoreField(Game& g, bool fullWhileFading, int playerX, int playerY, int playerW, int playerH);
// The player's restore corner of the play field: r(v) + 20, r(v) = RoundToInt(32 (v - 1)).
int PlayerRestoreX(const Game& g);
int PlayerRestoreY(const Game& g);

// The layers in the field's order; each advances the effect states it draws, as play does.
void Doors(Game& g);  // doors in state 0
void Keys(Game& g);
void Balls(Game& g);
void Clouds(Game& g);
void Conveyors(Game& g);
void Barriers(Game& g);  // none once BarrierGone
void Goal(Game& g);
void Balloons(Game& g);
void JumpPads(Game& g);
// Jails as play draws them; with `sceneFlicker` >= 0 every jail but a closing one is tinted
// with grey 255 - 35 (sceneFlicker mod 4) instead (the barrier-vanish scene), and `openings`
// counts the jails whose opening effect begins in this frame.
void Jails(Game& g, int sceneFlicker = -1, int* openings = nullptr);
void Hud(Game& g);

// The field's layers under the actors, from the doors up to the jump pads.
void LowerLayers(Game& g);

// The player stands in a still pose through a cut-scene: facing right or left, the walk frame
// is rounded up to a multiple of 4, and 8 becomes 0.
void StillPose(Game& g);

// The cut-scenes' key step: the latch is released once Z, X and Escape are all up (each
// tested only while the ones before it are up), then the keys are flushed.
void ReleaseLatchAndFlush(Game& g);

}  // namespace scene
