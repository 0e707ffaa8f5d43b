#pragma once
// What computes interference for KIVSiInInterfereModel: a back end (FCL's, in
// host/interfere) installs one with KIVSiInInterfereModel::SetEngine. Tests may install
// their own.
#include <vector>

class KIVRepPath;

class KIVInterfereEngine {
 public:
  /// One query, as given to KIVSiInInterfereModel::AddSpec.
  struct Request {
    std::vector<KIVRepPath*> a, b;
    int geometry = 0;  // KIVSiInInterfereModel::kSurface or kWire
    int kind = 0;      // 1 clash, 2 clearance, 3 contact, 4 minimal distance, 7 directional
    double value = 0.0;                 // the clearance (kind 2)
    double direction[3] = {0, 0, 0};   // kind 7
  };
  /// One answer: the indices of the two paths in a and b, its kind, the two nearest points
  /// (world), the distance between them (for kind 7 along the direction, negative when
  /// there is none), and for a clash the segments where the surfaces cross (six floats each).
  struct Pair {
    int a = -1, b = -1;
    int kind = 0;
    float pointA[3] = {0, 0, 0}, pointB[3] = {0, 0, 0};
    double distance = 0.0;
    std::vector<float> segments;
  };
  virtual ~KIVInterfereEngine() = default;
  /// Computes one request: for kinds 4 and 7 at most one pair (the nearest over every
  /// couple of paths), for kinds 1 to 3 every pair of paths that interferes. Returns 1
  /// when computed, 0 when it could not be (the pairs are then left empty).
  virtual int Compute(const Request& request, std::vector<Pair>& pairs) = 0;
};
