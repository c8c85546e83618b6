// The outer scene loop: runs the current scene's frame until the game quits. The frame
// services the scenes share are in frame.h, below the scenes.
#pragma once

struct Game;

void MainLoop(Game& g);
// Runs one scene's work of MainLoop for the current SceneId.
void RunSceneFrame(Game& g);
