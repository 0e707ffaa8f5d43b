#include "host/dialog/KIVDlgDialog.h"

KIV_IMPLEMENT_METAOBJECT(KIVDlgDialog, KIVDlgWindow)

KIVDlgDialog::KIVDlgDialog(KIVDialog* parent, const char* tag, int style) : KIVDlgWindow(parent, tag, style) {}

KIVDlgDialog::~KIVDlgDialog() { Retire(); }
