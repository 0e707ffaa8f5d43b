#include "host/core/KIVMetaObject.h"

#include <cstring>

#include "host/core/KIVDictionary.h"

KIVMetaObject::KIVMetaObject(const char* className) : mName(className ? className : "") {}

void KIVMetaObject::SetParent(const KIVMetaObject* parent) {
  // A cycle would make IsAKindOf loop forever; refuse any parent that leads back here.
  for (const KIVMetaObject* p = parent; p; p = p->mParent)
    if (p == this) return;
  mParent = parent;
}

int KIVMetaObject::IsAKindOf(const char* className) const {
  if (!className) return 0;
  for (const KIVMetaObject* m = this; m; m = m->mParent)
    if (m->mName.c_str() == className || std::strcmp(m->mName.c_str(), className) == 0) return 1;
  return 0;
}

KIVMetaObject* KIVRegisterMetaObject(const char* className, KIVMetaObject* (*base)()) {
  KIVMetaObject* meta = QueryMetaObject(className);
  if (!meta || !meta->GetClassId()) {
    const char* clsid = fct_CreateCLSID();
    meta = fct_FindMetaObject(className);
    AddDictionary(clsid, CLSID_KIVMetaClass, className, "MetaObject", nullptr, meta, nullptr, nullptr);
    meta->SetClassId(clsid);
  }
  meta->SetFlag(1);
  meta->SetParent(base ? base() : nullptr);
  return meta;
}
