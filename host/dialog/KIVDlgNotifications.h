#pragma once
// The notifications that dialog objects send to their father command. An object keeps one
// instance of each kind it sends for its whole life, so a receiver can compare pointers;
// each kind is its own class, so a receiver can also register by class name.

#include "host/core/KIVNotification.h"

#define KIV_DLG_NOTIFICATION(Class)         \
  class Class : public KIVNotification {    \
    KIV_DECLARE_METAOBJECT(Class)           \
   public:                                  \
    using KIVNotification::KIVNotification; \
  };

// Every dialog object: its window exists (first shown).
KIV_DLG_NOTIFICATION(KIVDlgCreateNotification)
// Windows.
KIV_DLG_NOTIFICATION(KIVDlgWindCloseNotification)
KIV_DLG_NOTIFICATION(KIVDlgDiaOKNotification)
KIV_DLG_NOTIFICATION(KIVDlgDiaCANCELNotification)
KIV_DLG_NOTIFICATION(KIVDlgDiaAPPLYNotification)
KIV_DLG_NOTIFICATION(KIVDlgDiaHELPNotification)
// Buttons.
KIV_DLG_NOTIFICATION(KIVDlgPushBActivateNotification)
KIV_DLG_NOTIFICATION(KIVDlgPushBRepetitiveNotification)
KIV_DLG_NOTIFICATION(KIVDlgChkBModifyNotification)
KIV_DLG_NOTIFICATION(KIVDlgRadBModifyNotification)
// Value controls.
KIV_DLG_NOTIFICATION(KIVDlgCmbSelectNotification)
KIV_DLG_NOTIFICATION(KIVDlgSpinModifyNotification)
KIV_DLG_NOTIFICATION(KIVDlgSliderModifyNotification)
KIV_DLG_NOTIFICATION(KIVDlgSliderDragNotification)
KIV_DLG_NOTIFICATION(KIVDlgEditModifyNotification)
KIV_DLG_NOTIFICATION(KIVDlgListSelectNotification)
KIV_DLG_NOTIFICATION(KIVDlgListActivateNotification)
KIV_DLG_NOTIFICATION(KIVDlgTabSelectNotification)
// Menu items.
KIV_DLG_NOTIFICATION(KIVDlgMenuIActivateNotification)
KIV_DLG_NOTIFICATION(KIVDlgChkIModifyNotification)
KIV_DLG_NOTIFICATION(KIVDlgRadIModifyNotification)

#undef KIV_DLG_NOTIFICATION
