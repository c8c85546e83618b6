// Screen transitions through black, the overlay with its hot keys, and full screen.
#pragma once

struct Game;

void DarkenScreen(Game& g, int tile);
void WipeOut(Game& g, bool fadeMusic);
void BlackOut(Game& g);
void FadeInStep(Game& g);
void FadeOutStep(Game& g);
void DrawOverlay(Game& g);
void EnterFullScreen(Game& g);
void LeaveFullScreen(Game& g);
