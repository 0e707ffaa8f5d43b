#include "apps/navview/NavviewPanels.h"

#include <algorithm>
#include <iterator>

#include "apps/navview/NavviewSession.h"
#include "apps/navview/NavviewWords.h"
#include "foundation/NavQualitySpeedSetting.h"
#include "foundation/NavReferenceViewSetting.h"
#include "host/dialog/KIVDlgCheckButton.h"
#include "host/dialog/KIVDlgRadioButton.h"
#include "host/dialog/KIVDlgSlider.h"
#include "viewer/NavQualitySpeedEditPanel.h"
#include "viewer/NavViewerExtand.h"

using NavviewWords::Fixed;
using NavviewWords::Refuse;
using NavviewWords::ToFloat;
using NavviewWords::ToInt;

namespace {
constexpr int kSet = KIVDialog::StateSet, kCleared = KIVDialog::StateCleared;

bool OnOff(const std::string& word, int& on) {
  if (word == "on" || word == "off") {
    on = word == "on" ? 1 : 0;
    return true;
  }
  return false;
}
}  // namespace

std::string NavviewPanels::QualityText() const {
  NavQualitySpeedSetting s;
  mSession.GetViewer().GetCurrentSetting(s);
  return "quality modes " + std::to_string(s.modeBits) + " static-sag " + Fixed(s.staticSag, 1) + " dynamic-sag " +
         Fixed(s.dynamicSag, 1) + " static-pixel " + Fixed(s.staticPixelCulling, 1) + " dynamic-pixel " +
         Fixed(s.dynamicPixelCulling, 1);
}

std::string NavviewPanels::Quality(const std::vector<std::string>& w, bool& failed) {
  if (w.empty()) return QualityText();
  // Everything is read before the panel opens: bad words change nothing.
  float values[2][2] = {{-1, -1}, {-1, -1}};
  // The panel's check boxes, in its order.
  static const char* const kBoxWords[NavQualitySpeedEditPanel::kBoxCount] = {
      "lod", "texture", "edges", "occlusion", "mesh", "outline", "hlr", "hrd"};
  int boxes[NavQualitySpeedEditPanel::kBoxCount];
  std::fill(std::begin(boxes), std::end(boxes), -1);
  for (size_t i = 0; i < w.size(); i += 2) {
    if (i + 1 >= w.size()) return Refuse(failed);
    const std::string& key = w[i];
    float v = 0.0f;
    const auto box = std::find(std::begin(kBoxWords), std::end(kBoxWords), key);
    if (box != std::end(kBoxWords)) {
      if (!OnOff(w[i + 1], boxes[box - std::begin(kBoxWords)])) return Refuse(failed);
      continue;
    }
    const bool pixel = key == "static-pixel" || key == "dynamic-pixel";
    if (!pixel && key != "static-sag" && key != "dynamic-sag") return Refuse(failed, "unknown word '" + key + "'");
    if (!ToFloat(w[i + 1], v)) return Refuse(failed);
    const float lo = pixel ? NavQualitySpeedEditPanel::kPixelMin : NavQualitySpeedEditPanel::kSagMin;
    const float hi = pixel ? NavQualitySpeedEditPanel::kPixelMax : NavQualitySpeedEditPanel::kSagMax;
    if (v < lo || v > hi) return Refuse(failed, key + " goes from " + Fixed(lo, 1) + " to " + Fixed(hi, 1));
    values[pixel ? 1 : 0][key.rfind("dynamic", 0) == 0 ? 1 : 0] = v;
  }
  NavViewerExtand& viewer = mSession.GetViewer();
  const bool wasOpen = viewer.GetQualityPanel() != nullptr;
  if (!viewer.SetQualityLodEditorState(1)) return Refuse(failed, "the quality panel did not open");
  NavQualitySpeedEditPanel* panel = viewer.GetQualityPanel();
  panel->GetRuleButton(NavQualitySpeedEditPanel::RuleUser)->UserSetState(kSet);  // the values as given
  for (int b = 0; b < NavQualitySpeedEditPanel::kBoxCount; ++b) {
    if (boxes[b] == -1) continue;
    KIVDlgCheckButton* check = panel->GetBox(b);
    if (!check) {
      if (!wasOpen) panel->UserCancel();
      return Refuse(failed, std::string("this release has no '") + kBoxWords[b] + "' box");
    }
    check->UserSetState(boxes[b] ? kSet : kCleared);
  }
  for (int p = 0; p < 2; ++p)
    for (int m = 0; m < 2; ++m)
      if (values[p][m] >= 0.0f) panel->GetSlider(p, m)->SetCurrentValue(values[p][m], 0);
  panel->UserApply();
  if (!wasOpen) panel->UserOK();
  return QualityText();
}

std::string NavviewPanels::ReferenceText() const {
  NavReferenceViewSetting s;
  NavViewerExtand& viewer = mSession.GetViewer();
  viewer.GetCurrentSetting(s);
  float rgb[3];
  viewer.GetBackgroundColor(rgb);
  return "plane " + std::to_string(s.referencePlane) + " gravity " + std::to_string(s.gravity) + " collision " +
         std::to_string(s.collisionCheck) + " " + Fixed(s.collisionDistance, 2) + " background " + Fixed(rgb[0], 2) +
         " " + Fixed(rgb[1], 2) + " " + Fixed(rgb[2], 2);
}

std::string NavviewPanels::Background(const std::vector<std::string>& w, bool& failed) {
  float rgb[3];
  if (w.size() != 3) return Refuse(failed);
  for (int i = 0; i < 3; ++i)
    if (!ToFloat(w[i], rgb[i]) || rgb[i] < 0.0f || rgb[i] > 1.0f) return Refuse(failed);
  NavReferenceViewSetting s;
  s.backgroundRed = rgb[0], s.backgroundGreen = rgb[1], s.backgroundBlue = rgb[2];
  mSession.GetViewer().SetCurrentSetting(s, nullptr);
  return ReferenceText();
}

std::string NavviewPanels::Gravity(const std::vector<std::string>& w, bool& failed) {
  int g = -1;
  if (w.size() != 1 || !ToInt(w[0], g) || g < 0 || g > 2) return Refuse(failed);
  NavReferenceViewSetting s;
  s.gravity = g;
  mSession.GetViewer().SetCurrentSetting(s, nullptr);
  return ReferenceText();
}

std::string NavviewPanels::Collision(const std::vector<std::string>& w, bool& failed) {
  int on = 0;
  float distance = -1.0f;
  if (w.empty() || w.size() > 2 || !OnOff(w[0], on)) return Refuse(failed);
  if (w.size() == 2 && (!ToFloat(w[1], distance) || distance < 0.1f || distance > 10000.0f))
    return Refuse(failed, "the distance goes from 0.10 to 10000.00");
  NavViewerExtand& viewer = mSession.GetViewer();
  if (!viewer.GetNavigationEditor()) return Refuse(failed, "this viewer has no navigation editor");
  NavReferenceViewSetting s;
  s.collisionCheck = on;
  s.collisionDistance = distance;
  viewer.SetCurrentSetting(s, nullptr);
  return ReferenceText();
}

std::string NavviewPanels::Reference(const std::vector<std::string>& w, bool& failed) {
  if (w.empty() || w.size() > 2 || (w.size() == 2 && w[1] != "reverse")) return Refuse(failed);
  const int plane = w[0] == "xy" ? 1 : w[0] == "xz" ? 2 : w[0] == "yz" ? 8 : 0;
  if (!plane) return Refuse(failed);
  NavReferenceViewSetting s;
  s.referencePlane = plane | (w.size() == 2 ? 16 : 0);
  mSession.GetViewer().SetCurrentSetting(s, nullptr);
  return ReferenceText();
}
