#include "host/qt/KIVQtGLView.h"

#include <QGuiApplication>
#include <QOpenGLContext>
#include <unordered_map>

#include "host/gl/KIVGLCapture.h"
#include "host/gl/KIVGLShareGroup.h"
#include "host/qt/KIVQtViewerRender.h"
#include "host/visu/view/KIVViewer.h"
#include "host/visu/view/KIVViewpoint.h"

KIVQtGLView::KIVQtGLView(KIVViewer* viewer, QWidget* parent) : QOpenGLWidget(parent), mViewer(viewer) {
  setAttribute(Qt::WA_TransparentForMouseEvents);  // input is the viewer widget's
  setFocusPolicy(Qt::NoFocus);
  // Frames drawn outside a paint must survive until Qt composites them.
  setUpdateBehavior(QOpenGLWidget::PartialUpdate);
  // Every change the viewer shows schedules one paint; Qt coalesces them.
  if (mViewer) mViewer->SetRedrawHook([this] { update(); });
}

KIVQtGLView::~KIVQtGLView() {
  // QOpenGLWidget's own destructor destroys the context, after this part is gone.
  disconnect(mContextGone);
  if (mViewer) mViewer->SetRedrawHook(nullptr);
  ReleaseRender();
}

namespace {
// The buffers of the renders whose contexts share objects, by Qt's share group.
std::unordered_map<const QOpenGLContextGroup*, std::weak_ptr<KIVGLShareGroup>>& ShareGroups() {
  static std::unordered_map<const QOpenGLContextGroup*, std::weak_ptr<KIVGLShareGroup>> groups;
  return groups;
}

std::shared_ptr<KIVGLShareGroup> ShareGroupOf(const QOpenGLContext* context) {
  auto& groups = ShareGroups();
  for (auto it = groups.begin(); it != groups.end();) it = it->second.expired() ? groups.erase(it) : std::next(it);
  auto found = context ? groups.find(context->shareGroup()) : groups.end();
  return found != groups.end() ? found->second.lock() : nullptr;
}
}  // namespace

void KIVQtGLView::ShareBetweenWindows() { QCoreApplication::setAttribute(Qt::AA_ShareOpenGLContexts); }

int KIVQtGLView::IsSupported() {
  const QString platform = QGuiApplication::platformName();
  return platform != "offscreen" && platform != "minimal" ? 1 : 0;
}

void KIVQtGLView::Detach() {
  if (mViewer) mViewer->SetRedrawHook(nullptr);
  ReleaseRender();
  mViewer = nullptr;
}

void KIVQtGLView::ReleaseRender() {
  if (!mRender) return;
  // The render's buffers belong to this widget's context.
  const bool current = context() != nullptr;
  if (current) makeCurrent();
  if (mViewer && mViewer->GetRender() == mRender.get()) mViewer->SetRender(nullptr);
  mRender.reset();
  if (current) doneCurrent();
}

void KIVQtGLView::initializeGL() {
  ReleaseRender();
  if (!mViewer) return;
  // A new context (the widget moved to another window) makes the old buffers worthless.
  disconnect(mContextGone);
  mContextGone = connect(context(), &QOpenGLContext::aboutToBeDestroyed, this, [this] { ReleaseRender(); });
  // Views of other windows on contexts sharing with this one already hold the scene's buffers.
  auto render = std::make_unique<KIVQtViewerRender>(mViewer->GetSupport(), *this, ShareGroupOf(context()));
  if (!render->IsReady(&mGLError)) return;
  ShareGroups()[context()->shareGroup()] = render->GetShareGroup();
  mGLError.clear();
  mRender = std::move(render);
  mViewer->SetRender(mRender.get());
  mFresh = false;
}

void KIVQtGLView::resizeGL(int, int) { mFresh = false; }

void KIVQtGLView::paintGL() {
  if (!mViewer || !mRender) return;
  // The model's last frame is already in the framebuffer, unless something changed since.
  if (mFresh && !mViewer->IsRedrawPending()) {
    mFresh = false;
    return;
  }
  mPainting = true;
  mViewer->Draw();
  mPainting = false;
  mFresh = false;
  if (Animated()) update();
}

bool KIVQtGLView::Animated() const {
  if (!mViewer) return false;
  for (int i = 0; i < mViewer->GetViewpointCount(); ++i)
    if (KIVViewpoint* viewpoint = mViewer->GetViewpoint(i); viewpoint && viewpoint->IsAnimated()) return true;
  return false;
}

void KIVQtGLView::Wake() {
  if (!Animated()) return;
  mFresh = false;
  update();
}

void KIVQtGLView::FrameStarting() { makeCurrent(); }

void KIVQtGLView::FrameDrawn() {
  if (mPainting) return;
  mFresh = !Animated();  // an animation's next step comes with the next frame
  update();
}

int KIVQtGLView::Capture(const std::string& path, int width, int height, std::string* error) {
  if (!mViewer || !mRender) {
    if (error) *error = "cannot write '" + path + "': " + (mGLError.empty() ? "no OpenGL in this window" : mGLError);
    return 0;
  }
  makeCurrent();
  mRender->SetOwnTarget(true);
  const int done = KIVGLCapture::WritePng(*mRender, *mViewer, path.c_str(), width, height, error);
  mRender->SetOwnTarget(false);
  mFresh = false;
  update();
  return done;
}
