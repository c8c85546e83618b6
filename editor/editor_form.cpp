// The editor form's creation, close question, destruction and timer.
#include "editor/editor_form.h"

#include <filesystem>

#include "editor/bgm_preview.h"
#include "editor/editor_files.h"
#include "editor/map_edit.h"
#include "platform/api/raster.h"
#include "sound/ddsd.h"
#include "sound/ogg_data.h"
#include "sound/ogg_player.h"

void LoadEditorArt(EditorState& e) {
  EditorArt& a = e.Art;
  struct Entry {
    const char* name;
    plat::Bitmap* bmp;
  } entries[] = {
      {"ImgMap0", &a.ImgMap0},        {"ImgMap1", &a.ImgMap1},        {"ImgChar", &a.ImgChar},
      {"ImgChar1", &a.ImgChar1},      {"ImgChar2", &a.ImgChar2},      {"ImgChar5", &a.ImgChar5},
      {"ImgChar6", &a.ImgChar6},
      // The editor draws keys, balls, clouds and barriers from sheets laid out for it.
      {"EditImgChar3", &a.ImgChar3},  {"EditImgChar4", &a.ImgChar4},  {"EditImgChar10", &a.ImgChar10},
      {"EditPartsImage", &a.partsImage},
  };
  for (const Entry& en : entries) e.host.LoadImage(en.name, *en.bmp);
}

void FormCreate(EditorState& e) {
  e.ProgramFolder = std::filesystem::path(e.host.ProgramPath()).parent_path().string();
  e.host.SetCaption(kEditorTitle);
  e.host.SetClientSize(kEditorClientWidth, kEditorClientHeight);
  // Step 1: the drawing sources.
  LoadEditorArt(e);
  // Step 2: the sound device component.
  e.DDSD1 = std::make_unique<TDDSD>(e.host.Audio());
  e.DDSD1->Name = "DDSD1";
  e.DDSD1->Unit().LogFolder = e.ProgramFolder;
  e.DDSD1->SetDebugOption(dsoHaltOnError);
  e.DDSD1->Window = e.host.FormWindowId();
  e.DDSD1->Loaded();
  // Step 3: the decoder library and the music stream.
  if (!SetUpBgmPreview(e)) return;
  // Step 4: the folder file.
  ReadEditFolderFile(e);
  // Steps 5-6: the empty map.
  ResetEditMap(e);
  e.CursorColumn = 1;
  e.CursorRow = 1;
  e.PlayerPlaced = 0;
  e.GoalPlaced = 0;
  e.EditCleared = 0;
  // Step 7: the repaint timer. The form's own identity is recorded: it is not shown yet, so
  // the active window would be none of ours.
  e.Timer1 = e.host.StartTimer(200, [&e] { Timer1Timer(e); });
  e.EditorInactive = 0;
  e.host.ActivateWindow();
  e.EditorWindow = e.host.FormWindowId();
  // Step 8: the map, the palette and the selected part.
  DrawEditMap(e);
  e.SelectedPart = 0;
  plat::gfx::BitBlt(e.picParts, 0, 0, 577, 33, e.Art.partsImage, 0, 0, plat::gfx::Rop::Copy);
  e.PartsDamage.All();
  ShowSelectedPart(e, 0);
}

void FormDestroy(EditorState& e) {
  if (e.Timer1) e.host.StopTimer(e.Timer1);
  e.Timer1 = 0;
  e.Art = EditorArt{};
  FreeBgmPreview(e);
  e.DDSD1.reset();
}

bool FormCloseQuery(EditorState& e) {
  if (e.host.MessageBox("終了しますか？", kEditorTitle, plat::MsgButtons::YesNo, plat::MsgIcon::None) !=
      plat::MsgResult::Yes)
    return false;
  StopBgmPreview(e);
  CloseBgmPreview(e);
  e.host.Terminate();
  return true;
}

void Timer1Timer(EditorState& e) {
  const int active = e.host.ActiveWindowId();
  if (active == e.EditorWindow && e.EditorInactive == 1) {
    if (e.RepaintForm) e.RepaintForm();
    e.EditorInactive = 0;
  } else if (active != e.EditorWindow && e.EditorInactive == 0) {
    e.EditorInactive = 1;
  }
}

void WaitMs(EditorState& e, uint32_t ms) {
  const uint32_t start = e.host.TickMs();
  if (ms > 2) e.host.SleepMs(ms - 2);
  while (e.host.TickMs() - start < ms) {
    e.host.ProcessMessages();
    if (e.host.TickMs() - start < ms) e.host.SleepToNextTick();
  }
}
