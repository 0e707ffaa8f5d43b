#include "host/dialog/KIVDlgLabel.h"

KIV_IMPLEMENT_METAOBJECT(KIVDlgLabel, KIVDlgControl)

KIVDlgLabel::KIVDlgLabel(KIVDialog* parent, const char* tag, int style) : KIVDlgControl(parent, tag, style) {}

KIVDlgLabel::~KIVDlgLabel() { Retire(); }
