#include "host/dialog/KIVDlgNotify.h"

KIV_IMPLEMENT_METAOBJECT(KIVDlgNotify, KIVDlgWindow)

KIVDlgNotify::KIVDlgNotify(KIVDialog* parent, const char* tag, int style) : KIVDlgWindow(parent, tag, style) {}

KIVDlgNotify::~KIVDlgNotify() { Retire(); }

void KIVDlgNotify::SetText(const KIVUnicodeString& text) {
  if (text == mText) return;
  mText = text;
  Changed(KIVDlgProperty::Text);
}

int KIVDlgNotify::SetNotifyType(int type) {
  if (type < NotifyInformation || type > NotifyError) return 0;
  if (type != mType) {
    mType = type;
    Changed(KIVDlgProperty::Text);
  }
  return 1;
}
