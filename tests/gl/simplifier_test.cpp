// Coarser levels of detailed faces: what clustering keeps, and what a frame draws.
#include <algorithm>
#include <cmath>
#include <random>

#include "host/gl/KIVGLSimplifier.h"
#include "tests/gl/GLTestScene.h"

namespace {

// A closed UV sphere of radius 1: rings × segments quads.
KIVGLSimplifier::Mesh Sphere(int rings, int segments) {
  KIVGLSimplifier::Mesh m;
  for (int j = 0; j <= rings; ++j)
    for (int i = 0; i < segments; ++i) {
      const double t = M_PI * j / rings, p = 2 * M_PI * i / segments;
      const float x = static_cast<float>(std::sin(t) * std::cos(p)), y = static_cast<float>(std::sin(t) * std::sin(p)),
                  z = static_cast<float>(std::cos(t));
      m.positions.insert(m.positions.end(), {x, y, z});
      m.normals.insert(m.normals.end(), {x, y, z});
    }
  for (int j = 0; j < rings; ++j)
    for (int i = 0; i < segments; ++i) {
      const unsigned a = j * segments + i, b = j * segments + (i + 1) % segments, c = a + segments, d = b + segments;
      m.indices.insert(m.indices.end(), {a, b, d, a, d, c});
    }
  return m;
}

TEST(GLSimplifier, KeepsInputVerticesWithinTheCellAndDropsCollapsedTriangles) {
  const KIVGLSimplifier::Mesh sphere = Sphere(40, 80);
  const int vertices = static_cast<int>(sphere.positions.size() / 3);
  for (float cell : {0.05f, 0.2f, 0.6f}) {
    KIVGLSimplifier::Mesh coarse;
    ASSERT_TRUE(KIVGLSimplifier::Cluster(sphere.positions.data(), sphere.normals.data(), vertices,
                                         sphere.indices.data(), static_cast<int>(sphere.indices.size()), cell, coarse));
    EXPECT_LT(coarse.indices.size(), sphere.indices.size());
    EXPECT_FALSE(coarse.indices.empty());
    // Kept vertices are input vertices, on the sphere: the outline does not shrink.
    for (size_t v = 0; v < coarse.positions.size(); v += 3) {
      const float r = std::sqrt(coarse.positions[v] * coarse.positions[v] +
                                coarse.positions[v + 1] * coarse.positions[v + 1] +
                                coarse.positions[v + 2] * coarse.positions[v + 2]);
      EXPECT_NEAR(r, 1.0f, 1e-5f);
    }
    for (size_t i = 0; i + 2 < coarse.indices.size(); i += 3) {
      EXPECT_NE(coarse.indices[i], coarse.indices[i + 1]);
      EXPECT_NE(coarse.indices[i + 1], coarse.indices[i + 2]);
      EXPECT_NE(coarse.indices[i], coarse.indices[i + 2]);
      for (int k = 0; k < 3; ++k) EXPECT_LT(coarse.indices[i + k], coarse.positions.size() / 3);
    }
  }
}

TEST(GLSimplifier, RefusesBadInput) {
  const KIVGLSimplifier::Mesh sphere = Sphere(4, 8);
  const int n = static_cast<int>(sphere.positions.size() / 3), k = static_cast<int>(sphere.indices.size());
  KIVGLSimplifier::Mesh out;
  out.indices = {1, 2, 3};
  EXPECT_FALSE(KIVGLSimplifier::Cluster(nullptr, sphere.normals.data(), n, sphere.indices.data(), k, 0.1f, out));
  EXPECT_TRUE(out.indices.empty()) << "a refusal leaves an empty result";
  EXPECT_FALSE(KIVGLSimplifier::Cluster(sphere.positions.data(), sphere.normals.data(), n, sphere.indices.data(), k,
                                        0.0f, out));
  EXPECT_FALSE(KIVGLSimplifier::Cluster(sphere.positions.data(), sphere.normals.data(), n, sphere.indices.data(), k,
                                        NAN, out));
  std::vector<unsigned> wrong = sphere.indices;
  wrong[5] = static_cast<unsigned>(n);
  EXPECT_FALSE(KIVGLSimplifier::Cluster(sphere.positions.data(), sphere.normals.data(), n, wrong.data(), k, 0.1f, out));
  // A cell bigger than the whole mesh leaves nothing to draw, without failing.
  EXPECT_TRUE(KIVGLSimplifier::Cluster(sphere.positions.data(), sphere.normals.data(), n, sphere.indices.data(), k,
                                       10.0f, out));
  EXPECT_TRUE(out.indices.empty());
}

// An open tube along z, radius 1, length 4: rings × segments quads, smooth normals.
KIVGLSimplifier::Mesh Tube(int rings, int segments) {
  KIVGLSimplifier::Mesh m;
  for (int j = 0; j <= rings; ++j)
    for (int i = 0; i < segments; ++i) {
      const double p = 2 * M_PI * i / segments;
      const float x = static_cast<float>(std::cos(p)), y = static_cast<float>(std::sin(p));
      m.positions.insert(m.positions.end(), {x, y, 4.0f * static_cast<float>(j) / static_cast<float>(rings) - 2.0f});
      m.normals.insert(m.normals.end(), {x, y, 0.0f});
    }
  for (int j = 0; j < rings; ++j)
    for (int i = 0; i < segments; ++i) {
      const unsigned a = j * segments + i, b = j * segments + (i + 1) % segments, c = a + segments, d = b + segments;
      m.indices.insert(m.indices.end(), {a, b, d, a, d, c});
    }
  return m;
}

KIVGLSimplifier::Mesh Collapsed(const KIVGLSimplifier::Mesh& m, float tolerance) {
  KIVGLSimplifier::Mesh out;
  EXPECT_TRUE(KIVGLSimplifier::Collapse(m.positions.data(), m.normals.data(), static_cast<int>(m.positions.size() / 3),
                                        m.indices.data(), static_cast<int>(m.indices.size()), tolerance, out));
  return out;
}

// Twice the signed area of each triangle projected on z, summed.
double AreaZ(const KIVGLSimplifier::Mesh& m) {
  double area = 0.0;
  for (size_t i = 0; i + 2 < m.indices.size(); i += 3) {
    const float* a = &m.positions[3 * m.indices[i]];
    const float* b = &m.positions[3 * m.indices[i + 1]];
    const float* c = &m.positions[3 * m.indices[i + 2]];
    const double cross = (double(b[0]) - a[0]) * (double(c[1]) - a[1]) - (double(b[1]) - a[1]) * (double(c[0]) - a[0]);
    EXPECT_GT(cross, 0.0) << "no triangle turns over";
    area += cross;
  }
  return area;
}

// What is exactly redundant goes, and nothing else: the rings inside a straight tube,
// the inside of a flat grid (its outline and area stay, no triangle turned over), but no
// vertex of a curved sphere, and nothing of a tube whose rings carry another normal.
TEST(GLSimplifier, CollapseRemovesOnlyWhatTheSurfaceDoesNotNeed) {
  const KIVGLSimplifier::Mesh tube = Collapsed(Tube(20, 12), 1e-4f);
  EXPECT_EQ(tube.indices.size(), 3u * 2 * 12) << "one quad a segment, end ring to end ring";
  for (size_t v = 0; v + 2 < tube.positions.size(); v += 3) EXPECT_EQ(std::fabs(tube.positions[v + 2]), 2.0f);

  KIVGLSimplifier::Mesh grid;
  const int side = 9;
  for (int y = 0; y < side; ++y)
    for (int x = 0; x < side; ++x) {
      grid.positions.insert(grid.positions.end(), {static_cast<float>(x), static_cast<float>(y), 0.0f});
      grid.normals.insert(grid.normals.end(), {0.0f, 0.0f, 1.0f});
    }
  for (unsigned y = 0; y + 1 < side; ++y)
    for (unsigned x = 0; x + 1 < side; ++x) {
      const unsigned a = y * side + x, b = a + 1, c = a + side, d = c + 1;
      grid.indices.insert(grid.indices.end(), {a, b, d, a, d, c});
    }
  const KIVGLSimplifier::Mesh flat = Collapsed(grid, 1e-4f);
  EXPECT_EQ(flat.positions.size() / 3, 4u * (side - 1)) << "the outline alone";
  EXPECT_EQ(flat.indices.size() / 3, 4u * (side - 1) - 2);
  EXPECT_NEAR(AreaZ(flat), AreaZ(grid), 1e-6);
  // The same grid flat-shaded, every triangle with corners of its own, goes as far.
  KIVGLSimplifier::Mesh split;
  for (unsigned index : grid.indices) {
    split.positions.insert(split.positions.end(), &grid.positions[3 * index], &grid.positions[3 * index] + 3);
    split.normals.insert(split.normals.end(), {0.0f, 0.0f, 1.0f});
    split.indices.push_back(static_cast<unsigned>(split.indices.size()));
  }
  const KIVGLSimplifier::Mesh splitFlat = Collapsed(split, 1e-4f);
  EXPECT_EQ(splitFlat.indices.size(), flat.indices.size());
  EXPECT_NEAR(AreaZ(splitFlat), AreaZ(grid), 1e-6);

  // The sphere loses only its triangles of no area, at the poles.
  const KIVGLSimplifier::Mesh sphere = Sphere(20, 40);
  size_t withArea = 0;
  for (size_t i = 0; i < sphere.indices.size(); i += 3) {
    const float* p[3];
    for (int k = 0; k < 3; ++k) p[k] = &sphere.positions[3 * sphere.indices[i + k]];
    auto same = [](const float* a, const float* b) { return std::equal(a, a + 3, b); };
    withArea += !same(p[0], p[1]) && !same(p[1], p[2]) && !same(p[0], p[2]);
  }
  EXPECT_EQ(Collapsed(sphere, 1e-4f).indices.size(), 3 * withArea);
  KIVGLSimplifier::Mesh bent = Tube(20, 12);
  for (size_t v = 0; v < bent.normals.size(); v += 3)
    if (bent.positions[v + 2] > 0.0f)
      for (int k = 0; k < 3; ++k) bent.normals[v + k] = (k == 2 ? 0.5f : bent.normals[v + k]) / std::sqrt(1.25f);
  EXPECT_GT(Collapsed(bent, 1e-4f).indices.size(), tube.indices.size()) << "the shading would change";

  KIVGLSimplifier::Mesh out;
  EXPECT_FALSE(KIVGLSimplifier::Collapse(sphere.positions.data(), sphere.normals.data(), 3, sphere.indices.data(),
                                         static_cast<int>(sphere.indices.size()), 0.1f, out));
  EXPECT_FALSE(KIVGLSimplifier::Collapse(sphere.positions.data(), nullptr, 3, sphere.indices.data(), 3, 0.1f, out));
}

// Whatever the triangles (repeated, folded, degenerate, sharing an edge three times,
// with points that are not finite), the result indexes its own vertices, each one of the
// input's, and keeps no face with a repeated corner.
TEST(GLSimplifier, CollapseKeepsItsShapeOnArbitraryTriangles) {
  std::mt19937 random(11);
  for (int round = 0; round < 200; ++round) {
    const int vertices = 3 + static_cast<int>(random() % 30);
    KIVGLSimplifier::Mesh m;
    for (int v = 0; v < vertices; ++v) {
      for (int k = 0; k < 3; ++k) m.positions.push_back(static_cast<float>(random() % 5));
      m.normals.insert(m.normals.end(), {0.0f, 0.0f, 1.0f});
    }
    if (round % 7 == 0) m.positions[3] = NAN;
    const int faces = 1 + static_cast<int>(random() % 60);
    for (int f = 0; f < 3 * faces; ++f) m.indices.push_back(static_cast<unsigned>(random() % vertices));
    const KIVGLSimplifier::Mesh out = Collapsed(m, round % 2 ? 1e-3f : 1.0f);
    ASSERT_EQ(out.indices.size() % 3, 0u);
    ASSERT_EQ(out.positions.size(), out.normals.size());
    for (size_t i = 0; i < out.indices.size(); i += 3) {
      for (int k = 0; k < 3; ++k) ASSERT_LT(out.indices[i + k], out.positions.size() / 3);
      EXPECT_NE(out.indices[i], out.indices[i + 1]);
      EXPECT_NE(out.indices[i + 1], out.indices[i + 2]);
      EXPECT_NE(out.indices[i], out.indices[i + 2]);
    }
    for (size_t v = 0; v < out.positions.size(); v += 3) {
      bool found = false;
      for (size_t w = 0; w < m.positions.size() && !found; w += 3)
        found = std::equal(&out.positions[v], &out.positions[v] + 3, &m.positions[w],
                           [](float a, float b) { return a == b || (std::isnan(a) && std::isnan(b)); });
      EXPECT_TRUE(found) << "round " << round;
    }
  }
}

struct GLFaceLevels : GLScene {
  // Adds the mesh as one white face, given its normals or left to compute them.
  void AddFace(const KIVGLSimplifier::Mesh& m, bool normals) {
    const std::vector<int> indices(m.indices.begin(), m.indices.end());
    root->AddChild(Leaf(new KIV3DFaceGP(m.positions.data(), static_cast<int>(m.positions.size()),
                                        normals ? m.normals.data() : nullptr, indices.data(),
                                        static_cast<int>(indices.size() / 3)),
                        Rgba(255, 255, 255)));
  }
  // Pixels of the last frame that the face covers.
  int Covered() const {
    int n = 0;
    for (size_t i = 0; i < pixels.size(); i += 4) n += pixels[i] > 20;
    return n;
  }
};

// A detailed sphere far away is drawn coarse, with the same outline within a pixel.
TEST_F(GLFaceLevels, ADetailedFaceSeenSmallDrawsFewerTrianglesAndTheSameOutline) {
  AddFace(Sphere(60, 120), true);
  KIV3DViewpoint* camera = viewer.GetMain3DViewpoint();
  camera->SetOrigin(KIVMathPointf(0, -25, 0));
  viewer.GetSupport().SetSagPrecision(0.001f);
  Frame();
  const long long full = render->GetLastFrameStats().triangles;
  const int fullCover = Covered();
  EXPECT_EQ(full, 60 * 120 * 2);
  viewer.GetSupport().SetSagPrecision(0.5f);
  Frame();
  EXPECT_LT(render->GetLastFrameStats().triangles, full / 2);
  EXPECT_GT(fullCover, 10);
  EXPECT_NEAR(Covered(), fullCover, 2 + 0.1 * fullCover);
  // Held still, the coarse level joins the merged buffers like any face.
  const long long coarse = render->GetLastFrameStats().triangles;
  Frame();
  Frame();
  EXPECT_EQ(render->GetLastFrameStats().batchedItems, 1);
  EXPECT_EQ(render->GetLastFrameStats().triangles, coarse);
  EXPECT_NEAR(Covered(), fullCover, 2 + 0.1 * fullCover);
  // Close up the full mesh is back.
  camera->SetOrigin(KIVMathPointf(0, -2.5f, 0));
  Frame();
  EXPECT_EQ(render->GetLastFrameStats().triangles, full);
}

// A straight tube of many rings given without normals, seen from afar, is drawn as one
// quad a segment: the normals the render gives it are the same on its end rings as
// inside (they do not lean with the way its quads were cut), so the inner rings go
// without changing its shading, and its outline stays.
TEST_F(GLFaceLevels, ATubeWithoutNormalsSeenSmallKeepsOnlyItsEndRings) {
  AddFace(Tube(24, 16), false);
  viewer.GetMain3DViewpoint()->SetOrigin(KIVMathPointf(0, -40, 0));
  viewer.GetSupport().SetSagPrecision(0.001f);
  Frame();
  const int fullCover = Covered();
  EXPECT_EQ(render->GetLastFrameStats().triangles, 24 * 16 * 2);
  viewer.GetSupport().SetSagPrecision(0.5f);
  Frame();
  EXPECT_EQ(render->GetLastFrameStats().triangles, 16 * 2);
  EXPECT_GT(fullCover, 10);
  EXPECT_NEAR(Covered(), fullCover, 2 + 0.05 * fullCover);
}

}  // namespace
