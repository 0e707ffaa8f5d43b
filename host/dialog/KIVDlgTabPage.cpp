#include "host/dialog/KIVDlgTabPage.h"

KIV_IMPLEMENT_METAOBJECT(KIVDlgTabPage, KIVDlgControl)

KIVDlgTabPage::KIVDlgTabPage(KIVDialog* parent, const char* tag, int style) : KIVDlgControl(parent, tag, style) {}

KIVDlgTabPage::~KIVDlgTabPage() { Retire(); }
