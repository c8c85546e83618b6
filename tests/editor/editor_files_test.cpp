// User stage files in the editor: save checks, the exact bytes, loading, the mark and "pledit.str".
#include <gtest/gtest.h>

#include <sys/stat.h>

#include <filesystem>

#include "editor/editor_files.h"
#include "tests/editor/editor_fixture.h"

namespace fs = std::filesystem;
using edtest::Bordered;
using edtest::Editor;
using edtest::StageFile;

namespace {

const std::vector<std::string> kMap = Bordered({
    "P.................",
    "######....b.......",
    "..........j......G",
    ".L.....k..........",
});

// A file in `dir` of the program folder, chosen in the open dialog and loaded.
void LoadFile(Editor& ed, const std::string& path) {
  ed.host.OpenAnswers.push_back(path);
  cmdLoadClick(ed.e);
}

std::string FolderFile(Editor& ed) {
  auto b = ed.folder.Read(kFolderFileName);
  EXPECT_EQ(b.size(), 151u);
  return std::string(reinterpret_cast<const char*>(b.data()));
}

void DrawStartAndGoal(Editor& ed) {
  ed.Put(ccPlayerStart, 1, 1);
  ed.Put(ccGoal, 18, 3);
}

}  // namespace

TEST(EditorSave, NeedsAPlayerStartAndAGoal) {
  struct Case {
    bool player, goal;
    const char* text;
  } cases[] = {
      {false, true, "プレイヤーを置かないとセーブ出来ません。"},
      {false, false, "プレイヤーを置かないとセーブ出来ません。"},
      {true, false, "ゴールを置かないとセーブ出来ません。"},
  };
  for (const Case& c : cases) {
    Editor ed;
    if (c.player) ed.Put(ccPlayerStart, 2, 2);
    if (c.goal) ed.Put(ccGoal, 3, 3);
    ed.host.SaveAnswers.push_back(ed.folder.File("a.krm"));
    cmdSaveClick(ed.e);
    EXPECT_EQ(ed.LastDialog(), Editor::Line(c.text));
    EXPECT_TRUE(ed.host.FileDialogLog.empty());
    EXPECT_FALSE(ed.folder.Exists("a.krm"));
  }
}

TEST(EditorSave, WritesTheExact314BytesAndLoadsThemBack) {
  Editor ed;
  const auto want = StageFile(kMap, {2, 3, 1, 1, 0, 1, 2, 1}, 5, 1, 0);
  // Draw kMap with the mouse and set the selectors with the buttons.
  for (int y = 1; y < 14; y++)
    for (int x = 1; x < 19; x++)
      if (kMap[y][x] != '.') ed.Put(edtest::CodeOf(kMap[y][x]), x, y);
  for (int i = 0; i < 2; i++) Button1Click(ed.e);  // background 2
  for (int i = 0; i < 3; i++) Button2Click(ed.e);  // block 3
  Button3Click(ed.e);                              // ladder 1
  Button4Click(ed.e);                              // ice 1
  Button6Click(ed.e);                              // key 1
  for (int i = 0; i < 2; i++) Button7Click(ed.e);  // balloon 2
  Button8Click(ed.e);                              // barrier 1
  for (int i = 0; i < 5; i++) Button10Click(ed.e);  // theme 5
  Button9Click(ed.e);                               // facing left

  const std::string path = ed.folder.File("stage.krm");
  ed.host.SaveAnswers.push_back(path);
  cmdSaveClick(ed.e);
  ASSERT_EQ(ed.host.FileDialogLog.size(), 1u);
  const plat::FileDialogSpec& request = ed.host.FileDialogLog[0];
  EXPECT_TRUE(request.overwritePrompt);
  EXPECT_EQ(request.defaultExt, "krm");
  EXPECT_EQ(request.filter, "からくりマップ(*.krm)|*.krm");
  EXPECT_EQ(request.initialDir, ed.folder.Path());
  EXPECT_EQ(ed.folder.Read("stage.krm"), want);
  EXPECT_EQ(ed.e.EditFileName, path);
  EXPECT_TRUE(ed.host.DialogLog.empty());

  Editor fresh;
  LoadFile(fresh, path);
  EXPECT_EQ(fresh.e.EditGrid, ed.e.EditGrid);
  EXPECT_EQ(fresh.e.EditStyle, ed.e.EditStyle);
  EXPECT_EQ(fresh.e.EditTheme, 5);
  EXPECT_EQ(fresh.e.EditStartFacing, 1);
  EXPECT_EQ(fresh.e.EditCleared, 0);
  EXPECT_EQ(fresh.e.PlayerPlaced + fresh.e.GoalPlaced, 2);
  EXPECT_EQ(fresh.e.Label3, "バルーン1/20");
  EXPECT_EQ(fresh.e.Label4, "ジャンプ台1/20");
  EXPECT_EQ(fresh.e.Label5, "このマップは未クリア状態です");
  // Saved again over the loaded file, the bytes are the same and nothing is asked.
  fresh.host.SaveAnswers.push_back(path);
  cmdSaveClick(fresh.e);
  EXPECT_TRUE(fresh.host.DialogLog.empty());
  EXPECT_EQ(ed.folder.Read("stage.krm"), want);
}

TEST(EditorSave, FileMarkWinsWhenTheGameClearedTheLoadedFile) {
  Editor ed;
  ed.folder.Write("s.krm", StageFile(kMap, {}, 0, 0, 0));
  LoadFile(ed, ed.folder.File("s.krm"));
  // The game clears it meanwhile.
  ed.folder.Write("s.krm", StageFile(kMap, {}, 0, 0, 1));
  ed.host.SaveAnswers.push_back(ed.folder.File("s.krm"));
  cmdSaveClick(ed.e);
  EXPECT_EQ(ed.LastDialog(),
            Editor::Line("ファイルとエディタのクリアフラグの値が異なっています。\r\nファイルのクリアフラグの値で保存します。"));
  EXPECT_EQ(ed.e.EditCleared, 1);
  EXPECT_EQ(ed.e.Label5, "このマップはクリア済みです");
  EXPECT_EQ(ed.folder.Read("s.krm"), StageFile(kMap, {}, 0, 0, 1));

  // Under another name the editor's mark is written, nothing is read, no box.
  ed.host.DialogLog.clear();
  ed.host.SaveAnswers.push_back(ed.folder.File("t.krm"));
  cmdSaveClick(ed.e);
  EXPECT_TRUE(ed.host.DialogLog.empty());
  EXPECT_EQ(ed.folder.Read("t.krm"), StageFile(kMap, {}, 0, 0, 1));
  EXPECT_EQ(ed.e.EditFileName, ed.folder.File("t.krm"));
}

TEST(EditorSave, WriteErrorIsReportedAndChangesNothing) {
  Editor ed;
  DrawStartAndGoal(ed);
  const std::string folderBefore = FolderFile(ed);
  ed.host.SaveAnswers.push_back(ed.folder.File("missing-dir/x.krm"));
  cmdSaveClick(ed.e);
  ASSERT_EQ(ed.host.DialogLog.size(), 1u);
  EXPECT_NE(ed.LastDialog().find("No such file or directory"), std::string::npos) << ed.LastDialog();
  EXPECT_EQ(ed.e.EditFileName, "");
  EXPECT_EQ(ed.e.EditFolder, ed.folder.Path());
  EXPECT_EQ(FolderFile(ed), folderBefore);
  EXPECT_EQ(ed.Cell(1, 1), ccPlayerStart);
}

TEST(EditorLoad, TakesCountsAsFoundAndShowsTheMark) {
  struct Case {
    int32_t mark;
    const char* label;
  } cases[] = {{1, "このマップはクリア済みです"}, {0, "このマップは未クリア状態です"}};
  for (const Case& c : cases) {
    Editor ed;
    auto rows = Bordered({"P.bbbbbbbbbbbbbbbb", "bbbbbbbbb.........", ".................G"});
    ed.folder.Write("many.krm", StageFile(rows, {}, 0, 0, c.mark));
    LoadFile(ed, ed.folder.File("many.krm"));
    EXPECT_EQ(ed.e.BalloonCount, 25);
    EXPECT_EQ(ed.e.Label3, "バルーン25/20");
    EXPECT_EQ(ed.e.Label5, c.label);
    EXPECT_EQ(ed.e.EditCleared, c.mark);
    // Over the limit, another balloon is refused at once.
    ed.Put(ccBalloon, 5, 5);
    EXPECT_EQ(ed.LastDialog(), Editor::Line("バルーンは最大20個までです。"));
    EXPECT_EQ(ed.e.BalloonCount, 20);
  }
}

TEST(EditorLoad, ShortFilesKeepTheMapAndTheFileName) {
  struct Case {
    size_t size;
    bool selectorsRead;
  } cases[] = {{0, false}, {200, false}, {305, false}, {310, true}, {313, true}};
  for (const Case& c : cases) {
    Editor ed;
    ed.folder.Write("old.krm", StageFile(Bordered({"P...G"}), {}, 0, 0, 0));
    LoadFile(ed, ed.folder.File("old.krm"));
    ed.e.EditCleared = 1;
    auto grid = ed.e.EditGrid;
    auto bytes = StageFile(Bordered({"bbbbbbbbbbbbbb"}), {2, 3, 1, 1, 1, 1, 2, 2}, 4, 1, 1);
    bytes.resize(c.size);
    ed.folder.Write("short.krm", bytes);
    LoadFile(ed, ed.folder.File("short.krm"));
    EXPECT_EQ(ed.e.EditGrid, grid) << c.size;
    EXPECT_EQ(ed.e.EditFileName, ed.folder.File("old.krm")) << c.size;
    EXPECT_EQ(ed.e.EditCleared, 0) << c.size;
    EXPECT_EQ(ed.e.BalloonCount, 0) << c.size;
    EXPECT_EQ(ed.e.PlayerPlaced, 1) << c.size;
    EXPECT_EQ(ed.e.EditTheme, c.selectorsRead ? 4 : 0) << c.size;
    EXPECT_EQ(ed.e.EditStyle[ssBarrier], c.selectorsRead ? 2 : 0) << c.size;
    EXPECT_TRUE(ed.host.DialogLog.empty()) << c.size;
  }
}

TEST(EditorLoad, CancelledOrVanishedChangesNothing) {
  for (bool vanished : {false, true}) {
    Editor ed;
    DrawStartAndGoal(ed);
    ed.e.EditCleared = 1;
    auto grid = ed.e.EditGrid;
    const std::string folderFile = FolderFile(ed);
    if (vanished) ed.host.OpenAnswers.push_back(ed.folder.File("gone.krm"));
    cmdLoadClick(ed.e);
    EXPECT_EQ(ed.e.EditGrid, grid);
    EXPECT_EQ(ed.e.EditCleared, 1);
    EXPECT_EQ(ed.e.Label5, "このマップはクリア済みです");  // redrawn all the same
    EXPECT_EQ(FolderFile(ed), folderFile);
    // A cancelled save dialog writes nothing either.
    cmdSaveClick(ed.e);
    EXPECT_EQ(ed.e.EditFileName, "");
  }
}

TEST(EditorMarkReset, LowersACleardFileAndSaysSoForAnUnclearedOne) {
  Editor ed;
  ed.folder.Write("c.krm", StageFile(kMap, {1, 1, 1, 1, 1, 1, 1, 1}, 2, 1, 1));
  LoadFile(ed, ed.folder.File("c.krm"));
  ASSERT_EQ(ed.e.EditCleared, 1);

  ed.host.OpenAnswers.push_back(ed.folder.File("c.krm"));
  ed.host.Answers.push_back(plat::MsgResult::No);
  Button14Click(ed.e);
  EXPECT_EQ(ed.LastDialog(), Editor::Line("選択されたマップデータは現在クリア済みとなっています。\r\n"
                                          "このマップデータを未クリア状態にしてよろしいですか？",
                                          "yesno"));
  EXPECT_EQ(ed.folder.Read("c.krm"), StageFile(kMap, {1, 1, 1, 1, 1, 1, 1, 1}, 2, 1, 1));

  ed.host.OpenAnswers.push_back(ed.folder.File("c.krm"));
  ed.host.Answers.push_back(plat::MsgResult::Yes);
  Button14Click(ed.e);
  EXPECT_EQ(ed.folder.Read("c.krm"), StageFile(kMap, {1, 1, 1, 1, 1, 1, 1, 1}, 2, 1, 0));
  EXPECT_EQ(ed.e.EditCleared, 0);
  EXPECT_EQ(ed.e.Label5, "このマップは未クリア状態です");

  ed.host.OpenAnswers.push_back(ed.folder.File("c.krm"));
  Button14Click(ed.e);
  EXPECT_EQ(ed.LastDialog(), Editor::Line("選択されたマップデータは現在、未クリア状態です。"));
  EXPECT_EQ(ed.folder.Read("c.krm"), StageFile(kMap, {1, 1, 1, 1, 1, 1, 1, 1}, 2, 1, 0));
}

TEST(EditorMarkReset, AnotherFileLeavesTheEditorsMark) {
  Editor ed;
  ed.folder.Write("c.krm", StageFile(kMap, {}, 0, 0, 1));
  LoadFile(ed, ed.folder.File("c.krm"));
  ed.folder.Write("d.krm", StageFile(kMap, {}, 0, 0, 1));
  ed.host.OpenAnswers.push_back(ed.folder.File("d.krm"));
  Button14Click(ed.e);
  EXPECT_EQ(ed.folder.Read("d.krm"), StageFile(kMap, {}, 0, 0, 0));
  EXPECT_EQ(ed.e.EditCleared, 1);
}

TEST(EditorFolderFile, RemembersTheFolderOfEachChosenFile) {
  Editor ed;
  EXPECT_EQ(FolderFile(ed), ed.folder.Path());
  EXPECT_EQ(ed.e.EditFolder, ed.folder.Path());
  fs::create_directories(ed.folder.File("maps"));
  ed.folder.Write("maps/m.krm", StageFile(kMap, {}, 0, 0, 0));
  LoadFile(ed, ed.folder.File("maps/m.krm"));
  EXPECT_EQ(FolderFile(ed), ed.folder.File("maps"));
  // The next dialog opens there, also after a restart.
  cmdLoadClick(ed.e);
  EXPECT_EQ(ed.host.FileDialogLog.back().initialDir, ed.folder.File("maps"));
  plat::NullHost host2;
  host2.SetProgramPath(ed.folder.File("plumetedit"));
  EditorState e2(host2);
  FormCreate(e2);
  EXPECT_EQ(e2.EditFolder, ed.folder.File("maps"));
  FormDestroy(e2);
}

TEST(EditorFolderFile, AFolderLongerThan150BytesIsNotStored) {
  Editor ed;
  const auto raw = ed.folder.Read(kFolderFileName);
  std::string deep = ed.folder.Path();
  while (deep.size() <= 150) deep += "/" + std::string(40, 'd');
  fs::create_directories(deep);
  const std::string rel = deep.substr(ed.folder.Path().size() + 1) + "/m.krm";
  ed.folder.Write(rel, StageFile(kMap, {}, 0, 0, 0));
  LoadFile(ed, deep + "/m.krm");
  EXPECT_EQ(ed.e.EditFileName, deep + "/m.krm");
  EXPECT_EQ(ed.folder.Read(kFolderFileName), raw);
  EXPECT_EQ(std::string(ed.e.EditFolderBuf.data()), ed.folder.Path());
  // This session's dialogs still open there.
  cmdLoadClick(ed.e);
  EXPECT_EQ(ed.host.FileDialogLog.back().initialDir, deep);
}

TEST(EditorFolderFile, ReadAtStartUpUpToTheFirstNul) {
  Editor ed(false);
  std::vector<uint8_t> buf(151, 'x');
  const std::string folder = "/some/where";
  std::copy(folder.begin(), folder.end(), buf.begin());
  buf[folder.size()] = 0;
  ed.folder.Write(kFolderFileName, buf);
  ed.Create();
  EXPECT_EQ(ed.e.EditFolder, folder);
  // Storing a shorter folder keeps the rest of the buffer as it was.
  ed.folder.Write("m.krm", StageFile(kMap, {}, 0, 0, 0));
  LoadFile(ed, ed.folder.File("m.krm"));
  auto after = ed.folder.Read(kFolderFileName);
  ASSERT_EQ(after.size(), 151u);
  EXPECT_EQ(after[150], 'x');
}

TEST(EditorLoad, FilesThatAreNotRegularAreRefusedWithoutBlocking) {
  for (const char* kind : {"fifo", "zero", "folder-file"}) {
    Editor ed(false);
    const std::string str = ed.folder.File(kFolderFileName);
    if (std::string(kind) == "folder-file") {
      ASSERT_EQ(::mkfifo(str.c_str(), 0600), 0);
    }
    ed.Create();  // reading a FIFO "pledit.str" would block here
    EXPECT_EQ(ed.e.EditFolder, ed.folder.Path()) << kind;
    DrawStartAndGoal(ed);
    const auto grid = ed.e.EditGrid;
    const std::string file = ed.folder.File("hostile.krm");
    if (std::string(kind) == "zero") {
      fs::create_symlink("/dev/zero", file);
    } else {
      ASSERT_EQ(::mkfifo(file.c_str(), 0600), 0);
    }
    LoadFile(ed, file);
    EXPECT_EQ(ed.e.EditGrid, grid) << kind;
    EXPECT_EQ(ed.e.EditFileName, "") << kind;
    ed.host.OpenAnswers.push_back(file);
    Button14Click(ed.e);
    EXPECT_TRUE(ed.host.DialogLog.empty()) << kind;
    EXPECT_FALSE(fs::is_regular_file(file)) << kind << ": left as it was";
  }
}
