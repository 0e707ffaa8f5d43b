#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <random>
#include <vector>

#include "host/visu/scene/KIV3DBagRep.h"
#include "host/visu/scene/KIV3DCustomRep.h"
#include "host/visu/scene/KIV3DFaceGP.h"
#include "host/visu/view/KIV3DViewer.h"
#include "host/visu/interact/KIVMouseEvent.h"
#include "host/visu/pick/KIVPickPath.h"
#include "host/visu/scene/KIVRepPath.h"
#include "host/visu/scene/KIVRepPathList.h"
#include "host/visu/interact/KIVViewerEvent.h"
#include "navigation/NavToolsVisu.h"
#include "viewer/NavInterfaceInfoRep.h"

namespace {

KIV4x4Matrix Translation(float x, float y, float z) {
  return KIV4x4Matrix(KIVMathVectorf(1, 0, 0), KIVMathVectorf(0, 1, 0), KIVMathVectorf(0, 0, 1), KIVMathPointf(x, y, z));
}

KIV3DCustomRep* Leaf(float x, float y, float z, float r) {
  auto* rep = new KIV3DCustomRep;
  rep->SetBoundingElement(KIV3DBoundingSphere(KIVMathPointf(x, y, z), r));
  return rep;
}

KIV3DBagRep* Bag(std::initializer_list<KIVRep*> children) {
  auto* bag = new KIV3DBagRep;
  for (KIVRep* c : children) bag->AddChild(c);
  return bag;
}

void SetColour(KIVRep* rep, int index) {
  KIVGraphicAttributeSet set = rep->GetGraphicAttributeSet();
  set.SetColorIndex(index);
  rep->SetGraphicAttributeSet(set);
}

KIVRepPath Path(std::initializer_list<KIVRep*> reps) {
  KIVRepPath path;
  for (KIVRep* r : reps) path.AddRep(r);
  return path;
}

std::string Reduce(const char* text, int length) {
  KIVUnicodeString t(text), suffix("...");
  NavToolsVisu::ReduceLongText(t, length, suffix);
  return t.GetUtf8();
}

std::string Part(const char* text, int suffix, int fromEnd, const char* stop = "") {
  return NavToolsVisu::GetSufixPrefix(text, ".", stop, suffix, fromEnd).GetUtf8();
}

TEST(TreeText, ReduceLongTextMarksWhateverItDrops) {
  EXPECT_EQ(Reduce("  abc", 10), "abc...");       // leading blanks alone mark it
  EXPECT_EQ(Reduce("abcde\nfghij", 3), "abc...");  // cut at the length within the first line
  EXPECT_EQ(Reduce("abcde\nfghij", 10), "abcde...");
  EXPECT_EQ(Reduce(" \t\n ", 5), "...");
  EXPECT_EQ(Reduce("abc", 3), "abc");  // nothing dropped, no suffix
  EXPECT_EQ(Reduce("abcd", 3), "abc...");
  EXPECT_EQ(Reduce("", 3), "");
  EXPECT_EQ(Reduce("\xC3\xA9t\xC3\xA9s", 2), "\xC3\xA9t...");  // counts characters, not bytes
}

TEST(TreeText, SufixPrefixScansEitherWayAndStops) {
  EXPECT_EQ(Part("a.b.c", 1, 1), "c");
  EXPECT_EQ(Part("a.b.c", 0, 1), "a.b");
  EXPECT_EQ(Part("a.b.c", 1, 0), "b.c");
  EXPECT_EQ(Part("a.b.c", 0, 0), "a");
  EXPECT_EQ(Part("abc", 1, 1), "");
  EXPECT_EQ(Part("abc", 0, 0), "");
  EXPECT_EQ(Part("a.b/c", 1, 1, "/"), "");   // stop met before the separator
  EXPECT_EQ(Part("a/b.c", 1, 1, "/"), "c");  // separator met first
  EXPECT_EQ(Part("", 1, 1), "");
}

TEST(TreeSearch, IsTypeOfComparesBytesUpToTheFirstZero) {
  EXPECT_EQ(NavToolsVisu::IsTypeOf(0x0302, 0x02), 1);
  EXPECT_EQ(NavToolsVisu::IsTypeOf(0x0302, 0x0402), 0);
  EXPECT_EQ(NavToolsVisu::IsTypeOf(0x0302, 0x0302), 1);
  EXPECT_EQ(NavToolsVisu::IsTypeOf(0x12345678, 0), 1);
  EXPECT_EQ(NavToolsVisu::IsTypeOf(0x7, 0x0500), 1);  // a zero low byte matches everything
  EXPECT_EQ(NavToolsVisu::IsTypeOf(-1, -1), 1);
  EXPECT_EQ(NavToolsVisu::IsTypeOf(0x01020304, 0x05020304), 0);
}

TEST(TreeSearch, IsRepExistHonoursDepthAndReportsPosition) {
  KIV3DCustomRep* deep = Leaf(0, 0, 0, 1);
  KIV3DCustomRep* other = Leaf(0, 0, 0, 1);
  KIV3DBagRep* inner = Bag({Leaf(0, 0, 0, 1), deep});
  KIV3DBagRep* root = Bag({other, Bag({inner})});
  int position = 7;
  EXPECT_EQ(NavToolsVisu::IsRepExist(root, other, position, 0, 0), 0);
  EXPECT_EQ(position, 0);
  EXPECT_EQ(NavToolsVisu::IsRepExist(root, deep, position, 0, 0), -1);  // only direct children
  EXPECT_EQ(position, -1);
  EXPECT_EQ(NavToolsVisu::IsRepExist(root, deep, position, 1, 0), -1);
  EXPECT_EQ(NavToolsVisu::IsRepExist(root, deep, position, 2, 0), 2);
  EXPECT_EQ(position, 1);  // index in its own parent
  EXPECT_EQ(NavToolsVisu::IsRepExist(root, deep, position, -1, 0), 2);
  EXPECT_EQ(NavToolsVisu::IsRepExist(nullptr, deep, position, -1, 0), -1);
  root->Destroy();
}

TEST(TreeSearch, GetSpecialRepFindsTheFirstOfAClass) {
  KIV3DCustomRep* leaf = Leaf(0, 0, 0, 1);
  KIV3DBagRep* inner = Bag({leaf});
  KIV3DBagRep* root = Bag({inner});
  EXPECT_EQ(NavToolsVisu::GetSpecialRep(root, KIV3DCustomRep::ClassName()), leaf);
  EXPECT_EQ(NavToolsVisu::GetSpecialRep(root, KIV3DBagRep::ClassName()), inner);  // root itself not tested
  EXPECT_EQ(NavToolsVisu::GetSpecialRep(leaf, KIV3DCustomRep::ClassName()), leaf);
  EXPECT_EQ(NavToolsVisu::GetSpecialRep(leaf, KIV3DBagRep::ClassName()), nullptr);
  EXPECT_EQ(NavToolsVisu::GetSpecialRep(root, nullptr), nullptr);
  root->Destroy();
}

TEST(TreeSearch, ColorInheritanceFromTheTopOrTheLeaf) {
  KIV3DCustomRep* leaf = Leaf(0, 0, 0, 1);
  KIV3DBagRep* mid = Bag({leaf});
  KIV3DBagRep* top = Bag({mid});
  for (KIVRep* r : {static_cast<KIVRep*>(top), static_cast<KIVRep*>(mid), static_cast<KIVRep*>(leaf)}) SetColour(r, 251);
  KIVRepPath path = Path({top, mid, leaf});
  EXPECT_EQ(NavToolsVisu::GetColorInheritance(&path), nullptr);
  SetColour(leaf, 12);
  EXPECT_EQ(NavToolsVisu::GetColorInheritance(&path), leaf);
  SetColour(mid, 40);  // a colour without inheritance does not count
  EXPECT_EQ(NavToolsVisu::GetColorInheritance(&path), leaf);
  mid->SetColorInheritanceMode(1);
  EXPECT_EQ(NavToolsVisu::GetColorInheritance(&path), mid);
  top->SetColorInheritanceMode(1);  // 251: not a candidate even when inheriting
  EXPECT_EQ(NavToolsVisu::GetColorInheritance(&path), mid);
  KIVRepPath empty;
  EXPECT_EQ(NavToolsVisu::GetColorInheritance(&empty), nullptr);
  EXPECT_EQ(NavToolsVisu::GetColorInheritance(nullptr), nullptr);
  top->Destroy();
}

// ---- GetRepPathById ------------------------------------------------------------------

// The walk exactly as described: explicit stacks, groups scanned in order.
KIVRepPath* ReferenceById(KIV3DBagRep* bag, int count, const int* ids) {
  if (!bag || count <= 0 || !ids) return nullptr;
  KIVRep* reps[40];
  size_t next[40];
  int top = 0;
  reps[0] = bag;
  next[0] = 0;
  while (top >= 0) {
    if (next[top] >= reps[top]->GetChildren().size()) {
      --top;
      continue;
    }
    KIVRep* c = reps[top]->GetChildren()[next[top]++];
    const int h = reps[3 * (top / 3)]->GetIdentificator()->GetIntId(), i = c->GetIdentificator()->GetIntId();
    int match = -1, size = 0;
    for (int k = 0; k < count && match < 0; k += 3) {
      const int n = std::min(3, count - k);
      if ((n == 3 && h == ids[k] && i == ids[k + 2]) || (n == 2 && h == ids[k] && i == ids[k + 1]) ||
          (n == 1 && h == ids[k]))
        match = k, size = n;
    }
    if (match >= 0 && match + size >= count) {
      auto* path = new KIVRepPath;
      for (int l = 0; l <= top; ++l) path->AddRep(reps[l]);
      if (size > 1) path->AddRep(c);
      return path;
    }
    if (top + 1 < 40 && std::strcmp(c->IsA(), reps[top]->IsA()) == 0) {
      reps[++top] = c;
      next[top] = 0;
    }
  }
  return nullptr;
}

TEST(TreeById, FullGroupsCompareHeadAndChildOnly) {
  KIV3DCustomRep* target = Leaf(0, 0, 0, 1);
  target->SetIdentificator(30);
  KIV3DCustomRep* decoy = Leaf(0, 0, 0, 1);
  decoy->SetIdentificator(20);
  KIV3DBagRep* root = Bag({decoy, target});
  root->SetIdentificator(10);
  int ids[3] = {10, 999, 30};  // the middle identifier plays no part
  KIVRepPath* path = NavToolsVisu::GetRepPathById(root, 3, ids);
  ASSERT_NE(path, nullptr);
  EXPECT_EQ(path->GetReps(), (std::vector<KIVRep*>{root, target}));
  delete path;
  int two[2] = {10, 20};
  path = NavToolsVisu::GetRepPathById(root, 2, two);
  ASSERT_NE(path, nullptr);
  EXPECT_EQ(path->GetLeafRep(), decoy);
  delete path;
  int one[1] = {10};  // a last group of one names the head: the path stops above the child
  path = NavToolsVisu::GetRepPathById(root, 1, one);
  ASSERT_NE(path, nullptr);
  EXPECT_EQ(path->GetReps(), (std::vector<KIVRep*>{root}));
  delete path;
  EXPECT_EQ(NavToolsVisu::GetRepPathById(root, 0, ids), nullptr);
  EXPECT_EQ(NavToolsVisu::GetRepPathById(root, 3, nullptr), nullptr);
  EXPECT_EQ(NavToolsVisu::GetRepPathById(nullptr, 3, ids), nullptr);
  root->Destroy();
}

TEST(TreeById, NeverEntersAnotherClassNorBeyondFortyLevels) {
  // A bag under a custom rep's class is not entered: a leaf under a bag is a dead end.
  KIV3DCustomRep* target = Leaf(0, 0, 0, 1);
  target->SetIdentificator(5);
  // Chains of 39 and 40 bags below the root, the target under the last: the stack holds
  // levels 0 to 39, so a parent at level 40 is never entered.
  for (int depth : {39, 40}) {
    KIV3DBagRep* root = new KIV3DBagRep;
    root->SetIdentificator(1);
    KIV3DBagRep* at = root;
    for (int i = 0; i < depth; ++i) {
      auto* b = new KIV3DBagRep;
      b->SetIdentificator(1);
      at->AddChild(b);
      at = b;
    }
    at->AddChild(target);
    int ids[2] = {1, 5};
    KIVRepPath* path = NavToolsVisu::GetRepPathById(root, 2, ids);
    if (depth == 39) {
      ASSERT_NE(path, nullptr);
      EXPECT_EQ(path->GetLeafRep(), target);
      EXPECT_EQ(path->GetSize(), 41);
    } else {
      EXPECT_EQ(path, nullptr);
    }
    delete path;
    at->RemoveChild(target);
    root->Destroy();
  }
  // Class rule: the child below a custom rep under a bag is never reached.
  class Holder : public KIV3DCustomRep {
   public:
    int Add(KIVRep* c) { return Link(this, c); }
  };
  auto* holder = new Holder;
  holder->SetIdentificator(1);
  holder->Add(target);
  KIV3DBagRep* root = Bag({holder});
  root->SetIdentificator(1);
  int ids[2] = {1, 5};
  EXPECT_EQ(NavToolsVisu::GetRepPathById(root, 2, ids), nullptr);
  root->Destroy();
  delete target;
}

TEST(TreeById, AgreesWithTheStraightforwardWalkOnRandomTrees) {
  std::mt19937 rng(7);
  for (int round = 0; round < 300; ++round) {
    std::uniform_int_distribution<int> id(0, 4), kids(0, 4), kind(0, 4);
    KIV3DBagRep* root = new KIV3DBagRep;
    root->SetIdentificator(id(rng));
    std::vector<KIV3DBagRep*> open{root};
    for (int n = 0; n < 60 && !open.empty(); ++n) {
      KIV3DBagRep* at = open[rng() % open.size()];
      const int k = kids(rng);
      for (int c = 0; c < k; ++c) {
        KIVRep* child;
        if (kind(rng) == 0) {
          child = Leaf(0, 0, 0, 1);
        } else {
          auto* b = new KIV3DBagRep;
          open.push_back(b);
          child = b;
        }
        child->SetIdentificator(id(rng));
        at->AddChild(child);
      }
    }
    const int count = 1 + static_cast<int>(rng() % 40);  // long lists take the indexed path
    std::vector<int> ids(count);
    for (int& v : ids) v = id(rng);
    KIVRepPath* got = NavToolsVisu::GetRepPathById(root, count, ids.data());
    KIVRepPath* want = ReferenceById(root, count, ids.data());
    ASSERT_EQ(got == nullptr, want == nullptr) << "round " << round;
    if (got) {
      EXPECT_EQ(got->GetReps(), want->GetReps()) << "round " << round;
    }
    delete got;
    delete want;
    root->Destroy();
  }
}

// ---- GetAllBranche and the path list -------------------------------------------------

// Every way up from rep, depth first in parent order: rep first, root last.
void WaysUp(KIVRep* rep, std::vector<KIVRep*>& chain, std::vector<std::vector<KIVRep*>>& out) {
  chain.push_back(rep);
  if (rep->GetParents().empty())
    out.push_back(chain);
  else
    for (KIVRep* p : rep->GetParents()) WaysUp(p, chain, out);
  chain.pop_back();
}

std::vector<std::vector<KIVRep*>> Branches(KIVRep* rep) {
  KIVRepPathList list;
  auto* path = new KIVRepPath;
  path->AddRep(rep);
  NavToolsVisu::GetAllBranche(*rep, *path, list);
  std::vector<std::vector<KIVRep*>> out;
  for (int i = 0; i < list.GetCount(); ++i) {
    out.push_back(list.Get(i)->GetReps());
    delete list.Get(i);
  }
  return out;
}

TEST(TreeBranches, OnePathPerWayUpThroughSharedSubtrees) {
  KIV3DCustomRep* leaf = Leaf(0, 0, 0, 1);
  KIV3DBagRep* a = Bag({leaf});
  KIV3DBagRep* b = Bag({leaf});
  KIV3DBagRep* shared = Bag({a});
  KIV3DBagRep* top1 = Bag({shared});
  KIV3DBagRep* top2 = Bag({shared, b});
  using V = std::vector<KIVRep*>;
  EXPECT_EQ(Branches(leaf), (std::vector<V>{{leaf, a, shared, top1}, {leaf, a, shared, top2}, {leaf, b, top2}}));
  EXPECT_EQ(Branches(top1), (std::vector<V>{{top1}}));
  EXPECT_EQ(Branches(a), (std::vector<V>{{a, shared, top1}, {a, shared, top2}}));
  top1->RemoveChild(shared);
  delete top1;
  top2->Destroy();
}

TEST(TreeBranches, AgreesWithEveryWayUpOnRandomDags) {
  std::mt19937 rng(11);
  for (int round = 0; round < 200; ++round) {
    std::vector<KIV3DBagRep*> bags;
    for (int i = 0; i < 12; ++i) {
      auto* b = new KIV3DBagRep;
      // Parents among the earlier bags only: no cycle.
      for (int j = 0; j < i; ++j)
        if (rng() % 4 == 0) bags[j]->AddChild(b);
      bags.push_back(b);
    }
    KIVRep* start = bags[rng() % bags.size()];
    std::vector<KIVRep*> chain;
    std::vector<std::vector<KIVRep*>> want;
    WaysUp(start, chain, want);
    auto got = Branches(start);
    std::sort(want.begin(), want.end());
    std::sort(got.begin(), got.end());
    EXPECT_EQ(got, want) << "round " << round;
    for (KIV3DBagRep* b : bags) delete b;
  }
}

TEST(TreeBranches, PathListMatchesAPlainListUnderRandomUse) {
  std::mt19937 rng(3);
  std::vector<KIVRepPath> pool(40);
  KIVRepPathList list;
  std::vector<KIVRepPath*> plain;
  int cursor = 0;
  EXPECT_EQ(list.GetCapacity(), 5);
  for (int step = 0; step < 20000; ++step) {
    KIVRepPath* p = &pool[rng() % pool.size()];
    switch (rng() % 4) {
      case 0:
      case 1: {
        const bool absent = std::find(plain.begin(), plain.end(), p) == plain.end();
        EXPECT_EQ(list.Add(p), absent ? 1 : 0);
        if (absent) plain.push_back(p);
        break;
      }
      case 2: {
        auto it = std::find(plain.begin(), plain.end(), p);
        EXPECT_EQ(list.Remove(p), it != plain.end() ? 1 : 0);
        if (it != plain.end()) {
          if (it - plain.begin() < cursor) --cursor;
          plain.erase(it);
        }
        break;
      }
      default:
        if (list.Next()) ++cursor;
        if (rng() % 8 == 0) list.InitCursor(), cursor = 0;
    }
    ASSERT_EQ(list.GetCount(), static_cast<int>(plain.size()));
    ASSERT_EQ(list.GetCursor(), cursor);
    ASSERT_TRUE(std::equal(plain.begin(), plain.end(), list.GetArray()));
    int capacity = 5;
    while (capacity < list.GetCount()) capacity *= 2;
    ASSERT_LE(capacity, list.GetCapacity());
  }
  EXPECT_EQ(list.Add(nullptr), 0);
}

// ---- Cloning -------------------------------------------------------------------------

class ModelInfo : public NavInterfaceInfoRep {
 public:
  KIVRep* model = nullptr;
  KIVRep* GetRepOfModel(KIVRepPath*) override { return model; }
  const char* GetNameOfRep(KIVRep*) override { return nullptr; }
  const char* GetNameOfRep(KIVRepPath*) override { return nullptr; }
  int IsSectionningContext() override { return 0; }
  const KIV4x4Matrix* GetMatrix() override { return nullptr; }
};

TEST(TreeClone, LeafAndTopModesPlaceAndColourTheClones) {
  KIV3DCustomRep* leaf = Leaf(0, 0, 0, 1);
  KIV3DBagRep* part = Bag({leaf});
  part->SetMatrix(Translation(1, 0, 0));
  KIV3DBagRep* top = Bag({part});
  top->SetMatrix(Translation(0, 10, 0));
  top->SetColorInheritanceMode(1);
  SetColour(top, 42);
  KIVRepPath path = Path({top, part, leaf});
  KIVRepPath* paths[2] = {&path, nullptr};
  KIV3DBagRep occlusion;

  EXPECT_EQ(NavToolsVisu::CloneBasicRep(&occlusion, 1, 0, paths, 2, 0, nullptr), leaf);
  ASSERT_EQ(occlusion.GetChildren().size(), 1u);
  auto* clone = static_cast<KIV3DBagRep*>(occlusion.GetChildren()[0]);
  EXPECT_EQ(clone->GetChildren(), std::vector<KIVRep*>{leaf});
  ASSERT_NE(clone->GetMatrix(), nullptr);
  EXPECT_EQ(*clone->GetMatrix(), Translation(1, 10, 0));
  EXPECT_EQ(clone->GetColorInheritanceMode(), 1);
  EXPECT_EQ(clone->GetGraphicAttributeSet().bytes[0], 42);

  // Top mode through the host's model rep: the bags above it only; an RGBA source gives
  // its red, green and blue bytes and a zero fourth byte.
  top->SetRGBA(1, 2, 3, 4);
  ModelInfo info;
  info.model = part;
  EXPECT_EQ(NavToolsVisu::CloneBasicRep(&occlusion, 1, 1, paths, 1, 1, &info), part);
  ASSERT_EQ(occlusion.GetChildren().size(), 1u);  // the first clone was released
  clone = static_cast<KIV3DBagRep*>(occlusion.GetChildren()[0]);
  EXPECT_EQ(clone->GetChildren(), std::vector<KIVRep*>{part});
  EXPECT_EQ(*clone->GetMatrix(), Translation(0, 10, 0));
  const unsigned char* b = clone->GetGraphicAttributeSet().bytes;
  EXPECT_EQ(b[4], 1);
  EXPECT_EQ(b[5], 2);
  EXPECT_EQ(b[6], 3);
  EXPECT_EQ(b[7], 0);
  EXPECT_EQ(leaf->GetParents().size(), 1u);  // the released clone let go of the leaf
  EXPECT_EQ(part->GetParents().size(), 2u);

  // No colour source: no inheritance; appended without clearing.
  SetColour(top, 251);
  top->SetColorInheritanceMode(0);
  SetColour(part, 251);
  SetColour(leaf, 251);
  NavToolsVisu::CloneBasicRep(&occlusion, 0, 0, paths, 1, 0, nullptr);
  ASSERT_EQ(occlusion.GetChildren().size(), 2u);
  EXPECT_EQ(occlusion.GetChildren()[1]->GetColorInheritanceMode(), 0);

  // A path through the target bag itself would make a cycle: skipped, nothing leaks.
  KIVRepPath loop = Path({&occlusion});
  KIVRepPath* loops[1] = {&loop};
  EXPECT_EQ(NavToolsVisu::CloneBasicRep(&occlusion, 0, 0, loops, 1, 0, nullptr), nullptr);
  EXPECT_EQ(occlusion.GetChildren().size(), 2u);
  EXPECT_EQ(NavToolsVisu::CloneBasicRep(nullptr, 1, 1, paths, 1, 0, nullptr), nullptr);

  NavToolsVisu::CloneViewpointRep(&occlusion, 1, nullptr);
  EXPECT_TRUE(occlusion.GetChildren().empty());
  top->Destroy();
}

TEST(TreeClone, ViewpointContentReplacesOrJoinsTheBag) {
  KIV3DViewpoint vp;
  KIV3DCustomRep* a = Leaf(0, 0, 0, 1);
  KIV3DCustomRep* kept = Leaf(0, 0, 0, 1);
  vp.AddRep(a);
  KIV3DBagRep bag;
  bag.AddChild(kept);
  NavToolsVisu::CloneViewpointRep(&bag, 0, &vp);
  EXPECT_EQ(bag.GetChildren(), (std::vector<KIVRep*>{kept, a}));
  NavToolsVisu::CloneViewpointRep(&bag, -1, &vp);
  EXPECT_EQ(bag.GetChildren(), (std::vector<KIVRep*>{a}));
  EXPECT_TRUE(kept->GetParents().empty());
  bag.RemoveChild(a);
  delete a;
  delete kept;
}

// ---- Region, size, colour and exclusion searches ---------------------------------------

TEST(TreeSearch, InsideRegionAndBelowSizeTakeTheHighestPassingReps) {
  KIV3DCustomRep* nearLeaf = Leaf(0, 0, 0, 1);
  KIV3DCustomRep* farLeaf = Leaf(0, 0, 0, 1);
  KIV3DBagRep* nearBag = Bag({nearLeaf});
  KIV3DBagRep* farBag = Bag({farLeaf});
  farBag->SetMatrix(Translation(100, 0, 0));
  KIV3DBagRep* root = Bag({nearBag, farBag});
  KIV3DBagRep result;
  KIV4x4Matrix m;
  KIV3DBoundingSphere region(KIVMathPointf(0, 0, 0), 5.0f);
  NavToolsVisu::IsRepInside(region, m, root, &result);
  EXPECT_EQ(result.GetChildren(), std::vector<KIVRep*>{nearBag});  // not descended into
  result.RemoveChild(nearBag);
  // The matrices above carry the spheres: shifting everything puts the far one inside.
  KIV4x4Matrix shift = Translation(-100, 0, 0);
  NavToolsVisu::IsRepInside(region, shift, root, &result);
  EXPECT_EQ(result.GetChildren(), std::vector<KIVRep*>{farBag});
  result.RemoveChild(farBag);
  float size = 2.0f;
  NavToolsVisu::IsRepInside(size, m, root, &result);
  EXPECT_EQ(result.GetChildren(), (std::vector<KIVRep*>{nearBag, farBag}));
  result.RemoveChild(nearBag);
  result.RemoveChild(farBag);
  size = 1.0f;  // strictly below
  NavToolsVisu::IsRepInside(size, m, root, &result);
  EXPECT_TRUE(result.GetChildren().empty());
  root->Destroy();
}

TEST(TreeSearch, ColourAndExclusionSearches) {
  KIV3DCustomRep* red = Leaf(0, 0, 0, 1);
  red->SetRGBA(255, 0, 0, 9);
  KIV3DCustomRep* indexed = Leaf(0, 0, 0, 1);
  SetColour(indexed, 246);
  KIV3DCustomRep* plain = Leaf(0, 0, 0, 1);
  KIV3DBagRep* group = Bag({red, indexed});
  KIV3DBagRep* root = Bag({group, plain});
  KIV3DBagRep result;
  NavToolsVisu::IsRepColor(0, 255, 0, 0, -1, root, &result);
  EXPECT_EQ(result.GetChildren(), std::vector<KIVRep*>{red});
  result.RemoveChild(red);
  NavToolsVisu::IsRepColor(0, 255, 0, 0, 8, root, &result);  // alpha differs
  EXPECT_TRUE(result.GetChildren().empty());
  NavToolsVisu::IsRepColor(246, -1, -1, -1, -1, root, &result);
  EXPECT_EQ(result.GetChildren(), std::vector<KIVRep*>{indexed});
  result.RemoveChild(indexed);
  NavToolsVisu::IsRepColor(253, -1, -1, -1, -1, root, &result);  // the bags match first
  EXPECT_EQ(result.GetChildren(), std::vector<KIVRep*>{root});
  result.RemoveChild(root);

  NavToolsVisu::GetRepByExclusion(root, group, &result);
  EXPECT_EQ(result.GetChildren(), std::vector<KIVRep*>{plain});
  result.RemoveChild(plain);
  NavToolsVisu::GetRepByExclusion(root, nullptr, &result);
  EXPECT_EQ(result.GetChildren(), (std::vector<KIVRep*>{red, indexed, plain}));
  for (KIVRep* r : {static_cast<KIVRep*>(red), static_cast<KIVRep*>(indexed), static_cast<KIVRep*>(plain)})
    result.RemoveChild(r);
  NavToolsVisu::GetRepByExclusion(red, group, &result);  // a direct child of the excluded rep
  EXPECT_TRUE(result.GetChildren().empty());
  root->Destroy();
}

// ---- Picking ---------------------------------------------------------------------------

TEST(TreePick, CentreAndEventPicksKeepTheMainViewpointsPath) {
  KIV3DViewer viewer(100, 100);
  KIV3DViewpoint* vp = viewer.GetMain3DViewpoint();
  vp->SetPosition(KIVMathPointf(0, 0, 10), KIVMathDirectionf(0, 0, -1), KIVMathDirectionf(0, 1, 0));
  const float v[9] = {-1, -1, 0, 1, -1, 0, 0, 1, 0};
  const int t[3] = {0, 1, 2};
  auto* leaf = new KIV3DCustomRep;
  leaf->AddGP(new KIV3DFaceGP(v, 9, nullptr, t, 1));
  KIV3DBagRep* root = Bag({leaf});
  vp->AddRep(root);
  KIVPickPath out;
  ASSERT_EQ(NavToolsVisu::DistanceToCollision(&viewer, out), 1);
  EXPECT_EQ(out.GetLeafRep(), leaf);
  EXPECT_EQ(out.GetViewpoint(), vp);

  KIVMouseEvent corner(KIVMouseEvent::Press, 0, 0);
  KIVViewerEvent event(&viewer, &corner, nullptr);
  KIVPickPath none;
  EXPECT_EQ(NavToolsVisu::DecodePickPath(nullptr, &event, &viewer, none), 0);
  KIVMouseEvent centre(KIVMouseEvent::Press, 50, 50);
  KIVViewerEvent hit(&viewer, &centre, nullptr);
  EXPECT_EQ(NavToolsVisu::DecodePickPath(nullptr, &hit, &viewer, none), 1);
  EXPECT_EQ(none.GetLeafRep(), leaf);
  EXPECT_EQ(NavToolsVisu::DecodePickPath(nullptr, nullptr, &viewer, none), 0);
  EXPECT_EQ(NavToolsVisu::DistanceToCollision(nullptr, none), 0);
  vp->RemoveRep(root);
  root->Destroy();
}

}  // namespace
