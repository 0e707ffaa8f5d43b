// Pixels of small scenes drawn headless: colours, flags, transparency, framing, 2D
// foregrounds and the buffer cache.
#include <cmath>

#include "host/visu/view/KIV2DViewpoint.h"
#include "host/visu/scene/KIV3DAnnotationTextGP.h"
#include "host/visu/scene/KIV3DLineGP.h"
#include "host/visu/scene/KIV3DMarkerGP.h"
#include "host/visu/pick/KIVPickPathList.h"
#include "tests/gl/GLTestScene.h"

namespace {

TEST(GLContext, GivesACoreContextOfAtLeast33) {
  std::string reason;
  KIVGLContext* context = SharedContext(&reason);
  if (!context) GTEST_SKIP() << reason;
  EXPECT_TRUE(context->MakeCurrent());
  EXPECT_FALSE(context->GetRenderer().empty());
  EXPECT_NE(context->GetVersion().find("Core"), std::string::npos) << context->GetVersion();
  const double version = std::atof(context->GetVersion().c_str());
  EXPECT_GE(version, 3.3);
}

using GLRender = GLScene;

TEST_F(GLRender, BackgroundWhereNothingIsAndTheObjectsColourAtItsCentre) {
  viewer.SetColor(20, 0.0f, 1.0f, 0.0f);
  KIVGraphicAttributeSet green;
  green.SetColorIndex(20);
  root->AddChild(Leaf(Square(0, 0, 1), green));
  Frame();
  ASSERT_EQ(width, kWidth);
  ASSERT_EQ(height, kHeight);
  const auto corner = At(0, 0);
  EXPECT_EQ(corner[0], 0);
  EXPECT_EQ(corner[1], 0);
  EXPECT_NEAR(corner[2], 51, 1);
  const auto c = Centre();
  EXPECT_GT(c[1], 200);  // lit face-on by the head light
  EXPECT_LT(c[0], 10);
  EXPECT_LT(c[2], 10);
  EXPECT_EQ(render->GetLastFrameStats().triangles, 2);
  EXPECT_EQ(render->GetLastFrameStats().primitives, 1);

  // RGBA colours come from the attribute's own bytes.
  root->GetChildren()[0]->SetGraphicAttributeSet(Rgba(200, 0, 200));
  Frame();
  const auto m = Centre();
  EXPECT_GT(m[0], 150);
  EXPECT_NEAR(m[0], m[2], 2);
  EXPECT_LT(m[1], 10);
}

TEST_F(GLRender, HiddenObjectsAreAbsentAndFlagsChangeTheLook) {
  KIV3DCustomRep* leaf = Leaf(Square(0, 0, 1), Rgba(0, 0, 255));
  root->AddChild(leaf);
  Frame();
  const auto plain = Centre();
  EXPECT_GT(plain[2], 200);

  KIVGraphicAttributeSet look = leaf->GetGraphicAttributeSet();
  look.SetFlag(KIVGraphicAttributeSet::Selected, 1);
  leaf->SetGraphicAttributeSet(look);
  Frame();
  const auto selected = Centre();
  EXPECT_GT(selected[0], plain[0] + 100) << "the highlight turns towards orange";

  look.SetFlag(KIVGraphicAttributeSet::Selected, 0);
  look.SetFlag(KIVGraphicAttributeSet::LowLighted, 1);
  leaf->SetGraphicAttributeSet(look);
  Frame();
  const auto low = Centre();
  EXPECT_LT(low[2], plain[2] - 100) << "the low light greys and darkens";

  look.SetFlag(KIVGraphicAttributeSet::LowLighted, 0);
  look.SetFlag(KIVGraphicAttributeSet::Hidden, 1);
  leaf->SetGraphicAttributeSet(look);
  Frame();
  EXPECT_EQ(Centre(), At(0, 0));
  EXPECT_EQ(render->GetLastFrameStats().triangles, 0);
}

// Selecting an assembly highlights what it holds, however deep.
TEST_F(GLRender, AHighlightedBagHighlightsItsWholeSubtree) {
  auto* assembly = new KIV3DBagRep;
  auto* part = new KIV3DBagRep;
  part->AddChild(Leaf(Square(0, 0, 1), Rgba(0, 0, 255)));
  assembly->AddChild(part);
  root->AddChild(assembly);
  Frame();
  const auto plain = Centre();
  assembly->SetHighlightMode(1, 1);
  Frame();
  EXPECT_GT(Centre()[0], plain[0] + 100);
  assembly->SetHighlightMode(0, 1);
  Frame();
  EXPECT_EQ(Centre(), plain);
}

TEST_F(GLRender, TransparentObjectsBlendOverWhatIsBehind) {
  root->AddChild(Leaf(Square(0, 0, 2, 2.0f), Rgba(255, 0, 0)));  // behind
  KIVGraphicAttributeSet glass = Rgba(0, 0, 255, 128);
  glass.SetFlag(KIVGraphicAttributeSet::Transparent, 1);
  root->AddChild(Leaf(Square(0, 0, 1), glass));  // in front, drawn after
  Frame();
  const auto c = Centre();
  EXPECT_GT(c[0], 60);
  EXPECT_GT(c[2], 60);
  // Around the glass the red square is seen alone.
  const auto red = At(width / 2 + 8, height / 2);
  EXPECT_GT(red[0], 200);
  EXPECT_LT(red[2], 10);
}

// A bag put on top (a tool's handles) shows over what stands in front of it, is drawn once
// (not also in the scene's pass), and is picked before the scene; its path runs from the top.
TEST_F(GLRender, WhatIsOnTopShowsAndIsPickedOverTheScene) {
  root->AddChild(Leaf(Square(0, 0, 2), Rgba(255, 0, 0)));  // in front
  auto* handles = new KIV3DBagRep;
  KIVGraphicAttributeSet half = Rgba(0, 255, 0, 128);
  half.SetFlag(KIVGraphicAttributeSet::Transparent, 1);
  handles->AddChild(Leaf(Square(0, 0, 1, 3.0f), half));  // behind the red square
  root->AddChild(handles);
  Frame();
  EXPECT_GT(Centre()[0], 200) << "without the layer the square in front hides it";
  ASSERT_EQ(viewer.AddRepOnTop(handles), 1);
  EXPECT_EQ(viewer.AddRepOnTop(handles), 0);
  Frame();
  const auto c = Centre();
  EXPECT_GT(c[1], 100) << "the handle is not over the scene";
  EXPECT_LT(c[1], 160) << "blended twice: drawn in the scene's pass as well";
  KIVPickPathList paths;
  ASSERT_TRUE(viewer.Pick(width / 2, height / 2, paths));
  EXPECT_EQ(paths.GetPath(0)->GetTopRep(), root);
  EXPECT_EQ(paths.GetPath(0)->GetRep(1), handles);
  EXPECT_EQ(viewer.RemoveRepOnTop(handles), 1);
  ASSERT_TRUE(viewer.Pick(width / 2, height / 2, paths));
  EXPECT_NE(paths.GetPath(0)->GetRep(1), handles);
}

TEST_F(GLRender, ReframingOnAnObjectCentresIt) {
  root->AddChild(Leaf(Square(4, 2, 0.5f), Rgba(255, 255, 0)));
  Frame();
  EXPECT_EQ(Centre(), At(0, 0)) << "the object is off the centre at first";
  KIV3DViewpoint* camera = viewer.GetMain3DViewpoint();
  const KIVMathPointf eye = camera->GetOrigin();
  camera->SetPosition(eye, KIVMathDirectionf(KIVMathPointf(4, 0, 2) - eye), KIVMathDirectionf(0, 0, 1));
  Frame();
  const auto c = Centre();
  EXPECT_GT(c[0], 150);
  EXPECT_GT(c[1], 150);
}

TEST_F(GLRender, BuffersAreUploadedOnceUntilTheGeometryChanges) {
  auto* face = Square(0, 0, 1);
  root->AddChild(Leaf(face, Rgba(255, 255, 255)));
  Frame();
  EXPECT_EQ(render->GetLastFrameStats().uploads, 1);
  Frame();
  Frame();
  EXPECT_EQ(render->GetLastFrameStats().uploads, 0);
  EXPECT_EQ(render->GetCachedBufferCount(), 1);
  // Moving the camera draws the same buffers.
  viewer.GetMain3DViewpoint()->SetOrigin(KIVMathPointf(0.5f, -8, 0));
  Frame();
  EXPECT_EQ(render->GetLastFrameStats().uploads, 0);
  EXPECT_EQ(At(12, height / 2), At(0, 0));
  // New vertices are uploaded once.
  const float v[12] = {-3, 0, -3, 3, 0, -3, 3, 0, 3, -3, 0, 3};
  ASSERT_TRUE(face->SetVertices(v, 12));
  Frame();
  EXPECT_EQ(render->GetLastFrameStats().uploads, 1);
  EXPECT_GT(At(12, height / 2)[0], 150) << "the bigger square is drawn";
  Frame();
  EXPECT_EQ(render->GetLastFrameStats().uploads, 0);
}

TEST_F(GLRender, DeletedPrimitivesAreNotDrawnNorTouched) {
  render->SetBufferIdleFrames(4);
  KIV3DCustomRep* leaf = Leaf(Square(-1, 0, 0.8f), Rgba(255, 0, 0));
  root->AddChild(leaf);
  Frame();
  EXPECT_GT(At(width / 2 - 8, height / 2)[0], 150);
  KIVGraphicPrimitive* old = leaf->GetGP(0);
  ASSERT_TRUE(leaf->RemoveGP(old));
  old->Destroy();
  // A new primitive may take the freed address: it must show its own geometry.
  leaf->AddGP(Square(1, 0, 0.8f));
  leaf->GeometryModified();
  Frame();
  EXPECT_EQ(At(width / 2 - 8, height / 2), At(0, 0));
  EXPECT_GT(At(width / 2 + 8, height / 2)[0], 150);
  // The old buffers are swept once unused for long enough.
  for (int i = 0; i < 8; ++i) Frame();
  EXPECT_EQ(render->GetCachedBufferCount(), 1);
  leaf->ClearGPs();
  Frame();
  EXPECT_EQ(Centre(), At(0, 0));
}

TEST_F(GLRender, ForegroundViewpointsDrawInAPixelFrameOverTheScene) {
  root->AddChild(Leaf(Square(0, 0, 3), Rgba(0, 0, 255)));
  KIV2DViewpoint overlay;
  overlay.SetMode(1);
  // A 10-pixel square 12 pixels right of the centre, in the plane z = 0.
  const float v[12] = {7, 0, 0, 17, 0, 0, 17, 10, 0, 7, 10, 0};
  const int t[6] = {0, 1, 2, 0, 2, 3};
  KIV3DCustomRep* mark = Leaf(new KIV3DFaceGP(v, 12, nullptr, t, 2), Rgba(255, 128, 0));
  overlay.AddRep(mark);
  viewer.AddForeGroundViewpoint(&overlay);
  Frame();
  const auto over = At(width / 2 + 12, height / 2 - 5);
  EXPECT_EQ(over[0], 255) << "2D foregrounds are drawn flat, over the scene";
  EXPECT_NEAR(over[1], 128, 1);
  EXPECT_EQ(over[2], 0);
  EXPECT_GT(Centre()[2], 150);
  viewer.RemoveForeGroundViewpoint(&overlay);
  overlay.RemoveRep(mark);
  delete mark;
}

TEST_F(GLRender, LinesMarkersAndTextsShow) {
  auto* line = new KIV3DLineGP;
  line->AddSegment(KIVMathPointf(-5, 0, 0), KIVMathPointf(5, 0, 0));
  root->AddChild(Leaf(line, Rgba(255, 255, 255)));
  const float point[3] = {0, 0, 2};
  root->AddChild(Leaf(new KIV3DMarkerGP(point, 3, KIV3DMarkerGP::Dot, 6.0f), Rgba(0, 255, 0)));
  root->AddChild(Leaf(new KIV3DAnnotationTextGP(KIVMathPointf(0, 0, -2), "HI", 16.0f,
                                                KIV3DAnnotationTextGP::Center | KIV3DAnnotationTextGP::Middle),
                      Rgba(255, 0, 0)));
  Frame();
  auto count = [&](int channel, int y0, int y1) {
    int n = 0;
    for (int y = y0; y < y1; ++y)
      for (int x = 0; x < width; ++x) n += At(x, y)[channel] > 150 && At(x, y)[(channel + 1) % 3] < 100;
    return n;
  };
  // The line crosses the middle row; the marker sits above it, the text below.
  int lit = 0;
  for (int x = 0; x < width; ++x) lit += At(x, height / 2)[0] > 150 || At(x, height / 2 - 1)[0] > 150;
  EXPECT_GT(lit, width / 2);
  EXPECT_GT(count(1, 0, height / 2 - 2), 10);
  EXPECT_GT(count(0, height / 2 + 2, height), 10);
  EXPECT_EQ(render->GetLastFrameStats().primitives, 3);
}

TEST_F(GLRender, FogFadesDistantObjectsToTheBackground) {
  root->AddChild(Leaf(Square(0, 0, 1), Rgba(255, 255, 255)));
  ASSERT_TRUE(viewer.SetFog(1, 2.0f, 6.0f));  // the square is 10 away: fully fogged
  Frame();
  const auto c = Centre();
  EXPECT_NEAR(c[0], 0, 2);
  EXPECT_NEAR(c[2], 51, 2);
  ASSERT_TRUE(viewer.SetFog(1, 5.0f, 15.0f));
  Frame();
  EXPECT_GT(Centre()[0], 80);
  EXPECT_LT(Centre()[0], 200);
}

}  // namespace

namespace {
TEST(GLContext, ContextsComeAndGoBesideEachOther) {
  std::string reason;
  KIVGLContext* shared = SharedContext(&reason);
  if (!shared) GTEST_SKIP() << reason;
  {
    std::unique_ptr<KIVGLContext> second = KIVGLContext::CreateHeadless(&reason);
    ASSERT_TRUE(second) << reason;
    EXPECT_TRUE(second->MakeCurrent());
    EXPECT_EQ(second->GetRenderer(), shared->GetRenderer());
  }
  // The shared one still works once the other has gone.
  EXPECT_TRUE(shared->MakeCurrent());
  KIV3DViewer viewer(8, 8);
  KIVGLRender render(viewer.GetSupport(), shared);
  EXPECT_TRUE(render.IsReady());
  viewer.SetRender(&render);
  viewer.Draw();
  std::vector<unsigned char> rgba;
  int w = 0, h = 0;
  EXPECT_TRUE(KIVGLCapture::ReadPixels(render, rgba, w, h, &reason)) << reason;
  viewer.SetRender(nullptr);
}
}  // namespace
