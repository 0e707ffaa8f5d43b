#pragma once
// A notice window: a message of one of three kinds and the buttons of its style.

#include "host/dialog/KIVDlgWindow.h"

class KIVDlgNotify : public KIVDlgWindow {
  KIV_DECLARE_METAOBJECT(KIVDlgNotify)
 public:
  static constexpr int NotifyInformation = 1;
  static constexpr int NotifyWarning = 2;
  static constexpr int NotifyError = 3;

  KIVDlgNotify(KIVDialog* parent, const char* tag, int style = 0);
  ~KIVDlgNotify() override;

  void SetText(const KIVUnicodeString& text);
  const KIVUnicodeString& GetText() const { return mText; }
  /// Information, warning or error; other values are refused (returns 0).
  int SetNotifyType(int type);
  int GetNotifyType() const { return mType; }

 private:
  KIVUnicodeString mText;
  int mType = NotifyInformation;
};
