#pragma once
// Test helpers for extended viewers: one in a shown window (so that its navigation editor
// exists), and a counter of one of its events.
#include "host/core/KIVApplication.h"
#include "host/dialog/KIVDlgDialog.h"
#include "viewer/NavViewerExtand.h"

struct ShownViewer {
  static constexpr int kAllOptions = 1 | 2 | 4 | 8 | 16 | 32;
  explicit ShownViewer(int options = kAllOptions) {
    window = new KIVDlgDialog(nullptr, "W");
    viewer = new NavViewerExtand(window, KIVString("v"), options, 0, 200, 200);
    window->SetVisibility(2);
    KIVApplication::MainApplication()->ProcessDeferred();
  }
  ~ShownViewer() { delete window; }  // takes the viewer along
  ShownViewer(const ShownViewer&) = delete;
  ShownViewer& operator=(const ShownViewer&) = delete;
  KIVDlgDialog* window;
  NavViewerExtand* viewer;
};

struct EventCounter {
  EventCounter(NavViewerExtand& viewer, const char* event) {
    listener.AddCallback(&viewer, event,
                         KIVEventCallback([this](const char*, void*, KIVNotification*, void*, KIVCallback) { ++count; }),
                         nullptr);
  }
  KIVEventSubscriber listener;
  int count = 0;
};
