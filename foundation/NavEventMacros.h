#pragma once
// Events are named by the class name of an event class, "<Publisher><EVENT>Evt", which
// carries a metaobject under KIVNotification and is never instantiated.
//   header, at namespace scope:   NAV_DECLARE_EVENT_CLASS(NavViewerExtand, VIEWER_UPDATE)
//   in the publisher's class:     NAV_EVENT_ACCESSOR(VIEWER_UPDATE)
//   in one source file:           NAV_DEFINE_EVENT(NavViewerExtand, VIEWER_UPDATE)
// (NAV_DEFINE_EVENT_CLASS alone when the publisher class does not exist yet.)

#include "host/core/KIVNotification.h"

#define NAV_DECLARE_EVENT_CLASS(Publisher, EVENT)                 \
  class Publisher##EVENT##Evt : public KIVNotification {          \
    KIV_DECLARE_METAOBJECT(Publisher##EVENT##Evt)                 \
    ~Publisher##EVENT##Evt() override;                            \
                                                                  \
   private:                                                       \
    Publisher##EVENT##Evt() = default;                            \
  };

#define NAV_EVENT_ACCESSOR(EVENT) static const char* EVENT();

#define NAV_DEFINE_EVENT_CLASS(Publisher, EVENT)                  \
  KIV_IMPLEMENT_METAOBJECT(Publisher##EVENT##Evt, KIVNotification) \
  Publisher##EVENT##Evt::~Publisher##EVENT##Evt() = default;

#define NAV_DEFINE_EVENT(Publisher, EVENT)                        \
  NAV_DEFINE_EVENT_CLASS(Publisher, EVENT)                        \
  const char* Publisher::EVENT() { return Publisher##EVENT##Evt::ClassName(); }
