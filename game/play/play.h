// The play module's operations other modules call: stage files, board setup, the arrival
// events and the field drawing. (The scene entry points MainLoop calls are in game/scenes.h.)
#pragma once
#include <string>

struct Game;
struct TUserStage;

// Stage files.
void LoadStage(Game& g);
void SetStartFacing(Game& g);
void UserStageToGrid(Game& g);
void OpenUserStage(Game& g);
// Reads a user stage file by name into the current-stage state as OpenUserStage does after
// the dialog (no dialog, no last-folder write); false when the file cannot be read.
bool ReadUserStageFile(Game& g, const std::string& path);
// Writes the open user stage with its cleared mark set; a failure shows an error box.
void SaveUserStage(Game& g);
// The stage in play as a user stage file holds it.
TUserStage CurrentUserStage(const Game& g);

// Board.
void SetupPlayBoard(Game& g);
// Every object list emptied, the balloons' and jump pads' too (their entries stay as they were).
void EmptyObjectLists(Game& g);
// The states of the keys, doors, balls, jails and clouds back to 0, and the barriers back.
void ClearItemStates(Game& g);
void SnapAndCollect(Game& g);

// Field drawing.
void DrawFieldObjects(Game& g, bool withPlayer);
void DrawPlayer(Game& g);

// One line of the play state for the headless runner, after its "stage=" field.
std::string PlayStateLine(const Game& g);
// The 300 cells of StageGrid in row order, one character each ('0'..'9', 'a'..'h', 'u' for 30).
std::string CellsLine(const Game& g);
