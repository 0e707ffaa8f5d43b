#pragma once
// Root of the host object model: every object can name its class and its ancestry.

#include "host/core/KIVMetaObject.h"

class KIVBaseUnknown {
 public:
  KIVBaseUnknown() = default;
  KIVBaseUnknown(const KIVBaseUnknown&) = default;
  KIVBaseUnknown& operator=(const KIVBaseUnknown&) = default;
  virtual ~KIVBaseUnknown() = default;

  static KIVMetaObject* meta_object;
  static KIVMetaObject* MetaObject();
  virtual KIVMetaObject* GetMetaObject() const;
  static const char* ClassName();
  static const char* ClassId();
  /// The class name of the object's most derived class that declares a metaobject.
  virtual const char* IsA() const;
  /// 1 when the object's class or one of its bases bears that name.
  virtual int IsAKindOf(const char* className) const;
  static KIVBaseUnknown* CreateItself();
};
