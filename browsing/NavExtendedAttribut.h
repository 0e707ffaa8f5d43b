#pragma once
// The "Extended attributes" window: the technical attributes of one rep (model identity,
// address, parent and child counts, manipulator, type, texture) and, for a bag, its
// placement matrix in number fields that move the bag when edited.

#include <memory>
#include <vector>

#include "host/dialog/KIVDlgDialog.h"

class KIVDlgLabel;
class KIVDlgSpinner;
class KIVRep;

class NavExtendedAttribut : public KIVDlgDialog {
 public:
  static constexpr const char* PanelIdTag = "ExtendedAttribut";
  static constexpr const char* PanelIdTitle = "Extended attributes";
  static constexpr const char* NoReferenceTag = "NoReferenceTag";
  static constexpr const char* TitlePrefix = "Extended attributs of ";
  static constexpr const char* SelectedObjectTitle = "Selected Object";
  static constexpr const char* NoSelectionTitle = "No Selection";

  static constexpr const char* RotationLabelTitle = "Rotation matrix : ";
  static constexpr const char* PositionLabelTitle = "Position Center : ";
  /// The information labels, in order: identity, address, parents, children,
  /// manipulator, type, texture.
  enum Info { InfoId, InfoAddress, InfoFathers, InfoChildren, InfoManipulator, InfoType, InfoTexture, InfoCount };
  /// Their texts as built, and as reset when nothing is shown.
  static constexpr const char* InfoInitialTitle[InfoCount] = {
      "Model Identificator : 0", "Addres Rep : 0x0", "Number of father : 0", "Number of child : 0",
      "Manipulator : NO",        "Rep type : ",      "Texture : NO"};
  static constexpr const char* InfoResetTitle[InfoCount] = {
      "Model Identificator : 0", "Addres Rep : 0x0", "Number of father : 0", "Number of children : 0",
      "Manipulator : NO",        "Rep type : ",      "Texture : NO"};

  /// The spinners' bound.
  static constexpr float kLimit = 10000000.0f;
  /// Rotation spinners: direction d, component c at index 3 * d + c; translation 0 to 2.
  static constexpr int kRotationCount = 9, kTranslationCount = 3;

  /// father receives the close notification; parent holds the window.
  NavExtendedAttribut(KIVCommand* father, KIVDialog* parent);
  ~NavExtendedAttribut() override;
  NavExtendedAttribut(const NavExtendedAttribut&) = delete;
  NavExtendedAttribut& operator=(const NavExtendedAttribut&) = delete;

  /// 1 shows a hidden window; 0 hides a shown one and tells the father it closed.
  void AffichePanel(int show);
  /// Shows rep (null: nothing) under name (null: a generic title); instances is the number
  /// of browser nodes that show the same rep. Only while the window is shown, and only
  /// when the rep or the name changed.
  void UpdatePalette(const char* name, KIVRep* rep, int instances);
  /// The rep currently shown; null when none, or when it was destroyed meanwhile.
  KIVRep* GetCurrentRep() const;

  /// "KIV3DBagRep", "KIV2DBagRep", "KIV3DRep", "KIV2DRep" or "Unknown".
  static const char* GetRepName(KIVRep* rep);
  /// Range min..max with (max - min) * 10 / 10^e steps, e the decimal exponent of |value|
  /// (at least 1), format "%.2f"; with setValue = 1 the value is shown. 0 for a null
  /// spinner or a non-finite number.
  static int FormatSpinner(KIVDlgSpinner* spinner, float value, float min, float max, int setValue);

  KIVDlgSpinner* GetRotationSpinner(int i) const { return i >= 0 && i < kRotationCount ? mRotation[i] : nullptr; }
  KIVDlgSpinner* GetTranslationSpinner(int i) const {
    return i >= 0 && i < kTranslationCount ? mTranslation[i] : nullptr;
  }
  KIVDlgLabel* GetInfoLabel(int i) const { return i >= 0 && i < InfoCount ? mInfo[i] : nullptr; }

  /// Spinner changes (the matrix is rebuilt and set) and the window's close.
  void ActiveOptionFromNotifyCB(KIVCommand* sender, KIVNotification* notification, void* data);

 private:
  void Fill();
  void ApplyMatrix();
  void SetSpinnersSensitive(int rotation3D, int rotation2D);

  KIVCommand* mFatherCommand;
  std::weak_ptr<int> mFatherLife;
  std::unique_ptr<KIVCommand> mRelay;
  KIVRep* mRep = nullptr;
  std::weak_ptr<int> mRepLife;
  KIVUnicodeString mName;
  bool mHasName = false;
  int mInstances = 0;
  int mFilling = 0;  // the spinners are being filled: their notifications are not edits
  std::vector<KIVCallback> mCallbacks;

  KIVDlgSpinner* mRotation[kRotationCount] = {};
  KIVDlgSpinner* mTranslation[kTranslationCount] = {};
  KIVDlgLabel* mInfo[InfoCount] = {};
};
