#pragma once
// One line declares a notification class of the library: a KIVNotification with no data
// whose IsAKindOf first recognises its own class-name pointer, then asks the base.

#include "host/core/KIVNotification.h"

#define NAV_DECLARE_NOTIFICATION(Class)                          \
  class Class : public KIVNotification {                         \
   public:                                                       \
    Class() : KIVNotification(0) {}                              \
    ~Class() override;                                           \
    static const char* ClassName();                              \
    const char* IsA() const override;                            \
    int IsAKindOf(const char* className) const override;         \
  };

#define NAV_IMPLEMENT_NOTIFICATION(Class)                        \
  Class::~Class() = default;                                     \
  const char* Class::ClassName() {                               \
    static const char name[] = #Class;                           \
    return name;                                                 \
  }                                                              \
  const char* Class::IsA() const { return ClassName(); }         \
  int Class::IsAKindOf(const char* className) const {            \
    if (!className) return 0;                                    \
    if (className == ClassName()) return 1;                      \
    return KIVNotification::IsAKindOf(className);                \
  }
