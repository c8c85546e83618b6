// The editor form's state: the map being edited, its file state, the music preview objects and
// the form's pictures and label texts. Built fresh from a host, so tests can drive the handlers.
#pragma once
#include <array>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "game/play/stage_model.h"
#include "platform/api/bitmap.h"
#include "platform/api/host.h"
#include "sound/ddsd.h"
#include "sound/ogg_data.h"
#include "sound/ogg_player.h"

inline constexpr const char* kEditorTitle = "ぷかぷか☆らんぷステージエディタ";
inline constexpr const char* kEditorFont = "ＭＳ Ｐゴシック";
inline constexpr int kEditorClientWidth = 742;
inline constexpr int kEditorClientHeight = 563;
inline constexpr int kPartCount = 18;  // palette slots 0..17 are the cell codes

// The pixels of a picture drawn since the form last showed them, as rectangles; the form
// converts and repaints only these.
struct PictureDamage {
  struct Rect {
    int x, y, w, h;
  };
  bool all = false;
  std::vector<Rect> rects;

  void Add(int x, int y, int w, int h) {
    if (all) return;
    // Past a handful the whole picture is as cheap.
    if (rects.size() >= 32) return All();
    rects.push_back({x, y, w, h});
  }
  void All() {
    all = true;
    rects.clear();
  }
  void Clear() {
    all = false;
    rects.clear();
  }
  bool Empty() const { return !all && rects.empty(); }
};

// What the map view shows, so that a mouse move redraws only the cells that differ.
struct ShownMap {
  bool valid = false;
  std::array<uint8_t, kGridCells> grid{};
  std::array<uint8_t, 8> style{};
  uint8_t startFacing = 0;
  int32_t cursorColumn = 0, cursorRow = 0;
};

// The drawing sources (hidden image components of the form).
struct EditorArt {
  plat::Bitmap ImgMap0, ImgMap1, ImgChar, ImgChar1, ImgChar2, ImgChar3, ImgChar4, ImgChar5, ImgChar6,
      ImgChar10, partsImage;
};

struct EditorState {
  explicit EditorState(plat::Host& h) : host(h) {}
  EditorState(const EditorState&) = delete;
  EditorState& operator=(const EditorState&) = delete;

  plat::Host& host;
  std::string ProgramFolder;

  // --- the form's pictures and texts (the Qt form shows them) ---
  EditorArt Art;
  plat::Bitmap picDisplay{640, 480};
  plat::Bitmap picParts{577, 33};
  plat::Bitmap picSelectedParts{33, 33};
  std::string Label2, Label3, Label4, Label5;
  PictureDamage DisplayDamage, PartsDamage, SelectedPartsDamage;
  ShownMap DisplayShown;
  // Asks the form to repaint itself whole at once (set by the Qt form; may stay empty).
  std::function<void()> RepaintForm;

  // --- map editing ---
  std::array<uint8_t, kGridCells> EditGrid{};      // column by column: x*15 + y
  std::array<uint8_t, kGridCells> EditGridRows{};  // row by row: y*20 + x, the file's order
  std::array<uint8_t, 8> EditStyle{};              // StageStyle order
  uint8_t EditStartFacing = 0;
  uint8_t EditTheme = 0;
  // Counted as ints: a loaded file may hold more than a byte's worth.
  int BalloonCount = 0;
  int JumpPadCount = 0;
  uint8_t PlayerPlaced = 0;
  uint8_t GoalPlaced = 0;
  int32_t CursorColumn = 1;
  int32_t CursorRow = 1;
  int32_t SelectedPart = 0;
  int32_t HoverSlot = 0;
  uint8_t Dragging = 0;
  uint8_t DoubleClicked = 0;
  int32_t EditCleared = 0;

  // --- files ---
  std::string EditFileName;
  std::string EditFolder;
  std::array<char, kMapFolderBufSize> EditFolderBuf{};

  // --- music preview ---
  uint8_t MusicState = 1;
  uint8_t BgmLoaded = 0;
  uint8_t LastBgmIndex = 100;
  int BgmFileLoads = 0;  // song files read into the track so far (the reload rule's witness)
  std::unique_ptr<TDDSD> DDSD1;
  std::unique_ptr<TOggPlayer> OggPlayer;
  std::unique_ptr<TOggData> OggData;
  std::unique_ptr<TDDSDWaveData> WaveData;

  // --- the repaint after re-activation ---
  int EditorWindow = 0;
  uint8_t EditorInactive = 0;
  int Timer1 = 0;  // host timer id, 0 while off
};
