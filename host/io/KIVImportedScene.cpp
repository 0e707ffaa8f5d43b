#include "host/io/KIVImportedScene.h"

#include <algorithm>
#include <utility>

#include "host/visu/scene/KIV3DBagRep.h"

KIVImportedScene::~KIVImportedScene() { Clear(); }

KIVImportedScene::KIVImportedScene(KIVImportedScene&& other) noexcept
    : mEntries(std::move(other.mEntries)),
      mIndex(std::move(other.mIndex)),
      mTriangles(other.mTriangles),
      mModels(other.mModels),
      mPoints(other.mPoints),
      mError(std::move(other.mError)),
      mWarning(std::move(other.mWarning)) {
  std::copy(other.mUpAxis, other.mUpAxis + 3, mUpAxis);
  other.mEntries.clear();
  other.mIndex.clear();
  other.mTriangles = 0;
  other.mModels = 0;
  other.mPoints = 0;
  other.mError.clear();
  other.mWarning.clear();
}

KIVImportedScene& KIVImportedScene::operator=(KIVImportedScene&& other) noexcept {
  if (this == &other) return *this;
  Clear();
  mEntries = std::move(other.mEntries);
  mIndex = std::move(other.mIndex);
  mTriangles = other.mTriangles;
  mModels = other.mModels;
  mPoints = other.mPoints;
  mError = std::move(other.mError);
  mWarning = std::move(other.mWarning);
  std::copy(other.mUpAxis, other.mUpAxis + 3, mUpAxis);
  other.mEntries.clear();
  other.mIndex.clear();
  other.mTriangles = 0;
  other.mModels = 0;
  other.mPoints = 0;
  other.mError.clear();
  other.mWarning.clear();
  return *this;
}

void KIVImportedScene::Clear() {
  // Reverse order of creation: children go first, so each unlink finds its parent alive
  // and no bag is left holding a deleted child.
  for (auto it = mEntries.rbegin(); it != mEntries.rend(); ++it)
    if (!it->life.expired()) delete it->rep;
  mEntries.clear();
  mIndex.clear();
  mTriangles = 0;
  mModels = 0;
  mPoints = 0;
}

void KIVImportedScene::Adopt(KIVRep* rep, const char* name) {
  if (!rep || mIndex.count(rep)) return;
  mIndex.emplace(rep, mEntries.size());
  mEntries.push_back({rep, rep->GetLifeToken(), name ? name : ""});
}

void KIVImportedScene::Fail(std::string error) {
  Clear();
  mWarning.clear();
  mError = std::move(error);
}

void KIVImportedScene::AddWarning(const std::string& text) {
  if (text.empty()) return;
  if (!mWarning.empty()) mWarning += "; ";
  mWarning += text;
}

const KIVImportedScene::Entry* KIVImportedScene::Lookup(const KIVRep* rep) const {
  auto it = mIndex.find(rep);
  if (it == mIndex.end()) return nullptr;
  const Entry& e = mEntries[it->second];
  // A rep deleted elsewhere may have left its address to a new one that is not ours.
  return e.life.expired() ? nullptr : &e;
}

KIV3DBagRep* KIVImportedScene::GetTop() const {
  if (mEntries.empty() || mEntries.front().life.expired()) return nullptr;
  return static_cast<KIV3DBagRep*>(mEntries.front().rep);
}

const char* KIVImportedScene::GetName(const KIVRep* rep) const {
  const Entry* e = Lookup(rep);
  return e ? e->name.c_str() : nullptr;
}

KIVRep* KIVImportedScene::Find(const char* name) const {
  if (!name) return nullptr;
  for (const Entry& e : mEntries)
    if (!e.life.expired() && e.name == name) return e.rep;
  return nullptr;
}

std::vector<KIVRep*> KIVImportedScene::GetReps() const {
  std::vector<KIVRep*> reps;
  reps.reserve(mEntries.size());
  for (const Entry& e : mEntries)
    if (!e.life.expired()) reps.push_back(e.rep);
  return reps;
}
