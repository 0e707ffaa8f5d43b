#pragma once
// The GL render of a viewer widget. Frames may start anywhere (the model draws whenever
// something changed, not only when Qt paints): outside a paint the widget's context is
// made current first, and the frame goes into the widget's framebuffer, which Qt then
// composites. During a capture the frame goes to the render's own framebuffer instead.
#include <memory>

#include "host/gl/KIVGLRender.h"

class KIVQtGLView;

class KIVQtViewerRender : public KIVGLRender {
 public:
  /// Made while the widget's context is current; renders of views whose contexts share
  /// objects are given the same group (null: buffers of its own).
  KIVQtViewerRender(const KIVSupport& support, KIVQtGLView& widget, std::shared_ptr<KIVGLShareGroup> group = nullptr);
  void BeginFrame(KIVViewer& viewer) override;
  void EndFrame(KIVViewer& viewer) override;
  /// Frames go to the render's own framebuffer while on (captures at any size).
  void SetOwnTarget(bool on) { mOwnTarget = on; }

 private:
  KIVQtGLView& mWidget;
  bool mOwnTarget = false;
};
