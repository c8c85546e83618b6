// The game's main form state: every module's state in one object a test can build fresh.
#pragma once
#include "game/menus/menu_state.h"
#include "game/menus/progress_record.h"
#include "game/play/cutscene_state.h"
#include "game/play/play_state.h"
#include "game/play/stage_model.h"
#include "game/shell/music_control.h"
#include "game/shell/shell_state.h"
#include "game/shell/sound_objects.h"
#include "platform/api/host.h"

constexpr const char* kGameTitle = "ぷかぷか☆らんぷ";

struct Game : ShellState, MusicControlState, StageModel, PlayState, CutsceneState, TProgressRecord,
              MenuState, SoundObjects {
  explicit Game(plat::Host& h) : host(h) {}
  Game(const Game&) = delete;
  Game& operator=(const Game&) = delete;

  plat::Host& host;
};
