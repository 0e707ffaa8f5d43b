#include "host/core/KIVDictionary.h"

#include <deque>
#include <map>
#include <memory>
#include <string>

#include "host/core/KIVMetaObject.h"

const char* const CLSID_KIVMetaClass = "CLSID-KIVMetaClass";

namespace {

struct Entry {
  std::string metaClassId, name, kind;
  KIVMetaObject* object;
};

// Leaked on purpose: metaobjects are used by static destructors of any translation unit.
struct Dictionary {
  std::map<std::string, std::unique_ptr<KIVMetaObject>, std::less<>> metaByName;
  std::map<std::string, Entry, std::less<>> byId;
  std::deque<std::string> ids;  // deque: element addresses never move
  unsigned long nextId = 1;
};

Dictionary& Dict() {
  static Dictionary* d = new Dictionary;
  return *d;
}

}  // namespace

KIVMetaObject* QueryMetaObject(const char* className) {
  if (!className) return nullptr;
  auto& m = Dict().metaByName;
  auto it = m.find(className);
  return it == m.end() ? nullptr : it->second.get();
}

KIVMetaObject* fct_FindMetaObject(const char* className) {
  if (!className) return nullptr;
  if (KIVMetaObject* meta = QueryMetaObject(className)) return meta;
  auto meta = std::make_unique<KIVMetaObject>(className);
  KIVMetaObject* raw = meta.get();
  Dict().metaByName.emplace(className, std::move(meta));
  return raw;
}

const char* fct_CreateCLSID() {
  Dictionary& d = Dict();
  d.ids.push_back("CLSID-" + std::to_string(d.nextId++));
  return d.ids.back().c_str();
}

int AddDictionary(const char* clsid, const char* metaClassId, const char* name, const char* kind, void*,
                  KIVMetaObject* object, void*, void*) {
  if (!clsid) return 0;
  auto& byId = Dict().byId;
  if (byId.count(clsid)) return 0;
  byId.emplace(clsid, Entry{metaClassId ? metaClassId : "", name ? name : "", kind ? kind : "", object});
  return 1;
}

KIVMetaObject* QueryDictionary(const char* clsid) {
  if (!clsid) return nullptr;
  auto& byId = Dict().byId;
  auto it = byId.find(clsid);
  return it == byId.end() ? nullptr : it->second.object;
}
