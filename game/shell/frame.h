// What every frame loop shares: the frame tail, pacing, the key flush, the key latch and the
// pause while another window is active. The scenes stand on this; the scene dispatch in
// main_loop.h stands above them.
#pragma once
#include <cstdint>

struct Game;

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
