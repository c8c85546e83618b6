// The runner's way past the menus: a built-in or user stage set up as the stage select's PLAY
// does, played from the stage start (fade-in and intro) or straight from play.
#pragma once
#include <string>

struct Game;

struct StageStart {
  int builtin = -1;       // 0..55, or -1
  std::string userFile;   // a .krm file, or empty
  bool fromPlay = false;  // the intro's end steps applied, play from the first frame
  bool Wanted() const { return builtin >= 0 || !userFile.empty(); }
};

// Thrown out of the first presented frame (the opening's) to leave the menus.
struct SkipMenus {};

// Sets the stage up and selects its scene; false (with `error`) when the file cannot be read.
bool SetUpStage(Game& g, const StageStart& s, std::string& error);
