// The "3D Annotation" tool, driven as a person would: notes made by dragging on the
// viewer's scene, then edited, walked, recoloured, deleted and hidden through the dialog.
#include <gtest/gtest.h>

#include <cmath>
#include <string>

#include "dialogs/NavSimpleColorChooser.h"
#include "host/core/KIVApplication.h"
#include "host/dialog/KIVDlgCheckButton.h"
#include "host/dialog/KIVDlgCheckItem.h"
#include "host/dialog/KIVDlgEditor.h"
#include "host/dialog/KIVDlgPushButton.h"
#include "host/dialog/KIVDlgRadioButton.h"
#include "host/visu/interact/KIV3DIndicator.h"
#include "host/visu/interact/KIVMouseEvent.h"
#include "host/visu/scene/KIV3DBagRep.h"
#include "host/visu/scene/KIV3DLineRep.h"
#include "host/visu/scene/KIV3DPointRep.h"
#include "host/visu/view/KIV3DViewpoint.h"
#include "measure/NavAnnotationViewerUI.h"
#include "primitives/KIV3DTextRep.h"
#include "tests/support/TestBox.h"
#include "viewer/NavViewerExtand.h"

namespace {

constexpr int kW = 400, kH = 400, kSet = KIVDialog::StateSet, kCleared = KIVDialog::StateCleared;
using UI = NavAnnotationViewerUI;

// A viewer with an annotation root looking along +y at a box whose front face is y = -10,
// and the tool opened through the viewer's tool state.
struct World {
  explicit World(int options = NavViewerExtand::kOptionAnnotation) : viewer(nullptr, KIVString("v"), options, 0, kW, kH) {
    viewer.GetMain3DViewpoint()->SetPosition(KIVMathPointf(0, -100, 0), KIVMathDirectionf(0, 1, 0),
                                             KIVMathDirectionf(0, 0, 1));
    viewer.GetMain3DViewpoint()->SetAngle(45.0f);
    auto* part = new KIV3DBagRep;
    part->AddChild(Box(10.0f));
    viewer.AddRep(part, NavViewerExtand::kOfficialRoot);
    viewer.SetAnnotationEditorState(1);
    tool = viewer.GetAnnotationTool();
  }
  template <class W>
  W* Widget(const char* tag) {
    return static_cast<W*>(tool->LookupChild(tag));
  }
  void Press(const char* tag) { Widget<KIVDlgPushButton>(tag)->UserActivate(); }
  void Check(const char* tag, bool on) { Widget<KIVDlgCheckButton>(tag)->UserSetState(on ? kSet : kCleared); }
  int State(const char* tag) { return Widget<KIVDlgCheckButton>(tag)->GetState(); }
  void Lock(bool on) { Widget<KIVDlgCheckItem>(UI::LockOptionItemTag)->UserSetState(on ? kSet : kCleared); }
  void Type(const char* text) { Widget<KIVDlgEditor>(UI::Annotation3DEditorTag)->UserSetText(KIVUnicodeString(text)); }
  std::string Typed() { return Widget<KIVDlgEditor>(UI::Annotation3DEditorTag)->GetText().GetUtf8(); }
  // The pixel of a point of the front face.
  void Project(float x, float z, int& px, int& py) {
    const float t = std::tan(22.5f * 0.017453292f) * 90.0f;  // half the face-plane view at depth 90
    px = static_cast<int>(std::lround(0.5f * kW * (1.0f + x / t) - 0.5f));
    py = static_cast<int>(std::lround(0.5f * kH * (1.0f - z / t) - 0.5f));
  }
  void Drag(int x0, int y0, int x1, int y1) {
    viewer.UserMousePress(x0, y0, KIVMouseEvent::ButtonLeft, 0);
    viewer.UserMouseMove((x0 + x1) / 2, (y0 + y1) / 2, KIVMouseEvent::ButtonLeft, 0);
    viewer.UserMouseMove(x1, y1, KIVMouseEvent::ButtonLeft, 0);
    viewer.UserMouseRelease(x1, y1, KIVMouseEvent::ButtonLeft, 0);
  }
  // A note dragged onto the front face at (x, -10, z) from two units away.
  KIV3DBagRep* Note(const char* text, float x, float z) {
    Type(text);
    int x0, y0, x1, y1;
    Project(x + 2.0f, z - 2.0f, x0, y0);
    Project(x, z, x1, y1);
    Drag(x0, y0, x1, y1);
    return tool->GetCurrentAnnotation();
  }
  const std::vector<KIVRep*>& Notes() { return viewer.GetRootRep(NavViewerExtand::kAnnotationRoot)->GetChildren(); }
  NavViewerExtand viewer;
  UI* tool = nullptr;
};

TEST(AnnotationTool, ToolStateOpensTheDialogWhoseButtonsDriveTheViewerUntilItsCloseBox) {
  World w;
  ASSERT_NE(w.tool, nullptr);
  EXPECT_EQ(w.tool->GetVisibility(), KIVDialog::VisibilityShown);
  EXPECT_STREQ(w.tool->GetOKTitle().CastToCharPtr(), "Close");
  EXPECT_STREQ(w.tool->GetCancelTitle().CastToCharPtr(), "Delete All");
  EXPECT_EQ(w.State(UI::ReframeTag), kSet);  // "Lock" is set when shown, and "Reframe" follows
  // "Create" makes the tool's indicator the viewer's, and follows it when another takes over.
  w.Check(UI::CreateAnnotationTag, true);
  EXPECT_EQ(w.viewer.GetForegroundIndicator(), w.tool->GetIndicator());
  w.viewer.ResetAllForegroundIndicator();
  EXPECT_EQ(w.State(UI::CreateAnnotationTag), kCleared);
  // "No Show" hides the whole root, and showing the dialog reads the root's state back.
  KIVRep* root = w.viewer.GetRootRep(NavViewerExtand::kAnnotationRoot);
  w.Check(UI::NoShowTag, true);
  EXPECT_EQ(root->GetShowMode(), 1);
  w.Check(UI::NoShowTag, false);
  EXPECT_EQ(root->GetShowMode(), 0);
  root->SetShowMode(1, 0);
  w.tool->SetVisibility(4ul);
  w.tool->SetVisibility(2ul);
  EXPECT_EQ(w.State(UI::NoShowTag), kSet);

  w.Check(UI::CreateAnnotationTag, true);
  w.tool->UserClose();
  KIVApplication::MainApplication()->ProcessDeferred();
  EXPECT_EQ(w.viewer.SetAnnotationEditorState(-1), 0);
  EXPECT_EQ(w.viewer.GetForegroundIndicator(), nullptr);
}

TEST(AnnotationTool, DraggingOnTheSceneWritesANoteWhereTheMouseIsReleased) {
  World w;
  w.Check(UI::CreateAnnotationTag, true);
  KIV3DBagRep* note = w.Note("valve", 3.0f, 4.0f);
  ASSERT_NE(note, nullptr);
  ASSERT_EQ(w.Notes().size(), 1u);
  ASSERT_EQ(note->GetChildren().size(), 3u);
  auto* point = dynamic_cast<KIV3DPointRep*>(note->GetChildren()[0]);
  auto* line = dynamic_cast<KIV3DLineRep*>(note->GetChildren()[1]);
  auto* text = dynamic_cast<KIV3DTextRep*>(note->GetChildren()[2]);
  ASSERT_TRUE(point && line && text);
  const KIVMathPointf p = point->GetPoint(), t = p + KIVMathVectorf(1, 1, 1);
  EXPECT_LT(p.DistanceTo(KIVMathPointf(3, -10, 4)), 0.4f);  // the release pixel, not the press
  KIVMathPointf from, to;
  line->GetPoints(from, to);
  EXPECT_TRUE(from == p && to == t && text->GetCurrentPosition() == t);
  EXPECT_STREQ(text->GetText(), "valve");
  EXPECT_EQ(w.tool->GetCurrentText(), text);
  EXPECT_EQ(note->GetGraphicAttributeSet().GetColorIndex(), 247);
  EXPECT_EQ(note->GetGraphicAttribute() & 0xFF, 0u);  // shown, pickable again, type 0
  EXPECT_EQ(note->GetBoundingElement().GetCenter(), p);
}

TEST(AnnotationTool, NoTextOrNoObjectUnderThePointerWritesNothing) {
  World w;
  w.Check(UI::CreateAnnotationTag, true);
  int x, y;
  w.Project(0.0f, 0.0f, x, y);
  w.Drag(x, y, x + 4, y + 4);  // the editor is empty
  EXPECT_TRUE(w.Notes().empty());
  w.Type("lost");
  w.Drag(5, 5, 8, 8);  // pressed on nothing
  EXPECT_TRUE(w.Notes().empty());
  // Pressed on the part, released off it: the note that followed the pointer goes away.
  w.viewer.UserMousePress(x, y, KIVMouseEvent::ButtonLeft, 0);
  EXPECT_EQ(w.Notes().size(), 1u);
  w.viewer.UserMouseMove(5, 5, KIVMouseEvent::ButtonLeft, 0);
  w.viewer.UserMouseRelease(5, 5, KIVMouseEvent::ButtonLeft, 0);
  EXPECT_TRUE(w.Notes().empty());
  EXPECT_EQ(w.tool->GetCreatingAnnotation(), nullptr);
  EXPECT_EQ(w.tool->GetCurrentAnnotation(), nullptr);
}

TEST(AnnotationTool, PreviousAndNextWrapAndReframeOnlyWhenLocked) {
  World w;
  w.Check(UI::CreateAnnotationTag, true);
  KIV3DBagRep* a = w.Note("a", -6.0f, 5.0f);
  KIV3DBagRep* b = w.Note("b", 0.0f, -5.0f);
  KIV3DBagRep* c = w.Note("c", 6.0f, 5.0f);
  ASSERT_TRUE(a && b && c);
  KIV3DViewpoint* vp = w.viewer.GetMain3DViewpoint();
  const KIVMathPointf eye = vp->GetOrigin();

  w.Lock(false);
  EXPECT_EQ(w.State(UI::ReframeTag), kCleared);
  w.Press(UI::NextButtonTag);  // past the last: the first
  EXPECT_EQ(w.tool->GetCurrentAnnotation(), a);
  EXPECT_EQ(w.Typed(), "a");
  w.Press(UI::PreviousButtonTag);  // before the first: the last
  w.Press(UI::PreviousButtonTag);
  EXPECT_EQ(w.tool->GetCurrentAnnotation(), b);
  EXPECT_EQ(w.Typed(), "b");
  EXPECT_EQ(vp->GetOrigin(), eye);

  w.Lock(true);
  w.Press(UI::NextButtonTag);
  EXPECT_EQ(w.tool->GetCurrentAnnotation(), c);
  // The eye moved along the same sight until it looks straight at c's anchor.
  const KIVMathVectorf toAnchor = c->GetBoundingElement().GetCenter() - vp->GetOrigin();
  EXPECT_NE(vp->GetOrigin(), eye);
  EXPECT_NEAR(toAnchor.x, 0.0f, 1e-3f);
  EXPECT_NEAR(toAnchor.z, 0.0f, 1e-3f);
  EXPECT_GT(toAnchor.y, 0.0f);

  // The Reframe button does not toggle: it reframes on the current note and highlights it.
  w.Lock(false);
  vp->SetPosition(eye, KIVMathDirectionf(0, 1, 0), KIVMathDirectionf(0, 0, 1));
  w.Check(UI::ReframeTag, true);
  EXPECT_EQ(w.State(UI::ReframeTag), kCleared);
  EXPECT_NE(vp->GetOrigin(), eye);
  EXPECT_EQ(c->GetHighlightMode(), 1);
  w.Press(UI::PreviousButtonTag);  // the highlight goes with the walk
  EXPECT_EQ(c->GetHighlightMode(), 0);
}

TEST(AnnotationTool, UpdateRecolourAndDeleteActOnTheCurrentNoteOnly) {
  World w;
  w.Check(UI::CreateAnnotationTag, true);
  KIV3DBagRep* first = w.Note("first", -5.0f, 0.0f);
  KIV3DBagRep* second = w.Note("second", 5.0f, 0.0f);
  ASSERT_TRUE(first && second);
  KIV3DTextRep* text = w.tool->GetCurrentText();
  const KIVMathPointf at = text->GetCurrentPosition(), centre = second->GetBoundingElement().GetCenter();

  w.Type("");  // an empty text is refused
  w.Press(UI::ModifyAnnotationTag);
  EXPECT_STREQ(text->GetText(), "second");
  w.Type("renamed");
  w.Press(UI::ModifyAnnotationTag);
  EXPECT_STREQ(text->GetText(), "renamed");
  EXPECT_EQ(text->GetCurrentPosition(), at);
  EXPECT_EQ(second->GetBoundingElement().GetCenter(), centre);  // still finite, still on the anchor

  // The chooser's colour goes to the current note and to every later one.
  w.Check(UI::ColorTag, true);
  NavSimpleColorChooser* chooser = w.tool->GetColorChooser();
  ASSERT_NE(chooser, nullptr);
  static_cast<KIVDlgRadioButton*>(chooser->LookupChild("ColorRedButton"))->UserSetState(kSet);
  const int red = chooser->GetColorIndex(0);
  EXPECT_NE(red, 247);
  EXPECT_EQ(second->GetGraphicAttributeSet().GetColorIndex(), red);
  EXPECT_EQ(first->GetGraphicAttributeSet().GetColorIndex(), 247);
  chooser->UserClose();
  EXPECT_EQ(w.tool->GetColorChooser(), nullptr);
  EXPECT_EQ(w.State(UI::ColorTag), kCleared);
  KIVApplication::MainApplication()->ProcessDeferred();
  KIV3DBagRep* third = w.Note("third", 0.0f, 6.0f);
  ASSERT_NE(third, nullptr);
  EXPECT_EQ(third->GetGraphicAttributeSet().GetColorIndex(), red);

  w.Press(UI::DeleteTag);
  EXPECT_EQ(w.Notes().size(), 2u);
  w.Press(UI::DeleteTag);  // no current note: nothing goes
  EXPECT_EQ(w.Notes().size(), 2u);
  // A note erased behind the tool's back is forgotten, not used.
  w.Press(UI::NextButtonTag);
  EXPECT_EQ(w.tool->GetCurrentAnnotation(), first);
  w.viewer.EraseAnnotationBag();
  w.Press(UI::ModifyAnnotationTag);
  w.Press(UI::DeleteTag);
  EXPECT_EQ(w.tool->GetCurrentAnnotation(), nullptr);

  w.Note("again", 0.0f, 0.0f);
  w.Note("and again", 5.0f, 5.0f);
  w.Press(UI::DeleteAllTag);
  EXPECT_TRUE(w.Notes().empty());
  w.Note("once more", 0.0f, 0.0f);
  w.tool->UserCancel();  // the window's own "Delete All"
  EXPECT_TRUE(w.Notes().empty());
  EXPECT_EQ(w.tool->GetCurrentAnnotation(), nullptr);
}

TEST(AnnotationTool, WithoutAnAnnotationRootEveryActionIsRefused) {
  World w(0);
  w.Type("x");
  w.Check(UI::CreateAnnotationTag, true);
  w.viewer.UserMousePress(kW / 2, kH / 2, KIVMouseEvent::ButtonLeft, 0);
  w.viewer.UserMouseRelease(kW / 2, kH / 2, KIVMouseEvent::ButtonLeft, 0);
  for (const char* tag : {UI::NextButtonTag, UI::DeleteTag, UI::DeleteAllTag, UI::ModifyAnnotationTag}) w.Press(tag);
  w.Check(UI::NoShowTag, true);
  EXPECT_EQ(w.tool->GetCurrentAnnotation(), nullptr);
}

}  // namespace
