// Captures written as PNG files, and what they refuse.
#include <unistd.h>

#include <cstdio>

#include "host/io/KIVPngImage.h"
#include "tests/gl/GLTestScene.h"

namespace {

using GLCapture = GLScene;

std::string TempPath(const char* name) { return ::testing::TempDir() + name; }

TEST_F(GLCapture, WritesAPngOfTheAskedSizeAndRestoresTheViewer) {
  root->AddChild(Leaf(Square(0, 0, 1), Rgba(255, 0, 0)));
  const std::string path = TempPath("gl_capture.png");
  std::string error;
  ASSERT_TRUE(KIVGLCapture::WritePng(*render, viewer, path.c_str(), 120, 90, &error)) << error;
  int w = 0, h = 0;
  std::vector<unsigned char> rgba;
  ASSERT_TRUE(KIVPngImage::Read(path.c_str(), w, h, rgba, &error)) << error;
  EXPECT_EQ(w, 120);
  EXPECT_EQ(h, 90);
  const size_t centre = (static_cast<size_t>(45) * 120 + 60) * 4;
  EXPECT_GT(rgba[centre], 200);
  EXPECT_LT(rgba[centre + 2], 10);
  EXPECT_EQ(rgba[0], 0) << "the top-left corner is background";
  int vw = 0, vh = 0;
  viewer.GetGraphicSize(&vw, &vh);
  EXPECT_EQ(vw, kWidth);
  EXPECT_EQ(vh, kHeight);
  // The viewer's own size with 0 × 0.
  ASSERT_TRUE(KIVGLCapture::WritePng(*render, viewer, path.c_str(), 0, 0, &error)) << error;
  ASSERT_TRUE(KIVPngImage::Read(path.c_str(), w, h, rgba, &error)) << error;
  EXPECT_EQ(w, kWidth);
  EXPECT_EQ(h, kHeight);
  std::remove(path.c_str());
}

TEST_F(GLCapture, RefusesBadArgumentsAndUnwritablePathsWithoutLeavingAFile) {
  std::string error;
  EXPECT_FALSE(KIVGLCapture::WritePng(*render, viewer, nullptr, 0, 0, &error));
  EXPECT_FALSE(error.empty());
  const std::string path = TempPath("gl_refused.png");
  EXPECT_FALSE(KIVGLCapture::WritePng(*render, viewer, path.c_str(), -4, 10, &error));
  EXPECT_FALSE(KIVGLCapture::WritePng(*render, viewer, path.c_str(), 10, 0, &error));
  EXPECT_FALSE(KIVGLCapture::WritePng(*render, viewer, path.c_str(), 100000, 100000, &error));
  EXPECT_NE(access(path.c_str(), F_OK), 0);
  const std::string missing = TempPath("no_such_folder/x.png");
  error.clear();
  EXPECT_FALSE(KIVGLCapture::WritePng(*render, viewer, missing.c_str(), 0, 0, &error));
  EXPECT_NE(error.find("x.png"), std::string::npos) << error;
  EXPECT_NE(access(missing.c_str(), F_OK), 0);
  // A render that is not the viewer's is refused before anything is drawn.
  KIVGLRender other(viewer.GetSupport(), SharedContext(nullptr));
  EXPECT_FALSE(KIVGLCapture::WritePng(other, viewer, path.c_str(), 0, 0, &error));
  std::vector<unsigned char> rgba;
  int w = 0, h = 0;
  EXPECT_FALSE(KIVGLCapture::ReadPixels(other, rgba, w, h, &error)) << "no frame yet";
}

}  // namespace
