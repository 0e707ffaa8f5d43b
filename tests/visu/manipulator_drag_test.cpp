// Drags of the 3D manipulator driven through a viewer's mouse input, checked for exactness:
// the grabbed point stays under the pointer as far as the constraint lets it, and the frame
// keeps its constraint to a ten-thousandth of the handle, through several drags in a row.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <memory>

#include "host/core/KIVCommand.h"
#include "host/visu/interact/KIV3DManipulator.h"
#include "host/visu/math/KIVRay.h"
#include "host/visu/pick/KIVPickPath.h"
#include "host/visu/pick/KIVPickPathList.h"
#include "host/visu/scene/KIV3DBagRep.h"
#include "host/visu/scene/KIV3DCustomRep.h"
#include "host/visu/scene/KIV3DFaceGP.h"
#include "host/visu/view/KIV3DViewer.h"

namespace {

constexpr int L = 1;  // left button
constexpr int W = 400, H = 300;
constexpr float kSize = 1.0f;                 // the handle's side
constexpr double kTolerance = 1e-4 * kSize;  // what a constraint may be off by

struct D3 {
  double x, y, z;
  D3(double a = 0, double b = 0, double c = 0) : x(a), y(b), z(c) {}
  D3(const KIVMathVectorf& v) : x(v.x), y(v.y), z(v.z) {}  // NOLINT
  D3(const KIVMathPointf& p) : x(p.x), y(p.y), z(p.z) {}   // NOLINT
  D3 operator+(const D3& v) const { return {x + v.x, y + v.y, z + v.z}; }
  D3 operator-(const D3& v) const { return {x - v.x, y - v.y, z - v.z}; }
  D3 operator*(double k) const { return {x * k, y * k, z * k}; }
  double operator*(const D3& v) const { return x * v.x + y * v.y + z * v.z; }
  D3 operator^(const D3& v) const { return {y * v.z - z * v.y, z * v.x - x * v.z, x * v.y - y * v.x}; }
  double Norm() const { return std::sqrt(*this * *this); }
  D3 Unit() const { return *this * (1.0 / Norm()); }
  KIVMathVectorf V() const { return {float(x), float(y), float(z)}; }
  KIVMathPointf P() const { return {float(x), float(y), float(z)}; }
};

D3 Origin(const KIV4x4Matrix& m) {
  KIVMathVectorf a, b, c;
  KIVMathPointf o;
  m.GetComponents(a, b, c, o);
  return o;
}

D3 Axis(const KIV4x4Matrix& m, int i) {
  KIVMathVectorf a[3];
  KIVMathPointf o;
  m.GetComponents(a[0], a[1], a[2], o);
  return a[i];
}

// Where a world point falls on the screen, in the pixel coordinates of ComputeRay.
void Project(const KIV3DViewer& viewer, const D3& p, double& px, double& py) {
  const KIV3DViewpoint* vp = viewer.GetMain3DViewpoint();
  const D3 rel = p - D3(vp->GetOrigin());
  const double z = rel * D3(vp->GetSightDirection());
  const double ty = std::tan(0.5 * vp->GetAngle() * 0.017453292519943295), tx = ty * W / H;
  px = 0.5 * W * (1.0 + (rel * D3(vp->GetRightDirection())) / (z * tx)) - 0.5;
  py = 0.5 * H * (1.0 - (rel * D3(vp->GetUpDirection())) / (z * ty)) - 0.5;
}

// A square handle with the frame's first two axes, seen from a camera looking obliquely at
// it from a given distance; the manipulator sits on the square, whose bag follows it after
// each drag as a mover's would.
struct DragScene {
  KIV3DViewer viewer{W, H};
  KIVCommand father;
  KIV3DBagRep* root = new KIV3DBagRep;
  KIV3DBagRep* bag = new KIV3DBagRep;
  KIV3DCustomRep* handle = new KIV3DCustomRep;
  std::unique_ptr<KIV3DManipulator> manipulator;
  KIV4x4Matrix frame;  // at creation
  D3 e[3], centre{30, -20, 10};

  DragScene(double distance, KIV3DManipulator::ManipulationStyle style) {
    e[0] = D3(1, 0.3, -0.2).Unit();
    e[2] = (e[0] ^ D3(0.2, 1, 0.4)).Unit();
    e[1] = e[2] ^ e[0];
    frame = KIV4x4Matrix(e[0].V(), e[1].V(), e[2].V(), centre.P());
    const double h = 0.5 * kSize;
    float v[12];
    for (int i = 0; i < 4; ++i) {
      const D3 c = centre + e[0] * (i & 1 ? h : -h) + e[1] * (i & 2 ? h : -h);
      v[3 * i] = float(c.x), v[3 * i + 1] = float(c.y), v[3 * i + 2] = float(c.z);
    }
    const int t[6] = {0, 1, 2, 1, 3, 2};
    handle->AddGP(new KIV3DFaceGP(v, 12, nullptr, t, 2));
    bag->AddChild(handle);
    root->AddChild(bag);
    KIV3DViewpoint* vp = viewer.GetMain3DViewpoint();
    vp->AddRep(root);
    vp->SetAngle(45.0f);
    const D3 toEye = (e[2] + e[0] * 0.5 + e[1] * 0.3).Unit();
    vp->SetPosition((centre + toEye * distance).P(), (toEye * -1.0).V(), KIVMathVectorf(0, 0, 1));
    manipulator = std::make_unique<KIV3DManipulator>(&father, "handle", handle, style, style);
    manipulator->InhibAutomaticActivation();
    manipulator->SetPosition(frame);
  }
  ~DragScene() {
    manipulator.reset();
    viewer.GetMain3DViewpoint()->RemoveRep(root);
    root->Destroy();
  }
  // The pixel of the handle's centre, a little off it so that the grab is not the origin.
  void HandlePixel(int& x, int& y) {
    double px, py;
    Project(viewer, D3(Origin(manipulator->GetPosition())), px, py);
    x = int(std::lround(px)) + 1;
    y = int(std::lround(py)) - 1;
  }
  // The world point under a pixel (what the press grabs).
  D3 Grabbed(int x, int y) {
    KIVPickPathList paths;
    EXPECT_EQ(viewer.Pick(x, y, paths), 1);
    return paths.GetPath(0) ? D3(paths.GetPath(0)->GetGlobalIntersection()) : D3();
  }
  void Drag(int x, int y, int dx, int dy) {
    viewer.UserMousePress(x, y, L, 0);
    viewer.UserMouseMove(x + dx / 3, y + dy / 3, L, 0);
    viewer.UserMouseMove(x + dx, y + dy, L, 0);
    viewer.UserMouseRelease(x + dx, y + dy, L, 0);
    // The model follows its handle: world motion = inverse of the creation frame, then the
    // position.
    bag->SetMatrix(frame.Inverse() * manipulator->GetPosition());
  }
  // Where a point moved with the handle by a drag from `before` to the current position.
  D3 Moved(const KIV4x4Matrix& before, const D3& p) const {
    return D3((before.Inverse() * manipulator->GetPosition()).TransformPoint(p.P()));
  }
};

struct Zoom : ::testing::TestWithParam<double> {};

TEST_P(Zoom, PlaneTranslationKeepsTheGrabUnderThePointerAndStaysInThePlane) {
  DragScene s(GetParam(), KIV3DManipulator::TranslateInPlane);
  const D3 n = (s.e[2] + s.e[0] * 0.2).Unit();  // not the handle's own normal
  ASSERT_EQ(s.manipulator->SetTranslationPlane(n.V()), 1);
  const int moves[4][2] = {{37, -21}, {-15, 30}, {60, 8}, {-44, -26}};
  for (const auto& m : moves) {
    int x, y;
    s.HandlePixel(x, y);
    const D3 grab = s.Grabbed(x, y);
    const KIV4x4Matrix before = s.manipulator->GetPosition();
    s.Drag(x, y, m[0], m[1]);
    double px, py;
    Project(s.viewer, s.Moved(before, grab), px, py);
    EXPECT_NEAR(px, x + m[0], 0.5);
    EXPECT_NEAR(py, y + m[1], 0.5);
    // Across drags too: no drift out of the plane of the start.
    EXPECT_LT(std::fabs((Origin(s.manipulator->GetPosition()) - s.centre) * n), kTolerance);
    for (int i = 0; i < 3; ++i) EXPECT_EQ(Axis(s.manipulator->GetPosition(), i).V(), s.e[i].V());
  }
  EXPECT_EQ(s.manipulator->GetCurrentStyle(), KIV3DManipulator::NoManipulation);  // the release ended it
}

TEST_P(Zoom, AxisTranslationTakesTheGrabToTheAxisPointNearestThePointer) {
  DragScene s(GetParam(), KIV3DManipulator::TranslateAlongDirection);
  const D3 u = (s.e[0] + s.e[1] * 0.4 + s.e[2] * 0.3).Unit();
  ASSERT_EQ(s.manipulator->SetTranslationDirection((u * 3.0).V()), 1);  // any length
  const int moves[3][2] = {{40, 12}, {-25, -30}, {18, 45}};
  for (const auto& m : moves) {
    int x, y;
    s.HandlePixel(x, y);
    const D3 grab = s.Grabbed(x, y);
    const KIV4x4Matrix before = s.manipulator->GetPosition();
    s.Drag(x, y, m[0], m[1]);
    const D3 delta = Origin(s.manipulator->GetPosition()) - Origin(before);
    EXPECT_LT((delta - u * (delta * u)).Norm(), kTolerance);
    EXPECT_GT(delta.Norm(), 1e-3);
    // The point of the grab's line nearest the release ray, in double.
    const KIVRay r = s.viewer.ComputeRay(float(x + m[0]), float(y + m[1]));
    const D3 d = D3(r.direction).Unit(), w = grab - D3(r.origin);
    const double b = u * d, t = (b * (d * w) - u * w) / (1.0 - b * b);
    EXPECT_LT((s.Moved(before, grab) - (grab + u * t)).Norm(), kTolerance);
    const D3 total = Origin(s.manipulator->GetPosition()) - s.centre;
    EXPECT_LT((total - u * (total * u)).Norm(), kTolerance);
  }
}

// The world motion of the last drag as a function of a point.
struct Motion {
  KIV4x4Matrix m;
  D3 operator()(const D3& p) const { return D3(m.TransformPoint(p.P())); }
};

// Rigid: distances between a few spread points are kept.
void ExpectRigid(const Motion& move, const D3& around) {
  const D3 pts[4] = {around, around + D3(2, 0, 0), around + D3(0, -1.5, 0.5), around + D3(0.3, 0.7, -2)};
  for (int i = 0; i < 4; ++i)
    for (int j = i + 1; j < 4; ++j) EXPECT_NEAR((move(pts[i]) - move(pts[j])).Norm(), (pts[i] - pts[j]).Norm(), kTolerance);
}

TEST_P(Zoom, RotationAboutALineTurnsAboutExactlyThatLineAndFollowsThePointer) {
  DragScene s(GetParam(), KIV3DManipulator::RotateAroundLine);
  const D3 c = s.centre + s.e[0] * 0.3 - s.e[1] * 0.2;
  const D3 u = (s.e[2] + s.e[1] * 0.3).Unit();
  ASSERT_EQ(s.manipulator->SetRotationLine(c.P(), u.V()), 1);
  const int moves[3][2] = {{30, 10}, {-12, 25}, {20, -30}};
  for (const auto& m : moves) {
    int x, y;
    s.HandlePixel(x, y);
    const D3 grab = s.Grabbed(x, y);
    const KIV4x4Matrix before = s.manipulator->GetPosition();
    s.Drag(x, y, m[0], m[1]);
    const Motion move{before.Inverse() * s.manipulator->GetPosition()};
    EXPECT_LT((move(c) - c).Norm(), kTolerance);
    EXPECT_LT((move(c + u * 5.0) - (c + u * 5.0)).Norm(), 5 * kTolerance);
    ExpectRigid(move, c);
    EXPECT_GT((move(grab) - grab).Norm(), 1e-2);  // it did turn
    // The grab turned to where the release ray meets its plane across the line.
    const D3 foot = c + u * ((grab - c) * u);
    const KIVRay r = s.viewer.ComputeRay(float(x + m[0]), float(y + m[1]));
    const D3 d = D3(r.direction).Unit();
    const D3 hit = D3(r.origin) + d * (((foot - D3(r.origin)) * u) / (d * u));
    const D3 want = (hit - foot).Unit(), got = (move(grab) - foot).Unit();
    EXPECT_LT((want - got).Norm(), 1e-4);
    // The frame stays rigid about the line across drags.
    EXPECT_LT(std::fabs(((Origin(s.manipulator->GetPosition()) - c) * u) - ((s.centre - c) * u)), kTolerance);
  }
}

TEST_P(Zoom, RotationAboutAPointKeepsThePointAndTheGrabUnderThePointer) {
  DragScene s(GetParam(), KIV3DManipulator::RotateAroundPoint);
  const D3 c = s.centre - s.e[2] * 0.8 + s.e[0] * 0.1;  // behind the handle
  ASSERT_EQ(s.manipulator->SetRotationPoint(c.P()), 1);
  const int moves[3][2] = {{6, 3}, {-4, 5}, {5, -6}};
  for (const auto& m : moves) {
    int x, y;
    s.HandlePixel(x, y);
    const D3 grab = s.Grabbed(x, y);
    const KIV4x4Matrix before = s.manipulator->GetPosition();
    s.Drag(x, y, m[0], m[1]);
    const Motion move{before.Inverse() * s.manipulator->GetPosition()};
    EXPECT_LT((move(c) - c).Norm(), kTolerance);
    ExpectRigid(move, c);
    double px, py;  // small moves: the ray still meets the grab's sphere
    Project(s.viewer, move(grab), px, py);
    EXPECT_NEAR(px, x + m[0], 0.5);
    EXPECT_NEAR(py, y + m[1], 0.5);
    const KIV4x4Matrix& p = s.manipulator->GetPosition();
    for (int i = 0; i < 3; ++i) {
      EXPECT_NEAR(Axis(p, i).Norm(), 1.0, 1e-5);
      EXPECT_NEAR(Axis(p, i) * Axis(p, (i + 1) % 3), 0.0, 1e-5);
    }
  }
}

INSTANTIATE_TEST_SUITE_P(ManipulatorDrag, Zoom, ::testing::Values(3.0, 25.0));

TEST(ManipulatorDrag, DegenerateConstraintsAreRefusedAndKeepTheOldOnes) {
  KIVCommand father;
  KIV3DManipulator m(&father, "m", nullptr, KIV3DManipulator::TranslateAlongDirection,
                     KIV3DManipulator::TranslateInPlane);
  const float nan = std::numeric_limits<float>::quiet_NaN(), inf = std::numeric_limits<float>::infinity();
  ASSERT_EQ(m.SetTranslationDirection(KIVMathVectorf(0, 1, 0)), 1);
  EXPECT_EQ(m.SetTranslationDirection(KIVMathVectorf(0, 0, 0)), 0);
  EXPECT_EQ(m.SetTranslationDirection(KIVMathVectorf(nan, 1, 0)), 0);
  EXPECT_EQ(m.SetTranslationPlane(KIVMathVectorf(inf, 0, 0)), 0);
  EXPECT_EQ(m.SetRotationLine(KIVMathPointf(nan, 0, 0), KIVMathVectorf(0, 0, 1)), 0);
  EXPECT_EQ(m.SetRotationLine(KIVMathPointf(0, 0, 0), KIVMathVectorf(0, 0, 0)), 0);
  EXPECT_EQ(m.SetRotationPoint(KIVMathPointf(0, inf, 0)), 0);
  const KIV4x4Matrix placed(KIVMathVectorf(1, 0, 0), KIVMathVectorf(0, 1, 0), KIVMathVectorf(0, 0, 1),
                            KIVMathPointf(1, 2, 3));
  ASSERT_EQ(m.SetPosition(placed), 1);
  EXPECT_EQ(m.SetPosition(KIV4x4Matrix(KIVMathVectorf(nan, 0, 0), KIVMathVectorf(0, 1, 0), KIVMathVectorf(0, 0, 1),
                                       KIVMathPointf(0, 0, 0))),
            0);
  EXPECT_EQ(m.GetPosition(), placed);
  // The direction given first still holds: a drag moves along y only.
  const KIVRay press(KIVMathPointf(1, 2, 13), KIVMathVectorf(0, 0, -1));
  const KIVRay now(KIVMathPointf(1, 2, 13), KIVMathVectorf(0.2f, 0.3f, -1));
  const D3 o = Origin(m.Drag(KIV3DManipulator::TranslateAlongDirection, placed, KIVMathPointf(1, 2, 3), press, now));
  EXPECT_DOUBLE_EQ(o.x, 1.0);
  EXPECT_GT(o.y, 2.5);
  EXPECT_DOUBLE_EQ(o.z, 3.0);
}

TEST(ManipulatorDrag, RaysWithoutAnAnswerLeaveThePositionAlone) {
  KIVCommand father;
  KIV3DManipulator m(&father, "m", nullptr, KIV3DManipulator::TranslateInPlane, KIV3DManipulator::RotateAroundLine);
  const KIV4x4Matrix start;
  const KIVMathPointf anchor(0, 0, 0);
  const KIVRay press(KIVMathPointf(0, 0, 10), KIVMathVectorf(0, 0, -1));
  KIV4x4Matrix result(KIVMathVectorf(1, 0, 0), KIVMathVectorf(0, 1, 0), KIVMathVectorf(0, 0, 1), KIVMathPointf(7, 7, 7));
  const KIV4x4Matrix untouched = result;
  // Along the plane z = 0, then away from it (it would meet it behind the eye).
  EXPECT_EQ(m.Drag(KIV3DManipulator::TranslateInPlane, start, anchor, press,
                   KIVRay(KIVMathPointf(0, 0, 10), KIVMathVectorf(1, 0, 0)), result),
            0);
  EXPECT_EQ(m.Drag(KIV3DManipulator::TranslateInPlane, start, anchor, press,
                   KIVRay(KIVMathPointf(0, 0, 10), KIVMathVectorf(0.1f, 0, 1)), result),
            0);
  EXPECT_EQ(m.Drag(KIV3DManipulator::TranslateInPlane, start, anchor, press,
                   KIVRay(KIVMathPointf(0, 0, 10), KIVMathVectorf(0, 0, 0)), result),
            0);
  EXPECT_EQ(result, untouched);
  // The axis along the sight: no point of it is nearest the pointer.
  ASSERT_EQ(m.SetTranslationDirection(KIVMathVectorf(0, 0, 1)), 1);
  EXPECT_EQ(m.Drag(KIV3DManipulator::TranslateAlongDirection, start, anchor, press, press), start);

  // Through real input: a plane seen edge-on from the press moves nothing.
  DragScene s(3.0, KIV3DManipulator::TranslateInPlane);
  int x, y;
  s.HandlePixel(x, y);
  const D3 sight = D3(s.viewer.ComputeRay(float(x), float(y)).direction).Unit();
  ASSERT_EQ(s.manipulator->SetTranslationPlane((sight ^ s.e[0]).V()), 1);  // contains the ray
  s.Drag(x, y, 25, 14);
  EXPECT_EQ(s.manipulator->GetPosition(), s.frame);
}

}  // namespace
