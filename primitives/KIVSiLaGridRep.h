#pragma once
// A planar grid placed in the scene: its body (the grid primitive in a leaf), the
// coordinates of points picked on it (snapped to its nodes) and a transient marker that
// follows the pointer. The grid lies in the plane x = 0 of the bag's matrix.
#include <vector>

#include "host/visu/math/KIV4x4Matrix.h"
#include "host/visu/math/KIVMathDirectionf.h"
#include "host/visu/math/KIVMathPointf.h"
#include "host/visu/scene/KIV3DBagRep.h"
class KIV3DCustomRep;
class KIVSiLaGridCoordRep;
class KIVSiLaGridGP;

class KIVSiLaGridRep : public KIV3DBagRep {
  KIV_DECLARE_METAOBJECT(KIVSiLaGridRep)
 public:
  /// When step1 × step2 is 0 the steps become size1 / 10 and size2 / 10.
  KIVSiLaGridRep(float step1, float step2, float size1, float size2);
  ~KIVSiLaGridRep() override;
  KIVSiLaGridRep(const KIVSiLaGridRep&) = delete;
  KIVSiLaGridRep& operator=(const KIVSiLaGridRep&) = delete;

  /// 0 lines, 1 crosses; other values are refused (0).
  int SetStyle(int style);
  int GetStyle() const { return mStyle; }
  /// Accepted (1) only when the product is above 0.
  int SetStepsGrid(float step1, float step2);
  int SetSizeGrid(float size1, float size2);
  void GetStepsGrid(float* step1, float* step2) const;
  void GetSizeGrid(float* size1, float* size2) const;
  /// 0 absolute, 1 relative; other values are refused (0).
  int SetCoordMode(int mode);
  int GetCoordMode() const { return mCoordMode; }
  /// The grid's frame; coordinates and graduations follow.
  void SetMatrix(const KIV4x4Matrix& matrix);
  /// The frame whose columns are y ^ z, y, z and the origin: the grid spans y and z.
  void SetPosition(const KIVMathPointf& origin, const KIVMathDirectionf& y, const KIVMathDirectionf& z);
  /// A new body from the current values.
  void CreateGeometry();
  /// The node nearest to a world point, in the grid's frame (x = 0; ties toward zero).
  KIVMathPointf GetIntersection(KIVMathPointf p) const;
  /// A coordinate marker at the node nearest to the world point p.
  void SetCoordinates(KIVMathPointf p);
  /// The transient marker moves to the node nearest to p (made on first use).
  void SetFurtivesCoordinates(KIVMathPointf p);
  void EndFurtivesCoordinates();
  /// Every marker's values again, for the current mode and frame.
  void UpdateCoordinates();
  /// Removes every marker, the transient one too.
  void CleanCoordinates();
  /// The coordinates bag (null before the first marker).
  KIV3DBagRep* GetTheCoordinates() const { return mCoordinates; }
  KIVSiLaGridCoordRep* GetFurtive() const { return mFurtive; }
  KIVSiLaGridGP* GetGP() const { return mGP; }
  /// The values a marker at the local node shows: the node itself in relative mode, its
  /// world position in absolute mode.
  KIVMathPointf ValuesOf(const KIVMathPointf& local) const;

 private:
  int mStyle = 0;
  int mCoordMode = 0;
  float mStep1 = 100.0f, mStep2 = 100.0f, mSize1 = 1000.0f, mSize2 = 1000.0f;
  KIV3DBagRep* mCoordinates = nullptr;
  KIVSiLaGridCoordRep* mFurtive = nullptr;
  KIV3DCustomRep* mBody = nullptr;
  KIVSiLaGridGP* mGP = nullptr;
};
