#pragma once
// Notification classes of the dialog objects: one class per kind of input, so that a
// callback can be registered by class name.

#include "host/core/KIVNotification.h"

#define KIV_DLG_NOTIFICATION(Name)                 \
  class KIVDlg##Name##Notification : public KIVNotification { \
    KIV_DECLARE_METAOBJECT(KIVDlg##Name##Notification)        \
  };

KIV_DLG_NOTIFICATION(MenuIActivate)
KIV_DLG_NOTIFICATION(ChkIModify)
KIV_DLG_NOTIFICATION(RadIModify)
KIV_DLG_NOTIFICATION(WindClose)
KIV_DLG_NOTIFICATION(DiaOK)
KIV_DLG_NOTIFICATION(DiaCANCEL)
KIV_DLG_NOTIFICATION(DiaAPPLY)
KIV_DLG_NOTIFICATION(PushBActivate)
KIV_DLG_NOTIFICATION(ChkBModify)
KIV_DLG_NOTIFICATION(RadBModify)
