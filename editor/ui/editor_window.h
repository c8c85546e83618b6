// The editor's main form on Qt Widgets, laid out as the form resource: the map view, the
// palette, the selected part, the buttons, labels and frames. It only forwards events to the
// editor's handlers and shows the pictures and texts they leave in the state.
#pragma once
#include <QImage>
#include <QWidget>

#include <functional>

#include "editor/editor_state.h"

class QLabel;
class QPushButton;

namespace editorui {

class ImageView;

class EditorWindow : public QWidget {
 public:
  explicit EditorWindow(EditorState& e);

  // Shows the pictures and label texts of the state.
  void Sync();
  QPushButton* Button(const char* name) const;
  ImageView* Display() const { return display_; }
  ImageView* Parts() const { return parts_; }

 protected:
  void closeEvent(QCloseEvent* ev) override;

 private:
  QPushButton* AddButton(const char* name, const char* caption, int x, int y, int w, int h,
                         std::function<void(EditorState&)> handler);
  QLabel* AddLabel(const char* name, int x, int y);
  void AddShape(int x, int y, int w, int h, bool filled, const QColor& colour);

  EditorState& e_;
  ImageView* display_ = nullptr;
  ImageView* parts_ = nullptr;
  ImageView* selected_ = nullptr;
  QLabel *label2_ = nullptr, *label3_ = nullptr, *label4_ = nullptr, *label5_ = nullptr;
};

// A picture of the state shown at its place, with its mouse events forwarded. It shows a copy
// in the window's pixel format, brought up to date where the picture's damage says.
class ImageView : public QWidget {
 public:
  ImageView(QWidget* parent, const plat::Bitmap& bmp, PictureDamage& damage);

  // Schedules a repaint of the damaged rectangles only, if any.
  void Refresh();

  std::function<void(int x, int y)> OnMove;
  std::function<void(Qt::MouseButton b, int x, int y)> OnDown;
  std::function<void(Qt::MouseButton b, int x, int y, bool inside)> OnUp;
  std::function<void(Qt::MouseButton b, int x, int y)> OnDoubleClick;

 protected:
  void paintEvent(QPaintEvent*) override;
  void mouseMoveEvent(QMouseEvent* ev) override;
  void mousePressEvent(QMouseEvent* ev) override;
  void mouseReleaseEvent(QMouseEvent* ev) override;
  void mouseDoubleClickEvent(QMouseEvent* ev) override;

 private:
  void MoveTo(int x, int y);
  void FlushPress();
  // Converts the damaged pixels into the copy (all of them the first time) and clears the damage.
  void CatchUp();

  // The second press of a double click comes just before the double click itself; the form's
  // handlers expect only the double click, so a press waits until the next event decides.
  bool pressPending_ = false;
  Qt::MouseButton pendingButton_ = Qt::NoButton;

  const plat::Bitmap& bmp_;
  PictureDamage& damage_;
  QImage shown_;
  int lastX_ = -100000, lastY_ = -100000;
};

}  // namespace editorui
