#include "host/dialog/KIVDlgMenuItem.h"

KIV_IMPLEMENT_METAOBJECT(KIVDlgMenuItem, KIVDialog)

KIVDlgMenuItem::KIVDlgMenuItem(KIVDialog* parent, const char* tag, int style) : KIVDialog(parent, tag, style) {}

KIVDlgMenuItem::~KIVDlgMenuItem() { Retire(); }
