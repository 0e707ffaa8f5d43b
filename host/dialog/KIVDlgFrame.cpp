#include "host/dialog/KIVDlgFrame.h"

KIV_IMPLEMENT_METAOBJECT(KIVDlgFrame, KIVDlgControl)

KIVDlgFrame::KIVDlgFrame(KIVDialog* parent, const char* tag, int style) : KIVDlgControl(parent, tag, style) {}

KIVDlgFrame::~KIVDlgFrame() { Retire(); }
