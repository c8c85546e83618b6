// The Qt form, offscreen: its layout, and mouse and button events reaching the handlers.
#include <gtest/gtest.h>

#include <QApplication>
#include <QLabel>
#include <QPushButton>
#include <QTest>

#include "editor/ui/editor_window.h"
#include "tests/editor/editor_fixture.h"

using edtest::Editor;

namespace {

QApplication& App() {
  static int argc = 1;
  static char name[] = "editor_window_test";
  static char* argv[] = {name, nullptr};
  static QApplication* app = new QApplication(argc, argv);
  return *app;
}

// The application comes first: the members below need it.
struct AppFirst {
  AppFirst() { App(); }
};

struct FormFixture : AppFirst {
  Editor ed;
  editorui::EditorWindow form{ed.e};
};

}  // namespace

TEST(EditorWindowLayout, ButtonsSitAtTheirPlacesWithTheirCaptions) {
  FormFixture f;
  struct Case {
    const char* name;
    const char* caption;
    int x, y, w, h;
  } cases[] = {
      {"cmdLoad", "ロード", 664, 8, 75, 25},           {"cmdSave", "セーブ", 664, 40, 75, 25},
      {"Button1", "背景", 664, 80, 75, 25},            {"Button9", "Pの向き", 664, 336, 75, 25},
      {"Button10", "BGM", 664, 384, 75, 25},           {"Button11", "⇒", 664, 460, 25, 20},
      {"Button12", "■", 700, 460, 25, 20},             {"Button13", "MAP CLEAR", 639, 501, 97, 20},
      {"Button14", "クリアフラグを下ろす", 611, 532, 125, 20},
  };
  for (const Case& c : cases) {
    QPushButton* b = f.form.Button(c.name);
    ASSERT_TRUE(b) << c.name;
    EXPECT_EQ(b->text().toStdString(), c.caption);
    EXPECT_EQ(b->geometry(), QRect(c.x, c.y, c.w, c.h)) << c.name;
  }
  EXPECT_EQ(f.form.size(), QSize(742, 563));
  EXPECT_EQ(f.form.Display()->geometry(), QRect(1, 0, 640, 480));
  EXPECT_EQ(f.form.Parts()->geometry(), QRect(8, 488, 577, 33));
  EXPECT_EQ(f.form.font().pixelSize(), 12);
  EXPECT_EQ(f.form.font().family().toStdString(), "IPAPGothic");
}

TEST(EditorWindowEvents, MouseOnTheViewAndThePaletteEditsTheMap) {
  FormFixture f;
  f.form.show();
  // Palette: the balloon slot.
  QTest::mouseMove(f.form.Parts(), QPoint(32 * ccBalloon + 10, 10));
  QTest::mouseClick(f.form.Parts(), Qt::LeftButton, {}, QPoint(32 * ccBalloon + 10, 10));
  EXPECT_EQ(f.ed.e.SelectedPart, ccBalloon);
  // A click on the view puts it down; the label follows.
  QTest::mouseClick(f.form.Display(), Qt::LeftButton, {}, QPoint(32 * 3 + 5, 32 * 4 + 5));
  EXPECT_EQ(f.ed.Cell(3, 4), ccBalloon);
  EXPECT_EQ(f.form.findChild<QLabel*>("Label3")->text().toStdString(), "バルーン1/20");
  // A double click there leaves it empty: the events as the window system sends them, the
  // second press followed at once by the double click.
  const QPoint at(32 * 3 + 5, 32 * 4 + 5);
  QTest::mousePress(f.form.Display(), Qt::LeftButton, {}, at);
  QTest::mouseRelease(f.form.Display(), Qt::LeftButton, {}, at);
  QTest::mousePress(f.form.Display(), Qt::LeftButton, {}, at);
  QTest::mouseDClick(f.form.Display(), Qt::LeftButton, {}, at);
  EXPECT_EQ(f.ed.e.Dragging, 0);
  QTest::mouseRelease(f.form.Display(), Qt::LeftButton, {}, at);
  EXPECT_EQ(f.ed.Cell(3, 4), ccEmpty);
  EXPECT_EQ(f.ed.e.BalloonCount, 0);
  EXPECT_EQ(f.ed.e.DoubleClicked, 0);
  // A right click over the border picks the nearest interior cell's code: empty.
  QTest::mouseClick(f.form.Display(), Qt::RightButton, {}, QPoint(2, 2));
  EXPECT_EQ(f.ed.e.SelectedPart, ccEmpty);
}

TEST(EditorWindowEvents, ButtonsRunTheirHandlers) {
  FormFixture f;
  f.form.show();
  f.form.Button("Button10")->click();
  EXPECT_EQ(f.ed.e.EditTheme, 1);
  EXPECT_EQ(f.form.findChild<QLabel*>("Label2")->text().toStdString(), " 　   ミスト");
  f.ed.host.Answers.push_back(plat::MsgResult::No);
  f.form.Button("Button13")->click();
  EXPECT_EQ(f.ed.LastDialog(), Editor::Line("マップをクリアしてよろしいですか？", "yesno"));
  f.form.Button("cmdSave")->click();
  EXPECT_EQ(f.ed.LastDialog(), Editor::Line("プレイヤーを置かないとセーブ出来ません。"));
}
