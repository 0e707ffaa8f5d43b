#include "foundation/NavGraphicRepTreeSetting.h"

#include <cstdio>
#include <new>

#include "foundation/NavSimpleViewer3DSetting.h"
#include "host/core/KIVGPWMessage.h"

namespace {
NavSimpleViewer3DSetting* NewViewer(const NavSimpleViewer3DSetting* from) {
  auto* v = from ? new (std::nothrow) NavSimpleViewer3DSetting(*from) : new (std::nothrow) NavSimpleViewer3DSetting;
  if (!v) std::fprintf(stderr, "ERROR - NavGraphicRepTreeSetting: Enable to allocate NavSimpleViewer3DSetting\n");
  return v;
}
}  // namespace

NavGraphicRepTreeSetting::NavGraphicRepTreeSetting(const NavGraphicRepTreeSetting& other)
    : clearance(other.clearance),
      rootType(other.rootType),
      graph(other.graph),
      analysisViewer(other.analysisViewer ? NewViewer(other.analysisViewer) : nullptr) {}

NavGraphicRepTreeSetting& NavGraphicRepTreeSetting::operator=(const NavGraphicRepTreeSetting& other) {
  if (this == &other) return *this;
  if (other.clearance != -1.0f) clearance = other.clearance;
  if (other.rootType != -1) rootType = other.rootType;
  graph = other.graph;
  if (other.analysisViewer) {
    if (analysisViewer) *analysisViewer = *other.analysisViewer;
    else analysisViewer = NewViewer(other.analysisViewer);
  }
  return *this;
}

NavGraphicRepTreeSetting::~NavGraphicRepTreeSetting() { delete analysisViewer; }

int NavGraphicRepTreeSetting::getMessageSize() const {
  return graph.getMessageSize() + 12 + (analysisViewer ? analysisViewer->getMessageSize() : 0);
}

int NavGraphicRepTreeSetting::writeMessage(KIVGPWMessage* msg) const {
  if (!msg) return 0;
  graph.writeMessage(msg);
  msg->writeFloat(clearance);
  msg->writeInt(rootType);
  msg->writeInt(analysisViewer ? 1 : 0);
  if (analysisViewer) analysisViewer->writeMessage(msg);
  return 1;
}

int NavGraphicRepTreeSetting::readMessage(KIVGPWMessage* msg) {
  if (!msg) return 0;
  graph.readMessage(msg);
  msg->readFloat(clearance);
  msg->readInt(rootType);
  int ok = 1;
  int flag = 0;  // stays 0 when the message is exhausted, so nothing is created
  msg->readInt(flag);
  if (flag == 1) {
    if (!analysisViewer) analysisViewer = NewViewer(nullptr);
    if (!analysisViewer) return 0;
    ok = analysisViewer->readMessage(msg);
  }
  return msg->HasError() ? 0 : ok;
}
