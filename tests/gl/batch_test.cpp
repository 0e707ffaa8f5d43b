// Still opaque faces merged into shared buffers: the picture is the one drawn face by
// face, and it follows every change at once (a move, a colour, a removal).
#include <cmath>

#include "host/gl/KIVGLMeshCache.h"
#include "host/gl/KIVGLPackedNormal.h"
#include "host/gl/KIVGLShareGroup.h"
#include "host/visu/scene/KIV3DBagRep.h"
#include "host/visu/scene/KIVIndexPool.h"
#include "tests/gl/GLTestScene.h"

namespace {

struct GLBatch : GLScene {
  std::vector<KIV3DBagRep*> bags;
  using GLScene::At;
  static KIV4x4Matrix At(float x, float z) {
    return KIV4x4Matrix(KIVMathVectorf(1, 0, 0), KIVMathVectorf(0, 1, 0), KIVMathVectorf(0, 0, 1),
                        KIVMathPointf(x, 0.0f, z));
  }
  // A 6 × 4 array of small squares in six colours, each under a bag that places it.
  void Build() {
    for (int i = 0; i < 24; ++i) {
      auto* bag = new KIV3DBagRep;
      bag->SetMatrix(At(-2.5f + static_cast<float>(i % 6), -1.5f + static_cast<float>(i / 6)));
      const unsigned char c = static_cast<unsigned char>(40 * (i % 6) + 40);
      bag->AddChild(Leaf(Square(0, 0, 0.35f), Rgba(c, static_cast<unsigned char>(255 - c), 128)));
      root->AddChild(bag);
      bags.push_back(bag);
    }
    KIV3DViewpoint* camera = viewer.GetMain3DViewpoint();
    camera->SetOrigin(KIVMathPointf(0, -8, 0));
  }
  std::vector<unsigned char> Picture() {
    Frame();
    return pixels;
  }
};

int Differences(const std::vector<unsigned char>& a, const std::vector<unsigned char>& b) {
  if (a.size() != b.size()) return -1;
  int n = 0;
  for (size_t i = 0; i < a.size(); ++i) n += std::abs(a[i] - b[i]) > 2;
  return n;
}

TEST_F(GLBatch, MergedFacesDrawThePictureOfSeparateOnesInFewerCalls) {
  Build();
  render->SetBatching(0);
  const std::vector<unsigned char> separate = Picture();
  EXPECT_EQ(render->GetLastFrameStats().drawCalls, 24);
  render->SetBatching(1);
  Picture();  // seen once: still drawn one by one
  EXPECT_EQ(render->GetLastFrameStats().batchedItems, 0);
  const long long looseBytes = render->GetShareGroup()->GetMeshCache().GetBytes();
  EXPECT_GT(looseBytes, 0);
  const std::vector<unsigned char> merged = Picture();
  EXPECT_EQ(render->GetLastFrameStats().batchedItems, 24);
  EXPECT_EQ(render->GetLastFrameStats().drawCalls, 1);
  EXPECT_EQ(Differences(separate, merged), 0);
  // Merged, the faces' own buffers are given back: the batch holds the only copy.
  EXPECT_EQ(render->GetShareGroup()->GetMeshCache().GetBytes(), 0);
  EXPECT_EQ(Differences(merged, Picture()), 0);
  EXPECT_EQ(render->GetLastFrameStats().uploads, 0);
  // Edges over the shading, and edges alone, come out the same too.
  for (int mode : {3, 2}) {
    viewer.SetViewMode(mode);
    render->SetBatching(0);
    const std::vector<unsigned char> a = Picture();
    render->SetBatching(1);
    Picture();
    const std::vector<unsigned char> b = Picture();
    EXPECT_EQ(Differences(a, b), 0) << "view mode " << mode;
  }
}

TEST_F(GLBatch, AMovedRecolouredOrRemovedFaceShowsAtOnceAndRejoinsWhenStill) {
  Build();
  Picture();
  Picture();
  ASSERT_EQ(render->GetLastFrameStats().batchedItems, 24);
  // The first square (bottom left) moves up out of its row.
  const std::array<int, 4> before = At(width / 2 - 19, height / 2 + 11);
  bags[0]->SetMatrix(At(-2.5f, 3.5f));
  Frame();
  EXPECT_EQ(render->GetLastFrameStats().batchedItems, 23) << "the moved face is drawn by itself";
  EXPECT_EQ(render->GetLastFrameStats().uploads, 1) << "from its buffers, uploaded again";
  EXPECT_NE(At(width / 2 - 19, height / 2 + 11), before) << "nothing left where it was";
  Frame();
  Frame();
  EXPECT_EQ(render->GetLastFrameStats().batchedItems, 24) << "held still, it is merged again";

  // A highlighted face shows its new colour in the next frame.
  KIVGraphicAttributeSet look = Rgba(255, 255, 255);
  auto* leaf = static_cast<KIV3DCustomRep*>(bags[7]->GetChildren()[0]);
  leaf->SetGraphicAttributeSet(look);
  render->SetBatching(0);
  const std::vector<unsigned char> separate = Picture();
  render->SetBatching(1);
  Picture();
  leaf->SetGraphicAttributeSet(Rgba(0, 0, 0));
  Picture();
  leaf->SetGraphicAttributeSet(look);
  EXPECT_EQ(Differences(separate, Picture()), 0);

  // Removed faces are gone from the merged buffers' picture.
  for (KIV3DBagRep* bag : bags) root->RemoveChild(bag), bag->Destroy();
  bags.clear();
  const std::vector<unsigned char> empty = Picture();
  EXPECT_EQ(render->GetLastFrameStats().batchedItems, 0);
  for (size_t i = 0; i < empty.size(); i += 4) ASSERT_EQ(empty[i], 0) << "only the background is left";
}

// What a render keeps for each primitive between frames follows the scene: a leaf drawn
// at two places in every frame, a merged face whose vertices change in place, and a face
// whose buffers were swept while it was out of the scene.
TEST_F(GLBatch, KeptPlacesFollowSharedLeavesChangedFacesAndSweptBuffers) {
  Build();
  auto* leaf = static_cast<KIV3DCustomRep*>(bags[0]->GetChildren()[0]);
  auto* twin = new KIV3DBagRep;
  twin->SetMatrix(At(0.0f, 2.5f));
  twin->AddChild(leaf);
  root->AddChild(twin);
  auto compare = [&](const char* what) {
    render->SetBatching(0);
    const std::vector<unsigned char> separate = Picture();
    render->SetBatching(1);
    Picture();
    const std::vector<unsigned char> merged = Picture();
    EXPECT_EQ(Differences(separate, merged), 0) << what;
    EXPECT_EQ(Differences(merged, Picture()), 0) << what;
    return merged;
  };
  const std::vector<unsigned char> shared = compare("one leaf at two places");
  EXPECT_EQ(render->GetLastFrameStats().batchedItems, 25);

  auto* face = static_cast<KIV3DFaceGP*>(leaf->GetGP(0));
  const float bigger[12] = {-0.45f, 0, -0.45f, 0.45f, 0, -0.45f, 0.45f, 0, 0.45f, -0.45f, 0, 0.45f};
  ASSERT_EQ(face->SetVertices(bigger, 12), 1);
  EXPECT_GT(Differences(shared, Picture()), 0) << "the new vertices show in the next frame";
  compare("changed in place");

  render->SetBufferIdleFrames(2);
  root->RemoveChild(twin);
  root->RemoveChild(bags[0]);
  for (int i = 0; i < 6; ++i) Picture();
  root->AddChild(bags[0]);
  root->AddChild(twin);
  compare("drawn again after its buffers went");
}

TEST(IndexPool, EqualIndexArraysAreHeldOnceAndChangedApart) {
  std::vector<int> indices;
  for (int i = 0; i < 60; ++i) indices.insert(indices.end(), {0, 1, 2});
  std::vector<float> v(9, 0.0f);
  v[3] = 1.0f, v[7] = 1.0f;
  KIV3DFaceGP a(v.data(), 9, nullptr, indices.data(), 60), b(v.data(), 9, nullptr, indices.data(), 60);
  EXPECT_EQ(a.GetTriangles().data(), b.GetTriangles().data());
  const int shared = KIVIndexPool::GetSize();
  const int other[3] = {2, 1, 0};
  ASSERT_TRUE(b.SetTriangles(other, 1));
  EXPECT_EQ(a.GetTriangles().size(), 180u) << "changing one leaves the other as it was";
  EXPECT_EQ(b.GetTriangles().size(), 3u);
  {
    KIV3DFaceGP c(v.data(), 9, nullptr, indices.data(), 60);
    EXPECT_EQ(c.GetTriangles().data(), a.GetTriangles().data());
  }
  EXPECT_EQ(KIVIndexPool::GetSize(), shared);
}

}  // namespace

TEST(PackedNormal, UnitNormalsComeBackWithinOneStepAndZeroStaysZero) {
  const float normals[][3] = {{0, 0, 1}, {0, 0, -1}, {1, 1, 0}, {-0.3f, 0.5f, -2.0f}, {1e-3f, -1e-3f, 0}};
  for (const auto& n : normals) {
    const float length = std::sqrt(n[0] * n[0] + n[1] * n[1] + n[2] * n[2]);
    float back[3];
    KIVGLPackedNormal::Unpack(KIVGLPackedNormal::Pack(n), back);
    for (int i = 0; i < 3; ++i) EXPECT_NEAR(back[i], n[i] / length, 1.0f / 511.0f) << i;
  }
  const float zero[3] = {0, 0, 0};
  float back[3];
  KIVGLPackedNormal::Unpack(KIVGLPackedNormal::Pack(zero), back);
  EXPECT_EQ(back[0] + back[1] + back[2], 0.0f);
}
