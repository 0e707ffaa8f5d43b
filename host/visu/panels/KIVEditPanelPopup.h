#pragma once
// A window that holds one edit panel (made with the popup as its parent). When a person
// closes it (close box, OK or Cancel) it publishes EDIT_PANEL_POPUP_DESTROYED through its
// callback manager, the popup as the event's data, so that its owner destroys it; Cancel
// first runs the cancel action its panel installed. The notifications then go on to the
// father as any window's (through a relay command between the popup and its father). The
// event is published once; destroying the popup publishes nothing.
#include <functional>
#include <memory>
#include "host/dialog/KIVDlgDialog.h"
class KIVEditPanelPopup : public KIVDlgDialog {
  KIV_DECLARE_METAOBJECT(KIVEditPanelPopup)
 public:
  static const char* const EDIT_PANEL_POPUP_DESTROYED;
  KIVEditPanelPopup(KIVDialog* parent, const char* tag);
  ~KIVEditPanelPopup() override;
  /// What Cancel does before the event (the held panel's restore); empty for nothing.
  void SetCancelAction(std::function<void()> action) { mCancelAction = std::move(action); }
  /// The panel held: the first dialog child, null when none.
  KIVDialog* GetPanel() const;
  /// 1 once the event was published.
  int IsClosed() const { return mClosed; }
 private:
  void ButtonCB(KIVNotification* notification);
  std::function<void()> mCancelAction;
  int mClosed = 0;
  std::unique_ptr<KIVCommand> mRelay;
};
