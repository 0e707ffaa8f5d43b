// The attribute editor driven through its widgets: what each mode changes, what it
// reports, the undo ring, the bounding sphere and reps that leave while edited.
#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

#include "browsing/NavGraphicAttribut.h"
#include "navtools.h"
#include "tests/support/NotificationOwner.h"

namespace {
using GA = NavGraphicAttribut;
using Flag = KIVGraphicAttributeSet;

using Owner = NotificationOwner;

// A bag holding two leaves, one of which holds a leaf of its own.
struct Scene {
  KIV3DBagRep* top = new KIV3DBagRep;
  KIV3DBagRep* middle = new KIV3DBagRep;
  KIV3DRep* leaf = new KIV3DRep;
  KIV3DRep* deep = new KIV3DRep;
  Scene() {
    top->AddChild(middle);
    top->AddChild(leaf);
    middle->AddChild(deep);
  }
  ~Scene() { top->Destroy(); }
};

template <class W>
W* Find(KIVDialog* root, const char* tag) {
  return dynamic_cast<W*>(root->LookupChild(tag));
}

bool Sensitive(KIVDialog* d) { return d->GetSensitivity() == KIVDialog::SensitivityOn; }

struct Editor {
  Owner owner;
  KIVDlgDialog window{nullptr, "W"};
  GA* editor;
  explicit Editor(int style) : editor(new GA(&owner, &window, style)) {}
  void Edit(std::vector<KIVRep*> reps, int mode, KIV3DBoundingSphere* sphere = nullptr) {
    editor->UpdateAttribut(static_cast<int>(reps.size()), reps.data(), sphere, mode, 1);
  }
  int Action() const {
    int a = 0, v = 0;
    editor->GetLastAction(a, v);
    return a;
  }
  int Value() const {
    int a = 0, v = 0;
    editor->GetLastAction(a, v);
    return v;
  }
};

TEST(GraphicAttribut, DefaultStyleWidgetsAndEmptySetIsInsensitive) {
  Editor e(0);
  EXPECT_EQ(e.editor->GetStyle(), GA::kDefaultStyle);
  for (const char* tag : {GA::SwapTranparencyButtonTag, GA::SwapShowButtonTag, GA::SwapLowLightButtonTag,
                          GA::SwapHighLightButtonTag, GA::EditColorButtonTag, GA::BoundLabelTag[0]})
    EXPECT_NE(e.editor->LookupChild(tag), nullptr) << tag;
  for (const char* tag : {GA::PickableButtonTag, GA::ThicknessSpinnerTag, GA::GraphicalTypeComboTag,
                          GA::GraphicUndoButtonTag})
    EXPECT_EQ(e.editor->LookupChild(tag), nullptr) << tag;
  auto* transparent = Find<KIVDlgCheckButton>(e.editor, GA::SwapTranparencyButtonTag);
  EXPECT_FALSE(Sensitive(transparent));
  // A person cannot tick an insensitive box, and nothing is reported.
  EXPECT_EQ(transparent->UserSetState(KIVDialog::StateSet), 0);
  EXPECT_EQ(e.owner.Count("NavRepChangeNotification"), 0);

  // Null entries are skipped; a set of nulls is empty.
  KIVRep* nulls[2] = {nullptr, nullptr};
  e.editor->UpdateAttribut(2, nulls, nullptr, GA::kModeSetter, 1);
  int n = -1;
  EXPECT_EQ(e.editor->GetCurrentRep(n), nullptr);
  EXPECT_EQ(n, 0);
}

TEST(GraphicAttribut, BoundingSphereLabels) {
  Editor e(0);
  Scene s;
  KIV3DBoundingSphere sphere(KIVMathPointf(1.0f, -2.5f, 3.125f), 4.0f);
  e.Edit({s.leaf}, GA::kModeSetter, &sphere);
  EXPECT_EQ(Find<KIVDlgLabel>(e.editor, "CenterXBoundLabel")->GetTitle().GetUtf8(), " x = 1.00");
  EXPECT_EQ(Find<KIVDlgLabel>(e.editor, "CenterYBoundLabel")->GetTitle().GetUtf8(), " y = -2.50");
  EXPECT_EQ(Find<KIVDlgLabel>(e.editor, "CenterZBoundLabel")->GetTitle().GetUtf8(), " z = 3.12");
  EXPECT_EQ(Find<KIVDlgLabel>(e.editor, "RadiusRBoundLabel")->GetTitle().GetUtf8(), " R = 4.00");
  // An empty set drops the sphere and blanks the labels.
  e.editor->UpdateAttribut(0, nullptr, &sphere, GA::kModeSetter, 1);
  EXPECT_TRUE(e.editor->GetBoundingSphere().IsEmpty());
  EXPECT_EQ(Find<KIVDlgLabel>(e.editor, "CenterXBoundLabel")->GetTitle().GetUtf8(), " x =       ");
}

TEST(GraphicAttribut, ModesDecideWhoAppliesTheChange) {
  Scene s;
  {
    // Setter mode: the subtree turns transparent, and the owner hears of it.
    Editor e(0);
    e.Edit({s.middle}, GA::kModeSetter);
    Find<KIVDlgCheckButton>(e.editor, GA::SwapTranparencyButtonTag)->UserSetState(KIVDialog::StateSet);
    EXPECT_TRUE(s.middle->GetGraphicAttributeSet().GetFlag(Flag::Transparent));
    EXPECT_TRUE(s.deep->GetGraphicAttributeSet().GetFlag(Flag::Transparent));
    EXPECT_FALSE(s.leaf->GetGraphicAttributeSet().GetFlag(Flag::Transparent));
    EXPECT_EQ(e.Action(), GA::kTransparency);
    EXPECT_EQ(e.Value(), 1);
    EXPECT_EQ(e.owner.Count("NavRepChangeNotification"), 1);
  }
  {
    // Owner mode: nothing changes, the action carries the owner bit.
    Editor e(0);
    e.Edit({s.leaf}, GA::kModeOwner);
    const KIVGraphicAttributeSet before = s.leaf->GetGraphicAttributeSet();
    Find<KIVDlgCheckButton>(e.editor, GA::SwapTranparencyButtonTag)->UserSetState(KIVDialog::StateSet);
    EXPECT_EQ(s.leaf->GetGraphicAttributeSet(), before);
    EXPECT_EQ(e.Action(), 0x10040000);
    EXPECT_EQ(e.Value(), 1);
  }
  {
    // Show, unticked, hides the reps and what they hold, in both applying modes.
    for (int mode : {GA::kModeDirect, GA::kModeSetter}) {
      Editor e(0);
      s.middle->SetShowMode(0, 0);
      s.deep->SetShowMode(0, 0);
      e.Edit({s.middle}, mode);
      auto* show = Find<KIVDlgCheckButton>(e.editor, GA::SwapShowButtonTag);
      EXPECT_EQ(show->GetState(), KIVDialog::StateSet);
      show->UserSetState(KIVDialog::StateCleared);
      EXPECT_EQ(s.middle->GetShowMode(), 1) << mode;
      EXPECT_EQ(s.deep->GetShowMode(), 1) << mode;
      EXPECT_EQ(e.Action(), GA::kShow);
      EXPECT_EQ(e.Value(), 0);
    }
  }
}

TEST(GraphicAttribut, LineWidgetsReportTruncatedValues) {
  Scene s;
  Editor e(GA::kThickness | GA::kObjectType | GA::kPick);
  e.Edit({s.leaf}, GA::kModeDirect);
  auto* spinner = Find<KIVDlgSpinner>(e.editor, GA::ThicknessSpinnerTag);
  spinner->SetCurrentValue(3.7f, 1);
  EXPECT_EQ(e.Action(), GA::kThicknessAction);
  EXPECT_EQ(e.Value(), 3);
  EXPECT_EQ(s.leaf->GetGraphicAttributeSet().bytes[2], 3);
  Find<KIVDlgCombo>(e.editor, GA::LineTypeComboTag)->UserSelect(2);
  EXPECT_EQ(s.leaf->GetGraphicAttributeSet().bytes[1], 2);
  Find<KIVDlgCombo>(e.editor, GA::GraphicalTypeComboTag)->UserSelect(3);
  EXPECT_EQ(s.leaf->GetGraphicAttributeSet().GetType(), 3);
  Find<KIVDlgCheckButton>(e.editor, GA::PickableButtonTag)->UserSetState(KIVDialog::StateCleared);
  EXPECT_TRUE(s.leaf->GetGraphicAttributeSet().GetFlag(Flag::NotPickable));
  // The owner's entry for the same words, with a field value out of range.
  EXPECT_EQ(GA::ApplyAction(s.leaf, GA::kObjectType | GA::kModeOwner, 9), 1);
  EXPECT_EQ(s.leaf->GetGraphicAttributeSet().GetType(), 0);
  EXPECT_EQ(GA::ApplyAction(nullptr, GA::kShow, 1), 0);
  EXPECT_EQ(GA::ApplyAction(s.leaf, 0x4000, 1), 0);
}

TEST(GraphicAttribut, UndoRingKeepsTheLastTwentySteps) {
  Scene s;
  Editor e(GA::kThickness | GA::kUndo);
  e.Edit({s.leaf, s.deep}, GA::kModeSetter);
  auto* spinner = Find<KIVDlgSpinner>(e.editor, GA::ThicknessSpinnerTag);
  auto* undo = Find<KIVDlgPushButton>(e.editor, GA::GraphicUndoButtonTag);
  EXPECT_FALSE(Sensitive(undo));
  // 21 changes: thickness 2, 3, 4, 5, 6, 1, 2, ...; after the first one it is 2.
  for (int i = 0; i < 21; ++i) spinner->SetCurrentValue(static_cast<float>((i + 1) % 6 + 1), 1);
  EXPECT_TRUE(Sensitive(undo));
  EXPECT_EQ(e.editor->GetUndoIndex(), 20);
  for (int i = 0; i < 21; ++i) undo->UserActivate();
  // The first change is beyond the ring: its result stays.
  EXPECT_EQ(s.leaf->GetGraphicAttributeSet().bytes[2], 2);
  EXPECT_EQ(s.deep->GetGraphicAttributeSet().bytes[2], 2);
  EXPECT_EQ(e.editor->GetUndoIndex(), -1);
  EXPECT_FALSE(Sensitive(undo));
  EXPECT_EQ(e.Action(), GA::kUndo);
  EXPECT_EQ(e.owner.Count("NavRepChangeNotification"), 21 + 20);
  // A new set keeps the ring unless asked to clear it.
  spinner->SetCurrentValue(5.0f, 1);
  KIVRep* other[1] = {s.middle};
  e.editor->UpdateAttribut(1, other, nullptr, GA::kModeSetter, 0);
  EXPECT_EQ(e.editor->GetUndoIndex(), 0);
  e.editor->Undo();
  EXPECT_EQ(s.leaf->GetGraphicAttributeSet().bytes[2], 2);  // the stored reps, not the current ones
}

TEST(GraphicAttribut, RepsDestroyedWhileEditedAreDropped) {
  Scene s;
  auto* extra = new KIV3DRep;
  Editor e(GA::kUndo | GA::kLowLight);
  e.Edit({extra, s.leaf}, GA::kModeSetter);
  auto* low = Find<KIVDlgCheckButton>(e.editor, GA::SwapLowLightButtonTag);
  low->UserSetState(KIVDialog::StateSet);
  delete extra;
  int n = 0;
  KIVRep** reps = e.editor->GetCurrentRep(n);
  ASSERT_EQ(n, 1);
  EXPECT_EQ(reps[0], s.leaf);
  e.editor->Undo();  // the stored step holds the destroyed rep: it is skipped
  EXPECT_FALSE(s.leaf->GetGraphicAttributeSet().GetFlag(Flag::LowLighted));
}

TEST(GraphicAttribut, ColourChooserChoosesAndCloses) {
  Scene s;
  Editor e(0);
  e.Edit({s.leaf, s.deep}, GA::kModeSetter);
  Find<KIVDlgCheckButton>(e.editor, GA::EditColorButtonTag)->UserSetState(KIVDialog::StateSet);
  NavSimpleColorChooser* chooser = e.editor->GetColorChooser();
  ASSERT_NE(chooser, nullptr);
  EXPECT_EQ(chooser->GetVisibility(), KIVDialog::VisibilityShown);
  EXPECT_EQ(chooser->GetColorIndex(1), NavSimpleColorChooser::kNoColor);  // a fresh rep inherits
  Find<KIVDlgRadioButton>(chooser, "ColorRedButton")->UserSetState(KIVDialog::StateSet);
  EXPECT_EQ(e.Action(), GA::kColor);
  EXPECT_EQ(e.Value(), 248);
  for (KIVRep* rep : {static_cast<KIVRep*>(s.leaf), static_cast<KIVRep*>(s.deep)}) {
    EXPECT_EQ(rep->GetGraphicAttributeSet().GetColorIndex(), 248);
    EXPECT_EQ(rep->GetColorInheritanceMode(), 1);
  }
  // The colour follows the map's entry for the index.
  int r = 0, g = 0, b = 0, a = 0;
  e.editor->GetRGBColor(r, g, b, a);
  float rgb[3];
  ASSERT_TRUE(KIVColorMap().GetColor(248, rgb));
  EXPECT_EQ(r, static_cast<int>(std::lround(rgb[0] * 255)));
  EXPECT_EQ(g, static_cast<int>(std::lround(rgb[1] * 255)));
  EXPECT_EQ(a, 255);
  Find<KIVDlgRadioButton>(chooser, "NoColorButton")->UserSetState(KIVDialog::StateSet);
  EXPECT_EQ(e.Value(), GA::kInheritedColor);
  EXPECT_EQ(s.leaf->GetColorInheritanceMode(), 0);
  chooser->UserClose();
  EXPECT_EQ(e.editor->GetColorChooser(), nullptr);
  EXPECT_EQ(Find<KIVDlgCheckButton>(e.editor, GA::EditColorButtonTag)->GetState(), KIVDialog::StateCleared);
  EXPECT_EQ(e.owner.Count("NavPanelShowNotification"), 1);
  KIVApplication::MainApplication()->ProcessDeferred();
}
}  // namespace
