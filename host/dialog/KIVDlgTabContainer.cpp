#include "host/dialog/KIVDlgTabContainer.h"

#include <algorithm>

#include "host/dialog/KIVDlgTabPage.h"

KIV_IMPLEMENT_METAOBJECT(KIVDlgTabContainer, KIVDlgControl)

KIVDlgTabContainer::KIVDlgTabContainer(KIVDialog* parent, const char* tag, int style)
    : KIVDlgControl(parent, tag, style) {}

KIVDlgTabContainer::~KIVDlgTabContainer() { Retire(); }

bool KIVDlgTabContainer::Owns(const KIVDlgTabPage* page) const {
  const auto& children = GetDialogChildren();
  return page && std::find(children.begin(), children.end(), page) != children.end();
}

void KIVDlgTabContainer::Remember(KIVDlgTabPage* page) {
  mSelected = page;
  mSelectedLife = page->GetLifeToken();
}

KIVDlgTabPage* KIVDlgTabContainer::GetSelectedPage() const {
  // The selected page may have been destroyed since: then the first page shows.
  if (!mSelectedLife.expired() && Owns(mSelected)) return mSelected;
  for (KIVDialog* child : GetDialogChildren())
    if (child->IsAKindOf(KIVDlgTabPage::ClassName())) return static_cast<KIVDlgTabPage*>(child);
  return nullptr;
}

int KIVDlgTabContainer::SetSelectedPage(KIVDlgTabPage* page, int notify) {
  if (!Owns(page)) return 0;
  const bool changed = page != GetSelectedPage();
  Remember(page);
  if (!changed) return 1;
  Changed(KIVDlgProperty::Selection);
  if (notify) Notify(&mSelect);
  return 1;
}

int KIVDlgTabContainer::UserSelectPage(KIVDlgTabPage* page) {
  if (!IsUsable() || !Owns(page)) return 0;
  const bool changed = page != GetSelectedPage();
  Remember(page);
  if (changed) Changed(KIVDlgProperty::Selection);
  Notify(&mSelect);
  return 1;
}
