#pragma once
// The host dictionary: class records by name and identifier. Entries live until exit.

class KIVMetaObject;

/// Identifier of the host's meta class, under which metaobjects are registered.
extern const char* const CLSID_KIVMetaClass;

/// The metaobject registered or created for that class name, or null.
KIVMetaObject* QueryMetaObject(const char* className);
/// The metaobject for that class name, created when there is none yet (null for a null name).
KIVMetaObject* fct_FindMetaObject(const char* className);
/// A new class identifier string, unique in the process and valid until exit.
const char* fct_CreateCLSID();
/// Registers an object of the dictionary under an identifier. Returns 1, or 0 when the
/// identifier is null or already registered (the first registration is kept).
int AddDictionary(const char* clsid, const char* metaClassId, const char* name, const char* kind,
                  void* factory, KIVMetaObject* object, void* reserved1, void* reserved2);
/// The object registered under that identifier, or null.
KIVMetaObject* QueryDictionary(const char* clsid);
