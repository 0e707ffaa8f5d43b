#pragma once
// A stack of tab pages (its KIVDlgTabPage children) of which one is on display: the one
// selected, or the first page while none is.

#include <memory>

#include "host/dialog/KIVDlgControl.h"

class KIVDlgTabPage;

class KIVDlgTabContainer : public KIVDlgControl {
  KIV_DECLARE_METAOBJECT(KIVDlgTabContainer)
 public:
  KIVDlgTabContainer(KIVDialog* parent, const char* tag, int style = 0);
  ~KIVDlgTabContainer() override;

  /// Puts one of its own pages on display; others are refused. With notify = 1 a change
  /// sends the tab select notification. Returns 1 when accepted.
  int SetSelectedPage(KIVDlgTabPage* page, int notify = 1);
  /// The page on display; null without pages.
  KIVDlgTabPage* GetSelectedPage() const;

  KIVDlgTabSelectNotification* GetTabSelectNotification() const { return &mSelect; }
  /// As a person clicking a tab: the page goes on display, then the notification.
  int UserSelectPage(KIVDlgTabPage* page);

 private:
  bool Owns(const KIVDlgTabPage* page) const;
  void Remember(KIVDlgTabPage* page);

  KIVDlgTabPage* mSelected = nullptr;
  std::weak_ptr<int> mSelectedLife;  // the page may be destroyed while selected
  mutable KIVDlgTabSelectNotification mSelect;
};
