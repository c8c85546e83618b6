// The editor form: start-up failures, the close question, the repaint after re-activation, the
// wait after dialogs and the music preview's reload rule.
#include <gtest/gtest.h>

#include <filesystem>

#include "editor/bgm_preview.h"
#include "editor/editor_files.h"
#include "tests/editor/editor_fixture.h"
#include "tests/sound/hostile_songs.h"
#include "tests/sound/ogg_fixture.h"

using edtest::Editor;
using plat::MsgResult;

TEST(EditorStartUp, EndsWithABoxWhenTheDecoderIsMissingOrBroken) {
  // size 0: no file; -1: not a library; else the shipped library cut to that size (the
  // loader died of SIGBUS mapping it).
  struct Case {
    long size;
    const char* text;
  } cases[] = {
      {0, "plumetoggフォルダ内にwuvorbis.dllが存在しません。"},
      {-1, "wuvorbis.dllの読込に失敗しました。"},
      {2000, "wuvorbis.dllの読込に失敗しました。"},
      {10000, "wuvorbis.dllの読込に失敗しました。"},
  };
  for (const Case& c : cases) {
    Editor ed(false);
    std::vector<uint8_t> lib = ed.folder.Read("plumetogg/wuvorbis.dll");
    std::filesystem::remove(ed.folder.File("plumetogg/wuvorbis.dll"));
    if (c.size < 0) ed.folder.Write("plumetogg/wuvorbis.dll", {'n', 'o', 't', ' ', 'E', 'L', 'F'});
    if (c.size > 0) {
      lib.resize(static_cast<size_t>(c.size));
      ed.folder.Write("plumetogg/wuvorbis.dll", lib);
    }
    ed.Create();
    ASSERT_EQ(ed.host.DialogLog.size(), 1u);
    EXPECT_EQ(ed.LastDialog(), Editor::Line(c.text));
    EXPECT_EQ(ed.e.MusicState, 2);
    EXPECT_TRUE(ed.host.TerminateRequested());
    EXPECT_FALSE(ed.host.Visible());
    // Creation ended there: no folder file was made.
    EXPECT_FALSE(ed.folder.Exists(kFolderFileName));
  }
}

TEST(EditorStartUp, ShowsTheEmptyMapWithTheFirstPartSelected) {
  Editor ed;
  EXPECT_TRUE(ed.host.DialogLog.empty());
  EXPECT_FALSE(ed.host.TerminateRequested());
  EXPECT_EQ(ed.host.Caption(), kEditorTitle);
  EXPECT_EQ(ed.host.ClientWidth(), 742);
  EXPECT_EQ(ed.host.ClientHeight(), 563);
  EXPECT_EQ(ed.e.SelectedPart, 0);
  EXPECT_EQ(ed.e.Label3, "バルーン0/20");
  EXPECT_EQ(ed.e.Label5, "このマップは未クリア状態です");
  EXPECT_EQ(ed.e.picParts.px, ed.e.Art.partsImage.px);
  EXPECT_EQ(ed.e.picSelectedParts.At(5, 5), ed.e.Art.partsImage.At(5, 5));
}

TEST(EditorClose, AsksAndNoKeepsTheEditorOpen) {
  Editor ed;
  ed.host.Answers.push_back(MsgResult::No);
  EXPECT_FALSE(FormCloseQuery(ed.e));
  EXPECT_EQ(ed.LastDialog(), Editor::Line("終了しますか？", "yesno"));
  EXPECT_FALSE(ed.host.TerminateRequested());
  ed.host.Answers.push_back(MsgResult::Yes);
  EXPECT_TRUE(FormCloseQuery(ed.e));
  EXPECT_TRUE(ed.host.TerminateRequested());
}

TEST(EditorTimer, RepaintsOnceEachTimeTheFormIsActiveAgain) {
  Editor ed;
  auto runMs = [&](int ms) {
    for (int i = 0; i < ms; i++) ed.host.ProcessMessages();
  };
  runMs(1000);
  EXPECT_EQ(ed.repaints, 0);
  ed.host.SetActive(false);
  runMs(1000);
  EXPECT_EQ(ed.repaints, 0);
  ed.host.SetActive(true);
  runMs(1000);
  EXPECT_EQ(ed.repaints, 1);
  ed.host.SetActive(false);
  runMs(300);
  ed.host.SetActive(true);
  runMs(300);
  EXPECT_EQ(ed.repaints, 2);
}

TEST(EditorWait, WaitsTheTimeWhileHandlingMessages) {
  Editor ed;
  const uint32_t start = ed.host.Now();
  const int before = ed.host.ProcessMessagesCalls;
  WaitMs(ed.e, 50);
  EXPECT_EQ(ed.host.Now() - start, 50u);
  // The last two milliseconds: messages served on the first, then a sleep to the next tick
  // (each virtual message pass takes a millisecond).
  EXPECT_EQ(ed.host.ProcessMessagesCalls - before, 1);
  EXPECT_EQ(ed.host.TickSleepCalls, 1);
}

namespace {

// The editor with a short song for every theme in its music folder.
struct PreviewEditor : Editor {
  PreviewEditor() {
    // Longer than any dialog the tests open: the stream plays on the headless clock meanwhile.
    for (int t = 0; t < 6; t++)
      folder.Write(std::string("plumetogg/") + BgmFileName(t), SineOgg(44100, 2, 2.0, 300.0 + 100 * t));
  }
  int32_t TrackState() { return e.OggData->State(); }
};

}  // namespace

TEST(EditorPreview, ReloadsOnlyWhenTheThemeChanged) {
  PreviewEditor ed;
  Button11Click(ed.e);
  EXPECT_EQ(ed.e.BgmFileLoads, 1);
  EXPECT_EQ(ed.e.BgmLoaded, 1);
  EXPECT_EQ(ed.e.LastBgmIndex, 0);
  EXPECT_EQ(ed.TrackState(), 2);  // playing once
  // Again with the same theme: from the start, without reading the file.
  ed.e.OggData->Seek(0.2f);
  Button11Click(ed.e);
  EXPECT_EQ(ed.e.BgmFileLoads, 1);
  EXPECT_LT(ed.e.OggData->Position(), 0.1f);
  EXPECT_EQ(ed.TrackState(), 2);
  // "BGM" alone changes neither the track nor what plays.
  Button10Click(ed.e);
  EXPECT_EQ(ed.e.BgmFileLoads, 1);
  EXPECT_EQ(ed.TrackState(), 2);
  Button11Click(ed.e);
  EXPECT_EQ(ed.e.BgmFileLoads, 2);
  EXPECT_EQ(ed.e.LastBgmIndex, 1);
  // Stop, then play the same theme: no reload.
  Button12Click(ed.e);
  EXPECT_EQ(ed.e.BgmLoaded, 0);
  EXPECT_EQ(ed.TrackState(), 1);
  Button11Click(ed.e);
  EXPECT_EQ(ed.e.BgmFileLoads, 2);
  EXPECT_EQ(ed.TrackState(), 2);
  EXPECT_TRUE(ed.host.DialogLog.empty());
}

TEST(EditorPreview, MissingMusicIsReportedAndNothingPlays) {
  struct Case {
    bool removeFolder;
    const char* text;
  } cases[] = {
      {false, "指定のoggファイルがplumetoggフォルダ内に存在しません。"},
      {true, "plumetoggフォルダがディレクトリ内に存在しません。"},
  };
  for (const Case& c : cases) {
    Editor ed;
    if (c.removeFolder) std::filesystem::remove_all(ed.folder.File("plumetogg"));
    Button11Click(ed.e);
    EXPECT_EQ(ed.LastDialog(), Editor::Line(c.text));
    EXPECT_EQ(ed.e.BgmLoaded, 0);
    EXPECT_EQ(ed.e.BgmFileLoads, 0);
    EXPECT_EQ(ed.e.OggData->State(), 0);
  }
}

TEST(EditorPreview, ASongTheTrackRefusesIsReportedAndNothingPlays) {
  // Each used to bring the editor down or freeze it once played, the second or third press at
  // the latest: SIGFPE in libvorbis, an overflowed length, set-up that failed and left empty
  // books behind (an endless loop with floor 0), a link found only inside another's page.
  HandSong fpe, granule, tree, hidden;
  fpe.stageBookDim = 0;
  granule.lastGranule = (int64_t(1) << 62) - 5;
  tree.incompleteBook = true;
  tree.floorType = 0;
  hidden.stageBookDim = 0;
  for (const std::vector<uint8_t>& song : {BuildHandSong(fpe), BuildHandSong(granule),
                                           BuildHandSong(tree), BuildHiddenLinkSong(hidden)}) {
    PreviewEditor ed;
    ed.folder.Write(std::string("plumetogg/") + BgmFileName(0), song);
    for (int press = 0; press < 3; ++press) {
      Button11Click(ed.e);
      EXPECT_EQ(ed.LastDialog(), Editor::Line("ファイルの読み込みに失敗"));
      EXPECT_EQ(ed.e.BgmLoaded, 0);
      EXPECT_EQ(ed.TrackState(), 0);
      ed.e.OggPlayer->RenderNext();
    }
  }
}

TEST(EditorPreview, ASongTheTrackCannotMixPlaysSilenceWithNoMessage) {
  HandSong three, rate;
  three.channels = 3;
  rate.rate = 1006720546;
  for (const std::vector<uint8_t>& song :
       {BuildHandSong(three), BuildHandSong(rate), BuildHeadersOnly(HandSong{})}) {
    PreviewEditor ed;
    ed.folder.Write(std::string("plumetogg/") + BgmFileName(0), song);
    const size_t dialogs = ed.host.DialogLog.size();
    for (int press = 0; press < 3; ++press) {
      Button11Click(ed.e);
      EXPECT_EQ(ed.e.BgmLoaded, 1);
      EXPECT_NE(ed.TrackState(), 0);
      ed.e.OggPlayer->RenderNext();
      EXPECT_EQ(ed.TrackState(), 1);  // the block was silence and the song ended
    }
    EXPECT_EQ(ed.host.DialogLog.size(), dialogs);
  }
}

TEST(EditorPreview, FileDialogsStillOpenInTheEditFolderAfterAPreview) {
  PreviewEditor ed;
  Button11Click(ed.e);
  cmdLoadClick(ed.e);
  ASSERT_FALSE(ed.host.FileDialogLog.empty());
  EXPECT_EQ(ed.host.FileDialogLog.back().initialDir, ed.folder.Path());
}

TEST(EditorPreview, CloseAnsweredNoKeepsTheSongPlayingYesStopsIt) {
  PreviewEditor ed;
  Button11Click(ed.e);
  ed.host.Answers.push_back(MsgResult::No);
  EXPECT_FALSE(FormCloseQuery(ed.e));
  EXPECT_EQ(ed.TrackState(), 2);
  EXPECT_EQ(ed.e.OggPlayer->Slot(0), ed.e.OggData.get());
  ed.host.Answers.push_back(MsgResult::Yes);
  EXPECT_TRUE(FormCloseQuery(ed.e));
  EXPECT_EQ(ed.TrackState(), 1);
  EXPECT_EQ(ed.e.OggPlayer->Slot(0), nullptr);
}
