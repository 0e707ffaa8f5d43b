#pragma once
// Event classes published by KIVSiLaGrid.

#include "foundation/NavEventMacros.h"

NAV_DECLARE_EVENT_CLASS(KIVSiLaGrid, GRID_GRAPHIC_CHANGED)
