#pragma once
// Interference between two sets of rep paths: clash (kind 1), clearance closer than a value
// (kind 2), contact (kind 3), minimal distance (kind 4) and distance along a direction
// (kind 7). Each path is a chain of reps from a root down to the rep whose geometry counts
// (a leaf, or a bag standing for everything under it), placed by the matrices along it.
// The model is declared with the standard library only; the computation goes through the
// engine a back end installs (FCL's, in host/interfere). Without an engine Compute answers
// 0 and every query has no result.
#include <memory>
#include <vector>

class KIVRepPath;
class KIV3DBagRep;
class KIVInterfereEngine;

class KIVSiInInterfereModel {
 public:
  /// Geometry flags: surfaces (triangles), or wires (polylines and line segments).
  static constexpr int kSurface = 0, kWire = 2;
  /// Kinds of query.
  static constexpr int kClash = 1, kClearance = 2, kContact = 3, kMinimalDistance = 4, kDirectional = 7;

  KIVSiInInterfereModel();
  ~KIVSiInInterfereModel();
  KIVSiInInterfereModel(const KIVSiInInterfereModel&) = delete;
  KIVSiInInterfereModel& operator=(const KIVSiInInterfereModel&) = delete;

  /// A query between the paths of a and those of b (the model keeps the pointers
  /// until it is deleted, not the paths). value: the clearance for kind 2 (not negative),
  /// the contact tolerance for kind 3 (0: the engine's own), else unused. geometry:
  /// kSurface (triangles) or kWire (lines and polylines), -1 counting as kSurface; a leaf
  /// without the asked kind of geometry counts through the other one. Returns the
  /// query's number (0, 1, ...), or -1 for a refused one (null or empty lists, a
  /// null path, an unknown kind or geometry, kind 7 which needs a direction, a value that
  /// is not finite).
  int AddSpec(KIVRepPath** a, int countA, KIVRepPath** b, int countB, int geometry, int kind, double value);
  /// Kind 7: the distance from a to b measured along the direction (dx, dy, dz), which is
  /// how far a must move along it to touch b (0 when they already cross); negative when a
  /// never meets b that way. Refused (-1): another kind, a zero or non-finite direction,
  /// and the lists refused above.
  int AddSpec(KIVRepPath** a, int countA, KIVRepPath** b, int countB, int kind, double dx, double dy, double dz);
  /// Computes every query (again, after the scene changed); 1 when an engine
  /// computed them all, 0 otherwise (those it could not compute have no result).
  int Compute();

  /// Distances (kinds 4 and 7): the distance (untouched when there is no result), the
  /// number of results (0 or 1), and a new array of that many result bags, each holding
  /// the two nearest points as KIV3DPointRep children, a's first, drawn as triangle
  /// markers (the caller owns the array, delete[], and the bags, KIV3DBagRep::Destroy).
  /// For kinds 1 to 3 the first pair stands for them all. An object against itself has
  /// no result. Returns 1 for a known query, 0 otherwise (count 0, no array);
  /// null outputs are skipped.
  int GetResult(int query, double* distance, int* count, KIV3DBagRep*** bags, int unused);
  /// Clashes (kinds 1, 2, 3): every pair found, as the two paths (the pointers given to
  /// AddSpec), its kind and a result bag (the two nearest points, and for a clash the
  /// segments where the surfaces cross, as lines). New arrays of count entries, owned by
  /// the caller (delete[]; the bags with KIV3DBagRep::Destroy). Returns 1 for a known
  /// query.
  int GetResult(int query, int* count, KIVRepPath*** pathsA, KIVRepPath*** pathsB, int** kinds, KIV3DBagRep*** bags,
                int unused);

  /// The engine that computes; null uninstalls it. The back end installs it once.
  static void SetEngine(std::shared_ptr<KIVInterfereEngine> engine);
  static std::shared_ptr<KIVInterfereEngine> GetEngine();

 private:
  struct Query;
  std::vector<std::unique_ptr<Query>> mQueries;
};
