// What a gauge looks like through OpenGL: its rod between the two points and its label
// beside the first one, in the gauge's colour.
#include <cstdlib>

#include "measure/KIVNavMarker3DGageRep.h"
#include "primitives/KIVSiLaGridGP.h"
#include "primitives/KIVSiLaGridRep.h"
#include "tests/gl/GLTestScene.h"

namespace {

using GLMarker = GLScene;

TEST_F(GLMarker, AGaugeShowsItsRodAndItsLabelBesideTheFirstPoint) {
  viewer.SetGraphicSize(480, 240);
  KIVUnicodeString name("gap");
  KIVMathPointf a(-3.0f, 0.0f, -1.0f), b(3.0f, 0.0f, -1.0f);
  auto* gauge = new KIVNavMarker3DGageRep(name, a, b, 0.15f, 1);
  gauge->SetColorRGBA(255, 40, 40, 255);
  root->AddChild(gauge);
  Frame();
  if (const char* out = std::getenv("NAVTOOLS_E2E_OUT"))
    KIVGLCapture::WritePng(*render, viewer, (std::string(out) + "/gauge.png").c_str(), 0, 0, nullptr);
  auto red = [](const std::array<int, 4>& p) { return p[0] > 120 && p[1] < 90 && p[2] < 90; };
  // The rod: red across the middle third of the frame on the rod's row.
  int rodRow = -1;
  for (int y = height / 2; y < height && rodRow < 0; ++y)
    if (red(At(width / 2, y))) rodRow = y;
  ASSERT_GE(rodRow, 0) << "no rod below the centre";
  for (int x = width / 3; x < 2 * width / 3; x += 7) EXPECT_TRUE(red(At(x, rodRow))) << x;
  // The label "gap : 6.00" above the rod, right of the first point: red glyph pixels
  // with background between them.
  const int left = width / 2 - static_cast<int>(0.3f * width);
  int glyph = 0, gaps = 0;
  for (int y = rodRow - 16; y < rodRow - 2; ++y)
    for (int x = left; x < left + 90 && x < width; ++x) (red(At(x, y)) ? glyph : gaps) += 1;
  EXPECT_GT(glyph, 60);
  EXPECT_GT(gaps, 300);
}

// A grid facing the camera: its centre lines cross in the middle of the frame, the next
// lines are one step away on both sides, and its graduations are written along the border.
TEST_F(GLMarker, GridLinesFallWhereTheStepsPutThem) {
  viewer.SetGraphicSize(480, 480);
  viewer.GetKIVColormap().SetColor(19, 1.0f, 1.0f, 1.0f);
  auto* grid = new KIVSiLaGridRep(1.0f, 1.0f, 6.0f, 6.0f);
  grid->SetPosition(KIVMathPointf(0, 0, 0), KIVMathDirectionf(1, 0, 0), KIVMathDirectionf(0, 0, 1));
  root->AddChild(grid);
  Frame();
  if (const char* out = std::getenv("NAVTOOLS_E2E_OUT"))
    KIVGLCapture::WritePng(*render, viewer, (std::string(out) + "/grid.png").c_str(), 0, 0, nullptr);
  auto white = [](const std::array<int, 4>& p) { return p[0] > 150 && p[1] > 150 && p[2] > 150; };
  // Columns crossing a row halfway between two lines, clear of the labels: x = -3 … 3.
  std::vector<int> columns;
  for (int x = 0; x < width; ++x)
    if (white(At(x, height * 9 / 16)) && (columns.empty() || x > columns.back() + 2)) columns.push_back(x);
  ASSERT_EQ(columns.size(), 7u);
  const int spacing = columns[4] - columns[3];
  EXPECT_NEAR(columns[3], width / 2, 2);
  for (size_t i = 1; i < columns.size(); ++i) EXPECT_NEAR(columns[i] - columns[i - 1], spacing, 2);
  EXPECT_EQ(grid->GetGP()->GetCaption(), "Absolute. Y= 0.0");
  EXPECT_GE(grid->GetGP()->GetDrawnLabels().size(), 14u);
}

}  // namespace
