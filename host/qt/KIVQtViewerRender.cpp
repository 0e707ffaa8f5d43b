#include "host/qt/KIVQtViewerRender.h"

#include "host/qt/KIVQtGLView.h"

KIVQtViewerRender::KIVQtViewerRender(const KIVSupport& support, KIVQtGLView& widget,
                                     std::shared_ptr<KIVGLShareGroup> group)
    : KIVGLRender(support, nullptr, std::move(group)), mWidget(widget) {}

void KIVQtViewerRender::BeginFrame(KIVViewer& viewer) {
  if (!mWidget.IsPainting()) mWidget.FrameStarting();
  SetTargetFramebuffer(mOwnTarget ? 0 : mWidget.defaultFramebufferObject());
  KIVGLRender::BeginFrame(viewer);
}

void KIVQtViewerRender::EndFrame(KIVViewer& viewer) {
  KIVGLRender::EndFrame(viewer);
  if (!mOwnTarget) mWidget.FrameDrawn();
}
