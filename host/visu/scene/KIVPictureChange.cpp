#include "host/visu/scene/KIVPictureChange.h"

#include <algorithm>

void KIVPictureChange::AddListener(Listener* listener) {
  if (listener && std::find(sListeners.begin(), sListeners.end(), listener) == sListeners.end())
    sListeners.push_back(listener);
}

void KIVPictureChange::RemoveListener(Listener* listener) {
  sListeners.erase(std::remove(sListeners.begin(), sListeners.end(), listener), sListeners.end());
}

void KIVPictureChange::Announce(const void* source, int kind) {
  if (sDrawing > 0 || sListeners.empty()) return;
  ++sRevision;
  // By index: a listener may leave the list from its own call.
  for (std::size_t i = 0; i < sListeners.size(); ++i) sListeners[i]->PictureChanged(source, kind);
}
