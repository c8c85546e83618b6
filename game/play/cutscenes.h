// The cut-scenes play calls into: the door, all-balls, barrier-vanish and stage-clear scenes.
#pragma once

struct Game;

void PlayDoorScene(Game& g);
void PlayBallsCompleteScene(Game& g);
void PlayBarrierVanishScene(Game& g);
void PlayStageClearScene(Game& g);
void PlayStageClearSceneAlt(Game& g);
