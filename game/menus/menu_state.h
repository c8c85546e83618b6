// State of the menus, the stage select and the ending.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

enum TTitleItem : int32_t { tiNormalGame = 0, tiEditGame = 1, tiEnd = 2, tiEnding = 3 };
enum TSelectItem : int32_t { siStage = 0, siPlay = 1, siTitle = 2, siEnd = 3 };
enum TEditSelectItem : int32_t { eiLoad = 0, eiPlay = 1, eiTitle = 2, eiEnd = 3 };
enum TPauseItem : int32_t { piExit = 0, piRestart = 1, piSelect = 2, piTitle = 3, piEnd = 4 };

struct MenuState {
  int32_t TitleCursor = 0;       // TTitleItem
  int32_t BarCursor = 0;         // TSelectItem / TEditSelectItem; in the picker the digit (0 tens, 1 units)
  int32_t PauseCursor = 0;       // TPauseItem
  int32_t BlinkCounter = 0;      // 0..22; the selected item is lit while mod 22 <= 10
  int32_t TitleSpriteFrame = 0;  // 0..15
  uint8_t CursorFrame = 0;       // 0..2, the ImgChar7 cursor frame
  uint8_t MarkerFrame = 0;       // 1..15, the cleared marker's frame counter
  uint8_t PickerRepeatDelay = 0; // frames before the picker's Up or Down act again
  uint8_t EndingSpriteTick = 0;  // 0..35, the ending's corner sprites

  // Test and tool aid: every music request the menus and the ending make, in order
  // ("play <file>", "stop", "arm").
  std::vector<std::string> MusicLog;
};
