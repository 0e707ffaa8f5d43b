#include "foundation/NavViewpointAnimation.h"

#include "host/core/KIVGPWMessage.h"

int NavViewpointAnimation::getMessageSize() const { return 16; }

int NavViewpointAnimation::writeMessage(KIVGPWMessage* msg) const {
  if (!msg) return 0;
  msg->writeInt(kind);
  msg->writeInt(direction);
  msg->writeInt(stepsPerTurn);
  msg->writeInt(axis);
  return 1;
}

int NavViewpointAnimation::readMessage(KIVGPWMessage* msg) {
  if (!msg) return 0;
  msg->readInt(kind);
  msg->readInt(direction);
  msg->readInt(stepsPerTurn);
  msg->readInt(axis);
  return msg->HasError() ? 0 : 1;
}
