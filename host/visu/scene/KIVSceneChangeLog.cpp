#include "host/visu/scene/KIVSceneChangeLog.h"

#include <algorithm>

void KIVSceneChangeLog::AddReader(Reader* reader) {
  if (reader && std::find(sReaders.begin(), sReaders.end(), reader) == sReaders.end()) sReaders.push_back(reader);
}

void KIVSceneChangeLog::RemoveReader(Reader* reader) {
  sReaders.erase(std::remove(sReaders.begin(), sReaders.end(), reader), sReaders.end());
}
