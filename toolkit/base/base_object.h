#pragma once

#include <cstdint>

#include "toolkit/base/handler_pair.h"

class TBaseObject;
class TPtrList;

// Raised once, with the object as sender, when the object is destroyed.
using TObjectEvent = THandlerPair<TBaseObject*>;

// Base of every toolkit object: hold counting so that an object can be freed
// while it is still in use further up the call stack, a destroy event, and a
// list of objects released together with it.
//
// Objects are made with `new` and released with Free(); they are never
// deleted directly. Kinds that own resources override Destroy(), release what
// they own, and finish with TBaseObject::Destroy().
class TBaseObject {
 public:
  TBaseObject() = default;
  TBaseObject(const TBaseObject&) = delete;
  TBaseObject& operator=(const TBaseObject&) = delete;

  // Twice the number of outstanding holds, minus 1 once Free was requested
  // while holds were outstanding.
  int32_t RefCount = 0;
  TObjectEvent DestroyEvent;
  // Pairs (free routine, object), newest first; created on first use.
  TPtrList* OwnedObjects = nullptr;

  // Sets the kind's defaults; run right after construction by the kinds that
  // need it.
  virtual void InitDefaults() {}

 protected:
  virtual ~TBaseObject() = default;

  // Releases everything the object owns and its memory. Runs exactly once,
  // reached through Free() or ReleaseRef().
  virtual void Destroy();

  // The base's part of destruction without freeing the memory: the destroy
  // event, then the owned objects. Kinds that must run it early call it
  // themselves; running it twice does nothing the second time.
  void ReleaseBaseResources();

  friend void Free(TBaseObject* object);
  friend void ReleaseRef(TBaseObject* object);
};

// Nil-safe release request: destroys now without holds, otherwise when the
// last hold is released.
void Free(TBaseObject* object);
void AddRef(TBaseObject* object);
void ReleaseRef(TBaseObject* object);

// Has `object` freed when `owner` is destroyed; owners release in the reverse
// order of registration.
void OwnObject(TBaseObject* owner, TBaseObject* object);
