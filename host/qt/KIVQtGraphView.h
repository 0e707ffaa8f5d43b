#pragma once
// The widget of a graph viewer: paints the nodes and arcs in view (found through the
// graph's spatial index, so a repaint costs what is on screen, not the graph's size),
// pans with a left or middle drag, zooms with the wheel about the pointer, reframes with
// F or Home, and turns clicks, Shift/Control clicks, double clicks and right clicks into
// the viewer's User… operations. It installs the font's text measure in the graph.
#include <QWidget>
#include <functional>
#include <memory>

class KIVGraphViewer;
class KIVGraphNode;
class QPainter;

class KIVQtGraphView : public QWidget {
 public:
  explicit KIVQtGraphView(KIVGraphViewer* viewer, QWidget* parent = nullptr);
  ~KIVQtGraphView() override;
  KIVGraphViewer* GetViewer() const;
  /// Called after each input event handed to the viewer.
  void SetInputHook(std::function<void()> hook) { mInputHook = std::move(hook); }
  /// Nodes and arcs drawn by the last paint.
  int GetDrawnNodes() const { return mDrawnNodes; }
  int GetDrawnArcs() const { return mDrawnArcs; }
  /// The colour shown for a palette index of nodes and arcs.
  static QColor PaletteColor(int index);
  /// Paints into any device (the widget, or an image for tests and benchmarks).
  void PaintOn(QPainter& painter, const QRect& area);

  QSize sizeHint() const override { return {500, 300}; }
  QSize minimumSizeHint() const override { return {64, 48}; }

 protected:
  void paintEvent(QPaintEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;
  void mouseDoubleClickEvent(QMouseEvent* event) override;
  void wheelEvent(QWheelEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;

 private:
  void AfterInput();
  static int Modifiers(const QMouseEvent* event);

  KIVGraphViewer* mViewer;
  std::weak_ptr<int> mLife;
  std::function<void()> mInputHook;
  QPoint mPress, mLast;
  Qt::MouseButton mButton = Qt::NoButton;
  bool mDragging = false;
  int mWheelRemainder = 0;
  int mDrawnNodes = 0, mDrawnArcs = 0;
};
