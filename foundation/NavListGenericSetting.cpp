#include "foundation/NavListGenericSetting.h"

#include "host/core/KIVGPWMessage.h"

int NavListGenericSetting::getMessageSize() const {
  // Five ints, then the text's bytes and its terminating NUL.
  return 20 + KIVGPWMessage::GetStringSize(filterText);
}

int NavListGenericSetting::writeMessage(KIVGPWMessage* msg) const {
  if (!msg) return 0;
  msg->writeInt(sortBits);
  msg->writeInt(findMode);
  msg->writeInt(tagMode);
  msg->writeInt(currentType);
  msg->writeInt(subtypeMask);
  msg->writeString(filterText);
  return 1;
}

int NavListGenericSetting::readMessage(KIVGPWMessage* msg) {
  if (!msg) return 0;
  msg->readInt(sortBits);
  msg->readInt(findMode);
  msg->readInt(tagMode);
  msg->readInt(currentType);
  msg->readInt(subtypeMask);
  msg->readString(filterText);
  return msg->HasError() ? 0 : 1;
}
