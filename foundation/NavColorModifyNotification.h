#pragma once

#include "foundation/NavNotificationMacros.h"

NAV_DECLARE_NOTIFICATION(NavColorModifyNotification)
