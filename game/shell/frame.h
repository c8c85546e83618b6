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
// One frame of play and of every scene loop.
inline constexpr int32_t kFrameMs = 25;

// Frame start (FrameStart := clock) and the pacing step of a tail: waits until `ms` (one frame
// unless said) have passed since the frame's start.
void BeginFrame(Game& g);
void PaceFrame(Game& g);
void PaceFrameTo(Game& g, int32_t ms);
// The window's turn at the end of a frame: the music's step (where the loop plays music), the
// pause while another window is active, the window's events.
void ServeFrame(Game& g, bool music = true);
// ServeFrame, then the wait to the end of the frame.
void EndFrame(Game& g, bool music = true);
// The full tail of MainLoop, the ending and the jump-pad flight.
void FullFrameTail(Game& g);
// Presents BackBuffer to the form.
void PresentBackBuffer(Game& g);
