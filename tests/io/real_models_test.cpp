// Model files made by others (Debian's assimp-testmodels): textures, vertex colours, point
// clouds, up axes and non-finite coordinates come out as they should. The files are
// skipped, with the reason, where the package is not installed.
#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>
#include <string>

#include "host/io/KIVJpegImage.h"
#include "host/io/KIVSceneImporter.h"
#include "host/visu/scene/KIV3DBagRep.h"
#include "host/visu/scene/KIV3DCustomRep.h"
#include "host/visu/scene/KIV3DFaceGP.h"
#include "host/visu/scene/KIV3DPointSetGP.h"


namespace {
const char* kModels = "/usr/share/assimp/models";

#define MODEL(var, relative)                                                                   \
  const std::string var = std::string(kModels) + "/" + (relative);                            \
  if (!std::filesystem::exists(var)) GTEST_SKIP() << "assimp-testmodels not installed (" << var << ")"

std::vector<const KIV3DFaceGP*> Faces(const KIVImportedScene& scene) {
  std::vector<const KIV3DFaceGP*> faces;
  for (KIVRep* rep : scene.GetReps())
    if (auto* leaf = dynamic_cast<KIV3DCustomRep*>(rep))
      for (int i = 0; i < leaf->GetGPCount(); ++i)
        if (auto* face = dynamic_cast<const KIV3DFaceGP*>(leaf->GetGP(i))) faces.push_back(face);
  return faces;
}

bool Contains(const char* text, const char* part) { return std::string(text).find(part) != std::string::npos; }
}  // namespace

TEST(RealModels, TexturesExternalEmbeddedAndJpegWithTheirUVsAndWrapModes) {
  MODEL(gltf, "glTF2/BoxTextured-glTF/BoxTextured.gltf");
  KIVImportedScene box = KIVSceneImporter().Import(gltf.c_str());
  ASSERT_NE(box.GetTop(), nullptr) << box.GetError();
  EXPECT_STREQ(box.GetWarning(), "");
  auto faces = Faces(box);
  ASSERT_EQ(faces.size(), 1u);
  ASSERT_TRUE(faces[0]->IsTextured());
  EXPECT_EQ(faces[0]->GetTexCoords().size(), 2u * faces[0]->GetVertexCount());
  const KIVTextureImage& logo = *faces[0]->GetTexture();
  EXPECT_GT(logo.GetWidth(), 0);
  EXPECT_EQ(logo.GetWrapU(), KIVTextureImage::Mirror);  // the sampler's MIRRORED_REPEAT
  EXPECT_EQ(logo.GetWrapV(), KIVTextureImage::Clamp);   // and CLAMP_TO_EDGE

  MODEL(fbx, "FBX/embedded_ascii/box_embedded_texture_fragmented.fbx");
  KIVImportedScene paper = KIVSceneImporter().Import(fbx.c_str());
  ASSERT_NE(paper.GetTop(), nullptr) << paper.GetError();
  faces = Faces(paper);
  ASSERT_FALSE(faces.empty());
  EXPECT_TRUE(faces[0]->IsTextured()) << paper.GetWarning();

  MODEL(obj, "OBJ/spider.obj");
  if (!KIVJpegImage::IsAvailable()) GTEST_SKIP() << "built without libjpeg";
  KIVImportedScene spider = KIVSceneImporter().Import(obj.c_str());
  ASSERT_NE(spider.GetTop(), nullptr) << spider.GetError();
  // Its .mtl names the images with Windows paths (".\\SpiderTex.jpg").
  EXPECT_STREQ(spider.GetWarning(), "");
  faces = Faces(spider);
  ASSERT_FALSE(faces.empty());
  int textured = 0;
  for (const KIV3DFaceGP* face : faces) textured += face->IsTextured();
  EXPECT_EQ(textured, static_cast<int>(faces.size()));
  // One image per file, shared by every mesh that uses it.
  EXPECT_EQ(faces[1]->GetTexture(), faces[12]->GetTexture());
}

TEST(RealModels, VertexColoursReachTheFaces) {
  MODEL(obj, "OBJ/cube_with_vertexcolors.obj");
  KIVImportedScene cube = KIVSceneImporter().Import(obj.c_str());
  ASSERT_NE(cube.GetTop(), nullptr) << cube.GetError();
  auto faces = Faces(cube);
  ASSERT_EQ(faces.size(), 1u);
  EXPECT_EQ(faces[0]->GetColors().size(), 4u * faces[0]->GetVertexCount());

  MODEL(ply, "PLY/float-color.ply");
  KIVImportedScene triangle = KIVSceneImporter().Import(ply.c_str());
  ASSERT_NE(triangle.GetTop(), nullptr) << triangle.GetError();
  faces = Faces(triangle);
  ASSERT_EQ(faces.size(), 1u);
  const std::vector<unsigned char>& rgba = faces[0]->GetColors();
  ASSERT_EQ(rgba.size(), 12u);
  EXPECT_EQ(rgba[0], 0);
  EXPECT_EQ(rgba[2], 255);  // blue, as the file's floats say
}

TEST(RealModels, APointCloudIsReadAndItsNonFinitePointsCounted) {
  MODEL(ply, "PLY/pond.0.ply");
  KIVImportedScene pond = KIVSceneImporter().Import(ply.c_str());
  ASSERT_NE(pond.GetTop(), nullptr) << pond.GetError();
  // The file is damaged: 639 of its points decode to non-finite values and tens of
  // thousands to values up to 1e38. Those go, counted; the others stay.
  EXPECT_GT(pond.GetPointCount(), 20000);
  EXPECT_LT(pond.GetPointCount(), 70051 - 639);
  EXPECT_EQ(pond.GetTriangleCount(), 0);
  EXPECT_TRUE(Contains(pond.GetWarning(), "points with non-finite or out-of-range coordinates")) << pond.GetWarning();
  const KIV3DPointSetGP* cloud = nullptr;
  for (KIVRep* rep : pond.GetReps())
    if (auto* leaf = dynamic_cast<KIV3DCustomRep*>(rep)) cloud = dynamic_cast<const KIV3DPointSetGP*>(leaf->GetGP(0));
  ASSERT_NE(cloud, nullptr);
  EXPECT_EQ(cloud->GetPointCount(), pond.GetPointCount());
}

TEST(RealModels, NonFiniteTrianglesAreDroppedAndAFileWithoutGeometryIsAnEmptyModel) {
  MODEL(glb, "glTF2/BoxWithInfinites-glTF-Binary/BoxWithInfinites.glb");
  KIVImportedScene infinite = KIVSceneImporter().Import(glb.c_str());
  ASSERT_NE(infinite.GetTop(), nullptr) << infinite.GetError();
  // Every vertex of this box has an infinite x: all 12 triangles go, and it says so.
  EXPECT_EQ(infinite.GetTriangleCount(), 0);
  EXPECT_TRUE(Contains(infinite.GetWarning(), "12 triangles with non-finite or out-of-range coordinates")) << infinite.GetWarning();

  MODEL(gltf, "glTF2/TestNoRootNode/SceneWithoutNodes.gltf");
  KIVImportedScene empty = KIVSceneImporter().Import(gltf.c_str());
  ASSERT_NE(empty.GetTop(), nullptr) << empty.GetError();
  EXPECT_TRUE(empty.GetTop()->GetChildren().empty());
  EXPECT_TRUE(Contains(empty.GetWarning(), "no geometry")) << empty.GetWarning();
}

TEST(RealModels, FbxUpAxisMetadataIsRead) {
  MODEL(fbx, "FBX/embedded_ascii/box_embedded_texture_fragmented.fbx");
  KIVImportedScene box = KIVSceneImporter().Import(fbx.c_str());
  ASSERT_NE(box.GetTop(), nullptr) << box.GetError();
  EXPECT_STREQ(box.GetUpAxis(), "+y");
  ASSERT_NE(box.GetTop()->GetMatrix(), nullptr);
  const KIVMathPointf up = box.GetTop()->GetMatrix()->TransformPoint(KIVMathPointf(0, 1, 0));
  EXPECT_NEAR(up.z, 1.0f, 1e-6f);
}
