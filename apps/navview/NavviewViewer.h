#pragma once
// navview's viewer: the extended viewer, with the application's own keys (the mover's
// Escape, undo and redo) heard after the viewer's, so that a key the viewer takes (Escape
// ending a special navigation) keeps its meaning.
#include <functional>
#include <utility>

#include "viewer/NavViewerExtand.h"

class NavviewViewer : public NavViewerExtand {
 public:
  using NavViewerExtand::NavViewerExtand;
  using KeyHandler = std::function<int(int key, int modifiers)>;
  void SetKeyHandler(KeyHandler handler) { mKeys = std::move(handler); }
  int KeyNotTaken(int key, int modifiers) override {
    if (NavViewerExtand::KeyNotTaken(key, modifiers)) return 1;
    return mKeys ? mKeys(key, modifiers) : 0;
  }

 private:
  KeyHandler mKeys;
};
