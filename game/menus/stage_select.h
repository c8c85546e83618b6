// The stage-select screen with its picker, and the course tables other screens use: area
// names, stage hints, area music and the stage preview.
#pragma once
#include <cstdint>

struct Game;

struct TStageHint {
  int x;
  const char* text;
};

// The area name of a built-in stage (nullptr for 255 and any other value).
const char* AreaName(int stage);
// The hint of a built-in stage 0..54 (nullptr otherwise).
const TStageHint* StageHint(int stage);
// The area music of a theme 0..5 (nullptr otherwise).
const char* AreaMusic(int theme);

void BuildPreview(Game& g);
// Copies the preview from the board layer onto the back buffer, where both select screens show it.
void ShowBoardLayer(Game& g);
void DrawAreaName(Game& g);
void ShowStageHint(Game& g);
void PlayAreaMusic(Game& g);
void StageSelectBar(Game& g);
void StageNumberPicker(Game& g);
