// Several windows on one scene: renders of contexts that share objects upload each
// primitive once, draw it each through a vertex array of their own, and keep drawing
// when another of them goes.
#include "host/gl/KIVGLBatches.h"
#include "host/gl/KIVGLShareGroup.h"
#include "tests/gl/GLTestScene.h"

namespace {

// A second window: its own viewer and context (sharing with the first), the same scene.
struct SecondWindow {
  KIV3DViewer viewer{GLScene::kWidth, GLScene::kHeight};
  std::unique_ptr<KIVGLContext> context;
  std::unique_ptr<KIVGLRender> render;
  std::vector<unsigned char> pixels;
  int width = 0, height = 0;
  ~SecondWindow() {
    viewer.SetRender(nullptr);
    render.reset();
  }
  /// A context sharing with the tests' one and a render in the first render's group;
  /// false with the reason when the platform gives no shared context.
  bool Join(KIVGLRender& first, std::string& reason) {
    context = SharedContext(nullptr)->CreateShared(&reason);
    if (!context) return false;
    render = std::make_unique<KIVGLRender>(viewer.GetSupport(), context.get(), first.GetShareGroup());
    return true;
  }
  std::array<int, 4> Centre() {
    viewer.Draw();
    std::string error;
    EXPECT_TRUE(KIVGLCapture::ReadPixels(*render, pixels, width, height, &error)) << error;
    const size_t i = (static_cast<size_t>(height / 2) * width + width / 2) * 4;
    return {pixels[i], pixels[i + 1], pixels[i + 2], pixels[i + 3]};
  }
};

using GLShareGroup = GLScene;

TEST_F(GLShareGroup, WindowsSharingContextsUploadEachPrimitiveOnce) {
  SecondWindow second;
  std::string reason;
  if (!second.Join(*render, reason)) GTEST_SKIP() << reason;
  ASSERT_TRUE(second.render->IsReady(&reason)) << reason;
  EXPECT_EQ(render->GetShareGroup(), second.render->GetShareGroup());
  EXPECT_EQ(render->GetShareGroup()->GetRenderCount(), 2);
  second.viewer.SetRender(second.render.get());
  second.viewer.SetBackgroundColor(0.0f, 0.0f, 0.2f);
  KIV3DFaceGP* square = Square(0, 0, 1);
  root->AddChild(Leaf(square, Rgba(255, 0, 0)));
  root->AddChild(Leaf(Square(1.5f, 1.5f, 0.3f), Rgba(0, 255, 0)));  // off the middle
  second.viewer.GetMain3DViewpoint()->AddRep(root);

  Frame();
  EXPECT_EQ(render->GetLastFrameStats().uploads, 2);
  const auto first = Centre();
  EXPECT_GT(first[0], 150);
  // The other window draws the same picture from the buffers already there.
  const auto other = second.Centre();
  EXPECT_EQ(second.render->GetLastFrameStats().uploads, 0);
  EXPECT_EQ(second.render->GetUploadCount(), 2);
  EXPECT_EQ(other, first);

  // A changed geometry is uploaded again once, and both windows show the new one.
  const float v[12] = {-1, 0, -1, 1, 0, -1, 1, 0, 1, -1, 0, 1};
  square->SetVertices(v, 12);
  root->GetChildren()[0]->SetGraphicAttributeSet(Rgba(0, 0, 255));
  EXPECT_GT(second.Centre()[2], 150);
  EXPECT_EQ(second.render->GetLastFrameStats().uploads, 1);
  Frame();
  EXPECT_EQ(render->GetLastFrameStats().uploads, 0);
  EXPECT_GT(Centre()[2], 150);

  // The first window goes: the second keeps its buffers.
  viewer.SetRender(nullptr);
  render.reset();
  EXPECT_EQ(second.render->GetShareGroup()->GetRenderCount(), 1);
  EXPECT_GT(second.Centre()[2], 150);
  EXPECT_EQ(second.render->GetLastFrameStats().uploads, 0);
  second.viewer.GetMain3DViewpoint()->RemoveRep(root);
  // TearDown expects a render to take off the viewer.
  SharedContext(nullptr)->MakeCurrent();
  render = std::make_unique<KIVGLRender>(viewer.GetSupport(), SharedContext(nullptr));
}

// Still faces are merged into batches once for the group: windows drawing in turn (their
// frames interleave on the shared clock) still merge, and the second draws the first's
// batches through its own vertex arrays instead of merging a copy of its own.
TEST_F(GLShareGroup, WindowsDrawingInTurnShareOneSetOfBatches) {
  SecondWindow second;
  std::string reason;
  if (!second.Join(*render, reason)) GTEST_SKIP() << reason;
  ASSERT_TRUE(second.render->IsReady(&reason)) << reason;
  second.viewer.SetRender(second.render.get());
  for (int i = 0; i < 6; ++i)
    root->AddChild(Leaf(Square(-1.2f + 0.5f * static_cast<float>(i), 0, 0.2f), Rgba(255, 0, 0)));
  second.viewer.GetMain3DViewpoint()->AddRep(root);
  const std::array<int, 4> alone = second.Centre();
  for (int i = 0; i < 4; ++i) {
    Frame();
    second.Centre();
  }
  KIVGLShareGroup& group = *render->GetShareGroup();
  EXPECT_EQ(group.GetBatches().GetItemCount(), 6) << "merged once, not once per window";
  const long long bytes = group.GetBufferBytes();
  EXPECT_GT(bytes, 0);
  for (int i = 0; i < 4; ++i) {
    Frame();
    EXPECT_EQ(second.Centre(), alone);
  }
  EXPECT_EQ(group.GetBufferBytes(), bytes);
  EXPECT_EQ(render->GetLastFrameStats().drawCalls, 1);
  EXPECT_EQ(second.render->GetLastFrameStats().drawCalls, 1);
  second.viewer.GetMain3DViewpoint()->RemoveRep(root);
}

// Entries of a window drawn seldom outlive the frames of the others, for a while.
TEST_F(GLShareGroup, TheSweepCountsTheFramesOfEveryRender) {
  root->AddChild(Leaf(Square(0, 0, 1), Rgba(255, 0, 0)));
  KIV3DViewer other(kWidth, kHeight);
  KIV3DBagRep* otherRoot = new KIV3DBagRep;
  otherRoot->AddChild(Leaf(Square(0, 0, 0.5f), Rgba(0, 255, 0)));
  KIVGLRender seldom(other.GetSupport(), SharedContext(nullptr), render->GetShareGroup());
  render->SetBufferIdleFrames(2);
  seldom.SetBufferIdleFrames(2);
  other.SetRender(&seldom);
  other.GetMain3DViewpoint()->AddRep(otherRoot);
  other.Draw();
  for (int i = 0; i < 3; ++i) Frame();
  EXPECT_EQ(render->GetCachedBufferCount(), 2) << "2 idle frames of each of the 2 renders";
  for (int i = 0; i < 10; ++i) Frame();
  EXPECT_EQ(render->GetCachedBufferCount(), 1);
  other.Draw();
  EXPECT_EQ(seldom.GetLastFrameStats().uploads, 1);
  other.GetMain3DViewpoint()->RemoveRep(otherRoot);
  other.SetRender(nullptr);
  otherRoot->Destroy();
}

}  // namespace
