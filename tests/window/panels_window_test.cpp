// The viewer's "Quality & Speed" and "View Settings" panels as a person uses them: opened by
// their tool bar buttons, changed with the mouse and the keyboard, and the picture follows.
#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QDialogButtonBox>
#include <QPushButton>
#include <QSlider>

#include "host/dialog/KIVDlgSlider.h"
#include "host/qt/KIVQtViewerRender.h"
#include "tests/window/NavviewWindow.h"
#include "viewer/NavQualitySpeedEditPanel.h"
#include "viewer/NavReferenceViewUI.h"

namespace {

QAbstractButton* DialogButton(QWidget* window, QDialogButtonBox::StandardButton which) {
  auto* box = window->findChild<QDialogButtonBox*>("kivButtons");
  return box ? box->button(which) : nullptr;
}

}  // namespace

// "View Settings" from the Reference button: the intensity slider taken to its end with the
// keyboard darkens the window's background to black; Cancel brings the colour back.
TEST_F(NavviewWindow, ReferencePanelSetsTheBackgroundSeenOnScreen) {
  const QImage before = WaitForStill(View());
  const QColor was = before.pixelColor(4, 4);
  QWidget* panel = FromToolBar("Reference", NavReferenceViewUI::PanelIdTag);
  ASSERT_NE(panel, nullptr) << "no View Settings window";
  EXPECT_EQ(panel->windowTitle(), "View Settings");
  QWidget* row = panel->findChild<QWidget*>(NavReferenceViewUI::BkgSliderTag);
  ASSERT_NE(row, nullptr);
  auto* slider = row->findChild<QSlider*>("kivSlider");
  ASSERT_NE(slider, nullptr);
  Click(slider);
  ASSERT_TRUE(Xdo({"key", "Home"}));
  NavReferenceViewUI* model = Viewer().GetReferencePanel();
  ASSERT_NE(model, nullptr);
  for (int i = 0; i < 100 && model->GetIntensitySlider()->GetCurrentValue() > 0.0f; ++i) QTest::qWait(10);
  EXPECT_FLOAT_EQ(model->GetIntensitySlider()->GetCurrentValue(), 0.0f) << "the slider did not take the key";
  Shot(panel).save(OutDir() + "/navview_view_settings.png");
  const QImage dark = WaitForChange(View(), before, 0.2);
  const QColor now = dark.pixelColor(4, 4);
  EXPECT_LT(now.red() + now.green() + now.blue(), 10) << "the background is not black";
  EXPECT_GT(was.red() + was.green() + was.blue(), 30);
  dark.save(OutDir() + "/navview_background.png");

  QAbstractButton* cancel = DialogButton(panel, QDialogButtonBox::Cancel);
  ASSERT_NE(cancel, nullptr);
  Click(cancel);
  for (int i = 0; i < 300 && TopLevel(NavReferenceViewUI::PanelIdTag); ++i) QTest::qWait(10);
  EXPECT_EQ(TopLevel(NavReferenceViewUI::PanelIdTag), nullptr);
  const QImage back = WaitForChange(View(), dark, 0.2);
  EXPECT_NEAR(back.pixelColor(4, 4).blue(), was.blue(), 3);
  EXPECT_EQ(Viewer().GetReferencePanel(), nullptr);
}

// "Quality & Speed" from the Quality button: "Mechanical" ties the pixel sizes to the sag,
// the still sag taken to its end culls every object under 80 pixels after Apply, and Cancel
// brings them back.
TEST_F(NavviewWindow, QualityPanelCullsSmallObjectsOnScreen) {
  auto* render = View()->GetRender();
  ASSERT_NE(render, nullptr);
  const QImage before = WaitForStill(View());
  const long long full = render->GetLastFrameStats().triangles;
  QWidget* panel = FromToolBar("QualitySpeed", NavQualitySpeedEditPanel::PanelIdTag);
  ASSERT_NE(panel, nullptr) << "no Quality & Speed window";
  EXPECT_EQ(panel->windowTitle(), "Quality & Speed");

  auto* mechanical = panel->findChild<QAbstractButton*>(
      NavQualitySpeedEditPanel::RuleTag[NavQualitySpeedEditPanel::RuleMechanical]);
  ASSERT_NE(mechanical, nullptr);
  Click(mechanical, QPoint(8, mechanical->height() / 2));  // on the round: a radio takes clicks there
  NavQualitySpeedEditPanel* model = Viewer().GetQualityPanel();
  ASSERT_NE(model, nullptr);
  for (int i = 0; i < 100 && model->GetRule() != NavQualitySpeedEditPanel::RuleMechanical; ++i) QTest::qWait(10);
  EXPECT_EQ(model->GetRule(), NavQualitySpeedEditPanel::RuleMechanical) << "the click did not choose the preset";
  Shot(panel).save(OutDir() + "/navview_quality_panel.png");
  QWidget* row = panel->findChild<QWidget*>(NavQualitySpeedEditPanel::SagStaticTag);
  ASSERT_NE(row, nullptr);
  auto* slider = row->findChild<QSlider*>("kivSlider");
  ASSERT_NE(slider, nullptr);
  Click(slider);
  ASSERT_TRUE(Xdo({"key", "End"}));
  for (int i = 0; i < 100 && model->GetSlider(1, 0)->GetCurrentValue() < 79.0f; ++i) QTest::qWait(10);
  EXPECT_FLOAT_EQ(model->GetSlider(1, 0)->GetCurrentValue(), 80.0f);
  EXPECT_EQ(render->GetLastFrameStats().triangles, full) << "nothing applies before Apply";

  QAbstractButton* apply = DialogButton(panel, QDialogButtonBox::Apply);
  ASSERT_NE(apply, nullptr);
  Click(apply);
  const QImage culled = WaitForChange(View(), before, 0.01);
  WaitForStill(View());
  const long long fewer = render->GetLastFrameStats().triangles;
  EXPECT_LT(fewer, full) << "no object culled";
  EXPECT_GT(Changed(before, culled), 0.01) << "the picture did not change";
  culled.save(OutDir() + "/navview_quality_culled.png");
  std::printf("triangles drawn: %lld at the start, %lld with 80 px culling\n", full, fewer);

  Click(DialogButton(panel, QDialogButtonBox::Cancel));
  for (int i = 0; i < 300 && TopLevel(NavQualitySpeedEditPanel::PanelIdTag); ++i) QTest::qWait(10);
  EXPECT_EQ(TopLevel(NavQualitySpeedEditPanel::PanelIdTag), nullptr);
  WaitForChange(View(), culled, 0.01);
  WaitForStill(View());
  EXPECT_EQ(render->GetLastFrameStats().triangles, full);
}

// "HLR" ticked with the mouse and applied: the faces take the background's colour and only
// the lines in front are left; unticked and applied, the shading comes back.
TEST_F(NavviewWindow, QualityPanelHiddenLineBoxRedrawsTheView) {
  const QImage before = WaitForStill(View());
  const QColor background = before.pixelColor(4, 4);
  auto backgroundShare = [&](const QImage& image) {
    long long n = 0;
    for (int y = 0; y < image.height(); y += 2)
      for (int x = 0; x < image.width(); x += 2) {
        const QColor c = image.pixelColor(x, y);
        n += std::abs(c.red() - background.red()) + std::abs(c.green() - background.green()) +
                 std::abs(c.blue() - background.blue()) <
             12;
      }
    return static_cast<double>(n) / ((image.height() / 2) * (image.width() / 2));
  };
  QWidget* panel = FromToolBar("QualitySpeed", NavQualitySpeedEditPanel::PanelIdTag);
  ASSERT_NE(panel, nullptr);
  auto* hlr = panel->findChild<QAbstractButton*>(NavQualitySpeedEditPanel::BoxTag[6]);
  ASSERT_NE(hlr, nullptr);
  EXPECT_EQ(hlr->text(), "HLR");
  Click(hlr, QPoint(8, hlr->height() / 2));
  for (int i = 0; i < 100 && !hlr->isChecked(); ++i) QTest::qWait(10);
  ASSERT_TRUE(hlr->isChecked());
  Click(DialogButton(panel, QDialogButtonBox::Apply));
  const QImage lines = WaitForChange(View(), before, 0.02);
  WaitForStill(View());
  EXPECT_EQ(Viewer().ViewMode(16), 1) << "the view mode was refused";
  // The plant covers a sixth of the view; lines alone cover much less of it.
  EXPECT_LT(1.0 - backgroundShare(lines), 0.8 * (1.0 - backgroundShare(before))) << "the faces still show";
  lines.save(OutDir() + "/navview_hidden_lines.png");

  Click(hlr, QPoint(8, hlr->height() / 2));
  for (int i = 0; i < 100 && hlr->isChecked(); ++i) QTest::qWait(10);
  Click(DialogButton(panel, QDialogButtonBox::Apply));
  const QImage back = WaitForChange(View(), lines, 0.02);
  EXPECT_NEAR(backgroundShare(back), backgroundShare(before), 0.02);
  Click(DialogButton(panel, QDialogButtonBox::Cancel));
  for (int i = 0; i < 300 && TopLevel(NavQualitySpeedEditPanel::PanelIdTag); ++i) QTest::qWait(10);
}
