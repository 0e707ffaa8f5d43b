#include "host/dialog/KIVDlgToolBar.h"

KIV_IMPLEMENT_METAOBJECT(KIVDlgToolBar, KIVDlgControl)

KIVDlgToolBar::KIVDlgToolBar(KIVDialog* parent, const char* tag, int style) : KIVDlgControl(parent, tag, style) {}

KIVDlgToolBar::~KIVDlgToolBar() { Retire(); }
