#include "host/dialog/KIVDialog.h"

#include <algorithm>
#include <cstring>

KIV_IMPLEMENT_METAOBJECT(KIVDialog, KIVCommand)

KIVDialog::KIVDialog(KIVDialog* parent, const char* tag, int style)
    : KIVCommand(parent, tag), mDialogParent(parent), mTag(tag), mStyle(style) {
  if (parent) parent->mDialogChildren.push_back(this);
}

KIVDialog::~KIVDialog() {
  while (!mDialogChildren.empty()) delete mDialogChildren.back();  // each child unlinks itself
  if (mDialogParent) std::erase(mDialogParent->mDialogChildren, this);
  mDialogParent = nullptr;
}

KIVDialog* KIVDialog::LookupChild(const char* tag, int recursive) const {
  if (!tag) return nullptr;
  for (KIVDialog* child : mDialogChildren) {
    if (std::strcmp(child->mTag.CastToCharPtr(), tag) == 0) return child;
    if (recursive)
      if (KIVDialog* found = child->LookupChild(tag, 1)) return found;
  }
  return nullptr;
}

void KIVDialog::SetVisibility(int visibility) {
  if (visibility == 2 || visibility == 4) mVisibility = visibility;
}

void KIVDialog::SetSensitivity(int sensitivity) {
  if (sensitivity == 8 || sensitivity == 16) mSensitivity = sensitivity;
}
