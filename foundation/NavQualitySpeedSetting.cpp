#include "foundation/NavQualitySpeedSetting.h"

#include "host/core/KIVGPWMessage.h"

int NavQualitySpeedSetting::getMessageSize() const { return 20; }

int NavQualitySpeedSetting::writeMessage(KIVGPWMessage* msg) const {
  if (!msg) return 0;
  msg->writeFloat(staticSag);
  msg->writeFloat(dynamicSag);
  msg->writeFloat(staticPixelCulling);
  msg->writeFloat(dynamicPixelCulling);
  // The layout stores the mode bits as a float; every bit set we use is exact in one.
  msg->writeFloat(static_cast<float>(modeBits));
  return 1;
}

int NavQualitySpeedSetting::readMessage(KIVGPWMessage* msg) {
  if (!msg) return 0;
  msg->readFloat(staticSag);
  msg->readFloat(dynamicSag);
  msg->readFloat(staticPixelCulling);
  msg->readFloat(dynamicPixelCulling);
  int ok = 1;
  float bits = 0.0f;
  if (msg->readFloat(bits)) {
    // Converting a float outside the int range (or NaN) is undefined, so a corrupt value
    // is refused instead; the comparisons are false for NaN.
    if (bits >= -2147483648.0f && bits < 2147483648.0f) modeBits = static_cast<int>(bits);
    else ok = 0;
  }
  return msg->HasError() ? 0 : ok;
}
