// The editor's main form: widgets at the places of the form resource, events to the handlers.
#include "editor/ui/editor_window.h"

#include <QCloseEvent>
#include <QFrame>
#include <QImage>
#include <QLabel>
#include <QMouseEvent>
#include <QPaintEvent>
#include <QPainter>
#include <QPushButton>
#include <QTimer>

#include <vector>

#include "editor/bgm_preview.h"
#include "editor/editor_files.h"
#include "editor/editor_form.h"
#include "editor/map_edit.h"
#include "platform/qt/qt_host.h"
#include "platform/qtgfx/qt_gfx.h"

namespace editorui {

namespace {
QString Q(const std::string& s) { return QString::fromStdString(plat::qthost::LineBreaks(s)); }
}  // namespace

// ---- ImageView -----------------------------------------------------------------------------

ImageView::ImageView(QWidget* parent, const plat::Bitmap& bmp, PictureDamage& damage)
    : QWidget(parent), bmp_(bmp), damage_(damage) {
  setMouseTracking(true);
  setAttribute(Qt::WA_OpaquePaintEvent);
}

void ImageView::Refresh() {
  if (damage_.Empty()) return;
  if (damage_.all || shown_.size() != QSize(bmp_.width, bmp_.height)) {
    update();
    return;
  }
  for (const PictureDamage::Rect& r : damage_.rects) update(r.x, r.y, r.w, r.h);
}

void ImageView::CatchUp() {
  const QRect whole(0, 0, bmp_.width, bmp_.height);
  std::vector<QRect> rects;
  if (damage_.all || shown_.size() != whole.size()) {
    // Opaque pixels in the window's own format, so painting them is a plain copy.
    shown_ = QImage(whole.size(), QImage::Format_RGB32);
    rects.push_back(whole);
  } else {
    for (const PictureDamage::Rect& r : damage_.rects) rects.push_back(QRect(r.x, r.y, r.w, r.h) & whole);
  }
  damage_.Clear();
  // Pixels 0x00BBGGRR become 0xFFRRGGBB: here, on the GUI thread, only where they changed.
  for (const QRect& r : rects)
    for (int y = r.top(); y <= r.bottom(); y++) {
      const uint32_t* from = bmp_.Row(y) + r.left();
      auto* to = reinterpret_cast<uint32_t*>(shown_.scanLine(y)) + r.left();
      for (int x = 0; x < r.width(); x++) {
        const uint32_t v = from[x];
        to[x] = 0xFF000000u | (v & 0xFF) << 16 | (v & 0xFF00) | (v >> 16 & 0xFF);
      }
    }
}

void ImageView::paintEvent(QPaintEvent* ev) {
  if (bmp_.Empty()) return;
  CatchUp();
  QPainter p(this);
  for (const QRect& r : ev->region()) p.drawImage(r.topLeft(), shown_, r);
}

void ImageView::MoveTo(int x, int y) {
  lastX_ = x;
  lastY_ = y;
  if (OnMove) OnMove(x, y);
}

void ImageView::FlushPress() {
  if (!pressPending_) return;
  pressPending_ = false;
  if (OnDown) OnDown(pendingButton_, lastX_, lastY_);
}

void ImageView::mouseMoveEvent(QMouseEvent* ev) {
  FlushPress();
  const QPoint p = ev->position().toPoint();
  MoveTo(p.x(), p.y());
}

void ImageView::mousePressEvent(QMouseEvent* ev) {
  FlushPress();
  const QPoint p = ev->position().toPoint();
  // The window system reports the pointer's arrival before a press; make sure we have it.
  if (p.x() != lastX_ || p.y() != lastY_) MoveTo(p.x(), p.y());
  pressPending_ = true;
  pendingButton_ = ev->button();
  QTimer::singleShot(0, this, [this] { FlushPress(); });
}

void ImageView::mouseReleaseEvent(QMouseEvent* ev) {
  FlushPress();
  const QPoint p = ev->position().toPoint();
  if (OnUp) OnUp(ev->button(), p.x(), p.y(), rect().contains(p));
}

void ImageView::mouseDoubleClickEvent(QMouseEvent* ev) {
  pressPending_ = false;  // this press is the double click
  const QPoint p = ev->position().toPoint();
  if (p.x() != lastX_ || p.y() != lastY_) MoveTo(p.x(), p.y());
  if (OnDoubleClick) OnDoubleClick(ev->button(), p.x(), p.y());
}

// ---- EditorWindow --------------------------------------------------------------------------

EditorWindow::EditorWindow(EditorState& e) : e_(e) {
  setWindowTitle(QString::fromUtf8(kEditorTitle));
  setFixedSize(kEditorClientWidth, kEditorClientHeight);
  setWindowFlags(Qt::Window | Qt::MSWindowsFixedSizeDialogHint | Qt::WindowMinimizeButtonHint |
                 Qt::WindowCloseButtonHint);
  QFont font(QString::fromStdString(plat::qtgfx::FaceFor(kEditorFont)));
  font.setPixelSize(12);
  setFont(font);

  // The black frames round the view and the palette, and the lime frame of the selected part.
  AddShape(0, 0, 642, 481, true, Qt::black);
  AddShape(6, 486, 581, 37, true, Qt::black);
  AddShape(598, 486, 37, 37, false, QColor(0, 255, 0));

  display_ = new ImageView(this, e_.picDisplay, e_.DisplayDamage);
  display_->setObjectName("picDisplay");
  display_->setGeometry(1, 0, 640, 480);
  parts_ = new ImageView(this, e_.picParts, e_.PartsDamage);
  parts_->setObjectName("picParts");
  parts_->setGeometry(8, 488, 577, 33);
  selected_ = new ImageView(this, e_.picSelectedParts, e_.SelectedPartsDamage);
  selected_->setObjectName("picSelectedParts");
  selected_->setGeometry(600, 488, 33, 33);

  display_->OnMove = [this](int x, int y) {
    picDisplayMouseMove(e_, x, y);
    Sync();
  };
  display_->OnDown = [this](Qt::MouseButton b, int, int) {
    picDisplayMouseDown(e_, b == Qt::LeftButton    ? MouseButton::Left
                            : b == Qt::RightButton ? MouseButton::Right
                                                   : MouseButton::Middle);
    Sync();
  };
  display_->OnUp = [this](Qt::MouseButton, int, int, bool) {
    picDisplayMouseUp(e_);
    Sync();
  };
  // The second press of a double click arrives as the double click, then as a press.
  display_->OnDoubleClick = [this](Qt::MouseButton b, int, int) {
    if (b == Qt::LeftButton) {
      picDisplayDblClick(e_);
      picDisplayMouseDown(e_, MouseButton::Left);
    } else {
      picDisplayMouseDown(e_, b == Qt::RightButton ? MouseButton::Right : MouseButton::Middle);
    }
    Sync();
  };
  parts_->OnMove = [this](int x, int) {
    picPartsMouseMove(e_, x);
    Sync();
  };
  parts_->OnUp = [this](Qt::MouseButton b, int, int, bool inside) {
    if (b != Qt::LeftButton || !inside) return;
    picPartsClick(e_);
    Sync();
  };

  AddButton("cmdLoad", "ロード", 664, 8, 75, 25, cmdLoadClick);
  AddButton("cmdSave", "セーブ", 664, 40, 75, 25, cmdSaveClick);
  const char* captions[9] = {"背景", "ブロック", "梯子", "氷", "禁止", "キー", "バルーン", "バリア", "Pの向き"};
  void (*selectors[9])(EditorState&) = {Button1Click, Button2Click, Button3Click, Button4Click, Button5Click,
                                        Button6Click, Button7Click, Button8Click, Button9Click};
  static const char* const kNames[9] = {"Button1", "Button2", "Button3", "Button4", "Button5",
                                        "Button6", "Button7", "Button8", "Button9"};
  for (int i = 0; i < 9; i++) AddButton(kNames[i], captions[i], 664, 80 + 32 * i, 75, 25, selectors[i]);
  AddButton("Button10", "BGM", 664, 384, 75, 25, Button10Click);
  AddButton("Button11", "⇒", 664, 460, 25, 20, Button11Click);
  AddButton("Button12", "■", 700, 460, 25, 20, Button12Click);
  AddButton("Button13", "MAP CLEAR", 639, 501, 97, 20, Button13Click);
  AddButton("Button14", "クリアフラグを下ろす", 611, 532, 125, 20, Button14Click);

  AddLabel("Label1", 680, 416)->setText("BGM");
  label2_ = AddLabel("Label2", 656, 432);
  label3_ = AddLabel("Label3", 32, 536);
  label4_ = AddLabel("Label4", 176, 536);
  label5_ = AddLabel("Label5", 452, 535);

  e_.RepaintForm = [this] { repaint(); };
}

QPushButton* EditorWindow::AddButton(const char* name, const char* caption, int x, int y, int w, int h,
                                     std::function<void(EditorState&)> handler) {
  auto* b = new QPushButton(QString::fromUtf8(caption), this);
  b->setObjectName(name);
  b->setGeometry(x, y, w, h);
  b->setFocusPolicy(Qt::TabFocus);
  connect(b, &QPushButton::clicked, this, [this, handler] {
    handler(e_);
    Sync();
  });
  return b;
}

QLabel* EditorWindow::AddLabel(const char* name, int x, int y) {
  auto* l = new QLabel(this);
  l->setObjectName(name);
  l->move(x, y);
  l->setAlignment(Qt::AlignLeft | Qt::AlignTop);
  return l;
}

void EditorWindow::AddShape(int x, int y, int w, int h, bool filled, const QColor& colour) {
  auto* f = new QFrame(this);
  f->setGeometry(x, y, w, h);
  const QString c = colour.name();
  f->setStyleSheet(filled ? QString("background-color: %1;").arg(c)
                          : QString("border: 1px solid %1; background: transparent;").arg(c));
}

QPushButton* EditorWindow::Button(const char* name) const { return findChild<QPushButton*>(name); }

void EditorWindow::Sync() {
  const std::pair<QLabel*, const std::string*> labels[] = {
      {label2_, &e_.Label2}, {label3_, &e_.Label3}, {label4_, &e_.Label4}, {label5_, &e_.Label5}};
  for (auto& [l, s] : labels) {
    const QString t = Q(*s);
    if (l->text() != t) {
      l->setText(t);
      l->adjustSize();
    }
  }
  display_->Refresh();
  parts_->Refresh();
  selected_->Refresh();
}

void EditorWindow::closeEvent(QCloseEvent* ev) {
  if (FormCloseQuery(e_)) ev->accept();
  else ev->ignore();
}

}  // namespace editorui
