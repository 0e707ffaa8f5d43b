#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <string>
#include <vector>

#include "host/visu/scene/KIV3DAnnotationTextGP.h"
#include "host/visu/scene/KIV3DCylinderGP.h"
#include "host/visu/scene/KIV3DCylinderRep.h"
#include "host/visu/scene/KIV3DEdgeGP.h"
#include "host/visu/scene/KIV3DFaceGP.h"
#include "host/visu/scene/KIV3DLineGP.h"
#include "host/visu/scene/KIV3DLineRep.h"
#include "host/visu/scene/KIV3DMarkerGP.h"
#include "host/visu/scene/KIV3DPlanarFaceGP.h"
#include "host/visu/scene/KIV3DPointRep.h"
#include "host/visu/scene/KIV3DPolylineGP.h"
#include "host/visu/view/KIV3DViewpoint.h"
#include "host/visu/scene/KIVDynamicGP.h"
#include "host/visu/view/KIVRender.h"

namespace {

// Records which drawing operation each primitive reached.
class RecordingRender : public KIVRender {
 public:
  RecordingRender() : KIVRender(KIVSupport(100, 100)) {}
  void Draw3DMarker(KIV3DMarkerGP&) override { calls.push_back("marker"); }
  void Draw3DLine(KIV3DLineGP&) override { calls.push_back("line"); }
  void Draw3DEdge(KIV3DEdgeGP&) override { calls.push_back("edge"); }
  void Draw3DPolyline(KIV3DPolylineGP&) override { calls.push_back("polyline"); }
  void DrawDynamicGP(KIVDynamicGP& gp) override {
    calls.push_back("dynamic");
    gp.Generate(*this);
  }
  void Draw3DFace(KIV3DFaceGP&) override { calls.push_back("face"); }
  void Draw3DPlanarFace(KIV3DPlanarFaceGP&) override { calls.push_back("planar"); }
  void Draw3DCylinder(KIV3DCylinderGP&, const int lod) override {
    calls.push_back("cylinder");
    lods.push_back(lod);
  }
  void Draw3DAnnotationText(KIV3DAnnotationTextGP&) override { calls.push_back("text"); }
  std::vector<std::string> calls;
  std::vector<int> lods;
};

// Counts triangles the way a back end would, from Get's strips and fans.
template <class GP>
int CountFromGet(const GP& gp) {
  const float *v, *n;
  const int *t, *s, *sc, *f, *fc;
  int vf, tc, sn, fn;
  gp.Get(v, vf, n, t, tc, s, sc, sn, f, fc, fn);
  int count = tc;
  for (int i = 0; i < sn; ++i) count += sc[i] > 2 ? sc[i] - 2 : 0;
  for (int i = 0; i < fn; ++i) count += fc[i] > 2 ? fc[i] - 2 : 0;
  return count;
}

KIVMathVectorf Vertex(const std::vector<float>& v, int i) { return KIVMathVectorf(&v[3 * i]); }

KIVMathVectorf TriangleNormal(const std::vector<float>& v, const std::vector<int>& t, size_t first) {
  const KIVMathVectorf a = Vertex(v, t[first]), b = Vertex(v, t[first + 1]), c = Vertex(v, t[first + 2]);
  return (b - a) ^ (c - a);
}

TEST(PrimitiveDispatch, EachKindReachesItsOwnDrawOperation) {
  RecordingRender render;
  const float p[9] = {0, 0, 0, 1, 0, 0, 0, 1, 0};
  const int tri[3] = {0, 1, 2}, edge[2] = {0, 1};
  KIV3DFaceGP face(p, 9, nullptr, tri, 1);
  KIV3DPlanarFaceGP planar(p, 9, tri, 1, KIVMathDirectionf(0, 0, 1));
  KIV3DMarkerGP marker(p, 9);
  KIV3DPolylineGP polyline(p, 9, 1);
  KIV3DLineGP line(p, 6);
  KIV3DEdgeGP edges(p, 9, edge, 1);
  KIV3DCylinderGP cylinder;
  KIV3DAnnotationTextGP text(KIVMathPointf(1, 2, 3), "label");
  KIVDynamicGP dynamic;
  KIVGraphicPrimitive* all[] = {&face, &planar, &marker, &polyline, &line, &edges, &cylinder, &text, &dynamic};
  for (KIVGraphicPrimitive* gp : all) gp->Draw(render);
  const std::vector<std::string> expected = {"face",  "planar",   "marker", "polyline", "line",
                                             "edge",  "cylinder", "text",   "dynamic"};
  EXPECT_EQ(render.calls, expected);
  EXPECT_EQ(render.lods, std::vector<int>{0});  // the render, not the primitive, picks coarser levels
}

TEST(PrimitiveDispatch, DynamicCallbackDrawsThroughTheRenderAndMayReplaceItself) {
  RecordingRender render;
  KIVDynamicGP dynamic;
  KIV3DMarkerGP marker;
  EXPECT_EQ(dynamic.Generate(render), 0);
  int runs = 0;
  dynamic.SetCallback([&](KIVRender& r) {
    ++runs;
    marker.Draw(r);
    // Replacing the running callback must not pull it out from under itself.
    dynamic.SetCallback([&](KIVRender&) { runs += 10; });
    marker.Draw(r);
  });
  dynamic.Draw(render);
  dynamic.Draw(render);
  EXPECT_EQ(runs, 11);
  EXPECT_EQ(render.calls, (std::vector<std::string>{"dynamic", "marker", "marker", "dynamic"}));

  const float bounds[7] = {0, 0, 0, 2, 2, 2, 9};
  EXPECT_EQ(dynamic.SetBoundingPoints(nullptr, 3), 0);
  EXPECT_EQ(dynamic.SetBoundingPoints(bounds, -1), 0);
  ASSERT_EQ(dynamic.SetBoundingPoints(bounds, 7), 1);
  std::vector<float> out;
  dynamic.GetBoundingPoints(out);
  EXPECT_EQ(out.size(), 6u);  // the partial point is dropped
}

TEST(PrimitiveFace, StripsAndFansExpandWithOneWinding) {
  // A zigzag strip and a hexagon fan in the z = 0 plane, seen from +z counter-clockwise.
  std::vector<float> v;
  for (int i = 0; i < 6; ++i) v.insert(v.end(), {float(i / 2), float(i % 2), 0.0f});  // strip: 0 1 / 2 3 / 4 5
  for (int i = 0; i < 6; ++i) {
    const float a = static_cast<float>(i) * 1.0471976f;
    v.insert(v.end(), {10.0f + std::cos(a), std::sin(a), 0.0f});
  }
  KIV3DPlanarFaceGP face;
  ASSERT_EQ(face.SetVertices(v.data(), static_cast<int>(v.size())), 1);
  const int strip[6] = {1, 0, 3, 2, 5, 4}, fan[6] = {6, 7, 8, 9, 10, 11};
  ASSERT_EQ(face.AddStrip(strip, 6), 1);
  ASSERT_EQ(face.AddFan(fan, 6), 1);
  EXPECT_EQ(face.GetTriangleCount(), 8);
  std::vector<float> pv = {7, 7, 7};  // an earlier vertex: indices must be offset past it
  std::vector<int> pt;
  ASSERT_EQ(face.GetPickTriangles(pv, pt), 8);
  for (int i : pt) EXPECT_GE(i, 1);
  for (size_t t = 0; t < pt.size(); t += 3) EXPECT_GT(TriangleNormal(pv, pt, t).z, 0.0f) << "triangle " << t / 3;
  EXPECT_EQ(face.GetNormal().IsNull(), true);
  ASSERT_EQ(face.ComputeNormal(), 1);
  EXPECT_NEAR(face.GetNormal().z, 1.0f, 1e-6f);
  EXPECT_EQ(face.SetNormal(KIVMathDirectionf()), 0);
  EXPECT_NEAR(face.GetNormal().z, 1.0f, 1e-6f);

  KIV3DPlanarFaceGP degenerate;
  const float line[9] = {0, 0, 0, 1, 1, 1, 2, 2, 2};
  const int tri[3] = {0, 1, 2}, outside[3] = {0, 1, 3};
  ASSERT_EQ(degenerate.SetVertices(line, 9), 1);
  EXPECT_EQ(degenerate.SetTriangles(outside, 1), 0);
  ASSERT_EQ(degenerate.SetTriangles(tri, 1), 1);
  EXPECT_EQ(degenerate.ComputeNormal(), 0);
}

TEST(PrimitiveCylinder, CountsFollowSegmentsCapsAndLevels) {
  KIV3DCylinderGP c(KIVMathPointf(1, 2, 3), KIVMathVectorf(0, 0, 5), 2.0f);
  const int levels[3] = {16, 8, 4};
  ASSERT_EQ(c.SetLODSegments(levels, 3), 1);
  EXPECT_EQ(c.GetTriangleCount(), 16 * 4);
  EXPECT_EQ(c.GetTriangleCount(2), 4 * 4);
  EXPECT_EQ(c.GetTriangleCount(3), 0);
  EXPECT_EQ(c.GetTriangleCount(-1), 0);
  EXPECT_EQ(CountFromGet(c), c.GetTriangleCount());
  std::vector<float> v;
  std::vector<int> t;
  EXPECT_EQ(c.GetPickTriangles(v, t), c.GetTriangleCount());

  ASSERT_EQ(c.SetCaps(KIV3DCylinderGP::TopCap), 1);
  EXPECT_EQ(c.GetTriangleCount(), 16 * 3);
  ASSERT_EQ(c.SetCaps(KIV3DCylinderGP::NoCaps), 1);
  EXPECT_EQ(c.GetTriangleCount(), 16 * 2);
  EXPECT_EQ(CountFromGet(c), 32);  // the cached tessellation followed the change
  const float *pv, *pn;
  const int *pt, *s, *sc, *f, *fc;
  int vf, tc, sn, fn;
  c.Get(pv, vf, pn, pt, tc, s, sc, sn, f, fc, fn);
  EXPECT_EQ(sn, 1);
  EXPECT_EQ(sc[0], 2 * 16 + 2);
  EXPECT_EQ(fn, 0);
  ASSERT_NE(pn, nullptr);

  // Sags grow as levels coarsen; a square's chords stray r(1 − cos 45°).
  ASSERT_EQ(c.GetLODSags().size(), 3u);
  EXPECT_LT(c.GetLODSags()[0], c.GetLODSags()[1]);
  EXPECT_NEAR(c.GetLODSags()[2], 2.0f * (1.0f - std::cos(0.78539816f)), 1e-5f);

  KIV3DFaceGP coarse;
  EXPECT_EQ(c.Tessellate(3, coarse), 0);
  ASSERT_EQ(c.Tessellate(2, coarse), 1);
  EXPECT_EQ(coarse.GetTriangleCount(), 8);
}

TEST(PrimitiveCylinder, RefusesBadShapesAndKeepsTheLastGoodOne) {
  KIV3DCylinderGP c;
  const float nan = std::numeric_limits<float>::quiet_NaN(), inf = std::numeric_limits<float>::infinity();
  EXPECT_EQ(c.SetCylinder(KIVMathPointf(), KIVMathVectorf(), 1.0f), 0);
  EXPECT_EQ(c.SetCylinder(KIVMathPointf(), KIVMathVectorf(0, 0, 1), 0.0f), 0);
  EXPECT_EQ(c.SetCylinder(KIVMathPointf(), KIVMathVectorf(0, 0, 1), -1.0f), 0);
  EXPECT_EQ(c.SetCylinder(KIVMathPointf(), KIVMathVectorf(0, 0, 1), nan), 0);
  EXPECT_EQ(c.SetCylinder(KIVMathPointf(nan, 0, 0), KIVMathVectorf(0, 0, 1), 1.0f), 0);
  EXPECT_EQ(c.SetCylinder(KIVMathPointf(), KIVMathVectorf(0, inf, 1), 1.0f), 0);
  EXPECT_EQ(c.SetCylinder(KIVMathPointf(), KIVMathVectorf(0, 3e38f, 3e38f), 1.0f), 0);  // its length overflows
  EXPECT_EQ(c.SetCaps(4), 0);
  EXPECT_EQ(c.SetCaps(-1), 0);
  const int rising[2] = {8, 16}, tooFew[1] = {2}, tooMany[1] = {KIV3DCylinderGP::kMaxSegments + 1};
  EXPECT_EQ(c.SetLODSegments(rising, 2), 0);
  EXPECT_EQ(c.SetLODSegments(tooFew, 1), 0);
  EXPECT_EQ(c.SetLODSegments(tooMany, 1), 0);
  EXPECT_EQ(c.SetLODSegments(nullptr, 1), 0);
  EXPECT_EQ(c.SetLODSegments(rising, 0), 0);
  EXPECT_EQ(c.GetRadius(), 1.0f);
  EXPECT_EQ(c.GetHeight(), 1.0f);
  EXPECT_EQ(c.GetCaps(), KIV3DCylinderGP::BothCaps);
  EXPECT_EQ(c.GetLODCount(), 3);
  EXPECT_EQ(c.GetSegments(0), 24);
  EXPECT_EQ(c.GetSegments(3), 0);
}

TEST(PrimitiveCylinder, PickTrianglesLieOnTheSurfaceAndFaceOut) {
  // Tilted so that no world axis helps.
  const KIVMathPointf base(1, -2, 0.5f);
  const KIVMathVectorf axis(1.5f, 2.0f, 3.0f);
  const float r = 0.75f;
  KIV3DCylinderGP c(base, axis, r);
  const float h = axis.Norm();
  const KIVMathVectorf w = axis / h;
  std::vector<float> v;
  std::vector<int> t;
  ASSERT_EQ(c.GetPickTriangles(v, t), c.GetTriangleCount());
  int wall = 0, caps = 0;
  for (size_t i = 0; i < v.size() / 3; ++i) {
    const KIVMathVectorf d = KIVMathPointf(&v[3 * i]) - base;
    const float along = d * w, across = (d - w * along).Norm();
    const bool onCap = std::fabs(along) < 1e-4f || std::fabs(along - h) < 1e-4f;
    EXPECT_TRUE(onCap || std::fabs(across - r) < 1e-4f) << "vertex " << i;
    EXPECT_LE(across, r + 1e-4f);
    EXPECT_GE(along, -1e-4f);
    EXPECT_LE(along, h + 1e-4f);
  }
  for (size_t i = 0; i < t.size(); i += 3) {
    const KIVMathVectorf n = TriangleNormal(v, t, i);
    const KIVMathVectorf centroid = (Vertex(v, t[i]) + Vertex(v, t[i + 1]) + Vertex(v, t[i + 2])) / 3.0f;
    const KIVMathVectorf d = centroid - base.AsVector();
    const float along = d * w;
    // Cap triangles have their centroid in an end plane; wall ones strictly between.
    KIVMathVectorf out;
    if (std::fabs(along) < 1e-4f) {
      out = -w, ++caps;
    } else if (std::fabs(along - h) < 1e-4f) {
      out = w, ++caps;
    } else {
      out = d - w * along, ++wall;
    }
    EXPECT_GT(n * out, 0.0f) << "triangle " << i / 3 << " faces in";
  }
  EXPECT_EQ(wall, 2 * 24);
  EXPECT_EQ(caps, 2 * 24);
}

TEST(PrimitiveCylinder, BoundingPointsGiveTheTrueCylindersBox) {
  const KIVMathPointf base(0, 0, 0);
  const KIVMathVectorf axis(2, 0, 2);
  const float r = 1.0f;
  KIV3DCylinderGP c(base, axis, r);
  const int coarse[2] = {24, 5};  // a coarse level's corners fall between the fine ones
  ASSERT_EQ(c.SetLODSegments(coarse, 2), 1);
  std::vector<float> p;
  c.GetBoundingPoints(p);
  float lo[3], hi[3];
  for (int k = 0; k < 3; ++k) lo[k] = hi[k] = p[k];
  for (size_t i = 0; i < p.size(); ++i) lo[i % 3] = std::min(lo[i % 3], p[i]), hi[i % 3] = std::max(hi[i % 3], p[i]);
  // Both rims, densely sampled, against the box: inside it and reaching it.
  float slo[3] = {1e9f, 1e9f, 1e9f}, shi[3] = {-1e9f, -1e9f, -1e9f};
  const KIVMathVectorf u(0, 1, 0), v2 = KIVMathVectorf(-1, 0, 1) / std::sqrt(2.0f);
  for (int end = 0; end < 2; ++end)
    for (int i = 0; i < 3600; ++i) {
      const float a = 6.2831853f * static_cast<float>(i) / 3600.0f;
      const KIVMathVectorf q = axis * static_cast<float>(end) + (u * std::cos(a) + v2 * std::sin(a)) * r;
      for (int k = 0; k < 3; ++k) slo[k] = std::min(slo[k], q[k]), shi[k] = std::max(shi[k], q[k]);
    }
  for (int k = 0; k < 3; ++k) {
    EXPECT_NEAR(lo[k], slo[k], 1e-4f) << k;
    EXPECT_NEAR(hi[k], shi[k], 1e-4f) << k;
  }
  // Every level's vertices lie inside.
  for (int level = 0; level < 2; ++level) {
    KIV3DFaceGP face;
    ASSERT_EQ(c.Tessellate(level, face), 1);
    const std::vector<float>& fv = face.GetVertices();
    for (size_t i = 0; i < fv.size(); ++i) {
      EXPECT_GE(fv[i], lo[i % 3] - 1e-5f);
      EXPECT_LE(fv[i], hi[i % 3] + 1e-5f);
    }
  }
}

TEST(PrimitiveLines, SegmentsIndicesAndRefusals) {
  const float square[12] = {0, 0, 0, 1, 0, 0, 1, 1, 0, 0, 1, 0};
  KIV3DPolylineGP poly(square, 12);
  KIVMathPointf a, b;
  EXPECT_EQ(poly.GetSegmentCount(), 3);
  EXPECT_EQ(poly.GetSegment(3, a, b), 0);
  poly.SetClosed(1);
  EXPECT_EQ(poly.GetSegmentCount(), 4);
  ASSERT_EQ(poly.GetSegment(3, a, b), 1);
  EXPECT_EQ(a, KIVMathPointf(0, 1, 0));
  EXPECT_EQ(b, KIVMathPointf(0, 0, 0));  // back to the first
  EXPECT_EQ(poly.GetSegment(-1, a, b), 0);
  ASSERT_EQ(poly.SetVertices(square, 6), 1);
  EXPECT_EQ(poly.GetSegmentCount(), 1);  // two vertices closed are not drawn twice
  ASSERT_EQ(poly.SetVertices(square, 3), 1);
  EXPECT_EQ(poly.GetSegmentCount(), 0);
  EXPECT_EQ(poly.SetVertices(nullptr, 3), 0);
  EXPECT_EQ(poly.GetVertexCount(), 1);

  KIV3DLineGP lines(square, 11);  // one whole segment and a partial one
  EXPECT_EQ(lines.GetSegmentCount(), 1);
  lines.AddSegment(KIVMathPointf(5, 5, 5), KIVMathPointf(6, 6, 6));
  ASSERT_EQ(lines.GetSegment(1, a, b), 1);
  EXPECT_EQ(b, KIVMathPointf(6, 6, 6));
  EXPECT_EQ(lines.GetSegment(2, a, b), 0);
  EXPECT_EQ(lines.SetPoints(square, -6), 0);
  std::vector<float> pickVertices;
  std::vector<int> pickIndices;
  EXPECT_EQ(lines.GetPickTriangles(pickVertices, pickIndices), 0);  // lines are not picked

  const int quad[8] = {0, 1, 1, 2, 2, 3, 3, 0}, out[2] = {0, 4}, negative[2] = {-1, 0}, one[2] = {0, 1};
  KIV3DEdgeGP edges(square, 12, quad, 4);
  EXPECT_EQ(edges.GetEdgeCount(), 4);
  EXPECT_EQ(edges.SetEdges(out, 1), 0);
  EXPECT_EQ(edges.SetEdges(negative, 1), 0);
  EXPECT_EQ(edges.SetEdges(quad, -1), 0);
  EXPECT_EQ(edges.SetEdges(nullptr, 1), 0);
  EXPECT_EQ(edges.SetVertices(square, 9), 0);  // edges still use vertex 3
  EXPECT_EQ(edges.GetVertexCount(), 4);
  EXPECT_EQ(edges.Set(square, 9, quad, 4), 0);  // nothing half-applied
  EXPECT_EQ(edges.GetEdgeCount(), 4);
  ASSERT_EQ(edges.SetEdges(one, 1), 1);
  ASSERT_EQ(edges.SetVertices(square, 6), 1);  // now vertex 1 is the highest used
  std::vector<float> bound;
  edges.GetBoundingPoints(bound);
  EXPECT_EQ(bound.size(), 6u);
}

TEST(PrimitiveReps, PointRepIsDrawnAtAnyDistanceAndSurvivesLosingItsMarker) {
  KIV3DViewpoint camera;
  camera.SetPosition(KIVMathPointf(0, 0, 0), KIVMathDirectionf(0, 1, 0), KIVMathDirectionf(0, 0, 1));
  RecordingRender render;
  render.SetCamera(&camera);
  KIV3DPointRep point(KIVMathPointf(0, 1000, 0));
  EXPECT_TRUE(point.IsAKindOf(KIV3DCustomRep::ClassName()));
  render.Traverse(point);
  EXPECT_EQ(render.GetDrawnLeafCount(), 1);  // a model radius of 0 alone would be culled as too small
  EXPECT_EQ(render.calls, std::vector<std::string>{"marker"});

  KIVGraphicPrimitive* marker = point.GetGP(0);
  ASSERT_EQ(point.RemoveGP(marker), 1);
  marker->Destroy();
  ASSERT_EQ(point.SetPoint(KIVMathPointf(3, 4, 5)), 1);
  ASSERT_EQ(point.GetGPCount(), 1);
  EXPECT_EQ(point.GetBoundingElement().GetCenter(), KIVMathPointf(3, 4, 5));
  EXPECT_GT(point.GetBoundingElement().GetRadiusMM(), 0.0f);
  EXPECT_EQ(point.SetPoint(KIVMathPointf(std::nanf(""), 0, 0)), 0);
  EXPECT_EQ(point.SetMarker(KIV3DMarkerGP::TypeCount, 5.0f), 0);
  EXPECT_EQ(point.GetPoint(), KIVMathPointf(3, 4, 5));
}

TEST(PrimitiveReps, PlainCustomRepKeepsScreenSizedPrimitivesFromBeingCulled) {
  KIV3DViewpoint camera;
  camera.SetPosition(KIVMathPointf(0, 0, 0), KIVMathDirectionf(0, 1, 0), KIVMathDirectionf(0, 0, 1));
  RecordingRender render;
  render.SetCamera(&camera);
  KIV3DCustomRep label;
  label.AddGP(new KIV3DAnnotationTextGP(KIVMathPointf(0, 500, 0), "pump P-101", 12.0f));
  const float xyz[3] = {1, 500, 0};
  label.AddGP(new KIV3DMarkerGP(xyz, 3, KIV3DMarkerGP::Square, 40.0f));
  // The wider of the two wins: ten glyphs of 12 px against half of 40 px.
  EXPECT_NEAR(label.GetBoundingElement().GetRadiusMM(), std::hypot(72.0f, 12.0f) * 25.4f / 96.0f, 1e-3f);
  render.Traverse(label);
  EXPECT_EQ(render.GetDrawnLeafCount(), 1);

  KIV3DAnnotationTextGP empty(KIVMathPointf(), "");
  EXPECT_EQ(empty.GetScreenRadiusMM(), 0.0f);
}

TEST(PrimitiveFace, VerticesNeverShrinkBelowTheIndicesHeld) {
  const float quad[12] = {0, 0, 0, 1, 0, 0, 1, 1, 0, 0, 1, 0};
  const int tri[3] = {0, 1, 2}, fan[4] = {0, 1, 2, 3};
  KIV3DFaceGP face(quad, 12, nullptr, tri, 1);
  ASSERT_EQ(face.AddFan(fan, 4), 1);
  EXPECT_EQ(face.SetVertices(quad, 9), 0);  // the fan still names vertex 3
  EXPECT_EQ(face.GetVertexCount(), 4);
  face.ClearFans();
  EXPECT_EQ(face.SetVertices(quad, 9), 1);
  std::vector<float> v;
  std::vector<int> t;
  EXPECT_EQ(face.GetPickTriangles(v, t), 1);
  EXPECT_EQ(face.SetTriangles(tri, std::numeric_limits<int>::max() / 2), 0);  // 3 × count would overflow
  EXPECT_EQ(face.GetTriangleCount(), 1);
}

TEST(PrimitiveReps, LineAndCylinderRepsKeepTheirShapes) {
  KIV3DLineRep line(KIVMathPointf(0, 0, 0), KIVMathPointf(4, 0, 0));
  EXPECT_NEAR(line.GetBoundingElement().GetRadius(), 2.0f, 1e-5f);
  ASSERT_EQ(line.SetPoints(KIVMathPointf(0, 0, 0), KIVMathPointf(0, 10, 0)), 1);
  EXPECT_NEAR(line.GetBoundingElement().GetCenter().y, 5.0f, 1e-5f);
  EXPECT_EQ(line.GetGPCount(), 1);  // updated in place, not one more primitive per change
  EXPECT_EQ(line.SetThickness(0), 0);
  EXPECT_EQ(line.SetThickness(256), 0);
  ASSERT_EQ(line.SetThickness(3), 1);
  EXPECT_EQ(line.GetThickness(), 3);
  EXPECT_EQ(line.GetGraphicAttributeSet().bytes[2], 3);

  KIV3DCylinderRep cylinder(KIVMathPointf(0, 0, 0), KIVMathVectorf(0, 0, 4), 1.0f);
  std::vector<float> v;
  std::vector<int> t;
  EXPECT_EQ(cylinder.GetPickTriangles(v, t), 24 * 4);
  const unsigned long long stamp = cylinder.GetGeometryStamp();
  EXPECT_EQ(cylinder.SetCylinder(KIVMathPointf(), KIVMathVectorf(), 1.0f), 0);
  EXPECT_EQ(cylinder.GetGeometryStamp(), stamp);  // a refusal changes nothing
  ASSERT_EQ(cylinder.SetCaps(KIV3DCylinderGP::NoCaps), 1);
  EXPECT_NE(cylinder.GetGeometryStamp(), stamp);
  EXPECT_EQ(cylinder.GetTriangleCount(), 24 * 2);
  EXPECT_NEAR(cylinder.GetBoundingElement().GetRadius(), std::sqrt(1.0f + 4.0f), 1e-4f);
}

}  // namespace
