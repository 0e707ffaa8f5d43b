#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "host/io/KIVSceneImporter.h"
#include "host/visu/scene/KIV3DBagRep.h"
#include "host/visu/scene/KIV3DCustomRep.h"
#include "host/visu/scene/KIV3DFaceGP.h"
#include "host/visu/scene/KIV3DLineGP.h"
#include "host/visu/scene/KIV3DPointSetGP.h"

// assimp 5.2 leaks on some of its error paths (a PLY with a bad signature); only
// allocations made inside it are let go.
extern "C" const char* __lsan_default_suppressions() { return "leak:libassimp.so\n"; }

namespace {
std::string TempPath(const std::string& name) { return (std::filesystem::temp_directory_path() / name).string(); }

void WriteFile(const std::string& path, const std::string& text) {
  std::ofstream(path, std::ios::binary | std::ios::trunc) << text;
}

std::string Base64(const std::vector<unsigned char>& bytes) {
  static const char* digits = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
  std::string out;
  for (size_t i = 0; i < bytes.size(); i += 3) {
    unsigned v = bytes[i] << 16;
    if (i + 1 < bytes.size()) v |= bytes[i + 1] << 8;
    if (i + 2 < bytes.size()) v |= bytes[i + 2];
    out += digits[(v >> 18) & 63];
    out += digits[(v >> 12) & 63];
    out += i + 1 < bytes.size() ? digits[(v >> 6) & 63] : '=';
    out += i + 2 < bytes.size() ? digits[v & 63] : '=';
  }
  return out;
}

template <class T>
void Append(std::vector<unsigned char>& bytes, std::initializer_list<T> values) {
  for (T v : values) {
    unsigned char b[sizeof(T)];
    std::memcpy(b, &v, sizeof(T));
    bytes.insert(bytes.end(), b, b + sizeof(T));
  }
}

// Two root nodes (so assimp adds its own root): "assembly", translated, over "part",
// scaled and raised by a matrix, and "copy"; part and copy use the same mesh, a triangle
// with normals along y and a half-transparent blended material.
std::string SceneGltf() {
  std::vector<unsigned char> buffer;
  Append<float>(buffer, {0, 0, 0, 1, 0, 0, 0, 1, 0});  // positions
  Append<float>(buffer, {0, 1, 0, 0, 1, 0, 0, 1, 0});  // normals
  Append<unsigned short>(buffer, {0, 1, 2, 0});        // indices and padding
  return R"({"asset": {"version": "2.0"}, "scene": 0, "scenes": [{"nodes": [0, 2]}],
  "nodes": [{"name": "assembly", "translation": [1, 2, 3], "children": [1]},
            {"name": "part", "mesh": 0, "matrix": [2,0,0,0, 0,2,0,0, 0,0,2,0, 0,0,5,1]},
            {"name": "copy", "mesh": 0}],
  "meshes": [{"name": "triangle", "primitives": [{"attributes": {"POSITION": 0, "NORMAL": 1}, "indices": 2, "material": 0}]}],
  "materials": [{"name": "glass", "alphaMode": "BLEND", "pbrMetallicRoughness": {"baseColorFactor": [0.2, 0.4, 0.6, 0.5]}}],
  "buffers": [{"byteLength": 80, "uri": "data:application/octet-stream;base64,)" +
         Base64(buffer) + R"("}],
  "bufferViews": [{"buffer": 0, "byteOffset": 0, "byteLength": 72}, {"buffer": 0, "byteOffset": 72, "byteLength": 6}],
  "accessors": [{"bufferView": 0, "byteOffset": 0, "componentType": 5126, "count": 3, "type": "VEC3", "min": [0,0,0], "max": [1,1,0]},
                {"bufferView": 0, "byteOffset": 36, "componentType": 5126, "count": 3, "type": "VEC3"},
                {"bufferView": 1, "componentType": 5123, "count": 3, "type": "SCALAR"}]})";
}

const char* kObj =
    "mtllib navtools_parts.mtl\n"
    "v 0 0 0\nv 1 0 0\nv 1 1 0\nv 0 1 0\nv 0 0 1\nv 1 0 1\nv 1 1 1\n"
    "g plate\nusemtl red\nf 1 2 3 4\n"
    "g roof\nusemtl glass\nf 5 6 7\n";
const char* kMtl = "newmtl red\nKd 1 0 0\nnewmtl glass\nKd 0 0.5 1\nd 0.5\n";

const KIV3DFaceGP* FaceOf(const KIVRep* rep) {
  auto* leaf = dynamic_cast<const KIV3DCustomRep*>(rep);
  return leaf && leaf->GetGPCount() == 1 ? dynamic_cast<const KIV3DFaceGP*>(leaf->GetGP(0)) : nullptr;
}

void ExpectFailed(const KIVImportedScene& scene, const std::string& mention) {
  const std::string error = scene.GetError();
  EXPECT_EQ(scene.GetTop(), nullptr);
  EXPECT_TRUE(scene.GetReps().empty());
  EXPECT_NE(error.find("cannot read"), std::string::npos) << error;
  EXPECT_NE(error.find(mention), std::string::npos) << error;
  EXPECT_EQ(error.find('\n'), std::string::npos) << error;
}
}  // namespace

TEST(SceneImporter, ObjKeepsGroupsNamesAndMaterialColours) {
  WriteFile(TempPath("navtools_parts.mtl"), kMtl);
  const std::string path = TempPath("navtools_parts.obj");
  WriteFile(path, kObj);
  KIVImportedScene scene = KIVSceneImporter().Import(path.c_str());
  ASSERT_NE(scene.GetTop(), nullptr) << scene.GetError();
  EXPECT_STREQ(scene.GetError(), "");
  EXPECT_STREQ(scene.GetName(scene.GetTop()), "navtools_parts.obj");
  EXPECT_EQ(scene.GetModelCount(), 2);
  EXPECT_EQ(scene.GetTriangleCount(), 3);

  // top, then the file's root node, then one bag per group over its mesh.
  ASSERT_EQ(scene.GetTop()->GetChildren().size(), 1u);
  const KIVRep* root = scene.GetTop()->GetChildren()[0];
  ASSERT_EQ(root->GetChildren().size(), 2u);
  const KIVRep* plate = scene.Find("plate");
  const KIVRep* roof = scene.Find("roof");
  ASSERT_TRUE(plate && roof);
  EXPECT_EQ(plate->GetParents()[0], root);
  ASSERT_EQ(plate->GetChildren().size(), 1u);
  const KIVRep* plateLeaf = plate->GetChildren()[0];
  const KIVRep* roofLeaf = roof->GetChildren()[0];
  ASSERT_NE(scene.GetName(plateLeaf), nullptr);

  const KIVGraphicAttributeSet& red = plateLeaf->GetGraphicAttributeSet();
  EXPECT_EQ(red.GetColorIndex(), KIVGraphicAttributeSet::ColorRGBA);
  EXPECT_EQ(std::vector<int>(red.bytes + 4, red.bytes + 8), (std::vector<int>{255, 0, 0, 255}));
  EXPECT_EQ(red.GetFlag(KIVGraphicAttributeSet::Transparent), 0);
  const KIVGraphicAttributeSet& glass = roofLeaf->GetGraphicAttributeSet();
  EXPECT_EQ(std::vector<int>(glass.bytes + 4, glass.bytes + 8), (std::vector<int>{0, 128, 255, 128}));
  EXPECT_EQ(glass.GetFlag(KIVGraphicAttributeSet::Transparent), 1);

  // The quad is two triangles over its four corners, joined, with generated normals.
  const KIV3DFaceGP* quad = FaceOf(plateLeaf);
  ASSERT_NE(quad, nullptr);
  EXPECT_EQ(quad->GetTriangleCount(), 2);
  EXPECT_EQ(quad->GetVertexCount(), 4);
  ASSERT_EQ(quad->GetNormals().size(), 12u);
  for (int v = 0; v < 4; ++v) EXPECT_NEAR(quad->GetNormals()[3 * v + 2], 1.0f, 1e-5f);

  // Flat normals give every triangle corners of its own.
  KIVSceneImporter flat;
  ASSERT_EQ(flat.SetNormalMode(KIVSceneImporter::FlatNormals), 1);
  EXPECT_EQ(flat.SetNormalMode(7), 0);
  KIVImportedScene faceted = flat.Import(path.c_str());
  const KIV3DFaceGP* flatQuad = FaceOf(faceted.Find("plate")->GetChildren()[0]);
  ASSERT_NE(flatQuad, nullptr);
  EXPECT_EQ(flatQuad->GetVertexCount(), 6);
  for (int v = 0; v < 6; ++v) EXPECT_NEAR(flatQuad->GetNormals()[3 * v + 2], 1.0f, 1e-5f);
}

TEST(SceneImporter, GltfKeepsHierarchyMatricesSharedMeshAndNormals) {
  const std::string path = TempPath("navtools_scene.gltf");
  WriteFile(path, SceneGltf());
  KIVImportedScene scene = KIVSceneImporter().Import(path.c_str());
  ASSERT_NE(scene.GetTop(), nullptr) << scene.GetError();
  EXPECT_STREQ(scene.GetName(scene.GetTop()), "navtools_scene.gltf");
  EXPECT_EQ(scene.GetModelCount(), 1);
  EXPECT_EQ(scene.GetTriangleCount(), 1);

  auto* assembly = dynamic_cast<KIV3DBagRep*>(scene.Find("assembly"));
  auto* part = dynamic_cast<KIV3DBagRep*>(scene.Find("part"));
  auto* copy = dynamic_cast<KIV3DBagRep*>(scene.Find("copy"));
  ASSERT_TRUE(assembly && part && copy);
  EXPECT_EQ(part->GetParents()[0], assembly);
  EXPECT_EQ(assembly->GetParents()[0], copy->GetParents()[0]);  // the root assimp adds
  ASSERT_NE(assembly->GetMatrix(), nullptr);
  const KIVMathPointf moved = assembly->GetMatrix()->TransformPoint({0, 0, 0});
  EXPECT_EQ(moved, KIVMathPointf(1, 2, 3));
  ASSERT_NE(part->GetMatrix(), nullptr);
  EXPECT_EQ(part->GetMatrix()->TransformPoint({1, 0, 0}), KIVMathPointf(2, 0, 5));
  EXPECT_EQ(copy->GetMatrix(), nullptr);

  // One leaf, under both nodes that use the mesh.
  ASSERT_EQ(part->GetChildren().size(), 1u);
  const KIVRep* leaf = part->GetChildren()[0];
  EXPECT_STREQ(scene.GetName(leaf), "triangle");
  EXPECT_EQ(copy->GetChildren(), part->GetChildren());
  const KIVGraphicAttributeSet& set = leaf->GetGraphicAttributeSet();
  EXPECT_EQ(std::vector<int>(set.bytes + 4, set.bytes + 8), (std::vector<int>{51, 102, 153, 128}));
  EXPECT_EQ(set.GetFlag(KIVGraphicAttributeSet::Transparent), 1);
  const KIV3DFaceGP* face = FaceOf(leaf);
  ASSERT_NE(face, nullptr);
  EXPECT_EQ(face->GetTriangles(), (std::vector<int>{0, 1, 2}));
  EXPECT_EQ(face->GetNormals(), (std::vector<float>{0, 1, 0, 0, 1, 0, 0, 1, 0}));  // the file's

  // The same bytes from memory, and the alpha that OPAQUE mode ignores.
  std::string opaque = SceneGltf();
  opaque.replace(opaque.find("BLEND"), 5, "OPAQUE");
  KIVImportedScene fromMemory = KIVSceneImporter().ImportFromMemory(opaque.data(), opaque.size(), "gltf");
  ASSERT_NE(fromMemory.GetTop(), nullptr) << fromMemory.GetError();
  EXPECT_STREQ(fromMemory.GetName(fromMemory.GetTop()), "memory.gltf");
  const KIVRep* opaqueLeaf = fromMemory.Find("triangle");
  ASSERT_NE(opaqueLeaf, nullptr);
  EXPECT_EQ(opaqueLeaf->GetGraphicAttributeSet().bytes[7], 255);
  EXPECT_EQ(opaqueLeaf->GetGraphicAttributeSet().GetFlag(KIVGraphicAttributeSet::Transparent), 0);
  EXPECT_EQ(fromMemory.GetName(leaf), nullptr);  // not one of its reps
}

TEST(SceneImporter, StlKeepsDefaultLookAndCountsTriangles) {
  const std::string path = TempPath("navtools_wedge.stl");
  WriteFile(path,
            "solid wedge\n"
            "facet normal 0 0 -1\nouter loop\nvertex 0 0 0\nvertex 0 1 0\nvertex 1 0 0\nendloop\nendfacet\n"
            "facet normal 0 -1 0\nouter loop\nvertex 0 0 0\nvertex 1 0 0\nvertex 0 0 1\nendloop\nendfacet\n"
            "endsolid wedge\n");
  KIVImportedScene scene = KIVSceneImporter().Import(path.c_str());
  ASSERT_NE(scene.GetTop(), nullptr) << scene.GetError();
  EXPECT_EQ(scene.GetModelCount(), 1);
  EXPECT_EQ(scene.GetTriangleCount(), 2);
  const KIVRep* leaf = nullptr;
  for (KIVRep* rep : scene.GetReps())
    if (FaceOf(rep)) leaf = rep;
  ASSERT_NE(leaf, nullptr);
  EXPECT_EQ(leaf->GetGraphicAttributeSet(), KIVGraphicAttributeSet());
  // The facets' own normals survive the join: the shared corners stay apart.
  const KIV3DFaceGP* face = FaceOf(leaf);
  EXPECT_EQ(face->GetVertexCount(), 6);
  EXPECT_FLOAT_EQ(face->GetNormals()[2], -1.0f);
}

TEST(SceneImporter, LinesAndPointsBecomeTheirOwnLeaves) {
  const std::string obj = "v 0 0 0\nv 1 0 0\nv 0 1 0\nv 0 0 1\nf 1 2 3\nl 1 4\np 2\n";
  KIVImportedScene scene = KIVSceneImporter().ImportFromMemory(obj.data(), obj.size(), "obj");
  ASSERT_NE(scene.GetTop(), nullptr) << scene.GetError();
  EXPECT_EQ(scene.GetModelCount(), 3);
  EXPECT_EQ(scene.GetTriangleCount(), 1);
  int faces = 0, lines = 0, markers = 0;
  for (KIVRep* rep : scene.GetReps()) {
    auto* leaf = dynamic_cast<KIV3DCustomRep*>(rep);
    if (!leaf) continue;
    KIVGraphicPrimitive* gp = leaf->GetGP(0);
    faces += dynamic_cast<KIV3DFaceGP*>(gp) != nullptr;
    if (auto* line = dynamic_cast<KIV3DLineGP*>(gp)) {
      ++lines;
      EXPECT_EQ(line->GetPoints(), (std::vector<float>{0, 0, 0, 0, 0, 1}));
    }
    if (auto* points = dynamic_cast<KIV3DPointSetGP*>(gp)) {
      ++markers;
      EXPECT_EQ(points->GetPoints(), (std::vector<float>{1, 0, 0}));
    }
  }
  EXPECT_EQ(faces + lines + markers, 3);
  EXPECT_EQ(lines, 1);
  EXPECT_EQ(markers, 1);
}

TEST(SceneImporter, BadInputGivesOneLineErrorAndNoTree) {
  KIVSceneImporter importer;
  ExpectFailed(importer.Import(TempPath("navtools_absent.obj").c_str()), "navtools_absent.obj");
  EXPECT_STRNE(importer.Import(nullptr).GetError(), "");
  EXPECT_STRNE(importer.Import("").GetError(), "");

  const std::string gltf = SceneGltf();
  const std::string truncated = TempPath("navtools_truncated.gltf");
  WriteFile(truncated, gltf.substr(0, gltf.size() / 2));
  ExpectFailed(importer.Import(truncated.c_str()), "navtools_truncated.gltf");

  std::string garbage;
  for (int i = 0; i < 4096; ++i) garbage += static_cast<char>((i * 7919 + 13) % 256);
  for (const char* name : {"navtools_garbage.glb", "navtools_garbage.stl", "navtools_garbage.ply", "navtools_garbage.3mf"}) {
    WriteFile(TempPath(name), garbage);
    ExpectFailed(importer.Import(TempPath(name).c_str()), name);
  }
  const std::string empty = TempPath("navtools_empty.obj");
  WriteFile(empty, "# no vertices, no faces\no nothing\n");
  // Read without error but with nothing to draw: an empty model, and a warning.
  KIVImportedScene nothing = importer.Import(empty.c_str());
  ASSERT_NE(nothing.GetTop(), nullptr) << nothing.GetError();
  EXPECT_TRUE(nothing.GetTop()->GetChildren().empty());
  EXPECT_EQ(nothing.GetModelCount(), 0);
  EXPECT_NE(std::string(nothing.GetWarning()).find("no geometry"), std::string::npos) << nothing.GetWarning();

  ExpectFailed(importer.ImportFromMemory(nullptr, 10, "obj"), "no data");
  ExpectFailed(importer.ImportFromMemory(garbage.data(), 0, "obj"), "no data");
  ExpectFailed(importer.ImportFromMemory(garbage.data(), garbage.size(), nullptr), "memory");
}

TEST(SceneImporter, ProgressRisesToOneAndCanCancel) {
  const std::string path = TempPath("navtools_progress.gltf");
  WriteFile(path, SceneGltf());
  KIVSceneImporter importer;
  std::vector<float> seen;
  importer.SetProgressCallback([&seen](float f) {
    seen.push_back(f);
    return 1;
  });
  ASSERT_NE(importer.Import(path.c_str()).GetTop(), nullptr);
  ASSERT_FALSE(seen.empty());
  for (size_t i = 1; i < seen.size(); ++i) EXPECT_GT(seen[i], seen[i - 1]);
  EXPECT_GE(seen.front(), 0.0f);
  EXPECT_EQ(seen.back(), 1.0f);

  importer.SetProgressCallback([](float) { return 0; });
  KIVImportedScene cancelled = importer.Import(path.c_str());
  EXPECT_EQ(cancelled.GetTop(), nullptr);
  EXPECT_NE(std::string(cancelled.GetError()).find("cancelled"), std::string::npos);
}

TEST(ImportedScene, DestructionLeavesTheCallersBagsValid) {
  const std::string path = TempPath("navtools_owned.gltf");
  WriteFile(path, SceneGltf());
  KIVSceneImporter importer;

  // The result goes first: the caller's root and the bag that also holds a leaf lose
  // those children and stay usable.
  auto* root = new KIV3DBagRep;
  auto* mine = new KIV3DBagRep;
  root->AddChild(mine);
  {
    KIVImportedScene scene = importer.Import(path.c_str());
    ASSERT_NE(scene.GetTop(), nullptr);
    root->AddChild(scene.GetTop());
    mine->AddChild(scene.Find("triangle"));
    KIVImportedScene moved = std::move(scene);
    EXPECT_EQ(scene.GetTop(), nullptr);
    EXPECT_EQ(root->GetChildren().size(), 2u);
  }
  EXPECT_EQ(root->GetChildren(), (std::vector<KIVRep*>{mine}));
  EXPECT_TRUE(mine->GetChildren().empty());
  root->ComputeBoundingElement();
  EXPECT_TRUE(root->GetBoundingElement().IsEmpty());

  // The caller's root goes first and takes the imported tree with it: the result then
  // deletes nothing twice and no longer answers for the reps.
  KIVImportedScene scene = importer.Import(path.c_str());
  const KIVRep* leaf = scene.Find("triangle");
  root->AddChild(scene.GetTop());
  root->Destroy();
  EXPECT_EQ(scene.GetTop(), nullptr);
  EXPECT_EQ(scene.GetName(leaf), nullptr);
  EXPECT_TRUE(scene.GetReps().empty());
}

TEST(SceneImporter, GltfIsYUpSoItsTopBagTurnsYToZ) {
  const std::string gltf = SceneGltf();
  KIVImportedScene scene = KIVSceneImporter().ImportFromMemory(gltf.data(), gltf.size(), "gltf");
  ASSERT_NE(scene.GetTop(), nullptr) << scene.GetError();
  EXPECT_STREQ(scene.GetUpAxis(), "+y");
  ASSERT_NE(scene.GetTop()->GetMatrix(), nullptr);
  const KIVMathPointf up = scene.GetTop()->GetMatrix()->TransformPoint(KIVMathPointf(0, 1, 0));
  EXPECT_NEAR(up.x, 0.0f, 1e-6f);
  EXPECT_NEAR(up.y, 0.0f, 1e-6f);
  EXPECT_NEAR(up.z, 1.0f, 1e-6f);
  // Forced z: the file's coordinates are taken as they are.
  KIVSceneImporter asIs;
  asIs.SetUpAxis('z');
  EXPECT_EQ(asIs.ImportFromMemory(gltf.data(), gltf.size(), "gltf").GetTop()->GetMatrix(), nullptr);
}
