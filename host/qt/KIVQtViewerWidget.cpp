#include "host/qt/KIVQtViewerWidget.h"

#include <QKeyEvent>
#include <QMouseEvent>
#include <QVBoxLayout>
#include <QWheelEvent>
#include <cmath>

#include "host/qt/KIVQtGLView.h"
#include "host/qt/KIVQtInput.h"
#include "host/qt/KIVQtViewerRender.h"
#include "host/visu/view/KIVViewer.h"

KIVQtViewerWidget::KIVQtViewerWidget(KIVViewer* viewer, QWidget* parent) : QWidget(parent), mViewer(viewer) {
  setFocusPolicy(Qt::StrongFocus);
  setMouseTracking(true);  // preselection follows a pointer moving without buttons
  setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Expanding);
  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(0, 0, 0, 0);
  if (KIVQtGLView::IsSupported()) {
    mView = new KIVQtGLView(viewer, this);
    layout->addWidget(mView);
  }
}

KIVQtViewerWidget::~KIVQtViewerWidget() { Detach(); }

void KIVQtViewerWidget::Detach() {
  if (mView) mView->Detach();
  mViewer = nullptr;
}

KIVQtViewerRender* KIVQtViewerWidget::GetRender() const { return mView ? mView->GetRender() : nullptr; }

std::string KIVQtViewerWidget::GetGLError() const {
  return mView ? mView->GetGLError() : std::string("this platform shows no OpenGL");
}

QImage KIVQtViewerWidget::GrabFrame() { return mView ? mView->grabFramebuffer() : QImage(); }

int KIVQtViewerWidget::Capture(const std::string& path, int width, int height, std::string* error) {
  if (!mView) {
    if (error) *error = "cannot write '" + path + "': this platform shows no OpenGL";
    return 0;
  }
  return mView->Capture(path, width, height, error);
}

void KIVQtViewerWidget::ReportSize() {
  if (!mViewer) return;
  const qreal ratio = devicePixelRatioF();
  const int w = std::max(1, static_cast<int>(std::lround(width() * ratio)));
  const int h = std::max(1, static_cast<int>(std::lround(height() * ratio)));
  int vw = 0, vh = 0;
  mViewer->GetGraphicSize(&vw, &vh);
  if (vw != w || vh != h) mViewer->UserResize(w, h);
}

void KIVQtViewerWidget::resizeEvent(QResizeEvent* event) {
  QWidget::resizeEvent(event);
  ReportSize();
}

void KIVQtViewerWidget::DevicePosition(const QPointF& position, int& x, int& y) const {
  const qreal ratio = devicePixelRatioF();
  x = static_cast<int>(std::floor(position.x() * ratio));
  y = static_cast<int>(std::floor(position.y() * ratio));
}

void KIVQtViewerWidget::AfterInput() {
  if (mView) mView->Wake();
  if (mInputHook) mInputHook();
}

void KIVQtViewerWidget::Mouse(QMouseEvent* event, void (KIVViewer::*operation)(int, int, int, int)) {
  if (!mViewer) return;
  int x, y;
  DevicePosition(event->position(), x, y);
  // A press or release carries the button that changed, which buttons() leaves out on release.
  (mViewer->*operation)(x, y, KIVQtInput::Buttons(event->buttons() | event->button()),
                        KIVQtInput::Modifiers(event->modifiers()));
  AfterInput();
}

void KIVQtViewerWidget::mousePressEvent(QMouseEvent* event) { Mouse(event, &KIVViewer::UserMousePress); }

void KIVQtViewerWidget::mouseMoveEvent(QMouseEvent* event) { Mouse(event, &KIVViewer::UserMouseMove); }

void KIVQtViewerWidget::mouseReleaseEvent(QMouseEvent* event) { Mouse(event, &KIVViewer::UserMouseRelease); }

void KIVQtViewerWidget::mouseDoubleClickEvent(QMouseEvent* event) { Mouse(event, &KIVViewer::UserMouseDoubleClick); }

void KIVQtViewerWidget::wheelEvent(QWheelEvent* event) {
  if (!mViewer) return;
  // Touchpads send small deltas: notches are whole multiples of 120.
  mWheelRemainder += event->angleDelta().y();
  const int steps = mWheelRemainder / 120;
  mWheelRemainder -= steps * 120;
  if (steps == 0) return;
  int x, y;
  DevicePosition(event->position(), x, y);
  mViewer->UserMouseWheel(x, y, steps, KIVQtInput::Modifiers(event->modifiers()));
  AfterInput();
}

void KIVQtViewerWidget::keyPressEvent(QKeyEvent* event) {
  const int key = KIVQtInput::Key(*event);
  if (!mViewer || !key) {
    QWidget::keyPressEvent(event);
    return;
  }
  mViewer->UserKey(key, KIVQtInput::Modifiers(event->modifiers()));
  AfterInput();
}
