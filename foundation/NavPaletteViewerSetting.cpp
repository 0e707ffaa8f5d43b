#include "foundation/NavPaletteViewerSetting.h"

#include <cstdio>
#include <new>

#include "foundation/NavSimpleViewer3DSetting.h"
#include "host/core/KIVGPWMessage.h"

namespace {
NavSimpleViewer3DSetting* NewViewer(const NavSimpleViewer3DSetting* from) {
  auto* v = from ? new (std::nothrow) NavSimpleViewer3DSetting(*from) : new (std::nothrow) NavSimpleViewer3DSetting;
  if (!v) std::fprintf(stderr, "ERROR - NavPaletteViewerSetting: Enable to allocate NavSimpleViewer3DSetting\n");
  return v;
}
}  // namespace

NavPaletteViewerSetting::NavPaletteViewerSetting(const NavPaletteViewerSetting& other) { *this = other; }

NavPaletteViewerSetting& NavPaletteViewerSetting::operator=(const NavPaletteViewerSetting& other) {
  if (this == &other) return *this;
  translationStep = other.translationStep;
  rotationStep = other.rotationStep;
  interactiveState = other.interactiveState;
  standardViewState = other.standardViewState;
  targetFixedState = other.targetFixedState;
  // Never deletes: the source may live inside our own secondary viewer setting.
  if (other.secondaryViewer) {
    if (secondaryViewer) *secondaryViewer = *other.secondaryViewer;
    else secondaryViewer = NewViewer(other.secondaryViewer);
  }
  return *this;
}

NavPaletteViewerSetting::~NavPaletteViewerSetting() { delete secondaryViewer; }

int NavPaletteViewerSetting::getMessageSize() const {
  return 24 + (secondaryViewer ? secondaryViewer->getMessageSize() : 0);
}

int NavPaletteViewerSetting::writeMessage(KIVGPWMessage* msg) const {
  if (!msg) return 0;
  msg->writeFloat(translationStep);
  msg->writeFloat(rotationStep);
  msg->writeInt(interactiveState);
  msg->writeInt(standardViewState);
  msg->writeInt(targetFixedState);
  msg->writeInt(secondaryViewer ? 1 : 0);
  if (secondaryViewer) secondaryViewer->writeMessage(msg);
  return 1;
}

int NavPaletteViewerSetting::readMessage(KIVGPWMessage* msg) {
  if (!msg) return 0;
  msg->readFloat(translationStep);
  msg->readFloat(rotationStep);
  msg->readInt(interactiveState);
  msg->readInt(standardViewState);
  msg->readInt(targetFixedState);
  int ok = 1;
  int flag = 0;  // stays 0 when the message is exhausted, so nothing is created
  msg->readInt(flag);
  if (flag == 1) {
    if (!secondaryViewer) secondaryViewer = NewViewer(nullptr);
    if (!secondaryViewer) return 0;
    ok = secondaryViewer->readMessage(msg);
  }
  return msg->HasError() ? 0 : ok;
}
