#include "foundation/NavDistanceSetting.h"

#include "host/core/KIVGPWMessage.h"

NavDistanceSetting& NavDistanceSetting::operator=(const NavDistanceSetting& other) {
  if (other.color != -1) color = other.color;
  if (other.showText != -1) showText = other.showText;
  if (other.width != -1.0f) width = other.width;
  return *this;
}

int NavDistanceSetting::getMessageSize() const { return 12; }

int NavDistanceSetting::writeMessage(KIVGPWMessage* msg) const {
  if (!msg) return 0;
  msg->writeFloat(width);
  msg->writeInt(color);
  msg->writeInt(showText);
  return 1;
}

int NavDistanceSetting::readMessage(KIVGPWMessage* msg) {
  if (!msg) return 0;
  // A failed read leaves its value alone and latches the message's error, so the reads
  // after it fail too and the error alone tells the outcome.
  msg->readFloat(width);
  msg->readInt(color);
  msg->readInt(showText);
  return msg->HasError() ? 0 : 1;
}
