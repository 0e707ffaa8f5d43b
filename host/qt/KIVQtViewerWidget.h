#pragma once
// The window of a viewer: its mouse, wheel and keys become the viewer's User… operations,
// and its size is the viewer's graphic size in device pixels (so high-DPI screens get full
// resolution). It holds the OpenGL surface that draws the viewer where the platform can
// show one; elsewhere (the offscreen platform of tests) the viewer keeps its base render
// and still receives input.
#include <QImage>
#include <QWidget>
#include <functional>
#include <string>

class KIVViewer;
class KIVQtGLView;
class KIVQtViewerRender;

class KIVQtViewerWidget : public QWidget {
 public:
  explicit KIVQtViewerWidget(KIVViewer* viewer, QWidget* parent = nullptr);
  ~KIVQtViewerWidget() override;
  KIVViewer* GetViewer() const { return mViewer; }
  /// The viewer object is going away: input and drawing stop reaching it.
  void Detach();
  /// The OpenGL surface, null where the platform has none.
  KIVQtGLView* GetGLView() const { return mView; }
  /// The render, once the surface's OpenGL is up; null before or without OpenGL.
  KIVQtViewerRender* GetRender() const;
  /// Why there is no render (empty while there is one or before the first paint).
  std::string GetGLError() const;
  /// The last frame as shown; null without OpenGL.
  QImage GrabFrame();
  /// Draws the viewer at width × height (its size when 0) into a PNG. 0 with a reason.
  int Capture(const std::string& path, int width, int height, std::string* error);
  /// Called after each input event handed to the viewer (the host schedules its deferred
  /// cycle there).
  void SetInputHook(std::function<void()> hook) { mInputHook = std::move(hook); }

  QSize sizeHint() const override { return {800, 600}; }
  QSize minimumSizeHint() const override { return {64, 48}; }

 protected:
  void mousePressEvent(QMouseEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;
  void mouseDoubleClickEvent(QMouseEvent* event) override;
  void wheelEvent(QWheelEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;

 private:
  /// Hands a mouse event to one of the viewer's User… operations.
  void Mouse(QMouseEvent* event, void (KIVViewer::*operation)(int, int, int, int));
  void AfterInput();
  void DevicePosition(const QPointF& position, int& x, int& y) const;
  void ReportSize();

  KIVViewer* mViewer;
  KIVQtGLView* mView = nullptr;  // a child widget
  std::function<void()> mInputHook;
  int mWheelRemainder = 0;
};
