#include "foundation/NavSimpleViewer3DSetting.h"

#include "host/core/KIVGPWMessage.h"

int NavSimpleViewer3DSetting::getMessageSize() const { return 20 + viewer.getMessageSize(); }

int NavSimpleViewer3DSetting::writeMessage(KIVGPWMessage* msg) const {
  if (!msg) return 0;
  msg->writeFloat(sizeRatio);
  msg->writeInt(dispatch);
  msg->writeInt(targetFixed);
  msg->writeInt(logicalView);
  msg->writeInt(label);
  viewer.writeMessage(msg);
  return 1;
}

int NavSimpleViewer3DSetting::readMessage(KIVGPWMessage* msg) {
  if (!msg) return 0;
  msg->readFloat(sizeRatio);
  msg->readInt(dispatch);
  msg->readInt(targetFixed);
  msg->readInt(logicalView);
  msg->readInt(label);
  const int ok = viewer.readMessage(msg);
  return msg->HasError() ? 0 : ok;
}
