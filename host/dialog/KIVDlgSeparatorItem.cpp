#include "host/dialog/KIVDlgSeparatorItem.h"

KIV_IMPLEMENT_METAOBJECT(KIVDlgSeparatorItem, KIVDlgMenuItem)

KIVDlgSeparatorItem::KIVDlgSeparatorItem(KIVDialog* parent, const char* tag, int style) : KIVDlgMenuItem(parent, tag, style) {}

KIVDlgSeparatorItem::~KIVDlgSeparatorItem() { Retire(); }
