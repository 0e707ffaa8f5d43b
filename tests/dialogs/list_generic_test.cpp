// The generic list as its user drives it: filtering, tags, selection, find with its notices,
// the deferred refresh, the contextual menu and the settings.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "navtools.h"

namespace {

struct Father : KIVCommand {
  std::vector<std::string> received;
  void CB(KIVCommand*, KIVNotification* n, void*) { received.push_back(n->IsA()); }
  int Count(const char* name) const {
    int c = 0;
    for (const auto& r : received) c += r == name;
    return c;
  }
};

void Cycle() {
  KIVApplication::MainApplication()->ProcessDeferred();
  KIVApplication::MainApplication()->ProcessDeferred();
}

struct ListTest : ::testing::Test {
  KIVDlgDialog window{nullptr, "Window"};
  Father father;
  NavListGeneric* list = nullptr;
  std::vector<int> objects = std::vector<int>(400);
  int updates = 0;

  void SetUp() override {
    window.SetVisibility(KIVDialog::VisibilityShown);
    father.AddAnalyseNotificationCB(nullptr, nullptr, nullptr,
                                    [this](KIVCommand* s, KIVNotification* n, void* d) { father.CB(s, n, d); },
                                    nullptr);
  }
  void TearDown() override { Cycle(); }
  NavListGeneric* Make(int style, int filtering = 1) {
    list = new NavListGeneric(&father, &window, "Models", filtering, style);
    list->GetCallbackManager()->AddCallback(
        NavListGeneric::OBJECT_UPDATED(),
        [this](const char*, void* data, KIVNotification*, void*, KIVCallback) {
          EXPECT_EQ(data, list);
          ++updates;
        },
        nullptr);
    return list;
  }
  void Add(int i, const std::string& name, int type = 0, int subtypes = -1, int selected = 0, int tagged = 0) {
    auto* texts = new KIVUnicodeString[2]{KIVUnicodeString(name), KIVUnicodeString("x" + std::to_string(i))};
    list->AddObject(&objects[i], texts, type, subtypes, selected, tagged, 1, 2);
  }
  std::vector<std::string> Column(int c) const {
    std::vector<std::string> out;
    for (const auto& t : list->GetMultiList()->GetColumnItems(c)) out.push_back(t.GetUtf8());
    return out;
  }
  static NavListType Type(int id, const char* name) {
    NavListType t;
    t.id = id;
    t.name = name;
    t.titles = {"Name", "Extra"};
    t.widths = {12, 6};
    t.editorKinds = {0x2, 0x8};
    return t;
  }
};

TEST_F(ListTest, GrowsByDoublingAndNewSlotsMayBeShown) {
  Make(0);
  EXPECT_EQ(list->GetObjectCapacity(), 100);
  for (int i = 0; i < 101; ++i) Add(i, "o" + std::to_string(i));
  EXPECT_EQ(list->GetObjectCapacity(), 200);
  for (int i = 101; i < 200; ++i) EXPECT_EQ(list->GetFiltreForce()[i], 1);
  Cycle();
  EXPECT_EQ(list->GetMultiList()->GetLineCount(), 101);
}

TEST_F(ListTest, RefreshIsDeferredCoalescedAndWaitsForTheWindow) {
  KIVDlgDialog hidden(nullptr, "Hidden");
  list = new NavListGeneric(&father, &hidden, "L", 1, 0);
  int count = 0;
  list->GetCallbackManager()->AddCallback(
      NavListGeneric::OBJECT_UPDATED(), [&](const char*, void*, KIVNotification*, void*, KIVCallback) { ++count; },
      nullptr);
  auto* texts = new KIVUnicodeString[1]{"a"};
  list->AddObject(&objects[0], texts, 0, -1, 0, 0, 1);
  Cycle();
  EXPECT_EQ(count, 0);  // the window was never shown
  hidden.SetVisibility(KIVDialog::VisibilityShown);
  Cycle();
  EXPECT_EQ(count, 1);
  EXPECT_EQ(list->GetMultiList()->GetLineCount(), 1);

  // Many changes, one refresh; none while suspended.
  list->InactiveUpdate();
  for (int i = 1; i < 50; ++i) list->AddObject(&objects[i], new KIVUnicodeString[1]{"b"}, 0, -1, 0, 0, 1);
  Cycle();
  EXPECT_EQ(count, 1);
  list->ActiveUpdate();
  list->UpdateDisplayList();
  list->SetFilter("b");
  Cycle();
  EXPECT_EQ(count, 2);
  EXPECT_EQ(list->GetMultiList()->GetLineCount(), 49);
  // A list destroyed with a refresh pending is never refreshed.
  list->UpdateDisplayList();
  list->SetFilter("*");
  EXPECT_EQ(list->IsRefreshPending(), 1);
  delete list;
  list = nullptr;
  Cycle();
}

TEST_F(ListTest, FiltersByPatternTypeSubtypeTagAndForcedValue) {
  Make(0x4E0 | 0x10 | 0x8 | 0x100);
  list->AddTypeObject(Type(1, "Part"), 0);
  list->AddTypeObject(Type(2, "Tool"), 0);
  Add(0, "part120", 1, 0x4);
  Add(1, "part7", 1, 0x1);
  Add(2, "tool125", 2, -1, 0, 1);
  Add(3, "bolt", 2, 0x6, 0, 1);
  Cycle();
  EXPECT_EQ(list->GetObjectInCurrentViewCount(), 4);
  EXPECT_EQ(list->GetFirstDataColumn(), 2);  // marker and tag columns first

  list->SetFilter("*12[0-9]*");
  Cycle();
  EXPECT_EQ(Column(2), (std::vector<std::string>{"part120", "tool125"}));
  EXPECT_EQ(Column(1), (std::vector<std::string>{"UnTag", "Tag"}));
  list->SetFilter("*");

  list->SetCurrentSubType(0x4);
  Cycle();
  EXPECT_EQ(Column(2), (std::vector<std::string>{"part120", "tool125", "bolt"}));
  list->SetCurrentSubType(-1);

  // The tag combo, as a person picks its lines.
  auto* combo = dynamic_cast<KIVDlgCombo*>(list->LookupChild("ModeMarqCombo"));
  ASSERT_NE(combo, nullptr);
  combo->UserSelect(1);
  Cycle();
  EXPECT_EQ(Column(2), (std::vector<std::string>{"tool125", "bolt"}));
  EXPECT_EQ(list->GetModeMarque(), 6);
  EXPECT_EQ(father.Count("NavSwapModeMarqNotification"), 1);
  EXPECT_EQ(list->GetContextMenu()->GetState(NavListGeneric::kTagOnly), KIVDialog::StateSet);
  combo->UserSelect(2);
  Cycle();
  EXPECT_EQ(Column(2), (std::vector<std::string>{"part120", "part7"}));
  combo->UserSelect(0);

  // The type combo: "All" then each type.
  auto* types = dynamic_cast<KIVDlgCombo*>(list->LookupChild("ModeTypeCombo"));
  ASSERT_NE(types, nullptr);
  EXPECT_EQ(types->GetLineCount(), 3);
  types->UserSelect(2);
  Cycle();
  EXPECT_EQ(list->GetCurrentType(), 2);
  EXPECT_EQ(Column(2), (std::vector<std::string>{"tool125", "bolt"}));
  EXPECT_EQ(father.Count("NavChangeTypeNotification"), 1);
  types->UserSelect(0);

  int forced[4] = {1, 0, 1, 1};
  list->SetFiltreForce(forced, 4, 1);
  Cycle();
  EXPECT_EQ(list->GetObjectInCurrentViewCount(), 3);

  // The filter editor, as typed.
  auto* editor = dynamic_cast<KIVDlgEditor*>(list->LookupChild("ListFilterEditor"));
  ASSERT_NE(editor, nullptr);
  editor->UserSetText("[bt]*");
  Cycle();
  EXPECT_EQ(Column(2), (std::vector<std::string>{"tool125", "bolt"}));
  EXPECT_STREQ(list->GetFilter(), "[bt]*");
}

TEST_F(ListTest, UnfilteredListShowsEverythingAndRemovingHiddenObjectsDoesNotRefresh) {
  Make(0x20);
  Add(0, "a");
  Add(1, "b");
  Cycle();
  list->SetFilter("a");
  Cycle();
  EXPECT_EQ(list->GetObjectInCurrentViewCount(), 1);
  const int before = updates;
  list->RemoveObject(&objects[1]);
  Cycle();
  EXPECT_EQ(updates, before);
  EXPECT_EQ(list->RemoveObject(&objects[1]), 0);
  EXPECT_EQ(list->RemoveObject(nullptr), 0);

  auto* plain = new NavListGeneric(&father, &window, "Plain", 0, 0);
  plain->AddObject(&objects[5], new KIVUnicodeString[1]{"zzz"}, 0, -1, 0, 0, 0);
  plain->SetFilter("a");
  Cycle();
  EXPECT_EQ(plain->GetObjectInCurrentViewCount(), 1);  // filtering off
}

TEST_F(ListTest, SelectionFollowsClicksAndSelectAll) {
  Make(0x1 | 0x2);
  for (int i = 0; i < 5; ++i) Add(i, "o" + std::to_string(i));
  Cycle();
  KIVDlgMultiList* ml = list->GetMultiList();
  int lines[] = {1, 3};
  ml->UserSelect(lines, 2, 0);
  EXPECT_EQ(list->GetSelectCount(0), 2);
  EXPECT_EQ(father.Count("KIVDlgListSelectNotification"), 1);  // ours; the multi-list's stops at the list
  auto* counter = dynamic_cast<KIVDlgLabel*>(list->LookupChild("ModelsListLabelNumber"));
  ASSERT_NE(counter, nullptr);
  EXPECT_EQ(counter->GetTitle().GetUtf8(), "2 / 5");

  void* out[5];
  int types[5];
  int count = 5;
  list->GetSelectObject(out, types, count, 1);
  ASSERT_EQ(count, 2);
  EXPECT_EQ(out[0], &objects[1]);
  count = 1;  // less room than objects: counts them all, writes one
  EXPECT_EQ(list->GetSelectObject(out, nullptr, count, 0), 2);

  list->SetFilter("o[0-2]");
  Cycle();
  father.received.clear();
  list->SelectAll(1);  // the object out of view loses its flag
  EXPECT_EQ(list->GetSelectCount(0), 3);
  EXPECT_EQ(ml->GetSelectCount(), 3);
  EXPECT_EQ(father.received.size(), 1u);
  list->SelectAll(0);
  EXPECT_EQ(list->GetSelectCount(0), 0);
  father.received.clear();
  list->SelectAll(0);
  EXPECT_TRUE(father.received.empty());  // nothing changed

  void* some[2] = {&objects[0], &objects[99]};  // an object not in the list is skipped
  EXPECT_EQ(list->SetSelectObject(some, 2, 1, 0, 1), 1);
  EXPECT_EQ(ml->IsSelected(0), 1);
  EXPECT_EQ(list->SetSelectObject(nullptr, 3, 1, 1, 1), 0);
}

TEST_F(ListTest, TagColumnToggledByDoubleClickAndMarkerBySingle) {
  Make(0x8 | 0x10 | 0x100 | 0x400);
  Add(0, "a");
  Add(1, "b");
  Cycle();
  KIVDlgMultiList* ml = list->GetMultiList();
  EXPECT_EQ(ml->GetColumnTitle(0).GetUtf8(), "F");
  EXPECT_EQ(ml->GetColumnTitle(1).GetUtf8(), "State");
  EXPECT_EQ(ml->GetColumnTextWidth(1), 5);
  ml->UserActivate(1, 1);
  EXPECT_EQ(list->GetTaggedCount(0), 1);
  EXPECT_EQ(ml->GetCell(1, 1).GetUtf8(), "Tag");
  EXPECT_EQ(father.Count("NavMarqueChangeNotification"), 1);
  ml->UserActivate(0, 0);
  EXPECT_EQ(list->GetCurrentObject(), &objects[0]);
  EXPECT_EQ(ml->GetCell(0, 0).GetUtf8(), " > ");
  ml->UserActivate(0, 0);
  EXPECT_EQ(list->GetCurrentObject(), nullptr);
  EXPECT_EQ(ml->GetCell(0, 0).GetUtf8(), "   ");
  ml->UserActivate(1, 2);
  EXPECT_EQ(father.Count("KIVDlgListActivateNotification"), 1);
}

TEST_F(ListTest, FindWrapsSelectsAndReportsFailuresInTheNotice) {
  Make(0x1 | 0x8 | 0x100);
  for (int i = 0; i < 6; ++i) Add(i, i % 2 ? "bolt" + std::to_string(i) : "nut" + std::to_string(i));
  Cycle();
  KIVDlgMultiList* ml = list->GetMultiList();
  EXPECT_EQ(list->FindObject("bolt", list->GetFirstDataColumn(), 1, -1), 1);
  EXPECT_EQ(list->GetCurrentObject(), &objects[1]);
  EXPECT_EQ(ml->GetFirstLine(), 1);
  EXPECT_EQ(list->FindObject("bolt", 1, 1, -1), 3);  // after the current one
  EXPECT_EQ(list->FindObject("bolt", 1, 1, -1), 5);
  EXPECT_EQ(list->FindObject("bolt", 1, 1, -1), 1);  // wrapped
  EXPECT_EQ(ml->GetCell(1, 0).GetUtf8(), " > ");
  EXPECT_EQ(ml->GetCell(5, 0).GetUtf8(), "   ");
  EXPECT_EQ(list->GetLastSearch().GetUtf8(), "bolt");

  // Select when found, then add to the selection.
  list->ActionMenu(NavListGeneric::kSelWhenFind);
  list->FindObject("nut", 1, 1, -1);
  EXPECT_EQ(ml->GetSelectCount(), 1);
  list->ActionMenu(NavListGeneric::kAddSelect);
  list->ActionMenu(NavListGeneric::kFindNext);
  EXPECT_EQ(ml->GetSelectCount(), 2);
  // Find next selected.
  list->ActionMenu(NavListGeneric::kFindNextSelect);
  EXPECT_NE(list->GetCurrentObject(), nullptr);

  // An empty text fails at once with the notice.
  EXPECT_EQ(list->FindObject("", 1, 0, -1), -1);
  ASSERT_NE(list->GetFindInfoWindow(), nullptr);
  EXPECT_EQ(list->GetFindInfoWindow()->GetTitle().GetUtf8(), "Find Object - Information");
  EXPECT_EQ(list->GetFindInfoWindow()->GetText().GetUtf8(), "Unable to find the string  in the current list");
  EXPECT_EQ(list->GetFindInfoWindow()->GetVisibility(), KIVDialog::VisibilityShown);
  EXPECT_EQ(list->GetCurrentObject(), nullptr);
  list->GetFindInfoWindow()->UserOK();
  EXPECT_EQ(list->GetFindInfoWindow()->GetVisibility(), KIVDialog::VisibilityHidden);
  EXPECT_EQ(list->FindObject("screw", 1, 1, -1), -1);
  EXPECT_EQ(list->GetFindInfoWindow()->GetText().GetUtf8(), "Unable to find the string screw in the current list");
  list->SelectAll(0);
  EXPECT_EQ(list->FindObject("", 1, 1, 1), -1);
  EXPECT_EQ(list->GetFindInfoWindow()->GetText().GetUtf8(), "No object selected in the current list");
  // Every line selected: no unselected line to find; "Find Next Object" greys out.
  list->SelectAll(1);
  EXPECT_EQ(list->FindObject("", 1, 1, 0), -1);
  EXPECT_EQ(list->GetContextMenu()->IsSetSensitivity(NavListGeneric::kFindNext), KIVDialog::SensitivityOff);
}

TEST_F(ListTest, FindWindowSearchesTheTypedTextAndCloses) {
  Make(0x100);
  list->AddTypeObject(Type(0, "T"), 0);
  Add(0, "alpha");
  Add(1, "beta");
  Cycle();
  list->ActionMenu(NavListGeneric::kFind);
  KIVDlgDialog* find = list->GetFindWindow();
  ASSERT_NE(find, nullptr);
  EXPECT_STREQ(find->GetTag().CastToCharPtr(), "ListFindInputWindow");
  EXPECT_EQ(find->GetOKTitle().GetUtf8(), "Find");
  auto* all = dynamic_cast<KIVDlgCheckButton*>(find->LookupChild("FindAllBouton"));
  ASSERT_NE(all, nullptr);
  all->UserSetState(KIVDialog::StateSet);
  auto* edit = dynamic_cast<KIVDlgEditor*>(find->LookupChild("ListFindEdit"));
  ASSERT_NE(edit, nullptr);
  edit->UserSetText("x1");  // the second column: found with "Find All" only
  EXPECT_EQ(list->GetFindWindow(), nullptr);
  EXPECT_EQ(list->GetCurrentObject(), &objects[1]);
  Cycle();

  list->ActionMenu(NavListGeneric::kFind);
  ASSERT_NE(list->GetFindWindow(), nullptr);
  EXPECT_EQ(dynamic_cast<KIVDlgEditor*>(list->GetFindWindow()->LookupChild("ListFindEdit"))->GetText().GetUtf8(),
            "x1");
  list->GetFindWindow()->UserCancel();
  EXPECT_EQ(list->GetFindWindow(), nullptr);
}

TEST_F(ListTest, SortBitsGroupByTypeAndKeepTheAnchor) {
  Make(0x200);
  list->AddTypeObject(Type(1, "A"), 0);
  list->AddTypeObject(Type(2, "B"), 0);
  Add(0, "d", 1);
  Add(1, "b", 2);
  Add(2, "c", 1);
  Add(3, "a", 2);
  Cycle();
  NavListGenericSetting s;
  s.sortBits = 0x1 | 0x8;
  list->SetCurrentSetting(s);
  Cycle();
  EXPECT_EQ(Column(0), (std::vector<std::string>{"a", "b", "c", "d"}));  // type 2 first (descending), then text
  EXPECT_EQ(list->GetContextMenu()->GetState(NavListGeneric::kSortAlpha), KIVDialog::StateSet);
  list->ActionMenu(NavListGeneric::kSortAlpha);  // off: type order only
  Cycle();
  EXPECT_EQ(Column(0), (std::vector<std::string>{"b", "a", "d", "c"}));
}

TEST_F(ListTest, SettingsApplyOnlyDefinedFields) {
  Make(0x4A0);
  Add(0, "a", 0, -1, 0, 1);
  Add(1, "b");
  Cycle();
  NavListGenericSetting current;
  list->GetCurrentSetting(current);
  EXPECT_EQ(current.sortBits, 0);
  EXPECT_EQ(current.findMode, 1);
  EXPECT_EQ(current.tagMode, 5);
  EXPECT_EQ(current.currentType, -3);
  EXPECT_EQ(current.filterText.GetUtf8(), "*");
  NavListGenericSetting s;
  s.tagMode = 6;
  s.findMode = 2 | 8;
  s.filterText = "a*";
  list->SetCurrentSetting(s);
  Cycle();
  EXPECT_EQ(list->GetObjectInCurrentViewCount(), 1);
  EXPECT_EQ(dynamic_cast<KIVDlgCombo*>(list->LookupChild("ModeMarqCombo"))->GetSelect(), 1);
  EXPECT_EQ(list->GetContextMenu()->GetState(NavListGeneric::kSelWhenFind), KIVDialog::StateSet);
  EXPECT_EQ(list->GetContextMenu()->GetState(NavListGeneric::kAddSelect), KIVDialog::StateSet);
  EXPECT_EQ(dynamic_cast<KIVDlgEditor*>(list->LookupChild("ListFilterEditor"))->GetText().GetUtf8(), "a*");
  NavListGenericSetting undefined;  // all -1: nothing changes, no refresh
  const int before = updates;
  list->SetCurrentSetting(undefined);
  Cycle();
  EXPECT_EQ(updates, before);
}

TEST_F(ListTest, ClearObjectKeepsTheOthersInOrderAndEmptyListIsHarmless) {
  Make(0x100);
  EXPECT_EQ(list->FindObject("x", 0, 1, -1), -1);  // empty list
  list->SelectAll(1);
  list->SortIndiceObject(0, 0);
  Add(0, "a", 1);
  Add(1, "b", 2);
  Add(2, "c", 1);
  Add(3, "d", 2);
  list->ClearObject(1);
  Cycle();
  EXPECT_EQ(Column(0), (std::vector<std::string>{"b", "d"}));
  EXPECT_EQ(list->GetIndiceObject(&objects[3]), 1);
  list->ClearObject(-1);
  Cycle();
  EXPECT_EQ(list->GetObjectCount(), 0);
  EXPECT_EQ(list->GetMultiList()->GetLineCount(), 0);
  EXPECT_EQ(list->GetInternalObjet(nullptr), nullptr);
}

TEST_F(ListTest, MoreInfoShowsTypeNamesAndTheEditorReplacesTexts) {
  Make(0x100);
  list->AddTypeObject(Type(1, ""), 0);  // named from its position
  Add(0, "a", 1);
  Add(1, "b", 7);
  Cycle();
  list->ActionMenu(NavListGeneric::kMoreInfo);
  Cycle();
  EXPECT_EQ(list->GetMultiList()->GetColumnTitle(2).GetUtf8(), "Type");
  EXPECT_EQ(Column(2), (std::vector<std::string>{"Type0", "Unknown"}));

  list->SetCurrentType(1);
  Cycle();
  list->GetMultiList()->UserSelect(0, 0);
  list->ActionMenu(NavListGeneric::kEditObject);
  NavEditorGeneric* editor = list->GetEditor();
  ASSERT_NE(editor, nullptr);
  auto* value = dynamic_cast<KIVDlgEditor*>(editor->GetValueWidget(0));
  ASSERT_NE(value, nullptr);
  EXPECT_EQ(value->GetText().GetUtf8(), "a");
  value->UserSetText("renamed");
  editor->UserOK();
  Cycle();
  EXPECT_EQ(Column(0), (std::vector<std::string>{"renamed"}));
  EXPECT_EQ(list->GetEditor(), nullptr);
}

}  // namespace
