// The interference model on its own: without an engine it answers "no result"; with one it
// turns the engine's pairs into result bags and arrays the caller owns.
#include <gtest/gtest.h>

#include "host/visu/interfere/KIVInterfereEngine.h"
#include "tests/interfere/InterfereScene.h"

using namespace interfere_test;
using Model = KIVSiInInterfereModel;

namespace {

// Answers every request with fixed pairs, and remembers the requests.
class FixedEngine : public KIVInterfereEngine {
 public:
  int Compute(const Request& request, std::vector<Pair>& pairs) override {
    requests.push_back(request);
    if (fail) return 0;
    pairs = answer;
    return 1;
  }
  std::vector<Request> requests;
  std::vector<Pair> answer;
  bool fail = false;
};

TEST(InterfereModel, WithoutAnEngineThereIsNoResult) {
  Model::SetEngine(nullptr);
  Scene scene;
  KIVRepPath* a = scene.Add(Box(0, 0, 0, 1, 1, 1));
  const Answer d = Nearest({a}, {a}, Model::kMinimalDistance);
  EXPECT_EQ(d.query, 0);
  EXPECT_EQ(d.computed, 0);
  EXPECT_EQ(d.count, 0);
  EXPECT_EQ(d.distance, 1234.5);
  EXPECT_EQ(Clashes({a}, {a}, Model::kClash).count, 0);

  Model model;
  double distance = 7.0;
  int count = 3;
  KIV3DBagRep** bags = reinterpret_cast<KIV3DBagRep**>(&count);
  EXPECT_EQ(model.GetResult(0, &distance, &count, &bags, 0), 0);  // unknown query
  EXPECT_EQ(count, 0);
  EXPECT_EQ(bags, nullptr);
  EXPECT_EQ(distance, 7.0);
  EXPECT_EQ(model.GetResult(-1, &count, nullptr, nullptr, nullptr, nullptr, 0), 0);
}

TEST(InterfereModel, PairsBecomeResultBagsWithPointsAndCrossingLines) {
  auto engine = std::make_shared<FixedEngine>();
  Model::SetEngine(engine);
  Scene scene;
  KIVRepPath* a = scene.Add(Box(0, 0, 0, 1, 1, 1));
  KIVRepPath* b = scene.Add(Box(2, 0, 0, 3, 1, 1));
  KIVInterfereEngine::Pair p;
  p.a = 0, p.b = 1, p.kind = Model::kClash, p.distance = 0.0;
  p.pointA[0] = 1, p.pointB[0] = 2;
  p.segments = {0, 0, 0, 1, 1, 1, 2, 2, 2, 3, 3, 3, 4, 4};  // two lines and a stray end
  engine->answer = {p};

  const Answer r = Clashes({a}, {b, a}, Model::kClearance, 0.25, -1);
  ASSERT_EQ(engine->requests.size(), 1u);
  const KIVInterfereEngine::Request& q = engine->requests[0];
  EXPECT_EQ(q.kind, Model::kClearance);
  EXPECT_EQ(q.geometry, Model::kSurface);
  EXPECT_EQ(q.value, 0.25);
  EXPECT_EQ(q.b, (std::vector<KIVRepPath*>{b, a}));
  ASSERT_EQ(r.count, 1);
  EXPECT_EQ(r.pairs[0], std::make_pair(a, a));
  EXPECT_EQ(r.kinds[0], Model::kClash);
  ASSERT_EQ(r.points.size(), 2u);
  EXPECT_EQ(r.points[0].x, 1.0f);
  EXPECT_EQ(r.points[1].x, 2.0f);
  EXPECT_EQ(r.lines, 2);

  // The distance form gives the first pair; the direction reaches the engine normalised.
  engine->answer[0].distance = 4.5;
  const double dir[3] = {0, 0, -3};
  const Answer d = Nearest({a}, {b}, Model::kDirectional, 0, dir);
  EXPECT_EQ(d.count, 1);
  EXPECT_EQ(d.distance, 4.5);
  EXPECT_EQ(engine->requests.back().direction[2], -1.0);

  // A failing engine leaves no result.
  engine->fail = true;
  EXPECT_EQ(Nearest({a}, {b}, Model::kMinimalDistance).count, 0);
  Model::SetEngine(nullptr);
}

TEST(InterfereModel, SpecificationsAreNumberedAndComputedTogether) {
  auto engine = std::make_shared<FixedEngine>();
  Model::SetEngine(engine);
  Scene scene;
  KIVRepPath* a = scene.Add(Box(0, 0, 0, 1, 1, 1));
  KIVRepPath* list[1] = {a};
  Model model;
  EXPECT_EQ(model.AddSpec(list, 1, list, 1, 0, Model::kClash, 0.0), 0);
  EXPECT_EQ(model.AddSpec(list, 1, list, 1, 5, Model::kClash, 0.0), -1);
  EXPECT_EQ(model.AddSpec(list, 1, list, 1, Model::kWire, Model::kContact, 0.0), 1);
  EXPECT_EQ(model.Compute(), 1);
  ASSERT_EQ(engine->requests.size(), 2u);
  EXPECT_EQ(engine->requests[1].geometry, Model::kWire);
  int count = -1;
  EXPECT_EQ(model.GetResult(1, &count, nullptr, nullptr, nullptr, nullptr, 0), 1);
  EXPECT_EQ(count, 0);
  Model::SetEngine(nullptr);
}

}  // namespace
