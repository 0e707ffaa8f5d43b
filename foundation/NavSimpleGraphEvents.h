#pragma once
// Event classes published by NavSimpleGraph.

#include "foundation/NavEventMacros.h"

NAV_DECLARE_EVENT_CLASS(NavSimpleGraph, EDIT_GRAPH_SETTING)
