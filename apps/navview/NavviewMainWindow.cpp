#include "apps/navview/NavviewViewerMenu.h"
#include "apps/navview/NavviewMainWindow.h"

#include <QActionGroup>
#include <QApplication>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFileDialog>
#include <QFileInfo>
#include <QLabel>
#include <QMenuBar>
#include <QMessageBox>
#include <QMimeData>
#include <QProgressBar>
#include <QStatusBar>
#include <QSurfaceFormat>
#include <QTimer>
#include <QToolBar>
#include <cstdio>
#include <cstdlib>

#include "apps/navview/NavviewScript.h"
#include "apps/navview/NavviewSession.h"
#include "host/dialog/KIVDlgWindow.h"
#include "host/gl/KIVGLRender.h"
#include "host/qt/KIVQtBusyCursor.h"
#include "host/qt/KIVQtGLView.h"
#include "host/qt/KIVQtPresenter.h"
#include "host/qt/KIVQtViewerRender.h"
#include "host/qt/KIVQtViewerWidget.h"
#include "host/visu/interact/KIVKeyEvent.h"
#include "host/visu/panels/KIVPrintCaptureDialog.h"
#include "viewer/NavViewerExtand.h"

namespace {
const char* const kFileFilter =
    "Model files (*.glb *.gltf *.obj *.stl *.ply *.fbx *.3mf *.dae *.off *.3ds *.wrl);;All files (*)";
}

NavviewMainWindow::NavviewMainWindow(KIVQtPresenter& presenter, const NavviewOptions& options)
    : mPresenter(presenter) {
  setWindowTitle("navview");
  setAcceptDrops(true);
  resize(options.width, options.height + 120);
  mToolBar = addToolBar("Navigation");
  mToolBar->setObjectName("NavviewToolBar");
  mToolBar->setMovable(true);
  mPresenter.SetWindowPlacement(
      [this](KIVDlgWindow* window, QWidget* widget) { return Place(widget, window->GetTag().CastToCharPtr()); });

  mSession = std::make_unique<NavviewSession>(options.width, options.height);
  mScript = std::make_unique<NavviewScript>(*mSession);
  mViewerMenu = std::make_unique<NavviewViewerMenu>(mSession->GetViewer(), [this](const std::string& command) { RunCommand(command); });
  QStringList errors;
  {
    KIVQtBusyCursor busy;
    mSession->GetScene().SetUpAxis(options.up);
    int loaded = 0;
    std::string error;
    for (const std::string& file : options.files) {
      std::string warning;
      if (mSession->LoadFile(file, &error, &warning)) {
        ++loaded;
      } else {
        std::fprintf(stderr, "navview: %s\n", error.c_str());
        errors << QString::fromStdString(error);
      }
      if (!warning.empty()) errors << QString::fromStdString(warning);
    }
    if (options.files.empty() || loaded == 0) mSession->LoadBuiltin(options.units);
    if (!options.files.empty() && loaded == 0) errors << "No file could be loaded: showing the built-in plant.";
  }
  mSession->Show();
  KIVDialog::FlushPresenter();
  mSession->GetViewer().Reframe(NavViewerExtand::kOfficialRoot);
  mSession->GetViewer().UserKey(KIVKeyEvent::KeyHome, 0);  // the oblique view of the whole scene

  // The capture dialog of the tool bar writes what this window's render draws.
  KIVPrintCaptureDialog::SetCaptureHandler(
      [this](KIVViewer&, const std::string& path, int width, int height, std::string* why) {
        KIVQtViewerWidget* view = GetViewerWidget();
        if (!view) {
          if (why) *why = "cannot write '" + path + "': the viewer has no window";
          return 0;
        }
        KIVQtBusyCursor busy;
        return view->Capture(path, width, height, why);
      });

  BuildMenus();
  mModels = new QLabel(this);
  mFrame = new QLabel(this);
  mProgress = new QProgressBar(this);
  mProgress->setMaximumWidth(200);
  mProgress->hide();
  statusBar()->addWidget(mModels);
  statusBar()->addPermanentWidget(mProgress);
  statusBar()->addPermanentWidget(mFrame);
  auto* timer = new QTimer(this);
  connect(timer, &QTimer::timeout, this, [this] { UpdateStatus(); });
  timer->start(500);
  UpdateStatus();
  if (KIVQtViewerWidget* view = GetViewerWidget()) view->setFocus();
  // Once the window is up, so that the notice stands in front of it.
  if (!errors.isEmpty()) QTimer::singleShot(0, this, [this, errors] { ShowLoadErrors(errors); });
}

NavviewMainWindow::~NavviewMainWindow() {
  KIVPrintCaptureDialog::SetCaptureHandler(nullptr);
  mPresenter.SetWindowPlacement(nullptr);
  mViewerMenu.reset();
  mScript.reset();
  mSession.reset();
}

void NavviewMainWindow::SetSurfaceFormat() {
  QSurfaceFormat format;
  format.setVersion(3, 3);
  format.setProfile(QSurfaceFormat::CoreProfile);
  format.setDepthBufferSize(24);
  // Multisampling costs a software renderer dearly: asked for, not assumed.
  if (const char* samples = std::getenv("NAVVIEW_SAMPLES")) format.setSamples(std::atoi(samples));
  QSurfaceFormat::setDefaultFormat(format);
  // Secondary viewer windows draw the scene from the main window's buffers.
  KIVQtGLView::ShareBetweenWindows();
}

bool NavviewMainWindow::Place(QWidget* widget, const char* tag) {
  const std::string name = tag ? tag : "";
  if (name == "NavviewWindow") {
    widget->setWindowFlags(Qt::Widget);
    setCentralWidget(widget);
    return true;
  }
  if (name == "ViewerToolsBarre") {
    widget->setWindowFlags(Qt::Widget);
    mToolBar->addWidget(widget);
    return true;
  }
  return false;
}

KIVQtViewerWidget* NavviewMainWindow::GetViewerWidget() const {
  return dynamic_cast<KIVQtViewerWidget*>(mPresenter.GetWidget(&mSession->GetViewer()));
}

void NavviewMainWindow::BuildMenus() {
  NavViewerExtand& viewer = mSession->GetViewer();
  QMenu* file = menuBar()->addMenu("&File");
  file->addAction("&Open...", QKeySequence::Open, this, [this] {
    const QStringList paths = QFileDialog::getOpenFileNames(this, "Open model files", QString(), kFileFilter);
    if (!paths.isEmpty()) OpenFiles(paths);
  });
  file->addAction("&Export VRML...", this, [&viewer] { viewer.SetExportToVRMLFile(1); });
  file->addAction("&Capture...", this, [&viewer] { viewer.SetCaptureEditorState(1); });
  file->addSeparator();
  file->addAction("&Quit", QKeySequence::Quit, this, [this] { close(); });

  QMenu* view = menuBar()->addMenu("&View");
  view->addAction("&Reframe", QKeySequence(Qt::Key_F), this, [this] { RunCommand("reframe"); });
  view->addAction("&Models", QKeySequence(Qt::CTRL | Qt::Key_L), this, [this] { RunCommand("list"); });
  view->addAction("&Properties", this, [this] { RunCommand("properties"); });
  // The scene's tree is the viewer's representation tree browser, from the menu and the tool bar.
  QAction* tree =
      view->addAction("Scene &Tree", QKeySequence(Qt::CTRL | Qt::Key_T), this, [this] { RunCommand("browser open"); });
  tree->setIconText("Tree");
  tree->setObjectName("SceneTreeAction");
  mToolBar->addAction(tree);
  for (const char* side : {"front", "back", "left", "right", "top", "bottom", "iso"}) {
    QString title = QString::fromUtf8(side);
    title[0] = title[0].toUpper();
    view->addAction(title + " view", this, [this, side] { RunCommand(std::string("view ") + side); });
  }
  view->addSeparator();
  auto* styles = new QActionGroup(this);
  const char* const names[3] = {"Examine", "Walk", "Fly"};
  for (int i = 0; i < 3; ++i) {
    QAction* style = view->addAction(names[i], this, [&viewer, i] { viewer.SetNavigationStyle(7 + i); });
    style->setCheckable(true);
    style->setChecked(viewer.SetNavigationStyle(-1) == 7 + i);
    styles->addAction(style);
  }
  connect(view, &QMenu::aboutToShow, this, [&viewer, styles] {
    const auto actions = styles->actions();
    for (int i = 0; i < actions.size(); ++i) actions[i]->setChecked(viewer.SetNavigationStyle(-1) == 7 + i);
  });
  view->addSeparator();
  QAction* ground = view->addAction("&Ground", this, [&viewer](bool on) { viewer.SetGroundState(on ? 1 : 0); });
  ground->setCheckable(true);
  QAction* axis = view->addAction("&Axis", this, [&viewer](bool on) { viewer.SetAxisState(on ? 1 : 0); });
  axis->setCheckable(true);
  QAction* gauge = view->addAction("&Performance gauge", this, [&viewer](bool on) { viewer.SetPerfoState(on ? 1 : 0); });
  gauge->setCheckable(true);
  connect(view, &QMenu::aboutToShow, this, [&viewer, ground, axis, gauge] {
    ground->setChecked(viewer.SetGroundState(-1));
    axis->setChecked(viewer.SetAxisState(-1));
    gauge->setChecked(viewer.SetPerfoState(-1));
  });

  // Moving models: the selected (last clicked) model gets a mover; undo and redo step
  // through its positions.
  QMenu* edit = menuBar()->addMenu("&Edit");
  QAction* move = edit->addAction("&Move", QKeySequence(Qt::CTRL | Qt::Key_M), this, [this] { RunCommand("move"); });
  move->setObjectName("NavviewMoveAction");
  edit->addAction("&Undo Move", QKeySequence(Qt::CTRL | Qt::Key_Z), this, [this] { RunCommand("undo"); });
  edit->addAction("&Redo Move", QKeySequence(Qt::CTRL | Qt::Key_Y), this, [this] { RunCommand("redo"); });
  edit->addAction("Mover &Palette", this, [this] { RunCommand("palette on"); });
  edit->addAction("Remove M&over", this, [this] { RunCommand("move off"); });
  mToolBar->addAction(move);

  // Cameras: the palette and the user camera are the viewer's own tools; a secondary
  // viewer follows the main view from one side.
  view->addSeparator();
  view->addAction("Viewpoint &Palette", this, [&viewer] { viewer.SetNavigationPaletteState(1); });
  view->addAction("User &Camera", this, [&viewer] { viewer.SetViewpointExternalState(1); });
  QMenu* open = view->addMenu("Open &Viewer");
  for (const char* side : {"front", "back", "left", "right", "top", "bottom", "user"}) {
    QString title = QString::fromUtf8(side);
    title[0] = title[0].toUpper();
    open->addAction(title, this, [this, side] { RunCommand(std::string("viewer open ") + side); });
  }

  QMenu* help = menuBar()->addMenu("&Help");
  help->addAction("&Keys and mouse", this, [this] {
    QMessageBox::information(this, "navview",
                             "Left drag: navigate in the current style (examine, walk, fly).\n"
                             "Wheel: zoom. Right click: the viewer's menu.\n"
                             "F: reframe. Home: oblique view of the whole scene. Escape: leave a special navigation.\n"
                             "Click a model to select it; Move (Ctrl+M) puts a mover on it: drag its axes,\n"
                             "corner triangles or end points. Ctrl+Z / Ctrl+Y: undo, redo. Escape: remove the mover.\n"
                             "Drop model files on the window to add them to the scene.");
  });
}

void NavviewMainWindow::RunCommand(const std::string& command) {
  bool quit = false, failed = false;
  const std::string result = mScript->Execute(command, quit, failed);
  if (failed) statusBar()->showMessage(QString::fromStdString(result), 5000);
}

int NavviewMainWindow::OpenFiles(const QStringList& paths) {
  KIVQtBusyCursor busy;
  mProgress->setRange(0, static_cast<int>(paths.size()));
  mProgress->setValue(0);
  mProgress->show();
  QStringList errors;
  int loaded = 0;
  for (const QString& path : paths) {
    statusBar()->showMessage("Loading " + QFileInfo(path).fileName() + "...");
    QApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
    std::string error, warning;
    if (mSession->LoadFile(path.toStdString(), &error, &warning))
      ++loaded;
    else
      errors << QString::fromStdString(error);
    if (!warning.empty()) errors << QString::fromStdString(warning);
    mProgress->setValue(mProgress->value() + 1);
  }
  mProgress->hide();
  statusBar()->clearMessage();
  if (loaded) mSession->GetViewer().Reframe(NavViewerExtand::kOfficialRoot);
  if (!errors.isEmpty()) ShowLoadErrors(errors);
  UpdateStatus();
  return loaded;
}

void NavviewMainWindow::ShowLoadErrors(const QStringList& errors) {
  // Not modal: the scene stays usable while the message is read.
  auto* box = new QMessageBox(QMessageBox::Warning, "navview", errors.join("\n"), QMessageBox::Ok, this);
  box->setObjectName("NavviewLoadErrors");
  box->setAttribute(Qt::WA_DeleteOnClose);
  box->setModal(false);
  box->show();
}

QString NavviewMainWindow::GetStatusText() const {
  const NavviewScene& scene = mSession->GetScene();
  // Counting walks the scene: once per change of the model count is enough.
  if (scene.GetModelCount() != mCountedModels) {
    mCountedModels = scene.GetModelCount();
    mTriangles = scene.CountTriangles();
  }
  return QString("%1 models, %2 triangles").arg(mCountedModels).arg(mTriangles);
}

void NavviewMainWindow::UpdateStatus() {
  if (!mModels) return;
  mModels->setText(GetStatusText());
  float durations[3] = {0, 0, 0};
  mSession->GetViewer().GetLastUpdateDuration(durations);
  QString frame = QString("frame %1 ms").arg(durations[0] * 1000.0, 0, 'f', 1);
  if (KIVQtViewerWidget* view = GetViewerWidget())
    if (KIVQtViewerRender* render = view->GetRender()) {
      const KIVGLRender::FrameStats& stats = render->GetLastFrameStats();
      frame += QString(", %1 drawn").arg(stats.triangles);
      if (stats.gpuSeconds >= 0) frame += QString(", GPU %1 ms").arg(stats.gpuSeconds * 1000.0, 0, 'f', 1);
    }
  mFrame->setText(frame);
}

void NavviewMainWindow::dragEnterEvent(QDragEnterEvent* event) {
  if (event->mimeData()->hasUrls()) event->acceptProposedAction();
}

void NavviewMainWindow::dropEvent(QDropEvent* event) {
  QStringList paths;
  for (const QUrl& url : event->mimeData()->urls())
    if (url.isLocalFile()) paths << url.toLocalFile();
  if (paths.isEmpty()) return;
  event->acceptProposedAction();
  // After the drop returns, so that the source application is not kept waiting.
  QTimer::singleShot(0, this, [this, paths] { OpenFiles(paths); });
}
