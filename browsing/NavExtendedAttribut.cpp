#include "browsing/NavExtendedAttribut.h"

#include <cmath>
#include <cstdint>
#include <cstdio>

#include "host/dialog/KIVDlgFrame.h"
#include "host/dialog/KIVDlgLabel.h"
#include "host/dialog/KIVDlgSpinner.h"
#include "host/visu/math/KIV3x3Matrix.h"
#include "host/visu/scene/KIV2DBagRep.h"
#include "host/visu/scene/KIV3DBagRep.h"
#include "host/visu/scene/KIV3DCustomRep.h"
#include "host/visu/scene/KIV3DFaceGP.h"
#include "viewer/NavViewerExtand.h"

namespace {
template <class W>
W* Make(KIVDialog* parent, const char* title, int row, int column, int columnSpan = 1) {
  auto* widget = new W(parent, NavExtendedAttribut::NoReferenceTag, 0);
  if (title) widget->SetTitle(KIVUnicodeString(title));
  widget->SetGridConstraints(row, column, 1, columnSpan, KIVDialog::AttachLeft);
  return widget;
}

KIVUnicodeString Format(const char* format, long value) {
  char text[96];
  std::snprintf(text, sizeof text, format, value);
  return KIVUnicodeString(text);
}

// A texture shows as a textured face among the rep's primitives.
bool HasTexture(KIVRep* rep) {
  auto* custom = dynamic_cast<KIV3DCustomRep*>(rep);
  if (!custom) return false;
  for (int level = 0; level < custom->GetLODCount(); ++level)
    for (int i = 0; i < custom->GetGPCount(level); ++i)
      if (auto* face = dynamic_cast<KIV3DFaceGP*>(custom->GetGP(i, level)); face && face->GetTexture()) return true;
  return false;
}
}  // namespace

NavExtendedAttribut::NavExtendedAttribut(KIVCommand* father, KIVDialog* parent)
    : KIVDlgDialog(parent, PanelIdTag, KIVDlgWindow::StyleNoButtons),
      mFatherCommand(father),
      mFatherLife(father ? father->GetLifeToken() : std::weak_ptr<int>()),
      mRelay(std::make_unique<KIVCommand>(father, "NavExtendedAttributRelay")) {
  SetTitle(KIVUnicodeString(PanelIdTitle));
  auto* matrix = Make<KIVDlgFrame>(this, nullptr, 0, 0);
  Make<KIVDlgLabel>(matrix, RotationLabelTitle, 0, 0, 3);
  for (int i = 0; i < kRotationCount; ++i) mRotation[i] = Make<KIVDlgSpinner>(matrix, nullptr, 1 + i / 3, i % 3);
  Make<KIVDlgLabel>(matrix, PositionLabelTitle, 4, 0, 3);
  for (int i = 0; i < kTranslationCount; ++i) mTranslation[i] = Make<KIVDlgSpinner>(matrix, nullptr, 5, i);
  auto* info = Make<KIVDlgFrame>(this, nullptr, 1, 0);
  for (int i = 0; i < InfoCount; ++i) mInfo[i] = Make<KIVDlgLabel>(info, InfoInitialTitle[i], i, 0);

  for (KIVDlgSpinner* spinner : mRotation) {
    spinner->SetRange(-kLimit, kLimit, 10.0f);
    spinner->SetFormat("%.2f");
    spinner->SetVisibleTextWidth(6);
    mCallbacks.push_back(AddAnalyseNotificationCB(spinner, spinner->GetSpinModifyNotification(),
                                                  &NavExtendedAttribut::ActiveOptionFromNotifyCB, nullptr));
  }
  for (KIVDlgSpinner* spinner : mTranslation) {
    spinner->SetRange(-kLimit, kLimit, 10.0f);
    spinner->SetFormat("%.2f");
    spinner->SetVisibleTextWidth(6);
    mCallbacks.push_back(AddAnalyseNotificationCB(spinner, spinner->GetSpinModifyNotification(),
                                                  &NavExtendedAttribut::ActiveOptionFromNotifyCB, nullptr));
  }
  SetSpinnersSensitive(0, 0);

  // The window tells its father that it closes; the relay stands in as father so that the
  // window hears it first, hides and tells the father itself.
  mRelay->AddAnalyseNotificationCB(
      this, GetWindCloseNotification(), nullptr,
      [this](KIVCommand* sender, KIVNotification* notification, void* data) {
        ActiveOptionFromNotifyCB(sender, notification, data);
      },
      nullptr);
  SetFather(mRelay.get());
}

NavExtendedAttribut::~NavExtendedAttribut() {
  Retire();
  for (KIVCallback id : mCallbacks) RemoveAnalyseNotificationCB(id);
  SetFather(nullptr);
}

KIVRep* NavExtendedAttribut::GetCurrentRep() const { return mRep && !mRepLife.expired() ? mRep : nullptr; }

const char* NavExtendedAttribut::GetRepName(KIVRep* rep) {
  if (!rep) return "Unknown";
  for (const char* name : {"KIV3DBagRep", "KIV2DBagRep", "KIV3DRep", "KIV2DRep"})
    if (rep->IsAKindOf(name)) return name;
  return "Unknown";
}

int NavExtendedAttribut::FormatSpinner(KIVDlgSpinner* spinner, float value, float min, float max, int setValue) {
  if (!spinner || !std::isfinite(value) || !std::isfinite(min) || !std::isfinite(max)) return 0;
  const double m = std::fmax(std::fabs(static_cast<double>(value)), 1.0);
  const int e = static_cast<int>(std::log10(m));
  const double steps = (static_cast<double>(max) - min) * 10.0 / std::pow(10.0, e);
  spinner->SetRange(min, max, static_cast<float>(steps));
  spinner->SetFormat("%.2f");
  if (setValue == 1) spinner->SetCurrentValue(value, 0);
  return 1;
}

void NavExtendedAttribut::AffichePanel(int show) {
  if (show == 1) {
    if (GetVisibility() == VisibilityShown) return;
    SetVisibility(VisibilityShown);
    Fill();
  } else if (show == 0) {
    if (GetVisibility() != VisibilityShown) return;
    SetVisibility(VisibilityHidden);
    if (mFatherCommand && !mFatherLife.expired()) SendNotification(mFatherCommand, GetWindCloseNotification());
  }
}

void NavExtendedAttribut::UpdatePalette(const char* name, KIVRep* rep, int instances) {
  if (GetVisibility() != VisibilityShown) return;
  const KIVUnicodeString newName(name ? name : "");
  const bool nameChanged = (name != nullptr) != mHasName || (name && !(newName == mName));
  if (rep == GetCurrentRep() && !nameChanged) return;
  mRep = rep;
  mRepLife = rep ? rep->GetLifeToken() : std::weak_ptr<int>();
  mName = newName;
  mHasName = name != nullptr;
  mInstances = instances;
  Fill();
}

void NavExtendedAttribut::SetSpinnersSensitive(int rotation3D, int rotation2D) {
  for (int i = 0; i < kRotationCount; ++i) {
    const bool planar = i / 3 < 2 && i % 3 < 2;
    mRotation[i]->SetSensitivity(rotation3D || (rotation2D && planar) ? SensitivityOn : SensitivityOff);
  }
  for (int i = 0; i < kTranslationCount; ++i)
    mTranslation[i]->SetSensitivity(rotation3D || (rotation2D && i < 2) ? SensitivityOn : SensitivityOff);
}

void NavExtendedAttribut::Fill() {
  KIVRep* rep = GetCurrentRep();
  if (!rep) {
    mRep = nullptr;
    mRepLife.reset();
  }
  KIVUnicodeString title(TitlePrefix);
  if (mHasName)
    title += mName;
  else
    title += KIVUnicodeString(rep ? SelectedObjectTitle : NoSelectionTitle);
  SetTitle(title);
  ++mFilling;
  if (!rep) {
    for (int i = 0; i < InfoCount; ++i) mInfo[i]->SetTitle(KIVUnicodeString(InfoResetTitle[i]));
    SetSpinnersSensitive(0, 0);
    --mFilling;
    return;
  }
  mInfo[InfoId]->SetTitle(Format("Model Identificator : %ld", rep->GetIdentificator()->GetIntId()));
  char text[128];
  std::snprintf(text, sizeof text, "Addres Rep : %lx",
                static_cast<unsigned long>(reinterpret_cast<std::uintptr_t>(rep)));
  mInfo[InfoAddress]->SetTitle(KIVUnicodeString(text));
  std::snprintf(text, sizeof text, "Number of father : %d (%d for the viewer)",
                static_cast<int>(rep->GetParents().size()), mInstances);
  mInfo[InfoFathers]->SetTitle(KIVUnicodeString(text));
  mInfo[InfoChildren]->SetTitle(Format("Number of chidren : %ld", static_cast<long>(rep->GetChildren().size())));
  mInfo[InfoManipulator]->SetTitle(KIVUnicodeString(rep->GetManipulator() ? "Manipulator : OK" : "Manipulator : NO"));
  KIVUnicodeString type("Rep type : ");
  type += KIVUnicodeString(GetRepName(rep));
  mInfo[InfoType]->SetTitle(type);
  if (rep->IsAKindOf("KIV3DRep"))
    mInfo[InfoTexture]->SetTitle(KIVUnicodeString(HasTexture(rep) ? "Texture : OK" : "Texture : NO"));
  else
    mInfo[InfoTexture]->SetTitle(KIVUnicodeString(InfoResetTitle[InfoTexture]));

  if (auto* bag3 = dynamic_cast<KIV3DBagRep*>(rep)) {
    const KIV4x4Matrix matrix = bag3->GetMatrix() ? *bag3->GetMatrix() : KIV4x4Matrix();
    KIVMathVectorf d[3];
    KIVMathPointf origin;
    matrix.GetComponents(d[0], d[1], d[2], origin);
    for (int i = 0; i < kRotationCount; ++i) {
      const KIVMathVectorf& v = d[i / 3];
      const float c = i % 3 == 0 ? v.x : i % 3 == 1 ? v.y : v.z;
      FormatSpinner(mRotation[i], c, -kLimit, kLimit, 1);
    }
    const float o[3] = {origin.x, origin.y, origin.z};
    for (int i = 0; i < kTranslationCount; ++i) FormatSpinner(mTranslation[i], o[i], -kLimit, kLimit, 1);
    SetSpinnersSensitive(1, 0);
  } else if (auto* bag2 = dynamic_cast<KIV2DBagRep*>(rep)) {
    const KIV3x3Matrix matrix = bag2->GetMatrix() ? *bag2->GetMatrix() : KIV3x3Matrix();
    for (int i = 0; i < kRotationCount; ++i)
      if (i / 3 < 2 && i % 3 < 2) FormatSpinner(mRotation[i], matrix.Get(i / 3, i % 3), -kLimit, kLimit, 1);
    for (int i = 0; i < 2; ++i) FormatSpinner(mTranslation[i], matrix.Get(2, i), -kLimit, kLimit, 1);
    SetSpinnersSensitive(0, 1);
  } else {
    SetSpinnersSensitive(0, 0);
  }
  --mFilling;
}

void NavExtendedAttribut::ApplyMatrix() {
  KIVRep* rep = GetCurrentRep();
  if (!rep) return;
  float r[kRotationCount], t[kTranslationCount];
  for (int i = 0; i < kRotationCount; ++i) r[i] = mRotation[i]->GetCurrentValue();
  for (int i = 0; i < kTranslationCount; ++i) t[i] = mTranslation[i]->GetCurrentValue();
  if (auto* bag3 = dynamic_cast<KIV3DBagRep*>(rep)) {
    KIV4x4Matrix matrix;
    matrix.SetComponents(KIVMathVectorf(r[0], r[1], r[2]), KIVMathVectorf(r[3], r[4], r[5]),
                         KIVMathVectorf(r[6], r[7], r[8]), KIVMathPointf(t[0], t[1], t[2]));
    bag3->SetMatrix(matrix);
  } else if (auto* bag2 = dynamic_cast<KIV2DBagRep*>(rep)) {
    const KIV3x3Matrix matrix(KIVMathVectorf(r[0], r[1], 0.0f), KIVMathVectorf(r[3], r[4], 0.0f),
                              KIVMathVectorf(t[0], t[1], 1.0f));
    if (!bag2->SetMatrix(matrix)) return;
  } else {
    return;
  }
  NavViewerExtand::UpdateAllViewer();
}

void NavExtendedAttribut::ActiveOptionFromNotifyCB(KIVCommand* sender, KIVNotification* notification, void*) {
  if (sender == this && notification == GetWindCloseNotification()) {
    SetVisibility(VisibilityHidden);
    if (mFatherCommand && !mFatherLife.expired()) SendNotification(mFatherCommand, GetWindCloseNotification());
    return;
  }
  if (mFilling) return;
  ApplyMatrix();
}
