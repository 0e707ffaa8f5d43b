#include "foundation/NavViewerSetting.h"

#include <cstdio>
#include <new>

#include "foundation/NavPaletteViewerSetting.h"
#include "host/core/KIVGPWMessage.h"

namespace {
// Viewer settings being read on this thread, outermost included: the nesting cycle
// viewer -> palette -> secondary viewer -> viewer always comes back through here.
thread_local int gReadNesting = 0;

struct NestingScope {
  NestingScope() { ++gReadNesting; }
  ~NestingScope() { --gReadNesting; }
  NestingScope(const NestingScope&) = delete;
  NestingScope& operator=(const NestingScope&) = delete;
};

NavPaletteViewerSetting* NewPalette(const NavPaletteViewerSetting* from) {
  auto* p = from ? new (std::nothrow) NavPaletteViewerSetting(*from) : new (std::nothrow) NavPaletteViewerSetting;
  if (!p) std::fprintf(stderr, "ERROR - NavViewerSetting: Enable to allocate NavPaletteViewerSetting\n");
  return p;
}
}  // namespace

NavViewerSetting::NavViewerSetting(const NavViewerSetting& other) { *this = other; }

NavViewerSetting& NavViewerSetting::operator=(const NavViewerSetting& other) {
  if (this == &other) return *this;
  sectionMask = other.sectionMask;
  referenceView = other.referenceView;
  qualitySpeed = other.qualitySpeed;
  distance = other.distance;
  dashboardState = other.dashboardState;
  perfoState = other.perfoState;
  axisState = other.axisState;
  groundState = other.groundState;
  fog = other.fog;
  clippingMode = other.clippingMode;
  navigationStyle = other.navigationStyle;
  clippingNear = other.clippingNear;
  clippingFar = other.clippingFar;
  lights = other.lights;
  texture = other.texture;
  ambientLight = other.ambientLight;
  stereoMode = other.stereoMode;
  stereoValue = other.stereoValue;
  // Never deletes: the source may live inside our own palette.
  if (other.palette) {
    if (palette) *palette = *other.palette;
    else palette = NewPalette(other.palette);
  }
  return *this;
}

NavViewerSetting::~NavViewerSetting() { delete palette; }

int NavViewerSetting::getMessageSize() const {
  const int own = 13 * 4 + 4;  // nine ints, four floats, the palette flag
  return own + lights.getMessageSize() + referenceView.getMessageSize() + qualitySpeed.getMessageSize() +
         distance.getMessageSize() + (palette ? palette->getMessageSize() : 0);
}

int NavViewerSetting::writeMessage(KIVGPWMessage* msg) const {
  if (!msg) return 0;
  msg->writeInt(sectionMask);
  msg->writeInt(stereoMode);
  msg->writeInt(dashboardState);
  msg->writeInt(perfoState);
  msg->writeInt(axisState);
  msg->writeInt(groundState);
  msg->writeInt(fog);
  msg->writeInt(clippingMode);
  msg->writeInt(navigationStyle);
  msg->writeFloat(clippingNear);
  msg->writeFloat(clippingFar);
  msg->writeFloat(ambientLight);
  msg->writeFloat(stereoValue);
  lights.writeMessage(msg);
  referenceView.writeMessage(msg);
  qualitySpeed.writeMessage(msg);
  distance.writeMessage(msg);
  msg->writeInt(palette ? 1 : 0);
  if (palette) palette->writeMessage(msg);
  return 1;
}

int NavViewerSetting::readMessage(KIVGPWMessage* msg) {
  if (!msg) return 0;
  NestingScope scope;
  msg->readInt(sectionMask);
  msg->readInt(stereoMode);
  msg->readInt(dashboardState);
  msg->readInt(perfoState);
  msg->readInt(axisState);
  msg->readInt(groundState);
  msg->readInt(fog);
  msg->readInt(clippingMode);
  msg->readInt(navigationStyle);
  msg->readFloat(clippingNear);
  msg->readFloat(clippingFar);
  msg->readFloat(ambientLight);
  msg->readFloat(stereoValue);
  lights.readMessage(msg);
  referenceView.readMessage(msg);
  int ok = qualitySpeed.readMessage(msg);
  distance.readMessage(msg);
  int flag = 0;  // stays 0 when the message is exhausted, so nothing is created
  msg->readInt(flag);
  if (flag == 1) {
    // The palette is the last thing in the layout, so refusing it leaves nothing of ours unread.
    if (gReadNesting >= snbMaxNesting) return 0;
    if (!palette) palette = NewPalette(nullptr);
    if (!palette) return 0;
    ok = palette->readMessage(msg) && ok;
  }
  return msg->HasError() ? 0 : ok;
}
