#pragma once
// A container that groups controls, with an optional title.

#include "host/dialog/KIVDlgControl.h"

class KIVDlgFrame : public KIVDlgControl {
  KIV_DECLARE_METAOBJECT(KIVDlgFrame)
 public:
  KIVDlgFrame(KIVDialog* parent, const char* tag, int style = 0);
  ~KIVDlgFrame() override;
};
