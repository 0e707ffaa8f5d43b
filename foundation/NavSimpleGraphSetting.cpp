#include "foundation/NavSimpleGraphSetting.h"

#include "host/core/KIVGPWMessage.h"

int NavSimpleGraphSetting::getMessageSize() const { return 16; }

int NavSimpleGraphSetting::writeMessage(KIVGPWMessage* msg) const {
  if (!msg) return 0;
  msg->writeInt(layoutStyle);
  msg->writeInt(extensionLevel);
  msg->writeInt(widthMargin);
  msg->writeInt(depthMargin);
  return 1;
}

int NavSimpleGraphSetting::readMessage(KIVGPWMessage* msg) {
  if (!msg) return 0;
  msg->readInt(layoutStyle);
  msg->readInt(extensionLevel);
  msg->readInt(widthMargin);
  msg->readInt(depthMargin);
  return msg->HasError() ? 0 : 1;
}
