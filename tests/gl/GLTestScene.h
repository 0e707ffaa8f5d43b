#pragma once
// A headless context shared by the GL tests, a small viewer drawn through a KIVGLRender,
// and squares facing its default camera (eye at y = −10 looking along +y, z up).
#include <gtest/gtest.h>

#include <array>
#include <memory>
#include <string>
#include <vector>

#include "host/gl/KIVGLCapture.h"
#include "host/gl/KIVGLContext.h"
#include "host/gl/KIVGLRender.h"
#include "host/visu/scene/KIV3DBagRep.h"
#include "host/visu/scene/KIV3DCustomRep.h"
#include "host/visu/scene/KIV3DFaceGP.h"
#include "host/visu/view/KIV3DViewer.h"

/// The context for the whole binary, or null with the reason.
inline KIVGLContext* SharedContext(std::string* reason) {
  static std::string why;
  static std::unique_ptr<KIVGLContext> context = KIVGLContext::CreateHeadless(&why);
  if (reason) *reason = why;
  return context.get();
}

/// A render on the shared context, drawing for the viewer; null with the reason when it
/// is not ready.
inline std::unique_ptr<KIVGLRender> AttachRender(KIVViewer& viewer, std::string& reason) {
  auto render = std::make_unique<KIVGLRender>(viewer.GetSupport(), SharedContext(nullptr));
  if (!render->IsReady(&reason)) return nullptr;
  viewer.SetRender(render.get());
  return render;
}

/// A square of side 2 × half in the plane y = depth, centred on (x, z), facing −y.
inline KIV3DFaceGP* Square(float x, float z, float half, float depth = 0.0f) {
  const float v[12] = {x - half, depth, z - half, x + half, depth, z - half,
                       x + half, depth, z + half, x - half, depth, z + half};
  const int t[6] = {0, 1, 2, 0, 2, 3};
  return new KIV3DFaceGP(v, 12, nullptr, t, 2);
}

inline KIV3DCustomRep* Leaf(KIVGraphicPrimitive* gp, const KIVGraphicAttributeSet& look) {
  auto* leaf = new KIV3DCustomRep;
  leaf->AddGP(gp);
  leaf->SetGraphicAttributeSet(look);
  return leaf;
}

inline KIVGraphicAttributeSet Rgba(unsigned char r, unsigned char g, unsigned char b, unsigned char a = 255) {
  KIVGraphicAttributeSet look;
  look.SetRGBA(r, g, b, a);
  return look;
}

struct GLScene : ::testing::Test {
  static constexpr int kWidth = 64, kHeight = 48;
  KIV3DViewer viewer{kWidth, kHeight};
  KIV3DBagRep* root = new KIV3DBagRep;
  std::unique_ptr<KIVGLRender> render;
  std::vector<unsigned char> pixels;
  int width = 0, height = 0;

  void SetUp() override {
    std::string reason;
    if (!SharedContext(&reason)) GTEST_SKIP() << "no headless OpenGL: " << reason;
    render = AttachRender(viewer, reason);
    ASSERT_TRUE(render) << reason;
    viewer.SetBackgroundColor(0.0f, 0.0f, 0.2f);
    viewer.GetMain3DViewpoint()->AddRep(root);
  }
  void TearDown() override {
    viewer.SetRender(nullptr);
    viewer.GetMain3DViewpoint()->RemoveRep(root);
    root->Destroy();
    render.reset();
  }
  /// Draws and reads the frame back.
  void Frame() {
    viewer.Draw();
    std::string error;
    ASSERT_TRUE(KIVGLCapture::ReadPixels(*render, pixels, width, height, &error)) << error;
  }
  /// RGBA at a pixel, x right and y down from the top-left corner.
  std::array<int, 4> At(int x, int y) const {
    const size_t i = (static_cast<size_t>(y) * width + x) * 4;
    return {pixels[i], pixels[i + 1], pixels[i + 2], pixels[i + 3]};
  }
  std::array<int, 4> Centre() const { return At(width / 2, height / 2); }
};
