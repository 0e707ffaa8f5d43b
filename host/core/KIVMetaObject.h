#pragma once
// Run-time class record: one per class, created on first use and never destroyed,
// so pointers to it and to its name stay valid for the whole process.

#include <string>

class KIVBaseUnknown;

class KIVMetaObject {
 public:
  explicit KIVMetaObject(const char* className);

  /// The class's own name; the pointer is stable for the life of the process.
  const char* ClassName() const { return mName.c_str(); }
  /// Class identifier string, null until one is assigned.
  const char* GetClassId() const { return mClassId; }
  void SetClassId(const char* clsid) { mClassId = clsid; }
  int GetFlag() const { return mFlag; }
  void SetFlag(int flag) { mFlag = flag; }
  const KIVMetaObject* GetParent() const { return mParent; }
  void SetParent(const KIVMetaObject* parent);
  /// 1 when this class or one of its ancestors bears that name; 0 for null.
  int IsAKindOf(const char* className) const;

 private:
  std::string mName;
  const char* mClassId = nullptr;
  int mFlag = 0;
  const KIVMetaObject* mParent = nullptr;
};

/// Runs the registration sequence of a class's metaobject (query, create an identifier if
/// needed, register, flag, parent) and returns it. `base` gives the base class's record.
KIVMetaObject* KIVRegisterMetaObject(const char* className, KIVMetaObject* (*base)());

// One line in a class body gives it its run-time type. Leaves access public.
#define KIV_DECLARE_METAOBJECT(Class)                         \
 public:                                                      \
  static KIVMetaObject* meta_object;                          \
  static KIVMetaObject* MetaObject();                         \
  KIVMetaObject* GetMetaObject() const override;              \
  static const char* ClassName();                             \
  static const char* ClassId();                               \
  const char* IsA() const override;                           \
  int IsAKindOf(const char* className) const override;        \
  static KIVBaseUnknown* CreateItself();

#define KIV_IMPLEMENT_METAOBJECT_BODY(Class, BaseMeta)                                   \
  KIVMetaObject* Class::meta_object = nullptr;                                           \
  KIVMetaObject* Class::MetaObject() {                                                   \
    if (!meta_object) meta_object = KIVRegisterMetaObject(#Class, BaseMeta);             \
    return meta_object;                                                                  \
  }                                                                                      \
  KIVMetaObject* Class::GetMetaObject() const { return MetaObject(); }                   \
  const char* Class::ClassName() { return MetaObject()->ClassName(); }                   \
  const char* Class::ClassId() { return MetaObject()->GetClassId(); }                    \
  const char* Class::IsA() const { return ClassName(); }                                 \
  int Class::IsAKindOf(const char* className) const {                                    \
    return MetaObject()->IsAKindOf(className);                                           \
  }                                                                                      \
  KIVBaseUnknown* Class::CreateItself() { return nullptr; }

/// In one source file: the definitions for a class whose metaobject's parent is Base's.
#define KIV_IMPLEMENT_METAOBJECT(Class, Base) KIV_IMPLEMENT_METAOBJECT_BODY(Class, &Base::MetaObject)
