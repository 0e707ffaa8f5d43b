#include "host/graph/KIVTreeLayout.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace {

// The trees in breadth-first order: position p holds node order[p]; the children of the
// node at p are the positions [start[p], start[p] + count[p]) (a breadth-first walk
// appends the children it meets first together), so every later pass runs on flat
// arrays, parents before children in order, children before parents in reverse.
struct Forest {
  std::vector<int> order, parent, start, count, level, tree;
  int roots = 0;
  int Size() const { return static_cast<int>(order.size()); }
};

// Packed trees' per-node record: everything the walks read of one node in one cache
// line; the contour walks of Apportion jump between distant nodes, and at a million
// nodes separate arrays would cost a miss per field.
struct TidyNode {
  float prelim, mod, shift, change, mid, size;
  int thread, ancestor, parent, start, count, pad;
};

bool Valid(const KIVTreeLayoutInput& in) {
  const int n = in.NodeCount();
  if (static_cast<int>(in.depthSize.size()) != n || static_cast<int>(in.firstChild.size()) != n + 1) return false;
  if (in.firstChild[0] != 0 || in.firstChild[n] != static_cast<int>(in.childIndex.size())) return false;
  for (int i = 0; i < n; ++i)
    if (in.firstChild[i + 1] < in.firstChild[i]) return false;
  for (int c : in.childIndex)
    if (c < 0 || c >= n) return false;
  for (int r : in.roots)
    if (r < 0 || r >= n) return false;
  for (int i = 0; i < n; ++i)
    if (!(in.breadthSize[i] >= 0) || !(in.depthSize[i] >= 0)) return false;  // NaN refused too
  return true;
}

void Walk(const KIVTreeLayoutInput& in, Forest& f, std::vector<char>& seen) {
  const int n = in.NodeCount();
  for (auto* v : {&f.order, &f.parent, &f.start, &f.count, &f.level, &f.tree}) {
    v->clear();
    v->reserve(n);
  }
  f.roots = 0;
  seen.assign(n, 0);
  for (int r : in.roots) {
    if (seen[r]) continue;
    seen[r] = 1;
    f.order.push_back(r);
    f.parent.push_back(-1);
    f.level.push_back(0);
    f.tree.push_back(f.roots++);
  }
  f.start.assign(f.order.size(), 0);
  f.count.assign(f.order.size(), 0);
  for (int p = 0; p < f.Size(); ++p) {
    const int v = f.order[p];
    f.start[p] = f.Size();
    for (int k = in.firstChild[v]; k < in.firstChild[v + 1]; ++k) {
      const int c = in.childIndex[k];
      if (seen[c]) continue;
      seen[c] = 1;
      f.order.push_back(c);
      f.parent.push_back(p);
      f.level.push_back(f.level[p] + 1);
      f.tree.push_back(f.tree[p]);
      f.start.push_back(0);
      f.count.push_back(0);
    }
    f.count[p] = f.Size() - f.start[p];
  }
}

// Unpacked trees: each subtree keeps the whole band of its bounding box.
void Unpacked(const Forest& f, const std::vector<float>& b, const KIVTreeLayoutOptions& o, std::vector<float>& rel,
              std::vector<float>& lo, std::vector<float>& hi) {
  const int m = f.Size();
  for (int p = m - 1; p >= 0; --p) {
    lo[p] = -b[p] / 2;
    hi[p] = b[p] / 2;
    if (f.count[p] == 0) continue;
    // Children side by side; the first child's centre at 0.
    const int s = f.start[p], e = s + f.count[p];
    float cursor = 0;
    for (int c = s; c < e; ++c) {
      if (c > s) cursor += hi[c - 1] + o.widthMargin - lo[c];
      rel[c] = cursor;
    }
    const float at = o.alignment == KIVTreeAlignment::Centered ? (rel[s] + rel[e - 1]) / 2
                                                               : rel[s] - b[s] / 2 + b[p] / 2;
    for (int c = s; c < e; ++c) {
      rel[c] -= at;
      lo[p] = std::min(lo[p], rel[c] + lo[c]);
      hi[p] = std::max(hi[p], rel[c] + hi[c]);
    }
  }
}

// Packed trees: Buchheim, Jünger and Leipert, "Improving Walker's algorithm to run in
// linear time" (2002), with the recursion of the first walk turned into one pass in
// reverse breadth-first order: when a node is reached, every subtree below its children
// is final, which is all the recursive walk guarantees before its loop over the children.
struct Tidy {
  std::vector<TidyNode>& t;
  float margin;
  bool centred;

  Tidy(const Forest& f, const std::vector<float>& sizes, const KIVTreeLayoutOptions& o, std::vector<TidyNode>& nodes)
      : t(nodes), margin(o.widthMargin), centred(o.alignment == KIVTreeAlignment::Centered) {
    const int m = f.Size();
    t.resize(m);
    for (int p = 0; p < m; ++p)
      t[p] = TidyNode{0, 0, 0, 0, 0, sizes[p], -1, p, f.parent[p], f.start[p], f.count[p], 0};
  }
  int Number(int v) const { return t[v].parent < 0 ? 0 : v - t[t[v].parent].start; }
  int LeftSibling(int v) const { return t[v].parent >= 0 && v > t[t[v].parent].start ? v - 1 : -1; }
  int NextLeft(int v) const { return t[v].count ? t[v].start : t[v].thread; }
  int NextRight(int v) const { return t[v].count ? t[v].start + t[v].count - 1 : t[v].thread; }
  float Distance(int a, int c) const { return (t[a].size + t[c].size) / 2 + margin; }

  void MoveSubtree(int wm, int wp, float s) {
    const float subtrees = static_cast<float>(Number(wp) - Number(wm));
    t[wp].change -= s / subtrees;
    t[wp].shift += s;
    t[wm].change += s / subtrees;
    t[wp].prelim += s;
    t[wp].mod += s;
  }
  int Ancestor(int vim, int v, int defaultAncestor) const {
    const int a = t[vim].ancestor;
    return t[a].parent == t[v].parent ? a : defaultAncestor;
  }
  int Apportion(int v, int defaultAncestor) {
    const int w = LeftSibling(v);
    if (w < 0) return defaultAncestor;
    int vip = v, vop = v, vim = w, vom = t[t[v].parent].start;
    float sip = t[vip].mod, sop = t[vop].mod, sim = t[vim].mod, som = t[vom].mod;
    while (NextRight(vim) >= 0 && NextLeft(vip) >= 0) {
      vim = NextRight(vim);
      vip = NextLeft(vip);
      vom = NextLeft(vom);
      vop = NextRight(vop);
      t[vop].ancestor = v;
      const float s = (t[vim].prelim + sim) - (t[vip].prelim + sip) + Distance(vim, vip);
      if (s > 0) {
        MoveSubtree(Ancestor(vim, v, defaultAncestor), v, s);
        sip += s;
        sop += s;
      }
      sim += t[vim].mod;
      sip += t[vip].mod;
      som += t[vom].mod;
      sop += t[vop].mod;
    }
    if (NextRight(vim) >= 0 && NextRight(vop) < 0) {
      t[vop].thread = NextRight(vim);
      t[vop].mod += sim - sop;
    }
    if (NextLeft(vip) >= 0 && NextLeft(vom) < 0) {
      t[vom].thread = NextLeft(vip);
      t[vom].mod += sip - som;
      defaultAncestor = v;
    }
    return defaultAncestor;
  }
  void ExecuteShifts(int v) {
    float s = 0, c = 0;
    for (int w = t[v].start + t[v].count - 1; w >= t[v].start; --w) {
      t[w].prelim += s;
      t[w].mod += s;
      c += t[w].change;
      s += t[w].shift + c;
    }
  }
  void Run(std::vector<float>& rel) {
    const int m = static_cast<int>(t.size());
    for (int v = m - 1; v >= 0; --v) {
      if (t[v].count == 0) continue;
      const int s = t[v].start, e = s + t[v].count;
      int defaultAncestor = s;
      for (int w = s; w < e; ++w) {
        // The part of the recursive first walk that a child does for itself.
        const int left = LeftSibling(w);
        if (t[w].count == 0) {
          t[w].prelim = left >= 0 ? t[left].prelim + Distance(left, w) : 0;
        } else if (left >= 0) {
          t[w].prelim = t[left].prelim + Distance(left, w);
          t[w].mod = t[w].prelim - t[w].mid;
        } else {
          t[w].prelim = t[w].mid;
        }
        defaultAncestor = Apportion(w, defaultAncestor);
      }
      ExecuteShifts(v);
      t[v].mid = centred ? (t[s].prelim + t[e - 1].prelim) / 2 : t[s].prelim - t[s].size / 2 + t[v].size / 2;
    }
    // Second walk: positions relative to each root; the accumulated mods go down the
    // breadth-first order (threads are not followed here, only tree arcs). shift holds
    // the sum of the ancestors' mods now.
    for (int v = 0; v < m; ++v) {
      if (t[v].parent < 0) {
        t[v].prelim = t[v].count ? t[v].mid : 0;
        rel[v] = 0;
        t[v].shift = -t[v].prelim;  // the root at 0
      } else {
        rel[v] = t[v].prelim + t[v].shift;
      }
      const float below = t[v].shift + t[v].mod;
      for (int w = t[v].start, e = w + t[v].count; w < e; ++w) t[w].shift = below;
    }
  }
};

}  // namespace

struct KIVTreeLayoutScratch::Arrays {
  Forest forest;
  std::vector<char> seen;
  std::vector<int> stack;
  std::vector<float> b, d, x, y, rel, lo, hi;
  std::vector<TidyNode> tidy;
};
KIVTreeLayoutScratch::KIVTreeLayoutScratch() : arrays(std::make_unique<Arrays>()) {}
KIVTreeLayoutScratch::~KIVTreeLayoutScratch() = default;

int KIVLayoutTree(const KIVTreeLayoutInput& in, const KIVTreeLayoutOptions& o, KIVTreeLayoutResult& r) {
  return KIVLayoutTree(in, o, r, nullptr);
}

int KIVLayoutTree(const KIVTreeLayoutInput& in, const KIVTreeLayoutOptions& o, KIVTreeLayoutResult& r,
                  KIVTreeLayoutScratch* scratch) {
  const int n = in.NodeCount();
  const float nan = std::numeric_limits<float>::quiet_NaN();
  r.breadth.assign(n, nan);
  r.depth.assign(n, nan);
  r.level.assign(n, -1);
  r.minBreadth = r.maxBreadth = r.minDepth = r.maxDepth = 0;
  r.placed = 0;
  if (!Valid(in)) return 0;
  KIVTreeLayoutOptions opt = o;
  opt.widthMargin = std::max(0.0f, o.widthMargin);
  opt.depthMargin = std::max(0.0f, o.depthMargin);
  KIVTreeLayoutScratch fresh;
  KIVTreeLayoutScratch::Arrays& a = *(scratch && scratch->arrays ? scratch : &fresh)->arrays;
  Forest& f = a.forest;
  Walk(in, f, a.seen);
  const int m = f.Size();
  r.placed = m;
  if (m == 0) return 1;
  std::vector<float>&b = a.b, &d = a.d, &x = a.x, &y = a.y;
  for (auto* v : {&b, &d, &x, &y}) v->resize(m);
  for (int p = 0; p < m; ++p) {
    b[p] = in.breadthSize[f.order[p]];
    d[p] = in.depthSize[f.order[p]];
  }

  if (opt.alignment == KIVTreeAlignment::Indented) {
    // Rows in depth-first order; a node's leading edge indented by its level.
    const float step = opt.depthMargin + opt.indent;
    std::vector<int>& stack = a.stack;
    stack.clear();
    float cursor = 0;
    for (int root = f.roots - 1; root >= 0; --root) stack.push_back(root);
    while (!stack.empty()) {
      const int v = stack.back();
      stack.pop_back();
      x[v] = cursor + b[v] / 2;
      cursor += b[v] + opt.widthMargin;
      y[v] = f.level[v] * step + d[v] / 2;
      for (int w = f.start[v] + f.count[v] - 1; w >= f.start[v]; --w) stack.push_back(w);
    }
  } else {
    // Levels: one band per depth, as deep as its deepest box.
    int levels = 0;
    for (int p = 0; p < m; ++p) levels = std::max(levels, f.level[p] + 1);
    std::vector<float> size(levels, 0), at(levels, 0);
    for (int p = 0; p < m; ++p) size[f.level[p]] = std::max(size[f.level[p]], d[p]);
    for (int l = 1; l < levels; ++l) at[l] = at[l - 1] + size[l - 1] + opt.depthMargin;
    for (int p = 0; p < m; ++p) y[p] = at[f.level[p]] + size[f.level[p]] / 2;

    std::vector<float>& rel = a.rel;
    rel.assign(m, 0);
    if (opt.packed) {
      Tidy(f, b, opt, a.tidy).Run(rel);
    } else {
      a.lo.resize(m);
      a.hi.resize(m);
      Unpacked(f, b, opt, rel, a.lo, a.hi);
      // Relative to the parent: accumulate down to positions relative to the root.
      for (int p = 0; p < m; ++p)
        if (f.parent[p] >= 0) rel[p] += rel[f.parent[p]];
      for (int p = 0; p < f.roots; ++p) rel[p] = 0;
    }
    // Trees side by side, each as wide as its boxes.
    std::vector<float> lo(f.roots, std::numeric_limits<float>::max()), hi(f.roots, -std::numeric_limits<float>::max());
    for (int p = 0; p < m; ++p) {
      lo[f.tree[p]] = std::min(lo[f.tree[p]], rel[p] - b[p] / 2);
      hi[f.tree[p]] = std::max(hi[f.tree[p]], rel[p] + b[p] / 2);
    }
    std::vector<float> offset(f.roots, 0);
    float cursor = 0;
    for (int t = 0; t < f.roots; ++t) {
      offset[t] = cursor - lo[t];
      cursor += hi[t] - lo[t] + opt.widthMargin;
    }
    for (int p = 0; p < m; ++p) x[p] = rel[p] + offset[f.tree[p]];
  }

  r.minBreadth = r.minDepth = std::numeric_limits<float>::max();
  r.maxBreadth = r.maxDepth = -std::numeric_limits<float>::max();
  for (int p = 0; p < m; ++p) {
    const int v = f.order[p];
    r.breadth[v] = x[p];
    r.depth[v] = y[p];
    r.level[v] = f.level[p];
    r.minBreadth = std::min(r.minBreadth, x[p] - b[p] / 2);
    r.maxBreadth = std::max(r.maxBreadth, x[p] + b[p] / 2);
    r.minDepth = std::min(r.minDepth, y[p] - d[p] / 2);
    r.maxDepth = std::max(r.maxDepth, y[p] + d[p] / 2);
  }
  return 1;
}
