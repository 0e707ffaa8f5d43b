#pragma once
// A dialog box: a window holding controls, with the buttons its style asks for.

#include "host/dialog/KIVDlgWindow.h"

class KIVDlgDialog : public KIVDlgWindow {
  KIV_DECLARE_METAOBJECT(KIVDlgDialog)
 public:
  KIVDlgDialog(KIVDialog* parent, const char* tag, int style = 0);
  ~KIVDlgDialog() override;
};
