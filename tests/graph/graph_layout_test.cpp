// Layout of the host graph on random trees, for every layout, packing and gravity: boxes
// never overlap, parents sit over their children as the alignment says, levels are
// separated by the depth margin, and the same tree always gives the same layout.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <map>
#include <random>
#include <string>
#include <vector>

#include "host/graph/KIVGraph.h"
#include "host/graph/KIVGraphArc.h"
#include "host/graph/KIVGraphNode.h"
#include "host/graph/KIVTreeLayout.h"

namespace {

struct Tree {
  std::vector<KIVGraphNode*> nodes;
  std::vector<int> parent;
  std::vector<std::vector<int>> children;
};

// Random labels so that boxes differ in size; fan-out from 0 to maxFan.
Tree BuildRandom(KIVGraph& graph, int count, unsigned seed, int maxFan = 5) {
  std::mt19937 rng(seed);
  Tree t;
  t.nodes.push_back(new KIVGraphNode(&graph, "root"));
  t.parent.push_back(-1);
  t.children.emplace_back();
  std::vector<int> open{0};
  std::size_t next = 0;
  while (static_cast<int>(t.nodes.size()) < count && next < open.size()) {
    const int p = open[next++];
    const int fan = std::uniform_int_distribution<int>(next == 1 ? 1 : 0, maxFan)(rng);
    for (int k = 0; k < fan && static_cast<int>(t.nodes.size()) < count; ++k) {
      const int len = std::uniform_int_distribution<int>(1, 14)(rng);
      auto* node = new KIVGraphNode(&graph, KIVUnicodeString(std::string(len, 'a' + k)));
      if (rng() % 5 == 0) node->setPixmap("icon");
      const int id = static_cast<int>(t.nodes.size());
      t.nodes.push_back(node);
      t.parent.push_back(p);
      t.children.emplace_back();
      t.children[p].push_back(id);
      (new KIVGraphArc(t.nodes[p], node))->show();
      open.push_back(id);
    }
    if (next == open.size() && static_cast<int>(t.nodes.size()) < count) open.push_back(static_cast<int>(rng() % t.nodes.size()));
  }
  for (KIVGraphNode* n : t.nodes) n->show();
  graph.addTree(t.nodes[0]);
  return t;
}

struct Box {
  float x0, y0, x1, y1;
};
Box BoxOf(const KIVGraphNode* n) {
  return {n->getX() - n->getWidth() / 2, n->getY() - n->getHeight() / 2, n->getX() + n->getWidth() / 2,
          n->getY() + n->getHeight() / 2};
}
bool Overlap(const Box& a, const Box& b) {
  const float e = 1e-3f;
  return a.x0 < b.x1 - e && b.x0 < a.x1 - e && a.y0 < b.y1 - e && b.y0 < a.y1 - e;
}

struct Style {
  KIVGraph::Layout layout;
  int packed, gravity;
};
std::vector<Style> AllStyles() {
  std::vector<Style> s;
  for (auto l : {KIVGraph::VerticalCentered, KIVGraph::HorizontalCentered, KIVGraph::VerticalRight,
                 KIVGraph::HorizontalBottom, KIVGraph::HorizontalIndented})
    for (int p = 0; p < 2; ++p)
      for (int g = 0; g < 2; ++g) s.push_back({l, p, g});
  return s;
}
bool Vertical(KIVGraph::Layout l) { return l == KIVGraph::VerticalCentered || l == KIVGraph::VerticalRight; }

// Along the siblings' axis and along the levels' axis.
float Breadth(const KIVGraphNode* n, bool vertical) { return vertical ? n->getX() : n->getY(); }
float BreadthSize(const KIVGraphNode* n, bool vertical) { return vertical ? n->getWidth() : n->getHeight(); }
float Depth(const KIVGraphNode* n, bool vertical) { return vertical ? n->getY() : n->getX(); }
float DepthSize(const KIVGraphNode* n, bool vertical) { return vertical ? n->getHeight() : n->getWidth(); }

TEST(GraphLayout, RandomTreesKeepEveryStylesInvariants) {
  for (unsigned seed = 1; seed <= 12; ++seed) {
    for (const Style& style : AllStyles()) {
      KIVGraph graph;
      const Tree t = BuildRandom(graph, 150 + 37 * static_cast<int>(seed), seed);
      const int depthMargin = 3 + static_cast<int>(seed % 7), widthMargin = static_cast<int>(seed % 5);
      graph.setLayout(style.layout);
      graph.setPacked(style.packed);
      graph.setGravity(style.gravity);
      graph.setDepthMargin(depthMargin);
      graph.setWidthMargin(widthMargin);
      ASSERT_EQ(graph.layout(), static_cast<int>(t.nodes.size()));
      SCOPED_TRACE("seed " + std::to_string(seed) + " layout " + std::to_string(style.layout) + " packed " +
                   std::to_string(style.packed) + " gravity " + std::to_string(style.gravity));
      const bool v = Vertical(style.layout);
      const int n = static_cast<int>(t.nodes.size());

      // No two boxes overlap (sweep along x).
      std::vector<int> order(n);
      for (int i = 0; i < n; ++i) order[i] = i;
      std::sort(order.begin(), order.end(), [&](int a, int b) { return BoxOf(t.nodes[a]).x0 < BoxOf(t.nodes[b]).x0; });
      for (int i = 0; i < n; ++i) {
        const Box a = BoxOf(t.nodes[order[i]]);
        for (int j = i + 1; j < n && BoxOf(t.nodes[order[j]]).x0 < a.x1; ++j)
          ASSERT_FALSE(Overlap(a, BoxOf(t.nodes[order[j]]))) << order[i] << " and " << order[j];
      }

      const float sign = style.gravity ? -1.0f : 1.0f;
      for (int i = 0; i < n; ++i) {
        const KIVGraphNode* p = t.nodes[i];
        ASSERT_TRUE(p->isPlaced());
        const auto& ch = t.children[i];
        if (ch.empty()) continue;
        const KIVGraphNode* first = t.nodes[ch.front()];
        const KIVGraphNode* last = t.nodes[ch.back()];
        if (style.layout == KIVGraph::HorizontalIndented) {
          // Rows: the first child right under its parent, indented by the margin and 16.
          const float pl = style.gravity ? p->getX() + p->getWidth() / 2 : p->getX() - p->getWidth() / 2;
          const float cl = style.gravity ? first->getX() + first->getWidth() / 2 : first->getX() - first->getWidth() / 2;
          EXPECT_NEAR(sign * (cl - pl), depthMargin + 16.0f, 1e-3);
          EXPECT_NEAR(first->getY() - first->getHeight() / 2, p->getY() + p->getHeight() / 2 + widthMargin, 1e-3);
          continue;
        }
        // Centred over the first and last children, or aligned on the first one's side.
        if (style.layout == KIVGraph::VerticalCentered || style.layout == KIVGraph::HorizontalCentered)
          EXPECT_NEAR(Breadth(p, v), (Breadth(first, v) + Breadth(last, v)) / 2, 1e-2);
        else
          EXPECT_NEAR(Breadth(p, v) - BreadthSize(p, v) / 2, Breadth(first, v) - BreadthSize(first, v) / 2, 1e-2);
        // Children one level further, in order along the breadth.
        for (std::size_t k = 0; k < ch.size(); ++k) {
          const KIVGraphNode* c = t.nodes[ch[k]];
          EXPECT_EQ(c->getLevel(), p->getLevel() + 1);
          EXPECT_GT(sign * (Depth(c, v) - Depth(p, v)), 0);
          if (k) {
            EXPECT_LT(Breadth(t.nodes[ch[k - 1]], v), Breadth(c, v));
          }
        }
      }
      if (style.layout == KIVGraph::HorizontalIndented) continue;
      // Levels: bands as deep as their deepest box, separated by the depth margin.
      std::map<int, std::pair<float, float>> band;  // level -> (near, far) edges
      for (const KIVGraphNode* p : t.nodes) {
        const float a = Depth(p, v) - DepthSize(p, v) / 2, b = Depth(p, v) + DepthSize(p, v) / 2;
        auto [it, fresh] = band.try_emplace(p->getLevel(), a, b);
        if (!fresh) it->second = {std::min(it->second.first, a), std::max(it->second.second, b)};
      }
      for (auto it = band.begin(); std::next(it) != band.end(); ++it) {
        const auto& here = it->second;
        const auto& below = std::next(it)->second;
        const float gap = style.gravity ? here.first - below.second : below.first - here.second;
        EXPECT_NEAR(gap, static_cast<float>(depthMargin), 1e-2);
      }
    }
  }
}

// Rightmost child of each family touches the others at some level: the packing leaves no
// gap that a tidy tree would close.
TEST(GraphLayout, PackedSubtreesAreTight) {
  for (unsigned seed = 1; seed <= 10; ++seed) {
    KIVGraph graph;
    const Tree t = BuildRandom(graph, 300, seed * 7);
    graph.setLayout(KIVGraph::VerticalCentered);
    graph.setPacked(1);
    graph.setWidthMargin(4);
    graph.layout();
    float packedWidth, unpackedWidth, y0, y1, x0;
    graph.getBounds(x0, y0, packedWidth, y1);
    packedWidth -= x0;
    for (std::size_t v = 0; v < t.nodes.size(); ++v) {
      const auto& ch = t.children[v];
      if (ch.size() < 2) continue;
      // Right edges of the earlier siblings' subtrees and left edges of the last one, by level.
      std::map<int, float> right, left;
      auto walk = [&](int root, auto&& visit) {
        std::vector<int> stack{root};
        while (!stack.empty()) {
          const int u = stack.back();
          stack.pop_back();
          visit(t.nodes[u]);
          for (int c : t.children[u]) stack.push_back(c);
        }
      };
      for (std::size_t k = 0; k + 1 < ch.size(); ++k)
        walk(ch[k], [&](const KIVGraphNode* u) {
          const float e = u->getX() + u->getWidth() / 2;
          auto [it, fresh] = right.try_emplace(u->getLevel(), e);
          if (!fresh) it->second = std::max(it->second, e);
        });
      walk(ch.back(), [&](const KIVGraphNode* u) {
        const float e = u->getX() - u->getWidth() / 2;
        auto [it, fresh] = left.try_emplace(u->getLevel(), e);
        if (!fresh) it->second = std::min(it->second, e);
      });
      float closest = 1e30f;
      for (const auto& [level, l] : left)
        if (right.count(level)) closest = std::min(closest, l - right[level]);
      EXPECT_NEAR(closest, 4.0f, 1e-2) << "family of node " << v << " seed " << seed;
    }
    graph.setPacked(0);
    graph.layout();
    graph.getBounds(x0, y0, unpackedWidth, y1);
    unpackedWidth -= x0;
    EXPECT_LE(packedWidth, unpackedWidth + 1e-3);
  }
}

TEST(GraphLayout, SameTreeSameLayout) {
  // One graph laid out in every style in turn (its working arrays hold the previous
  // style's leftovers) against a fresh graph per style.
  KIVGraph a;
  const Tree ta = BuildRandom(a, 500, 99);
  for (const Style& style : AllStyles()) {
    KIVGraph b;
    const Tree tb = BuildRandom(b, 500, 99);
    for (KIVGraph* g : {&a, &b}) {
      g->setLayout(style.layout);
      g->setPacked(style.packed);
      g->setGravity(style.gravity);
    }
    a.layout();
    b.layout();
    std::vector<float> first;
    for (std::size_t i = 0; i < ta.nodes.size(); ++i) {
      ASSERT_EQ(ta.nodes[i]->getX(), tb.nodes[i]->getX());
      ASSERT_EQ(ta.nodes[i]->getY(), tb.nodes[i]->getY());
      first.push_back(ta.nodes[i]->getX());
    }
    a.layout();  // again: nothing moves
    for (std::size_t i = 0; i < ta.nodes.size(); ++i) ASSERT_EQ(ta.nodes[i]->getX(), first[i]);
  }
}

TEST(GraphLayout, NodeSizesFollowLabelsIconsAndTheMeasureHook) {
  KIVGraph graph;
  auto* node = new KIVGraphNode(&graph, "abcd");
  node->show();
  graph.addTree(node);
  graph.layout();
  EXPECT_FLOAT_EQ(node->getWidth(), 4 * 7 + 2 * KIVGraph::Padding);
  EXPECT_FLOAT_EQ(node->getHeight(), 14 + 2 * KIVGraph::Padding);
  node->setPixmap("cbseting");
  EXPECT_TRUE(graph.isLayoutDirty());
  graph.layout();
  EXPECT_FLOAT_EQ(node->getWidth(), 4 * 7 + 3 * KIVGraph::Padding + KIVGraph::IconSize);
  EXPECT_TRUE(graph.isOnIcon(node, node->getX() - node->getWidth() / 2 + KIVGraph::Padding + 1, node->getY()));
  EXPECT_FALSE(graph.isOnIcon(node, node->getX() + node->getWidth() / 2 - 1, node->getY()));
  KIVGraph::SetTextMeasure([](const KIVUnicodeString& s, float& w, float& h) {
    w = 10.0f * static_cast<float>(s.GetLengthInChar());
    h = 20;
  });
  node->setLabel("ab\ncd");  // 5 characters to the hook
  graph.layout();
  KIVGraph::SetTextMeasure(nullptr);
  EXPECT_FLOAT_EQ(node->getWidth(), 50 + 3 * KIVGraph::Padding + KIVGraph::IconSize);
  float w, h;
  KIVGraph::MeasureText("ab\ncde", w, h);  // the default again: longest line, two lines
  EXPECT_FLOAT_EQ(w, 21);
  EXPECT_FLOAT_EQ(h, 28);
}

TEST(GraphLayout, BadInputGivesAClearResult) {
  // Flat layout: wrong sizes or indices lay out nothing.
  KIVTreeLayoutInput in;
  KIVTreeLayoutResult out;
  in.firstChild = {0, 1};
  in.childIndex = {5};
  in.breadthSize = {1};
  in.depthSize = {1};
  in.roots = {0};
  EXPECT_EQ(KIVLayoutTree(in, {}, out), 0);
  EXPECT_EQ(out.placed, 0);
  in.childIndex = {0};  // a node its own child: laid out once
  in.firstChild = {0, 1};
  EXPECT_EQ(KIVLayoutTree(in, {}, out), 1);
  EXPECT_EQ(out.placed, 1);
  in.breadthSize = {std::nanf("")};
  EXPECT_EQ(KIVLayoutTree(in, {}, out), 0);

  KIVGraph graph;
  EXPECT_EQ(graph.layout(), 0);  // empty
  EXPECT_EQ(graph.addTree(nullptr), 0);
  KIVGraph other;
  auto* stranger = new KIVGraphNode(&other, "x");
  EXPECT_EQ(graph.addTree(stranger), 0);
  auto* a = new KIVGraphNode(&graph, "a");
  auto* b = new KIVGraphNode(&graph, "b");
  auto* c = new KIVGraphNode(&graph, "c");
  KIVGraphArc crossing(a, stranger);  // ends in two graphs: links nothing
  EXPECT_EQ(crossing.getFrom(), nullptr);
  for (auto [from, to] : {std::pair{a, b}, {b, c}, {c, a}, {c, c}}) (new KIVGraphArc(from, to))->show();
  for (auto* n : {a, b, c}) n->show();
  // A cycle with no tree: nothing placed. Given as a tree: each node once.
  EXPECT_EQ(graph.layout(), 0);
  EXPECT_EQ(graph.addTree(b), 1);
  EXPECT_EQ(graph.addTree(b), 0);
  for (auto l : {KIVGraph::VerticalCentered, KIVGraph::HorizontalIndented}) {
    graph.setLayout(l);
    graph.setPacked(1);
    EXPECT_EQ(graph.layout(), 3);
    EXPECT_EQ(b->getLevel(), 0);
    EXPECT_EQ(c->getLevel(), 1);
    EXPECT_EQ(a->getLevel(), 2);
  }
  // Hidden nodes and arcs cut their subtree off.
  c->hide();
  EXPECT_EQ(graph.layout(), 1);
  EXPECT_FALSE(a->isPlaced());
  c->show();
  b->getChildArcs().front()->hide();
  EXPECT_EQ(graph.layout(), 1);
}

TEST(GraphModel, NodesArcsTreesAndDeferredDeletion) {
  KIVGraph graph;
  auto* root = new KIVGraphNode(&graph, "root");
  auto* kid = new KIVGraphNode(&graph, "kid");
  auto* leaf = new KIVGraphNode(&graph, "leaf");
  auto* ab = new KIVGraphArc(root, kid);
  new KIVGraphArc(kid, leaf);
  EXPECT_EQ(kid->getFirstParent(), root);
  EXPECT_EQ(root->getChildArcs().size(), 1u);
  EXPECT_EQ(ab->getTo(), kid);
  EXPECT_EQ(graph.getNodeCount(), 3);
  for (auto* n : {root, kid, leaf}) n->show();
  for (auto* n : {root, kid}) n->getChildArcs().front()->show();
  graph.addTree(root);
  EXPECT_EQ(graph.layout(), 3);
  const unsigned long serial = graph.getChangeSerial();
  kid->setShadowIn();
  kid->setColor(45);
  EXPECT_GT(graph.getChangeSerial(), serial);
  EXPECT_FALSE(graph.isLayoutDirty());  // the look alone needs no layout

  // Deleting a node deletes its arcs; DeleteLater unlinks now and frees at the next layout.
  graph.DeleteLater(kid);
  EXPECT_TRUE(root->getChildArcs().empty());
  EXPECT_TRUE(leaf->getParentArcs().empty());
  EXPECT_EQ(graph.getNodeCount(), 2);
  EXPECT_EQ(kid->getLabel(), KIVUnicodeString("kid"));  // still readable in this callback
  EXPECT_EQ(graph.layout(), 1);
  delete leaf;
  EXPECT_EQ(graph.getNodeCount(), 1);
  EXPECT_EQ(graph.removeTree(root), 1);
  EXPECT_EQ(graph.removeTree(root), 0);
  EXPECT_EQ(graph.layout(), 0);
  EXPECT_FALSE(root->isPlaced());
  // Several trees side by side.
  auto* second = new KIVGraphNode(&graph, "second");
  second->show();
  graph.addTree(root);
  graph.addTree(second);
  EXPECT_EQ(graph.layout(), 2);
  EXPECT_LT(root->getX(), second->getX());
  graph.removeAllTrees();
  EXPECT_TRUE(graph.getTrees().empty());
}

// The index answers what a scan of every node and arc answers.
TEST(GraphModel, SpatialQueriesMatchAFullScan) {
  for (const Style& style : AllStyles()) {
    KIVGraph graph;
    const Tree t = BuildRandom(graph, 2000, 5, 8);
    graph.setLayout(style.layout);
    graph.setPacked(style.packed);
    graph.setSquareArcs(1);
    graph.layout();
    float x0, y0, x1, y1;
    graph.getBounds(x0, y0, x1, y1);
    std::mt19937 rng(style.layout * 4 + style.packed * 2 + style.gravity);
    std::vector<KIVGraphNode*> nodes;
    std::vector<KIVGraphArc*> arcs;
    for (int q = 0; q < 40; ++q) {
      std::uniform_real_distribution<float> X(x0 - 50, x1 + 50), Y(y0 - 50, y1 + 50);
      float a = X(rng), b = Y(rng);
      const float w = std::uniform_real_distribution<float>(0, (x1 - x0) / 4)(rng);
      const float h = std::uniform_real_distribution<float>(0, (y1 - y0) / 4)(rng);
      graph.query(a, b, a + w, b + h, nodes, arcs);
      std::vector<KIVGraphNode*> expectNodes;
      std::vector<KIVGraphArc*> expectArcs;
      for (KIVGraphNode* n : t.nodes) {
        const Box bx = BoxOf(n);
        if (bx.x1 >= a && bx.x0 <= a + w && bx.y1 >= b && bx.y0 <= b + h) expectNodes.push_back(n);
        for (KIVGraphArc* arc : n->getChildArcs()) {
          float p[8];
          const int k = graph.arcRoute(arc, p);
          float lo[2] = {p[0], p[1]}, hi[2] = {p[0], p[1]};
          for (int j = 1; j < k; ++j)
            for (int d = 0; d < 2; ++d) lo[d] = std::min(lo[d], p[2 * j + d]), hi[d] = std::max(hi[d], p[2 * j + d]);
          if (k && hi[0] >= a && lo[0] <= a + w && hi[1] >= b && lo[1] <= b + h) expectArcs.push_back(arc);
        }
      }
      std::sort(nodes.begin(), nodes.end());
      std::sort(arcs.begin(), arcs.end());
      std::sort(expectNodes.begin(), expectNodes.end());
      std::sort(expectArcs.begin(), expectArcs.end());
      ASSERT_EQ(nodes, expectNodes);
      ASSERT_EQ(arcs, expectArcs);
    }
    // Point hits.
    for (int i = 0; i < 50; ++i) {
      KIVGraphNode* n = t.nodes[rng() % t.nodes.size()];
      EXPECT_EQ(graph.nodeAt(n->getX(), n->getY()), n);
    }
    EXPECT_EQ(graph.nodeAt(x0 - 100, y0 - 100), nullptr);
  }
}

}  // namespace
