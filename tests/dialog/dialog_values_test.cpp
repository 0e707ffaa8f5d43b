#include <gtest/gtest.h>

#include <cmath>

#include "recorder.h"

namespace {

using Lines = std::vector<std::string>;

TEST(DialogValues, SpinnerClampsRoundsToItsFormatAndSteps) {
  Recorder owner;
  KIVDlgSpinner spin(nullptr, "Spin");
  spin.SetFather(&owner);
  owner.Listen(KIVDlgSpinModifyNotification::ClassName());
  EXPECT_EQ(spin.SetRange(10000.0f, 0.1f, 99999.0f), 1);  // swapped bounds
  float min, max, steps;
  spin.GetRange(min, max, steps);
  EXPECT_EQ(min, 0.1f);
  EXPECT_EQ(max, 10000.0f);
  EXPECT_EQ(spin.SetRange(0.0f, NAN, 10.0f), 0);
  EXPECT_EQ(spin.SetFormat("%.2f %d"), 0);  // two conversions: refused, the old one kept
  EXPECT_EQ(spin.SetFormat(nullptr), 0);
  EXPECT_STREQ(spin.GetFormat().CastToCharPtr(), "%g");
  EXPECT_EQ(spin.SetFormat("%.2f"), 1);
  EXPECT_EQ(spin.GetDecimals(), 2);

  EXPECT_EQ(spin.GetCurrentValue(), 0.1f);  // brought into the new range
  EXPECT_EQ(spin.SetCurrentValue(20000.0f, 0), 1);  // clamped, never rounded, silent
  EXPECT_EQ(spin.GetCurrentValue(), 10000.0f);
  EXPECT_EQ(spin.SetCurrentValue(0.0f, 0), 1);
  EXPECT_EQ(spin.GetCurrentValue(), 0.1f);
  EXPECT_EQ(spin.SetCurrentValue(NAN), 0);
  spin.SetCurrentValue(3.14159f);
  EXPECT_EQ(spin.GetCurrentValue(), 3.14159f);
  EXPECT_EQ(spin.GetValueText(), KIVUnicodeString("3.14"));
  EXPECT_EQ(owner.Take(), (Lines{"Spin:KIVDlgSpinModifyNotification"}));

  EXPECT_EQ(spin.UserSetValue(2.71828f), 1);
  EXPECT_FLOAT_EQ(spin.GetCurrentValue(), 2.72f);
  EXPECT_EQ(spin.UserSetValue(1e9f), 1);
  EXPECT_EQ(spin.GetCurrentValue(), 10000.0f);
  EXPECT_EQ(spin.UserSpin(1), 1);  // at the maximum: stays, but the click still notifies
  EXPECT_EQ(spin.GetSpinDirection(), 1);
  EXPECT_EQ(spin.UserSpin(-1), 1);
  EXPECT_FLOAT_EQ(spin.GetCurrentValue(), 9999.9f);  // one step of (max - min) / steps
  EXPECT_EQ(spin.GetSpinDirection(), -1);
  spin.UserSetValue(5.0f);
  EXPECT_EQ(spin.GetSpinDirection(), 0);
  EXPECT_EQ(owner.Take().size(), 5u);
  spin.SetSensitivity(16);
  EXPECT_EQ(spin.UserSpin(1), 0);
  EXPECT_EQ(spin.UserSetValue(1.0f), 0);
}

TEST(DialogValues, FormatDecimalsFollowTheConversion) {
  KIVDlgSpinner spin(nullptr, "Spin");
  const std::vector<std::pair<const char*, int>> formats = {
      {"%.f", 0}, {"%4.1f", 1}, {"%0.f", 0}, {"%1.0f", 0}, {"%f", 6}, {"x=%+08.3lf m", 3}, {"%d", 0}, {"%g", -1}, {"%e", -1}};
  for (auto& [format, decimals] : formats) {
    ASSERT_EQ(spin.SetFormat(format), 1) << format;
    EXPECT_EQ(spin.GetDecimals(), decimals) << format;
  }
  spin.SetRange(1.0f, 6.0f, 5.0f);
  spin.SetFormat("%1.0f");
  spin.SetCurrentValue(3.7f, 0);
  EXPECT_EQ(spin.GetCurrentValue(), 3.7f);  // a program's value is kept as given
  spin.UserSetValue(3.7f);
  EXPECT_EQ(spin.GetCurrentValue(), 4.0f);  // a person's shows as typed
}

TEST(DialogValues, SliderSnapsToStepsAndDecimalsAndSendsDragThenModify) {
  Recorder owner;
  KIVDlgSlider slider(nullptr, "Sag");
  slider.SetFather(&owner);
  owner.Listen(KIVDlgSliderModifyNotification::ClassName());
  owner.Listen(KIVDlgSliderDragNotification::ClassName());
  slider.SetRange(0.1f, 40.0f, 400.0f);
  EXPECT_EQ(slider.SetDecimals(12), 0);
  EXPECT_EQ(slider.SetDecimals(1), 1);
  EXPECT_STREQ(slider.GetFormat().CastToCharPtr(), "%.1f");
  slider.UserDragValue(2.96f);
  slider.UserSetValue(3.0f);
  EXPECT_FLOAT_EQ(slider.GetCurrentValue(), 3.0f);  // on a step, shown with one decimal
  EXPECT_EQ(owner.Take(), (Lines{"Sag:KIVDlgSliderDragNotification", "Sag:KIVDlgSliderModifyNotification"}));
  slider.SetRange(0.0f, 1.0f, 4.0f);  // brings the value into the range, silently
  EXPECT_EQ(slider.GetCurrentValue(), 1.0f);
  slider.SetDecimals(3);
  slider.UserSetValue(0.3f);
  EXPECT_FLOAT_EQ(slider.GetCurrentValue(), 0.25f);
  EXPECT_EQ(slider.UserDragValue(NAN), 0);
}

TEST(DialogValues, ComboLinesAndSelection) {
  Recorder owner;
  KIVDlgCombo combo(nullptr, "Align");
  combo.SetFather(&owner);
  owner.Listen(KIVDlgCmbSelectNotification::ClassName());
  for (const char* line : {"Aligned", "Centered", "Indented"}) combo.SetLine(line);
  EXPECT_EQ(combo.SetLine("Bad", 9), -1);
  EXPECT_EQ(combo.GetSelect(), -1);
  EXPECT_EQ(combo.SetSelect(3), 0);
  EXPECT_EQ(combo.SetSelect(2, 0), 1);
  EXPECT_EQ(combo.RemoveLine(2), 1);  // the selected line goes: no selection
  EXPECT_EQ(combo.GetSelect(), -1);
  combo.SetSelect(1);
  combo.InsertLine(0, "First");
  EXPECT_EQ(combo.GetSelect(), 2);  // follows its line
  EXPECT_EQ(combo.GetLine(2), KIVUnicodeString("Centered"));
  EXPECT_TRUE(combo.GetLine(-1).IsEmpty());
  EXPECT_EQ(combo.UserSelect(2), 1);  // a person choosing the same line is still heard
  EXPECT_EQ(combo.UserSelect(7), 0);
  EXPECT_EQ(owner.Take(), (Lines{"Align:KIVDlgCmbSelectNotification", "Align:KIVDlgCmbSelectNotification"}));
}

TEST(DialogValues, EditorTextAndLines) {
  Recorder owner;
  KIVDlgEditor editor(nullptr, "Edit");
  editor.SetFather(&owner);
  owner.Listen(KIVDlgEditModifyNotification::ClassName());
  EXPECT_EQ(editor.GetLineCount(), 0);
  editor.SetText("one\ntwo", 0);
  EXPECT_EQ(editor.SetLine("three"), 2);
  EXPECT_EQ(editor.SetLine("TWO", 1, 0), 1);
  EXPECT_EQ(editor.SetLine("x", 5), -1);
  EXPECT_EQ(editor.GetText(), KIVUnicodeString("one\nTWO\nthree"));
  EXPECT_EQ(editor.GetLine(1), KIVUnicodeString("TWO"));
  EXPECT_TRUE(editor.GetLine(3).IsEmpty());
  EXPECT_EQ(editor.UserSetText("typed"), 1);
  EXPECT_EQ(owner.Take(), (Lines{"Edit:KIVDlgEditModifyNotification", "Edit:KIVDlgEditModifyNotification"}));
}

TEST(DialogValues, TabContainerShowsTheFirstPageUntilOneIsChosen) {
  Recorder owner;
  KIVDlgTabContainer tabs(nullptr, "Tabs");
  tabs.SetFather(&owner);
  owner.Listen(KIVDlgTabSelectNotification::ClassName());
  EXPECT_EQ(tabs.GetSelectedPage(), nullptr);
  auto* lod = new KIVDlgTabPage(&tabs, "Lod");
  auto* pixel = new KIVDlgTabPage(&tabs, "Pixel");
  KIVDlgTabPage stranger(nullptr, "Stranger");
  EXPECT_EQ(tabs.GetSelectedPage(), lod);
  EXPECT_EQ(tabs.SetSelectedPage(&stranger), 0);
  EXPECT_EQ(tabs.SetSelectedPage(nullptr), 0);
  EXPECT_EQ(tabs.UserSelectPage(pixel), 1);
  EXPECT_EQ(tabs.GetSelectedPage(), pixel);
  delete pixel;
  EXPECT_EQ(tabs.GetSelectedPage(), lod);
  EXPECT_EQ(tabs.SetSelectedPage(lod), 1);  // already on display: silent
  EXPECT_EQ(owner.Take(), (Lines{"Tabs:KIVDlgTabSelectNotification"}));
}

}  // namespace
