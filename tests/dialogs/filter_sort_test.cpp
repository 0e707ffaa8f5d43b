// The wildcard matcher, the sort and search helpers, and the list's sort passes, each
// checked against a plain transcription of the algorithm it replaces.
#include <gtest/gtest.h>

#include <cstring>
#include <random>
#include <string>
#include <vector>

#include "navtools.h"

namespace {

TEST(FilterString, GrammarTrimsAndCutsIntoSegments) {
  KIVFilterString f("abc  \n");
  EXPECT_STREQ(f.GetFilter(), "abc");
  EXPECT_EQ(f.CheckFromFilter("abc\n"), 1);
  EXPECT_EQ(KIVFilterString(nullptr).GetFilter(), std::string("*"));

  KIVFilterString g("ab*[a-c]x*");
  ASSERT_EQ(g.GetSegmentCount(), 5);
  EXPECT_EQ(g.GetSegmentKind(0), KIVFilterString::kLiteral);
  EXPECT_EQ(g.GetSegmentKind(1), KIVFilterString::kStar);
  EXPECT_EQ(g.GetSegmentKind(2), KIVFilterString::kClass);
  EXPECT_EQ(g.GetSegmentKind(3), KIVFilterString::kLiteral);
  EXPECT_EQ(g.GetSegmentKind(5), -1);
  EXPECT_EQ(g.ClassContains(2, 'b'), 1);
  EXPECT_EQ(g.ClassContains(2, 'd'), 0);

  KIVFilterString dash("[a-]");  // a dash before ']' adds only the character
  EXPECT_EQ(dash.ClassContains(0, 'a'), 1);
  EXPECT_EQ(dash.ClassContains(0, '-'), 0);
  KIVFilterString open("x[0-9");  // a class without its ']' runs to the end
  EXPECT_EQ(open.GetSegmentCount(), 2);
  EXPECT_EQ(open.CheckFromFilter("x5"), 1);

  std::string many;
  for (int i = 0; i < 40; ++i) many += "a*";
  EXPECT_EQ(KIVFilterString(many.c_str()).GetSegmentCount(), KIVFilterString::kMaxSegments);
}

TEST(FilterString, MatchesAnchoredAtTheStartOnly) {
  struct Case {
    const char* pattern;
    const char* text;
    int expected;
  } cases[] = {
      {"*", "anything", 1},   {"*", "", 1},           {"ab", "abc", 1},         {"ab", "xab", 0},
      {"*ab", "xxab", 1},     {"[a-c]x", "bx", 1},    {"[a-c]x", "cxyz", 1},    {"[a-c]x", "dx", 0},
      {"*[0-9]", "part12", 1}, {"*[0-9]", "part", 0}, {"a*b*c", "axxbyyc", 1},  {"a*b*c", "abcabc", 1},
      {"[z-a]b", "ab", 0},    {"[z-a]b", "zb", 0},    {"*12[0-9]*", "obj1234", 1}, {"*12[0-9]*", "obj12x", 0},
      {"a*bc", "abxbc", 1},   {"a*bc", "abxb", 0},    {"A", "a", 0},            {"", "whatever", 1},
      {"**x", "aax", 1},      {"abc", "ab", 0},       {"*ab*ac", "abxabac", 1}, {"x*", "x", 1},
  };
  for (const auto& c : cases)
    EXPECT_EQ(KIVFilterString(c.pattern).CheckFromFilter(c.text), c.expected) << c.pattern << " / " << c.text;
  EXPECT_EQ(KIVFilterString("*").CheckFromFilter(nullptr), 1);
  EXPECT_EQ(KIVFilterString("a").CheckFromFilter(nullptr), 0);
  // Bytes of 255 and above have no class entry.
  EXPECT_EQ(KIVFilterString("[\xfe-\xff]").CheckFromFilter("\xff"), 0);
  EXPECT_EQ(KIVFilterString("[\xfe-\xff]").CheckFromFilter("\xfe"), 1);
}

TEST(FilterString, CopiesOwnTheirPattern) {
  KIVFilterString a("ab*");
  KIVFilterString b(a);
  KIVFilterString c("zz");
  c = a;
  a.SetFilter("q");
  EXPECT_STREQ(b.GetFilter(), "ab*");
  EXPECT_STREQ(c.GetFilter(), "ab*");
  EXPECT_EQ(c.CheckFromFilter("abx"), 1);
  const KIVFilterString& same = c;  // self-assignment, through a reference
  c = same;
  EXPECT_STREQ(c.GetFilter(), "ab*");
}

// ---------------------------------------------------------------------------------------

int Compare(const KIVUnicodeString a, const KIVUnicodeString b) {
  const int c = a.Compare(b);
  return c < 0 ? -1 : (c > 0 ? 1 : 0);
}

// The gnome sort, as the algorithm is written.
void GnomeSort(KIVUnicodeString* values, int* order, int n, int direction, int kind) {
  auto cmp = [&](int a, int b) -> double {
    const KIVUnicodeString &x = values[a], &y = values[b];
    switch (kind) {
      case 0: return std::strcmp(x.CastToCharPtr(), y.CastToCharPtr());
      case 1: return double(std::atoi(x.CastToCharPtr())) - std::atoi(y.CastToCharPtr());
      case 3: return std::atof(x.CastToCharPtr()) - std::atof(y.CastToCharPtr());
      default: return Compare(x, y);
    }
  };
  int i = 0;
  while (i < n - 1) {
    const double c = cmp(order[i], order[i + 1]);
    if ((direction == 1 && c > 0) || (direction == -1 && c < 0)) {
      std::swap(order[i], order[i + 1]);
      if (i >= 1) --i;
    } else {
      ++i;
    }
  }
}

TEST(SortFindItem, BubbleSortGivesTheExchangeSortsOrder) {
  std::mt19937 random(7);
  for (int round = 0; round < 200; ++round) {
    const int n = 1 + static_cast<int>(random() % 60);
    std::vector<KIVUnicodeString> values(n);
    for (auto& v : values) {
      // Few distinct values, so that stability shows.
      v.BuildFromNum(static_cast<int>(random() % 12) - 4, round % 2 ? "%d" : "%03d");
      if (round % 3 == 0) v += KIVUnicodeString(random() % 2 ? ".5" : "x");
    }
    const int kinds[] = {0, 1, 3, 5};
    const int kind = kinds[round % 4];
    const int direction = round % 5 == 0 ? -1 : 1;
    std::vector<int> expected(n), got(n);
    for (int i = 0; i < n; ++i) expected[i] = got[i] = (i * 7) % n == i ? i : i;  // identity
    std::shuffle(expected.begin(), expected.end(), random);
    got = expected;
    GnomeSort(values.data(), expected.data(), n, direction, kind);
    ASSERT_EQ(NavSortFindItem::BubbleSort(values.data(), got.data(), n, direction, kind, &Compare), 0);
    ASSERT_EQ(got, expected) << "round " << round << " kind " << kind;
  }
}

TEST(SortFindItem, BubbleSortCodesAndRefusals) {
  KIVUnicodeString values[3] = {"b", "a", "c"};
  int order[3] = {0, 1, 2};
  EXPECT_EQ(NavSortFindItem::BubbleSort(values, order, 0, 1, 0), -1);
  EXPECT_EQ(NavSortFindItem::BubbleSort(nullptr, order, 3, 1, 0), -1);
  EXPECT_EQ(NavSortFindItem::BubbleSort(values, order, 3, 1, 5, nullptr), -2);
  EXPECT_EQ(NavSortFindItem::BubbleSort(values, order, 3, 0, 0), 0);  // no direction: unchanged
  EXPECT_EQ(NavSortFindItem::BubbleSort(values, order, 3, 1, 9), 0);  // unknown kind: unchanged
  EXPECT_EQ(order[0], 0);
  KIVUnicodeString big[2] = {"99999999999999999999", "-99999999999999999999"};
  int o2[2] = {0, 1};
  EXPECT_EQ(NavSortFindItem::BubbleSort(big, o2, 2, 1, 1), 0);  // saturates, no overflow
  EXPECT_EQ(o2[0], 1);
}

TEST(SortFindItem, ListSortAndSubstringSearch) {
  KIVDlgMultiList list(nullptr, "L");
  EXPECT_EQ(NavSortFindItem::ListBubbleSort(nullptr, 0, nullptr, 1, 0), -3);
  int order[4];
  EXPECT_EQ(NavSortFindItem::ListBubbleSort(&list, 0, order, 1, 0), -2);
  const KIVUnicodeString texts[] = {"delta", "Alpha", "charlie", "bravo"};
  list.SetColumnItem(0, texts, 4);
  EXPECT_EQ(NavSortFindItem::ListBubbleSort(&list, 3, order, 1, 0), -1);
  ASSERT_EQ(NavSortFindItem::ListBubbleSort(&list, 0, order, 1, 0), 0);  // four lines are sorted too
  EXPECT_EQ((std::vector<int>(order, order + 4)), (std::vector<int>{1, 3, 2, 0}));

  EXPECT_EQ(NavSortFindItem::FindSubStringInArray(texts, "a", 4, 1, 0), 0);
  EXPECT_EQ(NavSortFindItem::FindSubStringInArray(texts, "a", 4, 0, 0), 3);
  EXPECT_EQ(NavSortFindItem::FindSubStringInArray(texts, "ALPHA", 4, 1, 0), -1);
  EXPECT_EQ(NavSortFindItem::FindSubStringInArray(texts, "ALPHA", 4, 1, 1), 1);
  EXPECT_EQ(NavSortFindItem::FindSubStringInArray(texts, "a", 4, 2, 0), -1);
  EXPECT_EQ(NavSortFindItem::FindSubStringInArray(nullptr, "a", 4, 1, 0), -1);
  EXPECT_EQ(NavSortFindItem::FindSubStringInMultiList(nullptr, 0, "a", 0, 1, 0), -4);
  EXPECT_EQ(NavSortFindItem::FindSubStringInMultiList(&list, 0, "a", 4, 1, 0), -3);
  EXPECT_EQ(NavSortFindItem::FindSubStringInMultiList(&list, 7, "a", 0, 1, 0), -2);
  EXPECT_EQ(NavSortFindItem::FindSubStringInMultiList(&list, 0, "charlie", 1, 1, 0), 1);  // relative to line 1
}

// ---------------------------------------------------------------------------------------
// The list's sort passes against the exchange sort over the display order.

struct Rec {
  std::string text;
  int type, selected, tagged, index;
};

void ExchangeSort(std::vector<Rec>& view, int descending, int key) {
  auto value = [&](const Rec& r) -> long {
    switch (key) {
      case 1: return r.type;
      case 2: return r.selected;
      case 3: return r.tagged;
      default: return r.index;
    }
  };
  bool swapped = true;
  while (swapped) {
    swapped = false;
    for (std::size_t i = 0; i + 1 < view.size(); ++i) {
      int c;
      if (key == 0) c = std::strcmp(view[i].text.c_str(), view[i + 1].text.c_str());
      else c = value(view[i]) < value(view[i + 1]) ? -1 : (value(view[i]) > value(view[i + 1]) ? 1 : 0);
      if ((descending == 1 && c < 0) || (descending != 1 && c > 0)) {
        std::swap(view[i], view[i + 1]);
        swapped = true;
      }
    }
  }
}

TEST(ListSort, PassesGiveTheExchangeSortsOrder) {
  std::mt19937 random(11);
  KIVDlgDialog window(nullptr, "W");
  window.SetVisibility(KIVDialog::VisibilityShown);
  for (int round = 0; round < 40; ++round) {
    auto* list = new NavListGeneric(nullptr, &window, "Sorted", 1, 0x401);
    const int n = 1 + static_cast<int>(random() % 150);
    std::vector<Rec> records(n);
    std::vector<int> objects(n);
    for (int i = 0; i < n; ++i) {
      Rec& r = records[i];
      r = Rec{std::string(1, char('a' + random() % 4)) + std::to_string(random() % 3), int(random() % 3),
              int(random() % 2), int(random() % 2), i};
      auto* texts = new KIVUnicodeString[1]{KIVUnicodeString(r.text)};
      list->AddObject(&objects[i], texts, r.type, -1, r.selected, r.tagged, 1);
    }
    KIVApplication::MainApplication()->ProcessDeferred();
    KIVApplication::MainApplication()->ProcessDeferred();
    ASSERT_EQ(list->GetObjectInCurrentViewCount(), n);
    std::vector<Rec> view = records;
    for (int pass = 0; pass < 4; ++pass) {
      const int key = static_cast<int>(random() % 5), descending = static_cast<int>(random() % 2);
      int keys[1] = {key}, desc[1] = {descending};
      list->SortObjectCombinatoire(keys, desc, 1);
      ExchangeSort(view, descending, key);
    }
    std::vector<void*> shown(n);
    int count = n;
    list->GetObjectInCurrentView(shown.data(), count, 1);
    for (int i = 0; i < n; ++i) ASSERT_EQ(shown[i], &objects[view[i].index]) << "round " << round << " line " << i;
    delete list;
  }
}

}  // namespace
