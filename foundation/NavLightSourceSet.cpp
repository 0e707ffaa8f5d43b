#include "foundation/NavLightSourceSet.h"

#include "host/core/KIVGPWMessage.h"

int NavLightSourceSet::getMessageSize() const { return 28; }

int NavLightSourceSet::writeMessage(KIVGPWMessage* msg) const {
  if (!msg) return 0;
  msg->writeInt(lightCount);
  for (float v : firstDirection) msg->writeFloat(v);
  for (float v : secondDirection) msg->writeFloat(v);
  return 1;
}

int NavLightSourceSet::readMessage(KIVGPWMessage* msg) {
  if (!msg) return 0;
  msg->readInt(lightCount);
  for (float& v : firstDirection) msg->readFloat(v);
  for (float& v : secondDirection) msg->readFloat(v);
  return msg->HasError() ? 0 : 1;
}
