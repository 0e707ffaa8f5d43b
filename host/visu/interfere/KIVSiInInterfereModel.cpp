#include "host/visu/interfere/KIVSiInInterfereModel.h"

#include <cmath>

#include "host/visu/interfere/KIVInterfereEngine.h"
#include "host/visu/scene/KIV3DBagRep.h"
#include "host/visu/scene/KIV3DLineRep.h"
#include "host/visu/scene/KIV3DMarkerGP.h"
#include "host/visu/scene/KIV3DPointRep.h"

namespace {

// The engine is process-wide, as the back end that installs it is.
std::shared_ptr<KIVInterfereEngine>& Engine() {
  static std::shared_ptr<KIVInterfereEngine> engine;
  return engine;
}

bool ValidList(KIVRepPath** list, int count) {
  if (!list || count <= 0) return false;
  for (int i = 0; i < count; ++i)
    if (!list[i]) return false;
  return true;
}

bool Finite(const float* p) { return std::isfinite(p[0]) && std::isfinite(p[1]) && std::isfinite(p[2]); }

// The two nearest points as triangle markers and, for a clash, the crossing segments as
// lines, in one bag the caller owns.
KIV3DBagRep* ResultBag(const KIVInterfereEngine::Pair& pair) {
  auto* bag = new KIV3DBagRep;
  for (const float* p : {pair.pointA, pair.pointB})
    bag->AddChild(new KIV3DPointRep(KIVMathPointf(Finite(p) ? p : nullptr), KIV3DMarkerGP::Triangle));
  for (size_t s = 0; s + 6 <= pair.segments.size(); s += 6) {
    const float* e = pair.segments.data() + s;
    if (Finite(e) && Finite(e + 3)) bag->AddChild(new KIV3DLineRep(KIVMathPointf(e), KIVMathPointf(e + 3)));
  }
  return bag;
}

}  // namespace

struct KIVSiInInterfereModel::Query {
  KIVInterfereEngine::Request request;
  std::vector<KIVInterfereEngine::Pair> pairs;
};

KIVSiInInterfereModel::KIVSiInInterfereModel() = default;
KIVSiInInterfereModel::~KIVSiInInterfereModel() = default;

int KIVSiInInterfereModel::AddSpec(KIVRepPath** a, int countA, KIVRepPath** b, int countB, int geometry, int kind,
                                   double value) {
  if (!ValidList(a, countA) || !ValidList(b, countB)) return -1;
  if (kind != kClash && kind != kClearance && kind != kContact && kind != kMinimalDistance) return -1;
  if (geometry == -1) geometry = kSurface;
  if (geometry != kSurface && geometry != kWire) return -1;
  if (!std::isfinite(value) || (kind == kClearance && value < 0.0)) return -1;
  auto query = std::make_unique<Query>();
  query->request.a.assign(a, a + countA);
  query->request.b.assign(b, b + countB);
  query->request.geometry = geometry;
  query->request.kind = kind;
  query->request.value = value;
  mQueries.push_back(std::move(query));
  return static_cast<int>(mQueries.size()) - 1;
}

int KIVSiInInterfereModel::AddSpec(KIVRepPath** a, int countA, KIVRepPath** b, int countB, int kind, double dx,
                                   double dy, double dz) {
  if (!ValidList(a, countA) || !ValidList(b, countB) || kind != kDirectional) return -1;
  if (!std::isfinite(dx) || !std::isfinite(dy) || !std::isfinite(dz)) return -1;
  const double length = std::sqrt(dx * dx + dy * dy + dz * dz);
  if (!(length > 0.0) || !std::isfinite(length)) return -1;
  auto query = std::make_unique<Query>();
  query->request.a.assign(a, a + countA);
  query->request.b.assign(b, b + countB);
  query->request.kind = kind;
  query->request.direction[0] = dx / length;
  query->request.direction[1] = dy / length;
  query->request.direction[2] = dz / length;
  mQueries.push_back(std::move(query));
  return static_cast<int>(mQueries.size()) - 1;
}

int KIVSiInInterfereModel::Compute() {
  for (auto& query : mQueries) query->pairs.clear();
  const std::shared_ptr<KIVInterfereEngine> engine = Engine();
  if (!engine) return 0;
  int all = 1;
  for (auto& query : mQueries)
    if (!engine->Compute(query->request, query->pairs)) {
      query->pairs.clear();
      all = 0;
    }
  return all;
}

int KIVSiInInterfereModel::GetResult(int query, double* distance, int* count, KIV3DBagRep*** bags, int) {
  if (count) *count = 0;
  if (bags) *bags = nullptr;
  if (query < 0 || query >= static_cast<int>(mQueries.size())) return 0;
  const std::vector<KIVInterfereEngine::Pair>& pairs = mQueries[query]->pairs;
  if (pairs.empty()) return 1;
  // Kinds 4 and 7 give one pair; for the others the first stands for them all.
  if (distance) *distance = pairs.front().distance;
  if (count) *count = 1;
  if (bags) {
    *bags = new KIV3DBagRep*[1];
    (*bags)[0] = ResultBag(pairs.front());
  }
  return 1;
}

int KIVSiInInterfereModel::GetResult(int query, int* count, KIVRepPath*** pathsA, KIVRepPath*** pathsB, int** kinds,
                                     KIV3DBagRep*** bags, int) {
  if (count) *count = 0;
  if (pathsA) *pathsA = nullptr;
  if (pathsB) *pathsB = nullptr;
  if (kinds) *kinds = nullptr;
  if (bags) *bags = nullptr;
  if (query < 0 || query >= static_cast<int>(mQueries.size())) return 0;
  const Query& s = *mQueries[query];
  const int n = static_cast<int>(s.pairs.size());
  if (count) *count = n;
  if (n == 0) return 1;
  if (pathsA) *pathsA = new KIVRepPath*[n];
  if (pathsB) *pathsB = new KIVRepPath*[n];
  if (kinds) *kinds = new int[n];
  if (bags) *bags = new KIV3DBagRep*[n];
  for (int i = 0; i < n; ++i) {
    const KIVInterfereEngine::Pair& p = s.pairs[i];
    const bool inA = p.a >= 0 && p.a < static_cast<int>(s.request.a.size());
    const bool inB = p.b >= 0 && p.b < static_cast<int>(s.request.b.size());
    if (pathsA) (*pathsA)[i] = inA ? s.request.a[p.a] : nullptr;
    if (pathsB) (*pathsB)[i] = inB ? s.request.b[p.b] : nullptr;
    if (kinds) (*kinds)[i] = p.kind;
    if (bags) (*bags)[i] = ResultBag(p);
  }
  return 1;
}

void KIVSiInInterfereModel::SetEngine(std::shared_ptr<KIVInterfereEngine> engine) { Engine() = std::move(engine); }

std::shared_ptr<KIVInterfereEngine> KIVSiInInterfereModel::GetEngine() { return Engine(); }
