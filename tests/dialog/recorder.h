#pragma once
// A father command that records the notifications reaching it as "tag:class".

#include <string>
#include <utility>
#include <vector>

#include "navtools.h"

struct Recorder : KIVCommand {
  std::vector<std::string> got;
  void AnalyseCB(KIVCommand* sender, KIVNotification* n, void*) {
    auto* d = dynamic_cast<KIVDialog*>(sender);
    got.push_back(std::string(d ? d->GetTag().CastToCharPtr() : "?") + ":" + n->IsA());
  }
  /// Every notification of that class, from any sender.
  void Listen(const char* notificationClass) {
    AddAnalyseNotificationCB(nullptr, notificationClass, &Recorder::AnalyseCB, nullptr);
  }
  std::vector<std::string> Take() { return std::exchange(got, {}); }
};
