// The shell's module state: scene and loop flags, frame timing, transitions, overlay, full
// screen, start-up facts, the off-screen bitmaps and the form's art.
#pragma once
#include <cstdint>
#include <string>

#include "platform/api/bitmap.h"

enum TScene : uint8_t {
  scTitleMenu = 1,
  scEditSelect = 2,
  scPlay = 3,
  scPause = 4,
  scStageSelect = 5,
  scStageNumber = 6,
  scStageStart = 7,
  scOpening = 8,
  scEnding = 9,
};

// The bitmaps of the form's hidden image components, used as drawing sources only.
struct FormArt {
  plat::Bitmap ImgTitle, ImgAnten, ImgMap0, ImgMap1, ImgChar;
  plat::Bitmap ImgChar1, ImgChar2, ImgChar3, ImgChar4, ImgChar5, ImgChar6, ImgChar7, ImgChar8,
      ImgChar9, ImgChar10, ImgChar11, ImgChar12, ImgChar13, ImgChar14, ImgChar15, ImgChar16,
      ImgChar17, ImgChar18, ImgChar19, ImgChar20;
};

struct ShellState {
  // Scene loop and flags.
  uint8_t SceneId = scOpening;
  int32_t QuitRequested = 0;
  int32_t Paused = 0;
  uint8_t KeyLatch = 0;
  int32_t FadeInPending = 0;
  int32_t FrameStart = 0;
  int32_t FrameEnd = 0;
  int32_t FrameElapsed = 0;

  // Transitions.
  int32_t WipeCount = 0;
  int32_t FadeInCount = 0;
  int32_t FadeOutCount = 0;

  // Overlay and its hot keys.
  uint8_t OverlayVisible = 0;
  uint8_t SoundEnabled = 1;
  uint8_t OverlayKeyLatch = 0;
  uint8_t SoundKeyLatch = 0;
  uint8_t FullScreenKeyLatch = 0;
  int32_t FpsTime = 0;
  int32_t FpsWindowStart = 0;
  int32_t FpsFrames = 0;
  int32_t FpsShown = 0;

  // Full screen.
  uint8_t FullScreen = 0;
  int32_t WindowedLeft = 0;
  int32_t WindowedTop = 0;

  // Facts read at start-up.
  int32_t OsPlatformId = 0, OsMajor = 0, OsMinor = 0;
  int32_t DesktopWidth = 0, DesktopHeight = 0, DesktopBits = 0, DesktopRefresh = 0;
  int OwnWindow = 0;
  int LastActiveWindow = 0;
  uint8_t DisableComposition = 1;
  uint32_t RandSeed = 0;  // the one gameplay random stream
  uint8_t StartupFailed = 0;  // a fatal start-up exit was taken

  // Off-screen bitmaps (sized at start-up) and the art.
  plat::Bitmap BackBuffer, BoardLayer, ScratchBitmap;
  FormArt Art;
  // For a caller that runs play for its state alone (the solver): the play field's layers
  // advance their effect states but put nothing in the back buffer.
  bool FieldPicturesOff = false;

  // Where the program lives; every data file is named relative to it.
  std::string ProgramFolder;
};
