#include "foundation/NavReferenceViewSetting.h"

#include "host/core/KIVGPWMessage.h"

int NavReferenceViewSetting::getMessageSize() const { return 28; }

int NavReferenceViewSetting::writeMessage(KIVGPWMessage* msg) const {
  if (!msg) return 0;
  msg->writeFloat(backgroundRed);
  msg->writeFloat(backgroundGreen);
  msg->writeFloat(backgroundBlue);
  msg->writeFloat(collisionDistance);
  msg->writeInt(referencePlane);
  msg->writeInt(gravity);
  msg->writeInt(collisionCheck);
  return 1;
}

int NavReferenceViewSetting::readMessage(KIVGPWMessage* msg) {
  if (!msg) return 0;
  msg->readFloat(backgroundRed);
  msg->readFloat(backgroundGreen);
  msg->readFloat(backgroundBlue);
  msg->readFloat(collisionDistance);
  msg->readInt(referencePlane);
  msg->readInt(gravity);
  msg->readInt(collisionCheck);
  return msg->HasError() ? 0 : 1;
}
