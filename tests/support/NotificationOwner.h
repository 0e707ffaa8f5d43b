#pragma once
// A father command that records the class name of every notification reaching it.
#include <string>
#include <vector>

#include "host/core/KIVCommand.h"
#include "host/core/KIVNotification.h"

struct NotificationOwner : KIVCommand {
  std::vector<std::string> received;
  NotificationOwner() {
    AddAnalyseNotificationCB(nullptr, nullptr, nullptr,
                             [this](KIVCommand*, KIVNotification* n, void*) { received.push_back(n->IsA()); }, nullptr);
  }
  int Count(const std::string& name) const {
    int c = 0;
    for (const auto& r : received) c += r == name;
    return c;
  }
};
