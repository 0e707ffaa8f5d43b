#pragma once
// Event classes published by NavViewpointManipulate.

#include "foundation/NavEventMacros.h"

NAV_DECLARE_EVENT_CLASS(NavViewpointManipulate, VIEWPOINT_STATE_MODIFIED)
