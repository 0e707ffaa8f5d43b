#pragma once
// navview's main window: the viewer in the middle, its tool bar above, a File menu (open
// model files, export VRML, capture), a View menu (reframe, standard views, styles),
// model files dropped from the desktop, and a status bar with the scene's models and
// triangles, the last frame's time, and a progress bar while files load.
#include <QMainWindow>
#include <QStringList>
#include <memory>

#include "apps/navview/NavviewOptions.h"

class QLabel;
class QProgressBar;
class QToolBar;
class KIVQtPresenter;
class KIVQtViewerWidget;
class NavviewSession;
class NavviewScript;
class NavviewViewerMenu;

class NavviewMainWindow : public QMainWindow {
 public:
  /// Builds the session (built-in plant when no file is given, or none could be loaded)
  /// inside this window; files that fail are named in a notice once the window shows.
  NavviewMainWindow(KIVQtPresenter& presenter, const NavviewOptions& options);
  ~NavviewMainWindow() override;
  /// The OpenGL the renderer needs (3.3 core, depth; NAVVIEW_SAMPLES=N for multisampling):
  /// before QApplication.
  static void SetSurfaceFormat();

  NavviewSession& GetSession() { return *mSession; }
  NavviewScript& GetScript() { return *mScript; }
  KIVQtViewerWidget* GetViewerWidget() const;
  /// Loads model files (the progress bar counts them) and reframes; each failure is
  /// reported in a notice and loses nothing. Returns the files loaded.
  int OpenFiles(const QStringList& paths);
  /// What the status bar shows now.
  QString GetStatusText() const;
  void UpdateStatus();

 protected:
  void dragEnterEvent(QDragEnterEvent* event) override;
  void dropEvent(QDropEvent* event) override;

 private:
  bool Place(QWidget* widget, const char* tag);
  void BuildMenus();
  void RunCommand(const std::string& command);
  /// The notice of files that could not be loaded, from the command line or File › Open.
  void ShowLoadErrors(const QStringList& errors);

  KIVQtPresenter& mPresenter;
  std::unique_ptr<NavviewSession> mSession;
  std::unique_ptr<NavviewScript> mScript;  // the same commands as --script, for the View menu
  std::unique_ptr<NavviewViewerMenu> mViewerMenu;  // a right click on the empty view
  QToolBar* mToolBar = nullptr;
  QLabel* mModels = nullptr;
  QLabel* mFrame = nullptr;
  QProgressBar* mProgress = nullptr;
  mutable int mCountedModels = -1;
  mutable long long mTriangles = 0;
};
