// The editor form's life: creation in its fixed order, the close question, destruction, the
// repaint after re-activation and the short wait after file dialogs.
#pragma once
#include <cstdint>

#include "editor/editor_state.h"

// Loads the drawing sources from the embedded art (the editor's own sheets where it has them).
void LoadEditorArt(EditorState& e);

// Ends with the host told to terminate when the decoder library is missing or fails.
void FormCreate(EditorState& e);
void FormDestroy(EditorState& e);
// True: closing goes on.
bool FormCloseQuery(EditorState& e);
void Timer1Timer(EditorState& e);
// Waits `ms` milliseconds while the window keeps handling its messages.
void WaitMs(EditorState& e, uint32_t ms);
