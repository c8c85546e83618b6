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
  // The drawing sources first: everything below draws from them.
  LoadEditorArt(e);
  // The sound device, before the music stream that plays through it.
  e.DDSD1 = std::make_unique<TDDSD>(e.host.Audio());
  e.DDSD1->Name = "DDSD1";
  e.DDSD1->Unit().LogFolder = e.ProgramFolder;
  e.DDSD1->SetDebugOption(dsoHaltOnError);
  e.DDSD1->Window = e.host.FormWindowId();
  e.DDSD1->Loaded();
  // The decoder library and the music stream; without them the editor cannot start.
  if (!SetUpBgmPreview(e)) return;
  // The folder the file dialogs open in.
  ReadEditFolderFile(e);
  // An empty map with the cursor at the top left and nothing placed.
  ResetEditMap(e);
  e.CursorColumn = 1;
  e.CursorRow = 1;
  e.PlayerPlaced = 0;
  e.GoalPlaced = 0;
  e.EditCleared = 0;
  // The repaint timer. The form's own identity is recorded: it is not shown yet, so
  // the active window would be none of ours.
  e.Timer1 = e.host.StartTimer(200, [&e] { Timer1Timer(e); });
  e.EditorInactive = 0;
  e.host.ActivateWindow();
  e.EditorWindow = e.host.FormWindowId();
  // Draw the map, the palette and the selected part once before the first repaint.
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
