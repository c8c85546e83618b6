// Start-up reads of the stage files: the built-in stage data "plumet.map" and the last-folder
// file "plumet.str".
#pragma once
#include <string>

struct Game;

constexpr int kStageDataFileSize = 17248;
constexpr int kStageDataCellBytes = 16800;

// Reads "plumet.map" from the working folder into BuiltinStages and StageStyleTable. On
// failure it takes the fatal start-up exit and returns false.
bool LoadStageData(Game& g);
// Reads "plumet.str" (creating it from the working folder when missing) into MapFolder.
void ReadMapFolderFile(Game& g);
// Stores `folder` NUL-terminated at the start of the 151-byte buffer; false (buffer unchanged)
// when it does not fit in 150 bytes.
bool PutMapFolder(Game& g, const std::string& folder);
// Writes the 151-byte buffer to "plumet.str" in the program's folder; 0 or an errno.
int WriteMapFolderFile(Game& g);
