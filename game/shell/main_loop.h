// The outer scene loop and what every frame loop shares: the frame tail, pacing, the key
// flush, the key latch and the pause while another window is active.
#pragma once
#include <cstdint>

struct Game;

void MainLoop(Game& g);
void WaitMs(Game& g, int32_t ms);
void FlushKeys(Game& g);
void ReleaseKeyLatch(Game& g);
void CheckFocus(Game& g);
// A key counts as pressed while its query is non-zero.
bool KeyPressed(Game& g, int vk);
// Frame start (FrameStart := clock) and the pacing step of a tail.
void BeginFrame(Game& g);
void PaceFrame(Game& g);
// The full tail of MainLoop, the ending and the jump-pad flight.
void FullFrameTail(Game& g);
// Presents BackBuffer to the form.
void PresentBackBuffer(Game& g);
// Runs one scene's work of MainLoop for the current SceneId.
void RunSceneFrame(Game& g);
