// The music preview: the editor's own copy of the sound library, set up as the game sets up its
// music, and the "⇒" / "■" buttons that play the theme's song once from its start.
#pragma once
#include <string>

#include "editor/editor_state.h"

// Start-up step: binds "plumetogg/wuvorbis.dll" of the program's folder and opens the stream on
// channel 0. False (after its error box, the form hidden and the program told to end) when the
// library is missing or fails.
bool SetUpBgmPreview(EditorState& e);
// Stops the stream and frees the music objects and the decoder binding.
void FreeBgmPreview(EditorState& e);

// The song file of each theme, as the game's area music.
const char* BgmFileName(int theme);

void LoadBgmPreview(EditorState& e, const std::string& fileName);
void LoadSelectedBgm(EditorState& e);
void PlayBgmPreview(EditorState& e);
void StopBgmPreview(EditorState& e);
void CloseBgmPreview(EditorState& e);
void Button11Click(EditorState& e);  // "⇒"
void Button12Click(EditorState& e);  // "■"
