#pragma once
// A message that a command sends up the command tree. Senders usually keep one instance
// for their whole life and send it again each time.

#include "host/core/KIVBaseUnknown.h"

class KIVNotification : public KIVBaseUnknown {
  KIV_DECLARE_METAOBJECT(KIVNotification)
 public:
  /// autoDelete = 1: the command tree deletes the notification once it has been delivered.
  explicit KIVNotification(int autoDelete = 0) : mAutoDelete(autoDelete) {}
  ~KIVNotification() override = default;
  int GetAutoDelete() const { return mAutoDelete; }

 private:
  int mAutoDelete;
};
