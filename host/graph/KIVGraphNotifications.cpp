#include "host/graph/KIVGraphNotifications.h"

KIV_IMPLEMENT_METAOBJECT(KIVGraphNotification, KIVNotification)
KIVGraphNotification::~KIVGraphNotification() = default;

#define KIV_GRAPH_NOTIFICATION_BODY(Class)                  \
  KIV_IMPLEMENT_METAOBJECT(Class, KIVGraphNotification)     \
  Class::~Class() = default;

KIV_GRAPH_NOTIFICATION_BODY(KIVNodeSelectNotification)
KIV_GRAPH_NOTIFICATION_BODY(KIVNodeExtSelectNotification)
KIV_GRAPH_NOTIFICATION_BODY(KIVNodeEditNotification)
KIV_GRAPH_NOTIFICATION_BODY(KIVArcSelectNotification)
KIV_GRAPH_NOTIFICATION_BODY(KIVNodeContextNotification)
KIV_GRAPH_NOTIFICATION_BODY(KIVArcContextNotification)
KIV_GRAPH_NOTIFICATION_BODY(KIVGraphContextNotification)
