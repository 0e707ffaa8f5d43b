// What the importer makes of textures, point clouds and up axes in files written here,
// and how it fails on their bad forms.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <limits>
#include <string>
#include <vector>

#include "host/io/KIVJpegImage.h"
#include "host/io/KIVJsonCheck.h"
#include "host/io/KIVPngImage.h"
#include "host/io/KIVSceneImporter.h"
#include "host/io/KIVTextureLoader.h"
#include "host/visu/scene/KIV3DBagRep.h"
#include "host/visu/scene/KIV3DCustomRep.h"
#include "host/visu/scene/KIV3DFaceGP.h"
#include "host/visu/scene/KIV3DPointSetGP.h"

namespace {
std::filesystem::path Folder() {
  const auto folder = std::filesystem::temp_directory_path() / "navtools_import_extras";
  std::filesystem::create_directories(folder);
  return folder;
}

void WriteFile(const std::filesystem::path& path, const std::string& bytes) {
  std::ofstream(path, std::ios::binary | std::ios::trunc) << bytes;
}

const KIV3DFaceGP* FirstFace(const KIVImportedScene& scene) {
  for (KIVRep* rep : scene.GetReps())
    if (auto* leaf = dynamic_cast<KIV3DCustomRep*>(rep))
      if (auto* face = dynamic_cast<const KIV3DFaceGP*>(leaf->GetGP(0))) return face;
  return nullptr;
}

const char* kTexturedObj =
    "mtllib textured.mtl\nv 0 0 0\nv 1 0 0\nv 1 1 0\nvt 0 0\nvt 1 0\nvt 1 1\nusemtl skin\nf 1/1 2/2 3/3\n";
}  // namespace

TEST(ImportTextures, FoundByWindowsPathsDecodedOnceAndMissingOnesWarned) {
  const auto folder = Folder();
  const unsigned char rgba[16] = {255, 0, 0, 255, 0, 255, 0, 255, 0, 0, 255, 255, 255, 255, 255, 128};
  std::string error;
  ASSERT_TRUE(KIVPngImage::Write((folder / "skin.png").string().c_str(), 2, 2, rgba, &error)) << error;
  WriteFile(folder / "textured.obj", kTexturedObj);
  // A path from another machine: only the file name is found, beside the model.
  WriteFile(folder / "textured.mtl", "newmtl skin\nKd 1 1 1\nmap_Kd C:\\models\\skin.png\n");
  KIVImportedScene scene = KIVSceneImporter().Import((folder / "textured.obj").string().c_str());
  ASSERT_NE(scene.GetTop(), nullptr) << scene.GetError();
  EXPECT_STREQ(scene.GetWarning(), "");
  const KIV3DFaceGP* face = FirstFace(scene);
  ASSERT_NE(face, nullptr);
  ASSERT_TRUE(face->IsTextured());
  EXPECT_EQ(face->GetTexture()->GetWidth(), 2);
  EXPECT_EQ(face->GetTexture()->GetRGBA()[4], 0);  // second pixel green: rows as written
  EXPECT_EQ(face->GetTexture()->HasAlpha(), 1);

  // A texture that is not there, or not an image: the model still loads, untextured, and
  // the warning names the file.
  WriteFile(folder / "textured.mtl", "newmtl skin\nKd 1 1 1\nmap_Kd missing.png\n");
  KIVImportedScene missing = KIVSceneImporter().Import((folder / "textured.obj").string().c_str());
  ASSERT_NE(missing.GetTop(), nullptr) << missing.GetError();
  EXPECT_NE(std::string(missing.GetWarning()).find("texture 'missing.png' not found"), std::string::npos)
      << missing.GetWarning();
  ASSERT_NE(FirstFace(missing), nullptr);
  EXPECT_FALSE(FirstFace(missing)->IsTextured());

  WriteFile(folder / "broken.jpg", std::string("\xFF\xD8\xFF\xE0 truncated", 14));
  WriteFile(folder / "textured.mtl", "newmtl skin\nKd 1 1 1\nmap_Kd broken.jpg\n");
  KIVImportedScene broken = KIVSceneImporter().Import((folder / "textured.obj").string().c_str());
  ASSERT_NE(broken.GetTop(), nullptr) << broken.GetError();
  const std::string warning = broken.GetWarning();
  EXPECT_NE(warning.find("broken.jpg"), std::string::npos) << warning;
  EXPECT_EQ(warning.find('\n'), std::string::npos) << warning;
}

TEST(ImportTextures, DecodersRefuseBadBytesInOneLine) {
  std::string error;
  EXPECT_EQ(KIVTextureLoader::Decode("GIF89a", 6, "x.gif", &error), nullptr);
  EXPECT_NE(error.find("not a PNG or JPEG"), std::string::npos) << error;
  EXPECT_EQ(KIVTextureLoader::Decode(nullptr, 0, "nothing", &error), nullptr);
  const std::string png = "\x89PNG\r\n\x1a\n garbage";
  EXPECT_EQ(KIVTextureLoader::Decode(png.data(), png.size(), "bad.png", &error), nullptr);
  EXPECT_NE(error.find("bad.png"), std::string::npos) << error;
  int w = 7, h = 7;
  std::vector<unsigned char> pixels;
  const std::string jpeg = "\xFF\xD8\xFF\xDB\x00\x43 not really";
  EXPECT_EQ(KIVJpegImage::ReadMemory(jpeg.data(), jpeg.size(), "bad.jpg", w, h, pixels, &error), 0);
  EXPECT_EQ(error.find('\n'), std::string::npos) << error;
  EXPECT_EQ(w, 7);  // outputs untouched
  EXPECT_TRUE(pixels.empty());
  EXPECT_EQ(KIVJpegImage::Read("/nonexistent/x.jpg", w, h, pixels, &error), 0);
}

TEST(ImportPoints, ACloudWithoutFacesKeepsItsFinitePointsAndColours) {
  // Three points, the second with a NaN coordinate.
  std::string ply =
      "ply\nformat binary_little_endian 1.0\nelement vertex 3\nproperty float x\nproperty float y\n"
      "property float z\nproperty uchar red\nproperty uchar green\nproperty uchar blue\nend_header\n";
  const float nan = std::numeric_limits<float>::quiet_NaN();
  const float xyz[3][3] = {{0, 0, 0}, {nan, 1, 0}, {2, 0, 1}};
  for (int i = 0; i < 3; ++i) {
    ply.append(reinterpret_cast<const char*>(xyz[i]), 12);
    const char rgb[3] = {static_cast<char>(10 * i), 0, static_cast<char>(200)};
    ply.append(rgb, 3);
  }
  KIVImportedScene scene = KIVSceneImporter().ImportFromMemory(ply.data(), ply.size(), "ply");
  ASSERT_NE(scene.GetTop(), nullptr) << scene.GetError();
  EXPECT_EQ(scene.GetPointCount(), 2);
  EXPECT_NE(std::string(scene.GetWarning()).find("1 point with non-finite"), std::string::npos) << scene.GetWarning();
  const KIV3DPointSetGP* cloud = nullptr;
  for (KIVRep* rep : scene.GetReps())
    if (auto* leaf = dynamic_cast<KIV3DCustomRep*>(rep)) cloud = dynamic_cast<const KIV3DPointSetGP*>(leaf->GetGP(0));
  ASSERT_NE(cloud, nullptr);
  EXPECT_EQ(cloud->GetPoints(), (std::vector<float>{0, 0, 0, 2, 0, 1}));
  ASSERT_EQ(cloud->GetColors().size(), 8u);
  EXPECT_EQ(cloud->GetColors()[4], 20);  // the third point's red
}

TEST(ImportUpAxis, TheFilesUpBecomesZUnlessForced) {
  const std::string obj = "v 0 0 0\nv 1 0 0\nv 0 1 0\nf 1 2 3\n";
  KIVSceneImporter importer;
  KIVImportedScene plain = importer.ImportFromMemory(obj.data(), obj.size(), "obj");
  ASSERT_NE(plain.GetTop(), nullptr) << plain.GetError();
  EXPECT_STREQ(plain.GetUpAxis(), "+z");
  EXPECT_EQ(plain.GetTop()->GetMatrix(), nullptr);

  EXPECT_EQ(importer.SetUpAxis('q'), 0);
  EXPECT_EQ(importer.GetUpAxis(), 0);
  const struct {
    char axis;
    KIVMathPointf up;
  } cases[] = {{'y', KIVMathPointf(0, 1, 0)}, {'x', KIVMathPointf(1, 0, 0)}};
  for (const auto& c : cases) {
    ASSERT_EQ(importer.SetUpAxis(c.axis), 1);
    KIVImportedScene turned = importer.ImportFromMemory(obj.data(), obj.size(), "obj");
    ASSERT_NE(turned.GetTop(), nullptr);
    ASSERT_NE(turned.GetTop()->GetMatrix(), nullptr);
    const KIV4x4Matrix& m = *turned.GetTop()->GetMatrix();
    const KIVMathPointf up = m.TransformPoint(c.up);
    EXPECT_NEAR(up.z, 1.0f, 1e-6f) << c.axis;
    // A rotation, right-handed: x × y stays z.
    const KIVMathVectorf x = m.TransformVector(KIVMathVectorf(1, 0, 0)), y = m.TransformVector(KIVMathVectorf(0, 1, 0));
    const KIVMathVectorf z = x ^ y, expected = m.TransformVector(KIVMathVectorf(0, 0, 1));
    EXPECT_NEAR(z.x, expected.x, 1e-6f);
    EXPECT_NEAR(z.y, expected.y, 1e-6f);
    EXPECT_NEAR(z.z, expected.z, 1e-6f);
  }
}

// Text glTF reaches assimp only as well-formed JSON: its readers run past their buffer on
// some malformed files (found by fuzzing), so those are refused with the reason.
TEST(JsonCheck, AcceptsDocumentsAndRefusesEveryKindOfMalformedText) {
  for (const char* good : {"{}", "[]", " {\"a\": [1, -2.5e3, true, false, null, \"x\\u00e9\\n\"], \"b\": {}} ", "0",
                           "\"s\"", "[[[]]]"})
    EXPECT_EQ(KIVJsonCheck::IsWellFormed(good, std::strlen(good), nullptr), 1) << good;
  for (const char* bad : {"", "{", "{\"a\" 1}", "{\"a\":}", "[1,]", "[1 2]", "{\"a\":1,}", "01", "1.", "-", "\"open",
                          "\"\\x\"", "\"\\u12\"", "{} {}", "tru", "{'a':1}", "[\"\x01\"]"}) {
    std::string why;
    EXPECT_EQ(KIVJsonCheck::IsWellFormed(bad, std::strlen(bad), &why), 0) << bad;
    EXPECT_NE(why.find("at byte"), std::string::npos) << bad;
  }
  const std::string deep(5000, '[');
  EXPECT_EQ(KIVJsonCheck::IsWellFormed(deep.data(), deep.size(), nullptr), 0);
  // The fuzzer's find, a glTF hint with JSON-like bytes, is refused before assimp.
  const char crash[] = "rgeometrynodeibut\x01:{\"v\xf9\xf9\xf9";
  KIVSceneImporter importer;
  const KIVImportedScene scene = importer.ImportFromMemory(crash, sizeof crash - 1, "gltf");
  EXPECT_EQ(scene.GetTop(), nullptr);
  EXPECT_NE(std::string(scene.GetError()).find("malformed JSON"), std::string::npos) << scene.GetError();
}
