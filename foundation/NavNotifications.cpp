// Definitions of the notification classes of the library.
#include "foundation/NavPanelShowNotification.h"
#include "foundation/NavSelectOkNotification.h"
#include "foundation/NavSelectNoNotification.h"
#include "foundation/NavColorModifyNotification.h"
#include "foundation/NavColorDragNotification.h"
#include "foundation/NavThickModifyNotification.h"
#include "foundation/NavRepChangeNotification.h"
#include "foundation/NavRepMoveNotification.h"
#include "foundation/NavSwapModeMarqNotification.h"
#include "foundation/NavChangeTypeNotification.h"
#include "foundation/NavMarqueChangeNotification.h"
#include "foundation/NavAskHelpNotification.h"
#include "foundation/NavActionOnMenuNotification.h"
#include "foundation/NavActionOnEditorNotification.h"
#include "foundation/NavExtendTreeNotification.h"
#include "foundation/NavIconSelectionNotification.h"
#include "foundation/NavModifyNotification.h"

NAV_IMPLEMENT_NOTIFICATION(NavPanelShowNotification)
NAV_IMPLEMENT_NOTIFICATION(NavSelectOkNotification)
NAV_IMPLEMENT_NOTIFICATION(NavSelectNoNotification)
NAV_IMPLEMENT_NOTIFICATION(NavColorModifyNotification)
NAV_IMPLEMENT_NOTIFICATION(NavColorDragNotification)
NAV_IMPLEMENT_NOTIFICATION(NavThickModifyNotification)
NAV_IMPLEMENT_NOTIFICATION(NavRepChangeNotification)
NAV_IMPLEMENT_NOTIFICATION(NavRepMoveNotification)
NAV_IMPLEMENT_NOTIFICATION(NavSwapModeMarqNotification)
NAV_IMPLEMENT_NOTIFICATION(NavChangeTypeNotification)
NAV_IMPLEMENT_NOTIFICATION(NavMarqueChangeNotification)
NAV_IMPLEMENT_NOTIFICATION(NavAskHelpNotification)
NAV_IMPLEMENT_NOTIFICATION(NavActionOnMenuNotification)
NAV_IMPLEMENT_NOTIFICATION(NavActionOnEditorNotification)
NAV_IMPLEMENT_NOTIFICATION(NavExtendTreeNotification)
NAV_IMPLEMENT_NOTIFICATION(NavIconSelectionNotification)
NAV_IMPLEMENT_NOTIFICATION(NavModifyNotification)
