#pragma once
// The OpenGL surface of a viewer window, drawn by the GL render. It takes no input (its
// viewer widget does) and exists only where the platform can show OpenGL widgets.
#include <QOpenGLWidget>
#include <memory>
#include <string>

class KIVViewer;
class KIVQtViewerRender;

class KIVQtGLView : public QOpenGLWidget {
 public:
  KIVQtGLView(KIVViewer* viewer, QWidget* parent);
  ~KIVQtGLView() override;
  /// 1 when the platform can show OpenGL widgets (not the offscreen and minimal ones).
  static int IsSupported();
  /// To call before the QApplication is made: the views of every window then share their
  /// GL objects, so that a scene shown in several viewer windows is uploaded once. Without
  /// it only the views of one window share.
  static void ShareBetweenWindows();
  void Detach();
  KIVQtViewerRender* GetRender() const { return mRender.get(); }
  const std::string& GetGLError() const { return mGLError; }
  int Capture(const std::string& path, int width, int height, std::string* error);

  /// Called by the render around frames that start outside a paint.
  void FrameStarting();
  void FrameDrawn();
  bool IsPainting() const { return mPainting; }
  /// Input arrived: a walk or flight that it started needs frames.
  void Wake();

 protected:
  void initializeGL() override;
  void resizeGL(int width, int height) override;
  void paintGL() override;

 private:
  void ReleaseRender();
  /// 1 while a viewpoint is animated (a walk, a flight, a timed move): its steps come with
  /// the frames, so frames follow one another until it ends.
  bool Animated() const;
  KIVViewer* mViewer;
  std::unique_ptr<KIVQtViewerRender> mRender;
  std::string mGLError;
  bool mPainting = false;
  bool mFresh = false;  // the framebuffer holds the model's latest frame
  QMetaObject::Connection mContextGone;
};
