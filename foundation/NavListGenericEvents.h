#pragma once
// Event classes published by NavListGeneric.

#include "foundation/NavEventMacros.h"

NAV_DECLARE_EVENT_CLASS(NavListGeneric, OBJECT_UPDATED)
