// The editor's files: loading and saving user stage files, lowering their cleared mark, and the
// folder file "pledit.str" that remembers the dialogs' folder.
#pragma once
#include <string>

#include "editor/editor_state.h"

inline constexpr const char* kFolderFileName = "pledit.str";
inline constexpr const char* kStageFilter = "からくりマップ(*.krm)|*.krm";

// Start-up: reads "pledit.str" in the program's folder (creating it when missing) into EditFolder.
void ReadEditFolderFile(EditorState& e);
// EditFolder := folder; stores it in the folder buffer and "pledit.str" when it fits in 150 bytes.
void SaveEditFolder(EditorState& e, const std::string& folder);

// A cancelled dialog returns at once; a failure part way returns where it stands, keeping what was
// already read or written.
void LoadUserStageFile(EditorState& e);
void SaveUserStageFile(EditorState& e);

void cmdLoadClick(EditorState& e);
void cmdSaveClick(EditorState& e);
void Button14Click(EditorState& e);
